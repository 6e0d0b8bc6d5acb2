#include "tests/shell/VetoExtension.h"
#include "mapdoc/MapTool.h"
#include "platform/AppProfile.h"
#include "res/CommandIds.h"
#include "shell/FrameworkDocumentHost.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/ControlIds.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using CLog = std::vector<std::string>;

CLog* g_log = nullptr;

// The map template of the test program, made once in the application's
// manager; its frames go into the current main window.
CDocTemplate& MapTemplate()
{
    static CDocTemplate* made = nullptr;
    if (!made) {
        made = &NeedApplication().DocManager().AddTemplate(std::make_unique<CDocTemplate>(
            138, "\nDrel\nDrel\nDrel Map Files (*.map)\n.map\n\n", [] { return std::make_unique<CTargetDocument>(); },
            [](CShellDocument& document, CDocTemplate& docTemplate) -> IDocFrame* {
                auto* child = new CTestMapFrame(document, docTemplate, *g_log);
                CFrameworkApp::Instance()->GetMainFrame()->AddChild(child);
                return child;
            }));
    }
    return *made;
}

// The file dialogs of a test never open: every prompt is cancelled.
class CCancellingPrompt : public IFilePrompt {
public:
    bool PromptFileName(std::string&, bool, const std::string&, const std::string&) override { return false; }
};

class FrameTest : public ::testing::Test {
protected:
    FrameTest() : app(NeedApplication()), manager(app.DocManager()), host(manager)
    {
        g_log = &log;
        g_documentLog = &log;
        CAppProfile::Instance().SetFilePathForTesting(dir.File("Drel.ini"));
        manager.RecentFiles().Load();
        SetDocumentHost(&host);
        windowedPrompt = manager.GetFilePrompt();
        manager.SetFilePrompt(&prompt);
        MapTemplate();
        frame = new CTestMainFrame;
        app.SetMainFrame(frame);
        frame->resize(800, 600);
        frame->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame));
    }
    ~FrameTest() override
    {
        manager.CloseAllDocuments();
        delete frame;
        FlushDeletes();
        SetDocumentHost(nullptr);
        manager.SetFilePrompt(windowedPrompt);
        CAppProfile::Instance().SetFilePathForTesting("");
        g_log = nullptr;
        g_documentLog = nullptr;
    }

    CTestMapFrame* NewMap()
    {
        CShellDocument* document = manager.NewDocument(MapTemplate());
        EXPECT_NE(document, nullptr);
        return document ? static_cast<CTestMapFrame*>(document->GetFrames().front()) : nullptr;
    }
    static CTargetDoc& MapOf(CTestMapFrame* child)
    {
        return static_cast<CTargetDocument*>(child->GetDocument())->Get();
    }
    QAction* Action(int id) { return frame->Actions().Action(id); }
    QStringList MenuTitles() const
    {
        QStringList titles;
        for (QAction* a : frame->menuBar()->actions())
            titles.append(a->text());
        return titles;
    }

    CTempDir dir;
    CScriptedUserServices user;
    CFrameworkApp& app;
    CDocManager& manager;
    CFrameworkDocumentHost host;
    CCancellingPrompt prompt;
    IFilePrompt* windowedPrompt = nullptr;
    CLog log;
    // What the update rules of a test read; they outlive its body.
    bool on = false;
    CTestMainFrame* frame = nullptr;
};

enum Target { kLeft, kRight, kDocument, kChild, kMain, kApp };
const char* const kTargetNames[] = {"left", "right", "document", "child", "main", "app"};

// Who takes each id, what the route runs, with the left or the right view focused.
struct RouteCase {
    int id;
    std::vector<Target> takers;
    bool focusRight;
    bool vetoed;
    const char* runs; // null: disabled, nothing runs
};

