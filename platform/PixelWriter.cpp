#include "platform/PixelWriter.h"

#include "platform/Blitter.h"

#include <QImage>

#include <algorithm>

bool CPixelWriter::Supports(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGB888:
        return true;
    default:
        return false;
    }
}

CPixelWriter::CPixelWriter(QImage& image)
    : m_bits(image.bits()), m_stride(image.bytesPerLine()), m_width(image.width()), m_height(image.height()),
      m_threeBytes(image.format() == QImage::Format_RGB888), m_clipBox(0, 0, image.width(), image.height())
{
    m_clip.push_back(m_clipBox);
}

void CPixelWriter::SetClip(const std::vector<CRect>& rects)
{
    const CRect whole(0, 0, m_width, m_height);
    m_clip.clear();
    m_clipBox.SetRectEmpty();
    for (const CRect& r : rects) {
        CRect cut;
        if (cut.IntersectRect(r, whole)) {
            m_clip.push_back(cut);
            m_clipBox.UnionRect(m_clipBox, cut);
        }
    }
}

std::uint32_t CPixelWriter::Combine(int rop, std::uint32_t p, std::uint32_t d)
{
    std::uint32_t r;
    switch (rop) {
    case R2_BLACK: r = 0; break;
    case R2_NOTMERGEPEN: r = ~(p | d); break;
    case R2_MASKNOTPEN: r = ~p & d; break;
    case R2_NOTCOPYPEN: r = ~p; break;
    case R2_MASKPENNOT: r = p & ~d; break;
    case R2_NOT: r = ~d; break;
    case R2_XORPEN: r = p ^ d; break;
    case R2_NOTMASKPEN: r = ~(p & d); break;
    case R2_MASKPEN: r = p & d; break;
    case R2_NOTXORPEN: r = ~(p ^ d); break;
    case R2_NOP: r = d; break;
    case R2_MERGENOTPEN: r = ~p | d; break;
    case R2_MERGEPENNOT: r = p | ~d; break;
    case R2_MERGEPEN: r = p | d; break;
    case R2_WHITE: r = 0xFFFFFF; break;
    default: r = p; break; // R2_COPYPEN
    }
    return r & 0xFFFFFF;
}

void CPixelWriter::Span(int y, int x0, int x1, COLORREF colour, int rop)
{
    if (y < m_clipBox.top || y >= m_clipBox.bottom || x1 <= m_clipBox.left || x0 >= m_clipBox.right)
        return;
    for (const CRect& r : m_clip) {
        if (y < r.top || y >= r.bottom)
            continue;
        const int a = std::max(x0, r.left);
        const int b = std::min(x1, r.right);
        if (a < b)
            WriteRun(y, a, b, colour, rop);
    }
}

void CPixelWriter::WriteRun(int y, int x0, int x1, COLORREF colour, int rop)
{
    const std::uint32_t pen = Native(colour);
    std::uint8_t* row = m_bits + m_stride * y;
    if (m_threeBytes) {
        for (std::uint8_t* p = row + 3 * static_cast<std::int64_t>(x0); x0 < x1; ++x0, p += 3) {
            const std::uint32_t d = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
            const std::uint32_t v = Combine(rop, pen, d);
            p[0] = static_cast<std::uint8_t>(v >> 16);
            p[1] = static_cast<std::uint8_t>(v >> 8);
            p[2] = static_cast<std::uint8_t>(v);
        }
        return;
    }
    auto* p = reinterpret_cast<std::uint32_t*>(row) + x0;
    if (rop == R2_COPYPEN) {
        std::fill(p, p + (x1 - x0), pen | 0xFF000000u);
        return;
    }
    for (; x0 < x1; ++x0, ++p)
        *p = Combine(rop, pen, *p & 0xFFFFFF) | 0xFF000000u;
}

