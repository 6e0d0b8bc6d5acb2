#include "tests/layers/GridTestSupport.h"

#include "layers/AsciiGridImport.h"
#include "layers/GridFile.h"
#include "platform/Path.h"
#include "platform/Stream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Three columns, two rows of 10-unit cells whose lower left corner is (100, 200).
const char kCornerGrid[] =
    "ncols 3\nnrows 2\nxllcorner 100\nyllcorner 200\ncellsize 10\nNODATA_value -9999\n"
    "1 2.5 -9999\n4094.6 -3 7.49\n";

// What it must become: cell centres, the northern row first.
std::string ExpectedCornerGrid()
{
    GridBytes grid;
    grid.type = 2;
    grid.xFirst = 105;
    grid.xLast = 125;
    grid.cellWidth = 10;
    grid.columns = 3;
    grid.yFirst = 215;
    grid.yLast = 205;
    grid.cellHeight = 10;
    grid.rows = 2;
    grid.cells = {1, 3, 4095, 4094, 0, 7};
    std::vector<unsigned char> bytes = grid.Bytes();
    return std::string(bytes.begin(), bytes.end());
}

// Imports the text through files; the result file's bytes, or "(failed)".
std::string Import(const std::string& text, CScriptedUserServices& services)
{
    CTempDir dir;
    WriteWholeFile(dir.File("in.asc"), text);
    if (!ImportAsciiGrid(dir.File("out.rmp"), dir.File("in.asc")))
        return "(failed)";
    return ReadWholeFile(dir.File("out.rmp"));
}

} // namespace

TEST(AsciiGridImport, WritesTheGridCellCentredAndNorthFirst)
{
    CScriptedUserServices services;
    const std::string bytes = Import(kCornerGrid, services);
    EXPECT_EQ(bytes, ExpectedCornerGrid());
    EXPECT_EQ(bytes.substr(0, 2), "RM");
    EXPECT_TRUE(services.messages.empty());

    // Read back, each cell's value lies at its centre inside the ESRI extent
    // 100 ... 130 x 200 ... 220.
    CGridFile file;
    ASSERT_TRUE(file.Open(std::make_unique<CMemoryStream>(std::vector<unsigned char>(bytes.begin(), bytes.end()))));
    CMapRect extent;
    ASSERT_TRUE(file.GetExtent(extent));
    EXPECT_EQ(extent, CMapRect(105, 215, 125, 205));
    EXPECT_EQ(file.ValueAt(CMapPoint(101, 219)), 1);   // north-west cell
    EXPECT_EQ(file.ValueAt(CMapPoint(129, 219)), -1);  // no data
    EXPECT_EQ(file.ValueAt(CMapPoint(101, 201)), 4094); // south-west cell
    EXPECT_EQ(file.ValueAt(CMapPoint(129, 201)), 7);
}

TEST(AsciiGridImport, HeaderKeywordsInAnyCaseAndOrder)
{
    const char* const headers[] = {
        "NCOLS 3\nNROWS 2\nXLLCORNER 100\nYLLCORNER 200\nCELLSIZE 10\nNODATA_VALUE -9999\n",
        "cellsize 10\r\nnodata_value -9999\r\nyllcorner 200\r\nxllcorner 100\r\nnrows 2\r\nncols 3\r\n",
        "NCols\t3 NRows 2 XllCenter 105 YllCenter 205 CellSize 1e1 NoData_Value -9999.0\n",
        "ncols 3\nnrows 2\nxllcenter 105\nyllcorner 200\ncellsize 10\n", // no-data line left out: -9999
        "ncols 3.0\nnrows +2\nxllcorner 100\nyllcorner 200\ncellsize 10\n",
    };
    for (const char* header : headers) {
        SCOPED_TRACE(header);
        CScriptedUserServices services;
        EXPECT_EQ(Import(std::string(header) + "1 2.5 -9999\n4094.6 -3 7.49", services), ExpectedCornerGrid());
        EXPECT_TRUE(services.messages.empty());
    }
}

TEST(AsciiGridImport, NoDataValueOfTheHeaderIsTheOneMarked)
{
    CScriptedUserServices services;
    const std::string bytes = Import("ncols 2 nrows 2 xllcorner 0 yllcorner 0 cellsize 1 nodata_value 0\n"
                                     "0 -9999\n 0.4 -0.0\n",
                                     services);
    ASSERT_EQ(bytes.size(), 56u + 8u);
    // 0 and -0 equal the no-data value; -9999 is only negative; 0.4 rounds to 0.
    EXPECT_EQ(bytes.substr(56), std::string("\xFF\x0F\x00\x00\x00\x00\xFF\x0F", 8));
}

