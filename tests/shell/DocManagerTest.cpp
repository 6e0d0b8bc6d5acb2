#include "shell/DocManager.h"

#include "mapdoc/DrelDoc.h"
#include "platform/AppProfile.h"
#include "platform/Path.h"
#include "res/CommandIds.h"
#include "shell/FrameworkDocumentHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

using CLog = std::vector<std::string>;

// A document that opens what exists and saves unless told to fail.
class CFakeDocument : public CShellDocument {
public:
    explicit CFakeDocument(CLog& log) : m_log(log) {}
    ~CFakeDocument() override { m_log.push_back("document gone"); }
    bool OnOpenDocument(const std::string& path) override
    {
        m_log.push_back("open " + path);
        return PathExists(path);
    }
    bool OnSaveDocument(const std::string& path) override
    {
        m_log.push_back("save " + path);
        return !failSave;
    }
    void OnCloseDocument() override { m_log.push_back("close"); }
    bool IsModified() const override { return m_modified; }
    void SetModifiedFlag(bool modified) override { m_modified = modified; }
    std::string GetPathName() const override { return m_path; }
    void SetPathName(const std::string& path) override { m_path = path; }

    bool failSave = false;

private:
    CLog& m_log;
    bool m_modified = false;
    std::string m_path;
};

class CFakeFrame : public IDocFrame {
public:
    CFakeFrame(CLog& log, CDocManager& manager) : m_log(log), m_manager(manager) {}
    void InitialUpdateFrame() override { m_log.push_back("frame shown"); }
    void ActivateFrame() override { m_log.push_back("frame activated"); }
    void DestroyFrame() override
    {
        m_log.push_back("frame gone");
        m_manager.FrameDestroyed(*this);
    }
    void OnDocumentTitleChanged(const std::string& title) override { m_log.push_back("title " + title); }

private:
    CLog& m_log;
    CDocManager& m_manager;
};

// Answers the file dialogs from a script; an empty answer cancels.
class CScriptedPrompt : public IFilePrompt {
public:
    bool PromptFileName(std::string& path, bool open, const std::string& filter,
                        const std::string& defaultExt) override
    {
        asked.push_back((open ? "open " : "save ") + path + " [" + filter + "] " + defaultExt);
        if (answers.empty() || answers.front().empty()) {
            if (!answers.empty())
                answers.pop_front();
            return false;
        }
        path = answers.front();
        answers.pop_front();
        return true;
    }
    std::deque<std::string> answers;
    std::vector<std::string> asked;
};

class DocManagerTest : public ::testing::Test {
protected:
    DocManagerTest()
    {
        CAppProfile::Instance().SetFilePathForTesting(m_dir.File("Drel.ini"));
        manager.SetFilePrompt(&prompt);
        mapTemplate = &manager.AddTemplate(std::make_unique<CDocTemplate>(
            138, "\nDrel\nDrel\nDrel Map Files (*.map)\n.map\n\n",
            [this] { return std::make_unique<CFakeDocument>(log); },
            [this](CShellDocument&, CDocTemplate&) -> IDocFrame* {
                frames.push_back(std::make_unique<CFakeFrame>(log, manager));
                return frames.back().get();
            }));
        manager.AddTemplate(std::make_unique<CDocTemplate>(
            130, "\n\nDBF\n\n", [this] { return std::make_unique<CFakeDocument>(log); },
            [](CShellDocument&, CDocTemplate&) -> IDocFrame* { return nullptr; }));
    }
    ~DocManagerTest() override
    {
        manager.CloseAllDocuments();
        CAppProfile::Instance().SetFilePathForTesting("");
    }

    std::string MakeFile(const std::string& name)
    {
        WriteWholeFile(m_dir.File(name), "x");
        return m_dir.File(name);
    }

    CTempDir m_dir;
    CLog log;
    std::vector<std::unique_ptr<CFakeFrame>> frames;
    CScriptedPrompt prompt;
    CDocManager manager;
    CDocTemplate* mapTemplate = nullptr;
    CScriptedUserServices user;
};

