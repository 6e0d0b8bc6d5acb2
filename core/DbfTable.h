#pragma once

#include "core/DbfEngine.h"
#include "core/DbfFieldInfo.h"
#include "core/StringMap.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CDbfFieldInfoArray;
class CExpr;
class IProgress;

// One open dBASE table as the rest of the system sees it: field captions
// and hidden fields lent by the layer, a compiled filter, typed access to
// the current record and copying out under the filter.
//
// The current record is the one whose values the record buffer holds (-1
// for none). Writes and deletions always go to that record, wherever a scan
// has moved the engine; scans (SetPosition or a fresh table, then
// NextRecord) go on undisturbed after them. New records are made with
// AppendBlank, filled, and written with WriteRecord: the record goes to the
// end of the file as it stands then (other programs may append too), and
// the number it got becomes the current record.
//
// A table cut short opens read-only with its whole records, after message
// 1030.
//
// Messages come by string id through the application's message box.
class CDbfTable {
public:
    // Field name in GetFieldName form (Name for NAME) to its caption; the
    // layer's own map, lent as it is.
    using CAliasMap = CStringMap;

    CDbfTable();
    virtual ~CDbfTable();
    CDbfTable(const CDbfTable&) = delete;
    CDbfTable& operator=(const CDbfTable&) = delete;

    // Opening, creating, closing. Failures show message 1007 with the path.
    bool Open(const std::string& path);
    // Opened cut short: read-only, only the whole records.
    bool IsDamaged() const { return m_handle && m_handle->damaged; }
    // Without a path the table lives in memory only. A work copy made to
    // take another file's place names that file (shownPath) in the
    // message: the user knows it, not its temporary neighbour.
    bool Create(const std::string& path, const CDbfFieldInfo* fields, const std::string& shownPath = {});
    // The names upper-cased.
    bool CreateFromInfoArray(const std::string& path, const CDbfFieldInfoArray& infos);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }
    // The engine handle, for bulk work; null when no table is open.
    DbfHandle* GetHandle() { return m_handle.get(); }
    const DbfHandle* GetHandle() const { return m_handle.get(); }
    const std::string& GetPath() const;

    int GetRecordCount() const;
    int GetFieldCount() const;
    int GetCurrentRecord() const { return m_current; }
    bool IsDeleted() const;

    // Moving and reading.
    // Reads record n unless it is the current record already.
    bool GoToRecord(int n);
    // GoToRecord through the engine's read-ahead, for records visited in
    // ascending order; what another program changed shows after a move.
    // reach as for DbfReadRecordAhead.
    bool ReadRecordAhead(int n, int reach = -1);
    // Record n is read ahead already: reading it makes no read.
    bool HoldsRecord(int n) const;
    // Where the next scan starts; nothing is read.
    bool SetPosition(int n);
    // The next live record that passes the filter becomes current; false,
    // and no current record, at the end.
    bool NextRecord();
    // A blank record past the last becomes current; WriteRecord appends it
    // and makes the record written current.
    void AppendBlank();
    // Tables in memory only: a blank record buffer becomes record n, for the
    // caller to fill; nothing is read or written. False for a table of a file.
    bool StartMemoryRecord(int n);

    // Fields by index; an index below 0 gives empty values and false.
    // The field of that name ignoring case, else the field whose caption
    // is exactly the name; -1 when none.
    int FindField(std::string_view name) const;
    char GetFieldType(int index) const;
    int GetFieldLength(int index) const;
    int GetFieldDecimals(int index) const;
    // NAME as Name.
    std::string GetFieldName(int index) const;
    // name as Name.
    std::string GetFieldTitle(int index) const;
    std::string GetFieldCaption(int index) const;
    bool IsFieldShown(int index) const;
    // The display text without leading and trailing blanks, at most
    // size - 1 bytes; returns its length.
    int GetFieldText(int index, std::string& text, size_t size) const;
    bool GetFieldString(int index, std::string& text) const;
    // The memo text; false when the table has no memo file or the field
    // names no text.
    bool GetMemo(int index, std::string& text) const;
    // The memo text cut into lines; a field without text gives one empty line and false.
    bool GetMemoLines(int index, std::vector<std::string>& lines) const;
    // The date (days since 30 December 1899, the time of day as the
    // fraction) of a 'D' field, or of a 'C' field holding "y-m-d h:m:s"
    // (the time may be left out); false, and 0, when it holds no valid date.
    bool GetDate(int index, double& date) const;
    // The field list, ended by an entry of length 0.
    std::vector<CDbfFieldInfo> GetFieldInfos() const;
    // Caption TAB value for every shown field; further memo lines follow
    // with an empty caption.
    void GetRecordLines(std::vector<std::string>& lines) const;

    // Storing into the record buffer (memo texts go to the memo file at once).
    bool SetField(int index, std::string_view text);
    bool SetFieldLong(int index, long value);
    bool SetFieldDouble(int index, double value);
    // 'C' fields get the most precise compact degree text that fits the
    // field; 'N' and 'F' fields the number. False for other types and for
    // values that make no coordinate.
    bool SetLongitude(int index, double x);
    bool SetLatitude(int index, double y);
    // Fields of the same name, converting between types.
    void CopyRecordFrom(const CDbfTable& other);
    bool CopyFieldFrom(const CDbfTable& other, int index, int otherIndex);

    // Writing to the file.
    // The current record; message 1045 on failure.
    bool WriteRecord();
    // Marks the current record deleted in the file.
    bool DeleteRecord(bool write);
    // One field of record n straight into the file (and into the buffer when
    // n is the current record).
    bool WriteFieldAt(int n, int index, std::string_view text);
    bool DeleteRecordAt(int n);
    // Copies the table to a new file: the live records that pass the filter,
    // or with allRecords the deleted ones too, still marked. An existing file
    // is replaced only with overwrite (else message 1074), never the table
    // itself; the file appears whole or not at all. The progress window,
    // when given, may cancel.
    bool SaveAs(const std::string& path, bool allRecords, bool overwrite, IProgress* progress = nullptr);

    // Filter. An empty text removes it. A text that does not compile to a
    // logical expression leaves no filter and answers false; the text stays.
    bool SetFilter(std::string_view text);
    const std::string& GetFilterText() const { return m_filterText; }
    CExpr* GetFilter() const { return m_filter.get(); }

    // Borrowed: they must outlive the table's use of them; null for none.
    void SetFieldAliases(const CAliasMap* aliases) { m_aliases = aliases; }
    void SetHiddenFields(const std::vector<std::string>* hidden) { m_hidden = hidden; }

private:
    const DbfField* Field(int index) const;
    template <class Write>
    bool AtCurrentRecord(Write write);
    void SetCurrent(int n);
    bool SetCoordinate(int index, double value, bool longitude);
    bool CopyRecords(DbfHandle& target, bool allRecords, IProgress* progress);

    const CAliasMap* m_aliases = nullptr;
    const std::vector<std::string>* m_hidden = nullptr;
    std::unique_ptr<DbfHandle> m_handle;
    std::unique_ptr<CExpr> m_filter;
    std::string m_filterText;
    int m_current = -1;
    // The current record is a new one that WriteRecord appends.
    bool m_appending = false;
};
