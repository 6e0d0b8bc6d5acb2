#include "tests/shell/widgets/app/AppFixture.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <QDialog>
#include <QProcess>
#include <QTimer>

#include <cstdlib>
#include <functional>

namespace {

constexpr const char* kChildVariable = "DREL_PROGRAM_END_CHILD";

// The program's event loop ends while the demo map's window is active,
// then the program ends as main() ends it: the application's exit, and
// the application object deleting what is left of the main window. Run
// in a process of its own, started by the test below, so that the whole
// end is checked under the sanitizers. Suites named *ChildProcess are
// left out of the registered tests.
class ProgramEndChildProcess : public CAppFixture {
protected:
    void SetUp() override
    {
        if (!std::getenv(kChildVariable))
            GTEST_SKIP() << "runs only in the process that the program-end test starts";
        ASSERT_TRUE(Start({DemoMapPath()}));
        ASSERT_TRUE(frame->GetActiveMapView());
    }
    // What main() does after the loop.
    void EndAsMainDoes()
    {
        app.ExitInstance();
        delete app.GetMainFrame();
        frame = nullptr;
        FlushDeletes();
    }
    std::string SaveQuestion() const { return LoadStringArg(61900, "demo.map"); }
};

TEST_F(ProgramEndChildProcess, QuitAsksForTheMapsAndMayBeRefused)
{
    frame->GetActiveMapDocument()->SetModifiedFlag(true);
    answers = {IDCANCEL};
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QTimer again;
    QObject::connect(&again, &QTimer::timeout, [&] {
        if (shown.size() != 1)
            return;
        again.stop();
        // Refused: the program runs on with its map.
        EXPECT_TRUE(frame->isVisible());
        EXPECT_EQ(MapDocuments().size(), 1u);
        answers = {IDNO};
        QCoreApplication::quit();
    });
    again.start(20);
    EXPECT_EQ(CDrelApp::exec(), 0);
    EXPECT_EQ(shown, (std::vector<std::string>{SaveQuestion(), SaveQuestion()}));
    EXPECT_TRUE(MapDocuments().empty());
    EndAsMainDoes();
}

TEST_F(ProgramEndChildProcess, ALoopEndedWithoutClosingStillClosesTheMaps)
{
    // As a session's end may leave the loop: no window is asked first.
    frame->GetActiveMapDocument()->SetModifiedFlag(true);
    answers = {IDNO};
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    EXPECT_EQ(CDrelApp::exec(), 0);
    EXPECT_EQ(shown, std::vector<std::string>{SaveQuestion()});
    EXPECT_TRUE(MapDocuments().empty());
    EndAsMainDoes();
}

TEST_F(ProgramEndChildProcess, AnEndAskedFromADialogWhileTheMapDrawsComesAfterTheDrawing)
{
    // A dialog comes up while the map draws (its loop runs inside the
    // drawing), asks for an end, as a session's end or a command may, and
    // is closed. The dialog goes at once; the map stays until the drawing
    // is over, then asks to be saved and goes, and the program ends (after
    // the map window's own close, once it is asked to).
    struct Case {
        const char* name;
        std::function<void(CMainFrame&)> end;
        bool endsProgram;
    };
    const Case cases[] = {
        {"quit", [](CMainFrame&) { QCoreApplication::quit(); }, true},
        {"main window's close", [](CMainFrame& main) { main.close(); }, true},
        {"map window's close", [](CMainFrame& main) { main.ActiveChild()->close(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!frame) {
            ASSERT_TRUE(Start({DemoMapPath()}));
        }
        app.setQuitOnLastWindowClosed(true); // as in the program
        frame->GetActiveMapDocument()->SetModifiedFlag(true);
        shown.clear();
        answers = {IDNO};
        CDrelView* view = frame->GetActiveMapView();
        ASSERT_TRUE(view);
        bool dialogClosedAtOnce = false;
        bool mapStayedForTheDrawing = false;
        bool asked = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (asked) {
                // The program runs on without its map.
                if (MapDocuments().empty() && frame->isVisible())
                    QCoreApplication::quit();
                return;
            }
            if (!view->IsDrawing()) {
                view->Redraw();
                return;
            }
            asked = true;
            QDialog dialog(frame);
            QTimer::singleShot(0, &dialog, [&] {
                c.end(*frame);
                dialog.close();
                dialogClosedAtOnce = !dialog.isVisible();
            });
            // Hiding ends the dialog without a close, were its close held.
            QTimer::singleShot(10000, &dialog, [&] { dialog.hide(); });
            dialog.exec();
            mapStayedForTheDrawing = view->IsDrawing() && frame->isVisible() && MapDocuments().size() == 1;
            if (c.endsProgram)
                watch.stop();
        });
        watch.start(0);
        EXPECT_EQ(CDrelApp::exec(), 0);
        watch.stop();
        EXPECT_TRUE(dialogClosedAtOnce);
        EXPECT_TRUE(mapStayedForTheDrawing);
        EXPECT_EQ(shown, std::vector<std::string>{SaveQuestion()});
        EXPECT_TRUE(MapDocuments().empty());
        EndAsMainDoes();
        app.setQuitOnLastWindowClosed(false);
    }
}

TEST(ProgramEnd, EndsCleanlyWhenTheEventLoopEndsWithAMapOpen)
{
    if (std::getenv(kChildVariable))
        GTEST_SKIP() << "the child runs only its own tests";
    NeedDrelApp();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kChildVariable, "1");
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ProgramEndChildProcess.*"});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    // Every child test ran to its end: none skipped, none failed.
    EXPECT_TRUE(output.contains("[  PASSED  ]")) << output.toStdString();
    EXPECT_FALSE(output.contains("[  PASSED  ] 0 tests")) << output.toStdString();
    EXPECT_FALSE(output.contains("[  SKIPPED ]")) << output.toStdString();
    EXPECT_FALSE(output.contains("[  FAILED  ]")) << output.toStdString();
}

} // namespace
