#include "mapdoc/RoadDistance.h"

#include "core/Shape.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MeasureBoxes.h"
#include "mapdoc/RoadRouter.h"
#include "platform/DC.h"
#include "platform/UserServices.h"
#include "platform/VirtualKeys.h"
#include "render/SymbolLibrary.h"

namespace {

constexpr COLORREF kLegColour = RGB(0, 0, 255);
// Thousandths of an inch: two pixels on the screen.
constexpr int kLegWidth = 20;

} // namespace

CRoadDistance::CRoadDistance(CDrelView* view) : CDistanceMeasureTool(view, 0)
{
    CRouteSettings settings;
    if (view->GetDocument().GetRouteSettings(settings))
        m_router = MakeRoadRouter(view->GetDocument(), settings);
}

CRoadDistance::~CRoadDistance() = default;

double CRoadDistance::LegLengthKm(const CMapPointArray& leg) const
{
    CShape shape;
    shape.SetPoints(leg.GetSize(), leg.GetData());
    return m_view->GetDocument().GetShapeLengthKm(shape);
}

int CRoadDistance::OnLButtonDown(unsigned flags, int x, int y)
{
    if (!m_router)
        return 1;
    if (!m_points.IsEmpty())
        DrawBand(nullptr);
    m_cursor = m_view->ClientToMap(x, y);
    m_points.Add(m_cursor);
    const int n = m_points.GetSize();
    if (n >= 2) {
        CMapPointArray leg;
        bool routed;
        {
            CWaitCursor wait;
            routed = m_router->RouteBetween(m_points[n - 2], m_points[n - 1], leg) && !leg.IsEmpty();
        }
        if (routed) {
            m_totalKm += LegLengthKm(leg);
            m_points[n - 1] = leg[leg.GetUpperBound()];
            m_legs.push_back(std::move(leg));
            m_view->Invalidate();
        } else {
            // A point without its leg would make Delete take the leg
            // before it: the click is dropped.
            m_points.RemoveAt(n - 1);
            AppBeep();
            DrawBand(nullptr);
        }
    }
    ShowDistances(0, m_totalKm);
    return 1;
}

int CRoadDistance::OnKeyDown(int key, int repeat, unsigned flags)
{
    if (key != VK_DELETE)
        return 0;
    const int n = m_points.GetSize();
    if (n == 0)
        return 1;
    DrawBand(nullptr);
    if (n == 1) {
        ShowDistances(0, 0);
    } else {
        m_totalKm -= LegLengthKm(m_legs.back());
        m_legs.pop_back();
        ShowDistances(m_view->GetDocument().GetDistanceKm(m_points[n - 2], m_cursor), m_totalKm);
        m_view->Invalidate();
    }
    m_points.RemoveAt(n - 1);
    if (m_points.IsEmpty())
        m_totalKm = 0;
    DrawBand(nullptr);
    return 1;
}

int CRoadDistance::OnLButtonDblClk(unsigned flags, int x, int y)
{
    Clear();
    return 1;
}

void CRoadDistance::OnKillFocus()
{
    if (!m_points.IsEmpty() && !(m_cursor == LastPoint())) {
        m_cursor = LastPoint();
        m_view->Invalidate();
    }
}

void CRoadDistance::Clear()
{
    m_box.reset();
}

void CRoadDistance::ClearMeasure()
{
    m_points.RemoveAll();
    m_legs.clear();
    m_view->Invalidate();
    m_totalKm = 0;
    if (m_box)
        m_box->SetDistances(0, 0);
}

void CRoadDistance::DrawLegs(CDC& dc)
{
    const int legCount = static_cast<int>(m_legs.size());
    if (legCount == 0)
        return;
    const CPen pen = dc.SelectObject(CPen(PS_SOLID, kLegWidth, kLegColour));
    for (const CMapPointArray& leg : m_legs) {
        const std::vector<CPoint>& points = m_view->ShapeToDevicePoints(leg.GetData(), leg.GetSize());
        dc.Polyline(points.data(), static_cast<int>(points.size()));
    }
    dc.SelectObject(pen);
    for (int i = 0; i < legCount; ++i) {
        const CMapPointArray& leg = m_legs[static_cast<size_t>(i)];
        DrawEndSymbol(dc, m_view->MapToDevice(leg[0]), i == 0 ? kSymbolFirst : kSymbolJoint);
        DrawEndSymbol(dc, m_view->MapToDevice(leg[leg.GetUpperBound()]), i == legCount - 1 ? kSymbolLast : kSymbolJoint);
    }
}

void CRoadDistance::DrawEndSymbol(CDC& dc, const CPoint& at, int symbol)
{
    SymbolLibrary().DrawSymbol(dc, at.x, at.y, symbol);
}

void CRoadDistance::DrawAfterCopy(CDC& dc)
{
    if (!m_points.IsEmpty() && !(m_cursor == LastPoint()))
        DrawBand(&dc);
    DrawLegs(dc);
}

void CRoadDistance::DrawAfterRebuild(CDC& dc)
{
    BandHome();
    DrawLegs(dc);
}

// ------------------------------------------------------------ the tool

CRoadDistanceTool::CRoadDistanceTool(CDrelView* view) : CMapTool(view, kCursor), m_measure(view->GetRoadDistanceMeasure())
{
    if (!m_measure) {
        auto measure = std::make_unique<CRoadDistance>(view);
        m_measure = measure.get();
        view->SetRoadDistance(std::move(measure));
    }
}

CRoadDistanceTool::~CRoadDistanceTool()
{
    Clear();
}

int CRoadDistanceTool::OnLButtonDown(unsigned flags, int x, int y)
{
    return m_measure->OnLButtonDown(flags, x, y);
}

int CRoadDistanceTool::OnMouseMove(unsigned flags, int x, int y)
{
    return m_measure->OnMouseMove(flags, x, y);
}

int CRoadDistanceTool::OnLButtonDblClk(unsigned flags, int x, int y)
{
    return m_measure->OnLButtonDblClk(flags, x, y);
}

int CRoadDistanceTool::OnKeyDown(int key, int repeat, unsigned flags)
{
    return m_measure->OnKeyDown(key, repeat, flags);
}

void CRoadDistanceTool::OnKillFocus()
{
    m_measure->OnKillFocus();
}


void CRoadDistanceTool::Clear()
{
    // The view may have let the measure go (command 30627 keeps it, but
    // a new one can take its place).
    if (m_view->GetRoadDistanceMeasure() != m_measure)
        return;
    m_measure->Clear();
    m_measure->OnKillFocus();
}
