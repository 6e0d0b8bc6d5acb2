#pragma once

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/widgets/MapViewWidget.h"
#include "platform/CommandTarget.h"
#include "platform/Path.h"
#include "shell/widgets/FrameworkApp.h"
#include "shell/widgets/MdiChild.h"
#include "shell/widgets/MdiFrame.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QSplitter>

#include <functional>
#include <string>
#include <vector>

// The one application object of a test program, of the framework's kind
// or the program's own, on the offscreen platform. Never deleted: Qt's own
// statics go first at exit.
template <class App>
App& NeedApplicationOf(const char* programName)
{
    static int argc = 1;
    static std::string name = programName;
    static char* argv[] = {name.data(), nullptr};
    static App* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return new App(argc, argv);
    }();
    return *app;
}

// The framework's, so the routes end in it.
inline CFrameworkApp& NeedApplication()
{
    return NeedApplicationOf<CFrameworkApp>("test_shell_widgets");
}

// The first base of a fixture whose members are widgets.
struct CWithApplication {
    CWithApplication() { NeedApplication(); }
};

// Deleted windows really go.
inline void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// A map view and a map document that are command targets, as the view
// and the document of the map document's folder can be without knowing
// the shell: they take the ids given to them and log who ran what.
class CTargetView : public CDrelView, public CCommandTable {
public:
    CTargetView(CDrelDoc& document, std::string name, std::vector<std::string>& log)
        : CDrelView(document), m_name(std::move(name)), m_log(log)
    {
    }
    ~CTargetView() override { m_log.push_back(m_name + " gone"); }
    void Take(int id)
    {
        On(id, [this, id] { m_log.push_back(m_name + " " + std::to_string(id)); });
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

// Where the documents below log that they go.
inline std::vector<std::string>* g_documentLog = nullptr;

// Opens any file that exists and saves without writing, so the tests
// need no map files.
class CTargetDoc : public CDrelDoc {
public:
    ~CTargetDoc()
    {
        if (g_documentLog)
            g_documentLog->push_back("document gone");
    }
    bool OnOpenDocument(const std::string& path) { return PathExists(path); }
    bool OnSaveDocument(const std::string& path)
    {
        SetModifiedFlag(false);
        return true;
    }
};

using CTargetDocument = CShellDocumentOf<CTargetDoc>;

// A main window of the test, taking what other folders registered for it.
class CTestMainFrame : public CMdiFrame {
public:
    CTestMainFrame() { InstallRegisteredCommands(*this); }
    int outsideRuns = 0;
};

// A map window: two map views side by side in a splitter.
class CTestMapFrame : public CMdiChild {
public:
    CTestMapFrame(CShellDocument& document, CDocTemplate& docTemplate, std::vector<std::string>& log)
        : CMdiChild(document, docTemplate)
    {
        CDrelDoc& map = static_cast<CTargetDocument&>(document).Get();
        auto* splitter = new QSplitter;
        auto left = std::make_unique<CTargetView>(map, "left", log);
        auto right = std::make_unique<CTargetView>(map, "right", log);
        leftView = left.get();
        rightView = right.get();
        leftWidget = new CMapViewWidget(std::move(left), splitter);
        rightWidget = new CMapViewWidget(std::move(right), splitter);
        splitter->addWidget(leftWidget);
        splitter->addWidget(rightWidget);
        setWidget(splitter);
        AddView(leftWidget, leftView);
        AddView(rightWidget, rightView);
        resize(400, 300);
    }

    CTargetView* leftView;
    CTargetView* rightView;
    CMapViewWidget* leftWidget;
    CMapViewWidget* rightWidget;
};

// Registers handlers for the test's main window as a folder after the
// shell does at start-up (OutsideCommands.cpp).
void RegisterOutsideCommands();
// Saves a picture for a person to look at, when the environment names a
// folder (DREL_SCREENSHOT_DIR).
inline void SaveScreenshotImage(const QImage& picture, const char* name)
{
    const QByteArray folder = qgetenv("DREL_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    picture.save(QDir(QString::fromLocal8Bit(folder)).filePath(QString::fromUtf8(name) + ".png"));
}
// A picture of the window.
inline void SaveScreenshot(QWidget& window, const char* name)
{
    if (qEnvironmentVariableIsEmpty("DREL_SCREENSHOT_DIR"))
        return;
    // Pending layout requests first, so the picture shows what a user sees.
    QCoreApplication::processEvents();
    SaveScreenshotImage(window.grab().toImage(), name);
}
