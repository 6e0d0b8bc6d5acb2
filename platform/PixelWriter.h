#pragma once

#include "platform/Gdi.h"
#include "platform/Rect.h"

#include <array>
#include <cstdint>
#include <vector>

class QImage;

// The brush of a blit: 8 x 8 colours (0xRRGGBB, rows top first) repeating
// from a device origin.
struct BlitPattern {
    std::array<std::uint32_t, 64> colours{};
    int originX = 0;
    int originY = 0;
};

// Writes pixels of one colour straight into a 32-bit or 24-bit image with a
// binary raster operation, inside a list of clip rectangles. The DC draws
// cosmetic lines and combines layers through it, where painting through Qt
// would not give the exact pixels or raster operations.
class CPixelWriter {
public:
    static bool Supports(const QImage& image);
    // The image must stay alive and keep its buffer while this writes.
    explicit CPixelWriter(QImage& image);

    // Device rectangles inside which pixels may change; they are cut to the
    // image. Without a call, the whole image.
    void SetClip(const std::vector<CRect>& rects);
    const CRect& ClipBox() const { return m_clipBox; }

    // Pixels x0 .. x1 - 1 of row y.
    void Span(int y, int x0, int x1, COLORREF colour, int rop);
    void Pixel(int x, int y, COLORREF colour, int rop)
    {
        if (x >= m_clipBox.left && x < m_clipBox.right)
            Span(y, x, x + 1, colour, rop);
    }
    // Pixels x0 .. x1 - 1 of row y in the colours of a pattern; the cells
    // whose bit (8 * row + column) in shown is 0 stay.
    void PatternSpan(int y, int x0, int x1, const BlitPattern& pattern, std::uint64_t shown, int rop);
    // CLR_INVALID outside the image.
    COLORREF Get(int x, int y) const;
    // Combines every opaque pixel of a premultiplied ARGB layer placed at
    // (left, top); the others stay untouched.
    void ApplyLayer(const QImage& layer, int left, int top, int rop);
    // Combines count source pixels (0xRRGGBB) from (x0, y) with the image
    // through a ternary raster operation; pixels whose mask byte is 0 stay.
    void BlitRow(int y, int x0, int count, const std::uint32_t* source, const std::uint8_t* mask, std::uint32_t rop,
                 const BlitPattern& pattern);

    static std::uint32_t Combine(int rop, std::uint32_t pen, std::uint32_t dest);
    // Raster operations work on COLORREF values; images hold 0xRRGGBB.
    static constexpr std::uint32_t Native(COLORREF c)
    {
        return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }

private:
    void WriteRun(int y, int x0, int x1, COLORREF colour, int rop);
    // Calls run(a, b) for the part a .. b - 1 of x0 .. x1 - 1 on row y
    // inside each clip rectangle.
    template <class Run>
    void ForEachClipped(int y, int x0, int x1, Run run) const
    {
        if (y < m_clipBox.top || y >= m_clipBox.bottom || x1 <= m_clipBox.left || x0 >= m_clipBox.right)
            return;
        for (const CRect& r : m_clip) {
            if (y < r.top || y >= r.bottom)
                continue;
            const int a = x0 > r.left ? x0 : r.left;
            const int b = x1 < r.right ? x1 : r.right;
            if (a < b)
                run(a, b);
        }
    }
    // Pixel x of a row as 0xRRGGBB, and back (opaque).
    std::uint32_t Load(const std::uint8_t* row, int x) const
    {
        if (m_threeBytes) {
            const std::uint8_t* p = row + 3 * static_cast<std::int64_t>(x);
            return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        }
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
    }
    void Store(std::uint8_t* row, int x, std::uint32_t v) const
    {
        if (m_threeBytes) {
            std::uint8_t* p = row + 3 * static_cast<std::int64_t>(x);
            p[0] = static_cast<std::uint8_t>(v >> 16);
            p[1] = static_cast<std::uint8_t>(v >> 8);
            p[2] = static_cast<std::uint8_t>(v);
            return;
        }
        reinterpret_cast<std::uint32_t*>(row)[x] = (v & 0xFFFFFF) | 0xFF000000u;
    }

    std::uint8_t* m_bits;
    std::int64_t m_stride;
    int m_width;
    int m_height;
    bool m_threeBytes;
    CRect m_clipBox;
    std::vector<CRect> m_clip;
};
