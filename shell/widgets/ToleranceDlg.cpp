#include "shell/widgets/ToleranceDlg.h"

#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kToleranceDialog = 287;
constexpr int kToleranceEdit = 1017;
constexpr double kMaxTolerance = 1000;
// The value of the last OK in this run.
double g_lastTolerance = 0;
} // namespace

CToleranceDlg::CToleranceDlg(QWidget* parent) : CDialogBase(parent), m_tolerance(g_lastTolerance)
{
    SetControlId(this, kToleranceDialog);
    setWindowTitle(QString::fromUtf8("Tolerancija"));
    auto* edit = new QLineEdit(this);
    SetControlId(edit, kToleranceEdit);
    auto* label = new QLabel(QString::fromUtf8("&Tolerancija:"), this);
    label->setBuddy(edit);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(edit, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("m"), this), 0, 2);
    layout->addLayout(MakeOkCancelRow(), 1, 0, 1, 3);
}

void CToleranceDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Real(kToleranceEdit, m_tolerance, 0, kMaxTolerance);
}

void CToleranceDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    g_lastTolerance = m_tolerance;
    EndDialog(IDOK);
}
