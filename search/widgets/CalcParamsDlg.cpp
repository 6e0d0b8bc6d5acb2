#include "search/widgets/CalcParamsDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/DialogControls.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QListWidget>

#include <algorithm>

CCalcParamsDlg::CCalcParamsDlg(const CDbfTable& table, const CCalcParams& params, QWidget* parent)
    : CDialogBase(parent),
      m_params(params),
      m_fields(WithId(kFieldList, new QListWidget(this))),
      m_units(WithId(kUnitCombo, new QComboBox(this)))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Skaičiavimo parametrai"));
    for (const std::string& caption : CCalcParams::FieldCaptions(table))
        m_fields->addItem(ToQString(caption));
    for (const std::string& unit : CCalcParams::UnitTexts(params.mode))
        m_units->addItem(ToQString(unit));
    m_units->setCurrentIndex(std::clamp(params.unit, 0, m_units->count() - 1));

    auto* layout = new QGridLayout(this);
    layout->addWidget(MakeLabel(this, 0, "&Rezultatus rašyti į lauką:", m_fields), 0, 0, 1, 2);
    layout->addWidget(m_fields, 1, 0, 1, 2);
    layout->addWidget(MakeLabel(this, 0, "&Vienetai:", m_units), 2, 0);
    layout->addWidget(m_units, 2, 1);
    layout->setColumnStretch(1, 1);
    layout->addLayout(MakeOkCancelRow(), 3, 0, 1, 2);
    connect(m_units, &QComboBox::currentIndexChanged, this, [this](int unit) { m_params.unit = unit; });
}

void CCalcParamsDlg::OnOK()
{
    const QListWidgetItem* field = m_fields->currentItem();
    m_params.field = field && field->isSelected() ? FromQString(field->text()) : std::string();
    EndDialog(IDOK);
}

bool AskCalcParams(const CDbfTable& table, CCalcParams& params)
{
    CCalcParamsDlg dialog(table, params, QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    params = dialog.GetParams();
    return true;
}
