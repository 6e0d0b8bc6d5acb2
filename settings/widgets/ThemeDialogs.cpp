#include "settings/widgets/ThemeDialogs.h"

#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/LayerSheetRules.h"
#include "settings/ThemeDialogRules.h"
#include "settings/widgets/SheetControls.h"
#include "settings/widgets/SpinButton.h"
#include "settings/widgets/ThemeClassListBox.h"
#include "shell/widgets/DataExchange.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kValueLength = 254;

QLineEdit* MakeValueEdit(QWidget* parent, int id)
{
    auto* edit = WithId(id, new QLineEdit(parent));
    edit->setMaxLength(kValueLength);
    return edit;
}

} // namespace

// ------------------------------------------------------------ 139

CFieldValueDlg::CFieldValueDlg(std::string value, QWidget* parent) : CDialogBase(parent), m_value(std::move(value))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Lauko reikšmė"));
    auto* edit = MakeValueEdit(this, kValueEdit);
    auto* form = new QFormLayout;
    form->addRow(MakeLabel(this, 0, "&Reikšmė:", edit), edit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(300);
}

void CFieldValueDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kValueEdit, m_value, kValueLength);
}

// ------------------------------------------------------------ 162

CFieldRangeDlg::CFieldRangeDlg(std::string from, std::string to, QWidget* parent)
    : CDialogBase(parent), m_from(std::move(from)), m_to(std::move(to))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Lauko reikšmė"));
    auto* fromEdit = MakeValueEdit(this, kFromEdit);
    auto* toEdit = MakeValueEdit(this, kToEdit);
    auto* form = new QFormLayout;
    form->addRow(MakeLabel(this, 0, "&Nuo:", fromEdit), fromEdit);
    form->addRow(MakeLabel(this, 0, "&Iki:", toEdit), toEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(300);
}

void CFieldRangeDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kFromEdit, m_from, kValueLength);
    dx.Text(kToEdit, m_to, kValueLength);
}

// ------------------------------------------------------------ 140

CClassifyDlg::CClassifyDlg(int count, int method, bool numericField, QWidget* parent)
    : CDialogBase(parent), m_count(count), m_method(numericField ? method : 0), m_numericField(numericField)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Klasifikavimas"));
    auto* countEdit = WithId(kCountEdit, new QLineEdit(this));
    auto* spin = WithId(kCountSpin, new CSpinButton(countEdit, kMinClassCount, kMaxClassCount, this));
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(MakeLabel(this, 0, "&Klasių skaičius:", countEdit));
    countRow->addWidget(countEdit);
    countRow->addWidget(spin);
    countRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(countRow);
    layout->addWidget(MakeRadio(this, kEqualCountRadio, "Vienodas &objektų skaičius"));
    layout->addWidget(MakeRadio(this, kEqualIntervalRadio, "Vienodi &intervalai"));
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(280);
}

void CClassifyDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    FindControl<QWidget>(this, kEqualIntervalRadio)->setEnabled(m_numericField);
}

void CClassifyDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Int(kCountEdit, m_count, kMinClassCount, kMaxClassCount);
    dx.Radio({kEqualCountRadio, kEqualIntervalRadio}, m_method);
}

// ------------------------------------------------------------ 137

CThemeDlg::CThemeDlg(CLayer& layer, CSublayer& band, QWidget* parent)
    : CDialogBase(parent), m_layer(layer), m_band(band), m_field(band.m_classField)
{
    m_classes.CopyFrom(band.m_classes);
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Teminiai ženklai"));
    m_fields = WithId(kFieldCombo, new QComboBox(this));
    m_types = WithId(kTypeCombo, new QComboBox(this));
    m_types->addItem(QString::fromUtf8("Reikšmė"));
    m_types->addItem(QString::fromUtf8("Intervalas"));
    m_list = WithId(kClassList, new CThemeClassListBox(this));
    m_list->setMinimumSize(260, 200);
    m_add = MakeButton(this, kAddButton, "Pridėti...");
    m_edit = MakeButton(this, kEditButton, "Redaguoti...");
    m_remove = MakeButton(this, kRemoveButton, "Pašalinti");
    m_style = MakeButton(this, kStyleButton, "Ženklas...");
    m_fill = MakeButton(this, kFillButton, "Užpildyti");

    auto* top = new QGridLayout;
    top->addWidget(MakeLabel(this, 0, "Laukas:", m_fields), 0, 0);
    top->addWidget(m_fields, 0, 1);
    top->addWidget(MakeLabel(this, 0, "Tipas:", m_types), 1, 0);
    top->addWidget(m_types, 1, 1);
    top->setColumnStretch(1, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_add, m_edit, m_remove, m_style, m_fill})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_list, 1);
    middle->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(MakeOkCancelRow());

    connect(m_fields, &QComboBox::activated, this, &CThemeDlg::OnFieldChosen);
    connect(m_types, &QComboBox::activated, this, &CThemeDlg::OnTypeChosen);
    connect(m_add, &QPushButton::clicked, this, &CThemeDlg::OnAdd);
    connect(m_edit, &QPushButton::clicked, this, &CThemeDlg::OnEdit);
    connect(m_remove, &QPushButton::clicked, this, &CThemeDlg::OnRemove);
    connect(m_style, &QPushButton::clicked, this, &CThemeDlg::OnStyle);
    connect(m_fill, &QPushButton::clicked, this, &CThemeDlg::OnFill);
    connect(m_list, &QListWidget::currentRowChanged, this, &CThemeDlg::EnableButtons);
}

void CThemeDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    for (const CFieldChoice& field : ChoosableFields(m_layer))
        m_fields->addItem(ToQString(field.alias), QChar(field.type));
    m_fields->setCurrentIndex(m_field.empty() ? -1 : m_fields->findText(ToQString(m_layer.GetFieldAlias(m_field))));
    m_types->setCurrentIndex(m_classes.IsSingleValues() ? 0 : 1);
    m_list->SetLayerType(m_layer.GetType());
    Refill(-1);
}

void CThemeDlg::OnOK()
{
    m_band.m_classes.CopyFrom(m_classes);
    m_band.m_classField = m_field;
    CDialogBase::OnOK();
}

char CThemeDlg::FieldType() const
{
    const QVariant type = m_fields->currentData();
    return type.isValid() ? static_cast<char>(type.toChar().toLatin1()) : '\0';
}

int CThemeDlg::Selected() const
{
    return m_list->currentRow();
}

void CThemeDlg::Refill(int selected)
{
    m_list->Fill(&m_classes);
    if (selected >= 0 && selected < m_list->count())
        m_list->setCurrentRow(selected);
    EnableButtons();
}

void CThemeDlg::EnableButtons()
{
    const int selected = Selected();
    const bool field = m_fields->currentIndex() >= 0;
    m_add->setEnabled(field);
    m_fill->setEnabled(field);
    m_edit->setEnabled(IsEditableThemeClass(m_classes, selected));
    m_remove->setEnabled(IsEditableThemeClass(m_classes, selected));
    m_style->setEnabled(selected >= 0 && selected < m_classes.GetCount());
}

void CThemeDlg::OnFieldChosen(int index)
{
    if (index < 0)
        return;
    m_field = m_layer.GetFieldName(FromQString(m_fields->itemText(index)));
    m_classes.SetNumeric(IsNumericFieldType(FieldType()));
    Refill(-1);
}

void CThemeDlg::OnTypeChosen(int index)
{
    m_classes.SetSingleValues(index == 0);
    Refill(-1);
}

void CThemeDlg::OnAdd()
{
    if (m_fields->currentIndex() < 0)
        return;
    const int index = AddThemeClass(m_classes, m_layer.GetType(), Selected());
    if (index < 0)
        return;
    Refill(index);
    // A cancelled value leaves the class with its default value.
    if (m_classes.EditClassValue(index))
        Refill(index);
}

void CThemeDlg::OnEdit()
{
    const int index = Selected();
    if (IsEditableThemeClass(m_classes, index) && m_classes.EditClassValue(index))
        Refill(index);
}

void CThemeDlg::OnRemove()
{
    const int index = Selected();
    if (!IsEditableThemeClass(m_classes, index) || !m_classes.RemoveClass(index))
        return;
    Refill(std::min(index, m_classes.GetCount() - 1));
}

void CThemeDlg::OnStyle()
{
    const int index = Selected();
    if (index >= 0 && m_classes.EditClassStyle(m_layer.GetType(), index))
        Refill(index);
}

void CThemeDlg::OnFill()
{
    if (m_fields->currentIndex() < 0)
        return;
    ClassificationChoice& remembered = RememberedClassification();
    const bool numeric = IsNumericFieldType(FieldType());
    if (!m_classes.IsSingleValues()) {
        CClassifyDlg dialog(ProposedClassCount(m_classes, remembered.count), numeric ? remembered.method : 0, numeric,
                            this);
        if (dialog.DoModal() != IDOK)
            return;
        remembered.count = dialog.GetCount();
        remembered.method = dialog.GetMethod();
    }
    // The box always shows the list as it is, filled or kept.
    FillThemeClasses(m_layer, m_field, m_classes, remembered.count, remembered.method);
    Refill(-1);
}

bool RunThemeDlg(CLayer& layer, CSublayer& band, QWidget* parent)
{
    CThemeDlg dialog(layer, band, parent);
    return dialog.DoModal() == IDOK;
}
