#include "layers/FeatureSource.h"

#include "core/CoordConverter.h"
#include "core/Expr.h"
#include "core/MapGeometry.h"
#include "core/RangeReads.h"
#include "core/RectClipper.h"
#include "core/SpatialFilter.h"
#include "layers/SpatialIndex.h"
#include "platform/Path.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// Calls visit(first, size) for each part, sizes cut to the points there are.
template <class Visit>
void ForEachPart(const CShape& shape, Visit visit)
{
    int first = 0;
    for (int part = 0; part < shape.GetPartCount() && first < shape.GetPointCount(); ++part) {
        const int size = std::clamp(shape.GetPartSize(part), 0, shape.GetPointCount() - first);
        visit(first, size);
        first += size;
    }
}

bool IsPointType(int type)
{
    return type == CFeatureSource::kPoint || type == CFeatureSource::kText || type == CFeatureSource::kTrack;
}

} // namespace

CFeatureSource::CUnrestricted::CUnrestricted(CFeatureSource& source) : m_source(source), m_saved(source.m_read)
{
    source.m_read = CReadState();
    source.Rewind();
}

CFeatureSource::CUnrestricted::~CUnrestricted()
{
    m_source.m_read = m_saved;
}

CFeatureSource::~CFeatureSource()
{
    m_table.Close();
}

std::vector<CDbfFieldInfo> CFeatureSource::GetFieldInfos() const
{
    if (!m_table.IsOpen())
        return {};
    return m_table.GetFieldInfos();
}

void CFeatureSource::CopyAttributesTo(CDbfTable& target) const
{
    target.CopyRecordFrom(m_table);
}

bool CFeatureSource::OpenTyped(const std::string& path, int type)
{
    return Open(path) && (type == -1 || AcceptType(type));
}

// ------------------------------------------------------------ restrictions

void CFeatureSource::SetQueryRect(const CMapRect* rect)
{
    if (!rect) {
        m_read.queryRectSet = false;
        m_read.queryRect = CMapRect();
        // Hits of the old rectangle would hide everything outside it.
        m_read.indexInUse = false;
        m_indexHits.Free();
        return;
    }
    if (m_read.queryRectSet) {
        m_read.queryRect.IntersectRect(m_read.queryRect, *rect);
    } else {
        m_read.queryRect = *rect;
        m_read.queryRectSet = true;
    }
    CMapRect extent;
    if (!m_read.indexInUse && m_read.queryRect.IsValid() && m_table.GetRecordCount() > kIndexMinRecords &&
        GetExtent(extent) && m_read.queryRect.Area() < 0.25 * extent.Area())
        LoadIndexHits();
}

bool CFeatureSource::GetQueryRect(CMapRect& rect) const
{
    if (!m_read.queryRectSet)
        return false;
    rect = m_read.queryRect;
    return true;
}

void CFeatureSource::SetSpatialFilter(CSpatialFilter* filter)
{
    if (!filter || filter->GetKind() < 0) {
        m_read.spatialFilter = nullptr;
        return;
    }
    m_read.spatialFilter = filter;
    const CMapRect bounds = filter->GetBounds();
    SetQueryRect(&bounds);
}

void CFeatureSource::SetFieldAliases(const CDbfTable::CAliasMap* aliases)
{
    if (m_table.IsOpen())
        m_table.SetFieldAliases(aliases);
}

bool CFeatureSource::SetFilter(std::string_view text)
{
    m_read.filterInForce = m_table.SetFilter(text);
    if (CExpr* filter = m_table.GetFilter())
        filter->SetObjectProvider(this);
    return m_read.filterInForce;
}

void CFeatureSource::SetRecordList(const int32_t* records, int count)
{
    if (!records && count > 0) {
        SetLastRecordMode();
        return;
    }
    m_read.recordList = count > 0 ? records : nullptr;
    m_read.recordCount = std::max(count, 0);
    m_read.listPosition = 0;
}

bool CFeatureSource::SetLastRecordMode()
{
    m_read.recordList = nullptr;
    m_read.recordCount = m_table.GetRecordCount() > 0 ? 1 : 0;
    m_read.listPosition = 0;
    return m_read.recordCount > 0;
}

void CFeatureSource::Rewind()
{
    m_read.listPosition = 0;
    m_read.indexPosition = -1;
    m_read.scanNext = 0;
    m_read.current = -1;
    m_measuredRecord = -1;
    m_table.SetPosition(0);
}

