// Routing in the program on the demo town: the route tools placing points
// on its streets, the route computed and shown with its length, saved into
// a new layer through dialog 30817 and cleared, all through InstallRouting().
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapTool.h"
#include "platform/Codepage.h"
#include "routing/GrainDistance.h"
#include "routing/RoutePoints.h"
#include "routing/SaveRoute.h"
#include "routing/widgets/RoutingInstall.h"
#include "search/widgets/SearchInstall.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/shell/ClipboardDouble.h"
#include "tools/demo/DemoTown.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class RoutingProgramTest : public CAppFixture {
protected:
    RoutingProgramTest() : m_saveName(CSaveRouteRules::GetName())
    {
        InstallMainFrameBars();
        InstallSearchDialogs(app);
        InstallRouting();
        CSaveRouteRules::Remember("Route");
    }
    ~RoutingProgramTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        MainFrameHooks().makeObjectInfo = nullptr;
        CMapFrame::Hooks().boxes = {};
        MapToolMode = 0;
        CSaveRouteRules::Remember(m_saveName);
    }

    // The demo town in a folder of its own, for the route is saved beside it.
    bool StartInTown()
    {
        std::string error;
        EXPECT_TRUE(MakeDemoMap(town.Path(), Options(), error)) << error;
        if (!Start({town.File(CDemoMapWriter::kMapFile)}))
            return false;
        Settle();
        return MapWindow() != nullptr;
    }
    static CDemoOptions Options()
    {
        CDemoOptions options;
        options.streets = 40;
        return options;
    }
    CMapFrame* MapWindow() const { return dynamic_cast<CMapFrame*>(frame->ActiveChild()); }
    QWidget* ViewWidget() const { return MapWindow()->GetViewWidget(); }
    CDrelView& View() const { return *MapWindow()->GetMapView(); }
    CDrelDoc& Map() const { return MapWindow()->GetMapDocument(); }
    CRoutePoints* Points() const { return dynamic_cast<CRoutePoints*>(View().GetRoutePoints()); }
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    QPoint WidgetPoint(const CMapPoint& p)
    {
        const CPoint client = View().MapToClient(p);
        const qreal ratio = ViewWidget()->devicePixelRatioF();
        return QPoint(static_cast<int>(client.x / ratio), static_cast<int>(client.y / ratio));
    }
    void ClickAt(const QPoint& p)
    {
        QTest::mouseMove(ViewWidget(), p);
        QTest::mouseClick(ViewWidget(), Qt::LeftButton, {}, p);
        Settle();
    }
    // The middles of the first stretches of the westernmost, the
    // easternmost and the northernmost streets.
    static std::vector<CMapPoint> StreetPoints()
    {
        const CDemoTown demo = CDemoTown::Generate(Options());
        std::vector<CMapPoint> middles;
        for (const CDemoStreet& s : demo.streets)
            if (s.line.size() >= 2)
                middles.emplace_back((s.line[0].x + s.line[1].x) / 2, (s.line[0].y + s.line[1].y) / 2);
        auto by = [&](auto less) { return *std::min_element(middles.begin(), middles.end(), less); };
        return {by([](const CMapPoint& a, const CMapPoint& b) { return a.x < b.x; }),
                by([](const CMapPoint& a, const CMapPoint& b) { return a.x > b.x; }),
                by([](const CMapPoint& a, const CMapPoint& b) { return a.y > b.y; })};
    }
    static std::vector<std::string> Ids(CLayer& layer)
    {
        std::vector<std::string> ids;
        CLayerReader reader;
        if (!reader.OpenLayer(&layer))
            return ids;
        CFeatureSource& source = *reader.GetSource();
        const int id = source.GetTable().FindField("Id");
        for (CShape shape; source.ReadNextShape(shape);) {
            std::string text;
            source.GetFieldText(source.GetCurrentRecord(), id, text);
            ids.push_back(text.substr(std::min(text.size(), text.find_first_not_of(' '))));
        }
        return ids;
    }

    CTempDir town;

private:
    std::string m_saveName;
};

} // namespace

