// The box index of shapes that change while they are asked for: every
// answer against a look at every shape.
#include "geoproc/ShapeBoxIndex.h"

#include "core/SegmentPairs.h"
#include "core/ShapeArray.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

struct CIndexedSet {
    const char* name;
    // A shape's points, or none for an empty shape.
    std::vector<CMapPoint> (*make)(std::mt19937& random, int i);
};

std::vector<CMapPoint> ShortLine(std::mt19937& random, double spread, double length)
{
    std::uniform_real_distribution<double> at(0, spread), step(-length, length);
    const CMapPoint start(at(random), at(random));
    std::vector<CMapPoint> points{start};
    for (int k = static_cast<int>(random() % 3); k >= 0; --k)
        points.emplace_back(points.back().x + step(random), points.back().y + step(random));
    return points;
}

const CIndexedSet kSets[] = {
    {"short lines", [](std::mt19937& random, int) { return ShortLine(random, 1000, 20); }},
    {"lines and empty shapes",
     [](std::mt19937& random, int i) { return i % 5 == 2 ? std::vector<CMapPoint>{} : ShortLine(random, 300, 10); }},
    {"long lines across short ones",
     [](std::mt19937& random, int i) {
         if (i % 40 == 0) {
             std::uniform_real_distribution<double> at(0, 1000);
             return std::vector<CMapPoint>{{-50, at(random)}, {1050, at(random)}, {at(random), 1050}};
         }
         return ShortLine(random, 1000, 5);
     }},
    {"all on one upright line",
     [](std::mt19937& random, int) {
         std::uniform_real_distribution<double> at(-500, 500);
         return std::vector<CMapPoint>{{7, at(random)}, {7, at(random)}};
     }},
    {"all on one point", [](std::mt19937&, int) { return std::vector<CMapPoint>{{3, 4}, {3, 4}}; }},
    {"far from the origin",
     [](std::mt19937& random, int) {
         std::vector<CMapPoint> points = ShortLine(random, 50, 2);
         for (CMapPoint& p : points)
             p = CMapPoint(p.x + 6.0e6, p.y - 3.0e6);
         return points;
     }},
};

CMapRect RandomRect(std::mt19937& random, const CMapRect& around)
{
    const double w = std::max(around.Width(), 1.0), h = std::max(around.Height(), 1.0);
    std::uniform_real_distribution<double> x(around.left - w / 4, around.right + w / 4),
        y(around.bottom - h / 4, around.top + h / 4), size(0, w / 20);
    switch (random() % 8) {
    case 0: { // a point
        const CMapPoint p(x(random), y(random));
        return CMapRect(p);
    }
    case 1: // everything
        return CMapRect(around.left - 1, around.top + 1, around.right + 1, around.bottom - 1);
    case 2: // wholly beside
        return CMapRect(around.right + 1, around.top, around.right + 2, around.bottom);
    default: {
        const double left = x(random), bottom = y(random);
        return CMapRect(left, bottom + size(random), left + size(random), bottom);
    }
    }
}

// Moves one vertex of shape i a little, as editing does, and tells the index.
void NudgeVertex(CShapeArray& shapes, int i, CShapeBoxIndex& index, std::mt19937& random,
                 std::uniform_real_distribution<double>& nudge)
{
    CShape& shape = *shapes[i];
    CMapPoint& p = shape.Points()[static_cast<int>(random() % shape.GetPointCount())];
    p = CMapPoint(p.x + nudge(random), p.y + nudge(random));
    shape.RecalcBounds();
    index.Moved(i);
}

// The indexed shapes below the limit whose box meets rect, by a look at every one.
std::vector<int> MeetingByLook(const CShapeArray& shapes, const std::vector<char>& indexed, const CMapRect& rect,
                               int limit = INT_MAX)
{
    std::vector<int> meeting;
    for (int i = 0; i < shapes.GetSize() && i < limit; ++i)
        if (indexed[static_cast<size_t>(i)] && ExtentsMeet(shapes[i]->GetExtent(), rect))
            meeting.push_back(i);
    return meeting;
}

