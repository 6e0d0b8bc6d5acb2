#include "mapdoc/MeasureLineTool.h"

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

void CMeasureLineTool::ShowDistances(std::unique_ptr<IDistanceBox>& box, double segmentKm, double totalKm)
{
    if (!box && m_view->GetWindow())
        box = m_view->GetWindow()->CreateDistanceBox();
    if (box)
        box->SetDistances(segmentKm, totalKm);
}
