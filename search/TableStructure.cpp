#include "search/TableStructure.h"

#include "core/DbfEngine.h"
#include "core/DbfFieldInfoArray.h"
#include "core/FileUtil.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace {

constexpr int kBadName = 1047;
constexpr int kBadCharSize = 1048;
constexpr int kBadNumericSize = 1049;
constexpr int kBadDecimals = 1050;
constexpr int kCannotOpen = 1007;
constexpr int kCannotCreate = 1027;
constexpr int kReadError = 1028;
constexpr int kReadOnly = 1044;
constexpr int kWriteError = 1045;
constexpr int kAskRebuild = 2004;

constexpr char kUnreadableRecords[] =
    "Nepavyko perskaityti įrašų: %d. Jų vietose įrašyti tušti įrašai, pažymėti kaip pašalinti.";

constexpr size_t kMaxNameLength = 10;
constexpr int kMaxCharSize = 254;
constexpr int kMaxNumericSize = 20;

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsNameChar(char c)
{
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_';
}

// A whole number typed in an edit, blanks around it allowed; false for
// anything else.
bool ReadTypedInt(std::string_view text, int& value)
{
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    text = text.substr(0, text.find_last_not_of(' ') + 1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// "Name" for "NAME" (letters, digits and "_" only): the table engine
// writes names upper-cased anyway.
std::string TitleCase(std::string_view upper)
{
    std::string name(upper);
    for (size_t i = 1; i < name.size(); ++i)
        if (name[i] >= 'A' && name[i] <= 'Z')
            name[i] = static_cast<char>(name[i] - 'A' + 'a');
    return name;
}

// The block number a memo field names; 0 for none.
long MemoBlock(const DbfHandle& table, int index)
{
    return DbfIsBlank(table, index) ? 0 : DbfGetLong(table, index);
}

void ShowSystemError(int error)
{
    AppMessageBox(SystemErrorText(error), MB_OK | MB_ICONERROR);
}

// Renames and answers the error number of a failure (0 on success).
int Move(const std::string& from, const std::string& to)
{
    errno = 0;
    if (RenameFile(from, to))
        return 0;
    return errno ? errno : EIO;
}

} // namespace

// ------------------------------------------------------------ one field

int FixedFieldLength(char type)
{
    switch (type) {
    case 'M':
        return 10;
    case 'L':
        return 1;
    case 'D':
        return 8;
    default:
        return 0;
    }
}

char ShownFieldType(char type)
{
    return type == 'F' ? 'N' : type;
}

int CheckFieldDesc(std::string_view name, char type, std::string_view sizeText, std::string_view decimalsText,
                   CDbfFieldInfo& field, FieldDescControl& focus)
{
    const std::string upper = ToUpper1257(name);
    if (upper.empty() || upper.size() > kMaxNameLength || !(IsAsciiLetter(upper[0]) || upper[0] == '_') ||
        !std::all_of(upper.begin(), upper.end(), IsNameChar)) {
        focus = FieldDescControl::Name;
        return kBadName;
    }
    int size = FixedFieldLength(type);
    int decimals = 0;
    if (type == 'C') {
        if (!ReadTypedInt(sizeText, size) || size < 1 || size > kMaxCharSize) {
            focus = FieldDescControl::Size;
            return kBadCharSize;
        }
    } else if (type == 'N' || type == 'F') {
        if (!ReadTypedInt(sizeText, size) || size < 1 || size > kMaxNumericSize) {
            focus = FieldDescControl::Size;
            return kBadNumericSize;
        }
        if (!ReadTypedInt(decimalsText, decimals) || decimals < 0 || (decimals > 0 && decimals > size - 2)) {
            focus = FieldDescControl::Decimals;
            return kBadDecimals;
        }
    } else if (size == 0) {
        focus = FieldDescControl::Name;
        return kBadName;
    }
    field.Set(TitleCase(upper), type, static_cast<unsigned>(size), static_cast<unsigned>(decimals));
    return 0;
}

// ------------------------------------------------------- the field list

bool CTableStructure::Load(const std::string& path)
{
    CDbfFieldInfoArray infos;
    if (!infos.LoadFromFile(path))
        return false;
    m_rows.clear();
    for (int i = 0; i < infos.GetSize(); ++i)
        m_rows.push_back({infos[i], i});
    m_canApply = false;
    return true;
}

int CTableStructure::FindName(std::string_view name, int except) const
{
    for (int row = 0; row < GetCount(); ++row)
        if (row != except && EqualsNoCase1257(m_rows[static_cast<size_t>(row)].info.name, name))
            return row;
    return -1;
}

void CTableStructure::Add(const CDbfFieldInfo& info)
{
    Insert(GetCount(), info);
}

void CTableStructure::Insert(int before, const CDbfFieldInfo& info)
{
    const int at = before >= 0 && before < GetCount() ? before : GetCount();
    m_rows.insert(m_rows.begin() + at, CStructureRow{info, -1});
    m_canApply = true;
}

void CTableStructure::Edit(int row, const CDbfFieldInfo& info)
{
    if (row < 0 || row >= GetCount())
        return;
    m_rows[static_cast<size_t>(row)].info = info;
    m_canApply = true;
}

void CTableStructure::Remove(std::vector<int> rows)
{
    // From the last, so the rows before keep their places.
    std::sort(rows.rbegin(), rows.rend());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    bool removed = false;
    for (const int row : rows) {
        if (row < 0 || row >= GetCount())
            continue;
        m_rows.erase(m_rows.begin() + row);
        removed = true;
    }
    if (removed)
        m_canApply = !m_rows.empty();
}

std::vector<std::string> CTableStructure::RowTexts(const CStructureRow& row)
{
    const CDbfFieldInfo& f = row.info;
    const bool numeric = f.type == 'F' || f.type == 'N';
    return {std::string(f.name, strnlen(f.name, sizeof f.name)), std::string(1, f.type), std::to_string(f.length),
            numeric ? std::to_string(f.decimals) : std::string()};
}

// --------------------------------------------------------- the rebuild

bool CopyIntoStructure(DbfHandle& oldTable, DbfHandle& newTable, const std::vector<CStructureRow>& rows,
                       int& unreadable)
{
    unreadable = 0;
    // One lock for the whole copy instead of one per record.
    if (!DbfLock(newTable)) {
        AppMessageBox(kWriteError);
        return false;
    }
    const auto fail = [&newTable](int message) {
        DbfUnlock(newTable);
        AppMessageBox(message);
        return false;
    };
    const int count = oldTable.RecordCount();
    std::string memo;
    for (int n = 0; n < count; ++n) {
        const bool read = DbfReadRecordAhead(oldTable, n) || DbfReadRecord(oldTable, n);
        DbfAppendBlank(newTable);
        if (!read) {
            // Its place kept, so later records keep their numbers (and a
            // GDB layer's attributes their objects).
            newTable.record[0] = '*';
            ++unreadable;
        } else {
            newTable.record[0] = oldTable.record[0] == '*' ? '*' : ' ';
            for (size_t i = 0; i < rows.size(); ++i) {
                const int from = rows[i].oldIndex;
                if (from < 0 || from >= oldTable.FieldCount())
                    continue;
                const int to = static_cast<int>(i);
                const bool fromMemo = oldTable.fields[static_cast<size_t>(from)].type == 'M';
                if (fromMemo && MemoBlock(oldTable, from) > 0 && !DbfReadMemo(oldTable, from, memo))
                    return fail(kReadError);
                // A number too wide for its new field is starred, not a failure.
                if (!DbfCopyField(newTable, oldTable, to, from) && newTable.fields[i].type == 'M')
                    return fail(kWriteError);
            }
        }
        if (!DbfWriteHere(newTable))
            return fail(kWriteError);
    }
    if (!DbfFlush(newTable) || !DbfUnlock(newTable)) {
        AppMessageBox(kWriteError);
        return false;
    }
    return true;
}

bool RebuildTable(const std::string& path, const std::vector<CStructureRow>& rows)
{
    std::unique_ptr<DbfHandle> oldTable = DbfOpen(path);
    if (!oldTable) {
        AppMessageBoxArg(kCannotOpen, path);
        return false;
    }
    // Records past the cut are gone: a copy would lose them for good.
    if (oldTable->damaged) {
        AppMessageBox(kReadOnly);
        return false;
    }
    const std::string memoPath = FindSiblingByExtension(path, "FPT");
    const bool memoFields = std::any_of(oldTable->fields.begin(), oldTable->fields.end(),
                                        [](const DbfField& f) { return f.type == 'M'; });
    if (memoFields && !oldTable->memo) {
        AppMessageBoxArg(kCannotOpen, memoPath);
        return false;
    }

    std::vector<CDbfFieldInfo> fields(rows.size() + 1);
    for (size_t i = 0; i < rows.size(); ++i) {
        const CDbfFieldInfo& f = rows[i].info;
        fields[i].Set(ToUpper1257(std::string_view(f.name, strnlen(f.name, sizeof f.name))), f.type, f.length,
                      f.decimals);
    }
    fields.back().Set("", 0, 0, 0);
    const std::string newPath = MakeTildePath(path);
    std::unique_ptr<DbfHandle> newTable = DbfCreate(newPath, fields.data());
    if (!newTable) {
        AppMessageBoxArg(kCannotCreate, newPath);
        return false;
    }
    const std::string newMemoPath = newTable->memo ? newTable->memo->path : std::string();

    int unreadable = 0;
    bool copied = false;
    {
        CWaitCursor wait;
        // Writers of the old table wait until the copy is whole.
        copied = DbfLock(*oldTable) && CopyIntoStructure(*oldTable, *newTable, rows, unreadable);
        DbfUnlock(*oldTable);
    }
    const bool memoMoves = oldTable->Version() == kDbfVersionMemo || newTable->Version() == kDbfVersionMemo;
    DbfClose(oldTable);
    DbfClose(newTable);
    if (!copied) {
        RemoveFile(newPath);
        if (!newMemoPath.empty())
            RemoveFile(newMemoPath);
        return false;
    }

    // The swap; every failed step puts back what the steps before it moved.
    const std::string backup = ChangeExtensionCopy(path, "~db");
    const std::string memoBackup = ChangeExtensionCopy(path, "~fp");
    const bool oldMemo = memoMoves && PathExists(memoPath);
    const std::string memoTarget = oldMemo ? memoPath : ChangeExtensionCopy(path, "fpt");
    if (const int error = Move(path, backup)) {
        ShowSystemError(error);
        return false;
    }
    int error = Move(newPath, path);
    bool tableMoved = error == 0, memoBackedUp = false;
    if (!error && oldMemo) {
        error = Move(memoPath, memoBackup);
        memoBackedUp = error == 0;
    }
    if (!error && !newMemoPath.empty())
        error = Move(newMemoPath, memoTarget);
    if (error) {
        if (memoBackedUp)
            Move(memoBackup, memoPath);
        if (tableMoved)
            Move(path, newPath);
        Move(backup, path);
        ShowSystemError(error);
        return false;
    }
    if (unreadable > 0)
        AppMessageBox(Utf8ToCp1257(FormatC(kUnreadableRecords, unreadable)), MB_OK | MB_ICONWARNING);
    return true;
}

StructureAnswer ApplyTableStructure(const std::string& path, const std::vector<CStructureRow>& rows)
{
    switch (AppMessageBox(kAskRebuild, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        break;
    case IDNO:
        return StructureAnswer::CloseUnchanged;
    default:
        return StructureAnswer::StayOpen;
    }
    if (IsFileReadOnly(path)) {
        AppMessageBox(kReadOnly);
        return StructureAnswer::StayOpen;
    }
    return RebuildTable(path, rows) ? StructureAnswer::Rebuilt : StructureAnswer::StayOpen;
}
