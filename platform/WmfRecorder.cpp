#include "platform/WmfRecorder.h"

#include "platform/DC.h"
#include "platform/MetafileParts.h"
#include "platform/MetafileRecords.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr int kLimit = 32767;
constexpr std::size_t kMaxCount = 32767;

using PointD = CWmfRecorder::PointD;

void Body16(std::string& body, std::int32_t v)
{
    body.push_back(static_cast<char>(v & 0xFF));
    body.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Body32(std::string& body, std::uint32_t v)
{
    Body16(body, static_cast<std::int32_t>(v & 0xFFFF));
    Body16(body, static_cast<std::int32_t>(v >> 16));
}

std::int16_t Round16(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<std::int16_t>(std::clamp(std::lround(std::clamp(v, -1e9, 1e9)), -32768L, 32767L));
}

// Liang-Barsky: the part t0 .. t1 of a -> b inside the 16-bit square.
bool ClipSegment(PointD a, PointD b, double& t0, double& t1)
{
    t0 = 0;
    t1 = 1;
    const double d[2] = {b.x - a.x, b.y - a.y};
    const double s[2] = {a.x, a.y};
    for (int axis = 0; axis < 2; ++axis) {
        for (const double bound : {-double(kLimit), double(kLimit)}) {
            const double p = bound < 0 ? -d[axis] : d[axis];
            const double q = bound < 0 ? s[axis] - bound : bound - s[axis];
            if (p == 0) {
                if (q < 0)
                    return false;
                continue;
            }
            const double t = q / p;
            if (p < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
        }
    }
    return t0 <= t1;
}

std::vector<std::vector<PointD>> ClipPolyline(const std::vector<PointD>& line)
{
    std::vector<std::vector<PointD>> pieces;
    std::vector<PointD> current;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const PointD a = line[i - 1], b = line[i];
        double t0 = 0, t1 = 0;
        if (!ClipSegment(a, b, t0, t1)) {
            if (current.size() > 1)
                pieces.push_back(std::move(current));
            current.clear();
            continue;
        }
        const PointD from{a.x + t0 * (b.x - a.x), a.y + t0 * (b.y - a.y)};
        const PointD to{a.x + t1 * (b.x - a.x), a.y + t1 * (b.y - a.y)};
        if (current.empty() || t0 > 0) {
            if (current.size() > 1)
                pieces.push_back(std::move(current));
            current = {from};
        }
        current.push_back(to);
        if (t1 < 1) {
            pieces.push_back(std::move(current));
            current.clear();
        }
    }
    if (current.size() > 1)
        pieces.push_back(std::move(current));
    return pieces;
}

// Sutherland-Hodgman against the four sides of the 16-bit square.
std::vector<PointD> ClipRing(std::vector<PointD> ring)
{
    for (int side = 0; side < 4 && !ring.empty(); ++side) {
        auto inside = [side](const PointD& p) {
            switch (side) {
            case 0: return p.x >= -kLimit;
            case 1: return p.x <= kLimit;
            case 2: return p.y >= -kLimit;
            default: return p.y <= kLimit;
            }
        };
        auto cross = [side](const PointD& a, const PointD& b) {
            const double bound = side % 2 == 0 ? -kLimit : kLimit;
            if (side < 2) {
                const double t = (bound - a.x) / (b.x - a.x);
                return PointD{bound, a.y + t * (b.y - a.y)};
            }
            const double t = (bound - a.y) / (b.y - a.y);
            return PointD{a.x + t * (b.x - a.x), bound};
        };
        std::vector<PointD> out;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const PointD& a = ring[(i + ring.size() - 1) % ring.size()];
            const PointD& b = ring[i];
            if (inside(b)) {
                if (!inside(a))
                    out.push_back(cross(a, b));
                out.push_back(b);
            } else if (inside(a)) {
                out.push_back(cross(a, b));
            }
        }
        ring = std::move(out);
    }
    return ring;
}

struct Point16 {
    std::int16_t x, y;
    bool operator==(const Point16&) const = default;
};

std::vector<Point16> Rounded(const std::vector<PointD>& points)
{
    std::vector<Point16> out;
    out.reserve(points.size());
    for (const PointD& p : points) {
        const Point16 q{Round16(p.x), Round16(p.y)};
        if (out.empty() || !(out.back() == q))
            out.push_back(q);
    }
    return out;
}

