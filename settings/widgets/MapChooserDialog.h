#pragma once

#include "settings/MapChooserList.h"
#include "platform/CommandTarget.h"
#include "shell/widgets/DialogBase.h"

#include <functional>
#include <string>

class CCommandActions;
class CMapLinks;
class QListView;
class QMenu;
class QStackedWidget;
class QStandardItemModel;
class QTreeView;

// The maps list (dialog 252 "Žemėlapiai"): the application's map links in
// list 1014 ("Žemėlapis" and "Failas"), shown as large icons, small icons
// or details; a map is opened ("At&verti"), added ("Pridėti..."), removed
// ("Pašalinti" or Delete) or renamed in place; a right click opens menu
// 253. The list fills the dialog below its buttons.
class CMapChooserDialog : public CDialogBase {
public:
    static constexpr int kListId = 1014;

    // The view mode as [Map List] "View Type" holds it.
    CMapChooserDialog(CMapLinks& links, int viewType, QWidget* parent = nullptr);
    ~CMapChooserDialog() override;

    // After OK the chosen link's index; -1 before.
    int GetChosenLink() const { return m_chosen; }
    MapListView GetView() const { return m_view; }
    void SetView(MapListView view);

    // The entry selected; -1 none.
    int GetSelectedItem() const;
    void SelectItem(int item);
    QStandardItemModel* GetModel() const { return m_model; }
    QListView* GetIconView() const { return m_icons; }
    QTreeView* GetDetailView() const { return m_details; }
    const CMapChooserList& GetList() const { return m_list; }
    // Menu 253, which a right click in the list opens.
    QMenu* GetContextMenu() const;
    // The map file "Pridėti..." adds; the open-file dialog unless set.
    std::function<bool(std::string& path)> chooseMapFile;

protected:
    void OnInitDialog() override;
    void OnOK() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RegisterCommands();
    void AppendRow(const CMapListItem& item);
    void OnAdd();
    void OnRemove();
    void OnRename();
    void OnSelectionChanged();
    void ShowMenu(const QPoint& global);
    void SizeColumns();

    CMapChooserList m_list;
    MapListView m_view;
    int m_chosen = -1;
    QStandardItemModel* m_model;
    QStackedWidget* m_stack;
    QListView* m_icons;
    QTreeView* m_details;
    CCommandTable m_commands;
    CCommandActions* m_actions;
};

// The chooser over the links, modal over the main window, in the main
// frame's view mode, which takes the mode chosen; the chosen link's index,
// -1 when cancelled.
int ChooseMapLink(CMapLinks& links);
