#pragma once

#include "shell/CustomToolBarModel.h"

#include <QToolBar>

#include <memory>
#include <set>
#include <vector>

class CCommandActions;
class QMenu;

// A toolbar of the main window. Its popup menu (resource 283) offers the
// toolbar list and, for a bar the user may rearrange, "Priderinti..."
// (customise), kept while the bar was loaded with any button, so a bar
// the user emptied can get its buttons back.
class CCustomToolBar : public QToolBar {
public:
    CCustomToolBar(const QString& caption, CCommandActions& actions, QWidget* parent = nullptr);
    // Saves a changed arrangement.
    ~CCustomToolBar() override;

    // Makes the bar one the user rearranges, with these buttons loaded:
    // the hidden ones are dropped, then the saved arrangement is restored.
    void MakeCustomisable(int controlId, const std::vector<int>& buttons, const std::set<int>& hidden);
    bool IsCustomisable() const { return static_cast<bool>(m_model); }
    CCustomToolBarModel* Model() const { return m_model.get(); }

    // The customise dialog (modal); nothing for a bar loaded without buttons.
    void Customize();
    // The model changed: the bar shows its buttons again.
    void OnToolbarChanged();

    // The popup menu, made afresh; the caller owns it.
    QMenu* MakeContextMenu();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ShowButtons();

    CCommandActions& m_actions;
    std::unique_ptr<CCustomToolBarModel> m_model;
};
