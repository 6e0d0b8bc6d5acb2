#include "platform/MetaFilePlayer.h"

#include "platform/Codepage.h"
#include "platform/DibReader.h"
#include "platform/MetaFile.h"
#include "platform/MetafileBytes.h"
#include "platform/MetafileRecords.h"

#include <QRegion>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr std::size_t kMaxSaveDepth = 1024;
constexpr std::size_t kMaxRegionRects = 10000;
constexpr std::int64_t kMaxConvertedPixels = std::int64_t(1) << 24;
constexpr double kMaxScale = double(1 << 30);
constexpr int kRegionLimit = 1 << 29;

int ClampInt(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::llround(std::clamp(v, -kMaxScale, kMaxScale)));
}

// A device rectangle cut to where Qt's int sizes hold it: a file's
// rectangles reach as far as coordinates go, no picture nearly as far.
QRect QtRect(const CRect& r)
{
    const auto cut = [](int v) { return std::clamp(v, -kRegionLimit, kRegionLimit); };
    const CRect c(cut(r.left), cut(r.top), cut(r.right), cut(r.bottom));
    return QRect(c.left, c.top, c.Width(), c.Height());
}

} // namespace

// ---- Object table --------------------------------------------------------

void CMetafilePlayer::CObjectTable::Reset(std::size_t capacity)
{
    m_objects.clear();
    m_free.clear();
    m_capacity = std::min<std::size_t>(capacity, 0xFFFF);
}

bool CMetafilePlayer::CObjectTable::Put(std::uint32_t index, Object object)
{
    if (index >= m_capacity)
        return false;
    if (index >= m_objects.size())
        m_objects.resize(index + 1);
    m_objects[index] = std::move(object);
    return true;
}

int CMetafilePlayer::CObjectTable::Add(Object object)
{
    std::uint32_t index = static_cast<std::uint32_t>(m_objects.size());
    if (!m_free.empty()) {
        index = *m_free.begin();
        m_free.erase(m_free.begin());
    } else if (index >= m_capacity) {
        return -1;
    } else {
        m_objects.emplace_back();
    }
    m_objects[index] = std::move(object);
    return static_cast<int>(index);
}

const CMetafilePlayer::Object* CMetafilePlayer::CObjectTable::At(std::uint32_t index) const
{
    if (index >= m_objects.size() || m_objects[index].kind == Object::None)
        return nullptr;
    return &m_objects[index];
}

void CMetafilePlayer::CObjectTable::Remove(std::uint32_t index)
{
    if (index >= m_objects.size() || m_objects[index].kind == Object::None)
        return;
    m_objects[index] = Object{};
    m_free.insert(index);
}

// ---- Player --------------------------------------------------------------

CMetafilePlayer::CMetafilePlayer(CDC& dc, const CRect& rect) : m_dc(dc)
{
    m_destA = rect.TopLeft();
    m_destB = rect.BottomRight();
    dc.LPtoDP(&m_destA);
    dc.LPtoDP(&m_destB);
    if (m_destA.x == m_destB.x || m_destA.y == m_destB.y)
        return;
    m_saved = dc.SaveDC();
    if (m_saved <= 0)
        return;
    dc.IntersectClipRect(rect);
    dc.GetClipRgn(&m_inside);
    // Playing starts from the context's defaults.
    dc.SelectObject(CPen::FromStock(BLACK_PEN));
    dc.SelectObject(CBrush::FromStock(WHITE_BRUSH));
    dc.SelectObject(CFont(LOGFONT{}));
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkColor(RGB(255, 255, 255));
    dc.SetBkMode(OPAQUE);
    dc.SetROP2(R2_COPYPEN);
    dc.SetPolyFillMode(ALTERNATE);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.SetStretchBltMode(BLACKONWHITE);
    dc.SetBrushOrg(0, 0);
    dc.SetMiterLimit(10.0f);
    dc.AbortPath();
    m_ready = true;
}

CMetafilePlayer::~CMetafilePlayer()
{
    if (m_saved > 0)
        m_dc.RestoreDC(m_saved);
}

void CMetafilePlayer::SetMapping(double sx, double tx, double sy, double ty)
{
    // x * s + t as (x - w0) * V / E + v0 with whole numbers. Scales are
    // mostly simple fractions computed with a rounding error (100 / 1000 as
    // 0.0999999999...): the simplest fraction that close is taken, so
    // coordinates land where the same drawing made directly puts them;
    // else E is as large as the scale allows, so V / E is s to 30 bits.
    auto axis = [](double s, double t, int& windowOrg, int& windowExt, int& viewportExt, int& viewportOrg) {
        if (!std::isfinite(s) || s == 0)
            s = 1;
        s = std::clamp(s, -kMaxScale, kMaxScale);
        windowExt = static_cast<int>(std::min(kMaxScale, std::floor(kMaxScale / std::max(1.0, std::fabs(s)))));
        viewportExt = ClampInt(s * windowExt);
        // The convergents of the continued fraction of |s|.
        const double magnitude = std::fabs(s);
        double x = magnitude, p0 = 0, q0 = 1, p1 = 1, q1 = 0;
        for (int i = 0; i < 64; ++i) {
            const double a = std::floor(x);
            const double p2 = a * p1 + p0, q2 = a * q1 + q0;
            if (p2 > kMaxScale || q2 > kMaxScale)
                break;
            p0 = p1, q0 = q1, p1 = p2, q1 = q2;
            if (std::fabs(magnitude - p1 / q1) <= 1e-9 * magnitude) {
                windowExt = static_cast<int>(q1);
                viewportExt = static_cast<int>(s < 0 ? -p1 : p1);
                break;
            }
            if (x - a < 1e-12)
                break;
            x = 1 / (x - a);
        }
        if (viewportExt == 0)
            viewportExt = s < 0 ? -1 : 1;
        const double scale = double(viewportExt) / windowExt;
        viewportOrg = ClampInt(std::isfinite(t) ? t : 0);
        windowOrg = ClampInt((viewportOrg - (std::isfinite(t) ? t : 0)) / scale);
    };
    int wox = 0, wex = 1, vex = 1, vox = 0, woy = 0, wey = 1, vey = 1, voy = 0;
    axis(sx, tx, wox, wex, vex, vox);
    axis(sy, ty, woy, wey, vey, voy);
    m_sx = double(vex) / wex;
    m_tx = vox - wox * m_sx;
    m_sy = double(vey) / wey;
    m_ty = voy - woy * m_sy;
    m_dc.SetMapMode(MM_ANISOTROPIC);
    m_dc.SetWindowExt(wex, wey);
    m_dc.SetViewportExt(vex, vey);
    m_dc.SetWindowOrg(wox, woy);
    m_dc.SetViewportOrg(vox, voy);
}

void CMetafilePlayer::Save()
{
    // Deeper saves are dropped: a file of nothing else cannot take the memory.
    if (m_stack.size() >= kMaxSaveDepth)
        return;
    m_dc.SaveDC();
    m_stack.push_back(m_state);
}

void CMetafilePlayer::Restore(int relative)
{
    const auto depth = static_cast<long long>(m_stack.size());
    if (relative >= 0 || -static_cast<long long>(relative) > depth)
        return;
    m_dc.RestoreDC(relative);
    m_state = m_stack[static_cast<std::size_t>(depth + relative)];
    m_stack.resize(static_cast<std::size_t>(depth + relative));
}

void CMetafilePlayer::Select(const Object& object)
{
    switch (object.kind) {
    case Object::Pen: m_dc.SelectObject(object.pen); break;
    case Object::Brush:
        m_dc.SelectObject(object.brush);
        m_state.ownColours = object.ownColours;
        m_state.colour0 = object.colour0;
        m_state.colour1 = object.colour1;
        break;
    case Object::Font: m_dc.SelectObject(object.font); break;
    default: break;
    }
}

void CMetafilePlayer::Clip(const CRgn* region, int mode)
{
    CRgn current;
    if (!m_dc.GetClipRgn(&current))
        current = m_inside;
    CRgn result;
    if (mode == RGN_COPY) {
        if (region)
            result.CombineRgn(m_inside, *region, RGN_AND);
        else
            result = m_inside;
    } else {
        if (!region || mode < RGN_AND || mode > RGN_DIFF)
            return;
        CRgn combined;
        combined.CombineRgn(current, *region, mode);
        result.CombineRgn(combined, m_inside, RGN_AND);
    }
    m_dc.SelectClipRgn(&result, RGN_COPY);
}

void CMetafilePlayer::KeepClipInside()
{
    CRgn current;
    if (!m_dc.GetClipRgn(&current))
        current = m_inside;
    CRgn result;
    result.CombineRgn(current, m_inside, RGN_AND);
    m_dc.SelectClipRgn(&result, RGN_COPY);
}

