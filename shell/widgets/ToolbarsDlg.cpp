#include "shell/widgets/ToolbarsDlg.h"

#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/CustomToolBar.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int kToolbarsDialog = 379;
constexpr int kToolbarList = 1014;
constexpr int kCustomizeButton = 1055;
} // namespace

CToolbarsDlg::CToolbarsDlg(const std::vector<CCustomToolBar*>& bars, QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kToolbarsDialog);
    setWindowTitle(QString::fromUtf8("Įrankių juostos"));
    for (CCustomToolBar* bar : bars)
        if (bar && static_cast<int>(m_bars.size()) < kMaxToolbars)
            m_bars.emplace_back(bar);

    m_list = new QListWidget(this);
    SetControlId(m_list, kToolbarList);
    m_list->setMinimumSize(220, 200);
    m_customize = new QPushButton(QString::fromUtf8("Priderinti..."), this);
    SetControlId(m_customize, kCustomizeButton);
    m_customize->setAutoDefault(false);
    auto* close = new QPushButton(QString::fromUtf8("Uždaryti"), this);
    SetControlId(close, IDOK);
    close->setDefault(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(close);
    buttons->addWidget(m_customize);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
}

void CToolbarsDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    for (const QPointer<CCustomToolBar>& bar : m_bars) {
        auto* item = new QListWidgetItem(bar->windowTitle(), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(bar->isVisible() ? Qt::Checked : Qt::Unchecked);
    }
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { OnCheckChanged(m_list->row(item)); });
    connect(m_list, &QListWidget::currentRowChanged, this, &CToolbarsDlg::OnSelectionChanged);
    connect(m_customize, &QPushButton::clicked, this, &CToolbarsDlg::OnCustomize);
    OnSelectionChanged();
    adjustSize();
    if (const QWidget* owner = parentWidget())
        move(owner->frameGeometry().center() - rect().center());
    else if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void CToolbarsDlg::OnCheckChanged(int row)
{
    if (row < 0 || row >= static_cast<int>(m_bars.size()) || !m_bars[row])
        return;
    m_bars[row]->setVisible(m_list->item(row)->checkState() == Qt::Checked);
}

void CToolbarsDlg::OnSelectionChanged()
{
    const int row = m_list->currentRow();
    const bool customisable =
        row >= 0 && row < static_cast<int>(m_bars.size()) && m_bars[row] && m_bars[row]->IsCustomisable();
    m_customize->setEnabled(customisable);
}

void CToolbarsDlg::OnCustomize()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= static_cast<int>(m_bars.size()) || !m_bars[row])
        return;
    QWidget* focused = focusWidget();
    setEnabled(false);
    m_bars[row]->Customize();
    setEnabled(true);
    if (focused)
        focused->setFocus();
}