bool Inside16(const std::vector<PointD>& points)
{
    return std::all_of(points.begin(), points.end(), [](const PointD& p) {
        return std::fabs(p.x) <= kLimit && std::fabs(p.y) <= kLimit;
    });
}

} // namespace

CWmfRecorder::CWmfRecorder(const CDC& dc, const CRect& frame, int unitsPerInch)
    : CMetafileRecorder(dc, false), m_frame(frame), m_unitsPerInch(std::max(1, unitsPerInch))
{
    Record(META_SETMAPMODE, {MM_ANISOTROPIC});
    Record(META_SETWINDOWORG, {0, 0});
    const PointD far{double(frame.Width()) * m_unitsPerInch / 1000, double(frame.Height()) * m_unitsPerInch / 1000};
    Record(META_SETWINDOWEXT, {Round16(far.y), Round16(far.x)});
}

int CWmfRecorder::UnitsPerInchFor(const CRect& frame)
{
    const std::int64_t extent = std::max(std::int64_t(frame.right) - frame.left, std::int64_t(frame.bottom) - frame.top);
    if (frame.right <= frame.left || frame.bottom <= frame.top)
        return 0;
    if (extent <= kLimit)
        return 1000;
    return static_cast<int>(std::int64_t(kLimit) * 1000 / extent);
}

std::vector<std::uint8_t> CWmfRecorder::Finish()
{
    Record(META_EOF, {});
    CRecordBytes head;
    const int width = Round16(double(m_frame.Width()) * m_unitsPerInch / 1000);
    const int height = Round16(double(m_frame.Height()) * m_unitsPerInch / 1000);
    const std::uint16_t words[10] = {static_cast<std::uint16_t>(kPlaceableKey & 0xFFFF),
                                     static_cast<std::uint16_t>(kPlaceableKey >> 16),
                                     0,
                                     0,
                                     0,
                                     static_cast<std::uint16_t>(width),
                                     static_cast<std::uint16_t>(height),
                                     static_cast<std::uint16_t>(m_unitsPerInch),
                                     0,
                                     0};
    std::uint16_t checksum = 0;
    for (std::uint16_t w : words) {
        head.U16(w);
        checksum ^= w;
    }
    head.U16(checksum);
    head.U16(1); // in memory
    head.U16(9); // header words
    head.U16(0x0300);
    head.U32(static_cast<std::uint32_t>(9 + m_out.Size() / 2));
    head.U16(static_cast<std::uint16_t>(std::min(SlotsUsed(), 0xFFFF)));
    head.U32(m_maxRecordWords);
    head.U16(0);
    std::vector<std::uint8_t> file = head.Take();
    const std::vector<std::uint8_t> records = m_out.Take();
    file.insert(file.end(), records.begin(), records.end());
    return file;
}

std::size_t CWmfRecorder::Begin(std::uint16_t function)
{
    const std::size_t start = m_out.Size();
    m_out.U32(0);
    m_out.U16(function);
    return start;
}

void CWmfRecorder::End(std::size_t start)
{
    m_out.Align(2);
    const auto words = static_cast<std::uint32_t>((m_out.Size() - start) / 2);
    m_out.PatchU32(start, words);
    m_maxRecordWords = std::max(m_maxRecordWords, words);
}

void CWmfRecorder::Record(std::uint16_t function, std::initializer_list<std::int32_t> words)
{
    const std::size_t start = Begin(function);
    for (std::int32_t w : words)
        m_out.U16(static_cast<std::uint16_t>(w));
    End(start);
}

// ---- Coordinates ---------------------------------------------------------

PointD CWmfRecorder::ToFile(CPoint p) const
{
    const CSize we = m_dc.GetWindowExt(), ve = m_dc.GetViewportExt();
    const CPoint wo = m_dc.GetWindowOrg(), vo = m_dc.GetViewportOrg();
    const double dx = (double(p.x) - wo.x) * ve.cx / we.cx + vo.x;
    const double dy = (double(p.y) - wo.y) * ve.cy / we.cy + vo.y;
    const double u = m_unitsPerInch;
    return {dx * u / std::max(1, m_dc.GetDeviceCaps(LOGPIXELSX)) - m_frame.left * u / 1000,
            dy * u / std::max(1, m_dc.GetDeviceCaps(LOGPIXELSY)) - m_frame.top * u / 1000};
}

