// The routing part's windows on the offscreen platform: the save-route
// dialog found by its ids, and a route point dragged in a map view window
// with the mouse and the keys.
#include "mapdoc/widgets/MapViewWidget.h"
#include "platform/Codepage.h"
#include "routing/SaveRoute.h"
#include "routing/widgets/SaveRouteDlg.h"
#include "shell/widgets/ControlIds.h"
#include "tests/routing/RouteTown.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class SaveRouteDialogTest : public ::testing::Test, public CWithApplication {
protected:
    SaveRouteDialogTest() : m_saved(CSaveRouteRules::GetName()) { doc.SetPathName(dir.File("map.map")); }
    ~SaveRouteDialogTest() override { CSaveRouteRules::Remember(m_saved); }

    static void Open(CDialogBase& dialog)
    {
        dialog.show();
        QCoreApplication::processEvents();
    }
    static void Click(QWidget& dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    CScriptedUserServices user;
    CTempDir dir;
    CDrelDoc doc;

private:
    std::string m_saved;
};

TEST_F(SaveRouteDialogTest, OffersEditableLineLayersAndRemembersTheName)
{
    CSaveRouteRules::Remember("Route");
    const std::pair<const char*, int> layers[] = {
        {"Adresai", CLayer::kPoint}, {"Gatvės", CLayer::kLine}, {"Keliai", CLayer::kLine}, {"Parkai", CLayer::kArea}};
    for (const auto& [name, type] : layers)
        doc.AddLayer(std::make_unique<CLayer>(Utf8ToCp1257(name), std::string("/m/x.gdb"), type), false);
    doc.GetLayer(1)->SetFlag(CLayer::kObjectsEditable, false);

    CSaveRouteDlg dialog(doc);
    Open(dialog);
    SaveScreenshot(dialog, "routing-30817-save-route");
    EXPECT_EQ(GetControlId(&dialog), 30817);
    EXPECT_EQ(dialog.windowTitle(), Text("Apskaičiuoto maršruto išsaugojimas"));
    const auto labels = dialog.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text(), Text("Irašyti maršrutą į sluoksnį:"));
    auto* combo = FindControl<QComboBox>(&dialog, 1012);
    ASSERT_TRUE(combo && combo->isEditable());
    ASSERT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->itemText(0), "Keliai");
    EXPECT_EQ(combo->currentText(), "Route");
    EXPECT_EQ(combo->lineEdit()->maxLength(), 80);
    ASSERT_TRUE(FindControl<QAbstractButton>(&dialog, IDCANCEL));
    EXPECT_EQ(FindControl<QAbstractButton>(&dialog, IDCANCEL)->text(), Text("Atsisakyti"));

    // Nothing to name a layer by: the dialog waits.
    combo->setEditText("");
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(user.beeps, 1);
    combo->setEditText(Text("Mano maršrutai"));
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetName(), Utf8ToCp1257("Mano maršrutai"));

    CSaveRouteDlg next(doc);
    Open(next);
    EXPECT_EQ(FindControl<QComboBox>(&next, 1012)->currentText(), Text("Mano maršrutai"));
    // Cancel keeps what the last OK gave.
    FindControl<QComboBox>(&next, 1012)->setEditText("Kitas");
    Click(next, IDCANCEL);
    EXPECT_EQ(CSaveRouteRules::GetName(), Utf8ToCp1257("Mano maršrutai"));
}

// The town of tests/routing in a map view window.
class RouteDragTest : public ::testing::Test, public CWithApplication, protected CRouteTown {
protected:
    RouteDragTest()
    {
        auto owned = std::make_unique<CTestView>(doc);
        view = owned.get();
        widget = std::make_unique<CMapViewWidget>(std::move(owned));
        widget->resize(400, 200);
        widget->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
        view->ZoomToRect(CMapRect(0, 1000, 2000, 0), 0);
        auto made = MakePoints();
        points = made.get();
        view->SetRoutePoints(std::move(made));
        Settle();
    }
    ~RouteDragTest() override
    {
        MapToolMode = 0;
        widget.reset();
    }

    void Settle()
    {
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
    }
    void ClickIn(int mode, QPoint p)
    {
        MapToolMode = mode;
        QTest::mouseClick(widget.get(), Qt::LeftButton, {}, p);
        Settle();
    }
    // A press on the marker of the point, in the move tool; sent straight
    // to the window, past any grab, when direct.
    void Grab(int index, bool direct = false)
    {
        MapToolMode = 16;
        const CRect box = points->Model().Get(index)->marker;
        const QPoint p((box.left + box.right) / 2, box.top + 3);
        if (direct)
            Send(QEvent::MouseButtonPress, Qt::LeftButton, p);
        else
            QTest::mousePress(widget.get(), Qt::LeftButton, {}, p);
    }
    void Send(QEvent::Type type, Qt::MouseButton button, QPoint p)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(p), widget->mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget.get(), &event);
    }
    const CRoutePoint& Point(int i) const { return *points->Model().Get(i); }
    bool MenuOpened() const
    {
        for (const std::string& entry : view->log)
            if (entry.rfind("menu ", 0) == 0)
                return true;
        return false;
    }

    CTestView* view = nullptr;
    std::unique_ptr<CMapViewWidget> widget;
    CRoutePoints* points = nullptr;
};

