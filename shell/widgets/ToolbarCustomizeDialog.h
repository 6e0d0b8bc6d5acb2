#pragma once

#include <QDialog>

class CCommandActions;
class CCustomToolBar;
class QListWidget;
class QPushButton;

// The customise dialog of a toolbar the user may rearrange: the buttons
// the bar was loaded with but does not show (with a separator always on
// offer) and the ones it shows, added, removed and moved at once on the
// bar; Reset brings back the loaded buttons still available. Its labels
// are Lithuanian when the program uses its own message box, else English.
// Controls: lists 201 (offered) and 203 (shown); buttons 1 add, 204
// remove, 2 close, 202 reset, 205 help (hidden), 206 up, 207 down.
class CToolbarCustomizeDialog : public QDialog {
public:
    CToolbarCustomizeDialog(CCustomToolBar& bar, CCommandActions& actions, bool lithuanian, QWidget* parent = nullptr);

private:
    void Fill(int shownRow);
    void Add();
    void Remove();
    void MoveSelected(int delta);
    void Reset();
    void UpdateButtons();

    CCustomToolBar& m_bar;
    CCommandActions& m_actions;
    QString m_separatorText;
    QListWidget* m_offered;
    QListWidget* m_shown;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_up;
    QPushButton* m_down;
};
