// The client-visit task: its ini, which points a run takes and where the
// ends go, the ordering mode, the clock times, and the ordering matrices.

#include "routing/PlanningOrder.h"
#include "routing/PlanningTask.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

constexpr int X = INT_MAX;

TEST(PlanningTaskIniTest, MissingFieldKeysEmptyTheConstructorNames)
{
    CTempDir dir;
    WriteWholeFile(dir.File("mplan.ini"), "[Fields]\r\nNumber=Nr\r\n[Task]\r\nRoute= 7 \r\nTaskID=2\r\n");
    CPlanningTask task;
    ASSERT_EQ(task.routeField, "Mar\xF0rutas");
    task.timeField = "Laikas";
    ASSERT_TRUE(task.LoadIni(dir.File("mplan.ini")));
    EXPECT_EQ(task.numberField, "Nr");
    EXPECT_EQ(task.routeField, "");
    EXPECT_EQ(task.flagField, "");
    EXPECT_EQ(task.timeField, "");
    EXPECT_EQ(task.step, 1);
    EXPECT_EQ(task.useLinkWeight, 1);
    EXPECT_EQ(task.addSeg, 0);
    EXPECT_EQ(task.taskId, 2);
    EXPECT_EQ(task.routeValue, "7");
}

TEST(PlanningTaskIniTest, TextsAreCut)
{
    CTempDir dir;
    const std::string longName(40, 'a'), longPath(400, 'p');
    WriteWholeFile(dir.File("t.ini"), "[Fields]\nFlag=" + longName + "\n[Task]\nInputFile=" + longPath
                                          + "\nUseLinkWeight=0\nAddSeg=1\n");
    CPlanningTask task;
    ASSERT_TRUE(task.LoadIni(dir.File("t.ini")));
    EXPECT_EQ(task.flagField, std::string(19, 'a'));
    EXPECT_EQ(task.inputFile, std::string(259, 'p'));
    EXPECT_EQ(task.useLinkWeight, 0);
    EXPECT_EQ(task.addSeg, 1);
}

CTaskRecord Rec(int record, const std::string& route, const std::string& flag = "", int number = 0)
{
    CTaskRecord r;
    r.record = record;
    r.position = CMapPoint(record, 0);
    r.route = route;
    r.flag = flag;
    r.number = number;
    return r;
}

std::vector<int> RecordsOf(const CTaskSelection& s)
{
    std::vector<int> out;
    for (const CTaskPoint& p : s.points)
        out.push_back(p.record);
    return out;
}

TEST(PlanningSelectionTest, RouteTextTrimmedAndCaseIgnored)
{
    const std::vector<CTaskRecord> records{Rec(0, " a1 "), Rec(1, "B"), Rec(2, "A1"), Rec(3, "a12")};
    CTaskSelection s;
    ASSERT_EQ(SelectTaskPoints(records, true, "a1", s), ETaskSelect::kOk);
    EXPECT_EQ(RecordsOf(s), (std::vector<int>{0, 2}));
    EXPECT_FALSE(s.hasFinish);
}

TEST(PlanningSelectionTest, NoRouteFieldTakesAll)
{
    const std::vector<CTaskRecord> records{Rec(0, "x"), Rec(1, "y"), Rec(2, "")};
    CTaskSelection s;
    ASSERT_EQ(SelectTaskPoints(records, false, "a", s), ETaskSelect::kOk);
    EXPECT_EQ(RecordsOf(s), (std::vector<int>{0, 1, 2}));
}

