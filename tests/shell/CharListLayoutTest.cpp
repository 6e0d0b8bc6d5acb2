#include "shell/CharListLayout.h"

#include "platform/DC.h"
#include "platform/Font.h"
#include "tests/platform/ImageProbe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(CharListLayout, ItemsAreTheTextAndColumnsNoWiderThanFiveQuarters)
{
    struct Case {
        int textHeight;
        int widest;
        int itemHeight;
        int columnWidth;
    };
    const Case cases[] = {
        {20, 10, 24, 14}, {20, 26, 24, 30}, {20, 40, 24, 30}, {23, 13, 27, 17}, {23, 60, 27, 33}, {0, 0, 4, 4},
    };
    for (const Case& c : cases) {
        const CharListCell cell = CharListCellSize(c.textHeight, c.widest);
        EXPECT_EQ(cell.itemHeight, c.itemHeight) << c.textHeight << " " << c.widest;
        EXPECT_EQ(cell.columnWidth, c.columnWidth) << c.textHeight << " " << c.widest;
    }
}

TEST(CharListLayout, TheFontIs20HighAndItsFaceAtMost31Characters)
{
    const std::string longFace(40, 'W');
    const LOGFONT cut = CharListFont(longFace);
    EXPECT_EQ(std::string(cut.lfFaceName), longFace.substr(0, 31));
    EXPECT_EQ(cut.lfHeight, 20);
    EXPECT_EQ(cut.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(std::string(CharListFont("Wingdings").lfFaceName), "Wingdings");
}

TEST(CharListLayout, MeasuredOnTheFont)
{
    NeedGuiApplication();
    QImage image = MakeImage(10, 10);
    CDC dc(image);
    const CFont font(CharListFont("DejaVu Sans"));
    dc.SelectObject(font);
    TEXTMETRIC metrics;
    dc.GetTextMetrics(&metrics);
    const CharListCell cell = MeasureCharListCell(dc, font);
    EXPECT_EQ(cell.itemHeight, metrics.tmHeight + 4);
    EXPECT_GT(cell.columnWidth, dc.GetTextExtent("W").cx);
    EXPECT_LE(cell.columnWidth, cell.itemHeight * 5 / 4);
}

} // namespace
