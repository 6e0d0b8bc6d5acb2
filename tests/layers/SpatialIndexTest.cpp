#include "layers/SpatialIndex.h"

#include "core/BitSet.h"
#include "platform/ByteOrder.h"
#include "platform/Path.h"
#include "platform/Stream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Records = std::set<int>;

const CSpatialIndex::TableStamp kStamp{16, 0x12345678};

Bytes FromHex(const std::string& hex)
{
    Bytes bytes;
    for (size_t i = 0; i < hex.size();) {
        if (std::isxdigit(static_cast<unsigned char>(hex[i]))) {
            bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
            i += 2;
        } else {
            ++i;
        }
    }
    return bytes;
}

// Sixteen objects over x 0..255 and y 0..510, so that x quantises to
// itself and y to its half. Seven cells: the root splits x at 127, its
// first child y at 127; the second child (cell 2) may not split, since
// its children would be the last cells.
struct HandObject {
    CMapRect box;
    bool point;
};
const std::vector<HandObject> kHandObjects = {
    {CMapRect(10, 20, 10, 20), true},       // 0
    {CMapRect(100, 20, 150, 0), false},     // 1 straddles the root's split
    {CMapRect(200, 400, 200, 400), true},   // 2
    {CMapRect(0, 320, 10, 300), false},     // 3
    {CMapRect(130, 10, 130, 10), true},     // 4
    {CMapRect(120, 260, 127, 250), false},  // 5 straddles cell 1's split
    {CMapRect(255, 510, 255, 510), true},   // 6 the top right corner
    {CMapRect(0, 0, 0, 0), true},           // 7 the bottom left corner
    {CMapRect(127.9, 0, 128, 0), false},    // 8 straddles the root's split
    {CMapRect(50, 300, 50, 300), true},     // 9
    {CMapRect(60, 100, 60, 100), true},     // 10
    {CMapRect(250, 20, 250, 20), true},     // 11
    {CMapRect(20, 40, 20, 40), true},       // 12
    {CMapRect(30, 500, 30, 500), true},     // 13
    {CMapRect(100, 255, 100, 255), true},   // 14 y 127.5 truncates to 127
    {CMapRect(5, 258, 6, 250), false},      // 15 straddles cell 1's split
};
const CMapRect kHandExtent(0, 510, 255, 0);

// The file of the objects above, worked out by hand from the splitting rules.
const Bytes kHandFile = FromHex(
    "98999999 01000000 40000000 10000000"  // magic, version, header size, 16 items
    "0000000000000000 00000000 00E07F40"   // left 0, top 510
    "00000000 00E06F40 0000000000000000"   // right 255, bottom 0
    "05000000 10000000 10000000 78563412"  // 5 cells used, capacity 16, the table's stamp
    // cells: first item, item count, key x0 y0 x1 y1
    "00000000 02000000 0000FFFF"  // root: items 1 and 8
    "02000000 02000000 00007FFF"  // x 0..127: items 5 and 15
    "0C000000 04000000 8000FFFF"  // x 128..255
    "04000000 05000000 00007F7F"  // x 0..127, y 0..127
    "09000000 03000000 00807FFF"  // x 0..127, y 128..255
    // items: x0 y0 x1 y1, record
    "6400960A 01000000  7F008000 08000000"
    "787D7F82 05000000  057D0681 0F000000"
    "3C323C32 0A000000  14141414 0C000000  647F647F 0E000000  00000000 07000000  0A0A0A0A 00000000"
    "1EFA1EFA 0D000000  32963296 09000000  00960AA0 03000000"
    "C8C8C8C8 02000000  82058205 04000000  FFFFFFFF 06000000  FA0AFA0A 0B000000");

void AddObject(CSpatialIndex& index, const CMapRect& box, bool point, int record)
{
    if (point)
        ASSERT_TRUE(index.AddPoint(CMapPoint(box.left, box.top), record));
    else
        ASSERT_TRUE(index.AddBox(box, record));
}

void BuildHandIndex(CSpatialIndex& index)
{
    ASSERT_TRUE(index.Create(kHandExtent, 16, 7));
    for (size_t i = 0; i < kHandObjects.size(); ++i)
        AddObject(index, kHandObjects[i].box, kHandObjects[i].point, static_cast<int>(i));
    ASSERT_TRUE(index.Build());
}

