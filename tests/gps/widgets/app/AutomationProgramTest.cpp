// Another program drives the running program over a private session bus:
// the vehicle shown and followed, the planning task, the emulated GPS
// output on a serial line, and the street at a point.

#include "tests/gps/widgets/app/GpsAppFixture.h"

#include "core/DbfTable.h"
#include "core/Shape.h"
#include "gps/GpsContext.h"
#include "gps/GpsReceiverPort.h"
#include "gps/NmeaDecoder.h"
#include "gps/widgets/GpsInstall.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/QtText.h"
#include "routing/widgets/RoutingInstall.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/gps/PrivateBus.h"
#include "tests/gps/PseudoTerminal.h"
#include "tests/routing/ClientLayer.h"
#include "tests/shell/FakeGps.h"

namespace {

class AutomationProgramTest : public CGpsAppFixture {
protected:
    AutomationProgramTest()
    {
        InstallRouting();
        registered = InstallAutomation(bus.Address());
    }
    ~AutomationProgramTest() override { UninstallAutomation(); }

    QDBusMessage App(const char* member, const QVariantList& arguments = {})
    {
        return bus.Call("Drel.Application", "/Application", "Drel.Application", member, arguments);
    }
    static QVariant Result(const QDBusMessage& reply)
    {
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() ? reply.arguments().at(0)
                                                                                          : QVariant();
    }
    // A point in the middle of the first segment of some of the streets,
    // in map coordinates, with the street's identifier.
    std::vector<std::pair<CMapPoint, std::string>> StreetPoints(int count)
    {
        std::vector<std::pair<CMapPoint, std::string>> points;
        CLayer* streets = Map().Layers().FindByName(Map().Settings().streetsLayer);
        CLayerReader reader;
        if (!streets || !reader.OpenLayer(streets))
            return points;
        CFeatureSource& source = *reader.GetSource();
        const int idField = source.GetTable().FindField(streets->GetIdField());
        for (int record = 0; static_cast<int>(points.size()) < count && record < 40; record += 7) {
            CShape shape;
            std::string id;
            if (source.ReadShape(record, shape) && shape.GetPointCount() > 1
                && source.GetFieldText(record, idField, id))
                points.push_back({CMapPoint((shape.GetPoint(0).x + shape.GetPoint(1).x) / 2,
                                      (shape.GetPoint(0).y + shape.GetPoint(1).y) / 2),
                    id});
        }
        return points;
    }

    // The test's own session bus.
    CPrivateBus bus;
    bool registered = false;
};

TEST_F(AutomationProgramTest, TheVehicleIsShownFollowedAndPassedOnAsGpsOutput)
{
    ASSERT_TRUE(bus.IsUp());
    ASSERT_TRUE(registered);
    ASSERT_TRUE(StartOn(DemoMapPath()));

    // Off the view to the east: the view follows and the arrow points east.
    const CMapPoint vehicle = GeoAt(1.3, 0.5);
    const QDBusMessage shown
        = App("ShowVehicle", {vehicle.x, vehicle.y, QVariant::fromValue<short>(90), QVariant::fromValue<short>(1)});
    ASSERT_EQ(shown.type(), QDBusMessage::ReplyMessage) << shown.errorMessage().toStdString();
    CMapPoint inMap = vehicle;
    Map().GeoToMap(inMap);
    CMapRect inner = View().GetMapExtent();
    inner.Scale(0.9);
    EXPECT_TRUE(inner.left <= inMap.x && inMap.x <= inner.right && inner.bottom <= inMap.y && inMap.y <= inner.top)
        << "the view moved to the vehicle";
    const CPoint at = ClientOfGeo(vehicle);
    EXPECT_TRUE(RedNear(ViewPicture(), CPoint(at.x + 16, at.y))) << "the arrow east of the vehicle";
    SaveScreenshot(*frame, "automation-vehicle");

    // The emulated receiver on a serial line.
    CPseudoTerminal line;
    ASSERT_TRUE(line.IsOpen());
    line.MapAs(6);
    EXPECT_EQ(Result(App("OpenSerialPort", {QVariant::fromValue<short>(6)})), QVariant(true));
    ASSERT_TRUE(timers.IsRunning(CMainFrameCore::kEmulationTimer));
    EXPECT_EQ(timers.running[CMainFrameCore::kEmulationTimer], 2000);
    frame->OnTimer(CMainFrameCore::kEmulationTimer);
    const std::string sent = line.ReadLine();
    EXPECT_EQ(sent.rfind("$GPRMC,000000,A,", 0), 0u) << sent;
    NmeaSentence sentence;
    ASSERT_TRUE(DecodeNmeaSentence(sent.substr(0, sent.find_first_of("\r\n")), sentence)) << sent;
    EXPECT_NEAR(sentence.longitude, vehicle.x, 1e-6);
    EXPECT_NEAR(sentence.latitude, vehicle.y, 1e-6);
    EXPECT_EQ(sentence.course, 90);

    // Hidden: gone from the map, and the line stays quiet.
    ASSERT_EQ(App("HideVehicle").type(), QDBusMessage::ReplyMessage);
    EXPECT_FALSE(RedNear(ViewPicture(), CPoint(at.x + 16, at.y)));
    EXPECT_FALSE(GetGpsContext()->Vehicle().IsSet());
    ASSERT_EQ(App("CloseSerialPort").type(), QDBusMessage::ReplyMessage);
    EXPECT_FALSE(timers.IsRunning(CMainFrameCore::kEmulationTimer));
    EXPECT_TRUE(this->shown.empty());
}

TEST_F(AutomationProgramTest, RequestHundredRunsThePlanningTaskOfTheUserFolder)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    const auto streets = StreetPoints(4);
    ASSERT_EQ(streets.size(), 4u);
    std::vector<CClient> clients;
    for (const auto& [point, id] : streets)
        clients.push_back({point.x, point.y, clients.size() < 3 ? "7" : "8", clients.empty() ? "s" : ""});
    WriteClients(UserFile("klientai.gdb"), clients);
    WriteWholeFile(UserFile("mplan.ini"),
        "[Fields]\r\nNumber=NR\r\nRoute=MARS\r\nFlag=POZ\r\nArcLength=ATK\r\n"
        "[Task]\r\nRoute=7\r\nInputFile=klientai.gdb\r\n");
    const QDBusMessage reply = App("SendMessage", {100, 0, 0});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(Result(reply), QVariant(1)) << (shown.empty() ? "" : shown[0]);

