#include "mapdoc/ScaleBar.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "platform/NumberText.h"
#include "render/SavedDC.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The bar's space: 1000 units per inch.
constexpr int kUnitsPerInch = 1000;
constexpr int kUnitsPerCentimetre = 394;
constexpr int kBarLeft = 59;
constexpr int kBarTop = 138;
constexpr int kBarHeight = 39;
constexpr int kHeight = 197;
constexpr int kRightMargin = 20; // with the left one, the 79 beside the segments
constexpr int kTextHeight = 111;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// Hundredths of a millimetre in an inch.
constexpr int kHmmPerInch = 2540;

CFont MakeLabelFont()
{
    CFont font;
    font.CreateFont(-kTextHeight, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    return font;
}

int ClampToInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

// Right edge, left edge, bottom, top, in that order.
CRect PushInside(CRect r, const CRect& parent)
{
    if (r.right > parent.right)
        r.OffsetRect(parent.right - r.right, 0);
    if (r.left < parent.left)
        r.OffsetRect(parent.left - r.left, 0);
    if (r.bottom > parent.bottom)
        r.OffsetRect(0, parent.bottom - r.bottom);
    if (r.top < parent.top)
        r.OffsetRect(0, parent.top - r.top);
    return r;
}

// A context of no device at a resolution, mapped to the bar's space.
void MapToBarSpace(CDC& dc, int dpiX, int dpiY)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(kUnitsPerInch, kUnitsPerInch);
    dc.SetViewportExt(dpiX, dpiY);
}

} // namespace

double GetScaleBarStep(double scale)
{
    if (!(scale >= 1))
        return scale;
    double q = 0.1;
    double d = std::floor((scale + 0.05) * 10);
    while (d > 100) {
        q *= 10;
        d = std::floor((scale + q / 2) / q);
    }
    return d * q;
}

CScaleBarText GetScaleBarText(double step, int segments)
{
    // The step is in centimetres.
    const char* format = "%g";
    double factor = 0.01;
    CScaleBarText text;
    text.unit = " m";
    if (step >= 50000) {
        factor = 0.00001;
        text.unit = " km";
    } else if (step <= 1) {
        format = "%1.2g";
        factor = 1;
        text.unit = " cm";
    }
    text.labels.push_back("0");
    for (int i = 1; i < segments; ++i)
        text.labels.push_back(FormatC(format, step * i * factor));
    text.closingNumber = FormatC(format, step * segments * factor);
    return text;
}

int GetScaleBarSegmentLength(double step, double scale)
{
    const double length = std::round(kUnitsPerCentimetre * step / scale);
    // A broken scale draws no bar rather than one off the page.
    if (!std::isfinite(length))
        return 0;
    return static_cast<int>(std::clamp(length, 0.0, 1e6));
}

CRect PlaceScaleBar(const CScaleBarPlace& place, CSize size, const CRect& parent)
{
    const int64_t left = place.fromLeft ? int64_t(parent.left) + place.offsetX
                                        : int64_t(parent.right) - place.offsetX - size.cx;
    const int64_t top = place.fromTop ? int64_t(parent.top) + place.offsetY
                                      : int64_t(parent.bottom) - place.offsetY - size.cy;
    return PushInside(CRect(CPoint(ClampToInt(left), ClampToInt(top)), size), parent);
}

CScaleBarPlace GetScaleBarPlace(const CRect& rect, const CRect& parent)
{
    CScaleBarPlace place;
    const int leftGap = rect.left - parent.left, rightGap = parent.right - rect.right;
    const int topGap = rect.top - parent.top, bottomGap = parent.bottom - rect.bottom;
    place.fromLeft = leftGap < rightGap || leftGap <= 0;
    place.fromTop = topGap < bottomGap || topGap <= 0;
    place.offsetX = place.fromLeft ? leftGap : rightGap;
    place.offsetY = place.fromTop ? topGap : bottomGap;
    return place;
}

// ------------------------------------------------------------ the bar

struct CScaleBar::CLayout {
    int segment = 0;
    CScaleBarText text;
    int unitWidth = 0;
    CSize size;
};

CScaleBar::CScaleBar(CDrelView& view) : m_view(view)
{
    const CMapSettings& s = view.GetDocument().Settings();
    m_place.fromLeft = s.scaleBarFromLeft;
    m_place.fromTop = s.scaleBarFromTop;
    m_place.offsetX = s.scaleBarOffsetX;
    m_place.offsetY = s.scaleBarOffsetY;
}

