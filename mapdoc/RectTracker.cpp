#include "mapdoc/RectTracker.h"

#include "mapdoc/DrelView.h"
#include "platform/DC.h"

CRectTracker::~CRectTracker()
{
    if (m_tracking)
        Cancel();
}

void CRectTracker::DrawInverted(CDC& dc, const CRect& r)
{
    CRect frame = r;
    frame.NormalizeRect();
    // A band of no size shows nothing.
    if (frame.Width() == 0 || frame.Height() == 0)
        return;
    const int rop = dc.SetROP2(R2_NOT);
    const int bkMode = dc.SetBkMode(TRANSPARENT);
    const CPen pen = dc.SelectObject(CPen(PS_DOT, 1, RGB(0, 0, 0)));
    const CBrush brush = dc.SelectObject(CBrush::FromStock(NULL_BRUSH));
    dc.Rectangle(frame.left, frame.top, frame.right + 1, frame.bottom + 1);
    dc.SelectObject(brush);
    dc.SelectObject(pen);
    dc.SetBkMode(bkMode);
    dc.SetROP2(rop);
}

void CRectTracker::DrawInverted(const CRect& r) const
{
    std::unique_ptr<CDC> dc = m_view.OpenWindowDC();
    DrawInverted(*dc, r);
}

void CRectTracker::DrawBand(CDC& dc) const
{
    if (m_tracking)
        DrawInverted(dc, m_rect);
}

void CRectTracker::Begin(int x, int y)
{
    if (m_tracking)
        Cancel();
    m_tracking = true;
    m_rect = CRect(x, y, x, y);
    AdjustRect(m_rect);
    DrawInverted(m_rect);
}

void CRectTracker::Move(int x, int y)
{
    if (!m_tracking)
        return;
    CRect moved(m_rect.left, m_rect.top, x, y);
    AdjustRect(moved);
    if (moved == m_rect)
        return;
    DrawInverted(m_rect);
    m_rect = moved;
    DrawInverted(m_rect);
}

bool CRectTracker::End(CRect& result)
{
    if (!m_tracking)
        return false;
    DrawInverted(m_rect);
    m_tracking = false;
    result = m_rect;
    result.NormalizeRect();
    return true;
}

void CRectTracker::Cancel()
{
    if (!m_tracking)
        return;
    DrawInverted(m_rect);
    m_tracking = false;
}
