#include "shell/widgets/FrameworkApp.h"

#include "res/CommandIds.h"
#include "shell/AppLocale.h"
#include "shell/widgets/FilePrompt.h"
#include "shell/widgets/MdiFrame.h"

CFrameworkApp::CFrameworkApp(int& argc, char** argv)
    : QApplication(argc, argv), m_prompt(std::make_unique<CQtFilePrompt>())
{
    SetProgramLocale();
    m_docManager.SetFilePrompt(m_prompt.get());

    m_commands.On(kCmdFileOpen, [this] { m_docManager.PromptAndOpen(); });
    m_commands.OnRange(kCmdFileRecentFirst, kCmdFileRecentLast, [this](int id) {
        const std::string path = m_docManager.RecentFiles().GetAt(id - kCmdFileRecentFirst);
        if (!path.empty())
            m_docManager.OpenDocumentFile(path);
    });
    m_commands.OnUpdateRange(kCmdFileRecentFirst, kCmdFileRecentLast, [this](CCommandState& state) {
        const CRecentFileList& recent = m_docManager.RecentFiles();
        const int index = state.GetId() - kCmdFileRecentFirst;
        if (index == 0) {
            std::vector<CCommandState::MenuEntry> entries;
            for (int i = 0; i < recent.GetSize(); ++i)
                entries.push_back({kCmdFileRecentFirst + i, recent.GetMenuText(i)});
            state.SetMenuEntries(std::move(entries));
        }
        state.Enable(index < recent.GetSize());
    });
    // A loop ended without the main window's close (an exit, the end of
    // the session) closes it as the user would: modified maps ask first.
    connect(this, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_mainFrame && m_mainFrame->isVisible())
            m_mainFrame->close();
    });
    m_commands.On(kCmdAppExit, [this] {
        if (m_mainFrame)
            m_mainFrame->close();
        else
            quit();
    });
}

CFrameworkApp::~CFrameworkApp()
{
    delete m_mainFrame.data();
}

CFrameworkApp* CFrameworkApp::Instance()
{
    return dynamic_cast<CFrameworkApp*>(QCoreApplication::instance());
}

void CFrameworkApp::SetMainFrame(CMdiFrame* frame)
{
    m_mainFrame = frame;
}
