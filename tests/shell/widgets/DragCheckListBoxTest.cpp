#include "shell/widgets/DragCheckListBox.h"

#include "layers/DtmLayer.h"
#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "mapdoc/LegendListOwner.h"
#include "platform/DC.h"
#include "platform/VirtualKeys.h"
#include "render/PointSymbolHook.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/ControlIds.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// What the legend would hear.
class CLoggingOwner : public ILegendListOwner {
public:
    double GetLegendScale() const override { return 25000; }
    void OnLayerDrop(const CLayerDrop& drop) override { drops.push_back(drop); }
    void OnBoxClick(int row) override { boxClicks.push_back(row); }
    void OnCheckChange(int row) override { checkChanges.push_back(row); }
    void OnSelectionChange() override { ++selectionChanges; }
    void OnListCommand(int id) override { commands.push_back(id); }
    void OnListKey(int key) override { keys.push_back(key); }

    std::vector<CLayerDrop> drops;
    std::vector<int> boxClicks, checkChanges, commands, keys;
    int selectionChanges = 0;
};

// Point symbols as filled circles in the style's colour.
int DrawDot(CDC& dc, int x, int y, const CPointStyle& style, int)
{
    const CBrush brush(style.color);
    const CBrush old = dc.SelectObject(brush);
    dc.Ellipse(x - 5, y - 5, x + 6, y + 6);
    dc.SelectObject(old);
    return 1;
}

CDrawStyle Line(COLORREF colour, int width = 0)
{
    CDrawStyle style;
    style.penStyle = PS_SOLID;
    style.penWidth = width;
    style.penColor = colour;
    return style;
}

