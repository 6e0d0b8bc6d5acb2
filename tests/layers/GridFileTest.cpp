#include "tests/layers/GridTestSupport.h"

#include "layers/GridFile.h"
#include "platform/Stream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {

// 4 x 3 packed cells 0, 10, 20, ...; the flag nibble of each cell is its column.
GridBytes Ramp()
{
    std::vector<uint32_t> cells;
    for (uint32_t r = 0; r < 3; ++r)
        for (uint32_t c = 0; c < 4; ++c)
            cells.push_back((c << 12) | ((r * 4 + c) * 10));
    return NorthFirstGrid(CGridFile::kPacked0, 4, 3, cells);
}

} // namespace

TEST(GridFile, RefusesWhatIsNotAWholeGrid)
{
    struct Case {
        const char* what;
        void (*spoil)(GridBytes&);
        bool truncate;
        int message;
    };
    const Case cases[] = {
        {"wrong magic", [](GridBytes& g) { g.magic = 19795; }, false, 1030},
        {"unknown cell type", [](GridBytes& g) { g.type = 6; }, false, 1030},
        {"negative cell type", [](GridBytes& g) { g.type = -1; }, false, 1030},
        {"no columns", [](GridBytes& g) { g.columns = 0; }, false, 1030},
        {"one column", [](GridBytes& g) { g.columns = 1; }, false, 1030},
        {"no rows", [](GridBytes& g) { g.rows = 0; }, false, 1030},
        {"one row", [](GridBytes& g) { g.rows = 1; }, false, 1030},
        {"first and last column alike", [](GridBytes& g) { g.xLast = g.xFirst; }, false, 1030},
        {"first and last row alike", [](GridBytes& g) { g.yLast = g.yFirst; }, false, 1030},
        {"x not a number", [](GridBytes& g) { g.xFirst = std::nan(""); }, false, 1030},
        {"y infinite", [](GridBytes& g) { g.yLast = std::numeric_limits<double>::infinity(); }, false, 1030},
        {"cell size overflows", [](GridBytes& g) { g.xFirst = -1e308, g.xLast = 1e308; }, false, 1030},
        {"not one whole row", [](GridBytes& g) { g.columns = g.rows = 65535; }, false, 1030},
        {"header cut short", [](GridBytes&) {}, true, 1028},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The header spoiled over the cells of a sound 4 x 3 grid of 16-bit cells.
        std::vector<unsigned char> bytes = Ramp().Bytes();
        GridBytes grid = Ramp();
        c.spoil(grid);
        const std::vector<unsigned char> header = grid.Header();
        std::copy(header.begin(), header.end(), bytes.begin());
        if (c.truncate)
            bytes.resize(55);
        CScriptedUserServices services;
        CGridFile file;
        EXPECT_FALSE(file.Open(std::make_unique<CMemoryStream>(bytes, false)));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{static_cast<unsigned>(c.message)});
        CMapRect extent;
        EXPECT_FALSE(file.GetExtent(extent));
        EXPECT_EQ(file.ValueAt(CMapPoint(10, 50)), -1);
        EXPECT_EQ(file.Interpolate(0, 0), -1);
    }
}

TEST(GridFile, OpensFilesByPathAndNamesAMissingOne)
{
    CTempDir dir;
    GridBytes grid = Ramp();
    std::vector<unsigned char> bytes = grid.Bytes();
    WriteWholeFile(dir.File("a.rmp"), std::string(bytes.begin(), bytes.end()));
    CScriptedUserServices services;
    CGridFile file;
    ASSERT_TRUE(file.Open(dir.File("a.rmp")));
    EXPECT_EQ(file.ValueAt(CMapPoint(13, 48)), 110);

    EXPECT_FALSE(file.Open(dir.File("missing.rmp")));
    EXPECT_FALSE(file.IsOpen());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].helpId, 1007u);
    EXPECT_NE(services.messages[0].text.find(dir.File("missing.rmp")), std::string::npos);
}

