#pragma once

#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "platform/Path.h"
#include "shell/StartupChoice.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/demo/DemoMapWriter.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// The program's application object, made once for the test program.
inline CDrelApp& NeedDrelApp()
{
    CDrelApp& app = NeedApplicationOf<CDrelApp>("drel");
    // The tests close main windows and go on.
    app.setQuitOnLastWindowClosed(false);
    return app;
}

// The demo town, written once for the test program.
inline const std::string& DemoMapPath()
{
    static CTempDir folder;
    static const std::string path = [] {
        CDemoOptions options;
        options.streets = 40;
        std::string error;
        EXPECT_TRUE(MakeDemoMap(folder.Path(), options, error)) << error;
        return folder.File(CDemoMapWriter::kMapFile);
    }();
    return path;
}

// Each test starts the program (InitInstance) over a profile, a program
// folder and a user folder of its own; the program's own message box
// records what it would show and answers from a script.
class CAppFixture : public ::testing::Test {
protected:
    CAppFixture() : app(NeedDrelApp())
    {
        CAppProfile::Instance().SetFilePathForTesting(dir.File("Drel.ini"));
        MakeFolder(ProgramFile(""));
        MakeFolder(UserFile(""));
        SetProgramFolderForTesting(ProgramFile(""));
        SetUserFolderForTesting(UserFile(""));
        app.SetOwnMessageBox([this](QWidget*, const std::string& text, const std::string& caption,
                                    unsigned type) -> int {
            shown.push_back(text);
            captions.push_back(caption);
            if (!answers.empty()) {
                const int answer = answers.front();
                answers.erase(answers.begin());
                return answer;
            }
            return IDOK;
        });
    }
    ~CAppFixture() override
    {
        Stop();
        app.SetOwnMessageBox(nullptr);
        app.SetMapChooser(nullptr);
        app.SetMapUnitsPrompt(nullptr);
        app.SetMapFrameFactory(nullptr);
        app.SetTableFactories(nullptr, nullptr);
        SetProgramFolderForTesting("");
        SetUserFolderForTesting("");
        CAppProfile::Instance().SetFilePathForTesting("");
    }

    // Starts the program as if with these arguments.
    bool Start(const std::vector<std::string>& arguments = {})
    {
        const int started = app.InitInstance(ParseStartArguments(arguments));
        frame = app.GetMainFrame();
        return started == 1 && frame;
    }
    // Ends it without the user's close: documents, window, exit.
    void Stop()
    {
        if (!app.GetMainFrame())
            return;
        app.DocManager().CloseAllDocuments();
        delete app.GetMainFrame();
        frame = nullptr;
        FlushDeletes();
        app.ExitInstance();
    }
    // The user closes the main window; then the program exits.
    void CloseAsUser()
    {
        frame->close();
        Stop();
    }

    std::string ProgramFile(const std::string& name) const { return dir.File("program/" + name); }
    std::string UserFile(const std::string& name) const { return dir.File("user/" + name); }
    void WriteLink(const std::string& name, const std::string& title, const std::string& path) const
    {
        WriteWholeFile(ProgramFile(name), "[MapLink]\r\nTitle=" + title + "\r\nPath=" + path + "\r\n");
    }
    std::vector<CShellDocument*> MapDocuments() const { return app.GetMapTemplate()->GetDocuments(); }
    bool Run(int command) { return frame->Actions().Execute(command); }
    // The widget's window is active first: the main window's activation
    // gives the focus back to the map window.
    bool FocusOn(QWidget* widget)
    {
        QWidget* window = widget->window();
        window->activateWindow();
        if (!WaitFor([window] { return QApplication::activeWindow() == window; }))
            return false;
        QCoreApplication::processEvents();
        widget->setFocus();
        return WaitFor([widget] { return widget->hasFocus(); });
    }
    bool IsEnabled(int command) const { return frame->BuildRoute().IsEnabled(command); }
    // Runs the command while the modal window it opens is looked at; the
    // window is closed afterwards.
    void WithModal(const std::function<void()>& open, const std::function<void(QWidget&)>& look)
    {
        WithModalWindow(open, look);
    }

    CTempDir dir;
    CDrelApp& app;
    CMainFrame* frame = nullptr;
    std::vector<std::string> shown;
    std::vector<std::string> captions;
    std::vector<int> answers;
};
