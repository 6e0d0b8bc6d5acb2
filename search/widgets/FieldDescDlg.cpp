#include "search/widgets/FieldDescDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "search/TableStructure.h"
#include "settings/widgets/SheetControls.h"
#include "settings/widgets/SpinButton.h"
#include "shell/widgets/DlgItems.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstring>

namespace {

constexpr char kTypes[] = {'C', 'N', 'M', 'L', 'D'};
constexpr const char* kTypeTexts[] = {"&Character", "&Numeric", "&Memo", "&Logical", "&Date"};
constexpr int kTypeCount = 5;

QLineEdit* MakeEdit(QWidget* parent, int id, int maxLength, int width)
{
    auto* edit = WithId(id, new QLineEdit(parent));
    edit->setMaxLength(maxLength);
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

} // namespace

CFieldDescDlg::CFieldDescDlg(QWidget* parent)
    : CDialogBase(parent),
      m_name(MakeEdit(this, kNameEdit, 10, 0)),
      m_size(MakeEdit(this, kSizeEdit, 3, 48)),
      m_decimals(MakeEdit(this, kDecimalsEdit, 2, 48))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Lauko aprašas"));
    m_field.Set("", 'C', 10, 0);

    auto* types = new QGroupBox(QString::fromUtf8("Tipas"), this);
    auto* typeColumn = new QVBoxLayout(types);
    for (int i = 0; i < kTypeCount; ++i) {
        auto* radio = MakeRadio(types, kFirstTypeRadio + i, kTypeTexts[i]);
        typeColumn->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this, [this, i] { ShowType(kTypes[i]); });
    }

    auto* sizeSpin = WithId(kSizeSpin, new CSpinButton(m_size, 1, 254, this));
    auto* decimalsSpin = WithId(kDecimalsSpin, new CSpinButton(m_decimals, 0, 18, this));
    auto* numbers = new QGridLayout;
    numbers->addWidget(MakeLabel(this, 0, "Dyd&is:", m_size), 0, 0);
    numbers->addWidget(m_size, 0, 1);
    numbers->addWidget(sizeSpin, 0, 2);
    numbers->addWidget(MakeLabel(this, kDecimalsLabel, "&Tikslumas:", m_decimals), 1, 0);
    numbers->addWidget(m_decimals, 1, 1);
    numbers->addWidget(decimalsSpin, 1, 2);
    numbers->setColumnStretch(3, 1);
    numbers->setRowStretch(2, 1);

    auto* fields = new QHBoxLayout;
    fields->addWidget(types);
    fields->addLayout(numbers, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "Lauko &vardas:", m_name));
    layout->addWidget(m_name);
    layout->addLayout(fields);
    layout->addLayout(MakeOkCancelRow());
}

void CFieldDescDlg::OnInitDialog()
{
    m_name->setText(ToQString(std::string(m_field.name, strnlen(m_field.name, sizeof m_field.name))));
    m_size->setText(QString::number(m_field.length));
    m_decimals->setText(QString::number(m_field.decimals));
    const char shown = ShownFieldType(m_field.type);
    for (int i = 0; i < kTypeCount; ++i)
        FindControl<QRadioButton>(this, kFirstTypeRadio + i)->setChecked(kTypes[i] == shown);
    ShowType(shown);
}

char CFieldDescDlg::CheckedType() const
{
    for (int i = 0; i < kTypeCount; ++i)
        if (FindControl<QRadioButton>(this, kFirstTypeRadio + i)->isChecked())
            return kTypes[i];
    return 'C';
}

void CFieldDescDlg::ShowType(char type)
{
    const int fixed = FixedFieldLength(type);
    if (fixed > 0)
        m_size->setText(QString::number(fixed));
    m_size->setReadOnly(fixed > 0);
    EnableDlgItem(this, kSizeSpin, fixed == 0);
    const bool numeric = type == 'N' || type == 'F';
    for (const int id : {kDecimalsLabel, kDecimalsEdit, kDecimalsSpin})
        ShowDlgItem(this, id, numeric);
}

void CFieldDescDlg::OnOK()
{
    CDbfFieldInfo field{};
    FieldDescControl focus = FieldDescControl::Name;
    char type = CheckedType();
    // Shown as Numeric, a float field stays one.
    if (type == 'N' && m_field.type == 'F')
        type = 'F';
    const int message = CheckFieldDesc(FromQString(m_name->text()), type, FromQString(m_size->text()),
                                       FromQString(m_decimals->text()), field, focus);
    if (message) {
        AppMessageBox(message);
        QLineEdit* edit = focus == FieldDescControl::Name ? m_name : focus == FieldDescControl::Size ? m_size : m_decimals;
        edit->setFocus();
        edit->selectAll();
        return;
    }
    m_field = field;
    EndDialog(IDOK);
}
