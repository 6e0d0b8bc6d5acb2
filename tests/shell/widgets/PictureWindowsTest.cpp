// The picture control and the picture windows, offscreen, on small
// pictures the tests write.
#include "shell/widgets/PictureCtrl.h"
#include "shell/widgets/PictureFrame.h"
#include "shell/widgets/PictureWindows.h"
#include "shell/widgets/PictureWnd.h"

#include "platform/Codepage.h"
#include "platform/DC.h"
#include "tests/render/PictureFixtures.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

COLORREF Pixel(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return RGB(c.red(), c.green(), c.blue());
}

class PictureWindowsTest : public ::testing::Test, private CWithApplication {
protected:
    ~PictureWindowsTest() override
    {
        for (CScrollFrame* window : Windows<CScrollFrame>())
            window->close();
        FlushDeletes();
    }
    std::string Write(const std::string& name, const std::string& bytes)
    {
        WriteWholeFile(dir.File(name), bytes);
        return dir.File(name);
    }
    template <class T>
    static std::vector<T*> Windows()
    {
        std::vector<T*> found;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = dynamic_cast<T*>(widget); window && window->isVisible())
                found.push_back(window);
        return found;
    }
    CTempDir dir;
    QWidget parent;
};

TEST_F(PictureWindowsTest, ALargeBitmapOpensAtFourFifthsOfTheScreenWithScrollBars)
{
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const std::string path = Write("didelis.bmp", PlainBmp(3000, 2000, 8));
    ASSERT_EQ(OpenBitmapWindow(path, {}, &parent), 1);
    const std::vector<CPictureFrame*> windows = Windows<CPictureFrame>();
    ASSERT_EQ(windows.size(), 1u);
    CPictureFrame& window = *windows[0];
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("didelis.bmp"));
    EXPECT_EQ(window.width(), screen.width() * 4 / 5);
    EXPECT_EQ(window.height(), screen.height() * 4 / 5);
    EXPECT_TRUE(window.horizontalScrollBar()->isVisible());
    EXPECT_TRUE(window.verticalScrollBar()->isVisible());
    EXPECT_EQ(window.maximumSize(), QSize(3000, 2000));
    EXPECT_FALSE(window.windowIcon().isNull());
}

TEST_F(PictureWindowsTest, ASmallTopDownBitmapShowsWholeAndUpright)
{
    const std::string path = Write("virsus.bmp", PlainBmp(60, 40, 24, true));
    ASSERT_EQ(OpenBitmapWindow(path, "Paveikslas", &parent), 1);
    CPictureFrame& window = *Windows<CPictureFrame>().at(0);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Paveikslas"));
    EXPECT_EQ(window.size(), QSize(60, 40));
    EXPECT_FALSE(window.horizontalScrollBar()->isVisible());
    const QImage shown = window.viewport()->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(59, 0), QPoint(0, 39), QPoint(31, 17)})
        EXPECT_EQ(Pixel(shown, p.x(), p.y()), FixtureColour(FixtureIndex(p.x(), p.y(), 16))) << p.x() << "," << p.y();
    SaveScreenshot(window, "picture-frame-bitmap");
}

TEST_F(PictureWindowsTest, TheFifthWindowOfAKindOpensAtTheFirstOnesPlace)
{
    parent.setGeometry(40, 50, 700, 500);
    const std::string path = Write("mazas.bmp", PlainBmp(30, 20, 8));
    // Each window's place from the parent's, in the order they opened.
    std::vector<QPoint> places;
    std::vector<CPictureFrame*> seen;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(OpenBitmapWindow(path, {}, &parent), 1);
        for (CPictureFrame* window : Windows<CPictureFrame>())
            if (std::find(seen.begin(), seen.end(), window) == seen.end()) {
                seen.push_back(window);
                places.push_back(window->pos() - parent.geometry().topLeft());
            }
    }
    ASSERT_EQ(places.size(), 5u);
    EXPECT_EQ(places[4], places[0]);
    for (int i = 1; i < 4; ++i)
        EXPECT_NE(places[static_cast<size_t>(i)], places[0]) << i;
}

