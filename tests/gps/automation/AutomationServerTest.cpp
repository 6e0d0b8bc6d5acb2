// The automation on a private bus: what it shows of itself, the radio
// objects, and the calls it refuses.

#include "tests/gps/automation/AutomationTestSupport.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <unistd.h>

namespace {

// "interface: method Name(in)->out" and "interface: property Name type access"
// for the object's own interfaces (the bus library's left out).
QStringList Members(const QString& xml)
{
    QStringList members;
    QXmlStreamReader reader(xml);
    QString interface, method, in, out;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto name = reader.name();
            const auto attributes = reader.attributes();
            if (name == QLatin1String("interface")) {
                interface = attributes.value(QLatin1String("name")).toString();
            } else if (name == QLatin1String("method")) {
                method = attributes.value(QLatin1String("name")).toString();
                in.clear();
                out.clear();
            } else if (name == QLatin1String("arg")) {
                (attributes.value(QLatin1String("direction")) == QLatin1String("out") ? out : in)
                    += attributes.value(QLatin1String("type")).toString();
            } else if (name == QLatin1String("property") && !interface.startsWith(QLatin1String("org.freedesktop"))) {
                members << QStringLiteral("%1: property %2 %3 %4")
                               .arg(interface, attributes.value(QLatin1String("name")).toString(),
                                   attributes.value(QLatin1String("type")).toString(),
                                   attributes.value(QLatin1String("access")).toString());
            }
        } else if (reader.isEndElement() && reader.name() == QLatin1String("method")
            && !interface.startsWith(QLatin1String("org.freedesktop"))) {
            members << QStringLiteral("%1: method %2(%3)->%4").arg(interface, method, in, out);
        }
    }
    return members;
}

class AutomationServerTest : public ::testing::Test, protected CAutomationBench {
protected:
    QStringList Introspect(const char* service, const char* path)
    {
        const QDBusMessage reply = bus.Call(service, path, "org.freedesktop.DBus.Introspectable", "Introspect");
        return Members(Result(reply).toString());
    }
};

TEST_F(AutomationServerTest, IntrospectionShowsTheMembersAndTheirTypes)
{
    ASSERT_TRUE(bus.IsUp());
    ASSERT_TRUE(registered);
    EXPECT_EQ(Introspect("Drel.Application", "/Application"),
        QStringList({"Drel.Application: method UpdateAllMaps()->", "Drel.Application: method ShowVehicle(ddnn)->",
            "Drel.Application: method HideVehicle()->", "Drel.Application: method OpenSerialPort(n)->b",
            "Drel.Application: method CloseSerialPort()->", "Drel.Application: method SendMessage(iii)->i",
            "Drel.Application: method EnsureVisible(dddd)->b", "Drel.Application: method GetNearestStreet(ddd)->s"}));
    EXPECT_EQ(Introspect("DrelR.Application", "/Application"),
        QStringList({"DrelR.Application: method GetSiteElevation(dd)->d", "DrelR.Application: method RedrawMap()->",
            "DrelR.Application: method FindTxPosition(d)->b", "DrelR.Application: method FindRxPosition(d)->b",
            "DrelR.Application: property Transmitter o read", "DrelR.Application: property Receiver o read",
            "DrelR.Application: property PropModel s readwrite", "DrelR.Application: property Coverage o read",
            "DrelR.Application: property Profile o read"}));
    QStringList tx;
    for (const char* p :
        {"Erp d", "Freq d", "Ha d", "UserHloc d", "FreqOffs d", "Azimuth d", "Tilt d", "Longitude d", "Latitude d",
            "AutoHloc b", "Directional b", "Digital b", "VertPol b", "ChanelSpacing i", "AntDiagr s", "Name s"})
        tx << QStringLiteral("DrelR.TxObj: property %1 readwrite").arg(QString::fromLatin1(p));
    EXPECT_EQ(Introspect("DrelR.Application", "/Transmitter"), tx);
    EXPECT_EQ(Introspect("DrelR.Application", "/Receiver"), tx);
}

TEST_F(AutomationServerTest, SendMessageRunsOnlyRequest100WithAView)
{
    EXPECT_EQ(Result(App("SendMessage", {99, 0, 0})).toInt(), 0);
    EXPECT_EQ(Result(App("SendMessage", {100, 0, 0})).toInt(), 0) << "no active view";
    EXPECT_EQ(Result(App("SendMessage", {-1, 7, 7})).toInt(), 0);
}

