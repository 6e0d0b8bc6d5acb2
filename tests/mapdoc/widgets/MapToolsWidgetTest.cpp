// The mouse tools in the window, driven as a user drives them.

#include "mapdoc/ContextView.h"
#include "mapdoc/ZoomWindowTool.h"
#include "mapdoc/widgets/MapViewWidget.h"
#include "platform/VirtualKeys.h"
#include "res/BitmapTable.h"
#include "res/CursorTable.h"
#include "tests/mapdoc/ToolTestSupport.h"
#include "tests/mapdoc/widgets/WidgetTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QCursor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const CMapRect kLimits(0, 1000, 2000, 0);

class MapToolsWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedApplication();
        MapToolMode = 0;
        SetMetreMap(doc, kLimits);
        doc.AddLayer(MakeExtentLayer("A", CMapRect(200, 800, 1200, 200)), false);
        auto owned = std::make_unique<CTestView>(doc);
        view = owned.get();
        view->realTools = true;
        view->colours["A"] = RGB(40, 120, 200);
        widget = std::make_unique<CMapViewWidget>(std::move(owned));
        widget->resize(400, 200);
        widget->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
        view->OnInitialUpdate();
        Settle(*view);
    }
    void TearDown() override { MapToolMode = 0; }

    // Until the window shows a finished drawing.
    static void Settle(CDrelView& v)
    {
        ASSERT_TRUE(WaitFor([&] { return v.HasBackBuffer() && !v.IsDrawing(); }));
        QCoreApplication::processEvents();
    }
    // The window's pixels equal the map's picture.
    bool ShowsTheMap(CMapViewWidget& w, CDrelView& v)
    {
        QCoreApplication::processEvents();
        auto dc = v.OpenWindowDC();
        auto memory = v.OpenBackBufferDC(*dc);
        if (!memory)
            return false;
        QImage map(w.Surface().Width(), w.Surface().Height(), QImage::Format_RGB32);
        {
            CDC copy(map);
            copy.BitBlt(0, 0, map.width(), map.height(), memory.get(), 0, 0, SRCCOPY);
        }
        return w.Surface().Image().convertToFormat(QImage::Format_RGB32) == map;
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CDrelDoc doc;
    CTestView* view = nullptr;
    std::unique_ptr<CMapViewWidget> widget;
};

} // namespace

TEST_F(MapToolsWidgetTest, TheHostShowsTheCursorOfTheModeAtEveryMove)
{
    struct Case {
        int mode;
        Qt::KeyboardModifiers modifiers;
        int cursor;
    };
    const Case cases[] = {{1, Qt::NoModifier, 114}, {1, Qt::ShiftModifier, 115}, {2, Qt::NoModifier, 115},
                          {2, Qt::ShiftModifier, 114}, {3, Qt::NoModifier, 117}, {22, Qt::NoModifier, 1087},
                          {0, Qt::NoModifier, 0}};
    for (const Case& c : cases) {
        view->SetToolMode(c.mode);
        QTest::mouseMove(widget.get(), QPoint(50 + c.mode, 60));
        QMouseEvent move(QEvent::MouseMove, QPointF(51, 61), QPointF(51, 61), Qt::NoButton, Qt::NoButton,
                         c.modifiers);
        QApplication::sendEvent(widget.get(), &move);
        EXPECT_EQ(widget->GetCursorId(), c.cursor) << c.mode;
        if (c.cursor) {
            const CursorResource* resource = FindCursorResource(c.cursor);
            ASSERT_NE(resource, nullptr);
            EXPECT_EQ(widget->cursor().shape(), Qt::BitmapCursor);
            EXPECT_EQ(widget->cursor().hotSpot(), QPoint(resource->hotX, resource->hotY));
        } else {
            EXPECT_EQ(widget->cursor().shape(), Qt::ArrowCursor);
        }
    }
}

