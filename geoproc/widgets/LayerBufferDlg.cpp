#include "geoproc/widgets/LayerBufferDlg.h"

#include "geoproc/LayerBufferRules.h"
#include "platform/UserServices.h"
#include "shell/FieldText.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <utility>

namespace {
constexpr int kLayerBufferDialog = 30771;
constexpr int kRadiusEdit = 1017;
constexpr int kLayerEdit = 1018;
} // namespace

CLayerBufferDlg::CLayerBufferDlg(std::string layerName, QWidget* parent)
    : CDialogBase(parent), m_layerName(std::move(layerName)), m_radius(CLayerBufferRules::LastRadius())
{
    SetControlId(this, kLayerBufferDialog);
    setWindowTitle(QString::fromUtf8("Buferinių zonų skaičiavimas"));
    auto* layer = new QLineEdit(this);
    SetControlId(layer, kLayerEdit);
    layer->setReadOnly(true);
    layer->setMinimumWidth(220);
    auto* radius = new QLineEdit(this);
    SetControlId(radius, kRadiusEdit);
    auto* layerLabel = new QLabel(QString::fromUtf8("Sluoksnis:"), this);
    layerLabel->setBuddy(layer);
    auto* radiusLabel = new QLabel(QString::fromUtf8("&Spindulys:"), this);
    radiusLabel->setBuddy(radius);

    auto* layout = new QGridLayout(this);
    layout->addWidget(layerLabel, 0, 0);
    layout->addWidget(layer, 0, 1, 1, 2);
    layout->addWidget(radiusLabel, 1, 0);
    layout->addWidget(radius, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("km"), this), 1, 2);
    layout->addLayout(MakeOkCancelRow(), 2, 0, 1, 3);
    radius->setFocus();
}

void CLayerBufferDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kLayerEdit, m_layerName);
    QWidget* radius = dx.Control(kRadiusEdit);
    dx.Real(kRadiusEdit, m_radius, 0, CLayerBufferRules::kMaxRadius);
    // A zone of no width is none: 0 is refused as a number out of range.
    if (dx.IsSaving() && !dx.Failed() && !CLayerBufferRules::Accepts(m_radius))
        dx.Fail(radius, RealFieldMessage(true, 0, CLayerBufferRules::kMaxRadius));
}

void CLayerBufferDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    CLayerBufferRules::Remember(m_radius);
    EndDialog(IDOK);
}