TEST(AsciiGridImport, EveryFailureIsShownAndLeavesTheOldFile)
{
    const std::string header = "ncols 3\nnrows 2\nxllcorner 100\nyllcorner 200\ncellsize 10\n";
    const std::string cells = "1 2 3 4 5 6\n";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"empty file", ""},
        {"header only", header},
        {"too few numbers", header + "1 2 3 4 5\n"},
        {"a word among the numbers", header + "1 2 3 4 x 6\n"},
        {"a number with trailing letters", header + "1 2 3 4 5 6m\n"},
        {"a number too long to be one", header + "1 2 3 4 5 " + std::string(5000, '7') + "\n"},
        {"no cell size", "ncols 3\nnrows 2\nxllcorner 100\nyllcorner 200\n" + cells},
        {"no rows", "ncols 3\nxllcorner 100\nyllcorner 200\ncellsize 10\n" + cells},
        {"no corner", "ncols 3\nnrows 2\ncellsize 10\n" + cells},
        {"corner and centre", "xllcenter 5 " + header + cells},
        {"a keyword twice", "ncols 3 " + header + cells},
        {"an unknown keyword", header + "dx 10\n" + cells},
        {"a keyword without value", "ncols"},
        {"a count with a fraction", "ncols 2.5\nnrows 2\nxllcorner 100\nyllcorner 200\ncellsize 10\n" + cells},
        {"one column", "ncols 1\nnrows 6\nxllcorner 100\nyllcorner 200\ncellsize 10\n" + cells},
        {"more columns than the file can name",
         "ncols 65536\nnrows 2\nxllcorner 100\nyllcorner 200\ncellsize 10\n" + cells},
        {"more rows than the file can name",
         "ncols 3\nnrows 4294967298\nxllcorner 100\nyllcorner 200\ncellsize 10\n" + cells},
        {"cell size zero", "ncols 3\nnrows 2\nxllcorner 100\nyllcorner 200\ncellsize 0\n" + cells},
        {"cell size negative", "ncols 3\nnrows 2\nxllcorner 100\nyllcorner 200\ncellsize -10\n" + cells},
        {"extent beyond doubles", "ncols 3\nnrows 2\nxllcorner 100\nyllcorner 1e308\ncellsize 1e308\n" + cells},
        {"cell size lost far from the origin", "ncols 3\nnrows 2\nxllcorner 100\nyllcorner 1e21\ncellsize 1\n" + cells},
        {"not a number", "ncols 3\nnrows 2\nxllcorner nan\nyllcorner 200\ncellsize 10\n" + cells},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTempDir dir;
        WriteWholeFile(dir.File("in.asc"), c.text);
        WriteWholeFile(dir.File("out.rmp"), "old grid");
        CScriptedUserServices services;
        EXPECT_FALSE(ImportAsciiGrid(dir.File("out.rmp"), dir.File("in.asc")));
        EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1030});
        EXPECT_EQ(ReadWholeFile(dir.File("out.rmp")), "old grid");
    }
}

TEST(AsciiGridImport, FilesThatCannotBeOpenedAreNamed)
{
    CTempDir dir;
    WriteWholeFile(dir.File("in.asc"), kCornerGrid);
    const struct {
        std::string rmp, ascii, named;
    } cases[] = {
        {dir.File("out.rmp"), dir.File("missing.asc"), dir.File("missing.asc")},
        {dir.File("no folder/out.rmp"), dir.File("in.asc"), dir.File("no folder/out.rmp")},
    };
    for (const auto& c : cases) {
        CScriptedUserServices services;
        EXPECT_FALSE(ImportAsciiGrid(c.rmp, c.ascii));
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].helpId, 1007u);
        EXPECT_NE(services.messages[0].text.find(c.named), std::string::npos) << services.messages[0].text;
    }
    EXPECT_FALSE(PathExists(dir.File("out.rmp")));
}

TEST(AsciiGridImport, CancelStopsWithoutMessageAndKeepsTheOldFile)
{
    CTempDir dir;
    WriteWholeFile(dir.File("in.asc"), kCornerGrid);
    WriteWholeFile(dir.File("out.rmp"), "old grid");
    CScriptedUserServices services;
    services.cancelAfterChecks = 1;
    auto progress = services.CreateProgress(0);
    EXPECT_FALSE(ImportAsciiGrid(dir.File("out.rmp"), dir.File("in.asc"), progress.get()));
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(ReadWholeFile(dir.File("out.rmp")), "old grid");

    services.cancelAfterChecks = -1;
    progress = services.CreateProgress(0);
    EXPECT_TRUE(ImportAsciiGrid(dir.File("out.rmp"), dir.File("in.asc"), progress.get()));
    EXPECT_EQ(ReadWholeFile(dir.File("out.rmp")), ExpectedCornerGrid());
}

TEST(AsciiGridImport, NumbersAcrossReadChunksArriveWhole)
{
    // Some hundred kilobytes of numbers of varied width and blanks, so
    // numbers straddle the reader's chunks.
    const int columns = 301, rows = 299;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> value(-50, 5000);
    std::uniform_int_distribution<int> blanks(0, 3);
    const char* const separators[] = {" ", "\t", "  \r\n", "\n"};
    std::string text = "ncols 301\nnrows 299\nxllcorner 0\nyllcorner 0\ncellsize 2\nnodata_value -7\n";
    std::vector<int> expected;
    for (int i = 0; i < columns * rows; ++i) {
        const int v = value(random);
        text += std::to_string(v) + (i % 5 == 0 ? ".0" : "") + separators[blanks(random)];
        expected.push_back(v == -7 ? -1 : v < 0 ? 0 : v > 4094 ? 4094 : v);
    }
    CScriptedUserServices services;
    const std::string bytes = Import(text, services);
    ASSERT_EQ(bytes.size(), 56u + 2u * columns * rows);
    CGridFile file;
    ASSERT_TRUE(file.Open(std::make_unique<CMemoryStream>(std::vector<unsigned char>(bytes.begin(), bytes.end()))));
    int mismatches = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            mismatches += file.ValueAt(CMapPoint(1 + 2 * c, 2 * rows - 1 - 2 * r)) != expected[r * columns + c];
    EXPECT_EQ(mismatches, 0);
}