CRgn CMetafilePlayer::RegionOf(const std::vector<CRect>& rects)
{
    QRegion region;
    if (rects.size() > kMaxRegionRects) {
        CRect box = rects.front();
        for (const CRect& r : rects)
            box.UnionRect(box, r);
        region = QRegion(QtRect(box));
    } else {
        for (const CRect& r : rects)
            if (!r.IsRectEmpty())
                region = region.united(QtRect(r));
    }
    return CRgn::FromRegion(region);
}

void CMetafilePlayer::DrawText(CPoint reference, const std::string& text, unsigned options, const CRect* rect)
{
    if (rect && (options & ETO_OPAQUE))
        m_dc.FillSolidRect(*rect, m_dc.GetBkColor());
    if (text.empty())
        return;
    if (!rect || !(options & ETO_CLIPPED)) {
        m_dc.TextOut(reference.x, reference.y, text);
        return;
    }
    const int saved = m_dc.SaveDC();
    m_dc.IntersectClipRect(*rect);
    m_dc.TextOut(reference.x, reference.y, text);
    const CPoint position = m_dc.GetCurrentPosition();
    m_dc.RestoreDC(saved);
    m_dc.MoveTo(position);
}

void CMetafilePlayer::PolyBezier(const std::vector<CPoint>& points, bool fromCurrent)
{
    std::vector<CPoint> line;
    CPoint start = fromCurrent ? m_dc.GetCurrentPosition() : (points.empty() ? CPoint() : points.front());
    line.push_back(start);
    constexpr int kSteps = 16;
    for (std::size_t i = fromCurrent ? 0 : 1; i + 2 < points.size(); i += 3) {
        const CPoint p0 = line.back(), p1 = points[i], p2 = points[i + 1], p3 = points[i + 2];
        for (int k = 1; k <= kSteps; ++k) {
            const double t = double(k) / kSteps, u = 1 - t;
            const double x = u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x;
            const double y = u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y;
            line.emplace_back(ClampInt(x), ClampInt(y));
        }
        // The curve ends exactly on its last point.
        line.back() = p3;
    }
    if (fromCurrent) {
        for (std::size_t i = 1; i < line.size(); ++i)
            m_dc.LineTo(line[i]);
    } else if (line.size() > 1) {
        m_dc.Polyline(line.data(), static_cast<int>(line.size()));
    }
}

void CMetafilePlayer::Arc(const CRect& box, CPoint start, CPoint end, int kind)
{
    // kind: 0 arc, 1 chord, 2 pie, 3 arc continuing the current position.
    // Arcs run anticlockwise as seen on the device.
    const double cx = (double(box.left) + box.right) / 2, cy = (double(box.top) + box.bottom) / 2;
    const double rx = std::fabs(double(box.right) - box.left) / 2, ry = std::fabs(double(box.bottom) - box.top) / 2;
    if (rx < 0.5 || ry < 0.5)
        return;
    const double fx = m_sx < 0 ? -1 : 1, fy = m_sy < 0 ? -1 : 1;
    auto angle = [&](CPoint p) { return std::atan2(-fy * (p.y - cy) / ry, fx * (p.x - cx) / rx); };
    const double a0 = angle(start);
    double sweep = angle(end) - a0;
    while (sweep <= 0)
        sweep += 2 * std::numbers::pi;
    const double size = std::fabs(m_sx) * rx + std::fabs(m_sy) * ry;
    const int steps = static_cast<int>(std::clamp(size * sweep / 8, 4.0, 512.0));
    std::vector<CPoint> points;
    if (kind == 2)
        points.emplace_back(ClampInt(cx), ClampInt(cy));
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + sweep * i / steps;
        points.emplace_back(ClampInt(cx + fx * rx * std::cos(a)), ClampInt(cy - fy * ry * std::sin(a)));
    }
    if (kind == 3) {
        for (const CPoint& p : points)
            m_dc.LineTo(p);
        return;
    }
    const int count = static_cast<int>(points.size());
    WithBrushColours([&] {
        if (kind == 0)
            m_dc.Polyline(points.data(), count);
        else
            m_dc.Polygon(points.data(), count);
    });
}

void CMetafilePlayer::RoundRect(const CRect& box, CSize corner)
{
    CRect r = box;
    r.NormalizeRect();
    // The file's box may be wider than an int.
    const double rx = std::min(std::fabs(corner.cx) / 2.0, (double(r.right) - r.left) / 2.0);
    const double ry = std::min(std::fabs(corner.cy) / 2.0, (double(r.bottom) - r.top) / 2.0);
    std::vector<CPoint> points;
    const double centres[4][2] = {
        {r.right - rx, r.top + ry}, {r.left + rx, r.top + ry}, {r.left + rx, r.bottom - ry}, {r.right - rx, r.bottom - ry}};
    constexpr int kSteps = 8;
    for (int q = 0; q < 4; ++q)
        for (int i = 0; i <= kSteps; ++i) {
            const double a = (q + double(i) / kSteps) * std::numbers::pi / 2;
            points.emplace_back(ClampInt(centres[q][0] + rx * std::cos(a)), ClampInt(centres[q][1] - ry * std::sin(a)));
        }
    WithBrushColours([&] { m_dc.Polygon(points.data(), static_cast<int>(points.size())); });
}

CPen CMetafilePlayer::OldStylePen(std::uint32_t style, int width, COLORREF colour)
{
    // Ends and joins a wide pen names make it a geometric one.
    CPen pen;
    if ((style & (PS_ENDCAP_MASK | PS_JOIN_MASK)) && width > 1 &&
        pen.CreatePen(static_cast<int>(PS_GEOMETRIC | (style & (PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK))), width,
                      LOGBRUSH{BS_SOLID, colour, 0}))
        return pen;
    pen.CreatePen(static_cast<int>(style & PS_STYLE_MASK), width, colour);
    return pen;
}

CMetafilePlayer::Object CMetafilePlayer::PatternBrush(const DibData& dib, bool ownColours)
{
    Object object;
    object.kind = Object::Brush;
    CDibReader reader;
    if (!reader.Open(dib, DIB_RGB_COLORS) || reader.Width() < 1 || reader.Height() < 1) {
        object.brush = CBrush::FromStock(WHITE_BRUSH);
        return object;
    }
    auto colourRef = [](std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); };
    if (reader.BitCount() == 1) {
        CBrush::Pattern rows{};
        std::vector<std::uint8_t> indexes(static_cast<std::size_t>(reader.Width()));
        for (int y = 0; y < 8; ++y) {
            reader.ReadIndexes(y % reader.Height(), 0, reader.Width(), indexes.data());
            for (int x = 0; x < 8; ++x)
                if (indexes[static_cast<std::size_t>(x % reader.Width())])
                    rows[static_cast<std::size_t>(y)] |= static_cast<std::uint8_t>(0x80 >> x);
        }
        object.brush.CreatePatternBrush(rows);
        object.ownColours = ownColours;
        object.colour0 = colourRef(reader.PaletteColour(0));
        object.colour1 = colourRef(reader.PaletteColour(1));
        return object;
    }
    // A picture pattern the brushes cannot hold: its mean colour.
    std::uint64_t sum[3] = {};
    const int w = std::min(reader.Width(), 64), h = std::min(reader.Height(), 64);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        reader.ReadRow(y, 0, w, row.data());
        for (std::uint32_t p : row) {
            sum[0] += (p >> 16) & 0xFF;
            sum[1] += (p >> 8) & 0xFF;
            sum[2] += p & 0xFF;
        }
    }
    const std::uint64_t n = std::uint64_t(w) * std::uint64_t(h);
    object.brush.CreateSolidBrush(RGB(int(sum[0] / n), int(sum[1] / n), int(sum[2] / n)));
    return object;
}

