#include "settings/ImportRules.h"

#include "core/CoordConverter.h"
#include "core/DbfTable.h"
#include "platform/UserServices.h"

namespace {

enum ImportMessage : int {
    kNoLayerChosen = 1039,
    kBadTransformation = 1040,
};

bool IsSystem(int code)
{
    return code >= 0 && code < kImportCoordSystemCount;
}

} // namespace

std::vector<std::string> TableFieldNames(const CDbfTable& table)
{
    std::vector<std::string> names;
    for (int i = 0; i < table.GetFieldCount(); ++i)
        names.push_back(table.GetFieldName(i));
    return names;
}

std::vector<std::string> KeyFieldNames(const CDbfTable& table)
{
    std::vector<std::string> names;
    for (int i = 0; i < table.GetFieldCount(); ++i) {
        const char type = table.GetFieldType(i);
        if (type == 'C' || type == 'F' || type == 'N')
            names.push_back(table.GetFieldName(i));
    }
    return names;
}

bool CheckLayerImportValues(const CLayerImportValues& values)
{
    if (values.mode == 1 && values.layerName.empty()) {
        AppMessageBox(kNoLayerChosen, MB_OK | MB_ICONWARNING);
        return false;
    }
    if (values.transform && (!IsSystem(values.fromSystem) || !IsSystem(values.toSystem))) {
        AppMessageBox(kBadTransformation, MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

std::unique_ptr<CCoordConverter> MakeImportConverter(const CLayerImportValues& values)
{
    if (!values.transform || !IsSystem(values.fromSystem) || !IsSystem(values.toSystem))
        return nullptr;
    return CreateCoordConverter(values.fromSystem, values.toSystem);
}
