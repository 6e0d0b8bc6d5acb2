#include "layers/GridFile.h"

#include "platform/DC.h"
#include "platform/DrawInterrupt.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

namespace {

constexpr int kOutOfMemory = 1005;
// Rows painted (target rows, or grid rows stretched over several) between
// two looks at waiting user input.
constexpr int kRowsPerPoll = 8;
// The most pixel data one stretch covers, 4 bytes counted per pixel.
constexpr int64_t kStripBytes = 64000;
constexpr COLORREF kWhite = 0xFFFFFF;

bool IsColour(COLORREF colour)
{
    return colour != CGridFile::kNoColour && colour != kWhite;
}

// The cell nearest to a fractional position, -1 when it lies outside the
// count of cells or the position is not a number.
int NearestCell(double position, int count)
{
    const double p = position + 0.5;
    return p >= 0 && p < count ? static_cast<int>(p) : -1;
}

// Draws in device pixels for its lifetime: the grid is painted pixel by
// pixel, and its blits must not mix pixels.
class CDevicePixels {
public:
    explicit CDevicePixels(CDC& dc) : m_dc(dc), m_saved(dc.SaveDC())
    {
        dc.SetMapMode(MM_TEXT);
        dc.SetWindowOrg(0, 0);
        dc.SetViewportOrg(0, 0);
        dc.SetStretchBltMode(COLORONCOLOR);
    }
    ~CDevicePixels() { m_dc.RestoreDC(m_saved); }
    CDevicePixels(const CDevicePixels&) = delete;
    CDevicePixels& operator=(const CDevicePixels&) = delete;

private:
    CDC& m_dc;
    int m_saved;
};

// One row of target pixels as a 24-bit DIB and, from its first pixel
// without a colour on, a mask: white where the target shows through, black
// under the colours, which are black where there is none. AND with the mask
// and OR with the colours then leave the uncoloured pixels as they were.
class CPixelRow {
public:
    bool Allocate(int width)
    {
        const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
        try {
            m_colours.assign(stride, 0);
            m_mask.assign(stride, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        m_width = width;
        m_header.biWidth = width;
        m_header.biHeight = 1;
        m_header.biBitCount = 24;
        m_header.biSizeImage = static_cast<uint32_t>(stride);
        return true;
    }

    int Width() const { return m_width; }
    bool IsEmpty() const { return m_coloured == 0; }

    void Start()
    {
        m_coloured = 0;
        m_masked = false;
    }

    // Pixels are put from the left, each once.
    void Put(int x, COLORREF colour)
    {
        unsigned char* pixel = m_colours.data() + 3 * static_cast<size_t>(x);
        unsigned char* mask = m_mask.data() + 3 * static_cast<size_t>(x);
        if (IsColour(colour)) {
            pixel[0] = static_cast<unsigned char>(GetBValue(colour));
            pixel[1] = static_cast<unsigned char>(GetGValue(colour));
            pixel[2] = static_cast<unsigned char>(GetRValue(colour));
            ++m_coloured;
            if (m_masked)
                std::memset(mask, 0, 3);
            return;
        }
        std::memset(pixel, 0, 3);
        if (!m_masked) {
            m_masked = true;
            std::memset(m_mask.data(), 0, 3 * static_cast<size_t>(x));
        }
        std::memset(mask, 0xFF, 3);
    }

    // Over rows device rows from (x, y); nothing when no pixel has a colour.
    void Paint(CDC& dc, int x, int y, int rows) const
    {
        if (IsEmpty())
            return;
        if (m_masked) {
            Stretch(dc, x, y, rows, m_mask, SRCAND);
            Stretch(dc, x, y, rows, m_colours, SRCPAINT);
        } else {
            Stretch(dc, x, y, rows, m_colours, SRCCOPY);
        }
    }

private:
    // The row stretched down over the rows in strips of at most kStripBytes.
    void Stretch(CDC& dc, int x, int y, int rows, const std::vector<unsigned char>& bits, uint32_t rop) const
    {
        const DibData dib{&m_header, sizeof m_header, bits.data(), bits.size()};
        const int stripWidth = static_cast<int>(std::min<int64_t>(m_width, kStripBytes / 4));
        const int stripRows = static_cast<int>(std::max<int64_t>(1, kStripBytes / (int64_t{stripWidth} * 4)));
        for (int top = 0; top < rows; top += stripRows) {
            const int height = std::min(stripRows, rows - top);
            for (int left = 0; left < m_width; left += stripWidth) {
                const int width = std::min(stripWidth, m_width - left);
                dc.StretchDIBits(x + left, y + top, width, height, left, 0, width, 1, dib, DIB_RGB_COLORS, rop);
            }
        }
    }

    BITMAPINFOHEADER m_header;
    std::vector<unsigned char> m_colours, m_mask;
    int m_width = 0;
    int m_coloured = 0;
    bool m_masked = false;
};

// Where the rows go: the context painted (the second one when given) and
// the context the painted rows are copied to.
struct CRowTarget {
    CDC& paint;
    CDC* copyTo;
    int left;               // of the visible part, device pixels of paint
    int64_t copyDx, copyDy; // from paint's device pixels to copyTo's

    void Paint(const CPixelRow& row, int y, int rows) const
    {
        if (row.IsEmpty())
            return;
        row.Paint(paint, left, y, rows);
        if (copyTo)
            copyTo->BitBlt(ToInt(left + copyDx), ToInt(y + copyDy), row.Width(), rows, &paint, left, y, SRCCOPY);
    }

    static int ToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN / 2, INT_MAX / 2)); }
};

} // namespace

