#include "platform/DC.h"

#include "platform/Blitter.h"
#include "platform/Codepage.h"
#include "platform/PixelWriter.h"
#include "platform/QtText.h"
#include "platform/ScanConverter.h"
#include "platform/WideStroker.h"
#include "platform/WindowSurface.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QTransform>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <numbers>
#include <tuple>
#include <utility>

namespace {

// Qt fills the pixels whose centres lie inside a shape; the drawing
// interface fills those whose integer positions do, with left and top
// edges inside and right and bottom edges outside. Moving shapes by a bit
// less than half a pixel turns one rule into the other.
constexpr int kShiftX64 = CScanConverter::kInterfaceShiftX;
constexpr int kShiftY64 = CScanConverter::kInterfaceShiftY;
constexpr double kShiftX = kShiftX64 / 64.0;
constexpr double kShiftY = kShiftY64 / 64.0;

// Device coordinates are kept within this so that differences fit in 32 bits.
constexpr double kCoordLimit = 1 << 30;
constexpr int kMaxPenWidth = 1 << 16;
constexpr std::uint32_t kMaxDash = 1 << 20;
// Rows of the layer through which fills with see-through parts meet a
// raster operation.
constexpr int kLayerRows = 256;

int RoundCoord(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::floor(std::clamp(v, -kCoordLimit, kCoordLimit) + 0.5));
}

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QPainter::CompositionMode QtMode(int rop)
{
    switch (rop) {
    case R2_BLACK: return QPainter::RasterOp_ClearDestination;
    case R2_NOTMERGEPEN: return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2_MASKNOTPEN: return QPainter::RasterOp_NotSourceAndDestination;
    case R2_NOTCOPYPEN: return QPainter::RasterOp_NotSource;
    case R2_MASKPENNOT: return QPainter::RasterOp_SourceAndNotDestination;
    case R2_NOT: return QPainter::RasterOp_NotDestination;
    case R2_XORPEN: return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTMASKPEN: return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2_MASKPEN: return QPainter::RasterOp_SourceAndDestination;
    case R2_NOTXORPEN: return QPainter::RasterOp_NotSourceXorDestination;
    case R2_MERGENOTPEN: return QPainter::RasterOp_NotSourceOrDestination;
    case R2_MERGEPENNOT: return QPainter::RasterOp_SourceOrNotDestination;
    case R2_MERGEPEN: return QPainter::RasterOp_SourceOrDestination;
    case R2_WHITE: return QPainter::RasterOp_SetDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

// The colours of a hatch's or pattern's 1 bits and 0 bits: a hatch draws
// its lines in its colour over the background colour, a pattern its 0 bits
// in the text colour and its 1 bits in the background colour.
std::pair<COLORREF, COLORREF> BitColours(const CBrush& brush, COLORREF text, COLORREF background)
{
    if (brush.GetStyle() == BS_HATCHED)
        return {brush.GetColor(), background};
    return {background, text};
}

// A hatch or pattern as the blits and the DC's own fills take it. Hatch
// gaps are the background colour whatever the background mode.
BlitPattern PatternOf(const CBrush& brush, COLORREF text, COLORREF background, CPoint origin)
{
    BlitPattern pattern;
    const auto [one, zero] = BitColours(brush, text, background);
    const std::uint32_t on = CPixelWriter::Native(one);
    const std::uint32_t off = CPixelWriter::Native(zero);
    const CBrush::Pattern& bits = brush.GetBits();
    for (std::size_t i = 0; i < 64; ++i)
        pattern.colours[i] = (bits[i / 8] & (0x80 >> (i % 8))) ? on : off;
    pattern.originX = origin.x;
    pattern.originY = origin.y;
    return pattern;
}

// Which cells of a brush's 8 x 8 show (bit 8 * row + column): a hatch with
// a transparent background shows its lines only.
std::uint64_t ShownCells(const CBrush& brush, int bkMode)
{
    if (brush.GetStyle() != BS_HATCHED || bkMode == OPAQUE)
        return ~std::uint64_t(0);
    std::uint64_t shown = 0;
    const CBrush::Pattern& bits = brush.GetBits();
    for (int i = 0; i < 64; ++i)
        if (bits[static_cast<std::size_t>(i / 8)] & (0x80 >> (i % 8)))
            shown |= std::uint64_t(1) << i;
    return shown;
}

// The brush as Qt paints it: hatches and patterns as an 8 x 8 tile, whose
// gaps are transparent for a hatch on a transparent background.
QBrush QtBrush(const CBrush& brush, COLORREF text, COLORREF background, int bkMode, bool& seeThrough)
{
    const std::uint32_t style = brush.GetStyle();
    seeThrough = false;
    if (style != BS_HATCHED && style != BS_PATTERN)
        return QBrush(ToQColor(brush.GetColor()));
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    const bool opaqueGaps = style != BS_HATCHED || bkMode == OPAQUE;
    seeThrough = !opaqueGaps;
    const auto [one, zero] = BitColours(brush, text, background);
    const QRgb on = ToQColor(one).rgba();
    const QRgb off = opaqueGaps ? ToQColor(zero).rgba() : 0;
    const CBrush::Pattern& bits = brush.GetBits();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, (bits[static_cast<std::size_t>(y)] & (0x80 >> x)) ? on : off);
    return QBrush(tile);
}

CRect FromQRect(const QRect& r)
{
    return r.isEmpty() ? CRect() : CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

CRect Normalized(CPoint a, CPoint b)
{
    CRect r(a, b);
    r.NormalizeRect();
    return r;
}

CRect BoundsOf(const std::vector<CDC::PathFigure>& figures, int margin)
{
    CRect box;
    bool any = false;
    for (const auto& f : figures)
        for (const CPoint& p : f.points) {
            if (!any) {
                box = CRect(p.x, p.y, p.x, p.y);
                any = true;
            }
            box.left = std::min(box.left, p.x);
            box.top = std::min(box.top, p.y);
            box.right = std::max(box.right, p.x);
            box.bottom = std::max(box.bottom, p.y);
        }
    if (any)
        box = CRect(box.left - margin, box.top - margin, box.right + margin + 1, box.bottom + margin + 1);
    return box;
}

QPainterPath PathOf(const std::vector<CDC::PathFigure>& figures, bool closeAll, double dx, double dy)
{
    QPainterPath path;
    for (const auto& f : figures) {
        if (f.points.empty())
            continue;
        path.moveTo(f.points[0].x + dx, f.points[0].y + dy);
        for (std::size_t i = 1; i < f.points.size(); ++i)
            path.lineTo(f.points[i].x + dx, f.points[i].y + dy);
        if (closeAll || f.closed)
            path.closeSubpath();
    }
    return path;
}

std::int64_t FloorDiv(__int128 num, std::int64_t den)
{
    __int128 q = num / den;
    if ((num % den != 0) && ((num < 0) != (den < 0)))
        --q;
    return static_cast<std::int64_t>(q);
}

// Steps i in [first, last) of a line of n steps whose pixels can meet box.
bool VisibleSteps(CPoint a, CPoint b, std::int64_t n, const CRect& box, std::int64_t& first, std::int64_t& last)
{
    first = 0;
    last = n;
    if (box.IsRectEmpty())
        return false;
    const double lo[2] = {box.left - 1.0, box.top - 1.0};
    const double hi[2] = {box.right + 1.0, box.bottom + 1.0};
    const double start[2] = {double(a.x), double(a.y)};
    const double delta[2] = {double(b.x) - a.x, double(b.y) - a.y};
    double t0 = 0, t1 = double(n);
    for (int axis = 0; axis < 2; ++axis) {
        const double perStep = delta[axis] / double(n);
        if (perStep == 0) {
            if (start[axis] < lo[axis] || start[axis] > hi[axis])
                return false;
            continue;
        }
        double u0 = (lo[axis] - start[axis]) / perStep;
        double u1 = (hi[axis] - start[axis]) / perStep;
        if (u0 > u1)
            std::swap(u0, u1);
        t0 = std::max(t0, u0);
        t1 = std::min(t1, u1);
    }
    if (t0 > t1)
        return false;
    first = std::max<std::int64_t>(0, static_cast<std::int64_t>(std::floor(t0)) - 1);
    last = std::min<std::int64_t>(n, static_cast<std::int64_t>(std::ceil(t1)) + 2);
    return first < last;
}

// Collects the pixels of a line into horizontal runs of one colour.
class CRunCollector {
public:
    explicit CRunCollector(CPixelWriter& writer, int rop) : m_writer(writer), m_rop(rop) {}
    ~CRunCollector() { Flush(); }
    void Add(int x, int y, COLORREF colour)
    {
        if (m_active && y == m_y && colour == m_colour && (x == m_x1 || x == m_x0 - 1)) {
            m_x0 = std::min(m_x0, x);
            m_x1 = std::max(m_x1, x + 1);
            return;
        }
        Flush();
        m_active = true;
        m_y = y;
        m_x0 = x;
        m_x1 = x + 1;
        m_colour = colour;
    }
    void Flush()
    {
        if (m_active)
            m_writer.Span(m_y, m_x0, m_x1, m_colour, m_rop);
        m_active = false;
    }

private:
    CPixelWriter& m_writer;
    int m_rop;
    bool m_active = false;
    int m_y = 0, m_x0 = 0, m_x1 = 0;
    COLORREF m_colour = 0;
};

// Where a dash pattern stands after some steps: element and what is left of it.
struct DashPosition {
    std::size_t element = 0;
    std::uint32_t left = 0;
};

DashPosition DashAt(const std::vector<std::uint32_t>& dashes, std::uint64_t period, std::int64_t step)
{
    DashPosition pos;
    std::uint64_t offset = static_cast<std::uint64_t>(step) % period;
    for (std::size_t i = 0; i < dashes.size(); ++i) {
        if (offset < dashes[i]) {
            pos.element = i;
            pos.left = static_cast<std::uint32_t>(dashes[i] - offset);
            return pos;
        }
        offset -= dashes[i];
    }
    return pos;
}

void AdvanceDash(const std::vector<std::uint32_t>& dashes, DashPosition& pos)
{
    if (pos.left > 1) {
        --pos.left;
        return;
    }
    do {
        pos.element = (pos.element + 1) % dashes.size();
        pos.left = dashes[pos.element];
    } while (pos.left == 0);
}

} // namespace

// A selected pen as it draws on this device.
struct CDC::Pen {
    enum Kind { Null, Cosmetic, Wide } kind = Null;
    COLORREF colour = 0;
    int width = 1;
    // Cosmetic: on and off lengths in pixels; wide: in pen widths.
    std::vector<std::uint32_t> dashes;
    std::uint64_t period = 0;
    QVector<qreal> qtDashes;
    Qt::PenCapStyle cap = Qt::RoundCap;
    Qt::PenJoinStyle join = Qt::RoundJoin;
    bool insideFrame = false;
};

CDC::CDC()
{
    m_state.pen = CPen::FromStock(BLACK_PEN);
    m_state.brush = CBrush::FromStock(WHITE_BRUSH);
    m_state.font.CreateFontIndirect(LOGFONT{});
}

CDC::CDC(QImage& image) : CDC()
{
    Begin(&image);
}

CDC::CDC(CWindowSurface& surface) : CDC()
{
    m_surface = &surface;
    Begin(&surface.Image());
    m_info.dpiX = m_info.dpiY = surface.Dpi();
}

CDC::CDC(QPaintDevice& device) : CDC()
{
    Begin(&device);
}

CDC::~CDC()
{
    End();
    Flush();
}

CDC::DeviceInfo CDC::DescribeDevice(const QPaintDevice& device)
{
    DeviceInfo info;
    info.width = device.width();
    info.height = device.height();
    info.dpiX = device.logicalDpiX() > 0 ? device.logicalDpiX() : 96;
    info.dpiY = device.logicalDpiY() > 0 ? device.logicalDpiY() : 96;
    info.bitsPerPixel = device.depth();
    if (const auto* paged = dynamic_cast<const QPagedPaintDevice*>(&device)) {
        // Printers draw inside the printable part of the page.
        const QPageLayout layout = paged->pageLayout();
        const QRect full = layout.fullRectPixels(info.dpiX);
        const QRect paint = layout.paintRectPixels(info.dpiX);
        info.technology = DT_RASPRINTER;
        info.physicalWidth = full.width();
        info.physicalHeight = full.height();
        info.physicalOffsetX = paint.left() - full.left();
        info.physicalOffsetY = paint.top() - full.top();
    }
    return info;
}

void CDC::Begin(QPaintDevice* device)
{
    m_device = device;
    m_clipApplied = false;
    if (!device)
        return;
    const DeviceInfo info = DescribeDevice(*device);
    m_info.width = info.width;
    m_info.height = info.height;
    m_info.dpiX = info.dpiX;
    m_info.dpiY = info.dpiY;
    m_info.bitsPerPixel = info.bitsPerPixel;
    if (device->width() <= 0 || device->height() <= 0)
        return;
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(device)) {
        m_painter.reset();
        return;
    }
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    if (info.technology == DT_RASPRINTER) {
        m_info = info;
        m_printing = true;
    }
    if (device->devType() == QInternal::Image) {
        m_image = static_cast<QImage*>(device);
        if (CPixelWriter::Supports(*m_image))
            m_writer = std::make_unique<CPixelWriter>(*m_image);
    }
    if (m_state.mapMode != MM_TEXT && m_state.mapMode != MM_ANISOTROPIC && m_state.mapMode != MM_ISOTROPIC)
        FixedModeExtents();
}

