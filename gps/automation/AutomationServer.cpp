#include "gps/automation/AutomationServer.h"

#include "gps/automation/Application.h"
#include "gps/automation/AutomationHost.h"
#include "platform/QtText.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QVariantMap>

#include <cmath>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {

const QString kIntrospectable = QStringLiteral("org.freedesktop.DBus.Introspectable");
const QString kPeer = QStringLiteral("org.freedesktop.DBus.Peer");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString kAccessDenied = QStringLiteral("org.freedesktop.DBus.Error.AccessDenied");
const QString kUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
const QString kUnknownProperty = QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty");
const QString kUnknownInterface = QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface");
const QString kPropertyReadOnly = QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly");
const QString kNullObject = QStringLiteral("/");

// Positions on the earth; map coordinates of any sane map; radii up to
// a thousand kilometres.
constexpr double kMaxLongitude = 180;
constexpr double kMaxLatitude = 90;
constexpr double kMaxCoordinate = 1e9;
constexpr double kMaxRadius = 1e6;

// One call at a time over both services: a call that pumps events must
// not run another underneath it.
bool g_busy = false;

bool Within(double value, double limit)
{
    return std::isfinite(value) && std::fabs(value) <= limit;
}

bool Finite(double value)
{
    return std::isfinite(value);
}

QDBusMessage InvalidArguments(const QDBusMessage& call, const QString& why)
{
    return call.createErrorReply(kInvalidArgs, why);
}

// A member of an interface: its D-Bus types and what it does with the
// arguments (checked against the input signature before).
struct CMember {
    QString name;
    QString in; // argument types
    QString out; // result type, empty for none
    QStringList argNames;
    std::function<QDBusMessage(const QDBusMessage& call, const QVariantList& args)> run;
};

// A property: its type, what it reads, and for writable ones what a write does.
struct CProperty {
    QString name;
    QString type;
    std::function<QVariant()> get;
    // Empty: refused as read-only. Gets the value of the property's type.
    std::function<QString(const QVariant& value)> set; // an error text, empty when taken
};

QString ArgXml(const QString& name, const QString& type, const QString& direction)
{
    return QStringLiteral("      <arg name=\"%1\" type=\"%2\" direction=\"%3\"/>\n").arg(name, type, direction);
}

// The variant's value when it carries the D-Bus type.
bool HasType(const QVariant& value, const QString& type)
{
    const int id = value.metaType().id();
    if (type == QLatin1String("d"))
        return id == QMetaType::Double;
    if (type == QLatin1String("b"))
        return id == QMetaType::Bool;
    if (type == QLatin1String("i"))
        return id == QMetaType::Int;
    if (type == QLatin1String("n"))
        return id == QMetaType::Short;
    if (type == QLatin1String("s"))
        return id == QMetaType::QString;
    return false;
}

} // namespace

class CAutomationServer::CImpl {
public:
    explicit CImpl(IAutomationHost& host) : application(host) {}

    bool CallerAllowed(const QDBusMessage& call, const QDBusConnection& connection) const
    {
        QDBusConnectionInterface* bus = connection.interface();
        if (!bus)
            return false;
        const QDBusReply<uint> uid = bus->serviceUid(call.service());
        return uid.isValid() && uid.value() == ownUid;
    }

    CApplication application;
    CTxObj transmitter{RadioRole::kTransmitter};
    CTxObj receiver{RadioRole::kReceiver};
    unsigned ownUid = ::getuid();
    struct CBus {
        QString connectionName;
        QString service;
        std::vector<QString> paths;
    };
    std::vector<CBus> buses;
    std::vector<std::unique_ptr<QDBusVirtualObject>> objects;
};

namespace {

// One object of the services: its interface's methods and properties,
// behind the caller check and the one-call-at-a-time guard.
class CAutomationObject : public QDBusVirtualObject {
public:
    CAutomationObject(CAutomationServer::CImpl& server, QString interfaceName) :
        m_server(server),
        m_interface(std::move(interfaceName))
    {
    }

    void AddMethod(CMember member) { m_members.push_back(std::move(member)); }
    void AddProperty(CProperty property) { m_properties.push_back(std::move(property)); }

    QString introspect(const QString&) const override
    {
        QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(m_interface);
        for (const CMember& member : m_members) {
            xml += QStringLiteral("    <method name=\"%1\">\n").arg(member.name);
            for (qsizetype i = 0; i < member.in.size(); ++i)
                xml += ArgXml(member.argNames.value(i), member.in.mid(i, 1), QStringLiteral("in"));
            if (!member.out.isEmpty())
                xml += ArgXml(QStringLiteral("result"), member.out, QStringLiteral("out"));
            xml += QStringLiteral("    </method>\n");
        }
        for (const CProperty& property : m_properties)
            xml += QStringLiteral("    <property name=\"%1\" type=\"%2\" access=\"%3\"/>\n")
                       .arg(property.name, property.type,
                           property.set ? QStringLiteral("readwrite") : QStringLiteral("read"));
        xml += QStringLiteral("  </interface>\n");
        return xml;
    }

