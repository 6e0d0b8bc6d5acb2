// The route points of a view over a small network held in memory: placing
// and snapping, the markers' pixels, the computed route and its box.

#include "platform/VirtualKeys.h"
#include "routing/RoutePoints.h"
#include "tests/routing/RouteTown.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kStart = CRoutePointsModel::kStart;
constexpr int kFinish = CRoutePointsModel::kFinish;
constexpr int kMid = CRoutePointsModel::kFirstIntermediate;

class RoutePointsTest : public ::testing::Test, protected CRouteTownView {
protected:
    void Place(int kind, int x, int y)
    {
        if (kind == kStart)
            points->SetStart(*view, x, y);
        else if (kind == kFinish)
            points->SetFinish(*view, x, y);
        else
            points->AddIntermediate(*view, x, y);
    }
    // Start at (500, 500), finish at (1500, 500), intermediate 1 at
    // (1000, 750): serials 1, 2, 3.
    void PlaceThree()
    {
        Place(kStart, 100, 103);
        Place(kFinish, 300, 97);
        Place(kMid, 203, 50);
        ASSERT_EQ(points->Model().GetSerialCounter(), 3);
    }
    std::vector<int> MessageIds() const
    {
        std::vector<int> ids;
        for (const auto& m : user.messages)
            ids.push_back(static_cast<int>(m.helpId));
        return ids;
    }
};

struct PlaceCase {
    const char* name;
    bool fromThree; // else from no points
    int kind;
    CPoint click;
    // -1 nothing stored, -2 a beep; else the index stored at, with the
    // position and serial it holds afterwards.
    int stored;
    CMapPoint position;
    int serial;
    int counter; // the serial counter afterwards
};

TEST_F(RoutePointsTest, PlacingTable)
{
    const PlaceCase cases[] = {
        {"start on free ground", true, kStart, {150, 103}, kStart, {750, 500}, 4, 4},
        {"start on the start", true, kStart, {102, 101}, -1, {}, 0, 3},
        {"start on the finish", true, kStart, {301, 102}, kStart, {1500, 500}, 2, 3},
        {"start on an intermediate", true, kStart, {201, 52}, -2, {}, 0, 3},
        {"start snapped onto the finish", true, kStart, {303, 108}, kStart, {1500, 500}, 2, 4},
        {"start snapped onto an intermediate", true, kStart, {209, 52}, -2, {}, 0, 4},
        {"finish on free ground", true, kFinish, {350, 96}, kFinish, {1750, 500}, 4, 4},
        {"finish on the finish", true, kFinish, {299, 99}, -1, {}, 0, 3},
        {"finish on the start", true, kFinish, {99, 101}, kFinish, {500, 500}, 1, 3},
        {"finish snapped onto the start", true, kFinish, {97, 108}, kFinish, {500, 500}, 1, 4},
        {"finish on an intermediate", true, kFinish, {200, 48}, -2, {}, 0, 3},
        {"intermediate on free ground", true, kMid, {50, 104}, 3, {250, 500}, 4, 4},
        {"intermediate on the start", true, kMid, {100, 98}, -1, {}, 0, 3},
        {"intermediate snapped onto the start", true, kMid, {96, 108}, -1, {}, 0, 4},
        {"intermediate on the finish", true, kMid, {302, 100}, -2, {}, 0, 3},
        {"intermediate on an intermediate", true, kMid, {199, 51}, -2, {}, 0, 3},
        {"first intermediate of none", false, kMid, {50, 104}, kMid, {250, 500}, 1, 1},
        {"finish alone", false, kFinish, {50, 104}, kFinish, {250, 500}, 1, 1},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        CRouteTownView town;
        auto& route = *town.points;
        auto place = [&](int kind, int x, int y) {
            if (kind == kStart)
                route.SetStart(*town.view, x, y);
            else if (kind == kFinish)
                route.SetFinish(*town.view, x, y);
            else
                route.AddIntermediate(*town.view, x, y);
        };
        if (c.fromThree) {
            place(kStart, 100, 103);
            place(kFinish, 300, 97);
            place(kMid, 203, 50);
        }
        const CRoutePointsModel before = route.Model();
        const int beeps = town.user.beeps;
        place(c.kind, c.click.x, c.click.y);
        EXPECT_EQ(town.user.beeps - beeps, c.stored == -2 ? 1 : 0);
        EXPECT_EQ(route.Model().GetSerialCounter(), c.counter);
        for (int i = 0; i < std::max(before.GetCount(), route.Model().GetCount()); ++i) {
            const CRoutePoint* now = route.Model().Get(i);
            ASSERT_NE(now, nullptr);
            if (i == c.stored) {
                EXPECT_EQ(now->position, c.position) << i;
                EXPECT_EQ(now->serial, c.serial) << i;
            } else if (const CRoutePoint* was = before.Get(i)) {
                EXPECT_EQ(now->position, was->position) << i;
                EXPECT_EQ(now->serial, was->serial) << i;
            } else {
                EXPECT_FALSE(now->IsSet()) << i;
            }
        }
        // The start and finish exist as soon as an intermediate does.
        if (c.stored >= kMid) {
            EXPECT_EQ(route.Model().GetCount(), c.stored + 1);
        }
        EXPECT_TRUE(town.user.messages.empty());
    }
}