TEST_F(RouteDragTest, AMarkerIsDraggedMovedKeptOrDeleted)
{
    ClickIn(13, {100, 103}); // start (500, 500)
    ClickIn(14, {300, 97});  // finish (1500, 500)
    ClickIn(15, {203, 50});  // 1: (1000, 750)
    ClickIn(15, {50, 104});  // 2: (250, 500)
    ClickIn(15, {380, 103}); // 3: (1900, 500)
    ASSERT_EQ(points->Model().GetCount(), 5);
    ASSERT_EQ(user.beeps, 0);
    widget->UpdateView();
    SaveScreenshot(*widget, "routing-route-markers");

    // The right button ends the drag where it began and opens no menu.
    Grab(0);
    ASSERT_TRUE(points->IsDragging());
    EXPECT_TRUE(widget->HasCapture());
    EXPECT_EQ(QWidget::mouseGrabber(), widget.get());
    EXPECT_EQ(widget->GetCursorId(), 112);
    Send(QEvent::MouseMove, Qt::LeftButton, {-20, 50});
    EXPECT_EQ(widget->GetCursorId(), 30982);
    Send(QEvent::MouseMove, Qt::LeftButton, {150, 100});
    EXPECT_EQ(widget->GetCursorId(), 112);
    QTest::mousePress(widget.get(), Qt::RightButton, {}, {150, 100});
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(150, 100), widget->mapToGlobal(QPoint(150, 100)));
    QApplication::sendEvent(widget.get(), &menu);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, {150, 100});
    EXPECT_FALSE(points->IsDragging());
    EXPECT_FALSE(widget->HasCapture());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(MenuOpened());
    EXPECT_EQ(Point(0).position, CMapPoint(500, 500));
    EXPECT_EQ(Point(0).serial, 1);
    EXPECT_EQ(widget->GetCursorId(), 174);

    // Escape and a lost focus keep it too.
    Grab(0);
    QTest::keyClick(widget.get(), Qt::Key_Escape);
    EXPECT_FALSE(points->IsDragging());
    EXPECT_EQ(MapToolMode, 16);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, {150, 100});
    Grab(0);
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(widget.get(), &out);
    EXPECT_FALSE(points->IsDragging());
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, {150, 100});
    EXPECT_EQ(Point(0).position, CMapPoint(500, 500));
    EXPECT_EQ(Point(0).serial, 1);

    // Released inside: moved there, snapped again.
    Grab(0);
    Send(QEvent::MouseMove, Qt::LeftButton, {150, 104});
    QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, {150, 104});
    EXPECT_EQ(Point(0).position, CMapPoint(750, 500));
    EXPECT_EQ(Point(0).serial, 6);

    // Start and finish may meet; an intermediate may not be met.
    Grab(1);
    QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, {51, 103});
    EXPECT_EQ(user.beeps, 1);
    EXPECT_EQ(Point(1).position, CMapPoint(1500, 500));
    Grab(1);
    QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, {151, 102});
    EXPECT_EQ(Point(1).position, CMapPoint(755, 500));
    EXPECT_EQ(user.beeps, 1);

    // The Delete key: intermediate 2 of 3 goes, the third is 2 now.
    Grab(3);
    QTest::keyClick(widget.get(), Qt::Key_Delete);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, {50, 80});
    ASSERT_EQ(points->Model().GetCount(), 4);
    EXPECT_EQ(Point(3).position, CMapPoint(1900, 500));

    // Released outside the window: deleted.
    Grab(3);
    QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, {390, 230});
    EXPECT_EQ(points->Model().GetCount(), 3);

    // Another window holding the mouse: no drag.
    QWidget other;
    other.resize(50, 50);
    other.show();
    other.grabMouse();
    Grab(2, true);
    EXPECT_FALSE(points->IsDragging());
    EXPECT_EQ(QWidget::mouseGrabber(), &other);
    other.releaseMouse();
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, {200, 40});
    EXPECT_EQ(Point(2).position, CMapPoint(1000, 750));
    EXPECT_EQ(user.beeps, 1);
}

} // namespace
