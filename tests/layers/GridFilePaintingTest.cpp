#include "tests/layers/GridTestSupport.h"

#include "layers/DtmLayer.h"
#include "layers/GridFile.h"
#include "layers/ThemeClassList.h"
#include "platform/DC.h"
#include "platform/DrawInterrupt.h"
#include "platform/VirtualKeys.h"
#include "tests/layers/LayerTestSupport.h"
#include "tests/platform/ImageProbe.h"
#include "tests/render/PixelArt.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

// Grid windows painted into images through MM_TEXT contexts (one logical
// unit a pixel) unless a test maps them otherwise; pixels are probed.

namespace {

constexpr COLORREF kPaper = RGB(10, 20, 30);
constexpr uint32_t kNoData = 0xFFFFFFFF; // a marker of the tests, encoded per type

// Up to 9 red, 19 green, 29 black, 39 white (paints nothing), 49 blue; above
// that no class.
CGridFile::ColourClasses TestClasses()
{
    CGridFile::ColourClasses classes;
    classes.classes = {{-1e300, 9, kRed}, {-1e300, 19, kGreen}, {-1e300, 29, kBlack}, {-1e300, 39, kWhite},
                       {-1e300, 49, kBlue}};
    return classes;
}

// A value in units as a cell of the type holds it; kNoData as the type's
// no-data cell. The packed types carry a flag nibble and type 5 a high byte
// beside the value, which the painting must ignore.
uint32_t Cell(int16_t type, uint32_t value)
{
    switch (type) {
    case CGridFile::kHundredths:
        return static_cast<uint16_t>(static_cast<int16_t>(value * 100));
    case CGridFile::kInt16:
        return static_cast<uint16_t>(static_cast<int16_t>(value));
    case CGridFile::kInt24:
        return value == kNoData ? 0x12FFFFFF : 0xAB000000 | value;
    default:
        return value == kNoData ? 0x7FFF : 0x5000 | value;
    }
}

GridBytes GridOf(int16_t type, uint16_t columns, const std::vector<uint32_t>& values)
{
    std::vector<uint32_t> cells;
    for (uint32_t v : values)
        cells.push_back(Cell(type, v));
    return NorthFirstGrid(type, columns, static_cast<uint16_t>(values.size() / columns), cells);
}

CRect Whole(const QImage& image)
{
    return CRect(0, 0, image.width() - 1, image.height() - 1);
}

// Input that stops the drawing at the poll-th look at the queue.
class CStopAtPoll : public IDrawInputQueue {
public:
    explicit CStopAtPoll(int stopAt) : m_stopAt(stopAt) { m_previous = SetDrawInputQueue(this); }
    ~CStopAtPoll() override
    {
        SetDrawInputQueue(m_previous);
        SetDrawStopFlag(0);
    }
    void Poll(const std::function<WaitingInputAction(const CWaitingInput&)>& judge) override
    {
        if (++polls == m_stopAt)
            judge(CWaitingInput{CWaitingInput::kKeyDown, VK_ESCAPE});
    }
    int polls = 0;

private:
    int m_stopAt;
    IDrawInputQueue* m_previous;
};

} // namespace

