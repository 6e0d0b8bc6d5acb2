#include "settings/widgets/NewLayerDlg.h"

#include "mapdoc/DrelDoc.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/LayerDialogRules.h"
#include "settings/LayerSheetRules.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/FilePrompt.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kNewLayerDialog = 102;
constexpr int kLayerFileDialog = 30772;
constexpr const char* kTypes[] = {"Taškas", "Linija", "Sritis"};

bool ChooseSavePath(std::string& path, const std::string& filter)
{
    CQtFilePrompt prompt;
    return prompt.PromptFileName(path, false, filter, {});
}

} // namespace

// ------------------------------------------------------------ the names

CLayerNamesDlg::CLayerNamesDlg(CDrelDoc& document, QWidget* parent)
    : CDialogBase(parent),
      chooseFile(ChooseSavePath),
      m_document(document),
      m_nameEdit(WithId(kNameEdit, new QLineEdit(this))),
      m_fileEdit(WithId(kFileEdit, new QLineEdit(this)))
{
    setWindowTitle(QString::fromUtf8("Sluoksnio kūrimas"));
    connect(m_nameEdit, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
    connect(m_fileEdit, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
}

void CLayerNamesDlg::SetNames(std::string name, std::string path)
{
    m_name = std::move(name);
    m_path = std::move(path);
}

void CLayerNamesDlg::MakeForm(QWidget* typeCombo)
{
    auto* files = MakeButton(this, kFilesButton, "F&ailai...");
    connect(files, &QPushButton::clicked, this, [this] { OnFiles(); });
    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, 0, "&Sluoksnio vardas:", m_nameEdit), 0, 0);
    grid->addWidget(m_nameEdit, 0, 1, 1, 2);
    grid->addWidget(MakeLabel(this, 0, "&Failo vardas:", m_fileEdit), 1, 0);
    grid->addWidget(m_fileEdit, 1, 1);
    grid->addWidget(files, 1, 2);
    if (typeCombo) {
        grid->addWidget(MakeLabel(this, 0, "Sluoksnio &tipas:", typeCombo), 2, 0);
        grid->addWidget(typeCombo, 2, 1, Qt::AlignLeft);
    }
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    m_ok = FindControl<QPushButton>(this, IDOK);
    setMinimumWidth(460);
}

void CLayerNamesDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    UpdateOk();
}

void CLayerNamesDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kNameEdit, m_name, kLayerNameLength);
    dx.Text(kFileEdit, m_path, kLayerPathLength);
}

void CLayerNamesDlg::UpdateOk()
{
    if (m_ok)
        m_ok->setEnabled(!m_nameEdit->text().isEmpty() && !m_fileEdit->text().isEmpty());
}

void CLayerNamesDlg::OnFiles()
{
    std::string path = FromQString(m_fileEdit->text());
    if (chooseFile && chooseFile(path, GetFileFilter()))
        m_fileEdit->setText(ToQString(path));
}

void CLayerNamesDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    switch (CheckNewLayerChoice(m_document, m_name, m_path, m_replaceConfirmed)) {
    case ENewLayerRefusal::kName:
        m_nameEdit->setFocus();
        m_nameEdit->selectAll();
        return;
    case ENewLayerRefusal::kFile:
        m_fileEdit->setText(ToQString(m_path));
        m_fileEdit->setFocus();
        m_fileEdit->selectAll();
        return;
    case ENewLayerRefusal::kNone:
        EndDialog(IDOK);
        return;
    }
}

// ------------------------------------------------------------ 102

CNewLayerDlg::CNewLayerDlg(CDrelDoc& document, const CNewLayerOptions& options, QWidget* parent)
    : CLayerNamesDlg(document, parent), m_options(options)
{
    SetControlId(this, kNewLayerDialog);
    auto* types = WithId(kTypeCombo, new QComboBox(this));
    for (const char* type : kTypes)
        types->addItem(QString::fromUtf8(type));
    MakeForm(types);
}

std::string CNewLayerDlg::GetFileFilter() const
{
    return NewLayerFileFilter(m_options.fileTypes);
}

void CNewLayerDlg::OnInitDialog()
{
    CLayerNamesDlg::OnInitDialog();
    FindControl(this, kTypeCombo)->setEnabled(m_options.typeChoice);
}

void CNewLayerDlg::DoDataExchange(CDataExchange& dx)
{
    CLayerNamesDlg::DoDataExchange(dx);
    // A type the combo does not offer (a track example's) stays as given.
    auto* types = FindControl<QComboBox>(this, kTypeCombo);
    if (!dx.IsSaving())
        types->setCurrentIndex(m_type >= 0 && m_type < types->count() ? m_type : -1);
    else if (types->currentIndex() >= 0)
        m_type = types->currentIndex();
}

// ------------------------------------------------------------ 30772

CLayerFileDlg::CLayerFileDlg(CDrelDoc& document, const CLayerFileOptions& options, QWidget* parent)
    : CLayerNamesDlg(document, parent), m_options(options)
{
    SetControlId(this, kLayerFileDialog);
    MakeForm(nullptr);
}

std::string CLayerFileDlg::GetFileFilter() const
{
    return LayerFileFilter(m_options);
}

// ------------------------------------------------------------ the hooks

bool RunNewLayerDialog(CDrelDoc& document, std::string& name, std::string& path, int& type,
                       CNewLayerOptions& options)
{
    CNewLayerDlg dialog(document, options, QApplication::activeWindow());
    dialog.SetNames(name, path);
    dialog.SetType(type);
    options.replaceConfirmed = false;
    if (dialog.DoModal() != IDOK)
        return false;
    name = dialog.GetName();
    path = dialog.GetPath();
    type = dialog.GetType();
    options.replaceConfirmed = dialog.IsReplaceConfirmed();
    return true;
}

bool RunLayerFileDialog(CDrelDoc& document, std::string& name, std::string& path, CLayerFileOptions& options)
{
    CLayerFileDlg dialog(document, options, QApplication::activeWindow());
    dialog.SetNames(name, path);
    options.replaceConfirmed = false;
    if (dialog.DoModal() != IDOK)
        return false;
    name = dialog.GetName();
    path = dialog.GetPath();
    options.replaceConfirmed = dialog.IsReplaceConfirmed();
    return true;
}
