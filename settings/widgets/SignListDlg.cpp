#include "settings/widgets/SignListDlg.h"

#include "platform/UserServices.h"
#include "render/SymbolLibrary.h"
#include "settings/PointSymbolRules.h"
#include "settings/widgets/SheetControls.h"
#include "settings/widgets/SymbolListBox.h"

#include <QVBoxLayout>

namespace {

constexpr int kSymbolList = 1072;

} // namespace

CSignListDlg::CSignListDlg(int symbol, QWidget* parent)
    : CDialogBase(parent), m_symbol(symbol), m_list(WithId(kSymbolList, new CSymbolListBox(this)))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Sutartiniai ženklai"));
    // Six rows of symbols, nine columns in sight.
    m_list->setMinimumSize(9 * kSymbolItemSize + 4, 6 * kSymbolItemSize + 4 + 16);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(MakeOkCancelRow());
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_symbol = m_list->GetSymbol(m_list->row(item));
        EndDialog(IDOK);
    });
}

void CSignListDlg::OnInitDialog()
{
    m_list->Fill(SymbolLibrary());
    m_list->SelectSymbol(m_symbol);
    CDialogBase::OnInitDialog();
}

void CSignListDlg::OnOK()
{
    m_symbol = m_list->GetSelectedSymbol();
    EndDialog(IDOK);
}

bool RunSignList(int& symbol, QWidget* parent)
{
    CSignListDlg dialog(symbol, parent);
    if (dialog.DoModal() != IDOK)
        return false;
    symbol = dialog.m_symbol;
    return true;
}
