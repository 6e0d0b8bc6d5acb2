#pragma once

#include "gps/automation/RadioRecords.h"

#include <array>
#include <cstdint>
#include <string>

class CDrelDoc;
class IAutomationHost;
class CMapPoint;

// What the object "Drel.Application" does for another program: the
// vehicle and its emulation port, the planning task, an extent made
// visible, the street at a point and a repaint of the maps. Positions are
// geographic degrees (x the longitude); callers have checked them.
class CApplication {
public:
    // Request codes of SendMessage.
    static constexpr int32_t kRunPlanningTask = 100;

    explicit CApplication(IAutomationHost& host) : m_host(host) {}

    void UpdateAllMaps();
    // A negative course has no direction; follow keeps it in the active map.
    void ShowVehicle(double longitude, double latitude, int16_t course, int16_t follow);
    void HideVehicle();
    bool OpenSerialPort(int16_t port);
    void CloseSerialPort();
    // 100 runs the task of "mplan.ini" on the active map view and gives
    // its result; anything else, or no view, 0.
    int32_t SendMessage(int32_t code, int32_t wParam, int32_t lParam);
    // The active map shows the rectangle (the best linked map opened for
    // it first unless the view shows it well already); false only when no
    // map view is active afterwards. A single point comes into view at
    // the current scale.
    bool EnsureVisible(double x1, double y1, double x2, double y2);
    // The identifier of the nearest street within the radius (metres in a
    // projected map, kilometres in a geographic one): the active map, the
    // other open maps, then the best linked map opened without a window;
    // the first map that has streets at the point answers. Empty for none.
    std::string GetNearestStreet(double x, double y, double radius);

private:
    IAutomationHost& m_host;
};

// How one map answers GetNearestStreet.
struct CStreetAnswer {
    enum Kind { kNotThisMap, kNoStreet, kStreet } kind = kNotThisMap;
    std::string text;
};
CStreetAnswer FindNearestStreetInMap(CDrelDoc& map, const CMapPoint& position, double radius);

// A transmitter or receiver object of "DrelR.Application": every property
// reaches the extension's current record of that moment; without one the
// doubles read 0, the Booleans true, the whole number 0 and the texts
// empty, and writes are ignored.
class CTxObj {
public:
    enum class Kind { kDouble, kBoolean, kLong, kString };
    struct CProperty {
        const char* name;
        RadioField field;
        Kind kind;
    };
    static const std::array<CProperty, 16> kProperties;

    explicit CTxObj(RadioRole role) : m_role(role) {}
    RadioRole GetRole() const { return m_role; }

    double GetDouble(RadioField field) const;
    void SetDouble(RadioField field, double value);
    bool GetBoolean(RadioField field) const;
    void SetBoolean(RadioField field, bool value);
    int32_t GetLong(RadioField field) const;
    void SetLong(RadioField field, int32_t value);
    std::string GetString(RadioField field) const;
    void SetString(RadioField field, const std::string& value);

private:
    RadioRole m_role;
};