double CWmfRecorder::ScaleX() const
{
    return std::fabs(double(m_dc.GetViewportExt().cx) / m_dc.GetWindowExt().cx) * m_unitsPerInch /
           std::max(1, m_dc.GetDeviceCaps(LOGPIXELSX));
}

double CWmfRecorder::ScaleY() const
{
    return std::fabs(double(m_dc.GetViewportExt().cy) / m_dc.GetWindowExt().cy) * m_unitsPerInch /
           std::max(1, m_dc.GetDeviceCaps(LOGPIXELSY));
}

std::int16_t CWmfRecorder::Coord(double v)
{
    return Round16(v);
}

// ---- Objects and values --------------------------------------------------

CMetafileRecorder::ObjectRecord CWmfRecorder::EncodePen(const CPen& pen)
{
    ObjectRecord object;
    object.type = META_CREATEPENINDIRECT;
    std::uint32_t style = pen.GetStyle() & (PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK);
    // Styles the format lacks become the nearest it has.
    if ((style & PS_STYLE_MASK) == PS_USERSTYLE)
        style = (style & ~PS_STYLE_MASK) | PS_DASH;
    else if ((style & PS_STYLE_MASK) == PS_ALTERNATE)
        style = (style & ~PS_STYLE_MASK) | PS_DOT;
    int width = 0;
    if (pen.GetWidth() > 0)
        width = std::max(1, static_cast<int>(std::lround(std::min(pen.GetWidth() * ScaleX(), double(kLimit)))));
    Body16(object.body, static_cast<std::int32_t>(style));
    Body16(object.body, width);
    Body16(object.body, 0);
    Body32(object.body, pen.GetColor());
    return object;
}

CMetafileRecorder::ObjectRecord CWmfRecorder::EncodeBrush(const CBrush& brush, COLORREF text, COLORREF background)
{
    ObjectRecord object;
    const std::uint32_t style = brush.GetStyle();
    if (style == BS_PATTERN) {
        // The pattern with the colours it draws in now.
        object.type = META_DIBCREATEPATTERNBRUSH;
        Body16(object.body, BS_DIBPATTERN);
        Body16(object.body, DIB_RGB_COLORS);
        object.body += MonochromePatternDib(brush.GetBits(), text, background);
        return object;
    }
    object.type = META_CREATEBRUSHINDIRECT;
    Body16(object.body, static_cast<std::int32_t>(style));
    Body32(object.body, style == BS_NULL ? 0 : brush.GetColor());
    Body16(object.body, style == BS_HATCHED ? brush.GetHatch() : 0);
    return object;
}

CMetafileRecorder::ObjectRecord CWmfRecorder::EncodeFont(const CFont& font)
{
    ObjectRecord object;
    object.type = META_CREATEFONTINDIRECT;
    const LOGFONT& lf = font.LogFont();
    auto scaled = [](std::int32_t v, double scale) {
        if (v == 0)
            return 0;
        const long r = std::lround(std::clamp(v * scale, -double(kLimit), double(kLimit)));
        return static_cast<int>(r != 0 ? r : (v < 0 ? -1 : 1));
    };
    Body16(object.body, scaled(lf.lfHeight, ScaleY()));
    Body16(object.body, scaled(lf.lfWidth, ScaleX()));
    Body16(object.body, lf.lfEscapement % 3600);
    Body16(object.body, lf.lfOrientation % 3600);
    Body16(object.body, std::clamp<std::int32_t>(lf.lfWeight, 0, 1000));
    // The text is code page 1257: the Baltic character set says so.
    const std::uint8_t charset = lf.lfCharSet == SYMBOL_CHARSET ? SYMBOL_CHARSET : BALTIC_CHARSET;
    for (std::uint8_t v : {lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, charset, lf.lfOutPrecision,
                           lf.lfClipPrecision, lf.lfQuality, lf.lfPitchAndFamily})
        object.body.push_back(static_cast<char>(v));
    const std::size_t length = strnlen(lf.lfFaceName, LF_FACESIZE - 1);
    object.body.append(lf.lfFaceName, length);
    object.body.append(LF_FACESIZE - length, '\0');
    return object;
}

void CWmfRecorder::EmitCreate(int, const ObjectRecord& object)
{
    const std::size_t start = Begin(static_cast<std::uint16_t>(object.type));
    m_out.Bytes(object.body.data(), object.body.size());
    End(start);
}

