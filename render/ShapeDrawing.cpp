#include "render/ShapeDrawing.h"

#include "core/Shape.h"
#include "layers/DrawStyle.h"
#include "layers/DrawingView.h"
#include "platform/DC.h"
#include "render/AreaPainter.h"
#include "render/DeviceShape.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kViolet = RGB(128, 0, 255);
// Clipped shapes reach this far past the extent, so that line caps and
// the joins along the clip lie outside the window.
constexpr double kClipMargin = 1.1;

// The pen and brush a mode draws with, and its raster operation.
struct Look {
    const CDrawStyle* style = nullptr; // none: the context's own pen and brush
    CDrawStyle own;
    int rop = 0;          // 0: the context's own
    bool hollow = false;  // no fill, whatever brush the context has
};

CDrawStyle Hairline(std::uint32_t code, int width, COLORREF colour)
{
    CDrawStyle style;
    style.penStyle = code;
    style.penWidth = static_cast<std::uint32_t>(width);
    style.penColor = colour;
    style.brushStyle = BS_NULL;
    return style;
}

Look LookOf(int mode, bool area, const CDrawStyle* given)
{
    Look look;
    auto own = [&look](const CDrawStyle& style) {
        look.own = style;
        look.style = &look.own;
    };
    switch (mode & kShapeLookMask) {
    case kShapeInvert:
        own(Hairline(PS_SOLID, 0, kWhite));
        look.rop = R2_NOT;
        break;
    case kShapeHighlight:
        own(area ? CDrawStyle::LoneArea() : CDrawStyle::LoneLine());
        break;
    case kShapeHighlightViolet:
    case kShapeHighlightLine:
        if (area) {
            look.style = given;
            break;
        }
        own(CDrawStyle::LoneLine());
        if ((mode & kShapeLookMask) == kShapeHighlightViolet)
            look.own.penColor = kViolet;
        break;
    case kShapeWhite:
        look.rop = R2_WHITE;
        if (given || !area)
            own(Hairline(PS_SOLID, given ? static_cast<int>(given->penWidth & 0xFFFF) : 0, kWhite));
        else
            look.hollow = true;
        break;
    case kShapeXorDotted:
        own(Hairline(PS_DOT, 0, kWhite));
        look.rop = R2_XORPEN;
        break;
    default:
        look.style = given;
        break;
    }
    return look;
}

// The context state that a memory context takes over from the window's.
void CopyDrawingState(const CDC& from, CDC& to)
{
    to.SelectObject(from.GetCurrentPen());
    to.SelectObject(from.GetCurrentBrush());
    to.SetROP2(from.GetROP2());
    to.SetBkMode(from.GetBkMode());
    to.SetBkColor(from.GetBkColor());
    to.SetTextColor(from.GetTextColor());
}

// What drawing changes on a context beyond the painters' pens and brushes
// (raster operation, background, text colour), put back when it ends.
class CContextScope {
public:
    CContextScope(CDC& dc, const Look& look, bool area)
        : m_dc(dc), m_bkMode(dc.GetBkMode()), m_bkColour(dc.GetBkColor()), m_textColour(dc.GetTextColor())
    {
        if (look.rop)
            m_rop = dc.SetROP2(look.rop);
        if (look.hollow)
            m_brush = dc.SelectObject(CBrush::FromStock(NULL_BRUSH));
        // Styled lines leave their gaps alone, as on the map.
        if (!area)
            dc.SetBkMode(TRANSPARENT);
    }
    ~CContextScope()
    {
        if (m_rop)
            m_dc.SetROP2(m_rop);
        if (m_brush.GetSafeHandle())
            m_dc.SelectObject(m_brush);
        m_dc.SetBkMode(m_bkMode);
        m_dc.SetBkColor(m_bkColour);
        m_dc.SetTextColor(m_textColour);
    }
    CContextScope(const CContextScope&) = delete;
    CContextScope& operator=(const CContextScope&) = delete;

private:
    CDC& m_dc;
    int m_rop = 0;
    int m_bkMode;
    COLORREF m_bkColour;
    COLORREF m_textColour;
    CBrush m_brush;
};

int DrawShape(const CShape& shape, IDrawingView& view, CDC* given, const CDrawStyle* style, int mode, bool area)
{
    if (shape.GetPointCount() == 0)
        return 0;
    std::unique_ptr<CDC> window;
    CDC* dc = given;
    if (!dc) {
        window = view.OpenWindowDC();
        dc = window.get();
    }
    view.PrepareDCMapping(*dc);
    std::unique_ptr<CDC> back;
    if (mode & kShapeAlsoBackBuffer) {
        back = view.OpenBackBufferDC(*dc);
        if (back) {
            view.PrepareDCMapping(*back);
            CopyDrawingState(*dc, *back);
        }
    }

    // Map points in the device conversion's range only: shapes reaching
    // out of the view are clipped first.
    CMapRect clip = view.GetMapExtent();
    if (!CDeviceShape::LiesInside(shape.GetExtent(), clip))
        clip.Scale(kClipMargin);
    CDeviceShape device;
    const bool drawn = device.Convert(shape, view, clip, area);

    const Look look = LookOf(mode, area, style);
    CContextScope scope(*dc, look, area);
    std::unique_ptr<CContextScope> backScope;
    if (back)
        backScope = std::make_unique<CContextScope>(*back, look, area);
    if (drawn) {
        if (area) {
            CAreaPainter painter(*dc, back.get());
            if (look.style)
                painter.SetStyle(*look.style);
            painter.DrawPolyPolygon(device.Points(), device.Counts(), device.PartCount());
        } else {
            CLinePainter painter(*dc, back.get());
            if (look.style)
                painter.SetStyle(*look.style);
            painter.DrawPolyPolyline(device.Points(), device.Counts(), device.PartCount());
        }
    }
    return 1;
}

} // namespace

int DrawShapePolyline(const CShape& shape, IDrawingView& view, CDC* dc, const CDrawStyle* style, int mode)
{
    return DrawShape(shape, view, dc, style, mode, false);
}

int DrawShapePolygon(const CShape& shape, IDrawingView& view, CDC* dc, const CDrawStyle* style, int mode)
{
    return DrawShape(shape, view, dc, style, mode, true);
}
