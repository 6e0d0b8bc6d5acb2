#include "settings/widgets/FilterListPage.h"

#include "layers/Layer.h"
#include "platform/QtText.h"
#include "settings/BaseScales.h"
#include "settings/widgets/SheetControls.h"

#include <QListWidget>

namespace {

constexpr int kPageNumber = 4;

} // namespace

CFilterListPage::CFilterListPage(std::string caption, CLayerPropSheet& sheet)
    : CLayerSheetPage(std::move(caption), sheet)
{
}

void CFilterListPage::MakeList(const char* removeAllText)
{
    m_list = WithId(kConditionList, new QListWidget(this));
    auto* remove = MakeButton(this, kRemoveButton, "&Pašalinti");
    auto* removeAll = MakeButton(this, kRemoveAllButton, removeAllText);
    connect(remove, &QPushButton::clicked, this, [this] { ShowRows(m_conditions.Remove(GetSelectedRow())); });
    connect(removeAll, &QPushButton::clicked, this, [this] {
        m_conditions.RemoveAll();
        ShowRows(-1);
    });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { OnSelectionChanged(); });
    m_conditions.Load(Layer().GetFilter(), Layer());
}

bool CFilterListPage::OnKillActive()
{
    if (!CLayerSheetPage::OnKillActive())
        return false;
    SetLastLayerSheetPage(kPageNumber);
    return true;
}

void CFilterListPage::OnOK()
{
    if (m_conditions.IsChanged())
        Layer().SetFilter(m_conditions.GetFilterText());
}

void CFilterListPage::ShowRows(int selected)
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (int row = 0; row < m_conditions.GetCount(); ++row)
        m_list->addItem(ToQString(m_conditions.GetDisplay(row)));
    m_list->setCurrentRow(selected);
    OnSelectionChanged();
}

int CFilterListPage::GetSelectedRow() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item && item->isSelected() ? m_list->row(item) : -1;
}
