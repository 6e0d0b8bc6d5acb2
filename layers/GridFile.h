#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "platform/Gdi.h"
#include "platform/Rect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDC;
class CStream;

// One regular grid of values (an elevation model or a field-strength map)
// in an ".rmp" file: a 56-byte little-endian header, then the rows, the
// first row first. At most two rows are held in memory.
class CGridFile {
public:
    static constexpr int16_t kMagic = 19794; // "RM"
    static constexpr int kHeaderSize = 56;

    // Cell types. 0 to 2: 16-bit cells, the low 12 bits the value (4095 no
    // data), the high 4 bits a flag nibble; 3: int16 hundredths; 4: int16;
    // 5: 32-bit cells, the low 24 bits the value (0xFFFFFF no data).
    enum CellType : int16_t { kPacked0 = 0, kPacked1 = 1, kPacked2 = 2, kHundredths = 3, kInt16 = 4, kInt24 = 5 };

    enum Error { kNoError = 0, kReadError = 1, kNoMemory = 3 };

    // The file's header. The cell width and height are stored for other
    // programs; the reader derives them from the first and last positions.
    struct Header {
        int16_t magic = kMagic;
        int16_t cellType = kPacked2;
        double xFirst = 0, xLast = 0, cellWidth = 0;
        uint16_t columns = 0;
        double yFirst = 0, yLast = 0, cellHeight = 0;
        uint16_t rows = 0;

        void Read(const unsigned char (&bytes)[kHeaderSize]);
        void Write(unsigned char (&bytes)[kHeaderSize]) const;
    };

    // Colour classes of the painting, owned by the caller: sorted by upper
    // bound; the cursor remembers the last class found, since neighbouring
    // cells mostly fall into one class.
    struct ColourClass {
        double low;
        double high;
        COLORREF colour;
    };
    struct ColourClasses {
        std::vector<ColourClass> classes;
        size_t cursor = 0;
    };
    static constexpr COLORREF kNoColour = static_cast<COLORREF>(-1);

    CGridFile();
    ~CGridFile();
    CGridFile(const CGridFile&) = delete;
    CGridFile& operator=(const CGridFile&) = delete;

    // Opens a grid file for reading, closing one already open. Failures are
    // shown (1007 cannot open, 1028 short header, 1030 not a grid, or not one
    // whole row) and give false. A file cut short opens with its whole rows:
    // the rows past them have no values, and the first read of one shows
    // message 1028, once.
    bool Open(const std::string& path);
    // The same over a stream the grid takes over.
    bool Open(std::unique_ptr<CStream> stream);
    void Close();
    bool IsOpen() const { return m_open; }

    int GetCellType() const { return m_cellType; }
    int GetColumnCount() const { return m_columns; }
    int GetRowCount() const { return m_rows; }
    // The rows the file holds whole; fewer than GetRowCount when it was cut short.
    int GetWholeRowCount() const { return m_wholeRows; }
    double GetCellWidth() const { return m_cellWidth; }
    // Negative when the first row is the northern one.
    double GetCellHeight() const { return m_cellHeight; }
    int GetError() const { return m_error; }

    // left = x of the first column, top = y of the first row, right and
    // bottom those of the last; top is above bottom only when the first row
    // is the northern one. False when no file is open.
    bool GetExtent(CMapRect& extent) const;
    // The same as a proper rectangle (top above bottom, left of right),
    // whichever corner the rows and columns start from.
    bool GetBounds(CMapRect& bounds) const;
    // An extent as GetExtent gives it turned into the bounds.
    static CMapRect BoundsOf(CMapRect extent);
    // A map rectangle in fractional column (x) and row (y) positions.
    void MapToCells(const CMapRect& map, CMapRect& cells) const;

