// The map view printed with the page setup onto PDF pages, read back with
// pdftoppm and pdftotext.
#include "mapdoc/DrelView.h"

#include "mapdoc/PageSetup.h"
#include "mapdoc/PrintInfo.h"
#include "mapdoc/PrintPages.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "tests/mapdoc/PdfReadBack.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Each map metre is 10 pixels of the 96-dpi view.
constexpr double kMetresPerPixel = 10;
// Pages are read back at this resolution: 100 pixels an inch.
constexpr int kReadDpi = 100;

bool IsLeft(COLORREF c)
{
    return GetGValue(c) > 120 && GetRValue(c) < 80;
}

bool IsRight(COLORREF c)
{
    return GetRValue(c) > 150 && GetGValue(c) < 80;
}

bool IsInk(COLORREF c)
{
    return GetRValue(c) < 230 || GetGValue(c) < 230 || GetBValue(c) < 230;
}

bool IsBlack(COLORREF c)
{
    return GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90;
}

// Millimetres of the sheet in pixels of the pages read back.
int Px(double millimetres)
{
    return static_cast<int>(millimetres * kReadDpi / 25.4 + 0.5);
}

LOGFONT Font(int height, const char* face = "Liberation Sans")
{
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfCharSet = BALTIC_CHARSET;
    std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
    return lf;
}

// A context without a device that measures a sheet of 5.33 x 6.67 inches
// at 300 dpi (1600 x 2000 pixels), all of it printable.
void MeasureSmallSheet(CDC& dc)
{
    CDC::DeviceInfo device;
    device.width = 1600;
    device.height = 2000;
    device.dpiX = device.dpiY = 300;
    dc.SetDeviceInfo(device);
}

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        // Far beyond anything a page shows.
        MakeTwoHalvesMap(doc, view, CMapRect(0, 4800, 9600, 0), CMapRect(-1e6, 1e6, 1e6, -1e6), 4800);
        view.SetWindow(&window);
        ShowClient(960, 480);
    }

    // The view's client area of that many pixels, from the map's origin at
    // 10 metres a pixel.
    void ShowClient(int width, int height)
    {
        view.OnSize(width, height);
        view.ZoomToRect(CMapRect(0, height * kMetresPerPixel, width * kMetresPerPixel, 0), 0);
    }

    // An A4 landscape sheet whose printer cannot print the outer 10 mm;
    // the pages printed.
    int Print(int first = 1, int last = 0)
    {
        QPdfWriter writer(QString::fromStdString(pdf));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                         QPageLayout::Millimeter));
        CDC dc(writer);
        return PrintViewPages(view, dc, first, last);
    }

    std::vector<QImage> Pages() { return RenderPdfPages(pdf, kReadDpi, ResolvePath(dir.Path())); }

    void SetMargins(int left, int top, int right, int bottom)
    {
        // Hundredths of a millimetre.
        setup.values.margins = CRect(left * 100, top * 100, right * 100, bottom * 100);
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
    CTestView view{doc};
    CFixedPageSetup setup;
    CTempDir dir;
    std::string pdf = ResolvePath(dir.File("print.pdf"));
};

} // namespace

