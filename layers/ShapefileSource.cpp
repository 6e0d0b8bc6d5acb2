#include "layers/ShapefileSource.h"

#include "core/FileUtil.h"
#include "platform/Path.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cmath>

CShapefileSource::~CShapefileSource()
{
    Close();
}

// ---------------------------------------------------------------- opening

bool CShapefileSource::Open(const std::string& path)
{
    Close();
    SetError(kNoError);
    std::unique_ptr<CStream> main = CFileStream::Open(path, FileMode::Read);
    std::unique_ptr<CStream> index =
        main ? CFileStream::Open(FindSiblingByExtension(path, "shx"), FileMode::Read) : nullptr;
    if (!index || !m_table.Open(FindSiblingByExtension(path, "dbf")))
        return Fail(kOpenError);
    if (const int error = m_file.Open(std::move(main), std::move(index)); error != kNoError) {
        m_table.Close();
        return Fail(error);
    }
    const CMapRect box = m_file.GetHeader().Box();
    m_extent = box.IsFinite() ? box : CMapRect();
    m_recordCount = std::min(m_file.GetRecordCount(), m_table.GetRecordCount());
    return true;
}

void CShapefileSource::FinishCreated()
{
    bool done = !HasStoppingError();
    if (done && m_file.WriteHeaders() != kNoError) {
        AppMessageBox(1045);
        done = false;
    }
    done = m_file.Flush() && done;
    m_file.Close();
    m_table.Close();
    // The work files go in place only all together: the table first, so
    // that geometry never stands beside a table that lacks its records.
    for (const CWorkFile& file : m_workFiles) {
        if (!done || !PathExists(file.work))
            continue;
        if (!RenameFile(file.work, file.target)) {
            AppMessageBoxArg(1027, file.target);
            done = false;
        }
    }
    for (const CWorkFile& file : m_workFiles)
        if (PathExists(file.work))
            RemoveFile(file.work);
    if (done && !m_workFiles.empty()) {
        // An index beside the new table described the files replaced.
        const std::string index = FindSiblingByExtension(m_workFiles.front().target, "spx");
        if (PathExists(index))
            RemoveFile(index);
    }
    m_workFiles.clear();
}

void CShapefileSource::Close()
{
    if (!m_workFiles.empty())
        FinishCreated();
    m_file.Close();
    m_table.Close();
    m_extent.SetEmpty();
    m_recordCount = 0;
    m_scanRecord = 0;
    m_scanOffset = CShpFile::FirstRecord();
    ResetReading();
}

bool CShapefileSource::GetExtent(CMapRect& extent)
{
    extent = m_extent;
    return true;
}

int CShapefileSource::GetShapeType() const
{
    switch (m_file.GetShapeType()) {
    case CShpFile::kPoint:
    case CShpFile::kMultiPoint:
        return kPoint;
    case CShpFile::kPolyLine:
        return kLine;
    case CShpFile::kPolygon:
        return kArea;
    default:
        return -1;
    }
}

bool CShapefileSource::IsPointFile() const
{
    return m_file.GetShapeType() == CShpFile::kPoint || m_file.GetShapeType() == CShpFile::kMultiPoint;
}

bool CShapefileSource::IsLineOrAreaFile() const
{
    return m_file.GetShapeType() == CShpFile::kPolyLine || m_file.GetShapeType() == CShpFile::kPolygon;
}

bool CShapefileSource::RequireLineOrArea()
{
    if (IsLineOrAreaFile())
        return true;
    SetError(kWrongType);
    AppMessageBox(1034);
    return false;
}

bool CShapefileSource::Fail(int error)
{
    SetError(error);
    return false;
}

bool CShapefileSource::FailObject(int error)
{
    ReportBadObject(error);
    return false;
}

bool CShapefileSource::QueryMissesExtent() const
{
    return HasQueryRect() && !BoxMeetsQuery(m_extent);
}

// ---------------------------------------------------------------- reading

int CShapefileSource::ReadIndexed(int n, CShpFile::CRecord& record)
{
    return n >= 0 && n < m_recordCount ? m_file.ReadIndexedRecord(n, record) : kReadError;
}

