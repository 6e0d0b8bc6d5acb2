#include "shell/MainFrameBarTable.h"

#include "shell/ConfigFile.h"
#include "shell/ToolbarBoxes.h"

#include <algorithm>

namespace {

constexpr int kMainBarControlId = 0xE800;

constexpr CMainFrameBarInfo kBars[] = {
    {kAddressBar, kAddressBar, 3049, true, false, false, true},
    {kLayerWorkBar, kLayerWorkBar, 3058, false, true, false, false},
    {kPlaybackBar, kPlaybackBar, 3050, true, false, false, true},
    {kMainBar, kMainBarControlId, 3013, false, true, false, false},
    {kScaleBar, kScaleBar, 3056, true, false, false, true},
    {kRouteSearchBar, kRouteSearchBar, 3015, false, true, false, false},
    {kAdminSearchBar, kAdminSearchBar, 3057, true, false, false, true},
    {kPlacesBar, kPlacesBar, 3061, true, false, false, true},
    {kObjectEditingBar, kObjectEditingBar, 3014, false, true, true, false},
    {kLineEditingBar, kLineEditingBar, 3016, false, true, true, false},
    {kAttributeTableBar, kAttributeTableBar, 3020, false, true, false, false},
    {kDiagramBar, kDiagramBar, 3021, false, false, false, false},
};

// Save, print preview, page setup, zoom to layer and redraw.
constexpr int kMainBarRemoved[] = {57603, 30091, 57609, 30336, 30018};

constexpr char kAddressToolbar[] = "AddressToolbar";

} // namespace

std::span<const CMainFrameBarInfo> MainFrameBars()
{
    return kBars;
}

const CMainFrameBarInfo* FindMainFrameBar(int resourceId)
{
    for (const CMainFrameBarInfo& bar : kBars)
        if (bar.resourceId == resourceId)
            return &bar;
    return nullptr;
}

std::span<const int> MainBarRemovedButtons()
{
    return kMainBarRemoved;
}

void CToolbarConfig::Read(const CConfigFile& config)
{
    address.Read(config);
    bookmarkInitiallyVisible = config.GetInt("BookmarkToolbar", "InitiallyVisible", 0);
    adminInitiallyVisible = config.GetInt("AdminToolbar", "InitiallyVisible", 1);
    adminHidden = config.GetInt("AdminToolbar", "Hidden", 1);
    layerInitiallyVisible = config.GetInt("LayerToolbar", "InitiallyVisible", 0);
}

bool CToolbarConfig::IsInitiallyVisible(int resourceId) const
{
    switch (resourceId) {
    case kAddressBar:
        return address.Get(kStreetBox) == 1;
    case kLayerWorkBar:
        return layerInitiallyVisible != 0;
    case kMainBar:
    case kScaleBar:
        return true;
    case kAdminSearchBar:
        return adminInitiallyVisible != 0 && adminHidden == 0;
    case kPlacesBar:
        return bookmarkInitiallyVisible != 0;
    default:
        return false;
    }
}

bool CToolbarConfig::IsBoxShown(int boxId) const
{
    return (boxId != kCityBox && boxId != kHouseNumberBox) || address.Get(boxId) == 1;
}

void CAddressBarSwitches::Read(const CConfigFile& config)
{
    m_street = config.GetInt(kAddressToolbar, "InitiallyVisible", -1);
    m_city = config.GetInt(kAddressToolbar, "CityList", -1);
    m_houseNumbers = config.GetInt(kAddressToolbar, "HouseNumbers", -1);
}

int* CAddressBarSwitches::Switch(int boxId)
{
    switch (boxId) {
    case kStreetBox:
        return &m_street;
    case kCityBox:
        return &m_city;
    case kHouseNumberBox:
        return &m_houseNumbers;
    default:
        return nullptr;
    }
}

int CAddressBarSwitches::Get(int boxId) const
{
    const int* value = const_cast<CAddressBarSwitches*>(this)->Switch(boxId);
    return value ? *value : 0;
}

void CAddressBarSwitches::OnBoxEnabled(int boxId, const CConfigFile& config)
{
    int* value = Switch(boxId);
    if (!value || *value != -1)
        return;
    *value = 1;
    const char* key = boxId == kStreetBox ? "InitiallyVisible" : boxId == kCityBox ? "CityList" : "HouseNumbers";
    config.WriteInt(kAddressToolbar, key, 1);
}

void CDockPlan::Dock(int bar, DockSide side)
{
    rows.push_back({side, {bar}});
}

void CDockPlan::DockBeside(int bar, int other)
{
    for (Row& row : rows) {
        auto at = std::find(row.bars.begin(), row.bars.end(), other);
        if (at != row.bars.end()) {
            row.bars.insert(at + 1, bar);
            return;
        }
    }
    Dock(bar, kDockTop);
}

void CDockPlan::Float(int bar, int x, int y)
{
    floating.push_back({bar, x, y});
}

CDockPlan InitialDockPlan()
{
    CDockPlan plan;
    plan.Dock(kMainBar, kDockTop);
    plan.Dock(kAdminSearchBar, kDockTop);
    plan.Dock(kObjectEditingBar, kDockRight);
    plan.DockBeside(kRouteSearchBar, kMainBar);
    plan.Dock(kAttributeTableBar, kDockTop);
    plan.DockBeside(kAddressBar, kMainBar);
    plan.DockBeside(kScaleBar, kMainBar);
    plan.Float(kPlaybackBar, 300, 150);
    plan.Float(kLayerWorkBar, 260, 200);
    plan.Float(kPlacesBar, 180, 150);
    plan.DockBeside(kLineEditingBar, kObjectEditingBar);
    plan.Dock(kDiagramBar, kDockTop);
    return plan;
}

std::vector<int> ToolbarListBars(bool adminHidden, bool adminVisible, bool attributeTableFlag, bool playbackFlag)
{
    std::vector<int> bars = {kMainBar, kScaleBar, kAddressBar};
    if (!adminHidden || adminVisible)
        bars.push_back(kAdminSearchBar);
    bars.push_back(kPlacesBar);
    if (attributeTableFlag)
        bars.push_back(kAttributeTableBar);
    if (playbackFlag)
        bars.push_back(kPlaybackBar);
    return bars;
}
