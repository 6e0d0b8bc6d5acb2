#pragma once

#include <cfloat>
#include <string>

class CDC;
class CDrelView;
class CSerialPort;

// Point symbols of the vehicle marker.
enum VehicleSymbol : int {
    kSymbolGpsLost = 118,
    kSymbolVehicleCentre = 119,
    kSymbolVehicleNoCourse = 121,
};

// The vehicle at a position in decimal degrees: nothing when the position
// is unset or outside the view's extent; symbol 118 when lost is set,
// symbol 121 for a negative course; else a red arrowhead pointing along
// the course (degrees clockwise from north), its tip 19 pixels from the
// point, and symbol 119 on the point.
void DrawVehicleMarker(CDC& dc, CDrelView& view, double longitude, double latitude, double course, int lost);

// The vehicle another program places on the map through automation. Only
// the position and the course ever change; the speed and the time keep
// their first values, and the emulated sentences carry them as they are.
class CVehicleMarker {
public:
    // Local calendar time of the emulated fix.
    struct CTime {
        int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    };

    bool IsSet() const { return m_longitude != DBL_MAX; }
    double GetLongitude() const { return m_longitude; }
    double GetLatitude() const { return m_latitude; }
    double GetCourse() const { return m_course; }
    double GetSpeed() const { return m_speed; }

    // With follow (its low 16 bits) the active map keeps the point in view,
    // the best linked map opened first when needed, and every map view
    // repaints; without it the best open view shows the point centred.
    void Show(double longitude, double latitude, double course, int follow);
    // Unsets the position and repaints every map view; a hidden marker is
    // left alone.
    void Hide();
    void Draw(CDC& dc, CDrelView& view) const;

    // The "$GPRMC" sentence of the marker with its CR LF, no checksum;
    // empty while the position is unset.
    std::string RmcSentence() const;
    // Writes the sentence when the port is open and the position set;
    // a failed write waits for the next tick.
    void SendRmcSentence(CSerialPort& port) const;

private:
    double m_longitude = DBL_MAX;
    double m_latitude = DBL_MAX;
    double m_speed = 0;
    double m_course = -1;
    CTime m_time;
};
