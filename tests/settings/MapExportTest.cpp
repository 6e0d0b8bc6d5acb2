// The map picture export: its tile plan, the settings dialog's rules, the
// pictures and metafiles it writes and their georeference files.
#include "settings/MapExport.h"

#include "core/FileUtil.h"
#include "platform/MetaFile.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "settings/GeoreferenceFiles.h"
#include "settings/MapExportRules.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

COLORREF PixelOf(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

QImage Picture(const std::string& path)
{
    return QImage(QString::fromStdString(ResolvePath(path)));
}

// The bits per pixel a BMP file's header states.
int BmpBitCount(const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    return bytes.size() > 30 ? static_cast<unsigned char>(bytes[28]) | static_cast<unsigned char>(bytes[29]) << 8 : 0;
}

class MapExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        // 400 x 200 pixels show 4000 x 2000 metres: the left half green,
        // the right half red; ten metres a pixel.
        MakeTwoHalvesMap(doc, view, CMapRect(0, 2000, 4000, 0), CMapRect(0, 2000, 4000, 0), 2000);
        view.SetWindow(&window);
        view.OnSize(400, 200);
        view.ZoomToRect(CMapRect(0, 2000, 4000, 0), 0);
    }

    std::vector<std::string> Files() const { return FindMatchingFiles(dir.File("*")); }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
    CTestView view{doc};
    CTempDir dir;
};

} // namespace