void CWmfRecorder::EmitSelect(int slot, const ObjectRecord&)
{
    Record(META_SELECTOBJECT, {slot});
}

void CWmfRecorder::EmitDelete(int slot)
{
    Record(META_DELETEOBJECT, {slot});
}

void CWmfRecorder::EmitValue(ValueKind kind, std::uint32_t value)
{
    switch (kind) {
    case ValueKind::TextColour:
    case ValueKind::BkColour: {
        const std::size_t start = Begin(kind == ValueKind::TextColour ? META_SETTEXTCOLOR : META_SETBKCOLOR);
        m_out.U32(value);
        End(start);
        break;
    }
    case ValueKind::BkMode: Record(META_SETBKMODE, {static_cast<std::int32_t>(value)}); break;
    case ValueKind::Rop2: Record(META_SETROP2, {static_cast<std::int32_t>(value), 0}); break;
    case ValueKind::FillMode: Record(META_SETPOLYFILLMODE, {static_cast<std::int32_t>(value)}); break;
    case ValueKind::Align: Record(META_SETTEXTALIGN, {static_cast<std::int32_t>(value)}); break;
    case ValueKind::Stretch: Record(META_SETSTRETCHBLTMODE, {static_cast<std::int32_t>(value)}); break;
    }
}

void CWmfRecorder::EmitSaveDC()
{
    Record(META_SAVEDC, {});
}

void CWmfRecorder::EmitRestoreDC(int relative)
{
    Record(META_RESTOREDC, {std::max(relative, -32768)});
}

// ---- Clipping ------------------------------------------------------------

void CWmfRecorder::WriteRectRecord(std::uint16_t function, const CRect& logical)
{
    const PointD a = ToFile(logical.TopLeft()), b = ToFile(logical.BottomRight());
    Record(function, {Coord(b.y), Coord(b.x), Coord(a.y), Coord(a.x)});
}

void CWmfRecorder::IntersectClipRect(const CRect& rect)
{
    WriteRectRecord(META_INTERSECTCLIPRECT, rect);
}

void CWmfRecorder::ExcludeClipRect(const CRect& rect)
{
    WriteRectRecord(META_EXCLUDECLIPRECT, rect);
}

void CWmfRecorder::SelectClipRgn(const CRgn*, int)
{
    WriteClipRegion();
}

void CWmfRecorder::WriteClipRegion()
{
    // Regions go whole, as the context has combined them, in this file's
    // units; no clipping is a region of all the format can hold.
    struct Band {
        std::int16_t top, bottom;
        std::vector<std::pair<std::int16_t, std::int16_t>> spans;
    };
    std::vector<Band> bands;
    CRgn clip;
    const double u = m_unitsPerInch;
    auto fileX = [&](int x) { return Coord(x * u / std::max(1, m_dc.GetDeviceCaps(LOGPIXELSX)) - m_frame.left * u / 1000); };
    auto fileY = [&](int y) { return Coord(y * u / std::max(1, m_dc.GetDeviceCaps(LOGPIXELSY)) - m_frame.top * u / 1000); };
    if (m_dc.GetClipRgn(&clip)) {
        for (const CRect& r : RegionRects(clip)) {
            const std::int16_t top = fileY(r.top), bottom = fileY(r.bottom), left = fileX(r.left),
                               right = fileX(r.right);
            if (top >= bottom || left >= right)
                continue;
            if (bands.empty() || bands.back().top != top || bands.back().bottom != bottom)
                bands.push_back(Band{top, bottom, {}});
            auto& spans = bands.back().spans;
            if (!spans.empty() && spans.back().second >= left)
                spans.back().second = std::max(spans.back().second, right);
            else
                spans.emplace_back(left, right);
        }
    } else {
        bands.push_back(Band{-kLimit, kLimit, {{-kLimit, kLimit}}});
    }
    // The size field has 16 bits: a region too fine for it goes as its box.
    std::size_t size = 22;
    for (const Band& b : bands)
        size += 8 + 4 * b.spans.size();
    if (size > 0xFFFF) {
        Band box{bands.front().top, bands.back().bottom, {{kLimit, -kLimit}}};
        for (const Band& b : bands)
            box.spans[0] = {std::min(box.spans[0].first, b.spans.front().first),
                            std::max(box.spans[0].second, b.spans.back().second)};
        bands = {box};
        size = 22 + 12;
    }
    std::int16_t left = kLimit, right = -kLimit, maxScan = 0;
    for (const Band& b : bands) {
        left = std::min(left, b.spans.front().first);
        right = std::max(right, b.spans.back().second);
        maxScan = std::max<std::int16_t>(maxScan, static_cast<std::int16_t>(2 * b.spans.size()));
    }
    const int slot = AcquireTemporarySlot();
    const std::size_t start = Begin(META_CREATEREGION);
    m_out.U16(0); // next in chain
    m_out.U16(6); // a region
    m_out.U32(0);
    m_out.U16(static_cast<std::uint16_t>(size));
    m_out.U16(static_cast<std::uint16_t>(bands.size()));
    m_out.I16(maxScan);
    if (bands.empty()) {
        m_out.Zeros(8);
    } else {
        m_out.I16(left);
        m_out.I16(bands.front().top);
        m_out.I16(right);
        m_out.I16(bands.back().bottom);
    }
    for (const Band& b : bands) {
        const auto count = static_cast<std::uint16_t>(2 * b.spans.size());
        m_out.U16(count);
        m_out.I16(b.top);
        m_out.I16(b.bottom);
        for (const auto& [l, r] : b.spans) {
            m_out.I16(l);
            m_out.I16(r);
        }
        m_out.U16(count);
    }
    End(start);
    Record(META_SELECTCLIPREGION, {slot});
    ReleaseSlot(slot);
}