TEST_F(RoutePointsTest, AClickThatDoesNotSnapBeepsAndChangesNothing)
{
    PlaceThree();
    // Only the closed street is left.
    source.lines.erase(source.lines.begin(), source.lines.begin() + 4);
    Place(kStart, 30, 30);
    Place(kMid, 30, 30);
    EXPECT_EQ(user.beeps, 2);
    EXPECT_EQ(points->Model().GetCount(), 3);
    EXPECT_EQ(Point(kStart)->position, CMapPoint(500, 500));
    EXPECT_EQ(points->Model().GetSerialCounter(), 3);
}

TEST_F(RoutePointsTest, SnappingSkipsClosedStreetsAndSearchesTheWholeView)
{
    CMapPoint snapped;
    int serial = 0;
    // Nearer to the closed street along y = 900 than to any other.
    ASSERT_EQ(points->SnapClick(*view, CMapPoint(400, 800), snapped, serial), 1);
    EXPECT_EQ(snapped, CMapPoint(400, 500));
    EXPECT_EQ(serial, 1);
    // Only what meets the visible extent is read.
    ASSERT_FALSE(source.queries.empty());
    EXPECT_EQ(source.queries.back(), view->GetMapExtent());

    // Zoomed in on the top left corner, where only the closed street and a
    // slanting line whose box meets the view lie: the line is 800 m from the
    // corner, farther than the view is high plus wide.
    source.lines.push_back({{{CMapPoint(-1000, 800), CMapPoint(0, -200)}}, {"8", "9", "1400", "", "1", "1"}});
    view->ZoomToRect(CMapRect(0, 1000, 400, 800), 0);
    ASSERT_EQ(view->GetMapExtent(), CMapRect(0, 1000, 400, 800));
    EXPECT_EQ(points->SnapClick(*view, CMapPoint(400, 1000), snapped, serial), 0);
    EXPECT_EQ(points->Model().GetSerialCounter(), 1);
    // Twice as large a view reaches it.
    view->ZoomToRect(CMapRect(0, 1000, 800, 600), 0);
    ASSERT_EQ(points->SnapClick(*view, CMapPoint(400, 1000), snapped, serial), 1);
    EXPECT_EQ(snapped, CMapPoint(-400, 200));
    EXPECT_EQ(serial, 2);
}

TEST_F(RoutePointsTest, SnappingGoesToALineEndWithinTheEndTolerance)
{
    CMapPoint snapped;
    int serial = 0;
    // 8 m from node 2 along the street: within 10 m of its end.
    ASSERT_EQ(points->SnapClick(*view, CMapPoint(1008, 503), snapped, serial), 1);
    EXPECT_EQ(snapped, CMapPoint(1000, 500));
    // 30 m from it the point stays where it projects.
    ASSERT_EQ(points->SnapClick(*view, CMapPoint(1030, 503), snapped, serial), 1);
    EXPECT_EQ(snapped, CMapPoint(1030, 500));
}

