// The print and preview commands through QPrinter, printing to PDF files
// on the offscreen platform.
#include "mapdoc/widgets/MapPrinting.h"

#include "mapdoc/PageSetup.h"
#include "platform/DC.h"
#include "platform/Path.h"
#include "tests/mapdoc/PdfReadBack.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/mapdoc/widgets/WidgetTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {


// Dialogs that choose a PDF file on an A4 landscape sheet, without margins,
// and the pages asked for.
class CPdfDialogs : public IPrintDialogs {
public:
    CPdfDialogs() { SetPrintDialogs(this); }
    ~CPdfDialogs() override { SetPrintDialogs(nullptr); }

    bool ChoosePrinter(QPrinter& printer, int pageCount, QWidget*) override
    {
        counts.push_back(pageCount);
        Choose(printer);
        if (from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(from, to);
        }
        return accept;
    }
    void Preview(QPrinter& printer, const std::function<void(QPrinter&)>& paint, QWidget*) override
    {
        Choose(printer);
        paint(printer);
        ++previews;
    }

    std::string path;
    bool accept = true;
    int from = 0, to = 0;
    std::vector<int> counts;
    int previews = 0;

private:
    void Choose(QPrinter& printer) const
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path));
        printer.setResolution(300);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(),
                                          QPageLayout::Millimeter));
    }
};

class MapPrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedApplication();
        MakeTwoHalvesMap(doc, view, CMapRect(0, 4800, 9600, 0), CMapRect(-1e6, 1e6, 1e6, -1e6), 4800);
        view.SetWindow(&window);
        // 10 x 5 inches at the current scale: two pages of 5.08 inches wide.
        view.OnSize(960, 480);
        view.ZoomToRect(CMapRect(0, 4800, 9600, 0), 0);
        setup.values.scaleMode = CPageSetupValues::kCurrentScale;
        setup.values.margins = CRect(8400, 4000, 8400, 4000);
        dialogs.path = pdf;
    }

    std::vector<QImage> Pages() { return RenderPdfPages(pdf, 50, ResolvePath(dir.Path())); }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
    CTestView view{doc};
    CFixedPageSetup setup;
    CPdfDialogs dialogs;
    CTempDir dir;
    std::string pdf = ResolvePath(dir.File("printed.pdf"));
};

bool Shows(const QImage& page, COLORREF colour)
{
    return !InkBox(page, [colour](COLORREF c) { return c == colour; }).IsRectEmpty();
}

} // namespace

TEST_F(MapPrintingTest, PrintsThePagesCountedBeforeTheDialog)
{
    // The dialog opens knowing the pages on the default printer's sheet.
    QPrinter standard(QPrinter::HighResolution);
    CDC probe;
    probe.SetDeviceInfo(CDC::DescribeDevice(standard));
    const int count = view.CountPrintPages(probe, CRect(0, 0, probe.GetDeviceCaps(HORZRES), probe.GetDeviceCaps(VERTRES)));
    ASSERT_GT(count, 0);
    // The sheet chosen there is A4 landscape: two pages.
    ASSERT_EQ(PrintMapView(view), 2);
    EXPECT_EQ(dialogs.counts, std::vector<int>{count});
    const std::vector<QImage> pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Shows(pages[0], kLeftHalfColour));
    EXPECT_FALSE(Shows(pages[1], kLeftHalfColour));
    EXPECT_TRUE(Shows(pages[1], kRightHalfColour));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(MapPrintingTest, PagesChosenCancelAndNothingToPrint)
{
    dialogs.from = dialogs.to = 2;
    ASSERT_EQ(PrintMapView(view), 1);
    std::vector<QImage> pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_FALSE(Shows(pages[0], kLeftHalfColour));

    dialogs.accept = false;
    EXPECT_EQ(PrintMapView(view), 0);
    EXPECT_TRUE(user.messages.empty()) << "cancelling is no failure";

    // Margins wider than any sheet: the user is told and no dialog opens.
    dialogs.accept = true;
    dialogs.counts.clear();
    setup.values.margins = CRect(50000, 0, 50000, 0);
    EXPECT_EQ(PrintMapView(view), 0);
    EXPECT_TRUE(dialogs.counts.empty());
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_NE(user.messages[0].text.find("spausdinti"), std::string::npos);
}

TEST_F(MapPrintingTest, PreviewShowsThePrintedPages)
{
    PreviewMapView(view);
    EXPECT_EQ(dialogs.previews, 1);
    const std::vector<QImage> pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Shows(pages[1], kRightHalfColour));
}

TEST_F(MapPrintingTest, ThePlatformsPreviewDialogCountsThePages)
{
    SetPrintDialogs(nullptr);
    int shown = -1;
    // Looks for the dialog until it shows; it is closed whatever it holds.
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QPrintPreviewDialog* dialog = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(widget); preview && preview->isVisible())
                dialog = preview;
        if (!dialog)
            return;
        timer.stop();
        if (auto* preview = dialog->findChild<QPrintPreviewWidget*>())
            shown = preview->pageCount();
        // With DREL_PICTURE_DIR set, the dialog as the user sees it.
        if (const char* pictures = std::getenv("DREL_PICTURE_DIR")) {
            dialog->resize(900, 650);
            QApplication::processEvents();
            dialog->grab().save(QString::fromStdString(std::string(pictures) + "/print-preview.png"));
        }
        dialog->reject();
    });
    timer.start();
    PreviewMapView(view);
    // On a sheet of the default printer, whatever its size, the map takes pages.
    EXPECT_GT(shown, 0);
}
