#include "shell/widgets/StyleSampleButton.h"

#include "shell/widgets/ControlIds.h"
#include "shell/widgets/PaletteColors.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

class StyleSampleButtonTest : public ::testing::Test, private CWithApplication {
protected:
    StyleSampleButtonTest()
    {
        SetControlId(&button, 1070);
        button.resize(60, 30);
        button.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&button));
    }
    COLORREF At(int x, int y)
    {
        const QRgb p = button.grab().toImage().pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }

    CStyleSampleButton button;
};

TEST_F(StyleSampleButtonTest, EachSetterSetsItsKind)
{
    CPointStyle point;
    point.symbol = 12;
    button.SetPointStyle(point);
    EXPECT_EQ(button.GetSample().kind, StyleSample::kPointStyle);
    button.SetSymbolNumber(26);
    EXPECT_EQ(button.GetSample().point.symbol, 26);
    EXPECT_EQ(button.GetSample().point.kind, CPointStyle::kLibrary);

    CDrawStyle style = CDrawStyle::DefaultArea();
    style.penColor = RGB(1, 2, 3);
    button.SetLineStyle(style);
    EXPECT_EQ(button.GetSample().kind, StyleSample::kLineStyle);
    EXPECT_EQ(button.GetSample().line.penColor, RGB(1, 2, 3));
    EXPECT_EQ(button.GetSample().line.brushColor, CDrawStyle().brushColor); // only the pens
    button.SetAreaStyle(style);
    EXPECT_EQ(button.GetSample().kind, StyleSample::kAreaStyle);
    EXPECT_EQ(button.GetSample().area, style);

    button.SetTextStyle(true, false, &style, false);
    EXPECT_EQ(button.GetSample().kind, StyleSample::kTextStyle);
    EXPECT_TRUE(button.GetSample().frame);
    button.SetTextStyle(false, true, nullptr, true);
    EXPECT_EQ(button.GetSample().frameStyle, style); // kept
    EXPECT_TRUE(button.GetSample().halo);

    button.SetColor(RGB(9, 8, 7));
    EXPECT_EQ(button.GetSample().kind, StyleSample::kPlainColor);
    CTrackStyle track;
    track.symbol = 8;
    track.spare[0] = 77;
    button.SetMarkerStyle(track);
    EXPECT_EQ(button.GetSample().kind, StyleSample::kMarker);
    EXPECT_EQ(button.GetSample().marker.symbol, 8);
    EXPECT_EQ(button.GetSample().marker.spare[0], 0); // 24 bytes only
    button.SetShowNone(true);
    EXPECT_EQ(button.GetSample().kind, StyleSample::kMarker);
    EXPECT_TRUE(button.GetSample().none);
}

// The sample's frame lies on the content's edge: 2 pixels in, 3 from the
// left and top and 1 from the right and bottom while pressed.
TEST_F(StyleSampleButtonTest, PressedAndDisabledInsets)
{
    button.SetColor(RGB(255, 0, 0));
    const COLORREF shadow = GetPaletteColor(&button, QPalette::Dark);
    EXPECT_EQ(At(30, 15), RGB(255, 0, 0));
    EXPECT_EQ(At(2, 15), shadow);
    EXPECT_EQ(At(57, 15), shadow);
    EXPECT_EQ(At(30, 2), shadow);
    SaveScreenshot(button, "style-sample");

    button.setDown(true);
    EXPECT_EQ(At(3, 15), shadow);
    EXPECT_EQ(At(58, 15), shadow);
    EXPECT_EQ(At(30, 3), shadow);
    EXPECT_EQ(At(30, 28), shadow);
    EXPECT_NE(At(2, 15), shadow);

    button.setDown(false);
    button.setEnabled(false);
    EXPECT_EQ(At(2, 15), shadow);
    EXPECT_EQ(At(57, 15), shadow);
}

} // namespace