void CPixelWriter::PatternSpan(int y, int x0, int x1, const BlitPattern& pattern, std::uint64_t shown, int rop)
{
    if (y < m_clipBox.top || y >= m_clipBox.bottom || x1 <= m_clipBox.left || x0 >= m_clipBox.right)
        return;
    const int row = (y - pattern.originY) & 7;
    const std::uint32_t* colours = pattern.colours.data() + 8 * row;
    const auto shownRow = static_cast<std::uint8_t>(shown >> (8 * row));
    std::uint8_t* line = m_bits + m_stride * y;
    for (const CRect& r : m_clip) {
        if (y < r.top || y >= r.bottom)
            continue;
        const int a = std::max(x0, r.left);
        const int b = std::min(x1, r.right);
        for (int x = a; x < b; ++x) {
            const int column = (x - pattern.originX) & 7;
            if (!(shownRow & (1u << column)))
                continue;
            if (m_threeBytes) {
                std::uint8_t* p = line + 3 * static_cast<std::int64_t>(x);
                const std::uint32_t d = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
                const std::uint32_t v = Combine(rop, colours[column], d);
                p[0] = static_cast<std::uint8_t>(v >> 16);
                p[1] = static_cast<std::uint8_t>(v >> 8);
                p[2] = static_cast<std::uint8_t>(v);
            } else {
                auto* p = reinterpret_cast<std::uint32_t*>(line) + x;
                *p = Combine(rop, colours[column], *p & 0xFFFFFF) | 0xFF000000u;
            }
        }
    }
}

COLORREF CPixelWriter::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    const std::uint8_t* row = m_bits + m_stride * y;
    std::uint32_t v;
    if (m_threeBytes) {
        const std::uint8_t* p = row + 3 * static_cast<std::int64_t>(x);
        v = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
    } else {
        v = reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
    }
    return RGB(static_cast<int>(v >> 16), static_cast<int>(v >> 8), static_cast<int>(v));
}

void CPixelWriter::ApplyLayer(const QImage& layer, int left, int top, int rop)
{
    for (int y = 0; y < layer.height(); ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(layer.constScanLine(y));
        int x = 0;
        while (x < layer.width()) {
            if ((src[x] >> 24) != 0xFF) {
                ++x;
                continue;
            }
            // A run of one colour goes through the clip at once.
            const std::uint32_t argb = src[x];
            int end = x + 1;
            while (end < layer.width() && src[end] == argb)
                ++end;
            Span(top + y, left + x, left + end, RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF), rop);
            x = end;
        }
    }
}

void CPixelWriter::BlitRow(int y, int x0, int count, const std::uint32_t* source, const std::uint8_t* mask,
                           std::uint32_t rop, const BlitPattern& pattern)
{
    const int x1 = x0 + count;
    if (y < m_clipBox.top || y >= m_clipBox.bottom || x1 <= m_clipBox.left || x0 >= m_clipBox.right)
        return;
    const bool copy = ((rop >> 16) & 0xFF) == 0xCC;
    const std::uint32_t* patternRow = pattern.colours.data() + 8 * ((y - pattern.originY) & 7);
    std::uint8_t* row = m_bits + m_stride * y;
    for (const CRect& r : m_clip) {
        if (y < r.top || y >= r.bottom)
            continue;
        const int a = std::max(x0, r.left);
        const int b = std::min(x1, r.right);
        for (int x = a; x < b; ++x) {
            const auto i = static_cast<std::size_t>(x - x0);
            if (mask && !mask[i])
                continue;
            if (m_threeBytes) {
                std::uint8_t* p = row + 3 * static_cast<std::int64_t>(x);
                const std::uint32_t d = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
                const std::uint32_t v =
                    copy ? source[i] : CBlitter::Rop3(rop, patternRow[(x - pattern.originX) & 7], source[i], d);
                p[0] = static_cast<std::uint8_t>(v >> 16);
                p[1] = static_cast<std::uint8_t>(v >> 8);
                p[2] = static_cast<std::uint8_t>(v);
            } else {
                auto* p = reinterpret_cast<std::uint32_t*>(row) + x;
                const std::uint32_t v =
                    copy ? source[i] : CBlitter::Rop3(rop, patternRow[(x - pattern.originX) & 7], source[i], *p & 0xFFFFFF);
                *p = (v & 0xFFFFFF) | 0xFF000000u;
            }
        }
    }
}