void CShapefileSource::FetchHits(int n)
{
    if (HasRecordList() || n <= m_plainUntil || m_file.IsReadAhead(n) || m_recordCount <= 0)
        return;
    const int64_t meanRecord = (m_file.RecordsEnd() - CShpFile::FirstRecord()) / m_recordCount;
    m_file.ReadAhead(m_hitsToFetch, CollectHitsToFetch(n, std::max<int64_t>(meanRecord, 1), m_hitsToFetch, m_plainUntil));
}

int CShapefileSource::NextInFile(CShpFile::CRecord& record)
{
    // The walk was moved (rewound, or restored after a walk of its own):
    // the index tells where its record starts.
    if (ScanNext() != m_scanRecord) {
        m_scanRecord = ScanNext();
        m_scanOffset = m_scanRecord == 0 ? CShpFile::FirstRecord() : kUnknownOffset;
    }
    while (m_scanRecord < m_recordCount) {
        const int n = m_scanRecord;
        m_scanRecord = ++ScanNext();
        // The record starts where the last one's stated length ended, as
        // long as it carries its number there; else where the index says.
        int error = m_scanOffset != kUnknownOffset ? m_file.ReadRecord(m_scanOffset, record) : kBadStructure;
        if (error != kNoError || record.number != n + 1) {
            CShpFile::CRecord indexed;
            if (m_file.ReadIndexedRecord(n, indexed) == kNoError) {
                record = indexed;
                error = kNoError;
            }
        }
        if (error == kNoError) {
            // The next record starts where this one's stated length ends,
            // whatever this one holds.
            m_scanOffset = record.End();
            return n;
        }
        // No head to read: the index alone can say where the next one is.
        ReportBadObject(error);
        m_scanOffset = kUnknownOffset;
    }
    return -1;
}

CShapefileSource::StepResult CShapefileSource::StepNext(StepMode mode, CMapPoint* point, CMapRect* box,
                                                        CShape* shape, const CBoxProbe* probe)
{
    // The spatial filter tests shapes, wanted or not.
    if (mode == kStepBox && HasSpatialFilter()) {
        mode = kStepShape;
        shape = &m_scratch;
    }
    CMapPoint p;
    CMapRect b;
    for (;;) {
        if (HasStoppingError())
            return kStepFailed;
        int n = NextListedRecord();
        if (n == -1)
            return kStepEnd;
        const bool fileOrder = n == kFileOrder;
        CShpFile::CRecord record;
        if (fileOrder) {
            n = NextInFile(record);
            if (n < 0)
                return HasStoppingError() ? kStepFailed : kStepEnd;
            if (n == GetExcludedRecord())
                continue;
        } else if (n >= m_recordCount) {
            continue;
        } else {
            FetchHits(n);
            if (const int error = ReadIndexed(n, record); error != kNoError) {
                ReportBadObject(error);
                continue;
            }
        }
        // A malformed record is passed over; the walk knows where the next one is.
        bool empty = false;
        if (mode == kStepPoint) {
            if (const int error = m_file.ReadPoint(record, p, empty); error != kNoError) {
                ReportBadObject(error);
                continue;
            }
            if (empty || !PointInQuery(p))
                continue;
        } else {
            if (const int error = m_file.ReadBox(record, b, empty); error != kNoError) {
                ReportBadObject(error);
                continue;
            }
            if (empty || !BoxMeetsQuery(b))
                continue;
            if (probe && !probe->Passes(b))
                continue;
        }
        // Index hits come in ascending order too.
        if (!PassesFilter(n, !HasRecordList())) {
            if (HasStoppingError())
                return kStepFailed;
            continue;
        }
        if (mode == kStepShape) {
            if (!TakeMeasuredShape(n, *shape)) {
                if (const int error = m_file.ReadShape(record, *shape); error != kNoError) {
                    ReportBadObject(error);
                    continue;
                }
            }
            if (!PassesSpatialFilter(*shape))
                continue;
        } else if (mode == kStepPoint && !PassesSpatialFilter(p)) {
            continue;
        }
        if (point)
            *point = p;
        if (box)
            *box = b;
        Current() = n;
        return kStepFound;
    }
}

bool CShapefileSource::ReadNextPoint(CMapPoint& point)
{
    if (HasStoppingError() || !IsOpen())
        return false;
    if (!IsPointFile())
        return Fail(kWrongType);
    return !QueryMissesExtent() && StepNext(kStepPoint, &point, nullptr, nullptr) == kStepFound;
}