TEST_F(MapToolsWidgetTest, EveryCursorOfTheModesIsOurs)
{
    // A sheet of them all, for looking at.
    const auto cursors = CursorResources();
    QImage sheet(static_cast<int>(cursors.size()) * 28, 28, QImage::Format_ARGB32);
    sheet.fill(QColor(120, 160, 120));
    int x = 0;
    for (const CursorResource& c : cursors) {
        for (int row = 0; row < c.height; ++row)
            for (int col = 0; col < c.width; ++col)
                if (const std::uint32_t argb = BitmapPixelColour(c.rows[static_cast<size_t>(row)][col]); argb >> 24)
                    sheet.setPixel(x + 4 + col, 4 + row, argb);
        x += 28;
    }
    CTempDir dir;
    EXPECT_TRUE(sheet.save(QString::fromStdString(dir.File("cursors.png"))));
    for (int mode = 0; mode <= 27; ++mode) {
        const int id = CDrelView::CursorForMode(mode, 0);
        EXPECT_TRUE(id == 0 || FindCursorResource(id)) << mode;
        EXPECT_TRUE(FindCursorResource(CDrelView::CursorForMode(mode, MK_SHIFT)) || id == 0) << mode;
    }
}

TEST_F(MapToolsWidgetTest, ARubberBandDraggedAndErasedLeavesTheMapBitForBit)
{
    view->SetToolMode(0);
    QTest::mousePress(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 40));
    for (int i = 1; i <= 10; ++i) {
        QTest::mouseMove(widget.get(), QPoint(60 + 12 * i, 40 + 9 * i));
        EXPECT_FALSE(ShowsTheMap(*widget, *view));
    }
    QTest::mouseRelease(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(180, 130));
    auto* tool = dynamic_cast<CZoomWindowTool*>(view->GetTool());
    ASSERT_NE(tool, nullptr);
    ASSERT_TRUE(tool->HasPending());
    // A click outside erases the rectangle: the map as it was.
    QTest::mousePress(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 150));
    EXPECT_TRUE(ShowsTheMap(*widget, *view));
    QTest::mouseRelease(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 150));
    EXPECT_TRUE(ShowsTheMap(*widget, *view));
}

TEST_F(MapToolsWidgetTest, TheMapFollowsAPanDrag)
{
    view->SetToolMode(3);
    const QImage before = widget->Surface().Image().copy();
    const CMapRect extent = view->GetMapExtent();
    QTest::mousePress(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(widget.get(), QPoint(120, 110));
    QTest::mouseMove(widget.get(), QPoint(150, 120));
    const QImage& during = widget->Surface().Image();
    EXPECT_EQ(during.pixel(200, 100), before.pixel(150, 80));
    EXPECT_EQ(during.pixel(60, 40), before.pixel(10, 20));
    QTest::mouseRelease(widget.get(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 120));
    EXPECT_NEAR(view->GetMapExtent().left, extent.left - 50 * view->GetScaleX(), 1e-6);
    Settle(*view);
    EXPECT_EQ(widget->Surface().Image().pixel(200, 100), before.pixel(150, 80));
}

TEST_F(MapToolsWidgetTest, ARectangleDraggedInTheOverviewZoomsTheMainView)
{
    auto owned = std::make_unique<CContextView>(doc);
    CContextView* overview = owned.get();
    overview->SetMainView(view);
    CMapViewWidget window(std::move(owned));
    window.resize(200, 120);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    overview->OnInitialUpdate();
    Settle(*overview);

    const CMapRect overviewExtent = overview->GetMapExtent();
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(40, 30));
    QTest::mouseMove(&window, QPoint(70, 50));
    QTest::mouseMove(&window, QPoint(90, 70));
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(90, 70));
    const CMapRect target = overview->ClientRectToMap(CRect(40, 30, 90, 70));
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(60, 50));
    const CMapRect zoomed = view->GetMapExtent();
    EXPECT_NEAR(zoomed.Center().x, target.Center().x, 1e-6);
    EXPECT_NEAR(zoomed.Center().y, target.Center().y, 1e-6);
    EXPECT_LT(zoomed.Width(), 0.5 * overviewExtent.Width());
    EXPECT_EQ(overview->GetMapExtent(), overviewExtent);
}