Records RectHits(CSpatialIndex& index, const CMapRect& rect)
{
    Records hits;
    for (int r = index.BeginRectQuery(rect); r >= 0; r = index.Next())
        EXPECT_TRUE(hits.insert(r).second) << "record " << r << " returned twice";
    return hits;
}

Records PointHits(CSpatialIndex& index, const CMapPoint& point)
{
    Records hits;
    for (int r = index.BeginPointQuery(point); r >= 0; r = index.Next())
        EXPECT_TRUE(hits.insert(r).second) << "record " << r << " returned twice";
    return hits;
}

Records BitsOf(const CBitSet& bits)
{
    Records set;
    for (int i = bits.FindNext(-1); i >= 0; i = bits.FindNext(i))
        set.insert(i);
    return set;
}

Bytes SaveToBytes(CSpatialIndex& index, const CSpatialIndex::TableStamp& stamp)
{
    CMemoryStream stream;
    EXPECT_TRUE(index.Save(stream, stamp));
    return stream.Data();
}

bool LoadBytes(CSpatialIndex& index, const Bytes& bytes, const CSpatialIndex::TableStamp& stamp = kStamp)
{
    CMemoryStream stream(bytes, false);
    return index.Load(stream, stamp);
}

TEST(SpatialIndexFile, HandCheckedIndexIsWrittenByteForByte)
{
    CSpatialIndex index;
    BuildHandIndex(index);
    EXPECT_EQ(index.GetCellsUsed(), 5);
    EXPECT_EQ(SaveToBytes(index, kStamp), kHandFile);

    CTempDir dir;
    const std::string path = dir.File("roads.spx");
    ASSERT_TRUE(index.Save(path, kStamp));
    const std::string onDisk = ReadWholeFile(path);
    EXPECT_EQ(Bytes(onDisk.begin(), onDisk.end()), kHandFile);

    CSpatialIndex loaded;
    ASSERT_TRUE(loaded.Load(path, kStamp)) << loaded.GetError();
    EXPECT_EQ(loaded.GetItemCount(), 16);
    EXPECT_EQ(loaded.GetItemCapacity(), 16);
    EXPECT_EQ(loaded.GetExtent(), kHandExtent);
    EXPECT_EQ(SaveToBytes(loaded, kStamp), kHandFile);
}

TEST(SpatialIndexFile, HandCheckedQueriesReachEveryLevel)
{
    CSpatialIndex built;
    BuildHandIndex(built);
    CSpatialIndex loaded;
    ASSERT_TRUE(LoadBytes(loaded, kHandFile));
    for (CSpatialIndex* index : {&built, &loaded}) {
        // The straddler of the root is found from either half.
        EXPECT_EQ(RectHits(*index, CMapRect(0, 30, 110, 0)), (Records{0, 1, 7}));
        EXPECT_EQ(RectHits(*index, CMapRect(140, 30, 255, 0)), (Records{1, 11}));
        EXPECT_EQ(RectHits(*index, CMapRect(0, 300, 60, 240)), (Records{3, 9, 15}));
        EXPECT_EQ(RectHits(*index, kHandExtent).size(), 16u);
        EXPECT_EQ(PointHits(*index, CMapPoint(10, 20)), (Records{0}));
        EXPECT_EQ(PointHits(*index, CMapPoint(125, 255)), (Records{5}));
        EXPECT_EQ(PointHits(*index, CMapPoint(255, 510)), (Records{6}));
        EXPECT_EQ(PointHits(*index, CMapPoint(5, 510)), Records{});
    }
}

