#include "settings/widgets/DlgSymbIcon.h"

#include "layers/PointStyle.h"
#include "render/SymbolLibrary.h"
#include "settings/PointSymbolRules.h"
#include "settings/widgets/DlgSymbols.h"
#include "settings/widgets/SheetControls.h"
#include "settings/widgets/SymbolListBox.h"

#include <QVBoxLayout>

namespace {

constexpr int kSymbolList = 1072;

CPointStyle LibraryStyle(uint16_t symbol)
{
    CPointStyle style = CPointStyle::Default();
    style.symbol = symbol;
    return style;
}

} // namespace

CDlgSymbIcon::CDlgSymbIcon() : CPropertyPage("Piktograma"), m_symbol(kNoSymbol)
{
    SetControlId(this, kDialogId);
}

void CDlgSymbIcon::OnInitDialog()
{
    m_list = WithId(kSymbolList, new CSymbolListBox(this));
    m_list->setMinimumSize(8 * kSymbolItemSize + 4, 7 * kSymbolItemSize + 4 + 16);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    m_list->Fill(SymbolLibrary());
    m_list->SelectSymbol(m_symbol);
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] { OnChosen(false); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { OnChosen(true); });
    CPropertyPage::OnInitDialog();
}

void CDlgSymbIcon::OnSetActive()
{
    CPropertyPage::OnSetActive();
    if (m_symbol != kNoSymbol)
        ShowInSymbolSheet(*this, LibraryStyle(m_symbol));
}

void CDlgSymbIcon::OnChosen(bool close)
{
    const int symbol = m_list->GetSelectedSymbol();
    if (symbol < 0)
        return;
    m_symbol = static_cast<uint16_t>(symbol);
    ShowInSymbolSheet(*this, LibraryStyle(m_symbol));
    if (close)
        CloseSymbolSheet(*this);
}