void CFeatureSource::ForgetIndexHits()
{
    m_read.indexInUse = false;
    m_indexHits.Free();
}

void CFeatureSource::ResetReading()
{
    m_read = CReadState();
    m_indexHits.Free();
    m_measuredRecord = -1;
    m_measuredShape = CShape();
}

// ------------------------------------------------------ reading machinery

int CFeatureSource::NextListedRecord()
{
    const int count = m_table.GetRecordCount();
    if (m_read.recordCount > 0) {
        while (m_read.listPosition < m_read.recordCount) {
            const int n = m_read.recordList ? m_read.recordList[m_read.listPosition] : count - 1;
            ++m_read.listPosition;
            if (n >= 0 && n < count && n != m_read.excluded)
                return n;
        }
        return -1;
    }
    if (!m_read.indexInUse)
        return kFileOrder;
    for (;;) {
        const int n = m_indexHits.FindNext(m_read.indexPosition);
        if (n < 0 || n >= count)
            return -1;
        m_read.indexPosition = n;
        if (n != m_read.excluded)
            return n;
    }
}

int CFeatureSource::IndexHitReach(int n, int64_t recordLength) const
{
    if (!m_read.indexInUse || HasRecordList() || recordLength <= 0)
        return -1;
    int last = n;
    for (int next; (next = m_indexHits.FindNext(last)) >= 0 && int64_t(next - last - 1) * recordLength <= kRangeGapBytes &&
                   int64_t(next - n + 1) * recordLength <= kRangeSpanBytes;)
        last = next;
    return last;
}

size_t CFeatureSource::CollectHitsToFetch(int n, int64_t objectBytes, std::vector<int>& hits, int& plainUntil) const
{
    // Below this mean gap between objects the plain readers read far ahead.
    constexpr int64_t kDenseGapBytes = 4096;
    if (!m_read.indexInUse || HasRecordList())
        return 0;
    const int count = m_table.GetRecordCount();
    hits.resize(kFetchBatch);
    size_t found = 0;
    for (int k = n; k >= 0 && k < count && found < kFetchBatch; k = m_indexHits.FindNext(k))
        hits[found++] = k;
    if (found > 1 && int64_t(hits[found - 1] - n) * objectBytes < int64_t(found - 1) * kDenseGapBytes) {
        plainUntil = hits[found - 1];
        return 0;
    }
    return found;
}

bool CFeatureSource::BoxMeetsQuery(const CMapRect& box) const
{
    if (!m_read.queryRectSet)
        return true;
    const CMapRect& q = m_read.queryRect;
    return q.IsValid() && box.left <= q.right && box.right >= q.left && box.bottom <= q.top && box.top >= q.bottom;
}

bool CFeatureSource::PointInQuery(const CMapPoint& point) const
{
    if (!m_read.queryRectSet)
        return true;
    const CMapRect& q = m_read.queryRect;
    return point.x >= q.left && point.x <= q.right && point.y >= q.bottom && point.y <= q.top;
}

bool CFeatureSource::PassesFilter(int n, bool ahead)
{
    CExpr* filter = m_read.filterInForce ? m_table.GetFilter() : nullptr;
    if (!filter)
        return true;
    m_measuredRecord = -1;
    int reach = -1;
    if (const DbfHandle* handle = m_table.GetHandle(); ahead && handle && !m_table.HoldsRecord(n))
        reach = IndexHitReach(n, handle->RecordLength());
    if (!(ahead ? m_table.ReadRecordAhead(n, reach) : m_table.GoToRecord(n))) {
        SetError(kReadError);
        return false;
    }
    return filter->EvalBool();
}

bool CFeatureSource::PassesSpatialFilter(const CShape& shape) const
{
    return !m_read.spatialFilter || m_read.spatialFilter->Test(shape, GetShapeType());
}

bool CFeatureSource::PassesSpatialFilter(const CMapPoint& point) const
{
    if (!m_read.spatialFilter)
        return true;
    CShape shape;
    shape.SetPoints(1, &point);
    shape.RecalcBounds();
    return m_read.spatialFilter->Test(shape, GetShapeType());
}

bool CFeatureSource::TakeMeasuredShape(int n, CShape& shape)
{
    if (n != m_measuredRecord || !m_measuredOk)
        return false;
    shape = std::move(m_measuredShape);
    m_measuredShape = CShape();
    m_measuredRecord = -1;
    return true;
}