bool CDC::NewPage()
{
    auto* paged = dynamic_cast<QPagedPaintDevice*>(m_device);
    if (!paged || !m_painter)
        return false;
    // The device starts the page with no clipping of its own.
    m_clipApplied = false;
    return paged->newPage();
}

void CDC::End()
{
    m_writer.reset();
    if (m_painter)
        m_painter->end();
    m_painter.reset();
    m_image = nullptr;
    m_device = nullptr;
}

void CDC::SetTarget(QPaintDevice* device)
{
    End();
    m_surface = nullptr;
    Begin(device);
}

void CDC::Flush()
{
    if (m_surface)
        m_surface->Flush();
}

int CDC::GetDeviceCaps(int index) const
{
    auto millimetres = [](int pixels, int dpi) { return dpi > 0 ? static_cast<int>(pixels * 25.4 / dpi + 0.5) : 0; };
    switch (index) {
    case TECHNOLOGY: return m_info.technology;
    case HORZSIZE: return millimetres(m_info.width, m_info.dpiX);
    case VERTSIZE: return millimetres(m_info.height, m_info.dpiY);
    case HORZRES: return m_info.width;
    case VERTRES: return m_info.height;
    case BITSPIXEL: return m_info.bitsPerPixel;
    case PLANES: return 1;
    case NUMCOLORS: return m_info.bitsPerPixel > 0 && m_info.bitsPerPixel <= 8 ? 1 << m_info.bitsPerPixel : -1;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX: return m_info.dpiX;
    case LOGPIXELSY: return m_info.dpiY;
    case SIZEPALETTE: return 0;
    case PHYSICALWIDTH: return m_info.physicalWidth;
    case PHYSICALHEIGHT: return m_info.physicalHeight;
    case PHYSICALOFFSETX: return m_info.physicalOffsetX;
    case PHYSICALOFFSETY: return m_info.physicalOffsetY;
    default: return 0;
    }
}

// ---- Mapping -------------------------------------------------------------

void CDC::FixedModeExtents()
{
    // Logical units per inch of each fixed mode; y grows upwards in them.
    int perInch = 1;
    switch (m_state.mapMode) {
    case MM_LOMETRIC: perInch = 254; break;
    case MM_HIMETRIC: perInch = 2540; break;
    case MM_LOENGLISH: perInch = 100; break;
    case MM_HIENGLISH: perInch = 1000; break;
    case MM_TWIPS: perInch = 1440; break;
    case MM_ISOTROPIC: perInch = 254; break;
    default:
        m_state.windowExt = CSize(1, 1);
        m_state.viewportExt = CSize(1, 1);
        return;
    }
    m_state.windowExt = CSize(perInch, perInch);
    m_state.viewportExt = CSize(std::max(1, m_info.dpiX), -std::max(1, m_info.dpiY));
}

int CDC::SetMapMode(int mode)
{
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return 0;
    const int previous = m_state.mapMode;
    m_state.mapMode = mode;
    // The anisotropic mode keeps the extents it finds.
    if (mode != MM_ANISOTROPIC)
        FixedModeExtents();
    return previous;
}

void CDC::FixIsotropic()
{
    CSize& ve = m_state.viewportExt;
    const CSize& we = m_state.windowExt;
    // Inches per logical unit along each axis.
    const double xdim = std::fabs(double(ve.cx) / (double(we.cx) * std::max(1, m_info.dpiX)));
    const double ydim = std::fabs(double(ve.cy) / (double(we.cy) * std::max(1, m_info.dpiY)));
    if (xdim > ydim) {
        const int sign = ve.cx < 0 ? -1 : 1;
        ve.cx = RoundCoord(ve.cx * ydim / xdim);
        if (ve.cx == 0)
            ve.cx = sign;
    } else if (ydim > xdim) {
        const int sign = ve.cy < 0 ? -1 : 1;
        ve.cy = RoundCoord(ve.cy * xdim / ydim);
        if (ve.cy == 0)
            ve.cy = sign;
    }
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    const CPoint previous = m_state.windowOrg;
    m_state.windowOrg = CPoint(x, y);
    return previous;
}

CPoint CDC::OffsetWindowOrg(int dx, int dy)
{
    const CPoint o = m_state.windowOrg;
    return SetWindowOrg(RoundCoord(double(o.x) + dx), RoundCoord(double(o.y) + dy));
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    const CSize previous = m_state.windowExt;
    if ((m_state.mapMode == MM_ISOTROPIC || m_state.mapMode == MM_ANISOTROPIC) && cx != 0 && cy != 0) {
        m_state.windowExt = CSize(cx, cy);
        if (m_state.mapMode == MM_ISOTROPIC)
            FixIsotropic();
    }
    return previous;
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    const CPoint previous = m_state.viewportOrg;
    m_state.viewportOrg = CPoint(x, y);
    return previous;
}

CPoint CDC::OffsetViewportOrg(int dx, int dy)
{
    const CPoint o = m_state.viewportOrg;
    return SetViewportOrg(RoundCoord(double(o.x) + dx), RoundCoord(double(o.y) + dy));
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    const CSize previous = m_state.viewportExt;
    if ((m_state.mapMode == MM_ISOTROPIC || m_state.mapMode == MM_ANISOTROPIC) && cx != 0 && cy != 0) {
        m_state.viewportExt = CSize(cx, cy);
        if (m_state.mapMode == MM_ISOTROPIC)
            FixIsotropic();
    }
    return previous;
}

CPoint CDC::ToDevice(int x, int y) const
{
    const State& s = m_state;
    const double dx = (double(x) - s.windowOrg.x) * s.viewportExt.cx / s.windowExt.cx + s.viewportOrg.x;
    const double dy = (double(y) - s.windowOrg.y) * s.viewportExt.cy / s.windowExt.cy + s.viewportOrg.y;
    return CPoint(RoundCoord(dx), RoundCoord(dy));
}

std::vector<CPoint> CDC::ToDevice(const CPoint* points, int count) const
{
    std::vector<CPoint> out;
    out.reserve(static_cast<std::size_t>(std::max(0, count)));
    for (int i = 0; i < count; ++i)
        out.push_back(ToDevice(points[i].x, points[i].y));
    return out;
}

void CDC::LPtoDP(CPoint* points, int count) const
{
    for (int i = 0; points && i < count; ++i)
        points[i] = ToDevice(points[i].x, points[i].y);
}

void CDC::LPtoDP(CRect* rect) const
{
    if (!rect)
        return;
    const CPoint a = ToDevice(rect->left, rect->top);
    const CPoint b = ToDevice(rect->right, rect->bottom);
    *rect = CRect(a, b);
}

void CDC::LPtoDP(CSize* size) const
{
    if (!size)
        return;
    const State& s = m_state;
    size->cx = MulDiv(size->cx, std::abs(s.viewportExt.cx), std::abs(s.windowExt.cx));
    size->cy = MulDiv(size->cy, std::abs(s.viewportExt.cy), std::abs(s.windowExt.cy));
}

void CDC::DPtoLP(CPoint* points, int count) const
{
    const State& s = m_state;
    for (int i = 0; points && i < count; ++i) {
        const double lx = (double(points[i].x) - s.viewportOrg.x) * s.windowExt.cx / s.viewportExt.cx + s.windowOrg.x;
        const double ly = (double(points[i].y) - s.viewportOrg.y) * s.windowExt.cy / s.viewportExt.cy + s.windowOrg.y;
        points[i] = CPoint(RoundCoord(lx), RoundCoord(ly));
    }
}

void CDC::DPtoLP(CRect* rect) const
{
    if (!rect)
        return;
    CPoint corners[2] = {rect->TopLeft(), rect->BottomRight()};
    DPtoLP(corners, 2);
    *rect = CRect(corners[0], corners[1]);
}

void CDC::DPtoLP(CSize* size) const
{
    if (!size)
        return;
    const State& s = m_state;
    size->cx = MulDiv(size->cx, std::abs(s.windowExt.cx), std::abs(s.viewportExt.cx));
    size->cy = MulDiv(size->cy, std::abs(s.windowExt.cy), std::abs(s.viewportExt.cy));
}

int CDC::DeviceWidth(int logicalWidth) const
{
    if (logicalWidth == 0)
        return 0;
    const double w = std::fabs(double(logicalWidth) * m_state.viewportExt.cx / m_state.windowExt.cx);
    return std::clamp(RoundCoord(w), 1, kMaxPenWidth);
}

// ---- State ---------------------------------------------------------------

int CDC::SaveDC()
{
    m_saved.push_back(m_state);
    if (m_recorder)
        m_recorder->SaveDC();
    return static_cast<int>(m_saved.size());
}

bool CDC::RestoreDC(int saved)
{
    const auto depth = static_cast<long long>(m_saved.size());
    const long long level = saved < 0 ? depth + 1 + saved : saved;
    if (saved == 0 || level < 1 || level > depth)
        return false;
    if (m_recorder)
        m_recorder->RestoreDC(static_cast<int>(level - depth - 1));
    m_state = std::move(m_saved[static_cast<std::size_t>(level - 1)]);
    m_saved.resize(static_cast<std::size_t>(level - 1));
    m_clipApplied = false;
    return true;
}

CPen CDC::SelectObject(const CPen& pen)
{
    if (!pen.GetSafeHandle())
        return {};
    return std::exchange(m_state.pen, pen);
}

CBrush CDC::SelectObject(const CBrush& brush)
{
    if (!brush.GetSafeHandle())
        return {};
    return std::exchange(m_state.brush, brush);
}

COLORREF CDC::SetTextColor(COLORREF colour)
{
    return std::exchange(m_state.textColour, colour & 0xFFFFFF);
}