TEST_F(RoutePointsTest, SnappingWithoutUsableFieldsOrLayerTellsWhy)
{
    struct Case {
        const char* name;
        std::function<void(CRouteTownView&)> spoil;
        int message;
    };
    const Case cases[] = {
        {"from field missing", [](CRouteTownView& t) { t.doc.Settings().fromNodeField = "PRADZIA"; }, 1008},
        {"to field missing", [](CRouteTownView& t) { t.doc.Settings().toNodeField = "PABAIGA"; }, 1008},
        {"from field not named", [](CRouteTownView& t) { t.doc.Settings().fromNodeField.clear(); }, 1014},
        {"no routing layer named", [](CRouteTownView& t) { t.doc.Settings().routesLayer.clear(); }, 1011},
        {"routing layer not there", [](CRouteTownView& t) { t.doc.Settings().routesLayer = "Gatves"; }, 1006},
        {"routing layer of areas",
         [](CRouteTownView& t) {
             t.doc.AddLayer(std::make_unique<CLayer>("Kvartalai", "kv.gdb", CLayer::kArea), false);
             t.doc.Settings().routesLayer = "Kvartalai";
         },
         1017},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRouteTownView town;
        c.spoil(town);
        town.points->SetStart(*town.view, 100, 103);
        EXPECT_EQ(town.user.beeps, 1);
        ASSERT_EQ(town.user.messages.size(), 1u);
        EXPECT_EQ(town.user.messages[0].helpId, static_cast<unsigned>(c.message));
        if (c.message == 1008) {
            EXPECT_NE(town.user.messages[0].text.find("Keliai"), std::string::npos);
        }
        EXPECT_EQ(town.points->Model().GetCount(), 0);
        EXPECT_EQ(town.points->Model().GetSerialCounter(), 0);
    }
}

TEST_F(RoutePointsTest, MarkersStandAboveTheirPointsInTheirColours)
{
    PlaceThree();
    Place(kMid, 50, 104);
    Paint();
    struct Probe {
        int index;
        COLORREF colour;
    };
    for (const Probe& p : {Probe{kStart, RGB(255, 0, 0)}, Probe{kFinish, RGB(0, 255, 0)},
                           Probe{kMid, RGB(255, 255, 128)}, Probe{kMid + 1, RGB(255, 255, 128)}}) {
        SCOPED_TRACE(p.index);
        const CRect& box = Point(p.index)->marker;
        ASSERT_FALSE(box.IsRectEmpty());
        const CPoint at = view->MapToClient(Point(p.index)->position);
        const int h = box.Height();
        // The box's lower centre above the point, a sixth of the text
        // height wider on each side than the text.
        EXPECT_EQ(box.top, at.y - 4 * h / 3);
        EXPECT_NEAR((box.left + box.right) / 2.0, at.x, 1.0);
        EXPECT_EQ(Pixel(box.left + 1, (box.top + box.bottom) / 2), p.colour);
        EXPECT_EQ(Pixel(box.left, (box.top + box.bottom) / 2), RGB(0, 0, 0));
        // The pole: black at the point, the shadow beside it.
        EXPECT_EQ(Pixel(at.x, at.y - 1), RGB(0, 0, 0));
        EXPECT_EQ(Pixel(at.x + 1, at.y - 1), RGB(128, 128, 128));
        EXPECT_EQ(Pixel(at.x, box.bottom + 1), RGB(0, 0, 0));
    }
    EXPECT_GT(Point(kStart)->marker.Height(), 8);

    // The finish put on the start: one shared serial, "S+F" in light cyan.
    Place(kFinish, 100, 100);
    Paint();
    for (int i : {kStart, kFinish}) {
        const CRect& box = Point(i)->marker;
        EXPECT_EQ(Pixel(box.left + 1, (box.top + box.bottom) / 2), RGB(128, 255, 255)) << i;
    }
    EXPECT_GT(Point(kStart)->marker.Width(), Point(kMid)->marker.Width());
}

