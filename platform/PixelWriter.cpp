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
    ForEachClipped(y, x0, x1, [&](int a, int b) { WriteRun(y, a, b, colour, rop); });
}

void CPixelWriter::WriteRun(int y, int x0, int x1, COLORREF colour, int rop)
{
    const std::uint32_t pen = Native(colour);
    std::uint8_t* row = m_bits + m_stride * y;
    if (!m_threeBytes && rop == R2_COPYPEN) {
        auto* p = reinterpret_cast<std::uint32_t*>(row) + x0;
        std::fill(p, p + (x1 - x0), pen | 0xFF000000u);
        return;
    }
    for (int x = x0; x < x1; ++x)
        Store(row, x, Combine(rop, pen, Load(row, x)));
}

void CPixelWriter::PatternSpan(int y, int x0, int x1, const BlitPattern& pattern, std::uint64_t shown, int rop)
{
    const int row = (y - pattern.originY) & 7;
    const std::uint32_t* colours = pattern.colours.data() + 8 * row;
    const auto shownRow = static_cast<std::uint8_t>(shown >> (8 * row));
    std::uint8_t* line = m_bits + m_stride * y;
    ForEachClipped(y, x0, x1, [&](int a, int b) {
        for (int x = a; x < b; ++x) {
            const int column = (x - pattern.originX) & 7;
            if (shownRow & (1u << column))
                Store(line, x, Combine(rop, colours[column], Load(line, x)));
        }
    });
}

COLORREF CPixelWriter::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    const std::uint32_t v = Load(m_bits + m_stride * y, x);
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
    const bool copy = ((rop >> 16) & 0xFF) == 0xCC;
    const std::uint32_t* patternRow = pattern.colours.data() + 8 * ((y - pattern.originY) & 7);
    std::uint8_t* row = m_bits + m_stride * y;
    ForEachClipped(y, x0, x0 + count, [&](int a, int b) {
        for (int x = a; x < b; ++x) {
            const auto i = static_cast<std::size_t>(x - x0);
            if (mask && !mask[i])
                continue;
            const std::uint32_t p = patternRow[(x - pattern.originX) & 7];
            Store(row, x, copy ? source[i] : CBlitter::Rop3(rop, p, source[i], Load(row, x)));
        }
    });
}
