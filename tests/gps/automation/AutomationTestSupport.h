#pragma once

#include "gps/automation/Application.h"
#include "gps/automation/AutomationHost.h"
#include "gps/automation/AutomationServer.h"
#include "gps/automation/RadioRecords.h"
#include "shell/BestMapChoice.h"
#include "tests/gps/PrivateBus.h"
#include "tests/gps/ReplayTestSupport.h"

#include <QDBusObjectPath>
#include <QDBusVariant>

#include <functional>
#include <map>
#include <string>
#include <vector>

// The program as the automation sees it, answered from members.
class CFakeAutomationHost : public IAutomationHost {
public:
    CDrelView* GetActiveMapView() override { return active; }
    std::vector<CDrelDoc*> GetOpenMaps() override { return maps; }
    std::vector<std::string> GetLinkedMapPaths() override { return paths; }
    void RepaintMapViews() override
    {
        ++repaints;
        if (onRepaint)
            onRepaint();
    }

    CDrelView* active = nullptr;
    std::vector<CDrelDoc*> maps;
    std::vector<std::string> paths;
    int repaints = 0;
    std::function<void()> onRepaint;
};

// The best-map choice, recording the extents asked for; installed for its
// lifetime.
class CRecordingBestMap : public IBestMapService {
public:
    CRecordingBestMap() { SetBestMapService(this); }
    ~CRecordingBestMap() override { SetBestMapService(nullptr); }
    bool OpenBestMapForExtent(const CMapRect& extent, int units, const std::string& ownPath, bool autoLoadOnly,
        bool convert, bool zoom) override
    {
        extents.push_back(extent);
        asked.push_back({units, ownPath.empty(), autoLoadOnly, convert, zoom});
        if (onOpen)
            onOpen();
        return true;
    }

    struct Ask {
        int units;
        bool noOwnMap, autoLoadOnly, convert, zoom;
    };
    std::vector<CMapRect> extents;
    std::vector<Ask> asked;
    std::function<void()> onOpen;
};

// The radio extension's records: one transmitter, receivers of which one
// is current; installed for its lifetime.
class CFakeRadioRecords : public IRadioRecords {
public:
    struct Record {
        std::map<RadioField, double> numbers;
        std::map<RadioField, std::string> texts;
    };

    CFakeRadioRecords() { SetRadioRecords(this); }
    ~CFakeRadioRecords() override { SetRadioRecords(nullptr); }

    bool GetNumber(RadioRole role, RadioField field, double& value) override
    {
        Record* record = Find(role);
        if (record)
            value = record->numbers[field];
        return record != nullptr;
    }
    bool SetNumber(RadioRole role, RadioField field, double value) override
    {
        Record* record = Find(role);
        if (record)
            record->numbers[field] = value;
        return record != nullptr;
    }
    bool GetText(RadioRole role, RadioField field, std::string& text) override
    {
        Record* record = Find(role);
        if (record)
            text = record->texts[field];
        return record != nullptr;
    }
    bool SetText(RadioRole role, RadioField field, const std::string& text) override
    {
        Record* record = Find(role);
        if (record)
            record->texts[field] = text;
        return record != nullptr;
    }

    Record transmitter;
    std::vector<Record> receivers;
    int currentReceiver = 0;

private:
    Record* Find(RadioRole role)
    {
        if (role == RadioRole::kTransmitter)
            return &transmitter;
        if (currentReceiver < 0 || currentReceiver >= static_cast<int>(receivers.size()))
            return nullptr;
        return &receivers[static_cast<size_t>(currentReceiver)];
    }
};

// A private bus with the automation on it over the fake host, the main
// window's core and the GPS context.
class CAutomationBench {
public:
    CAutomationBench()
    {
        NeedGuiApplication();
        SetGpsContext(&gps.gps);
        registered = server.Register(bus.Address());
    }
    ~CAutomationBench()
    {
        server.Unregister();
        SetGpsContext(nullptr);
    }

    QDBusMessage App(const char* member, const QVariantList& arguments = {})
    {
        return bus.Call("Drel.Application", "/Application", "Drel.Application", member, arguments);
    }
    QDBusMessage Radio(const char* path, const char* interface, const char* member, const QVariantList& arguments = {})
    {
        return bus.Call("DrelR.Application", path, interface, member, arguments);
    }
    QDBusMessage GetProperty(const char* path, const char* interface, const char* name)
    {
        return Radio(path, "org.freedesktop.DBus.Properties", "Get", {interface, name});
    }
    QDBusMessage SetProperty(const char* path, const char* interface, const char* name, const QVariant& value)
    {
        return Radio(path, "org.freedesktop.DBus.Properties", "Set",
            {interface, name, QVariant::fromValue(QDBusVariant(value))});
    }
    // The value a property read gave; invalid after an error.
    static QVariant Value(const QDBusMessage& reply)
    {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return qvariant_cast<QDBusVariant>(reply.arguments().at(0)).variant();
    }
    static QVariant Result(const QDBusMessage& reply)
    {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return reply.arguments().at(0);
    }

    CPrivateBus bus;
    CReplayBench gps;
    CFakeAutomationHost host;
    CAutomationServer server{host};
    bool registered = false;
};
