#include "layers/LonLatTableSource.h"

#include "core/CoordConverter.h"
#include "core/Expr.h"
#include "core/FileUtil.h"
#include "layers/CoordTableDialogs.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <cmath>
#include <vector>

namespace {

// Where the table's memo file is, or would be.
std::string MemoPath(const std::string& tablePath)
{
    return FindSiblingByExtension(tablePath, "FPT");
}

} // namespace

CLonLatTableSource::~CLonLatTableSource()
{
    Close();
}

void CLonLatTableSource::SetCoordinateFields(const std::string& xField, const std::string& yField)
{
    m_xName = xField;
    m_yName = yField;
}

bool CLonLatTableSource::Fail(int error)
{
    SetError(error);
    return false;
}

// ---------------------------------------------------------------- opening

bool CLonLatTableSource::AskFieldNames(const std::string& path)
{
    if (!m_xName.empty() && !m_yName.empty())
        return true;
    ICoordTableDialogs::CFieldChoice choice;
    if (!CoordTableDialogs().AskCoordinateFields(m_table, path, choice))
        return false;
    m_xName = choice.xField;
    m_yName = choice.yField;
    m_dosText = choice.dosText;
    return true;
}

bool CLonLatTableSource::FindFields(const std::string& path, bool fallback)
{
    const auto find = [&](const std::string& name) { return name.empty() ? -1 : m_table.FindField(name); };
    m_xField = find(m_xName);
    m_yField = find(m_yName);
    if (fallback && (m_xField < 0 || m_yField < 0)) {
        const int x = find("LONGITUDE"), y = find("LATITUDE");
        if (x >= 0 && y >= 0) {
            m_xField = x;
            m_yField = y;
        }
    }
    if (m_xField >= 0 && m_yField >= 0)
        return true;
    const std::string missing = m_xField < 0 ? m_xName : m_yName;
    Close();
    AppMessageBox(LoadStringArgs(1032, path, missing), MB_OK, 1032);
    return Fail(kBadStructure);
}

bool CLonLatTableSource::Open(const std::string& path)
{
    Close();
    SetError(kNoError);
    m_changed = false;
    if (!m_table.Open(path))
        return Fail(kOpenError);
    if (!AskFieldNames(path)) {
        Close();
        return Fail(kOpenError);
    }
    return FindFields(path, true);
}

void CLonLatTableSource::Close()
{
    m_table.Close();
    ResetReading();
    m_xField = m_yField = -1;
}

// ---------------------------------------------------------------- reading

bool CLonLatTableSource::LoadRecord(int n, bool ahead)
{
    DbfHandle& h = *m_table.GetHandle();
    // The buffer of the current record may hold converted text: it is read
    // again rather than converted twice.
    const bool read = m_table.GetCurrentRecord() == n ? DbfReadRecord(h, n)
                      : ahead                         ? m_table.ReadRecordAhead(n)
                                                      : m_table.GoToRecord(n);
    if (!read)
        return Fail(kReadError);
    if (m_dosText) {
        const size_t length = static_cast<size_t>(h.RecordLength());
        std::string text(h.record.data() + 1, length - 1);
        OemToAnsiInPlace(text);
        std::copy(text.begin(), text.end(), h.record.begin() + 1);
    }
    return true;
}

bool CLonLatTableSource::PassesLoadedFilter() const
{
    CExpr* filter = m_table.GetFilter();
    return !filter || filter->EvalBool();
}

CMapPoint CLonLatTableSource::LoadedPoint() const
{
    const DbfHandle& h = *m_table.GetHandle();
    CMapPoint point(DbfGetDegrees(h, m_xField), DbfGetDegrees(h, m_yField));
    if (m_readConverter)
        m_readConverter->ConvertPoint(point);
    return point;
}

bool CLonLatTableSource::ReadNextPoint(CMapPoint& point)
{
    if (!IsOpen())
        return false;
    for (;;) {
        if (GetError() != kNoError)
            return false;
        int n = NextListedRecord();
        if (n == -1)
            return false;
        const bool fileOrder = n == kFileOrder;
        if (fileOrder) {
            if (ScanNext() >= m_table.GetRecordCount())
                return false;
            n = ScanNext()++;
            if (n == GetExcludedRecord())
                continue;
        }
        if (!LoadRecord(n, fileOrder))
            return false;
        if (m_table.IsDeleted() || !PassesLoadedFilter())
            continue;
        const CMapPoint p = LoadedPoint();
        // A coordinate that is no number places nothing.
        if (!p.IsFinite() || !PointInQuery(p))
            continue;
        Current() = n;
        point = p;
        return true;
    }
}

bool CLonLatTableSource::ReadPoint(int n, CMapPoint& point)
{
    if (GetError() != kNoError || !IsOpen() || !LoadRecord(n, false))
        return false;
    Current() = n;
    const CMapPoint p = LoadedPoint();
    if (!p.IsFinite())
        return false;
    point = p;
    return true;
}

bool CLonLatTableSource::GetRecordBox(int n, CMapRect& box)
{
    CMapPoint point;
    if (!ReadPoint(n, point))
        return false;
    box = CMapRect(point);
    return true;
}

bool CLonLatTableSource::FindNearestVertex(const CMapPoint& point, CMapPoint& vertex)
{
    return GetError() == kNoError && IsOpen() && FindNearestPointOf(point, vertex);
}

