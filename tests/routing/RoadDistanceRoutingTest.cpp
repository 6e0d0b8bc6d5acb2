// The distance along the road of a map view, routed over the demo town's
// streets by the installed network router.

#include "mapdoc/RoadDistance.h"
#include "platform/VirtualKeys.h"
#include "routing/RoadRouting.h"
#include "tests/mapdoc/ToolTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/demo/DemoMapWriter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double SegmentDistance(const CMapPoint& p, const CMapPoint& a, const CMapPoint& b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::fmax(0, std::fmin(1, t));
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// How far the point is from the nearest street of the town.
double DistanceToStreets(const CDemoTown& town, const CMapPoint& p)
{
    double best = 1e300;
    for (const CDemoStreet& s : town.streets)
        for (size_t i = 1; i < s.line.size(); ++i)
            best = std::fmin(best, SegmentDistance(p, s.line[i - 1], s.line[i]));
    return best;
}

} // namespace

TEST(RoadDistanceRouting, ARoadDistanceOnTheDemoMapFollowsItsStreets)
{
    CScriptedUserServices user;
    CRecordingViewHost host;
    CRecordingBoxes boxes;
    const CDemoOptions options{7, 150};
    const CDemoTown town = CDemoTown::Generate(options);
    CTempDir dir;
    std::string error;
    ASSERT_TRUE(MakeDemoMap(dir.Path(), options, error)) << error;
    CDrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(dir.File(CDemoMapWriter::kMapFile)));

    RoadRouterMaker before = SetRoadRouterMaker(nullptr);
    InstallRoadRouting();
    MapToolMode = 23;
    {
        CToolFixture f(doc, 600, 600);
        f.view->realTools = true;
        f.window.boxes = &boxes;
        // Two streets far apart, clicked beside their middles.
        const CDemoStreet* first = &town.streets.front();
        const CDemoStreet* second = first;
        for (const CDemoStreet& s : town.streets) {
            if (s.line.size() < 2)
                continue;
            if (s.line[0].x + s.line[0].y < first->line[0].x + first->line[0].y)
                first = &s;
            if (s.line[0].x + s.line[0].y > second->line[0].x + second->line[0].y)
                second = &s;
        }
        auto middle = [](const CDemoStreet& s) {
            return CMapPoint((s.line[0].x + s.line[1].x) / 2, (s.line[0].y + s.line[1].y) / 2);
        };
        const CMapPoint a = middle(*first), b = middle(*second);
        CMapRect around(std::fmin(a.x, b.x), std::fmax(a.y, b.y), std::fmax(a.x, b.x), std::fmin(a.y, b.y));
        around.Scale(1.2);
        f.view->ZoomToRect(around, 0);
        f.Paint();

        for (const CMapPoint& p : {a, b}) {
            const CPoint click = f.view->MapToClient(p);
            f.view->OnMouseMove(0, click.x, click.y);
            f.view->OnLButtonDown(MK_LBUTTON, click.x, click.y);
        }
        CRoadDistance* measure = f.view->GetRoadDistanceMeasure();
        ASSERT_NE(measure, nullptr);
        ASSERT_EQ(measure->GetLegs().size(), 1u);
        const CMapPointArray& leg = measure->GetLegs()[0];
        // Along the streets: many vertices, each on a street, and longer
        // than the straight line.
        EXPECT_GT(leg.GetSize(), 4);
        for (const CMapPoint& p : leg)
            EXPECT_LT(DistanceToStreets(town, p), 1e-6);
        double length = 0;
        for (int i = 1; i < leg.GetSize(); ++i)
            length += std::hypot(leg[i].x - leg[i - 1].x, leg[i].y - leg[i - 1].y);
        EXPECT_NEAR(measure->GetTotalKm(), length * 0.001, 1e-9);
        EXPECT_GT(length, std::hypot(b.x - a.x, b.y - a.y));
        // The second point is where the leg met the network.
        EXPECT_TRUE(measure->GetPoints()[1] == leg[leg.GetUpperBound()]);
        EXPECT_EQ(boxes.Last(), CRecordingBoxes::Pair("distance", 0, length * 0.001));
        EXPECT_TRUE(user.messages.empty());
    }
    MapToolMode = 0;
    SetRoadRouterMaker(std::move(before));
}