TEST(GridFilePainting, RegimesPaintTheSameCellsAlikeForEveryType)
{
    // 40 x 30 cells in blocks of 10 x 10, one value a block: each colour,
    // the white class, a value above the last class and no data (above the
    // last class for the types that have no no-data cell).
    const uint32_t blocks[3][4] = {{5, 15, 25, 35}, {45, 60, kNoData, 5}, {15, 25, 45, 15}};
    const auto expected = [](uint32_t v) {
        return v == kNoData || v >= 50 ? kPaper : v < 10 ? kRed : v < 20 ? kGreen : v < 30 ? kBlack : v < 40 ? kPaper : kBlue;
    };
    struct Regime {
        const char* what;
        int width, height;
        bool interpolate;
    };
    const Regime regimes[] = {
        {"sampled", 20, 15, false},      // more cells than pixels: every other cell or so
        {"stretched", 400, 300, false},  // about ten pixels a cell
        {"interpolated", 400, 300, true},
        {"sampled, the flag ignored", 20, 15, true},
    };
    for (int16_t type = CGridFile::kPacked0; type <= CGridFile::kInt24; ++type) {
        std::vector<uint32_t> values;
        for (int r = 0; r < 30; ++r)
            for (int c = 0; c < 40; ++c) {
                const uint32_t v = blocks[r / 10][c / 10];
                values.push_back(v == kNoData && (type == CGridFile::kHundredths || type == CGridFile::kInt16) ? 60 : v);
            }
        auto file = OpenGrid(GridOf(type, 40, values));
        ASSERT_TRUE(file);
        for (const Regime& regime : regimes) {
            SCOPED_TRACE(testing::Message() << "type " << type << ", " << regime.what);
            QImage image = MakeImage(regime.width, regime.height, kPaper);
            CDC dc(image);
            CGridFile::ColourClasses classes = TestClasses();
            EXPECT_TRUE(file->DrawGrid(dc, Whole(image), CMapRect(0, 0, 39, 29), nullptr, classes, regime.interpolate));
            for (int by = 0; by < 3; ++by)
                for (int bx = 0; bx < 4; ++bx) {
                    // The pixel over the middle of the block.
                    const int x = static_cast<int>(std::lround((10 * bx + 4.5) * regime.width / 39));
                    const int y = static_cast<int>(std::lround((10 * by + 4.5) * regime.height / 29));
                    EXPECT_EQ(At(image, x, y), expected(blocks[by][bx])) << "block " << bx << "," << by;
                }
        }
    }
}

TEST(GridFilePainting, StretchedCellsCoverThePixelsSamplingWouldGiveThem)
{
    // 4 x 4 cells, neighbours of different colours; the window starts and
    // ends 0.33 cells inside the edge cells (0.17 short of their edge), so
    // those show 2 pixels of 10.
    const uint32_t palette[] = {5, 15, 25, 45};
    std::vector<uint32_t> values;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            values.push_back(palette[(r + c) % 4]);
    QImage image = MakeImage(24, 24, kPaper);
    CDC dc(image);
    CGridFile::ColourClasses classes = TestClasses();
    auto file = OpenGrid(GridOf(CGridFile::kInt16, 4, values));
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->DrawGrid(dc, Whole(image), CMapRect(0.33, 0.33, 2.73, 2.73), nullptr, classes, false));
    for (int i : {0, 11, 23}) {
        EXPECT_EQ(RunsAlongRow(image, i, 0, 24), (std::vector<int>{2, 10, 10, 2})) << "row " << i;
        EXPECT_EQ(RunsDownColumn(image, i), (std::vector<int>{2, 10, 10, 2})) << "column " << i;
    }
    EXPECT_EQ(At(image, 0, 0), kRed);    // cell 0, 0
    EXPECT_EQ(At(image, 23, 0), kBlue);  // cell 3, 0
    EXPECT_EQ(At(image, 2, 2), kBlack);  // cell 1, 1

    // A grid whose first row is the southern one, cut by the same map
    // rectangle, paints the same picture: north stays up.
    GridBytes south = GridOf(CGridFile::kInt16, 4, values);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            south.cells[static_cast<size_t>(r * 4 + c)] = Cell(CGridFile::kInt16, palette[(3 - r + c) % 4]);
    std::swap(south.yFirst, south.yLast);
    auto southFile = OpenGrid(south);
    ASSERT_TRUE(southFile);
    const CMapRect part(10.33, 49.67, 12.73, 47.27);
    CMapRect northCells, southCells;
    file->MapToCells(part, northCells);
    southFile->MapToCells(part, southCells);
    QImage northImage = MakeImage(24, 24, kPaper), southImage = MakeImage(24, 24, kPaper);
    CDC northDc(northImage), southDc(southImage);
    ASSERT_TRUE(file->DrawGrid(northDc, Whole(northImage), northCells, nullptr, classes, false));
    ASSERT_TRUE(southFile->DrawGrid(southDc, Whole(southImage), southCells, nullptr, classes, false));
    EXPECT_EQ(northImage, image);
    EXPECT_EQ(southImage, image);
}