    bool handleMessage(const QDBusMessage& call, const QDBusConnection& connection) override
    {
        if (call.type() != QDBusMessage::MethodCallMessage)
            return false;
        // What the bus library answers itself.
        if (call.interface() == kIntrospectable || call.interface() == kPeer)
            return false;
        QDBusMessage reply;
        if (!m_server.CallerAllowed(call, connection)) {
            reply = call.createErrorReply(kAccessDenied, QStringLiteral("Only the program's own user may call it."));
        } else if (g_busy) {
            reply = call.createErrorReply(
                QString::fromLatin1(CAutomationServer::kBusyError), QStringLiteral("Another call is running."));
        } else {
            g_busy = true;
            reply = Dispatch(call);
            g_busy = false;
        }
        if (call.isReplyRequired())
            connection.send(reply);
        return true;
    }

private:
    QDBusMessage Dispatch(const QDBusMessage& call)
    {
        if (call.interface() == kProperties)
            return DispatchProperties(call);
        if (!call.interface().isEmpty() && call.interface() != m_interface)
            return call.createErrorReply(kUnknownInterface, QStringLiteral("No interface %1").arg(call.interface()));
        for (const CMember& member : m_members) {
            if (member.name != call.member())
                continue;
            if (call.signature() != member.in)
                return InvalidArguments(call, QStringLiteral("%1 takes (%2)").arg(member.name, member.in));
            return member.run(call, call.arguments());
        }
        return call.createErrorReply(kUnknownMethod, QStringLiteral("No method %1").arg(call.member()));
    }

    const CProperty* FindProperty(const QString& name) const
    {
        for (const CProperty& property : m_properties)
            if (property.name == name)
                return &property;
        return nullptr;
    }

    QDBusMessage DispatchProperties(const QDBusMessage& call)
    {
        const QVariantList args = call.arguments();
        const QString member = call.member();
        const QString expected = member == QLatin1String("Get") ? QStringLiteral("ss")
            : member == QLatin1String("Set")                    ? QStringLiteral("ssv")
            : member == QLatin1String("GetAll")                 ? QStringLiteral("s")
                                                                : QString();
        if (expected.isEmpty())
            return call.createErrorReply(kUnknownMethod, QStringLiteral("No method %1").arg(member));
        if (call.signature() != expected)
            return InvalidArguments(call, QStringLiteral("%1 takes (%2)").arg(member, expected));
        const QString interfaceName = args.at(0).toString();
        if (!interfaceName.isEmpty() && interfaceName != m_interface)
            return call.createErrorReply(kUnknownInterface, QStringLiteral("No interface %1").arg(interfaceName));
        if (member == QLatin1String("GetAll")) {
            QVariantMap all;
            for (const CProperty& property : m_properties)
                all.insert(property.name, property.get());
            return call.createReply(QVariant::fromValue(all));
        }
        const CProperty* property = FindProperty(args.at(1).toString());
        if (!property)
            return call.createErrorReply(kUnknownProperty, QStringLiteral("No property %1").arg(args.at(1).toString()));
        if (member == QLatin1String("Get"))
            return call.createReply(QVariant::fromValue(QDBusVariant(property->get())));
        if (!property->set)
            return call.createErrorReply(kPropertyReadOnly, QString::fromLatin1(CAutomationServer::kReadOnlyText));
        const QVariant value = qvariant_cast<QDBusVariant>(args.at(2)).variant();
        if (!HasType(value, property->type))
            return InvalidArguments(call, QStringLiteral("%1 is of type %2").arg(property->name, property->type));
        const QString refused = property->set(value);
        if (!refused.isEmpty())
            return InvalidArguments(call, refused);
        return call.createReply();
    }

