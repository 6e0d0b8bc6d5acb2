#include "layers/SpatialIndex.h"

#include "core/BitSet.h"
#include "platform/ByteOrder.h"
#include "platform/Path.h"
#include "platform/Stream.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Items are read this many at a time, and written in blocks of about this size.
constexpr size_t kChunkItems = 4096;
constexpr size_t kChunkBytes = 1 << 16;

// trunc((v - low) * 255 / span) held to 0..255. A span of 0 sends the
// extent's own edge to 0 and everything beyond it to 255, which keeps the
// order of coordinates, so a box and a query that meet still meet.
uint8_t Quantise(double v, double low, double span)
{
    const double q = (v - low) * 255 / span;
    if (!(q > 0))
        return 0;
    if (q >= 255)
        return 255;
    return static_cast<uint8_t>(q);
}

bool IsFinite(const CMapRect& r)
{
    return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) && std::isfinite(r.bottom) &&
           std::isfinite(r.right - r.left) && std::isfinite(r.top - r.bottom);
}

} // namespace

bool CSpatialIndex::TableStamp::OfFile(const std::string& tablePath, int recordCount, TableStamp& stamp)
{
    int64_t time = 0;
    if (!GetFileModifiedTime(tablePath, time))
        return false;
    stamp.recordCount = recordCount;
    stamp.modified = static_cast<uint32_t>(static_cast<uint64_t>(time) ^ (static_cast<uint64_t>(time) >> 32));
    return true;
}

uint32_t CSpatialIndex::PackKey(const Box& box)
{
    return uint32_t{box.x0} | uint32_t{box.y0} << 8 | uint32_t{box.x1} << 16 | uint32_t{box.y1} << 24;
}

CSpatialIndex::Box CSpatialIndex::UnpackKey(uint32_t key)
{
    return Box{static_cast<uint8_t>(key), static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key >> 16),
               static_cast<uint8_t>(key >> 24)};
}

CSpatialIndex::Box CSpatialIndex::LayOutKey(const Box& parent, int parentDepth, bool second)
{
    Box child = parent;
    if (parentDepth % 2 == 0) {
        const int mid = (parent.x0 + parent.x1) / 2;
        if (second)
            child.x0 = static_cast<uint8_t>(mid + 1);
        else
            child.x1 = static_cast<uint8_t>(mid);
    } else {
        const int mid = (parent.y0 + parent.y1) / 2;
        if (second)
            child.y0 = static_cast<uint8_t>(mid + 1);
        else
            child.y1 = static_cast<uint8_t>(mid);
    }
    return child;
}

bool CSpatialIndex::Meets(const Box& a, const Box& b)
{
    return a.x0 <= b.x1 && a.x1 >= b.x0 && a.y0 <= b.y1 && a.y1 >= b.y0;
}

bool CSpatialIndex::Holds(const Box& outer, const Box& inner)
{
    return outer.x0 <= inner.x0 && inner.x1 <= outer.x1 && outer.y0 <= inner.y0 && inner.y1 <= outer.y1;
}

uint8_t CSpatialIndex::QuantiseX(double x) const
{
    return Quantise(x, m_extent.left, m_extent.right - m_extent.left);
}

uint8_t CSpatialIndex::QuantiseY(double y) const
{
    return Quantise(y, m_extent.bottom, m_extent.top - m_extent.bottom);
}

bool CSpatialIndex::Create(const CMapRect& extent, int itemCapacity, int cellCapacity)
{
    Free();
    m_error = kNoError;
    if (itemCapacity <= 0 || cellCapacity <= 0 || cellCapacity > kMaxCells || !extent.IsValid() || !IsFinite(extent))
        return false;
    try {
        m_cells.resize(static_cast<size_t>(cellCapacity));
    } catch (const std::bad_alloc&) {
        Free();
        return Fail(kNoMemory);
    }
    m_cells[0].key = Box{0, 0, 255, 255};
    for (int a = 0, depth = 0, levelEnd = 1; a < cellCapacity; ++a) {
        if (a == levelEnd) {
            ++depth;
            levelEnd = 2 * levelEnd + 1;
        }
        for (int child = 2 * a + 1; child <= 2 * a + 2 && child < cellCapacity; ++child)
            m_cells[static_cast<size_t>(child)].key = LayOutKey(m_cells[static_cast<size_t>(a)].key, depth, child == 2 * a + 2);
    }
    m_extent = extent;
    m_itemCapacity = itemCapacity;
    return true;
}

