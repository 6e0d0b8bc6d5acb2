#include "mapdoc/widgets/MapViewWidget.h"

#include "mapdoc/ContextView.h"
#include "mapdoc/ScaleBar.h"

#include "platform/VirtualKeys.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/mapdoc/widgets/WidgetTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

const CMapRect kLimits(0, 1000, 2000, 0);
const CMapRect kFullExtent(-20, 1010, 2020, -10);
const CMapRect kZoomed(100, 300, 300, 200);

void ExpectRectNear(const CMapRect& actual, const CMapRect& expected)
{
    EXPECT_NEAR(actual.left, expected.left, 1e-6);
    EXPECT_NEAR(actual.top, expected.top, 1e-6);
    EXPECT_NEAR(actual.right, expected.right, 1e-6);
    EXPECT_NEAR(actual.bottom, expected.bottom, 1e-6);
}

COLORREF PixelAt(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

QMouseEvent* RightButtonPress()
{
    return new QMouseEvent(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::RightButton,
                           Qt::RightButton, Qt::NoModifier);
}

class MapViewWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedApplication();
        MapToolMode = 0;
        SetRightClickFlag(0);
        SetMetreMap(doc, kLimits);
        for (const char* name : {"A", "B", "C"})
            doc.AddLayer(MakeExtentLayer(name, CMapRect(0, 1000, 500, 0)), false);
        widget = Show(view);
    }

    std::unique_ptr<CMapViewWidget> Show(CTestView*& shown)
    {
        auto owned = std::make_unique<CTestView>(doc);
        shown = owned.get();
        auto w = std::make_unique<CMapViewWidget>(std::move(owned));
        w->resize(400, 200);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        shown->OnInitialUpdate();
        EXPECT_TRUE(WaitFor([&] { return shown->PassCount() >= 1; }));
        return w;
    }

    // A new pass, with something done after the labels of A.
    void DrawWith(std::function<void()> afterA)
    {
        view->afterLabels = [afterA, done = false](const std::string& name) mutable {
            if (name == "A" && !done) {
                done = true;
                afterA();
            }
        };
        view->log.clear();
        view->Redraw();
        ASSERT_TRUE(WaitFor([&] { return view->PassCount() >= 1; }));
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CDrelDoc doc;
    CTestView* view = nullptr;
    std::unique_ptr<CMapViewWidget> widget;
};

} // namespace

TEST_F(MapViewWidgetTest, KeysMoveTheExtent)
{
    ExpectRectNear(view->GetMapExtent(), kFullExtent);
    view->ZoomToRect(kZoomed, 0);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        CMapRect expected;
    };
    const Case cases[] = {
        {Qt::Key_PageUp, Qt::NoModifier, CMapRect(100, 350, 300, 250)},
        {Qt::Key_PageDown, Qt::NoModifier, CMapRect(100, 300, 300, 200)},
        {Qt::Key_End, Qt::NoModifier, CMapRect(200, 300, 400, 200)},
        {Qt::Key_Home, Qt::NoModifier, CMapRect(100, 300, 300, 200)},
        {Qt::Key_Plus, Qt::NoModifier, CMapRect(150, 275, 250, 225)},
        {Qt::Key_Minus, Qt::NoModifier, CMapRect(100, 300, 300, 200)},
        {Qt::Key_Plus, Qt::KeypadModifier, CMapRect(150, 275, 250, 225)},
        {Qt::Key_Minus, Qt::KeypadModifier, CMapRect(100, 300, 300, 200)},
    };
    for (const Case& c : cases) {
        QTest::keyClick(widget.get(), c.key, c.modifiers);
        ExpectRectNear(view->GetMapExtent(), c.expected);
    }
    // Each move drew the map anew.
    EXPECT_TRUE(WaitFor([&] { return !view->IsDrawing() && view->HasBackBuffer(); }));
}