bool CShapefileSource::ReadNextShape(CShape& shape)
{
    if (HasStoppingError() || !IsOpen() || !RequireLineOrArea())
        return false;
    return !QueryMissesExtent() && StepNext(kStepShape, nullptr, nullptr, &shape) == kStepFound;
}

bool CShapefileSource::ReadNextBox(CMapRect& box)
{
    if (HasStoppingError() || !IsOpen())
        return false;
    if (IsPointFile()) {
        CMapPoint point;
        if (!ReadNextPoint(point))
            return false;
        box = CMapRect(point);
        return true;
    }
    if (!RequireLineOrArea())
        return false;
    return !QueryMissesExtent() && StepNext(kStepBox, nullptr, &box, nullptr) == kStepFound;
}

bool CShapefileSource::ReadPoint(int n, CMapPoint& point)
{
    if (HasStoppingError() || !IsOpen())
        return false;
    if (!IsPointFile())
        return Fail(kWrongType);
    CShpFile::CRecord record;
    if (const int error = ReadIndexed(n, record); error != kNoError)
        return FailObject(error);
    bool empty = false;
    if (const int error = m_file.ReadPoint(record, point, empty); error != kNoError)
        return FailObject(error);
    Current() = n;
    if (empty) {
        // Asked for by number, a null point is worth saying so; it is no
        // fault of the file.
        point = CMapPoint(0, 0);
        AppMessageBox(1078);
        return false;
    }
    return true;
}

bool CShapefileSource::ReadShape(int n, CShape& shape)
{
    if (HasStoppingError() || !IsOpen() || !RequireLineOrArea())
        return false;
    CShpFile::CRecord record;
    if (const int error = ReadIndexed(n, record); error != kNoError)
        return FailObject(error);
    if (const int error = m_file.ReadShape(record, shape); error != kNoError)
        return FailObject(error);
    Current() = n;
    return true;
}

bool CShapefileSource::GetRecordBox(int n, CMapRect& box)
{
    if (HasStoppingError() || !IsOpen())
        return false;
    if (!IsPointFile() && !IsLineOrAreaFile())
        return Fail(kWrongType);
    CShpFile::CRecord record;
    if (const int error = ReadIndexed(n, record); error != kNoError)
        return FailObject(error);
    bool empty = false;
    int error = kNoError;
    if (IsPointFile()) {
        CMapPoint point;
        error = m_file.ReadPoint(record, point, empty);
        box = empty ? CMapRect() : CMapRect(point);
    } else {
        error = m_file.ReadBox(record, box, empty);
    }
    if (error != kNoError)
        return FailObject(error);
    return !empty;
}

// ---------------------------------------------------------------- searches

bool CShapefileSource::FindNearestVertex(const CMapPoint& point, CMapPoint& vertex)
{
    if (HasStoppingError() || !IsOpen())
        return false;
    if (IsPointFile())
        return FindNearestPointOf(point, vertex);
    return IsLineOrAreaFile() && !QueryMissesExtent() && FindNearestShapeVertex(point, vertex);
}

bool CShapefileSource::FindNearestLine(const CMapPoint& point, CRecordArray& records, double* distance)
{
    records.clear();
    if (HasStoppingError() || !IsOpen() || !IsLineOrAreaFile() || QueryMissesExtent())
        return false;
    return FindNearestShapeLine(point, records, distance);
}

bool CShapefileSource::FindAreasAt(const CMapPoint& point, CRecordArray& records)
{
    records.clear();
    if (HasStoppingError() || !IsOpen() || GetShapeType() != kArea || !BoxesMeet(CMapRect(point), m_extent) ||
        QueryMissesExtent())
        return false;
    Rewind();
    const CBoxProbe probe{CMapRect(point), false};
    CShape shape;
    for (;;) {
        const StepResult step = StepNext(kStepShape, nullptr, nullptr, &shape, &probe);
        if (step == kStepFailed)
            return false;
        if (step == kStepEnd)
            break;
        if (shape.PointInPolygon(point) != 0)
            records.push_back(GetCurrentRecord());
    }
    return !records.empty();
}