// Builds an index of random boxes and points and checks every query
// against a scan of all objects: nothing that meets the query may be
// missing, and nothing farther than one quantisation step may come back.
class RandomIndexTest : public ::testing::Test {
protected:
    void Make(const CMapRect& extent, int count, unsigned seed, int cells = CSpatialIndex::kSourceCellCount)
    {
        m_extent = extent;
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> unit(0, 1);
        std::uniform_int_distribution<int> kind(0, 9);
        m_boxes.clear();
        ASSERT_TRUE(m_index.Create(extent, count, cells));
        for (int i = 0; i < count; ++i) {
            const double x = extent.left + unit(random) * extent.Width();
            const double y = extent.bottom + unit(random) * extent.Height();
            const int k = kind(random);
            // Mostly small boxes, some points, a few long ones.
            const double size = k == 0 ? 0.5 : k < 3 ? 0 : 0.02;
            const double w = std::min(extent.right - x, unit(random) * size * extent.Width());
            const double h = std::min(extent.top - y, unit(random) * size * extent.Height());
            const CMapRect box(x, y + h, x + w, y);
            m_boxes.push_back(box);
            if (size == 0)
                ASSERT_TRUE(m_index.AddPoint(CMapPoint(x, y), i));
            else
                ASSERT_TRUE(m_index.AddBox(box, i));
        }
        ASSERT_TRUE(m_index.Build());
    }

    // Random query rectangles around the extent, some of them touching an
    // edge or lying outside.
    CMapRect RandomQuery(std::mt19937& random) const
    {
        std::uniform_real_distribution<double> spread(-0.2, 1.2);
        std::uniform_real_distribution<double> size(0, 0.3);
        const double w = m_extent.Width(), h = m_extent.Height();
        double left = m_extent.left + spread(random) * w;
        double bottom = m_extent.bottom + spread(random) * h;
        std::uniform_int_distribution<int> edge(0, 7);
        switch (edge(random)) {
        case 0:
            left = m_extent.right; // touches the right edge
            break;
        case 1:
            bottom = m_extent.top; // touches the top edge
            break;
        default:
            break;
        }
        const CMapRect rect(left, bottom + size(random) * h, left + size(random) * w, bottom);
        if (edge(random) == 0) // touching the left edge from outside
            return CMapRect(rect.left - rect.Width() - 1, rect.top, m_extent.left, rect.bottom);
        return rect;
    }

    static bool Meet(const CMapRect& a, const CMapRect& b)
    {
        return a.left <= b.right && a.right >= b.left && a.bottom <= b.top && a.top >= b.bottom;
    }

    void CheckRect(CSpatialIndex& index, const CMapRect& rect)
    {
        const Records hits = RectHits(index, rect);
        // One quantisation step and a little more for rounding.
        const double dx = m_extent.Width() / 255 * 1.001, dy = m_extent.Height() / 255 * 1.001;
        const CMapRect wider(rect.left - dx, rect.top + dy, rect.right + dx, rect.bottom - dy);
        const bool touchesExtent = Meet(rect, m_extent);
        for (int i = 0; i < static_cast<int>(m_boxes.size()); ++i) {
            if (touchesExtent && Meet(m_boxes[i], rect)) {
                EXPECT_TRUE(hits.count(i)) << "record " << i << " missed";
            }
            if (hits.count(i)) {
                EXPECT_TRUE(Meet(m_boxes[i], wider)) << "record " << i << " is far from the query";
            }
        }
        CBitSet bits;
        EXPECT_EQ(index.QueryRect(rect, bits), static_cast<int>(hits.size()));
        EXPECT_EQ(BitsOf(bits), hits);
    }

    void CheckPoint(CSpatialIndex& index, const CMapPoint& p)
    {
        const Records hits = PointHits(index, p);
        const bool inside = Meet(CMapRect(p), m_extent);
        const double dx = m_extent.Width() / 255 * 1.001, dy = m_extent.Height() / 255 * 1.001;
        const CMapRect near(p.x - dx, p.y + dy, p.x + dx, p.y - dy);
        for (int i = 0; i < static_cast<int>(m_boxes.size()); ++i) {
            if (inside && Meet(m_boxes[i], CMapRect(p))) {
                EXPECT_TRUE(hits.count(i)) << "record " << i << " missed";
            }
            if (hits.count(i)) {
                EXPECT_TRUE(Meet(m_boxes[i], near)) << "record " << i << " is far from the point";
            }
        }
    }

