#pragma once

#include "platform/CommandTarget.h"
#include "shell/CommandRegistry.h"
#include "shell/CommandRoute.h"

#include <QMainWindow>

#include <string>

class CCommandActions;
class CMdiChild;
class QMdiArea;
class QMdiSubWindow;

// The program's main window over a multi-document area: it owns the
// command actions of the window and routes them (the extension's veto,
// then the active child's focused view, its document, the framework's
// save and close of the document, the child, this window, the
// application); it shows the menu and the accelerators of the active
// child's document kind, or its own when no child is open; the Window
// menu's cascade, tile and next window are its own commands; closing it
// asks every modified document and closes them all.
class CMdiFrame : public QMainWindow, public ICommandTarget {
public:
    explicit CMdiFrame(int resourceId = 128, QWidget* parent = nullptr);
    ~CMdiFrame() override;

    QMdiArea* MdiArea() const { return m_area; }
    CCommandActions& Actions() const { return *m_actions; }
    CCommandTable& Commands() { return m_commands; }
    int GetResourceId() const { return m_resourceId; }

    // Puts a new child into the area, not shown yet (document frame
    // factories call this).
    void AddChild(CMdiChild* child);
    // The active child that still shows its document; null when none.
    CMdiChild* ActiveChild() const;
    // A window about to show restored stands where the cascade would put
    // the next window, at its size.
    void PlaceAtNextCascade(QMdiSubWindow& window);
    QList<CMdiChild*> Children() const;

    CCommandRoute BuildRoute() const;

    // The caption's own part (code page 1257); the active child's title
    // follows it in brackets.
    void SetFrameTitle(const std::string& title);

    bool OnCommand(int id) override { return m_commands.OnCommand(id); }
    bool OnUpdateCommand(CCommandState& state) override { return m_commands.OnUpdateCommand(state); }
    bool HandlesCommand(int id) const override { return m_commands.HandlesCommand(id); }

protected:
    void closeEvent(QCloseEvent* event) override;
    // The children go, and their documents with their last window, without
    // asking: a window deleted with its maps open (the event loop ended
    // without closing it) leaves nothing behind.
    void DestroyChildren();
    // The handlers other folders registered for the concrete window class;
    // called at the end of its constructor.
    template <class Self>
    void InstallRegisteredCommands(Self& self)
    {
        CCommandRegistry<Self>::Instance().InstallInto(self, m_commands);
    }

private:
    void OnChildActivated();
    // "Kaskada": the shown windows one step apart, each of a useful size.
    void CascadeChildren();
    static int CascadeStep(const QMdiSubWindow& window);
    void UpdateTitle();

    int m_resourceId;
    QMdiArea* m_area;
    CCommandActions* m_actions;
    CCommandTable m_commands;
    std::string m_frameTitle;
    int m_shownMenu = 0;
};
