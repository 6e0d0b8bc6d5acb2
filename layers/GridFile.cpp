#include "layers/GridFile.h"

#include "platform/ByteOrder.h"

#include "platform/Stream.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace {

constexpr int kOutOfMemory = 1005;
constexpr int kCannotOpen = 1007;
constexpr int kReadFailed = 1028;
constexpr int kBadFormat = 1030;

constexpr uint32_t kPackedNoData = 0xFFF;
constexpr uint32_t kInt24NoData = 0xFFFFFF;

// A position within 0 .. count-1 split into the lower index and the
// fraction towards the next; the last cell pair takes fraction 1.
void SplitPosition(double position, int count, int& index, double& fraction)
{
    if (!(position > 0)) {
        index = 0;
        fraction = 0;
    } else if (position >= count - 1) {
        index = count - 2;
        fraction = 1;
    } else {
        index = static_cast<int>(position);
        fraction = position - index;
    }
}

} // namespace

void CGridFile::Header::Read(const unsigned char (&bytes)[kHeaderSize])
{
    magic = GetLittleEndian<int16_t>(bytes);
    cellType = GetLittleEndian<int16_t>(bytes + 2);
    xFirst = GetLittleEndian<double>(bytes + 4);
    xLast = GetLittleEndian<double>(bytes + 12);
    cellWidth = GetLittleEndian<double>(bytes + 20);
    columns = GetLittleEndian<uint16_t>(bytes + 28);
    yFirst = GetLittleEndian<double>(bytes + 30);
    yLast = GetLittleEndian<double>(bytes + 38);
    cellHeight = GetLittleEndian<double>(bytes + 46);
    rows = GetLittleEndian<uint16_t>(bytes + 54);
}

void CGridFile::Header::Write(unsigned char (&bytes)[kHeaderSize]) const
{
    PutLittleEndian(bytes, magic);
    PutLittleEndian(bytes + 2, cellType);
    PutLittleEndian(bytes + 4, xFirst);
    PutLittleEndian(bytes + 12, xLast);
    PutLittleEndian(bytes + 20, cellWidth);
    PutLittleEndian(bytes + 28, columns);
    PutLittleEndian(bytes + 30, yFirst);
    PutLittleEndian(bytes + 38, yLast);
    PutLittleEndian(bytes + 46, cellHeight);
    PutLittleEndian(bytes + 54, rows);
}

CGridFile::CGridFile() = default;
CGridFile::~CGridFile() = default;

bool CGridFile::Open(const std::string& path)
{
    Close();
    auto stream = CFileStream::Open(path, FileMode::Read);
    if (!stream) {
        AppMessageBoxArg(kCannotOpen, path);
        return false;
    }
    return Open(std::move(stream));
}

bool CGridFile::Open(std::unique_ptr<CStream> stream)
{
    Close();
    if (!stream)
        return false;
    unsigned char header[kHeaderSize];
    if (!stream->Seek(0) || !stream->ReadExact(header, sizeof header)) {
        AppMessageBox(kReadFailed);
        return false;
    }
    Header h;
    h.Read(header);
    const int columns = h.columns, rows = h.rows;

    // A grid needs two columns and two rows to have a cell size at all, and
    // at least one whole row in the file.
    bool valid = h.magic == kMagic && h.cellType >= kPacked0 && h.cellType <= kInt24 && columns >= 2 && rows >= 2;
    double cellWidth = 0, cellHeight = 0;
    if (valid) {
        cellWidth = (h.xLast - h.xFirst) / (columns - 1);
        cellHeight = (h.yLast - h.yFirst) / (rows - 1);
        valid = std::isfinite(h.xFirst) && std::isfinite(h.yFirst) && std::isfinite(cellWidth) &&
                std::isfinite(cellHeight) && cellWidth != 0 && cellHeight != 0;
    }
    int64_t wholeRows = 0;
    if (valid) {
        const int64_t rowBytes = int64_t{columns} * (h.cellType == kInt24 ? 4 : 2);
        wholeRows = std::min<int64_t>(std::max<int64_t>(stream->Size() - kHeaderSize, 0) / rowBytes, rows);
        valid = wholeRows > 0;
    }
    if (!valid) {
        AppMessageBox(kBadFormat);
        return false;
    }

    m_file = std::move(stream);
    m_cellType = h.cellType;
    m_xFirst = h.xFirst;
    m_yFirst = h.yFirst;
    m_columns = static_cast<uint16_t>(columns);
    m_rows = static_cast<uint16_t>(rows);
    m_wholeRows = static_cast<uint16_t>(wholeRows);
    m_cellWidth = cellWidth;
    m_cellHeight = cellHeight;
    m_lastRowRead = -1; // the stream stands at row 0
    m_open = true;
    return true;
}