TEST(GridFile, ExtentFollowsTheRowOrder)
{
    GridBytes north = Ramp(); // first row at y 50, last at 48
    auto file = OpenGrid(north);
    ASSERT_TRUE(file);
    CMapRect extent;
    ASSERT_TRUE(file->GetExtent(extent));
    EXPECT_EQ(extent, CMapRect(10, 50, 13, 48));
    EXPECT_TRUE(extent.IsValid());
    EXPECT_DOUBLE_EQ(file->GetCellWidth(), 1);
    EXPECT_DOUBLE_EQ(file->GetCellHeight(), -1);

    GridBytes south = Ramp();
    south.yFirst = 48;
    south.yLast = 50;
    file = OpenGrid(south);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->GetExtent(extent));
    EXPECT_EQ(extent, CMapRect(10, 48, 13, 50)); // top below bottom
    EXPECT_FALSE(extent.IsValid());
    EXPECT_DOUBLE_EQ(file->GetCellHeight(), 1);
    // A south-first grid still answers by its rows: row 0 lies at y 48.
    EXPECT_EQ(file->ValueAt(CMapPoint(11, 48)), 10);

    CMapRect cells;
    file->MapToCells(CMapRect(10.5, 49.5, 12, 48.25), cells);
    EXPECT_EQ(cells, CMapRect(0.5, 1.5, 2, 0.25));
}

TEST(GridFile, ValueAtReadsEveryCellType)
{
    struct Case {
        int16_t type;
        uint32_t cell;
        int value;
    };
    const Case cases[] = {
        {0, 0x5123, 0x123},   {1, 0xF000, 0},         {2, 0x1FFE, 4094},     {2, 0xAFFF, -1},
        {3, 0xFF38, -200},    {3, 0x7FFF, 32767},     {4, 0x8000, -32768},   {4, 0xFFFF, -1},
        {5, 0xAB123456, 0x123456}, {5, 0x12FFFFFF, -1}, {5, 0x00FFFFFE, 0xFFFFFE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " cell " << std::hex << c.cell);
        // The cell under test in the middle of a 3 x 3 grid of zeros.
        std::vector<uint32_t> cells(9, 0);
        cells[4] = c.cell;
        auto file = OpenGrid(NorthFirstGrid(c.type, 3, 3, cells));
        ASSERT_TRUE(file);
        EXPECT_EQ(file->ValueAt(CMapPoint(11, 49)), c.value);
        // Nearest cell: up to half a cell away in each direction.
        EXPECT_EQ(file->ValueAt(CMapPoint(11.49, 49.49)), c.value);
        EXPECT_EQ(file->ValueAt(CMapPoint(10.51, 48.51)), c.value);
        EXPECT_EQ(file->ValueAt(CMapPoint(11.51, 49)), 0);
        EXPECT_EQ(file->ValueAt(CMapPoint(11, 49.51)), 0);
    }
}

TEST(GridFile, ValueAtOutsideTheGridIsNoValue)
{
    auto file = OpenGrid(Ramp());
    ASSERT_TRUE(file);
    CScriptedUserServices services;
    const CMapPoint outside[] = {{9, 50}, {13.5, 48}, {10, 50.99}, {10, 47}, {1e300, 48}, {std::nan(""), 48}};
    for (const CMapPoint& p : outside)
        EXPECT_EQ(file->ValueAt(p), -1) << p.x << " " << p.y;
    // Within the last half cell it is still the edge cell.
    EXPECT_EQ(file->ValueAt(CMapPoint(13.49, 47.51)), 110);
    EXPECT_EQ(file->ValueAt(CMapPoint(9.51, 50.49)), 0);
    EXPECT_TRUE(services.messages.empty());
}

