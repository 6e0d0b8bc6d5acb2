#include "render/LabelPainter.h"

#include "layers/Sublayer.h"
#include "platform/DC.h"
#include "tests/render/FakeDrawingView.h"
#include "tests/render/PixelArt.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kPaper = RGB(200, 200, 200);
const std::string kText = "Ab";

// Ten logical units a pixel, as the fake view's contexts.
void ThousandthsAt100Dpi(CDC& dc)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(10, 10);
    dc.SetViewportExt(1, 1);
}

CRect Ink(const QImage& image)
{
    return Ink(image, [](COLORREF c) { return c != kPaper; });
}

CRect ToPixels(const CDC& dc, CRect r)
{
    dc.LPtoDP(&r);
    return r;
}

CSublayer LabelSublayer(int placement, int distance = 0, uint32_t flags = 0)
{
    CSublayer sublayer(0);
    sublayer.m_labelPlacement = static_cast<int16_t>(placement);
    sublayer.m_labelDistance = static_cast<int16_t>(distance);
    sublayer.m_labelFlags = flags;
    return sublayer;
}

CSublayer FramedSublayer(COLORREF pen, COLORREF brush)
{
    CSublayer sublayer = LabelSublayer(0, 0, CSublayer::kLabelFrame);
    sublayer.m_labelFrameStyle.penColor = pen;
    sublayer.m_labelFrameStyle.brushColor = brush;
    return sublayer;
}

void ClearToPaper(QImage& image)
{
    image.fill(QColor(GetRValue(kPaper), GetGValue(kPaper), GetBValue(kPaper)));
}

// A 200 x 100 pixel view at 100 dpi: the visible area is 2000 x 1000
// logical units. The context has a font, pen and brush of its own.
class LabelPainterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        view.PrepareDCMapping(dc);
        LOGFONT lf;
        lf.lfHeight = -50;
        ownFont.CreateFontIndirect(lf);
        dc.SelectObject(ownFont);
        dc.SelectObject(ownPen);
        dc.SelectObject(ownBrush);
    }

    CFakeDrawingView view{200, 100, kPaper};
    CDC dc{view.window};
    CFont ownFont;
    CPen ownPen{PS_SOLID, 0, kGreen};
    CBrush ownBrush{kYellow};
};

} // namespace

TEST_F(LabelPainterTest, HeightsInPointsBecomeThousandthsOfAnInchAndFollowTheScale)
{
    struct Case {
        const char* name;
        uint32_t flags;
        int32_t referenceScale;
        int scale;
        int height;
        int distance;
    };
    const std::vector<Case> cases = {
        {"8 points", 0, 10000, 5000, -111, 79},
        {"twice at half the reference scale", CSublayer::kScaledLabels, 10000, 5000, -222, 158},
        {"half at twice the reference scale", CSublayer::kScaledLabels, 5000, 10000, -56, 40},
        {"no reference scale", CSublayer::kScaledLabels, 0, 5000, -111, 79},
        {"no current scale", CSublayer::kScaledLabels, 10000, 0, -111, 79},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.labels.clear();
        CSublayer sublayer = LabelSublayer(0, 79, c.flags);
        sublayer.m_referenceScale = c.referenceScale;
        CLabelPainter painter(&view, dc);
        painter.SetLabelStyle(sublayer, c.scale);
        const LOGFONT& font = painter.GetFont().LogFont();
        EXPECT_EQ(font.lfHeight, c.height);
        EXPECT_TRUE(dc.GetCurrentFont() == painter.GetFont());
        ASSERT_EQ(painter.DrawLabel(500, 300, kText), 1);
        ASSERT_EQ(view.labels.size(), 1u);
        EXPECT_EQ(view.labels[0].rect.TopLeft(), CPoint(500 + c.distance, 300 + c.distance));
    }

    // The Baltic character set names its face, which draws in the face's stand-in.
    CLabelPainter painter(&view, dc);
    painter.SetLabelStyle(LabelSublayer(0), 5000);
    const LOGFONT& font = painter.GetFont().LogFont();
    EXPECT_STREQ(font.lfFaceName, "Arial Baltic");
    EXPECT_EQ(dc.GetTextFace(), "Liberation Sans");
    EXPECT_EQ(font.lfQuality, ANTIALIASED_QUALITY);
    EXPECT_EQ(font.lfClipPrecision & CLIP_LH_ANGLES, CLIP_LH_ANGLES);
    EXPECT_EQ(font.lfOutPrecision & 7, 7);
    CSublayer western = LabelSublayer(0);
    western.m_labelStyle.font.lfCharSet = ANSI_CHARSET;
    painter.SetLabelStyle(western, 5000);
    EXPECT_STREQ(painter.GetFont().LogFont().lfFaceName, "Arial");
}

