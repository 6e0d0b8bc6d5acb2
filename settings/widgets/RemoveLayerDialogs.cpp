#include "settings/widgets/RemoveLayerDialogs.h"

#include "layers/Layer.h"
#include "platform/UserServices.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kRemoveLayerDialog = 242;
constexpr int kRemoveLayersDialog = 30811;
constexpr int kRemoveGroupDialog = 328;

// The question beside the question icon.
QHBoxLayout* QuestionRow(QWidget& dialog, const char* text)
{
    auto* icon = new QLabel(&dialog);
    icon->setPixmap(dialog.style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    auto* question = new QLabel(QString::fromUtf8(text), &dialog);
    question->setWordWrap(true);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(question, 1);
    return row;
}

} // namespace

// ------------------------------------------------------------ 242

CRemoveLayerDlg::CRemoveLayerDlg(const std::string& layerName, QWidget* parent)
    : CDialogBase(parent), m_name(layerName)
{
    SetControlId(this, kRemoveLayerDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnio šalinimas"));
    auto* name = new QLabel(this);
    SetControlId(name, kNameText);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(MakeLabel(this, 0, "Sluoksnis:"));
    nameRow->addWidget(name, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addLayout(QuestionRow(*this, "Jūs tikrai norite pašalinti ši sluoksnį?"));
    layout->addWidget(MakeCheck(this, kFilesCheck, "Pašalinti sluoksnio failus iš disko"));
    layout->addStretch();
    QHBoxLayout* buttons = MakeOkCancelRow();
    FindControl<QPushButton>(this, IDOK)->setText(QString::fromUtf8("Pašalinti"));
    layout->addLayout(buttons);
    setMinimumWidth(340);
}

void CRemoveLayerDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kNameText, m_name);
    dx.Check(kFilesCheck, m_deleteFiles);
}

// ------------------------------------------------------------ 30811

CRemoveLayersDlg::CRemoveLayersDlg(bool holdsGroup, QWidget* parent) : CDialogBase(parent), m_holdsGroup(holdsGroup)
{
    SetControlId(this, kRemoveLayersDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnių šalinimas"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(QuestionRow(*this, "Jūs tikrai norite pašalinti pasirinktus sluoksnius (grupes)?"));
    layout->addWidget(MakeCheck(this, kMembersCheck, "Pašalinti sluoksnius grupėse"));
    layout->addWidget(MakeCheck(this, kFilesCheck, "Pašalinti sluoksnių failus iš disko"));
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(360);
}

void CRemoveLayersDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    FindControl(this, kMembersCheck)->setEnabled(m_holdsGroup);
}

void CRemoveLayersDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Check(kMembersCheck, m_withMembers);
    dx.Check(kFilesCheck, m_deleteFiles);
}

// ------------------------------------------------------------ 328

CRemoveGroupDlg::CRemoveGroupDlg(QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kRemoveGroupDialog);
    setWindowTitle(QString::fromUtf8("Sluoknių grupės šalinimas"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeRadio(this, kGroupOnly, "Pašalinti tik grupę, o jos sluoksnius palikti"));
    layout->addWidget(MakeRadio(this, kWithLayers, "Pašalinti grupę kartu su jos sluoksniais"));
    layout->addWidget(MakeRadio(this, kWithFiles, "Pašalinti grupę, jos sluoksnius ir sluoksnių failus"));
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(360);
}

void CRemoveGroupDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Radio({kGroupOnly, kWithLayers, kWithFiles}, m_choice);
}

// ------------------------------------------------------------ the hooks

bool AskRemoveLayer(const CLayer& layer, bool& deleteFiles)
{
    CRemoveLayerDlg dialog(layer.GetName(), QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    deleteFiles = dialog.GetDeleteFiles();
    return true;
}

int AskRemoveGroup(const CLayer&)
{
    CRemoveGroupDlg dialog(QApplication::activeWindow());
    return dialog.DoModal() == IDOK ? dialog.GetChoice() : -1;
}
