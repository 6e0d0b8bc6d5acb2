#include "settings/widgets/LayerFilterPage.h"

#include "layers/Layer.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/LayerSheetRules.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DlgItems.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace {

constexpr int kEditButton = 1024;
constexpr int kFieldList = 1034;
constexpr int kFirstOperator = 1035; // to 1040: "=" to "<="
constexpr int kValueRadio = 1041;
constexpr int kFieldRadio = 1042;
constexpr int kFillCheck = 1043;
constexpr int kAndButton = 1047;
constexpr int kOrButton = 1048;
constexpr int kSecondFieldList = 1049;
constexpr int kValueCombo = 1050;
constexpr int kOperatorRadios = 6;
constexpr int kMaxValueText = 254;

// The selected row's text; empty when none is selected.
std::string SelectedText(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? FromQString(item->text()) : std::string();
}

char SelectedType(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? static_cast<char>(item->data(Qt::UserRole).toInt()) : 0;
}

void SelectText(QListWidget* list, const std::string& text)
{
    const QList<QListWidgetItem*> found = list->findItems(ToQString(text), Qt::MatchExactly);
    list->setCurrentItem(found.isEmpty() ? nullptr : found.front());
}

} // namespace

CLayerFilterPage::CLayerFilterPage(CLayerPropSheet& sheet) : CFilterListPage("Filtras", sheet) {}

