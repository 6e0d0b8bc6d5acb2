#include "settings/widgets/SettingsClassEditDialogs.h"

#include "platform/UserServices.h"
#include "settings/widgets/AreaStyleDlg.h"
#include "settings/widgets/DlgSymbols.h"
#include "settings/widgets/LineStyleDlg.h"
#include "settings/widgets/ThemeDialogs.h"

#include <QApplication>

QWidget* CSettingsClassEditDialogs::Parent()
{
    return QApplication::activeWindow();
}

bool CSettingsClassEditDialogs::EditFieldValue(std::string& value)
{
    CFieldValueDlg dialog(value, Parent());
    if (dialog.DoModal() != IDOK)
        return false;
    value = dialog.GetValue();
    return true;
}

bool CSettingsClassEditDialogs::EditFieldRange(std::string& from, std::string& to)
{
    CFieldRangeDlg dialog(from, to, Parent());
    if (dialog.DoModal() != IDOK)
        return false;
    from = dialog.GetFrom();
    to = dialog.GetTo();
    return true;
}

bool CSettingsClassEditDialogs::EditPointStyle(CPointStyle& style)
{
    return RunDlgSymbols(style, Parent());
}

bool CSettingsClassEditDialogs::EditLineStyle(CDrawStyle::Line& first, CDrawStyle::Line& second, bool& doubleLine)
{
    CLineStyleDlg dialog(Parent());
    dialog.Values() = CLineStyleValues{first, second, doubleLine};
    if (dialog.DoModal() != IDOK)
        return false;
    first = dialog.Values().first;
    second = dialog.Values().second;
    doubleLine = dialog.Values().doubleLine;
    return true;
}

bool CSettingsClassEditDialogs::EditAreaStyle(CDrawStyle& style)
{
    return RunAreaStyleDlg(style, Parent());
}
