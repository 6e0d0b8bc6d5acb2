#include "render/LabelPainter.h"

#include "layers/DrawingView.h"
#include "layers/Sublayer.h"
#include "platform/DC.h"
#include "render/AreaPainter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The placements that candidates 1..9 stand for.
constexpr int kCandidatePlacement[9] = {10, 14, 8, 24, 0, 6, 2, 26, 30};

constexpr int kHorizontal = TA_CENTER; // 6
constexpr int kVertical = TA_BASELINE; // 24

bool IsRight(int placement)
{
    return (placement & kHorizontal) == TA_RIGHT;
}

bool IsCentre(int placement)
{
    return (placement & kHorizontal) == TA_CENTER;
}

bool IsBottom(int placement)
{
    return (placement & kVertical) == TA_BOTTOM;
}

bool IsBaseline(int placement)
{
    return (placement & kVertical) == TA_BASELINE;
}

void AppendBaltic(LOGFONT& font)
{
    constexpr std::string_view kBaltic = " Baltic";
    const size_t length = strnlen(font.lfFaceName, LF_FACESIZE);
    const size_t room = LF_FACESIZE - 1 - std::min<size_t>(length, LF_FACESIZE - 1);
    std::memcpy(font.lfFaceName + length, kBaltic.data(), std::min(room, kBaltic.size()));
    font.lfFaceName[LF_FACESIZE - 1] = '\0';
}

} // namespace

CLabelPainter::CLabelPainter(IDrawingView* view, CDC& dc, CDC* second) : m_view(view), m_dc(dc), m_second(second)
{
    if (m_view) {
        m_visible = m_view->GetDeviceRect();
        m_visible.NormalizeRect();
    }
}

CLabelPainter::~CLabelPainter()
{
    PutFrameBack();
    if (!m_fontSelected)
        return;
    for (int i = 0; i < 2; ++i)
        if (CDC* dc = Context(i))
            dc->SelectObject(m_saved[i].font);
}

void CLabelPainter::PutFrameBack()
{
    if (!m_frameSelected)
        return;
    for (int i = 0; i < 2; ++i) {
        if (CDC* dc = Context(i)) {
            dc->SelectObject(m_saved[i].pen);
            dc->SelectObject(m_saved[i].brush);
        }
    }
    m_frameSelected = false;
}

int CLabelPainter::Scaled(int value) const
{
    // A scale of 0 would divide by nothing: the sizes stay as set.
    if (m_referenceScale == 0 || m_scale <= 0)
        return value;
    return MulDiv(value, m_referenceScale, m_scale);
}

void CLabelPainter::SetLabelStyle(const CSublayer& sublayer, int scale)
{
    PutFrameBack();
    m_candidates.clear();
    m_colour = sublayer.m_labelStyle.color;
    m_logFont = sublayer.m_labelStyle.font;
    const uint32_t flags = sublayer.m_labelFlags;
    m_frame = (flags & CSublayer::kLabelFrame) != 0;
    m_force = (flags & CSublayer::kShowAllLabels) != 0;
    m_outline = (flags & CSublayer::kLetterOutlines) != 0;
    m_referenceScale = (flags & CSublayer::kScaledLabels) ? sublayer.m_referenceScale : 0;
    m_scale = scale;

    // Points to thousandths of an inch.
    m_logFont.lfHeight = Scaled(-MulDiv(-m_logFont.lfHeight, 1000, 72));
    m_logFont.lfClipPrecision |= CLIP_LH_ANGLES;
    m_logFont.lfOutPrecision |= 7;
    m_logFont.lfQuality = ANTIALIASED_QUALITY;
    if (m_logFont.lfCharSet == BALTIC_CHARSET)
        AppendBaltic(m_logFont);
    if (!m_font.CreateFontIndirect(m_logFont))
        return;
    for (int i = 0; i < 2; ++i) {
        CDC* dc = Context(i);
        if (!dc)
            continue;
        CFont before = dc->SelectObject(m_font);
        if (!m_fontSelected)
            m_saved[i].font = before;
        dc->SetTextColor(m_colour);
        dc->SetTextAlign(TA_LEFT | TA_TOP);
        dc->SetBkMode(TRANSPARENT);
    }
    m_fontSelected = true;

    m_placement = sublayer.m_labelPlacement;
    m_distance = Scaled(sublayer.m_labelDistance);
    if (m_placement == kAroundPoint || m_placement == kInsideArea) {
        if (m_placement == kAroundPoint)
            m_candidates = {4, 6, 2, 8};
        else
            m_candidates = {9, 4, 6, 2, 8};
        // The last try puts the label down whatever lies there.
        if (m_force) {
            m_force = false;
            m_candidates.push_back(static_cast<std::int8_t>(-m_candidates.front()));
        }
    } else {
        SetPlacement(m_placement, m_distance);
    }

    const CDrawStyle& frame = sublayer.m_labelFrameStyle;
    if (m_frame) {
        m_framePen = CPen(static_cast<int>(frame.penStyle & 0xFFFF), static_cast<int>(frame.penWidth & 0xFFFF),
                          frame.penColor);
        m_frameBrush = CAreaPainter::MakeFillBrush(frame);
        m_frameBkMode = frame.backMode;
        for (int i = 0; i < 2; ++i) {
            if (CDC* dc = Context(i)) {
                m_saved[i].pen = dc->SelectObject(m_framePen);
                m_saved[i].brush = dc->SelectObject(m_frameBrush);
                dc->SetBkColor(frame.backColor);
            }
        }
        m_frameSelected = true;
    }
    if (m_outline)
        m_outlineColour = frame.brushColor;
}

