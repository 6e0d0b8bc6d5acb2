#include "tests/shell/widgets/app/AppFixture.h"

#include "core/FileUtil.h"
#include "layers/Layer.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewHost.h"
#include "mapdoc/ViewWindow.h"
#include "mapdoc/widgets/MapPrinting.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "res/CommandIds.h"
#include "shell/MapFrameWindow.h"
#include "shell/TableDocument.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "shell/widgets/QtTranslation.h"
#include "tests/mapdoc/PdfReadBack.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <cstdlib>
#include <unistd.h>

namespace {

using Texts = std::vector<std::string>;

class DrelAppTest : public CAppFixture {};

TEST_F(DrelAppTest, TheMapOnTheCommandLineOpensInTheMainFrame)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->isMaximized()); // no saved placement
    ASSERT_EQ(MapDocuments().size(), 1u);
    EXPECT_TRUE(EqualPathsNoCase(MapDocuments()[0]->GetPathName(), DemoMapPath()));

    CDrelDoc* map = frame->GetActiveMapDocument();
    ASSERT_TRUE(map);
    EXPECT_GT(map->GetLayerCount(), 5);
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    EXPECT_EQ(frame->GetActiveMapView(), child->GetMapView());
    EXPECT_TRUE(child->isMaximized()); // the map windows' show state is maximised until changed
    EXPECT_EQ(frame->windowTitle(), "Drel Lite - [demo.map]");
    EXPECT_TRUE(shown.empty());
    SaveScreenshot(*frame, "main-frame-demo-map");
}

TEST_F(DrelAppTest, AMissingMapShowsItsFailureOnceAndTheFrameStays)
{
    const std::string missing = dir.File("missing.map");
    ASSERT_TRUE(Start({missing}));
    EXPECT_EQ(shown, Texts{LoadStringArg(1007, missing)});
    EXPECT_EQ(captions, Texts{"Drel Lite"});
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(MapDocuments().empty());
    EXPECT_EQ(frame->ActiveChild(), nullptr);
    EXPECT_EQ(frame->windowTitle(), "Drel Lite");
}

TEST_F(DrelAppTest, MessageBoxesGoThroughTheApplicationsRules)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(app.UsesOwnMessageBox()); // string 136 is "Lithuanian"
    std::vector<unsigned> types;
    int nested = -1;
    app.SetOwnMessageBox([&](QWidget* owner, const std::string& text, const std::string& caption, unsigned type) {
        types.push_back(type);
        EXPECT_EQ(owner, frame);
        EXPECT_EQ(caption, "Drel Lite");
        if (types.size() == 1)
            nested = AppMessageBox(1045); // a burst of one warning shows once
        return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    });
    EXPECT_EQ(AppMessageBox(1105), IDOK);
    EXPECT_EQ(nested, 0);
    EXPECT_TRUE(AskYesNo(2007));
    EXPECT_EQ(types, (std::vector<unsigned>{MB_OK | MB_ICONWARNING, MB_YESNO | MB_ICONQUESTION}));
}

TEST_F(DrelAppTest, WhichMapOpensFirst)
{
    const std::string demo = DemoMapPath();
    const std::string demoFolder = GetPathFolder(demo);
    int chooserRuns = 0;
    int choice = -1;
    app.SetMapChooser([&](CMapLinks& links) {
        ++chooserRuns;
        EXPECT_EQ(links.GetCount(), 2);
        return choice;
    });
    const auto opened = [this] { return MapDocuments().empty() ? std::string() : MapDocuments()[0]->GetPathName(); };

    // One pair of quotation marks goes; a relative name is taken from the
    // folder the program was started in.
    ASSERT_TRUE(Start({"\"" + demo + "\""}));
    EXPECT_TRUE(EqualPathsNoCase(opened(), demo));
    Stop();
    char old[4096];
    ASSERT_TRUE(getcwd(old, sizeof old));
    ASSERT_EQ(chdir(ResolvePath(demoFolder).c_str()), 0);
    ASSERT_TRUE(Start({"demo.map"}));
    EXPECT_EQ(ResolvePath(opened()), ResolvePath(demo));
    Stop();
    ASSERT_EQ(chdir(old), 0);

    // Without links: the most recent file.
    CAppProfile::Instance().WriteString("Recent File List", "File1", demo);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(EqualPathsNoCase(opened(), demo));
    Stop();

    // One link: its map, the recent file aside; "/dde" and automation open nothing.
    WriteLink("demo.mln", "Demo", MakeRelativePath(demo, ProgramFile("")));
    CAppProfile::Instance().WriteString("Recent File List", "File1", dir.File("other.map"));
    ASSERT_TRUE(Start());
    EXPECT_EQ(ResolvePath(opened()), ResolvePath(demo));
    Stop();
    for (const char* start : {"/dde", "/Automation"}) {
        ASSERT_TRUE(Start({start}));
        EXPECT_EQ(opened(), "") << start;
        Stop();
    }

    // Several links: the chooser; cancelled, nothing opens.
    WriteLink("zz.mln", "Missing", "nowhere.map");
    ASSERT_TRUE(Start());
    EXPECT_EQ(chooserRuns, 1);
    EXPECT_EQ(opened(), "");
    Stop();
    choice = 0;
    ASSERT_TRUE(Start());
    EXPECT_EQ(chooserRuns, 2);
    EXPECT_EQ(ResolvePath(opened()), ResolvePath(demo));
    Stop();
    EXPECT_TRUE(shown.empty());
}

