#pragma once

#include "shell/CommandRoute.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <set>
#include <span>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;
struct MenuEntry;

// The commands of one main window as Qt actions: one QAction per command
// id, shared by the menus, the toolbars and the shortcuts, whose
// triggering runs the command along the window's route. The update pass
// asks the route for each item's state and sets the actions and the
// toolbar boxes bound to ids: when a menu opens, after each command, on
// request (activation, focus and tool changes) and for the toolbars on a
// short timer.
class CCommandActions : public QObject {
public:
    using RouteProvider = std::function<CCommandRoute()>;

    CCommandActions(QWidget* window, RouteProvider route);
    ~CCommandActions() override;

    // The action of the id, made on first use: object name the id, status
    // tip and tool tip from the command's string. It belongs to the
    // window, so its shortcut works wherever the focus is in it.
    QAction* Action(int id);
    QAction* FindAction(int id) const;
    // A box of a toolbar that answers to a command id (the scale edit, the
    // street combo): its update rule enables it and may set its text.
    void BindWidget(int id, QWidget* widget);

    CCommandRoute Route() const { return m_route(); }
    // Runs the command where the route takes it (only while enabled), then
    // updates every item. True when a target ran it.
    bool Execute(int id);

    void UpdateAll();
    void UpdateMenu(QMenu* menu);
    void UpdateToolbarItems();
    // An update pass soon; requests before it make one pass.
    void RequestUpdate();

    // The menu bar's popups from a menu resource (built once per resource
    // and kept), the buttons of a toolbar resource, and the shortcuts of an
    // accelerator table (the commands of the table used before lose theirs).
    void FillMenuBar(QMenuBar* bar, int menuId);
    // Popup number index of a menu resource, for a context menu (its
    // object name the resource id); null when there is none.
    QMenu* PopupMenu(int menuId, int index);
    void FillToolBar(QToolBar* bar, int toolbarId);
    // One button of a bar: the command's action, updated with the toolbars.
    QAction* AddToolButton(QToolBar* bar, int id);
    void ApplyAccelerators(int tableId);

    static constexpr int kToolbarUpdateMs = 250;

private:
    struct ListItem {
        int id;
        QPointer<QMenu> menu;
        QPointer<QAction> placeholder;
        std::vector<QPointer<QAction>> entries;
    };

    QMenu* MakeMenu(std::span<const MenuEntry> entries, QWidget* parent);
    const std::vector<QMenu*>& Popups(int menuId);
    void UpdateAction(QAction* action, const CCommandRoute& route);
    void UpdateList(ListItem& item, const CCommandRoute& route);
    void UpdateWidgets(const CCommandRoute& route);
    static void Apply(QAction* action, const CCommandState& state);
    static void Apply(QWidget* widget, const CCommandState& state);

    QWidget* m_window;
    RouteProvider m_route;
    std::map<int, QAction*> m_actions;
    std::vector<std::pair<int, QPointer<QWidget>>> m_widgets;
    std::vector<ListItem> m_lists;
    std::map<int, std::vector<QMenu*>> m_menus;
    std::set<int> m_toolbarIds;
    std::set<int> m_shortcutIds;
    QTimer m_timer;
    bool m_updatePosted = false;
};