    CDbfTable table;
    ASSERT_TRUE(table.Open(UserFile("klientai.dbf")));
    std::vector<std::string> numbers;
    for (int n = 0; n < table.GetRecordCount(); ++n) {
        table.GoToRecord(n);
        std::string number;
        table.GetFieldString(2, number);
        numbers.push_back(number);
    }
    ASSERT_EQ(numbers.size(), 4u);
    EXPECT_EQ(numbers[0], "0") << "the start";
    EXPECT_FALSE(numbers[1].empty());
    EXPECT_FALSE(numbers[2].empty());
    EXPECT_EQ(numbers[3], "") << "another route";
    EXPECT_EQ(Result(App("SendMessage", {99, 0, 0})), QVariant(0));
}

TEST_F(AutomationProgramTest, TheStreetAtAPointInMetres)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    const auto streets = StreetPoints(3);
    ASSERT_EQ(streets.size(), 3u);
    for (const auto& [point, id] : streets) {
        CMapPoint geo = point;
        Map().MapToGeo(geo);
        EXPECT_EQ(FromQString(Result(App("GetNearestStreet", {geo.x, geo.y, 5.0})).toString()), id);
    }
    CMapPoint geo = streets[0].first;
    Map().MapToGeo(geo);
    EXPECT_EQ(Result(App("GetNearestStreet", {geo.x + 5, geo.y, 30.0})).toString(), QString()) << "far from the town";
}

TEST_F(AutomationProgramTest, AnExtentOffTheViewIsBroughtIntoTheProjectedMap)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    const auto inView = [this](CMapPoint geo) {
        Map().GeoToMap(geo);
        const CMapRect e = View().GetMapExtent();
        return e.left <= geo.x && geo.x <= e.right && e.bottom <= geo.y && geo.y <= e.top;
    };
    const CMapPoint a = GeoAt(1.5, 1.4), b = GeoAt(1.9, 1.6);
    ASSERT_FALSE(inView(a));
    EXPECT_EQ(Result(App("EnsureVisible", {b.x, a.y, a.x, b.y})), QVariant(true));
    EXPECT_TRUE(inView(a));
    EXPECT_TRUE(inView(b));

    // A single point comes to the middle at the scale the view has.
    const double scale = View().GetScaleDenominator();
    const CMapPoint point = GeoAt(-1, 0.5);
    EXPECT_EQ(Result(App("EnsureVisible", {point.x, point.y, point.x, point.y})), QVariant(true));
    EXPECT_NEAR(View().GetScaleDenominator(), scale, scale * 1e-6);
    CMapPoint centre = View().GetMapExtent().Center();
    Map().MapToGeo(centre);
    EXPECT_NEAR(centre.x, point.x, 1e-6);
    EXPECT_NEAR(centre.y, point.y, 1e-6);
}

} // namespace
