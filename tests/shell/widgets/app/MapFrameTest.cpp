// The demo map in the program's map window: its splitters, its views, its
// commands and the main frame's boxes.
#include "tests/shell/widgets/app/AppFixture.h"

#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/ContextView.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewHost.h"
#include "mapdoc/widgets/MapViewWidget.h"
#include "platform/Strings.h"
#include "platform/WindowSurface.h"
#include "shell/MapToolCommands.h"
#include "shell/widgets/DragCheckListBox.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/mapdoc/AddressBoxes.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QMenu>
#include <QImage>
#include <QMdiArea>
#include <QMouseEvent>
#include <QSplitter>
#include <QTest>

namespace {

// How many pixels of the picture are not white.
int InkedPixels(const QImage& image)
{
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return inked;
}

// The program's window with its toolbars (the scale box among them).
class MapFrameTest : public CAppFixture {
protected:
    MapFrameTest() { InstallMainFrameBars(); }
    ~MapFrameTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
    }

    CMapFrame* Open(const std::string& path)
    {
        app.DocManager().OpenDocumentFile(path);
        auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
        Settle();
        return child;
    }
    // A smaller demo town in a folder of its own, in a window of its own.
    CMapFrame* OpenAnotherTown()
    {
        CDemoOptions options;
        options.streets = 20;
        std::string error;
        EXPECT_TRUE(MakeDemoMap(otherFolder.Path(), options, error)) << error;
        return Open(otherFolder.File(CDemoMapWriter::kMapFile));
    }
    // The posted drawing passes run.
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }

    CTempDir otherFolder;
};

TEST_F(MapFrameTest, TheDemoMapShowsBesideItsOverviewAndLegend)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    Settle();
    const int cx = frame->MdiArea()->viewport()->width();
    const QList<int> columns = child->GetOuterSplitter()->sizes();
    ASSERT_EQ(columns.size(), 2);
    EXPECT_EQ(columns[0], cx / 4);
    EXPECT_GT(columns[1], cx / 2);
    const QList<int> rows = child->GetInnerSplitter()->sizes();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], cx / 4); // the overview about as tall as the column is wide
    EXPECT_GT(rows[1], 0);

    EXPECT_GT(InkedPixels(child->GetViewWidget()->Surface().Image()), 1000);
    EXPECT_GT(InkedPixels(child->GetOverviewWidget()->Surface().Image()), 100);
    CDrelDoc* map = frame->GetActiveMapDocument();
    ASSERT_TRUE(map);
    EXPECT_GT(child->GetLegendList()->GetCount(), 3);
    EXPECT_EQ(child->GetOverview()->GetMainView(), child->GetMapView());
    EXPECT_TRUE(shown.empty());
    SaveScreenshot(*frame, "map-frame-demo");
}

TEST_F(MapFrameTest, KeysAndTheMenuMoveTheMap)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    CDrelView& view = *child->GetMapView();
    const CMapRect full = view.GetMapExtent();
    const double fullScale = view.GetScaleDenominator();

    QTest::keyClick(child->GetViewWidget(), Qt::Key_Plus);
    EXPECT_NEAR(view.GetScaleDenominator(), fullScale / 2, fullScale * 1e-6);
    QTest::keyClick(child->GetViewWidget(), Qt::Key_End); // half a view to the east
    EXPECT_GT(view.GetMapExtent().left, full.left);
    ASSERT_TRUE(IsEnabled(30021));
    EXPECT_FALSE(IsEnabled(30339));

    EXPECT_TRUE(Run(30021));
    EXPECT_TRUE(IsEnabled(30339));
    EXPECT_TRUE(Run(30339));
    EXPECT_TRUE(Run(30027));
    EXPECT_NEAR(view.GetScaleDenominator(), fullScale, fullScale * 1e-6);

    // The scale typed into the box: the box is the toolbars'; its text is
    // what the view host holds.
    ViewHost().SetScaleText(25000);
    ASSERT_DOUBLE_EQ(ViewHost().GetScaleText(), 25000);
    EXPECT_TRUE(Run(30004));
    EXPECT_NEAR(view.GetScaleDenominator(), 25000, 1e-6);
    Settle();
    SaveScreenshot(*frame, "map-frame-demo-25000");
}

TEST_F(MapFrameTest, TheViewsContextMenuAndItsCommandsAtItsPoint)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    CDrelView& view = *child->GetMapView();
    QWidget* widget = child->GetViewWidget();
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(40, 30), widget->mapToGlobal(QPoint(40, 30)));
    QCoreApplication::sendEvent(widget, &request);
    Settle();
    QMenu* shown = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* menu = qobject_cast<QMenu*>(top); menu && menu->isVisible())
            shown = menu;
    ASSERT_TRUE(shown);
    QStringList texts;
    for (QAction* action : shown->actions())
        if (!action->isSeparator())
            texts << action->text();
    EXPECT_EQ(texts.size(), 10);
    EXPECT_TRUE(texts.contains(QString::fromUtf8("Sukurti žymę")));
    shown->hide();

    const double before = view.GetScaleDenominator();
    EXPECT_TRUE(Run(30121)); // zoom in at the menu's point
    EXPECT_NEAR(view.GetScaleDenominator(), before / 2, before * 1e-6);
    const CMapPoint there = view.ClientToMap(view.GetContextPoint());
    EXPECT_TRUE(Run(30123));
    EXPECT_NEAR(view.GetMapExtent().Center().x, there.x, 1e-6);
    EXPECT_NEAR(view.GetMapExtent().Center().y, there.y, 1e-6);
}

