// Another program drives the running program over a private session bus:
// the vehicle shown and followed, the planning task, the emulated GPS
// output on a serial line, and the street at a point.

#include "tests/shell/widgets/app/AppFixture.h"

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
#include "routing/widgets/RoutingInstall.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/gps/PrivateBus.h"
#include "tests/routing/ClientLayer.h"
#include "tests/shell/FakeGps.h"

#include <QImage>

#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace {

class AutomationProgramTest : public CAppFixture {
protected:
    AutomationProgramTest()
    {
        InstallMainFrameBars();
        InstallRouting();
        InstallGps(receiver);
        registered = InstallAutomation(bus.Address());
    }
    ~AutomationProgramTest() override
    {
        UninstallAutomation();
        Stop();
        MainFrameHooks().makeBars = nullptr;
        SetGpsHooks(nullptr);
        SetMapGpsPainter(nullptr);
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
    }

    bool StartOn(const std::string& map)
    {
        MakeFolder(ProgramFile("Vexil"));
        for (const char* icon : {"118.ico", "119.ico", "121.ico"})
            WriteWholeFile(ProgramFile("Vexil/") + icon, ReadWholeFile(TestDataFolder() + "../../res/Vexil/" + icon));
        if (!Start({map}))
            return false;
        frame->SetTimerHostForTesting(&timers);
        child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        return child && child->GetMapView();
    }
    CDrelView& View() { return *child->GetMapView(); }
    CDrelDoc& Map() { return *frame->GetActiveMapDocument(); }
    CMapPoint GeoAt(double fx, double fy)
    {
        const CMapRect e = View().GetMapExtent();
        CMapPoint p(e.left + fx * (e.right - e.left), e.bottom + fy * (e.top - e.bottom));
        Map().MapToGeo(p);
        return p;
    }
    CPoint ClientOfGeo(CMapPoint p)
    {
        Map().GeoToMap(p);
        return View().MapToClient(p);
    }
    QImage ViewPicture()
    {
        QWidget* widget = child->GetViewWidget();
        widget->repaint();
        QCoreApplication::processEvents();
        return widget->grab().toImage();
    }
    static bool RedNear(const QImage& picture, const CPoint& at)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if ((picture.pixel(at.x + dx, at.y + dy) & 0xFFFFFF) == 0xFF0000)
                    return true;
        return false;
    }
    QDBusMessage App(const char* member, const QVariantList& arguments = {})
    {
        return bus.Call("Drel.Application", "/Application", "Drel.Application", member, arguments);
    }
    static QVariant Result(const QDBusMessage& reply)
    {
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() ? reply.arguments().at(0)
                                                                                          : QVariant();
    }
    // The first vertex of some of the streets, in map coordinates.
    std::vector<CMapPoint> StreetPoints(int count)
    {
        std::vector<CMapPoint> points;
        CLayer* streets = Map().Layers().FindByName(Map().Settings().streetsLayer);
        CLayerReader reader;
        if (!streets || !reader.OpenLayer(streets))
            return points;
        CFeatureSource& source = *reader.GetSource();
        for (int record = 0; static_cast<int>(points.size()) < count && record < 40; record += 7) {
            CShape shape;
            if (source.ReadShape(record, shape) && shape.GetPointCount() > 1)
                points.push_back(CMapPoint(
                    (shape.GetPoint(0).x + shape.GetPoint(1).x) / 2, (shape.GetPoint(0).y + shape.GetPoint(1).y) / 2));
        }
        return points;
    }
    std::string ReadLine()
    {
        std::string text;
        while (text.find('\n') == std::string::npos) {
            pollfd wait{master, POLLIN, 0};
            if (::poll(&wait, 1, 2000) <= 0)
                break;
            char chunk[256];
            const ssize_t n = ::read(master, chunk, sizeof chunk);
            if (n <= 0)
                break;
            text.append(chunk, static_cast<size_t>(n));
        }
        return text;
    }

    CPrivateBus bus;
    CFakeReceiverPort port;
    CGpsReceiverPort receiver;
    CFakeTimers timers;
    CMapFrame* child = nullptr;
    bool registered = false;
    int master = -1;
    int slave = -1;
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
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    CAppProfile::Instance().WriteString("SerialPorts", "COM6", ::ttyname(slave));
    EXPECT_EQ(Result(App("OpenSerialPort", {QVariant::fromValue<short>(6)})), QVariant(true));
    ASSERT_TRUE(timers.IsRunning(CMainFrameCore::kEmulationTimer));
    EXPECT_EQ(timers.running[CMainFrameCore::kEmulationTimer], 2000);
    frame->OnTimer(CMainFrameCore::kEmulationTimer);
    const std::string line = ReadLine();
    EXPECT_EQ(line.rfind("$GPRMC,000000,A,", 0), 0u) << line;
    NmeaSentence sentence;
    ASSERT_TRUE(DecodeNmeaSentence(line.substr(0, line.find_first_of("\r\n")), sentence)) << line;
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
    const std::vector<CMapPoint> points = StreetPoints(4);
    ASSERT_EQ(points.size(), 4u);
    WriteClients(UserFile("klientai.gdb"),
        {{points[0].x, points[0].y, "7", "s"}, {points[1].x, points[1].y, "7", ""}, {points[2].x, points[2].y, "7", ""},
            {points[3].x, points[3].y, "8", ""}});
    WriteWholeFile(UserFile("mplan.ini"),
        "[Fields]\r\nNumber=NR\r\nRoute=MARS\r\nFlag=POZ\r\nArcLength=ATK\r\n"
        "[Task]\r\nRoute=7\r\nInputFile=klientai.gdb\r\n");
    const QDBusMessage reply = App("SendMessage", {100, 0, 0});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(Result(reply), QVariant(1)) << (shown.empty() ? "" : shown[0]);

    CDbfTable clients;
    ASSERT_TRUE(clients.Open(UserFile("klientai.dbf")));
    std::vector<std::string> numbers;
    for (int n = 0; n < clients.GetRecordCount(); ++n) {
        clients.GoToRecord(n);
        std::string number;
        clients.GetFieldString(2, number);
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
    const std::vector<CMapPoint> points = StreetPoints(1);
    ASSERT_EQ(points.size(), 1u);
    CMapPoint geo = points[0];
    Map().MapToGeo(geo);
    const std::string street = Result(App("GetNearestStreet", {geo.x, geo.y, 30.0})).toString().toStdString();
    EXPECT_FALSE(street.empty());
    EXPECT_EQ(Result(App("GetNearestStreet", {geo.x + 5, geo.y, 30.0})).toString(), QString()) << "far from the town";
}

} // namespace
