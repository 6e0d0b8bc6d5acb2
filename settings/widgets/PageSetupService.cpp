#include "settings/widgets/PageSetupService.h"

#include "platform/DC.h"
#include "platform/UserServices.h"
#include "settings/widgets/PageSetupDlg.h"
#include "settings/widgets/TablePageSetupDlg.h"

#include <QApplication>
#include <QPrinter>

bool CPageSetupService::EditTableSetup() const
{
    CTablePageSetupDlg dialog(m_setup, QApplication::activeWindow());
    return dialog.DoModal() == IDOK;
}

bool CPageSetupService::EditPageSetup(QWidget* parent)
{
    CPageSetupDlg dialog(m_setup, parent);
    return dialog.DoModal() == IDOK;
}

void CPageSetupService::SetPrintAreaFrom(QPrinter* printer)
{
    if (!printer) {
        m_setup.SetPrintArea(m_setup.GetPrintAreaSize(nullptr));
        return;
    }
    CDC probe;
    probe.SetDeviceInfo(CDC::DescribeDevice(*printer));
    m_setup.SetPrintArea(m_setup.GetPrintAreaSize(&probe));
}

CPageSetupService& PageSetupService()
{
    static CPageSetupService service;
    return service;
}