void CFeatureSource::ReportBadObject(int error)
{
    if (m_error != kNoError)
        return;
    m_error = error;
    m_objectError = true;
}

bool CFeatureSource::ReadGeometry(int n, CShape& shape)
{
    const int error = m_error;
    const bool objectError = m_objectError;
    const int current = m_read.current;
    const bool done = ReadShape(n, shape);
    m_error = error;
    m_objectError = objectError;
    m_read.current = current;
    return done;
}

bool CFeatureSource::ReadNextBox(CMapRect& box)
{
    CShape shape;
    if (!ReadNextShape(shape))
        return false;
    box = shape.GetExtent();
    return true;
}

std::string CFeatureSource::GetIndexedTablePath() const
{
    return m_table.GetPath();
}

int CFeatureSource::GetIndexedRecordCount() const
{
    return m_table.GetRecordCount();
}

std::string CFeatureSource::GetIndexPath() const
{
    const std::string& table = m_table.GetPath();
    return table.empty() ? std::string() : FindSiblingByExtension(table, "spx");
}

// ------------------------------------------------------- object measures

const CShape* CFeatureSource::MeasuredShape()
{
    const int n = m_table.GetCurrentRecord();
    if (n < 0)
        return nullptr;
    if (n != m_measuredRecord) {
        m_measuredRecord = n;
        m_measuredOk = ReadGeometry(n, m_measuredShape);
    }
    return m_measuredOk ? &m_measuredShape : nullptr;
}

double CFeatureSource::GetArea()
{
    if (GetShapeType() != kArea)
        return 0;
    const CShape* shape = MeasuredShape();
    return shape ? shape->Area() : 0;
}

double CFeatureSource::GetLength()
{
    if (IsPointType(GetShapeType()))
        return 0;
    const CShape* shape = MeasuredShape();
    if (!shape)
        return 0;
    const bool rings = GetShapeType() == kArea;
    double length = 0;
    ForEachPart(*shape, [&](int first, int size) {
        const CMapPoint* points = shape->Points().GetData() + first;
        length += PolylineLength(points, size);
        if (rings && size > 2)
            length += std::hypot(points[size - 1].x - points[0].x, points[size - 1].y - points[0].y);
    });
    return length;
}

int CFeatureSource::GetPartCount()
{
    if (IsPointType(GetShapeType()))
        return 1;
    const CShape* shape = MeasuredShape();
    return shape ? shape->GetPartCount() : 0;
}

int CFeatureSource::GetPointCount()
{
    if (IsPointType(GetShapeType()))
        return 1;
    const CShape* shape = MeasuredShape();
    return shape ? shape->GetPointCount() : 0;
}

bool CFeatureSource::IsClosed()
{
    if (IsPointType(GetShapeType()))
        return false;
    if (GetShapeType() == kArea)
        return true;
    const CShape* shape = MeasuredShape();
    if (!shape || shape->GetPointCount() < 2)
        return false;
    bool closed = true;
    ForEachPart(*shape, [&](int first, int size) {
        closed = closed && (size < 2 || shape->GetPoint(first) == shape->GetPoint(first + size - 1));
    });
    return closed;
}

// ------------------------------------------------------------- operations

bool CFeatureSource::MoveNext()
{
    if (HasStoppingError())
        return false;
    m_measuredRecord = -1;
    if (m_read.recordCount == 0) {
        if (!m_table.NextRecord())
            return false;
        m_read.current = m_table.GetCurrentRecord();
        return true;
    }
    const int count = m_table.GetRecordCount();
    while (m_read.listPosition < m_read.recordCount) {
        const int n = m_read.recordList ? m_read.recordList[m_read.listPosition] : count - 1;
        ++m_read.listPosition;
        if (n < 0 || n >= count)
            continue;
        if (!m_table.GoToRecord(n))
            return false;
        if (m_table.IsDeleted())
            continue;
        m_read.current = n;
        return true;
    }
    return false;
}

bool CFeatureSource::ReadNextShapeLabelPoint(CMapPoint& point)
{
    CShape shape;
    while (ReadNextShape(shape)) {
        CMapPoint inside;
        if (shape.GetInteriorPoint(inside) && PointInQuery(inside)) {
            point = inside;
            return true;
        }
    }
    return false;
}

