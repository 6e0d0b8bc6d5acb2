#include "search/CoordTransform.h"

#include "core/CoordConverter.h"
#include "core/LatLonText.h"
#include "core/MapPoint.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"

#include <cmath>
#include <memory>

namespace {

const CCoordTransformEntry kEntries[kCoordTransformEntryCount] = {
    {"WGS-84 (DD°MM'SS.SS\")", kCoordGeographic, true, 0, 0, "E024°00'00.00\" N56°00'00.00\""},
    {"WGS-84 (DD°MM.MMMM')", kCoordGeographic, true, 0, 0, "E024°00.0000' N56°00.0000'"},
    {"WGS-84 (DD.DDDDDD)", kCoordGeographic, true, 0, 0, "24.000000 56.000000"},
    {"LKS-94", kCoordTm, false, 0, 1000000, "500000 6207321"},
    {"UTM", kCoordUtm, false, 0, 61000000, "35300000 6210141"},
    {"LKS-92 (Latvijos)", kCoordTm96, false, 0, 61000000, "500000 6507321"},
    {"Vietinė (Šiaulių)", kCoordLocal, false, -10000, 16000, "0 0"},
};

// The first two blank-separated words; how many there were (up to 3).
int SplitWords(std::string_view line, std::string_view words[2])
{
    int count = 0;
    size_t i = 0;
    while (count < 3) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == line.size())
            break;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (count < 2)
            words[count] = line.substr(start, i - start);
        ++count;
    }
    return count;
}

// A word that begins with a number; false for anything else.
bool ReadNumber(std::string_view word, double& value)
{
    size_t used = 0;
    value = ParseDoubleC(word, &used);
    return used > 0 && std::isfinite(value);
}

bool InRange(double value, double low, double high)
{
    return value >= low && value <= high;
}

bool IsGeographicPoint(const CMapPoint& p)
{
    return InRange(p.x, -180, 180) && InRange(p.y, -90, 90);
}

enum class LineResult { kPoint, kNoPoint, kStop };

// The point of one source line in the source's system.
LineResult ReadSourcePoint(const CCoordTransformEntry& source, std::string_view words[2], CMapPoint& p)
{
    if (!source.geographic) {
        if (!ReadNumber(words[0], p.x) || !ReadNumber(words[1], p.y) || !InRange(p.x, source.firstMin, source.firstMax))
            return LineResult::kNoPoint;
        return LineResult::kPoint;
    }
    if (!ParseDegreesText(words[0], 'E', 'W', p.x))
        return LineResult::kStop;
    if (!ParseDegreesText(words[1], 'N', 'S', p.y) || !IsGeographicPoint(p))
        return LineResult::kNoPoint;
    return LineResult::kPoint;
}

// The output line of a converted point; empty when it lies outside the target's range.
std::string FormatTargetPoint(int to, const CCoordTransformEntry& target, const CMapPoint& p)
{
    if (!target.geographic) {
        if (!InRange(p.x, target.firstMin, target.firstMax) || !std::isfinite(p.y))
            return {};
        return FormatC("%4.2f %4.2f", p.x, p.y);
    }
    if (!IsGeographicPoint(p))
        return {};
    if (to == 2)
        return FormatC("%8.6f %8.6f", p.x, p.y);
    const int form = to == 0 ? 8 : 9;
    return p.FormatLongitude(form) + ' ' + p.FormatLatitude(form);
}

} // namespace

const CCoordTransformEntry* CoordTransformEntry(int index)
{
    return index >= 0 && index < kCoordTransformEntryCount ? &kEntries[index] : nullptr;
}

std::string CoordTransformSample(int entry, bool english)
{
    const CCoordTransformEntry* e = CoordTransformEntry(entry);
    if (!e)
        return {};
    return Utf8ToCp1257(e->sample) + (english ? " (sample)" : " (pavyzdys)");
}

bool TakesCoordTransformSample(bool modifiedByUser, size_t length)
{
    return !(modifiedByUser && length > 2);
}

bool TransformCoordLines(std::string_view text, int from, int to, std::vector<std::string>& lines)
{
    const CCoordTransformEntry* source = CoordTransformEntry(from);
    const CCoordTransformEntry* target = CoordTransformEntry(to);
    if (!source || !target)
        return false;
    lines.clear();
    // None between entries of one system: their points pass unchanged.
    const std::unique_ptr<CCoordConverter> converter = CreateCoordConverter(source->system, target->system);
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = line.substr(0, kCoordTransformLineLength);
        if (line.size() < kCoordTransformShortestLine)
            break;
        std::string_view words[2];
        const int count = SplitWords(line, words);
        if (count == 0)
            continue;
        if (count == 1) {
            lines.emplace_back(kCoordTransformStars);
            continue;
        }
        CMapPoint p;
        const LineResult read = ReadSourcePoint(*source, words, p);
        if (read == LineResult::kStop)
            break;
        std::string output;
        if (read == LineResult::kPoint) {
            if (converter)
                converter->ConvertPoint(p);
            output = FormatTargetPoint(to, *target, p);
        }
        lines.push_back(output.empty() ? std::string(kCoordTransformStars) : std::move(output));
    }
    return true;
}
