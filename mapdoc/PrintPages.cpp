#include "mapdoc/PrintPages.h"

#include "mapdoc/DrelView.h"
#include "mapdoc/PrintInfo.h"
#include "platform/DC.h"

#include <algorithm>

int PrintViewPages(CDrelView& view, CDC& dc, int first, int last, const std::function<bool(int, int)>& goOn)
{
    const CRect drawRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
    const int count = view.CountPrintPages(dc, drawRect);
    if (count == 0)
        return 0;
    first = std::max(1, first);
    last = last <= 0 || last > count ? count : last;
    int printed = 0;
    for (int page = first; page <= last; ++page) {
        if (goOn && !goOn(page, count))
            break;
        if (printed > 0 && !dc.NewPage())
            break;
        CPrintInfo info;
        info.m_rectDraw = drawRect;
        info.m_nCurPage = page;
        view.OnPrint(dc, info);
        if (!info.m_bContinuePrinting)
            break;
        ++printed;
    }
    return printed;
}

bool MarginArea(const CDC& dc, const CRect& drawRect, const CRect& margins, CRect& area)
{
    const int offsetX = dc.GetDeviceCaps(PHYSICALOFFSETX), offsetY = dc.GetDeviceCaps(PHYSICALOFFSETY);
    const int physicalWidth = dc.GetDeviceCaps(PHYSICALWIDTH), physicalHeight = dc.GetDeviceCaps(PHYSICALHEIGHT);
    const int borderLeft = std::max(0, offsetX), borderTop = std::max(0, offsetY);
    const int borderRight = physicalWidth > 0 ? std::max(0, physicalWidth - dc.GetDeviceCaps(HORZRES) - offsetX) : 0;
    const int borderBottom = physicalHeight > 0 ? std::max(0, physicalHeight - dc.GetDeviceCaps(VERTRES) - offsetY) : 0;
    const int dpiX = std::max(1, dc.GetDeviceCaps(LOGPIXELSX)), dpiY = std::max(1, dc.GetDeviceCaps(LOGPIXELSY));
    area = drawRect;
    area.left += MulDiv(margins.left, dpiX, 2540) - borderLeft;
    area.top += MulDiv(margins.top, dpiY, 2540) - borderTop;
    area.right -= MulDiv(margins.right, dpiX, 2540) - borderRight;
    area.bottom -= MulDiv(margins.bottom, dpiY, 2540) - borderBottom;
    return area.IntersectRect(area, drawRect);
}