bool CMetafilePlayer::UsableDib(const std::uint8_t* info, std::size_t infoSize, const std::uint8_t* bits,
                                std::size_t bitsSize, std::vector<std::uint8_t>& converted, DibData& dib)
{
    dib = DibData{info, infoSize, bits, bitsSize};
    if (!info || infoSize < 40 || !bits)
        return info && infoSize >= 12 && bits;
    const CRecordReader in(info, infoSize);
    const std::uint32_t headerSize = in.U32(0);
    const std::int32_t width = in.I32(4), height = in.I32(8);
    const std::uint16_t bitCount = in.U16(14);
    const std::uint32_t compression = in.U32(16);
    if ((bitCount != 16 && bitCount != 32) || headerSize < 40 || headerSize > infoSize)
        return true;
    if (width <= 0 || height == 0 || height == INT_MIN)
        return false;
    const std::int64_t rows = std::llabs(std::int64_t(height));
    if (std::int64_t(width) * rows > kMaxConvertedPixels)
        return false;
    // The channel masks: given ones, or the plain layouts.
    std::uint32_t masks[3] = {0xFF0000, 0xFF00, 0xFF};
    if (bitCount == 16)
        masks[0] = 0x7C00, masks[1] = 0x3E0, masks[2] = 0x1F;
    if (compression == BI_BITFIELDS) {
        if (!in.Has(40, 12))
            return false;
        for (int i = 0; i < 3; ++i)
            masks[i] = in.U32(40 + 4 * static_cast<std::size_t>(i));
    } else if (compression != BI_RGB) {
        return false;
    }
    const std::size_t stride = (std::size_t(width) * bitCount / 8 + 3) / 4 * 4;
    if (stride * std::size_t(rows) > bitsSize)
        return false;
    const std::size_t outStride = (std::size_t(width) * 3 + 3) / 4 * 4;
    converted.assign(40 + outStride * std::size_t(rows), 0);
    CRecordBytes header;
    header.U32(40);
    header.I32(width);
    header.I32(height);
    header.U16(1);
    header.U16(24);
    header.Zeros(24);
    std::memcpy(converted.data(), header.Data().data(), 40);
    auto channel = [](std::uint32_t value, std::uint32_t mask) -> std::uint8_t {
        if (mask == 0)
            return 0;
        int shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        const std::uint32_t top = mask >> shift;
        return static_cast<std::uint8_t>(((value & mask) >> shift) * 255 / top);
    };
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::uint8_t* from = bits + std::size_t(y) * stride;
        std::uint8_t* to = converted.data() + 40 + std::size_t(y) * outStride;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t v = bitCount == 32 ? GetLittleEndian<std::uint32_t>(from + 4 * std::size_t(x))
                                                   : GetLittleEndian<std::uint16_t>(from + 2 * std::size_t(x));
            to[3 * x] = channel(v, masks[2]);
            to[3 * x + 1] = channel(v, masks[1]);
            to[3 * x + 2] = channel(v, masks[0]);
        }
    }
    dib = DibData{converted.data(), 40, converted.data() + 40, converted.size() - 40};
    return true;
}

// ---- Enhanced metafiles --------------------------------------------------

namespace {


// The unit of each fixed mapping mode, per inch; y grows upwards in them.
int UnitsPerInch(int mode)
{
    switch (mode) {
    case MM_LOMETRIC: return 254;
    case MM_HIMETRIC: return 2540;
    case MM_LOENGLISH: return 100;
    case MM_HIENGLISH: return 1000;
    case MM_TWIPS: return 1440;
    case MM_ISOTROPIC: return 254;
    default: return 0;
    }
}

std::string Utf16ToCp1257(const CRecordReader& in, std::size_t at, std::size_t count)
{
    std::string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int byte = UnicodeToCp1257(in.U16(at + 2 * i));
        text.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return text;
}

class CEmfPlayer : public CMetafilePlayer {
public:
    CEmfPlayer(CDC& dc, const CRect& rect, const EnhMetaHeader& header);
    bool Play(const std::uint8_t* data);

private:
    void Record(std::uint32_t type, const CRecordReader& in);
    void ApplyMapping();
    void FixIsotropic();
    CPoint At32(const CRecordReader& in, std::size_t at) const { return CPoint(in.I32(at), in.I32(at + 4)); }
    CRect Rect32(const CRecordReader& in, std::size_t at) const
    {
        return CRect(in.I32(at), in.I32(at + 4), in.I32(at + 8), in.I32(at + 12));
    }
    // The points of a poly record: count at 24, points from 28.
    bool Points(const CRecordReader& in, std::size_t at, std::size_t count, bool small, std::vector<CPoint>& out) const;
    void Poly(std::uint32_t type, const CRecordReader& in, bool small);
    void PolyPoly(const CRecordReader& in, bool closed, bool small);
    bool Dib(const CRecordReader& in, std::size_t offBmi, std::size_t offBits, std::vector<std::uint8_t>& converted,
             DibData& dib) const;
    void Blit(std::uint32_t type, const CRecordReader& in);
    void Text(const CRecordReader& in, std::size_t at, bool wide);
    void Region(const CRecordReader& in, std::size_t at, std::size_t size, std::vector<CRect>& rects) const;
    void CreateObject(std::uint32_t type, const CRecordReader& in);

