#include "geoproc/widgets/BufferSaveDlg.h"

#include "geoproc/BufferSaveRules.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QComboBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {
constexpr int kBufferSaveDialog = 268;
constexpr int kLayerCombo = 1012;
} // namespace

CBufferSaveDlg::CBufferSaveDlg(const CDrelDoc& document, QWidget* parent)
    : CDialogBase(parent), m_name(CBufferSaveRules::GetName())
{
    SetControlId(this, kBufferSaveDialog);
    setWindowTitle(QString::fromUtf8("Buferinių zonų išsaugojimas"));
    auto* group = new QGroupBox(QString::fromUtf8("Rezultatų sluoksnis"), this);
    auto* combo = new QComboBox(group);
    SetControlId(combo, kLayerCombo);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(240);
    for (const std::string& name : CBufferSaveRules::OfferedLayers(document))
        combo->addItem(ToQString(name));
    auto* inside = new QVBoxLayout(group);
    inside->addWidget(combo);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(MakeOkCancelRow());
    combo->setFocus();
}

void CBufferSaveDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kLayerCombo, m_name, CBufferSaveRules::kMaxName);
}

void CBufferSaveDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    // No layer can be named so: the dialog waits for a name.
    if (!CBufferSaveRules::Remember(m_name)) {
        AppBeep();
        return;
    }
    EndDialog(IDOK);
}
