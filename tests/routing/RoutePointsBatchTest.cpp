// The distance matrix of a point file and the network check, run on the
// route points of a view over the town's network.

#include "core/DbfTable.h"
#include "layers/GdbSource.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "routing/RoutePoints.h"
#include "tests/routing/RouteTown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A point file named by its first field.
std::string WritePoints(const CTempDir& dir, const std::vector<CMapPoint>& points)
{
    const std::string path = dir.File("points.gdb");
    CDbfFieldInfo fields[2];
    fields[0].Set("ID", 'C', 10, 0);
    fields[1].Set("", 0, 0, 0);
    CGdbSource source;
    EXPECT_TRUE(source.Create(path, CLayer::kPoint, fields));
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_TRUE(source.AppendPoint(points[i], false));
        source.GetTable().SetField(0, "P" + std::to_string(i + 1));
        EXPECT_TRUE(source.GetTable().WriteRecord());
    }
    source.Close();
    return path;
}

std::vector<std::string> Pairs(const std::string& path)
{
    std::vector<std::string> pairs;
    CDbfTable table;
    if (!table.Open(path))
        return pairs;
    for (int n = 0; n < table.GetRecordCount(); ++n) {
        table.GoToRecord(n);
        std::string from, to, dist;
        table.GetFieldString(0, from);
        table.GetFieldString(1, to);
        table.GetFieldString(2, dist);
        pairs.push_back(from + ">" + to + (dist.empty() ? "" : "+"));
    }
    return pairs;
}

const std::vector<CMapPoint> kThree = {{0, 510}, {2000, 490}, {1000, 0}};

} // namespace

TEST(RouteImportedPoints, TheAnswerChoosesTheRows)
{
    struct Case {
        int answer;
        std::vector<std::string> pairs; // empty: no table
    };
    const Case cases[] = {
        {IDYES, {"P1>P2+", "P1>P3+", "P2>P1+", "P2>P3+", "P3>P1+", "P3>P2+"}},
        {IDNO, {"P1>P2+", "P1>P3+"}},
        {IDCANCEL, {}},
    };
    for (const Case& c : cases) {
        CRouteTownView town;
        CTempDir dir;
        const std::string points = WritePoints(dir, kThree);
        const std::string results = dir.File("Results1.dbf");
        town.user.answers = {c.answer};
        EXPECT_EQ(town.points->RouteImportedPoints(points, results, *town.view), c.pairs.empty() ? 0 : 1);
        EXPECT_EQ(Pairs(results), c.pairs) << c.answer;
        EXPECT_EQ(PathExists(results), !c.pairs.empty()) << c.answer;
    }
}

TEST(RouteImportedPoints, WritesNothingWhenItCannotOrMayNot)
{
    struct Case {
        const char* what;
        std::vector<CMapPoint> points;
        bool missingFile;
        bool cancel;
        const char* results;
    };
    const Case cases[] = {
        {"one point", {{0, 510}}, false, false, "Results1.dbf"},
        {"no point file", {}, true, false, "Results1.dbf"},
        {"cancelled progress", kThree, false, true, "Results1.dbf"},
        {"results folder missing", kThree, false, false, "none/Results1.dbf"},
    };
    for (const Case& c : cases) {
        CRouteTownView town;
        CTempDir dir;
        const std::string points = c.missingFile ? dir.File("gone.gdb") : WritePoints(dir, c.points);
        town.user.answers = {IDYES};
        if (c.cancel)
            town.user.cancelAfterChecks = 0;
        EXPECT_EQ(town.points->RouteImportedPoints(points, dir.File(c.results), *town.view), 0) << c.what;
        EXPECT_FALSE(PathExists(dir.File(c.results))) << c.what;
        EXPECT_FALSE(PathExists(dir.File("~Results1.dbf"))) << c.what;
        if (c.missingFile) {
            EXPECT_EQ(town.user.MessageIds(), std::vector<unsigned>{1007}) << "the open message, no question";
        }
    }
}

TEST(CheckNetwork, SaysAConnectedNetworkHasNoFaults)
{
    CRouteTownView town;
    EXPECT_EQ(town.points->CheckNetwork(*town.view), 1);
    ASSERT_EQ(town.user.messages.size(), 1u);
    EXPECT_EQ(Cp1257ToUtf8(town.user.messages[0].text), "Klaidų nėra.");
    EXPECT_EQ(town.points->GetPointCount(), 0);
}

TEST(CheckNetwork, MarksTheDeadEndsItCannotReach)
{
    CRouteTownView town;
    town.Street({{0, 100}, {500, 100}}, 8, 9, "500");
    town.Street({{1500, 100}, {1800, 100}}, 10, 11, "300");
    EXPECT_EQ(town.points->CheckNetwork(*town.view), 1);
    EXPECT_TRUE(town.user.messages.empty());
    const CRoutePointsModel& model = town.points->Model();
    ASSERT_EQ(model.GetCount(), 6);
    EXPECT_EQ(model.Get(0)->position, CMapPoint(0, 500));
    EXPECT_EQ(model.Get(1)->position, CMapPoint(0, 500));
    EXPECT_EQ(model.Get(0)->serial, model.Get(1)->serial);
    const CMapPoint ends[] = {{0, 100}, {500, 100}, {1500, 100}, {1800, 100}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(model.Get(2 + i)->position, ends[i]) << i;
    std::string text;
    COLORREF colour = 0;
    ASSERT_TRUE(model.MarkerLook(0, false, text, colour));
    EXPECT_EQ(text, "S+F");
    ASSERT_TRUE(model.MarkerLook(3, false, text, colour));
    EXPECT_EQ(text, "2");
}
