#include "routing/GrainDistance.h"

#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerQueries.h"
#include "layers/LayerReader.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"

namespace GrainDistance {

std::string SettlementsLayerName()
{
    return Utf8ToCp1257("Gyvenvietės");
}

std::string CentresLayerName()
{
    return "Intervenciniai centrai";
}

std::string WarehousesLayerName()
{
    return Utf8ToCp1257("Intervenciniai sandėliai");
}

std::string CentreFilter(int crop)
{
    return crop == kBarley ? "MIEZIAI = \"+\"" : "KVIECIAI = \"+\"";
}

std::string WarehouseFilter(int crop)
{
    return CentreFilter(crop) + " .AND. UZIMTAS <> \"+\"";
}

std::string WholeKm(double km)
{
    return std::to_string(static_cast<long long>(km + 0.5));
}

std::string Report(const std::string& crop, const std::string& location, const std::string& centre,
                   const std::string& centreKm, const std::string& warehouse, const std::string& warehouseKm)
{
    return Utf8ToCp1257("Kultūra: ") + crop + Utf8ToCp1257("\r\nGrūdų vieta paraiškos metu: ") + location +
           "\r\nIntervencinis centras: " + centre + "\r\nAtstumas iki intervencinio centro (km): " + centreKm +
           Utf8ToCp1257("\r\nIntervencinis sandėlis: ") + warehouse +
           Utf8ToCp1257("\r\nAtstumas iki intervencinio sandėlio (km): ") + warehouseKm + "\r\n\r\n";
}

std::vector<CSettlement> ReadSettlements(const CLayer* layer)
{
    std::vector<CSettlement> settlements;
    if (!layer || layer->GetType() != CLayer::kPoint)
        return settlements;
    CWaitCursor wait;
    CLayerReader reader;
    if (!reader.OpenLayer(layer))
        return settlements;
    CFeatureSource& source = *reader.GetSource();
    std::string fieldName = layer->GetIdField();
    if (layer->GetSublayerCount() > 0 && !layer->GetSublayer(0)->m_labelField.empty())
        fieldName = layer->GetSublayer(0)->m_labelField;
    const int field = source.GetTable().FindField(fieldName);
    CMapPoint point;
    while (source.ReadNextPoint(point)) {
        CSettlement settlement;
        settlement.record = source.GetCurrentRecord();
        source.GetFieldText(settlement.record, field >= 0 ? field : 0, settlement.name);
        settlements.push_back(std::move(settlement));
    }
    return settlements;
}

int ChooseSettlement(const std::vector<CSettlement>& settlements, int selected, const std::string& typed,
                     std::string& message)
{
    message.clear();
    if (selected >= 0 && static_cast<size_t>(selected) < settlements.size())
        return settlements[static_cast<size_t>(selected)].record;
    if (typed.empty()) {
        message = Utf8ToCp1257("Nenurodyta grūdų vieta.");
        return -1;
    }
    for (const CSettlement& settlement : settlements)
        if (settlement.name == typed)
            return settlement.record;
    message = Utf8ToCp1257("Nurodytos vietovės nerasta.");
    return -1;
}

} // namespace GrainDistance

namespace {

CLayer* LayerNamed(const CDrelDoc& document, const std::string& name)
{
    for (int i = 0; i < document.GetLayerCount(); ++i)
        if (CLayer* layer = document.GetLayer(i); layer && layer->GetName() == name)
            return layer;
    return nullptr;
}

// A layer's own filter stands again however the reading ends.
class CFilterSwap {
public:
    CFilterSwap(CLayer& layer, std::string filter) : m_layer(layer), m_own(layer.GetFilter())
    {
        m_layer.SetFilter(std::move(filter));
    }
    ~CFilterSwap() { m_layer.SetFilter(m_own); }
    CFilterSwap(const CFilterSwap&) = delete;
    CFilterSwap& operator=(const CFilterSwap&) = delete;

private:
    CLayer& m_layer;
    std::string m_own;
};

} // namespace

CGrainDistance::CGrainDistance(CDrelDoc& document)
{
    network.LoadSettings(document);
    network.gapLimit = 20.0;
    // A target the roads do not reach is not one to deliver to: no straight
    // leg stands for a broken way.
    network.tolerate = 0;
    settlements = LayerNamed(document, GrainDistance::SettlementsLayerName());
    centres = LayerNamed(document, GrainDistance::CentresLayerName());
    warehouses = LayerNamed(document, GrainDistance::WarehousesLayerName());
}

bool CGrainDistance::ReadSettlement(int record, CMapPoint& point) const
{
    CLayerReader reader;
    return settlements && record >= 0 && reader.OpenLayer(settlements) && reader.GetSource()->ReadPoint(record, point);
}

void CGrainDistance::RouteToEach(CLayer* layer, const std::string& filter, const CMapPoint& from,
                                 const std::function<void(const std::string&, double, CShape&)>& keep)
{
    if (!layer || !network.GetLayer())
        return;
    std::vector<CNamedPoint> targets;
    {
        CFilterSwap swap(*layer, filter);
        if (!layer->GetNamedPoints(targets))
            return;
    }
    for (const CNamedPoint& target : targets) {
        const CMapPoint ends[2] = {from, CMapPoint(target.x, target.y)};
        if (network.RouteThroughPoints(ends, 2) && !network.legs.empty())
            keep(target.name, network.totalLength, *network.legs.front());
    }
}

GrainDistance::CResult CGrainDistance::Compute(int crop, const CMapPoint& from)
{
    GrainDistance::CResult result;
    CWaitCursor wait;
    RouteToEach(centres, GrainDistance::CentreFilter(crop), from,
                [&](const std::string& name, double km, CShape& route) {
                    if (result.centreKm >= 0 && !(km < result.centreKm))
                        return;
                    result.centre = name;
                    result.centreKm = km;
                    result.centres.push_back(name);
                    result.centreRoute = std::move(route);
                });
    RouteToEach(warehouses, GrainDistance::WarehouseFilter(crop), from,
                [&](const std::string& name, double km, CShape& route) {
                    if (result.warehouseKm >= 0 && km == result.warehouseKm) {
                        result.warehouses.push_back(name);
                        return;
                    }
                    if (result.warehouseKm >= 0 && !(km < result.warehouseKm))
                        return;
                    result.warehouseKm = km;
                    result.warehouses.assign(1, name);
                    result.warehouseRoute = std::move(route);
                });
    return result;
}