void CSpatialIndex::Free()
{
    m_extent.SetEmpty();
    m_itemCapacity = 0;
    m_cellsUsed = 0;
    m_built = false;
    m_incomplete = false;
    m_cells.clear();
    m_cells.shrink_to_fit();
    m_items.clear();
    m_items.shrink_to_fit();
    m_cell = -1;
    m_position = -1;
    m_pointQuery = false;
}

bool CSpatialIndex::AddItem(Box box, int record)
{
    // An index that lacks an object it was given would hide that object from
    // every query, so one refused item keeps the index from being built or saved.
    if (m_built || record < 0 || record >= m_itemCapacity || m_items.size() >= static_cast<size_t>(m_itemCapacity)) {
        m_incomplete = true;
        return false;
    }
    // A reversed box still gets an item, spanning its corners.
    if (box.x0 > box.x1)
        std::swap(box.x0, box.x1);
    if (box.y0 > box.y1)
        std::swap(box.y0, box.y1);
    try {
        m_items.push_back(Item{box, record});
    } catch (const std::bad_alloc&) {
        m_incomplete = true;
        return Fail(kNoMemory);
    }
    return true;
}

bool CSpatialIndex::AddBox(const CMapRect& box, int record)
{
    return AddItem(Box{QuantiseX(box.left), QuantiseY(box.bottom), QuantiseX(box.right), QuantiseY(box.top)}, record);
}

bool CSpatialIndex::AddPoint(const CMapPoint& point, int record)
{
    const uint8_t x = QuantiseX(point.x), y = QuantiseY(point.y);
    return AddItem(Box{x, y, x, y}, record);
}

bool CSpatialIndex::Build()
{
    if (m_incomplete)
        return false;
    if (m_built || m_cells.empty())
        return true;
    m_built = true;
    if (m_items.empty())
        return true;
    m_cells[0].first = 0;
    m_cells[0].count = static_cast<int32_t>(m_items.size());
    m_cellsUsed = 1;
    Split(0);
    return true;
}

void CSpatialIndex::Split(int a)
{
    const int cellCapacity = static_cast<int>(m_cells.size());
    Cell& cell = m_cells[static_cast<size_t>(a)];
    if (cell.count <= kCellItemLimit || 2 * a + 3 >= cellCapacity)
        return;
    const Box firstChild = m_cells[static_cast<size_t>(2 * a + 1)].key;
    const int first = cell.first, last = cell.first + cell.count - 1;
    auto item = [this](int i) -> Item& { return m_items[static_cast<size_t>(i)]; };

    // Straddlers of the split to the front, in the order met.
    int straddling = 0;
    for (int i = first; i <= last; ++i) {
        const Box& b = item(i).box;
        if (b.x0 <= firstChild.x1 && b.y0 <= firstChild.y1 && (b.x1 > firstChild.x1 || b.y1 > firstChild.y1))
            std::swap(item(i), item(first + straddling++));
    }
    // Items wholly beyond the first child to the back.
    int beyond = 0;
    for (int i = last; i >= first + straddling; --i) {
        const Box& b = item(i).box;
        if (b.x0 > firstChild.x1 || b.y0 > firstChild.y1)
            std::swap(item(i), item(last - beyond++));
    }

    Cell& one = m_cells[static_cast<size_t>(2 * a + 1)];
    one.first = first + straddling;
    one.count = cell.count - straddling - beyond;
    Cell& two = m_cells[static_cast<size_t>(2 * a + 2)];
    two.first = last - beyond + 1;
    two.count = beyond;
    cell.count = straddling;
    m_cellsUsed = std::max(m_cellsUsed, 2 * a + 3);
    Split(2 * a + 1);
    Split(2 * a + 2);
}

bool CSpatialIndex::CanSave(const TableStamp& stamp) const
{
    // Built (or loaded) from every item given, and no bigger than the table,
    // which its load would refuse.
    return m_built && !m_incomplete && m_itemCapacity <= stamp.recordCount;
}

bool CSpatialIndex::Save(const std::string& path, const TableStamp& stamp)
{
    m_error = kNoError;
    // Checked before the temporary file is made as well as inside.
    if (!CanSave(stamp))
        return Fail(kNotReady);
    if (!WriteFileAtomically(path, [&](CStream& stream) { return Save(stream, stamp); }))
        return Fail(m_error == kNoError ? kWriteError : static_cast<Error>(m_error));
    return true;
}

