#include "layers/TrackStyle.h"

#include "layers/DrawStyle.h"
#include "layers/PointStyle.h"

CTrackStyle CTrackStyle::Default()
{
    CTrackStyle style;
    style.symbol = CPointStyle::Default().symbol;
    style.penWidth = 4;
    style.penColor = NextDefaultLineColor();
    return style;
}