TEST_F(DocManagerTest, TemplateStrings)
{
    EXPECT_EQ(mapTemplate->GetDocString(CDocTemplate::kDocName), "Drel");
    EXPECT_EQ(mapTemplate->GetDocString(CDocTemplate::kFilterExt), ".map");
    EXPECT_EQ(mapTemplate->GetDocString(CDocTemplate::kFileTypeName), "");
    EXPECT_EQ(mapTemplate->GetFilter(), "Drel Map Files (*.map)|*.map|");
    EXPECT_EQ(manager.GetTemplate(1)->GetFilter(), "");
    EXPECT_EQ(manager.GetTemplate(1)->GetDocString(CDocTemplate::kFileNewName), "DBF");
    EXPECT_TRUE(mapTemplate->MatchesExtension("/a/B.MAP"));
    EXPECT_FALSE(mapTemplate->MatchesExtension("/a/b.dbf"));
    EXPECT_EQ(manager.FindTemplate(130), manager.GetTemplate(1));
}

TEST_F(DocManagerTest, OpeningAnOpenPathActivatesItsWindow)
{
    const std::string path = MakeFile("a.map");
    CShellDocument* first = manager.OpenDocumentFile("\"" + path + "\"");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetPathName(), path);
    EXPECT_EQ(first->GetTitle(), "a.map");
    EXPECT_EQ(first->GetDocTemplate(), mapTemplate);
    log.clear();

    EXPECT_EQ(manager.OpenDocumentFile(path), first);
    EXPECT_EQ(log, CLog{"frame activated"});
    EXPECT_EQ(mapTemplate->GetDocumentCount(), 1);
}

TEST_F(DocManagerTest, RelativePathsAndOnePairOfQuotes)
{
    MakeFile("b.map");
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(ResolvePath(m_dir.Path()).c_str()), 0);
    CShellDocument* document = manager.OpenDocumentFile("\"b.map\"");
    // Only one pair goes: the inner quotes stay part of the name.
    CShellDocument* quoted = manager.OpenDocumentFile("\"\"b.map\"\"");
    ASSERT_EQ(chdir(old), 0);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->GetPathName(), m_dir.File("b.map"));
    EXPECT_EQ(quoted, nullptr);
    EXPECT_EQ(manager.OpenDocumentFile(""), nullptr);
}

TEST_F(DocManagerTest, RecentListIsCappedAndDropsAFileThatFailsToOpen)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 10; ++i) {
        paths.push_back(MakeFile("m" + std::to_string(i) + ".map"));
        ASSERT_NE(manager.OpenDocumentFile(paths.back()), nullptr);
    }
    CRecentFileList& recent = manager.RecentFiles();
    ASSERT_EQ(recent.GetSize(), 8);
    EXPECT_EQ(recent.GetAt(0), paths[9]);
    EXPECT_EQ(recent.GetAt(7), paths[2]);

    // Opened again, a file moves to the top without a second entry.
    manager.OpenDocumentFile(paths[5]);
    EXPECT_EQ(recent.GetAt(0), paths[9]); // already open: only activated
    manager.CloseAllDocuments();
    manager.OpenDocumentFile(paths[5]);
    EXPECT_EQ(recent.GetAt(0), paths[5]);
    EXPECT_EQ(recent.GetAt(1), paths[9]);
    EXPECT_EQ(recent.GetSize(), 8);

    // The list lives in the profile.
    CRecentFileList reloaded;
    reloaded.Load();
    EXPECT_EQ(reloaded.GetSize(), 8);
    EXPECT_EQ(reloaded.GetAt(0), paths[5]);

    // A file that went away fails to open and leaves the list.
    manager.CloseAllDocuments();
    ASSERT_TRUE(RemoveFile(paths[9]));
    log.clear();
    EXPECT_EQ(manager.OpenDocumentFile(paths[9]), nullptr);
    EXPECT_EQ(recent.Find(paths[9]), -1);
    EXPECT_EQ(recent.GetSize(), 7);
    EXPECT_EQ(log, (CLog{"open " + paths[9], "frame gone", "close", "document gone"}));
    EXPECT_EQ(mapTemplate->GetDocumentCount(), 0);
    reloaded.Load();
    EXPECT_EQ(reloaded.GetSize(), 7);
}

TEST_F(DocManagerTest, RecentMenuTexts)
{
    CRecentFileList& recent = manager.RecentFiles();
    recent.Add("/maps/R&D/a.map");
    recent.Add("/very/long/folder/names/that/do/not/fit/in/the/menu/Vilnius.map");
    EXPECT_EQ(recent.GetMenuText(0), "&1 .../do/not/fit/in/the/menu/Vilnius.map");
    EXPECT_EQ(recent.GetMenuText(1), "&2 /maps/R&&D/a.map");
}

