#include "platform/MetafileParts.h"

#include "platform/DC.h"
#include "platform/MetafileBytes.h"

#include <QRegion>

#include <cmath>
#include <numbers>

namespace {

void InfoHeader(CRecordBytes& out, int width, int height, int bits, std::uint32_t imageSize, int colours)
{
    out.U32(40);
    out.I32(width);
    out.I32(height);
    out.U16(1);
    out.U16(static_cast<std::uint16_t>(bits));
    out.U32(BI_RGB);
    out.U32(imageSize);
    out.I32(0);
    out.I32(0);
    out.U32(static_cast<std::uint32_t>(colours));
    out.U32(0);
}

void Colour(CRecordBytes& out, COLORREF c)
{
    out.U8(static_cast<std::uint8_t>(GetBValue(c)));
    out.U8(static_cast<std::uint8_t>(GetGValue(c)));
    out.U8(static_cast<std::uint8_t>(GetRValue(c)));
    out.U8(0);
}

std::string Text(CRecordBytes& out)
{
    const auto& d = out.Data();
    return std::string(d.begin(), d.end());
}

} // namespace

std::string MonochromePatternDib(const CBrush::Pattern& rows, COLORREF zeros, COLORREF ones)
{
    CRecordBytes out;
    InfoHeader(out, 8, 8, 1, 32, 2);
    Colour(out, zeros);
    Colour(out, ones);
    for (int y = 7; y >= 0; --y) {
        out.U8(rows[static_cast<std::size_t>(y)]);
        out.Zeros(3);
    }
    return Text(out);
}

std::string PictureDib(const RecordedPicture& picture, bool withAlpha)
{
    const std::size_t w = static_cast<std::size_t>(picture.width);
    const std::size_t stride = withAlpha ? 4 * w : (3 * w + 3) / 4 * 4;
    CRecordBytes out;
    InfoHeader(out, picture.width, picture.height, withAlpha ? 32 : 24,
               static_cast<std::uint32_t>(stride * static_cast<std::size_t>(picture.height)), 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * w;
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint32_t p = row[x];
            if (withAlpha) {
                const std::uint32_t a = p >> 24;
                auto pre = [a](std::uint32_t c) { return static_cast<std::uint8_t>((c * a + 127) / 255); };
                out.U8(pre(p & 0xFF));
                out.U8(pre((p >> 8) & 0xFF));
                out.U8(pre((p >> 16) & 0xFF));
                out.U8(static_cast<std::uint8_t>(a));
            } else {
                out.U8(static_cast<std::uint8_t>(p & 0xFF));
                out.U8(static_cast<std::uint8_t>((p >> 8) & 0xFF));
                out.U8(static_cast<std::uint8_t>((p >> 16) & 0xFF));
            }
        }
        out.Zeros(stride - (withAlpha ? 4 : 3) * w);
    }
    return Text(out);
}

std::string MaskDib(const RecordedPicture& picture)
{
    const std::size_t w = static_cast<std::size_t>(picture.width);
    const std::size_t stride = (w + 31) / 32 * 4;
    CRecordBytes out;
    InfoHeader(out, picture.width, picture.height, 1, static_cast<std::uint32_t>(stride * picture.height), 2);
    Colour(out, RGB(0, 0, 0));
    Colour(out, RGB(255, 255, 255));
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * w;
        for (std::size_t byte = 0; byte < stride; ++byte) {
            std::uint8_t bits = 0;
            for (std::size_t bit = 0; bit < 8; ++bit) {
                const std::size_t x = byte * 8 + bit;
                if (x < w && (row[x] >> 24) < 128)
                    bits |= static_cast<std::uint8_t>(0x80 >> bit);
            }
            out.U8(bits);
        }
    }
    return Text(out);
}

std::vector<CRect> RegionRects(const CRgn& region)
{
    std::vector<CRect> rects;
    for (const QRect& r : region.Region())
        rects.emplace_back(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    return rects;
}

std::vector<CPoint> TextBox(const CDC& dc, CPoint reference, std::string_view text, unsigned align)
{
    CPoint origin = reference;
    dc.LPtoDP(&origin);
    CSize extent = dc.GetTextExtent(text);
    TEXTMETRIC tm;
    int ascent = dc.GetTextMetrics(&tm) ? tm.tmAscent : 0;
    dc.LPtoDP(&extent);
    CSize rise(0, ascent);
    dc.LPtoDP(&rise);
    ascent = rise.cy;
    double dx = 0, dy = 0;
    if ((align & TA_CENTER) == TA_CENTER)
        dx = -extent.cx / 2.0;
    else if (align & TA_RIGHT)
        dx = -extent.cx;
    if ((align & TA_BASELINE) == TA_BASELINE)
        dy = -ascent;
    else if (align & TA_BOTTOM)
        dy = -extent.cy;
    const double angle = (dc.GetCurrentFont().LogFont().lfEscapement % 3600) * std::numbers::pi / 1800;
    const double c = std::cos(angle), s = std::sin(angle);
    std::vector<CPoint> corners;
    for (const auto& [x, y] : {std::pair{dx, dy}, std::pair{dx + extent.cx, dy}, std::pair{dx + extent.cx, dy + extent.cy},
                                std::pair{dx, dy + extent.cy}}) {
        // Counter-clockwise on a device whose y grows downwards.
        CPoint p(static_cast<int>(std::lround(origin.x + x * c + y * s)),
                 static_cast<int>(std::lround(origin.y - x * s + y * c)));
        dc.DPtoLP(&p);
        corners.push_back(p);
    }
    return corners;
}