TEST(GridFilePainting, SamplingReadsEachRowItNeedsOnce)
{
    // 100 x 10 cells, value 5 + the row: rows 0, 2, 5 and 7 (of 0 .. 9 at
    // trunc(9 i / 4 + 0.5)) are all that four pixel rows need.
    std::vector<uint32_t> values;
    for (uint32_t r = 0; r < 10; ++r)
        for (int c = 0; c < 100; ++c)
            values.push_back(r < 5 ? 5 : 15);
    std::shared_ptr<int> reads;
    auto file = OpenCounted(GridOf(CGridFile::kPacked2, 100, values), reads);
    ASSERT_TRUE(file);
    CGridFile::ColourClasses classes = TestClasses();
    QImage image = MakeImage(10, 4, kPaper);
    CDC dc(image);
    ASSERT_TRUE(file->DrawGrid(dc, Whole(image), CMapRect(0, 0, 99, 9), nullptr, classes, false));
    EXPECT_EQ(*reads, 4);
    EXPECT_EQ(RunsDownColumn(image, 5), (std::vector<int>{2, 2})); // rows 0, 2 red; 5, 7 green
    EXPECT_EQ(At(image, 0, 3), kGreen);

    // A wide, low window: 40 pixel rows over 3 grid rows read each once.
    *reads = 0;
    QImage tall = MakeImage(10, 40, kPaper);
    CDC tallDc(tall);
    ASSERT_TRUE(file->DrawGrid(tallDc, Whole(tall), CMapRect(0, 4, 99, 6), nullptr, classes, false));
    EXPECT_EQ(*reads, 3);
    EXPECT_EQ(RunsDownColumn(tall, 3), (std::vector<int>{10, 30})); // row 4 red down to 4.5, then green
}

TEST(GridFilePainting, CellsWithoutColourLeaveTheTargetAndEmptyRowsAreNotPainted)
{
    // 3 x 3 cells of 10 x 10 pixels. Row 0: no data, the white class and a
    // value above the last class; row 1: red, no data, green; row 2: black,
    // blue, the white class.
    const std::vector<uint32_t> values = {kNoData, 35, 60, 5, kNoData, 15, 25, 45, 35};
    auto file = OpenGrid(GridOf(CGridFile::kPacked2, 3, values));
    ASSERT_TRUE(file);
    const CMapRect window(-0.5, -0.5, 2.5, 2.5);
    const auto check = [](const QImage& image, const std::vector<COLORREF>& cells) {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                for (int d : {0, 5, 9})
                    EXPECT_EQ(At(image, 10 * c + d, 10 * r + 9 - d), cells[static_cast<size_t>(3 * r + c)])
                        << "cell " << c << "," << r << " at " << d;
    };

    // Alone: what has no colour keeps the paper.
    {
        QImage image = MakeImage(30, 30, kPaper);
        CDC dc(image);
        CGridFile::ColourClasses classes = TestClasses();
        ASSERT_TRUE(file->DrawGrid(dc, Whole(image), window, nullptr, classes, false));
        check(image, {kPaper, kPaper, kPaper, kRed, kPaper, kGreen, kBlack, kBlue, kPaper});
    }

    // With a second context, through a mapping of ten logical units a pixel:
    // rows go to the second and are copied whole to the first, but a row
    // without colour is neither painted nor copied.
    for (bool interpolate : {false, true}) {
        SCOPED_TRACE(interpolate ? "interpolated" : "stretched");
        QImage first = MakeImage(30, 30, kPaper), second = MakeImage(30, 30, kYellow);
        CDC firstDc(first), secondDc(second);
        for (CDC* dc : {&firstDc, &secondDc}) {
            dc->SetMapMode(MM_ANISOTROPIC);
            dc->SetWindowExt(10, 10);
            dc->SetViewportExt(1, 1);
        }
        CGridFile::ColourClasses classes = TestClasses();
        ASSERT_TRUE(file->DrawGrid(firstDc, CRect(0, 0, 290, 290), window, &secondDc, classes, interpolate));
        // Cell middles: interpolation blends towards the neighbours around
        // them, so even the top row has colours between its cells.
        EXPECT_EQ(At(second, 15, 5), kYellow);
        EXPECT_EQ(At(second, 5, 15), kRed);
        EXPECT_EQ(At(second, 15, 15), kYellow);
        EXPECT_EQ(At(second, 25, 25), kYellow);
        EXPECT_EQ(At(first, 15, 15), kYellow);
        EXPECT_EQ(At(first, 25, 25), kYellow);
        if (!interpolate) {
            check(second, {kYellow, kYellow, kYellow, kRed, kYellow, kGreen, kBlack, kBlue, kYellow});
            check(first, {kPaper, kPaper, kPaper, kRed, kYellow, kGreen, kBlack, kBlue, kYellow});
        }
        // The contexts keep their mapping.
        EXPECT_EQ(firstDc.GetMapMode(), MM_ANISOTROPIC);
        EXPECT_EQ(secondDc.GetWindowExt(), CSize(10, 10));
    }
}

