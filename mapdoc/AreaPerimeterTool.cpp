#include "mapdoc/AreaPerimeterTool.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewWindow.h"
#include "platform/VirtualKeys.h"

CAreaPerimeterTool::CAreaPerimeterTool(CDrelView* view) : CMeasureLineTool(view, kCursor) {}

CAreaPerimeterTool::~CAreaPerimeterTool() = default;

double CAreaPerimeterTool::GetAreaKm2() const
{
    return m_view->GetDocument().GetRingAreaKm2(m_points);
}

double CAreaPerimeterTool::GetPerimeterKm() const
{
    const CDrelDoc& document = m_view->GetDocument();
    const int n = m_points.GetSize();
    // The document closes a ring only from three points; the tool closes
    // it itself.
    if (n == 2)
        return 2 * document.GetDistanceKm(m_points[0], m_points[1]);
    return document.GetRingPerimeterKm(m_points);
}

void CAreaPerimeterTool::ShowValues()
{
    if (!m_box)
        m_box = m_view->GetWindow() ? m_view->GetWindow()->CreateAreaPerimeterBox() : nullptr;
    if (m_box)
        m_box->SetValues(GetAreaKm2(), GetPerimeterKm());
}

void CAreaPerimeterTool::DrawBand(CDC* dc)
{
    CMeasureLineTool::DrawBand(dc);
    if (m_points.GetSize() > 2)
        m_view->DrawXorLine(m_cursor, m_points[0], dc);
}

int CAreaPerimeterTool::OnLButtonDown(unsigned flags, int x, int y)
{
    DrawBand(nullptr);
    m_cursor = m_view->ClientToMap(x, y);
    m_points.Add(m_cursor);
    const int n = m_points.GetSize();
    if (n >= 2) {
        m_view->DrawXorLine(m_points[n - 2], m_points[n - 1], nullptr);
        ShowValues();
    }
    DrawBand(nullptr);
    return 1;
}

int CAreaPerimeterTool::OnKeyDown(int key, int repeat, unsigned flags)
{
    if (key != VK_DELETE)
        return 0;
    const int n = m_points.GetSize();
    if (n == 0)
        return 1;
    DrawBand(nullptr);
    if (n >= 2)
        m_view->DrawXorLine(m_points[n - 2], m_points[n - 1], nullptr);
    m_points.RemoveAt(n - 1);
    DrawBand(nullptr);
    if (m_box)
        m_box->SetValues(GetAreaKm2(), GetPerimeterKm());
    return 1;
}

int CAreaPerimeterTool::OnLButtonDblClk(unsigned flags, int x, int y)
{
    Clear();
    return 1;
}

void CAreaPerimeterTool::Clear()
{
    DrawBand(nullptr);
    DrawSegments(nullptr);
    m_points.RemoveAll();
    m_box.reset();
}


void CAreaPerimeterTool::DrawAfterCopy(CDC& dc)
{
    DrawSegments(&dc);
    DrawBand(&dc);
}

void CAreaPerimeterTool::DrawAfterRebuild(CDC& dc)
{
    BandHome();
    DrawSegments(&dc);
    DrawBand(&dc);
}