    void CheckQueries(CSpatialIndex& index, unsigned seed)
    {
        std::mt19937 random(seed);
        for (int q = 0; q < 150; ++q)
            CheckRect(index, RandomQuery(random));
        std::uniform_real_distribution<double> spread(-0.1, 1.1);
        for (int q = 0; q < 150; ++q) {
            // Every third point is an object's own corner.
            const CMapPoint p = q % 3 == 0 ? CMapPoint(m_boxes[q % m_boxes.size()].right, m_boxes[q % m_boxes.size()].top)
                                           : CMapPoint(m_extent.left + spread(random) * m_extent.Width(),
                                                       m_extent.bottom + spread(random) * m_extent.Height());
            CheckPoint(index, p);
        }
        CheckPoint(index, CMapPoint(m_extent.left, m_extent.bottom));
        CheckPoint(index, CMapPoint(m_extent.right, m_extent.top));
    }

    CMapRect m_extent;
    std::vector<CMapRect> m_boxes;
    CSpatialIndex m_index;
};

TEST_F(RandomIndexTest, QueriesFindWhatAScanFinds)
{
    Make(CMapRect(480000.5, 6250000, 520000.25, 6180000), 3000, 17);
    CheckQueries(m_index, 5);
    // The same after a round trip through the file.
    CSpatialIndex loaded;
    ASSERT_TRUE(LoadBytes(loaded, SaveToBytes(m_index, {3000, 1}), {3000, 1})) << loaded.GetError();
    CheckQueries(loaded, 6);
}

// A query straight from the file reads only the cells it reaches and
// answers what the loaded index answers.
TEST_F(RandomIndexTest, QueriesFromTheFileAnswerAsTheLoadedIndex)
{
    Make(CMapRect(480000.5, 6250000, 520000.25, 6180000), 3000, 41);
    const Bytes bytes = SaveToBytes(m_index, {3000, 1});
    std::mt19937 random(9);
    CBitSet fromIndex, fromFile;
    for (int q = 0; q < 200; ++q) {
        const CMapRect rect = q == 0 ? m_extent : RandomQuery(random);
        CMemoryStream stream(bytes, false);
        EXPECT_EQ(CSpatialIndex::LoadAndQuery(stream, rect, fromFile, {3000, 1}), m_index.QueryRect(rect, fromIndex));
        EXPECT_EQ(BitsOf(fromFile), BitsOf(fromIndex));
        EXPECT_EQ(fromFile.GetBitCount(), 3000);
    }
}

TEST_F(RandomIndexTest, FewCellsAndManyCellsAnswerAlike)
{
    Make(CMapRect(-10, 10, 10, -10), 2000, 23, 3);
    CheckQueries(m_index, 7);
    Make(CMapRect(-10, 10, 10, -10), 2000, 23, CSpatialIndex::kMaxCells);
    CheckQueries(m_index, 7);
}

TEST_F(RandomIndexTest, ExtentsWithoutWidthOrHeight)
{
    // A north-south road of points: the extent has no width.
    Make(CMapRect(25.5, 56, 25.5, 54), 500, 31);
    CheckQueries(m_index, 8);
    EXPECT_EQ(RectHits(m_index, CMapRect(26, 56, 27, 54)), Records{});
    // Every object at one place.
    Make(CMapRect(3, 4, 3, 4), 50, 37);
    EXPECT_EQ(RectHits(m_index, CMapRect(0, 10, 10, 0)).size(), 50u);
    EXPECT_EQ(PointHits(m_index, CMapPoint(3, 4)).size(), 50u);
    EXPECT_EQ(PointHits(m_index, CMapPoint(3, 4.5)), Records{});
    CSpatialIndex loaded;
    ASSERT_TRUE(LoadBytes(loaded, SaveToBytes(m_index, {50, 1}), {50, 1})) << loaded.GetError();
    EXPECT_EQ(RectHits(loaded, CMapRect(3, 4, 3, 4)).size(), 50u);
}

