#include "res/ToolbarTable.h"

#include "res/CommandIds.h"

#include <algorithm>
#include <iterator>

namespace {

// Ids of boxes stand where the bar holds the box.

constexpr int kAddressButtons[] = {30438, 30328, 30332, 30331};

constexpr int kLayerWorkButtons[] = {30066, 30068, 30071, 0, 30483, 30484, 0, 30105, 30106, 0, 30336};

constexpr int kPlaybackButtons[] = {30428, 30615, 30424, 30425, 30616, 30617, 30426, 0, 30429, 0, 30430, 30618};

// The main toolbar. The main frame removes save, page setup, print
// preview, zoom to layer and redraw from it after loading.
constexpr int kMainButtons[] = {
    kCmdFileOpen, kCmdFileSave, 0,     kCmdFilePrint, kCmdFilePrintPreview, 30091, 0,     30065, 30063, 30064, 30057,
    30059,        30056,        30055, 0,             30027,                30021, 30339, 30018, 30336, 0,     30431,
};

constexpr int kScaleButtons[] = {30003, 30004};

constexpr int kRouteSearchButtons[] = {30032, 30033, 30034, 30094, 0, 30035, 30036, 0, 30620};

constexpr int kAdminSearchButtons[] = {30455, 30443, 30445, 30447, 30449, 30451};

constexpr int kPlacesButtons[] = {30609, 30608, 0, 30489, 30490};

constexpr int kObjectEditingButtons[] = {30084, 30058, 30037, 30060, 30062, 0, 30623, 30626, 30625, 30624};

constexpr int kLineEditingButtons[] = {30058, 30037, 30060};

constexpr int kAttributeTableButtons[] = {30239, 30240, 30242, 0, 30241, 30243, 0, 30298, 30300, 30437, 0, 30433};

constexpr int kDiagramButtons[] = {30248};

constexpr ToolbarResource kToolbars[] = {
    {345, kAddressButtons},     {365, kLayerWorkButtons},      {371, kPlaybackButtons},
    {128, kMainButtons},        {381, kScaleButtons},          {124, kRouteSearchButtons},
    {378, kAdminSearchButtons}, {395, kPlacesButtons},         {126, kObjectEditingButtons},
    {130, kLineEditingButtons}, {320, kAttributeTableButtons}, {322, kDiagramButtons},
};

} // namespace

const ToolbarResource* FindToolbarResource(int id)
{
    auto it = std::find_if(std::begin(kToolbars), std::end(kToolbars),
                           [id](const ToolbarResource& t) { return t.id == id; });
    return it == std::end(kToolbars) ? nullptr : &*it;
}
