#include "shell/widgets/CustomToolBar.h"

#include "res/MenuTable.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/ToolbarCustomizeDialog.h"
#include "shell/widgets/DrelApp.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>

namespace {
constexpr int kToolbarMenu = 283;
constexpr int kCmdToolbarList = 30457;
constexpr int kCmdCustomize = 30481;
} // namespace

CCustomToolBar::CCustomToolBar(const QString& caption, CCommandActions& actions, QWidget* parent)
    : QToolBar(caption, parent), m_actions(actions)
{
}

CCustomToolBar::~CCustomToolBar()
{
    if (m_model)
        m_model->SaveIfChanged();
}

void CCustomToolBar::MakeCustomisable(int controlId, const std::vector<int>& buttons, const std::set<int>& hidden)
{
    m_model = std::make_unique<CCustomToolBarModel>();
    m_model->Init(controlId, buttons);
    m_model->RemoveHiddenButtons(hidden);
    m_model->RestoreSavedState();
    ShowButtons();
}

void CCustomToolBar::ShowButtons()
{
    clear();
    for (const int id : m_model->GetButtons()) {
        if (id == 0)
            addSeparator();
        else
            m_actions.AddToolButton(this, id);
    }
}

void CCustomToolBar::OnToolbarChanged()
{
    if (m_model)
        ShowButtons();
}

void CCustomToolBar::Customize()
{
    if (!m_model || !m_model->HasButtons())
        return;
    const CDrelApp* app = CDrelApp::Instance();
    CToolbarCustomizeDialog dialog(*this, m_actions, app && app->UsesOwnMessageBox(), window());
    dialog.exec();
}

QMenu* CCustomToolBar::MakeContextMenu()
{
    auto* menu = new QMenu(this);
    const MenuResource* resource = FindMenuResource(kToolbarMenu);
    if (!resource || resource->popups.empty())
        return menu;
    QPointer<CCustomToolBar> self(this);
    for (const MenuEntry& entry : resource->popups.front().items) {
        if (entry.kind != MenuEntry::kCommand)
            continue;
        if (entry.id == kCmdCustomize && !(m_model && m_model->HasButtons()))
            continue;
        QAction* item = menu->addAction(QString::fromUtf8(entry.text));
        SetControlId(item, entry.id);
        const int id = entry.id;
        connect(item, &QAction::triggered, this, [this, self, id] {
            if (!self)
                return;
            if (id == kCmdCustomize)
                Customize();
            else if (id == kCmdToolbarList)
                m_actions.Execute(id);
        });
    }
    return menu;
}

void CCustomToolBar::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = MakeContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}
