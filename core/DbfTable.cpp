#include "core/DbfTable.h"

#include "core/DateSerial.h"
#include "core/DbfFieldInfoArray.h"
#include "core/Expr.h"
#include "core/FileUtil.h"
#include "core/LatLonText.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"
#include "platform/WriteBehindStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kProgressEvery = 4096;

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view TrimBlanks(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Reads a signed whole number after optional blanks; false when none stands there.
bool ReadInt(std::string_view text, size_t& i, int& value)
{
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const size_t first = i;
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = std::min(v * 10 + (text[i] - '0'), 1000000000LL);
    value = static_cast<int>(negative ? -v : v);
    return i > first;
}

// "y-m-d h:m:s" as a date with the time of day; the time may be missing.
bool ParseDateTimeText(std::string_view text, double& date)
{
    static const char kSeparators[] = {'-', '-', ' ', ':', ':'};
    int parts[6] = {};
    int count = 0;
    size_t i = 0;
    while (count < 6 && ReadInt(text, i, parts[count])) {
        ++count;
        if (count == 6)
            break;
        const char separator = kSeparators[count - 1];
        if (separator == ' ')
            continue; // any blanks, or none
        if (i >= text.size() || text[i] != separator)
            break;
        ++i;
    }
    if (count < 3 || !IsValidCalendarDate(parts[0], parts[1], parts[2]))
        return false;
    if (parts[3] < 0 || parts[3] > 23 || parts[4] < 0 || parts[4] > 59 || parts[5] < 0 || parts[5] > 59)
        return false;
    date = DateToSerial(parts[0], parts[1], parts[2]) + (parts[3] * 3600 + parts[4] * 60 + parts[5]) / 86400.0;
    return true;
}

// Gives a new table and its memo file (when memoTemp is not empty) their
// names. An old memo file stands aside until the table has its name, so a
// failure leaves the old pair as it was.
bool PutInPlace(const std::string& tableTemp, const std::string& tablePath, const std::string& memoTemp,
                const std::string& memoPath)
{
    if (memoTemp.empty())
        return RenameFile(tableTemp, tablePath);
    std::string oldMemo;
    if (PathExists(memoPath)) {
        oldMemo = memoTemp + ".old";
        if (!RenameFile(memoPath, oldMemo))
            return false;
    }
    const bool memoPlaced = RenameFile(memoTemp, memoPath);
    if (memoPlaced && RenameFile(tableTemp, tablePath)) {
        if (!oldMemo.empty())
            RemoveFile(oldMemo);
        return true;
    }
    if (!oldMemo.empty())
        RenameFile(oldMemo, memoPath);
    else if (memoPlaced)
        RemoveFile(memoPath);
    return false;
}

} // namespace

CDbfTable::CDbfTable() = default;

CDbfTable::~CDbfTable()
{
    Close();
}

// ---------------------------------------------------- opening and closing

bool CDbfTable::Open(const std::string& path)
{
    Close();
    m_handle = DbfOpen(path);
    if (!m_handle) {
        AppMessageBoxArg(1007, path);
        return false;
    }
    if (m_handle->damaged)
        AppMessageBox(1030);
    return true;
}

bool CDbfTable::Create(const std::string& path, const CDbfFieldInfo* fields, const std::string& shownPath)
{
    Close();
    m_handle = path.empty() ? DbfNewFromFields(fields) : DbfCreate(path, fields);
    if (!m_handle) {
        if (!path.empty())
            AppMessageBoxArg(1007, shownPath.empty() ? path : shownPath);
        return false;
    }
    return true;
}

bool CDbfTable::CreateFromInfoArray(const std::string& path, const CDbfFieldInfoArray& infos)
{
    std::vector<CDbfFieldInfo> fields(static_cast<size_t>(infos.GetSize()) + 1);
    for (int i = 0; i < infos.GetSize(); ++i) {
        CDbfFieldInfo& f = fields[static_cast<size_t>(i)];
        f = infos[i];
        f.name[sizeof f.name - 1] = '\0';
        for (char& c : f.name)
            c = static_cast<char>(Cp1257ToUpper(static_cast<unsigned char>(c)));
    }
    fields.back().Set("", 0, 0, 0);
    return Create(path, fields.data());
}

