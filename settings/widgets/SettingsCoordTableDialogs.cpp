#include "settings/widgets/SettingsCoordTableDialogs.h"

#include "platform/UserServices.h"
#include "settings/widgets/ImportDialogs.h"

#include <QApplication>

bool CSettingsCoordTableDialogs::AskCoordinateFields(const CDbfTable& table, const std::string& path,
                                                     CFieldChoice& choice)
{
    CDbfImportDlg dialog(table, path, QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    choice.xField = dialog.GetXField();
    choice.yField = dialog.GetYField();
    choice.dosText = dialog.GetDosText();
    return true;
}

bool CSettingsDosGdbImportDialog::AskMapFile(const std::string& tablePath, std::string& mapPath)
{
    CDosGdbImportDlg dialog(tablePath, mapPath, QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    mapPath = dialog.GetMapPath();
    return true;
}
