#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"

#include <cstdint>
#include <string>
#include <vector>

class CBitSet;
class CStream;

// An index of the bounding boxes of a layer's objects, kept beside the
// layer's attribute table in an ".spx" file so that extent queries on large
// tables need not read every record. Boxes are quantised to one byte per
// coordinate over the data extent (y counting up from the bottom edge) and
// sorted into the cells of a fixed binary partition: cell a has the
// children 2a + 1 and 2a + 2, cells at even depths split their x range and
// those at odd depths their y range. A cell keeps the items that straddle
// its split; the rest go down.
//
// The file (little-endian): a 64-byte header (magic, version 1, header
// size 64, item count, extent left/top/right/bottom as doubles, cells used,
// item capacity, then the stamp of the table), 12 bytes per used cell
// (first item, item count, key) and 8 bytes per item (x0, y0, x1, y1,
// record number).
class CSpatialIndex {
public:
    static constexpr uint32_t kMagic = 0x99999998;
    static constexpr int32_t kVersion = 1;
    static constexpr int kHeaderSize = 64;
    static constexpr int kCellSize = 12;
    static constexpr int kItemSize = 8;
    // The cells that the feature sources give their indexes.
    static constexpr int kSourceCellCount = 2095;
    // Past this the ranges of the cells cannot be halved any more.
    static constexpr int kMaxCells = (1 << 17) - 1;
    // A cell with no more items than this is not split.
    static constexpr int kCellItemLimit = 8;

    enum Error {
        kNoError = 0,
        kCannotOpen = 1, // the file is missing or cannot be read
        kReadError = 2,  // shorter than its header
        kBadFormat = 3,  // not an index, or its counts, cells or items do not hold together
        kStale = 4,      // made from another state of the table
        kNoMemory = 5,
        kWriteError = 6,
        kNotReady = 7,   // saved unbuilt or lacking a refused item, or holding more records than the table
    };

    // What an index remembers of the table it was made from, so that an
    // index left over from before an append, a pack or a replaced table is
    // ignored: the table's record count and a fold of the time its file was
    // last written. Changing attributes in place also changes the time, so
    // such an index is ignored too until it is built again, which costs
    // speed and never an object.
    struct TableStamp {
        int32_t recordCount = 0;
        uint32_t modified = 0;

        friend bool operator==(const TableStamp&, const TableStamp&) = default;

        // The stamp of a table file as it is now; false when it cannot be examined.
        static bool OfFile(const std::string& tablePath, int recordCount, TableStamp& stamp);
    };

    CSpatialIndex() = default;
    CSpatialIndex(const CSpatialIndex&) = delete;
    CSpatialIndex& operator=(const CSpatialIndex&) = delete;

    // A new empty index over the extent for at most itemCapacity items,
    // numbered as records 0 to itemCapacity - 1, with cellCapacity cells
    // (kMaxCells at most). False, holding nothing, when a count is out of
    // range, the extent is not a finite rectangle or memory runs short.
    bool Create(const CMapRect& extent, int itemCapacity, int cellCapacity);
    void Free();

    // One item for the record. Parts of a box outside the extent count as
    // its edge. False when the index is full, already built, memory runs
    // short or the record number is outside the capacity; the index then
    // lacks an object and refuses to be built or saved.
    bool AddBox(const CMapRect& box, int record);
    bool AddPoint(const CMapPoint& point, int record);
    // Sorts the items into the cells; afterwards nothing can be added.
    // False when an item was refused.
    bool Build();

    // Writes the built index, stamped with the table it was made from, beside
    // the file and renames it into place. False when the file cannot be
    // written or the index could not hold the table's records.
    bool Save(const std::string& path, const TableStamp& stamp);
    bool Save(CStream& stream, const TableStamp& stamp);
    // Reads an index, first freeing what was held. False with the error
    // state set when the file is missing, not an index, inconsistent in any
    // count, cell or record number, or stamped for another table state.
    bool Load(const std::string& path, const TableStamp& stamp);
    bool Load(CStream& stream, const TableStamp& stamp);

