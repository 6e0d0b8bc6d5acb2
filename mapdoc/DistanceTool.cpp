#include "mapdoc/DistanceTool.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MeasureBoxes.h"
#include "mapdoc/ViewHost.h"
#include "platform/VirtualKeys.h"

CDistanceTool::CDistanceTool(CDrelView* view) : CDistanceMeasureTool(view, kCursor) {}

CDistanceTool::~CDistanceTool() = default;

int CDistanceTool::OnLButtonDown(unsigned flags, int x, int y)
{
    const CMapPoint p = m_view->ClientToMap(x, y);
    if (!m_points.IsEmpty() && !(p == m_cursor))
        OnMouseMove(flags, x, y);
    m_cursor = p;
    m_points.Add(p);
    // The band to the click is the new segment now.
    const int n = m_points.GetSize();
    if (n >= 2) {
        m_totalKm += m_view->GetDocument().GetDistanceKm(m_points[n - 2], m_points[n - 1]);
        ShowDistances(0, m_totalKm);
    }
    return 1;
}

int CDistanceTool::OnKeyDown(int key, int repeat, unsigned flags)
{
    if (key != VK_DELETE)
        return 0;
    const int n = m_points.GetSize();
    if (n == 0)
        return 1;
    DrawBand(nullptr);
    if (n == 1) {
        ShowDistances(0, 0);
        m_points.RemoveAll();
        m_totalKm = 0;
        return 1;
    }
    const CDrelDoc& document = m_view->GetDocument();
    m_view->DrawXorLine(m_points[n - 2], m_points[n - 1], nullptr);
    m_totalKm -= document.GetDistanceKm(m_points[n - 2], m_points[n - 1]);
    ShowDistances(document.GetDistanceKm(m_points[n - 2], m_cursor), m_totalKm);
    m_points.RemoveAt(n - 1);
    // The band runs from the new last point, as the next move expects.
    DrawBand(nullptr);
    return 1;
}

void CDistanceTool::OnCommand(int id)
{
    if (id != kCmdClearMeasurement || m_points.IsEmpty())
        return;
    m_points.RemoveAll();
    m_totalKm = 0;
    ShowDistances(0, 0);
    m_view->Invalidate();
}

int CDistanceTool::OnLButtonDblClk(unsigned flags, int x, int y)
{
    Clear();
    return 1;
}

void CDistanceTool::Clear()
{
    DrawBand(nullptr);
    DrawSegments(nullptr);
    m_points.RemoveAll();
    m_totalKm = 0;
    ViewHost().SetMessageText({});
    m_box.reset();
}


void CDistanceTool::DrawAfterCopy(CDC& dc)
{
    DrawSegments(&dc);
    DrawBand(&dc);
}

void CDistanceTool::DrawAfterRebuild(CDC& dc)
{
    DrawSegments(&dc);
    BandHome();
}