CScaleBar::~CScaleBar() = default;

void CScaleBar::SetWindow(std::unique_ptr<IScaleBarWindow> window)
{
    m_window = std::move(window);
}

CScaleBar::CLayout CScaleBar::Layout(CDC& dc) const
{
    CLayout layout;
    const double scale = m_view.GetScaleDenominator();
    const double step = GetScaleBarStep(scale);
    layout.segment = GetScaleBarSegmentLength(step, scale);
    layout.text = GetScaleBarText(step, m_segments);
    const CFont before = dc.SelectObject(MakeLabelFont());
    layout.unitWidth = dc.GetTextExtent(layout.text.unit).cx;
    const int closingWidth = dc.GetTextExtent(layout.text.closingNumber).cx;
    dc.SelectObject(before);
    layout.size = CSize(closingWidth / 2 + layout.unitWidth + m_segments * layout.segment + kBarLeft + kRightMargin,
                        kHeight);
    return layout;
}

CSize CScaleBar::MeasureBar(CDC& dc) const
{
    return Layout(dc).size;
}

void CScaleBar::DrawBar(CDC& dc, CPoint origin) const
{
    const CLayout layout = Layout(dc);
    CSavedDC saved(dc);
    dc.SelectObject(MakeLabelFont());
    dc.SelectObject(CPen::FromStock(BLACK_PEN));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kBlack);
    dc.SetTextAlign(TA_CENTER | TA_BOTTOM);
    const CBrush black(kBlack), white(kWhite);
    const int top = origin.y + kBarTop;
    for (int i = 0; i < m_segments; ++i) {
        const int x = origin.x + kBarLeft + i * layout.segment;
        dc.SelectObject(i % 2 == 0 ? black : white);
        dc.Rectangle(x, top, x + layout.segment, top + kBarHeight);
        dc.TextOut(x, top, layout.text.labels[static_cast<size_t>(i)]);
    }
    // The number stands over the bar's end, its unit after it.
    const int end = origin.x + kBarLeft + m_segments * layout.segment;
    dc.TextOut(end + layout.unitWidth / 2, top, layout.text.closingNumber + layout.text.unit);
}

void CScaleBar::Paint(CDC& dc, CSize client) const
{
    if (client.cx <= 0 || client.cy <= 0)
        return;
    CSavedDC saved(dc);
    const int dpiX = std::max(dc.GetDeviceCaps(LOGPIXELSX), 1), dpiY = std::max(dc.GetDeviceCaps(LOGPIXELSY), 1);
    const CSize extent(std::max(client.cx * kUnitsPerInch / dpiX, 1), std::max(client.cy * kUnitsPerInch / dpiY, 1));
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(extent);
    dc.SetViewportExt(client);
    dc.FillSolidRect(CRect(CPoint(), extent), kWhite);
    DrawBar(dc, CPoint());
}

CSize CScaleBar::GetPixelSize() const
{
    const int dpiX = std::max(m_view.GetLogPixelsX(), 1), dpiY = std::max(m_view.GetLogPixelsY(), 1);
    CDC dc;
    CDC::DeviceInfo info = dc.GetDeviceInfo();
    info.dpiX = dpiX;
    info.dpiY = dpiY;
    dc.SetDeviceInfo(info);
    MapToBarSpace(dc, dpiX, dpiY);
    const CSize units = MeasureBar(dc);
    return CSize(MulDiv(units.cx, dpiX, kUnitsPerInch), MulDiv(units.cy, dpiY, kUnitsPerInch));
}

CPoint CScaleBar::PixelOffsets()
{
    if (!m_pixelsKnown) {
        m_pixelOffsets = CPoint(MulDiv(m_place.offsetX, std::max(m_view.GetLogPixelsX(), 1), kHmmPerInch),
                                MulDiv(m_place.offsetY, std::max(m_view.GetLogPixelsY(), 1), kHmmPerInch));
        m_pixelsKnown = true;
    }
    return m_pixelOffsets;
}

void CScaleBar::MoveTo(const CRect& rect)
{
    m_rect = rect;
    if (m_window) {
        m_window->MoveWindow(rect);
        m_window->Repaint();
    }
}