COLORREF CDC::SetBkColor(COLORREF colour)
{
    return std::exchange(m_state.bkColour, colour & 0xFFFFFF);
}

int CDC::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(m_state.bkMode, mode);
}

int CDC::SetROP2(int rop)
{
    if (rop < R2_BLACK || rop > R2_WHITE)
        return 0;
    return std::exchange(m_state.rop2, rop);
}

int CDC::SetPolyFillMode(int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return std::exchange(m_state.polyFillMode, mode);
}

CPoint CDC::SetBrushOrg(int x, int y)
{
    return std::exchange(m_state.brushOrg, CPoint(x, y));
}

bool CDC::SetMiterLimit(float limit, float* previous)
{
    if (!(limit >= 1.0f) || !std::isfinite(limit))
        return false;
    if (previous)
        *previous = m_state.miterLimit;
    m_state.miterLimit = limit;
    return true;
}

// ---- Clipping ------------------------------------------------------------

CRect CDC::VisibleBox() const
{
    const CRect device(0, 0, m_info.width, m_info.height);
    if (!m_state.clipped)
        return device;
    CRect box;
    m_state.clip.GetRgnBox(&box);
    CRect cut;
    cut.IntersectRect(box, device);
    return cut;
}

void CDC::ApplyClip() const
{
    if (m_clipApplied)
        return;
    m_clipApplied = true;
    const CRect device(0, 0, m_info.width, m_info.height);
    if (m_painter) {
        if (m_state.clipped)
            m_painter->setClipRegion(m_state.clip.Region());
        else
            m_painter->setClipping(false);
    }
    if (m_writer) {
        std::vector<CRect> rects;
        if (m_state.clipped) {
            for (const QRect& r : m_state.clip.Region())
                rects.push_back(FromQRect(r));
        } else {
            rects.push_back(device);
        }
        m_writer->SetClip(rects);
    }
}

int CDC::SelectClipRgn(const CRgn* rgn)
{
    return SelectClipRgn(rgn, RGN_COPY);
}

int CDC::SelectClipRgn(const CRgn* rgn, int mode)
{
    const int kind = CombineClip(rgn, mode);
    if (m_recorder && kind != RGN_ERROR)
        m_recorder->SelectClipRgn(rgn && rgn->GetSafeHandle() ? rgn : nullptr, mode);
    return kind;
}

int CDC::CombineClip(const CRgn* rgn, int mode)
{
    if (mode < RGN_AND || mode > RGN_COPY)
        return RGN_ERROR;
    m_clipApplied = false;
    if (!rgn || !rgn->GetSafeHandle()) {
        if (mode != RGN_COPY)
            return RGN_ERROR;
        m_state.clipped = false;
        m_state.clip = CRgn();
        return SIMPLEREGION;
    }
    if (mode == RGN_COPY) {
        m_state.clip = *rgn;
    } else {
        CRgn current;
        if (m_state.clipped)
            current = m_state.clip;
        else
            current.CreateRectRgn(0, 0, m_info.width, m_info.height);
        CRgn combined;
        combined.CombineRgn(current, *rgn, mode);
        m_state.clip = combined;
    }
    m_state.clipped = true;
    return m_state.clip.GetRgnBox(nullptr);
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom)
{
    CRgn rect;
    rect.CreateRectRgnIndirect(Normalized(ToDevice(left, top), ToDevice(right, bottom)));
    const int kind = CombineClip(&rect, RGN_AND);
    if (m_recorder && kind != RGN_ERROR)
        m_recorder->IntersectClipRect(CRect(left, top, right, bottom));
    return kind;
}

int CDC::ExcludeClipRect(int left, int top, int right, int bottom)
{
    CRgn rect;
    rect.CreateRectRgnIndirect(Normalized(ToDevice(left, top), ToDevice(right, bottom)));
    const int kind = CombineClip(&rect, RGN_DIFF);
    if (m_recorder && kind != RGN_ERROR)
        m_recorder->ExcludeClipRect(CRect(left, top, right, bottom));
    return kind;
}

int CDC::GetClipRgn(CRgn* rgn) const
{
    if (!m_state.clipped)
        return 0;
    if (rgn)
        *rgn = m_state.clip;
    return 1;
}

int CDC::GetClipBox(CRect* rect) const
{
    const CRect device(0, 0, m_info.width, m_info.height);
    int kind = SIMPLEREGION;
    CRect box = device;
    if (m_state.clipped) {
        CRgn visible;
        CRgn deviceRgn;
        deviceRgn.CreateRectRgnIndirect(device);
        kind = visible.CombineRgn(m_state.clip, deviceRgn, RGN_AND);
        visible.GetRgnBox(&box);
    } else if (device.IsRectEmpty()) {
        kind = NULLREGION;
        box.SetRectEmpty();
    }
    if (rect) {
        *rect = box;
        DPtoLP(rect);
        rect->NormalizeRect();
    }
    return kind;
}

bool CDC::RectVisible(const CRect& rect) const
{
    const CRect device = Normalized(ToDevice(rect.left, rect.top), ToDevice(rect.right, rect.bottom));
    CRect cut;
    if (!cut.IntersectRect(device, CRect(0, 0, m_info.width, m_info.height)))
        return false;
    return !m_state.clipped || m_state.clip.RectInRegion(cut);
}

bool CDC::PtVisible(int x, int y) const
{
    const CPoint p = ToDevice(x, y);
    if (!CRect(0, 0, m_info.width, m_info.height).PtInRect(p))
        return false;
    return !m_state.clipped || m_state.clip.PtInRegion(p.x, p.y);
}

// ---- Pens and strokes ----------------------------------------------------