COLORREF CGridFile::CellColour(ColourClasses& classes, uint32_t cell) const
{
    if (IsNoData(cell))
        return kNoColour;
    const COLORREF colour = ClassColour(classes, ClassValue(cell));
    return IsColour(colour) ? colour : kNoColour;
}

COLORREF CGridFile::InterpolatedColour(ColourClasses& classes, const Corners& corners) const
{
    // Next to cells without data the nearest cell shows as it is: a blend
    // with no data would be a height nobody measured.
    for (uint32_t cell : corners.cells)
        if (IsNoData(cell))
            return CellColour(classes, corners.Nearest());
    const double value = std::round(corners.Blend(*this));
    const COLORREF colour = ClassColour(classes, m_cellType == kHundredths ? value * 0.01 : value);
    return IsColour(colour) ? colour : kNoColour;
}

bool CGridFile::DrawGrid(CDC& dc, const CRect& target, const CMapRect& cells, CDC* second, ColourClasses& classes,
                         bool interpolate)
{
    if (CheckDrawInterrupt() || classes.classes.empty() || !m_open)
        return false;
    CPoint corners[2] = {{target.left, target.top}, {target.right, target.bottom}};
    dc.LPtoDP(corners, 2);
    const int64_t width = int64_t{corners[1].x} - corners[0].x + 1;
    const int64_t height = int64_t{corners[1].y} - corners[0].y + 1;
    if (width <= 0 || height <= 0)
        return true;

    if (second == &dc)
        second = nullptr;
    CDC& paint = second ? *second : dc;
    CPoint origin = corners[0];
    if (second) {
        origin = CPoint(target.left, target.top);
        second->LPtoDP(&origin);
    }
    CDevicePixels paintPixels(paint);
    std::optional<CDevicePixels> copyPixels;
    if (second)
        copyPixels.emplace(dc);

    // Only what the context can show is computed: the target may reach far
    // past it when zoomed in.
    CRect clip;
    paint.GetClipBox(&clip);
    const int left = static_cast<int>(std::max<int64_t>(clip.left, origin.x));
    const int right = static_cast<int>(std::min<int64_t>(clip.right, origin.x + width));
    const int top = static_cast<int>(std::max<int64_t>(clip.top, origin.y));
    const int bottom = static_cast<int>(std::min<int64_t>(clip.bottom, origin.y + height));
    if (left >= right || top >= bottom)
        return true;
    const CRowTarget rowTarget{paint, second ? &dc : nullptr, left, int64_t{corners[0].x} - origin.x,
                               int64_t{corners[0].y} - origin.y};

    CPixelRow row;
    if (!row.Allocate(right - left)) {
        AppMessageBox(kOutOfMemory);
        return false;
    }
    // The position in cells of a device column (row) of the target.
    const auto columnPosition = [&](int x) {
        return cells.left + (cells.right - cells.left) * static_cast<double>(int64_t{x} - origin.x) / width;
    };
    const auto rowPosition = [&](int y) {
        return cells.top + (cells.bottom - cells.top) * static_cast<double>(int64_t{y} - origin.y) / height;
    };
    std::vector<int> columnOf(static_cast<size_t>(right - left));
    for (int x = left; x < right; ++x)
        columnOf[static_cast<size_t>(x - left)] = NearestCell(columnPosition(x), m_columns);
    const bool sampled = std::fabs(cells.right - cells.left) > static_cast<double>(width);
    int rowsPainted = 0;

    if (interpolate && !sampled) {
        for (int y = top; y < bottom; ++y) {
            const double rowAt = rowPosition(y);
            if (NearestCell(rowAt, m_rows) >= 0) {
                row.Start();
                for (int x = left; x < right; ++x) {
                    COLORREF colour = kNoColour;
                    if (columnOf[static_cast<size_t>(x - left)] >= 0) {
                        Corners around;
                        if (CornersAt(columnPosition(x), rowAt, around))
                            colour = InterpolatedColour(classes, around);
                        else if (m_error != kNoError)
                            return false;
                        // else rows cut off the file: nothing to paint
                    }
                    row.Put(x - left, colour);
                }
                rowTarget.Paint(row, y, 1);
            }
            if (++rowsPainted % kRowsPerPoll == 0 && y + 1 < bottom && CheckDrawInterrupt())
                return true;
        }
        return true;
    }

    // The nearest cell to every pixel: each grid row once, painted over the
    // run of target rows that show it, each cell converted once per run of
    // pixels. Partly covered cells at the edges take just the pixels they cover.
    for (int y = top; y < bottom;) {
        const int gridRow = NearestCell(rowPosition(y), m_rows);
        int end = y + 1;
        while (end < bottom && NearestCell(rowPosition(end), m_rows) == gridRow)
            ++end;
        // Rows cut off the file (reported once by the read) paint nothing.
        const bool loaded = gridRow >= 0 && LoadRows(gridRow, -1);
        if (!loaded && m_error != kNoError)
            return false;
        if (loaded) {
            row.Start();
            int lastColumn = -2;
            COLORREF colour = kNoColour;
            for (size_t i = 0; i < columnOf.size(); ++i) {
                const int column = columnOf[i];
                if (column != lastColumn) {
                    colour = column < 0 ? kNoColour : CellColour(classes, m_rowA[static_cast<size_t>(column)]);
                    lastColumn = column;
                }
                row.Put(static_cast<int>(i), colour);
            }
            rowTarget.Paint(row, y, end - y);
        }
        y = end;
        if (++rowsPainted % kRowsPerPoll == 0 && y < bottom && CheckDrawInterrupt())
            return true;
    }
    return true;
}