    // Queries: the first record number whose box meets the rectangle
    // (edges included) or contains the point, then Next for the others;
    // -1 at the end, and at once when the rectangle or point lies outside
    // the extent.
    int BeginRectQuery(const CMapRect& rect);
    int BeginPointQuery(const CMapPoint& point);
    int Next();

    // Sets exactly the bits of the records whose boxes meet the rectangle,
    // the set sized to the item capacity. The number of hits, 0 when the
    // rectangle misses the extent; -1 when the set cannot be allocated.
    int QueryRect(const CMapRect& rect, CBitSet& hits);
    // What Load and QueryRect through a temporary index answer, -1 when
    // loading fails; but only the items of the cells the rectangle reaches
    // are read, and checked as Load checks them: a query that meets a
    // damaged item fails as the load would.
    static int LoadAndQuery(const std::string& path, const CMapRect& rect, CBitSet& hits, const TableStamp& stamp);
    static int LoadAndQuery(CStream& stream, const CMapRect& rect, CBitSet& hits, const TableStamp& stamp);

    const CMapRect& GetExtent() const { return m_extent; }
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    int GetItemCapacity() const { return m_itemCapacity; }
    int GetCellsUsed() const { return m_cellsUsed; }
    int GetError() const { return m_error; }

private:
    struct Box {
        uint8_t x0, y0, x1, y1;
    };
    struct Cell {
        int32_t first = -1; // -1: never filled
        int32_t count = 0;
        Box key{};
    };
    struct Item {
        Box box;
        int32_t record;
    };
    // The header's counts as Load checks them.
    struct Layout {
        CMapRect extent;
        int itemCount = 0, cellsUsed = 0, capacity = 0;
    };

    static uint32_t PackKey(const Box& box);
    static Box UnpackKey(uint32_t key);
    static Box LayOutKey(const Box& parent, int parentDepth, bool second);
    static bool Meets(const Box& a, const Box& b);
    static bool Holds(const Box& outer, const Box& inner);

    uint8_t QuantiseX(double x) const;
    uint8_t QuantiseY(double y) const;
    bool AddItem(Box box, int record);
    void Split(int cell);
    bool IsFilled(int cell) const;
    // The next cell of the rectangle walk after the given one, or -1.
    int NextCell(int cell) const;
    bool CanSave(const TableStamp& stamp) const;
    bool ReadLayout(CStream& stream, const TableStamp& stamp, Layout& layout);
    // Creates the cells and reads them in; their item ranges are checked.
    bool ReadCells(CStream& stream, const Layout& layout);
    bool ReadBody(CStream& stream, int cellsUsed, int itemCount);
    // An item as read from the file, checked against the cell it lies in.
    bool DecodeItem(const unsigned char* p, int cell, Item& item) const;
    // The filled cells holding items that a rectangle query enters, in preorder.
    void CellsMet(const Box& box, std::vector<int>& cells) const;
    // The query box of a rectangle; false when it misses the extent.
    bool QueryBoxOf(const CMapRect& rect, Box& box) const;
    // LoadAndQuery on a fresh index, which is left holding the cells only.
    int QueryFile(CStream& stream, const CMapRect& rect, CBitSet& hits, const TableStamp& stamp);
    bool Fail(Error error);

    CMapRect m_extent;
    int m_itemCapacity = 0;
    int m_cellsUsed = 0;
    bool m_built = false;
    bool m_incomplete = false; // an item was refused
    std::vector<Cell> m_cells;
    std::vector<Item> m_items;

    // The running query.
    uint8_t m_pointX = 0, m_pointY = 0;
    Box m_queryBox{};
    int m_cell = -1; // -1: finished
    int m_position = -1;
    bool m_pointQuery = false;

    int m_error = kNoError;
};
