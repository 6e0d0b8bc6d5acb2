#include "mapdoc/ZoomWindowTool.h"

#include "mapdoc/DrelView.h"
#include "platform/DC.h"

#include <algorithm>
#include <cstdlib>

void CZoomWindowTool::CTracker::AdjustRect(CRect& r)
{
    if (std::abs(r.right - r.left) < 2 || std::abs(r.bottom - r.top) < 2) {
        r.right = r.left;
        r.bottom = r.top;
    }
    const CSize client = m_view.GetClientSize();
    r.right = std::clamp(r.right, 0, std::max(client.cx, 0));
    r.bottom = std::clamp(r.bottom, 0, std::max(client.cy, 0));
}

CZoomWindowTool::CZoomWindowTool(CDrelView* view) : CMapTool(view), m_tracker(*view) {}

CZoomWindowTool::~CZoomWindowTool()
{
    m_tracker.Cancel();
    if (m_hasPending)
        m_tracker.DrawInverted(m_pending);
}

int CZoomWindowTool::OnLButtonDown(unsigned flags, int x, int y)
{
    if (m_hasPending) {
        m_tracker.DrawInverted(m_pending);
        m_hasPending = false;
        if (m_pending.PtInRect(CPoint(x, y))) {
            const CMapRect target = m_view->ClientRectToMap(m_pending);
            m_pending.SetRectEmpty();
            m_view->GetFrameMapView().ZoomToRect(target, 1);
            return 1;
        }
        m_pending.SetRectEmpty();
    }
    m_tracker.Begin(x, y);
    return 1;
}

int CZoomWindowTool::OnMouseMove(unsigned flags, int x, int y)
{
    if (!m_tracker.IsTracking())
        return 0;
    m_tracker.Move(x, y);
    return 1;
}

int CZoomWindowTool::OnLButtonUp(unsigned flags, int x, int y)
{
    if (!m_tracker.IsTracking())
        return 0;
    m_tracker.Move(x, y);
    CRect r;
    if (m_tracker.End(r)) {
        m_pending = r;
        m_hasPending = true;
        m_tracker.DrawInverted(m_pending);
    }
    return 1;
}

int CZoomWindowTool::OnSetCursor()
{
    if (!m_hasPending || !m_pending.PtInRect(m_view->GetCursorPoint()))
        return 0;
    m_view->SetCursor(kCursorInside);
    return 1;
}

void CZoomWindowTool::OnKillFocus()
{
    m_tracker.Cancel();
}

void CZoomWindowTool::DrawAfterCopy(CDC& dc)
{
    const int saved = dc.SaveDC();
    dc.SetMapMode(MM_TEXT);
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(0, 0);
    if (m_hasPending)
        CRectTracker::DrawInverted(dc, m_pending);
    m_tracker.DrawBand(dc);
    dc.RestoreDC(saved);
}

void CZoomWindowTool::DrawAfterRebuild(CDC& dc)
{
    m_hasPending = false;
    m_pending.SetRectEmpty();
    // A band being dragged stays with the pointer.
    const int saved = dc.SaveDC();
    dc.SetMapMode(MM_TEXT);
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(0, 0);
    m_tracker.DrawBand(dc);
    dc.RestoreDC(saved);
}