    EnhMetaHeader m_header;
    double m_refDpiX = 96, m_refDpiY = 96;
    // Device units of the file to device pixels of the target.
    double m_ax = 1, m_bx = 0, m_ay = 1, m_by = 0;
    bool m_valid = false;
};

CEmfPlayer::CEmfPlayer(CDC& dc, const CRect& rect, const EnhMetaHeader& header)
    : CMetafilePlayer(dc, rect), m_header(header)
{
    if (!Ready())
        return;
    // Pixels of the reference device per hundredth of a millimetre.
    double perX = 96.0 / 2540, perY = 96.0 / 2540;
    const bool micrometres = header.deviceMicrometres.cx > 0 && header.deviceMicrometres.cy > 0;
    const double umX = micrometres ? header.deviceMicrometres.cx : header.deviceMillimetres.cx * 1000.0;
    const double umY = micrometres ? header.deviceMicrometres.cy : header.deviceMillimetres.cy * 1000.0;
    if (header.devicePixels.cx > 0 && header.devicePixels.cy > 0 && umX > 0 && umY > 0) {
        perX = header.devicePixels.cx * 10.0 / umX;
        perY = header.devicePixels.cy * 10.0 / umY;
    }
    m_refDpiX = perX * 2540;
    m_refDpiY = perY * 2540;
    double left = header.frame.left * perX, top = header.frame.top * perY;
    double width = (double(header.frame.right) - header.frame.left) * perX;
    double height = (double(header.frame.bottom) - header.frame.top) * perY;
    if (!(width > 0) || !(height > 0)) {
        // No frame: the bounds, whose right and bottom are inside.
        left = header.bounds.left;
        top = header.bounds.top;
        width = double(header.bounds.right) - header.bounds.left + 1;
        height = double(header.bounds.bottom) - header.bounds.top + 1;
    }
    if (!(width > 0) || !(height > 0))
        return;
    m_ax = (double(DestB().x) - DestA().x) / width;
    m_bx = DestA().x - m_ax * left;
    m_ay = (double(DestB().y) - DestA().y) / height;
    m_by = DestA().y - m_ay * top;
    m_objects.Reset(std::max<std::size_t>(header.handles, 1));
    ApplyMapping();
    m_valid = true;
}

bool CEmfPlayer::Play(const std::uint8_t* data)
{
    if (!m_valid)
        return false;
    const std::size_t end = m_header.bytes;
    std::size_t at = 0;
    // Every record takes 8 bytes at least, so this ends.
    while (at + 8 <= end) {
        const CRecordReader head(data + at, end - at);
        const std::uint32_t type = head.U32(0);
        const std::uint32_t size = head.U32(4);
        if (size < 8 || size % 4 != 0 || size > end - at)
            break;
        if (type == EMR_EOF)
            break;
        if (at > 0)
            Record(type, CRecordReader(data + at, size));
        at += size;
    }
    return true;
}

void CEmfPlayer::FixIsotropic()
{
    CSize& ve = m_state.viewportExt;
    const CSize& we = m_state.windowExt;
    const double xdim = std::fabs(double(ve.cx) / (double(we.cx) * m_refDpiX));
    const double ydim = std::fabs(double(ve.cy) / (double(we.cy) * m_refDpiY));
    if (xdim > ydim && xdim > 0) {
        const int v = ClampInt(ve.cx * ydim / xdim);
        ve.cx = v != 0 ? v : (ve.cx < 0 ? -1 : 1);
    } else if (ydim > xdim && ydim > 0) {
        const int v = ClampInt(ve.cy * xdim / ydim);
        ve.cy = v != 0 ? v : (ve.cy < 0 ? -1 : 1);
    }
}

void CEmfPlayer::ApplyMapping()
{
    const State& s = m_state;
    const double kx = double(s.viewportExt.cx) / s.windowExt.cx;
    const double ky = double(s.viewportExt.cy) / s.windowExt.cy;
    // Logical units through the world transform's scale and shift, the
    // page's window and viewport, and the frame onto the target.
    SetMapping(m_ax * kx * s.m11, m_ax * ((s.dx - s.windowOrg.x) * kx + s.viewportOrg.x) + m_bx, m_ay * ky * s.m22,
               m_ay * ((s.dy - s.windowOrg.y) * ky + s.viewportOrg.y) + m_by);
}

bool CEmfPlayer::Points(const CRecordReader& in, std::size_t at, std::size_t count, bool small,
                        std::vector<CPoint>& out) const
{
    const std::size_t each = small ? 4 : 8;
    if (count > in.Size() / each || !in.Has(at, count * each))
        return false;
    out.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = small ? CPoint(in.I16(at + 4 * i), in.I16(at + 4 * i + 2)) : At32(in, at + 8 * i);
    return true;
}

void CEmfPlayer::Poly(std::uint32_t type, const CRecordReader& in, bool small)
{
    std::vector<CPoint> points;
    if (!Points(in, 28, in.U32(24), small, points) || points.empty())
        return;
    const int count = static_cast<int>(points.size());
    switch (type) {
    case EMR_POLYGON:
    case EMR_POLYGON16: WithBrushColours([&] { m_dc.Polygon(points.data(), count); }); break;
    case EMR_POLYLINE:
    case EMR_POLYLINE16: m_dc.Polyline(points.data(), count); break;
    case EMR_POLYLINETO:
    case EMR_POLYLINETO16:
        for (const CPoint& p : points)
            m_dc.LineTo(p);
        break;
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIER16: PolyBezier(points, false); break;
    case EMR_POLYBEZIERTO:
    case EMR_POLYBEZIERTO16: PolyBezier(points, true); break;
    default: break;
    }
}

void CEmfPlayer::PolyPoly(const CRecordReader& in, bool closed, bool small)
{
    const std::uint32_t parts = in.U32(24);
    const std::uint32_t total = in.U32(28);
    if (parts == 0 || parts > in.Size() / 4 || !in.Has(32, std::size_t(parts) * 4))
        return;
    std::vector<std::uint32_t> counts(parts);
    std::uint64_t sum = 0;
    for (std::uint32_t i = 0; i < parts; ++i) {
        counts[i] = in.U32(32 + 4 * std::size_t(i));
        sum += counts[i];
    }
    std::vector<CPoint> points;
    if (sum != total || !Points(in, 32 + 4 * std::size_t(parts), total, small, points))
        return;
    WithBrushColours([&] {
        if (closed)
            m_dc.PolyPolygon(points.data(), counts.data(), static_cast<int>(parts));
        else
            m_dc.PolyPolyline(points.data(), counts.data(), static_cast<int>(parts));
    });
}

bool CEmfPlayer::Dib(const CRecordReader& in, std::size_t offBmi, std::size_t offBits,
                     std::vector<std::uint8_t>& converted, DibData& dib) const
{
    const std::uint32_t bmi = in.U32(offBmi), bmiSize = in.U32(offBmi + 4);
    const std::uint32_t bits = in.U32(offBits), bitsSize = in.U32(offBits + 4);
    if (bmiSize == 0 || !in.Has(bmi, bmiSize) || !in.Has(bits, bitsSize) || bmi < 8 || bits < 8)
        return false;
    return UsableDib(in.Data() + bmi, bmiSize, in.Data() + bits, bitsSize, converted, dib);
}

void CEmfPlayer::Blit(std::uint32_t type, const CRecordReader& in)
{
    std::vector<std::uint8_t> converted;
    DibData dib;
    const CRect dest(in.I32(24), in.I32(28), in.I32(32), in.I32(36)); // x, y, width, height
    // The source's rows as a DIB stores them: from the bottom of a bottom-up one.
    auto storedY = [](const DibData& d, int y, int height) {
        const CRecordReader header(static_cast<const std::uint8_t*>(d.info), d.infoSize);
        const std::int32_t h = header.U32(0) == 12 ? header.U16(6) : header.I32(8);
        return h > 0 ? ClampInt(double(h) - y - height) : y;
    };
    switch (type) {
    case EMR_BITBLT:
    case EMR_STRETCHBLT: {
        const std::uint32_t rop = in.U32(40);
        const bool stretch = type == EMR_STRETCHBLT;
        if (in.U32(88) == 0) {
            WithBrushColours([&] { m_dc.PatBlt(dest.left, dest.top, dest.right, dest.bottom, rop); });
            return;
        }
        if (!Dib(in, 84, 92, converted, dib))
            return;
        const int sw = stretch ? in.I32(100) : dest.right, sh = stretch ? in.I32(104) : dest.bottom;
        WithBrushColours([&] {
            m_dc.StretchDIBits(dest.left, dest.top, dest.right, dest.bottom, in.I32(44), storedY(dib, in.I32(48), sh),
                               sw, sh, dib, in.U32(80), rop);
        });
        return;
    }
    case EMR_STRETCHDIBITS:
        if (!Dib(in, 48, 56, converted, dib))
            return;
        WithBrushColours([&] {
            m_dc.StretchDIBits(dest.left, dest.top, in.I32(72), in.I32(76), in.I32(32), in.I32(36), in.I32(40),
                               in.I32(44), dib, in.U32(64), in.U32(68));
        });
        return;
    case EMR_SETDIBITSTODEVICE: {
        if (!Dib(in, 48, 56, converted, dib))
            return;
        // One pixel of the reference device a DIB pixel, in logical units.
        const double kx = m_ax * double(m_state.viewportExt.cx) / m_state.windowExt.cx * m_state.m11;
        const double ky = m_ay * double(m_state.viewportExt.cy) / m_state.windowExt.cy * m_state.m22;
        const int w = in.I32(40), h = in.I32(44);
        m_dc.StretchDIBits(dest.left, dest.top, ClampInt(w * m_ax / kx), ClampInt(h * m_ay / ky), in.I32(32),
                           in.I32(36), w, h, dib, in.U32(64), SRCCOPY);
        return;
    }
    case EMR_ALPHABLEND: {
        const std::uint8_t constant = in.U8(42);
        const bool perPixel = (in.U8(43) & 1) != 0;
        const CRecordReader header(in.Data() + std::min<std::size_t>(in.U32(84), in.Size()),
                                   in.Size() - std::min<std::size_t>(in.U32(84), in.Size()));
        const int sw = in.I32(100), sh = in.I32(104);
        if (perPixel && header.U16(14) == 32 && in.Has(in.U32(84), in.U32(88)) && in.Has(in.U32(92), in.U32(96))) {
            const DibData raw{in.Data() + in.U32(84), in.U32(88), in.Data() + in.U32(92), in.U32(96)};
            m_dc.AlphaBlendDIBits(dest.left, dest.top, dest.right, dest.bottom, in.I32(44),
                                  storedY(raw, in.I32(48), sh), sw, sh, raw, constant);
            return;
        }
        // A blend without alpha of its own: the picture, when it is not
        // faded to less than half.
        if (constant >= 128 && Dib(in, 84, 92, converted, dib))
            m_dc.StretchDIBits(dest.left, dest.top, dest.right, dest.bottom, in.I32(44), storedY(dib, in.I32(48), sh),
                               sw, sh, dib, DIB_RGB_COLORS, SRCCOPY);
        return;
    }
    case EMR_TRANSPARENTBLT: {
        if (!Dib(in, 84, 92, converted, dib))
            return;
        const int sh = in.I32(104);
        const std::uint32_t key = in.U32(40);
        m_dc.TransparentDIBits(dest.left, dest.top, dest.right, dest.bottom, in.I32(44), storedY(dib, in.I32(48), sh),
                               in.I32(100), sh, dib, -1, key & 0xFFFFFF);
        return;
    }
    default: return;
    }
}

void CEmfPlayer::Text(const CRecordReader& in, std::size_t at, bool wide)
{
    // at: the text's part of the record (reference, count, string offset,
    // options, rectangle, widths offset).
    const CPoint reference = At32(in, at);
    const std::uint32_t count = in.U32(at + 8);
    const std::uint32_t offString = in.U32(at + 12);
    const std::uint32_t options = in.U32(at + 16);
    const CRect rect = Rect32(in, at + 20);
    const std::size_t bytes = std::size_t(count) * (wide ? 2 : 1);
    if (count > in.Size() || !in.Has(offString, bytes))
        return;
    const std::string text = wide ? Utf16ToCp1257(in, offString, count)
                                  : std::string(reinterpret_cast<const char*>(in.Data() + offString), count);
    DrawText(reference, text, options, (options & (ETO_OPAQUE | ETO_CLIPPED)) ? &rect : nullptr);
}

void CEmfPlayer::Region(const CRecordReader& in, std::size_t at, std::size_t size, std::vector<CRect>& rects) const
{
    // A region header and its rectangles, in device units of the file.
    const std::uint32_t headerSize = in.U32(at);
    const std::uint32_t count = in.U32(at + 8);
    if (headerSize < 32 || !in.Has(at, size) || headerSize > size || count > (size - headerSize) / 16)
        return;
    for (std::uint32_t i = 0; i < count; ++i) {
        const CRect r = Rect32(in, at + headerSize + 16 * std::size_t(i));
        CRect d(ClampInt(m_ax * r.left + m_bx), ClampInt(m_ay * r.top + m_by), ClampInt(m_ax * r.right + m_bx),
                ClampInt(m_ay * r.bottom + m_by));
        d.NormalizeRect();
        rects.push_back(d);
    }
}

void CEmfPlayer::CreateObject(std::uint32_t type, const CRecordReader& in)
{
    const std::uint32_t index = in.U32(8);
    Object object;
    switch (type) {
    case EMR_CREATEPEN:
        object.kind = Object::Pen;
        object.pen = OldStylePen(in.U32(12), in.I32(16), in.U32(24));
        break;
    case EMR_EXTCREATEPEN: {
        object.kind = Object::Pen;
        const std::uint32_t style = in.U32(28);
        const std::uint32_t entries = in.U32(48);
        std::vector<std::uint32_t> lengths;
        if (entries <= 16 && in.Has(52, 4 * std::size_t(entries)))
            for (std::uint32_t i = 0; i < entries; ++i)
                lengths.push_back(in.U32(52 + 4 * std::size_t(i)));
        const LOGBRUSH brush{in.U32(36) == BS_NULL ? BS_NULL : BS_SOLID, in.U32(40), 0};
        if (!object.pen.CreatePen(static_cast<int>(style), in.I32(32), brush, static_cast<int>(lengths.size()),
                                  lengths.empty() ? nullptr : lengths.data()))
            object.pen.CreatePen(static_cast<int>(style & PS_STYLE_MASK), in.I32(32), in.U32(40));
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        object.kind = Object::Brush;
        const LOGBRUSH brush{in.U32(12), in.U32(16), in.U32(20)};
        if (!object.brush.CreateBrushIndirect(brush))
            object.brush.CreateSolidBrush(brush.lbColor);
        break;
    }
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: {
        const std::uint32_t bmi = in.U32(16), bmiSize = in.U32(20), bits = in.U32(24), bitsSize = in.U32(28);
        if (!in.Has(bmi, bmiSize) || !in.Has(bits, bitsSize))
            return;
        object = PatternBrush(DibData{in.Data() + bmi, bmiSize, in.Data() + bits, bitsSize},
                              type == EMR_CREATEDIBPATTERNBRUSHPT);
        break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
        if (!in.Has(12, 92))
            return;
        object.kind = Object::Font;
        LOGFONT lf;
        lf.lfHeight = in.I32(12);
        lf.lfWidth = in.I32(16);
        lf.lfEscapement = in.I32(20);
        lf.lfOrientation = in.I32(24);
        lf.lfWeight = in.I32(28);
        lf.lfItalic = in.U8(32);
        lf.lfUnderline = in.U8(33);
        lf.lfStrikeOut = in.U8(34);
        lf.lfCharSet = in.U8(35);
        lf.lfOutPrecision = in.U8(36);
        lf.lfClipPrecision = in.U8(37);
        lf.lfQuality = in.U8(38);
        lf.lfPitchAndFamily = in.U8(39);
        std::size_t length = 0;
        while (length < LF_FACESIZE - 1 && in.U16(40 + 2 * length) != 0)
            ++length;
        const std::string face = Utf16ToCp1257(in, 40, length);
        std::memcpy(lf.lfFaceName, face.data(), face.size());
        object.font.CreateFontIndirect(lf);
        break;
    }
    default:
        // Palettes and colour spaces take their slot and do nothing.
        object.kind = Object::Other;
        break;
    }
    if (index != 0)
        m_objects.Put(index, std::move(object));
}

void CEmfPlayer::Record(std::uint32_t type, const CRecordReader& in)
{
    State& s = m_state;
    switch (type) {
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIERTO: Poly(type, in, false); break;
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYLINETO16:
    case EMR_POLYBEZIER16:
    case EMR_POLYBEZIERTO16: Poly(type, in, true); break;
    case EMR_POLYPOLYLINE: PolyPoly(in, false, false); break;
    case EMR_POLYPOLYGON: PolyPoly(in, true, false); break;
    case EMR_POLYPOLYLINE16: PolyPoly(in, false, true); break;
    case EMR_POLYPOLYGON16: PolyPoly(in, true, true); break;

    case EMR_SETMAPMODE: {
        const int mode = in.I32(8);
        if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
            break;
        s.mapMode = mode;
        if (mode == MM_TEXT) {
            s.windowExt = s.viewportExt = CSize(1, 1);
        } else if (mode != MM_ANISOTROPIC) {
            const int perInch = UnitsPerInch(mode);
            s.windowExt = CSize(perInch, perInch);
            s.viewportExt = CSize(ClampInt(m_refDpiX), -ClampInt(m_refDpiY));
            if (s.viewportExt.cx == 0 || s.viewportExt.cy == 0)
                s.viewportExt = CSize(96, -96);
        }
        ApplyMapping();
        break;
    }
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX: {
        const CSize extent(in.I32(8), in.I32(12));
        if ((s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC) || extent.cx == 0 || extent.cy == 0)
            break;
        (type == EMR_SETWINDOWEXTEX ? s.windowExt : s.viewportExt) = extent;
        if (s.mapMode == MM_ISOTROPIC)
            FixIsotropic();
        ApplyMapping();
        break;
    }
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
        const std::int32_t xNum = in.I32(8), xDenom = in.I32(12), yNum = in.I32(16), yDenom = in.I32(20);
        if ((s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC) || xDenom == 0 || yDenom == 0)
            break;
        CSize& e = type == EMR_SCALEWINDOWEXTEX ? s.windowExt : s.viewportExt;
        const CSize scaled(ClampInt(double(e.cx) * xNum / xDenom), ClampInt(double(e.cy) * yNum / yDenom));
        if (scaled.cx == 0 || scaled.cy == 0)
            break;
        e = scaled;
        if (s.mapMode == MM_ISOTROPIC)
            FixIsotropic();
        ApplyMapping();
        break;
    }
    case EMR_SETWINDOWORGEX:
        s.windowOrg = At32(in, 8);
        ApplyMapping();
        break;
    case EMR_SETVIEWPORTORGEX:
        s.viewportOrg = At32(in, 8);
        ApplyMapping();
        break;
    case EMR_SETWORLDTRANSFORM:
    case EMR_MODIFYWORLDTRANSFORM: {
        double m[6];
        for (int i = 0; i < 6; ++i)
            m[i] = in.F32(8 + 4 * static_cast<std::size_t>(i));
        if (!std::all_of(m, m + 6, [](double v) { return std::isfinite(v) && std::fabs(v) < 1e9; }))
            break;
        const std::uint32_t mode = type == EMR_SETWORLDTRANSFORM ? 4 : in.U32(32);
        // Only scale and shift reach the target; turning and shearing parts are dropped.
        if (mode == 1) {
            s.m11 = s.m22 = 1;
            s.m12 = s.m21 = s.dx = s.dy = 0;
        } else if (mode == 4) {
            s.m11 = m[0], s.m12 = m[1], s.m21 = m[2], s.m22 = m[3], s.dx = m[4], s.dy = m[5];
        } else if (mode == 2) { // the given one first, then the current one
            s.dx = m[4] * s.m11 + m[5] * s.m21 + s.dx;
            s.dy = m[4] * s.m12 + m[5] * s.m22 + s.dy;
            const double a = m[0] * s.m11 + m[1] * s.m21, b = m[0] * s.m12 + m[1] * s.m22;
            const double c = m[2] * s.m11 + m[3] * s.m21, d = m[2] * s.m12 + m[3] * s.m22;
            s.m11 = a, s.m12 = b, s.m21 = c, s.m22 = d;
        } else if (mode == 3) { // the current one first
            const double a = s.m11 * m[0] + s.m12 * m[2], b = s.m11 * m[1] + s.m12 * m[3];
            const double c = s.m21 * m[0] + s.m22 * m[2], d = s.m21 * m[1] + s.m22 * m[3];
            const double ex = s.dx * m[0] + s.dy * m[2] + m[4], ey = s.dx * m[1] + s.dy * m[3] + m[5];
            s.m11 = a, s.m12 = b, s.m21 = c, s.m22 = d, s.dx = ex, s.dy = ey;
        }
        if (s.m11 == 0)
            s.m11 = 1;
        if (s.m22 == 0)
            s.m22 = 1;
        ApplyMapping();
        break;
    }
    case EMR_SETBRUSHORGEX:
        m_dc.SetBrushOrg(ClampInt(m_ax * in.I32(8) + m_bx), ClampInt(m_ay * in.I32(12) + m_by));
        break;
    case EMR_SETPIXELV: m_dc.SetPixelV(in.I32(8), in.I32(12), in.U32(16)); break;
    case EMR_SETBKMODE: m_dc.SetBkMode(in.I32(8)); break;
    case EMR_SETPOLYFILLMODE: m_dc.SetPolyFillMode(in.I32(8)); break;
    case EMR_SETROP2: m_dc.SetROP2(in.I32(8)); break;
    case EMR_SETSTRETCHBLTMODE: m_dc.SetStretchBltMode(in.I32(8)); break;
    case EMR_SETTEXTALIGN: m_dc.SetTextAlign(in.U32(8)); break;
    case EMR_SETTEXTCOLOR: m_dc.SetTextColor(in.U32(8)); break;
    case EMR_SETBKCOLOR: m_dc.SetBkColor(in.U32(8)); break;
    case EMR_SETMITERLIMIT: {
        // Written as a float; some writers put a whole number there.
        float limit = in.F32(8);
        if (!(limit >= 1.0f && limit < 1e6f))
            limit = static_cast<float>(in.U32(8));
        m_dc.SetMiterLimit(limit);
        break;
    }
    case EMR_MOVETOEX: m_dc.MoveTo(At32(in, 8)); break;
    case EMR_LINETO: m_dc.LineTo(At32(in, 8)); break;
    case EMR_EXCLUDECLIPRECT: m_dc.ExcludeClipRect(Rect32(in, 8)); break;
    case EMR_INTERSECTCLIPRECT: m_dc.IntersectClipRect(Rect32(in, 8)); break;
    case EMR_SAVEDC: Save(); break;
    case EMR_RESTOREDC: Restore(in.I32(8)); break;
    case EMR_SELECTOBJECT: {
        const std::uint32_t index = in.U32(8);
        if (index & kEmfStock) {
            const std::uint32_t stock = index & ~kEmfStock;
            Object object;
            if (stock <= NULL_BRUSH) {
                object.kind = Object::Brush;
                object.brush = CBrush::FromStock(static_cast<int>(stock));
            } else if (stock <= NULL_PEN) {
                object.kind = Object::Pen;
                object.pen = CPen::FromStock(static_cast<int>(stock));
            } else if (stock >= 10 && stock <= 17 && stock != 15) {
                object.kind = Object::Font;
                object.font.CreateFontIndirect(LOGFONT{});
            }
            Select(object);
        } else if (const Object* object = m_objects.At(index)) {
            Select(*object);
        }
        break;
    }
    case EMR_DELETEOBJECT: m_objects.Remove(in.U32(8)); break;
    case EMR_CREATEPEN:
    case EMR_EXTCREATEPEN:
    case EMR_CREATEBRUSHINDIRECT:
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_EXTCREATEFONTINDIRECTW:
    case EMR_CREATEPALETTE:
    case EMR_CREATECOLORSPACE:
    case EMR_CREATECOLORSPACEW: CreateObject(type, in); break;

    case EMR_RECTANGLE: WithBrushColours([&] { m_dc.Rectangle(Rect32(in, 8)); }); break;
    case EMR_ELLIPSE: WithBrushColours([&] { m_dc.Ellipse(Rect32(in, 8)); }); break;
    case EMR_ROUNDRECT: RoundRect(Rect32(in, 8), CSize(in.I32(24), in.I32(28))); break;
    case EMR_ARC: Arc(Rect32(in, 8), At32(in, 24), At32(in, 32), 0); break;
    case EMR_CHORD: Arc(Rect32(in, 8), At32(in, 24), At32(in, 32), 1); break;
    case EMR_PIE: Arc(Rect32(in, 8), At32(in, 24), At32(in, 32), 2); break;
    case EMR_ARCTO: Arc(Rect32(in, 8), At32(in, 24), At32(in, 32), 3); break;
    case EMR_ANGLEARC: {
        const CPoint c = At32(in, 8);
        const double r = in.U32(16), a = in.F32(20) * std::numbers::pi / 180, sweep = in.F32(24) * std::numbers::pi / 180;
        if (!std::isfinite(a) || !std::isfinite(sweep) || r > kMaxScale)
            break;
        const int steps = static_cast<int>(std::clamp(std::fabs(sweep) * 16, 2.0, 256.0));
        for (int i = 0; i <= steps; ++i) {
            const double t = a + sweep * i / steps;
            m_dc.LineTo(ClampInt(c.x + r * std::cos(t)), ClampInt(c.y - r * std::sin(t)));
        }
        break;
    }

    case EMR_BEGINPATH: m_dc.BeginPath(); break;
    case EMR_ENDPATH: m_dc.EndPath(); break;
    case EMR_CLOSEFIGURE: m_dc.CloseFigure(); break;
    case EMR_ABORTPATH: m_dc.AbortPath(); break;
    case EMR_FILLPATH: WithBrushColours([&] { m_dc.FillPath(); }); break;
    case EMR_STROKEPATH: m_dc.StrokePath(); break;
    case EMR_STROKEANDFILLPATH: WithBrushColours([&] { m_dc.StrokeAndFillPath(); }); break;
    case EMR_SELECTCLIPPATH:
        m_dc.SelectClipPath(in.I32(8));
        KeepClipInside();
        break;

    case EMR_EXTSELECTCLIPRGN: {
        const std::uint32_t size = in.U32(8);
        const int mode = in.I32(12);
        if (size == 0) {
            if (mode == RGN_COPY)
                Clip(nullptr, RGN_COPY);
            break;
        }
        std::vector<CRect> rects;
        Region(in, 16, size, rects);
        const CRgn region = RegionOf(rects);
        Clip(&region, mode);
        break;
    }
    case EMR_FILLRGN:
    case EMR_PAINTRGN: {
        const bool fill = type == EMR_FILLRGN;
        std::vector<CRect> rects;
        Region(in, fill ? 32 : 28, in.U32(24), rects);
        const Object* brush = fill ? m_objects.At(in.U32(28)) : nullptr;
        if (fill && (!brush || brush->kind != Object::Brush))
            break;
        const CRgn region = RegionOf(rects);
        const int saved = m_dc.SaveDC();
        m_dc.SelectClipRgn(&region, RGN_AND);
        CRect box;
        m_dc.GetClipBox(&box);
        box.InflateRect(1, 1);
        m_dc.FillRect(box, fill ? brush->brush : m_dc.GetCurrentBrush());
        m_dc.RestoreDC(saved);
        break;
    }

    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_STRETCHDIBITS:
    case EMR_SETDIBITSTODEVICE:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT: Blit(type, in); break;

    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: Text(in, 36, type == EMR_EXTTEXTOUTW); break;
    case EMR_POLYTEXTOUTA:
    case EMR_POLYTEXTOUTW: {
        const std::uint32_t count = in.U32(36);
        for (std::uint32_t i = 0; i < count && in.Has(40 + 40 * std::size_t(i), 40); ++i)
            Text(in, 40 + 40 * std::size_t(i), type == EMR_POLYTEXTOUTW);
        break;
    }
    default:
        // Comments, palettes, colour management and what this player does not know.
        break;
    }
}

