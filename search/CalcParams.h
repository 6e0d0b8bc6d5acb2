#pragma once

#include <string>
#include <vector>

class CDbfTable;

// What the calculation parameters dialog (275) asks before lengths or
// areas are written into a field: the field (by caption) and the unit, an
// index into the units of the mode.
struct CCalcParams {
    enum Mode { kLengths = 0, kAreas = 1 };
    int mode = kLengths;
    int unit = 0;
    std::string field;

    // "m", "km" for lengths; "kv. m", "kv. km" for areas.
    static std::vector<std::string> UnitTexts(int mode);
    // Every field of the table by its caption.
    static std::vector<std::string> FieldCaptions(const CDbfTable& table);
};