void CScaleBar::PlaceForDrawing()
{
    const CPoint offsets = PixelOffsets();
    const CScaleBarPlace pixels{m_place.fromLeft, m_place.fromTop, offsets.x, offsets.y};
    MoveTo(PlaceScaleBar(pixels, GetPixelSize(), CRect(CPoint(), m_view.GetClientSize())));
}

void CScaleBar::PlaceAndStore()
{
    PlaceForDrawing();
    Store(m_rect);
}

void CScaleBar::Store(const CRect& rect)
{
    const CScaleBarPlace pixels = GetScaleBarPlace(rect, CRect(CPoint(), m_view.GetClientSize()));
    const CPoint offsets = PixelOffsets();
    // An edge whose gap did not change keeps its stored offset, which the
    // pixels only approximate.
    if (pixels.fromLeft != m_place.fromLeft || pixels.offsetX != offsets.x) {
        m_place.fromLeft = pixels.fromLeft;
        m_place.offsetX = MulDiv(pixels.offsetX, kHmmPerInch, std::max(m_view.GetLogPixelsX(), 1));
        m_pixelOffsets.x = pixels.offsetX;
    }
    if (pixels.fromTop != m_place.fromTop || pixels.offsetY != offsets.y) {
        m_place.fromTop = pixels.fromTop;
        m_place.offsetY = MulDiv(pixels.offsetY, kHmmPerInch, std::max(m_view.GetLogPixelsY(), 1));
        m_pixelOffsets.y = pixels.offsetY;
    }
    CDrelDoc& document = m_view.GetDocument();
    CMapSettings& s = document.Settings();
    const CScaleBarPlace stored{s.scaleBarFromLeft, s.scaleBarFromTop, s.scaleBarOffsetX, s.scaleBarOffsetY};
    if (stored == m_place)
        return;
    s.scaleBarFromLeft = m_place.fromLeft;
    s.scaleBarFromTop = m_place.fromTop;
    s.scaleBarOffsetX = m_place.offsetX;
    s.scaleBarOffsetY = m_place.offsetY;
    document.SetModifiedFlag();
}

// ------------------------------------------------------------ dragging

void CScaleBar::DrawFrame(const CRect& frame) const
{
    std::unique_ptr<CDC> dc = m_view.OpenWindowDC();
    dc->SetROP2(R2_NOT);
    dc->SelectObject(CBrush::FromStock(NULL_BRUSH));
    dc->SelectObject(CPen::FromStock(BLACK_PEN));
    dc->Rectangle(frame);
}

void CScaleBar::BeginDrag(CPoint cursor)
{
    if (m_dragging)
        return;
    m_dragging = true;
    m_dragStart = cursor;
    m_frame = m_rect;
    DrawFrame(m_frame);
}

void CScaleBar::DragTo(CPoint cursor)
{
    if (!m_dragging)
        return;
    CRect frame = m_rect;
    frame.OffsetRect(cursor.x - m_dragStart.x, cursor.y - m_dragStart.y);
    frame = PushInside(frame, CRect(CPoint(), m_view.GetClientSize()));
    if (frame == m_frame)
        return;
    DrawFrame(m_frame);
    m_frame = frame;
    DrawFrame(m_frame);
}

void CScaleBar::EndDrag()
{
    if (!m_dragging)
        return;
    CancelDrag();
    if (m_frame == m_rect)
        return;
    Store(m_frame);
    MoveTo(m_frame);
}

void CScaleBar::CancelDrag()
{
    if (!m_dragging)
        return;
    DrawFrame(m_frame);
    m_dragging = false;
}

// ------------------------------------------------------------ pages

void CScaleBar::DrawOnPage(CDC& dc, const CRect& page) const
{
    if (!m_view.IsScaleBarVisible())
        return;
    // Hundredths of a millimetre to thousandths of an inch.
    const auto mils = [](int v) { return ClampToInt((int64_t(v) * 100 + 127) / 254); };
    const CScaleBarPlace place{m_place.fromLeft, m_place.fromTop, mils(m_place.offsetX), mils(m_place.offsetY)};
    const CRect rect = PlaceScaleBar(place, MeasureBar(dc), page);
    dc.FillSolidRect(rect, kWhite);
    DrawBar(dc, rect.TopLeft());
}