TEST_F(MapFrameTest, TheLegendSwitchesLayersOnAndOff)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    Settle();
    CDragCheckListBox& list = *child->GetLegendList();
    int row = 0;
    while (row < list.GetCount() &&
           (list.GetLayer(row)->HasFlag(CLayer::kGroup) || !list.GetLayer(row)->HasFlag(CLayer::kShown)))
        ++row;
    ASSERT_LT(row, list.GetCount());
    CLayer* layer = list.GetLayer(row);
    const QImage before = child->GetViewWidget()->Surface().Image().copy();
    const QPoint box = list.visualItemRect(list.item(row)).topLeft() + QPoint(8, 9);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box);
    EXPECT_FALSE(layer->HasFlag(CLayer::kShown));
    Settle();
    EXPECT_NE(child->GetViewWidget()->Surface().Image(), before);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box);
    EXPECT_TRUE(layer->HasFlag(CLayer::kShown));
    Settle();
    EXPECT_EQ(child->GetViewWidget()->Surface().Image(), before);
}

TEST_F(MapFrameTest, TheLegendsMenuActsOnTheRowRightClicked)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    Settle();
    CDragCheckListBox& list = *child->GetLegendList();
    std::vector<int> rows; // of layers that can list their classes
    for (int row = 0; row < list.GetCount() && rows.size() < 2; ++row)
        if (!list.GetLayer(row)->HasFlag(CLayer::kGroup) && list.GetLayer(row)->GetType() != CLayer::kRaster)
            rows.push_back(row);
    ASSERT_EQ(rows.size(), 2u);
    CLayer* chosen = list.GetLayer(rows[0]);
    CLayer* clicked = list.GetLayer(rows[1]);
    const bool chosenClasses = chosen->HasFlag(CLayer::kClassesInLegend);
    const bool clickedClasses = clicked->HasFlag(CLayer::kClassesInLegend);
    child->GetLegend()->SelectLayer(chosen);

    const QPoint point = list.visualItemRect(list.item(rows[1])).center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, point, list.viewport()->mapToGlobal(point));
    QApplication::sendEvent(list.viewport(), &menuEvent);
    QMenu* menu = frame->Actions().PopupMenu(107, 0);
    ASSERT_TRUE(menu && menu->isVisible());
    EXPECT_EQ(child->GetLegend()->GetActiveLayer(), clicked);
    QAction* classes = nullptr;
    for (QAction* action : menu->actions())
        if (action->data().toInt() == 30193)
            classes = action;
    ASSERT_TRUE(classes);
    EXPECT_TRUE(classes->isEnabled());
    EXPECT_EQ(classes->isChecked(), clickedClasses); // the menu shows the clicked row's state
    classes->trigger();
    menu->hide();
    EXPECT_EQ(clicked->HasFlag(CLayer::kClassesInLegend), !clickedClasses);
    EXPECT_EQ(chosen->HasFlag(CLayer::kClassesInLegend), chosenClasses);
}

TEST_F(MapFrameTest, TheShowStateFollowsTheWindowOnlyWhileItShows)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    EXPECT_TRUE(child->isMaximized());
    child->showNormal();
    EXPECT_EQ(app.GetMapWindowShowState(), kShowNormal);
    child->showMaximized();
    EXPECT_EQ(app.GetMapWindowShowState(), kShowMaximized);
    // A state the hidden window hears of is not the user's.
    child->hide();
    app.SetMapWindowShowState(kShowNormal);
    QWindowStateChangeEvent change(Qt::WindowMaximized);
    QCoreApplication::sendEvent(child, &change);
    EXPECT_EQ(app.GetMapWindowShowState(), kShowNormal);
}

// The main frame's boxes as a fake host of the documents sees them.
class CBoxesHost : public IDocumentHost {
public:
    void FillPlacesBox(CDrelDoc& document, const std::vector<std::string>&) override { filled.push_back(&document); }
    IToolbarBox* GetAddressBox(AddressBox which) override { return which == AddressBox::kStreet ? &street : nullptr; }
    std::vector<CDrelDoc*> filled;
    CFakeToolbarBox street{30328, true};
};