bool CSpatialIndex::Save(CStream& stream, const TableStamp& stamp)
{
    m_error = kNoError;
    if (!CanSave(stamp))
        return Fail(kNotReady);
    const int itemCount = static_cast<int>(m_items.size());
    const int cellsUsed = itemCount == 0 ? 0 : m_cellsUsed;

    unsigned char header[kHeaderSize] = {};
    PutLittleEndian(header, kMagic);
    PutLittleEndian(header + 4, kVersion);
    PutLittleEndian(header + 8, int32_t{kHeaderSize});
    PutLittleEndian(header + 12, int32_t{itemCount});
    PutLittleEndian(header + 16, m_extent.left);
    PutLittleEndian(header + 24, m_extent.top);
    PutLittleEndian(header + 32, m_extent.right);
    PutLittleEndian(header + 40, m_extent.bottom);
    PutLittleEndian(header + 48, int32_t{cellsUsed});
    PutLittleEndian(header + 52, int32_t{m_itemCapacity});
    PutLittleEndian(header + 56, stamp.recordCount);
    PutLittleEndian(header + 60, stamp.modified);
    if (!stream.WriteExact(header, sizeof header))
        return Fail(kWriteError);

    std::vector<unsigned char> bytes;
    bytes.reserve(kChunkBytes + kCellSize);
    auto flush = [&] {
        const bool written = stream.WriteExact(bytes.data(), bytes.size());
        bytes.clear();
        return written;
    };
    for (int c = 0; c < cellsUsed; ++c) {
        const Cell& cell = m_cells[static_cast<size_t>(c)];
        unsigned char* p = &*bytes.insert(bytes.end(), kCellSize, 0);
        PutLittleEndian(p, cell.first);
        PutLittleEndian(p + 4, cell.count);
        PutLittleEndian(p + 8, PackKey(cell.key));
        if (bytes.size() >= kChunkBytes && !flush())
            return Fail(kWriteError);
    }
    for (const Item& item : m_items) {
        unsigned char* p = &*bytes.insert(bytes.end(), kItemSize, 0);
        p[0] = item.box.x0;
        p[1] = item.box.y0;
        p[2] = item.box.x1;
        p[3] = item.box.y1;
        PutLittleEndian(p + 4, item.record);
        if (bytes.size() >= kChunkBytes && !flush())
            return Fail(kWriteError);
    }
    if (!flush())
        return Fail(kWriteError);
    return true;
}

bool CSpatialIndex::Load(const std::string& path, const TableStamp& stamp)
{
    Free();
    m_error = kNoError;
    auto stream = CFileStream::Open(path, FileMode::Read);
    if (!stream)
        return Fail(kCannotOpen);
    return Load(*stream, stamp);
}

bool CSpatialIndex::ReadLayout(CStream& stream, const TableStamp& stamp, Layout& layout)
{
    unsigned char header[kHeaderSize];
    if (!stream.Seek(0) || !stream.ReadExact(header, sizeof header))
        return Fail(kReadError);
    if (GetLittleEndian<uint32_t>(header) != kMagic || GetLittleEndian<int32_t>(header + 4) != kVersion ||
        GetLittleEndian<int32_t>(header + 8) != kHeaderSize)
        return Fail(kBadFormat);
    const TableStamp stored{GetLittleEndian<int32_t>(header + 56), GetLittleEndian<uint32_t>(header + 60)};
    if (stored != stamp)
        return Fail(kStale);

    layout.itemCount = GetLittleEndian<int32_t>(header + 12);
    layout.extent = CMapRect(GetLittleEndian<double>(header + 16), GetLittleEndian<double>(header + 24),
                             GetLittleEndian<double>(header + 32), GetLittleEndian<double>(header + 40));
    layout.cellsUsed = GetLittleEndian<int32_t>(header + 48);
    layout.capacity = GetLittleEndian<int32_t>(header + 52);
    const int itemCount = layout.itemCount, cellsUsed = layout.cellsUsed, capacity = layout.capacity;
    // Items are records of the table, so there are no more of them than it has.
    bool valid = itemCount >= 0 && itemCount <= capacity && capacity <= stamp.recordCount &&
                 layout.extent.IsValid() && IsFinite(layout.extent);
    if (valid)
        valid = itemCount == 0 ? cellsUsed == 0 : cellsUsed >= 1 && cellsUsed <= kMaxCells;
    if (valid)
        valid = stream.Size() == kHeaderSize + int64_t{cellsUsed} * kCellSize + int64_t{itemCount} * kItemSize;
    if (!valid)
        return Fail(kBadFormat);
    return true;
}

