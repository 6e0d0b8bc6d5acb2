#include "geoproc/widgets/TopologyDlg.h"

#include "geoproc/TopologyRules.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kTopologyDialog = 30814;
constexpr int kCopyFieldsCheck = 1015;
constexpr int kCrossingsCheck = 1016;
constexpr int kToleranceEdit = 1017;
} // namespace

CTopologyDlg::CTopologyDlg(const CTopologyOptions& options, QWidget* parent) : CDialogBase(parent), m_options(options)
{
    SetControlId(this, kTopologyDialog);
    setWindowTitle(QString::fromUtf8("Topologijos kūrimas"));
    auto* copyFields = new QCheckBox(QString::fromUtf8("Perkopijuoti duomenų bazės laukus"), this);
    SetControlId(copyFields, kCopyFieldsCheck);
    auto* crossings = new QCheckBox(QString::fromUtf8("Pridėti susikirtimo taškus"), this);
    SetControlId(crossings, kCrossingsCheck);
    auto* tolerance = new QLineEdit(this);
    SetControlId(tolerance, kToleranceEdit);
    auto* label = new QLabel(QString::fromUtf8("&Tolerancija:"), this);
    label->setBuddy(tolerance);

    auto* layout = new QGridLayout(this);
    layout->addWidget(copyFields, 0, 0, 1, 3);
    layout->addWidget(crossings, 1, 0, 1, 3);
    layout->addWidget(label, 2, 0);
    layout->addWidget(tolerance, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("m"), this), 2, 2);
    layout->addLayout(MakeOkCancelRow(), 3, 0, 1, 3);
}

void CTopologyDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Check(kCopyFieldsCheck, m_options.copyFields);
    dx.Check(kCrossingsCheck, m_options.addCrossings);
    dx.Real(kToleranceEdit, m_options.tolerance, 0, CTopologyRules::kMaxTolerance);
}

void CTopologyDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    CTopologyRules::Remember(m_options);
    EndDialog(IDOK);
}
