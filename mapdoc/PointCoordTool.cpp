#include "mapdoc/PointCoordTool.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"

#include <cstdio>

std::string CPointCoordTool::FormatPoint(const CDrelDoc& document, const CMapPoint& p)
{
    char text[128];
    switch (document.Settings().mapUnits) {
    case kUnitsDegrees:
        return p.FormatLongitude(0) + " " + p.FormatLatitude(0);
    case kUnitsMetres:
        std::snprintf(text, sizeof text, "(%4.2lf; %4.2lf)", p.x, p.y);
        return text;
    default:
        std::snprintf(text, sizeof text, "(%5.3lf; %5.3lf)", p.x, p.y);
        return text;
    }
}

int CPointCoordTool::OnLButtonDown(unsigned flags, int x, int y)
{
    const CMapPoint p = m_view->ClientToMap(x, y);
    m_view->ClearOverlays();
    m_view->AddOverlayPoint(p);
    m_view->AddOverlayText(p, FormatPoint(m_view->GetDocument(), p), kLabelOffset);
    return 1;
}

int CPointCoordTool::OnSetCursor()
{
    m_view->SetCursor(kCursor);
    return 1;
}