bool CFeatureSource::FindNearestPointOf(const CMapPoint& point, CMapPoint& nearest)
{
    Rewind();
    bool found = false;
    double best = DBL_MAX;
    CMapPoint p;
    while (ReadNextPoint(p)) {
        const double d = std::fabs(p.x - point.x) + std::fabs(p.y - point.y);
        if (d <= best) {
            best = d;
            nearest = p;
            found = true;
        }
    }
    return found;
}

namespace {

// How far the nearest-object searches look: the query rectangle's width
// plus height, or everywhere.
double SearchTolerance(const CFeatureSource& source)
{
    CMapRect rect;
    return source.GetQueryRect(rect) ? rect.Width() + rect.Height() : DBL_MAX;
}

} // namespace

bool CFeatureSource::FindNearestShapeVertex(const CMapPoint& point, CMapPoint& vertex)
{
    Rewind();
    bool found = false;
    double tolerance = SearchTolerance(*this);
    CShape shape;
    while (ReadNextShape(shape)) {
        for (const CMapPoint& v : shape.Points()) {
            const double d = std::max(std::fabs(v.x - point.x), std::fabs(v.y - point.y));
            if (d <= tolerance && PointInQuery(v)) {
                tolerance = d;
                vertex = v;
                found = true;
            }
        }
    }
    return found;
}

bool CFeatureSource::FindNearestShapeLine(const CMapPoint& point, CRecordArray& records, double* distance)
{
    records.clear();
    Rewind();
    double best = SearchTolerance(*this);
    CShape shape;
    while (ReadNextShape(shape)) {
        const int record = GetCurrentRecord();
        ForEachPart(shape, [&](int first, int size) {
            int index = 0;
            double d = 0;
            if (!FindNearestSegment(shape.Points().GetData() + first, size, point, best, index, &d))
                return;
            if (d < best - 2e-9) {
                records.assign(1, record);
                best = d + 1e-9;
            } else if (records.empty() || records.back() != record) {
                records.push_back(record);
            }
        });
    }
    if (distance)
        *distance = best;
    return !records.empty();
}

bool CFeatureSource::FindNearestPoints(const CMapPoint& point, CRecordArray& records, double* distance)
{
    records.clear();
    Rewind();
    double best = DBL_MAX;
    CMapPoint p;
    while (ReadNextPoint(p)) {
        const double d = std::fabs(p.x - point.x) + std::fabs(p.y - point.y);
        if (d < best) {
            best = d;
            records.assign(1, m_read.current);
        } else if (d == best) {
            records.push_back(m_read.current);
        }
    }
    if (distance)
        *distance = best;
    return !records.empty();
}

void CFeatureSource::GetRecordLines(std::vector<std::string>& lines) const
{
    lines.clear();
    if (m_table.IsOpen())
        m_table.GetRecordLines(lines);
}

bool CFeatureSource::GetRecordLinesAt(int n, std::vector<std::string>& lines)
{
    lines.clear();
    if (!GetRecordTable(n))
        return false;
    m_table.GetRecordLines(lines);
    return true;
}

CDbfTable* CFeatureSource::GetRecordTable(int n)
{
    return m_table.IsOpen() && GoToAttributeRecord(n) ? &m_table : nullptr;
}

bool CFeatureSource::GetFieldText(int n, int field, std::string& text)
{
    text.clear();
    if (!GetRecordTable(n) || field < 0 || field >= m_table.GetFieldCount())
        return false;
    m_table.GetFieldText(field, text, 0x10000);
    return true;
}

bool CFeatureSource::BeginWrites()
{
    DbfHandle* table = m_table.GetHandle();
    return table && table->stream && table->stream->IsWritable() && !table->damaged && DbfLock(*table);
}

bool CFeatureSource::EndWrites()
{
    DbfHandle* table = m_table.GetHandle();
    return !table || DbfUnlock(*table);
}

bool CFeatureSource::CopyFeaturesFrom(CFeatureSource& source, bool clip, IProgress* progress)
{
    // One hold for the whole copy; without it each object locks on its own.
    const bool held = BeginWrites();
    const bool copied = CopyEachFeature(source, clip, progress);
    return (!held || EndWrites()) && copied;
}

