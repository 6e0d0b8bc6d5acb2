#include "settings/widgets/LayerFileListDlg.h"

#include "platform/Path.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/FilePrompt.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int kAddFilesDialog = 259;
constexpr int kLayerFileListDialog = 261;
constexpr int kFieldLength = 200;

std::string CurrentFolder()
{
    std::string folder;
    if (char* cwd = ::getcwd(nullptr, 0)) {
        folder = FromNativePath(cwd);
        std::free(cwd);
    }
    return folder;
}

bool ChooseExistingFiles(const std::string& filter, std::vector<std::string>& paths)
{
    int filterIndex = 1;
    return PromptOpenFiles(filter, filterIndex, true, paths);
}

} // namespace

// ------------------------------------------------------------ 259

CAddFilesDlg::CAddFilesDlg(std::string pattern, QWidget* parent)
    : CDialogBase(parent), m_pattern(std::move(pattern)), m_folder(CurrentFolder())
{
    SetControlId(this, kAddFilesDialog);
    setWindowTitle(QString::fromUtf8("Failų įtraukimas"));
    auto* patternEdit = WithId(kPatternEdit, new QLineEdit(this));
    auto* folderEdit = WithId(kFolderEdit, new QLineEdit(this));
    auto* form = new QFormLayout;
    form->addRow(MakeLabel(this, 0, "&Failo vardas:", patternEdit), patternEdit);
    form->addRow(MakeLabel(this, 0, "&Katalogas:", folderEdit), folderEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MakeCheck(this, kSubfoldersCheck, "Į&traukti pakatalogius"));
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(420);
}

void CAddFilesDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kPatternEdit, m_pattern, kFieldLength);
    dx.Text(kFolderEdit, m_folder, kFieldLength);
    dx.Check(kSubfoldersCheck, m_subfolders);
}

// ------------------------------------------------------------ 261

CLayerFileListDlg::CLayerFileListDlg(CLayer* layer, QWidget* parent)
    : CDialogBase(parent),
      chooseFiles(ChooseExistingFiles),
      m_layer(layer),
      m_list(layer),
      m_box(WithId(kList, new QListWidget(this)))
{
    SetControlId(this, kLayerFileListDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnio failų sąrašas"));
    m_box->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* add = MakeButton(this, kAddButton, "&Pridėti...");
    auto* remove = MakeButton(this, kRemoveButton, "Pašalinti");
    auto* removeAll = MakeButton(this, kRemoveAllButton, "Pašalinti &visus");
    auto* describe = MakeButton(this, kDescribeButton, "&Aprašyti");
    connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(remove, &QPushButton::clicked, this, [this] { OnRemove(); });
    connect(removeAll, &QPushButton::clicked, this, [this] {
        m_list.RemoveAll();
        Refill();
    });
    connect(describe, &QPushButton::clicked, this, [this] { OnDescribe(); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {add, remove, removeAll, describe})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, 0, "&Failai:", m_box), 0, 0);
    grid->addWidget(m_box, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->setRowStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(MakeOkCancelRow());
    resize(520, 320);
    Refill();
}

void CLayerFileListDlg::Refill()
{
    m_box->clear();
    for (const std::string& file : m_list.GetFiles())
        m_box->addItem(ToQString(file));
}

void CLayerFileListDlg::OnAdd()
{
    std::vector<std::string> paths;
    if (chooseFiles && chooseFiles(m_list.GetOpenFilter(), paths) && m_list.Add(paths) > 0)
        Refill();
}

void CLayerFileListDlg::OnRemove()
{
    // From the last, so the rows before keep their places.
    for (int row = m_box->count() - 1; row >= 0; --row)
        if (m_box->item(row)->isSelected())
            m_list.Remove(row);
    Refill();
}

void CLayerFileListDlg::OnDescribe()
{
    CAddFilesDlg search(m_list.GetSearchPattern(), this);
    if (search.DoModal() != IDOK)
        return;
    int added;
    {
        CWaitCursor wait;
        added = m_list.Add(FindFilesInFolder(search.GetFolder(), search.GetPattern(), search.GetSubfolders()));
    }
    if (added > 0)
        Refill();
}

void CLayerFileListDlg::OnOK()
{
    if (m_list.GetFiles().empty())
        return;
    if (m_layer)
        m_list.ApplyTo(*m_layer);
    EndDialog(IDOK);
}

bool EditLayerFileList(CLayer& layer, QWidget* parent)
{
    CLayerFileListDlg dialog(&layer, parent);
    return dialog.DoModal() == IDOK;
}
