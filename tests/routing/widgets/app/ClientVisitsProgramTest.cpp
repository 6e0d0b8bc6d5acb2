// Client visits in the program on the demo town: a small client layer
// added to the map, command 30279 enabled only on it, dialog 310 answered
// by its ids, and the run's numbers, times, result files and route.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/AppFolders.h"
#include "platform/Codepage.h"
#include "routing/RoutePoints.h"
#include "routing/widgets/RoutingInstall.h"
#include "search/widgets/SearchInstall.h"
#include "shell/widgets/ControlIds.h"
#include "mapdoc/LegendView.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/routing/ClientLayer.h"
#include "tools/demo/DemoTown.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class ClientVisitsProgramTest : public CAppFixture {
protected:
    ClientVisitsProgramTest()
    {
        InstallMainFrameBars();
        InstallSearchDialogs(app);
        InstallRouting();
    }
    ~ClientVisitsProgramTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        MainFrameHooks().makeObjectInfo = nullptr;
        CMapFrame::Hooks().boxes = {};
    }

    static CDemoOptions Options()
    {
        CDemoOptions options;
        options.streets = 40;
        return options;
    }
    CMapFrame* MapWindow() const { return dynamic_cast<CMapFrame*>(frame->ActiveChild()); }
    CDrelView& View() const { return *MapWindow()->GetMapView(); }
    CDrelDoc& Map() const { return MapWindow()->GetMapDocument(); }
    CRoutePoints* Points() const { return dynamic_cast<CRoutePoints*>(View().GetRoutePoints()); }
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    // The middles of the first stretches of five streets spread over the town.
    static std::vector<CMapPoint> StreetPoints()
    {
        const CDemoTown demo = CDemoTown::Generate(Options());
        std::vector<CMapPoint> middles;
        for (const CDemoStreet& s : demo.streets)
            if (s.line.size() >= 2)
                middles.emplace_back((s.line[0].x + s.line[1].x) / 2, (s.line[0].y + s.line[1].y) / 2);
        std::vector<CMapPoint> chosen;
        for (size_t i = 0; i < middles.size() && chosen.size() < 5; i += std::max<size_t>(1, middles.size() / 5))
            chosen.push_back(middles[i]);
        return chosen;
    }

    CTempDir town;
};

} // namespace

TEST_F(ClientVisitsProgramTest, ClientsOfTheLegendsPointLayerAreVisited)
{
    std::string error;
    ASSERT_TRUE(MakeDemoMap(town.Path(), Options(), error)) << error;
    const std::vector<CMapPoint> streets = StreetPoints();
    ASSERT_EQ(streets.size(), 5u);
    std::vector<CClient> clients;
    for (size_t i = 0; i < streets.size(); ++i)
        clients.push_back({streets[i].x, streets[i].y, "1", i == 0 ? "s" : ""});
    WriteClients(town.File("klientai.gdb"), clients);
    ASSERT_TRUE(Start({town.File(CDemoMapWriter::kMapFile)}));
    Settle();
    ASSERT_TRUE(MapWindow());
    CLayer* layer = Map().AddLayerFromFile(town.File("klientai.gdb"), CDrelDoc::kVectorFile, "Klientai");
    ASSERT_TRUE(layer);
    ASSERT_EQ(layer->GetType(), CLayer::kPoint);

    MapWindow()->GetLegend()->SelectLayer(Map().Layers().FindByName(Utf8ToCp1257("Gatvės")));
    EXPECT_FALSE(IsEnabled(30279));
    MapWindow()->GetLegend()->SelectLayer(layer);
    EXPECT_TRUE(IsEnabled(30279));

    int looked = 0;
    WithModal([&] { Run(30279); },
              [&](QWidget& dialog) {
                  ++looked;
                  EXPECT_EQ(GetControlId(&dialog), 310);
                  SaveScreenshot(dialog, "client-visits-app-310");
                  auto* route = FindControl<QComboBox>(&dialog, 1012);
                  auto* flag = FindControl<QComboBox>(&dialog, 1021);
                  auto* number = FindControl<QComboBox>(&dialog, 1022);
                  auto* time = FindControl<QComboBox>(&dialog, 1024);
                  ASSERT_TRUE(route && flag && number && time);
                  route->setCurrentIndex(route->findText("Mars"));
                  flag->setCurrentIndex(flag->findText("Poz"));
                  number->setCurrentIndex(number->findText("Nr"));
                  time->setCurrentIndex(time->findText("Laikas"));
                  FindControl<QLineEdit>(&dialog, 1017)->setText("1");
                  FindControl<QLineEdit>(&dialog, 1008)->setText("1");
                  FindControl<QLineEdit>(&dialog, 1009)->setText("08:00");
                  FindControl<QLineEdit>(&dialog, 1010)->setText("7");
                  QTest::mouseClick(FindControl<QAbstractButton>(&dialog, IDOK), Qt::LeftButton);
              });
    Settle();
    EXPECT_EQ(looked, 1);
    EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : shown[0]);
    ASSERT_TRUE(Points());
    EXPECT_EQ(Points()->GetLegCount(), 5);
    EXPECT_GT(Points()->GetTotalLength(), 0);
    EXPECT_EQ(Points()->Model().GetCount(), 6);
    SaveScreenshot(*frame, "client-visits-app-route");

    CDbfTable table;
    ASSERT_TRUE(table.Open(town.File("klientai.dbf")));
    std::vector<std::string> numbers, times;
    for (int n = 0; n < table.GetRecordCount(); ++n) {
        ASSERT_TRUE(table.GoToRecord(n));
        std::string text;
        table.GetFieldString(2, text);
        numbers.push_back(text);
        table.GetFieldString(3, text);
        times.push_back(text);
    }
    EXPECT_EQ(numbers[0], "0");
    EXPECT_EQ(times[0], "08:00");
    std::sort(numbers.begin(), numbers.end());
    std::sort(times.begin(), times.end());
    EXPECT_EQ(numbers, (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    EXPECT_EQ(times, (std::vector<std::string>{"08:00", "08:09", "08:17", "08:26", "08:34"}));
    EXPECT_TRUE(FileExists(UserFile("Results_l.gdb")));
    EXPECT_TRUE(FileExists(UserFile("Results_p.gdb")));
}
