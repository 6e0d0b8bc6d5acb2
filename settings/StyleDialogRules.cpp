#include "settings/StyleDialogRules.h"

#include "platform/DC.h"
#include "platform/NumberText.h"
#include "platform/Strings.h"
#include "render/LinePainter.h"
#include "render/PatternBrushes.h"
#include "render/SavedDC.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kThousandthsPerMillimetre = 39.37007874015748;
constexpr double kMillimetresPerThousandth = 0.0254;
constexpr int kNoneString = 3000;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

constexpr std::array<CFillPattern, 51> MakeFillPatterns()
{
    std::array<CFillPattern, 51> patterns{};
    patterns[0] = {kHollowBrush, 0};
    patterns[1] = {kSolidBrush, 0};
    const int32_t hatches[] = {HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS, HS_FDIAGONAL, HS_HORIZONTAL, HS_VERTICAL};
    for (int i = 0; i < 6; ++i)
        patterns[2 + i] = {kHatchBrush, hatches[i]};
    for (int i = 0; i < kPatternBrushCount; ++i)
        patterns[8 + i] = {kPatternBrush, i};
    return patterns;
}

void DrawCentredNone(CDC& dc, const CRect& rect, COLORREF colour, const CFont& font)
{
    dc.SelectObject(font);
    dc.SetTextColor(colour);
    dc.SetBkMode(TRANSPARENT);
    CRect text = rect;
    dc.DrawText(LoadString(kNoneString), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// The leading number, NaN read as none.
double TypedMillimetres(std::string_view text)
{
    std::string number(text);
    std::replace(number.begin(), number.end(), ',', '.');
    const double value = AtofC(number);
    return std::isnan(value) ? 0.0 : value;
}

} // namespace

// ------------------------------------------------------------ millimetres

int MillimetresToThousandths(double millimetres)
{
    return static_cast<int>(millimetres * kThousandthsPerMillimetre + 0.5);
}

std::string FormatMillimetres(int thousandths)
{
    return FormatC("%1.1f", thousandths * kMillimetresPerThousandth);
}

std::string FormatWidth(int thousandths)
{
    return thousandths == 0 ? std::string("0") : FormatMillimetres(thousandths);
}

double ReadMillimetres(std::string_view text)
{
    return std::clamp(TypedMillimetres(text), 0.0, kMaxMillimetres);
}

std::string LeftMillimetres(std::string_view text)
{
    const double typed = TypedMillimetres(text);
    if (typed >= 0.0 && typed <= kMaxMillimetres)
        return std::string(text);
    return FormatC("%1.1f", ReadMillimetres(text));
}

int ReadThousandths(std::string_view text)
{
    return MillimetresToThousandths(ReadMillimetres(text));
}

std::string StepMillimetres(std::string_view text, int steps)
{
    const long long hundredths = std::llround(ReadMillimetres(text) * 100.0) + 10LL * steps;
    const long long kept = std::clamp<long long>(hundredths, 0, static_cast<long long>(kMaxMillimetres * 100));
    return FormatC("%1.1f", static_cast<double>(kept) / 100.0);
}

// ------------------------------------------------------------ line types

int FindLineType(int code)
{
    const auto* found = std::find(kLineTypeCodes.begin(), kLineTypeCodes.end(), code);
    return found == kLineTypeCodes.end() ? -1 : static_cast<int>(found - kLineTypeCodes.begin());
}

COLORREF LineTypeSampleColor(int code)
{
    return code == 10 || code == 11 || code == 15 || code == 16 ? kRed : kBlack;
}

// ------------------------------------------------------------ fill patterns

const std::array<CFillPattern, 51> kFillPatterns = MakeFillPatterns();

int FindFillPattern(int32_t brushStyle, int32_t hatch)
{
    for (size_t i = 0; i < kFillPatterns.size(); ++i)
        if (kFillPatterns[i].brushStyle == brushStyle && kFillPatterns[i].hatch == hatch)
            return static_cast<int>(i);
    return -1;
}

// ------------------------------------------------------------ combo entries

void DrawLineTypeEntry(CDC& dc, const CRect& rect, int code, bool selected, const ControlColors& colours,
                       const CFont& font)
{
    CSavedDC kept(dc);
    dc.FillSolidRect(rect, selected ? colours.selection : colours.window);
    if (code == kNoLineCode) {
        DrawCentredNone(dc, rect, selected ? colours.window : colours.windowText, font);
        return;
    }
    if (selected)
        dc.SetROP2(R2_NOTCOPYPEN);
    CDrawStyle style;
    style.penStyle = static_cast<uint32_t>(code);
    style.penWidth = 1;
    style.penColor = LineTypeSampleColor(code);
    style.backColor = CDrawStyle::kNone;
    // Drawn in thousandths of an inch, as on the map: in pixels the
    // pieces of some types are longer than the entry.
    const int dpiX = std::max(1, dc.GetDeviceCaps(LOGPIXELSX));
    const int dpiY = std::max(1, dc.GetDeviceCaps(LOGPIXELSY));
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1000, 1000);
    dc.SetViewportExt(dpiX, dpiY);
    dc.SetViewportOrg(rect.left + 1, (rect.top + rect.bottom) / 2);
    CLinePainter painter(dc);
    painter.SetStyle(style);
    painter.DrawSegment(0, 0, (rect.Width() - 2) * 1000 / dpiX, 0);
}