bool CSpatialIndex::Load(CStream& stream, const TableStamp& stamp)
{
    Free();
    m_error = kNoError;
    Layout layout;
    if (!ReadLayout(stream, stamp, layout))
        return false;
    if (layout.itemCount == 0) {
        m_extent = layout.extent;
        m_itemCapacity = layout.capacity;
        m_built = true;
        return true;
    }
    if (!ReadCells(stream, layout) || !ReadBody(stream, layout.cellsUsed, layout.itemCount)) {
        const int error = m_error;
        Free();
        m_error = error;
        return false;
    }
    m_built = true;
    return true;
}

bool CSpatialIndex::ReadCells(CStream& stream, const Layout& layout)
{
    const int cellsUsed = layout.cellsUsed, itemCount = layout.itemCount;
    if (!Create(layout.extent, layout.capacity, cellsUsed))
        return Fail(kNoMemory);
    // Every cell must be the one laid out at its place, filled only below a
    // filled parent, and the filled cells must share the items out without
    // gap or overlap: then each item is reached by every query it meets.
    struct Range {
        int32_t first, count;
    };
    std::vector<unsigned char> bytes;
    std::vector<Range> ranges;
    try {
        bytes.resize(static_cast<size_t>(cellsUsed) * kCellSize);
        ranges.reserve(static_cast<size_t>(cellsUsed));
    } catch (const std::bad_alloc&) {
        return Fail(kNoMemory);
    }
    if (!stream.ReadExact(bytes.data(), bytes.size()))
        return Fail(kReadError);
    for (int c = 0; c < cellsUsed; ++c) {
        const unsigned char* p = bytes.data() + static_cast<size_t>(c) * kCellSize;
        Cell& cell = m_cells[static_cast<size_t>(c)];
        const int32_t first = GetLittleEndian<int32_t>(p), count = GetLittleEndian<int32_t>(p + 4);
        if (PackKey(cell.key) != GetLittleEndian<uint32_t>(p + 8))
            return Fail(kBadFormat);
        if (first == -1) {
            if (count != 0 || c == 0)
                return Fail(kBadFormat);
            continue;
        }
        if (first < 0 || first > itemCount || count < 0 || count > itemCount - first ||
            (c > 0 && !IsFilled((c - 1) / 2)))
            return Fail(kBadFormat);
        cell.first = first;
        cell.count = count;
        if (count > 0)
            ranges.push_back(Range{first, count});
    }
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
    int64_t next = 0;
    for (const Range& range : ranges) {
        if (range.first != next)
            return Fail(kBadFormat);
        next += range.count;
    }
    if (next != itemCount)
        return Fail(kBadFormat);
    m_cellsUsed = cellsUsed;
    return true;
}

bool CSpatialIndex::DecodeItem(const unsigned char* p, int cell, Item& item) const
{
    // Each item lies inside its cell and names a record the table has.
    item.box = Box{p[0], p[1], p[2], p[3]};
    item.record = GetLittleEndian<int32_t>(p + 4);
    return item.record >= 0 && item.record < m_itemCapacity && item.box.x0 <= item.box.x1 &&
           item.box.y0 <= item.box.y1 && Holds(m_cells[static_cast<size_t>(cell)].key, item.box);
}

bool CSpatialIndex::ReadBody(CStream& stream, int cellsUsed, int itemCount)
{
    // The cell of each item, from the ranges the cells were checked to share out.
    std::vector<std::pair<int32_t, int32_t>> starts; // first item, cell
    std::vector<unsigned char> bytes;
    try {
        for (int c = 0; c < cellsUsed; ++c) {
            const Cell& cell = m_cells[static_cast<size_t>(c)];
            if (cell.first >= 0 && cell.count > 0)
                starts.emplace_back(cell.first, c);
        }
        bytes.resize(kChunkItems * kItemSize);
        m_items.resize(static_cast<size_t>(itemCount));
    } catch (const std::bad_alloc&) {
        return Fail(kNoMemory);
    }
    std::sort(starts.begin(), starts.end());
    auto range = starts.begin();
    for (int done = 0; done < itemCount;) {
        const int n = std::min(itemCount - done, static_cast<int>(kChunkItems));
        if (!stream.ReadExact(bytes.data(), static_cast<size_t>(n) * kItemSize))
            return Fail(kReadError);
        for (int i = 0; i < n; ++i, ++done) {
            while (range + 1 != starts.end() && (range + 1)->first <= done)
                ++range;
            if (!DecodeItem(bytes.data() + static_cast<size_t>(i) * kItemSize, range->second,
                            m_items[static_cast<size_t>(done)]))
                return Fail(kBadFormat);
        }
    }
    return true;
}

