#pragma once

#include "platform/CommandTarget.h"
#include "shell/DocManager.h"
#include "shell/widgets/MdiFrame.h"

#include <QApplication>
#include <QPointer>

#include <memory>

class CQtFilePrompt;

// The application object under the program's own: Qt's application with
// the program's locale set as soon as Qt has set the whole of it (numbers
// back to "C"), the document manager with the file dialogs, and the last
// target of every command route: open (57601), the recent files (57616
// to 57623, listed in the File menu), exit (57665).
class CFrameworkApp : public QApplication, public ICommandTarget {
public:
    CFrameworkApp(int& argc, char** argv);
    ~CFrameworkApp() override;

    // Null when the application object is not one.
    static CFrameworkApp* Instance();

    CDocManager& DocManager() { return m_docManager; }
    CCommandTable& Commands() { return m_commands; }
    // The main window, deleted before the documents when the application goes.
    void SetMainFrame(CMdiFrame* frame);
    CMdiFrame* GetMainFrame() const { return m_mainFrame; }

    bool OnCommand(int id) override { return m_commands.OnCommand(id); }
    bool OnUpdateCommand(CCommandState& state) override { return m_commands.OnUpdateCommand(state); }
    bool HandlesCommand(int id) const override { return m_commands.HandlesCommand(id); }

private:
    CDocManager m_docManager;
    std::unique_ptr<CQtFilePrompt> m_prompt;
    CCommandTable m_commands;
    QPointer<CMdiFrame> m_mainFrame;
};