void DrawFillPatternEntry(CDC& dc, const CRect& rect, int index, bool selected, const ControlColors& colours,
                          const CFont& font)
{
    if (index < 0 || index >= static_cast<int>(kFillPatterns.size()))
        return;
    CSavedDC kept(dc);
    const COLORREF frame = selected ? colours.selection : colours.window;
    CRect box = rect;
    for (int i = 0; i < 2; ++i) {
        FrameRect(dc, box, frame);
        box.DeflateRect(1, 1);
    }
    const CFillPattern& entry = kFillPatterns[static_cast<size_t>(index)];
    CBrush brush;
    if (entry.brushStyle == kPatternBrush) {
        brush = GetPatternBrush(entry.hatch);
        dc.SetTextColor(kBlack);
        dc.SetBkColor(kWhite);
    } else {
        LOGBRUSH description;
        description.lbStyle = static_cast<uint32_t>(entry.brushStyle);
        description.lbColor = kBlack;
        description.lbHatch = static_cast<uint32_t>(entry.hatch);
        brush.CreateBrushIndirect(description);
        dc.SetBkColor(kWhite);
        dc.SetBkMode(OPAQUE);
    }
    // The box's inside in the window colour first: a hollow brush leaves it.
    dc.FillSolidRect(box, colours.window);
    dc.SelectObject(CPen(PS_SOLID, 1, kBlack));
    dc.SelectObject(brush);
    dc.SetBrushOrg(box.left & 7, box.top & 7);
    dc.Rectangle(box);
    if (entry.brushStyle == kHollowBrush)
        DrawCentredNone(dc, box, colours.windowText, font);
}

// ------------------------------------------------------------ line dialog

CLineStyleValues CLineStyleValues::Split(const CDrawStyle& style)
{
    CLineStyleValues values;
    values.doubleLine = style.SplitLines(values.first, values.second);
    return values;
}

CDrawStyle CLineStyleValues::ComposedOver(CDrawStyle style) const
{
    style.ComposeLines(first, second, doubleLine);
    return style;
}

// ------------------------------------------------------------ area dialog

CDrawStyle CAreaStyleRules::Prepared(CDrawStyle style)
{
    if (style.backMode != OPAQUE)
        style.backMode = TRANSPARENT;
    style.penStyle &= 0xFFFF;
    style.penWidth &= 0xFFFF;
    return style;
}

CAreaFillEnabling CAreaStyleRules::Enabling(const CDrawStyle& style)
{
    const bool drawn = style.brushStyle == kHatchBrush || style.brushStyle == kPatternBrush;
    return {style.brushStyle != kHollowBrush, drawn, drawn && style.backMode == OPAQUE};
}

void CAreaStyleRules::SetPattern(CDrawStyle& style, int index)
{
    if (index < 0 || index >= static_cast<int>(kFillPatterns.size()))
        return;
    style.brushStyle = kFillPatterns[static_cast<size_t>(index)].brushStyle;
    style.hatch = kFillPatterns[static_cast<size_t>(index)].hatch;
}

void CAreaStyleRules::SetNoBackground(CDrawStyle& style, bool none)
{
    style.backMode = none ? TRANSPARENT : OPAQUE;
}