TEST_F(DrelAppTest, WindowPlacementInTheProfile)
{
    CAppProfile& profile = CAppProfile::Instance();
    ASSERT_TRUE(Start());
    frame->showNormal();
    frame->setGeometry(100, 80, 640, 480);
    CloseAsUser();
    EXPECT_EQ(profile.GetString("Settings", "WindowPos"), "0,1,-1,-1,-1,-1,100,80,740,560");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(frame->isMaximized());
    EXPECT_EQ(frame->geometry(), QRect(100, 80, 640, 480));

    // Maximised: it comes back maximised, its normal rectangle kept.
    frame->setGeometry(120, 90, 600, 400);
    frame->showMaximized();
    CloseAsUser();
    EXPECT_EQ(profile.GetString("Settings", "WindowPos"), "2,3,-1,-1,-1,-1,120,90,720,490");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(frame->normalGeometry(), QRect(120, 90, 600, 400));

    // Nothing is written while minimised.
    frame->showMinimized();
    CloseAsUser();
    EXPECT_EQ(profile.GetString("Settings", "WindowPos"), "2,3,-1,-1,-1,-1,120,90,720,490");

    profile.WriteString("Settings", "WindowPos", "0,1,-1,-1,-1,-1,100,80");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(frame->isMaximized());
}

TEST_F(DrelAppTest, TheShowStateIsWrittenAtExitOnlyWhenItChanged)
{
    CAppProfile& profile = CAppProfile::Instance();
    ASSERT_TRUE(Start({DemoMapPath()}));
    Stop();
    EXPECT_EQ(profile.GetString("Settings", "ShowCmd", "none"), "none");

    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    child->showNormal();
    EXPECT_EQ(app.GetMapWindowShowState(), kShowNormal);
    Stop();
    EXPECT_EQ(profile.GetInt("Settings", "ShowCmd", 0), kShowNormal);

    // The next map window opens restored.
    ASSERT_TRUE(Start({DemoMapPath()}));
    EXPECT_FALSE(frame->ActiveChild()->isMaximized());
    EXPECT_EQ(app.GetMapWindowShowState(), kShowNormal);
    frame->ActiveChild()->showMaximized();
    EXPECT_EQ(app.GetMapWindowShowState(), kShowMaximized);
}

