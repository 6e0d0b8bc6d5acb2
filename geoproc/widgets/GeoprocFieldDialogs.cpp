// The questions of the operations that write into fields, import
// attributes and make the coordinate grid; most are the dialogs of the
// settings and search folders.
#include "geoproc/widgets/GeoprocDialogService.h"

#include "geoproc/CoordGrid.h"
#include "geoproc/widgets/CoordGridDlg.h"
#include "mapdoc/DrelDoc.h"
#include "platform/UserServices.h"
#include "search/widgets/CalcParamsDlg.h"
#include "search/widgets/WriteCoordsDlg.h"
#include "settings/widgets/ImportDialogs.h"
#include "shell/widgets/ShellUserServices.h"

#include <memory>

bool CGeoprocDialogService::AskCalcParams(const CDbfTable& table, CCalcParams& params)
{
    return ::AskCalcParams(table, params);
}

bool CGeoprocDialogService::AskWriteCoords(const CDbfTable& table, bool lines, CWriteCoordsRules::Choice& choice)
{
    std::unique_ptr<CWriteCoordsDlgBase> dialog;
    if (lines)
        dialog = std::make_unique<CWriteCoordsTransformDlg>(table, GetUserServicesOwner());
    else
        dialog = std::make_unique<CWriteCoordsDlg>(table, GetUserServicesOwner());
    if (dialog->DoModal() != IDOK)
        return false;
    choice = dialog->GetChoice();
    return true;
}

bool CGeoprocDialogService::AskImportParams(CDrelDoc& document, CLayer* active, const std::string& path,
                                            CLayer*& layer, int& mode)
{
    CImportParamsDlg dialog(document.Layers(), active, path, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    layer = dialog.GetLayer();
    mode = dialog.GetMode();
    return true;
}

bool CGeoprocDialogService::AskImportKeys(const CDbfTable& layerTable, const CDbfTable& importTable,
                                          CImportKeys& keys)
{
    CImportKeysDlg dialog(layerTable, importTable, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    keys.layerKey = dialog.GetLayerKey();
    keys.importKey = dialog.GetImportKey();
    keys.dosText = dialog.GetDosText();
    return true;
}

void CGeoprocDialogService::ShowImportReport(const std::string& skipped, const std::string& values)
{
    CImportInfoDlg dialog(skipped, values, GetUserServicesOwner());
    dialog.DoModal();
}

bool CGeoprocDialogService::AskCoordGrid(bool geographic, CCoordGridParams& params)
{
    CCoordGridDlg dialog(geographic, params, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    params = dialog.GetParams();
    return true;
}