TEST_F(PrintingTest, ScaleModesDecideThePagesAndWhatEachShows)
{
    struct Page {
        CRect mapMillimetres; // of the sheet
        bool left, right;     // the halves of the map it shows
    };
    struct Case {
        const char* name;
        CSize client;
        int mode;
        double fixedScaleFactor;
        int onePage;
        CRect margins; // millimetres
        std::vector<Page> pages;
    };
    // The view shows 10 x 5 inches (254 x 127 mm), or 2.5 x 10 inches.
    const Case cases[] = {
        // 190 mm of height on the page decide: 47.5 mm wide.
        {"fit a tall extent on a wide page", {240, 960}, 0, 0, 0, {10, 10, 10, 10}, {{{10, 10, 57, 200}, true, false}}},
        // 277 mm of width decide; the extent's top part fills the page.
        {"fill the page", {240, 960}, 3, 0, 0, {10, 10, 10, 10}, {{{10, 10, 287, 200}, true, false}}},
        // A quarter of the size at four times the denominator.
        {"fixed scale", {960, 480}, 2, 4, 0, {10, 10, 10, 10}, {{{10, 10, 73, 42}, true, true}}},
        // 129 mm of width a page: the map is two pages wide.
        {"current scale, twice the page's width",
         {960, 480},
         1,
         0,
         0,
         {84, 40, 84, 40},
         {{{84, 40, 213, 167}, true, true}, {{84, 40, 209, 167}, false, true}}},
        {"one page only", {960, 480}, 1, 0, 1, {84, 40, 84, 40}, {{{84, 40, 213, 167}, true, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShowClient(c.client.cx, c.client.cy);
        setup.values = CPageSetupValues();
        setup.values.scaleMode = c.mode;
        setup.values.printScale = view.GetScaleDenominator() * c.fixedScaleFactor;
        setup.values.onePageOnly = c.onePage;
        SetMargins(c.margins.left, c.margins.top, c.margins.right, c.margins.bottom);
        const double denominator = view.GetScaleDenominator();
        const CMapRect extent = view.GetMapExtent();
        ASSERT_EQ(Print(), static_cast<int>(c.pages.size()));
        EXPECT_EQ(view.GetScaleDenominator(), denominator) << "the view keeps its scale";
        EXPECT_EQ(view.GetMapExtent(), extent);
        EXPECT_EQ(view.HasFixedExtent(), 0);

        KeepForLooking(pdf, std::string("print ") + c.name + ".pdf");
        const std::vector<QImage> pages = Pages();
        ASSERT_EQ(pages.size(), c.pages.size());
        for (std::size_t n = 0; n < pages.size(); ++n) {
            SCOPED_TRACE("page " + std::to_string(n + 1));
            const CRect& mm = c.pages[n].mapMillimetres;
            const CRect ink = InkBox(pages[n], IsInk);
            EXPECT_NEAR(ink.left, Px(mm.left), 2);
            EXPECT_NEAR(ink.top, Px(mm.top), 2);
            EXPECT_NEAR(ink.right, Px(mm.right), 3);
            EXPECT_NEAR(ink.bottom, Px(mm.bottom), 3);
            const CRect left = InkBox(pages[n], IsLeft), right = InkBox(pages[n], IsRight);
            EXPECT_EQ(!left.IsRectEmpty(), c.pages[n].left);
            EXPECT_EQ(!right.IsRectEmpty(), c.pages[n].right);
        }
    }
}

TEST_F(PrintingTest, MarginsLargerThanThePagePrintNothing)
{
    for (const int margin : {150, 400}) {
        SetMargins(margin, 10, margin, 10);
        EXPECT_EQ(Print(), 0) << margin;
        const std::vector<QImage> pages = Pages();
        // The writer's one empty sheet.
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_TRUE(InkBox(pages[0], IsInk).IsRectEmpty());
    }
    CDC dc;
    CPrintInfo info;
    info.m_rectDraw = CRect(0, 0, 1000, 1000);
    view.OnPrint(dc, info);
    EXPECT_FALSE(info.m_bContinuePrinting);
    EXPECT_EQ(info.m_nMaxPage, 0);
}

TEST_F(PrintingTest, PagesFromTheCountAndPastIt)
{
    SetMargins(84, 40, 84, 40);
    setup.values.scaleMode = CPageSetupValues::kCurrentScale;
    // Only the second of the two pages.
    ASSERT_EQ(Print(2, 2), 1);
    const std::vector<QImage> pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(InkBox(pages[0], IsLeft).IsRectEmpty());

    // A page past the count is not printed and ends the print.
    SetMargins(0, 0, 0, 0);
    CDC dc;
    MeasureSmallSheet(dc);
    EXPECT_EQ(view.CountPrintPages(dc, CRect(0, 0, 1600, 2000)), 2);
    CPrintInfo info;
    info.m_rectDraw = CRect(0, 0, 1600, 2000);
    info.m_nCurPage = 3;
    view.OnPrint(dc, info);
    EXPECT_EQ(info.m_nMaxPage, 2);
    EXPECT_FALSE(info.m_bContinuePrinting);

    // A map millions of pages large is refused whole.
    ShowClient(960, 480);
    setup.values.scaleMode = CPageSetupValues::kFixedScale;
    setup.values.printScale = view.GetScaleDenominator() / 1000;
    EXPECT_EQ(view.CountPrintPages(dc, CRect(0, 0, 1600, 2000)), 0);
}

TEST_F(PrintingTest, TitleFooterFrameScaleBarAndTitleBlock)
{
    // The scale bar 5 mm from the map's top left corner.
    doc.Settings().scaleBarFromLeft = 1;
    doc.Settings().scaleBarFromTop = 1;
    doc.Settings().scaleBarOffsetX = 500;
    doc.Settings().scaleBarOffsetY = 500;
    view.ToggleScaleBar();
    ASSERT_TRUE(view.IsScaleBarVisible());
    setup.values.scaleMode = CPageSetupValues::kCurrentScale;
    SetMargins(20, 20, 20, 20);
    setup.values.title = "\xDE" "em\xEBlapis \xD0iauliai"; // "Žemėlapis Šiauliai"
    setup.values.titleFont = Font(-300);
    setup.values.footer = "Spausdino Jonas";
    setup.values.footerFont = Font(-150);
    setup.values.frame = 1;
    setup.values.titleBlock = 1;
    setup.values.titleBlockFont = Font(-100);
    setup.values.titleBlockTexts = {"Pirmas", "Antras", "Trecias", "Ketvirtas", "Penktas",
                                    "Sesta langelio eilute kuri netelpa vienoje eiluteje",
                                    "Septintas", "Astuntas", "Devintas"};
    ASSERT_EQ(Print(), 1);
    KeepForLooking(pdf, "print with title block.pdf");

    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("\xC5\xBD" "em\xC4\x97lapis \xC5\xA0iauliai"), std::string::npos) << text;
    EXPECT_NE(text.find("Spausdino Jonas"), std::string::npos) << text;

    const std::vector<QImage> pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    const QImage& page = pages[0];
    // The map: 10 x 5 inches from the area's left, below the title.
    const CRect map = InkBox(page, [](COLORREF c) { return IsLeft(c) || IsRight(c); });
    EXPECT_NEAR(map.left, Px(20), 2);
    EXPECT_NEAR(map.Width(), 1000, 3);
    EXPECT_NEAR(map.Height(), 500, 3);
    // Points in pixels of the page read back.
    auto px = [](double points) { return points * kReadDpi / 72; };
    const std::vector<CPdfWord> words = PdfWords(pdf, 1);
    auto word = [&](const std::string& utf8) {
        for (const CPdfWord& w : words)
            if (w.text == utf8)
                return w;
        ADD_FAILURE() << "no word " << utf8;
        return CPdfWord();
    };
    const CPdfWord title = word("\xC5\xA0iauliai");
    EXPECT_NEAR(px(title.yMin), Px(20), 4) << "the title at the area's top";
    EXPECT_LT(px(title.yMax), map.top);
    // The title's height and a quarter of it more above the map.
    QImage probe(10, 10, QImage::Format_RGB32);
    probe.setDotsPerMeterX(11811);
    probe.setDotsPerMeterY(11811);
    CDC measure(probe);
    LOGFONT device = Font(-90); // 300 thousandths of an inch at 300 dpi
    measure.SelectObject(CFont(device));
    const int titleHeight = measure.GetTextExtent(setup.values.title).cy;
    EXPECT_NEAR(map.top - Px(20), (titleHeight + titleHeight / 4) / 3.0, 3);
    const CPdfWord footer = word("Spausdino");
    EXPECT_GT(px(footer.yMin), map.bottom) << "the footer under the map";
    EXPECT_NEAR(px(footer.xMin), map.left, 3);

    // The frame: black along the map's left and top edges.
    int black = 0;
    for (int y = map.top + 5; y < map.bottom - 5; ++y)
        black += IsBlack(PixelOf(page, map.left - 1, y)) || IsBlack(PixelOf(page, map.left, y)) ||
                 IsBlack(PixelOf(page, map.left + 1, y));
    EXPECT_GT(black, (map.Height() - 10) * 9 / 10);

    // The scale bar's texts are inside the map.
    const CPdfWord zero = word("0");
    EXPECT_GT(px(zero.xMin), map.left);
    EXPECT_LT(px(zero.xMax), map.right);
    EXPECT_GT(px(zero.yMin), map.top);
    EXPECT_LT(px(zero.yMax), map.bottom);

    // The title block: 185 x 22 mm in the map's bottom right corner (the
    // map is wider than 210 mm), its cells' texts inside their cells.
    const CPdfWord first = word("Pirmas");
    EXPECT_NEAR(px(first.xMin), map.right - Px(185) + 5, 4) << "50 thousandths inside the first cell";
    EXPECT_NEAR(px(first.yMin), map.bottom - Px(22) + 5, 4);
    const CPdfWord ninth = word("Devintas");
    EXPECT_NEAR(px(ninth.xMin), map.right - Px(50) + 5, 4);
    EXPECT_NEAR(px(ninth.yMin), map.bottom - Px(6) + 5, 4);
    // The sixth cell is 45 mm wide: its text wraps.
    const CPdfWord sixthFirst = word("Sesta"), sixthLast = word("eiluteje");
    EXPECT_GT(sixthLast.yMin, sixthFirst.yMin + 5);
    EXPECT_LT(px(sixthLast.xMax), map.right - Px(185) + Px(45));
    // The cells' lines are black and the cells white inside.
    EXPECT_TRUE(IsBlack(PixelOf(page, map.right - Px(185), map.bottom - Px(11))) ||
                IsBlack(PixelOf(page, map.right - Px(185) + 1, map.bottom - Px(11))));
    EXPECT_EQ(PixelOf(page, map.right - Px(185) + Px(40), map.bottom - Px(3)), RGB(255, 255, 255));
}

TEST_F(PrintingTest, TitleBlockKeepsItsSizeOrScalesFromTheLeft)
{
    // At 1000 dpi a thousandth of an inch is a pixel.
    struct Case {
        const char* name;
        int width;
        std::vector<int> columns; // black down the block's upper row
    };
    // Cell edges at 0, 1378, 3150, 4921, 5906 and 7283 thousandths.
    const Case cases[] = {
        {"exactly 185 mm", 7283, {0, 1378, 3150, 4921, 5906, 7282}},
        {"wider than 210 mm", 8400, {8400 - 7283, 8400 - 7283 + 1378, 8400 - 7283 + 5906, 8399}},
        {"narrower: scaled", 3642, {0, 689, 1575, 2953, 3641}},
        {"between 185 and 210 mm: scaled", 8000, {0, 1514, 6487, 7999}},
    };
    setup.values.titleBlock = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image(c.width + 20, 1200, QImage::Format_RGB32);
        image.fill(QColor(128, 128, 128));
        {
            CDC dc(image);
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowExt(1000, 1000);
            dc.SetViewportExt(1000, 1000);
            view.DrawTitleBlock(dc, CRect(0, 100, c.width, 1100));
        }
        // The block's top 866 above the map's bottom, its upper row 236 high.
        const int row = 1100 - 866 + 100;
        for (const int x : c.columns)
            EXPECT_EQ(PixelOf(image, x, row), RGB(0, 0, 0)) << x;
        EXPECT_EQ(PixelOf(image, c.columns.front() + 30, 1100 - 866), RGB(0, 0, 0)) << "the top line";
        EXPECT_EQ(PixelOf(image, c.columns.front() + 30, 1100 - 867), RGB(128, 128, 128)) << "nothing above";
        EXPECT_EQ(PixelOf(image, c.columns.front() + 30, row), RGB(255, 255, 255)) << "a white cell";
        if (c.columns.front() > 0) {
            EXPECT_EQ(PixelOf(image, c.columns.front() - 30, row), RGB(128, 128, 128)) << "nothing left of it";
        }
    }
}

TEST_F(PrintingTest, PageSetupsOutOfRangePrintSanely)
{
    // The view shows 10 x 5 inches at its scale.
    CDC dc;
    MeasureSmallSheet(dc);
    const CRect sheet(0, 0, 1600, 2000);
    struct Case {
        const char* name;
        std::function<void(CPageSetupValues&)> set;
        int pages;
    };
    const Case cases[] = {
        {"negative margins: the whole sheet", [](CPageSetupValues& v) { v.margins = CRect(-5000, -5000, -5000, -5000); },
         2},
        {"an unknown scale mode keeps the scale", [](CPageSetupValues& v) { v.scaleMode = 7; }, 2},
        {"a fixed scale of no number keeps the scale",
         [](CPageSetupValues& v) {
             v.scaleMode = CPageSetupValues::kFixedScale;
             v.printScale = std::nan("");
         },
         2},
        {"a negative fixed scale keeps the scale",
         [](CPageSetupValues& v) {
             v.scaleMode = CPageSetupValues::kFixedScale;
             v.printScale = -100;
         },
         2},
        {"a title taller than the sheet",
         [](CPageSetupValues& v) {
             v.title = "Pavadinimas";
             v.titleFont.lfHeight = -8000; // 8 inches
         },
         0},
        {"a footer taller than the sheet",
         [](CPageSetupValues& v) {
             v.footer = "Pora";
             v.footerFont.lfHeight = -8000;
         },
         0},
        {"margins of the largest numbers",
         [](CPageSetupValues& v) { v.margins = CRect(INT_MAX, INT_MIN, INT_MAX, INT_MIN); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setup.values = CPageSetupValues();
        setup.values.scaleMode = CPageSetupValues::kCurrentScale;
        c.set(setup.values);
        EXPECT_EQ(view.CountPrintPages(dc, sheet), c.pages);
        EXPECT_EQ(dc.SaveDC(), 1) << "the context as it was";
        dc.RestoreDC(-1);
        EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    }
}
