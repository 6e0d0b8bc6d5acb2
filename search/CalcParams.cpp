#include "search/CalcParams.h"

#include "core/DbfTable.h"

std::vector<std::string> CCalcParams::UnitTexts(int mode)
{
    if (mode == kAreas)
        return {"kv. m", "kv. km"};
    return {"m", "km"};
}

std::vector<std::string> CCalcParams::FieldCaptions(const CDbfTable& table)
{
    std::vector<std::string> captions;
    for (int i = 0; i < table.GetFieldCount(); ++i)
        captions.push_back(table.GetFieldCaption(i));
    return captions;
}
