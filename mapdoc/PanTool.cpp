#include "mapdoc/PanTool.h"

#include "mapdoc/DrelView.h"

CPanTool::~CPanTool()
{
    if (m_dragging)
        EndDrag();
}

void CPanTool::EndDrag()
{
    m_view->SetPanning(0);
    m_view->SetPanOffset(0, 0);
    m_dragging = 0;
}

int CPanTool::OnLButtonDown(unsigned flags, int x, int y)
{
    m_startX = m_lastX = x;
    m_startY = m_lastY = y;
    m_dragging = 1;
    m_view->SetPanning(1);
    m_view->SetPanOffset(0, 0);
    m_view->Invalidate();
    m_view->UpdateWindow();
    return 1;
}

int CPanTool::OnMouseMove(unsigned flags, int x, int y)
{
    if (!m_dragging)
        return 0;
    const CSize offset = m_view->GetPanOffset();
    m_view->SetPanOffset(offset.cx + x - m_lastX, offset.cy + y - m_lastY);
    m_view->Invalidate();
    m_view->UpdateWindow();
    m_lastX = x;
    m_lastY = y;
    return 1;
}

int CPanTool::OnLButtonUp(unsigned flags, int x, int y)
{
    if (!m_dragging)
        return 0;
    EndDrag();
    if (x != m_startX || y != m_startY) {
        const CMapPoint end = m_view->ClientToMap(x, y);
        const CMapPoint start = m_view->ClientToMap(m_startX, m_startY);
        m_view->PanBy(end.x - start.x, end.y - start.y);
    } else {
        // The picture comes back where it was; the extent has not moved.
        m_view->Invalidate();
    }
    return 1;
}

int CPanTool::OnSetCursor()
{
    m_view->SetCursor(kCursor);
    return 1;
}

void CPanTool::OnKillFocus()
{
    if (!m_dragging)
        return;
    EndDrag();
    m_view->Invalidate();
}
