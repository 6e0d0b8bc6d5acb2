// A client-visit run over a point file in the small town: what it writes
// into the clients' table, the result files, and what the view shows.

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/AppFolders.h"
#include "routing/PlanningTask.h"
#include "routing/RoutePoints.h"
#include "tests/routing/ClientLayer.h"
#include "tests/routing/RouteTown.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Row {
    std::string number, time, length, arc;
};

std::vector<Row> ReadRows(const std::string& path)
{
    CDbfTable table;
    std::vector<Row> rows;
    if (!table.Open(ChangeExtensionCopy(path, "dbf")))
        return rows;
    for (int n = 0; n < table.GetRecordCount(); ++n) {
        table.GoToRecord(n);
        Row row;
        table.GetFieldString(2, row.number);
        table.GetFieldString(3, row.time);
        table.GetFieldString(4, row.length);
        table.GetFieldString(5, row.arc);
        rows.push_back(row);
    }
    return rows;
}

class PlanningRunTest : public ::testing::Test, protected CRouteTownView {
protected:
    PlanningRunTest()
    {
        SetUserFolderForTesting(dir.File("user/"));
        std::filesystem::create_directories(dir.File("user"));
        task.routeField = "MARS";
        task.flagField = "POZ";
        task.numberField = "NR";
        task.timeField = "LAIKAS";
        task.lengthField = "ILGIS";
        task.arcLengthField = "ATK";
        task.routeValue = "a";
    }
    ~PlanningRunTest() override { SetUserFolderForTesting(""); }

    CTempDir dir;
    CPlanningTask task;
};

TEST_F(PlanningRunTest, NumbersTimesLengthsAndResults)
{
    const std::string path = dir.File("klientai.gdb");
    // The start off the route; three clients on the branches round node 2; one of another route.
    WriteClients(path, {{2000, 500, "A ", ""}, {0, 500, "B", "S"}, {1000, 1000, "a", ""}, {1000, 500, "B", ""},
                        {1000, 0, "A", ""}});
    CLayer layer("Klientai", path, CLayer::kPoint);
    task.layer = &layer;
    task.step = 10;
    task.clientsPerHour = 10;
    ASSERT_EQ(points->RunPlanning(task, *view), 1) << (user.messages.empty() ? "" : user.messages[0].text);
    EXPECT_TRUE(user.messages.empty());

    const std::vector<Row> rows = ReadRows(path);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1].number, "0");
    EXPECT_EQ(rows[1].time, "08:00");
    EXPECT_EQ(rows[1].arc, "0.000");
    EXPECT_EQ(rows[3].number, "");
    EXPECT_EQ(rows[3].time, "");
    std::vector<std::string> numbers, times;
    for (int i : {0, 2, 4}) {
        numbers.push_back(rows[static_cast<size_t>(i)].number);
        times.push_back(rows[static_cast<size_t>(i)].time);
        EXPECT_EQ(rows[static_cast<size_t>(i)].length, "6.000");
    }
    std::sort(numbers.begin(), numbers.end());
    std::sort(times.begin(), times.end());
    EXPECT_EQ(numbers, (std::vector<std::string>{"10", "20", "30"}));
    EXPECT_EQ(times, (std::vector<std::string>{"08:06", "08:12", "08:18"}));

    // A closed tour of four points: four legs; one marker for start and
    // finish and one for each client.
    EXPECT_EQ(points->GetLegCount(), 4);
    EXPECT_DOUBLE_EQ(points->GetTotalLength(), 6);
    EXPECT_EQ(points->Model().GetCount(), 5);

    CLayerReader results;
    ASSERT_TRUE(results.Open(WritableProgramFile("Results_p.gdb")));
    EXPECT_EQ(results.GetSource()->GetTable().GetRecordCount(), 4);
    CLayerReader lines;
    ASSERT_TRUE(lines.Open(WritableProgramFile("Results_l.gdb")));
    EXPECT_EQ(lines.GetSource()->GetTable().GetRecordCount(), 4);
}

TEST_F(PlanningRunTest, TooFewPointsOrNoTimeRateChangeNothingOrWriteNoTimes)
{
    const std::string path = dir.File("klientai.gdb");
    WriteClients(path, {{0, 500, "A", "s"}, {2000, 500, "B", ""}});
    CLayer layer("Klientai", path, CLayer::kPoint);
    task.layer = &layer;
    EXPECT_EQ(points->RunPlanning(task, *view), 0);
    EXPECT_EQ(ReadRows(path)[0].number, "");

    WriteClients(path, {{0, 500, "A", "s"}, {2000, 500, "A", "f"}});
    task.clientsPerHour = 0;
    ASSERT_EQ(points->RunPlanning(task, *view), 1);
    const std::vector<Row> rows = ReadRows(path);
    EXPECT_EQ(rows[1].number, "10");
    EXPECT_EQ(rows[1].time, "");
    EXPECT_EQ(rows[1].arc, "2.000");
    EXPECT_EQ(points->GetLegCount(), 1);
}

TEST_F(PlanningRunTest, IniTaskWithAMissingInputFileWritesNothing)
{
    WriteWholeFile(dir.File("user/mplan.ini"), "[Fields]\nNumber=NR\n[Task]\nInputFile=nera.gdb\n");
    EXPECT_EQ(points->RunPlanningFromIni(*view), 0);
    EXPECT_FALSE(user.messages.empty());
    EXPECT_FALSE(FileExists(WritableProgramFile("Results_l.gdb")));
}

TEST_F(PlanningRunTest, IniTaskReadsItsInputBesideTheIni)
{
    WriteClients(dir.File("user/klientai.gdb"), {{0, 500, "7", "s"}, {2000, 500, "7", ""}, {1000, 0, "8", ""}});
    WriteWholeFile(dir.File("user/mplan.ini"),
                   "[Fields]\nNumber=NR\nRoute=MARS\nFlag=POZ\nArcLength=ATK\n[Task]\nRoute=7\nInputFile=klientai.gdb\n");
    ASSERT_EQ(points->RunPlanningFromIni(*view), 1);
    const std::vector<Row> rows = ReadRows(dir.File("user/klientai.gdb"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].number, "0");
    EXPECT_EQ(rows[1].number, "1"); // the ini's step
    EXPECT_EQ(rows[1].arc, "2.000");
    EXPECT_EQ(rows[2].number, "");
    EXPECT_EQ(rows[1].time, "");
}

} // namespace
