#include "tests/layers/GridTestSupport.h"

#include "layers/DtmLayer.h"
#include "layers/DtmLayerPropertySheet.h"
#include "layers/Sublayer.h"
#include "layers/ThemeClassList.h"
#include "platform/DC.h"
#include "platform/DrawInterrupt.h"
#include "tests/layers/LayerTestSupport.h"
#include "tests/render/FakeDrawingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <vector>

// Elevation layers drawn through a view of one map unit a pixel (map y
// upwards from the top edge at 0), probed by pixel.

namespace {

constexpr COLORREF kPaper = RGB(10, 20, 30);

// A view that covers only a part of its picture, so what a tile paints
// past the view's edge can be seen.
class CPartView : public CFakeDrawingView {
public:
    CPartView(int width, int height, const CMapRect& part) : CFakeDrawingView(width, height, kPaper), shown(part) {}
    CMapRect GetMapExtent() const override { return shown; }

    CMapRect shown;
};

// Up to 9 red, 19 green, 29 blue, other values black.
void SetTestClasses(CDtmLayer& layer)
{
    CThemeClassList& classes = *layer.GetHeightClasses();
    classes.SetKind(false, true);
    const std::pair<double, COLORREF> bounds[] = {{9, kRed}, {19, kGreen}, {29, kBlue}};
    const auto fill = [](COLORREF colour) {
        CDrawStyle style;
        style.brushColor = colour;
        return style;
    };
    for (int i = 0; i < 3; ++i)
        classes.InsertRangeClass(i, CLayer::kElevation, -DBL_MAX, bounds[i].first)->m_style = fill(bounds[i].second);
    classes.AddClass(CLayer::kElevation)->m_style = fill(kBlack);
}

// A grid of type 4 from (x0, y0) to (x1, y1), the rows running from y0,
// the cells row by row.
GridBytes Tile(double x0, double y0, double x1, double y1, uint16_t columns, std::vector<uint32_t> cells)
{
    GridBytes grid;
    grid.type = CGridFile::kInt16;
    grid.columns = columns;
    grid.rows = static_cast<uint16_t>(cells.size() / columns);
    grid.xFirst = x0;
    grid.xLast = x1;
    grid.yFirst = y0;
    grid.yLast = y1;
    grid.cells = std::move(cells);
    return grid;
}

// Every cell of row r holding values[r].
std::vector<uint32_t> RowsOf(uint16_t columns, const std::vector<uint32_t>& values)
{
    std::vector<uint32_t> cells;
    for (uint32_t value : values)
        cells.insert(cells.end(), columns, value);
    return cells;
}

class DtmLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDrawStopFlag(0);
        view.PrepareDCMapping(dc);
        view.PrepareDCMapping(back);
        SetTestClasses(layer);
    }
    void TearDown() override { SetDrawStopFlag(0); }

    std::string Write(const std::string& name, const GridBytes& grid)
    {
        const std::vector<unsigned char> bytes = grid.Bytes();
        const std::string path = dir.File(name);
        WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
        return path;
    }

    COLORREF Pixel(double x, double y, bool inBack = false)
    {
        dc.Flush();
        back.Flush();
        return At(inBack ? view.backBuffer : view.window, static_cast<int>(x), static_cast<int>(-y));
    }

    CTempDir dir;
    CScriptedUserServices user;
    CScriptedStyleSource styles;
    CPartView view{100, 80, CMapRect(0, 0, 60, -80)};
    CDC dc{view.window};
    CDC back{view.backBuffer};
    CDtmLayer layer{"Reljefas", ""};
};