class DragCheckListBoxTest : public ::testing::Test, private CWithApplication {
protected:
    DragCheckListBoxTest()
    {
        SetPointSymbolDrawer(DrawDot);
        frame = new CTestMainFrame;
        NeedApplication().SetMainFrame(frame);
        frame->Commands().On(30066, [this] { ++propertyRuns; });

        CLayer* roads = Add(std::make_unique<CLayer>("Keliai", "/nowhere/keliai.gdb", CLayer::kLine));
        roads->GetSublayer(0)->m_style = Line(RGB(200, 40, 30), 30);
        CLayer* group = Add(std::make_unique<CLayer>("Pastatai", "", CLayer::kPoint));
        group->SetFlags(CLayer::kGroup | CLayer::kShown);
        group->SetMemberCount(2);
        CLayer* rivers = Add(std::make_unique<CLayer>("Up\xEBs", "/nowhere/upes.gdb", CLayer::kLine));
        rivers->GetSublayer(0)->m_style = Line(RGB(30, 90, 220), 20);
        rivers->SetFilter("PLOTIS > 5");
        CLayer* areas = Add(std::make_unique<CLayer>("Savivaldyb\xEBs", "/nowhere/sav.gdb", CLayer::kArea));
        areas->SetFlag(CLayer::kClassesInLegend, true);
        CSublayer* sublayer = areas->GetSublayer(0);
        sublayer->m_kind = CSublayer::kClassified;
        sublayer->m_classes.SetKind(false, true);
        const COLORREF fills[] = {RGB(255, 240, 180), RGB(250, 200, 120), RGB(230, 140, 80)};
        for (int i = 0; i < 3; ++i) {
            CThemeClass* c = sublayer->m_classes.InsertRangeClass(i, CLayer::kArea, i * 50000.0, (i + 1) * 50000.0);
            CDrawStyle fill = c->m_style.Draw();
            fill.brushStyle = 0;
            fill.brushColor = fills[i];
            fill.penColor = RGB(90, 90, 90);
            c->m_style = fill;
        }
        sublayer->m_classes.AddClass(CLayer::kArea);
        Add(std::make_unique<CLayer>("Ortofoto", "/nowhere/orto.tif", CLayer::kRaster));
        auto relief = std::make_unique<CDtmLayer>("Reljefas", "/nowhere/reljefas.rmp");
        relief->SetDefaultClasses();
        relief->SetFlag(CLayer::kClassesInLegend, true);
        Add(std::move(relief));
        CLayer* points = Add(std::make_unique<CLayer>("Ta\xF0kai", "/nowhere/taskai.gdb", CLayer::kPoint));
        CPointStyle dot = points->GetSublayer(0)->m_style.Point();
        dot.color = RGB(0, 150, 60);
        points->GetSublayer(0)->m_style = dot;

        list.SetOwner(&owner);
        Fill();
        list.resize(260, 600);
        list.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    ~DragCheckListBoxTest() override
    {
        delete frame;
        SetPointSymbolDrawer(nullptr);
    }

    CLayer* Add(std::unique_ptr<CLayer> layer)
    {
        layers.push_back(std::move(layer));
        return layers.back().get();
    }
    void Fill()
    {
        list.ResetContent();
        for (const auto& layer : layers)
            list.AddLayer(layer.get(), layer->HasFlag(CLayer::kShown) ? 1 : 0);
    }
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < list.GetCount(); ++i)
            names.push_back(list.GetLayer(i)->GetName());
        return names;
    }
    // A point of a row dy pixels below its top, at x (right of the check box).
    QPoint At(int row, int dy, int x = 120)
    {
        const QRect r = list.visualItemRect(list.item(row));
        return {r.left() + x, r.top() + dy};
    }
    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = {})
    {
        QMouseEvent event(type, QPointF(p), QPointF(list.viewport()->mapToGlobal(p)), button, buttons, modifiers);
        QApplication::sendEvent(list.viewport(), &event);
    }
    void Click(QPoint p, Qt::KeyboardModifiers modifiers = {})
    {
        Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, modifiers);
        Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, modifiers);
    }
    void DoubleClick(QPoint p)
    {
        Click(p);
        Mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    void Drag(QPoint from, QPoint to)
    {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, from + QPoint(0, 12), Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    std::vector<int> Selected()
    {
        std::vector<int> rows;
        for (int i = 0; i < list.GetCount(); ++i)
            if (list.item(i)->isSelected())
                rows.push_back(i);
        return rows;
    }
    std::vector<int> Checks()
    {
        std::vector<int> checks;
        for (int i = 0; i < list.GetCount(); ++i)
            checks.push_back(list.GetCheck(i));
        return checks;
    }

    std::vector<std::unique_ptr<CLayer>> layers;
    CLoggingOwner owner;
    CDragCheckListBox list;
    CTestMainFrame* frame = nullptr;
    int propertyRuns = 0;
};

TEST_F(DragCheckListBoxTest, RowsOfEighteenPixelsAndClassRowsUpTo255)
{
    for (const int row : {0, 1, 2, 4, 6})
        EXPECT_EQ(list.visualItemRect(list.item(row)).height(), 18) << row;
    EXPECT_EQ(list.visualItemRect(list.item(3)).height(), 18 + 4 * 16);
    // Twenty-one height classes: fourteen lines and "...".
    EXPECT_EQ(list.visualItemRect(list.item(5)).height(), 255);
    list.SetCurSel(2);
    list.setFocus();
    SaveScreenshot(list, "layer-list");

    // A change of the layer measures its row again.
    layers[3]->SetFlag(CLayer::kClassesInLegend, false);
    list.RefreshRow(3);
    EXPECT_EQ(list.visualItemRect(list.item(3)).height(), 18);
}

TEST_F(DragCheckListBoxTest, DropsIntoBeforeAndAfterRows)
{
    // The middle third of a group row: into the group, the row goes.
    Drag(At(6, 9), At(1, 9));
    ASSERT_EQ(owner.drops.size(), 1u);
    EXPECT_EQ(owner.drops[0].dragged, layers[6].get());
    EXPECT_EQ(owner.drops[0].target, layers[1].get());
    EXPECT_EQ(owner.drops[0].kind, ILegendListOwner::kDropIntoGroup);
    EXPECT_EQ(list.FindLayer(layers[6].get()), -1);

    // Its upper third: before the group, moved there with its check and selected.
    list.SetCheck(3, 2);
    Drag(At(3, 9), At(1, 2));
    ASSERT_EQ(owner.drops.size(), 2u);
    EXPECT_EQ(owner.drops[1].dragged, layers[3].get());
    EXPECT_EQ(owner.drops[1].target, layers[1].get());
    EXPECT_EQ(owner.drops[1].kind, ILegendListOwner::kDropBefore);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Keliai", "Savivaldyb\xEBs", "Pastatai", "Up\xEBs", "Ortofoto",
                                                 "Reljefas"}));
    EXPECT_EQ(list.GetCheck(1), 2);
    EXPECT_EQ(list.GetCurSel(), 1);

    // Downwards: after the target.
    Drag(At(0, 9), At(3, 9));
    ASSERT_EQ(owner.drops.size(), 3u);
    EXPECT_EQ(owner.drops[2].kind, ILegendListOwner::kDropAfter);
    EXPECT_EQ(owner.drops[2].target, layers[2].get());
    EXPECT_EQ(Names(), (std::vector<std::string>{"Savivaldyb\xEBs", "Pastatai", "Up\xEBs", "Keliai", "Ortofoto",
                                                 "Reljefas"}));

    // On itself, outside the rows, or while a name is edited: nothing.
    const std::vector<std::string> before = Names();
    Drag(At(2, 4), At(2, 14));
    Drag(At(2, 9), QPoint(120, list.viewport()->height() - 2));
    list.SetEditing(true);
    Drag(At(0, 9), At(4, 9));
    list.SetEditing(false);
    EXPECT_EQ(owner.drops.size(), 3u);
    EXPECT_EQ(Names(), before);
}