TEST_F(PictureWindowsTest, BadBitmapsAreRefusedWithTheirMessageAndNoWindow)
{
    const std::string good = PlainBmp(6, 4, 8);
    std::string lying = good;
    lying[10] = '\x70';
    lying[11] = '\x70';
    InfoHeaderFields huge;
    huge.width = huge.height = 100000;
    huge.bits = 24;
    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"cut-short.bmp", good.substr(0, good.size() - 9), "Skaitymo iš failo klaida."},
        {"pixel-offset-past-end.bmp", lying, "Skaitymo iš failo klaida."},
        {"not-bm.bmp", "XX" + good.substr(2), "Nepavyko įkrauti piešinio."},
        {"header-100000-square.bmp", WithFileHeader(InfoHeader(huge), 54), "Per didelis"},
    };
    for (const auto& c : cases) {
        CScriptedUserServices services;
        EXPECT_EQ(OpenBitmapWindow(Write(c.name, c.bytes), {}, &parent), 0) << c.name;
        ASSERT_EQ(services.messages.size(), 1u) << c.name;
        EXPECT_EQ(services.messages[0].text, Utf8ToCp1257(c.message)) << c.name;
    }
    CScriptedUserServices services;
    const std::string missing = dir.File("nera.bmp");
    EXPECT_EQ(OpenBitmapWindow(missing, {}, &parent), 0);
    EXPECT_EQ(OpenPictureWindow(dir.File("nera.png"), {}, &parent), 0);
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[0].text, "Nepavyko atidaryti failo \"" + missing + "\".");
    EXPECT_EQ(services.messages[0].helpId, 1007u);
    EXPECT_EQ(services.messages[1].helpId, 1007u);
    EXPECT_TRUE(Windows<CScrollFrame>().empty());
}

TEST_F(PictureWindowsTest, APictureTheLoaderRefusesOpensNothingAndSaysNothing)
{
    CScriptedUserServices services;
    EXPECT_EQ(OpenPictureWindow(Write("sugadintas.png", "not a png at all"), {}, &parent), 0);
    EXPECT_EQ(OpenPictureWindow(Write("sugadintas.bmp", PlainBmp(6, 4, 8).substr(0, 40)), {}, &parent), 0);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(Windows<CScrollFrame>().empty());
}

TEST_F(PictureWindowsTest, APictureWindowShowsThePictureAndEscapeClosesIt)
{
    const std::string path = Write("vaizdas.bmp", PlainBmp(50, 30, 24));
    ASSERT_EQ(OpenPictureWindow(path, {}, &parent), 1);
    std::vector<CPictureWnd*> windows = Windows<CPictureWnd>();
    ASSERT_EQ(windows.size(), 1u);
    QPointer<CPictureWnd> window = windows[0];
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->size(), QSize(50, 30));
    const QImage shown = window->viewport()->grab().toImage();
    EXPECT_EQ(Pixel(shown, 7, 5), FixtureColour(FixtureIndex(7, 5, 16)));
    SaveScreenshot(*window, "picture-window");
    QTest::keyClick(window, Qt::Key_Escape);
    FlushDeletes();
    EXPECT_TRUE(window.isNull());
}

TEST_F(PictureWindowsTest, PrintingStretchesTheBitmapAcrossThePage)
{
    const std::string path = Write("spausdinti.bmp", PlainBmp(40, 20, 24));
    ASSERT_EQ(OpenBitmapWindow(path, {}, &parent), 1);
    CPictureFrame& window = *Windows<CPictureFrame>().at(0);
    QImage page(400, 600, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        CDC dc(page);
        EXPECT_EQ(window.PrintPicture(dc), 1);
    }
    // 40 x 20 across 400 pixels: 200 rows high.
    EXPECT_EQ(Pixel(page, 5, 5), FixtureColour(FixtureIndex(0, 0, 16)));
    EXPECT_NE(Pixel(page, 200, 195), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(page, 200, 205), RGB(255, 255, 255));
}

