#include "settings/widgets/MapUnitsDlg.h"

#include "platform/UserServices.h"
#include "settings/MapSheetRules.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kDialogId = 333;
constexpr int kUnitsCombo = 1012;

} // namespace

CMapUnitsDlg::CMapUnitsDlg(QWidget* parent) : CDialogBase(parent), m_units(GetNewMapUnits())
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Žemėlapio sukūrimas"));
    auto* text = new QLabel(QString::fromUtf8("Nurodykite, kokiais vienetais bus vaizduojamos žemėlapio koordinatės"),
                            this);
    text->setWordWrap(true);
    auto* units = WithId(kUnitsCombo, new QComboBox(this));
    units->addItem(QString::fromUtf8("Laipsniai"));
    units->addItem(QString::fromUtf8("Metrai"));
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = MakeButton(this, IDOK, "OK");
    ok->setDefault(true);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(MakeButton(this, IDCANCEL, "Atsisakyti"), QDialogButtonBox::RejectRole);

    auto* form = new QFormLayout;
    form->addRow(MakeLabel(this, 0, "Žemėlapio vienetai:", units), units);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void CMapUnitsDlg::DoDataExchange(CDataExchange& dx)
{
    dx.ComboIndex(kUnitsCombo, m_units);
}

void CMapUnitsDlg::OnOK()
{
    if (!UpdateData(true) || m_units < 0)
        return;
    SetNewMapUnits(m_units);
    EndDialog(IDOK);
}

int AskMapUnits()
{
    CMapUnitsDlg dialog(QApplication::activeWindow());
    return dialog.DoModal() == IDOK ? dialog.GetUnits() : -1;
}
