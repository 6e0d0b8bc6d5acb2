#pragma once

#include "core/MapPoint.h"
#include "core/Shape.h"
#include "routing/RouteNetwork.h"

#include <string>
#include <vector>

class CDrelDoc;
class CLayer;

// The rules of the delivery-distance calculator: the nearest intervention
// centre that takes a crop and the nearest free warehouse for it, by road
// length from the settlement where the grain lies. Texts are code page 1257.
namespace GrainDistance {

enum Crop { kWheat = 0, kBarley = 1 };

// The layers of the map the calculator works on, found by these names.
std::string SettlementsLayerName();
std::string CentresLayerName();
std::string WarehousesLayerName();

// The filters that keep the centres taking the crop and the warehouses
// taking it that are free.
std::string CentreFilter(int crop);
std::string WarehouseFilter(int crop);

// Kilometres to the nearest whole one.
std::string WholeKm(double km);

// The text copied for the clipboard.
std::string Report(const std::string& crop, const std::string& location, const std::string& centre,
                   const std::string& centreKm, const std::string& warehouse, const std::string& warehouseKm);

struct CSettlement {
    std::string name;
    int record = -1;
};
// Every object's label text (the layer's name field when no label field is
// set) with its record; nothing unless the layer is a point layer.
std::vector<CSettlement> ReadSettlements(const CLayer* layer);

// Which settlement is meant: the selected item, else the typed text matched
// exactly. -1 with the message to show when none is.
int ChooseSettlement(const std::vector<CSettlement>& settlements, int selected, const std::string& typed,
                     std::string& message);

// What one computation found; a distance below 0 means none was routed.
struct CResult {
    std::vector<std::string> centres; // each nearer than the ones before
    std::string centre;
    double centreKm = -1;
    CShape centreRoute;
    std::vector<std::string> warehouses; // the nearest, all at one length
    double warehouseKm = -1;
    CShape warehouseRoute;
};

} // namespace GrainDistance

// The calculator over a map: its three layers (null when absent) and the
// network routes are made on, allowed 20 km between a place and its road.
class CGrainDistance {
public:
    explicit CGrainDistance(CDrelDoc& document);

    CLayer* settlements = nullptr;
    CLayer* centres = nullptr;
    CLayer* warehouses = nullptr;
    CRouteNetwork network;

    // The settlement's position; false when it cannot be read.
    bool ReadSettlement(int record, CMapPoint& point) const;
    // The nearest centre and warehouses for the crop from the point. The
    // layers' own filters stand again afterwards.
    GrainDistance::CResult Compute(int crop, const CMapPoint& from);

private:
    // Routes to each point of the layer under the filter; keep is told the
    // name, the length and the route of each one routed.
    void RouteToEach(CLayer* layer, const std::string& filter, const CMapPoint& from,
                     const std::function<void(const std::string&, double, CShape&)>& keep);
};