    CAutomationServer::CImpl& m_server;
    QString m_interface;
    std::vector<CMember> m_members;
    std::vector<CProperty> m_properties;
};

std::unique_ptr<CAutomationObject> MakeApplicationObject(CAutomationServer::CImpl& server)
{
    auto object = std::make_unique<CAutomationObject>(server, QString::fromLatin1(CAutomationServer::kService));
    CApplication& app = server.application;
    object->AddMethod({"UpdateAllMaps", "", "", {}, [&app](const QDBusMessage& call, const QVariantList&) {
                           app.UpdateAllMaps();
                           return call.createReply();
                       }});
    object->AddMethod({"ShowVehicle", "ddnn", "", {"longitude", "latitude", "course", "follow"},
        [&app](const QDBusMessage& call, const QVariantList& a) {
            const double longitude = a[0].toDouble(), latitude = a[1].toDouble();
            if (!Within(longitude, kMaxLongitude) || !Within(latitude, kMaxLatitude))
                return InvalidArguments(call, QStringLiteral("No position on the earth"));
            app.ShowVehicle(longitude, latitude, a[2].value<qint16>(), a[3].value<qint16>());
            return call.createReply();
        }});
    object->AddMethod({"HideVehicle", "", "", {}, [&app](const QDBusMessage& call, const QVariantList&) {
                           app.HideVehicle();
                           return call.createReply();
                       }});
    object->AddMethod({"OpenSerialPort", "n", "b", {"port"}, [&app](const QDBusMessage& call, const QVariantList& a) {
                           return call.createReply(app.OpenSerialPort(a[0].value<qint16>()));
                       }});
    object->AddMethod({"CloseSerialPort", "", "", {}, [&app](const QDBusMessage& call, const QVariantList&) {
                           app.CloseSerialPort();
                           return call.createReply();
                       }});
    object->AddMethod({"SendMessage", "iii", "i", {"code", "wParam", "lParam"},
        [&app](const QDBusMessage& call, const QVariantList& a) {
            return call.createReply(app.SendMessage(a[0].toInt(), a[1].toInt(), a[2].toInt()));
        }});
    object->AddMethod({"EnsureVisible", "dddd", "b", {"x1", "y1", "x2", "y2"},
        [&app](const QDBusMessage& call, const QVariantList& a) {
            double v[4];
            for (int i = 0; i < 4; ++i) {
                v[i] = a[i].toDouble();
                if (!Within(v[i], kMaxCoordinate))
                    return InvalidArguments(call, QStringLiteral("Coordinates out of range"));
            }
            return call.createReply(app.EnsureVisible(v[0], v[1], v[2], v[3]));
        }});
    object->AddMethod(
        {"GetNearestStreet", "ddd", "s", {"x", "y", "radius"}, [&app](const QDBusMessage& call, const QVariantList& a) {
             const double x = a[0].toDouble(), y = a[1].toDouble(), radius = a[2].toDouble();
             if (!Within(x, kMaxCoordinate) || !Within(y, kMaxCoordinate))
                 return InvalidArguments(call, QStringLiteral("Coordinates out of range"));
             if (!(radius > 0 && radius <= kMaxRadius))
                 return InvalidArguments(call, QStringLiteral("Radius out of range"));
             return call.createReply(ToQString(app.GetNearestStreet(x, y, radius)));
         }});
    return object;
}

std::unique_ptr<CAutomationObject> MakeRadioObject(CAutomationServer::CImpl& server)
{
    auto object = std::make_unique<CAutomationObject>(server, QString::fromLatin1(CAutomationServer::kRadioService));
    const auto path = [](const char* value) {
        return [value] { return QVariant::fromValue(QDBusObjectPath(QString::fromLatin1(value))); };
    };
    object->AddProperty({"Transmitter", "o", path("/Transmitter"), {}});
    object->AddProperty({"Receiver", "o", path("/Receiver"), {}});
    object->AddProperty(
        {"PropModel", "s", [] { return QVariant(QString()); }, [](const QVariant&) { return QString(); }});
    object->AddProperty({"Coverage", "o", path("/"), {}});
    object->AddProperty({"Profile", "o", path("/"), {}});
    object->AddMethod({"GetSiteElevation", "dd", "d", {"x", "y"}, [](const QDBusMessage& call, const QVariantList& a) {
                           if (!Finite(a[0].toDouble()) || !Finite(a[1].toDouble()))
                               return InvalidArguments(call, QStringLiteral("Coordinates out of range"));
                           return call.createReply(0.0);
                       }});
    object->AddMethod(
        {"RedrawMap", "", "", {}, [](const QDBusMessage& call, const QVariantList&) { return call.createReply(); }});
    for (const char* name : {"FindTxPosition", "FindRxPosition"})
        object->AddMethod({name, "d", "b", {"value"}, [](const QDBusMessage& call, const QVariantList& a) {
                               if (!Finite(a[0].toDouble()))
                                   return InvalidArguments(call, QStringLiteral("Not a number"));
                               return call.createReply(true);
                           }});
    return object;
}

std::unique_ptr<CAutomationObject> MakeTxObject(CAutomationServer::CImpl& server, CTxObj& tx)
{
    auto object = std::make_unique<CAutomationObject>(server, QString::fromLatin1(CAutomationServer::kTxInterface));
    for (const CTxObj::CProperty& property : CTxObj::kProperties) {
        const RadioField field = property.field;
        switch (property.kind) {
        case CTxObj::Kind::kDouble:
            object->AddProperty({property.name, "d", [&tx, field] { return QVariant(tx.GetDouble(field)); },
                [&tx, field](const QVariant& value) {
                    if (!Finite(value.toDouble()))
                        return QStringLiteral("Not a number");
                    tx.SetDouble(field, value.toDouble());
                    return QString();
                }});
            break;
        case CTxObj::Kind::kBoolean:
            object->AddProperty({property.name, "b", [&tx, field] { return QVariant(tx.GetBoolean(field)); },
                [&tx, field](const QVariant& value) {
                    tx.SetBoolean(field, value.toBool());
                    return QString();
                }});
            break;
        case CTxObj::Kind::kLong:
            object->AddProperty({property.name, "i", [&tx, field] { return QVariant(tx.GetLong(field)); },
                [&tx, field](const QVariant& value) {
                    tx.SetLong(field, value.toInt());
                    return QString();
                }});
            break;
        case CTxObj::Kind::kString:
            object->AddProperty({property.name, "s", [&tx, field] { return QVariant(ToQString(tx.GetString(field))); },
                [&tx, field](const QVariant& value) {
                    tx.SetString(field, FromQString(value.toString()));
                    return QString();
                }});
            break;
        }
    }
    return object;
}

int g_connectionCount = 0;

} // namespace

