#include "search/widgets/FindSheet.h"

#include "platform/QtText.h"
#include "platform/Strings.h"
#include "search/FindState.h"

#include <QPushButton>

CDlgFindPropertySheet::CDlgFindPropertySheet(CDrelView& view, QWidget* parent)
    : CPropertySheet(LoadString(kCaption), parent),
      m_objectPage(view),
      m_addressPage(view),
      m_textPage(view),
      m_coordPage(view)
{
    AddPage(&m_objectPage);
    AddPage(&m_addressPage);
    AddPage(&m_textPage);
    AddPage(&m_coordPage);
    SetActivePage(FindState().lastPage);
}

void CDlgFindPropertySheet::OnInitDialog()
{
    CPropertySheet::OnInitDialog();
    GetOkButton()->setEnabled(false);
    GetOkButton()->hide();
    GetCancelButton()->setText(ToQString(LoadString(kCloseText)));
    if (QWidget* parent = parentWidget())
        move(parent->mapToGlobal(parent->contentsRect().topLeft()));
}

void RunFindSheet(CDrelView& view, QWidget* parent)
{
    CDlgFindPropertySheet sheet(view, parent);
    sheet.DoModal();
}