TEST_F(DocManagerTest, NewDocumentsAreNumberedAndPrepared)
{
    CShellDocument* first = manager.NewDocument(*mapTemplate, [this](CShellDocument&) { log.push_back("prepare"); });
    CShellDocument* second = manager.NewDocument(*mapTemplate);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetTitle(), "Drel1");
    EXPECT_EQ(second->GetTitle(), "Drel2");
    EXPECT_EQ(log, (CLog{"title Drel1", "prepare", "frame shown", "title Drel2", "frame shown"}));
    // The table template makes no frame: no document either.
    EXPECT_EQ(manager.NewDocument(*manager.GetTemplate(1)), nullptr);
    EXPECT_EQ(manager.GetTemplate(1)->GetDocumentCount(), 0);
}

// The save question of a modified document: what each answer does.
struct QuestionCase {
    const char* what;
    int answer;
    std::vector<std::string> prompts; // save-as answers
    bool failSave;
    bool closes;
    bool saved;
};

TEST_F(DocManagerTest, TheSaveQuestion)
{
    const QuestionCase cases[] = {
        {"No closes without saving", IDNO, {}, false, true, false},
        {"Cancel keeps it", IDCANCEL, {}, false, false, false},
        {"Yes saves, then closes", IDYES, {}, false, true, true},
        {"a failed save keeps it", IDYES, {}, true, false, false},
    };
    for (const QuestionCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = MakeFile("q.map");
        CShellDocument* document = manager.OpenDocumentFile(path);
        ASSERT_NE(document, nullptr);
        document->SetModifiedFlag(true);
        static_cast<CFakeDocument*>(document)->failSave = c.failSave;
        user.answers = {c.answer};
        user.messages.clear();
        log.clear();

        EXPECT_EQ(manager.CloseDocument(*document), c.closes);
        ASSERT_EQ(user.MessageIds(), std::vector<unsigned>{61900});
        EXPECT_EQ(user.messages[0].text, "I\xF0saugoti failo \"q.map\" pakeitimus?");
        EXPECT_EQ(user.messages[0].type, unsigned(MB_YESNOCANCEL | MB_ICONWARNING));
        EXPECT_EQ(std::count(log.begin(), log.end(), "save " + path), c.failSave || c.saved ? 1 : 0);
        EXPECT_EQ(mapTemplate->GetDocumentCount(), c.closes ? 0 : 1);
        manager.CloseAllDocuments();
    }
}

TEST_F(DocManagerTest, OnlyTheLastFrameAsks)
{
    CShellDocument* document = manager.OpenDocumentFile(MakeFile("f.map"));
    ASSERT_NE(document, nullptr);
    IDocFrame& first = *document->GetFrames().front();
    CFakeFrame second(log, manager);
    // A second window on the same document.
    const_cast<std::vector<IDocFrame*>&>(document->GetFrames()).push_back(&second);
    document->SetModifiedFlag(true);

    EXPECT_TRUE(manager.CanCloseFrame(first));
    EXPECT_TRUE(user.messages.empty());
    manager.FrameDestroyed(first);
    EXPECT_EQ(mapTemplate->GetDocumentCount(), 1);

    user.answers = {IDCANCEL};
    EXPECT_FALSE(manager.CanCloseFrame(second));
    user.answers = {IDNO};
    EXPECT_TRUE(manager.CanCloseFrame(second));
    EXPECT_EQ(user.messages.size(), 2u);
    manager.FrameDestroyed(second);
    EXPECT_EQ(mapTemplate->GetDocumentCount(), 0);
}

TEST_F(DocManagerTest, SaveAllStopsAtTheFirstCancel)
{
    CShellDocument* a = manager.OpenDocumentFile(MakeFile("a.map"));
    CShellDocument* b = manager.OpenDocumentFile(MakeFile("b.map"));
    CShellDocument* c = manager.OpenDocumentFile(MakeFile("c.map"));
    a->SetModifiedFlag(true);
    b->SetModifiedFlag(true);
    c->SetModifiedFlag(true);
    user.answers = {IDNO, IDCANCEL, IDNO};
    EXPECT_FALSE(manager.SaveAllModified());
    EXPECT_EQ(user.messages.size(), 2u);
    EXPECT_EQ(mapTemplate->GetDocumentCount(), 3);
}

