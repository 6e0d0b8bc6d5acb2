#include "render/StyleSamples.h"

#include "layers/DrawStyle.h"
#include "layers/PointStyle.h"
#include "layers/ThemeClassList.h"
#include "layers/TrackStyle.h"
#include "platform/DC.h"
#include "render/PointSymbolHook.h"
#include "tests/render/PixelArt.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kPaper = RGB(200, 200, 200);

// What the symbol library was asked to draw, and the pixel it was drawn over.
struct SymbolCall {
    CPoint at;
    CPointStyle style;
    COLORREF under;
};
std::vector<SymbolCall> g_symbols;

int RecordSymbol(CDC& dc, int x, int y, const CPointStyle& style, int scale)
{
    g_symbols.push_back({CPoint(x, y), style, dc.GetPixel(x, y)});
    dc.SetPixel(x, y, kGreen);
    return 1;
}

// Symbols drawn as one green pixel, logged; installed for its lifetime.
class CRecordingSymbols {
public:
    CRecordingSymbols()
    {
        g_symbols.clear();
        SetPointSymbolDrawer(RecordSymbol);
    }
    ~CRecordingSymbols() { SetPointSymbolDrawer(nullptr); }
};

// A legend row's context: pixels of a 96-dpi screen, with objects of its own.
struct Row {
    QImage image;
    CDC dc;
    CPen pen{PS_SOLID, 0, kGreen};
    CBrush brush{kYellow};
    explicit Row(int width = 120, int height = 40) : image(MakeImageAt(width, height, 96, kPaper)), dc(image)
    {
        dc.SelectObject(pen);
        dc.SelectObject(brush);
        dc.SetBkMode(OPAQUE);
        dc.SetBkColor(kWhite);
        dc.SetTextColor(kBlue);
        dc.SetBrushOrg(1, 2);
    }
    void ExpectStateKept() const
    {
        EXPECT_TRUE(dc.GetCurrentPen() == pen);
        EXPECT_TRUE(dc.GetCurrentBrush() == brush);
        EXPECT_EQ(dc.GetBkMode(), OPAQUE);
        EXPECT_EQ(dc.GetBkColor(), kWhite);
        EXPECT_EQ(dc.GetTextColor(), kBlue);
        EXPECT_EQ(dc.GetBrushOrg(), CPoint(1, 2));
    }
};

CDrawStyle Pen(uint32_t code, uint32_t width, COLORREF colour)
{
    CDrawStyle style;
    style.penStyle = code;
    style.penWidth = width;
    style.penColor = colour;
    style.backColor = kWhite;
    return style;
}

CDrawStyle WithSecondPen(CDrawStyle style, uint32_t code, uint32_t width, COLORREF colour)
{
    CDrawStyle::Line first, second{code, width, colour};
    style.SplitLines(first, second);
    style.ComposeLines(first, second, true);
    return style;
}

std::set<COLORREF> Colours(const QImage& image, const CRect& r)
{
    std::set<COLORREF> colours;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            colours.insert(At(image, x, y));
    return colours;
}

} // namespace

TEST(StyleSamples, TheLineLiesThroughTheMiddleATenthInFromEachEndOnATransparentBackground)
{
    Row row;
    DrawLineSample(Pen(PS_SOLID, 0, kRed), row.dc, CRect(10, 10, 110, 30));
    EXPECT_EQ(RunsAlongRow(row.image, 20, 0, 120), (std::vector<int>{20, 80, 20}));
    EXPECT_EQ(Colours(row.image, CRect(0, 0, 120, 40)), (std::set<COLORREF>{kPaper, kRed}));
    row.ExpectStateKept();

    // Dashes leave the paper in their gaps, though the pen has a background.
    Row dashed;
    DrawLineSample(Pen(PS_DASH, 0, kRed), dashed.dc, CRect(10, 10, 110, 30));
    const std::vector<int> runs = RunsAlongRow(dashed.image, 20, 20, 100);
    EXPECT_GT(runs.size(), 3u);
    EXPECT_EQ(Colours(dashed.image, CRect(0, 0, 120, 40)), (std::set<COLORREF>{kPaper, kRed}));
    dashed.ExpectStateKept();

    // A double line shows its first pen only.
    Row doubled;
    DrawLineSample(WithSecondPen(Pen(PS_SOLID, 0, kRed), PS_SOLID, 0, kBlue), doubled.dc, CRect(10, 10, 110, 30));
    EXPECT_EQ(Colours(doubled.image, CRect(0, 0, 120, 40)), (std::set<COLORREF>{kPaper, kRed}));
}

