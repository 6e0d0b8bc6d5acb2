// Stopping the label pass of a map window drawing real layer files:
// labelled roads read from GDB files through the layer drawing, input
// arriving while the first road's labels are drawn.
#include "mapdoc/widgets/MapViewWidget.h"

#include "core/Shape.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/DrawInterrupt.h"
#include "tests/core/FieldLists.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/mapdoc/widgets/WidgetTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const CMapRect kLimits(0, 1000, 2000, 0);

// The map view as the program has it, with a hook after a layer's labels
// and a log of the context menus it opens.
class CHookedView : public CDrelView {
public:
    using CDrelView::CDrelView;
    std::function<void(const std::string&)> afterLabels;
    std::vector<std::string> log;

protected:
    void DrawLayerLabels(CDC& dc, CLayer& layer) override
    {
        CDrelView::DrawLayerLabels(dc, layer);
        log.push_back("labels " + layer.GetName());
        if (afterLabels)
            afterLabels(layer.GetName());
    }
    void ShowContextMenu(int x, int y) override { log.push_back("menu"); }
};

class RealLayersInterrupt : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedApplication();
        SetRightClickFlag(0);
        SetMetreMap(doc, kLimits);
        AddRoad("North", 750, "Pylimo g.");
        AddRoad("South", 250, "Vilniaus g.");
        auto owned = std::make_unique<CHookedView>(doc);
        view = owned.get();
        widget = std::make_unique<CMapViewWidget>(std::move(owned));
        widget->resize(400, 200);
        widget->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
        view->OnInitialUpdate();
        ASSERT_TRUE(WaitFor([&] { return Passes() >= 1; }));
    }

    // A labelled road across the map at the height.
    void AddRoad(const std::string& name, double y, const char* label)
    {
        const std::string path = dir.File(name + ".gdb");
        CGdbSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kLine, FieldList({{"NAME", 'C', 20, 0}}).data()));
        CShape road;
        road.SetPoints(2, std::vector<CMapPoint>{{100, y}, {1900, y}}.data());
        ASSERT_TRUE(source.AppendShape(road, false));
        source.GetTable().SetField(0, label);
        ASSERT_TRUE(source.GetTable().WriteRecord());
        source.Close();
        auto layer = std::make_unique<CLayer>(name, path, CLayer::kLine);
        CDrawStyle style;
        style.penWidth = 20;
        style.penColor = RGB(255, 0, 0);
        layer->GetSublayer(0)->m_style = style;
        layer->GetSublayer(0)->m_labelField = "NAME";
        doc.AddLayer(std::move(layer), false);
    }

    int Passes() const
    {
        int n = 0;
        for (const std::string& entry : view->log)
            n += entry == "labels South";
        return n;
    }

    // A pass drawn anew, with something done after the northern road's labels.
    void DrawWith(std::function<void()> afterNorth)
    {
        view->afterLabels = [afterNorth, done = false](const std::string& name) mutable {
            if (name == "North" && !done) {
                done = true;
                afterNorth();
            }
        };
        view->log.clear();
        view->Redraw();
        ASSERT_TRUE(WaitFor([&] { return !view->log.empty() && !view->IsDrawing(); }));
        QCoreApplication::processEvents();
    }

    // Dark pixels of letters in a band of rows round a map height.
    int InkNear(const QImage& image, double y) const
    {
        const int row = view->MapToClient(CMapPoint(0, y)).y;
        int ink = 0;
        for (int r = std::max(row - 25, 0); r < std::min(row + 25, image.height()); ++r)
            for (int x = 0; x < image.width(); ++x)
                ink += qGray(image.pixel(x, r)) < 80;
        return ink;
    }

    CTempDir dir;
    CRecordingViewHost host;
    CScriptedUserServices user;
    CDrelDoc doc;
    CHookedView* view = nullptr;
    std::unique_ptr<CMapViewWidget> widget;
};

} // namespace

TEST_F(RealLayersInterrupt, EscKeepsTheLabelsDrawnSoFar)
{
    const int northInk = InkNear(widget->Surface().Image(), 750);
    ASSERT_GT(northInk, 20);
    ASSERT_GT(InkNear(widget->Surface().Image(), 250), 20);

    DrawWith([&] {
        QCoreApplication::postEvent(widget.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    EXPECT_EQ(view->log, std::vector<std::string>{"labels North"});
    EXPECT_EQ(InkNear(widget->Surface().Image(), 750), northInk);
    EXPECT_EQ(InkNear(widget->Surface().Image(), 250), 0) << "the southern road's labels were not drawn";

    // The back buffer keeps them: a repaint copies it.
    view->log.clear();
    view->Invalidate();
    ASSERT_TRUE(WaitFor([&] { return !view->IsDrawing(); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->log.empty()) << "copied, not drawn anew";
    EXPECT_EQ(InkNear(widget->Surface().Image(), 750), northInk);
}

TEST_F(RealLayersInterrupt, PageDownStopsTheDrawingAndThenPans)
{
    const CMapRect before = view->GetMapExtent();
    DrawWith([&] {
        QCoreApplication::postEvent(widget.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier));
    });
    ASSERT_FALSE(view->log.empty());
    EXPECT_EQ(view->log.front(), "labels North");
    EXPECT_TRUE(view->log.size() == 1 || view->log[1] != "labels South") << "stopped after the first road";
    ASSERT_TRUE(WaitFor([&] { return view->GetMapExtent().top < before.top; }));
    EXPECT_NEAR(view->GetMapExtent().top, before.top - before.Height() / 2, 1e-6);
    // Then the map is drawn whole at its new place.
    ASSERT_TRUE(WaitFor([&] { return Passes() >= 1; }));
}

TEST_F(RealLayersInterrupt, ARightClickStopsTheDrawingAndOpensNoMenu)
{
    DrawWith([&] {
        QCoreApplication::postEvent(widget.get(), new QMouseEvent(QEvent::MouseButtonPress, QPointF(10, 10),
                                                                  QPointF(10, 10), Qt::RightButton, Qt::RightButton,
                                                                  Qt::NoModifier));
    });
    EXPECT_EQ(view->log, std::vector<std::string>{"labels North"});
    EXPECT_EQ(GetRightClickFlag(), 1);

    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(10, 10), QPoint(10, 10));
    QCoreApplication::sendEvent(widget.get(), &request);
    EXPECT_EQ(view->log, std::vector<std::string>{"labels North"}) << "no menu for that click";
    QCoreApplication::sendEvent(widget.get(), &request);
    EXPECT_EQ(view->log.back(), "menu") << "the next one opens";
}