TEST_F(DocManagerTest, SaveAsAsksForANameWithTheExtension)
{
    CShellDocument* document = manager.NewDocument(*mapTemplate);
    ASSERT_NE(document, nullptr);
    // Save of an untitled document asks; cancelled, nothing is written.
    prompt.answers = {""};
    EXPECT_FALSE(manager.SaveDocument(*document));
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0], "save Drel1.map [Drel Map Files (*.map)|*.map||] .map");

    prompt.answers = {m_dir.File("naujas")};
    log.clear();
    EXPECT_TRUE(manager.SaveDocument(*document));
    EXPECT_EQ(document->GetPathName(), m_dir.File("naujas.map"));
    EXPECT_EQ(document->GetTitle(), "naujas.map");
    EXPECT_EQ(log, (CLog{"save " + m_dir.File("naujas.map"), "title naujas.map"}));
    EXPECT_EQ(manager.RecentFiles().GetAt(0), m_dir.File("naujas.map"));

    // Save into its own file asks nothing; save as proposes it.
    log.clear();
    EXPECT_TRUE(manager.SaveDocument(*document));
    EXPECT_EQ(prompt.asked.size(), 2u);
    prompt.answers = {m_dir.File("kitas.map")};
    EXPECT_TRUE(manager.SaveDocumentAs(*document));
    EXPECT_EQ(prompt.asked.back(), "save " + m_dir.File("naujas.map") + " [Drel Map Files (*.map)|*.map||] .map");
    EXPECT_EQ(document->GetPathName(), m_dir.File("kitas.map"));
}

TEST_F(DocManagerTest, OpenDialogOffersEveryTemplate)
{
    const std::string path = MakeFile("d.map");
    prompt.answers = {path};
    ASSERT_NE(manager.PromptAndOpen(), nullptr);
    EXPECT_EQ(prompt.asked[0], "open  [Drel Map Files (*.map)|*.map|Visi failai (*.*)|*||] ");
    prompt.answers = {""};
    EXPECT_EQ(manager.PromptAndOpen(), nullptr);
}

TEST_F(DocManagerTest, DocumentCommandsSaveAndClose)
{
    CShellDocument* document = manager.OpenDocumentFile(MakeFile("e.map"));
    ICommandTarget& commands = manager.DocumentCommands(*document);
    EXPECT_TRUE(commands.HandlesCommand(kCmdFileSave));
    EXPECT_TRUE(commands.HandlesCommand(kCmdFileSaveAs));
    EXPECT_FALSE(commands.HandlesCommand(kCmdFileOpen));
    log.clear();
    EXPECT_TRUE(commands.OnCommand(kCmdFileSave));
    EXPECT_EQ(log, (CLog{"save " + m_dir.File("e.map"), "title e.map"}));
    EXPECT_TRUE(commands.OnCommand(kCmdFileClose));
    EXPECT_EQ(mapTemplate->GetDocumentCount(), 0);
}

TEST_F(DocManagerTest, MapDocumentsAskThroughTheFrameworkHost)
{
    CDocTemplate& maps = manager.AddTemplate(std::make_unique<CDocTemplate>(
        139, "\nDrel\nDrel\n\n\n\n", [] { return std::make_unique<CShellDocumentOf<CDrelDoc>>(); },
        [this](CShellDocument&, CDocTemplate&) -> IDocFrame* {
            frames.push_back(std::make_unique<CFakeFrame>(log, manager));
            return frames.back().get();
        }));
    CFrameworkDocumentHost host(manager);
    SetDocumentHost(&host);
    CShellDocument* document = manager.NewDocument(maps);
    ASSERT_NE(document, nullptr);
    CDrelDoc& map = static_cast<CShellDocumentOf<CDrelDoc>*>(document)->Get();
    EXPECT_EQ(manager.FindDocumentFor(map), document);
    // The map document takes its own commands, before the framework's.
    EXPECT_EQ(document->GetCommandTarget(), &map);

    map.SetModifiedFlag(true);
    user.answers = {IDCANCEL};
    EXPECT_FALSE(manager.CloseDocument(*document));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{61900});
    user.answers = {IDNO};
    EXPECT_TRUE(manager.CloseDocument(*document));
    EXPECT_EQ(maps.GetDocumentCount(), 0);
    SetDocumentHost(nullptr);
}

} // namespace