TEST(ShapeBoxIndex, FindsWhatALookAtEveryShapeFindsWhileShapesMove)
{
    for (const CIndexedSet& set : kSets)
        for (unsigned seed = 1; seed <= 4; ++seed) {
            std::mt19937 random(seed);
            const int count = 50 + static_cast<int>(random() % 400);
            CShapeArray shapes;
            for (int i = 0; i < count; ++i) {
                CShape shape;
                shape.SetSize(0, 1);
                for (const CMapPoint& p : set.make(random, i))
                    shape.AddPoint(p);
                shapes.AddCopy(shape);
            }
            CShapeBoxIndex index;
            std::vector<char> indexed;
            const auto build = [&] {
                ASSERT_TRUE(index.Build(shapes));
                indexed.clear();
                for (int i = 0; i < count; ++i)
                    indexed.push_back(shapes[i]->GetPointCount() > 0);
            };
            build();
            CMapRect all;
            for (int i = 0; i < count; ++i)
                all.UnionRect(all, shapes[i]->GetExtent());
            const double reach = std::max({all.Width(), all.Height(), 1.0}) / 50;
            std::uniform_real_distribution<double> nudge(-reach, reach);
            std::vector<int> hits;
            for (int round = 0; round < 300; ++round) {
                if (round == 150)
                    build();
                if (random() % 3 == 0) {
                    const int i = static_cast<int>(random() % count);
                    if (shapes[i]->GetPointCount() > 0)
                        NudgeVertex(shapes, i, index, random, nudge);
                }
                const CMapRect rect = RandomRect(random, all);
                const int limit = random() % 2 ? INT_MAX : static_cast<int>(random() % (count + 1));
                const std::vector<int> expected = MeetingByLook(shapes, indexed, rect, limit);
                index.Query(rect, hits, limit);
                ASSERT_EQ(hits, expected) << set.name << ", seed " << seed << ", round " << round;
            }
        }
}

// Shapes done in load order, each moved a little and then kept, as
// snapping does; queries between, some reaching shapes not yet kept.
TEST(ShapeBoxIndex, KeptShapesAreFoundWithTheirBoxesAndPointsAsTheyEnded)
{
    for (const CIndexedSet& set : kSets)
        for (unsigned seed = 1; seed <= 4; ++seed) {
            std::mt19937 random(seed);
            const int count = 50 + static_cast<int>(random() % 400);
            CShapeArray shapes;
            std::vector<char> indexed;
            for (int i = 0; i < count; ++i) {
                CShape shape;
                shape.SetSize(0, 1);
                for (const CMapPoint& p : set.make(random, i))
                    shape.AddPoint(p);
                indexed.push_back(shape.GetPointCount() > 0);
                shapes.AddCopy(shape);
            }
            // A loaded box need not be the one the points span.
            if (shapes[0]->GetPointCount() > 0) {
                CMapRect wider = shapes[0]->GetExtent();
                wider.right += 1;
                shapes[0]->SetExtent(wider);
            }
            CShapeBoxIndex index;
            ASSERT_TRUE(index.Build(shapes));
            CMapRect all;
            for (int i = 0; i < count; ++i)
                all.UnionRect(all, shapes[i]->GetExtent());
            const double reach = std::max({all.Width(), all.Height(), 1.0}) / 50;
            std::uniform_real_distribution<double> nudge(-reach, reach);
            std::vector<CShapeBoxIndex::CFound> hits;
            for (int done = 0; done < count; ++done) {
                if (shapes[done]->GetPointCount() > 0 && random() % 2)
                    NudgeVertex(shapes, done, index, random, nudge);
                index.Keep(done);
                const CMapRect rect = RandomRect(random, all);
                const int limit = random() % 4 ? done + 1 : INT_MAX;
                const std::vector<int> expected = MeetingByLook(shapes, indexed, rect, limit);
                std::vector<int> found;
                index.QueryKept(rect, hits, limit);
                for (const CShapeBoxIndex::CFound& hit : hits) {
                    found.push_back(hit.shape);
                    const CShape& now = *shapes[hit.shape];
                    ASSERT_EQ(hit.box, now.GetExtent()) << set.name << ", seed " << seed << ", shape " << hit.shape;
                    ASSERT_EQ(hit.count, now.GetPointCount()) << set.name << ", seed " << seed;
                    for (int k = 0; k < hit.count; ++k)
                        ASSERT_EQ(hit.Points()[k], now.GetPoint(k)) << set.name << ", seed " << seed;
                }
                ASSERT_EQ(found, expected) << set.name << ", seed " << seed << ", done " << done;
                // Kept shapes leave the plain answers as they were.
                std::vector<int> plain;
                index.Query(rect, plain, limit);
                ASSERT_EQ(plain, expected) << set.name << ", seed " << seed << ", done " << done;
            }
            // Kept shapes moved after all are answered as they are now.
            for (int round = 0; round < 100; ++round) {
                const int i = static_cast<int>(random() % count);
                if (shapes[i]->GetPointCount() > 0)
                    NudgeVertex(shapes, i, index, random, nudge);
                const CMapRect rect = RandomRect(random, all);
                const std::vector<int> expected = MeetingByLook(shapes, indexed, rect);
                std::vector<int> found, plain;
                index.QueryKept(rect, hits);
                for (const CShapeBoxIndex::CFound& hit : hits) {
                    found.push_back(hit.shape);
                    const CShape& now = *shapes[hit.shape];
                    ASSERT_EQ(hit.box, now.GetExtent()) << set.name << ", seed " << seed << ", shape " << hit.shape;
                    for (int k = 0; k < hit.count; ++k)
                        ASSERT_EQ(hit.Points()[k], now.GetPoint(k)) << set.name << ", seed " << seed;
                }
                ASSERT_EQ(found, expected) << set.name << ", seed " << seed << ", moved round " << round;
                index.Query(rect, plain);
                ASSERT_EQ(plain, expected) << set.name << ", seed " << seed << ", moved round " << round;
            }
        }
}

