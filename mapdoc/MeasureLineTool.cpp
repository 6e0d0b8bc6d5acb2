#include "mapdoc/MeasureLineTool.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewWindow.h"

void CMeasureLineTool::DrawSegments(CDC* dc)
{
    for (int i = 1; i < m_points.GetSize(); ++i)
        m_view->DrawXorLine(m_points[i - 1], m_points[i], dc);
}

void CMeasureLineTool::DrawBand(CDC* dc)
{
    if (!m_points.IsEmpty())
        m_view->DrawXorLine(LastPoint(), m_cursor, dc);
}

bool CMeasureLineTool::MoveBand(int x, int y)
{
    if (m_points.IsEmpty())
        return false;
    DrawBand(nullptr);
    m_cursor = m_view->ClientToMap(x, y);
    DrawBand(nullptr);
    return true;
}

void CMeasureLineTool::BandHome()
{
    if (!m_points.IsEmpty())
        m_cursor = LastPoint();
}

CDistanceMeasureTool::CDistanceMeasureTool(CDrelView* view, int cursorId) : CMeasureLineTool(view, cursorId) {}

CDistanceMeasureTool::~CDistanceMeasureTool() = default;

int CDistanceMeasureTool::OnMouseMove(unsigned flags, int x, int y)
{
    if (!MoveBand(x, y))
        return 0;
    ShowDistances(m_view->GetDocument().GetDistanceKm(LastPoint(), m_cursor), m_totalKm);
    return 1;
}

void CDistanceMeasureTool::ShowDistances(double segmentKm, double totalKm)
{
    if (!m_box && m_view->GetWindow())
        m_box = m_view->GetWindow()->CreateDistanceBox();
    if (m_box)
        m_box->SetDistances(segmentKm, totalKm);
}