TEST_F(RoutePointsTest, OnlyTheScreenKeepsTheMarkersBoxes)
{
    PlaceThree();
    Paint();
    const CRect onScreen = Point(kStart)->marker;
    QImage picture(800, 400, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        CDC dc(picture);
        view->DrawToDC(dc, nullptr, view->GetScaleDenominator() / 2, 192);
    }
    EXPECT_EQ(Point(kStart)->marker, onScreen);
    // The picture shows the start's red box too.
    bool red = false;
    for (int y = 0; y < picture.height() && !red; ++y)
        for (int x = 0; x < picture.width() && !red; ++x)
            red = (picture.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
    EXPECT_TRUE(red);
}

TEST_F(RoutePointsTest, ComputingNeedsAStartAndAFinish)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int, CPoint>> clicks;
        int message;
    };
    const Case cases[] = {
        {"nothing placed", {}, 1018},
        {"only a finish", {{kFinish, {300, 97}}}, 1018},
        {"only a start", {{kStart, {100, 103}}}, 1019},
        {"an intermediate and a start", {{kMid, {203, 50}}, {kStart, {100, 103}}}, 1019},
        {"the finish on the start", {{kStart, {100, 103}}, {kFinish, {100, 100}}}, 1019},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRouteTownView town;
        for (const auto& [kind, p] : c.clicks) {
            if (kind == kStart)
                town.points->SetStart(*town.view, p.x, p.y);
            else if (kind == kFinish)
                town.points->SetFinish(*town.view, p.x, p.y);
            else
                town.points->AddIntermediate(*town.view, p.x, p.y);
        }
        MapToolMode = 13;
        EXPECT_EQ(town.points->ComputeRoute(*town.view), 0);
        EXPECT_EQ(MapToolMode, 0);
        ASSERT_EQ(town.user.messages.size(), 1u);
        EXPECT_EQ(town.user.messages[0].helpId, static_cast<unsigned>(c.message));
        EXPECT_EQ(town.points->GetLegCount(), 0);
        EXPECT_EQ(town.boxes.open, 0);
    }
}

TEST_F(RoutePointsTest, TheRouteIsShownWithItsLength)
{
    Place(kStart, 100, 103);
    Place(kFinish, 200, 10);
    ASSERT_EQ(points->ComputeRoute(*view), 1);
    ASSERT_EQ(points->GetLegCount(), 1);
    EXPECT_DOUBLE_EQ(points->GetTotalLength(), 0.5 + 0.45);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("route", 0.95, 0));
    EXPECT_EQ(user.progressHigh, 1 + 0 + 2 + 0);
    // The legs' extent (500 .. 1000 x 500 .. 950) grown by a fifth about its
    // centre fills the view one way and is centred in it.
    const CMapRect shown = view->GetMapExtent();
    EXPECT_NEAR(shown.Center().x, 750, 1e-6);
    EXPECT_NEAR(shown.Center().y, 725, 1e-6);
    EXPECT_NEAR(shown.Height(), 450 * 1.2, 1e-3);
    EXPECT_GE(shown.Width(), 500 * 1.2);

    // A new point takes the legs and the box away.
    Place(kMid, 50, 104);
    EXPECT_EQ(points->GetLegCount(), 0);
    EXPECT_EQ(boxes.open, 0);
    // Clearing leaves no points and tool 0.
    MapToolMode = 15;
    points->Clear(*view);
    EXPECT_EQ(points->Model().GetCount(), 0);
    EXPECT_EQ(MapToolMode, 0);
}

TEST_F(RoutePointsTest, IntermediatesAreRenumberedToTheVisitingOrder)
{
    // Start far left, finish far right, intermediate 1 near the finish and
    // 2 near the start: the trip visits 2 first.
    Place(kStart, 20, 103);
    Place(kFinish, 380, 103);
    Place(kMid, 300, 103);
    Place(kMid, 100, 103);
    ASSERT_EQ(points->ComputeRoute(*view), 1);
    EXPECT_EQ(user.progressHigh, 1 + 1 + 4 + 0);
    EXPECT_EQ(Point(kMid)->position, CMapPoint(500, 500));
    EXPECT_EQ(Point(kMid + 1)->position, CMapPoint(1500, 500));
    EXPECT_EQ(points->GetLegCount(), 3);
    EXPECT_DOUBLE_EQ(points->GetTotalLength(), 0.4 + 1.0 + 0.4);

    // One intermediate keeps its place, whatever the order would be.
    CRouteTownView town;
    town.points->SetStart(*town.view, 20, 103);
    town.points->SetFinish(*town.view, 100, 103);
    town.points->AddIntermediate(*town.view, 300, 103);
    ASSERT_EQ(town.points->ComputeRoute(*town.view), 1);
    EXPECT_EQ(town.Point(kMid)->position, CMapPoint(1500, 500));
    EXPECT_DOUBLE_EQ(town.points->GetTotalLength(), 1.4 + 1.0);
}