TEST_F(MapViewWidgetTest, OtherKeysReachTheToolAndEscEndsIt)
{
    view->modesWithTool = {4};
    MapToolMode = 4;
    ASSERT_EQ(view->CreateToolForMode(), 1);
    view->log.clear();
    QTest::keyClick(widget.get(), Qt::Key_Delete);
    QTest::keyClick(widget.get(), Qt::Key_Q);
    QTest::keyClick(widget.get(), Qt::Key_Escape);
    EXPECT_EQ(view->log, (std::vector<std::string>{"tool4 key 46", "tool4 key 81", "tool4 may quit", "tool4 deleted"}));
    EXPECT_EQ(view->GetTool(), nullptr);
    EXPECT_EQ(MapToolMode, 0);
}

TEST_F(MapViewWidgetTest, ResizeRefitsOnlyWhileTheFullExtentShows)
{
    widget->resize(800, 400);
    ASSERT_TRUE(WaitFor([&] { return view->GetClientSize() == CSize(800, 400); }));
    ExpectRectNear(view->GetMapExtent(), kFullExtent);
    EXPECT_EQ(widget->Surface().Width(), 800);

    view->ZoomToRect(kZoomed, 0);
    widget->resize(400, 200);
    ASSERT_TRUE(WaitFor([&] { return view->GetClientSize() == CSize(400, 200); }));
    ExpectRectNear(view->GetMapExtent(), CMapRect(100, 300, 200, 250));
}

TEST_F(MapViewWidgetTest, TheWindowShowsWhatWasDrawn)
{
    view->colours["A"] = RGB(255, 0, 0);
    view->log.clear();
    view->Redraw();
    ASSERT_TRUE(WaitFor([&] { return view->PassCount() >= 1; }));
    const CPoint inside = view->MapToClient(CMapPoint(250, 500));
    const CPoint outside = view->MapToClient(CMapPoint(1000, 500));
    EXPECT_EQ(PixelAt(widget->Surface().Image(), inside.x, inside.y), RGB(255, 0, 0));
    const QImage shown = widget->grab().toImage();
    EXPECT_EQ(PixelAt(shown, inside.x, inside.y), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(shown, outside.x, outside.y), RGB(255, 255, 255));
}

TEST_F(MapViewWidgetTest, AnUpdateRunsTheAskedPassAtOnceAndOnlyOnce)
{
    // The passes the showing asked for are done.
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    view->log.clear();
    widget->UpdateView();
    EXPECT_EQ(view->PassCount(), 0) << "nothing was asked";
    view->Redraw();
    EXPECT_EQ(view->PassCount(), 0);
    widget->UpdateView();
    EXPECT_EQ(view->PassCount(), 1);
    // The posted request finds the pass done.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->PassCount(), 1);
}

