// The value tip of elevation and field-strength layers on a map view of
// known transform: 400 x 200 pixels over 2000 x 1000 metres, grid tiles
// of cells 100 m apart written by the tests.
#include "layers/DtmLayer.h"

#include "layers/GridFile.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/TextOverlay.h"
#include "platform/DC.h"
#include "platform/WindowSurface.h"
#include "tests/layers/GridTestSupport.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class CSurfaceWindow : public CRecordingWindow {
public:
    CWindowSurface* GetSurface() override { return &surface; }
    CWindowSurface surface{400, 200, 96};
};

// Five columns and three rows from (x0, 700) southwards, 100 m apart.
GridBytes Tile(int16_t type, double x0, std::vector<uint32_t> cells)
{
    GridBytes grid;
    grid.type = type;
    grid.columns = 5;
    grid.rows = 3;
    grid.xFirst = x0;
    grid.xLast = x0 + 400;
    grid.cellWidth = 100;
    grid.yFirst = 700;
    grid.yLast = 500;
    grid.cellHeight = 100;
    grid.cells = std::move(cells);
    return grid;
}

class ValueTipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        view.SetWindow(&window);
        view.OnSize(400, 200);
        view.ZoomToRect(CMapRect(0, 1000, 2000, 0), 0);
    }
    std::string Write(const std::string& name, const GridBytes& grid)
    {
        const std::vector<unsigned char> bytes = grid.Bytes();
        const std::string path = dir.File(name);
        WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
        return path;
    }
    // The text of the tip shown, empty when none is.
    std::string Tip()
    {
        if (view.GetOverlayCount() != 2)
            return {};
        const auto* marker = dynamic_cast<const CPointOverlay*>(view.GetOverlay(0));
        const auto* text = dynamic_cast<const CTextOverlay*>(view.GetOverlay(1));
        return marker && text ? text->GetText() : std::string();
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CSurfaceWindow window;
    CTempDir dir;
    CDrelDoc doc;
    CDrelView view{doc};
};

} // namespace

TEST_F(ValueTipTest, TextsByTheLayersKindOfValue)
{
    // Row 0 holds 150, 4095 (no data), 4567, 1234, 0.
    const std::vector<uint32_t> cells = {150, 4095, 4567, 1234, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2};
    const std::string packed = Write("packed.rmp", Tile(CGridFile::kPacked2, 1000, cells));
    const std::string hundredths = Write("hundredths.rmp", Tile(CGridFile::kHundredths, 1000, cells));
    const std::string plain = Write("plain.rmp", Tile(CGridFile::kInt16, 1000, cells));
    const struct {
        const char* name;
        std::string path;
        uint32_t flags;
        CMapPoint at;
        const char* tip; // empty: a beep and no tip
    } cases[] = {
        {"an elevation", packed, 0, {1000, 700}, "150 m"},
        {"the nearest cell", packed, 0, {1040, 660}, "150 m"},
        {"a field strength in hundredths", hundredths, CLayer::kFieldStrength, {1200, 700}, "45.67 dB(uV/m)"},
        {"a plain number", plain, CLayer::kPlainValues, {1300, 700}, "1234"},
        {"a zero elevation", packed, 0, {1400, 700}, "0 m"},
        {"a cell without data", packed, 0, {1100, 700}, ""},
        {"outside the grid", packed, 0, {1600, 600}, ""},
    };
    for (const auto& c : cases) {
        CDtmLayer layer("Reljefas", "");
        layer.SetFlags(layer.GetFlags() | c.flags);
        layer.AddFile(c.path);
        view.AddOverlayPoint(CMapPoint(10, 10)); // an earlier mark
        const int beeps = user.beeps;
        const bool shown = layer.ShowObjectInfoAt(c.at, view);
        EXPECT_EQ(shown, *c.tip != 0) << c.name;
        if (*c.tip) {
            EXPECT_EQ(Tip(), c.tip) << c.name;
            EXPECT_EQ(dynamic_cast<const CPointOverlay*>(view.GetOverlay(0))->GetPoint(), c.at) << c.name;
            EXPECT_EQ(user.beeps, beeps) << c.name;
        } else {
            EXPECT_EQ(user.beeps, beeps + 1) << c.name;
            EXPECT_EQ(Tip(), "") << c.name;
        }
        view.ClearOverlays();
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(ValueTipTest, TheGridsOwnBoundsDecideAndTheSearchGoesOnToTheNextTile)
{
    const std::vector<uint32_t> east(15, 300), west(15, 40);
    CDtmLayer layer("Reljefas", "");
    // An entry without a stored extent holds every point until its grid
    // is open; a tile that does not open is passed over.
    layer.AddFile(Write("east.rmp", Tile(CGridFile::kPacked2, 1000, east)));
    layer.AddFile(dir.File("missing.rmp"));
    layer.AddFile(Write("west.rmp", Tile(CGridFile::kPacked2, 0, west)));

    EXPECT_TRUE(layer.ShowObjectInfoAt(CMapPoint(200, 600), view));
    EXPECT_EQ(Tip(), "40 m");
    EXPECT_TRUE(layer.ShowObjectInfoAt(CMapPoint(1200, 600), view));
    EXPECT_EQ(Tip(), "300 m");
    // Between the tiles no grid has a value: no "-1 m".
    EXPECT_FALSE(layer.ShowObjectInfoAt(CMapPoint(700, 600), view));
    EXPECT_EQ(user.beeps, 1);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1007}) << "the missing tile is told of once";

    // The extents are stored back as the tiles open: west lies outside
    // east's stored extent now.
    EXPECT_EQ(CGridFile::BoundsOf(layer.Files()[0].extent), CMapRect(1000, 700, 1400, 500));

    // The tip over the drawn grid, as the user sees it.
    doc.AddLayer(std::make_unique<CDtmLayer>("copy", ""), false);
    CDtmLayer& shown = static_cast<CDtmLayer&>(*doc.GetLayer(0));
    shown.Copy(layer);
    shown.SetDefaultClasses();
    QImage image(400, 200, QImage::Format_RGB32);
    image.setDotsPerMeterX(kPixelsPerMetre);
    image.setDotsPerMeterY(kPixelsPerMetre);
    image.fill(Qt::white);
    ASSERT_TRUE(shown.ShowObjectInfoAt(CMapPoint(1200, 600), view));
    {
        CDC dc(image);
        view.Redraw();
        view.OnDraw(dc);
    }
    const CPoint tip = view.MapToClient(CMapPoint(1200, 600));
    const CPoint cell = view.MapToClient(CMapPoint(1050, 550));
    // The cells of 300 m paint class 14.
    EXPECT_EQ(image.pixel(cell.x, cell.y), qRgb(0xEE, 0xB1, 0x26));
    int marker = 0;
    for (int y = tip.y + 6; y < tip.y + 33; ++y)
        for (int x = tip.x - 3; x < tip.x + 29; ++x)
            marker += image.pixel(x, y) != qRgb(0xEE, 0xB1, 0x26) && image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(marker, 50) << "the marker below the label";
    if (const char* out = std::getenv("DREL_SAVE_PICTURES"))
        image.save(QString::fromUtf8(out) + "/value-tip.png");
}