TEST_F(FrameTest, TheRouteOfTheActiveMapWindow)
{
    CTestMapFrame* child = NewMap();
    ASSERT_NE(child, nullptr);
    const RouteCase cases[] = {
        {40001, {kLeft, kRight, kDocument, kChild, kMain, kApp}, false, false, "left"},
        {40001, {kLeft, kRight, kDocument, kChild, kMain, kApp}, true, false, "right"},
        {40002, {kDocument, kChild, kMain, kApp}, false, false, "document"},
        {40003, {kChild, kMain, kApp}, false, false, "child"},
        {40004, {kMain, kApp}, true, false, "main"},
        {40005, {kApp}, false, false, "app"},
        {40006, {}, false, false, nullptr},
        {40007, {kLeft, kApp}, false, true, nullptr},
        // The framework's own: the document's save comes after its own commands.
        {kCmdFileSave, {kDocument}, false, false, "document"},
    };
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(c.id);
        for (Target t : c.takers) {
            const std::string name = kTargetNames[t];
            const auto record = [this, name, id = c.id] { log.push_back(name + " " + std::to_string(id)); };
            switch (t) {
            case kLeft:
                child->leftView->Take(c.id);
                break;
            case kRight:
                child->rightView->Take(c.id);
                break;
            case kDocument:
                MapOf(child).On(c.id, record);
                break;
            case kChild:
                child->Commands().On(c.id, record);
                break;
            case kMain:
                frame->Commands().On(c.id, record);
                break;
            case kApp:
                app.Commands().On(c.id, record);
                break;
            }
        }
        (c.focusRight ? child->rightWidget : child->leftWidget)->setFocus();
        ASSERT_TRUE(WaitFor([&] {
            return child->GetActiveView() == (c.focusRight ? child->rightWidget : child->leftWidget);
        }));
        std::unique_ptr<CVetoExtension> veto = c.vetoed ? std::make_unique<CVetoExtension>(c.id) : nullptr;
        log.clear();
        frame->Actions().UpdateAll();
        EXPECT_EQ(Action(c.id)->isEnabled(), c.runs != nullptr);
        Action(c.id)->trigger();
        EXPECT_EQ(log, c.runs ? CLog{std::string(c.runs) + " " + std::to_string(c.id)} : CLog{});
    }

    // Without a map window the route starts at the main window.
    manager.CloseAllDocuments();
    FlushDeletes();
    log.clear();
    Action(40002)->trigger();
    EXPECT_EQ(log, CLog{"main 40002"});
}

TEST_F(FrameTest, AHandlerRegisteredFromOutsideTheShell)
{
    frame->Actions().UpdateAll();
    EXPECT_FALSE(Action(40100)->isEnabled());

    RegisterOutsideCommands();
    auto* second = new CTestMainFrame;
    CCommandRegistry<CTestMainFrame>::Instance().Clear();
    second->Actions().UpdateAll();
    QAction* action = second->Actions().Action(40100);
    EXPECT_TRUE(action->isEnabled());
    EXPECT_TRUE(action->isChecked());
    action->trigger();
    EXPECT_EQ(second->outsideRuns, 1);
    delete second;
}

// What an update rule sets, as the action and a toolbar box show it.
struct StateCase {
    const char* what;
    std::function<void(CCommandState&)> rule;
    bool enabled;
    bool checkable;
    bool checked;
    bool radio;
    const char* text; // null: unchanged
};