TEST(GridFile, InterpolatesBilinearlyAndClampsAtTheEdges)
{
    auto file = OpenGrid(Ramp()); // value = 10 * (4 * row + column)
    ASSERT_TRUE(file);
    EXPECT_DOUBLE_EQ(file->Interpolate(0, 0), 0);
    EXPECT_DOUBLE_EQ(file->Interpolate(1.25, 0.5), 10 * (4 * 0.5 + 1.25));
    EXPECT_DOUBLE_EQ(file->Interpolate(-3, -0.5), 0);
    // At and past the last column and row: the last pair with fraction 1.
    EXPECT_DOUBLE_EQ(file->Interpolate(3, 0), 30);
    EXPECT_DOUBLE_EQ(file->Interpolate(7.5, 1), 70);
    EXPECT_DOUBLE_EQ(file->Interpolate(3, 2), 110);
    EXPECT_DOUBLE_EQ(file->Interpolate(2.5, 1e9), 10 * (8 + 2.5));
    EXPECT_DOUBLE_EQ(file->Interpolate(std::numeric_limits<double>::infinity(), 0), 30);
    EXPECT_EQ(file->Interpolate(std::nan(""), 0), -1);
}

TEST(GridFile, InterpolationKeepsTheNearestCornersFlagsAndCountsNoDataAsMinusOne)
{
    std::vector<uint32_t> cells = {0x1000 | 100, 0x2FFF, 0x3000 | 300, 0x4000 | 400};
    auto file = OpenGrid(NorthFirstGrid(CGridFile::kPacked1, 2, 2, cells));
    ASSERT_TRUE(file);
    EXPECT_DOUBLE_EQ(file->Interpolate(0.5, 0), 0.5 * 100 + 0.5 * -1);
    EXPECT_EQ(file->GetLastFlags(), 2); // a fraction of 0.5 takes the higher column
    file->Interpolate(0.49, 0.49);
    EXPECT_EQ(file->GetLastFlags(), 1);
    file->Interpolate(0.2, 0.7);
    EXPECT_EQ(file->GetLastFlags(), 3);
    file->Interpolate(1, 1);
    EXPECT_EQ(file->GetLastFlags(), 4);

    // Signed types interpolate the stored values, a 24-bit no-data corner as -1.
    file = OpenGrid(NorthFirstGrid(CGridFile::kHundredths, 2, 2, {0xFF9C, 100, 0, 0}));
    ASSERT_TRUE(file);
    EXPECT_DOUBLE_EQ(file->Interpolate(0.5, 0), 0);
    EXPECT_DOUBLE_EQ(file->Interpolate(0, 0), -100);
    file = OpenGrid(NorthFirstGrid(CGridFile::kInt24, 2, 2, {0xFFFFFF, 0x100001, 8, 8}));
    ASSERT_TRUE(file);
    EXPECT_DOUBLE_EQ(file->Interpolate(0.5, 0.5), (-1 + 0x100001 + 8 + 8) / 4.0);
}

TEST(GridFile, RowsHeldAreNotReadAgain)
{
    std::shared_ptr<int> reads;
    auto file = OpenCounted(Ramp(), reads);
    ASSERT_TRUE(file);
    file->Interpolate(1, 0.5); // rows 0 and 1
    EXPECT_EQ(*reads, 2);
    file->Interpolate(2, 1.5); // row 1 moves over, only row 2 is read
    EXPECT_EQ(*reads, 3);
    EXPECT_DOUBLE_EQ(file->Interpolate(0, 1.5), 60);
    EXPECT_EQ(file->ValueAt(CMapPoint(11, 48)), 90); // row 2, held
    EXPECT_EQ(file->ValueAt(CMapPoint(11, 49)), 50); // row 1, held
    EXPECT_EQ(*reads, 3);
    EXPECT_EQ(file->ValueAt(CMapPoint(11, 50)), 10);
    EXPECT_EQ(*reads, 4);
}