TEST(MapExportTypes, TheFilterIndexSetsTheExtensionOnTheFileName)
{
    struct Case {
        const char* path;
        int type;
        const char* expected;
    };
    const Case cases[] = {
        {"/maps/town", kExportPng, "/maps/town.png"},
        {"/maps/town.bmp", kExportJpeg, "/maps/town.jpg"},
        {"/maps.2024/town", kExportTiff, "/maps.2024/town.tif"},
        {"/maps.2024/town.old.wmf", kExportEmf, "/maps.2024/town.old.emf"},
        {"C:\\maps.v2\\town", kExportWmf, "C:\\maps.v2\\town.wmf"},
        {"/maps/town", kExportBmp, "/maps/town.bmp"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithExportExtension(c.path, c.type), c.expected) << c.path;
    EXPECT_EQ(MapExportLayout(kExportWmf), 30802);
    EXPECT_EQ(MapExportLayout(kExportEmf), 30802);
    EXPECT_EQ(MapExportLayout(kExportPng), 359);
    EXPECT_EQ(MapExportExtension(7), nullptr);
}

TEST(MapExportTiles, PlansCutTheSizeToTheGridAndMoveTheEdgesIn)
{
    struct Case {
        const char* name;
        int width, height, columns, rows;
        CMapRect extent;
        int tileWidth, tileHeight;
        CMapRect cut; // the extent after the cut
    };
    const Case cases[] = {
        {"one tile", 640, 480, 1, 1, CMapRect(0, 480, 640, 0), 640, 480, CMapRect(0, 480, 640, 0)},
        {"2 x 2 even", 400, 200, 2, 2, CMapRect(0, 200, 400, 0), 200, 100, CMapRect(0, 200, 400, 0)},
        {"width not a multiple", 401, 200, 2, 1, CMapRect(0, 200, 401, 0), 200, 200, CMapRect(0, 200, 400, 0)},
        {"height not a multiple", 300, 101, 1, 3, CMapRect(0, 101, 300, 0), 300, 33, CMapRect(0, 101, 300, 2)},
        {"both", 103, 52, 5, 5, CMapRect(1000, 5200, 11300, 0), 20, 10, CMapRect(1000, 5200, 11000, 200)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CExportSettings settings;
        settings.useSize = 1;
        settings.width = c.width;
        settings.height = c.height;
        settings.useExtent = 1;
        settings.extent = c.extent;
        settings.columns = c.columns;
        settings.rows = c.rows;
        const auto tiles = PlanExportTiles(settings, CSize(1, 1), CMapRect(0, 1, 1, 0), "/out.d/map.png");
        ASSERT_EQ(tiles.size(), static_cast<size_t>(c.columns * c.rows));
        const double w = (c.cut.right - c.cut.left) / c.columns, h = (c.cut.top - c.cut.bottom) / c.rows;
        for (int i = 0; i < c.rows; ++i)
            for (int j = 0; j < c.columns; ++j) {
                const CExportTile& tile = tiles[static_cast<size_t>(i * c.columns + j)];
                EXPECT_EQ(tile.path, tiles.size() == 1 ? std::string("/out.d/map.png")
                                                       : "/out.d/map_" + std::to_string(i + 1) + "_" +
                                                             std::to_string(j + 1) + ".png");
                EXPECT_EQ(tile.width, c.tileWidth);
                EXPECT_EQ(tile.height, c.tileHeight);
                EXPECT_DOUBLE_EQ(tile.extent.left, c.cut.left + j * w);
                EXPECT_DOUBLE_EQ(tile.extent.right, c.cut.left + (j + 1) * w);
                EXPECT_DOUBLE_EQ(tile.extent.top, c.cut.top - i * h);
                EXPECT_DOUBLE_EQ(tile.extent.bottom, c.cut.top - (i + 1) * h);
            }
    }
}

TEST(MapExportTiles, WithoutItsSwitchTheSettingsExtentGivesWayToTheViews)
{
    CExportSettings settings; // extent all 0, switches off
    settings.columns = 2;
    const auto tiles = PlanExportTiles(settings, CSize(400, 200), CMapRect(0, 2000, 4000, 0), "/m/a.bmp");
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_EQ(tiles[0].path, "/m/a_1_1.bmp");
    EXPECT_EQ(tiles[1].path, "/m/a_1_2.bmp");
    EXPECT_DOUBLE_EQ(tiles[1].extent.left, 2000);
    EXPECT_DOUBLE_EQ(tiles[1].extent.right, 4000);
    EXPECT_DOUBLE_EQ(tiles[1].extent.top, 2000);
    EXPECT_EQ(tiles[1].width, 200);
}

TEST(MapExportRules, ChoicesGiveTheirValues)
{
    EXPECT_EQ(ResolutionOfChoice(0, 5, 120), 120u);
    EXPECT_EQ(ResolutionOfChoice(1, 5, 120), 72u);
    EXPECT_EQ(ResolutionOfChoice(5, 5, 120), 300u);
    EXPECT_EQ(ResolutionOfChoice(kUserResolution, 5, 120), 5u);
    struct Case {
        int choice;
        double typed, view, expected;
    };
    const Case scales[] = {
        {0, 7, 12345.6, 12346}, {0, 7, 100.4, 100},     {0, 7, 99.456, 99.5},
        {0, 7, 0.012345, 0.0123}, {1, 7, 5, 500},       {4, 7, 5, 5000},
        {11, 7, 5, 1000000},    {kUserScale, 7, 5, 7},
    };
    for (const Case& c : scales)
        EXPECT_DOUBLE_EQ(ScaleOfChoice(c.choice, c.typed, c.view), c.expected) << c.choice << " " << c.view;
}

TEST(MapExportRules, ByteCountsGroupThreeDigits)
{
    const std::pair<long long, const char*> cases[] = {
        {0, "0"},           {999, "999"},           {1000, "1.000"},
        {500000, "500.000"}, {1500000, "1.500.000"}, {768000000, "768.000.000"},
        {2147483647, "2.147.483.647"},
    };
    for (const auto& [count, text] : cases)
        EXPECT_EQ(FormatByteCount(count), text);
}

TEST(MapExportRules, PreviewShowsSizeAndTileBytes)
{
    CExportViewInfo view;
    view.client = CSize(1000, 500);
    view.screenDpi = 96;
    view.scale = 10000;
    // Ten metres a pixel at 96 dpi: map units per thousandth of an inch.
    view.printScaleX = 10 * 96 / 1000.0;
    view.printScaleY = -10 * 96 / 1000.0;
    view.visible = CMapRect(0, 5000, 10000, 0);
    view.limits = CMapRect(0, 10000, 20000, 0);

    struct Case {
        const char* name;
        void (*change)(CMapExportValues&);
        const char* size;
        const char* bytes;
    };
    const Case cases[] = {
        {"the view as it is", [](CMapExportValues&) {}, "1000x500 piks. (26.5x13.2 cm)", "1.500.000"},
        {"256 colours", [](CMapExportValues& v) { v.colourIndex = 1; }, "1000x500 piks. (26.5x13.2 cm)", "500.000"},
        {"96 dpi chosen", [](CMapExportValues& v) { v.resolutionChoice = 2; }, "1000x500 piks. (26.5x13.2 cm)",
         "1.500.000"},
        {"the whole map", [](CMapExportValues& v) { v.extentChoice = 1; }, "2000x1000 piks. (52.9x26.5 cm)",
         "6.000.000"},
        {"twice the denominator", [](CMapExportValues& v) { v.scaleChoice = kUserScale, v.scale = 20000; },
         "500x250 piks. (13.2x6.6 cm)", "375.000"},
        {"300 dpi in 2 x 2 tiles",
         [](CMapExportValues& v) {
             v.resolutionChoice = 5;
             v.rows = v.columns = 2;
         },
         "3125x1563 piks. (26.5x13.2 cm)", "3.659.766"},
        {"a tile over 16000 pixels wide",
         [](CMapExportValues& v) {
             v.extentChoice = kUserExtent;
             v.left = 0, v.right = 400000, v.bottom = 0, v.top = 10;
             v.columns = 2;
         },
         "40000x1 piks. (1058.3x0.0 cm)", ""},
        {"top below bottom",
         [](CMapExportValues& v) {
             v.extentChoice = kUserExtent;
             v.left = 0, v.right = 100, v.bottom = 50, v.top = 10;
         },
         "", ""},
        {"no resolution", [](CMapExportValues& v) { v.resolutionChoice = kUserResolution, v.dpi = 0; }, "", ""},
        {"no scale", [](CMapExportValues& v) { v.scaleChoice = kUserScale, v.scale = 0; }, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMapExportValues values;
        c.change(values);
        ApplyResolutionChoice(values, view);
        ApplyScaleChoice(values, view);
        ApplyExtentChoice(values, view);
        const CExportPreview preview = ComputeExportPreview(values, view);
        EXPECT_EQ(preview.sizeText, c.size);
        EXPECT_EQ(preview.bytesText, c.bytes);
    }
}

TEST(MapExportRules, AChoiceOtherThanTheFirstTurnsItsSwitchOn)
{
    CExportViewInfo view;
    view.client = CSize(400, 200);
    view.scale = 10000;
    view.printScaleX = 0.96;
    view.printScaleY = -0.96;
    view.visible = CMapRect(0, 2000, 4000, 0);
    view.limits = CMapRect(0, 4000, 8000, 0);

    CMapExportValues values;
    ApplyResolutionChoice(values, view);
    ApplyScaleChoice(values, view);
    ApplyExtentChoice(values, view);
    CExportSettings settings = ExportSettingsFrom(values, view);
    EXPECT_FALSE(settings.UsesOwnPicture());
    EXPECT_EQ(settings.scale, 0);
    EXPECT_EQ(settings.width, 400);
    EXPECT_EQ(settings.metafileOption, 1);

    values.extentChoice = 1;
    values.resolutionChoice = 5;
    values.colourIndex = 1;
    values.transparent = 1;
    values.georeference = 1;
    values.columns = 3;
    ApplyResolutionChoice(values, view);
    ApplyExtentChoice(values, view);
    settings = ExportSettingsFrom(values, view);
    EXPECT_TRUE(settings.useExtent);
    EXPECT_TRUE(settings.useResolution);
    EXPECT_FALSE(settings.useSize);
    EXPECT_EQ(settings.dpi, 300);
    EXPECT_EQ(settings.scale, 10000);
    EXPECT_EQ(settings.width, 2500);
    EXPECT_EQ(settings.height, 1250);
    EXPECT_DOUBLE_EQ(settings.extent.right, 8000);
    EXPECT_DOUBLE_EQ(settings.extent.top, 4000);
    EXPECT_EQ(settings.colourReduction, 1);
    EXPECT_EQ(settings.columns, 3);
    EXPECT_EQ(settings.georeference, 1);
    EXPECT_EQ(settings.metafileOption, 0);

    values = CMapExportValues();
    values.scaleChoice = 3;
    ApplyResolutionChoice(values, view);
    ApplyScaleChoice(values, view);
    ApplyExtentChoice(values, view);
    settings = ExportSettingsFrom(values, view);
    EXPECT_TRUE(settings.useSize);
    EXPECT_EQ(settings.scale, 2000);
    EXPECT_EQ(settings.width, 2000);
}

TEST_F(MapExportTest, UntouchedSettingsGiveOnePictureOfTheClientArea)
{
    const std::string path = dir.File("map.bmp");
    CHeldMessages held;
    ASSERT_TRUE(WriteMapExport(view, path, kExportBmp, CExportSettings()));
    EXPECT_TRUE(held.Messages().empty());
    EXPECT_EQ(Files(), std::vector<std::string>{"map.bmp"}) << "no tile suffix, no side files";
    EXPECT_EQ(BmpBitCount(path), 24);
    const QImage picture = Picture(path);
    ASSERT_EQ(picture.size(), QSize(400, 200));
    EXPECT_EQ(PixelOf(picture, 100, 100), kLeftHalfColour);
    EXPECT_EQ(PixelOf(picture, 300, 100), kRightHalfColour);
}

TEST_F(MapExportTest, EveryPictureTypeIsWritten)
{
    for (const int type : {kExportBmp, kExportPng, kExportJpeg, kExportTiff})
        for (const int reduce : {0, 1}) {
            SCOPED_TRACE(std::to_string(type) + (reduce ? " reduced" : ""));
            CExportSettings settings;
            settings.colourReduction = reduce;
            const std::string path =
                WithExportExtension(dir.File("map" + std::to_string(type) + "_" + std::to_string(reduce)), type);
            CHeldMessages held;
            // A reduced JPEG stays 24 bits: its writer takes no other.
            ASSERT_TRUE(WriteMapExport(view, path, type, settings));
            EXPECT_TRUE(held.Messages().empty());
            if (type == kExportTiff) {
                EXPECT_EQ(ReadWholeFile(path).substr(0, 4), std::string("MM\0*", 4));
                continue;
            }
            const QImage picture = Picture(path);
            ASSERT_EQ(picture.size(), QSize(400, 200));
            if (type != kExportJpeg) {
                EXPECT_EQ(PixelOf(picture, 300, 150), kRightHalfColour);
            }
            if (type == kExportBmp) {
                EXPECT_EQ(BmpBitCount(path), reduce ? 8 : 24);
            }
        }
}

TEST_F(MapExportTest, TilesCarryTheirPartOfTheMapAndTheirSideFiles)
{
    CExportSettings settings;
    settings.columns = 2;
    settings.rows = 2;
    settings.georeference = 1;
    ASSERT_TRUE(WriteMapExport(view, dir.File("map.png"), kExportPng, settings));
    EXPECT_EQ(Files(), (std::vector<std::string>{"map_1_1.MET", "map_1_1.NAV", "map_1_1.png", "map_1_1.TAB",
                                                 "map_1_1.WLD", "map_1_2.MET", "map_1_2.NAV", "map_1_2.png",
                                                 "map_1_2.TAB", "map_1_2.WLD", "map_2_1.MET", "map_2_1.NAV",
                                                 "map_2_1.png", "map_2_1.TAB", "map_2_1.WLD", "map_2_2.MET",
                                                 "map_2_2.NAV", "map_2_2.png", "map_2_2.TAB", "map_2_2.WLD"}));
    for (const char* name : {"map_1_1.png", "map_2_1.png", "map_1_2.png", "map_2_2.png"}) {
        SCOPED_TRACE(name);
        const QImage tile = Picture(dir.File(name));
        ASSERT_EQ(tile.size(), QSize(200, 100));
        const COLORREF colour = name[6] == '1' ? kLeftHalfColour : kRightHalfColour;
        for (const int x : {1, 100, 198})
            for (const int y : {1, 50, 98})
                EXPECT_EQ(PixelOf(tile, x, y), colour) << x << "," << y;
    }
    // The bottom right tile: 2000..4000 by 0..1000 metres.
    EXPECT_EQ(ReadWholeFile(dir.File("map_2_2.WLD")), "       10.00000000000000\r\n"
                                                      "        0.00000000000000\r\n"
                                                      "        0.00000000000000\r\n"
                                                      "      -10.00000000000000\r\n"
                                                      "     2005.00000000000000\r\n"
                                                      "      995.00000000000000");
    EXPECT_EQ(ReadWholeFile(dir.File("map_2_2.NAV")),
              "x1=0\r\ny1=0\r\nlat1=2000.00000\r\nlon1=1000.00000\r\nx2=199\r\ny2=99\r\nlat2=4000.00000\r\n"
              "lon2=0.00000\r\nsx=100\r\nsy=50\r\n");
}

TEST_F(MapExportTest, OwnExtentAndResolutionDrawThatExtentAtThatSize)
{
    CExportViewInfo info = ExportViewInfo(view);
    CMapExportValues values;
    values.resolutionChoice = 1; // 72 dpi
    values.extentChoice = kUserExtent;
    values.left = 1000, values.right = 3000, values.bottom = 500, values.top = 1500;
    ApplyResolutionChoice(values, info);
    ApplyScaleChoice(values, info);
    const CExportSettings settings = ExportSettingsFrom(values, info);
    ASSERT_EQ(settings.width, 150); // 200 screen pixels at 72 of 96 dpi
    ASSERT_EQ(settings.height, 75);
    ASSERT_TRUE(WriteMapExport(view, dir.File("part.bmp"), kExportBmp, settings));
    const QImage picture = Picture(dir.File("part.bmp"));
    ASSERT_EQ(picture.size(), QSize(150, 75));
    EXPECT_EQ(picture.dotsPerMeterX(), 2835); // 72 dpi
    EXPECT_EQ(PixelOf(picture, 70, 40), kLeftHalfColour);
    EXPECT_EQ(PixelOf(picture, 80, 40), kRightHalfColour);
}

TEST_F(MapExportTest, MetafilesTakeTheExtentOnlyWithItsSwitch)
{
    const auto frameWidth = [&](const CExportSettings& settings, int type) {
        const std::string path = WithExportExtension(dir.File("map"), type);
        EXPECT_TRUE(WriteMapExport(view, path, type, settings));
        CMetaFile file;
        EXPECT_TRUE(file.Load(path));
        return type == kExportEmf ? file.GetEnhHeader().frame.Width() : file.GetPlaceableHeader().boundingBox.Width();
    };
    for (const int type : {kExportEmf, kExportWmf}) {
        SCOPED_TRACE(type);
        CExportSettings settings;
        const int whole = frameWidth(settings, type);
        settings.extent = CMapRect(0, 2000, 2000, 0);
        EXPECT_EQ(frameWidth(settings, type), whole) << "the switch is off";
        settings.useExtent = 1;
        EXPECT_NEAR(frameWidth(settings, type), whole / 2, 1);
        settings.scale = view.GetScaleDenominator() * 2;
        EXPECT_NEAR(frameWidth(settings, type), whole / 4, 1);
    }
    // The transparent flag leaves out the white background.
    CExportSettings settings;
    view.ZoomToRect(CMapRect(0, 4000, 4000, 0), 0);
    for (const int transparent : {0, 1}) {
        settings.metafileOption = transparent ? 0 : 1;
        ASSERT_TRUE(WriteMapExport(view, dir.File("map.emf"), kExportEmf, settings));
        CMetaFile emf;
        ASSERT_TRUE(emf.Load(dir.File("map.emf")));
        QImage played(400, 200, QImage::Format_RGB32);
        played.fill(QColor(128, 128, 128));
        {
            CDC dc(played);
            ASSERT_TRUE(emf.Play(dc, CRect(0, 0, 400, 200)));
        }
        EXPECT_EQ(PixelOf(played, 200, 20), transparent ? RGB(128, 128, 128) : RGB(255, 255, 255));
    }
}

TEST_F(MapExportTest, APictureTooLargeForMemoryIsReportedAndTheOldFileStays)
{
    const std::string path = dir.File("map.png");
    WriteWholeFile(path, "old");
    CExportSettings settings;
    settings.useSize = 1;
    settings.width = 100000;
    settings.height = 100000;
    settings.scale = view.GetScaleDenominator();
    settings.dpi = 96;
    CHeldMessages held;
    EXPECT_FALSE(WriteMapExport(view, path, kExportPng, settings));
    ASSERT_EQ(held.Messages().size(), 1u);
    EXPECT_EQ(held.Messages()[0].text, LoadString(1005));
    EXPECT_EQ(ReadWholeFile(path), "old");
}

TEST_F(MapExportTest, TilesWrittenBeforeAFailureStay)
{
    // The second tile's name is taken by a folder: its writer fails and
    // tells why; the first tile is whole.
    ASSERT_TRUE(MakeFolder(dir.File("map_1_2.png")));
    CExportSettings settings;
    settings.columns = 2;
    CHeldMessages held;
    EXPECT_FALSE(WriteMapExport(view, dir.File("map.png"), kExportPng, settings));
    EXPECT_FALSE(held.Messages().empty());
    EXPECT_EQ(Picture(dir.File("map_1_1.png")).size(), QSize(200, 200));
}

TEST_F(MapExportTest, AMetafileThatCannotBeWrittenIsReported)
{
    const std::string path = dir.File("no folder/map.emf");
    CHeldMessages held;
    EXPECT_FALSE(WriteMapExport(view, path, kExportEmf, CExportSettings()));
    ASSERT_EQ(held.Messages().size(), 1u);
    EXPECT_EQ(held.Messages()[0].text, LoadStringArg(1007, path));
}

TEST_F(MapExportTest, TheCommandAsksForTheFileThenTheSettings)
{
    const int before = MapExportFilterIndex();
    std::vector<std::string> steps;
    CMapExportPrompts prompts;
    prompts.askFile = [&](std::string& path, int& index) {
        steps.push_back("file " + std::to_string(index));
        path = dir.File("town.dir/view");
        index = kExportTiff;
        return true;
    };
    prompts.editSettings = [&](int layout, CDrelView&, CExportSettings&) {
        steps.push_back("settings " + std::to_string(layout));
        return false;
    };
    ASSERT_TRUE(MakeFolder(dir.File("town.dir")));
    MapExportFilterIndex() = kExportPng;
    ExportMap(view, prompts);
    EXPECT_TRUE(FindMatchingFiles(dir.File("town.dir/*")).empty()) << "cancelled";
    prompts.editSettings = [&](int layout, CDrelView&, CExportSettings&) {
        steps.push_back("settings " + std::to_string(layout));
        return true;
    };
    ExportMap(view, prompts);
    EXPECT_EQ(FindMatchingFiles(dir.File("town.dir/*")), std::vector<std::string>{"view.tif"});
    prompts.askFile = [&](std::string&, int& index) {
        steps.push_back("file " + std::to_string(index));
        return false;
    };
    ExportMap(view, prompts);
    EXPECT_EQ(steps, (std::vector<std::string>{"file 4", "settings 359", "file 6", "settings 359", "file 6"}));
    MapExportFilterIndex() = before;
}

TEST(GeoreferenceFiles, MetricMapOneTile)
{
    const CMapRect extent(500000.5, 6100000, 501000.5, 6099500);
    EXPECT_EQ(WorldFileText(extent, 1000, 500), "        1.00000000000000\n"
                                                "        0.00000000000000\n"
                                                "        0.00000000000000\n"
                                                "       -1.00000000000000\n"
                                                "   500001.00000000000000\n"
                                                "  6099999.50000000000000");
    EXPECT_EQ(TabFileText("map.png", extent, 1000, 500, false),
              "!table\n!version 300\n!charset WindowsBalticRim\n\nDefinition Table\n"
              "  File \"map.png\"\n  Type \"RASTER\"\n"
              "  (500000.5000000000,6100000.0000000000) (0,0) Label \"Pt 1\",\n"
              "  (501000.5000000000,6100000.0000000000) (999,0) Label \"Pt 2\",\n"
              "  (501000.5000000000,6099500.0000000000) (999,499) Label \"Pt 3\",\n"
              "  (500000.5000000000,6099500.0000000000) (0,499) Label \"Pt 4\"\n"
              "  CoordSys NonEarth\n  Units \"m\"\n");
    EXPECT_EQ(MetFileText("map.png", extent, 1000, 500, false),
              "\"map.png\"\n(500000.5000000000, 6100000.0000000000) (0,0)\n"
              "(501000.5000000000, 6099500.0000000000) (999,499)\n");
    EXPECT_EQ(NavFileText(extent, 1000, 500), "x1=0\ny1=0\nlat1=500000.50000\nlon1=6100000.00000\nx2=999\ny2=499\n"
                                              "lat2=501000.50000\nlon2=6099500.00000\nsx=500\nsy=250\n");
}

TEST(GeoreferenceFiles, GeographicMapWrittenBesideEachTile)
{
    NeedGuiApplication();
    CTempDir dir;
    // 2 x 2 tiles of 24.0 .. 26.0 E by 54.0 .. 55.5 N, 201 x 101 pixels each.
    const CMapRect extent(24, 55.5, 26, 54);
    CExportSettings settings;
    settings.useExtent = 1;
    settings.useSize = 1;
    settings.extent = extent;
    settings.width = 403;
    settings.height = 203;
    settings.columns = settings.rows = 2;
    const auto tiles = PlanExportTiles(settings, CSize(), CMapRect(), dir.File("\xE0" "zuolai.bmp"));
    ASSERT_EQ(tiles.size(), 4u);
    for (const CExportTile& tile : tiles)
        EXPECT_EQ(WriteGeoreferenceFiles(tile.path, tile.extent, tile.width, tile.height, true), 4);
    // The top right tile; the cut moved the right and bottom edges in.
    const std::string stem = dir.File("\xE0" "zuolai_1_2");
    EXPECT_EQ(ReadWholeFile(stem + ".MET"), "\"\xE0" "zuolai_1_2.bmp\"\r\n"
                                            "(024E59.8511, 55N30) (0,0)\r\n"
                                            "(025E59.7022, 54N45.2217) (200,100)\r\n");
    EXPECT_EQ(ReadWholeFile(stem + ".TAB"),
              "!table\r\n!version 300\r\n!charset WindowsBalticRim\r\n\r\nDefinition Table\r\n"
              "  File \"\xE0" "zuolai_1_2.bmp\"\r\n  Type \"RASTER\"\r\n"
              "  (24.9975186104,55.5000000000) (0,0) Label \"Pt 1\",\r\n"
              "  (25.9950372208,55.5000000000) (200,0) Label \"Pt 2\",\r\n"
              "  (25.9950372208,54.7536945813) (200,100) Label \"Pt 3\",\r\n"
              "  (24.9975186104,54.7536945813) (0,100) Label \"Pt 4\"\r\n"
              "  CoordSys Earth Projection 1, 104\r\n  Units \"degree\"\r\n");
    EXPECT_EQ(ReadWholeFile(stem + ".NAV"), "x1=0\r\ny1=0\r\nlat1=24.99752\r\nlon1=55.50000\r\nx2=200\r\ny2=100\r\n"
                                            "lat2=25.99504\r\nlon2=54.75369\r\nsx=100\r\nsy=50\r\n");
    const std::string world = ReadWholeFile(stem + ".WLD");
    EXPECT_EQ(world, "        0.00496277915633\r\n"
                     "        0.00000000000000\r\n"
                     "        0.00000000000000\r\n"
                     "       -0.00738916256158\r\n"
                     "       25.00000000000000\r\n"
                     "       55.49630541871921");
}

TEST(GeoreferenceFiles, AFileThatCannotBeWrittenIsPassedOver)
{
    CTempDir dir;
    ASSERT_TRUE(MakeFolder(dir.File("map.TAB")));
    EXPECT_EQ(WriteGeoreferenceFiles(dir.File("map.png"), CMapRect(0, 10, 10, 0), 10, 10, false), 3);
    EXPECT_TRUE(PathExists(dir.File("map.NAV")));
}