void CGridFile::Close()
{
    m_file.reset();
    m_open = false;
    m_rowA.clear();
    m_rowA.shrink_to_fit();
    m_rowB.clear();
    m_rowB.shrink_to_fit();
    m_rowBytes.clear();
    m_rowBytes.shrink_to_fit();
    m_columnCache.clear();
    m_columnCache.shrink_to_fit();
    m_rowInA = m_rowInB = m_lastRowRead = -1;
    m_error = kNoError;
    m_lastFlags = 0;
    m_columns = m_rows = m_wholeRows = 0;
    m_cutReported = false;
}

bool CGridFile::GetExtent(CMapRect& extent) const
{
    if (!m_open)
        return false;
    extent.left = m_xFirst;
    extent.top = m_yFirst;
    extent.right = m_xFirst + (m_columns - 1) * m_cellWidth;
    extent.bottom = m_yFirst + (m_rows - 1) * m_cellHeight;
    return true;
}

bool CGridFile::GetBounds(CMapRect& bounds) const
{
    if (!GetExtent(bounds))
        return false;
    bounds = BoundsOf(bounds);
    return true;
}

CMapRect CGridFile::BoundsOf(CMapRect extent)
{
    if (extent.left > extent.right)
        std::swap(extent.left, extent.right);
    if (extent.top < extent.bottom)
        std::swap(extent.top, extent.bottom);
    return extent;
}

void CGridFile::MapToCells(const CMapRect& map, CMapRect& cells) const
{
    cells.left = (map.left - m_xFirst) / m_cellWidth;
    cells.right = (map.right - m_xFirst) / m_cellWidth;
    cells.top = (map.top - m_yFirst) / m_cellHeight;
    cells.bottom = (map.bottom - m_yFirst) / m_cellHeight;
}

int CGridFile::CellValue(uint32_t cell) const
{
    switch (m_cellType) {
    case kHundredths:
    case kInt16:
        return static_cast<int16_t>(cell);
    case kInt24:
        cell &= kInt24NoData;
        return cell == kInt24NoData ? -1 : static_cast<int>(cell);
    default:
        cell &= kPackedNoData;
        return cell == kPackedNoData ? -1 : static_cast<int>(cell);
    }
}

bool CGridFile::IsNoData(uint32_t cell) const
{
    switch (m_cellType) {
    case kHundredths:
    case kInt16:
        return false;
    case kInt24:
        return (cell & kInt24NoData) == kInt24NoData;
    default:
        return (cell & kPackedNoData) == kPackedNoData;
    }
}

double CGridFile::ClassValue(uint32_t cell) const
{
    // Only type 3 is stored in hundredths.
    const int value = CellValue(cell);
    return m_cellType == kHundredths ? value * 0.01 : value;
}

void CGridFile::Fail(Error error)
{
    m_error = error;
    AppMessageBox(error == kNoMemory ? kOutOfMemory : kReadFailed);
}

bool CGridFile::Allocate(std::vector<uint32_t>& buffer, size_t size)
{
    if (buffer.size() == size)
        return true;
    try {
        buffer.assign(size, 0);
        return true;
    } catch (const std::bad_alloc&) {
        Fail(kNoMemory);
        return false;
    }
}

bool CGridFile::ReadRow(int row, std::vector<uint32_t>& buffer)
{
    if (m_error != kNoError)
        return false;
    if (row >= m_wholeRows) {
        // Cut off: the rows before read on; the user hears of it once.
        if (!m_cutReported)
            AppMessageBox(kReadFailed);
        m_cutReported = true;
        return false;
    }
    const size_t cellBytes = static_cast<size_t>(CellBytes());
    if (m_rowBytes.size() != m_columns * cellBytes) {
        try {
            m_rowBytes.assign(m_columns * cellBytes, 0);
        } catch (const std::bad_alloc&) {
            Fail(kNoMemory);
            return false;
        }
    }
    // The offset of a row far down a wide grid passes 4 GiB.
    const int64_t offset = kHeaderSize + int64_t{row} * m_columns * static_cast<int64_t>(cellBytes);
    const bool positioned = row == m_lastRowRead + 1 || m_file->Seek(offset);
    if (!positioned || !m_file->ReadExact(m_rowBytes.data(), m_rowBytes.size())) {
        m_lastRowRead = -2; // position unknown
        Fail(kReadError);
        return false;
    }
    m_lastRowRead = row;
    const unsigned char* p = m_rowBytes.data();
    if (cellBytes == 4) {
        for (size_t i = 0; i < m_columns; ++i, p += 4)
            buffer[i] = GetLittleEndian<uint32_t>(p);
    } else {
        for (size_t i = 0; i < m_columns; ++i, p += 2)
            buffer[i] = GetLittleEndian<uint16_t>(p);
    }
    return true;
}