void CLayerFilterPage::OnInitDialog()
{
    MakeList("Pašalinti &viską");
    auto* fields = WithId(kFieldList, new QListWidget(this));
    auto* operators = new QWidget(this);
    auto* operatorColumn = new QVBoxLayout(operators);
    operatorColumn->setContentsMargins(0, 0, 0, 0);
    const char* const texts[kOperatorRadios] = {"=", "<>", ">", ">=", "<", "<="};
    for (int i = 0; i < kOperatorRadios; ++i)
        operatorColumn->addWidget(MakeRadio(operators, kFirstOperator + i, texts[i]));
    operatorColumn->addStretch();

    auto* modes = new QWidget(this);
    auto* modeRow = new QHBoxLayout(modes);
    modeRow->setContentsMargins(0, 0, 0, 0);
    modeRow->addWidget(MakeRadio(modes, kValueRadio, "&Reikšmė"));
    modeRow->addWidget(MakeRadio(modes, kFieldRadio, "L&aukas"));
    modeRow->addStretch();
    m_values = WithId(kValueCombo, new QComboBox(this));
    m_values->setEditable(true);
    m_values->setInsertPolicy(QComboBox::NoInsert);
    auto* fill = MakeCheck(this, kFillCheck, "&Užpildyti");
    auto* second = WithId(kSecondFieldList, new QListWidget(this));

    auto* builderButtons = new QHBoxLayout;
    const std::pair<int, const char*> buttons[] = {{kAndButton, "IR"}, {kOrButton, "ARBA"}, {kEditButton, "Keisti"}};
    for (const auto& [id, text] : buttons)
        builderButtons->addWidget(MakeButton(this, id, text));
    builderButtons->addStretch();

    auto* valueColumn = new QVBoxLayout;
    valueColumn->addWidget(modes);
    valueColumn->addWidget(m_values);
    valueColumn->addWidget(fill);
    valueColumn->addWidget(second, 1);
    valueColumn->addStretch();

    auto* builder = new QGridLayout;
    builder->addWidget(MakeLabel(this, 0, "&Laukas:", fields), 0, 0);
    builder->addWidget(fields, 1, 0);
    builder->addWidget(operators, 1, 1);
    builder->addLayout(valueColumn, 1, 2);
    builder->setColumnStretch(0, 1);
    builder->setColumnStretch(2, 1);

    auto* removeButtons = new QVBoxLayout;
    removeButtons->addWidget(FindControl(this, kRemoveButton));
    removeButtons->addWidget(FindControl(this, kRemoveAllButton));
    removeButtons->addStretch();
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_list, 1);
    listRow->addLayout(removeButtons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(builder, 1);
    layout->addLayout(builderButtons);
    layout->addLayout(listRow, 1);

    connect(FindControl<QPushButton>(this, kAndButton), &QPushButton::clicked, this,
            [this] { OnAppend(CFilterCondition::kAnd); });
    connect(FindControl<QPushButton>(this, kOrButton), &QPushButton::clicked, this,
            [this] { OnAppend(CFilterCondition::kOr); });
    connect(FindControl<QPushButton>(this, kEditButton), &QPushButton::clicked, this, [this] { OnChange(); });
    connect(fields, &QListWidget::currentRowChanged, this, [this] { OnFieldChosen(); });
    connect(second, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    for (const int id : {kValueRadio, kFieldRadio})
        connect(FindControl<QRadioButton>(this, id), &QRadioButton::clicked, this, [this] { OnModeChosen(); });
    connect(fill, &QCheckBox::clicked, this, [this] {
        m_fill = FindControl<QCheckBox>(this, kFillCheck)->isChecked() ? 1 : 0;
        FillValues();
    });
    CFilterListPage::OnInitDialog();
    ShowRows(-1);
}

void CLayerFilterPage::OnSetActive()
{
    for (const int id : {kFieldList, kSecondFieldList}) {
        auto* list = FindControl<QListWidget>(this, id);
        const QSignalBlocker quiet(list);
        list->clear();
        for (const CFieldChoice& field : ChoosableFields(Layer())) {
            auto* item = new QListWidgetItem(ToQString(field.alias), list);
            item->setData(Qt::UserRole, static_cast<int>(field.type));
        }
    }
    m_filledFor.clear();
    CFilterListPage::OnSetActive();
    ShowMode();
    UpdateButtons();
}

void CLayerFilterPage::DoDataExchange(CDataExchange& dx)
{
    dx.Radio({kFirstOperator, kFirstOperator + 1, kFirstOperator + 2, kFirstOperator + 3, kFirstOperator + 4,
              kFirstOperator + 5},
             m_operator);
    dx.Radio({kValueRadio, kFieldRadio}, m_mode);
    dx.Check(kFillCheck, m_fill);
    dx.Text(kValueCombo, m_value, kMaxValueText);
}

bool CLayerFilterPage::MakeCondition(CFilterCondition& condition)
{
    const auto* fields = FindControl<QListWidget>(this, kFieldList);
    const std::string alias = SelectedText(fields);
    if (alias.empty() || !UpdateData(true) || m_operator < 0)
        return false;
    condition.field = Layer().GetFieldName(alias);
    condition.op = m_operator;
    if (m_mode == 1) {
        const std::string second = SelectedText(FindControl<QListWidget>(this, kSecondFieldList));
        if (second.empty())
            return false;
        condition.value = Layer().GetFieldName(second);
        condition.valueIsField = true;
        return true;
    }
    return condition.SetTypedValue(SelectedType(fields), m_value);
}

void CLayerFilterPage::OnAppend(int conjunction)
{
    CFilterCondition condition;
    if (!MakeCondition(condition))
        return;
    m_conditions.Append(condition, conjunction, Layer());
    ShowRows(m_conditions.GetCount() - 1);
}

void CLayerFilterPage::OnChange()
{
    const int row = GetSelectedRow();
    if (row < 0) {
        OnAppend(CFilterCondition::kAnd);
        return;
    }
    CFilterCondition condition;
    if (!MakeCondition(condition))
        return;
    m_conditions.Replace(row, condition, Layer());
    ShowRows(row);
}

void CLayerFilterPage::OnSelectionChanged()
{
    const int row = GetSelectedRow();
    if (row >= 0) {
        // The row into the controls, to be changed there.
        const CFilterCondition condition = m_conditions.GetCondition(row);
        SelectText(FindControl<QListWidget>(this, kFieldList), Layer().GetFieldAlias(condition.field));
        m_operator = condition.op < kOperatorRadios ? condition.op : -1;
        m_mode = condition.valueIsField ? 1 : 0;
        if (condition.valueIsField)
            SelectText(FindControl<QListWidget>(this, kSecondFieldList), Layer().GetFieldAlias(condition.value));
        else
            m_value = condition.GetTypedText();
        UpdateData(false);
        ShowMode();
    }
    UpdateButtons();
}

void CLayerFilterPage::UpdateButtons()
{
    const bool field = !SelectedText(FindControl<QListWidget>(this, kFieldList)).empty();
    const bool second = !SelectedText(FindControl<QListWidget>(this, kSecondFieldList)).empty();
    const bool makable = field && (m_mode != 1 || second);
    const bool rows = !m_conditions.IsEmpty();
    EnableDlgItem(this, kAndButton, makable && rows);
    EnableDlgItem(this, kOrButton, makable && rows);
    EnableDlgItem(this, kEditButton, makable);
    EnableDlgItem(this, kRemoveButton, rows);
    EnableDlgItem(this, kRemoveAllButton, rows || (m_conditions.HasUnreadText() && !m_conditions.IsChanged()));
}

void CLayerFilterPage::OnFieldChosen()
{
    FillValues();
    UpdateButtons();
}

void CLayerFilterPage::OnModeChosen()
{
    m_mode = FindControl<QRadioButton>(this, kFieldRadio)->isChecked() ? 1 : 0;
    ShowMode();
    FillValues();
    UpdateButtons();
}

void CLayerFilterPage::ShowMode()
{
    const bool fieldMode = m_mode == 1;
    ShowDlgItem(this, kValueCombo, !fieldMode);
    ShowDlgItem(this, kFillCheck, !fieldMode);
    ShowDlgItem(this, kSecondFieldList, fieldMode);
}

void CLayerFilterPage::FillValues()
{
    const auto* fields = FindControl<QListWidget>(this, kFieldList);
    const std::string alias = SelectedText(fields);
    if (!m_fill || m_mode != 0 || alias.empty())
        return;
    const std::string field = Layer().GetFieldName(alias);
    if (field == m_filledFor)
        return;
    m_filledFor = field;
    CWaitCursor wait;
    std::vector<std::string> values;
    GetConditionValues(Layer(), field, values);
    const QString typed = m_values->currentText();
    m_values->setUpdatesEnabled(false);
    m_values->clear();
    for (const std::string& value : values)
        m_values->addItem(ToQString(value));
    m_values->setEditText(typed);
    m_values->setUpdatesEnabled(true);
}
