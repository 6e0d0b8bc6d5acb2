#include "shell/StyleSample.h"

#include "platform/DC.h"
#include "tests/render/PixelArt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>

namespace {

constexpr COLORREF kFace = RGB(212, 208, 200);

constexpr ControlColors kColours = [] {
    ControlColors c;
    c.face = kFace;
    c.shadow = RGB(100, 100, 100);
    return c;
}();

// Crisp letters, so pixels take exact colours.
CFont PlainFont()
{
    LOGFONT font;
    font.lfHeight = -13;
    font.lfQuality = NONANTIALIASED_QUALITY;
    std::strcpy(font.lfFaceName, "DejaVu Sans");
    return CFont(font);
}

class StyleSampleTest : public ::testing::Test {
protected:
    StyleSampleTest() { NeedGuiApplication(); }

    // The sample drawn into a button face at 96 dpi.
    QImage Draw(const StyleSample& sample, int width = 80, int height = 40)
    {
        QImage image = MakeImageAt(width, height, 96, kFace);
        CDC dc(image);
        DrawStyleSample(dc, Content(width, height), sample, kColours, PlainFont());
        return image;
    }
    static CRect Content(int width, int height) { return StyleSampleContent(CRect(0, 0, width, height), false, false); }
    static int Count(const QImage& image, COLORREF colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += At(image, x, y) == colour ? 1 : 0;
        return n;
    }
    static bool OnlyFace(const QImage& image) { return Count(image, kFace) == image.width() * image.height(); }
};

TEST_F(StyleSampleTest, ContentInsets)
{
    const CRect client(0, 0, 50, 30);
    EXPECT_EQ(StyleSampleContent(client, false, false), CRect(2, 2, 48, 28));
    EXPECT_EQ(StyleSampleContent(client, true, false), CRect(3, 3, 49, 29));
    EXPECT_EQ(StyleSampleContent(client, false, true), CRect(2, 2, 48, 28));
    EXPECT_EQ(StyleSampleContent(client, true, true), CRect(2, 2, 48, 28));
}

TEST_F(StyleSampleTest, EveryKindDraws)
{
    StyleSample colour;
    colour.kind = StyleSample::kPlainColor;
    colour.colour = kRed;
    QImage image = Draw(colour);
    EXPECT_EQ(At(image, 40, 20), kRed);
    EXPECT_EQ(At(image, 2, 20), kColours.shadow); // the frame, on the content's edge
    EXPECT_EQ(At(image, 1, 20), kFace);
    EXPECT_EQ(At(image, 77, 37), kColours.shadow);

    StyleSample point;
    point.kind = StyleSample::kPointStyle;
    point.point.symbol = 8; // a drawn circle
    image = Draw(point);
    EXPECT_NE(At(image, 40, 20), kFace);
    EXPECT_EQ(At(image, 4, 4), kFace);

    StyleSample line;
    line.kind = StyleSample::kLineStyle;
    line.line.penColor = kBlue;
    image = Draw(line);
    EXPECT_EQ(At(image, 40, 20), kBlue);
    EXPECT_EQ(At(image, 40, 10), kFace);

    StyleSample area;
    area.kind = StyleSample::kAreaStyle;
    area.area.brushColor = kGreen;
    area.area.penColor = kBlack;
    image = Draw(area);
    EXPECT_EQ(At(image, 40, 20), kGreen);
    EXPECT_EQ(At(image, 3, 20), kFace); // a tenth in

    StyleSample marker;
    marker.kind = StyleSample::kMarker;
    marker.marker.symbol = 8;
    marker.marker.lineShown = 1;
    marker.marker.penColor = kBlue;
    image = Draw(marker);
    EXPECT_EQ(At(image, 12, 20), kBlue);
    EXPECT_NE(At(image, 40, 20), kBlue); // the symbol over the line
    EXPECT_NE(At(image, 40, 20), kFace);
}

TEST_F(StyleSampleTest, CrosshairUnderTheSample)
{
    StyleSample point;
    point.kind = StyleSample::kPointStyle;
    point.point.symbol = 8;
    point.crosshair = true;
    const QImage image = Draw(point);
    // The content is (2, 2) to (78, 38).
    EXPECT_EQ(At(image, 3, 20), kColours.shadow);
    EXPECT_EQ(At(image, 40, 3), kColours.shadow);
    EXPECT_EQ(At(image, 3, 21), kFace);
    EXPECT_NE(At(image, 40, 20), kColours.shadow);
}

TEST_F(StyleSampleTest, NoneShowsTheWordOrNothing)
{
    struct Case {
        int kind;
        bool lineShown;
        bool word;  // "<Nėra>" in the shadow colour
        bool line;  // the marker's line
    };
    const Case cases[] = {
        {StyleSample::kPointStyle, false, true, false}, {StyleSample::kLineStyle, false, true, false},
        {StyleSample::kAreaStyle, false, true, false},  {StyleSample::kTextStyle, false, false, false},
        {StyleSample::kPlainColor, false, false, false}, {StyleSample::kMarker, true, false, true},
        {StyleSample::kMarker, false, true, false},
    };
    for (const Case& c : cases) {
        StyleSample sample;
        sample.kind = c.kind;
        sample.none = true;
        sample.point.symbol = 8;
        sample.line.penColor = kBlue;
        sample.area.brushColor = kBlue;
        sample.colour = kBlue;
        sample.marker.symbol = 8;
        sample.marker.lineShown = c.lineShown ? 1 : 0;
        sample.marker.penColor = kBlue;
        sample.font.color = kBlue;
        const QImage image = Draw(sample);
        EXPECT_EQ(Count(image, kColours.shadow) > 10, c.word) << c.kind;
        EXPECT_EQ(Count(image, kBlue) > 0, c.line) << c.kind;
        if (!c.word && !c.line) {
            EXPECT_TRUE(OnlyFace(image)) << c.kind;
        }
    }
}

class TextSampleTest : public StyleSampleTest {
protected:
    static constexpr COLORREF kText = RGB(0, 0, 160);
    static constexpr COLORREF kHalo = RGB(255, 255, 0);
    static constexpr COLORREF kPen = RGB(160, 0, 0);
    static constexpr COLORREF kBack = RGB(0, 160, 0);

