#pragma once

#include <memory>
#include <string>
#include <vector>

class CCoordConverter;
class CDbfTable;

// The rules of the import dialogs apart from their windows.

// Every field of the table by name, in table order (dialog 178's combos).
std::vector<std::string> TableFieldNames(const CDbfTable& table);
// The fields that can be keys, of types C, F and N (dialog 30784).
std::vector<std::string> KeyFieldNames(const CDbfTable& table);

// Dialog 194 converts between the coordinate systems of codes 0 to 4:
// geographic (WGS-84), LKS-94, UTM, LKS-92 and local (Šiauliai).
constexpr int kImportCoordSystemCount = 5;

// What dialog 194 hands back on OK.
struct CLayerImportValues {
    int mode = 0; // 0 a new layer, 1 attached to the named layer
    std::string layerName;
    bool transform = false;
    int fromSystem = -1;
    int toSystem = -1;
};
// False after the message: attaching without a layer (1039), transforming
// without both systems (1040).
bool CheckLayerImportValues(const CLayerImportValues& values);
// The converter from the first system to the second while transforming;
// else none (nor for one system to itself).
std::unique_ptr<CCoordConverter> MakeImportConverter(const CLayerImportValues& values);
