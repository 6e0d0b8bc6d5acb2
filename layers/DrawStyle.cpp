#include "layers/DrawStyle.h"

#include "layers/StyleSource.h"

COLORREF NextDefaultLineColor()
{
    // A source that only ever gives white must not hang us; black then.
    for (int tries = 0; tries < 100; ++tries) {
        COLORREF color = StyleSource().NextDefaultColor(false);
        if (color != CDrawStyle::kNone)
            return color;
    }
    return 0;
}

CDrawStyle CDrawStyle::DefaultLine()
{
    CDrawStyle style;
    style.penWidth = 4;
    style.penColor = NextDefaultLineColor();
    style.brushStyle = 1;
    return style;
}

CDrawStyle CDrawStyle::DefaultArea()
{
    CDrawStyle style;
    style.penWidth = 4;
    style.brushColor = StyleSource().NextDefaultColor(true);
    return style;
}

CDrawStyle CDrawStyle::ResetLine()
{
    return CDrawStyle();
}

CDrawStyle CDrawStyle::ResetArea()
{
    CDrawStyle style;
    style.brushStyle = 1;
    return style;
}

CDrawStyle CDrawStyle::LoneLine()
{
    CDrawStyle style;
    style.penWidth = 31;
    style.penColor = 0x009600;
    return style;
}

CDrawStyle CDrawStyle::LoneArea()
{
    CDrawStyle style;
    style.penWidth = 31;
    style.penColor = 0x00FF00;
    style.brushStyle = 1;
    return style;
}

CDrawStyle CDrawStyle::DefaultLabelFrame()
{
    return CDrawStyle();
}

bool CDrawStyle::SplitLines(Line& first, Line& second) const
{
    first = Line{penStyle & 0xFFFF, penWidth & 0xFFFF, penColor};
    if (!IsDoubleLine())
        return false;
    const uint32_t high = (penStyle >> 24) & ~(kDoubleLine >> 24);
    second = Line{(high << 8) | ((penStyle >> 16) & 0xFF), penWidth >> 16, backColor};
    return true;
}

void CDrawStyle::ComposeLines(const Line& first, const Line& second, bool doubleLine)
{
    penStyle = first.style & 0xFFFF;
    penWidth = first.width & 0xFFFF;
    penColor = first.color;
    backColor = kNone;
    if (!doubleLine)
        return;
    penStyle |= kDoubleLine | ((second.style & 0xFF) << 16) | (((second.style >> 8) & 0xFF) << 24);
    penWidth |= (second.width & 0xFFFF) << 16;
    backColor = second.color;
}

CDrawStyle CDrawStyle::FirstPen() const
{
    CDrawStyle pen = *this;
    pen.penStyle &= 0xFFFF;
    pen.penWidth &= 0xFFFF;
    return pen;
}

CDrawStyle CDrawStyle::SecondPen() const
{
    Line first, second;
    SplitLines(first, second);
    CDrawStyle pen = *this;
    pen.penStyle = second.style;
    pen.penWidth = second.width;
    pen.penColor = second.color;
    pen.backColor = kNone;
    return pen;
}