TEST(GridFilePainting, InterpolationBlendsCellsButNotNoData)
{
    // Two columns of cells, 10 pixels each: 5 and 45 blend through every
    // class between (the white one painting nothing); beside no data the nearest cell shows as it is, where a blend
    // with no data as -1 would fall a class lower (15 to red).
    struct Case {
        int16_t type;
        uint32_t left, right;
        const char* row;
    };
    const Case cases[] = {
        {CGridFile::kInt16, 5, 45, "rrrrrrrgg###..bbbbbb"},
        {CGridFile::kPacked2, 15, kNoData, "gggggggggg.........."},
        {CGridFile::kInt24, kNoData, 15, "..........gggggggggg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        auto file = OpenGrid(GridOf(c.type, 2, {c.left, c.right, c.left, c.right}));
        ASSERT_TRUE(file);
        QImage image = MakeImage(20, 2, kPaper);
        CDC dc(image);
        CGridFile::ColourClasses classes = TestClasses();
        ASSERT_TRUE(file->DrawGrid(dc, Whole(image), CMapRect(-0.5, 0, 1.5, 1), nullptr, classes, true));
        EXPECT_EQ(PixelArt(image, kPaper), Rows({c.row, c.row}));
    }
}

TEST(GridFilePainting, StretchesWiderThanAStripTileTheTarget)
{
    // One grid row over targets that take several strips: 16500 pixels
    // across (strips are at most 16000 wide) and 1000 x 40 (16 rows a strip),
    // with the white class in the middle so the row goes through its mask.
    auto file = OpenGrid(GridOf(CGridFile::kInt16, 3, {5, 35, 45, 5, 5, 5}));
    ASSERT_TRUE(file);
    for (const auto& [width, height] : {std::pair{16500, 3}, std::pair{999, 40}}) {
        SCOPED_TRACE(width);
        QImage image = MakeImage(width, height, kPaper);
        CDC dc(image);
        CGridFile::ColourClasses classes = TestClasses();
        ASSERT_TRUE(file->DrawGrid(dc, Whole(image), CMapRect(-0.5, -0.5, 2.5, 0.4), nullptr, classes, false));
        const int third = width / 3;
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                wrong += At(image, x, y) != (x < third ? kRed : x < 2 * third ? kPaper : kBlue);
        EXPECT_EQ(wrong, 0);
    }
}

TEST(GridFilePainting, PollsEveryEightRowsAndAStopKeepsWhatIsPainted)
{
    // 4 x 32 cells of red, one pixel each.
    auto file = OpenGrid(GridOf(CGridFile::kInt16, 4, std::vector<uint32_t>(128, 5)));
    ASSERT_TRUE(file);
    const CMapRect window(-0.5, -0.5, 3.5, 31.5);
    for (bool interpolate : {false, true}) {
        SCOPED_TRACE(interpolate ? "interpolated" : "stretched");
        for (int stopAt : {2, 3, 0}) {
            SCOPED_TRACE(stopAt);
            CStopAtPoll input(stopAt); // the first poll is the one before drawing
            QImage image = MakeImage(4, 32, kPaper);
            CDC dc(image);
            CGridFile::ColourClasses classes = TestClasses();
            EXPECT_TRUE(file->DrawGrid(dc, Whole(image), window, nullptr, classes, interpolate));
            const int painted = stopAt ? 8 * (stopAt - 1) : 32;
            EXPECT_EQ(RunsDownColumn(image, 2), painted < 32 ? (std::vector<int>{painted, 32 - painted})
                                                            : std::vector<int>{32});
            EXPECT_EQ(At(image, 0, 0), kRed);
            // Polled after rows 8, 16 and 24; not after the last.
            EXPECT_EQ(input.polls, stopAt ? stopAt : 4);
        }
    }
}

TEST(GridFilePainting, NothingIsDrawnForAPendingStopNoClassesOrAFailedRead)
{
    GridBytes grid = GridOf(CGridFile::kPacked2, 4, std::vector<uint32_t>(16, 5));
    const QImage blank = MakeImage(4, 4, kPaper);
    CGridFile::ColourClasses classes = TestClasses();
    {
        CScriptedUserServices services;
        std::shared_ptr<int> reads;
        auto file = OpenCounted(grid, reads);
        ASSERT_TRUE(file);
        QImage image = blank;
        CDC dc(image);
        SetDrawStopFlag(1);
        EXPECT_FALSE(file->DrawGrid(dc, Whole(image), CMapRect(0, 0, 3, 3), nullptr, classes, false));
        SetDrawStopFlag(0);
        CGridFile::ColourClasses none;
        EXPECT_FALSE(file->DrawGrid(dc, Whole(image), CMapRect(0, 0, 3, 3), nullptr, none, false));
        EXPECT_EQ(image, blank);
        EXPECT_EQ(*reads, 0);
        EXPECT_TRUE(services.messages.empty());
    }
    // The third row cannot be read: the pixel rows before the first that
    // needs it stay painted.
    for (bool interpolate : {false, true}) {
        SCOPED_TRACE(interpolate);
        CScriptedUserServices services;
        std::shared_ptr<int> reads;
        auto file = OpenCounted(grid, reads, CGridFile::kHeaderSize + 2 * 4 * 2);
        ASSERT_TRUE(file);
        QImage image = blank;
        CDC dc(image);
        EXPECT_FALSE(file->DrawGrid(dc, Whole(image), CMapRect(-0.5, -0.5, 3.5, 3.5), nullptr, classes, interpolate));
        EXPECT_EQ(RunsDownColumn(image, 1), (std::vector<int>{2, 2}));
        EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1028});
    }
}

