#include "shell/widgets/CommandActions.h"

#include "platform/QtText.h"
#include "res/AcceleratorTable.h"
#include "res/MenuTable.h"
#include "res/ToolbarTable.h"
#include "shell/CommandText.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/ToolbarIcons.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <algorithm>

namespace {

// Every live instance hears of changed command states.
std::vector<CCommandActions*>& Instances()
{
    static std::vector<CCommandActions*> instances;
    return instances;
}

void NotifyInstances()
{
    for (CCommandActions* actions : Instances())
        actions->RequestUpdate();
}

} // namespace

CCommandActions::CCommandActions(QWidget* window, RouteProvider route)
    : QObject(window), m_window(window), m_route(std::move(route))
{
    Instances().push_back(this);
    SetCommandStatesListener(NotifyInstances);
    connect(qApp, &QApplication::focusChanged, this, [this] { RequestUpdate(); });
    m_timer.setInterval(kToolbarUpdateMs);
    connect(&m_timer, &QTimer::timeout, this, &CCommandActions::UpdateToolbarItems);
}

CCommandActions::~CCommandActions()
{
    auto& instances = Instances();
    instances.erase(std::remove(instances.begin(), instances.end(), this), instances.end());
    if (instances.empty())
        SetCommandStatesListener(nullptr);
}

QAction* CCommandActions::FindAction(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* CCommandActions::Action(int id)
{
    if (QAction* existing = FindAction(id))
        return existing;
    auto* action = new QAction(m_window);
    SetControlId(action, id);
    action->setData(id);
    const QString tip = ToQString(GetCommandToolTip(id));
    action->setText(tip.isEmpty() ? QString::number(id) : tip);
    action->setIconText(action->text());
    action->setToolTip(tip);
    action->setStatusTip(ToQString(GetCommandPrompt(id)));
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    m_window->addAction(action);
    m_actions[id] = action;
    UpdateAction(action, m_route());
    return action;
}

void CCommandActions::BindWidget(int id, QWidget* widget)
{
    m_widgets.emplace_back(id, widget);
    m_timer.start();
}

bool CCommandActions::Execute(int id)
{
    const QPointer<CCommandActions> self(this);
    const bool ran = m_route().Execute(id);
    // The command may have closed the window that owns this.
    if (self)
        UpdateAll();
    return ran;
}

void CCommandActions::RequestUpdate()
{
    if (m_updatePosted)
        return;
    m_updatePosted = true;
    QTimer::singleShot(0, this, [this] {
        m_updatePosted = false;
        UpdateAll();
    });
}

void CCommandActions::UpdateAll()
{
    const CCommandRoute route = m_route();
    for (const auto& [id, action] : m_actions)
        UpdateAction(action, route);
    for (ListItem& item : m_lists)
        UpdateList(item, route);
    UpdateWidgets(route);
}

void CCommandActions::UpdateMenu(QMenu* menu)
{
    const CCommandRoute route = m_route();
    for (ListItem& item : m_lists)
        if (item.menu == menu)
            UpdateList(item, route);
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && !action->menu() && FindAction(action->data().toInt()) == action)
            UpdateAction(action, route);
}

void CCommandActions::UpdateToolbarItems()
{
    const CCommandRoute route = m_route();
    for (const int id : m_toolbarIds)
        if (QAction* action = FindAction(id))
            UpdateAction(action, route);
    UpdateWidgets(route);
}

void CCommandActions::UpdateAction(QAction* action, const CCommandRoute& route)
{
    CCommandState state(action->data().toInt());
    route.Update(state);
    Apply(action, state);
}

void CCommandActions::UpdateWidgets(const CCommandRoute& route)
{
    m_widgets.erase(std::remove_if(m_widgets.begin(), m_widgets.end(), [](const auto& w) { return !w.second; }),
                    m_widgets.end());
    for (const auto& [id, widget] : m_widgets) {
        CCommandState state(id);
        route.Update(state);
        Apply(widget, state);
    }
}

void CCommandActions::UpdateList(ListItem& item, const CCommandRoute& route)
{
    if (!item.menu || !item.placeholder)
        return;
    for (const QPointer<QAction>& entry : item.entries)
        if (entry)
            item.menu->removeAction(entry);
    item.entries.clear();

    CCommandState state(item.id);
    route.Update(state);
    const auto& entries = state.GetMenuEntries();
    if (entries.empty()) {
        item.placeholder->setVisible(true);
        Apply(item.placeholder, state);
        return;
    }
    item.placeholder->setVisible(false);
    const QList<QAction*> present = item.menu->actions();
    const qsizetype at = present.indexOf(item.placeholder.data());
    QAction* before = at >= 0 && at + 1 < present.size() ? present[at + 1] : nullptr;
    for (const CCommandState::MenuEntry& entry : entries) {
        QAction* action = Action(entry.id);
        action->setText(ToQString(entry.text));
        item.menu->insertAction(before, action);
        item.entries.emplace_back(action);
        UpdateAction(action, route);
    }
}