bool CSpatialIndex::IsFilled(int cell) const
{
    return m_cells[static_cast<size_t>(cell)].first != -1;
}

bool CSpatialIndex::QueryBoxOf(const CMapRect& rect, Box& box) const
{
    // Comparisons written to fail on NaN as well.
    if (m_cellsUsed == 0 || !IsFilled(0) || !(rect.left <= rect.right && rect.bottom <= rect.top) ||
        !(rect.left <= m_extent.right && rect.right >= m_extent.left && rect.bottom <= m_extent.top &&
          rect.top >= m_extent.bottom))
        return false;
    box = Box{QuantiseX(rect.left), QuantiseY(rect.bottom), QuantiseX(rect.right), QuantiseY(rect.top)};
    return true;
}

int CSpatialIndex::BeginRectQuery(const CMapRect& rect)
{
    m_cell = -1;
    m_pointQuery = false;
    if (!QueryBoxOf(rect, m_queryBox))
        return -1;
    m_cell = 0;
    m_position = -1;
    return Next();
}

int CSpatialIndex::BeginPointQuery(const CMapPoint& point)
{
    m_cell = -1;
    m_pointQuery = true;
    if (m_cellsUsed == 0 || !IsFilled(0) ||
        !(point.x >= m_extent.left && point.x <= m_extent.right && point.y >= m_extent.bottom &&
          point.y <= m_extent.top))
        return -1;
    m_pointX = QuantiseX(point.x);
    m_pointY = QuantiseY(point.y);
    m_queryBox = Box{m_pointX, m_pointY, m_pointX, m_pointY};
    m_cell = 0;
    m_position = -1;
    return Next();
}

int CSpatialIndex::NextCell(int cell) const
{
    auto enterable = [this](int c) {
        return c < m_cellsUsed && IsFilled(c) && Meets(m_cells[static_cast<size_t>(c)].key, m_queryBox);
    };
    if (m_pointQuery) {
        int child = 2 * cell + 1;
        if (child >= m_cellsUsed)
            return -1;
        const Box& key = m_cells[static_cast<size_t>(child)].key;
        if (m_pointX > key.x1 || m_pointY > key.y1)
            ++child;
        return child < m_cellsUsed && IsFilled(child) ? child : -1;
    }
    // Preorder: down into the first child, else across to the second child
    // of the nearest first child on the way up, counting from the skipped
    // first child itself so that its own sibling is not passed over.
    if (enterable(2 * cell + 1))
        return 2 * cell + 1;
    for (cell = 2 * cell + 1; cell > 0; cell = (cell - 1) / 2)
        if (cell % 2 == 1 && enterable(cell + 1))
            return cell + 1;
    return -1;
}

int CSpatialIndex::Next()
{
    while (m_cell >= 0) {
        const Cell& cell = m_cells[static_cast<size_t>(m_cell)];
        while (++m_position < cell.count) {
            const Item& item = m_items[static_cast<size_t>(cell.first + m_position)];
            if (Meets(item.box, m_queryBox))
                return item.record;
        }
        m_position = -1;
        m_cell = NextCell(m_cell);
    }
    return -1;
}

void CSpatialIndex::CellsMet(const Box& box, std::vector<int>& cells) const
{
    // The walk of Next: a cell is entered when it is filled and its key
    // meets the box, and the keys of a cell's children lie inside its own.
    cells.clear();
    int stack[64];
    int depth = 0;
    stack[depth++] = 0;
    while (depth > 0) {
        const int c = stack[--depth];
        const Cell& cell = m_cells[static_cast<size_t>(c)];
        if (cell.count > 0)
            cells.push_back(c);
        for (const int child : {2 * c + 2, 2 * c + 1})
            if (child < m_cellsUsed && IsFilled(child) && Meets(m_cells[static_cast<size_t>(child)].key, box))
                stack[depth++] = child;
    }
}