bool CShapefileSource::CollectRecords(const CMapRect& rect, bool inside, CRecordArray& records)
{
    records.clear();
    if (HasStoppingError() || !IsOpen() || !BoxesMeet(rect, m_extent) || QueryMissesExtent())
        return false;
    Rewind();
    const CBoxProbe probe{rect, inside};
    // Lines and areas whose shapes do not read are no more selected than drawn.
    const StepMode mode = IsPointFile() ? kStepPoint : kStepShape;
    for (;;) {
        CMapPoint point;
        const StepResult step =
            StepNext(mode, &point, nullptr, &m_scratch, mode == kStepShape ? &probe : nullptr);
        if (step == kStepFailed)
            return false;
        if (step == kStepEnd)
            break;
        if (mode == kStepShape || BoxContains(rect, CMapRect(point)))
            records.push_back(GetCurrentRecord());
    }
    return !records.empty();
}

bool CShapefileSource::SelectWithin(const CMapRect& rect, CRecordArray& records)
{
    return CollectRecords(rect, true, records);
}

bool CShapefileSource::SelectInRect(const CMapRect& rect, CRecordArray& records)
{
    return CollectRecords(rect, true, records);
}

// ---------------------------------------------------------------- writing

bool CShapefileSource::Create(const std::string& path, int type, const CDbfFieldInfo* fields)
{
    Close();
    SetError(kNoError);
    const int32_t shapeType = type == kPoint  ? CShpFile::kPoint
                              : type == kLine ? CShpFile::kPolyLine
                              : type == kArea ? CShpFile::kPolygon
                                              : CShpFile::kNullShape;
    if (shapeType == CShpFile::kNullShape)
        return Fail(kWrongType);

    const std::string workShp = MakeTildePath(path);
    const std::string workDbf = ChangeExtensionCopy(workShp, "dbf");
    const std::string targetDbf = FindSiblingByExtension(path, "dbf");
    m_workFiles = {
        {workDbf, targetDbf},
        {FindSiblingByExtension(workDbf, "FPT"), FindSiblingByExtension(targetDbf, "FPT")},
        {ChangeExtensionCopy(workShp, "shx"), FindSiblingByExtension(path, "shx")},
        {workShp, path},
    };
    std::unique_ptr<CStream> main = CFileStream::Open(workShp, FileMode::CreateAlways);
    std::unique_ptr<CStream> index = CFileStream::Open(m_workFiles[2].work, FileMode::CreateAlways);
    int error = main && index ? m_file.Create(std::move(main), std::move(index), shapeType) : kCreateError;
    if (error == kNoError) {
        CDbfFieldInfo defaults[2];
        defaults[0].Set("ID", 'C', 20, 0);
        defaults[1].Set("", 0, 0, 0);
        if (!m_table.Create(workDbf, fields ? fields : defaults, targetDbf))
            error = kCreateError;
    }
    if (error != kNoError) {
        SetError(error);
        if (error == kWriteError)
            AppMessageBoxArg(1027, path);
        Close();
        return false;
    }
    m_extent.SetEmpty();
    m_recordCount = 0;
    return true;
}

bool CShapefileSource::FinishAppend(bool writeAttributes)
{
    // The blank attribute record goes out at once either way, so the
    // table never lags behind the geometry; the caller may fill it and
    // write it again.
    m_table.AppendBlank();
    if (!m_table.WriteRecord())
        return Fail(kWriteError);
    m_extent = m_file.GetWrittenExtent();
    m_recordCount = m_file.GetWrittenCount();
    Current() = m_recordCount - 1;
    ForgetIndexHits();
    return true;
}

bool CShapefileSource::AppendPoint(const CMapPoint& point, bool writeAttributes)
{
    if (HasStoppingError() || !m_file.IsCreated())
        return false;
    if (!IsPointFile())
        return Fail(kWrongType);
    const int error = m_file.AppendPoint(point);
    if (error == kWrongType)
        return false; // coordinates that are no numbers: this object is refused, the file stays sound
    if (error != kNoError) {
        AppMessageBox(1045);
        return Fail(error);
    }
    return FinishAppend(writeAttributes);
}

bool CShapefileSource::AppendShape(const CShape& shape, bool writeAttributes)
{
    if (HasStoppingError() || !m_file.IsCreated())
        return false;
    if (!IsLineOrAreaFile())
        return Fail(kWrongType);
    const int error = m_file.AppendShape(shape);
    if (error == kWrongType)
        return false;
    if (error != kNoError) {
        AppMessageBox(1045);
        return Fail(error);
    }
    return FinishAppend(writeAttributes);
}
