#pragma once

#include "core/MapPoint.h"
#include "mapdoc/RoutePoints.h"
#include "platform/Rect.h"
#include "routing/RoutePointsModel.h"

#include <memory>
#include <string>
#include <vector>

class CLayer;
class CPlanningTask;
class CShape;
class CShapeOverlay;
class IRouteLayerSource;
class IRouteLengthBox;

// The interactive route of one map view: the start, finish and
// intermediate points placed with the route tools (snapped onto the map's
// routing network), their markers, the drag that moves or deletes one, and
// the computed route: its legs drawn over the map and its length in the
// view's route-length box. Points are client pixels of the view.
class CRoutePoints : public IRoutePoints {
public:
    CRoutePoints();
    ~CRoutePoints() override;
    CRoutePoints(const CRoutePoints&) = delete;
    CRoutePoints& operator=(const CRoutePoints&) = delete;

    // The legs, then the markers.
    void Draw(CDC& dc, CDrelView& view) override;
    void SetStart(CDrelView& view, int x, int y) override;
    void SetFinish(CDrelView& view, int x, int y) override;
    void AddIntermediate(CDrelView& view, int x, int y) override;
    // Grabs the marker nearest the point (a beep when none is near) and
    // drags it with the mouse captured: released inside the view it is put
    // there, snapped again; released outside, or the Delete key, deletes
    // it; Escape, the right button and a lost focus leave it where it was.
    void MovePoint(CDrelView& view, int x, int y) override;
    int GetPointCount() const override { return m_model.GetCount(); }
    bool IsDragging() const override { return m_drag.active; }
    void OnDragMouseMove(CDrelView& view, int x, int y) override;
    void OnDragLButtonUp(CDrelView& view, int x, int y) override;
    void OnDragRButtonDown(CDrelView& view) override;
    void OnDragKeyDown(CDrelView& view, int key) override;
    void OnDragFocusLost(CDrelView& view) override;

    // The route through the points, the intermediates visited in the
    // cheapest order (and renumbered so), shown: the view fitted around it
    // and its length in the box. 1 when a route was shown; 0 after the
    // message that says why not.
    int ComputeRoute(CDrelView& view);
    // Client visits: the task's points ordered, numbered and timed in its
    // layer's table, the route written to "Results_l.gdb" and
    // "Results_p.gdb" in the user folder and shown. 1 when a route was made.
    int RunPlanning(CPlanningTask& task, CDrelView& view);
    // The task of "mplan.ini" over the point file it names.
    int RunPlanningFromIni(CDrelView& view);
    // The process-wide task on the point layer, after dialog 310.
    int RunRoundTrip(CLayer& layer, CDrelView& view);
    // Tool 0, no legs, no points.
    void Clear(CDrelView& view);
    // The legs and the length box go; the number of legs removed.
    int ClearLegs(CDrelView& view);
    void DeletePoints(CDrelView& view);
    // Repaints where the markers of points first .. first + count - 1 (count
    // < 0: to the end) were drawn.
    void InvalidateMarkers(CDrelView& view, int first, int count);
    // Drawn on the screen, a marker keeps its box in client pixels.
    void DrawMarkers(CDC& dc, CDrelView& view, int first, int count);
    // The clicked map point on the nearest line of the routing network in
    // the visible extent, with the serial of this snap; 0 when there is no
    // usable routing layer (told) or no line to snap to.
    int SnapClick(CDrelView& view, const CMapPoint& click, CMapPoint& snapped, int& serial);

    // The road distances among the points of the layer (named by its id
    // field) into a new results table; ask: whether every row or only the
    // first point's is wanted. 1 when the table was written.
    int ComputeDistanceMatrix(CLayer& layer, const std::string& resultsPath, CDrelView& view, bool ask);
    // The same over the points of a point file, opened as a layer of its own.
    int RouteImportedPoints(const std::string& pointsPath, const std::string& resultsPath, CDrelView& view);
    // Marks the dead ends of the network the first dead end cannot reach
    // (start and finish on that one), or says there are none; 1 when the
    // check ran.
    int CheckNetwork(CDrelView& view);

    const CRoutePointsModel& Model() const { return m_model; }
    int GetLegCount() const { return static_cast<int>(m_legs.size()); }
    const CShape& GetLeg(int index) const;
    double GetTotalLength() const { return m_totalLength; }
    // Where the routing layer is read from instead of its files; borrowed.
    void SetLayerSource(IRouteLayerSource* source) { m_source = source; }

    // Cursors of the drag inside and outside the view.
    static constexpr int kDragCursor = 112;
    static constexpr int kDragOutsideCursor = 30982;

private:
    enum class EDragEnd { kKeepOld, kKeepAt, kDelete };
    struct CDrag {
        bool active = false;
        int index = -1;
        int serial = 0;
        CPoint press;
    };

    void Place(CDrelView& view, int kind, int x, int y);
    // The legs drawn and kept, the view fitted around them, the length in the box.
    void ShowLegs(CDrelView& view, const std::vector<std::unique_ptr<CShape>>& legs, double totalLength);
    void EndDrag(CDrelView& view, EDragEnd end, const CPoint& at);
    void DrawMarkersOnWindow(CDrelView& view, int first, int count);
    // Points first .. first + count - 1 of the list, count < 0 to the end.
    void MarkerRange(int first, int count, int& begin, int& end) const;

    CRoutePointsModel m_model;
    std::vector<std::unique_ptr<CShapeOverlay>> m_legs;
    std::unique_ptr<IRouteLengthBox> m_lengthBox;
    double m_totalLength = 0;
    CDrag m_drag;
    IRouteLayerSource* m_source = nullptr;
};

// The route points of the view, made as the first route tool click makes
// them when the view has none yet; null when the view's are not these or
// none can be made.
CRoutePoints* RoutePointsOf(CDrelView& view);
