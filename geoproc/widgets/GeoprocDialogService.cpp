#include "geoproc/widgets/GeoprocDialogService.h"

#include "geoproc/BufferSaveRules.h"
#include "geoproc/widgets/BlockLayerDlg.h"
#include "geoproc/widgets/BufferSaveDlg.h"
#include "geoproc/widgets/BufferTypeDlg.h"
#include "geoproc/widgets/BufferZoneDlg.h"
#include "geoproc/widgets/ClassFieldsDlg.h"
#include "geoproc/widgets/CompareLayersDlg.h"
#include "geoproc/widgets/LayerBufferDlg.h"
#include "geoproc/widgets/MergeFieldsDlg.h"
#include "geoproc/widgets/OverlayDlg.h"
#include "geoproc/widgets/ResultLayerDlg.h"
#include "geoproc/widgets/SnapLayerDlg.h"
#include "geoproc/widgets/TopologyDlg.h"
#include "layers/Layer.h"
#include "platform/UserServices.h"
#include "settings/widgets/LayerChoiceDialogs.h"
#include "search/widgets/PromptDlgs.h"
#include "shell/widgets/ShellUserServices.h"
#include "shell/widgets/ToleranceDlg.h"

bool CGeoprocDialogService::AskResultLayer(int& choice)
{
    CResultLayerDlg dialog(choice, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    choice = dialog.GetChoice();
    return true;
}

bool CGeoprocDialogService::AskLayerBuffer(const CLayer& layer, double& radius)
{
    CLayerBufferDlg dialog(layer.GetName(), GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    radius = dialog.GetRadius();
    return true;
}

bool CGeoprocDialogService::AskBufferType(int& type)
{
    CBufferTypeDlg dialog(type, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    type = dialog.GetType();
    return true;
}

bool CGeoprocDialogService::AskTopology(CTopologyOptions& options)
{
    CTopologyDlg dialog(options, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    options = dialog.GetOptions();
    return true;
}

bool CGeoprocDialogService::AskTolerance(double& metres)
{
    CToleranceDlg dialog(GetUserServicesOwner());
    dialog.SetTolerance(metres);
    if (dialog.DoModal() != IDOK)
        return false;
    metres = dialog.GetTolerance();
    return true;
}

bool CGeoprocDialogService::AskOverlay(CDrelDoc& document, CLayer* active, COverlayChoice& choice)
{
    COverlayDlg dialog(document, active, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    choice = dialog.GetChoice();
    return true;
}

bool CGeoprocDialogService::AskClassFields(const CLayer& points, const CLayer& areas, std::string& pointField,
                                           std::string& areaField)
{
    CClassFieldsDlg dialog(points, areas, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    pointField = dialog.GetPointField();
    areaField = dialog.GetAreaField();
    return true;
}

bool CGeoprocDialogService::AskMergeFields(const CLayer& layer, std::string& fieldNames)
{
    CMergeFieldsDlg dialog(layer, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    fieldNames = dialog.GetFieldNames();
    return true;
}

bool CGeoprocDialogService::AskLayerChoice(CDrelDoc& document, CLayer*& layer)
{
    CLayerChoiceDlg dialog(&document, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK || !dialog.GetLayer())
        return false;
    layer = dialog.GetLayer();
    return true;
}

bool CGeoprocDialogService::AskSnapLayer(CDrelDoc& document, CLayer* active, CSnapLayerChoice& choice)
{
    CSnapLayerDlg dialog(document, active, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    choice = dialog.GetChoice();
    return true;
}

bool CGeoprocDialogService::AskStreetBlocks(CDrelDoc& document, const CLayer& streets, CStreetBlockChoice& choice)
{
    CBlockLayerDlg dialog(document, streets, choice, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    choice = dialog.GetChoice();
    return true;
}

bool CGeoprocDialogService::AskRadius(CBufferZoneSettings& settings)
{
    CBufferZoneDlg dialog(settings, GetUserServicesOwner());
    return dialog.DoModal() == IDOK && dialog.Apply(settings);
}

CLayer* CGeoprocDialogService::GetResultLayer(CDrelDoc& document)
{
    CBufferSaveDlg dialog(document, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return nullptr;
    return CBufferSaveRules::GetResultLayer(document);
}

bool CGeoprocDialogService::AskSortRecords(const CLayer& layer, CRecordSortChoice& choice)
{
    return ::AskSortRecords(layer, choice);
}

bool CGeoprocDialogService::AskCompareLayers(CDrelDoc& document, CLayer* active, CCompareChoice& choice)
{
    CCompareLayersDlg dialog(document, active, GetUserServicesOwner());
    if (dialog.DoModal() != IDOK)
        return false;
    choice = dialog.GetChoice();
    return true;
}