CDC::Pen CDC::ResolvePen() const
{
    Pen pen;
    const CPen& selected = m_state.pen;
    const std::uint32_t style = selected.GetStyle();
    const std::uint32_t kind = style & PS_STYLE_MASK;
    if (kind == PS_NULL)
        return pen;
    pen.colour = selected.GetColor();
    pen.insideFrame = kind == PS_INSIDEFRAME;
    static const std::vector<std::uint32_t> kCosmetic[5] = {
        {}, {18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
    static const std::vector<std::uint32_t> kGeometric[5] = {
        {}, {3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};
    const int width = DeviceWidth(selected.GetWidth());
    if (selected.IsGeometric()) {
        pen.kind = Pen::Wide;
        pen.width = std::max(1, width);
        switch (style & PS_ENDCAP_MASK) {
        case PS_ENDCAP_SQUARE: pen.cap = Qt::SquareCap; break;
        case PS_ENDCAP_FLAT: pen.cap = Qt::FlatCap; break;
        default: pen.cap = Qt::RoundCap; break;
        }
        switch (style & PS_JOIN_MASK) {
        case PS_JOIN_BEVEL: pen.join = Qt::BevelJoin; break;
        case PS_JOIN_MITER: pen.join = Qt::MiterJoin; break;
        default: pen.join = Qt::RoundJoin; break;
        }
        std::vector<double> lengths;
        if (kind >= PS_DASH && kind <= PS_DASHDOTDOT) {
            for (std::uint32_t unit : kGeometric[kind])
                lengths.push_back(unit);
        } else if (kind == PS_USERSTYLE) {
            for (std::uint32_t length : selected.GetUserStyle())
                lengths.push_back(double(DeviceWidth(static_cast<int>(std::min(length, kMaxDash)))) / pen.width);
        }
        // An odd pattern repeats with on and off swapped.
        if (lengths.size() % 2 == 1)
            lengths.insert(lengths.end(), lengths.begin(), lengths.end());
        for (double l : lengths)
            pen.qtDashes.push_back(std::max(l, 1.0 / 64));
        return pen;
    }
    if (width > 1) {
        // A wide pen made by CreatePen: solid, round ends and joins.
        pen.kind = Pen::Wide;
        pen.width = width;
        return pen;
    }
    pen.kind = Pen::Cosmetic;
    if (kind >= PS_DASH && kind <= PS_DASHDOTDOT)
        pen.dashes = kCosmetic[kind];
    else if (kind == PS_ALTERNATE)
        pen.dashes = {1, 1};
    else if (kind == PS_USERSTYLE)
        for (std::uint32_t length : selected.GetUserStyle())
            pen.dashes.push_back(std::min(length, kMaxDash));
    if (pen.dashes.size() % 2 == 1)
        pen.dashes.insert(pen.dashes.end(), pen.dashes.begin(), pen.dashes.end());
    for (std::uint32_t l : pen.dashes)
        pen.period += l;
    if (pen.period == 0)
        pen.dashes.clear();
    return pen;
}

bool CDC::CanDraw() const
{
    return m_painter && m_state.rop2 != R2_NOP;
}

void CDC::Touch(const CRect& deviceBounds)
{
    if (m_surface)
        m_surface->AddChanged(deviceBounds);
}

void CDC::StrokeFigures(const std::vector<PathFigure>& figures)
{
    const Pen pen = ResolvePen();
    if (pen.kind == Pen::Null || !CanDraw())
        return;
    ApplyClip();
    if (pen.kind == Pen::Cosmetic) {
        for (const auto& f : figures)
            StrokeCosmetic(pen, f.points, f.closed);
        Touch(BoundsOf(figures, 1));
        return;
    }
    // Round joins without dashes are worked out here: Qt's stroker spends
    // most of its time on the arcs of the joins. Qt draws pens one pixel
    // wide as hairlines, so those stay with it.
    if (pen.join == Qt::RoundJoin && pen.qtDashes.isEmpty() && pen.width >= 2 && DrawsRuns()) {
        const CWideStroker::Cap cap = pen.cap == Qt::FlatCap     ? CWideStroker::Cap::Flat
                                      : pen.cap == Qt::SquareCap ? CWideStroker::Cap::Square
                                                                 : CWideStroker::Cap::Round;
        CWideStroker stroker(pen.width, cap, kShiftX, kShiftY);
        for (const auto& f : figures)
            stroker.AddFigure(f.points.data(), f.points.size(), f.closed);
        PaintRuns(nullptr, pen.colour, m_state.rop2,
                  [&](const CRect& box, const CScanConverter::SpanSink& sink) { stroker.Stroke(box, sink); });
    } else {
        StrokeWide(pen, PathOf(figures, false, kShiftX, kShiftY));
    }
    Touch(BoundsOf(figures, pen.width / 2 + 2));
}

void CDC::StrokeCosmetic(const Pen& pen, const std::vector<CPoint>& points, bool closed)
{
    std::int64_t step = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        step = CosmeticSegment(pen, points[i - 1], points[i], step);
    if (closed && points.size() > 2)
        CosmeticSegment(pen, points.back(), points.front(), step);
}

std::int64_t CDC::CosmeticSegment(const Pen& pen, CPoint a, CPoint b, std::int64_t styleStep)
{
    const std::int64_t dx = std::int64_t(b.x) - a.x;
    const std::int64_t dy = std::int64_t(b.y) - a.y;
    const std::int64_t n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0)
        return styleStep;
    const bool opaque = m_state.bkMode == OPAQUE;
    const CRect box = m_writer ? m_writer->ClipBox() : VisibleBox();
    std::int64_t first = 0;
    std::int64_t last = 0;
    if (!VisibleSteps(a, b, n, box, first, last))
        return styleStep + n;

    if (!m_writer) {
        // Other devices get the line, or its dashes, as Qt lines.
        QPen qpen(ToQColor(pen.colour), 0);
        qpen.setCapStyle(Qt::FlatCap);
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        auto at = [&](std::int64_t i) {
            return QPointF(a.x + double(dx) * double(i) / double(n), a.y + double(dy) * double(i) / double(n));
        };
        if (pen.dashes.empty()) {
            m_painter->setPen(qpen);
            m_painter->drawLine(at(first), at(last));
            return styleStep + n;
        }
        DashPosition pos = DashAt(pen.dashes, pen.period, styleStep + first);
        for (std::int64_t i = first; i < last;) {
            const std::int64_t end = std::min<std::int64_t>(last, i + pos.left);
            const bool on = pos.element % 2 == 0;
            if (on || opaque) {
                qpen.setColor(ToQColor(on ? pen.colour : m_state.bkColour));
                m_painter->setPen(qpen);
                m_painter->drawLine(at(i), at(end));
            }
            pos.left = static_cast<std::uint32_t>(pos.left - (end - i));
            if (pos.left == 0) {
                pos.left = 1;
                AdvanceDash(pen.dashes, pos);
            }
            i = end;
        }
        return styleStep + n;
    }

    // The pixels of steps 0 .. n - 1: the major coordinate moves one pixel a
    // step, the minor one is the line's value rounded half upwards.
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t dMajor = xMajor ? dx : dy;
    const std::int64_t dMinor = xMajor ? dy : dx;
    const int sMajor = dMajor < 0 ? -1 : 1;
    const std::int64_t startMajor = xMajor ? a.x : a.y;
    const std::int64_t startMinor = xMajor ? a.y : a.x;
    const std::int64_t den = 2 * n;
    __int128 num = __int128(2) * first * dMinor + n;
    std::int64_t q = FloorDiv(num, den);
    std::int64_t r = static_cast<std::int64_t>(num - __int128(q) * den);

    CRunCollector runs(*m_writer, m_state.rop2);
    const bool dashed = !pen.dashes.empty();
    DashPosition pos;
    if (dashed)
        pos = DashAt(pen.dashes, pen.period, styleStep + first);
    for (std::int64_t i = first; i < last; ++i) {
        const auto major = static_cast<int>(startMajor + sMajor * i);
        const auto minor = static_cast<int>(startMinor + q);
        bool draw = true;
        COLORREF colour = pen.colour;
        if (dashed) {
            if (pos.element % 2 != 0) {
                draw = opaque;
                colour = m_state.bkColour;
            }
            AdvanceDash(pen.dashes, pos);
        }
        if (draw) {
            if (xMajor)
                runs.Add(major, minor, colour);
            else
                runs.Add(minor, major, colour);
        }
        r += 2 * dMinor;
        if (r >= den) {
            r -= den;
            ++q;
        } else if (r < 0) {
            r += den;
            --q;
        }
    }
    return styleStep + n;
}

void CDC::StrokeWide(const Pen& pen, const QPainterPath& path)
{
    QPen qpen(ToQColor(pen.colour), pen.width);
    qpen.setCapStyle(pen.cap);
    qpen.setJoinStyle(pen.join);
    // Qt measures the miter from the join point, in pen widths.
    qpen.setMiterLimit(m_state.miterLimit / 2);
    if (!pen.qtDashes.isEmpty())
        qpen.setDashPattern(pen.qtDashes);
    m_painter->setCompositionMode(m_writer ? QtMode(m_state.rop2) : QPainter::CompositionMode_SourceOver);
    m_painter->setPen(qpen);
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawPath(path);
}

// ---- Fills ---------------------------------------------------------------

void CDC::FillShape(const QPainterPath& path, const CBrush& brush, int rop)
{
    const std::uint32_t style = brush.GetStyle();
    if (!brush.GetSafeHandle() || style == BS_NULL || rop == R2_NOP || !m_painter)
        return;
    ApplyClip();
    bool seeThrough = false;
    const QBrush qbrush = QtBrush(brush, m_state.textColour, m_state.bkColour, m_state.bkMode, seeThrough);
    const QPainterPath shifted = path.translated(kShiftX, kShiftY);
    const QPoint origin(m_state.brushOrg.x, m_state.brushOrg.y);
    if (seeThrough && rop != R2_COPYPEN && m_writer) {
        // Qt's raster operations would combine the transparent gaps too:
        // paint the fill onto a layer and combine its opaque pixels only.
        CRect box;
        if (!box.IntersectRect(FromQRect(shifted.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1)),
                               m_writer->ClipBox()))
            return;
        for (int top = box.top; top < box.bottom; top += kLayerRows) {
            const int rows = std::min(kLayerRows, box.bottom - top);
            QImage layer(box.Width(), rows, QImage::Format_ARGB32_Premultiplied);
            if (layer.isNull())
                return;
            layer.fill(0);
            QPainter lp(&layer);
            lp.setRenderHint(QPainter::Antialiasing, false);
            lp.translate(-box.left, -top);
            lp.setBrushOrigin(origin);
            lp.setPen(Qt::NoPen);
            lp.setBrush(qbrush);
            lp.drawPath(shifted);
            lp.end();
            m_writer->ApplyLayer(layer, box.left, top, rop);
        }
        return;
    }
    m_painter->setCompositionMode(m_writer ? QtMode(rop) : QPainter::CompositionMode_SourceOver);
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(qbrush);
    m_painter->setBrushOrigin(origin);
    m_painter->drawPath(shifted);
}

bool CDC::DrawsRuns() const
{
    return m_writer || (m_painter && m_painter->paintEngine() &&
                        m_painter->paintEngine()->type() == QPaintEngine::Raster);
}

void CDC::PaintRuns(const CBrush* brush, COLORREF colour, int rop, const RunSource& produce)
{
    if (!m_painter || rop == R2_NOP)
        return;
    if (brush && (!brush->GetSafeHandle() || brush->GetStyle() == BS_NULL))
        return;
    ApplyClip();
    const bool patterned = brush && (brush->GetStyle() == BS_HATCHED || brush->GetStyle() == BS_PATTERN);
    if (m_writer) {
        const CRect& box = m_writer->ClipBox();
        if (patterned) {
            const BlitPattern pattern = PatternOf(*brush, m_state.textColour, m_state.bkColour, m_state.brushOrg);
            const std::uint64_t shown = ShownCells(*brush, m_state.bkMode);
            produce(box, [&](int y, int x0, int x1) { m_writer->PatternSpan(y, x0, x1, pattern, shown, rop); });
        } else {
            const COLORREF c = brush ? brush->GetColor() : colour;
            produce(box, [&](int y, int x0, int x1) { m_writer->Span(y, x0, x1, c, rop); });
        }
        return;
    }
    // Other raster devices get the runs as rectangles, plainly copied.
    bool seeThrough = false;
    const QBrush qbrush = brush ? QtBrush(*brush, m_state.textColour, m_state.bkColour, m_state.bkMode, seeThrough)
                                : QBrush(ToQColor(colour));
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(qbrush);
    m_painter->setBrushOrigin(QPoint(m_state.brushOrg.x, m_state.brushOrg.y));
    constexpr std::size_t kBatch = 4096;
    std::vector<QRect> rects;
    rects.reserve(kBatch);
    produce(VisibleBox(), [&](int y, int x0, int x1) {
        rects.emplace_back(x0, y, x1 - x0, 1);
        if (rects.size() == kBatch) {
            m_painter->drawRects(rects.data(), static_cast<int>(rects.size()));
            rects.clear();
        }
    });
    if (!rects.empty())
        m_painter->drawRects(rects.data(), static_cast<int>(rects.size()));
}

void CDC::FillRect(const CRect& rect, const CBrush& brush)
{
    if (m_recorder && brush.GetSafeHandle())
        m_recorder->FillRect(rect, brush);
    const CRect r = Normalized(ToDevice(rect.left, rect.top), ToDevice(rect.right, rect.bottom));
    if (r.IsRectEmpty())
        return;
    QPainterPath path;
    path.addRect(QRectF(r.left, r.top, double(r.right) - r.left, double(r.bottom) - r.top));
    FillShape(path, brush, R2_COPYPEN);
    Touch(r);
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour)
{
    FillRect(rect, CBrush(colour));
}

// ---- Figures -------------------------------------------------------------

void CDC::AddFigure(std::vector<CPoint> points, bool closed)
{
    if (points.empty())
        return;
    m_state.path.push_back(PathFigure{std::move(points), closed});
}

CPoint CDC::MoveTo(int x, int y)
{
    const CPoint previous = m_state.position;
    m_state.position = CPoint(x, y);
    if (m_recorder)
        m_recorder->MoveTo(CPoint(x, y));
    if (m_state.pathState == 1) {
        auto& path = m_state.path;
        if (!path.empty() && !path.back().closed && path.back().points.size() == 1)
            path.back().points[0] = ToDevice(x, y);
        else
            AddFigure({ToDevice(x, y)}, false);
    }
    return previous;
}

bool CDC::LineTo(int x, int y)
{
    const CPoint a = ToDevice(m_state.position.x, m_state.position.y);
    const CPoint b = ToDevice(x, y);
    m_state.position = CPoint(x, y);
    if (m_recorder)
        m_recorder->LineTo(CPoint(x, y));
    if (m_state.pathState == 1) {
        auto& path = m_state.path;
        if (path.empty() || path.back().closed)
            AddFigure({a}, false);
        path.back().points.push_back(b);
        return true;
    }
    StrokeFigures({PathFigure{{a, b}, false}});
    return true;
}

bool CDC::Polyline(const CPoint* points, int count)
{
    return DrawParts(points, &count, 1, false);
}

bool CDC::PolyPolyline(const CPoint* points, const int* counts, int polyCount)
{
    return DrawParts(points, counts, polyCount, false);
}

bool CDC::PolyPolyline(const CPoint* points, const std::uint32_t* counts, int polyCount)
{
    std::vector<int> c;
    return CountsFromWords(counts, polyCount, c) && DrawParts(points, c.data(), polyCount, false);
}

bool CDC::Polygon(const CPoint* points, int count)
{
    return DrawParts(points, &count, 1, true);
}

bool CDC::PolyPolygon(const CPoint* points, const int* counts, int polyCount)
{
    return DrawParts(points, counts, polyCount, true);
}

bool CDC::PolyPolygon(const CPoint* points, const std::uint32_t* counts, int polyCount)
{
    std::vector<int> c;
    return CountsFromWords(counts, polyCount, c) && DrawParts(points, c.data(), polyCount, true);
}

bool CDC::CountsFromWords(const std::uint32_t* counts, int polyCount, std::vector<int>& out)
{
    if (!counts || polyCount <= 0)
        return false;
    for (int i = 0; i < polyCount; ++i) {
        if (counts[i] > 0x7FFFFFFFu)
            return false;
        out.push_back(static_cast<int>(counts[i]));
    }
    return true;
}

bool CDC::DrawParts(const CPoint* points, const int* counts, int polyCount, bool closed)
{
    if (!points || !counts || polyCount <= 0)
        return false;
    std::vector<PathFigure> figures;
    std::int64_t offset = 0;
    for (int i = 0; i < polyCount; ++i) {
        if (counts[i] < 0)
            return false;
        // A part of fewer than two points has nothing to draw.
        if (counts[i] >= 2)
            figures.push_back(PathFigure{ToDevice(points + offset, counts[i]), closed});
        offset += counts[i];
    }
    if (figures.empty())
        return false;
    if (m_recorder) {
        std::vector<CPoint> kept;
        std::vector<int> keptCounts;
        offset = 0;
        for (int i = 0; i < polyCount; ++i) {
            if (counts[i] >= 2) {
                kept.insert(kept.end(), points + offset, points + offset + counts[i]);
                keptCounts.push_back(counts[i]);
            }
            offset += counts[i];
        }
        m_recorder->Poly(kept.data(), keptCounts.data(), static_cast<int>(keptCounts.size()), closed);
    }
    if (m_state.pathState == 1) {
        for (auto& f : figures)
            AddFigure(std::move(f.points), closed);
        return true;
    }
    if (closed)
        FillFigures(figures);
    StrokeFigures(figures);
    return true;
}

void CDC::FillFigures(const std::vector<PathFigure>& figures)
{
    if (!CanDraw())
        return;
    const bool winding = m_state.polyFillMode == WINDING;
    if (DrawsRuns()) {
        // Qt's own fill costs the square of the crossings on a row, which
        // a comb of many teeth makes endless.
        CScanConverter scan(kShiftX64, kShiftY64);
        for (const auto& f : figures)
            scan.AddRing(f.points.data(), f.points.size());
        PaintRuns(&m_state.brush, 0, m_state.rop2,
                  [&](const CRect& box, const CScanConverter::SpanSink& sink) { scan.Fill(winding, box, sink); });
    } else {
        QPainterPath path = PathOf(figures, true, 0, 0);
        path.setFillRule(winding ? Qt::WindingFill : Qt::OddEvenFill);
        FillShape(path, m_state.brush, m_state.rop2);
    }
    Touch(BoundsOf(figures, 0));
}

bool CDC::Rectangle(int left, int top, int right, int bottom)
{
    return DrawBoxShape(left, top, right, bottom, false);
}

bool CDC::Ellipse(int left, int top, int right, int bottom)
{
    return DrawBoxShape(left, top, right, bottom, true);
}

bool CDC::DrawBoxShape(int left, int top, int right, int bottom, bool ellipse)
{
    if (m_recorder) {
        if (ellipse)
            m_recorder->Ellipse(CRect(left, top, right, bottom));
        else
            m_recorder->Rectangle(CRect(left, top, right, bottom));
    }
    const CRect box = Normalized(ToDevice(left, top), ToDevice(right, bottom));
    if (box.IsRectEmpty())
        return true;
    // The figure runs through the outermost pixels the shape may cover.
    const int x1 = box.right - 1;
    const int y1 = box.bottom - 1;
    auto ellipsePoints = [](double l, double t, double r, double b) {
        std::vector<CPoint> points;
        const double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2;
        // Enough points that small circles come out round, not as diamonds.
        const int count = static_cast<int>(std::clamp((rx + ry) * 2, 24.0, 4096.0));
        for (int i = 0; i < count; ++i) {
            const double angle = 2 * std::numbers::pi * i / count;
            const CPoint p(RoundCoord(cx + rx * std::cos(angle)), RoundCoord(cy - ry * std::sin(angle)));
            if (points.empty() || !(points.back() == p))
                points.push_back(p);
        }
        if (points.size() > 1 && points.back() == points.front())
            points.pop_back();
        return points;
    };
    if (m_state.pathState == 1) {
        if (ellipse)
            AddFigure(ellipsePoints(box.left, box.top, x1, y1), true);
        else
            AddFigure({{box.left, box.top}, {x1, box.top}, {x1, y1}, {box.left, y1}}, true);
        return true;
    }
    if (!CanDraw())
        return true;
    const Pen pen = ResolvePen();
    const int w = pen.kind == Pen::Null ? 0 : (pen.kind == Pen::Cosmetic ? 1 : pen.width);
    int ox0 = box.left, oy0 = box.top, ox1 = x1, oy1 = y1;
    if (pen.insideFrame && pen.kind == Pen::Wide) {
        // The whole width of the pen stays inside the box.
        ox0 += w / 2;
        oy0 += w / 2;
        ox1 = std::max(ox0, box.right - (w + 1) / 2);
        oy1 = std::max(oy0, box.bottom - (w + 1) / 2);
    }
    // The inside, without the pixels the pen covers.
    const double in = (w + 1) / 2, out = w / 2;
    QPainterPath fill;
    if (ellipse) {
        const double shrink = w / 2.0;
        fill.addEllipse(QRectF(ox0 + shrink, oy0 + shrink, std::max(0.0, ox1 - ox0 - 2 * shrink),
                               std::max(0.0, oy1 - oy0 - 2 * shrink)));
    } else if (w == 0) {
        fill.addRect(QRectF(box.left, box.top, double(x1) - box.left, double(y1) - box.top));
    } else {
        const double l = ox0 + in, t = oy0 + in, r = ox1 - out, b = oy1 - out;
        if (r > l && b > t)
            fill.addRect(QRectF(l, t, r - l, b - t));
    }
    if (!fill.isEmpty())
        FillShape(fill, m_state.brush, m_state.rop2);
    Touch(box);
    if (pen.kind == Pen::Null)
        return true;
    if (ellipse && pen.kind == Pen::Wide) {
        ApplyClip();
        QPainterPath outline;
        outline.addEllipse(QRectF(ox0 + kShiftX, oy0 + kShiftY, double(ox1) - ox0, double(oy1) - oy0));
        StrokeWide(pen, outline);
        CRect touched = box;
        touched.InflateRect(w, w);
        Touch(touched);
        return true;
    }
    if (ellipse)
        StrokeFigures({PathFigure{ellipsePoints(ox0, oy0, ox1, oy1), true}});
    else
        StrokeFigures({PathFigure{{{ox0, oy0}, {ox1, oy0}, {ox1, oy1}, {ox0, oy1}}, true}});
    return true;
}

// ---- Pixels --------------------------------------------------------------

COLORREF CDC::SetPixel(int x, int y, COLORREF colour)
{
    if (m_recorder) {
        m_recorder->SetPixel(CPoint(x, y), colour & 0xFFFFFF);
        return colour & 0xFFFFFF;
    }
    if (!m_painter || !PtVisible(x, y))
        return CLR_INVALID;
    const CPoint p = ToDevice(x, y);
    colour &= 0xFFFFFF;
    ApplyClip();
    if (m_writer) {
        m_writer->Pixel(p.x, p.y, colour, R2_COPYPEN);
    } else {
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_painter->fillRect(QRect(p.x, p.y, 1, 1), ToQColor(colour));
    }
    Touch(CRect(p.x, p.y, p.x + 1, p.y + 1));
    return colour;
}

bool CDC::SetPixelV(int x, int y, COLORREF colour)
{
    return SetPixel(x, y, colour) != CLR_INVALID;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    if (!m_writer || !PtVisible(x, y))
        return CLR_INVALID;
    const CPoint p = ToDevice(x, y);
    return m_writer->Get(p.x, p.y);
}

// ---- Paths ---------------------------------------------------------------

bool CDC::BeginPath()
{
    m_state.path.clear();
    m_state.pathState = 1;
    if (m_recorder)
        m_recorder->Path(IDCRecorder::PathOp::Begin, 0, nullptr);
    return true;
}

bool CDC::EndPath()
{
    if (m_state.pathState != 1)
        return false;
    m_state.pathState = 2;
    if (m_recorder)
        m_recorder->Path(IDCRecorder::PathOp::End, 0, nullptr);
    return true;
}

bool CDC::AbortPath()
{
    m_state.path.clear();
    m_state.pathState = 0;
    if (m_recorder)
        m_recorder->Path(IDCRecorder::PathOp::Abort, 0, nullptr);
    return true;
}

bool CDC::CloseFigure()
{
    if (m_state.pathState != 1 || m_state.path.empty() || m_state.path.back().closed)
        return false;
    m_state.path.back().closed = true;
    if (m_recorder)
        m_recorder->Path(IDCRecorder::PathOp::CloseFigure, 0, nullptr);
    return true;
}

bool CDC::StrokePath()
{
    if (m_state.pathState != 2)
        return false;
    const std::vector<PathFigure> figures = std::move(m_state.path);
    m_state.path.clear();
    m_state.pathState = 0;
    if (m_recorder)
        m_recorder->Path(IDCRecorder::PathOp::Stroke, 0, nullptr);
    StrokeFigures(figures);
    return true;
}

bool CDC::FillPath()
{
    if (m_state.pathState != 2)
        return false;
    const std::vector<PathFigure> figures = std::move(m_state.path);
    m_state.path.clear();
    m_state.pathState = 0;
    if (m_recorder)
        m_recorder->Path(IDCRecorder::PathOp::Fill, 0, nullptr);
    FillFigures(figures);
    return true;
}

bool CDC::StrokeAndFillPath()
{
    if (m_state.pathState != 2)
        return false;
    std::vector<PathFigure> figures = std::move(m_state.path);
    for (auto& f : figures)
        f.closed = true;
    m_state.path.clear();
    m_state.pathState = 0;
    if (m_recorder)
        m_recorder->Path(IDCRecorder::PathOp::StrokeAndFill, 0, nullptr);
    FillFigures(figures);
    StrokeFigures(figures);
    return true;
}

bool CDC::PathToRegion(CRgn* rgn)
{
    if (!TakePathRegion(rgn))
        return false;
    if (m_recorder)
        m_recorder->Path(IDCRecorder::PathOp::Abort, 0, nullptr);
    return true;
}

bool CDC::TakePathRegion(CRgn* rgn)
{
    if (m_state.pathState != 2 || !rgn)
        return false;
    std::vector<CPoint> points;
    std::vector<int> counts;
    for (const auto& f : m_state.path) {
        points.insert(points.end(), f.points.begin(), f.points.end());
        counts.push_back(static_cast<int>(f.points.size()));
    }
    m_state.path.clear();
    m_state.pathState = 0;
    if (counts.empty())
        return rgn->CreateRectRgn(0, 0, 0, 0);
    return rgn->CreatePolyPolygonRgn(points.data(), counts.data(), static_cast<int>(counts.size()),
                                     m_state.polyFillMode);
}

bool CDC::SelectClipPath(int mode)
{
    if (mode < RGN_AND || mode > RGN_COPY)
        return false;
    CRgn rgn;
    if (!TakePathRegion(&rgn))
        return false;
    if (CombineClip(&rgn, mode) == RGN_ERROR)
        return false;
    if (m_recorder)
        m_recorder->Path(IDCRecorder::PathOp::SelectClip, mode, &rgn);
    return true;
}

// ---- Memory contexts -----------------------------------------------------

bool CDC::CreateCompatibleDC(const CDC* reference)
{
    End();
    m_surface = nullptr;
    m_bitmap = CBitmap();
    DeviceInfo info;
    if (reference) {
        info.dpiX = reference->m_info.dpiX;
        info.dpiY = reference->m_info.dpiY;
        info.technology = reference->m_info.technology;
    }
    m_info = info;
    m_printing = false;
    m_memory = true;
    return true;
}

CBitmap CDC::SelectObject(const CBitmap& bitmap)
{
    QImage* image = bitmap.Image();
    if (!m_memory || !image || (image != m_image && image->paintingActive()))
        return {};
    const DeviceInfo kept = m_info;
    End();
    Begin(image);
    // The context keeps its own resolution whatever the bitmap says.
    m_info.dpiX = kept.dpiX;
    m_info.dpiY = kept.dpiY;
    m_info.technology = kept.technology;
    if (m_state.mapMode != MM_TEXT && m_state.mapMode != MM_ANISOTROPIC && m_state.mapMode != MM_ISOTROPIC)
        FixedModeExtents();
    return std::exchange(m_bitmap, bitmap);
}

CFont CDC::SelectObject(const CFont& font)
{
    if (!font.GetSafeHandle())
        return {};
    return std::exchange(m_state.font, font);
}

int CDC::SetStretchBltMode(int mode)
{
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return std::exchange(m_state.stretchMode, mode);
}

unsigned CDC::SetTextAlign(unsigned flags)
{
    return std::exchange(m_state.textAlign, flags & (TA_UPDATECP | TA_CENTER | TA_BASELINE));
}

// ---- Blits ---------------------------------------------------------------

namespace {

// The pixels of an image the DC can read (see CPixelWriter::Supports).
class CImageSource : public IBlitSource {
public:
    explicit CImageSource(const QImage& image) : m_image(image) {}
    int Width() const override { return m_image.width(); }
    int Height() const override { return m_image.height(); }
    void ReadRow(int y, int x0, int x1, std::uint32_t* colours) const override
    {
        const std::uint8_t* row = m_image.constScanLine(y);
        if (m_image.format() == QImage::Format_RGB888) {
            for (const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x0); x0 < x1; ++x0, p += 3)
                *colours++ = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
            return;
        }
        const auto* p = reinterpret_cast<const std::uint32_t*>(row);
        for (int x = x0; x < x1; ++x)
            *colours++ = p[x] & 0xFFFFFF;
    }

private:
    const QImage& m_image;
};

// One black pixel: the source of blits whose operation reads none.
class CNoSource : public IBlitSource {
public:
    int Width() const override { return 1; }
    int Height() const override { return 1; }
    void ReadRow(int, int, int, std::uint32_t* colours) const override { *colours = 0; }
};

int ClampToInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// A rectangle from a corner and signed extents, normalised; mirror flags
// for negative extents.
CRect SpanRect(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, bool& mirrorX,
               bool& mirrorY)
{
    mirrorX = width < 0;
    mirrorY = height < 0;
    CRect r(ClampToInt(x), ClampToInt(y), ClampToInt(x + width), ClampToInt(y + height));
    r.NormalizeRect();
    return r;
}

// Extents of rectangles whose corners lie far apart do not fit in 32 bits.
std::int64_t WidthOf(const CRect& r)
{
    return std::int64_t(r.right) - r.left;
}

std::int64_t HeightOf(const CRect& r)
{
    return std::int64_t(r.bottom) - r.top;
}

QRectF ToQRectF(const CRect& r)
{
    return QRectF(r.left, r.top, double(WidthOf(r)), double(HeightOf(r)));
}

// Pixels no bigger than this are made for devices that scale pictures themselves.
constexpr std::int64_t kMaxPaperPixels = std::int64_t(1) << 24;

// The two ends along one axis of the destination part that the source
// pixels lo .. hi of the span fromLo .. fromHi take.
std::pair<int, int> DestPart(int start, int extent, int fromLo, int fromHi, int lo, int hi, bool mirror)
{
    const double span = double(fromHi) - fromLo;
    double f0 = (lo - fromLo) / span, f1 = (hi - fromLo) / span;
    if (mirror)
        std::tie(f0, f1) = std::pair(1 - f1, 1 - f0);
    return {RoundCoord(start + double(extent) * f0), RoundCoord(start + double(extent) * f1)};
}

RecordedPicture PictureOf(const QImage& image)
{
    const QImage plain = image.convertToFormat(QImage::Format_ARGB32);
    RecordedPicture picture{plain.width(), plain.height(), {}, true};
    for (int row = 0; row < plain.height(); ++row) {
        const auto* p = reinterpret_cast<const std::uint32_t*>(plain.constScanLine(row));
        picture.pixels.insert(picture.pixels.end(), p, p + plain.width());
    }
    return picture;
}

} // namespace