// ---- Drawing -------------------------------------------------------------

void CWmfRecorder::MoveTo(CPoint p)
{
    m_position = ToFile(p);
    if (m_inPath) {
        if (!m_path.empty() && !m_path.back().closed && m_path.back().points.size() == 1)
            m_path.back().points[0] = m_position;
        else
            m_path.push_back(Figure{{m_position}, false});
        return;
    }
    Record(META_MOVETO, {Coord(m_position.y), Coord(m_position.x)});
}

void CWmfRecorder::LineTo(CPoint p)
{
    const PointD from = m_position;
    m_position = ToFile(p);
    if (m_inPath) {
        if (m_path.empty() || m_path.back().closed)
            m_path.push_back(Figure{{from}, false});
        m_path.back().points.push_back(m_position);
        return;
    }
    Sync(kStroke);
    if (Inside16({from, m_position})) {
        Record(META_LINETO, {Coord(m_position.y), Coord(m_position.x)});
        return;
    }
    WritePolylines({{from, m_position}});
    Record(META_MOVETO, {Coord(m_position.y), Coord(m_position.x)});
}

void CWmfRecorder::Poly(const CPoint* points, const int* counts, int parts, bool closed)
{
    std::vector<std::vector<PointD>> figures;
    for (int i = 0, at = 0; i < parts; at += counts[i], ++i) {
        std::vector<PointD> figure;
        for (int k = 0; k < counts[i]; ++k)
            figure.push_back(ToFile(points[at + k]));
        figures.push_back(std::move(figure));
    }
    if (m_inPath) {
        for (auto& f : figures)
            m_path.push_back(Figure{std::move(f), closed});
        return;
    }
    Sync(closed ? kStroke | kFill : kStroke);
    if (closed)
        WritePolygons(figures);
    else
        WritePolylines(figures);
}

void CWmfRecorder::WritePolylines(const std::vector<std::vector<PointD>>& lines)
{
    for (const auto& line : lines) {
        for (const auto& piece : Inside16(line) ? std::vector<std::vector<PointD>>{line} : ClipPolyline(line)) {
            const std::vector<Point16> points = Rounded(piece);
            if (points.size() < 2)
                continue;
            // The count has 15 bits: longer lines go in pieces that meet.
            for (std::size_t first = 0; first + 1 < points.size(); first += kMaxCount - 1) {
                const std::size_t count = std::min(kMaxCount, points.size() - first);
                const std::size_t start = Begin(META_POLYLINE);
                m_out.U16(static_cast<std::uint16_t>(count));
                for (std::size_t i = first; i < first + count; ++i) {
                    m_out.I16(points[i].x);
                    m_out.I16(points[i].y);
                }
                End(start);
            }
        }
    }
}

