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
