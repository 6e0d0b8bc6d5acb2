#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"

#include <string>
#include <vector>

class CDrelDoc;
class CDrelView;

// What the choice of a linked map reads from the map's settings file (the
// map path with the extension "ini"), section "Map": Limits (four numbers
// left top right bottom, missing ones 0), OptimScale (as the document
// reads it), MapUnits (0 degrees, 1 metres of the grid), AutoLoad, and
// [Streets] StreetNameField. A missing file reads as all defaults.
struct CLinkedMapSettings {
    CMapRect limits{0, 0, 0, 0};
    double optimScale = 10000;
    int mapUnits = 0;
    int autoLoad = 0;
    std::string streetNameField;

    static CLinkedMapSettings Read(const std::string& mapPath);
};

// The most detailed of the linked maps (given by their map paths, in link
// order) that holds a geographic point: the smallest OptimScale, a tie to
// the smaller area of its Limits. Maps in degrees count 7,072,159,600 m²
// to the square degree; maps of the grid take the point converted; with
// needsStreets a grid map counts only when it names its street field.
// -1 when none holds the point.
int ChooseMapForPoint(const std::vector<std::string>& mapPaths, const CMapPoint& point, bool needsStreets);

// The most detailed linked map covering at least half of the extent (in
// the units, 0 degrees or 1 grid): with autoLoadOnly only maps with
// AutoLoad; maps of other units only with convert (their Limits converted
// corner by corner); a tie to the narrower Limits. -1 when none does.
int ChooseMapForExtent(const std::vector<std::string>& mapPaths, const CMapRect& extent, int units,
                       bool autoLoadOnly, bool convert);

// What the choice asks of the application: the linked maps, opening one,
// the open maps with their map views, and the active one.
class IBestMapWindows {
public:
    virtual ~IBestMapWindows() = default;
    virtual std::vector<std::string> GetLinkedMapPaths() = 0;
    // Opens the map (an open one is activated); false when it fails.
    virtual bool OpenMap(const std::string& path) = 0;
    // The active child is a map window.
    virtual bool IsMapWindowActive() = 0;
    // The map view of the active map window; null when there is none.
    virtual CDrelView* GetActiveMapView() = 0;
    virtual std::vector<CDrelDoc*> GetOpenMaps() = 0;
    // The map views (not overviews) of an open map.
    virtual std::vector<CDrelView*> GetMapViews(CDrelDoc& map) = 0;
    // Activates the view's map window and the main window.
    virtual void ActivateView(CDrelView& view) = 0;
};

// The choice as the automation and the GPS vehicle reach it; the main
// window installs its CBestMapChoice. Without one nothing is chosen and
// nothing shown.
class IBestMapService {
public:
    virtual ~IBestMapService() = default;
    virtual int ChooseMapForPoint(const CMapPoint& point, bool needsStreets) { return -1; }
    virtual bool ShowPointInBestView(const CMapPoint& point, int mode, bool forceCentre) { return false; }
    virtual bool OpenBestMapForExtent(const CMapRect& extent, int units, const std::string& ownPath,
                                      bool autoLoadOnly, bool convert, bool zoom)
    {
        return false;
    }
    virtual bool ShowPositionInActiveMap(double x, double y, bool openBest, bool forceCentre, bool requireScale)
    {
        return false;
    }
};

// The choice of the best map for a position or an extent: among the
// linked maps (opening the chosen one) or among the open maps, then the
// view moves there. Positions are geographic degrees (x longitude).
class CBestMapChoice : public IBestMapService {
public:
    explicit CBestMapChoice(IBestMapWindows& windows) : m_windows(windows) {}

    int ChooseMapForPoint(const CMapPoint& point, bool needsStreets) override;
    // Mode 0 the active map view, 1 the best open map, 2 the best linked
    // map opened first. Whether a view shows the point.
    bool ShowPointInBestView(const CMapPoint& point, int mode, bool forceCentre) override;
    // Opens the best linked map for the extent and, with zoom, zooms its
    // view there; false when no map was opened, also when the calling map
    // (its path given) is the best already.
    bool OpenBestMapForExtent(const CMapRect& extent, int units, const std::string& ownPath, bool autoLoadOnly,
                              bool convert, bool zoom) override;
    // Shows the position in the active map window (after opening the best
    // linked map for it when asked): a point inside the central 90 % of the
    // view only repaints it, else the view centres on it; a view whose
    // scale is too far from the map's OptimScale (more than 4 x, or above
    // it when the scale is required) is set to OptimScale there.
    bool ShowPositionInActiveMap(double x, double y, bool openBest, bool forceCentre, bool requireScale) override;

private:
    IBestMapWindows& m_windows;
};

IBestMapService& BestMapService();
// Null restores the one that chooses nothing; the caller keeps ownership.
void SetBestMapService(IBestMapService* service);