TEST_F(RoutingProgramTest, ARouteIsPlacedComputedSavedAndCleared)
{
    ASSERT_TRUE(StartInTown());
    EXPECT_TRUE(IsEnabled(30035));
    EXPECT_TRUE(IsEnabled(30036));
    EXPECT_FALSE(IsEnabled(30620));

    const std::vector<CMapPoint> streets = StreetPoints();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Run(30032 + i));
        EXPECT_EQ(MapToolMode, 13 + i);
        ClickAt(WidgetPoint(streets[static_cast<size_t>(i)]));
    }
    ASSERT_TRUE(Points());
    ASSERT_EQ(Points()->Model().GetCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Points()->Model().Get(i)->IsSet()) << i;
    EXPECT_TRUE(shown.empty());

    EXPECT_TRUE(Run(30035));
    Settle();
    EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : shown[0]);
    ASSERT_EQ(Points()->GetLegCount(), 2);
    EXPECT_GT(Points()->GetTotalLength(), 0);
    EXPECT_EQ(MapToolMode, 0);
    QWidget* box = FindControl<QWidget>(ViewWidget(), 30741);
    ASSERT_TRUE(box);
    auto* length = FindControl<QLineEdit>(box, 1017);
    ASSERT_TRUE(length);
    EXPECT_TRUE(length->text().endsWith(" km")) << length->text().toStdString();
    EXPECT_TRUE(IsEnabled(30620));
    EXPECT_TRUE(box->isVisible());
    SaveScreenshot(*frame, "routing-app-computed-route");
    SaveScreenshot(*box, "routing-app-30741-route-length");

    int looked = 0;
    WithModal([&] { Run(30620); },
              [&](QWidget& dialog) {
                  ++looked;
                  EXPECT_EQ(GetControlId(&dialog), 30817);
                  auto* combo = FindControl<QComboBox>(&dialog, 1012);
                  ASSERT_TRUE(combo);
                  EXPECT_EQ(combo->currentText(), "Route");
                  auto* ok = FindControl<QAbstractButton>(&dialog, IDOK);
                  ASSERT_TRUE(ok);
                  QTest::mouseClick(ok, Qt::LeftButton);
              });
    EXPECT_EQ(looked, 1);
    CLayer* saved = Map().Layers().FindByName("Route");
    ASSERT_TRUE(saved);
    EXPECT_TRUE(EqualsNoCase1257(GetPathFileName(saved->GetPath()), "Route1.gdb"));
    EXPECT_EQ(Ids(*saved), (std::vector<std::string>{"1", "2"}));
    EXPECT_TRUE(Map().IsModified());

    // Kept in the map: there after reopening.
    const std::string path = Map().GetPathName();
    ASSERT_TRUE(Map().OnSaveDocument(path));
    Stop();
    ASSERT_TRUE(Start({path}));
    Settle();
    ASSERT_TRUE(MapWindow());
    CLayer* reopened = Map().Layers().FindByName("Route");
    ASSERT_TRUE(reopened);
    EXPECT_EQ(Ids(*reopened), (std::vector<std::string>{"1", "2"}));

    // A new route, then cleared: no points, no legs, no box.
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(Run(30032 + i));
        ClickAt(WidgetPoint(streets[static_cast<size_t>(i)]));
    }
    EXPECT_TRUE(Run(30035));
    Settle();
    ASSERT_TRUE(Points());
    EXPECT_EQ(Points()->GetLegCount(), 1);
    EXPECT_TRUE(FindControl<QWidget>(ViewWidget(), 30741));
    EXPECT_TRUE(Run(30036));
    Settle();
    EXPECT_EQ(Points()->Model().GetCount(), 0);
    EXPECT_EQ(Points()->GetLegCount(), 0);
    EXPECT_FALSE(FindControl<QWidget>(ViewWidget(), 30741));
    EXPECT_FALSE(IsEnabled(30620));
    EXPECT_TRUE(shown.empty());
}

namespace {

// A point layer "PAV", "KVIECIAI", "MIEZIAI", "UZIMTAS" over the points,
// each taking wheat, added to the map under the name.
void AddWheatPlaces(CDrelDoc& map, const std::string& path, const std::string& name,
                    const std::vector<std::pair<std::string, CMapPoint>>& places)
{
    CDbfFieldInfo fields[5];
    fields[0].Set("PAV", 'C', 20, 0);
    fields[1].Set("KVIECIAI", 'C', 1, 0);
    fields[2].Set("MIEZIAI", 'C', 1, 0);
    fields[3].Set("UZIMTAS", 'C', 1, 0);
    fields[4].Set("", 0, 0, 0);
    CGdbSource source;
    ASSERT_TRUE(source.Create(path, CLayer::kPoint, fields));
    for (const auto& [placeName, at] : places) {
        ASSERT_TRUE(source.AppendPoint(at, false));
        source.GetTable().SetField(0, Utf8ToCp1257(placeName));
        source.GetTable().SetField(1, "+");
        ASSERT_TRUE(source.GetTable().WriteRecord());
    }
    source.Close();
    auto layer = std::make_unique<CLayer>(name, path, CLayer::kPoint);
    layer->SetIdField("PAV");
    map.AddLayer(std::move(layer), true);
}

} // namespace

TEST_F(RoutingProgramTest, TheNetworkCheckMarksDeadEndsOrSaysThereAreNone)
{
    ASSERT_TRUE(StartInTown());
    EXPECT_TRUE(IsEnabled(30354));
    EXPECT_TRUE(Run(30354));
    Settle();
    ASSERT_TRUE(Points());
    if (shown.empty()) {
        ASSERT_GE(Points()->Model().GetCount(), 3);
        EXPECT_EQ(Points()->Model().Get(0)->serial, Points()->Model().Get(1)->serial);
        SaveScreenshot(*frame, "routing-app-network-check");
    } else {
        EXPECT_EQ(shown, std::vector<std::string>{Utf8ToCp1257("Klaidų nėra.")});
        EXPECT_EQ(Points()->Model().GetCount(), 0);
    }
}