TEST_F(MapViewWidgetTest, EscStopsTheDrawingAndIsTaken)
{
    view->modesWithTool = {4};
    MapToolMode = 4;
    ASSERT_EQ(view->CreateToolForMode(), 1);
    DrawWith([&] {
        QCoreApplication::postEvent(widget.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(view->DrawnInFirstPass("labels "), std::vector<std::string>{"A"});
    EXPECT_NE(view->GetTool(), nullptr); // the tool never saw the Esc
    EXPECT_EQ(view->Drawn("tool4 "), std::vector<std::string>{});
}

TEST_F(MapViewWidgetTest, KeysTypedWhileDrawingRunNoShortcut)
{
    int fired = 0;
    QShortcut shortcut(QKeySequence(Qt::Key_F5), widget.get());
    QObject::connect(&shortcut, &QShortcut::activated, [&] { ++fired; });
    widget->activateWindow();
    widget->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(widget.get()));

    // Typed on the keyboard while the drawing lets events through.
    DrawWith([&] {
        QTimer::singleShot(0, [&] {
            QTest::keyClick(widget->windowHandle(), Qt::Key_F5);
            QTest::keyClick(widget->windowHandle(), Qt::Key_Escape);
        });
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(view->DrawnInFirstPass("labels "), std::vector<std::string>{"A"});
    EXPECT_EQ(fired, 0);
    QTest::keyClick(widget->windowHandle(), Qt::Key_F5);
    EXPECT_EQ(fired, 1);
}

TEST_F(MapViewWidgetTest, NavigationKeysStopTheDrawingAndActAfterIt)
{
    view->ZoomToRect(kZoomed, 0);
    ASSERT_TRUE(WaitFor([&] { return view->HasBackBuffer(); }));
    DrawWith([&] {
        QCoreApplication::postEvent(widget.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier));
        QCoreApplication::postEvent(widget.get(),
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, "+"));
    });
    EXPECT_EQ(view->DrawnInFirstPass("labels "), std::vector<std::string>{"A"});
    // Down by half the height, then zoomed in about the new centre.
    ASSERT_TRUE(WaitFor([&] { return view->GetScaleDenominator() < 1000; }));
    ExpectRectNear(view->GetMapExtent(), CMapRect(150, 225, 250, 175));
    // And the map is drawn once more, whole.
    ASSERT_TRUE(WaitFor([&] { return view->PassCount() >= 2; }));
    EXPECT_EQ(view->Drawn("labels "), (std::vector<std::string>{"A", "A", "B", "C"}));
}

TEST_F(MapViewWidgetTest, RightClickStopsTheDrawingAndGetsNoMenu)
{
    DrawWith([&] { QCoreApplication::postEvent(widget.get(), RightButtonPress()); });
    EXPECT_EQ(view->DrawnInFirstPass("labels "), std::vector<std::string>{"A"});
    EXPECT_EQ(GetRightClickFlag(), 1);

    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(10, 10), QPoint(10, 10));
    QCoreApplication::sendEvent(widget.get(), &request);
    EXPECT_EQ(view->Drawn("menu "), std::vector<std::string>{});
    QCoreApplication::sendEvent(widget.get(), &request);
    EXPECT_EQ(view->Drawn("menu "), std::vector<std::string>{"10,10"});
}

TEST_F(MapViewWidgetTest, OtherInputWaitsUntilTheDrawingIsOver)
{
    view->modesWithTool = {1};
    MapToolMode = 1;
    DrawWith([&] {
        // A key down the drawing forgets, and a click for after it.
        QCoreApplication::postEvent(widget.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q"));
        QCoreApplication::postEvent(widget.get(),
                                    new QMouseEvent(QEvent::MouseButtonPress, QPointF(7, 8), QPointF(7, 8),
                                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    });
    EXPECT_EQ(view->DrawnInFirstPass("labels "), (std::vector<std::string>{"A", "B", "C"}));
    ASSERT_TRUE(WaitFor([&] { return !view->Drawn("tool1 ").empty(); }));
    EXPECT_EQ(view->Drawn("tool1 "), std::vector<std::string>{"down 7,8"}); // no key 81
    EXPECT_TRUE(view->DrawnInFirstPass("tool1 ").empty());
}

// Closing the window could take the map away under the drawing: the
// request waits, and the window closes once the drawing is over.
TEST_F(MapViewWidgetTest, ClosingWaitsUntilTheDrawingIsOver)
{
    bool visibleAfterTheRequest = false;
    DrawWith([&] {
        QTimer::singleShot(0, widget.get(), [&] {
            widget->close();
            visibleAfterTheRequest = widget->isVisible();
        });
    });
    EXPECT_TRUE(visibleAfterTheRequest);
    EXPECT_EQ(view->DrawnInFirstPass("labels "), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(WaitFor([&] { return !widget->isVisible(); }));
}

// A dialog that comes up while the map draws (its loop runs inside the
// drawing's look at the waiting input) asks the map's window to close and
// then closes itself: the dialog goes at once, the drawing ends, then the
// window closes.
TEST_F(MapViewWidgetTest, ADialogClosesAtOnceWhileTheMapDraws)
{
    bool dialogClosedAtOnce = false;
    bool windowWaited = false;
    DrawWith([&] {
        QTimer::singleShot(0, widget.get(), [&] {
            QDialog dialog;
            QTimer::singleShot(0, &dialog, [&] {
                widget->close();
                windowWaited = widget->isVisible();
                dialog.close();
                dialogClosedAtOnce = !dialog.isVisible();
            });
            // Were the dialog's close held, the drawing would wait for ever:
            // even its OK and Cancel close it. Hiding ends it without a close.
            QTimer::singleShot(10000, &dialog, [&] { dialog.hide(); });
            dialog.exec();
        });
    });
    EXPECT_TRUE(dialogClosedAtOnce);
    EXPECT_TRUE(windowWaited);
    EXPECT_EQ(view->DrawnInFirstPass("labels "), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(WaitFor([&] { return !widget->isVisible(); }));
}

TEST_F(MapViewWidgetTest, OnePassAtATimeAndResizingWaitsForIt)
{
    CTestView* second = nullptr;
    std::unique_ptr<CMapViewWidget> other = Show(second);
    std::vector<std::string> order;
    second->afterLabels = [&](const std::string& name) { order.push_back("second " + name); };
    int surfaceWidthWhileDrawing = 0;
    bool asked = false;
    view->afterLabels = [&](const std::string& name) {
        order.push_back("first " + name);
        if (!asked) {
            asked = true;
            second->Redraw();
            widget->resize(300, 150);
        }
        surfaceWidthWhileDrawing = std::max(surfaceWidthWhileDrawing, widget->Surface().Width());
    };
    view->Redraw();
    const std::vector<std::string> secondPass = {"second A", "second B", "second C"};
    ASSERT_TRUE(WaitFor([&] { return std::search(order.begin(), order.end(), secondPass.begin(),
                                                 secondPass.end()) != order.end(); }));
    // The second window's pass came after the first one's, whole.
    EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 3),
              (std::vector<std::string>{"first A", "first B", "first C"}));
    EXPECT_EQ(std::count_if(order.begin(), order.end(), [](const std::string& e) { return e[0] == 's'; }), 3);
    // The resize came after the pass, and drew the map anew at its size.
    ASSERT_TRUE(WaitFor([&] { return view->GetClientSize() == CSize(300, 150); }));
    EXPECT_EQ(widget->Surface().Width(), 300);
    EXPECT_EQ(surfaceWidthWhileDrawing, 400);
}

TEST_F(MapViewWidgetTest, TheOverviewShowsInAMapViewsWindow)
{
    auto owned = std::make_unique<CContextView>(doc);
    CContextView* overview = owned.get();
    overview->SetMainView(view);
    int dialogs = 0;
    overview->SetLayersDialog([&](CDrelDoc&) {
        ++dialogs;
        return false;
    });
    CMapViewWidget window(std::move(owned));
    window.resize(200, 120);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    overview->OnInitialUpdate();
    ASSERT_TRUE(WaitFor([&] { return overview->HasBackBuffer() && !overview->IsDrawing(); }));
    QCoreApplication::processEvents();

    // The frame of the map view round the whole map, in red.
    CRect frame = overview->RectToClient(view->GetMapExtent());
    frame.InflateRect(1, 1);
    frame.OffsetRect(-1, -1);
    const QImage shown = window.grab().toImage();
    EXPECT_EQ(PixelAt(shown, (frame.left + frame.right) / 2, frame.top), RGB(255, 0, 0));

    // Keys leave it where it is; the right button asks for its layers.
    const CMapRect extent = overview->GetMapExtent();
    QTest::keyClick(&window, Qt::Key_PageDown);
    ExpectRectNear(overview->GetMapExtent(), extent);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(20, 20), QPoint(20, 20));
    QApplication::sendEvent(&window, &menu);
    EXPECT_EQ(dialogs, 1);
}

namespace {

// A map in a window showing its scale bar, 5 mm from the left and bottom edges.
class ScaleBarWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedApplication();
        SetMetreMap(doc, kLimits);
        CMapSettings& s = doc.Settings();
        s.scaleBarShow = 1;
        s.scaleBarFromLeft = 1;
        s.scaleBarOffsetX = 500;
        s.scaleBarOffsetY = 500;
        doc.AddLayer(MakeExtentLayer("A", CMapRect(0, 1000, 1000, 0)), false);
        auto owned = std::make_unique<CTestView>(doc);
        view = owned.get();
        view->colours = {{"A", RGB(200, 230, 200)}};
        widget = std::make_unique<CMapViewWidget>(std::move(owned));
        widget->resize(400, 300);
        widget->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
        view->OnInitialUpdate();
        EXPECT_TRUE(WaitFor([&] { return view->PassCount() >= 1; }));
        bar = widget->findChild<QWidget*>(QStringLiteral("100"));
    }

    // Mouse events as the bar's window gets them, at points of the bar.
    void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint at)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(at), bar->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    }
    QRect Geometry(const CRect& r) const { return QRect(r.left, r.top, r.Width(), r.Height()); }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CDrelDoc doc;
    CTestView* view = nullptr;
    std::unique_ptr<CMapViewWidget> widget;
    QWidget* bar = nullptr;
};

} // namespace