CRect CDC::DeviceRect(int x, int y, int width, int height, bool& mirrorX, bool& mirrorY) const
{
    const CPoint a = ToDevice(x, y);
    const CPoint b = ToDevice(ClampToInt(std::int64_t(x) + width), ClampToInt(std::int64_t(y) + height));
    return SpanRect(a.x, a.y, std::int64_t(b.x) - a.x, std::int64_t(b.y) - a.y, mirrorX, mirrorY);
}

bool CDC::Blit(const IBlitSource& source, const CRect& dest, bool mirrorX, bool mirrorY, const CRect& sourceRect,
               int mode, const BlitKey& key, std::uint32_t rop)
{
    if (!m_painter)
        return false;
    if (dest.IsRectEmpty() || sourceRect.IsRectEmpty())
        return true;
    if (key.kind != BlitKey::None)
        mode = COLORONCOLOR;
    ApplyClip();
    BlitPattern pattern;
    if (CBlitter::UsesPattern(rop)) {
        const CBrush& brush = m_state.brush;
        const std::uint32_t style = brush.GetStyle();
        if (style == BS_SOLID) {
            pattern.colours.fill(CPixelWriter::Native(brush.GetColor()));
        } else if (style == BS_HATCHED || style == BS_PATTERN) {
            pattern = PatternOf(brush, m_state.textColour, m_state.bkColour, m_state.brushOrg);
        }
        pattern.originX = m_state.brushOrg.x;
        pattern.originY = m_state.brushOrg.y;
    }
    const CBlitter::Geometry geometry{dest, sourceRect, mirrorX, mirrorY};
    if (m_writer) {
        CBlitter::Stretch(source, geometry, m_writer->ClipBox(), mode, key,
                          [&](int y, int x0, int count, const std::uint32_t* colours, const std::uint8_t* mask) {
                              m_writer->BlitRow(y, x0, count, colours, mask, rop, pattern);
                          });
        Touch(dest);
        return true;
    }

    // A device that cannot be read: the picture at the smaller of its own
    // and the target's size, worked out against white paper, goes to the
    // device to be scaled there.
    std::int64_t w = std::min(WidthOf(dest), WidthOf(sourceRect));
    std::int64_t h = std::min(HeightOf(dest), HeightOf(sourceRect));
    if (w * h > kMaxPaperPixels) {
        const double f = std::sqrt(double(kMaxPaperPixels) / double(w * h));
        w = std::max<std::int64_t>(1, static_cast<std::int64_t>(w * f));
        h = std::max<std::int64_t>(1, static_cast<std::int64_t>(h * f));
    }
    QImage picture(static_cast<int>(w), static_cast<int>(h), QImage::Format_ARGB32);
    if (picture.isNull())
        return false;
    picture.fill(0);
    const CRect whole(0, 0, static_cast<int>(w), static_cast<int>(h));
    CBlitter::Stretch(source, CBlitter::Geometry{whole, sourceRect, mirrorX, mirrorY}, whole, mode, key,
                      [&](int y, int x0, int count, const std::uint32_t* colours, const std::uint8_t* mask) {
                          auto* out = reinterpret_cast<std::uint32_t*>(picture.scanLine(y));
                          const std::uint32_t* patternRow = pattern.colours.data() + 8 * (y & 7);
                          for (int i = 0; i < count; ++i) {
                              if (!mask[i])
                                  continue;
                              const std::uint32_t p = patternRow[(x0 + i) & 7];
                              const std::uint32_t onBlack = CBlitter::Rop3(rop, p, colours[i], 0);
                              const std::uint32_t onWhite = CBlitter::Rop3(rop, p, colours[i], 0xFFFFFF);
                              if (onBlack != 0 || onWhite != 0xFFFFFF)
                                  out[x0 + i] = 0xFF000000u | onWhite;
                          }
                      });
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, mode == HALFTONE);
    m_painter->drawImage(ToQRectF(dest), picture);
    Touch(dest);
    return true;
}