void CDbfTable::Close()
{
    // The filter points into the record buffer: it goes first.
    m_filter.reset();
    DbfClose(m_handle);
    m_current = -1;
    m_appending = false;
}

const std::string& CDbfTable::GetPath() const
{
    static const std::string kNone;
    return m_handle ? m_handle->path : kNone;
}

int CDbfTable::GetRecordCount() const
{
    return m_handle ? m_handle->RecordCount() : 0;
}

int CDbfTable::GetFieldCount() const
{
    return m_handle ? m_handle->FieldCount() : 0;
}

bool CDbfTable::IsDeleted() const
{
    return m_handle && m_handle->IsDeleted();
}

// ------------------------------------------------------ moving and reading

void CDbfTable::SetCurrent(int n)
{
    m_current = n;
    m_appending = false;
}

bool CDbfTable::GoToRecord(int n)
{
    if (!m_handle)
        return false;
    if (n == m_current)
        return true;
    // On failure the buffer may hold part of a record.
    SetCurrent(DbfReadRecord(*m_handle, n) ? n : -1);
    return m_current == n;
}

bool CDbfTable::ReadRecordAhead(int n, int reach)
{
    if (!m_handle)
        return false;
    if (n == m_current)
        return true;
    SetCurrent(DbfReadRecordAhead(*m_handle, n, reach) ? n : -1);
    return m_current == n;
}

bool CDbfTable::HoldsRecord(int n) const
{
    return n == m_current || (m_handle && DbfHoldsRecord(*m_handle, n));
}

bool CDbfTable::SetPosition(int n)
{
    return m_handle && DbfGoTo(*m_handle, n);
}

bool CDbfTable::NextRecord()
{
    if (m_handle) {
        while (DbfReadNextUndeleted(*m_handle)) {
            // The engine stands on the record after the one it read.
            SetCurrent(m_handle->current - 1);
            if (!m_filter || m_filter->EvalBool())
                return true;
        }
    }
    SetCurrent(-1);
    return false;
}

void CDbfTable::AppendBlank()
{
    if (!m_handle)
        return;
    DbfAppendBlank(*m_handle);
    m_current = m_handle->current;
    m_appending = true;
}

bool CDbfTable::StartMemoryRecord(int n)
{
    if (!m_handle || m_handle->stream)
        return false;
    DbfAppendBlank(*m_handle);
    m_current = n;
    return true;
}

// ------------------------------------------------------------ field access

const DbfField* CDbfTable::Field(int index) const
{
    return m_handle && index >= 0 && index < m_handle->FieldCount() ? &m_handle->fields[static_cast<size_t>(index)]
                                                                      : nullptr;
}

int CDbfTable::FindField(std::string_view name) const
{
    if (!m_handle)
        return -1;
    const int index = DbfFindField(*m_handle, name);
    if (index >= 0 || !m_aliases)
        return index;
    // Captions are matched exactly, letter case included.
    for (const auto& [field, caption] : *m_aliases)
        if (caption == name)
            return DbfFindField(*m_handle, field);
    return -1;
}

char CDbfTable::GetFieldType(int index) const
{
    const DbfField* f = Field(index);
    return f ? f->type : '\0';
}

int CDbfTable::GetFieldLength(int index) const
{
    const DbfField* f = Field(index);
    return f ? f->length : 0;
}

int CDbfTable::GetFieldDecimals(int index) const
{
    const DbfField* f = Field(index);
    return f ? f->decimals : 0;
}

std::string CDbfTable::GetFieldName(int index) const
{
    const DbfField* f = Field(index);
    if (!f)
        return {};
    std::string name(f->name, strnlen(f->name, sizeof f->name));
    std::transform(name.begin() + (name.empty() ? 0 : 1), name.end(), name.begin() + (name.empty() ? 0 : 1),
                   AsciiLower);
    return name;
}

