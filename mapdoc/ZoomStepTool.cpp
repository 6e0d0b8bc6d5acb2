#include "mapdoc/ZoomStepTool.h"

#include "mapdoc/DrelView.h"
#include "platform/VirtualKeys.h"

bool CZoomStepTool::ZoomsIn(unsigned flags) const
{
    return (flags & MK_SHIFT) ? !m_zoomIn : m_zoomIn;
}

int CZoomStepTool::OnLButtonDown(unsigned flags, int x, int y)
{
    const double factor = ZoomsIn(flags) ? 0.5 : 2.0;
    m_view->ZoomToScaleAt(m_view->GetScaleDenominator() * factor, m_view->ClientToMap(x, y));
    return 1;
}

int CZoomStepTool::OnSetCursor()
{
    m_view->SetCursor(ZoomsIn(m_view->GetKeyFlags()) ? kCursorZoomIn : kCursorZoomOut);
    return 1;
}