bool CDC::BlitFromDC(int x, int y, int width, int height, const CDC* source, int xSrc, int ySrc, int srcWidth,
                     int srcHeight, const BlitKey& key, std::uint32_t rop)
{
    bool mirrorX = false, mirrorY = false;
    const CRect dest = DeviceRect(x, y, width, height, mirrorX, mirrorY);
    if (!CBlitter::UsesSource(rop) && key.kind == BlitKey::None) {
        if (m_recorder) {
            m_recorder->PatBlt(CRect(x, y, ClampToInt(std::int64_t(x) + width), ClampToInt(std::int64_t(y) + height)),
                               rop);
            return true;
        }
        return Blit(CNoSource(), dest, mirrorX, mirrorY, CRect(0, 0, 1, 1), COLORONCOLOR, key, rop);
    }
    // Only pictures the DC reads itself can be sources.
    if (!source || !source->m_image || !source->m_writer)
        return false;
    bool sourceMirrorX = false, sourceMirrorY = false;
    CRect from = source->DeviceRect(xSrc, ySrc, srcWidth, srcHeight, sourceMirrorX, sourceMirrorY);
    if (m_recorder) {
        RecordPicture(CImageSource(*source->m_image), from, sourceMirrorX, sourceMirrorY, x, y, width, height, key,
                      rop);
        return true;
    }
    const QImage* image = source->m_image;
    QImage copy;
    if (image == m_image) {
        // Source and target overlap: read from a copy of the source part.
        CRect part;
        if (!part.IntersectRect(from, CRect(0, 0, image->width(), image->height())))
            return true;
        copy = image->copy(part.left, part.top, part.Width(), part.Height());
        from.OffsetRect(-part.left, -part.top);
        image = &copy;
    }
    return Blit(CImageSource(*image), dest, mirrorX != sourceMirrorX, mirrorY != sourceMirrorY, from,
                m_state.stretchMode, key, rop);
}

bool CDC::BitBlt(int x, int y, int width, int height, const CDC* source, int xSrc, int ySrc, std::uint32_t rop)
{
    return BlitFromDC(x, y, width, height, source, xSrc, ySrc, width, height, BlitKey{}, rop);
}

bool CDC::StretchBlt(int x, int y, int width, int height, const CDC* source, int xSrc, int ySrc, int srcWidth,
                     int srcHeight, std::uint32_t rop)
{
    return BlitFromDC(x, y, width, height, source, xSrc, ySrc, srcWidth, srcHeight, BlitKey{}, rop);
}

bool CDC::PatBlt(int x, int y, int width, int height, std::uint32_t rop)
{
    return !CBlitter::UsesSource(rop) && BlitFromDC(x, y, width, height, nullptr, 0, 0, 0, 0, BlitKey{}, rop);
}

bool CDC::TransparentBlt(int x, int y, int width, int height, const CDC* source, int xSrc, int ySrc, int srcWidth,
                         int srcHeight, COLORREF key)
{
    const BlitKey k{BlitKey::Colour, CPixelWriter::Native(key)};
    return BlitFromDC(x, y, width, height, source, xSrc, ySrc, srcWidth, srcHeight, k, SRCCOPY);
}

int CDC::BlitDib(int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                 const DibData& dib, unsigned usage, const BlitKey& key, std::uint32_t rop)
{
    CDibReader reader;
    if (!reader.Open(dib, usage))
        return 0;
    // Stored rows ySrc .. ySrc + srcHeight; the picture's row 0 is its top.
    bool sourceMirrorX = false, sourceMirrorY = false;
    CRect from = SpanRect(xSrc, ySrc, srcWidth, srcHeight, sourceMirrorX, sourceMirrorY);
    if (!reader.IsTopDown())
        from = CRect(from.left, ClampToInt(std::int64_t(reader.FullHeight()) - from.bottom), from.right,
                     ClampToInt(std::int64_t(reader.FullHeight()) - from.top));
    CRect inside;
    if (!inside.IntersectRect(from, CRect(0, 0, reader.Width(), reader.Height())))
        return 0;
    bool mirrorX = false, mirrorY = false;
    const CRect dest = DeviceRect(x, y, width, height, mirrorX, mirrorY);
    BlitKey k = key;
    if (k.kind == BlitKey::Index && reader.BitCount() > 8)
        k.kind = BlitKey::Colour;
    if (m_recorder) {
        RecordPicture(reader, from, sourceMirrorX, sourceMirrorY, x, y, width, height, k, rop);
        return inside.Height();
    }
    if (!Blit(reader, dest, mirrorX != sourceMirrorX, mirrorY != sourceMirrorY, from, m_state.stretchMode, k, rop))
        return 0;
    return inside.Height();
}

