#include "search/TableStatistics.h"

#include "core/DbfTable.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cfloat>

bool ComputeFieldStatistics(CDbfTable& table, const std::string& caption, bool emptyAsZero,
                            CFieldStatistics& statistics)
{
    statistics = {};
    const int field = table.FindField(caption);
    if (field < 0)
        return false;
    statistics.caption = table.GetFieldCaption(field);
    const char type = table.GetFieldType(field);
    const bool numeric = type == 'F' || type == 'N';
    double minimum = DBL_MAX, maximum = -DBL_MAX;
    std::string text;
    table.SetPosition(0);
    while (table.NextRecord()) {
        if (numeric) {
            table.GetFieldString(field, text);
            if (text.empty() && !emptyAsZero)
                continue;
            const double value = AtofC(text);
            statistics.sum += value;
            minimum = std::min(minimum, value);
            maximum = std::max(maximum, value);
        }
        ++statistics.count;
    }
    if (numeric && statistics.count > 0) {
        statistics.minimum = minimum;
        statistics.maximum = maximum;
    }
    const double mean = statistics.count > 0 ? statistics.sum / statistics.count : 0;
    statistics.mean = FormatC("%1.*f", table.GetFieldDecimals(field), mean);
    return true;
}