TEST_F(RoutePointsTest, ARouteWithoutExtentKeepsTheView)
{
    // Start on node 2; the finish dragged to beside it, snapped onto it.
    Place(kStart, 200, 100);
    Place(kFinish, 300, 97);
    Paint();
    MapToolMode = 16;
    const CRect box = Point(kFinish)->marker;
    points->MovePoint(*view, (box.left + box.right) / 2, box.bottom - 2);
    ASSERT_TRUE(points->IsDragging());
    view->OnLButtonUp(0, 201, 100);
    ASSERT_EQ(Point(kFinish)->position, CMapPoint(1000, 500));
    ASSERT_NE(Point(kFinish)->serial, Point(kStart)->serial);

    const CMapRect before = view->GetMapExtent();
    ASSERT_EQ(points->ComputeRoute(*view), 1);
    EXPECT_EQ(view->GetMapExtent(), before);
    EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("route", 0, 0));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(RoutePointsTest, DraggingThroughTheViewsEvents)
{
    PlaceThree();
    Place(kMid, 50, 104);
    Place(kMid, 380, 103);
    Paint();
    MapToolMode = 16;
    auto grab = [&](int index) {
        const CRect box = Point(index)->marker;
        view->OnLButtonDown(MK_LBUTTON, (box.left + box.right) / 2, box.top + 2);
    };

    // Nothing near: a beep.
    view->OnLButtonDown(MK_LBUTTON, 20, 190);
    EXPECT_EQ(user.beeps, 1);
    EXPECT_FALSE(points->IsDragging());

    // The right button keeps the old place and opens no menu.
    grab(kStart);
    ASSERT_TRUE(points->IsDragging());
    EXPECT_TRUE(window.captured);
    EXPECT_EQ(window.cursor, CRoutePoints::kDragCursor);
    view->OnMouseMove(MK_LBUTTON, 150, 100);
    EXPECT_EQ(window.cursor, CRoutePoints::kDragCursor);
    view->OnMouseMove(MK_LBUTTON, 450, 100);
    EXPECT_EQ(window.cursor, CRoutePoints::kDragOutsideCursor);
    view->OnRButtonDown(MK_RBUTTON, 150, 100);
    EXPECT_FALSE(points->IsDragging());
    EXPECT_FALSE(window.captured);
    EXPECT_EQ(Point(kStart)->position, CMapPoint(500, 500));
    EXPECT_EQ(Point(kStart)->serial, 1);

    // Escape keeps it, and the view's tool hears nothing of it.
    grab(kStart);
    view->OnKeyDown(VK_ESCAPE, 1, 0);
    EXPECT_EQ(Point(kStart)->serial, 1);
    EXPECT_EQ(MapToolMode, 16);
    // So does a lost focus.
    grab(kStart);
    view->OnKillFocus();
    EXPECT_FALSE(points->IsDragging());
    EXPECT_EQ(Point(kStart)->serial, 1);

    // Released inside: moved and snapped again.
    grab(kStart);
    view->OnLButtonUp(0, 150, 104);
    EXPECT_EQ(Point(kStart)->position, CMapPoint(750, 500));
    EXPECT_EQ(Point(kStart)->serial, 6);

    // Onto an intermediate: a beep, and it stays.
    grab(kFinish);
    view->OnLButtonUp(0, 51, 103);
    EXPECT_EQ(user.beeps, 2);
    EXPECT_EQ(Point(kFinish)->position, CMapPoint(1500, 500));
    EXPECT_EQ(Point(kFinish)->serial, 2);

    // Intermediate 2 of 3 deleted by the Delete key: the third becomes 2.
    grab(kMid + 1);
    view->OnKeyDown(VK_DELETE, 1, 0);
    ASSERT_EQ(points->Model().GetCount(), 4);
    EXPECT_EQ(Point(kMid + 1)->position, CMapPoint(1900, 500));
    Paint();
    EXPECT_EQ(Pixel(Point(kMid + 1)->marker.left + 1, Point(kMid + 1)->marker.CenterPoint().y), RGB(255, 255, 128));

    // Released outside: the start is deleted, unset.
    grab(kStart);
    view->OnLButtonUp(0, 100, 250);
    EXPECT_EQ(points->Model().GetCount(), 4);
    EXPECT_FALSE(Point(kStart)->IsSet());

    // While another window holds the mouse no drag begins.
    window.heldElsewhere = true;
    grab(kFinish);
    EXPECT_FALSE(points->IsDragging());
    EXPECT_EQ(Point(kFinish)->serial, 2);
    MapToolMode = 0;
}

} // namespace