CAutomationServer::CAutomationServer(IAutomationHost& host) : m_impl(std::make_unique<CImpl>(host)) {}

CAutomationServer::~CAutomationServer()
{
    Unregister();
}

void CAutomationServer::SetOwnUidForTesting(unsigned uid)
{
    m_impl->ownUid = uid;
}

bool CAutomationServer::IsRegistered() const
{
    return !m_impl->buses.empty();
}

bool CAutomationServer::Register(const std::string& busAddress)
{
    Unregister();
    struct CObject {
        const char* path;
        std::unique_ptr<CAutomationObject> object;
    };
    struct CService {
        const char* name;
        std::vector<CObject> objects;
    };
    std::vector<CService> services;
    services.push_back({kService, {}});
    services.back().objects.push_back({"/Application", MakeApplicationObject(*m_impl)});
    services.push_back({kRadioService, {}});
    services.back().objects.push_back({"/Application", MakeRadioObject(*m_impl)});
    services.back().objects.push_back({"/Transmitter", MakeTxObject(*m_impl, m_impl->transmitter)});
    services.back().objects.push_back({"/Receiver", MakeTxObject(*m_impl, m_impl->receiver)});

    // A connection of its own for each service, so each one shows only its
    // objects.
    for (CService& service : services) {
        const QString connectionName = QStringLiteral("drel-automation-%1").arg(++g_connectionCount);
        QDBusConnection connection = busAddress.empty()
            ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName)
            : QDBusConnection::connectToBus(QString::fromStdString(busAddress), connectionName);
        CImpl::CBus bus{connectionName, QString(), {}};
        if (!connection.isConnected() || !connection.interface()) {
            QDBusConnection::disconnectFromBus(connectionName);
            Unregister();
            return false;
        }
        for (CObject& object : service.objects) {
            const QString path = QString::fromLatin1(object.path);
            if (connection.registerVirtualObject(path, object.object.get(), QDBusConnection::SingleNode))
                bus.paths.push_back(path);
            m_impl->objects.push_back(std::move(object.object));
        }
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply
            = connection.interface()->registerService(QString::fromLatin1(service.name),
                QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
        const bool taken = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
        if (taken)
            bus.service = QString::fromLatin1(service.name);
        const bool complete = taken && bus.paths.size() == service.objects.size();
        m_impl->buses.push_back(std::move(bus));
        if (!complete) {
            Unregister();
            return false;
        }
    }
    return true;
}

void CAutomationServer::Unregister()
{
    for (const CImpl::CBus& bus : m_impl->buses) {
        QDBusConnection connection(bus.connectionName);
        for (const QString& path : bus.paths)
            connection.unregisterObject(path);
        if (!bus.service.isEmpty() && connection.interface())
            connection.interface()->unregisterService(bus.service);
    }
    for (const CImpl::CBus& bus : m_impl->buses)
        QDBusConnection::disconnectFromBus(bus.connectionName);
    m_impl->buses.clear();
    m_impl->objects.clear();
}