bool CFeatureSource::CopyEachFeature(CFeatureSource& source, bool clip, IProgress* progress)
{
    CWaitCursor wait;
    source.Rewind();
    int read = 0;
    const auto stopped = [&]() {
        if (!progress)
            return false;
        progress->SetPos(read);
        return read++ % 64 == 0 && progress->CheckCancel();
    };
    const auto copyAttributes = [&]() {
        if (!m_table.IsOpen())
            return true;
        source.CopyAttributesTo(m_table);
        return m_table.WriteRecord();
    };
    const int type = GetShapeType();
    if (type == kPoint || type == kTrack) {
        CMapPoint point;
        while (source.ReadNextPoint(point)) {
            if (stopped() || !source.GetRecordTable(source.GetCurrentRecord()))
                return false;
            if (source.m_converter)
                source.m_converter->ConvertPoint(point);
            if (!AppendPoint(point, true) || !copyAttributes())
                return false;
        }
        // A read failure is no end of the source: a copy short of an object
        // fails, though it holds every object that could be read.
        return source.GetError() == kNoError;
    }
    if (type != kLine && type != kArea)
        return false;
    CMapRect window;
    const bool clipping = clip && source.GetQueryRect(window);
    CShape shape;
    while (source.ReadNextShape(shape)) {
        if (stopped() || !source.GetRecordTable(source.GetCurrentRecord()))
            return false;
        if (clipping && !BoxContains(window, shape.GetExtent())) {
            CRectClipper clipper(window);
            if (!(type == kArea ? clipper.ClipPolygon(shape, shape) : clipper.ClipPolyline(shape, shape)))
                continue;
            shape.RecalcBounds();
        }
        if (shape.GetPointCount() < 2)
            continue;
        if (source.m_converter) {
            source.m_converter->ConvertPoints(shape.Points().GetData(), shape.GetPointCount());
            shape.RecalcBounds();
        }
        if (!AppendShape(shape, true) || !copyAttributes())
            return false;
    }
    return source.GetError() == kNoError;
}

bool CFeatureSource::CreateFrom(const std::string& path, CFeatureSource& source, bool clip, IProgress* progress)
{
    std::vector<CDbfFieldInfo> fields = source.GetFieldInfos();
    if (!Create(path, source.GetShapeType(), fields.empty() ? nullptr : fields.data()))
        return false;
    return CopyFeaturesFrom(source, clip, progress);
}

bool CFeatureSource::ReadAllPoints(CShape& shape)
{
    Rewind();
    CMapPointArray points;
    CMapPoint p;
    while (ReadNextPoint(p))
        points.Add(p);
    const uint32_t size = static_cast<uint32_t>(points.GetSize());
    shape.SetParts(std::move(points), {size});
    return size > 0;
}

// ---------------------------------------------------------- spatial index

bool CFeatureSource::LoadIndexHits()
{
    const std::string path = GetIndexPath();
    CSpatialIndex::TableStamp stamp;
    if (path.empty() || !PathExists(path) ||
        !CSpatialIndex::TableStamp::OfFile(GetIndexedTablePath(), GetIndexedRecordCount(), stamp))
        return false;
    // A foreign or stale index does not load: the readers walk the file.
    if (CSpatialIndex::LoadAndQuery(path, m_read.queryRect, m_indexHits, stamp) < 0) {
        m_indexHits.Free();
        return false;
    }
    m_read.indexInUse = true;
    m_read.indexPosition = -1;
    return true;
}

bool CFeatureSource::BuildSpatialIndex()
{
    const int type = GetShapeType();
    const bool points = type == kPoint || type == kTrack;
    const int count = GetIndexedRecordCount();
    CMapRect extent;
    if (!IsOpen() || count <= 0 || !(points || type == kLine || type == kArea) || !GetExtent(extent))
        return false;
    CWaitCursor wait;
    CSpatialIndex index;
    if (!index.Create(extent, count, CSpatialIndex::kSourceCellCount))
        return false;
    {
        CUnrestricted everything(*this);
        if (points) {
            CMapPoint point;
            while (ReadNextPoint(point))
                index.AddPoint(point, GetCurrentRecord());
        } else {
            CMapRect box;
            while (ReadNextBox(box))
                index.AddBox(box, GetCurrentRecord());
        }
    }
    // An index short of an object would hide it: a failed read saves none.
    CSpatialIndex::TableStamp stamp;
    return !HasStoppingError() && index.Build() &&
           CSpatialIndex::TableStamp::OfFile(GetIndexedTablePath(), count, stamp) && index.Save(GetIndexPath(), stamp);
}