// ---- Windows metafiles ---------------------------------------------------

class CWmfPlayer : public CMetafilePlayer {
public:
    CWmfPlayer(CDC& dc, const CRect& rect, const PlaceableMetaHeader& header);
    bool Play(const std::uint8_t* data, std::size_t size);

private:
    void Record(std::uint16_t function, const CRecordReader& in);
    void ApplyMapping();
    // Parameter word i of the record.
    static int P(const CRecordReader& in, std::size_t i) { return in.I16(6 + 2 * i); }
    CRect RectParams(const CRecordReader& in, std::size_t first) const
    {
        // Bottom, right, top, left.
        return CRect(P(in, first + 3), P(in, first + 2), P(in, first + 1), P(in, first));
    }
    bool Points(const CRecordReader& in, std::size_t at, std::size_t count, std::vector<CPoint>& out) const;
    std::string TextBytes(const CRecordReader& in, std::size_t at, std::size_t count) const;
    void Blit(std::uint16_t function, const CRecordReader& in);
    void CreateObject(std::uint16_t function, const CRecordReader& in);
    CRgn DeviceRegion(const Object& region) const;

    PlaceableMetaHeader m_header;
};

CWmfPlayer::CWmfPlayer(CDC& dc, const CRect& rect, const PlaceableMetaHeader& header)
    : CMetafilePlayer(dc, rect), m_header(header)
{
    if (!Ready())
        return;
    // Until the file sets its window, it is the bounding box.
    m_state.windowOrg = header.boundingBox.TopLeft();
    m_state.windowExt = CSize(header.boundingBox.Width(), header.boundingBox.Height());
    if (m_state.windowExt.cx == 0)
        m_state.windowExt.cx = 1;
    if (m_state.windowExt.cy == 0)
        m_state.windowExt.cy = 1;
    m_objects.Reset(header.objects);
    ApplyMapping();
}