// However a maximised map window goes, the map reopened from the recent
// files opens maximised; once the show state is "restored" (after a
// cascade, say) a new map window opens restored, yet of a useful size at
// the next cascade place.
TEST_F(DrelAppTest, AMapReopenedFromTheRecentFilesOpensInTheShowState)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    ASSERT_TRUE(frame->ActiveChild()->isMaximized());
    const struct {
        const char* how;
        std::function<void()> close;
    } closings[] = {
        {"File, Close", [this] { Run(kCmdFileClose); }},
        {"the window's close", [this] { frame->ActiveChild()->close(); }},
    };
    for (const auto& c : closings) {
        SCOPED_TRACE(c.how);
        c.close();
        FlushDeletes();
        ASSERT_TRUE(MapDocuments().empty());
        EXPECT_EQ(app.GetMapWindowShowState(), kShowMaximized);
        EXPECT_TRUE(Run(kCmdFileRecentFirst));
        ASSERT_EQ(MapDocuments().size(), 1u);
        EXPECT_TRUE(frame->ActiveChild()->isMaximized());
    }

    EXPECT_TRUE(Run(kCmdWindowCascade));
    EXPECT_EQ(app.GetMapWindowShowState(), kShowNormal);
    Run(kCmdFileClose);
    FlushDeletes();
    EXPECT_TRUE(Run(kCmdFileRecentFirst));
    QMdiSubWindow* child = frame->ActiveChild();
    ASSERT_TRUE(child);
    EXPECT_FALSE(child->isMaximized());
    const QSize area = frame->MdiArea()->viewport()->size();
    EXPECT_GE(child->width(), area.width() * 2 / 3);
    EXPECT_GE(child->height(), area.height() * 2 / 3);
    EXPECT_TRUE(frame->MdiArea()->viewport()->rect().contains(child->geometry()));
    EXPECT_TRUE(shown.empty());
    // The show state is the process's: the next test starts as a new process would.
    app.SetMapWindowShowState(kShowMaximized);
}

TEST_F(DrelAppTest, ApplicationCommands)
{
    CAppProfile& profile = CAppProfile::Instance();
    ASSERT_TRUE(Start());

    // The first linked map.
    EXPECT_TRUE(Run(30326));
    EXPECT_EQ(shown, Texts{LoadString(1075)});
    WriteLink("demo.mln", "Demo", DemoMapPath());
    app.MapLinks().LoadMapLinks();
    EXPECT_TRUE(Run(30326));
    EXPECT_EQ(MapDocuments().size(), 1u);
    app.DocManager().CloseAllDocuments();

    // The maps list and the new map wait for their dialogs.
    EXPECT_FALSE(IsEnabled(30202));
    EXPECT_FALSE(IsEnabled(30015));
    EXPECT_FALSE(IsEnabled(kCmdFilePrintSetup));
    app.SetMapChooser([](CMapLinks&) { return 0; });
    EXPECT_TRUE(Run(30202));
    EXPECT_EQ(MapDocuments().size(), 1u);
    app.DocManager().CloseAllDocuments();

    int units = 1;
    app.SetMapUnitsPrompt([&units](int& chosen) {
        chosen = units;
        return units >= 0;
    });
    EXPECT_TRUE(Run(30015));
    ASSERT_EQ(MapDocuments().size(), 1u);
    CDrelDoc* metric = MapDocuments()[0]->GetMapDocument();
    EXPECT_EQ(metric->Settings().mapUnits, 1);
    EXPECT_EQ(metric->GetCoordSystem(), 1);
    units = 0;
    EXPECT_TRUE(Run(30015));
    ASSERT_EQ(MapDocuments().size(), 2u);
    EXPECT_EQ(MapDocuments()[1]->GetMapDocument()->GetCoordSystem(), 0);
    units = -1; // cancelled
    EXPECT_TRUE(Run(30015));
    EXPECT_EQ(MapDocuments().size(), 2u);

    // The layer order of the legends.
    QAction* bottomUp = frame->Actions().Action(30482);
    QAction* topDown = frame->Actions().Action(30485);
    frame->Actions().UpdateAll();
    EXPECT_TRUE(bottomUp->isChecked());
    EXPECT_FALSE(topDown->isChecked());
    EXPECT_TRUE(Run(30485));
    EXPECT_EQ(app.GetLayerOrderInLegend(), 0);
    EXPECT_EQ(profile.GetInt("Settings", "LayerOrderInLegend", -1), 0);
    EXPECT_EQ(ViewHost().GetLayerOrderInLegend(), 0) << "the legends ask the application";
    EXPECT_TRUE(topDown->isChecked());
    EXPECT_FALSE(bottomUp->isChecked());

    // About: the box with its one button.
    QTimer::singleShot(0, [] {
        QWidget* about = QApplication::activeModalWidget();
        ASSERT_TRUE(about);
        EXPECT_EQ(GetControlId(about), 100);
        auto* close = FindControl<QAbstractButton>(about, IDOK);
        ASSERT_TRUE(close);
        EXPECT_EQ(close->text(), QString::fromUtf8("Uždaryti"));
        close->click();
    });
    EXPECT_TRUE(Run(kCmdAppAbout));
    EXPECT_EQ(shown.size(), 1u);
}

