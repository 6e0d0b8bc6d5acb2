// The map export (30024) and the HTML export (30359) in the program,
// through the settings installer, on the demo map.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/FileUtil.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "platform/Path.h"
#include "settings/HtmlExport.h"
#include "settings/MapExport.h"
#include "settings/MapExportRules.h"
#include "settings/widgets/ExportCommands.h"
#include "settings/widgets/SettingsInstall.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace {

using Look = std::function<void(QWidget&)>;

// Each modal window the work opens, in turn, is looked at (and answered).
void AnswerModals(std::shared_ptr<std::vector<Look>> looks, size_t step, QWidget* previous, int tries = 0)
{
    QTimer::singleShot(tries ? 10 : 0, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if ((!modal || modal == previous) && tries < 200)
            return AnswerModals(looks, step, previous, tries + 1);
        ASSERT_TRUE(modal) << "step " << step;
        (*looks)[step](*modal);
        if (step + 1 < looks->size())
            AnswerModals(looks, step + 1, modal);
    });
}

void RunAnswering(const std::function<void()>& run, std::vector<Look> looks)
{
    const auto shared = std::make_shared<std::vector<Look>>(std::move(looks));
    AnswerModals(shared, 0, nullptr);
    run();
}

// The save dialog answered with a name and the filter of the index (from 1).
Look SaveAs(const std::string& path, int filter, QString* preselected = nullptr)
{
    return [=](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        ASSERT_TRUE(dialog);
        if (preselected)
            *preselected = dialog->selectedNameFilter();
        if (filter == 0) {
            dialog->reject();
            return;
        }
        dialog->selectNameFilter(dialog->nameFilters()[filter - 1]);
        const QFileInfo file(QString::fromStdString(ResolvePath(path)));
        dialog->setDirectory(file.absolutePath());
        QCoreApplication::processEvents();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(file.fileName());
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        EXPECT_FALSE(dialog->isVisible()) << path;
    };
}

Look Click(int button, int expectedId, const char* shot = nullptr)
{
    return [=](QWidget& modal) {
        EXPECT_EQ(GetControlId(&modal), expectedId) << modal.metaObject()->className() << " " << modal.windowTitle().toStdString();
        if (shot)
            SaveScreenshot(modal, shot);
        auto* push = FindControl<QPushButton>(&modal, button);
        ASSERT_TRUE(push);
        push->click();
    };
}

COLORREF PixelOf(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

class ExportAppTest : public CAppFixture {
protected:
    ExportAppTest()
    {
        InstallMainFrameBars();
        InstallSettingsDialogs(app);
        HtmlPageOpener() = [this](const std::string& path) { opened.push_back(path); };
        LastMapExportValues() = CMapExportValues();
        HtmlExportOptions() = CHtmlExportOptions();
    }
    ~ExportAppTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        CMapFrame::Hooks() = CMapFrameHooks();
        HtmlPageOpener() = nullptr;
        MapExportFilterIndex() = kExportBmp;
        HtmlExportOptions() = CHtmlExportOptions();
    }
    CMapFrame* OpenDemo()
    {
        EXPECT_TRUE(Start({DemoMapPath()}));
        return frame ? dynamic_cast<CMapFrame*>(frame->ActiveChild()) : nullptr;
    }
    QAction* FileMenuEntry(int id) const
    {
        for (QAction* top : frame->menuBar()->actions())
            if (top->menu() && top->text() == QString::fromUtf8("&Failas"))
                for (QAction* entry : top->menu()->actions())
                    if (GetControlId(entry) == id)
                        return entry;
        return nullptr;
    }

    std::vector<std::string> opened;
};

} // namespace

TEST_F(ExportAppTest, TheMapIsExportedAsAPictureOfWhatTheViewShows)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    QAction* entry = FileMenuEntry(30024);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text(), QString::fromUtf8("&Eksportuoti žemėlapį..."));
    ASSERT_TRUE(IsEnabled(30024));
    CDrelView& view = *child->GetMapView();

    // A name without an extension in a dotted folder; the PNG filter.
    ASSERT_TRUE(MakeFolder(dir.File("export.d")));
    const std::string chosen = dir.File("export.d/demo");
    RunAnswering([this] { Run(30024); }, {SaveAs(chosen, kExportPng), Click(1, 359, "app-map-export-359")});
    const CSize client = view.GetClientSize();
    ASSERT_GT(client.cx, 0);
    const std::string written = dir.File("export.d/demo.png");
    EXPECT_EQ(FindMatchingFiles(dir.File("export.d/*")), std::vector<std::string>{"demo.png"});
    const QImage picture(QString::fromStdString(ResolvePath(written)));
    ASSERT_EQ(picture.size(), QSize(client.cx, client.cy));
    QImage shown(client.cx, client.cy, QImage::Format_RGB32);
    shown.fill(Qt::white);
    {
        CDC dc(shown);
        view.DrawToDC(dc, nullptr, 0, 0);
    }
    int differing = 0;
    for (int y = 0; y < client.cy; ++y)
        for (int x = 0; x < client.cx; ++x)
            differing += PixelOf(picture, x, y) != PixelOf(shown, x, y);
    EXPECT_EQ(differing, 0);
    SaveScreenshotImage(picture, "app-map-export-picture");

    // The filter is preselected next time; the metafile layout for EMF.
    QString preselected;
    RunAnswering([this] { Run(30024); },
                 {SaveAs(dir.File("export.d/other"), kExportEmf, &preselected),
                  Click(2, 30802, "app-map-export-30802")});
    EXPECT_EQ(preselected, "Portable Network Graphics (*.png)");
    EXPECT_EQ(FindMatchingFiles(dir.File("export.d/*")), std::vector<std::string>{"demo.png"}) << "cancelled";
    RunAnswering([this] { Run(30024); }, {SaveAs({}, 0, &preselected)});
    EXPECT_EQ(preselected, "Enhanced Metafile (*.emf)");
}

TEST_F(ExportAppTest, TheMapIsSavedAsAWebPage)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    QAction* entry = FileMenuEntry(30359);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text(), QString::fromUtf8("Išsaugoti HTML formatu..."));
    ASSERT_TRUE(IsEnabled(30359));

    const std::string page = dir.File("demo.html");
    RunAnswering([this] { Run(30359); },
                 {SaveAs(page, 1), [](QWidget& modal) {
                      EXPECT_EQ(GetControlId(&modal), 362);
                      auto* layers = FindControl<QComboBox>(&modal, 1012);
                      ASSERT_TRUE(layers);
                      EXPECT_GT(layers->count(), 1) << "the demo map has points or areas";
                      SaveScreenshot(modal, "app-html-export-362");
                      FindControl<QPushButton>(&modal, 1)->click();
                  }});
    EXPECT_EQ(opened, std::vector<std::string>{page});
    const CSize client = child->GetMapView()->GetClientSize();
    const std::string text = ReadWholeFile(page);
    EXPECT_NE(text.find("<img src=\"demo.png\" border=\"0\" width=\"" + std::to_string(client.cx) + "\" height=\"" +
                        std::to_string(client.cy) + "\">"),
              std::string::npos)
        << text;
    const QImage picture(QString::fromStdString(ResolvePath(dir.File("demo.png"))));
    EXPECT_EQ(picture.size(), QSize(client.cx, client.cy));
}