TEST(SpatialIndexQuery, EdgesAndOutsideOfTheExtent)
{
    CSpatialIndex index;
    BuildHandIndex(index);
    // Rectangles that only touch the extent's corners reach the corner objects.
    EXPECT_EQ(RectHits(index, CMapRect(-10, 0, 0, -10)), (Records{7}));
    EXPECT_EQ(RectHits(index, CMapRect(255, 600, 300, 510)), (Records{6}));
    EXPECT_EQ(PointHits(index, CMapPoint(0, 0)), (Records{7}));

    CBitSet bits;
    ASSERT_EQ(index.QueryRect(CMapRect(0, 510, 255, 0), bits), 16);
    // A miss answers 0 and leaves no bit of the earlier query behind.
    EXPECT_EQ(index.QueryRect(CMapRect(256, 600, 300, 511), bits), 0);
    EXPECT_EQ(bits.GetBitCount(), 16);
    EXPECT_EQ(BitsOf(bits), Records{});
    EXPECT_EQ(PointHits(index, CMapPoint(-0.001, 0)), Records{});
    // Reversed and NaN rectangles meet nothing.
    EXPECT_EQ(RectHits(index, CMapRect(100, 0, 0, 510)), Records{});
    EXPECT_EQ(RectHits(index, CMapRect(std::nan(""), 510, 255, 0)), Records{});
    EXPECT_EQ(PointHits(index, CMapPoint(std::nan(""), 3)), Records{});
}

TEST(SpatialIndexBuild, SmallIndexesKeepEverythingInTheRoot)
{
    CSpatialIndex index;
    ASSERT_TRUE(index.Create(kHandExtent, 8, CSpatialIndex::kSourceCellCount));
    for (int i = 0; i < 8; ++i)
        AddObject(index, kHandObjects[static_cast<size_t>(i)].box, kHandObjects[static_cast<size_t>(i)].point, i);
    ASSERT_TRUE(index.Build());
    EXPECT_EQ(index.GetCellsUsed(), 1);
    EXPECT_EQ(RectHits(index, kHandExtent).size(), 8u);
}

TEST(SpatialIndexBuild, BoxesBeyondTheExtentAreKeptAtItsEdge)
{
    CSpatialIndex index;
    ASSERT_TRUE(index.Create(CMapRect(0, 10, 10, 0), 4, 15));
    ASSERT_TRUE(index.AddBox(CMapRect(-5, 3, -1, 2), 0));  // wholly left of it
    ASSERT_TRUE(index.AddBox(CMapRect(8, 30, 20, 9), 1));  // over the top right corner
    ASSERT_TRUE(index.AddBox(CMapRect(6, 2, 4, 3), 2));    // reversed corners
    ASSERT_TRUE(index.AddBox(CMapRect(), 3));              // the empty rectangle
    ASSERT_TRUE(index.Build());
    EXPECT_EQ(RectHits(index, CMapRect(0, 2.5, 0, 2.5)), (Records{0, 3}));
    EXPECT_EQ(RectHits(index, CMapRect(9.9, 10, 10, 9.9)), (Records{1, 3}));
    EXPECT_EQ(RectHits(index, CMapRect(5, 2.5, 5, 2.5)), (Records{2, 3}));
}