    // The value of the cell nearest to the point: types 0 to 2 and 5 the
    // value or -1 for no data, types 3 and 4 the cell as stored. -1 also
    // when the point lies outside the grid or the row cannot be read.
    int ValueAt(const CMapPoint& point);
    // Bilinear value at a fractional cell position; no-data corners count
    // as -1. Negative positions count as 0, positions at or past the last
    // column (row) take the last two with fraction 1. -1 when the rows
    // cannot be read.
    double Interpolate(double column, double row);
    // The flag nibble of the corner nearest to the last interpolated
    // position (types 0 to 2).
    int GetLastFlags() const { return m_lastFlags; }

    // Remembers per row the two cells of the last column interpolated, so
    // sampling down one column reads each row once.
    void SetColumnCache(bool on);

    // The colour of the class holding the value; kNoColour above the last
    // class or below the first one's lower bound.
    static COLORREF ClassColour(ColourClasses& classes, double value);

    // Paints a window of the grid (fractional column and row positions, as
    // MapToCells gives them) over the target rectangle (logical units, both
    // corners painted) through the classes. Target pixel j of width w shows
    // the cell nearest to left + (right - left) * j / w, rows alike; with
    // interpolate, and cells no smaller than pixels, the rounded bilinear
    // value instead. A cell without data or without a class colour (-1 or
    // white) leaves the target as it was. With a second context the rows are
    // painted there and copied to the first. False, with nothing drawn, when
    // the drawing is to stop already or there are no classes; false when a
    // row cannot be read or memory is short; a stop on user input midway
    // keeps true.
    bool DrawGrid(CDC& dc, const CRect& target, const CMapRect& cells, CDC* second, ColourClasses& classes,
                  bool interpolate);

private:
    struct ColumnCacheEntry {
        int column = -1; // -1: empty
        uint32_t cells[2] = {0, 0};
    };
    // The four cells around a fractional position, [0] and [1] in the first
    // row, and the fractions towards the second cell of each pair.
    struct Corners {
        uint32_t cells[4] = {};
        double fx = 0, fy = 0;
        // A fraction of 0.5 or more takes the second cell.
        uint32_t Nearest() const { return cells[(fy >= 0.5 ? 2 : 0) + (fx >= 0.5 ? 1 : 0)]; }
        double Blend(const CGridFile& grid) const;
    };

    int CellBytes() const { return m_cellType == kInt24 ? 4 : 2; }
    // The value a raw cell stands for; -1 for no data.
    int CellValue(uint32_t cell) const;
    bool IsNoData(uint32_t cell) const;
    // The value a cell is classed by (type 3 in units, not hundredths).
    double ClassValue(uint32_t cell) const;
    // The class colour of a cell; kNoColour for no data or no colour.
    COLORREF CellColour(ColourClasses& classes, uint32_t cell) const;
    // The class colour of the rounded bilinear value.
    COLORREF InterpolatedColour(ColourClasses& classes, const Corners& corners) const;
    // False when the rows cannot be read or the position is not a number.
    bool CornersAt(double column, double row, Corners& corners);
    // Reads one row of raw cells into the buffer; on failure sets the error
    // state, except for rows past the whole ones (they are not there).
    bool ReadRow(int row, std::vector<uint32_t>& buffer);
    // Row a into buffer A and row b into buffer B (-1: not needed), reusing
    // rows already held.
    bool LoadRows(int a, int b);
    // True when the column cache is switched on and allocated.
    bool PrepareColumnCache();
    bool Allocate(std::vector<uint32_t>& buffer, size_t size);
    void Fail(Error error);

    double m_cellWidth = 0;
    double m_cellHeight = 0;
    uint16_t m_columns = 0;
    uint16_t m_rows = 0;
    uint16_t m_wholeRows = 0;
    bool m_cutReported = false;
    double m_xFirst = 0;
    double m_yFirst = 0;
    std::unique_ptr<CStream> m_file;
    bool m_open = false;
    int m_useColumnCache = 0;
    std::vector<uint32_t> m_rowA, m_rowB;
    std::vector<unsigned char> m_rowBytes;
    std::vector<ColumnCacheEntry> m_columnCache;
    int m_cellType = 0;
    int m_rowInA = -1;
    int m_rowInB = -1;
    int m_lastRowRead = -1;
    int m_error = kNoError;
    int m_lastFlags = 0;
};