// A grid cut short of its stated rows paints the rows the file holds in
// every regime and goes on; the missing ones are told of once.
TEST(GridFilePainting, AGridCutShortPaintsItsWholeRows)
{
    const GridBytes grid = GridOf(CGridFile::kPacked2, 4, std::vector<uint32_t>(16, 5));
    std::vector<unsigned char> bytes = grid.Bytes();
    bytes.resize(CGridFile::kHeaderSize + 2 * 4 * 2); // two of the four rows
    const QImage blank = MakeImage(4, 4, kPaper);
    for (bool interpolate : {false, true}) {
        SCOPED_TRACE(interpolate);
        CScriptedUserServices services;
        CGridFile file;
        ASSERT_TRUE(file.Open(std::make_unique<CMemoryStream>(bytes, false)));
        CGridFile::ColourClasses classes = TestClasses();
        QImage image = blank;
        CDC dc(image);
        EXPECT_TRUE(file.DrawGrid(dc, Whole(image), CMapRect(-0.5, -0.5, 3.5, 3.5), nullptr, classes, interpolate));
        EXPECT_EQ(RunsDownColumn(image, 1), (std::vector<int>{2, 2}));
        EXPECT_EQ(At(image, 1, 0), kRed);
        EXPECT_EQ(At(image, 1, 3), kPaper);
        EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1028});
    }
}

