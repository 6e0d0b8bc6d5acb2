#include "gps/GpsWindowRules.h"

#include "core/MapPoint.h"
#include "platform/NumberText.h"

#include <algorithm>

namespace {
// The list names even parity before odd, the codes odd first: the one
// table maps entries to codes and back.
constexpr int kParitySwap[] = {0, 2, 1, 3, 4};
} // namespace

std::string FormatFixStatus(int satellites, bool valid)
{
    const char* status = valid ? "OK" : "NOK";
    return satellites < 1 ? std::string(status) : FormatC("%d - %s", satellites, status);
}

CGpsStatusTexts FormatGpsStatus(const GpsFix& fix, int correctionHours)
{
    CGpsStatusTexts texts;
    texts.status = FormatFixStatus(fix.satellites, fix.valid != 0);
    texts.time = FormatFixTime(fix.time, "%H:%M:%S", correctionHours);
    texts.date = FormatFixTime(fix.time, "%Y.%m.%d", correctionHours);
    texts.course = FormatC("%1.0lf\xB0", fix.course);
    texts.speed = FormatC("%1.0lf km/h", fix.speed);
    if (fix.HasPosition()) {
        const CMapPoint position(fix.longitude, fix.latitude);
        texts.longitude = position.FormatLongitude(0);
        texts.latitude = position.FormatLatitude(0);
    }
    return texts;
}

bool CTerminalText::Append(std::string_view pieces)
{
    for (size_t start = 0;;) {
        const size_t end = pieces.find('\0', start);
        m_text.append(pieces.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            break;
        m_text += ' ';
        start = end + 1;
    }
    if (m_text.size() <= kCapacity)
        return false;
    m_text.erase(0, m_text.size() - kCapacity);
    return true;
}

CPortChoice PortChoiceFromSettings(int port, const SerialLineSettings& line)
{
    auto entry = [](int value, int first, int count) { return value >= first && value < first + count ? value - first : -1; };
    CPortChoice choice;
    choice.port = entry(port, 0, kPortEntries);
    const auto rate = std::find(kBaudRates.begin(), kBaudRates.end(), line.baudRate);
    choice.baudRate = rate == kBaudRates.end() ? -1 : static_cast<int>(rate - kBaudRates.begin());
    choice.byteSize = entry(line.byteSize, kFirstByteSize, kLastByteSize - kFirstByteSize + 1);
    choice.parity = line.parity >= 0 && line.parity < 5 ? kParitySwap[line.parity] : -1;
    choice.stopBits = entry(line.stopBits, 0, static_cast<int>(kStopBitTexts.size()));
    choice.flowControl = entry(line.flowControl, 0, static_cast<int>(kFlowControlTexts.size()));
    return choice;
}

void ApplyPortChoice(const CPortChoice& choice, int& port, SerialLineSettings& line)
{
    auto chosen = [](int index, int count) { return index >= 0 && index < count; };
    if (chosen(choice.port, kPortEntries))
        port = choice.port;
    if (chosen(choice.baudRate, static_cast<int>(kBaudRates.size())))
        line.baudRate = kBaudRates[static_cast<size_t>(choice.baudRate)];
    if (chosen(choice.byteSize, kLastByteSize - kFirstByteSize + 1))
        line.byteSize = choice.byteSize + kFirstByteSize;
    if (chosen(choice.parity, static_cast<int>(kParityTexts.size())))
        line.parity = kParitySwap[choice.parity];
    if (chosen(choice.stopBits, static_cast<int>(kStopBitTexts.size())))
        line.stopBits = choice.stopBits;
    if (chosen(choice.flowControl, static_cast<int>(kFlowControlTexts.size())))
        line.flowControl = choice.flowControl;
}

std::string TimeCorrectionText(int entry)
{
    if (entry <= 0 || entry >= kTimeCorrectionEntries)
        return "UTC";
    return entry <= 12 ? FormatC("UTC+%02d:00", entry) : FormatC("UTC-%02d:00", entry - 12);
}

int TimeCorrectionEntry(int hours)
{
    if (hours < -12 || hours > 12)
        return -1;
    return hours >= 0 ? hours : 12 - hours;
}

int TimeCorrectionFromEntry(int entry, int current)
{
    if (entry < 0 || entry >= kTimeCorrectionEntries)
        return current;
    return entry <= 12 ? entry : 12 - entry;
}
