// The legend shown through the layer list box: what the user does in the
// list reaches the map.
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/LegendView.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/DragCheckListBox.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class CViewFrame : public ILegendFrame {
public:
    explicit CViewFrame(CDrelView& view) : m_view(view) {}
    CDrelView* GetMapView() override { return &m_view; }
    void ShowGroupMenu() override { ++menus; }
    int menus = 0;

private:
    CDrelView& m_view;
};

std::unique_ptr<CLayer> Layer(const std::string& name, int type, uint32_t flags)
{
    auto layer = std::make_unique<CLayer>(name, "/nowhere/" + name + ".gdb", type);
    layer->SetFlags(flags);
    return layer;
}

class LegendListBoxTest : public ::testing::Test, private CWithApplication {
protected:
    LegendListBoxTest()
    {
        mainFrame = new CTestMainFrame;
        NeedApplication().SetMainFrame(mainFrame);
        const uint32_t shown = CLayer::kShown | CLayer::kWorking;
        doc.AddLayer(Layer("Keliai", CLayer::kLine, shown), false);
        auto group = std::make_unique<CLayer>("Vandenys", "", -1);
        group->SetFlags(CLayer::kGroup | shown);
        group->SetMemberCount(2);
        doc.AddLayer(std::move(group), false);
        doc.AddLayer(Layer("Upes", CLayer::kLine, shown), false);
        doc.AddLayer(Layer("Ezerai", CLayer::kArea, shown), false);
        doc.AddLayer(Layer("Taskai", CLayer::kPoint, CLayer::kWorking), false);
        doc.Settings().legendType = 0;
        view.SetScaleDenominator(25000);
        list.SetOwner(&legend);
        legend.OnInitialUpdate();
        list.resize(240, 200);
        list.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    ~LegendListBoxTest() override
    {
        list.SetOwner(nullptr);
        delete mainFrame;
    }

    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, QPointF(p), QPointF(list.viewport()->mapToGlobal(p)), button, buttons, {});
        QApplication::sendEvent(list.viewport(), &event);
    }
    void Click(QPoint p)
    {
        Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    void DoubleClick(QPoint p)
    {
        Click(p);
        Mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    // A row's check box, or a point on its name.
    QPoint Box(int row) const { return list.visualItemRect(list.item(row)).topLeft() + QPoint(8, 9); }
    QPoint Name(int row) const { return list.visualItemRect(list.item(row)).topLeft() + QPoint(120, 9); }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < list.GetCount(); ++i)
            rows.push_back(list.GetLayer(i)->GetName() + (list.GetCheck(i) ? "" : "-"));
        return rows;
    }

    CTestMainFrame* mainFrame = nullptr;
    CDrelDoc doc;
    CDrelView view{doc};
    CViewFrame frame{view};
    CDragCheckListBox list;
    CLegendView legend{doc, list, frame};
};

TEST_F(LegendListBoxTest, BoxesShowAndHideAndGroupsOpen)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(Rows(), (Names{"Taskai-", "Vandenys", "Keliai"}));
    SaveScreenshot(list, "legend");

    // A click on a box switches the layer.
    Click(Box(2));
    EXPECT_FALSE(doc.Layers().FindByName("Keliai")->HasFlag(CLayer::kShown));
    EXPECT_EQ(Rows(), (Names{"Taskai-", "Vandenys", "Keliai-"}));
    EXPECT_TRUE(doc.IsModified());

    // A double click opens a group, its own row first; there it leads back up.
    DoubleClick(Name(1));
    EXPECT_TRUE(list.ShowsGroupContents());
    EXPECT_EQ(Rows(), (Names{"Vandenys", "Ezerai", "Upes"}));
    Click(Box(1));
    EXPECT_TRUE(doc.Layers().FindByName("Vandenys")->HasFlag(CLayer::kPartlyVisibleGroup));
    SaveScreenshot(list, "legend-group");

    // The partly shown group's box keeps its tick and asks all or none.
    Click(Box(0));
    EXPECT_EQ(frame.menus, 1);
    EXPECT_EQ(list.GetCheck(0), 1);
    EXPECT_TRUE(doc.Layers().FindByName("Vandenys")->HasFlag(CLayer::kPartlyVisibleGroup));
    DoubleClick(Name(0));
    EXPECT_FALSE(list.ShowsGroupContents());
    EXPECT_EQ(legend.GetActiveLayer(), doc.Layers().FindByName("Vandenys"));
}

TEST_F(LegendListBoxTest, TheGroupMenu)
{
    QMenu* menu = mainFrame->Actions().PopupMenu(388, 0);
    ASSERT_NE(menu, nullptr);
    std::vector<int> ids;
    for (QAction* action : menu->actions())
        ids.push_back(action->objectName().toInt());
    EXPECT_EQ(ids, (std::vector<int>{30487, 30488}));
    EXPECT_EQ(menu->actions()[0]->text(), QString::fromUtf8("Įjungti visus"));
}

} // namespace