TEST_F(MapFrameTest, ActivatingAMapWindowTakesUpTheToolModeAndTheBoxes)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* first = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(first);
    CMapFrame* second = OpenAnotherTown();
    ASSERT_TRUE(second);
    ASSERT_NE(first, second);
    first->GetMapView()->SetScale(12000);
    second->GetMapView()->SetScale(34000);

    IDocumentHost& previous = DocumentHost();
    CBoxesHost host;
    SetDocumentHost(&host);
    MapToolMode = 3;
    frame->MdiArea()->setActiveSubWindow(first);
    Settle();
    SetDocumentHost(&previous);
    EXPECT_EQ(host.street.owner, &first->GetMapDocument());
    EXPECT_EQ(host.filled, std::vector<CDrelDoc*>{&first->GetMapDocument()});
    EXPECT_DOUBLE_EQ(frame->GetScaleText(), 12000); // the view took up its part
    EXPECT_EQ(MapToolMode, 3);
    EXPECT_EQ(frame->GetActiveMapView(), first->GetMapView());
    MapToolMode = 0;
}

TEST_F(MapFrameTest, ALayerGroupTravelsToAnotherMapThroughTheClipboard)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* first = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(first);
    CDrelDoc& source = first->GetMapDocument();
    CLayer* group = nullptr;
    for (int i = 0; i < source.GetLayerCount() && !group; ++i)
        if (source.GetLayer(i)->HasFlag(CLayer::kGroup) && source.GetGroupSpan(source.GetLayer(i)) > 0)
            group = source.GetLayer(i);
    ASSERT_TRUE(group);
    const int span = source.GetGroupSpan(group);
    first->GetLegend()->SelectLayer(group);
    ASSERT_TRUE(IsEnabled(30105));
    EXPECT_TRUE(Run(30105));

    CMapFrame* second = OpenAnotherTown();
    ASSERT_TRUE(second);
    CDrelDoc& target = second->GetMapDocument();
    const int before = target.GetLayerCount();
    ASSERT_TRUE(IsEnabled(30106));
    EXPECT_TRUE(Run(30106));
    ASSERT_EQ(target.GetLayerCount(), before + span + 1);
    const CLayer* pasted = target.GetLayer(before);
    EXPECT_EQ(pasted->GetName(), group->GetName() + " (2)");
    for (int i = 1; i <= span; ++i) {
        // Same files as in the first map, whose folder is another.
        EXPECT_EQ(target.GetLayer(before + i)->GetPath(), source.GetLayer(source.FindLayerIndex(group) + i)->GetPath());
    }
    EXPECT_TRUE(target.IsModified());
    EXPECT_GE(second->GetLegendList()->FindLayer(pasted), 0);
}

TEST_F(MapFrameTest, EveryToolModeShowsItsCheckMark)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    const CCommandRoute route = frame->BuildRoute();
    for (const CMapToolCommand& tool : MapToolCommands()) {
        ASSERT_TRUE(Run(tool.id)) << tool.id;
        EXPECT_EQ(MapToolMode, tool.mode);
        for (const CMapToolCommand& other : MapToolCommands()) {
            CCommandState state(other.id);
            route.Update(state);
            EXPECT_TRUE(state.IsEnabled()) << other.id;
            EXPECT_EQ(state.GetCheck(), other.id == tool.id ? 1 : 0) << tool.id << " " << other.id;
        }
    }
    Run(30065);
}

TEST_F(MapFrameTest, ACommandThatNeedsALayerSaysSo)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    child->GetLegend()->SelectLayer(nullptr);
    ASSERT_TRUE(IsEnabled(30068)); // the legend's attribute table
    EXPECT_TRUE(Run(30068));
    EXPECT_EQ(shown, std::vector<std::string>{LoadString(1022)});
}

TEST_F(MapFrameTest, AddedLayerFilesJoinTheMapAndItsLegend)
{
    const std::string path = otherFolder.File("wells.gdb");
    int offeredFilter = 0;
    CMapFrame::Hooks().frame.openFiles = [&](const std::string&, int& index, bool multiple,
                                             std::vector<std::string>& paths) {
        offeredFilter = index;
        EXPECT_TRUE(multiple);
        paths = {path};
        return true;
    };
    ASSERT_TRUE(Start({DemoMapPath()}));
    auto* child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child);
    CDrelDoc& map = *frame->GetActiveMapDocument();
    // Points across the middle of the town, in the file the dialog gives.
    {
        const CMapRect visible = child->GetMapView()->GetMapExtent();
        CGdbSource wells;
        ASSERT_TRUE(wells.Create(path, CFeatureSource::kPoint, nullptr));
        for (const double f : {0.3, 0.4, 0.5, 0.6, 0.7})
            ASSERT_TRUE(wells.AppendPoint(CMapPoint(visible.left + f * (visible.right - visible.left),
                                                    visible.bottom + f * (visible.top - visible.bottom)),
                                          true));
    }
    const int rows = child->GetLegendList()->GetCount();
    ASSERT_TRUE(IsEnabled(30070));
    EXPECT_TRUE(Run(30070));
    CMapFrame::Hooks().frame.openFiles = nullptr;
    Settle();
    EXPECT_EQ(offeredFilter, 1);
    EXPECT_TRUE(map.Layers().FindByName("wells"));
    EXPECT_EQ(child->GetLegendList()->GetCount(), rows + 1);
    EXPECT_TRUE(shown.empty());
    SaveScreenshot(*frame, "map-frame-added-layer");
}

} // namespace