void CLabelPainter::SetPlacement(int placement, int distance)
{
    m_placement = placement;
    m_distance = distance;
    switch (placement & kHorizontal) {
    case TA_LEFT:
        m_xOffset = distance;
        break;
    case TA_RIGHT:
        m_xOffset = -distance;
        break;
    case TA_CENTER:
        m_xOffset = 0;
        break;
    default:
        break;
    }
    switch (placement & kVertical) {
    case TA_TOP:
        m_yOffset = distance;
        break;
    case TA_BOTTOM:
        m_yOffset = -distance;
        break;
    case TA_BASELINE: {
        TEXTMETRIC metrics;
        m_yOffset = m_dc.GetTextMetrics(&metrics) ? metrics.tmHeight / 3 : 0;
        break;
    }
    default:
        break;
    }
}

CSize CLabelPainter::GetTextExtent(std::string_view text) const
{
    return m_dc.GetTextExtent(text);
}

int CLabelPainter::DrawLabel(int x, int y, std::string_view text)
{
    const CSize size = GetTextExtent(text);
    if (m_candidates.empty())
        return TryAt(x, y, text, size);
    for (const int candidate : m_candidates) {
        const int number = std::abs(candidate);
        if (number < 1 || number > 9)
            break;
        m_force = candidate < 0;
        SetPlacement(kCandidatePlacement[number - 1], m_distance);
        if (TryAt(x, y, text, size))
            return 1;
    }
    return 0;
}

int CLabelPainter::TryAt(int x, int y, std::string_view text, const CSize& size)
{
    CRect box(CPoint(x + m_xOffset, y + m_yOffset), size);
    if (IsRight(m_placement))
        box.OffsetRect(-size.cx, 0);
    else if (IsCentre(m_placement))
        box.OffsetRect(-size.cx / 2, 0);
    if (IsBottom(m_placement))
        box.OffsetRect(0, -size.cy);
    else if (IsBaseline(m_placement))
        box.OffsetRect(0, -(3 * size.cy / 4));
    const CPoint at = box.TopLeft();
    if (m_frame)
        box.InflateRect(size.cy / 6, size.cy / 10);

    if (m_view) {
        if (!m_visible.PtInRect(box.TopLeft()) || !m_visible.PtInRect(box.BottomRight()))
            return 0;
        if (!m_view->ReserveLabelRect(box, m_force ? 1 : 0))
            return 0;
    }
    for (int i = 0; i < 2; ++i)
        if (CDC* dc = Context(i))
            DrawOn(*dc, box, at.x, at.y, text);
    return 1;
}

void CLabelPainter::DrawOn(CDC& dc, const CRect& frame, int x, int y, std::string_view text) const
{
    if (m_frame) {
        dc.SetBkMode(m_frameBkMode);
        dc.Rectangle(frame);
        dc.SetBkMode(TRANSPARENT);
    }
    DrawText(dc, x, y, text);
}

void CLabelPainter::DrawText(CDC& dc, int x, int y, std::string_view text) const
{
    if (m_outline)
        DrawHaloText(dc, x, y, text, m_outlineColour, std::abs(m_logFont.lfHeight));
    dc.TextOut(x, y, text);
}

int CLabelPainter::DrawRotatedText(int x, int y, std::string_view text, int angle, const CPoint corners[4])
{
    CFont turned;
    CFont before[2];
    auto putFontBack = [&]() {
        for (int i = 0; i < 2; ++i)
            if (CDC* dc = Context(i); dc && before[i].GetSafeHandle())
                dc->SelectObject(before[i]);
    };
    if (angle != 0) {
        LOGFONT font = m_logFont;
        font.lfEscapement = font.lfOrientation = angle;
        if (!turned.CreateFontIndirect(font))
            return 0;
        for (int i = 0; i < 2; ++i) {
            CDC* dc = Context(i);
            if (!dc)
                continue;
            before[i] = dc->SelectObject(turned);
            if (!(dc->GetCurrentFont() == turned)) {
                putFontBack();
                return 0;
            }
        }
    }
    for (int i = 0; i < 2; ++i) {
        CDC* dc = Context(i);
        if (!dc)
            continue;
        if (m_frame) {
            dc->SetBkMode(m_frameBkMode);
            dc->Polygon(corners, 4);
            dc->SetBkMode(TRANSPARENT);
        }
        DrawText(*dc, x, y, text);
    }
    putFontBack();
    return 1;
}

void DrawHaloText(CDC& dc, int x, int y, std::string_view text, COLORREF colour, int textHeight)
{
    CSize pixel(1, 1);
    dc.DPtoLP(&pixel);
    const int d = (textHeight + 12) / 24;
    DrawTextAround(dc, x, y, text, colour, std::max(d, std::abs(pixel.cx)), std::max(d, std::abs(pixel.cy)));
}

void DrawTextAround(CDC& dc, int x, int y, std::string_view text, COLORREF colour, int dx, int dy)
{
    const COLORREF before = dc.SetTextColor(colour);
    const CPoint neighbours[8] = {{-dx, 0}, {dx, 0}, {-dx, -dy}, {dx, -dy}, {-dx, dy}, {dx, dy}, {0, -dy}, {0, dy}};
    for (const CPoint& n : neighbours)
        dc.TextOut(x + n.x, y + n.y, text);
    dc.SetTextColor(before);
}