TEST(GridFilePainting, HostileWindowsStayInsideTheContext)
{
    auto file = OpenGrid(GridOf(CGridFile::kInt16, 4, std::vector<uint32_t>(16, 5)));
    ASSERT_TRUE(file);
    CGridFile::ColourClasses classes = TestClasses();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        CRect target;
        CMapRect cells;
        bool painted;
    };
    const Case cases[] = {
        {"a target of two thousand million pixels", CRect(INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2),
         CMapRect(0, 0, 3, 3), true},
        {"a window not a number", CRect(0, 0, 9, 9), CMapRect(nan, 0, 3, nan), false},
        {"an infinite window", CRect(0, 0, 9, 9), CMapRect(-inf, -inf, inf, inf), false},
        {"a window far outside", CRect(0, 0, 9, 9), CMapRect(1e9, 1e9, 2e9, 2e9), false},
        {"a window of huge positions", CRect(0, 0, 9, 9), CMapRect(-1e300, -1e300, 1e300, 1e300), true},
        {"a target upside down", CRect(9, 9, 0, 0), CMapRect(0, 0, 3, 3), false},
    };
    for (const Case& c : cases) {
        for (bool interpolate : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.what << (interpolate ? ", interpolated" : ""));
            QImage image = MakeImage(10, 10, kPaper);
            CDC dc(image);
            EXPECT_TRUE(file->DrawGrid(dc, c.target, c.cells, nullptr, classes, interpolate));
            EXPECT_EQ(image == MakeImage(10, 10, kPaper), !c.painted);
        }
    }
    // A closed grid draws nothing.
    CGridFile closed;
    QImage image = MakeImage(10, 10, kPaper);
    CDC dc(image);
    EXPECT_FALSE(closed.DrawGrid(dc, Whole(image), CMapRect(0, 0, 3, 3), nullptr, classes, false));
}