TEST(GridFile, ColumnCacheSparesRowReadsDownAColumn)
{
    std::vector<uint32_t> cells;
    for (uint32_t i = 0; i < 3 * 40; ++i)
        cells.push_back(i);
    const GridBytes grid = NorthFirstGrid(CGridFile::kInt16, 3, 40, cells);
    const auto walk = [](CGridFile& file) {
        double sum = 0;
        for (int r = 0; r < 39; ++r)
            sum += file.Interpolate(1.5, r + 0.5);
        return sum;
    };
    double expected = 0;
    for (int r = 0; r < 39; ++r)
        expected += 3 * r + 3; // the mean of the four corners

    for (bool cache : {false, true}) {
        SCOPED_TRACE(cache ? "with the cache" : "without");
        std::shared_ptr<int> reads;
        auto file = OpenCounted(grid, reads);
        ASSERT_TRUE(file);
        file->SetColumnCache(cache);
        EXPECT_DOUBLE_EQ(walk(*file), expected);
        EXPECT_EQ(*reads, 40);
        EXPECT_DOUBLE_EQ(walk(*file), expected);
        EXPECT_EQ(*reads, cache ? 40 : 80);
        // Another column is not in the cache: its rows are read again.
        const int before = *reads;
        EXPECT_DOUBLE_EQ(file->Interpolate(0.5, 0.5), 2);
        EXPECT_GT(*reads, before);
    }
}

TEST(GridFile, AReadErrorIsShownOnceAndStopsTheFileUntilClosed)
{
    GridBytes grid = Ramp();
    for (int16_t type : {CGridFile::kPacked2, CGridFile::kInt24}) {
        SCOPED_TRACE(type);
        grid.type = type;
        const int64_t rowBytes = 4 * (type == CGridFile::kInt24 ? 4 : 2);
        CScriptedUserServices services;
        std::shared_ptr<int> reads;
        auto file = OpenCounted(grid, reads, CGridFile::kHeaderSize + 2 * rowBytes);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->ValueAt(CMapPoint(10, 50)), 0);
        EXPECT_EQ(file->ValueAt(CMapPoint(10, 48)), -1); // the third row fails
        EXPECT_EQ(file->GetError(), CGridFile::kReadError);
        EXPECT_EQ(file->Interpolate(0, 0.5), -1); // even rows that would read
        EXPECT_EQ(file->ValueAt(CMapPoint(10, 49)), -1);
        EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1028});

        ASSERT_TRUE(file->Open(std::make_unique<CMemoryStream>(grid.Bytes(), false)));
        EXPECT_EQ(file->GetError(), CGridFile::kNoError);
        EXPECT_EQ(file->ValueAt(CMapPoint(10, 48)), 80);
    }
}

TEST(GridFile, AFileCutShortReadsItsWholeRowsAndSaysOnceThatTheRestIsMissing)
{
    for (int16_t type : {CGridFile::kPacked0, CGridFile::kInt24}) {
        GridBytes grid = Ramp(); // the first column 0, 40, 80
        grid.type = type;
        const size_t rowBytes = 4 * (type == CGridFile::kInt24 ? 4 : 2);
        const struct {
            const char* what;
            uint16_t rows; // the header's
            size_t keep;   // bytes of the cells kept
            int whole;
        } cases[] = {
            {"more rows than the file holds", 5, 3 * rowBytes, 3},
            {"the last row cut in two", 3, 2 * rowBytes + rowBytes / 2, 2},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (type == CGridFile::kInt24 ? ", 32-bit" : ", 16-bit"));
            GridBytes header = grid;
            header.rows = c.rows;
            header.yLast = 50 - (c.rows - 1);
            std::vector<unsigned char> bytes = header.Header();
            const std::vector<unsigned char> cells = grid.Bytes();
            bytes.insert(bytes.end(), cells.begin() + CGridFile::kHeaderSize,
                         cells.begin() + CGridFile::kHeaderSize + static_cast<std::ptrdiff_t>(c.keep));
            CScriptedUserServices services;
            CGridFile file;
            ASSERT_TRUE(file.Open(std::make_unique<CMemoryStream>(bytes, false)));
            EXPECT_TRUE(services.messages.empty());
            EXPECT_EQ(file.GetRowCount(), c.rows);
            EXPECT_EQ(file.GetWholeRowCount(), c.whole);
            CMapRect extent;
            ASSERT_TRUE(file.GetExtent(extent));
            EXPECT_EQ(extent.bottom, 50 - (c.rows - 1)); // the extent the header states

            // Every whole row reads; a missing one has no value and is told of once.
            for (int row = 0; row < c.rows; ++row)
                EXPECT_EQ(file.ValueAt(CMapPoint(10, 50 - row)), row < c.whole ? 40 * row : -1) << row;
            EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1028});
            EXPECT_EQ(file.GetError(), CGridFile::kNoError);
            EXPECT_DOUBLE_EQ(file.Interpolate(0, c.whole - 1.5), 40 * (c.whole - 1.5));
            EXPECT_EQ(file.Interpolate(0, c.whole - 0.5), -1);
            EXPECT_EQ(file.ValueAt(CMapPoint(10, 50)), 0);
            EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1028});
        }
    }
}