// ---------------------------------------------------------------- writing

bool CLonLatTableSource::StoreCoordinates(CMapPoint point)
{
    if (m_writeConverter)
        m_writeConverter->ConvertPoint(point);
    const bool x = m_table.SetLongitude(m_xField, point.x);
    const bool y = m_table.SetLatitude(m_yField, point.y);
    return x && y;
}

bool CLonLatTableSource::AppendPoint(const CMapPoint& point, bool writeAttributes)
{
    if (GetError() != kNoError || !IsOpen())
        return false;
    m_table.AppendBlank();
    if (!StoreCoordinates(point))
        return false;
    // Written at once either way: only then is the record's number known
    // (other programs may append too); the caller may fill it and write it again.
    if (!m_table.WriteRecord())
        return Fail(kWriteError);
    m_changed = true;
    Current() = m_table.GetCurrentRecord();
    return true;
}

bool CLonLatTableSource::ReplacePoint(const CMapPoint& point, int n)
{
    if (GetError() != kNoError || !IsOpen() || !m_table.GoToRecord(n) || !StoreCoordinates(point))
        return false;
    // Only the coordinates go to the file: the rest of the buffer may hold
    // text converted from DOS, which must not replace the file's own.
    DbfHandle& h = *m_table.GetHandle();
    if (!DbfWriteFieldString(h, n, m_xField, DbfGetString(h, m_xField)) ||
        !DbfWriteFieldString(h, n, m_yField, DbfGetString(h, m_yField)))
        return false;
    m_changed = true;
    return true;
}

bool CLonLatTableSource::DeleteRecord(int n)
{
    if (GetError() != kNoError || !IsOpen() || !m_table.DeleteRecordAt(n))
        return false;
    m_changed = true;
    return true;
}

bool CLonLatTableSource::Create(const std::string& path, int type, const CDbfFieldInfo* fields)
{
    std::vector<CDbfFieldInfo> defaults;
    if (!fields) {
        const int format = CoordTableDialogs().AskCoordinateFormat();
        if (format == ICoordTableDialogs::kCancelled)
            return false;
        if (m_xName.empty())
            m_xName = "Lon";
        if (m_yName.empty())
            m_yName = "Lat";
        const bool numeric = format == ICoordTableDialogs::kDecimalDegrees;
        defaults.resize(4);
        defaults[0].Set("ID", 'C', 20, 0);
        defaults[1].Set(m_xName, numeric ? 'N' : 'C', numeric ? 13 : 11, numeric ? 8 : 0);
        defaults[2].Set(m_yName, numeric ? 'N' : 'C', numeric ? 13 : 11, numeric ? 8 : 0);
        defaults[3].Set("", 0, 0, 0);
        fields = defaults.data();
    }
    Close();
    SetError(kNoError);
    m_changed = false;
    if (type != kPoint)
        return Fail(kWrongType);

    // Made beside the target and put in its place whole, so a failed
    // creation leaves any old table as it was.
    const std::string work = MakeTildePath(path);
    const std::string workMemo = MemoPath(work);
    if (!m_table.Create(work, fields, path))
        return Fail(kCreateError);
    const bool hasMemo = m_table.GetHandle()->memo != nullptr;
    m_table.Close();
    // The table first: a new table beside an old memo file names no text of it.
    if (!RenameFile(work, path) || (hasMemo && !RenameFile(workMemo, MemoPath(path)))) {
        RemoveFile(work);
        if (hasMemo)
            RemoveFile(workMemo);
        AppMessageBoxArg(1027, path);
        return Fail(kCreateError);
    }
    if (!m_table.Open(path))
        return Fail(kCreateError);
    if (!AskFieldNames(path)) {
        Close();
        return Fail(kCreateError);
    }
    return FindFields(path, false);
}

bool CLonLatTableSource::Pack()
{
    if (!IsOpen())
        return false;
    DbfHandle& h = *m_table.GetHandle();
    if (!h.stream || RefuseIfReadOnly(*h.stream))
        return false;
    CWaitCursor wait;
    const std::string path = m_table.GetPath();
    const std::string memo = h.memo ? h.memo->path : MemoPath(path);
    const std::string work = MakeTildePath(path);
    const std::string workMemo = MemoPath(work);
    const auto removeWorkCopies = [&]() {
        for (const std::string& file : {work, workMemo})
            if (PathExists(file))
                RemoveFile(file);
    };

    // Every live record survives, whatever the readers are restricted to.
    const std::string filter = m_table.GetFilterText();
    SetFilter("");
    bool copied = DbfLock(h);
    if (copied) {
        // Nobody appends while the records are copied; what others
        // appended before is copied too.
        copied = DbfRefreshHeader(h) && m_table.SaveAs(work, false, true);
        DbfUnlock(h);
    }
    if (!copied) {
        removeWorkCopies();
        SetFilter(filter);
        return Fail(kWriteError);
    }
    const bool hasMemo = PathExists(workMemo);
    const std::string index = GetIndexPath();
    Close();
    if ((hasMemo && !RenameFile(workMemo, memo)) || !RenameFile(work, path)) {
        AppMessageBoxArg(1027, path);
        removeWorkCopies();
        return Fail(kWriteError);
    }
    // An index described the records before the pack.
    if (!index.empty() && PathExists(index))
        RemoveFile(index);
    return true;
}