void CWmfPlayer::ApplyMapping()
{
    // The window the file sets is what the picture's rectangle shows.
    const double sx = (double(DestB().x) - DestA().x) / m_state.windowExt.cx;
    const double sy = (double(DestB().y) - DestA().y) / m_state.windowExt.cy;
    SetMapping(sx, DestA().x - m_state.windowOrg.x * sx, sy, DestA().y - m_state.windowOrg.y * sy);
}

bool CWmfPlayer::Play(const std::uint8_t* data, std::size_t size)
{
    if (!Ready())
        return false;
    const CRecordReader file(data, size);
    std::size_t at = 22 + 2 * std::size_t(file.U16(22 + 2));
    const std::size_t end = std::min<std::size_t>(size, 22 + 2 * std::size_t(m_header.sizeWords));
    while (at + 6 <= end) {
        const CRecordReader head(data + at, end - at);
        const std::uint64_t bytes = 2 * std::uint64_t(head.U32(0));
        const std::uint16_t function = head.U16(4);
        if (bytes < 6 || bytes > end - at || function == META_EOF)
            break;
        Record(function, CRecordReader(data + at, static_cast<std::size_t>(bytes)));
        at += static_cast<std::size_t>(bytes);
    }
    return true;
}

bool CWmfPlayer::Points(const CRecordReader& in, std::size_t at, std::size_t count, std::vector<CPoint>& out) const
{
    if (count > in.Size() / 4 || !in.Has(at, 4 * count))
        return false;
    out.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = CPoint(in.I16(at + 4 * i), in.I16(at + 4 * i + 2));
    return true;
}

