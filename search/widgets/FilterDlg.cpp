#include "search/widgets/FilterDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DlgItems.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kOperatorCount = 7;
constexpr int kMaxValueText = 254;

int OperatorId(int op)
{
    return op < 6 ? CFilterDlg::kFirstOperator + op : CFilterDlg::kContainsOperator;
}

QListWidget* MakeFieldList(QWidget* parent, int id, const std::vector<CFieldChoice>& fields)
{
    auto* list = WithId(id, new QListWidget(parent));
    for (const CFieldChoice& field : fields) {
        auto* item = new QListWidgetItem(ToQString(field.alias), list);
        item->setData(Qt::UserRole, static_cast<int>(field.type));
    }
    list->setMinimumSize(140, 160);
    return list;
}

int SelectedRow(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? list->row(item) : -1;
}

void SelectRow(QListWidget* list, int row)
{
    list->setCurrentRow(row);
}

} // namespace

CFilterDlg::CFilterDlg(const CLayer& layer, QWidget* parent)
    : CDialogBase(parent),
      m_layer(layer),
      m_fields(ChoosableFields(layer)),
      m_fieldList(MakeFieldList(this, kFieldList, m_fields)),
      m_secondList(MakeFieldList(this, kSecondFieldList, m_fields)),
      m_values(WithId(kValueCombo, new QComboBox(this)))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Filtro sąlyga"));
    m_values->setEditable(true);
    m_values->setInsertPolicy(QComboBox::NoInsert);
    m_values->lineEdit()->setMaxLength(kMaxValueText);
    m_values->setMinimumWidth(180);

    auto* operators = new QGroupBox(this);
    auto* operatorColumn = new QVBoxLayout(operators);
    const char* const texts[kOperatorCount] = {"=", "<>", ">", ">=", "<", "<=", ">>"};
    for (int op = 0; op < kOperatorCount; ++op)
        operatorColumn->addWidget(MakeRadio(operators, OperatorId(op), texts[op]));
    operatorColumn->addStretch();

    auto* modeRow = new QHBoxLayout;
    for (const auto& [id, text] : {std::pair{kValueRadio, "&Reikšmė"}, std::pair{kFieldRadio, "L&aukas"}}) {
        auto* radio = MakeRadio(this, id, text);
        modeRow->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this, [this] {
            ShowMode();
            FillValues();
            UpdateOk();
        });
    }
    modeRow->addStretch();
    auto* fill = MakeCheck(this, kFillCheck, "&Užpildyti");

    auto* valueColumn = new QVBoxLayout;
    valueColumn->addLayout(modeRow);
    valueColumn->addWidget(m_values);
    valueColumn->addWidget(fill);
    valueColumn->addWidget(m_secondList, 1);
    valueColumn->addStretch();

    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, 0, "&Laukas:", m_fieldList), 0, 0);
    grid->addWidget(m_fieldList, 1, 0);
    grid->addWidget(operators, 1, 1);
    grid->addLayout(valueColumn, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(MakeOkCancelRow());

    connect(m_fieldList, &QListWidget::itemSelectionChanged, this, [this] {
        FillValues();
        UpdateOk();
    });
    connect(m_secondList, &QListWidget::itemSelectionChanged, this, [this] { UpdateOk(); });
    connect(fill, &QCheckBox::clicked, this, [this] { FillValues(); });
}

void CFilterDlg::OnInitDialog()
{
    const CFilterChoice choice = PresetFilterChoice(m_fields, m_condition);
    {
        const QSignalBlocker quiet(m_fieldList);
        SelectRow(m_fieldList, choice.field);
    }
    SelectRow(m_secondList, choice.second);
    FindControl<QRadioButton>(this, OperatorId(choice.op))->setChecked(true);
    FindControl<QRadioButton>(this, choice.byField ? kFieldRadio : kValueRadio)->setChecked(true);
    m_values->setEditText(ToQString(choice.typed));
    ShowMode();
    UpdateOk();
}

CFilterChoice CFilterDlg::ReadChoice() const
{
    CFilterChoice choice;
    choice.field = SelectedRow(m_fieldList);
    for (int op = 0; op < kOperatorCount; ++op)
        if (FindControl<QRadioButton>(this, OperatorId(op))->isChecked())
            choice.op = op;
    choice.byField = FindControl<QRadioButton>(this, kFieldRadio)->isChecked();
    choice.second = SelectedRow(m_secondList);
    choice.typed = FromQString(m_values->currentText());
    return choice;
}

void CFilterDlg::ShowMode()
{
    const bool byField = FindControl<QRadioButton>(this, kFieldRadio)->isChecked();
    ShowDlgItem(this, kValueCombo, !byField);
    ShowDlgItem(this, kFillCheck, !byField);
    ShowDlgItem(this, kSecondFieldList, byField);
}

void CFilterDlg::UpdateOk()
{
    EnableDlgItem(this, IDOK, CanAcceptFilterChoice(ReadChoice()));
}

void CFilterDlg::FillValues()
{
    const CFilterChoice choice = ReadChoice();
    if (!FindControl<QCheckBox>(this, kFillCheck)->isChecked() || choice.byField || choice.field < 0)
        return;
    std::vector<std::string> values;
    {
        CWaitCursor wait;
        GetConditionValues(m_layer, m_fields[static_cast<size_t>(choice.field)].name, values);
    }
    const QString typed = m_values->currentText();
    m_values->setUpdatesEnabled(false);
    m_values->clear();
    for (const std::string& value : values)
        m_values->addItem(ToQString(value));
    m_values->setEditText(typed);
    m_values->setUpdatesEnabled(true);
}

void CFilterDlg::OnOK()
{
    const int result = MakeFilterCondition(m_layer, m_fields, ReadChoice(), m_condition);
    if (result > 0)
        AppMessageBox(result);
    if (result == 0)
        EndDialog(IDOK);
}
