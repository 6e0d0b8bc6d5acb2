#include "search/FieldValueChange.h"

#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <cstring>

namespace {

constexpr int kReadOnly = 1044;
constexpr int kWriteError = 1045;
constexpr int kReadError = 1028;
// "Reikšmė "%1" netelpa lauke "%2"."
constexpr char kTooWide[] = "Reik\xF0m\xEB \"%1\" netelpa lauke \"%2\".";

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase1257(text.substr(0, prefix.size()), prefix);
}

// The number after a token's prefix; 1 when none stands there.
double TokenNumber(std::string_view rest, bool integer)
{
    size_t consumed = 0;
    const double value = ParseDoubleC(rest, &consumed);
    if (consumed == 0)
        return 1;
    return integer ? static_cast<double>(AtollC(rest)) : value;
}

} // namespace

CValueToken ParseValueToken(std::string_view value)
{
    CValueToken token;
    if (value.substr(0, 2) != "{=") {
        token.text = value;
        return token;
    }
    if (value == "{=#101}") {
        token.kind = CValueToken::kLatin1;
    } else if (EqualsNoCase1257(value, "{=upper}")) {
        token.kind = CValueToken::kUpper;
    } else if (EqualsNoCase1257(value, "{=recno}")) {
        token.kind = CValueToken::kRecordNumber;
    } else if (value.substr(0, 3) == "{=[") {
        token.kind = CValueToken::kCopyField;
        const std::string_view name = value.substr(3);
        token.text = name.substr(0, name.find(']'));
    } else if (StartsWithNoCase(value, "{=num(")) {
        token.kind = CValueToken::kNumbering;
        token.number = TokenNumber(value.substr(6), true);
    } else if (value.substr(0, 3) == "{=+") {
        token.kind = CValueToken::kIncrement;
        token.number = TokenNumber(value.substr(3), false);
    } else {
        token.kind = CValueToken::kNothing;
    }
    return token;
}

CFieldValueChange::CFieldValueChange(CDbfTable& table, int field, std::string value)
    : m_table(table), m_field(field), m_token(ParseValueToken(value))
{
}

int CFieldValueChange::Apply(const std::vector<int32_t>& records)
{
    m_failed = false;
    DbfHandle* handle = m_table.GetHandle();
    if (m_token.kind == CValueToken::kNothing || !handle || m_table.GetFieldType(m_field) == 0)
        return 0;
    // Tested once, not refused record by record.
    if (!handle->stream) {
        AppMessageBox(kReadOnly, MB_OK | MB_ICONWARNING);
        m_failed = true;
        return 0;
    }
    if (DbfRefuseIfReadOnly(*handle) || !DbfLock(*handle)) {
        m_failed = true;
        return 0;
    }
    int written = 0;
    long ordinal = 0;
    for (const int32_t record : records) {
        if (record < 0)
            continue;
        const Step step = ApplyTo(record, ordinal++);
        if (step == Step::kFailed) {
            m_failed = true;
            break;
        }
        written += step == Step::kWritten;
    }
    if (!DbfUnlock(*handle) && !m_failed) {
        AppMessageBox(kWriteError, MB_OK | MB_ICONWARNING);
        m_failed = true;
    }
    return written;
}

CFieldValueChange::Step CFieldValueChange::ApplyTo(int record, long ordinal)
{
    std::string text;
    switch (m_token.kind) {
    case CValueToken::kPlain: {
        const char type = m_table.GetFieldType(m_field);
        if ((type == 'N' || type == 'F') && !NumberText(AtofC(m_token.text), false, text))
            return Step::kFailed;
        return Write(record, m_token.text);
    }
    case CValueToken::kLatin1:
    case CValueToken::kUpper:
        if (!ReadRecord(record))
            return Step::kFailed;
        m_table.GetFieldString(m_field, text);
        return Write(record, m_token.kind == CValueToken::kUpper ? ToUpper1257(text) : Cp1257ToLatin1BestFit(text));
    case CValueToken::kRecordNumber:
        if (!NumberText(record + 1.0, true, text))
            return Step::kFailed;
        return Write(record, text);
    case CValueToken::kNumbering:
        if (!NumberText(m_token.number + static_cast<double>(ordinal), true, text))
            return Step::kFailed;
        return Write(record, text);
    case CValueToken::kIncrement:
        if (!ReadRecord(record))
            return Step::kFailed;
        if (!NumberText(DbfGetDouble(*m_table.GetHandle(), m_field) + m_token.number, false, text))
            return Step::kFailed;
        return Write(record, text);
    case CValueToken::kCopyField: {
        const int source = m_table.FindField(m_token.text);
        if (source < 0 || source == m_field)
            return Step::kUnchanged;
        if (!ReadRecord(record))
            return Step::kFailed;
        // A value that does not fit leaves the record as it was.
        DbfHandle& handle = *m_table.GetHandle();
        char* bytes = DbfFieldPtr(handle, m_field);
        const std::string before(bytes, static_cast<size_t>(m_table.GetFieldLength(m_field)));
        if (!m_table.CopyFieldFrom(m_table, m_field, source)) {
            std::memcpy(DbfFieldPtr(handle, m_field), before.data(), before.size());
            m_table.GetFieldString(source, text);
            TellTooWide(text);
            return Step::kFailed;
        }
        return m_table.WriteRecord() ? Step::kWritten : Step::kFailed;
    }
    case CValueToken::kNothing:
        break;
    }
    return Step::kUnchanged;
}

bool CFieldValueChange::NumberText(double value, bool integer, std::string& text) const
{
    const char type = m_table.GetFieldType(m_field);
    const int length = m_table.GetFieldLength(m_field);
    const int decimals = m_table.GetFieldDecimals(m_field);
    bool fits;
    if (type == 'N' || type == 'F') {
        fits = DbfNumberText(*m_table.GetHandle(), m_field, value, text);
    } else {
        text = integer && decimals == 0 ? FormatC("%*lld", length, static_cast<long long>(value))
                                        : FormatC("%*.*f", length, decimals, value);
        fits = static_cast<int>(text.size()) <= length;
    }
    if (!fits)
        TellTooWide(integer ? FormatC("%lld", static_cast<long long>(value)) : FormatC("%.*f", decimals, value));
    return fits;
}

bool CFieldValueChange::ReadRecord(int record)
{
    if (m_table.GoToRecord(record))
        return true;
    AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
    return false;
}

CFieldValueChange::Step CFieldValueChange::Write(int record, const std::string& text)
{
    CMessageCounter messages;
    if (m_table.WriteFieldAt(record, m_field, text))
        return Step::kWritten;
    if (messages.GetCount() == 0)
        AppMessageBox(kWriteError, MB_OK | MB_ICONWARNING);
    return Step::kFailed;
}

void CFieldValueChange::TellTooWide(const std::string& value) const
{
    AppMessageBox(InsertStringArgs(kTooWide, value, m_table.GetFieldCaption(m_field)), MB_OK | MB_ICONWARNING);
}
