#include "shell/StyleSample.h"

#include "platform/DC.h"
#include "platform/Strings.h"
#include "render/AreaPainter.h"
#include "render/LabelPainter.h"
#include "render/StyleSamples.h"

#include <cstdlib>
#include <string_view>

namespace {

constexpr int kNoneString = 3000;

void DrawNone(CDC& dc, const CRect& content, const ControlColors& colours, const CFont& textFont)
{
    if (textFont.GetSafeHandle())
        dc.SelectObject(textFont);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(colours.shadow);
    CRect rect = content;
    dc.DrawText(LoadString(kNoneString), &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// "AaBbCc" centred: the frame behind it, the halo, the text.
void DrawTextSample(CDC& dc, const CRect& content, const StyleSample& sample)
{
    LOGFONT logFont = sample.font.font;
    logFont.lfHeight = MulDiv(logFont.lfHeight, dc.GetDeviceCaps(LOGPIXELSY), 72);
    const CFont font(logFont);
    dc.SelectObject(font);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    const std::string_view text = StyleSample::kText;
    const CSize extent = dc.GetTextExtent(text);
    const CPoint centre = content.CenterPoint();
    const int x = centre.x - extent.cx / 2;
    const int y = centre.y - extent.cy / 2;

    if (sample.frame) {
        const CDrawStyle& style = sample.frameStyle;
        // The frame's widths are thousandths of an inch.
        const int width = MulDiv(static_cast<int>(style.penWidth & 0xFFFF), dc.GetDeviceCaps(LOGPIXELSX), 1000);
        const CPen pen(static_cast<int>(style.penStyle & 0xFFFF), width, style.penColor);
        const CBrush brush = CAreaPainter::MakeFillBrush(style);
        dc.SelectObject(pen);
        dc.SelectObject(brush);
        dc.SetBkMode(style.backMode);
        dc.SetBkColor(style.backColor);
        CRect box(x, y, x + extent.cx, y + extent.cy);
        const int widen = std::abs(logFont.lfHeight) / 4;
        box.InflateRect(widen, widen);
        dc.Rectangle(box);
    }
    dc.SetBkMode(TRANSPARENT);
    if (sample.halo)
        DrawTextAround(dc, x, y, text, sample.frameStyle.brushColor & 0xFFFFFF, 1, 1);
    dc.SetTextColor(sample.font.color & 0xFFFFFF);
    dc.TextOut(x, y, text);
}

} // namespace

CRect StyleSampleContent(const CRect& client, bool pressed, bool disabled)
{
    CRect content = client;
    if (pressed && !disabled) {
        content.left += 3;
        content.top += 3;
        content.right -= 1;
        content.bottom -= 1;
    } else {
        content.DeflateRect(2, 2);
    }
    return content;
}

void DrawStyleSample(CDC& dc, const CRect& content, const StyleSample& sample, const ControlColors& colours,
                     const CFont& textFont)
{
    const int saved = dc.SaveDC();
    dc.IntersectClipRect(content);
    if (sample.none) {
        switch (sample.kind) {
        case StyleSample::kPointStyle:
        case StyleSample::kLineStyle:
        case StyleSample::kAreaStyle:
            DrawNone(dc, content, colours, textFont);
            break;
        case StyleSample::kMarker:
            if (sample.marker.lineShown)
                DrawTrackLineSample(sample.marker, dc, content);
            else
                DrawNone(dc, content, colours, textFont);
            break;
        default:
            break;
        }
        dc.RestoreDC(saved);
        return;
    }

    if (sample.crosshair) {
        const CPoint centre = content.CenterPoint();
        dc.FillSolidRect(CRect(content.left, centre.y, content.right, centre.y + 1), colours.shadow);
        dc.FillSolidRect(CRect(centre.x, content.top, centre.x + 1, content.bottom), colours.shadow);
    }
    switch (sample.kind) {
    case StyleSample::kPointStyle:
        DrawSample(sample.point, dc, content);
        break;
    case StyleSample::kLineStyle:
        DrawLineSample(sample.line, dc, content);
        break;
    case StyleSample::kAreaStyle:
        DrawFillSample(sample.area, dc, content);
        break;
    case StyleSample::kTextStyle:
        DrawTextSample(dc, content, sample);
        break;
    case StyleSample::kPlainColor:
        dc.FillSolidRect(content, sample.colour & 0xFFFFFF);
        FrameRect(dc, content, colours.shadow);
        break;
    case StyleSample::kMarker:
        DrawSample(sample.marker, dc, content);
        break;
    default:
        break;
    }
    dc.RestoreDC(saved);
}
