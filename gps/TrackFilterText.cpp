#include "gps/TrackFilterText.h"

#include "gps/GpsFix.h"
#include "layers/Layer.h"
#include "platform/NumberText.h"

#include <cstdio>

namespace {

using Day = CTrackFilterValues::Day;
using TimeOfDay = CTrackFilterValues::TimeOfDay;

// The text behind the key and one skipped character (the opening quote);
// empty when the key is not there.
std::string Behind(std::string_view filter, std::string_view key)
{
    const size_t at = filter.find(key);
    if (at == std::string_view::npos || at + key.size() + 1 > filter.size())
        return {};
    return std::string(filter.substr(at + key.size() + 1));
}

void ReadDay(const std::string& text, Day& day)
{
    Day read;
    if (std::sscanf(text.c_str(), "%d.%d.%d", &read.year, &read.month, &read.day) == 3 &&
        IsValidDate(read.year, read.month, read.day))
        day = read;
}

void ReadTime(const std::string& text, TimeOfDay& time)
{
    TimeOfDay read;
    if (std::sscanf(text.c_str(), "%d:%d:%d", &read.hour, &read.minute, &read.second) == 3 && read.hour >= 0 &&
        read.hour < 24 && read.minute >= 0 && read.minute < 60 && read.second >= 0 && read.second < 60)
        time = read;
}

// One end of the time range: "(Date > D) .OR. (Date = D) .AND. (Time >= T)"
// in parentheses, with the operators of the end.
std::string RangePart(const char* dateOperator, const char* timeOperator, const Day& day, const TimeOfDay& time)
{
    const std::string d = FormatC("\"%04d.%02d.%02d\"", day.year, day.month, day.day);
    const std::string t = FormatC("\"%02d:%02d:%02d\"", time.hour, time.minute, time.second);
    return FormatC("((Date %s %s) .OR. (Date = %s) .AND. (Time %s %s))", dateOperator, d.c_str(), d.c_str(),
                   timeOperator, t.c_str());
}

} // namespace

CTrackFilterValues ReadTrackFilter(std::string_view filter, uint32_t flags, Day today)
{
    CTrackFilterValues values;
    values.fromDay = today;
    values.toDay = today;
    constexpr std::string_view kStatus = "Status = ";
    if (const size_t at = filter.find(kStatus); at != std::string_view::npos) {
        values.status = true;
        values.statusOk = filter.substr(at + kStatus.size(), 4) == "\"OK\"";
    }
    for (const bool from : {true, false}) {
        const char* dateKey = from ? "Date > " : "Date < ";
        const char* timeKey = from ? "Time >= " : "Time <= ";
        if (filter.find(dateKey) == std::string_view::npos || filter.find(timeKey) == std::string_view::npos)
            continue;
        (from ? values.from : values.to) = true;
        ReadDay(Behind(filter, dateKey), from ? values.fromDay : values.toDay);
        ReadTime(Behind(filter, timeKey), from ? values.fromTime : values.toTime);
    }
    values.lastRecordOnly = (flags & CLayer::kNewestRecordOnly) != 0;
    return values;
}

std::string TrackFilterText(const CTrackFilterValues& values)
{
    std::string text;
    auto join = [&text](const std::string& part) {
        if (!text.empty())
            text += " .AND. ";
        text += part;
    };
    if (values.status)
        join(values.statusOk ? "(Status = \"OK\")" : "(Status = \"NOK\")");
    if (values.from)
        join(RangePart(">", ">=", values.fromDay, values.fromTime));
    if (values.to)
        join(RangePart("<", "<=", values.toDay, values.toTime));
    return text;
}

CTrackFilterValues ReadTrackFilter(const CLayer& layer, Day today)
{
    return ReadTrackFilter(layer.GetFilter(), layer.GetFlags(), today);
}

void WriteTrackFilter(const CTrackFilterValues& values, CLayer& layer)
{
    layer.SetFilter(TrackFilterText(values));
    layer.SetFlag(CLayer::kNewestRecordOnly, values.lastRecordOnly);
}