int CDC::StretchDIBits(int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                       const DibData& dib, unsigned usage, std::uint32_t rop)
{
    return BlitDib(x, y, width, height, xSrc, ySrc, srcWidth, srcHeight, dib, usage, BlitKey{}, rop);
}

bool CDC::TransparentDIBits(int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                            const DibData& dib, int keyIndex, COLORREF keyColour)
{
    BlitKey key{BlitKey::Colour, CPixelWriter::Native(keyColour)};
    if (keyIndex >= 0) {
        key.kind = BlitKey::Index;
        key.value = static_cast<std::uint32_t>(keyIndex);
    }
    return BlitDib(x, y, width, height, xSrc, ySrc, srcWidth, srcHeight, dib, DIB_RGB_COLORS, key, SRCCOPY) > 0;
}

int CDC::SetDIBitsToDevice(int x, int y, int width, int height, int xSrc, int ySrc, unsigned startScan,
                           unsigned scanLines, const DibData& dib, unsigned usage)
{
    CDibReader reader;
    if (width < 0 || height < 0 || !reader.Open(dib, usage, startScan, scanLines))
        return 0;
    // The source in rows of the whole picture, then of the rows present.
    std::int64_t top = reader.IsTopDown() ? std::int64_t(ySrc) : std::int64_t(reader.FullHeight()) - ySrc - height;
    top -= reader.BandTop();
    const CRect from(xSrc, ClampToInt(top), ClampToInt(std::int64_t(xSrc) + width), ClampToInt(top + height));
    const CPoint corner = ToDevice(x, y);
    const CRect dest(corner.x, corner.y, ClampToInt(std::int64_t(corner.x) + width),
                     ClampToInt(std::int64_t(corner.y) + height));
    if (m_recorder) {
        // One device pixel a DIB pixel: the extents in logical units.
        CPoint far = dest.BottomRight();
        DPtoLP(&far);
        RecordPicture(reader, from, false, false, x, y, ClampToInt(std::int64_t(far.x) - x),
                      ClampToInt(std::int64_t(far.y) - y), BlitKey{}, SRCCOPY);
        return reader.Height();
    }
    if (!Blit(reader, dest, false, false, from, COLORONCOLOR, BlitKey{}, SRCCOPY))
        return 0;
    return reader.Height();
}

bool CDC::DrawIconEx(int x, int y, const CIcon& icon, int width, int height)
{
    const QImage* image = icon.Image();
    if (!image || (!m_painter && !m_recorder))
        return false;
    // A zero extent is the icon's own size in device pixels.
    const CSize own = icon.GetSize();
    const CPoint a = ToDevice(x, y);
    const CPoint b = ToDevice(ClampToInt(std::int64_t(x) + width), ClampToInt(std::int64_t(y) + height));
    bool mirrorX = false, mirrorY = false;
    const CRect dest = SpanRect(a.x, a.y, width ? std::int64_t(b.x) - a.x : own.cx,
                                height ? std::int64_t(b.y) - a.y : own.cy, mirrorX, mirrorY);
    if (m_recorder) {
        CPoint far(ClampToInt(std::int64_t(a.x) + own.cx), ClampToInt(std::int64_t(a.y) + own.cy));
        DPtoLP(&far);
        m_recorder->Picture(CRect(x, y, width ? ClampToInt(std::int64_t(x) + width) : far.x,
                                  height ? ClampToInt(std::int64_t(y) + height) : far.y),
                            PictureOf(*image), SRCCOPY);
        return true;
    }
    if (dest.IsRectEmpty())
        return true;
    DrawBlended(*image, dest, mirrorX, mirrorY, true);
    return true;
}

void CDC::DrawBlended(const QImage& image, const CRect& dest, bool mirrorX, bool mirrorY, bool smooth)
{
    ApplyClip();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform,
                             smooth && (WidthOf(dest) != image.width() || HeightOf(dest) != image.height()));
    m_painter->drawImage(ToQRectF(dest), image.mirrored(mirrorX, mirrorY));
    Touch(dest);
}

bool CDC::AlphaBlendDIBits(int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                           const DibData& dib, int constantAlpha)
{
    if ((!m_painter && !m_recorder) || !dib.info || dib.infoSize < sizeof(BITMAPINFOHEADER) || !dib.bits ||
        constantAlpha < 0 || constantAlpha > 255)
        return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.info, sizeof header);
    if (header.biSize < sizeof header || header.biSize > dib.infoSize || header.biBitCount != 32 ||
        header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT_MIN ||
        (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS))
        return false;
    if (header.biCompression == BI_BITFIELDS) {
        // Only the masks of the plain layout (red, green, blue, after the
        // short header or inside the longer ones).
        std::uint32_t masks[3] = {};
        if (dib.infoSize < sizeof header + sizeof masks)
            return false;
        std::memcpy(masks, static_cast<const std::uint8_t*>(dib.info) + sizeof header, sizeof masks);
        if (masks[0] != 0xFF0000 || masks[1] != 0xFF00 || masks[2] != 0xFF)
            return false;
    }
    const std::int64_t w = header.biWidth;
    const std::int64_t h = header.biHeight < 0 ? -std::int64_t(header.biHeight) : header.biHeight;
    if (w > (1 << 15) || h > (1 << 15) || std::uint64_t(w) * std::uint64_t(h) * 4 > dib.bitsSize)
        return false;
    const bool topDown = header.biHeight < 0;
    bool sourceMirrorX = false, sourceMirrorY = false;
    CRect from = SpanRect(xSrc, ySrc, srcWidth, srcHeight, sourceMirrorX, sourceMirrorY);
    if (!topDown)
        from = CRect(from.left, ClampToInt(h - from.bottom), from.right, ClampToInt(h - from.top));
    CRect inside;
    if (!inside.IntersectRect(from, CRect(0, 0, static_cast<int>(w), static_cast<int>(h))))
        return false;
    QImage image(inside.Width(), inside.Height(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return false;
    const auto* bits = static_cast<const std::uint8_t*>(dib.bits);
    for (int row = 0; row < inside.Height(); ++row) {
        const std::int64_t stored = topDown ? inside.top + row : h - 1 - (inside.top + row);
        const auto* p = bits + (stored * w + inside.left) * 4;
        auto* out = reinterpret_cast<std::uint32_t*>(image.scanLine(row));
        for (int col = 0; col < inside.Width(); ++col, p += 4) {
            // Premultiplied colours never exceed their alpha.
            const std::uint32_t a = p[3] * std::uint32_t(constantAlpha) / 255;
            auto scaled = [&](std::uint8_t c) { return std::min<std::uint32_t>(a, c * std::uint32_t(constantAlpha) / 255); };
            out[col] = (a << 24) | (scaled(p[2]) << 16) | (scaled(p[1]) << 8) | scaled(p[0]);
        }
    }
    const auto [x0, x1] = DestPart(x, width, from.left, from.right, inside.left, inside.right, sourceMirrorX);
    const auto [y0, y1] = DestPart(y, height, from.top, from.bottom, inside.top, inside.bottom, sourceMirrorY);
    if (m_recorder) {
        m_recorder->Picture(CRect(x0, y0, x1, y1), PictureOf(image.mirrored(sourceMirrorX, sourceMirrorY)), SRCCOPY);
        return true;
    }
    bool mirrorX = false, mirrorY = false;
    const CRect dest = DeviceRect(x0, y0, ClampToInt(std::int64_t(x1) - x0), ClampToInt(std::int64_t(y1) - y0),
                                  mirrorX, mirrorY);
    if (!dest.IsRectEmpty())
        DrawBlended(image, dest, mirrorX != sourceMirrorX, mirrorY != sourceMirrorY, false);
    return true;
}

void CDC::RecordPicture(const IBlitSource& source, CRect from, bool mirrorX, bool mirrorY, int x, int y, int width,
                        int height, const BlitKey& key, std::uint32_t rop)
{
    CRect inside;
    if (!inside.IntersectRect(from, CRect(0, 0, source.Width(), source.Height())))
        return;
    // A source reaching beyond the picture shrinks the destination to the part inside.
    const auto [x0, x1] = DestPart(x, width, from.left, from.right, inside.left, inside.right, mirrorX);
    const auto [y0, y1] = DestPart(y, height, from.top, from.bottom, inside.top, inside.bottom, mirrorY);
    RecordedPicture picture;
    picture.width = inside.Width();
    picture.height = inside.Height();
    picture.pixels.resize(std::size_t(picture.width) * std::size_t(picture.height));
    std::vector<std::uint8_t> indexes(static_cast<std::size_t>(picture.width));
    for (int row = 0; row < picture.height; ++row) {
        const int target = mirrorY ? picture.height - 1 - row : row;
        std::uint32_t* out = picture.pixels.data() + std::size_t(target) * std::size_t(picture.width);
        source.ReadRow(inside.top + row, inside.left, inside.right, out);
        const bool byIndex =
            key.kind == BlitKey::Index && source.ReadIndexes(inside.top + row, inside.left, inside.right, indexes.data());
        for (int col = 0; col < picture.width; ++col) {
            const bool keyed = (key.kind == BlitKey::Colour && out[col] == key.value) ||
                               (byIndex && indexes[static_cast<std::size_t>(col)] == key.value);
            out[col] = keyed ? 0u : (out[col] | 0xFF000000u);
            picture.hasAlpha = picture.hasAlpha || keyed;
        }
        if (mirrorX)
            std::reverse(out, out + picture.width);
    }
    m_recorder->Picture(CRect(x0, y0, x1, y1), picture, rop);
}

// ---- Text ----------------------------------------------------------------

// The selected font made for the device and the current mapping.
struct CDC::TextFont {
    CFont font;
    int deviceHeight = 0;
    int dpiY = 0;
    const QPaintDevice* device = nullptr;
    QFont qfont;
    QFontMetrics metrics;
};

namespace {

constexpr int kMaxFontPixels = 1 << 15;

} // namespace

const CDC::TextFont* CDC::RealizeFont() const
{
    // Fonts need the application's font database.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    const CFont& font = m_state.font;
    const LOGFONT& lf = font.LogFont();
    int deviceHeight = 0;
    if (lf.lfHeight != 0) {
        const double scale = std::fabs(double(m_state.viewportExt.cy) / m_state.windowExt.cy);
        const double h = std::clamp(std::fabs(double(lf.lfHeight)) * scale, 1.0, double(kMaxFontPixels));
        deviceHeight = static_cast<int>(std::floor(h + 0.5)) * (lf.lfHeight < 0 ? -1 : 1);
    }
    const TextFont* cached = m_textFont.get();
    if (cached && cached->font == font && cached->deviceHeight == deviceHeight && cached->device == m_device &&
        cached->dpiY == m_info.dpiY)
        return cached;
    const QFont qfont = font.Realize(deviceHeight, m_info.dpiY);
    m_textFont.reset(new TextFont{font, deviceHeight, m_info.dpiY, m_device, qfont,
                                  m_device ? QFontMetrics(qfont, m_device) : QFontMetrics(qfont)});
    return m_textFont.get();
}

int CDC::LogicalWidth(int deviceWidth) const
{
    CSize size(deviceWidth, 0);
    DPtoLP(&size);
    return size.cx;
}

int CDC::LogicalHeight(int deviceHeight) const
{
    CSize size(0, deviceHeight);
    DPtoLP(&size);
    return size.cy;
}

bool CDC::GetTextMetrics(TEXTMETRIC* metrics) const
{
    const TextFont* f = RealizeFont();
    if (!metrics || !f)
        return false;
    const LOGFONT& lf = m_state.font.LogFont();
    const QFontMetrics& m = f->metrics;
    TEXTMETRIC tm;
    tm.tmAscent = LogicalHeight(m.ascent());
    tm.tmDescent = LogicalHeight(m.descent());
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = LogicalHeight(std::max(0, m.ascent() + m.descent() - f->qfont.pixelSize()));
    tm.tmExternalLeading = LogicalHeight(std::max(0, m.leading()));
    tm.tmAveCharWidth = LogicalWidth(m.averageCharWidth());
    tm.tmMaxCharWidth = LogicalWidth(m.maxWidth());
    tm.tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : std::clamp<int>(lf.lfWeight, 1, 1000);
    tm.tmItalic = lf.lfItalic ? 1 : 0;
    tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    tm.tmPitchAndFamily = lf.lfPitchAndFamily;
    tm.tmCharSet = lf.lfCharSet;
    *metrics = tm;
    return true;
}

CSize CDC::GetTextExtent(std::string_view text) const
{
    const TextFont* f = RealizeFont();
    if (!f)
        return {};
    const int width = f->metrics.horizontalAdvance(ToQString(text));
    // Under a mapping that stretches device units, the two halves may each be near the int limit.
    return CSize(LogicalWidth(width),
                 ClampToInt(std::int64_t(LogicalHeight(f->metrics.ascent())) + LogicalHeight(f->metrics.descent())));
}

std::string CDC::GetTextFace() const
{
    const TextFont* f = RealizeFont();
    if (!f) {
        const LOGFONT& lf = m_state.font.LogFont();
        return CFont::SubstituteFace(std::string_view(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE)),
                                     lf.lfPitchAndFamily);
    }
    return FromQString(QFontInfo(f->qfont).family());
}