// Qt's own open dialog and standard buttons, standing in for the
// platform's, speak the program's language; without Qt's translation the
// program runs on with Qt's texts.
TEST_F(DrelAppTest, QtsOwnDialogsSpeakLithuanian)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    WithModal([this] { Run(kCmdFileOpen); },
              [](QWidget& dialog) {
                  auto* files = qobject_cast<QFileDialog*>(&dialog);
                  ASSERT_TRUE(files);
                  QStringList buttons;
                  for (const QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons())
                      buttons.append(button->text());
                  buttons.sort();
                  EXPECT_EQ(buttons, (QStringList{"At&verti", "Atsisakyti"}));
                  QStringList labels;
                  for (const QLabel* label : dialog.findChildren<QLabel*>())
                      if (!label->text().isEmpty())
                          labels.append(label->text());
                  EXPECT_TRUE(labels.contains("Vieta:")) << labels.join('|').toStdString();
                  EXPECT_TRUE(labels.contains("&Failo vardas:")) << labels.join('|').toStdString();
                  SaveScreenshot(dialog, "file-open-dialog");
              });
    QDialogButtonBox standard(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(standard.button(QDialogButtonBox::Ok)->text(), "Gerai");
    EXPECT_EQ(standard.button(QDialogButtonBox::Cancel)->text(), "Atsisakyti");

    CTempDir none;
    EXPECT_FALSE(InstallQtTranslation(QString::fromStdString(ResolvePath(none.Path()))));
}

// Saving under another name renames the caption at once; with the last
// map window closed the panes and the scale box are empty again, as at
// the start.
TEST_F(DrelAppTest, TheCaptionAndThePanesFollowTheMaps)
{
    struct CNamingPrompt : IFilePrompt {
        std::string name;
        bool PromptFileName(std::string& path, bool, const std::string&, const std::string&) override
        {
            path = name;
            return true;
        }
    } prompt;
    prompt.name = dir.File("copy.map");
    IFilePrompt* before = app.DocManager().GetFilePrompt();
    app.DocManager().SetFilePrompt(&prompt);
    InstallMainFrameBars();
    ASSERT_TRUE(Start({DemoMapPath()}));
    EXPECT_EQ(frame->windowTitle(), "Drel Lite - [demo.map]");
    EXPECT_TRUE(Run(kCmdFileSaveAs));
    EXPECT_TRUE(PathExists(dir.File("copy.map")));
    EXPECT_EQ(frame->windowTitle(), "Drel Lite - [copy.map]");

    ViewHost().SetMessageText("Dvaro g. 12");
    ViewHost().SetScaleText(5000);
    ASSERT_EQ(frame->GetScaleText(), 5000);
    DocumentHost().SetCoordinateText(LoadString(103));
    EXPECT_TRUE(Run(kCmdFileClose));
    EXPECT_TRUE(MapDocuments().empty());
    EXPECT_EQ(frame->windowTitle(), "Drel Lite");
    EXPECT_EQ(frame->GetPaneText(121), "");
    EXPECT_EQ(frame->GetPaneText(103), "");
    EXPECT_EQ(frame->GetScaleText(), 0);
    EXPECT_TRUE(shown.empty());
    Stop();
    MainFrameHooks().makeBars = nullptr;
    app.DocManager().SetFilePrompt(before);
}

// A table window that only logs.
class CLoggingTableFrame : public IDocFrame {
public:
    CLoggingTableFrame(std::vector<std::string>& log, CDocManager& manager) : m_log(log), m_manager(manager) {}
    void InitialUpdateFrame() override { m_log.push_back("shown"); }
    void ActivateFrame() override { m_log.push_back("activated"); }
    void DestroyFrame() override
    {
        m_log.push_back("closed");
        m_manager.FrameDestroyed(*this);
        delete this;
    }

private:
    std::vector<std::string>& m_log;
    CDocManager& m_manager;
};