TEST_F(LabelPainterTest, AutomaticPlacementTriesItsCandidatesInOrderAndForcesTheFirstLast)
{
    const int x = 1000, y = 500, d = 79;
    struct Case {
        int placement;
        uint32_t flags;
        std::vector<int> tried;
        bool drawn;
    };
    const std::vector<Case> cases = {
        {CLabelPainter::kAroundPoint, 0, {24, 6, 14, 26}, false},
        {CLabelPainter::kAroundPoint, CSublayer::kShowAllLabels, {24, 6, 14, 26, 24}, true},
        {CLabelPainter::kInsideArea, 0, {30, 24, 6, 14, 26}, false},
        {CLabelPainter::kInsideArea, CSublayer::kShowAllLabels, {30, 24, 6, 14, 26, 30}, true},
    };
    // Every place is taken: only a forced label is put down.
    view.acceptLabel = [](const CRect&, int force) { return force != 0; };
    for (const Case& c : cases) {
        SCOPED_TRACE("placement " + std::to_string(c.placement) + " flags " + std::to_string(c.flags));
        view.labels.clear();
        CLabelPainter painter(&view, dc);
        painter.SetLabelStyle(LabelSublayer(c.placement, d, c.flags), 5000);
        const CSize size = painter.GetTextExtent(kText);
        TEXTMETRIC metrics;
        ASSERT_TRUE(dc.GetTextMetrics(&metrics));
        const int w = size.cx, h = size.cy;
        const int baselineTop = y + metrics.tmHeight / 3 - 3 * h / 4;
        // Where each placement puts the label's box.
        auto expected = [&](int placement) -> CPoint {
            switch (placement) {
            case 24: return {x + d, baselineTop};     // left, on the baseline
            case 6: return {x - w / 2, y + d};        // centred, below the anchor
            case 14: return {x - w / 2, y - d - h};   // centred, above
            case 26: return {x - d - w, baselineTop}; // right, on the baseline
            case 30: return {x - w / 2, baselineTop}; // centred on the baseline
            default: return {};
            }
        };

        EXPECT_EQ(painter.DrawLabel(x, y, kText), c.drawn ? 1 : 0);
        ASSERT_EQ(view.labels.size(), c.tried.size());
        for (size_t i = 0; i < c.tried.size(); ++i) {
            SCOPED_TRACE("try " + std::to_string(i));
            EXPECT_EQ(view.labels[i].rect, CRect(expected(c.tried[i]), size));
            EXPECT_EQ(view.labels[i].force, c.drawn && i + 1 == c.tried.size() ? 1 : 0);
        }
    }

    // The first place that is free ends the search.
    view.labels.clear();
    view.acceptLabel = [&](const CRect&, int) { return view.labels.size() == 2; };
    CLabelPainter painter(&view, dc);
    painter.SetLabelStyle(LabelSublayer(CLabelPainter::kAroundPoint, d), 5000);
    EXPECT_EQ(painter.DrawLabel(x, y, kText), 1);
    EXPECT_EQ(view.labels.size(), 2u);
    EXPECT_FALSE(Ink(view.window).IsRectEmpty());
}

TEST_F(LabelPainterTest, OffsetsFollowTheAlignmentAndAFrameInflatesTheBox)
{
    const int x = 1000, y = 500;
    CLabelPainter painter(&view, dc);
    painter.SetLabelStyle(LabelSublayer(0, 40, CSublayer::kLabelFrame), 5000);
    const CSize size = painter.GetTextExtent(kText);
    const int w = size.cx, h = size.cy;
    auto box = [&]() {
        view.labels.clear();
        EXPECT_EQ(painter.DrawLabel(x, y, kText), 1);
        return view.labels.empty() ? CRect() : view.labels.back().rect;
    };
    EXPECT_EQ(box(), CRect(x + 40 - h / 6, y + 40 - h / 10, x + 40 + w + h / 6, y + 40 + h + h / 10));

    // Horizontal part 4 and vertical part 16 keep the offsets set before.
    CLabelPainter plain(&view, dc);
    plain.SetLabelStyle(LabelSublayer(0), 5000);
    auto plainBox = [&]() {
        view.labels.clear();
        EXPECT_EQ(plain.DrawLabel(x, y, kText), 1);
        return view.labels.empty() ? CRect() : view.labels.back().rect;
    };
    plain.SetPlacement(0, 50);
    plain.SetPlacement(4 | 16, 99);
    EXPECT_EQ(plainBox().TopLeft(), CPoint(x + 50, y + 50));
    plain.SetPlacement(TA_RIGHT, 30);
    plain.SetPlacement(TA_RIGHT | 16, 99);
    EXPECT_EQ(plainBox().TopLeft(), CPoint(x - 99 - w, y + 30));
    plain.SetPlacement(TA_CENTER | TA_BOTTOM, 30);
    EXPECT_EQ(plainBox().TopLeft(), CPoint(x - w / 2, y - 30 - h));
}

