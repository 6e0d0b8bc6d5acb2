#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDbfTable;

// A new value for one field of many records (30242), as typed. A text
// beginning with "{=" is a token that makes each record's value from the
// record itself or from its place in the walk:
//   "{=#101}"   the text re-encoded to ISO 8859-1, letters without one
//               losing their marks
//   "{=upper}"  the text in capitals (any case)
//   "{=recno}"  the record number plus 1 (any case)
//   "{=[NAME]"  the value of field NAME of the same record
//   "{=num(n"   n, n + 1, n + 2, ... in walk order (any case; 1 for no n)
//   "{=+n"      the field's number plus n (1 for no n)
// Any other "{=" text changes nothing.
struct CValueToken {
    enum Kind { kPlain, kLatin1, kUpper, kRecordNumber, kCopyField, kNumbering, kIncrement, kNothing };

    Kind kind = kPlain;
    // The value of kPlain, the field name of kCopyField.
    std::string text;
    // The first number of kNumbering, the addend of kIncrement.
    double number = 0;
};

CValueToken ParseValueToken(std::string_view value);

// Writes the value into the field of each record in turn (code page
// 1257); entries of -1 are passed over. The table is tested once first (a
// read-only or damaged table: message 1044, nothing written) and held
// locked for the walk; the first record whose value does not fit the
// field, or whose write fails, ends it after one message, the records
// before it staying written. The records written.
class CFieldValueChange {
public:
    CFieldValueChange(CDbfTable& table, int field, std::string value);

    int Apply(const std::vector<int32_t>& records);
    // The last Apply stopped at a record it could not write.
    bool Failed() const { return m_failed; }

private:
    enum class Step { kWritten, kUnchanged, kFailed };
    Step ApplyTo(int record, long ordinal);
    // A number as the field takes it: the store's own text for numeric
    // fields, "%*ld" (or "%*.*lf" with decimals) for integers and
    // "%*.*lf" for others; false after the message when it does not fit.
    bool NumberText(double value, bool integer, std::string& text) const;
    // False after the message when the record cannot be read.
    bool ReadRecord(int record);
    Step Write(int record, const std::string& text);
    void TellTooWide(const std::string& value) const;

    CDbfTable& m_table;
    int m_field;
    CValueToken m_token;
    bool m_failed = false;
};