TEST_F(FrameTest, TheUpdatePassSetsActionsAndToolbarBoxes)
{
    const StateCase cases[] = {
        {"enabled by a handler alone", nullptr, true, false, false, false, nullptr},
        {"disabled", [](CCommandState& s) { s.Enable(false); }, false, false, false, false, nullptr},
        {"checked", [](CCommandState& s) { s.SetCheck(1); }, true, true, true, false, nullptr},
        {"radio", [](CCommandState& s) { s.SetRadio(true); }, true, true, true, true, nullptr},
        {"radio off", [](CCommandState& s) { s.SetRadio(false); }, true, true, false, true, nullptr},
        {"text", [](CCommandState& s) { s.SetText("Mastelis 1:\xE0"); }, true, false, false, false, "Mastelis 1:ą"},
    };
    auto* bar = new QToolBar(frame);
    frame->addToolBar(bar);
    int id = 40200;
    for (const StateCase& c : cases) {
        SCOPED_TRACE(c.what);
        ++id;
        frame->Commands().On(id, [] {});
        if (c.rule)
            frame->Commands().OnUpdate(id, c.rule);
        auto* box = new QLineEdit(bar);
        bar->addWidget(box);
        frame->Actions().BindWidget(id, box);
        frame->Actions().UpdateAll();
        QAction* action = Action(id);
        EXPECT_EQ(action->isEnabled(), c.enabled);
        EXPECT_EQ(action->isCheckable(), c.checkable);
        EXPECT_EQ(action->isChecked(), c.checked);
        EXPECT_EQ(action->actionGroup() != nullptr && action->actionGroup()->isExclusive(), c.radio);
        EXPECT_EQ(box->isEnabled(), c.enabled);
        if (c.text) {
            EXPECT_EQ(action->text(), QString::fromUtf8(c.text));
            EXPECT_EQ(box->text(), QString::fromUtf8(c.text));
        }
    }

    // A box nobody answers for is disabled; the toolbar's timer keeps it in step.
    frame->Commands().OnUpdate(30328, [this](CCommandState& s) { s.Enable(on); });
    auto* street = new QLineEdit(bar);
    bar->addWidget(street);
    SetControlId(street, 30328);
    frame->Actions().BindWidget(30328, street);
    frame->Actions().UpdateAll();
    EXPECT_FALSE(street->isEnabled());
    on = true;
    EXPECT_TRUE(WaitFor([&] { return street->isEnabled(); }));

    // The buttons of a toolbar resource: open is the application's,
    // zoom window nobody's yet.
    auto* main = new QToolBar(frame);
    frame->addToolBarBreak();
    frame->addToolBar(main);
    frame->Actions().FillToolBar(main, 128);
    EXPECT_EQ(GetControlId(main), 128);
    frame->Actions().UpdateToolbarItems();
    EXPECT_TRUE(main->actions().contains(Action(kCmdFileOpen)));
    EXPECT_TRUE(Action(kCmdFileOpen)->isEnabled());
    EXPECT_FALSE(Action(30065)->isEnabled());
    EXPECT_EQ(Action(30065)->toolTip(), QString::fromUtf8("Padidinti fragmentą"));
    EXPECT_EQ(Action(30065)->statusTip(), QString::fromUtf8("Padidinti pasirinktą fragmentą"));
    EXPECT_EQ(Action(30065)->objectName(), "30065");
    SaveScreenshot(*frame, "toolbars");
}

TEST_F(FrameTest, UpdatesFollowCommandsActivationFocusAndTools)
{
    CTestMapFrame* first = NewMap();
    CTestMapFrame* second = NewMap();
    ASSERT_TRUE(first && second);

    // After each command.
    frame->Commands().On(40301, [this] { on = !on; });
    frame->Commands().On(40302, [] {});
    frame->Commands().OnUpdate(40302, [this](CCommandState& s) { s.Enable(on); });
    frame->Actions().UpdateAll();
    EXPECT_FALSE(Action(40302)->isEnabled());
    Action(40301)->trigger();
    EXPECT_TRUE(Action(40302)->isEnabled());

    // On activation: the command belongs to one document.
    MapOf(first).On(40303, [] {});
    frame->MdiArea()->setActiveSubWindow(second);
    EXPECT_FALSE(Action(40303)->isEnabled());
    frame->MdiArea()->setActiveSubWindow(first);
    EXPECT_TRUE(Action(40303)->isEnabled());

    // On focus: only the right view takes it.
    first->rightView->Take(40304);
    first->leftWidget->setFocus();
    ASSERT_TRUE(WaitFor([&] { return !Action(40304)->isEnabled(); }));
    first->rightWidget->setFocus();
    EXPECT_TRUE(WaitFor([&] { return Action(40304)->isEnabled(); }));

    // On tool changes: the check mark of the zoom-window tool.
    frame->Commands().OnUpdate(30065, [](CCommandState& s) { s.SetCheck(MapToolMode == 0); });
    first->leftView->SetToolMode(0);
    ASSERT_TRUE(WaitFor([&] { return Action(30065)->isChecked(); }));
    first->leftView->SetToolMode(3);
    EXPECT_TRUE(WaitFor([&] { return !Action(30065)->isChecked(); }));
    // Nobody takes the tool command here, so the button stays disabled.
    EXPECT_FALSE(Action(30065)->isEnabled());

    // When a menu opens.
    on = false;
    QMenu* file = frame->menuBar()->actions().front()->menu();
    ASSERT_NE(file, nullptr);
    file->addAction(Action(40302));
    emit file->aboutToShow();
    EXPECT_FALSE(Action(40302)->isEnabled());
    MapToolMode = 0;
}