    TextSampleTest()
    {
        sample.kind = StyleSample::kTextStyle;
        sample.font.color = kText;
        sample.font.font.lfHeight = -12; // points
        sample.font.font.lfQuality = NONANTIALIASED_QUALITY;
        std::strcpy(sample.font.font.lfFaceName, "DejaVu Sans");
        sample.frameStyle.penStyle = PS_SOLID;
        sample.frameStyle.penWidth = 10; // thousandths of an inch: one pixel
        sample.frameStyle.penColor = kPen;
        sample.frameStyle.brushStyle = 2; // hatched, on an opaque background
        sample.frameStyle.hatch = 0;
        sample.frameStyle.brushColor = kHalo;
        sample.frameStyle.backColor = kBack;
        sample.frameStyle.backMode = OPAQUE;
    }
    // The pixels of the letters alone.
    std::set<std::pair<int, int>> Letters()
    {
        StyleSample plain = sample;
        plain.frame = plain.halo = false;
        const QImage image = Draw(plain, 140, 60);
        std::set<std::pair<int, int>> letters;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (At(image, x, y) == kText)
                    letters.insert({x, y});
        return letters;
    }

    StyleSample sample;
};

// The frame first, then the eight halo copies, then the letters: every
// pixel next to a letter shows the halo, not the frame's background.
TEST_F(TextSampleTest, FrameThenHaloThenText)
{
    const auto letters = Letters();
    ASSERT_GT(letters.size(), 50u);
    int top = 1000, bottom = 0;
    for (const auto& [x, y] : letters) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    // 12 points at 96 dpi are 16 pixels, whose capitals are 11 or 12 high
    // (12 pixels would give 9).
    EXPECT_GE(bottom - top, 10);

    sample.frame = sample.halo = true;
    const QImage image = Draw(sample, 140, 60);
    int halo = 0;
    for (const auto& [x, y] : letters) {
        EXPECT_EQ(At(image, x, y), kText) << x << "," << y;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (!letters.count({x + dx, y + dy})) {
                    EXPECT_EQ(At(image, x + dx, y + dy), kHalo) << x + dx << "," << y + dy;
                    ++halo;
                }
    }
    EXPECT_GT(halo, 0);
    // The frame's background and hatch behind, its pen around.
    EXPECT_GT(Count(image, kBack), 50);
    EXPECT_GT(Count(image, kPen), 50);
}

// The frame's pen width is thousandths of an inch: 0.1 inch is 10 pixels at 96 dpi.
TEST_F(TextSampleTest, FramePenWidthInThousandthsOfAnInch)
{
    sample.frame = true;
    sample.frameStyle.penWidth = 100;
    const QImage image = Draw(sample, 200, 80);
    const int y = 40;
    int x = 0;
    while (x < image.width() && At(image, x, y) != kPen)
        ++x;
    int run = 0;
    while (x + run < image.width() && At(image, x + run, y) == kPen)
        ++run;
    EXPECT_GE(run, 9);
    EXPECT_LE(run, 11);
}

TEST_F(TextSampleTest, ClippedToTheContent)
{
    sample.font.font.lfHeight = -72;
    sample.frame = true;
    const QImage image = Draw(sample, 60, 30);
    for (int x = 0; x < 60; ++x) {
        EXPECT_EQ(At(image, x, 0), kFace) << x;
        EXPECT_EQ(At(image, x, 29), kFace) << x;
    }
}

} // namespace
