#pragma once

#include <span>
#include <vector>

class CConfigFile;

// Resource ids of the main window's toolbars, in the order the window makes them.
enum MainFrameBarId : int {
    kAddressBar = 345,
    kLayerWorkBar = 365,
    kPlaybackBar = 371,
    kMainBar = 128,
    kScaleBar = 381,
    kRouteSearchBar = 124,
    kAdminSearchBar = 378,
    kPlacesBar = 395,
    kObjectEditingBar = 126,
    kLineEditingBar = 130,
    kAttributeTableBar = 320,
    kDiagramBar = 322,
};

// The side a bar docks at, and the sides it may dock at.
enum DockSide { kDockTop, kDockBottom, kDockLeft, kDockRight };

struct CMainFrameBarInfo {
    int resourceId;
    // The bar's own id: its profile value "TB%d" and its object name.
    int controlId;
    int captionId;
    // Top and bottom only, else every side.
    bool topBottomOnly;
    bool customisable;
    // Docks at the right side rather than the top.
    bool alignRight;
    // The boxes the bar's buttons make room for.
    bool hasBoxes;
};

// The twelve bars in their order of creation.
std::span<const CMainFrameBarInfo> MainFrameBars();
const CMainFrameBarInfo* FindMainFrameBar(int resourceId);
// The buttons the main bar drops after loading.
std::span<const int> MainBarRemovedButtons();

// The address toolbar's boxes whose showing the configuration file keeps:
// the street box (InitiallyVisible, the bar itself), the city box
// (CityList) and the house-number box (HouseNumbers). The first time one
// is enabled while its switch is unset (-1), the switch becomes 1 and is
// written to the file, so the box shows from the next start.
class CAddressBarSwitches {
public:
    void Read(const CConfigFile& config);
    // -1 unset; 0 for other ids.
    int Get(int boxId) const;
    void OnBoxEnabled(int boxId, const CConfigFile& config);

private:
    int* Switch(int boxId);

    int m_street = -1;
    int m_city = -1;
    int m_houseNumbers = -1;
};

// The configuration file's switches of the bars ([AddressToolbar],
// [BookmarkToolbar], [AdminToolbar], [LayerToolbar]).
struct CToolbarConfig {
    CAddressBarSwitches address;
    int bookmarkInitiallyVisible = 0;
    int adminInitiallyVisible = 1;
    int adminHidden = 1;
    int layerInitiallyVisible = 0;

    void Read(const CConfigFile& config);
    // Whether the bar shows when the window is made (before the saved layout).
    bool IsInitiallyVisible(int resourceId) const;
    // Whether the box and its slot show on the address bar.
    bool IsBoxShown(int boxId) const;
};

// Where the bars stand when the window is made, before the saved layout:
// rows of docked bars per side, left to right, and floating bars at
// screen points. The planner follows how docking goes: a docked bar opens
// a row of its own at the end of its side; a bar docked beside another
// joins that bar's row right after it.
struct CDockPlan {
    struct Row {
        DockSide side;
        std::vector<int> bars;
    };
    struct Floating {
        int bar;
        int x;
        int y;
    };
    std::vector<Row> rows;
    std::vector<Floating> floating;

    void Dock(int bar, DockSide side);
    void DockBeside(int bar, int other);
    void Float(int bar, int x, int y);
};
CDockPlan InitialDockPlan();

// The bars the toolbar list offers, in its order: the main, scale and
// address bars, the administrative bar unless it is hidden and not shown,
// the places bar, and the attribute-table and playback bars only while
// their windows flag them.
std::vector<int> ToolbarListBars(bool adminHidden, bool adminVisible, bool attributeTableFlag, bool playbackFlag);