void CCommandActions::Apply(QAction* action, const CCommandState& state)
{
    action->setEnabled(state.IsEnabled());
    if (state.IsCheckSet()) {
        action->setCheckable(true);
        action->setChecked(state.GetCheck() != 0);
        // A radio mark is what Qt draws for an action of an exclusive group.
        QActionGroup* group = action->actionGroup();
        if (state.IsRadio() && !group) {
            group = new QActionGroup(action);
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            group->addAction(action);
        } else if (!state.IsRadio() && group && group->parent() == action) {
            group->removeAction(action);
            delete group;
        }
    }
    if (state.IsTextSet())
        action->setText(ToQString(state.GetText()));
}

void CCommandActions::Apply(QWidget* widget, const CCommandState& state)
{
    widget->setEnabled(state.IsEnabled());
    if (state.IsTextSet())
        SetControlText(widget, ToQString(state.GetText()));
    if (state.IsCheckSet())
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->isCheckable())
            button->setChecked(state.GetCheck() != 0);
}

QMenu* CCommandActions::MakeMenu(std::span<const MenuEntry> entries, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::kCommand: {
            QAction* action = Action(entry.id);
            action->setText(QString::fromUtf8(entry.text));
            menu->addAction(action);
            break;
        }
        case MenuEntry::kPopup: {
            QMenu* popup = MakeMenu(entry.items, parent);
            popup->setTitle(QString::fromUtf8(entry.text));
            menu->addMenu(popup);
            break;
        }
        case MenuEntry::kSeparator:
            menu->addSeparator();
            break;
        case MenuEntry::kList: {
            // The list's own item is not the id's shared action: that one
            // may stand in the list as its first entry.
            QAction* placeholder = menu->addAction(QString::fromUtf8(entry.text));
            placeholder->setData(entry.id);
            m_lists.push_back({entry.id, menu, placeholder, {}});
            break;
        }
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
    return menu;
}

const std::vector<QMenu*>& CCommandActions::Popups(int menuId)
{
    auto it = m_menus.find(menuId);
    if (it == m_menus.end()) {
        std::vector<QMenu*> popups;
        if (const MenuResource* resource = FindMenuResource(menuId)) {
            for (const MenuEntry& entry : resource->popups) {
                QMenu* popup = MakeMenu(entry.items, m_window);
                popup->setTitle(QString::fromUtf8(entry.text));
                SetControlId(popup, menuId);
                popups.push_back(popup);
            }
        }
        it = m_menus.emplace(menuId, std::move(popups)).first;
    }
    return it->second;
}

void CCommandActions::FillMenuBar(QMenuBar* bar, int menuId)
{
    bar->clear();
    for (QMenu* popup : Popups(menuId))
        bar->addMenu(popup);
}

QMenu* CCommandActions::PopupMenu(int menuId, int index)
{
    const std::vector<QMenu*>& popups = Popups(menuId);
    return index >= 0 && index < static_cast<int>(popups.size()) ? popups[index] : nullptr;
}

void CCommandActions::FillToolBar(QToolBar* bar, int toolbarId)
{
    SetControlId(bar, toolbarId);
    const ToolbarResource* resource = FindToolbarResource(toolbarId);
    if (!resource)
        return;
    for (const int id : resource->buttons) {
        if (id == 0) {
            bar->addSeparator();
            continue;
        }
        AddToolButton(bar, id);
    }
}

QAction* CCommandActions::AddToolButton(QToolBar* bar, int id)
{
    QAction* action = Action(id);
    if (action->icon().isNull())
        action->setIcon(ToolbarIcon(id));
    bar->addAction(action);
    m_toolbarIds.insert(id);
    m_timer.start();
    return action;
}

void CCommandActions::ApplyAccelerators(int tableId)
{
    for (const int id : m_shortcutIds)
        if (QAction* action = FindAction(id))
            action->setShortcut({});
    m_shortcutIds.clear();
    for (const Accelerator& accelerator : FindAccelerators(tableId)) {
        QAction* action = Action(accelerator.command);
        action->setShortcut(QKeySequence(QString::fromUtf8(accelerator.keys), QKeySequence::PortableText));
        m_shortcutIds.insert(accelerator.command);
    }
}