TEST_F(AutomationServerTest, RadioObjectsWithoutTheExtensionAnswerDefaults)
{
    EXPECT_EQ(
        qvariant_cast<QDBusObjectPath>(Value(GetProperty("/Application", "DrelR.Application", "Transmitter"))).path(),
        "/Transmitter");
    EXPECT_EQ(
        qvariant_cast<QDBusObjectPath>(Value(GetProperty("/Application", "DrelR.Application", "Receiver"))).path(),
        "/Receiver");
    for (const char* name : {"Coverage", "Profile"})
        EXPECT_EQ(
            qvariant_cast<QDBusObjectPath>(Value(GetProperty("/Application", "DrelR.Application", name))).path(), "/")
            << name;
    EXPECT_EQ(Value(GetProperty("/Application", "DrelR.Application", "PropModel")), QVariant(QString()));
    const QDBusMessage model = SetProperty("/Application", "DrelR.Application", "PropModel", QStringLiteral("x"));
    EXPECT_EQ(model.type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(Value(GetProperty("/Application", "DrelR.Application", "PropModel")), QVariant(QString()));

    for (const char* name : {"Transmitter", "Receiver", "Coverage", "Profile"}) {
        const QDBusMessage refused = SetProperty(
            "/Application", "DrelR.Application", name, QVariant::fromValue(QDBusObjectPath("/Transmitter")));
        EXPECT_EQ(refused.errorName(), "org.freedesktop.DBus.Error.PropertyReadOnly") << name;
        EXPECT_EQ(refused.errorMessage(), "Unable to write read-only property.");
    }

    EXPECT_EQ(Result(Radio("/Application", "DrelR.Application", "GetSiteElevation", {25.0, 54.0})), QVariant(0.0));
    EXPECT_EQ(Radio("/Application", "DrelR.Application", "RedrawMap").type(), QDBusMessage::ReplyMessage);
    for (const char* method : {"FindTxPosition", "FindRxPosition"})
        EXPECT_EQ(Result(Radio("/Application", "DrelR.Application", method, {5.0})), QVariant(true)) << method;

    for (const char* path : {"/Transmitter", "/Receiver"}) {
        SCOPED_TRACE(path);
        for (const CTxObj::CProperty& property : CTxObj::kProperties) {
            SCOPED_TRACE(property.name);
            const QVariant value = Value(GetProperty(path, "DrelR.TxObj", property.name));
            switch (property.kind) {
            case CTxObj::Kind::kDouble:
                EXPECT_EQ(value, QVariant(0.0));
                EXPECT_EQ(SetProperty(path, "DrelR.TxObj", property.name, 5.0).type(), QDBusMessage::ReplyMessage);
                break;
            case CTxObj::Kind::kBoolean:
                EXPECT_EQ(value, QVariant(true));
                EXPECT_EQ(SetProperty(path, "DrelR.TxObj", property.name, false).type(), QDBusMessage::ReplyMessage);
                break;
            case CTxObj::Kind::kLong:
                EXPECT_EQ(value, QVariant(0));
                EXPECT_EQ(SetProperty(path, "DrelR.TxObj", property.name, 5).type(), QDBusMessage::ReplyMessage);
                break;
            case CTxObj::Kind::kString:
                EXPECT_EQ(value, QVariant(QString()));
                EXPECT_EQ(SetProperty(path, "DrelR.TxObj", property.name, QStringLiteral("x")).type(),
                    QDBusMessage::ReplyMessage);
                break;
            }
            EXPECT_EQ(Value(GetProperty(path, "DrelR.TxObj", property.name)), value) << "the write was ignored";
        }
    }
}

TEST_F(AutomationServerTest, RadioPropertiesReadAndWriteTheCurrentRecords)
{
    CFakeRadioRecords records;
    records.receivers.resize(2);
    records.receivers[1].texts[RadioField::kName] = "Antrasis";
    records.receivers[1].numbers[RadioField::kFreq] = 101.5;

    // Every property reaches its own field.
    for (const CTxObj::CProperty& property : CTxObj::kProperties) {
        SCOPED_TRACE(property.name);
        QVariant written;
        switch (property.kind) {
        case CTxObj::Kind::kDouble:
            written = 12.25;
            break;
        case CTxObj::Kind::kBoolean:
            written = false;
            break;
        case CTxObj::Kind::kLong:
            written = 25;
            break;
        case CTxObj::Kind::kString:
            written = QStringLiteral("Šiauliai");
            break;
        }
        ASSERT_EQ(
            SetProperty("/Transmitter", "DrelR.TxObj", property.name, written).type(), QDBusMessage::ReplyMessage);
        EXPECT_EQ(Value(GetProperty("/Transmitter", "DrelR.TxObj", property.name)), written);
        if (property.kind == CTxObj::Kind::kString)
            EXPECT_EQ(records.transmitter.texts[property.field], "\xD0iauliai") << "code page 1257";
        else
            EXPECT_EQ(records.transmitter.numbers[property.field], written.toDouble());
    }
    EXPECT_EQ(records.transmitter.numbers.size() + records.transmitter.texts.size(), CTxObj::kProperties.size())
        << "one field each";
    EXPECT_TRUE(records.receivers[0].numbers.empty()) << "the receiver untouched";

    // The receiver follows the current record on every request.
    ASSERT_EQ(
        SetProperty("/Receiver", "DrelR.TxObj", "Name", QStringLiteral("Pirmasis")).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(records.receivers[0].texts[RadioField::kName], "Pirmasis");
    records.currentReceiver = 1;
    EXPECT_EQ(Value(GetProperty("/Receiver", "DrelR.TxObj", "Name")), QVariant(QStringLiteral("Antrasis")));
    EXPECT_EQ(Value(GetProperty("/Receiver", "DrelR.TxObj", "Freq")), QVariant(101.5));
    // So does the transmitter: the record is never kept between calls.
    records.transmitter.numbers[RadioField::kErp] = 3;
    EXPECT_EQ(Value(GetProperty("/Transmitter", "DrelR.TxObj", "Erp")), QVariant(3.0));
    // No current receiver: the defaults.
    records.currentReceiver = 5;
    EXPECT_EQ(Value(GetProperty("/Receiver", "DrelR.TxObj", "Digital")), QVariant(true));
    EXPECT_EQ(SetProperty("/Receiver", "DrelR.TxObj", "Freq", 7.0).type(), QDBusMessage::ReplyMessage);
}

TEST_F(AutomationServerTest, TheChannelSpacingKeepsEveryLong)
{
    CFakeRadioRecords records;
    for (const int32_t spacing : {INT32_MIN, INT32_MIN + 1, -1, 0, 12500, INT32_MAX}) {
        SCOPED_TRACE(spacing);
        ASSERT_EQ(SetProperty("/Transmitter", "DrelR.TxObj", "ChanelSpacing", spacing).type(),
            QDBusMessage::ReplyMessage);
        EXPECT_EQ(Value(GetProperty("/Transmitter", "DrelR.TxObj", "ChanelSpacing")), QVariant(spacing));
    }
    // A record whose number is no long reads 0.
    for (const double stored : {2147483648.0, -2147483649.0, std::numeric_limits<double>::quiet_NaN()}) {
        records.transmitter.numbers[RadioField::kChanelSpacing] = stored;
        EXPECT_EQ(Value(GetProperty("/Transmitter", "DrelR.TxObj", "ChanelSpacing")), QVariant(0)) << stored;
    }
}

TEST_F(AutomationServerTest, BadCallsAreRefusedAndChangeNothing)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const QString invalid = "org.freedesktop.DBus.Error.InvalidArgs";
    const QVariant n90 = QVariant::fromValue<short>(90), n1 = QVariant::fromValue<short>(1);
    struct Case {
        const char* member;
        QVariantList arguments;
        QString error;
    };
    std::vector<Case> cases = {
        {"ShowVehicle", {kNaN, 54.0, n90, n1}, invalid},
        {"ShowVehicle", {25.0, kNaN, n90, n1}, invalid},
        {"ShowVehicle", {kInf, 54.0, n90, n1}, invalid},
        {"ShowVehicle", {25.0, -kInf, n90, n1}, invalid},
        {"ShowVehicle", {180.5, 54.0, n90, n1}, invalid},
        {"ShowVehicle", {-25.0, 90.01, n90, n1}, invalid},
        {"ShowVehicle", {1e300, 54.0, n90, n1}, invalid},
        {"ShowVehicle", {25.0, 54.0, 90, 1}, invalid}, // longs for shorts
        {"ShowVehicle", {25.0, 54.0}, invalid},
        {"OpenSerialPort", {3}, invalid},
        {"SendMessage", {100, 0}, invalid},
        {"SendMessage", {100.0, 0.0, 0.0}, invalid},
        {"GetNearestStreet", {kNaN, 54.0, 1.0}, invalid},
        {"GetNearestStreet", {25.0, 2e9, 1.0}, invalid},
        {"GetNearestStreet", {25.0, 54.0, 0.0}, invalid},
        {"GetNearestStreet", {25.0, 54.0, -1.0}, invalid},
        {"GetNearestStreet", {25.0, 54.0, 1e6 + 1}, invalid},
        {"GetNearestStreet", {25.0, 54.0, kNaN}, invalid},
        {"GetNearestStreet", {25.0, 54.0, kInf}, invalid},
        {"GetNearestStreet", {QStringLiteral("25"), 54.0, 1.0}, invalid},
        {"NoSuchMethod", {}, "org.freedesktop.DBus.Error.UnknownMethod"},
    };
    for (int i = 0; i < 4; ++i)
        for (double bad : {kNaN, kInf, -kInf, 1.5e9, -1e300}) {
            QVariantList arguments = {25.0, 54.0, 26.0, 55.0};
            arguments[i] = bad;
            cases.push_back({"EnsureVisible", arguments, invalid});
        }

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " case " + std::to_string(&c - cases.data()));
        const QDBusMessage reply = App(c.member, c.arguments);
        EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
        EXPECT_EQ(reply.errorName(), c.error);
    }
    EXPECT_EQ(Radio("/Application", "DrelR.Application", "GetSiteElevation", {kNaN, 54.0}).errorName(), invalid);
    EXPECT_EQ(SetProperty("/Transmitter", "DrelR.TxObj", "Freq", kInf).errorName(), invalid);
    EXPECT_EQ(SetProperty("/Transmitter", "DrelR.TxObj", "Freq", QStringLiteral("1")).errorName(), invalid);
    EXPECT_EQ(
        GetProperty("/Transmitter", "DrelR.TxObj", "Power").errorName(), "org.freedesktop.DBus.Error.UnknownProperty");

    EXPECT_FALSE(gps.gps.Vehicle().IsSet());
    EXPECT_TRUE(gps.timers.running.empty());
    EXPECT_TRUE(gps.gps.Vehicle().RmcSentence().empty());

    // Ports out of range give false and open nothing.
    for (short port : {0, -1, 128, 32767, -32768}) {
        EXPECT_EQ(Result(App("OpenSerialPort", {QVariant::fromValue(port)})), QVariant(false)) << port;
        EXPECT_FALSE(gps.gps.EmulationPort().IsOpen());
        EXPECT_FALSE(gps.timers.IsRunning(CMainFrameCore::kEmulationTimer));
    }

    // The program still answers.
    EXPECT_EQ(Result(App("SendMessage", {99, 0, 0})), QVariant(0));
    EXPECT_EQ(App("ShowVehicle", {25.0, 54.0, n90, QVariant::fromValue<short>(0)}).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(gps.gps.Vehicle().IsSet());
    EXPECT_EQ(gps.gps.Vehicle().GetCourse(), 90);
    EXPECT_EQ(App("HideVehicle").type(), QDBusMessage::ReplyMessage);
    EXPECT_FALSE(gps.gps.Vehicle().IsSet());
}