TEST_F(ScaleBarWidgetTest, TheBarShowsOverTheMapAtItsPlace)
{
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    const CRect rect = view->GetScaleBar()->GetRect();
    EXPECT_EQ(bar->geometry(), Geometry(rect));
    EXPECT_EQ(rect.left, 19);
    EXPECT_EQ(rect.bottom, 300 - 19);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
    // The map drawn at its size, under the bar.
    view->log.clear();
    view->Redraw();
    ASSERT_TRUE(WaitFor([&] { return view->PassCount() >= 1; }));

    const QImage shown = widget->grab().toImage();
    const QByteArray folder = qgetenv("DREL_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        shown.save(QDir(QString::fromLocal8Bit(folder)).filePath("scalebar-window.png"));
    // The first segment black on the bar's white, the map round it.
    const QPoint segment = bar->geometry().topLeft() + QPoint(MulDiv(59 + 30, 96, 1000), MulDiv(157, 96, 1000));
    EXPECT_EQ(qGray(shown.pixel(segment)), 0);
    EXPECT_EQ(shown.pixel(bar->geometry().topLeft() + QPoint(1, 1)), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(100, 150), qRgb(200, 230, 200));
}

TEST_F(ScaleBarWidgetTest, DraggingMovesAndStoresEscapeAndTheRightButtonCancel)
{
    ASSERT_NE(bar, nullptr);
    const QRect start = bar->geometry();
    const QPoint grip(10, 10);

    // Escape during a drag.
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, grip);
    Mouse(QEvent::MouseMove, Qt::LeftButton, grip + QPoint(100, -80));
    EXPECT_TRUE(view->GetScaleBar()->IsDragging());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(bar, &escape);
    EXPECT_FALSE(view->GetScaleBar()->IsDragging());
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, grip + QPoint(100, -80));
    EXPECT_EQ(bar->geometry(), start);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.Settings().scaleBarOffsetX, 500);

    // The right button during a drag.
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, grip);
    Mouse(QEvent::MouseMove, Qt::LeftButton, grip + QPoint(100, -80));
    Mouse(QEvent::MouseButtonPress, Qt::RightButton, grip + QPoint(100, -80));
    EXPECT_FALSE(view->GetScaleBar()->IsDragging());
    EXPECT_EQ(bar->geometry(), start);
    EXPECT_FALSE(doc.IsModified());

    // A drag to the upper right, held inside the window.
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, grip);
    Mouse(QEvent::MouseMove, Qt::LeftButton, grip + QPoint(1000, -1000));
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, grip + QPoint(1000, -1000));
    EXPECT_EQ(bar->geometry(), QRect(QPoint(400 - start.width(), 0), start.size()));
    EXPECT_EQ(doc.Settings().scaleBarFromLeft, 0);
    EXPECT_EQ(doc.Settings().scaleBarFromTop, 1);
    EXPECT_EQ(doc.Settings().scaleBarOffsetX, 0);
    EXPECT_EQ(doc.Settings().scaleBarOffsetY, 0);
    EXPECT_TRUE(doc.IsModified());

    // It keeps to that corner when the window grows.
    widget->resize(600, 400);
    view->GetScaleBar()->PlaceForDrawing();
    EXPECT_EQ(bar->geometry().right(), 599);
    EXPECT_EQ(bar->geometry().top(), 0);
}