TEST_F(LabelPainterTest, ALabelLeavingTheVisibleAreaIsNotDrawnEvenWhenNothingIsInTheWay)
{
    EXPECT_EQ(CLabelPainter(&view, dc).GetVisibleArea(), CRect(0, 0, 2000, 1000));
    struct Case {
        const char* name;
        int x, y, placement;
        uint32_t flags;
        bool drawn;
    };
    const std::vector<Case> cases = {
        {"past the right edge", 1950, 500, 0, 0, false},
        {"past the right edge, all labels shown", 1950, 500, 0, CSublayer::kShowAllLabels, false},
        {"turned to the left of the point", 1950, 500, TA_RIGHT, 0, true},
        {"above the top", 500, 5, TA_BOTTOM, 0, false},
        {"below the top", 500, 5, TA_TOP, 0, true},
        {"past the left edge", 5, 500, TA_CENTER, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.labels.clear();
        ClearToPaper(view.window);
        CLabelPainter painter(&view, dc);
        painter.SetLabelStyle(LabelSublayer(c.placement, 0, c.flags), 5000);
        EXPECT_EQ(painter.DrawLabel(c.x, c.y, kText), c.drawn ? 1 : 0);
        EXPECT_EQ(view.labels.size(), c.drawn ? 1u : 0u) << "the place is asked for only inside";
        EXPECT_EQ(Ink(view.window).IsRectEmpty(), !c.drawn);
    }

    // Without a view a label goes where it falls.
    CLabelPainter painter(nullptr, dc);
    painter.SetLabelStyle(LabelSublayer(0), 5000);
    EXPECT_EQ(painter.DrawLabel(1950, 500, kText), 1);
    EXPECT_TRUE(painter.GetVisibleArea().IsRectEmpty());
}

TEST_F(LabelPainterTest, FramesAndLetterOutlinesTakeTheFrameStyle)
{
    const CSublayer framed = FramedSublayer(kRed, kBlue);
    {
        CLabelPainter painter(&view, dc);
        painter.SetLabelStyle(framed, 5000);
        ASSERT_EQ(painter.DrawLabel(500, 300, kText), 1);
    }
    const CRect frame = ToPixels(dc, view.labels.back().rect);
    const int middle = (frame.top + frame.bottom) / 2;
    EXPECT_EQ(At(view.window, frame.left, middle), kRed);
    EXPECT_EQ(At(view.window, frame.right - 1, middle), kRed);
    EXPECT_EQ(At(view.window, frame.left + 1, frame.top + 1), kBlue);
    EXPECT_EQ(At(view.window, frame.left - 1, middle), kPaper);
    EXPECT_EQ(Ink(view.window), frame);
    EXPECT_FALSE(Ink(view.window, IsDark).IsRectEmpty()) << "the text";

    // Outlines alone: the letters ringed in the frame style's brush colour.
    ClearToPaper(view.window);
    CSublayer outlined = LabelSublayer(0, 0, CSublayer::kLetterOutlines);
    outlined.m_labelFrameStyle.brushColor = kYellow;
    CLabelPainter painter(&view, dc);
    painter.SetLabelStyle(outlined, 5000);
    ASSERT_EQ(painter.DrawLabel(500, 300, kText), 1);
    const CRect text = Ink(view.window, IsDark);
    const CRect ring = Ink(view.window, [](COLORREF c) { return c == kYellow; });
    ASSERT_FALSE(text.IsRectEmpty());
    ASSERT_FALSE(ring.IsRectEmpty());
    CRect around = Ink(view.window);
    EXPECT_LE(around.left, text.left - 1);
    EXPECT_GE(around.right, text.right + 1);
    CRect common;
    EXPECT_TRUE(common.IntersectRect(ring, text));
}

TEST(LabelPainter, LetterOutlinesLieATwentyFourthOfTheHeightAwayAndAtLeastAPixel)
{
    NeedGuiApplication();
    struct Case {
        const char* name;
        bool thousandths;
        int height;
        int x, y;
        int pixels; // how far the outline reaches past the text
    };
    const std::vector<Case> cases = {
        {"111 pixels high: 5", false, 111, 100, 50, 5},
        {"111 thousandths of an inch: 5, less than a pixel", true, 111, 1000, 500, 1},
        {"1000 thousandths of an inch: 42", true, 1000, 1000, 500, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage text = MakeImage(400, 300, kPaper), halo = MakeImage(400, 300, kPaper);
        LOGFONT lf;
        lf.lfHeight = -c.height;
        const CFont font(lf);
        for (QImage* image : {&text, &halo}) {
            CDC dc(*image);
            if (c.thousandths)
                ThousandthsAt100Dpi(dc);
            dc.SelectObject(font);
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(kBlack);
            if (image == &text) {
                dc.TextOut(c.x, c.y, kText);
            } else {
                DrawHaloText(dc, c.x, c.y, kText, kWhite, c.height);
                EXPECT_EQ(dc.GetTextColor(), kBlack) << "the text colour is put back";
            }
        }
        CRect expected = Ink(text);
        ASSERT_FALSE(expected.IsRectEmpty());
        expected.InflateRect(c.pixels, c.pixels);
        EXPECT_EQ(Ink(halo), expected);
        EXPECT_TRUE(Ink(halo, IsDark).IsRectEmpty()) << "only the outline colour";
    }
}

TEST_F(LabelPainterTest, RotatedTextDrawsItsFrameTurnedAndPutsTheFontBack)
{
    const CSublayer framed = FramedSublayer(kRed, kWhite);
    CLabelPainter painter(&view, dc);
    painter.SetLabelStyle(framed, 5000);
    const CSize size = painter.GetTextExtent(kText);
    // Turned a quarter to the left about (1000, 800): the text runs upwards.
    const CPoint corners[4] = {{1000, 800},
                               {1000, 800 - size.cx},
                               {1000 + size.cy, 800 - size.cx},
                               {1000 + size.cy, 800}};
    EXPECT_EQ(painter.DrawRotatedText(1000, 800, kText, 900, corners), 1);
    EXPECT_TRUE(dc.GetCurrentFont() == painter.GetFont());
    EXPECT_EQ(dc.GetCurrentFont().LogFont().lfEscapement, 0);

    const CRect frame = ToPixels(dc, CRect(corners[1], corners[3]));
    const int middle = (frame.top + frame.bottom) / 2;
    EXPECT_EQ(At(view.window, frame.left, middle), kRed) << "the frame's edges";
    EXPECT_EQ(At(view.window, frame.right, middle), kRed);
    EXPECT_EQ(At(view.window, frame.left + 2, frame.bottom - 1), kWhite) << "its inside";
    const CRect text = Ink(view.window, IsDark);
    ASSERT_FALSE(text.IsRectEmpty());
    EXPECT_GT(text.Height(), text.Width()) << "the letters stand along the frame";
    CRect inside = frame;
    inside.InflateRect(1, 1);
    CRect common;
    common.IntersectRect(text, inside);
    EXPECT_EQ(common, text) << "inside the frame";

    // Unturned text keeps the label font.
    ClearToPaper(view.window);
    const CPoint flat[4] = {{500, 300}, {500 + size.cx, 300}, {500 + size.cx, 300 + size.cy}, {500, 300 + size.cy}};
    EXPECT_EQ(painter.DrawRotatedText(500, 300, kText, 0, flat), 1);
    const CRect flatText = Ink(view.window, IsDark);
    EXPECT_GT(flatText.Width(), flatText.Height());
}

TEST_F(LabelPainterTest, BothContextsGetTheSameLabelsAndTheirObjectsBack)
{
    QImage secondImage = MakeImageAt(200, 100, 100, kPaper);
    CDC second(secondImage);
    view.PrepareDCMapping(second);
    const CFont secondFont = CFont(LOGFONT{});
    second.SelectObject(secondFont);
    second.SelectObject(ownPen);
    second.SelectObject(ownBrush);
    {
        CLabelPainter painter(&view, dc, &second);
        painter.SetLabelStyle(LabelSublayer(0, 0, CSublayer::kLabelFrame | CSublayer::kLetterOutlines), 5000);
        EXPECT_TRUE(second.GetCurrentFont() == painter.GetFont());
        ASSERT_EQ(painter.DrawLabel(500, 300, kText), 1);
        const CPoint corners[4] = {{1200, 600}, {1500, 600}, {1500, 700}, {1200, 700}};
        ASSERT_EQ(painter.DrawRotatedText(1200, 600, kText, 300, corners), 1);
        // Set again, the painter still puts back what was there before it.
        painter.SetLabelStyle(LabelSublayer(0), 5000);
    }
    EXPECT_TRUE(view.window == secondImage);
    EXPECT_FALSE(Ink(secondImage).IsRectEmpty());
    EXPECT_TRUE(dc.GetCurrentFont() == ownFont);
    EXPECT_TRUE(dc.GetCurrentPen() == ownPen);
    EXPECT_TRUE(dc.GetCurrentBrush() == ownBrush);
    EXPECT_TRUE(second.GetCurrentFont() == secondFont);
    EXPECT_TRUE(second.GetCurrentPen() == ownPen);
    EXPECT_TRUE(second.GetCurrentBrush() == ownBrush);
}
