#pragma once

#include "core/MapPoint.h"
#include "platform/Gdi.h"
#include "platform/Rect.h"

#include <functional>
#include <string>
#include <vector>

// One route point: the snapped map position, the serial of the snap that
// placed it (0: not set; shared by points put on each other's marker) and
// its marker's box in client pixels (empty until drawn on the screen).
struct CRoutePoint {
    CMapPoint position;
    int serial = 0;
    CRect marker;

    bool IsSet() const { return serial != 0; }
};

// The rules of the route points of a view, without the view: where a
// placed or dropped point goes, which marker a click means, how markers
// look, the stops of the computation and the renumbering after it.
// Index 0 is the start, 1 the finish, 2 and up the intermediates in the
// order placed; 0 and 1 exist (maybe unset) as soon as a later one does.
class CRoutePointsModel {
public:
    enum { kStart = 0, kFinish = 1, kFirstIntermediate = 2 };
    // What a placing or a drop does instead of storing the point.
    enum { kNothing = -1, kBeep = -2 };
    // Squared client pixels within which a click means a point.
    static constexpr int kHitRadius2 = 25;
    // How far (max of |dx| and |dy|) the grab of a marker reaches, and how
    // far above its point a marker's box begins.
    static constexpr int kGrabReach = 20;
    static constexpr int kMarkerLift = 10;

    static constexpr COLORREF kStartColour = RGB(255, 0, 0);
    static constexpr COLORREF kFinishColour = RGB(0, 255, 0);
    static constexpr COLORREF kBothColour = RGB(128, 255, 255);
    static constexpr COLORREF kIntermediateColour = RGB(255, 255, 128);

    using ToClient = std::function<CPoint(const CMapPoint&)>;

    int GetCount() const { return static_cast<int>(m_points.size()); }
    // Null outside 0 .. count - 1.
    const CRoutePoint* Get(int index) const;
    CRoutePoint* Get(int index);
    int GetSerialCounter() const { return m_serialCounter; }
    // A successful snap: the counter's new value.
    int NextSerial() { return ++m_serialCounter; }

    // The set point within 5 pixels of the client point (the first of
    // several); -1 when none is.
    int HitPoint(const CPoint& client, const ToClient& toClient) const;
    // Where a point placed with the tool of the kind (start, finish or
    // intermediate) goes when it meets point hit (-1 none): its index, or
    // kNothing or kBeep.
    int PlaceTarget(int kind, int hit) const;
    // Stores the point at the index, the entries before it made (unset).
    void Store(int index, const CMapPoint& position, int serial);

    // The marker a press at the client point grabs: the nearest set point
    // by max(|dx|, |dy|) below kGrabReach, dy measured to its point less
    // kMarkerLift when above it; the first of equals. -1 when none is.
    int GrabTarget(const CPoint& client, const ToClient& toClient) const;
    // Whether the dragged point may be dropped on point hit (-1 none):
    // only start and finish onto each other.
    static bool MayDrop(int dragged, int hit) { return hit < 0 || (dragged <= kFinish && hit == 1 - dragged); }
    // A start or finish becomes unset; an intermediate leaves the list and
    // the later ones move down a number.
    void Delete(int index);
    void Clear() { m_points.clear(); }

    // The marker of point index: false for an unset one. onlyStart: the
    // start is drawn without the finish.
    bool MarkerLook(int index, bool onlyStart, std::string& text, COLORREF& colour) const;

    // Before computing: 0 when there is a route to look for, else the
    // message: 1018 no start, 1019 no finish (also two points of one snap).
    int MissingEnd() const;
    // The start, the intermediates in list order, the finish.
    std::vector<CMapPoint> Stops() const;
    // The progress window's upper end for the stops.
    int ProgressHigh() const;
    // The intermediates in the visiting order (order[k]: the stop list's
    // index of the k-th stop visited); only with more than one of them.
    void ReorderIntermediates(const std::vector<int>& order);

private:
    std::vector<CRoutePoint> m_points;
    int m_serialCounter = 0;
};
