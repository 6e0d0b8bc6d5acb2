#pragma once

#include "gps/GpsFix.h"
#include "gps/TripStatistics.h"
#include "platform/SerialDevice.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// ---------------------------------------------------------- status window

// "7 - OK" with satellites in use; the status alone ("OK", "NOK" for an
// invalid fix) when none are reported.
std::string FormatFixStatus(int satellites, bool valid);

// What the GPS status window (330) shows of a fix, code page 1257; the
// time and date are moved by the correction in hours.
struct CGpsStatusTexts {
    std::string longitude, latitude, speed, course, time, status, date;
};
CGpsStatusTexts FormatGpsStatus(const GpsFix& fix, int correctionHours);

// The status window's trip figures in the order of FormatTripSummary.
constexpr std::array<int, 8> kTripFigureIds = {1065, 1066, 1069, 1070, 1100, 1101, 1071, 1072};

// ---------------------------------------------------------- terminal

// The terminal window's text: the port's pieces, separated by NUL bytes,
// joined by one blank; only the newest kCapacity bytes are kept.
class CTerminalText {
public:
    static constexpr size_t kCapacity = 64 * 1024;

    // True when text was dropped at the front (the whole text must be
    // shown anew); else Text() grew by the pieces at its end.
    bool Append(std::string_view pieces);
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

// ---------------------------------------------------------- port parameters

// The lists of the port-parameters dialog (201) as the port's settings
// keep them. An index of -1 is a list without a selection.
struct CPortChoice {
    int port = -1;       // "<None>", "COM1" to "COM12": the port number
    int baudRate = -1;   // kBaudRates
    int byteSize = -1;   // "4" to "8"
    int parity = -1;     // "None", "Even", "Odd", "Mark", "Space"
    int stopBits = -1;   // "1", "1.5", "2": the code
    int flowControl = -1; // "None", "Xon/Xoff", "RTS/CTS": the code
};

constexpr int kPortEntries = 13; // "<None>" and COM1 to COM12
constexpr std::array<unsigned, 12> kBaudRates = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200};
constexpr std::array<const char*, 5> kParityTexts = {"None", "Even", "Odd", "Mark", "Space"};
constexpr std::array<const char*, 3> kStopBitTexts = {"1", "1.5", "2"};
constexpr std::array<const char*, 3> kFlowControlTexts = {"None", "Xon/Xoff", "RTS/CTS"};
constexpr int kFirstByteSize = 4, kLastByteSize = 8;

// The entries the stored settings select; a value no entry stands for
// selects none.
CPortChoice PortChoiceFromSettings(int port, const SerialLineSettings& line);
// The selections into the settings; a list without one keeps its value.
void ApplyPortChoice(const CPortChoice& choice, int& port, SerialLineSettings& line);

// ---------------------------------------------------------- time correction

// The entries of the UTC correction list (257): "UTC", "UTC+01:00" to
// "UTC+12:00", "UTC-01:00" to "UTC-12:00".
constexpr int kTimeCorrectionEntries = 25;
// The text of entry 0 to 24.
std::string TimeCorrectionText(int entry);
// -1 for a correction outside -12 to 12 hours.
int TimeCorrectionEntry(int hours);
// The hours of an entry; the current ones for an entry outside the list.
int TimeCorrectionFromEntry(int entry, int current);