TEST(GridFilePainting, HeightClassesPaintByValue)
{
    CScriptedStyleSource styles;
    CDtmLayer layer("Reljefas", "/m/r.rmp");
    layer.SetDefaultClasses();
    // 150 m falls into class 9, 4000 m into class 19, 4500 m into the grey
    // of other values and -5 m into the white class 0, which paints nothing;
    // type 3 holds hundredths of a metre.
    struct Case {
        int16_t type;
        uint32_t cells[4];
        COLORREF colours[4];
    };
    const Case cases[] = {
        {CGridFile::kInt16, {150, 4000, 4500, 0xFFFB}, {0x00FFB5, 0x2B5682, 0xC0C0C0, kPaper}},
        {CGridFile::kHundredths, {15000, 32000, 0xFE0C, 0}, {0x00FFB5, 0x499AEE, kPaper, 0xFFE680}},
        {CGridFile::kPacked2, {150, 4000, 4094, 0xFFF}, {0x00FFB5, 0x2B5682, 0xC0C0C0, kPaper}},
        {CGridFile::kInt24, {150, 4000, 4500, 0xFFFFFF}, {0x00FFB5, 0x2B5682, 0xC0C0C0, kPaper}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        std::vector<uint32_t> cells(c.cells, c.cells + 4);
        cells.insert(cells.end(), c.cells, c.cells + 4);
        auto file = OpenGrid(NorthFirstGrid(c.type, 4, 2, cells));
        ASSERT_TRUE(file);
        CGridFile::ColourClasses classes = layer.GetColourClasses();
        QImage image = MakeImage(40, 10, kPaper);
        CDC dc(image);
        ASSERT_TRUE(file->DrawGrid(dc, Whole(image), CMapRect(-0.5, -0.5, 3.5, 1.5), nullptr, classes, false));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(At(image, 10 * i + 5, 5), c.colours[i]) << "cell " << std::hex << c.cells[i];
    }

    // The classes as the grid paints them; text classes paint nothing.
    const CGridFile::ColourClasses classes = layer.GetColourClasses();
    ASSERT_EQ(classes.classes.size(), 21u);
    EXPECT_EQ(classes.classes[9].high, 160);
    EXPECT_EQ(classes.classes[9].colour, 0x00FFB5u);
    EXPECT_EQ(classes.classes[20].high, DBL_MAX);
    layer.GetHeightClasses()->SetKind(false, false);
    layer.GetHeightClasses()->AddClass(CLayer::kElevation);
    EXPECT_TRUE(layer.GetColourClasses().classes.empty());
    EXPECT_TRUE(CDtmLayer().GetColourClasses().classes.empty());
}

TEST(GridFilePainting, TerrainSheet)
{
    // Hills with a lake without data and a peak above the classes, in the
    // default height classes: the whole grid sampled, and the lake's shore
    // zoomed, stretched and interpolated. Written to
    // $DREL_SCREENSHOT_DIR/grid-painting.png when that is set.
    CScriptedStyleSource styles;
    CDtmLayer layer("Reljefas", "/m/r.rmp");
    layer.SetDefaultClasses();
    constexpr int kColumns = 600, kRows = 400;
    std::vector<uint32_t> cells;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const double x = c / 80.0, y = r / 80.0;
            double h = 120 + 90 * std::sin(x * 1.3) * std::cos(y * 1.1) + 60 * std::sin(x * 0.4 + y * 0.7) + 0.4 * r;
            const double peak = std::hypot(c - 480, r - 100);
            h += 4600 * std::exp(-peak * peak / 1200);
            const bool lake = std::hypot(c - 140, (r - 280) * 1.5) < 44;
            cells.push_back(lake ? 0xFFF : static_cast<uint32_t>(std::clamp(std::lround(h), 0L, 4094L)));
        }
    auto file = OpenGrid(NorthFirstGrid(CGridFile::kPacked2, kColumns, kRows, cells));
    ASSERT_TRUE(file);

    const COLORREF paper = RGB(250, 250, 250);
    QImage sheet = MakeImage(940, 220, paper);
    CDC dc(sheet);
    const CMapRect shore(60, 220, 140, 280); // in cells
    const CRect panels[] = {{10, 10, 309, 209}, {320, 10, 619, 209}, {630, 10, 929, 209}};
    for (int i = 0; i < 3; ++i) {
        CGridFile::ColourClasses classes = layer.GetColourClasses();
        const CMapRect window = i == 0 ? CMapRect(0, 0, kColumns - 1, kRows - 1) : shore;
        ASSERT_TRUE(file->DrawGrid(dc, panels[i], window, nullptr, classes, i == 2));
    }
    const auto fillOf = [&](int c, int r) {
        const uint32_t cell = cells[static_cast<size_t>(r * kColumns + c)];
        if (cell == 0xFFF)
            return paper;
        const COLORREF fill = layer.GetHeightClasses()->FindNumberClass(cell)->m_style.Draw().brushColor;
        return fill == kWhite ? paper : fill;
    };
    // Whole cells in each panel: the one a pixel samples, the one under a
    // pixel of the zoomed panels.
    for (const auto& [x, y] : {std::pair{240, 50}, std::pair{70, 140}, std::pair{5, 195}, std::pair{299, 0}}) {
        SCOPED_TRACE(testing::Message() << "sampled " << x << "," << y);
        const int c = static_cast<int>(599.0 * x / 300 + 0.5), r = static_cast<int>(399.0 * y / 200 + 0.5);
        EXPECT_EQ(At(sheet, 10 + x, 10 + y), fillOf(c, r));
    }
    EXPECT_EQ(At(sheet, 10 + 70, 10 + 140), paper);             // the lake
    EXPECT_EQ(At(sheet, 10 + 240, 10 + 50), RGB(192, 192, 192)); // the peak, other values
    for (int i : {1, 2}) {
        for (const auto& [c, r] : {std::pair{140, 280}, std::pair{70, 230}, std::pair{100, 240}}) {
            SCOPED_TRACE(testing::Message() << "panel " << i << " cell " << c << "," << r);
            const int x = panels[i].left + static_cast<int>(std::lround((c - 60) * 300 / 80.0));
            const int y = panels[i].top + static_cast<int>(std::lround((r - 220) * 200 / 60.0));
            EXPECT_EQ(At(sheet, x, y), fillOf(c, r));
        }
    }
    if (const char* folder = std::getenv("DREL_SCREENSHOT_DIR"))
        sheet.save(QDir(QString::fromLocal8Bit(folder)).filePath("grid-painting.png"));
}