std::string CDbfTable::GetFieldTitle(int index) const
{
    std::string title = GetFieldName(index);
    if (!title.empty() && title[0] >= 'a' && title[0] <= 'z')
        title[0] = static_cast<char>(title[0] - 'a' + 'A');
    return title;
}

std::string CDbfTable::GetFieldCaption(int index) const
{
    std::string name = GetFieldName(index);
    if (m_aliases) {
        if (const std::string* caption = m_aliases->Find(name))
            return *caption;
    }
    return name;
}

bool CDbfTable::IsFieldShown(int index) const
{
    const DbfField* f = Field(index);
    if (!f || !m_hidden)
        return true;
    const std::string_view name(f->name, strnlen(f->name, sizeof f->name));
    return std::none_of(m_hidden->begin(), m_hidden->end(),
                        [&](const std::string& hidden) { return EqualsNoCase1257(hidden, name); });
}

int CDbfTable::GetFieldText(int index, std::string& text, size_t size) const
{
    text.clear();
    if (!Field(index) || size == 0)
        return 0;
    const std::string display = DbfGetDisplayText(*m_handle, index);
    std::string_view view(display);
    view.remove_prefix(std::min(view.find_first_not_of(' '), view.size()));
    text.assign(view.substr(0, size - 1));
    TrimTrailingBlanks(text);
    return static_cast<int>(text.size());
}

bool CDbfTable::GetFieldString(int index, std::string& text) const
{
    text.clear();
    if (!Field(index))
        return false;
    text.assign(TrimBlanks(DbfGetDisplayText(*m_handle, index)));
    return true;
}

bool CDbfTable::GetMemo(int index, std::string& text) const
{
    text.clear();
    return Field(index) && DbfReadMemo(*m_handle, index, text);
}

bool CDbfTable::GetMemoLines(int index, std::vector<std::string>& lines) const
{
    lines.clear();
    std::string text;
    if (!GetMemo(index, text)) {
        lines.emplace_back();
        return false;
    }
    SplitLines(text, lines);
    if (lines.empty())
        lines.emplace_back();
    return true;
}

bool CDbfTable::GetDate(int index, double& date) const
{
    date = 0;
    const DbfField* f = Field(index);
    if (!f)
        return false;
    const std::string raw = DbfGetString(*m_handle, index);
    if (f->type == 'D') {
        CCalendarDate d;
        if (raw.size() < 8 || !ParseDbfDate(std::string_view(raw).substr(0, 8), d))
            return false;
        date = DateToSerial(d.year, d.month, d.day);
        return true;
    }
    if (f->type == 'C') {
        if (ParseDateTimeText(raw, date))
            return true;
        date = 0;
    }
    return false;
}

std::vector<CDbfFieldInfo> CDbfTable::GetFieldInfos() const
{
    if (!m_handle) {
        std::vector<CDbfFieldInfo> empty(1);
        empty.back().Set("", 0, 0, 0);
        return empty;
    }
    return DbfFieldList(*m_handle);
}

void CDbfTable::GetRecordLines(std::vector<std::string>& lines) const
{
    lines.clear();
    std::string value;
    std::vector<std::string> memo;
    for (int i = 0; i < GetFieldCount(); ++i) {
        if (!IsFieldShown(i))
            continue;
        const std::string caption = GetFieldCaption(i);
        if (GetFieldType(i) != 'M') {
            GetFieldString(i, value);
            lines.push_back(caption + "\t" + value);
            continue;
        }
        GetMemoLines(i, memo);
        lines.push_back(caption + "\t" + memo.front());
        for (size_t k = 1; k < memo.size(); ++k)
            lines.push_back("\t" + memo[k]);
    }
}

// ----------------------------------------------------------------- storing

bool CDbfTable::SetField(int index, std::string_view text)
{
    const DbfField* f = Field(index);
    if (!f)
        return false;
    switch (f->type) {
    case 'F':
    case 'N':
        return DbfPutDouble(*m_handle, index, AtofC(text));
    case 'M':
        return DbfPutMemo(*m_handle, index, text);
    default:
        return DbfPutString(*m_handle, index, text);
    }
}