bool CGridFile::LoadRows(int a, int b)
{
    if (m_error != kNoError || !m_open)
        return false;
    if (!Allocate(m_rowA, m_columns) || !Allocate(m_rowB, m_columns))
        return false;
    const bool swapHelps = (a >= 0 && m_rowInA != a && m_rowInB == a) ||
                           (b >= 0 && m_rowInB != b && m_rowInA == b && m_rowInA != a);
    if (swapHelps) {
        m_rowA.swap(m_rowB);
        std::swap(m_rowInA, m_rowInB);
    }
    if (a >= 0 && m_rowInA != a) {
        m_rowInA = -1;
        if (!ReadRow(a, m_rowA))
            return false;
        m_rowInA = a;
    }
    if (b >= 0 && m_rowInB != b) {
        m_rowInB = -1;
        if (!ReadRow(b, m_rowB))
            return false;
        m_rowInB = b;
    }
    return true;
}

int CGridFile::ValueAt(const CMapPoint& point)
{
    if (!m_open)
        return -1;
    // The nearest cell; a point more than half a cell outside has none.
    const double row = (point.y - m_yFirst) / m_cellHeight + 0.5;
    const double column = (point.x - m_xFirst) / m_cellWidth + 0.5;
    if (!(row >= 0 && row < m_rows && column >= 0 && column < m_columns))
        return -1;
    const int r = static_cast<int>(row);
    if (!LoadRows(r, -1))
        return -1;
    return CellValue(m_rowA[static_cast<size_t>(static_cast<int>(column))]);
}

bool CGridFile::CornersAt(double column, double row, Corners& out)
{
    if (!m_open || std::isnan(column) || std::isnan(row))
        return false;
    int c0, r0;
    SplitPosition(column, m_columns, c0, out.fx);
    SplitPosition(row, m_rows, r0, out.fy);

    const bool cached = PrepareColumnCache();
    const bool hit0 = cached && m_columnCache[r0].column == c0;
    const bool hit1 = cached && m_columnCache[r0 + 1].column == c0;
    if (!LoadRows(hit0 ? -1 : r0, hit1 ? -1 : r0 + 1))
        return false;
    const auto take = [&](bool hit, int r, const std::vector<uint32_t>& buffer, uint32_t* cells) {
        if (hit) {
            cells[0] = m_columnCache[r].cells[0];
            cells[1] = m_columnCache[r].cells[1];
            return;
        }
        cells[0] = buffer[c0];
        cells[1] = buffer[c0 + 1];
        if (cached)
            m_columnCache[r] = {c0, {cells[0], cells[1]}};
    };
    take(hit0, r0, m_rowA, out.cells);
    take(hit1, r0 + 1, m_rowB, out.cells + 2);
    return true;
}

double CGridFile::Corners::Blend(const CGridFile& grid) const
{
    const double c00 = grid.CellValue(cells[0]), c01 = grid.CellValue(cells[1]);
    const double c10 = grid.CellValue(cells[2]), c11 = grid.CellValue(cells[3]);
    return (1 - fy) * ((1 - fx) * c00 + fx * c01) + fy * ((1 - fx) * c10 + fx * c11);
}

double CGridFile::Interpolate(double column, double row)
{
    Corners corners;
    if (!CornersAt(column, row, corners))
        return -1;
    if (m_cellType <= kPacked2)
        m_lastFlags = static_cast<int>(corners.Nearest() >> 12) & 0xF;
    return corners.Blend(*this);
}

void CGridFile::SetColumnCache(bool on)
{
    m_useColumnCache = on ? 1 : 0;
    m_columnCache.clear();
}

bool CGridFile::PrepareColumnCache()
{
    if (!m_useColumnCache)
        return false;
    if (m_columnCache.size() == m_rows)
        return true;
    try {
        m_columnCache.assign(m_rows, ColumnCacheEntry{});
        return true;
    } catch (const std::bad_alloc&) {
        // Interpolation goes on without the cache.
        m_useColumnCache = 0;
        AppMessageBox(kOutOfMemory);
        return false;
    }
}

COLORREF CGridFile::ClassColour(ColourClasses& classes, double value)
{
    const std::vector<ColourClass>& list = classes.classes;
    if (list.empty())
        return kNoColour;
    size_t i = classes.cursor < list.size() ? classes.cursor : list.size() - 1;
    while (i + 1 < list.size() && value > list[i].high)
        ++i;
    while (i > 0 && value <= list[i - 1].high)
        --i;
    classes.cursor = i;
    if (value > list[i].high || (i == 0 && value < list[0].low))
        return kNoColour;
    return list[i].colour;
}