TEST(SpatialIndexBuild, RefusesWhatItCannotHold)
{
    CSpatialIndex index;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(index.Create(kHandExtent, 0, 10));
    EXPECT_FALSE(index.Create(kHandExtent, 10, 0));
    EXPECT_FALSE(index.Create(kHandExtent, 10, CSpatialIndex::kMaxCells + 1));
    EXPECT_FALSE(index.Create(CMapRect(), 10, 10));
    EXPECT_FALSE(index.Create(CMapRect(0, nan, 1, 0), 10, 10));
    EXPECT_FALSE(index.Create(CMapRect(0, 1, inf, 0), 10, 10));
    EXPECT_FALSE(index.Create(CMapRect(-1e308, 1, 1e308, 0), 10, 10));
    EXPECT_FALSE(index.AddPoint(CMapPoint(1, 1), 0));
    EXPECT_EQ(index.BeginRectQuery(kHandExtent), -1);

    // Items the index cannot take: each would be an object missing from it.
    const struct {
        const char* what;
        int record;
    } refused[] = {{"record past the capacity", 2}, {"negative record", -1}, {"index full", 0}};
    for (const auto& r : refused) {
        ASSERT_TRUE(index.Create(kHandExtent, 2, 7));
        ASSERT_TRUE(index.AddPoint(CMapPoint(1, 1), 1));
        if (r.record == 0) {
            ASSERT_TRUE(index.AddPoint(CMapPoint(1, 1), 0));
        }
        EXPECT_FALSE(index.AddPoint(CMapPoint(1, 1), r.record)) << r.what;
        EXPECT_FALSE(index.Build()) << r.what;
        CMemoryStream stream;
        EXPECT_FALSE(index.Save(stream, {2, 0})) << r.what;
        EXPECT_EQ(index.GetError(), CSpatialIndex::kNotReady) << r.what;
        EXPECT_EQ(stream.Size(), 0) << r.what;
    }

    ASSERT_TRUE(index.Create(kHandExtent, 2, 7));
    ASSERT_TRUE(index.AddPoint(CMapPoint(1, 1), 1));
    CMemoryStream stream;
    EXPECT_FALSE(index.Save(stream, {2, 0})); // not built yet
    EXPECT_EQ(index.GetError(), CSpatialIndex::kNotReady);
    ASSERT_TRUE(index.Build());
    EXPECT_FALSE(index.Save(stream, {1, 0})); // the table has fewer records than the index
    EXPECT_EQ(index.GetError(), CSpatialIndex::kNotReady);
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_TRUE(index.Save(stream, {2, 0}));
    EXPECT_FALSE(index.AddPoint(CMapPoint(1, 1), 0)); // too late once built
    EXPECT_FALSE(index.Save(stream, {2, 0}));
}

TEST(SpatialIndexFile, AnEmptyIndexIsOnlyAHeader)
{
    CSpatialIndex index;
    ASSERT_TRUE(index.Create(kHandExtent, 5, 7));
    ASSERT_TRUE(index.Build());
    const Bytes bytes = SaveToBytes(index, {5, 9});
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_EQ(GetLittleEndian<int32_t>(&bytes[12]), 0);
    EXPECT_EQ(GetLittleEndian<int32_t>(&bytes[48]), 0);
    CSpatialIndex loaded;
    ASSERT_TRUE(LoadBytes(loaded, bytes, {5, 9})) << loaded.GetError();
    CBitSet bits;
    EXPECT_EQ(loaded.QueryRect(kHandExtent, bits), 0);
    EXPECT_EQ(bits.GetBitCount(), 5);
}

// One field of the hand-checked file changed, and what the load must say.
struct Corruption {
    const char* what;
    size_t offset;
    int64_t value; // written as 4 bytes
    int error;
};