void CWmfRecorder::WritePolygons(const std::vector<std::vector<PointD>>& rings)
{
    std::vector<std::vector<Point16>> kept;
    for (const auto& ring : rings) {
        std::vector<Point16> points = Rounded(Inside16(ring) ? ring : ClipRing(ring));
        if (points.size() > 1 && points.back() == points.front())
            points.pop_back();
        if (points.size() < 2)
            continue;
        if (points.size() > kMaxCount) {
            // Beyond what a count holds the ring keeps every n-th corner.
            const std::size_t step = (points.size() + kMaxCount - 1) / kMaxCount;
            std::vector<Point16> thinned;
            for (std::size_t i = 0; i < points.size(); i += step)
                thinned.push_back(points[i]);
            points = std::move(thinned);
        }
        kept.push_back(std::move(points));
    }
    for (std::size_t first = 0; first < kept.size(); first += kMaxCount) {
        const std::size_t count = std::min(kMaxCount, kept.size() - first);
        const std::size_t start = Begin(count == 1 ? META_POLYGON : META_POLYPOLYGON);
        if (count > 1) {
            m_out.U16(static_cast<std::uint16_t>(count));
            for (std::size_t i = first; i < first + count; ++i)
                m_out.U16(static_cast<std::uint16_t>(kept[i].size()));
        } else {
            m_out.U16(static_cast<std::uint16_t>(kept[first].size()));
        }
        for (std::size_t i = first; i < first + count; ++i)
            for (const Point16& p : kept[i]) {
                m_out.I16(p.x);
                m_out.I16(p.y);
            }
        End(start);
    }
}

std::vector<PointD> CWmfRecorder::EllipseFigure(const CRect& box) const
{
    const PointD a = ToFile(box.TopLeft()), b = ToFile(box.BottomRight());
    const double cx = (a.x + b.x) / 2, cy = (a.y + b.y) / 2, rx = std::fabs(b.x - a.x) / 2, ry = std::fabs(b.y - a.y) / 2;
    const int count = static_cast<int>(std::clamp((rx + ry) / 4, 16.0, 1024.0));
    std::vector<PointD> points;
    for (int i = 0; i < count; ++i) {
        const double angle = 2 * std::numbers::pi * i / count;
        points.push_back({cx + rx * std::cos(angle), cy - ry * std::sin(angle)});
    }
    return points;
}

void CWmfRecorder::Rectangle(const CRect& box)
{
    if (m_inPath) {
        const PointD a = ToFile(box.TopLeft()), b = ToFile(box.BottomRight());
        m_path.push_back(Figure{{a, {b.x, a.y}, b, {a.x, b.y}}, true});
        return;
    }
    Sync(kStroke | kFill);
    WriteRectRecord(META_RECTANGLE, box);
}

void CWmfRecorder::Ellipse(const CRect& box)
{
    if (m_inPath) {
        m_path.push_back(Figure{EllipseFigure(box), true});
        return;
    }
    Sync(kStroke | kFill);
    WriteRectRecord(META_ELLIPSE, box);
}

void CWmfRecorder::FillRect(const CRect& rect, const CBrush& brush)
{
    // A polygon without outline fills exactly the pixels of the rectangle.
    Sync(kPen | kFill, RectangleFill(brush));
    const PointD a = ToFile(rect.TopLeft()), b = ToFile(rect.BottomRight());
    WritePolygons({{a, {b.x, a.y}, b, {a.x, b.y}}});
}

void CWmfRecorder::SetPixel(CPoint p, COLORREF colour)
{
    const PointD q = ToFile(p);
    const std::size_t start = Begin(META_SETPIXEL);
    m_out.U32(colour);
    m_out.I16(Coord(q.y));
    m_out.I16(Coord(q.x));
    End(start);
}

void CWmfRecorder::PatBlt(const CRect& rect, std::uint32_t rop)
{
    Sync(kBrush | kTextColour | kBkColour);
    const PointD a = ToFile(rect.TopLeft()), b = ToFile(rect.BottomRight());
    const std::size_t start = Begin(META_PATBLT);
    m_out.U32(rop);
    m_out.I16(Coord(b.y - a.y));
    m_out.I16(Coord(b.x - a.x));
    m_out.I16(Coord(a.y));
    m_out.I16(Coord(a.x));
    End(start);
}