TEST_F(DragCheckListBoxTest, TheOpenGroupsOwnRow)
{
    list.ResetContent();
    list.AddLayer(layers[1].get(), 1);
    list.AddLayer(layers[0].get(), 1);
    list.AddLayer(layers[2].get(), 1);
    CLayer inner("Vidin\xEB", "", CLayer::kPoint);
    inner.SetFlags(CLayer::kGroup);
    list.AddLayer(&inner, 0);
    list.SetShowsGroupContents(true);
    SaveScreenshot(list, "layer-list-group");

    // Row 0 cannot be dragged; a drop on it goes out to the parent.
    Drag(At(0, 9), At(2, 9));
    EXPECT_TRUE(owner.drops.empty());
    Drag(At(2, 9), At(0, 9));
    ASSERT_EQ(owner.drops.size(), 1u);
    EXPECT_EQ(owner.drops[0].dragged, layers[2].get());
    EXPECT_EQ(owner.drops[0].kind, ILegendListOwner::kDropToParent);
    EXPECT_EQ(list.GetCount(), 3);

    DoubleClick(At(0, 9));
    DoubleClick(At(2, 9));
    EXPECT_EQ(owner.commands, (std::vector<int>{30268, 30267}));
    EXPECT_EQ(propertyRuns, 0);
    DoubleClick(At(1, 9));
    EXPECT_EQ(propertyRuns, 1);
    EXPECT_EQ(owner.commands.size(), 2u);
}

TEST_F(DragCheckListBoxTest, CheckBoxClicks)
{
    const std::vector<int> start = Checks();
    // In a list of several selected rows a click on a selected row's box sets them all.
    list.SetMultipleSelection(true);
    Click(At(0, 9));
    Click(At(2, 9), Qt::ControlModifier);
    ASSERT_EQ(Selected(), (std::vector<int>{0, 2}));
    list.SetCheck(0, 0);
    list.SetCheck(2, 0);
    Click(At(2, 9, 8));
    EXPECT_EQ(owner.boxClicks, std::vector<int>{2});
    EXPECT_EQ(owner.checkChanges, (std::vector<int>{0, 2}));
    EXPECT_EQ(list.GetCheck(0), 1);
    EXPECT_EQ(list.GetCheck(2), 1);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 2}));
    // An unselected row's box: that row alone, and it is chosen.
    const int fourth = list.GetCheck(4);
    Click(At(4, 9, 8));
    EXPECT_EQ(list.GetCheck(4), 1 - fourth);
    EXPECT_EQ(list.GetCheck(0), 1);
    EXPECT_EQ(Selected(), std::vector<int>{4});
    EXPECT_EQ(owner.checkChanges.back(), 4);

    // Three states in turn.
    list.SetMultipleSelection(false);
    list.SetCheckStyle(CDragCheckListBox::kAutoThreeState);
    list.SetCheck(6, 0);
    std::vector<int> states;
    for (int i = 0; i < 3; ++i) {
        Click(At(6, 9, 8));
        states.push_back(list.GetCheck(6));
    }
    EXPECT_EQ(states, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(Selected(), std::vector<int>{6});

    // Space toggles the current row.
    list.SetCheckStyle(CDragCheckListBox::kAutoCheckBox);
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_EQ(list.GetCheck(6), 1);

    // Without the automatic style the owner decides.
    list.SetCheckStyle(CDragCheckListBox::kCheckBox);
    const size_t changes = owner.checkChanges.size();
    Click(At(1, 9, 8));
    EXPECT_EQ(owner.boxClicks.back(), 1);
    EXPECT_EQ(owner.checkChanges.size(), changes);
    EXPECT_EQ(list.GetCheck(1), start[1]);
    EXPECT_EQ(list.GetCurSel(), 1);
}

TEST_F(DragCheckListBoxTest, KeysSelectionAndThePopupMenu)
{
    list.setFocus();
    list.SetCurSel(2);
    EXPECT_EQ(owner.selectionChanges, 0); // the program's own choice
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.GetCurSel(), 3);
    EXPECT_GT(owner.selectionChanges, 0);
    EXPECT_TRUE(owner.keys.empty());

    const std::pair<Qt::Key, Qt::KeyboardModifiers> passed[] = {
        {Qt::Key_Escape, {}},   {Qt::Key_PageUp, {}}, {Qt::Key_PageDown, {}},           {Qt::Key_End, {}},
        {Qt::Key_Home, {}},     {Qt::Key_Delete, {}}, {Qt::Key_Plus, Qt::KeypadModifier}, {Qt::Key_Minus, Qt::KeypadModifier},
        {Qt::Key_Equal, {}},    {Qt::Key_Minus, {}},
    };
    for (const auto& [key, modifiers] : passed)
        QTest::keyClick(&list, key, modifiers);
    EXPECT_EQ(owner.keys, (std::vector<int>{VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_DELETE, VK_ADD,
                                            VK_SUBTRACT, VK_OEM_PLUS, VK_OEM_MINUS}));
    // Home and End stayed with the map view: the selection did not move.
    EXPECT_EQ(list.GetCurSel(), 3);

    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, At(2, 9), list.viewport()->mapToGlobal(At(2, 9)));
    QApplication::sendEvent(list.viewport(), &menuEvent);
    QMenu* menu = frame->Actions().PopupMenu(107, 0);
    ASSERT_TRUE(menu);
    EXPECT_EQ(GetControlId(menu), 107);
    EXPECT_TRUE(menu->isVisible());
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_EQ(menu->actions().front()->data().toInt(), 30066);
    menu->actions().front()->trigger();
    EXPECT_EQ(propertyRuns, 1);
    menu->hide();
}

} // namespace