TEST(SpatialIndexFile, ForeignOrInconsistentFilesAreRefused)
{
    const size_t cells = 64, items = 64 + 5 * 12;
    const Corruption cases[] = {
        {"magic", 0, 0x99999999, CSpatialIndex::kBadFormat},
        {"version", 4, 2, CSpatialIndex::kBadFormat},
        {"header size", 8, 32, CSpatialIndex::kBadFormat},
        {"negative item count", 12, -1, CSpatialIndex::kBadFormat},
        {"more items than capacity", 12, 17, CSpatialIndex::kBadFormat},
        {"fewer items than the file holds", 12, 15, CSpatialIndex::kBadFormat},
        {"capacity below the items", 52, 15, CSpatialIndex::kBadFormat},
        {"no cells for the items", 48, 0, CSpatialIndex::kBadFormat},
        {"more cells than the file holds", 48, 6, CSpatialIndex::kBadFormat},
        {"absurd cell count", 48, 0x7FFFFFFF, CSpatialIndex::kBadFormat},
        {"extent left NaN", 20, 0x7FF80000, CSpatialIndex::kBadFormat},
        {"extent reversed", 36, 0xC06FE000, CSpatialIndex::kBadFormat},
        {"cell key", cells + 2 * 12 + 8, 0xFFFF0081, CSpatialIndex::kBadFormat},
        {"root never filled", cells, -1, CSpatialIndex::kBadFormat},
        {"cells overlap", cells + 3 * 12, 3, CSpatialIndex::kBadFormat},
        {"cell longer than the items", cells + 2 * 12 + 4, 5, CSpatialIndex::kBadFormat},
        {"cell past the items", cells + 2 * 12, 100, CSpatialIndex::kBadFormat},
        {"cell before the items", cells + 2 * 12, -2, CSpatialIndex::kBadFormat},
        {"unfilled cell with items", cells + 12, -1, CSpatialIndex::kBadFormat},
        {"negative record", items + 4, -1, CSpatialIndex::kBadFormat},
        {"record past the table", items + 4, 16, CSpatialIndex::kBadFormat},
        {"item outside its cell", items + 4 * 8, 0x32C8323C, CSpatialIndex::kBadFormat},
        {"reversed item", items + 12 * 8, 0xC8C8C8C9, CSpatialIndex::kBadFormat},
        {"stamp record count", 56, 17, CSpatialIndex::kStale},
        {"stamp time", 60, 0x12345679, CSpatialIndex::kStale},
        {"no stamp, as older programs wrote", 56, 0, CSpatialIndex::kStale},
    };
    for (const Corruption& c : cases) {
        Bytes bytes = kHandFile;
        PutLittleEndian(&bytes[c.offset], static_cast<uint32_t>(c.value));
        CSpatialIndex index;
        EXPECT_FALSE(LoadBytes(index, bytes)) << c.what;
        EXPECT_EQ(index.GetError(), c.error) << c.what;
        EXPECT_EQ(index.GetItemCount(), 0) << c.what;
        EXPECT_EQ(index.BeginRectQuery(kHandExtent), -1) << c.what;
    }

    // A filled cell below a parent that never was: cell 1 emptied and
    // marked unfilled, its items moved to nobody.
    Bytes orphan = kHandFile;
    PutLittleEndian(&orphan[cells + 12], int32_t{-1});
    PutLittleEndian(&orphan[cells + 12 + 4], int32_t{0});
    CSpatialIndex index;
    EXPECT_FALSE(LoadBytes(index, orphan));
    EXPECT_EQ(index.GetError(), CSpatialIndex::kBadFormat);

    const struct {
        const char* what;
        size_t size;
        int error;
    } sizes[] = {
        {"empty", 0, CSpatialIndex::kReadError},
        {"short header", 63, CSpatialIndex::kReadError},
        {"header only", 64, CSpatialIndex::kBadFormat},
        {"one byte short", kHandFile.size() - 1, CSpatialIndex::kBadFormat},
        {"one byte over", kHandFile.size() + 1, CSpatialIndex::kBadFormat},
    };
    for (const auto& s : sizes) {
        Bytes bytes = kHandFile;
        bytes.resize(s.size, 0);
        EXPECT_FALSE(LoadBytes(index, bytes)) << s.what;
        EXPECT_EQ(index.GetError(), s.error) << s.what;
    }

    // A table may have more records than the index holds, never fewer.
    for (const int records : {20, 15}) {
        Bytes bytes = kHandFile;
        PutLittleEndian(&bytes[56], int32_t{records});
        EXPECT_EQ(LoadBytes(index, bytes, {records, kStamp.modified}), records == 20) << records;
    }
}

// Straight from the file, the header and the cells are checked as a load
// checks them, and every item a query reaches: damage there refuses the
// query; an item the query does not reach is not read.
TEST(SpatialIndexFile, QueriesFromTheFileCheckWhatTheyRead)
{
    const size_t items = 64 + 5 * 12;
    CBitSet bits;
    auto query = [&](const Bytes& bytes, const CMapRect& rect) {
        CMemoryStream stream(bytes, false);
        return CSpatialIndex::LoadAndQuery(stream, rect, bits, kStamp);
    };
    const CMapRect lowLeft(0, 30, 110, 0), right(140, 30, 255, 0); // cells 0, 1, 3; cells 0, 2
    EXPECT_EQ(query(kHandFile, lowLeft), 3);
    EXPECT_EQ(query(kHandFile, right), 2);

    // The cell of the damaged item, 0 for damage that every query meets.
    const struct {
        const char* what;
        size_t offset;
        int64_t value;
        int cell;
    } cases[] = {
        {"magic", 0, 0x99999999, 0},
        {"cells overlap", 64 + 3 * 12, 3, 0},
        {"cell key", 64 + 2 * 12 + 8, 0xFFFF0081, 0},
        {"stamp time", 60, 0x12345679, 0},
        {"item of cell 3 outside it", items + 4 * 8, 0x32C8323C, 3},
        {"record of cell 3 past the table", items + 4 * 8 + 4, 16, 3},
        {"reversed item of cell 2", items + 12 * 8, 0xC8C8C8C9, 2},
    };
    for (const auto& c : cases) {
        Bytes bytes = kHandFile;
        PutLittleEndian(&bytes[c.offset], static_cast<uint32_t>(c.value));
        EXPECT_EQ(query(bytes, lowLeft), c.cell == 2 ? 3 : -1) << c.what;
        EXPECT_EQ(query(bytes, right), c.cell == 3 ? 2 : -1) << c.what;
        if (c.cell == 3) {
            EXPECT_EQ(BitsOf(bits), (Records{1, 11})) << c.what;
        }
    }
    Bytes cut = kHandFile;
    cut.pop_back();
    EXPECT_EQ(query(cut, right), -1);
}