void CWmfRecorder::WriteStretchDib(const CRect& rect, const std::string& dib, int width, int height,
                                   std::uint32_t rop)
{
    const PointD a = ToFile(rect.TopLeft()), b = ToFile(rect.BottomRight());
    const std::size_t start = Begin(META_STRETCHDIB);
    m_out.U32(rop);
    m_out.U16(DIB_RGB_COLORS);
    m_out.I16(Round16(height));
    m_out.I16(Round16(width));
    m_out.I16(0);
    m_out.I16(0);
    m_out.I16(Coord(b.y - a.y));
    m_out.I16(Coord(b.x - a.x));
    m_out.I16(Coord(a.y));
    m_out.I16(Coord(a.x));
    m_out.Bytes(dib.data(), dib.size());
    End(start);
}

void CWmfRecorder::Picture(const CRect& rect, const RecordedPicture& picture, std::uint32_t rop)
{
    if (picture.width <= 0 || picture.height <= 0 || picture.width > kLimit || picture.height > kLimit)
        return;
    Sync(kStretch);
    const std::string image = PictureDib(picture, false);
    if (!picture.hasAlpha) {
        WriteStretchDib(rect, image, picture.width, picture.height, rop);
        return;
    }
    // Masked: the picture inverted into the target, the see-through part
    // kept by the mask and the rest cleared, the picture inverted in again.
    WriteStretchDib(rect, image, picture.width, picture.height, SRCINVERT);
    WriteStretchDib(rect, MaskDib(picture), picture.width, picture.height, SRCAND);
    WriteStretchDib(rect, image, picture.width, picture.height, SRCINVERT);
}

void CWmfRecorder::Text(CPoint reference, std::string_view text, const std::vector<int>& advances, unsigned align,
                        const CRect* clip)
{
    if (m_inPath || text.empty())
        return;
    Overrides with;
    with.hasAlign = true;
    with.align = align;
    Sync(kTextDrawing, with);
    const std::string_view shown = text.substr(0, kMaxCount);
    const PointD at = ToFile(reference);
    const std::size_t start = Begin(META_EXTTEXTOUT);
    m_out.I16(Coord(at.y));
    m_out.I16(Coord(at.x));
    m_out.U16(static_cast<std::uint16_t>(shown.size()));
    m_out.U16(clip ? ETO_CLIPPED : 0);
    if (clip) {
        const PointD a = ToFile(clip->TopLeft()), b = ToFile(clip->BottomRight());
        m_out.I16(Coord(std::min(a.x, b.x)));
        m_out.I16(Coord(std::min(a.y, b.y)));
        m_out.I16(Coord(std::max(a.x, b.x)));
        m_out.I16(Coord(std::max(a.y, b.y)));
    }
    m_out.Bytes(shown.data(), shown.size());
    m_out.Align(2);
    if (advances.size() == text.size()) {
        // The widths scaled where they add up, so rounding does not pile up.
        const double scale = ScaleX();
        double sum = 0;
        long previous = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            sum += advances[i];
            const long next = std::lround(sum * scale);
            m_out.I16(Round16(double(next - previous)));
            previous = next;
        }
    }
    End(start);
}

void CWmfRecorder::Path(PathOp op, int, const CRgn*)
{
    switch (op) {
    case PathOp::Begin:
        m_inPath = true;
        m_path.clear();
        break;
    case PathOp::End: m_inPath = false; break;
    case PathOp::Abort:
        m_inPath = false;
        m_path.clear();
        break;
    case PathOp::CloseFigure:
        if (!m_path.empty())
            m_path.back().closed = true;
        break;
    case PathOp::Stroke: {
        Sync(kStroke);
        std::vector<std::vector<PointD>> lines;
        for (const Figure& f : m_path) {
            lines.push_back(f.points);
            if (f.closed && f.points.size() > 2)
                lines.back().push_back(f.points.front());
        }
        WritePolylines(lines);
        m_path.clear();
        break;
    }
    case PathOp::Fill:
    case PathOp::StrokeAndFill: {
        Overrides with;
        if (op == PathOp::Fill)
            with.pen = &NullPen();
        Sync(kPen | kStroke | kFill, with);
        std::vector<std::vector<PointD>> rings;
        for (const Figure& f : m_path)
            rings.push_back(f.points);
        WritePolygons(rings);
        m_path.clear();
        break;
    }
    case PathOp::SelectClip:
        WriteClipRegion();
        m_path.clear();
        break;
    }
}