TEST(ShapeBoxIndex, NoShapesOrOnlyEmptyOnesFindNothing)
{
    CShapeArray shapes;
    CShapeBoxIndex index;
    std::vector<int> hits{7};
    ASSERT_TRUE(index.Build(shapes));
    index.Query(CMapRect(-1e9, 1e9, 1e9, -1e9), hits);
    EXPECT_TRUE(hits.empty());
    shapes.AddCopy(CShape());
    ASSERT_TRUE(index.Build(shapes));
    index.Query(CMapRect(-1e9, 1e9, 1e9, -1e9), hits);
    EXPECT_TRUE(hits.empty());
}

// Asking memory ahead over any rectangle, even before a build or at
// the edges of the grid, reads only the index's own cells and changes
// no answer.
TEST(ShapeBoxIndex, PrefetchOverAnyRectangleChangesNothing)
{
    const double nan = std::nan("");
    const CMapRect rects[] = {
        CMapRect(-1e300, 1e300, 1e300, -1e300), // every cell
        CMapRect(0, 0, 0, 0),                   // the corner
        CMapRect(999, 999, 999, 999),           // the far corner
        CMapRect(5, 2, 3, 4),                   // upside down
        CMapRect(nan, nan, nan, nan),
        CMapRect(-HUGE_VAL, 1, HUGE_VAL, 0),
        CMapRect(2000, 3000, 2500, 2000), // beside everything
    };
    CShapeArray shapes;
    CShapeBoxIndex index;
    for (const CMapRect& rect : rects)
        index.Prefetch(rect); // not built yet
    std::mt19937 random(5);
    for (int i = 0; i < 300; ++i) {
        CShape shape;
        shape.SetSize(0, 1);
        for (const CMapPoint& p : ShortLine(random, 1000, 20))
            shape.AddPoint(p);
        shapes.AddCopy(shape);
    }
    ASSERT_TRUE(index.Build(shapes));
    const CMapRect probe(100, 600, 600, 100);
    std::vector<int> before, after;
    index.Query(probe, before);
    for (const CMapRect& rect : rects)
        index.Prefetch(rect);
    index.Query(probe, after);
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(after, before);
}

} // namespace