TEST(PlanningSelectionTest, EndsMoved)
{
    struct Case {
        const char* name;
        std::vector<CTaskRecord> records;
        std::vector<int> order;
        bool finish;
        bool fixed;
    };
    const Case cases[] = {
        {"start of another route taken and moved first",
         {Rec(0, "1"), Rec(1, "1"), Rec(2, "2", "S")},
         {2, 1, 0},
         false,
         false},
        {"finish moved last",
         {Rec(0, "1", "s"), Rec(1, "2", "f"), Rec(2, "1"), Rec(3, "1", "1")},
         {0, 3, 2, 1},
         true,
         true},
        {"finish taken first survives a later start",
         {Rec(0, "9", "F"), Rec(1, "1"), Rec(2, "1", "s"), Rec(3, "1")},
         {2, 1, 3, 0},
         true,
         false},
        {"the last finish wins", {Rec(0, "1", "f"), Rec(1, "1"), Rec(2, "1", "f"), Rec(3, "1")}, {0, 1, 3, 2}, true, false},
        {"a finish first without a start is no finish", {Rec(0, "1", "f"), Rec(1, "1"), Rec(2, "1")}, {0, 1, 2}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTaskSelection s;
        ASSERT_EQ(SelectTaskPoints(c.records, true, "1", s), ETaskSelect::kOk);
        EXPECT_EQ(RecordsOf(s), c.order);
        EXPECT_EQ(s.hasFinish, c.finish);
        EXPECT_EQ(s.hasFixed, c.fixed);
    }
}

TEST(PlanningSelectionTest, LimitsAndTooFew)
{
    std::vector<CTaskRecord> records;
    for (int i = 0; i < 1001; ++i)
        records.push_back(Rec(i, "r"));
    CTaskSelection s;
    EXPECT_EQ(SelectTaskPoints(records, true, "r", s), ETaskSelect::kTooMany);
    EXPECT_TRUE(s.points.empty());
    records.back().route = "other";
    EXPECT_EQ(SelectTaskPoints(records, true, "r", s), ETaskSelect::kOk);
    EXPECT_EQ(s.points.size(), 1000u);
    EXPECT_EQ(SelectTaskPoints({Rec(0, "r"), Rec(1, "q")}, true, "r", s), ETaskSelect::kTooFew);
    EXPECT_EQ(SelectTaskPoints({}, true, "r", s), ETaskSelect::kTooFew);
}

TEST(PlanningModeTest, Table)
{
    const auto sel = [](std::vector<int> numbers, bool fixed) {
        CTaskSelection s;
        for (int n : numbers) {
            CTaskPoint p;
            p.number = n;
            s.points.push_back(p);
        }
        s.hasFixed = fixed;
        return s;
    };
    EXPECT_EQ(ResolvePlanningMode(-1, sel({0, 1, 2}, true), false), 1);
    EXPECT_EQ(ResolvePlanningMode(1, sel({0, 1, 2}, false), false), 0);
    EXPECT_EQ(ResolvePlanningMode(0, sel({0, 1, 2}, true), true), 0);
    EXPECT_EQ(ResolvePlanningMode(2, sel({0, 1, 2}, false), true), 2);
    EXPECT_EQ(ResolvePlanningMode(2, sel({0, 1, 2}, false), false), 0);
    // Only from the third point on does a change count.
    EXPECT_EQ(ResolvePlanningMode(2, sel({0, 5, 5, 5}, false), true), 0);
    EXPECT_EQ(ResolvePlanningMode(3, sel({0, 1}, false), false), 3);
}

TEST(PlanningClockTest, ArrivalTimesAndFormat)
{
    const char* expected[] = {"08:00", "08:09", "08:17", "08:26"};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(FormatClockTime(ArrivalMinute(480, k, 7)), expected[k]) << k;
    EXPECT_EQ(FormatClockTime(ArrivalMinute(23 * 60 + 50, 1, 4)), "00:05");
    EXPECT_EQ(ParseClockTime("25:75"), 75);
    EXPECT_EQ(FormatClockTime(static_cast<unsigned>(ParseClockTime("25:75"))), "01:15");
    EXPECT_EQ(ParseClockTime("07:30"), 450);
    EXPECT_EQ(ParseClockTime("abc"), 0);
}

std::vector<CTaskPoint> Points(std::vector<int> nodes, std::vector<int> numbers = {}, std::string flags = {})
{
    std::vector<CTaskPoint> points(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        points[i].node = nodes[i];
        points[i].record = static_cast<int>(i);
        points[i].number = i < numbers.size() ? numbers[i] : 0;
        points[i].flag = i < flags.size() ? flags[i] : 0;
    }
    return points;
}

TEST(PlanningOrderTest, GroupsByNode)
{
    auto points = Points({5, 7, 5, 9, 7});
    EXPECT_EQ(GroupPointsByNode(points), 3);
    std::vector<int> groups;
    for (const auto& p : points)
        groups.push_back(p.group);
    EXPECT_EQ(groups, (std::vector<int>{0, 1, 0, 2, 1}));
}

TEST(PlanningOrderTest, GroupTourNumbersSharedNodesTogether)
{
    auto points = Points({5, 7, 5, 9, 7});
    GroupPointsByNode(points);
    NumberByGroupTour(points, {0, 2, 1, 0}, false);
    std::vector<int> records;
    for (const auto& p : points)
        records.push_back(p.record);
    EXPECT_EQ(records, (std::vector<int>{0, 2, 3, 1, 4}));
}

TEST(PlanningOrderTest, GroupTourKeepsTheFinishLast)
{
    // The finish shares the node of point 1.
    auto points = Points({5, 7, 9, 7});
    GroupPointsByNode(points);
    NumberByGroupTour(points, {0, 2, 1}, true);
    std::vector<int> records;
    for (const auto& p : points)
        records.push_back(p.record);
    EXPECT_EQ(records, (std::vector<int>{0, 2, 1, 3}));
}

TEST(PlanningOrderTest, FixedPointMatrixForbidsArcsAroundFixedPoints)
{
    // Points sorted by number: start, free 1, fixed 2, free 3; each its own group.
    auto points = Points({1, 2, 3, 4}, {0, 1, 2, 3}, "s.1.");
    GroupPointsByNode(points);
    const CCostRows groups{{X, 10, 20, 30}, {11, X, 12, 13}, {21, 22, X, 23}, {31, 32, 33, X}};
    // 1 -> anything but 2 is forbidden (2 is fixed and comes next); nothing
    // but 1 reaches 2.
    EXPECT_EQ(FixedPointMatrix(points, groups),
              (CCostRows{{X, 10, X, 30}, {X, X, 12, X}, {21, 22, X, 23}, {31, 32, X, X}}));
}

TEST(PlanningOrderTest, FixedPointMatrixSharedGroupIsFree)
{
    auto points = Points({1, 2, 2}, {0, 1, 1}, "s..");
    GroupPointsByNode(points);
    const CCostRows rows = FixedPointMatrix(points, {{X, 4}, {5, X}});
    EXPECT_EQ(rows, (CCostRows{{X, 4, 4}, {5, X, 0}, {5, 0, X}}));
}

TEST(PlanningOrderTest, PriorityMatrixAllowsOnlyLevelArcs)
{
    // Start, two points of level 1, one of level 2; closed tour.
    auto points = Points({1, 2, 3, 4}, {0, 1, 1, 2});
    GroupPointsByNode(points);
    const CCostRows groups{{X, 1, 2, 3}, {4, X, 5, 6}, {7, 8, X, 9}, {10, 11, 12, X}};
    EXPECT_EQ(PriorityMatrix(points, 4, groups),
              (CCostRows{{X, 1, 2, X}, {X, X, 5, 6}, {X, 8, X, 9}, {10, X, X, X}}));
    // The same with the last point a finish: level 1 leads on to it.
    EXPECT_EQ(PriorityMatrix(points, 3, groups),
              (CCostRows{{X, 1, 2, X}, {X, X, 5, 6}, {X, 8, X, 9}, {X, X, X, X}}));
}

TEST(PlanningOrderTest, SortPutsFixedAfterFreeOfEqualNumber)
{
    auto points = Points({1, 2, 3, 4}, {0, 2, 2, 1}, "s1..");
    SortPointsByNumber(points, 1, 4, true);
    std::vector<int> records;
    for (const auto& p : points)
        records.push_back(p.record);
    EXPECT_EQ(records, (std::vector<int>{0, 3, 2, 1}));
}

} // namespace