TEST_F(FrameTest, MenusAndAcceleratorsFollowTheActiveWindow)
{
    EXPECT_EQ(MenuTitles(), (QStringList{"&Failas", "&Rodymas", "&Pagalba"}));
    EXPECT_EQ(Action(kCmdFileOpen)->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_TRUE(Action(kCmdFilePrint)->shortcut().isEmpty());
    EXPECT_EQ(frame->windowTitle(), "test_shell_widgets");

    CTestMapFrame* child = NewMap();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(MenuTitles(), (QStringList{"&Failas", "&Redagavimas", "&Rodymas", "&Žemėlapis", "&Sluoksnis", "&Vietos",
                                         "&Maršrutai", "&GPS", "&Nustatymai", "&Langas", "&Pagalba"}));
    EXPECT_EQ(Action(kCmdFilePrint)->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(Action(30209)->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(frame->windowTitle(),
              "test_shell_widgets - [" + QString::fromStdString(child->GetDocument()->GetTitle()) + "]");
    EXPECT_TRUE(Action(kCmdWindowCascade)->isEnabled());

    // The recent files stand in the File menu in place of its list item.
    QMenu* file = frame->menuBar()->actions().front()->menu();
    const auto placeholder = [file] {
        for (QAction* a : file->actions())
            if (a->text() == "Paskutiniai failai")
                return a;
        return static_cast<QAction*>(nullptr);
    };
    ASSERT_NE(placeholder(), nullptr);
    emit file->aboutToShow();
    EXPECT_TRUE(placeholder()->isVisible());
    EXPECT_FALSE(placeholder()->isEnabled());
    manager.RecentFiles().Add("/maps/a.map");
    manager.RecentFiles().Add("/maps/b.map");
    emit file->aboutToShow();
    EXPECT_FALSE(placeholder()->isVisible());
    const QList<QAction*> items = file->actions();
    const qsizetype at = items.indexOf(placeholder());
    ASSERT_GE(items.size(), at + 3);
    EXPECT_EQ(items[at + 1], Action(kCmdFileRecentFirst));
    EXPECT_EQ(items[at + 1]->text(), "&1 /maps/b.map");
    EXPECT_EQ(items[at + 2]->text(), "&2 /maps/a.map");
    EXPECT_TRUE(items[at + 2]->isEnabled());
    EXPECT_FALSE(Action(kCmdFileRecentFirst + 2)->isEnabled());
    SaveScreenshot(*frame, "main-window");
    file->popup(frame->mapToGlobal(QPoint(10, 30)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    SaveScreenshot(*file, "file-menu");
    file->hide();

    manager.CloseAllDocuments();
    FlushDeletes();
    EXPECT_EQ(MenuTitles(), (QStringList{"&Failas", "&Rodymas", "&Pagalba"}));
    EXPECT_TRUE(Action(kCmdFilePrint)->shortcut().isEmpty());
    EXPECT_FALSE(Action(kCmdWindowCascade)->isEnabled());
}

TEST_F(FrameTest, OpeningAnOpenMapActivatesItsWindow)
{
    WriteWholeFile(dir.File("a.map"), "x");
    WriteWholeFile(dir.File("b.map"), "x");
    CShellDocument* a = manager.OpenDocumentFile(dir.File("a.map"));
    CShellDocument* b = manager.OpenDocumentFile(dir.File("b.map"));
    ASSERT_TRUE(a && b);
    auto* aFrame = static_cast<CTestMapFrame*>(a->GetFrames().front());
    EXPECT_EQ(frame->ActiveChild(), b->GetFrames().front());
    EXPECT_EQ(manager.OpenDocumentFile(dir.File("a.map")), a);
    EXPECT_EQ(frame->ActiveChild(), aFrame);
    EXPECT_EQ(frame->Children().size(), 2);
    EXPECT_EQ(aFrame->windowTitle(), "a.map");

    // The recent-file entry opens it too; a file that went away leaves the list.
    manager.CloseAllDocuments();
    FlushDeletes();
    ASSERT_EQ(manager.RecentFiles().GetAt(0), dir.File("b.map"));
    Action(kCmdFileRecentFirst)->trigger();
    ASSERT_NE(frame->ActiveChild(), nullptr);
    EXPECT_EQ(frame->ActiveChild()->GetDocument()->GetPathName(), dir.File("b.map"));
    manager.CloseAllDocuments();
    RemoveFile(dir.File("b.map"));
    Action(kCmdFileRecentFirst)->trigger();
    EXPECT_EQ(manager.RecentFiles().GetAt(0), dir.File("a.map"));
    EXPECT_EQ(frame->Children().size(), 0);
}

TEST_F(FrameTest, ClosingWindowsAsksToSaveAndTheViewsGoFirst)
{
    CTestMapFrame* child = NewMap();
    ASSERT_NE(child, nullptr);
    CTargetDoc& map = MapOf(child);
    map.SetModifiedFlag(true);

    user.answers = {IDCANCEL};
    EXPECT_FALSE(child->close());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{61900});
    EXPECT_EQ(frame->Children().size(), 1);

    // The views hold the document; they go before it.
    map.On(40400, [] {});
    user.answers = {IDNO};
    log.clear();
    EXPECT_TRUE(child->close());
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(std::count(log.begin(), log.end(), "left gone"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "right gone"), 1);
    EXPECT_EQ(log.back(), "document gone");
    EXPECT_EQ(MapTemplate().GetDocumentCount(), 0);
    FlushDeletes();
    EXPECT_EQ(frame->Children().size(), 0);

    // Exit asks every modified map; a cancel keeps them all.
    CTestMapFrame* one = NewMap();
    CTestMapFrame* two = NewMap();
    MapOf(one).SetModifiedFlag(true);
    MapOf(two).SetModifiedFlag(true);
    one->GetDocument()->SetPathName(dir.File("one.map"));
    user.messages.clear();
    user.answers = {IDNO, IDCANCEL};
    Action(kCmdAppExit)->trigger();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(MapTemplate().GetDocumentCount(), 2);
    user.answers = {IDYES, IDNO};
    Action(kCmdAppExit)->trigger();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(MapTemplate().GetDocumentCount(), 0);
    EXPECT_EQ(user.messages.size(), 4u);
}

TEST_F(FrameTest, WindowCommands)
{
    CTestMapFrame* first = NewMap();
    CTestMapFrame* second = NewMap();
    ASSERT_EQ(frame->ActiveChild(), second);
    Action(kCmdWindowNext)->trigger();
    EXPECT_EQ(frame->ActiveChild(), first);
    Action(kCmdWindowTile)->trigger();
    EXPECT_EQ(first->geometry().top(), second->geometry().top());
    first->showMaximized();
    Action(kCmdWindowCascade)->trigger();
    // The active window in front, a step below the other.
    EXPECT_EQ(frame->ActiveChild(), first);
    EXPECT_LT(second->geometry().top(), first->geometry().top());
    // Both of a useful size, the maximised one restored.
    const QSize area = frame->MdiArea()->viewport()->size();
    for (const CTestMapFrame* child : {first, second}) {
        EXPECT_FALSE(child->isMaximized());
        EXPECT_GE(child->width(), area.width() * 2 / 3);
        EXPECT_GE(child->height(), area.height() * 2 / 3);
        EXPECT_LE(child->geometry().bottom(), area.height());
    }
    // Close from the document's own menu item.
    Action(kCmdFileClose)->trigger();
    EXPECT_EQ(frame->Children().size(), 1);
}

} // namespace