TEST(SpatialIndexFile, MissingOrFailedFilesAreReported)
{
    CTempDir dir;
    CBitSet bits;
    EXPECT_EQ(CSpatialIndex::LoadAndQuery(dir.File("none.spx"), kHandExtent, bits, kStamp), -1);
    CSpatialIndex index;
    EXPECT_FALSE(index.Load(dir.File("none.spx"), kStamp));
    EXPECT_EQ(index.GetError(), CSpatialIndex::kCannotOpen);

    // A failed save leaves the old index as it was.
    BuildHandIndex(index);
    const std::string path = dir.File("roads.spx");
    ASSERT_TRUE(index.Save(path, kStamp));
    EXPECT_FALSE(index.Save(dir.File("no such folder/roads.spx"), kStamp));
    EXPECT_EQ(index.GetError(), CSpatialIndex::kWriteError);
    EXPECT_EQ(CSpatialIndex::LoadAndQuery(path, CMapRect(0, 30, 110, 0), bits, kStamp), 3);
    EXPECT_EQ(BitsOf(bits), (Records{0, 1, 7}));
}

// The index follows the table it was made from: an append or a pack of the
// table, even one that ends at the old record count, makes it stale.
TEST(SpatialIndexFile, AnIndexOfAnotherTableStateIsIgnored)
{
    CTempDir dir;
    const std::string table = dir.File("roads.dbf");
    const std::string index = dir.File("roads.spx");
    WriteWholeFile(table, std::string(100, 'a'));
    const auto native = std::filesystem::path(ResolvePath(table));
    const auto built = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(native, built);

    CSpatialIndex::TableStamp stamp;
    ASSERT_TRUE(CSpatialIndex::TableStamp::OfFile(table, 16, stamp));
    CSpatialIndex made;
    BuildHandIndex(made);
    ASSERT_TRUE(made.Save(index, stamp));

    CSpatialIndex::TableStamp now;
    CBitSet bits;
    ASSERT_TRUE(CSpatialIndex::TableStamp::OfFile(table, 16, now));
    EXPECT_EQ(CSpatialIndex::LoadAndQuery(index, kHandExtent, bits, now), 16);

    // One record appended.
    ASSERT_TRUE(CSpatialIndex::TableStamp::OfFile(table, 17, now));
    EXPECT_EQ(CSpatialIndex::LoadAndQuery(index, kHandExtent, bits, now), -1);
    // Packed and appended back to the old count: only the time tells.
    WriteWholeFile(table, std::string(100, 'b'));
    ASSERT_TRUE(CSpatialIndex::TableStamp::OfFile(table, 16, now));
    EXPECT_FALSE(now == stamp);
    CSpatialIndex loaded;
    EXPECT_FALSE(loaded.Load(index, now));
    EXPECT_EQ(loaded.GetError(), CSpatialIndex::kStale);
    // The same time again (a copy that kept it) makes the index good again.
    std::filesystem::last_write_time(native, built);
    ASSERT_TRUE(CSpatialIndex::TableStamp::OfFile(table, 16, now));
    EXPECT_TRUE(loaded.Load(index, now)) << loaded.GetError();

    EXPECT_FALSE(CSpatialIndex::TableStamp::OfFile(dir.File("gone.dbf"), 16, now));
}

} // namespace