std::string CWmfPlayer::TextBytes(const CRecordReader& in, std::size_t at, std::size_t count) const
{
    if (!in.Has(at, count))
        return {};
    std::string text(reinterpret_cast<const char*>(in.Data() + at), count);
    // Text in the Western character set is Latin; the Baltic one and the
    // others are taken as code page 1257.
    if (m_dc.GetCurrentFont().LogFont().lfCharSet == ANSI_CHARSET)
        for (char& c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80) {
                const int mapped = UnicodeToCp1257(byte);
                c = mapped < 0 ? '?' : static_cast<char>(mapped);
            }
        }
    return text;
}

CRgn CWmfPlayer::DeviceRegion(const Object& region) const
{
    std::vector<CRect> rects;
    for (const CRect& r : region.rects) {
        CRect d(ClampInt(TargetX(r.left)), ClampInt(TargetY(r.top)), ClampInt(TargetX(r.right)),
                ClampInt(TargetY(r.bottom)));
        d.NormalizeRect();
        rects.push_back(d);
    }
    return RegionOf(rects);
}

void CWmfPlayer::Blit(std::uint16_t function, const CRecordReader& in)
{
    std::vector<std::uint8_t> converted;
    DibData dib;
    const std::uint32_t rop = in.U32(6);
    auto dibAt = [&](std::size_t at) {
        if (!in.Has(at, 40))
            return false;
        const DibData packed = DibData::Packed(in.Data() + at, in.Size() - at);
        return UsableDib(static_cast<const std::uint8_t*>(packed.info), packed.infoSize,
                         static_cast<const std::uint8_t*>(packed.bits), packed.bitsSize, converted, dib);
    };
    auto storedY = [](const DibData& d, int y, int height) {
        const CRecordReader header(static_cast<const std::uint8_t*>(d.info), d.infoSize);
        const std::int32_t h = header.U32(0) == 12 ? header.U16(6) : header.I32(8);
        return h > 0 ? ClampInt(double(h) - y - height) : y;
    };
    switch (function) {
    case META_STRETCHDIB:
        // rop, usage, source height, width, y, x, destination height, width, y, x, DIB.
        if (dibAt(28))
            WithBrushColours([&] {
                m_dc.StretchDIBits(P(in, 10), P(in, 9), P(in, 8), P(in, 7), P(in, 6), P(in, 5), P(in, 4), P(in, 3),
                                   dib, static_cast<unsigned>(P(in, 2)), rop);
            });
        break;
    case META_DIBSTRETCHBLT:
        // rop, source height, width, y, x, destination height, width, y, x, DIB.
        if (dibAt(26)) {
            WithBrushColours([&] {
                m_dc.StretchDIBits(P(in, 9), P(in, 8), P(in, 7), P(in, 6), P(in, 5), storedY(dib, P(in, 4), P(in, 2)),
                                   P(in, 3), P(in, 2), dib, DIB_RGB_COLORS, rop);
            });
        } else {
            // No picture: the last four words place the pattern.
            const std::size_t n = (in.Size() - 6) / 2;
            if (n >= 6)
                WithBrushColours([&] { m_dc.PatBlt(P(in, n - 1), P(in, n - 2), P(in, n - 3), P(in, n - 4), rop); });
        }
        break;
    case META_DIBBITBLT:
        // rop, source y, x, height, width, destination y, x, DIB.
        if (dibAt(22)) {
            WithBrushColours([&] {
                m_dc.StretchDIBits(P(in, 7), P(in, 6), P(in, 5), P(in, 4), P(in, 3), storedY(dib, P(in, 2), P(in, 4)),
                                   P(in, 5), P(in, 4), dib, DIB_RGB_COLORS, rop);
            });
        } else {
            const std::size_t n = (in.Size() - 6) / 2;
            if (n >= 6)
                WithBrushColours([&] { m_dc.PatBlt(P(in, n - 1), P(in, n - 2), P(in, n - 3), P(in, n - 4), rop); });
        }
        break;
    case META_SETDIBTODEV:
        // usage, scans, first scan, source y, x, height, width, destination y, x, DIB.
        if (dibAt(24))
            m_dc.StretchDIBits(P(in, 8), P(in, 7), P(in, 6), P(in, 5), P(in, 4), P(in, 3), P(in, 6), P(in, 5), dib,
                               static_cast<unsigned>(P(in, 0)), SRCCOPY);
        break;
    case META_PATBLT:
        WithBrushColours([&] { m_dc.PatBlt(P(in, 5), P(in, 4), P(in, 3), P(in, 2), rop); });
        break;
    default: break;
    }
}

void CWmfPlayer::CreateObject(std::uint16_t function, const CRecordReader& in)
{
    Object object;
    switch (function) {
    case META_CREATEPENINDIRECT:
        object.kind = Object::Pen;
        object.pen = OldStylePen(static_cast<std::uint16_t>(P(in, 0)), P(in, 1), in.U32(12));
        break;
    case META_CREATEBRUSHINDIRECT: {
        object.kind = Object::Brush;
        const LOGBRUSH brush{static_cast<std::uint16_t>(P(in, 0)), in.U32(8), static_cast<std::uint16_t>(P(in, 3))};
        if (!object.brush.CreateBrushIndirect(brush))
            object.brush.CreateSolidBrush(brush.lbColor);
        break;
    }
    case META_DIBCREATEPATTERNBRUSH:
        if (in.Has(10, 40))
            object = PatternBrush(DibData::Packed(in.Data() + 10, in.Size() - 10), P(in, 0) != BS_PATTERN);
        else
            object = PatternBrush(DibData{}, false);
        break;
    case META_CREATEFONTINDIRECT: {
        object.kind = Object::Font;
        LOGFONT lf;
        lf.lfHeight = P(in, 0);
        lf.lfWidth = P(in, 1);
        lf.lfEscapement = P(in, 2);
        lf.lfOrientation = P(in, 3);
        lf.lfWeight = P(in, 4);
        lf.lfItalic = in.U8(16);
        lf.lfUnderline = in.U8(17);
        lf.lfStrikeOut = in.U8(18);
        lf.lfCharSet = in.U8(19);
        lf.lfOutPrecision = in.U8(20);
        lf.lfClipPrecision = in.U8(21);
        lf.lfQuality = in.U8(22);
        lf.lfPitchAndFamily = in.U8(23);
        for (std::size_t i = 0; i < LF_FACESIZE - 1 && in.Has(24 + i, 1) && in.U8(24 + i) != 0; ++i)
            lf.lfFaceName[i] = static_cast<char>(in.U8(24 + i));
        object.font.CreateFontIndirect(lf);
        break;
    }
    case META_CREATEREGION: {
        // A region: its header, then bands of a top, a bottom and spans.
        object.kind = Object::Region;
        const int scans = static_cast<std::uint16_t>(P(in, 5));
        std::size_t at = 28;
        for (int i = 0; i < scans && in.Has(at, 6); ++i) {
            const std::size_t count = static_cast<std::uint16_t>(in.I16(at));
            const int top = in.I16(at + 2), bottom = in.I16(at + 4);
            if (!in.Has(at + 6, 2 * count + 2))
                break;
            for (std::size_t k = 0; k + 1 < count; k += 2)
                object.rects.emplace_back(in.I16(at + 6 + 2 * k), top, in.I16(at + 8 + 2 * k), bottom);
            at += 6 + 2 * count + 2;
        }
        if (scans == 0)
            object.rects.emplace_back(P(in, 7), P(in, 8), P(in, 9), P(in, 10));
        break;
    }
    case META_CREATEPATTERNBRUSH:
        object.kind = Object::Brush;
        object.brush = CBrush::FromStock(GRAY_BRUSH);
        break;
    default:
        object.kind = Object::Other;
        break;
    }
    m_objects.Add(std::move(object));
}