bool CDbfTable::SetFieldLong(int index, long value)
{
    return Field(index) && DbfPutLong(*m_handle, index, value);
}

bool CDbfTable::SetFieldDouble(int index, double value)
{
    return Field(index) && DbfPutDouble(*m_handle, index, value);
}

bool CDbfTable::SetCoordinate(int index, double value, bool longitude)
{
    const DbfField* f = Field(index);
    if (!f)
        return false;
    if (f->type == 'F' || f->type == 'N')
        return DbfPutDouble(*m_handle, index, value);
    if (f->type != 'C')
        return false;
    // The compact forms DDDLMMSS, DDDLMMSS.s and DDDLMMSS.ss: the most precise
    // that the field holds whole.
    std::string text;
    for (int form = 3; form >= 1 && std::isfinite(value); --form) {
        if (longitude)
            FormatLongitudeText(value, 0, form, text);
        else
            FormatLatitudeText(0, value, form, text);
        if (static_cast<int>(text.size()) <= f->length)
            break;
    }
    DbfPutString(*m_handle, index, text);
    return !text.empty() && static_cast<int>(text.size()) <= f->length;
}

bool CDbfTable::SetLongitude(int index, double x)
{
    return SetCoordinate(index, x, true);
}

bool CDbfTable::SetLatitude(int index, double y)
{
    return SetCoordinate(index, y, false);
}

void CDbfTable::CopyRecordFrom(const CDbfTable& other)
{
    if (m_handle && other.m_handle)
        DbfCopyMatchingFields(*m_handle, *other.m_handle);
}

bool CDbfTable::CopyFieldFrom(const CDbfTable& other, int index, int otherIndex)
{
    return m_handle && other.m_handle && DbfCopyField(*m_handle, *other.m_handle, index, otherIndex);
}

// ----------------------------------------------------------------- writing

// Runs a write of the engine's current record with the engine on this
// table's current record, then puts a scan's position back. An appended
// record becomes current under the number the engine gave it.
template <class Write>
bool CDbfTable::AtCurrentRecord(Write write)
{
    if (!m_handle || m_current < 0)
        return false;
    DbfHandle& h = *m_handle;
    const int cursor = h.current;
    const int flags = h.flags;
    h.current = m_current;
    h.flags = m_appending ? kDbfPastLast : 0;
    const bool done = write(h);
    const int written = h.current;
    if (cursor != m_current) {
        h.current = cursor;
        h.flags = flags;
    }
    if (done)
        SetCurrent(written);
    return done;
}

bool CDbfTable::WriteRecord()
{
    if (AtCurrentRecord([](DbfHandle& h) { return DbfWriteCurrent(h); }))
        return true;
    AppMessageBox(1045);
    return false;
}

bool CDbfTable::DeleteRecord(bool write)
{
    if (!AtCurrentRecord([](DbfHandle& h) { return DbfDeleteCurrent(h); }))
        return false;
    return !write || WriteRecord();
}

bool CDbfTable::WriteFieldAt(int n, int index, std::string_view text)
{
    const DbfField* f = Field(index);
    if (!f)
        return false;
    // A memo text reuses the blocks its record names: that record must be in the buffer.
    if (f->type == 'M' && n != m_current && !GoToRecord(n))
        return false;
    if (n == m_current) {
        // The buffer takes the value too, so a later WriteRecord keeps it.
        const bool stored = SetField(index, text);
        return DbfWriteFieldString(*m_handle, n, index, DbfGetString(*m_handle, index)) && stored;
    }
    if (f->type == 'F' || f->type == 'N')
        return DbfWriteFieldDouble(*m_handle, n, index, AtofC(text));
    return DbfWriteFieldString(*m_handle, n, index, text);
}

bool CDbfTable::DeleteRecordAt(int n)
{
    if (!m_handle || !DbfDeleteRecordAt(*m_handle, n))
        return false;
    if (n == m_current)
        m_handle->record[0] = '*';
    return true;
}

