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
