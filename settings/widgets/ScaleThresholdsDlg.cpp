#include "settings/widgets/ScaleThresholdsDlg.h"

#include "settings/widgets/SheetControls.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace {
constexpr int kThresholdList = 1054;
} // namespace

CScaleThresholdsDlg::CScaleThresholdsDlg(QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Mastelio slenksčiai"));
    m_list = WithId(kThresholdList, new QListWidget(this));
    for (const CScaleThreshold& threshold : kScaleThresholds) {
        auto* row = new QListWidgetItem(QString::fromUtf8(threshold.text), m_list);
        row->setData(Qt::UserRole, threshold.denominator);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    }
    m_list->setMinimumHeight(m_list->sizeHintForRow(0) * static_cast<int>(kScaleThresholds.size()) + 6);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(MakeOkCancelRow());
}

void CScaleThresholdsDlg::OnInitDialog()
{
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setCheckState(m_checks[static_cast<size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    CDialogBase::OnInitDialog();
}

void CScaleThresholdsDlg::OnOK()
{
    for (int i = 0; i < m_list->count(); ++i)
        m_checks[static_cast<size_t>(i)] = m_list->item(i)->checkState() == Qt::Checked;
    CDialogBase::OnOK();
}