TEST(GridFile, ClassColourWalksTheClassesEitherWay)
{
    CGridFile::ColourClasses classes;
    classes.classes = {{0, 10, 0x0000FF}, {-1e300, 20, 0x00FF00}, {-1e300, 30, 0xFF0000}};
    struct Step {
        double value;
        COLORREF colour;
        size_t cursor;
    };
    const Step steps[] = {
        {5, 0x0000FF, 0},  {10, 0x0000FF, 0}, {10.5, 0x00FF00, 1},       {30, 0xFF0000, 2},
        {31, CGridFile::kNoColour, 2},        {-0.5, CGridFile::kNoColour, 0}, {20, 0x00FF00, 1},
        {0, 0x0000FF, 0},  {25, 0xFF0000, 2}, {1e300, CGridFile::kNoColour, 2}, {11, 0x00FF00, 1},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(CGridFile::ClassColour(classes, s.value), s.colour) << s.value;
        EXPECT_EQ(classes.cursor, s.cursor) << s.value;
    }
    CGridFile::ColourClasses none;
    EXPECT_EQ(CGridFile::ClassColour(none, 1), CGridFile::kNoColour);
}

TEST(GridFile, RowsPastFourGibibytesAreRead)
{
    // 65535 columns of 16-bit cells: row 32769 begins past 4 GiB. The file
    // is sparse, so only the header and the rows written take room.
    CTempDir dir;
    const std::string path = dir.File("wide.rmp");
    GridBytes grid = NorthFirstGrid(CGridFile::kInt16, 65535, 40000, {});
    const int64_t rowBytes = 65535 * 2;
    const int farRows[] = {32769, 39999};
    {
        auto stream = CFileStream::Open(path, FileMode::CreateAlways);
        ASSERT_TRUE(stream);
        std::vector<unsigned char> header = grid.Header();
        ASSERT_TRUE(stream->WriteExact(header.data(), header.size()));
        for (int row : farRows) {
            std::vector<unsigned char> bytes(rowBytes);
            for (int c = 0; c < 65535; ++c)
                GridBytes::Put(bytes, static_cast<size_t>(c) * 2, static_cast<int16_t>(row % 1000 + c % 7));
            ASSERT_TRUE(stream->Seek(CGridFile::kHeaderSize + row * rowBytes));
            ASSERT_TRUE(stream->WriteExact(bytes.data(), bytes.size()));
        }
    }
    CGridFile file;
    ASSERT_TRUE(file.Open(path));
    for (int row : farRows) {
        SCOPED_TRACE(row);
        EXPECT_GT(CGridFile::kHeaderSize + row * rowBytes, int64_t{1} << 32);
        const double y = 50 - row;
        EXPECT_EQ(file.ValueAt(CMapPoint(10, y)), row % 1000);
        EXPECT_EQ(file.ValueAt(CMapPoint(10 + 65534, y)), row % 1000 + 65534 % 7);
        EXPECT_DOUBLE_EQ(file.Interpolate(65534, row), row % 1000 + 65534 % 7);
    }
    EXPECT_EQ(file.ValueAt(CMapPoint(11, 50 - 39998)), 0); // a hole reads as zeros
}
