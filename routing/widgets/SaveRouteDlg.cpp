#include "routing/widgets/SaveRouteDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "routing/SaveRoute.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kSaveRouteDialog = 30817;
constexpr int kLayerCombo = 1012;
} // namespace

CSaveRouteDlg::CSaveRouteDlg(CDrelDoc& document, QWidget* parent)
    : CDialogBase(parent), m_document(document), m_name(CSaveRouteRules::GetName())
{
    SetControlId(this, kSaveRouteDialog);
    setWindowTitle(QString::fromUtf8("Apskaičiuoto maršruto išsaugojimas"));
    auto* label = new QLabel(QString::fromUtf8("Irašyti maršrutą į sluoksnį:"), this);
    auto* combo = new QComboBox(this);
    SetControlId(combo, kLayerCombo);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(240);
    for (const std::string& name : CSaveRouteRules::OfferedLayers(document))
        combo->addItem(ToQString(name));
    label->setBuddy(combo);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(combo);
    layout->addLayout(MakeOkCancelRow());
    combo->setFocus();
}

void CSaveRouteDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kLayerCombo, m_name, CSaveRouteRules::kMaxName);
}

void CSaveRouteDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    // No layer can be named so: the dialog waits for a name.
    if (m_name.empty()) {
        AppBeep();
        return;
    }
    CSaveRouteRules::Remember(m_name);
    EndDialog(IDOK);
}

CLayer* CSaveRouteDlg::GetOrCreateLayer()
{
    return CSaveRouteRules::GetOrCreateLayer(m_document, m_name);
}