class PictureCtrlTest : public ::testing::Test, private CWithApplication {
protected:
    PictureCtrlTest()
    {
        control.resize(200, 100);
        control.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&control));
    }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(&control, Qt::LeftButton, {}, from);
        QTest::mouseMove(&control, to);
        QTest::mouseRelease(&control, Qt::LeftButton, {}, to);
    }
    CTempDir dir;
    CPictureCtrl control;
};

TEST_F(PictureCtrlTest, ASmallPictureStaysCentredWhenDragged)
{
    const std::string path = dir.File("mazas.bmp");
    WriteWholeFile(path, PlainBmp(20, 10, 24));
    ASSERT_TRUE(control.SetPicture(path));
    EXPECT_EQ(control.GetPictureRect(), CRect(90, 45, 110, 55));
    Drag({100, 50}, {20, 10});
    EXPECT_EQ(control.GetPictureRect(), CRect(90, 45, 110, 55));
    const QImage shown = control.grab().toImage();
    EXPECT_EQ(Pixel(shown, 90, 45), FixtureColour(FixtureIndex(0, 0, 16)));
    EXPECT_EQ(Pixel(shown, 89, 44), RGB(0, 0, 0)) << "the frame round the picture";
    SaveScreenshot(control, "picture-control-small");
}

TEST_F(PictureCtrlTest, ALargePictureFollowsTheDragWithoutAGap)
{
    const std::string path = dir.File("didelis.bmp");
    WriteWholeFile(path, PlainBmp(400, 300, 24));
    ASSERT_TRUE(control.SetPicture(path));
    EXPECT_EQ(control.GetPictureRect(), CRect(-100, -100, 300, 200));
    Drag({100, 50}, {110, 60});
    EXPECT_EQ(control.GetPictureRect(), CRect(-90, -90, 310, 210));
    Drag({100, 50}, {290, 199});
    EXPECT_EQ(control.GetPictureRect(), CRect(0, 0, 400, 300));
    Drag({100, 50}, {-300, -300});
    EXPECT_EQ(control.GetPictureRect(), CRect(-200, -200, 200, 100));
}

TEST_F(PictureCtrlTest, PickModesHandTheOwnerAColourOrAPoint)
{
    const std::string path = dir.File("spalvos.bmp");
    WriteWholeFile(path, PlainBmp(40, 20, 24));
    ASSERT_TRUE(control.SetPicture(path));
    std::vector<COLORREF> colours;
    std::vector<CPoint> points;
    control.SetColourPicked([&](COLORREF c) { colours.push_back(c); });
    control.SetPointPicked([&](CPoint p) { points.push_back(p); });
    const CRect r = control.GetPictureRect();

    control.SetPickCursor(CPictureCtrl::kColourPick);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(r.left + 7, r.top + 3));
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(2, 2)); // outside the picture
    control.SetPickCursor(CPictureCtrl::kPointPick);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(r.left + 11, r.top + 4));
    control.SetPickCursor(CPictureCtrl::kNoPick);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(r.left + 11, r.top + 4));

    ASSERT_EQ(colours.size(), 1u);
    EXPECT_EQ(colours[0], FixtureColour(FixtureIndex(7, 3, 16)));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0], CPoint(11, 4));
    EXPECT_EQ(control.GetPictureRect(), r) << "a click without a pick mode drags nothing here";
}

TEST_F(PictureCtrlTest, APictureThatDoesNotLoadLeavesTheBoxEmpty)
{
    const std::string path = dir.File("per-didelis.bmp");
    InfoHeaderFields huge;
    huge.width = huge.height = 100000;
    huge.bits = 24;
    WriteWholeFile(path, WithFileHeader(InfoHeader(huge), 54));
    EXPECT_FALSE(control.SetPicture(path));
    EXPECT_FALSE(control.IsLoaded());
    EXPECT_TRUE(control.GetPictureRect().IsRectEmpty());
    const QImage shown = control.grab().toImage();
    EXPECT_EQ(Pixel(shown, 100, 50), Pixel(shown, 50, 30)) << "nothing drawn";
}

} // namespace
