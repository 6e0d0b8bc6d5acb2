#include "settings/widgets/MapPropSheet.h"

#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <QApplication>
#include <QPushButton>

namespace {

constexpr int kSheetCaption = 133;
constexpr int kCancelText = 3001;

} // namespace

CPropSheetMap::CPropSheetMap(CDrelDoc& document, QWidget* parent, int firstPage)
    : CPropertySheet(LoadString(kSheetCaption), parent),
      m_document(document),
      m_def(document),
      m_routes(document),
      m_streets(document),
      m_addresses(document)
{
    AddPage(&m_def);
    AddPage(&m_routes);
    AddPage(&m_streets);
    AddPage(&m_addresses);
    SetActivePage(firstPage);
}

void CPropSheetMap::OnInitDialog()
{
    CPropertySheet::OnInitDialog();
    GetCancelButton()->setText(ToQString(LoadString(kCancelText)));
}

void CPropSheetMap::ApplyToDocument() const
{
    m_routes.GetChoice().Apply(m_document);
    m_streets.GetChoice().Apply(m_document);
    m_addresses.GetChoice().Apply(m_document);
    WriteMapDefValues(m_def.GetValues(), m_document);
}

bool RunMapPropSheet(CDrelDoc& document)
{
    CPropSheetMap sheet(document, QApplication::activeWindow());
    if (sheet.DoModal() != IDOK)
        return false;
    sheet.ApplyToDocument();
    return true;
}
