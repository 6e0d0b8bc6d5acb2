#include "search/widgets/FieldValueChangeDlg.h"

#include "core/DbfTable.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

enum : int { kFieldCombo = 1012, kValueEdit = 1017, kSelectedOnly = 1024, kAllRecords = 1025 };

struct CChangeValues {
    std::string value;
    int scope = 0;
};

CChangeValues& Values()
{
    static CChangeValues values;
    return values;
}

} // namespace

CFieldValueChangeDlg::CFieldValueChangeDlg(const CDbfTable& table, QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Lauko reikšmės keitimas"));
    m_fields = WithId(kFieldCombo, new QComboBox(this));
    for (int field = 0; field < table.GetFieldCount(); ++field)
        m_fields->addItem(ToQString(table.GetFieldCaption(field)));
    m_fields->setCurrentIndex(-1);
    auto* value = WithId(kValueEdit, new QLineEdit(this));
    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8("&Laukas:"), m_fields);
    form->addRow(QString::fromUtf8("&Nauja reikšmė:"), value);

    auto* scope = new QGroupBox(QString::fromUtf8("Keitimo sritis"), this);
    auto* scopeLayout = new QVBoxLayout(scope);
    scopeLayout->addWidget(WithId(kSelectedOnly, new QRadioButton(QString::fromUtf8("&Keisti tik pasirinktus įrašus"), scope)));
    scopeLayout->addWidget(WithId(kAllRecords, new QRadioButton(QString::fromUtf8("Keisti &visus įrašus"), scope)));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(scope);
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(340);

    auto* ok = FindControl<QPushButton>(this, IDOK);
    ok->setEnabled(false);
    connect(m_fields, &QComboBox::currentIndexChanged, ok, [ok](int index) { ok->setEnabled(index >= 0); });
}

const std::string& CFieldValueChangeDlg::GetValue() const
{
    return Values().value;
}

int CFieldValueChangeDlg::GetScope() const
{
    return Values().scope;
}

void CFieldValueChangeDlg::DoDataExchange(CDataExchange& dx)
{
    CChangeValues& values = Values();
    dx.Text(kValueEdit, values.value);
    dx.Radio({kSelectedOnly, kAllRecords}, values.scope);
}

void CFieldValueChangeDlg::OnOK()
{
    m_caption = m_fields->currentIndex() >= 0 ? FromQString(m_fields->currentText()) : std::string();
    if (m_caption.empty() || !UpdateData(true))
        return;
    EndDialog(IDOK);
}