void CDC::DrawTextLine(const TextFont& f, CPoint reference, const QString& text, int width, unsigned align,
                       bool rotate)
{
    const int ascent = f.metrics.ascent();
    const int descent = f.metrics.descent();
    int dx = 0;
    if ((align & TA_CENTER) == TA_CENTER)
        dx = -(width / 2);
    else if (align & TA_RIGHT)
        dx = -width;
    int baseline = ascent;
    if ((align & TA_BASELINE) == TA_BASELINE)
        baseline = 0;
    else if (align & TA_BOTTOM)
        baseline = -descent;
    const int escapement = rotate ? f.font.LogFont().lfEscapement % 3600 : 0;

    ApplyClip();
    QTransform transform;
    transform.translate(reference.x, reference.y);
    if (escapement != 0)
        transform.rotate(-escapement / 10.0);
    const QRect box(dx, baseline - ascent, width, ascent + descent);
    m_painter->save();
    m_painter->setTransform(transform);
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (m_state.bkMode == OPAQUE && width > 0)
        m_painter->fillRect(box, ToQColor(m_state.bkColour));
    m_painter->setFont(f.qfont);
    m_painter->setPen(ToQColor(m_state.textColour));
    m_painter->drawText(QPoint(dx, baseline), text);
    m_painter->restore();
    // Slanted and overhanging letters may reach past the advance.
    const QRectF touched = transform.mapRect(QRectF(box.adjusted(-ascent, -2, ascent, 2)));
    Touch(CRect(RoundCoord(std::floor(touched.left())), RoundCoord(std::floor(touched.top())),
                RoundCoord(std::ceil(touched.right())), RoundCoord(std::ceil(touched.bottom()))));
}

std::vector<int> CDC::TextAdvances(std::string_view text) const
{
    // Each character's width is what it adds to the extent, so the widths
    // add up to the extent of the whole text.
    std::vector<int> advances;
    advances.reserve(text.size());
    int previous = 0;
    for (std::size_t i = 1; i <= text.size(); ++i) {
        const int width = GetTextExtent(text.substr(0, i)).cx;
        advances.push_back(width - previous);
        previous = width;
    }
    return advances;
}

bool CDC::TextOut(int x, int y, std::string_view text)
{
    const TextFont* f = RealizeFont();
    if (!f || (!m_painter && !m_recorder))
        return false;
    const QString line = ToQString(text);
    const int width = f->metrics.horizontalAdvance(line);
    const bool updateCp = (m_state.textAlign & TA_UPDATECP) != 0;
    const CPoint reference = updateCp ? ToDevice(m_state.position.x, m_state.position.y) : ToDevice(x, y);
    if (m_recorder)
        m_recorder->Text(updateCp ? m_state.position : CPoint(x, y), text, TextAdvances(text), m_state.textAlign,
                         nullptr);
    else
        DrawTextLine(*f, reference, line, width, m_state.textAlign, true);
    if (updateCp) {
        // The position moves to the far end of left-aligned text and to the
        // near end of right-aligned text.
        const unsigned horizontal = m_state.textAlign & TA_CENTER;
        const int advance = horizontal == TA_LEFT ? width : (horizontal == TA_RIGHT ? -width : 0);
        const double angle = (f->font.LogFont().lfEscapement % 3600) * std::numbers::pi / 1800;
        CPoint end(RoundCoord(reference.x + advance * std::cos(angle)), RoundCoord(reference.y - advance * std::sin(angle)));
        DPtoLP(&end);
        m_state.position = end;
    }
    return true;
}

int CDC::DrawText(std::string_view text, CRect* rect, unsigned format)
{
    const TextFont* f = RealizeFont();
    if (!rect || !f)
        return 0;
    const QFontMetrics& m = f->metrics;
    CRect box = *rect;
    LPtoDP(&box);
    box.NormalizeRect();

    // Paragraphs, with the letter a single '&' marks.
    struct Line {
        QString text;
        qsizetype underline = -1;
        // The width the line breaking measured it at, in pieces: a
        // calculated rectangle that wide breaks the text the same way.
        std::int64_t broken = 0;
    };
    std::vector<Line> paragraphs(1);
    const QString all = ToQString(text);
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QChar c = all[i];
        if (c == u'\r' || c == u'\n') {
            if (format & DT_SINGLELINE)
                continue;
            if (c == u'\n')
                paragraphs.emplace_back();
            continue;
        }
        if (c == u'&' && !(format & DT_NOPREFIX) && i + 1 < all.size()) {
            ++i;
            if (all[i] != u'&')
                paragraphs.back().underline = paragraphs.back().text.size();
        }
        paragraphs.back().text += all[i];
    }

    // Lines: with DT_WORDBREAK a line ends before the word that would pass
    // the right edge; a word alone on its line may pass it, unless
    // DT_EDITCONTROL breaks it after its last letter that fits (at least one).
    std::vector<Line> lines;
    const bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    const bool breakWords = wrap && (format & DT_EDITCONTROL);
    for (const Line& p : paragraphs) {
        const qsizetype n = p.text.size();
        qsizetype start = 0;
        while (true) {
            qsizetype end = -1;
            std::int64_t width = 0;
            for (qsizetype i = start; wrap && i < n;) {
                qsizetype ws = i;
                while (ws < n && p.text[ws] == u' ')
                    ++ws;
                if (ws >= n)
                    break;
                qsizetype we = ws;
                while (we < n && p.text[we] != u' ')
                    ++we;
                // The line grows by the spaces and the word, measured once.
                const std::int64_t grown = width + m.horizontalAdvance(p.text.mid(i, we - i));
                if (end >= 0 && grown > WidthOf(box))
                    break;
                if (end < 0 && breakWords && grown > WidthOf(box)) {
                    // The widths grow with the letters taken, so a search finds the cut.
                    qsizetype fits = ws + 1, passes = we;
                    while (passes - fits > 1) {
                        const qsizetype mid = fits + (passes - fits) / 2;
                        (m.horizontalAdvance(p.text.mid(i, mid - i)) <= WidthOf(box) ? fits : passes) = mid;
                    }
                    end = fits;
                    width = m.horizontalAdvance(p.text.mid(i, fits - i));
                    break;
                }
                width = grown;
                end = we;
                i = we;
            }
            if (end < 0)
                end = n;
            const bool marked = p.underline >= start && p.underline < end;
            lines.push_back(Line{p.text.mid(start, end - start), marked ? p.underline - start : -1, width});
            start = end;
            while (start < n && p.text[start] == u' ')
                ++start;
            if (start >= n)
                break;
        }
    }

    const int lineHeight = m.ascent() + m.descent();
    int widest = 0;
    std::vector<int> widths;
    for (const Line& line : lines) {
        widths.push_back(m.horizontalAdvance(line.text));
        widest = std::max({widest, widths.back(), ClampToInt(line.broken)});
    }
    // In logical units a line is as high as GetTextMetrics says.
    const int height = ClampToInt((std::int64_t(LogicalHeight(m.ascent())) + LogicalHeight(m.descent())) *
                                  static_cast<std::int64_t>(lines.size()));
    if (format & DT_CALCRECT) {
        rect->right = ClampToInt(std::int64_t(rect->left) + LogicalWidth(widest));
        rect->bottom = ClampToInt(std::int64_t(rect->top) + height);
        return height;
    }
    if (!m_painter && !m_recorder)
        return height;

    std::int64_t y = box.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = box.top + (HeightOf(box) - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = std::int64_t(box.bottom) - lineHeight;
    }
    const CRect visible = VisibleBox();
    if (m_painter) {
        ApplyClip();
        m_painter->save();
        if (!(format & DT_NOCLIP))
            m_painter->setClipRect(ToQRectF(box), Qt::IntersectClip);
    }
    CRect clip = *rect;
    clip.NormalizeRect();
    for (std::size_t i = 0; i < lines.size() && y < visible.bottom; ++i, y += lineHeight) {
        if (y + lineHeight <= visible.top)
            continue;
        std::int64_t x = box.left;
        if (format & DT_CENTER)
            x = box.left + (WidthOf(box) - widths[i]) / 2;
        else if (format & DT_RIGHT)
            x = std::int64_t(box.right) - widths[i];
        QRectF underline;
        if (lines[i].underline >= 0) {
            const double left = double(x) + m.horizontalAdvance(lines[i].text.left(lines[i].underline));
            const int width = m.horizontalAdvance(lines[i].text.mid(lines[i].underline, 1));
            underline = QRectF(left, double(y) + m.ascent() + m.underlinePos(), width, std::max(1, m.lineWidth()));
        }
        if (m_recorder) {
            CPoint reference(ClampToInt(x), ClampToInt(y));
            DPtoLP(&reference);
            const std::string bytes = Utf8ToCp1257(lines[i].text.toStdString());
            m_recorder->Text(reference, bytes, TextAdvances(bytes), TA_LEFT | TA_TOP,
                             (format & DT_NOCLIP) ? nullptr : &clip);
            if (!underline.isEmpty()) {
                CRect mark(RoundCoord(underline.left()), RoundCoord(underline.top()), RoundCoord(underline.right()),
                           RoundCoord(underline.bottom()));
                DPtoLP(&mark);
                m_recorder->FillRect(mark, CBrush(m_state.textColour));
            }
            continue;
        }
        DrawTextLine(*f, CPoint(ClampToInt(x), ClampToInt(y)), lines[i].text, widths[i], TA_LEFT | TA_TOP, false);
        if (!underline.isEmpty())
            m_painter->fillRect(underline, ToQColor(m_state.textColour));
    }
    if (m_painter)
        m_painter->restore();
    return height;
}
