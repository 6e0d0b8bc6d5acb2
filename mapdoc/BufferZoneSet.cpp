#include "mapdoc/BufferZoneSet.h"

#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ObjectSearch.h"
#include "mapdoc/ViewWindow.h"
#include "platform/CommandTarget.h"
#include "platform/UserServices.h"
#include "render/ShapeDrawing.h"

#include <algorithm>

namespace {

constexpr int kNoLayerChosen = 1022;
constexpr int kCannotOpenFile = 1007;
constexpr int kWriteError = 1045;

CDrawStyle FirstZoneStyle()
{
    CDrawStyle style;
    style.penStyle = 0;
    style.penWidth = 0;
    style.penColor = 0x800080;
    style.backColor = 0;
    style.brushStyle = BS_HATCHED;
    style.brushColor = 0x800080;
    style.hatch = HS_DIAGCROSS;
    style.backMode = TRANSPARENT;
    return style;
}

} // namespace

CBufferZoneSettings& CBufferZoneSet::Settings()
{
    static CBufferZoneSettings settings{FirstZoneStyle(), 1.0, 0};
    return settings;
}

CBufferZoneSet::CBufferZoneSet(CDrelDoc& document) : m_document(document)
{
    Settings();
}

void CBufferZoneSet::AddAtPoint(CDrelView& view, int x, int y)
{
    CLayer* layer = view.GetWindow() ? view.GetWindow()->GetActiveLayer() : nullptr;
    if (!layer) {
        AppMessageBox(kNoLayerChosen);
        return;
    }
    CShape found;
    if (!ObjectSearch().MarkObjectAt(*layer, view.ClientToMap(x, y), view, found) || found.GetPointCount() == 0)
        return;
    CBufferZoneSettings& settings = Settings();
    if (!BufferZoneDialogs().AskRadius(settings))
        return;
    if (settings.removePrevious)
        RemoveAll();
    switch (layer->GetType()) {
    case CLayer::kPoint:
    case CLayer::kTrack: {
        CShape point;
        point.SetPoints(1, &found.GetPoint(0));
        AddZone(point, settings.radius, CShape::kBufferBand);
        break;
    }
    case CLayer::kLine:
        AddZone(found, settings.radius, CShape::kBufferBand);
        break;
    case CLayer::kArea: {
        int type = CShape::kBufferBand;
        if (!BufferZoneDialogs().AskZoneType(type) || type < CShape::kBufferBand || type > CShape::kBufferShrink)
            break;
        // Around the outline the ring closes.
        if (type == CShape::kBufferBand)
            found.CloseRings();
        AddZone(found, settings.radius, type);
        break;
    }
    default:
        break;
    }
}

int CBufferZoneSet::AddZone(const CShape& shape, double radius, int zoneType)
{
    // The radius is kilometres; the factors turn map units into them.
    double mx, my;
    m_document.GetMetresPerUnit(mx, my);
    auto zone = std::make_unique<CZone>();
    if (!shape.Buffer(radius, mx * 0.001, my * 0.001, zone->shape, zoneType, nullptr, true, true) ||
        zone->shape.GetPointCount() == 0)
        return 1;
    zone->style = Settings().style;
    m_zones.push_back(std::move(zone));
    m_document.UpdateAllViews(kHintBufferZones);
    return 1;
}

void CBufferZoneSet::RemoveAll()
{
    m_zones.clear();
    m_document.UpdateAllViews(kHintBufferZones);
}

void CBufferZoneSet::Draw(CDC& dc, CDrelView& view)
{
    for (const auto& zone : m_zones)
        DrawShapePolygon(zone->shape, view, &dc, &zone->style, kShapeGivenStyle);
}

bool CBufferZoneSet::WriteZones(CLayer& layer, int& written, bool& opened)
{
    CLayerReader reader;
    opened = reader.CreateSource(layer.GetPath()) && reader.GetSource()->Open(layer.GetPath());
    if (!opened)
        return false;
    CFeatureSource& source = *reader.GetSource();
    CDbfTable& table = source.GetTable();
    const int idField = table.FindField("Id");
    CMapRect extent;
    for (const auto& zone : m_zones) {
        if (!source.AppendShape(zone->shape, false))
            break;
        // The record just appended: its number counts from 1.
        if (idField >= 0 && !table.SetFieldLong(idField, table.GetRecordCount()))
            break;
        if (!table.WriteRecord())
            break;
        extent.UnionRect(extent, zone->shape.GetExtent());
        ++written;
    }
    source.Close();
    // Drawing passes over layers whose stored extent misses the view.
    if (written > 0 && layer.GetExtent() != CLayer::kUnboundedExtent) {
        CMapRect grown;
        grown.UnionRect(layer.GetExtent(), extent);
        layer.SetExtent(grown);
    }
    return written == GetCount();
}

void CBufferZoneSet::ForgetWritten(int written)
{
    m_zones.erase(m_zones.begin(), m_zones.begin() + std::min(written, GetCount()));
}

bool CBufferZoneSet::SaveToLayer()
{
    if (m_zones.empty())
        return false;
    CLayer* layer = BufferZoneDialogs().GetResultLayer(m_document);
    if (!layer)
        return false;
    int written = 0;
    bool opened = false, saved = false;
    std::vector<CHeldMessages::Message> complaints;
    {
        // The sources tell of some failures and not of others: the user
        // hears of each failure once, after it.
        CHeldMessages held;
        saved = WriteZones(*layer, written, opened);
        held.Release();
        complaints = held.Messages();
    }
    ForgetWritten(written);
    if (written > 0) {
        m_document.UpdateAllViews(kHintBufferZones);
        m_document.UpdateAllViews(kHintAll);
        m_document.SetModifiedFlag(true);
    }
    if (!saved) {
        if (!complaints.empty())
            AppMessageBox(complaints.front().text, complaints.front().type, complaints.front().helpId);
        else if (!opened)
            AppMessageBoxArg(kCannotOpenFile, layer->GetPath());
        else
            AppMessageBox(kWriteError);
    }
    return saved;
}

void CBufferZoneSet::RegisterCommands(CCommandTable& commands)
{
    commands.On(kCmdSave, [this] { SaveToLayer(); });
    commands.On(kCmdRemove, [this] { RemoveAll(); });
    for (const int id : {kCmdSave, kCmdRemove})
        commands.OnUpdate(id, [this](CCommandState& state) { state.Enable(!m_zones.empty()); });
}
