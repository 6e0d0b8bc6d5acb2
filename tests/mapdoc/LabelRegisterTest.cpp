#include "mapdoc/LabelRegister.h"

#include <gtest/gtest.h>

namespace {

// A square of half side h about (x, y) turned by 45 degrees: a diamond.
CLabelRegister::Quad Diamond(int x, int y, int h)
{
    return {CPoint(x, y - h), CPoint(x + h, y), CPoint(x, y + h), CPoint(x - h, y)};
}

} // namespace

TEST(LabelRegister, RectanglesMeetingPlacedRectanglesAreRefused)
{
    CLabelRegister labels;
    ASSERT_EQ(labels.ReserveRect(CRect(0, 0, 100, 20), 0), 1);
    struct Case {
        CRect rect;
        int expected;
    };
    const Case cases[] = {
        {CRect(50, 10, 150, 30), 0},   // overlaps
        {CRect(100, 0, 200, 20), 1},   // touches the right edge, which lies outside
        {CRect(0, 20, 100, 40), 1},    // below
        {CRect(20, 5, 40, 15), 0},     // inside
        {CRect(-50, -50, 500, 500), 0} // around
    };
    for (const Case& c : cases) {
        CLabelRegister copy = labels;
        EXPECT_EQ(copy.ReserveRect(c.rect, 0), c.expected) << c.rect.left << "," << c.rect.top;
    }
    // Forced labels are recorded without a test, and count for later ones.
    EXPECT_EQ(labels.ReserveRect(CRect(50, 10, 150, 30), 1), 1);
    EXPECT_EQ(labels.ReserveRect(CRect(120, 25, 130, 35), 0), 0);
    labels.Clear();
    EXPECT_EQ(labels.ReserveRect(CRect(50, 10, 150, 30), 0), 1);
}

TEST(LabelRegister, RectanglesAndTurnedLabelsMeetOnlyWhereTheyOverlap)
{
    CLabelRegister labels;
    ASSERT_EQ(labels.ReserveQuad(Diamond(100, 100, 50), 0), 1);
    // In the diamond's box corner but outside the diamond itself.
    EXPECT_EQ(labels.ReserveRect(CRect(52, 52, 70, 70), 0), 1);
    EXPECT_EQ(labels.ReserveRect(CRect(80, 80, 90, 120), 0), 0);  // partly inside
    EXPECT_EQ(labels.ReserveRect(CRect(140, 90, 200, 110), 0), 0); // over its right corner

    // A turned label against a placed rectangle.
    EXPECT_EQ(labels.ReserveQuad(Diamond(61, 61, 8), 0), 0);      // meets the rectangle (52..70)
    EXPECT_EQ(labels.ReserveQuad(Diamond(300, 300, 10), 0), 1);   // far away
}

TEST(LabelRegister, TurnedLabelsAreRefusedWhenTheyCrossOrLieInsideAnother)
{
    CLabelRegister labels;
    ASSERT_EQ(labels.ReserveQuad(Diamond(100, 100, 50), 0), 1);
    EXPECT_EQ(labels.ReserveQuad(Diamond(160, 100, 20), 0), 0); // edges cross
    EXPECT_EQ(labels.ReserveQuad(Diamond(100, 100, 10), 0), 0); // its centre inside
    EXPECT_EQ(labels.ReserveQuad(Diamond(100, 100, 80), 0), 0); // all round the placed one
    // Boxes meet, the diamonds do not.
    EXPECT_EQ(labels.ReserveQuad(Diamond(175, 175, 45), 0), 1);
    // A rectangle wholly inside a turned label.
    EXPECT_EQ(labels.ReserveRect(CRect(95, 95, 105, 105), 0), 0);
    // A turned label wholly inside a rectangle.
    CLabelRegister other;
    ASSERT_EQ(other.ReserveRect(CRect(0, 0, 100, 100), 0), 1);
    EXPECT_EQ(other.ReserveQuad(Diamond(50, 50, 10), 0), 0);
}