int CSpatialIndex::QueryRect(const CMapRect& rect, CBitSet& hits)
{
    // The set is renewed even for a miss, so no earlier query's bits can
    // pass for hits of this one.
    if (!hits.Allocate(m_itemCapacity))
        return -1;
    Box box;
    if (!QueryBoxOf(rect, box))
        return 0;
    std::vector<int> cells;
    CellsMet(box, cells);
    int count = 0;
    for (const int c : cells) {
        const Cell& cell = m_cells[static_cast<size_t>(c)];
        const Item* item = m_items.data() + cell.first;
        const Item* end = item + cell.count;
        // Items lie inside their cell: all of a cell inside the box meet it.
        if (Holds(box, cell.key)) {
            for (; item != end; ++item)
                hits.Set(item->record);
            count += cell.count;
            continue;
        }
        for (; item != end; ++item) {
            if (Meets(item->box, box)) {
                hits.Set(item->record);
                ++count;
            }
        }
    }
    return count;
}

int CSpatialIndex::LoadAndQuery(const std::string& path, const CMapRect& rect, CBitSet& hits,
                                const TableStamp& stamp)
{
    auto stream = CFileStream::Open(path, FileMode::Read);
    if (!stream)
        return -1;
    return LoadAndQuery(*stream, rect, hits, stamp);
}

int CSpatialIndex::LoadAndQuery(CStream& stream, const CMapRect& rect, CBitSet& hits, const TableStamp& stamp)
{
    CSpatialIndex index;
    return index.QueryFile(stream, rect, hits, stamp);
}

int CSpatialIndex::QueryFile(CStream& stream, const CMapRect& rect, CBitSet& hits, const TableStamp& stamp)
{
    Layout layout;
    if (!ReadLayout(stream, stamp, layout))
        return -1;
    if (layout.itemCount == 0) {
        m_extent = layout.extent;
        m_itemCapacity = layout.capacity;
    } else if (!ReadCells(stream, layout)) {
        return -1;
    }
    if (!hits.Allocate(m_itemCapacity)) {
        Fail(kNoMemory);
        return -1;
    }
    Box box;
    if (!QueryBoxOf(rect, box))
        return 0;
    std::vector<int> cells;
    std::vector<unsigned char> bytes;
    try {
        CellsMet(box, cells);
        bytes.resize(kChunkItems * kItemSize);
    } catch (const std::bad_alloc&) {
        Fail(kNoMemory);
        return -1;
    }
    // In file order, each read running on over the cells that follow close by.
    std::sort(cells.begin(), cells.end(), [this](int a, int b) {
        return m_cells[static_cast<size_t>(a)].first < m_cells[static_cast<size_t>(b)].first;
    });
    const int64_t itemsAt = kHeaderSize + int64_t{m_cellsUsed} * kCellSize;
    constexpr int64_t kGapItems = kChunkItems / 4;
    int64_t bufferFirst = 0, bufferEnd = 0; // the items in the buffer
    int count = 0;
    for (size_t k = 0; k < cells.size(); ++k) {
        const Cell& cell = m_cells[static_cast<size_t>(cells[k])];
        for (int64_t i = cell.first; i < cell.first + cell.count; ++i) {
            if (i >= bufferEnd) {
                int64_t end = cell.first + cell.count;
                for (size_t next = k + 1; next < cells.size(); ++next) {
                    const Cell& after = m_cells[static_cast<size_t>(cells[next])];
                    if (after.first - end > kGapItems || after.first + after.count - i > int64_t{kChunkItems})
                        break;
                    end = after.first + after.count;
                }
                end = std::min(end, i + int64_t{kChunkItems});
                if (!stream.Seek(itemsAt + i * kItemSize) ||
                    !stream.ReadExact(bytes.data(), static_cast<size_t>(end - i) * kItemSize)) {
                    Fail(kReadError);
                    return -1;
                }
                bufferFirst = i;
                bufferEnd = end;
            }
            Item item;
            if (!DecodeItem(bytes.data() + (i - bufferFirst) * kItemSize, cells[k], item)) {
                Fail(kBadFormat);
                return -1;
            }
            if (Meets(item.box, box)) {
                hits.Set(item.record);
                ++count;
            }
        }
    }
    return count;
}

bool CSpatialIndex::Fail(Error error)
{
    m_error = error;
    return false;
}