bool CDbfTable::CopyRecords(DbfHandle& target, bool allRecords, IProgress* progress)
{
    DbfHandle& h = *m_handle;
    const int count = h.RecordCount();
    if (progress) {
        progress->SetRange(0, count);
        progress->SetPos(0);
    }
    // One lock for the whole copy instead of one per record.
    if (!DbfLock(target)) {
        AppMessageBox(1045);
        return false;
    }
    DbfGoTop(h);
    for (int n = 0; n < count; ++n) {
        if (!DbfReadNext(h)) {
            SetCurrent(-1);
            AppMessageBox(1028);
            return false;
        }
        SetCurrent(n);
        if ((allRecords || !h.IsDeleted()) && (!m_filter || m_filter->EvalBool()) && !DbfAppendCopy(target, h)) {
            AppMessageBox(1045);
            return false;
        }
        if (progress && (n + 1) % kProgressEvery == 0) {
            progress->SetPos(n + 1);
            if (progress->CheckCancel())
                return false;
        }
    }
    // The records held back go out with the lock.
    if (!DbfFlush(target) || !DbfUnlock(target)) {
        AppMessageBox(1045);
        return false;
    }
    return true;
}

bool CDbfTable::SaveAs(const std::string& path, bool allRecords, bool overwrite, IProgress* progress)
{
    // The file's own folder is made when missing (one level).
    const size_t separator = path.find_last_of("\\/");
    if (separator != std::string::npos && separator > 2) {
        const std::string folder = path.substr(0, separator);
        if (!PathExists(folder))
            MakeFolder(folder);
    }
    if (!overwrite && PathExists(path)) {
        AppMessageBoxArg(1074, path);
        return false;
    }
    if (!m_handle)
        return false;

    const std::vector<CDbfFieldInfo> fields = DbfFieldList(*m_handle);
    const bool hasMemo = std::any_of(fields.begin(), fields.end(), [](const CDbfFieldInfo& f) { return f.type == 'M'; });
    const std::string memoPath = hasMemo ? FindSiblingByExtension(path, "FPT") : std::string();
    // Replacing the table's own files would destroy what is being copied.
    const DbfMemoFile* ownMemo = m_handle->memo.get();
    if (IsSameFile(path, m_handle->path) || (hasMemo && ownMemo && IsSameFile(memoPath, ownMemo->path))) {
        AppMessageBoxArg(1027, path);
        return false;
    }

    // Written beside the target under temporary names and renamed at the end.
    std::string tempTable, tempMemo;
    std::unique_ptr<CFileStream> tableStream = BeginAtomicWrite(path, &tempTable);
    std::unique_ptr<CFileStream> memoStream = tableStream && hasMemo ? BeginAtomicWrite(memoPath, &tempMemo) : nullptr;
    CFileStream* const tableFile = tableStream.get();
    CFileStream* const memoFile = memoStream.get();
    std::unique_ptr<DbfHandle> target;
    if (tableStream && (memoStream || !hasMemo))
        target = DbfCreateStream(std::make_unique<CWriteBehindStream>(std::move(tableStream)), std::move(memoStream),
                                 fields.data(), path);
    tableStream.reset();
    memoStream.reset();
    if (!target)
        AppMessageBoxArg(1027, path);

    const bool copied = target && CopyRecords(*target, allRecords, progress);
    bool done = copied && tableFile->Sync() && (!memoFile || memoFile->Sync());
    DbfClose(target);
    if (done)
        done = PutInPlace(tempTable, path, hasMemo ? tempMemo : std::string(), memoPath);
    if (copied && !done)
        AppMessageBoxArg(1027, path);
    if (!done) {
        if (!tempTable.empty())
            RemoveFile(tempTable);
        if (!tempMemo.empty())
            RemoveFile(tempMemo);
    }
    return done;
}

// ------------------------------------------------------------------ filter

bool CDbfTable::SetFilter(std::string_view text)
{
    m_filterText.assign(text);
    m_filter.reset();
    if (text.empty())
        return true;
    auto filter = std::make_unique<CExpr>(this, text);
    filter->RequireLogical();
    if (!filter->IsCompiled() || filter->GetErrorCode() != 0)
        return false;
    m_filter = std::move(filter);
    return true;
}
