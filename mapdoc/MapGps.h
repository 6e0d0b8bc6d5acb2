#pragma once

#include <cfloat>

class CDC;
class CDrelView;

// The GPS position as the map views draw and follow it: geographic
// degrees, the longitude DBL_MAX while no position is known.
struct CMapGpsFix {
    double longitude = DBL_MAX;
    double latitude = DBL_MAX;
    double speed = 0;  // km/h
    double course = 0; // degrees clockwise from north
    int lost = 0;      // no new fix came within the main window's time-out

    bool IsSet() const { return longitude != DBL_MAX; }
};

// Where the current fix and the follow-vehicle setting come from: the
// main window's GPS handling. The program installs it at start-up; without
// one there is no fix and the map does not follow.
class IMapGpsSource {
public:
    virtual ~IMapGpsSource() = default;
    virtual CMapGpsFix GetFix() const { return {}; }
    // The map follows the vehicle.
    virtual bool GetFollowVehicle() const { return false; }
};

// What the map drawing asks the GPS part to draw over the map: the recent
// track, the marker of the current fix, and the vehicle that automation or
// the track replay shows. Until it is installed nothing is drawn.
class IMapGpsPainter {
public:
    virtual ~IMapGpsPainter() = default;
    virtual void DrawRecentTrack(CDC& dc, CDrelView& view) {}
    // course -1 draws no direction.
    virtual void DrawVehicleMarker(CDC& dc, CDrelView& view, const CMapGpsFix& fix, double course, int lost) {}
    virtual void DrawAutomationVehicle(CDC& dc, CDrelView& view) {}
};

const IMapGpsSource& MapGpsSource();
IMapGpsPainter& MapGpsPainter();
// Null restores the default; the caller keeps ownership.
void SetMapGpsSource(const IMapGpsSource* source);
void SetMapGpsPainter(IMapGpsPainter* painter);