TEST_F(DrelAppTest, AttributeTablesOpenOncePerLayer)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    CDrelDoc& map = *frame->GetActiveMapDocument();
    CLayer& streets = *map.GetLayer(map.GetLayerCount() - 1);

    // No table window yet: nothing opens.
    app.OpenAttributeTable(streets, map);
    EXPECT_FALSE(app.IsAttributeTableOpen(streets));

    std::vector<std::string> log;
    app.SetTableFactories(nullptr, [&](CShellDocument&, CDocTemplate&) -> IDocFrame* {
        return new CLoggingTableFrame(log, app.DocManager());
    });
    app.OpenAttributeTable(streets, map);
    app.OpenAttributeTable(streets, map);
    EXPECT_EQ(log, (Texts{"shown", "activated"}));
    CDocTemplate& tables = *app.DocManager().FindTemplate(CDrelApp::kTableTemplateId);
    ASSERT_EQ(tables.GetDocumentCount(), 1);
    EXPECT_EQ(tables.GetDocument(0)->GetTitle(), streets.GetName());
    EXPECT_TRUE(app.IsAttributeTableOpen(streets));

    // Another layer object over the same table, the path in other letter case.
    std::string upper = streets.GetPath();
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    CLayer twin(streets.GetName(), upper, streets.GetType());
    EXPECT_TRUE(app.IsAttributeTableOpen(twin));
    CLayer other("kita", dir.File("kita.gdb"), 0);
    EXPECT_FALSE(app.IsAttributeTableOpen(other));

    app.CloseTableDocuments(map);
    EXPECT_EQ(tables.GetDocumentCount(), 0);
    EXPECT_EQ(log.back(), "closed");
}

// A map window of the kind the map frame will be: a view on a window that
// counts its repaints.
class CCountingMapFrame : public CMdiChild, public IMapFrameWindow, public IViewWindow {
public:
    CCountingMapFrame(CShellDocument& document, CDocTemplate& docTemplate)
        : CMdiChild(document, docTemplate), view(std::make_unique<CDrelView>(*document.GetMapDocument()))
    {
        view->SetWindow(this);
    }
    CDrelView* GetMapView() override { return view.get(); }
    void InvalidateView() override { ++repaints; }
    // The view goes before its document.
    void DestroyFrame() override
    {
        view.reset();
        CMdiChild::DestroyFrame();
    }

    std::unique_ptr<CDrelView> view;
    int repaints = 0;
};

TEST_F(DrelAppTest, TheMapFrameFactoryIsASeam)
{
    app.SetMapFrameFactory([this](CShellDocument& document, CDocTemplate& docTemplate) -> IDocFrame* {
        auto* child = new CCountingMapFrame(document, docTemplate);
        app.GetMainFrame()->AddChild(child);
        return child;
    });
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* child = dynamic_cast<CCountingMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    EXPECT_EQ(frame->GetActiveMapView(), child->view.get());
    EXPECT_TRUE(app.IsMapDocumentOpen(frame->GetActiveMapDocument()));
    CDrelDoc stray;
    EXPECT_FALSE(app.IsMapDocumentOpen(&stray));
    const int before = child->repaints;
    app.InvalidateMapViews();
    EXPECT_EQ(child->repaints, before + 1);
}

} // namespace

namespace {

// Prints to a PDF file instead of asking for a printer.
class CPdfPrintDialogs : public IPrintDialogs {
public:
    explicit CPdfPrintDialogs(std::string path) : m_path(std::move(path)) { SetPrintDialogs(this); }
    ~CPdfPrintDialogs() override { SetPrintDialogs(nullptr); }
    bool ChoosePrinter(QPrinter& printer, int, QWidget*) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(m_path));
        return true;
    }

private:
    std::string m_path;
};

} // namespace

TEST_F(DrelAppTest, TheMapWindowPrintsAndCopiesItsMap)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    QGuiApplication::clipboard()->clear();
    EXPECT_TRUE(Run(30104)); // copy the map
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->hasImage());
    EXPECT_TRUE(copied->hasFormat("image/x-emf"));

    const std::string pdf = ResolvePath(dir.File("printed.pdf"));
    CPdfPrintDialogs dialogs(pdf);
    EXPECT_TRUE(Run(kCmdFilePrint));
    std::string info;
    EXPECT_EQ(RunCommand("pdfinfo '" + pdf + "'", info), 0) << info;
    const std::size_t pages = info.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info;
    EXPECT_EQ(std::atoi(info.c_str() + pages + 6), 1) << "the map fitted on one page";
    EXPECT_TRUE(shown.empty());
}