TEST(StyleSamples, TheZigzagCarriesTheSecondLineOfADoubleLineOverTheFirst)
{
    // Ten pixels wide outside, two inside; the first leg runs from (10, 30)
    // to (36, 10) through (23, 20).
    const CDrawStyle outer = Pen(PS_SOLID, 100, kBlack);
    Row doubled(100, 40);
    DrawZigzagSample(WithSecondPen(outer, PS_SOLID, 20, kYellow), doubled.dc, CRect(0, 0, 100, 40));
    EXPECT_EQ(At(doubled.image, 23, 20), kYellow);
    EXPECT_EQ(At(doubled.image, 18, 20), kBlack);
    EXPECT_EQ(At(doubled.image, 28, 20), kBlack);
    EXPECT_EQ(At(doubled.image, 11, 20), kPaper);
    EXPECT_EQ(At(doubled.image, 50, 20), kYellow) << "the middle leg";
    EXPECT_EQ(At(doubled.image, 50, 5), kPaper);
    doubled.ExpectStateKept();

    Row single(100, 40);
    DrawZigzagSample(outer, single.dc, CRect(0, 0, 100, 40));
    EXPECT_EQ(At(single.image, 23, 20), kBlack);
    EXPECT_EQ(Colours(single.image, CRect(0, 0, 100, 40)).count(kYellow), 0u);
}

TEST(StyleSamples, TheFillIsShrunkByATenthOnEachSideWithItsPatternStartingAtItsCorner)
{
    CDrawStyle solid = Pen(PS_SOLID, 0, kBlack);
    solid.brushStyle = BS_SOLID;
    solid.brushColor = kBlue;
    Row row(60, 40);
    // 50 x 30 gives 5 and 3 each side: the outline from (5, 3) to (44, 26).
    DrawFillSample(solid, row.dc, CRect(0, 0, 50, 30));
    EXPECT_EQ(At(row.image, 4, 15), kPaper);
    EXPECT_EQ(At(row.image, 5, 15), kBlack);
    EXPECT_EQ(At(row.image, 6, 15), kBlue);
    EXPECT_EQ(At(row.image, 43, 15), kBlue);
    EXPECT_EQ(At(row.image, 44, 15), kBlack);
    EXPECT_EQ(At(row.image, 45, 15), kPaper);
    EXPECT_EQ(At(row.image, 20, 2), kPaper);
    EXPECT_EQ(At(row.image, 20, 3), kBlack);
    EXPECT_EQ(At(row.image, 20, 26), kBlack);
    EXPECT_EQ(At(row.image, 20, 27), kPaper);
    row.ExpectStateKept();

    // The same pattern wherever the swatch lies.
    CDrawStyle pattern = solid;
    pattern.brushStyle = BS_PATTERN;
    pattern.hatch = 21;
    pattern.backColor = kRed;
    Row first(60, 40), moved(60, 40);
    DrawFillSample(pattern, first.dc, CRect(0, 0, 50, 30));
    DrawFillSample(pattern, moved.dc, CRect(3, 5, 53, 35));
    const QImage inside = first.image.copy(6, 4, 38, 22);
    EXPECT_EQ(Colours(first.image, CRect(6, 4, 44, 26)), (std::set<COLORREF>{kRed, kBlue}));
    EXPECT_TRUE(inside == moved.image.copy(9, 9, 38, 22));
    EXPECT_FALSE(inside == first.image.copy(9, 9, 38, 22)) << "the pattern is one that shows a shift";
    moved.ExpectStateKept();
}