TEST_F(RoutingProgramTest, TheImportedPointsGetTheirDistanceTable)
{
    ASSERT_TRUE(StartInTown());
    EXPECT_TRUE(IsEnabled(30196));
    const std::vector<CMapPoint> streets = StreetPoints();
    CDbfFieldInfo fields[2];
    fields[0].Set("ID", 'C', 10, 0);
    fields[1].Set("", 0, 0, 0);
    {
        CGdbSource source;
        ASSERT_TRUE(source.Create(town.File("imported.gdb"), CLayer::kPoint, fields));
        for (size_t i = 0; i < streets.size(); ++i) {
            ASSERT_TRUE(source.AppendPoint(streets[i], false));
            source.GetTable().SetField(0, "T" + std::to_string(i + 1));
            ASSERT_TRUE(source.GetTable().WriteRecord());
        }
    }
    answers = {IDNO};
    int looked = 0;
    WithModal([&] { Run(30196); },
              [&](QWidget& dialog) {
                  ++looked;
                  EXPECT_EQ(GetControlId(&dialog), 250);
                  auto* points = FindControl<QLineEdit>(&dialog, 1017);
                  auto* results = FindControl<QLineEdit>(&dialog, 1007);
                  ASSERT_TRUE(points && results);
                  points->setText(QString::fromStdString(town.File("imported.gdb")));
                  results->setText(QString::fromStdString(town.File("Results1.dbf")));
                  QTest::mouseClick(FindControl<QAbstractButton>(&dialog, IDOK), Qt::LeftButton);
              });
    Settle();
    EXPECT_EQ(looked, 1);
    ASSERT_EQ(shown.size(), 1u) << "the question only";
    CDbfTable table;
    ASSERT_TRUE(table.Open(town.File("Results1.dbf")));
    ASSERT_EQ(table.GetRecordCount(), 2);
    for (int n = 0; n < 2; ++n) {
        ASSERT_TRUE(table.GoToRecord(n));
        std::string from, dist;
        table.GetFieldString(0, from);
        table.GetFieldString(2, dist);
        EXPECT_EQ(from, "T1");
        EXPECT_FALSE(dist.empty()) << n;
    }
}

TEST_F(RoutingProgramTest, TheCalculatorFindsTheNearestPlacesAndCopiesTheReport)
{
    ASSERT_TRUE(StartInTown());
    const std::vector<CMapPoint> streets = StreetPoints();
    AddWheatPlaces(Map(), town.File("g.gdb"), GrainDistance::SettlementsLayerName(), {{"Vakarai", streets[0]}});
    AddWheatPlaces(Map(), town.File("c.gdb"), GrainDistance::CentresLayerName(), {{"Rytai", streets[1]}});
    AddWheatPlaces(Map(), town.File("s.gdb"), GrainDistance::WarehousesLayerName(), {{"Šiaurė", streets[2]}});
    Settle();
    EXPECT_TRUE(IsEnabled(30635));
    CTestClipboard clipboard;
    int looked = 0;
    WithModal([&] { Run(30635); },
              [&](QWidget& dialog) {
                  ++looked;
                  EXPECT_EQ(GetControlId(&dialog), 30820);
                  auto* location = FindControl<QComboBox>(&dialog, 1021);
                  ASSERT_TRUE(location);
                  ASSERT_EQ(location->count(), 1);
                  location->setCurrentIndex(0);
                  QTest::mouseClick(FindControl<QAbstractButton>(&dialog, IDOK), Qt::LeftButton);
                  EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1008)->text(), "Rytai");
                  EXPECT_FALSE(FindControl<QLineEdit>(&dialog, 1017)->text().isEmpty());
                  EXPECT_EQ(FindControl<QComboBox>(&dialog, 1024)->currentText(), QString::fromUtf8("Šiaurė"));
                  EXPECT_FALSE(FindControl<QLineEdit>(&dialog, 1007)->text().isEmpty());
                  QTest::mouseClick(FindControl<QAbstractButton>(&dialog, 1055), Qt::LeftButton);
                  SaveScreenshot(*frame, "routing-app-30820-calculator-routes");
                  QTest::mouseClick(FindControl<QAbstractButton>(&dialog, IDCANCEL), Qt::LeftButton);
              });
    EXPECT_EQ(looked, 1);
    EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : shown[0]);
    EXPECT_EQ(View().GetOverlayCount(), 2);
    Settle();
    SaveScreenshot(*frame, "routing-app-calculator-routes");
    EXPECT_EQ(clipboard.held, "text/plain;charset=utf-8");
    EXPECT_NE(clipboard.Text().find("Intervencinis centras: Rytai\r\n"), std::string::npos) << clipboard.Text();
}
