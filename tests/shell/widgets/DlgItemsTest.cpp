#include "shell/widgets/DlgItems.h"

#include "shell/widgets/ControlIds.h"
#include "shell/widgets/ScrollFrame.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A dialog with the buttons OK (1), Cancel (2) and Help (9) in tab order.
class DlgItemsTest : public ::testing::Test, private CWithApplication {
protected:
    DlgItemsTest()
    {
        auto* layout = new QHBoxLayout(&dialog);
        for (const int id : {1, 2, 9}) {
            auto* button = new QPushButton(QString::number(id), &dialog);
            button->setFocusPolicy(Qt::StrongFocus);
            SetControlId(button, id);
            layout->addWidget(button);
        }
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        QApplication::setActiveWindow(&dialog);
        Button(1)->setFocus();
    }
    QPushButton* Button(int id) { return FindControl<QPushButton>(&dialog, id); }
    int Focused() { return GetControlId(dialog.focusWidget()); }

    QDialog dialog;
};

TEST_F(DlgItemsTest, DisablingOrHidingTheFocusedControlMovesTheFocusOnFirst)
{
    ASSERT_EQ(Focused(), 1);
    EXPECT_EQ(EnableDlgItem(&dialog, 1, false), 0);
    EXPECT_FALSE(Button(1)->isEnabled());
    EXPECT_EQ(Focused(), 2);
    EXPECT_EQ(EnableDlgItem(&dialog, 1, true), 1);
    EXPECT_TRUE(Button(1)->isEnabled());
    EXPECT_EQ(Focused(), 2);

    EXPECT_EQ(ShowDlgItem(&dialog, 2, false), 1);
    EXPECT_TRUE(Button(2)->isHidden());
    EXPECT_EQ(Focused(), 9);
    EXPECT_EQ(ShowDlgItem(&dialog, 2, true), 0);
    EXPECT_FALSE(Button(2)->isHidden());

    // A control without the focus keeps the focus where it is.
    EXPECT_EQ(EnableDlgItem(&dialog, 2, false), 0);
    EXPECT_EQ(Focused(), 9);
}

TEST_F(DlgItemsTest, AMissingControlReturnsOneAndChangesNothing)
{
    EXPECT_EQ(EnableDlgItem(&dialog, 1077, false), 1);
    EXPECT_EQ(ShowDlgItem(&dialog, 1077, false), 1);
    EXPECT_EQ(EnableDlgItem(nullptr, 1, false), 1);
    EXPECT_EQ(ShowDlgItem(nullptr, 1, false), 1);
    for (const int id : {1, 2, 9}) {
        EXPECT_TRUE(Button(id)->isEnabled());
        EXPECT_FALSE(Button(id)->isHidden());
    }
    EXPECT_EQ(Focused(), 1);
}

TEST(ScrollFrame, BarsOnlyWhenTheContentDoesNotFit)
{
    NeedApplication();
    CScrollFrame frame;
    frame.resize(300, 200);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QScrollBar* h = frame.horizontalScrollBar();
    QScrollBar* v = frame.verticalScrollBar();
    const QSize client = frame.contentsRect().size();
    const int bar = frame.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &frame);

    frame.SetContentSize(client.width() - 10, client.height() - 10);
    QCoreApplication::processEvents();
    EXPECT_FALSE(h->isVisible());
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(h->maximum(), 0);
    EXPECT_EQ(v->maximum(), 0);

    // Wider only: the horizontal bar leaves height enough.
    frame.SetContentSize(1000, client.height() - bar - 5);
    QCoreApplication::processEvents();
    EXPECT_TRUE(h->isVisible());
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(h->maximum(), 1000 - client.width());

    // Both ways: the ranges with both bars, pages half of them.
    frame.SetContentSize(1000, 800);
    QCoreApplication::processEvents();
    EXPECT_TRUE(h->isVisible());
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(h->maximum(), 1000 - (client.width() - bar));
    EXPECT_EQ(v->maximum(), 800 - (client.height() - bar));
    EXPECT_EQ(v->pageStep(), v->maximum() / 2);
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(frame.GetScrollPosition(), QPoint(0, CScrollFrame::kLineStep));
    v->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(frame.GetScrollPosition().y(), v->maximum());

    // Grown past the content, the bars go and the position with them.
    frame.resize(1200, 1000);
    QCoreApplication::processEvents();
    EXPECT_FALSE(h->isVisible());
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(frame.GetScrollPosition(), QPoint(0, 0));
}

} // namespace
