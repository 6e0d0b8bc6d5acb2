#include "settings/widgets/LayerFilterPage1.h"

#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DlgItems.h"

#include <QGridLayout>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

constexpr int kEditButton = 1024;
constexpr int kAndButton = 1047;
constexpr int kOrButton = 1048;
constexpr int kNewButton = 1078;

} // namespace

CLayerFilterPage1::CLayerFilterPage1(CLayerPropSheet& sheet) : CFilterListPage("Filtras", sheet) {}

void CLayerFilterPage1::OnInitDialog()
{
    MakeList("Paša&linti filtrą");
    auto* buttons = new QVBoxLayout;
    const auto add = [&](int id, const char* text, auto handler) {
        auto* button = MakeButton(this, id, text);
        connect(button, &QPushButton::clicked, this, handler);
        buttons->addWidget(button);
    };
    add(kNewButton, "&Naujas...", [this] { OnNew(); });
    add(kAndButton, "<&IR>...", [this] { OnAppend(CFilterCondition::kAnd); });
    add(kOrButton, "<&ARBA>...", [this] { OnAppend(CFilterCondition::kOr); });
    add(kEditButton, "&Redaguoti...", [this] { OnEdit(); });
    buttons->addSpacing(12);
    buttons->addWidget(FindControl(this, kRemoveButton));
    buttons->addWidget(FindControl(this, kRemoveAllButton));
    buttons->addStretch();

    auto* layout = new QGridLayout(this);
    layout->addWidget(MakeLabel(this, 0, "&Filtras:", m_list), 0, 0);
    layout->addWidget(m_list, 1, 0);
    layout->addLayout(buttons, 1, 1);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { OnEdit(); });
    CFilterListPage::OnInitDialog();
    ShowRows(m_conditions.IsEmpty() ? -1 : 0);
}

void CLayerFilterPage1::UpdateButtons()
{
    const bool dialog = static_cast<bool>(LayerSheetHooks().filterCondition);
    const bool rows = !m_conditions.IsEmpty();
    const bool selected = GetSelectedRow() >= 0;
    EnableDlgItem(this, kNewButton, dialog);
    EnableDlgItem(this, kAndButton, dialog && rows);
    EnableDlgItem(this, kOrButton, dialog && rows);
    EnableDlgItem(this, kEditButton, dialog && selected);
    EnableDlgItem(this, kRemoveButton, selected);
    // A filter whose text the list could not read can still be removed.
    EnableDlgItem(this, kRemoveAllButton, rows || (m_conditions.HasUnreadText() && !m_conditions.IsChanged()));
}

bool CLayerFilterPage1::AskCondition(CFilterCondition& condition)
{
    const CLayerSheetHooks& hooks = LayerSheetHooks();
    return hooks.filterCondition && hooks.filterCondition(Layer(), condition, this);
}

void CLayerFilterPage1::OnNew()
{
    // The old filter goes only once the new condition is there.
    CFilterCondition condition;
    if (!AskCondition(condition))
        return;
    m_conditions.RemoveAll();
    m_conditions.Append(condition, CFilterCondition::kFirst, Layer());
    ShowRows(0);
}

void CLayerFilterPage1::OnAppend(int conjunction)
{
    CFilterCondition condition;
    if (!AskCondition(condition))
        return;
    m_conditions.Append(condition, conjunction, Layer());
    ShowRows(m_conditions.GetCount() - 1);
}

void CLayerFilterPage1::OnEdit()
{
    const int row = GetSelectedRow();
    if (row < 0)
        return;
    CFilterCondition condition = m_conditions.GetCondition(row);
    if (!AskCondition(condition))
        return;
    m_conditions.Replace(row, condition, Layer());
    ShowRows(row);
}