void CWmfPlayer::Record(std::uint16_t function, const CRecordReader& in)
{
    switch (function) {
    case META_SETWINDOWORG:
        m_state.windowOrg = CPoint(P(in, 1), P(in, 0));
        ApplyMapping();
        break;
    case META_OFFSETWINDOWORG:
        m_state.windowOrg = CPoint(ClampInt(double(m_state.windowOrg.x) + P(in, 1)),
                                   ClampInt(double(m_state.windowOrg.y) + P(in, 0)));
        ApplyMapping();
        break;
    case META_SETWINDOWEXT:
        if (P(in, 0) != 0 && P(in, 1) != 0) {
            m_state.windowExt = CSize(P(in, 1), P(in, 0));
            ApplyMapping();
        }
        break;
    case META_SCALEWINDOWEXT: {
        const int yDenom = P(in, 0), yNum = P(in, 1), xDenom = P(in, 2), xNum = P(in, 3);
        if (xDenom == 0 || yDenom == 0)
            break;
        const CSize scaled(ClampInt(double(m_state.windowExt.cx) * xNum / xDenom),
                           ClampInt(double(m_state.windowExt.cy) * yNum / yDenom));
        if (scaled.cx != 0 && scaled.cy != 0) {
            m_state.windowExt = scaled;
            ApplyMapping();
        }
        break;
    }
    case META_SETMAPMODE:
        // The picture's rectangle sets the viewport; the mode changes nothing.
        break;
    case META_SAVEDC: Save(); break;
    case META_RESTOREDC: Restore(P(in, 0)); break;
    case META_SETBKMODE: m_dc.SetBkMode(P(in, 0)); break;
    case META_SETROP2: m_dc.SetROP2(P(in, 0)); break;
    case META_SETPOLYFILLMODE: m_dc.SetPolyFillMode(P(in, 0)); break;
    case META_SETSTRETCHBLTMODE: m_dc.SetStretchBltMode(P(in, 0)); break;
    case META_SETTEXTALIGN: m_dc.SetTextAlign(static_cast<std::uint16_t>(P(in, 0))); break;
    case META_SETTEXTCOLOR: m_dc.SetTextColor(in.U32(6)); break;
    case META_SETBKCOLOR: m_dc.SetBkColor(in.U32(6)); break;

    case META_CREATEPENINDIRECT:
    case META_CREATEBRUSHINDIRECT:
    case META_DIBCREATEPATTERNBRUSH:
    case META_CREATEFONTINDIRECT:
    case META_CREATEREGION:
    case META_CREATEPALETTE:
    case META_CREATEPATTERNBRUSH: CreateObject(function, in); break;
    case META_SELECTOBJECT:
        if (const Object* object = m_objects.At(static_cast<std::uint16_t>(P(in, 0)))) {
            if (object->kind == Object::Region) {
                const CRgn region = DeviceRegion(*object);
                Clip(&region, RGN_COPY);
            } else {
                Select(*object);
            }
        }
        break;
    case META_SELECTCLIPREGION:
        if (const Object* object = m_objects.At(static_cast<std::uint16_t>(P(in, 0)));
            object && object->kind == Object::Region) {
            const CRgn region = DeviceRegion(*object);
            Clip(&region, RGN_COPY);
        }
        break;
    case META_DELETEOBJECT: m_objects.Remove(static_cast<std::uint16_t>(P(in, 0))); break;

    case META_MOVETO: m_dc.MoveTo(P(in, 1), P(in, 0)); break;
    case META_LINETO: m_dc.LineTo(P(in, 1), P(in, 0)); break;
    case META_POLYLINE:
    case META_POLYGON: {
        std::vector<CPoint> points;
        if (!Points(in, 8, static_cast<std::uint16_t>(P(in, 0)), points) || points.empty())
            break;
        const int count = static_cast<int>(points.size());
        if (function == META_POLYLINE)
            m_dc.Polyline(points.data(), count);
        else
            WithBrushColours([&] { m_dc.Polygon(points.data(), count); });
        break;
    }
    case META_POLYPOLYGON: {
        const std::size_t parts = static_cast<std::uint16_t>(P(in, 0));
        if (parts == 0 || !in.Has(8, 2 * parts))
            break;
        std::vector<int> counts;
        std::size_t total = 0;
        for (std::size_t i = 0; i < parts; ++i) {
            counts.push_back(static_cast<std::uint16_t>(in.I16(8 + 2 * i)));
            total += static_cast<std::size_t>(counts.back());
        }
        std::vector<CPoint> points;
        if (!Points(in, 8 + 2 * parts, total, points))
            break;
        WithBrushColours([&] { m_dc.PolyPolygon(points.data(), counts.data(), static_cast<int>(parts)); });
        break;
    }
    case META_RECTANGLE: WithBrushColours([&] { m_dc.Rectangle(RectParams(in, 0)); }); break;
    case META_ELLIPSE: WithBrushColours([&] { m_dc.Ellipse(RectParams(in, 0)); }); break;
    case META_ROUNDRECT: RoundRect(RectParams(in, 2), CSize(P(in, 1), P(in, 0))); break;
    case META_ARC:
    case META_PIE:
    case META_CHORD:
        // End y, x, start y, x, bottom, right, top, left.
        Arc(RectParams(in, 4), CPoint(P(in, 3), P(in, 2)), CPoint(P(in, 1), P(in, 0)),
            function == META_ARC ? 0 : function == META_CHORD ? 1 : 2);
        break;
    case META_SETPIXEL: m_dc.SetPixelV(P(in, 3), P(in, 2), in.U32(6)); break;

    case META_TEXTOUT: {
        const std::size_t count = static_cast<std::uint16_t>(P(in, 0));
        const std::size_t after = 8 + (count + 1) / 2 * 2;
        if (!in.Has(after, 4))
            break;
        DrawText(CPoint(in.I16(after + 2), in.I16(after)), TextBytes(in, 8, count), 0, nullptr);
        break;
    }
    case META_EXTTEXTOUT: {
        const std::size_t count = static_cast<std::uint16_t>(P(in, 2));
        const unsigned options = static_cast<std::uint16_t>(P(in, 3));
        const bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
        const CRect rect(P(in, 4), P(in, 5), P(in, 6), P(in, 7));
        DrawText(CPoint(P(in, 1), P(in, 0)), TextBytes(in, hasRect ? 22 : 14, count), options,
                 hasRect ? &rect : nullptr);
        break;
    }

    case META_INTERSECTCLIPRECT: m_dc.IntersectClipRect(RectParams(in, 0)); break;
    case META_EXCLUDECLIPRECT: m_dc.ExcludeClipRect(RectParams(in, 0)); break;
    case META_FILLREGION: {
        // Region, brush.
        const Object* region = m_objects.At(static_cast<std::uint16_t>(P(in, 0)));
        const Object* brush = m_objects.At(static_cast<std::uint16_t>(P(in, 1)));
        if (!region || region->kind != Object::Region || !brush || brush->kind != Object::Brush)
            break;
        const CRgn device = DeviceRegion(*region);
        const int saved = m_dc.SaveDC();
        m_dc.SelectClipRgn(&device, RGN_AND);
        CRect box;
        m_dc.GetClipBox(&box);
        box.InflateRect(1, 1);
        m_dc.FillRect(box, brush->brush);
        m_dc.RestoreDC(saved);
        break;
    }

    case META_STRETCHDIB:
    case META_DIBSTRETCHBLT:
    case META_DIBBITBLT:
    case META_SETDIBTODEV:
    case META_PATBLT: Blit(function, in); break;
    default:
        // Escapes, palettes and what this player does not know.
        break;
    }
}

} // namespace

bool PlayEnhMetaFileBits(CDC& dc, const std::uint8_t* data, std::size_t size, const CRect& rect)
{
    EnhMetaHeader header;
    if (!ReadEnhMetaHeader(data, size, header))
        return false;
    CEmfPlayer player(dc, rect, header);
    return player.Play(data);
}

bool PlayPlaceableMetaFileBits(CDC& dc, const std::uint8_t* data, std::size_t size, const CRect& rect)
{
    PlaceableMetaHeader header;
    if (!ReadPlaceableMetaHeader(data, size, header))
        return false;
    CWmfPlayer player(dc, rect, header);
    return player.Play(data, size);
}
