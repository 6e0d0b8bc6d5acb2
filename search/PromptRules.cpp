#include "search/PromptRules.h"

#include "layers/Layer.h"
#include "settings/LayerSheetRules.h"

CLocalDateTime ArchiveStartTime(const CLocalDateTime& now)
{
    constexpr int kDaysBack = 7;
    CLocalDateTime start = now;
    if (IsValidCalendarDate(now.date.year, now.date.month, now.date.day))
        SerialToDate(DateToSerial(now.date.year, now.date.month, now.date.day) - kDaysBack, start.date);
    return start;
}

double ToDaySerial(const CLocalDateTime& time)
{
    constexpr double kSecondsPerDay = 86400;
    const int day = DateToSerial(time.date.year, time.date.month, time.date.day);
    return day + (time.hour * 3600 + time.minute * 60 + time.second) / kSecondsPerDay;
}

std::vector<std::string> SortFieldCaptions(const CLayer& layer)
{
    std::vector<std::string> captions;
    for (CFieldChoice& field : ChoosableFields(layer))
        captions.push_back(std::move(field.alias));
    return captions;
}

bool TakeSortField(const CLayer& layer, const std::string& caption, CRecordSortChoice& choice)
{
    if (caption.empty())
        return false;
    choice.field = layer.GetFieldName(caption);
    return true;
}
