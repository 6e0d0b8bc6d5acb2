#include "search/widgets/CheckTreeCtrl.h"

#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

// "[.]" holding the group "[Pastatai]" (two layers) and the layer "Keliai".
class CheckTreeCtrlTest : public ::testing::Test, private CWithApplication {
protected:
    CheckTreeCtrlTest()
    {
        root = tree.InsertItem("[.]", -1);
        group = tree.InsertItem("[Pastatai]", -1, root);
        a = tree.InsertItem("Namai", -1, group);
        b = tree.InsertItem("Garažai", -1, group);
        c = tree.InsertItem("Keliai", -1, root);
        tree.expandAll();
        tree.resize(240, 160);
        tree.show();
        tree.activateWindow();
        WaitFor([this] { return tree.isActiveWindow(); });
    }

    std::string States() const
    {
        std::string states;
        for (const QTreeWidgetItem* item : {root, group, a, b, c})
            states += std::to_string(tree.GetCheckState(item));
        return states;
    }
    void ClickBox(QTreeWidgetItem* item) { QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, Box(item)); }
    // As the platform delivers it: a click, then the double click.
    void DoubleClick(const QPoint& point)
    {
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, point);
    }
    QPoint Box(QTreeWidgetItem* item) const { return tree.StateImageRect(item).center(); }
    QPoint Text(QTreeWidgetItem* item) const { return tree.StateImageRect(item).center() + QPoint(40, 0); }

    CheckTreeCtrl tree;
    QTreeWidgetItem* root;
    QTreeWidgetItem* group;
    QTreeWidgetItem* a;
    QTreeWidgetItem* b;
    QTreeWidgetItem* c;
};

TEST_F(CheckTreeCtrlTest, AClickOnTheBoxOrSpaceToggles)
{
    tree.setCurrentItem(c);
    tree.clearFocus();
    ClickBox(a);
    EXPECT_EQ(States(), "33211"); // root, group, Namai, Garažai, Keliai
    EXPECT_TRUE(tree.hasFocus());
    EXPECT_EQ(tree.currentItem(), c); // the box is no selection

    // A partly checked group clicked: it and its members checked.
    ClickBox(group);
    EXPECT_EQ(States(), "32221");

    // Space on the selected item.
    tree.setCurrentItem(c);
    QTest::keyClick(tree.viewport(), Qt::Key_Space);
    EXPECT_EQ(States(), "22222");
    QTest::keyClick(tree.viewport(), Qt::Key_Space);
    EXPECT_EQ(States(), "32221");

    // A double click on a box is two clicks on it, and folds nothing.
    DoubleClick(Box(group));
    EXPECT_EQ(States(), "32221");
    EXPECT_TRUE(group->isExpanded());
    SaveScreenshot(tree, "check-tree");
}

TEST_F(CheckTreeCtrlTest, OtherClicksAndKeysActAsInAPlainTree)
{
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, Text(a));
    EXPECT_EQ(tree.currentItem(), a);
    QTest::keyClick(tree.viewport(), Qt::Key_Down);
    EXPECT_EQ(tree.currentItem(), b);
    // Only the left button toggles.
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, Box(c));
    QTest::mouseClick(tree.viewport(), Qt::MiddleButton, {}, Box(c));
    tree.setCurrentItem(group);
    QTest::keyClick(tree.viewport(), Qt::Key_Left);
    EXPECT_FALSE(group->isExpanded());
    DoubleClick(Text(group));
    EXPECT_TRUE(group->isExpanded());
    QTest::keyClick(tree.viewport(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(States(), "11111");
}

TEST_F(CheckTreeCtrlTest, EachItemShowsTheStateImageOfItsState)
{
    tree.Toggle(a);
    QCoreApplication::processEvents();
    const QImage shot = tree.viewport()->grab().toImage();
    const struct {
        QTreeWidgetItem* item;
        int state;
    } expected[] = {{root, 3}, {group, 3}, {a, 2}, {b, 1}, {c, 1}};
    for (const auto& e : expected) {
        const QRect box = tree.StateImageRect(e.item);
        ASSERT_FALSE(box.isEmpty());
        const QImage shown = shot.copy(box).convertToFormat(QImage::Format_ARGB32);
        const QImage state = tree.StateImage(e.state).toImage().convertToFormat(QImage::Format_ARGB32);
        // The box's own pixels (its transparent margin shows the background).
        int differing = 0;
        for (int y = 0; y < state.height(); ++y)
            for (int x = 0; x < state.width(); ++x)
                if (qAlpha(state.pixel(x, y)) == 255 && state.pixel(x, y) != shown.pixel(x, y))
                    ++differing;
        EXPECT_EQ(differing, 0) << e.item->text(0).toStdString();
    }
    // The three pictures differ.
    EXPECT_NE(tree.StateImage(1).toImage(), tree.StateImage(2).toImage());
    EXPECT_NE(tree.StateImage(2).toImage(), tree.StateImage(3).toImage());
}

} // namespace