TEST_F(AutomationServerTest, AnotherUserIsDenied)
{
    server.SetOwnUidForTesting(::getuid() + 1);
    const QDBusMessage denied
        = App("ShowVehicle", {25.0, 54.0, QVariant::fromValue<short>(90), QVariant::fromValue<short>(1)});
    EXPECT_EQ(denied.errorName(), "org.freedesktop.DBus.Error.AccessDenied");
    EXPECT_FALSE(gps.gps.Vehicle().IsSet());
    EXPECT_EQ(App("UpdateAllMaps").errorName(), "org.freedesktop.DBus.Error.AccessDenied");
    EXPECT_EQ(host.repaints, 0);
    EXPECT_EQ(GetProperty("/Application", "DrelR.Application", "PropModel").errorName(),
        "org.freedesktop.DBus.Error.AccessDenied");

    server.SetOwnUidForTesting(::getuid());
    EXPECT_EQ(App("UpdateAllMaps").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(host.repaints, 1);
}

TEST_F(AutomationServerTest, ACallWhileAnotherRunsIsBusy)
{
    QDBusMessage nested;
    host.onRepaint = [&] {
        host.onRepaint = nullptr;
        nested = App("HideVehicle");
        gps.gps.Vehicle().Show(1, 2, 3, 0);
    };
    const QDBusMessage first = App("UpdateAllMaps");
    EXPECT_EQ(first.type(), QDBusMessage::ReplyMessage) << "the first completes";
    EXPECT_EQ(nested.errorName(), "Drel.Error.Busy");
    EXPECT_TRUE(gps.gps.Vehicle().IsSet()) << "the nested call did nothing";
    EXPECT_EQ(App("HideVehicle").type(), QDBusMessage::ReplyMessage);
    EXPECT_FALSE(gps.gps.Vehicle().IsSet());
}

TEST_F(AutomationServerTest, ASecondInstanceRegistersNothing)
{
    CFakeAutomationHost otherHost;
    CAutomationServer second(otherHost);
    EXPECT_FALSE(second.Register(bus.Address()));
    EXPECT_FALSE(second.IsRegistered());
    // The first still serves.
    EXPECT_EQ(App("UpdateAllMaps").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(host.repaints, 1);

    server.Unregister();
    EXPECT_TRUE(second.Register(bus.Address()));
    EXPECT_EQ(App("UpdateAllMaps").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(otherHost.repaints, 1);
}

TEST(AutomationWithoutBusTest, NoBusRegistersNothing)
{
    NeedGuiApplication();
    CFakeAutomationHost host;
    CAutomationServer server(host);
    CTempDir dir;
    EXPECT_FALSE(server.Register("unix:path=" + dir.File("no-bus")));
    EXPECT_FALSE(server.IsRegistered());
}

} // namespace
