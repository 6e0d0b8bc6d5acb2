#include "settings/widgets/GroupDialogs.h"

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/LayerDialogRules.h"
#include "settings/widgets/LayerIcons.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"

#include <QApplication>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kGroupNameDialog = 30788;
constexpr int kGroupPropsDialog = 30787;
constexpr int kGroupChoiceDialog = 30810;
constexpr int kGroupRole = Qt::UserRole;

// The name edit with its label above it.
QLineEdit* AddNameRow(QDialog& dialog, QVBoxLayout& layout)
{
    auto* name = WithId(CGroupNameDlg::kNameEdit, new QLineEdit(&dialog));
    layout.addWidget(MakeLabel(&dialog, 0, "&Sluoksnių grupės vardas:", name));
    layout.addWidget(name);
    return name;
}

void RefocusName(QWidget& dialog)
{
    if (auto* name = FindControl<QLineEdit>(&dialog, CGroupNameDlg::kNameEdit)) {
        name->setFocus();
        name->selectAll();
    }
}

QTreeWidgetItem* AddTreeItem(const CGroupTreeItem& from, QTreeWidgetItem* item, CLayer* chosen,
                             QTreeWidgetItem*& found)
{
    item->setText(0, ToQString(from.text));
    item->setIcon(0, LayerListIcon(from.image == 0 ? kImageOpenGroup : kImageGroup));
    item->setData(0, kGroupRole, QVariant::fromValue(static_cast<void*>(from.group)));
    // Depth first, the first item of the group wins.
    if (!found && from.group == chosen)
        found = item;
    for (const CGroupTreeItem& child : from.children)
        AddTreeItem(child, new QTreeWidgetItem(item), chosen, found);
    return item;
}

} // namespace

// ------------------------------------------------------------ 30788

CGroupNameDlg::CGroupNameDlg(const CDrelDoc& document, std::string name, QWidget* parent)
    : CDialogBase(parent), m_document(document), m_name(std::move(name))
{
    SetControlId(this, kGroupNameDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnių grupės sukūrimas"));
    auto* layout = new QVBoxLayout(this);
    AddNameRow(*this, *layout);
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(340);
}

void CGroupNameDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kNameEdit, m_name, kGroupNameLength);
}

void CGroupNameDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    if (!CheckGroupName(m_document, m_name, nullptr)) {
        RefocusName(*this);
        return;
    }
    EndDialog(IDOK);
}

// ------------------------------------------------------------ 30787

CGroupPropsDlg::CGroupPropsDlg(const CDrelDoc& document, const CLayer& group, std::string name, bool working,
                               QWidget* parent)
    : CDialogBase(parent), m_document(document), m_group(group), m_name(std::move(name)), m_working(working ? 1 : 0)
{
    SetControlId(this, kGroupPropsDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnių grupės parametrai"));
    auto* layout = new QVBoxLayout(this);
    AddNameRow(*this, *layout);
    layout->addWidget(MakeCheck(this, kWorkingCheck, "&Darbinė sluoksnių grupė"));
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(340);
}

void CGroupPropsDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kNameEdit, m_name, kGroupNameLength);
    dx.Check(kWorkingCheck, m_working);
}

void CGroupPropsDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    if (!CheckGroupName(m_document, m_name, &m_group)) {
        RefocusName(*this);
        return;
    }
    EndDialog(IDOK);
}

// ------------------------------------------------------------ 30810

CGroupChoiceDlg::CGroupChoiceDlg(const CDrelDoc& document, CLayer* group, QWidget* parent)
    : CDialogBase(parent), m_tree(WithId(kTree, new QTreeWidget(this))), m_group(group)
{
    SetControlId(this, kGroupChoiceDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnių grupės pasirinkimas"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    QTreeWidgetItem* found = nullptr;
    QTreeWidgetItem* root = AddTreeItem(BuildGroupTree(document), new QTreeWidgetItem(m_tree), group, found);
    m_tree->expandAll();
    if (!found)
        found = root;
    m_tree->setCurrentItem(found);
    m_tree->scrollToItem(found);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { OnOK(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "Pasirinkite sluoksnių grupę:", m_tree));
    layout->addWidget(m_tree, 1);
    layout->addLayout(MakeOkCancelRow());
    resize(320, 360);
}

void CGroupChoiceDlg::OnOK()
{
    QTreeWidgetItem* item = m_tree->currentItem();
    if (!item)
        return;
    m_group = static_cast<CLayer*>(item->data(0, kGroupRole).value<void*>());
    EndDialog(IDOK);
}

// ------------------------------------------------------------ the hooks

bool RunGroupNameDialog(CDrelDoc& document, std::string& name)
{
    CGroupNameDlg dialog(document, name, QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    name = dialog.GetName();
    return true;
}

bool RunGroupPropsDialog(const CLayer& group, CDrelDoc& document, std::string& name, bool& working)
{
    CGroupPropsDlg dialog(document, group, name, working, QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    name = dialog.GetName();
    working = dialog.IsWorking();
    return true;
}