TEST_F(DtmLayerTest, TilesMeetingTheViewPaintTheirPartInsideItInOrderIntoBothContexts)
{
    view.memoryDC = &back;
    // Red at the north-west; green reaching past the view's right edge at
    // 60, added without an extent; blue over the red one's east half,
    // drawn after it; south-first rows red in the south and blue in the
    // north; a tile that is gone; one far away that is never opened.
    layer.AddFile(Write("west.rmp", Tile(10, -10, 30, -30, 3, RowsOf(3, {5, 5, 5}))));
    const CMapRect westExtent(10, -10, 30, -30);
    layer.Files()[0].extent = westExtent;
    layer.AddFile(Write("east.rmp", Tile(40, -10, 90, -30, 6, RowsOf(6, {15, 15, 15}))));
    const std::string over = Write("over.rmp", Tile(20, -10, 30, -30, 2, RowsOf(2, {25, 25, 25})));
    const CMapRect overExtent(20, -10, 30, -30);
    layer.AddFile(over, &overExtent);
    layer.AddFile(Write("south.rmp", Tile(10, -70, 30, -50, 3, RowsOf(3, {5, 15, 25}))));
    const std::string gone = dir.File("gone.rmp");
    const CMapRect goneExtent(40, -50, 50, -70);
    layer.AddFile(gone, &goneExtent);
    const CMapRect away(500, -10, 600, -70);
    layer.AddFile(dir.File("away.rmp"), &away);

    for (int pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        layer.Draw(dc, view);
        const struct {
            const char* what;
            double x, y;
            COLORREF colour;
        } probes[] = {
            {"the west tile", 12, -20, kRed},
            {"the tile drawn over it", 25, -20, kBlue},
            {"the east tile in the view", 55, -20, kGreen},
            {"the east tile past the view", 65, -20, kPaper},
            {"between the tiles", 35, -20, kPaper},
            {"the south-first tile's north", 20, -51, kBlue},
            {"its middle", 20, -60, kGreen},
            {"its south", 20, -69, kRed},
            {"where the gone tile would be", 45, -60, kPaper},
        };
        for (bool inBack : {false, true})
            for (const auto& p : probes)
                EXPECT_EQ(Pixel(p.x, p.y, inBack), p.colour) << p.what << (inBack ? " in the memory context" : "");
        // Each tile's extent as its file says, the south-first one upside down.
        EXPECT_EQ(layer.Files()[1].extent, CMapRect(40, -10, 90, -30));
        EXPECT_EQ(layer.Files()[3].extent, CMapRect(10, -70, 30, -50));
        EXPECT_EQ(layer.Files()[4].extent, goneExtent);
        EXPECT_EQ(layer.Files()[5].extent, away);
    }
    // The gone tile is told of once, the far one never.
    ASSERT_EQ(user.MessageIds(), std::vector<unsigned>{1007});
    EXPECT_NE(user.messages[0].text.find(gone), std::string::npos);

    // The south-first tile, its extent stored upside down, still meets a
    // view that reaches only into it.
    view.window.fill(QColor(10, 20, 30));
    view.shown = CMapRect(0, -55, 60, -80);
    layer.Draw(dc, view);
    EXPECT_EQ(Pixel(20, -60), kGreen);
    EXPECT_EQ(Pixel(20, -51), kPaper) << "above the view";
    view.shown = CMapRect(0, 0, 60, -80);

    // Tiles are painted anew each pass; a stop pending paints none.
    view.window.fill(QColor(10, 20, 30));
    SetDrawStopFlag(1);
    layer.Draw(dc, view);
    EXPECT_EQ(Pixel(12, -20), kPaper);
    SetDrawStopFlag(0);
    layer.Draw(dc, view);
    EXPECT_EQ(Pixel(12, -20), kRed);
}

TEST_F(DtmLayerTest, TheFirstSublayersGridFlagBlendsNeighbouringCells)
{
    // Two columns 40 units apart: red 5 and blue 25, green 15 halfway.
    layer.AddFile(Write("pair.rmp", Tile(10, -10, 50, -20, 2, {5, 25, 5, 25})));
    const auto row = [&] {
        view.window.fill(QColor(10, 20, 30));
        layer.Draw(dc, view);
        return std::vector<COLORREF>{Pixel(12, -15), Pixel(29, -15), Pixel(48, -15)};
    };
    EXPECT_EQ(row(), (std::vector<COLORREF>{kRed, kRed, kBlue})) << "the nearest cell";
    layer.GetSublayer(0)->m_labelFlags |= CSublayer::kInterpolateGrid;
    EXPECT_EQ(row(), (std::vector<COLORREF>{kRed, kGreen, kBlue})) << "blended";

    // Without height classes nothing is painted, and nothing is said.
    layer.GetHeightClasses()->SetKind(false, false);
    EXPECT_EQ(row(), (std::vector<COLORREF>{kPaper, kPaper, kPaper}));
    EXPECT_TRUE(user.messages.empty());
}

// The sheet as a test answers it, recording what it was given.
class CScriptedSheet : public IDtmLayerPropertySheet {
public:
    CScriptedSheet() { SetDtmLayerPropertySheet(this); }
    ~CScriptedSheet() override { SetDtmLayerPropertySheet(nullptr); }
    bool Run(CDtmLayer& layer, CDrelDoc* document, int pageGroup) override
    {
        calls.push_back({&layer, document, pageGroup});
        if (ok)
            layer.SetName("Pakeistas");
        return ok;
    }
    struct Call {
        CDtmLayer* layer;
        CDrelDoc* document;
        int pageGroup;
    };
    std::vector<Call> calls;
    bool ok = false;
};

TEST_F(DtmLayerTest, PropertiesAreEditedInTheElevationSheetWithPageGroupsZeroAndThree)
{
    // No sheet installed: cancelled.
    EXPECT_FALSE(layer.EditProperties(nullptr, -1));

    CScriptedSheet sheet;
    int somewhere = 0;
    auto* document = reinterpret_cast<CDrelDoc*>(&somewhere); // only passed on, never used
    for (int group : {-1, 0, 1, 2, 3, 7})
        EXPECT_FALSE(layer.EditProperties(document, group));
    std::vector<int> groups;
    for (const auto& run : sheet.calls) {
        EXPECT_EQ(run.layer, &layer);
        EXPECT_EQ(run.document, document);
        groups.push_back(run.pageGroup);
    }
    EXPECT_EQ(groups, (std::vector<int>{-1, 0, -1, -1, 3, -1}));
    EXPECT_EQ(layer.GetName(), "Reljefas");

    sheet.ok = true;
    EXPECT_TRUE(layer.EditProperties(document, 3));
    EXPECT_EQ(layer.GetName(), "Pakeistas");
}

} // namespace