TEST(StyleSamples, PointsAndTracksDrawTheirSymbolAtTheCentreATrackOverItsLine)
{
    CRecordingSymbols symbols;
    CTrackStyle track;
    track.symbol = 118;
    track.penColor = kRed;
    Row row;
    DrawSample(track, row.dc, CRect(10, 10, 110, 30));
    ASSERT_EQ(g_symbols.size(), 1u);
    EXPECT_EQ(g_symbols[0].at, CPoint(60, 20));
    EXPECT_EQ(g_symbols[0].style.symbol, 118);
    EXPECT_EQ(g_symbols[0].style.kind, CPointStyle::kLibrary);
    EXPECT_EQ(g_symbols[0].under, kRed) << "the line first";
    EXPECT_EQ(At(row.image, 30, 20), kRed);
    row.ExpectStateKept();

    track.lineShown = 0;
    Row bare;
    DrawSample(track, bare.dc, CRect(10, 10, 110, 30));
    ASSERT_EQ(g_symbols.size(), 2u);
    EXPECT_EQ(g_symbols[1].under, kPaper);
    EXPECT_EQ(Colours(bare.image, CRect(0, 0, 120, 40)), (std::set<COLORREF>{kPaper, kGreen}));

    CPointStyle point;
    point.symbol = 'A';
    point.kind = CPointStyle::kFontCharacter;
    point.color = kBlue;
    DrawSample(point, bare.dc, CRect(20, 0, 0, 40));
    ASSERT_EQ(g_symbols.size(), 3u);
    EXPECT_EQ(g_symbols[2].at, CPoint(10, 20));
    EXPECT_EQ(g_symbols[2].style.symbol, 'A');
    EXPECT_EQ(g_symbols[2].style.color, kBlue);
    bare.ExpectStateKept();
}

TEST(StyleSamples, WithoutAnotherDrawerPointsDrawThroughTheSymbolLibrary)
{
    Row row;
    DrawSample(CPointStyle(), row.dc, CRect(0, 0, 120, 40));
    EXPECT_EQ(Colours(row.image, CRect(0, 0, 120, 40)), (std::set<COLORREF>{kPaper, kBlack, kRed}))
        << "symbol 0, a red square";
    EXPECT_EQ(At(row.image, 60, 20), kRed);
    row.ExpectStateKept();
}

TEST(StyleSamples, AClassDrawsTheSwatchOfItsGeometryType)
{
    CRecordingSymbols symbols;
    struct Case {
        int geometryType;
        const char* drawn; // "symbol", "line", "fill" or "nothing"
    };
    const std::vector<Case> cases = {
        {0, "symbol"}, {10, "symbol"}, {1, "line"}, {2, "fill"}, {4, "fill"}, {3, "nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("geometry " + std::to_string(c.geometryType));
        g_symbols.clear();
        CThemeClassList classes;
        classes.AddClass(c.geometryType);
        classes.AddClass(c.geometryType);
        const std::string drawn = c.drawn;
        if (drawn == "symbol") {
            CPointStyle point;
            point.symbol = 7;
            classes.GetClass(1)->m_style = point;
        } else {
            CDrawStyle style = Pen(PS_SOLID, 0, kRed);
            style.brushColor = kBlue;
            classes.GetClass(1)->m_style = style;
        }
        Row row(100, 40);
        DrawClassSample(classes, c.geometryType, 1, row.dc, CRect(0, 0, 100, 40));
        DrawClassSample(classes, c.geometryType, 2, row.dc, CRect(0, 0, 100, 40));
        EXPECT_EQ(g_symbols.size(), drawn == "symbol" ? 1u : 0u);
        if (!g_symbols.empty()) {
            EXPECT_EQ(g_symbols[0].style.symbol, 7);
        }
        EXPECT_EQ(At(row.image, 23, 20) == kRed, drawn == "line") << "on the zigzag";
        EXPECT_EQ(At(row.image, 20, 15) == kBlue, drawn == "fill") << "inside the fill";
        if (drawn == "nothing") {
            EXPECT_EQ(Colours(row.image, CRect(0, 0, 100, 40)), (std::set<COLORREF>{kPaper}));
        }
        row.ExpectStateKept();
    }
}
