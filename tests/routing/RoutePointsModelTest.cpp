// The rules of the route points that need no view: which marker a press
// grabs, the progress range, the renumbering and the deletions.

#include "routing/RoutePointsModel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Points at (x, 0) map to client (x, 100): one pixel a unit.
CPoint Client(const CMapPoint& p)
{
    return CPoint(static_cast<int>(p.x), 100 - static_cast<int>(p.y));
}

CRoutePointsModel WithPoints(const std::vector<double>& xs, int sharedEnds = 0)
{
    CRoutePointsModel model;
    for (size_t i = 0; i < xs.size(); ++i)
        model.Store(static_cast<int>(i), CMapPoint(xs[i], 0), model.NextSerial());
    if (sharedEnds && xs.size() >= 2)
        model.Store(1, model.Get(0)->position, model.Get(0)->serial);
    return model;
}

} // namespace

TEST(RoutePointsModel, APressGrabsTheNearestMarkerAboveItsPoint)
{
    // Start at x 100, finish at 200, intermediate at 110.
    const CRoutePointsModel model = WithPoints({100, 200, 110});
    struct Case {
        CPoint press;
        int grabbed;
    };
    const Case cases[] = {
        {{200, 100}, 1},  // on the point
        {{200, 71}, 1},   // 29 above: less 10 is 19
        {{200, 70}, -1},  // 30 above
        {{200, 119}, 1},  // 19 below
        {{200, 120}, -1}, // 20 below
        {{219, 100}, 1},  // 19 aside
        {{220, 100}, -1}, // 20 aside
        {{105, 100}, 0},  // as near to the start as to the intermediate: the first
        {{108, 100}, 2},
        {{150, 100}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(model.GrabTarget(c.press, Client), c.grabbed) << c.press.x << "," << c.press.y;

    // An unset start is no marker.
    CRoutePointsModel deleted = model;
    deleted.Delete(0);
    EXPECT_EQ(deleted.GrabTarget(CPoint(105, 100), Client), 2);
}

TEST(RoutePointsModel, TheProgressRangeCountsTheStopsAndTheSteps)
{
    struct Case {
        int points;
        bool roundTrip;
        int high;
    };
    const Case cases[] = {
        {2, false, 1 + 0 + 2 + 0},
        {3, false, 1 + 1 + 3 + 0},
        {10, false, 1 + 1 + 10 + 1},
        {3, true, 0 + 1 + 3 + 0},
        {19, true, 0 + 1 + 19 + 2},
    };
    for (const Case& c : cases) {
        const CRoutePointsModel model = WithPoints(std::vector<double>(static_cast<size_t>(c.points), 5.0), c.roundTrip);
        EXPECT_EQ(model.ProgressHigh(), c.high) << c.points << (c.roundTrip ? " round trip" : "");
    }
}

TEST(RoutePointsModel, TheStopsRunFromStartThroughTheIntermediatesToTheFinish)
{
    CRoutePointsModel model = WithPoints({1, 9, 2, 3, 4});
    std::vector<double> xs;
    for (const CMapPoint& p : model.Stops())
        xs.push_back(p.x);
    EXPECT_EQ(xs, (std::vector<double>{1, 2, 3, 4, 9}));

    // Visiting 4, 2, 3 between the ends: they are renumbered so.
    model.ReorderIntermediates({0, 3, 1, 2, 4});
    EXPECT_EQ(model.Get(2)->position.x, 4);
    EXPECT_EQ(model.Get(3)->position.x, 2);
    EXPECT_EQ(model.Get(4)->position.x, 3);
    EXPECT_EQ(model.Get(2)->serial, 5);

    // An order that is none leaves the list alone.
    for (const std::vector<int>& bad : {std::vector<int>{0, 1, 1, 2, 4}, std::vector<int>{0, 4, 1, 2, 3},
                                        std::vector<int>{0, 1, 2}, std::vector<int>{0, -1, 1, 2, 4}}) {
        CRoutePointsModel same = model;
        same.ReorderIntermediates(bad);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(same.Get(i)->position, model.Get(i)->position);
    }
}

TEST(RoutePointsModel, DeletingAnEndUnsetsItAndAnIntermediateMovesTheLaterOnesDown)
{
    CRoutePointsModel model = WithPoints({1, 9, 2, 3, 4});
    model.Delete(3);
    ASSERT_EQ(model.GetCount(), 4);
    EXPECT_EQ(model.Get(3)->position.x, 4);
    model.Delete(1);
    ASSERT_EQ(model.GetCount(), 4);
    EXPECT_FALSE(model.Get(1)->IsSet());
    EXPECT_EQ(model.MissingEnd(), 1019);
    model.Delete(0);
    EXPECT_EQ(model.MissingEnd(), 1018);
    model.Delete(7);
    EXPECT_EQ(model.GetCount(), 4);
}
