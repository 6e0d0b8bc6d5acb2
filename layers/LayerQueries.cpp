#include "layers/LayerQueries.h"

#include "core/DbfTable.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <atomic>

namespace {
std::atomic<ILayerQueries*> g_queries{nullptr};
} // namespace

ILayerQueries* GetLayerQueries()
{
    return g_queries.load();
}

void SetLayerQueries(ILayerQueries* queries)
{
    g_queries.store(queries);
}

int CLayer::HitTest(const CMapPoint& point, CLayerReader& reader, CDrelView& view, std::string* openedPath)
{
    ILayerQueries* queries = GetLayerQueries();
    return queries ? queries->HitTest(*this, point, reader, view, openedPath) : -2;
}

int CLayer::FindNearest(const CMapPoint& point, CDrelView& view, std::vector<int32_t>& candidates,
                        CMapPoint* snapped)
{
    candidates.clear();
    ILayerQueries* queries = GetLayerQueries();
    return queries ? queries->FindNearest(*this, point, view, candidates, snapped) : 0;
}

int CLayer::FindObjectsInRect(const CMapPoint& point, const CMapRect& rect, std::vector<int32_t>& candidates)
{
    candidates.clear();
    if (!IsVectorType() || HasFlag(kManyFiles))
        return 0;
    CLayerReader reader;
    if (!reader.OpenLayer(this))
        return 0;
    CFeatureSource& source = *reader.GetSource();
    source.SetQueryRect(&rect);
    switch (m_type) {
    case kLine:
        return source.FindNearestLine(point, candidates, nullptr);
    case kArea:
        return source.FindAreasAt(point, candidates);
    default:
        return source.FindNearestPoints(point, candidates, nullptr);
    }
}

bool CLayer::ShowObjectInfoAt(const CMapPoint& point, CDrelView& view)
{
    ILayerQueries* queries = GetLayerQueries();
    return queries && queries->ShowObjectInfo(*this, point, view);
}

void CLayer::ShowRecordInfo(int record, bool closeFirst)
{
    if (ILayerQueries* queries = GetLayerQueries())
        queries->ShowRecordInfo(*this, record, closeFirst);
}

int CLayer::MarkObjectAt(const CMapPoint& point, CDrelView& view, CShape& geometry, std::string* name)
{
    ILayerQueries* queries = GetLayerQueries();
    return queries ? queries->MarkObjectAt(*this, point, view, geometry, name) : 0;
}

void CLayer::ShowAreaAt(const CMapPoint& point, CDrelView& view)
{
    if (ILayerQueries* queries = GetLayerQueries())
        queries->ShowAreaAt(*this, point, view);
}

void CLayer::ShowLengthAt(const CMapPoint& point, CDrelView& view)
{
    if (ILayerQueries* queries = GetLayerQueries())
        queries->ShowLengthAt(*this, point, view);
}

void CLayer::ShowRecord(int record, CDrelView& view, bool zoom)
{
    if (ILayerQueries* queries = GetLayerQueries())
        queries->ShowRecord(*this, record, view, zoom);
}

void CLayer::ShowRecords(const std::vector<int32_t>& records, CDrelView& view, bool zoom)
{
    if (ILayerQueries* queries = GetLayerQueries())
        queries->ShowRecords(*this, records, view, zoom);
}

void CLayer::ShowTable(CDrelDoc& document)
{
    if (ILayerQueries* queries = GetLayerQueries())
        queries->ShowTable(*this, document);
}

bool CLayer::EditRecord(CDrelView& view, int record, CDbfTable* table)
{
    ILayerQueries* queries = GetLayerQueries();
    return queries && queries->EditRecord(*this, view, record, table);
}

bool CLayer::ReadFieldList(std::vector<CDbfFieldInfo>& fields) const
{
    fields.clear();
    CDbfTable table;
    if (!table.Open(GetTablePath()))
        return false;
    fields = table.GetFieldInfos();
    return true;
}

bool CLayer::GetNamedPoints(std::vector<CNamedPoint>& points) const
{
    points.clear();
    CLayerReader reader;
    if (!reader.OpenLayer(this))
        return false;
    CFeatureSource& source = *reader.GetSource();
    const int field = source.GetTable().FindField(m_idField);
    points.reserve(static_cast<size_t>(std::max(source.GetTable().GetRecordCount(), 0)));
    CMapPoint point;
    while (source.ReadNextPoint(point)) {
        CNamedPoint named{point.x, point.y, {}};
        source.GetFieldText(source.GetCurrentRecord(), field >= 0 ? field : 0, named.name);
        points.push_back(std::move(named));
    }
    points.shrink_to_fit();
    return true;
}

std::string CLayer::GetObjectName(CFeatureSource& source, int record) const
{
    const int field = m_idField.empty() ? -1 : source.GetTable().FindField(m_idField);
    std::string name;
    if (field >= 0 && source.GetFieldText(record, field, name))
        return name;
    return FormatC("<%ld>", static_cast<long>(record));
}
