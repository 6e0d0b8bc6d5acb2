#include "routing/RoutePoints.h"

#include "core/Shape.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MeasureBoxes.h"
#include "mapdoc/RouteSettings.h"
#include "mapdoc/ShapeOverlay.h"
#include "mapdoc/ViewWindow.h"
#include "platform/DC.h"
#include "platform/Font.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "platform/VirtualKeys.h"
#include "routing/RouteLayerSource.h"
#include "routing/RouteNetwork.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFieldMissing = 1008;
constexpr int kFieldsNotSet = 1014;
constexpr int kDirectionClosed = 3;
constexpr COLORREF kButtonShadow = RGB(128, 128, 128);
// The route is shown with this much room around it.
constexpr double kRouteMargin = 1.2;

CRoutePointsModel::ToClient ToClientOf(const CDrelView& view)
{
    return [&view](const CMapPoint& p) { return view.MapToClient(p); };
}

bool InsideClient(const CDrelView& view, const CPoint& p)
{
    const CSize size = view.GetClientSize();
    return p.x >= 0 && p.y >= 0 && p.x < size.cx && p.y < size.cy;
}

// Where a marker was drawn: its box and the pole below it down to the point.
CRect MarkerArea(const CRect& box)
{
    CRect area = box;
    area.bottom += box.Height();
    area.InflateRect(2, 2);
    return area;
}

} // namespace

CRoutePoints::CRoutePoints() = default;

CRoutePoints::~CRoutePoints() = default;

const CShape& CRoutePoints::GetLeg(int index) const
{
    return m_legs.at(static_cast<size_t>(index))->GetShape();
}

void CRoutePoints::Draw(CDC& dc, CDrelView& view)
{
    for (const auto& leg : m_legs)
        leg->Draw(dc, view);
    DrawMarkers(dc, view, 0, -1);
}

void CRoutePoints::MarkerRange(int first, int count, int& begin, int& end) const
{
    begin = std::max(first, 0);
    end = count < 0 ? m_model.GetCount() : std::min(m_model.GetCount(), first + count);
}

void CRoutePoints::DrawMarkers(CDC& dc, CDrelView& view, int first, int count)
{
    int begin = 0, end = 0;
    MarkerRange(first, count, begin, end);
    if (begin >= end)
        return;
    const bool onScreen = !dc.IsPrinting() && !view.GetExportFlag();
    const int saved = dc.SaveDC();
    // On the screen markers stand in client pixels; on paper and in
    // pictures in the context's map units, at the same point size.
    if (onScreen)
        dc.SetMapMode(MM_TEXT);
    else
        view.PrepareDCMapping(dc);
    CFont font;
    font.CreatePointFont(90, "Arial", &dc);
    LOGFONT bold = font.LogFont();
    bold.lfWeight = FW_BOLD;
    font.CreateFontIndirect(bold);
    dc.SelectObject(font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    const CPen shadow(PS_SOLID, 0, kButtonShadow);
    const CPen black(PS_SOLID, 0, RGB(0, 0, 0));
    const bool onlyStart = begin == CRoutePointsModel::kStart && end == 1;

    for (int i = begin; i < end; ++i) {
        std::string text;
        COLORREF colour = 0;
        if (!m_model.MarkerLook(i, onlyStart, text, colour))
            continue;
        const CMapPoint& position = m_model.Get(i)->position;
        const CPoint at = onScreen ? view.MapToClient(position) : view.MapToDevice(position);
        const CSize size = dc.GetTextExtent(text);
        const int w = size.cx, h = size.cy;
        CRect label(at.x, at.y, at.x + w, at.y + h);
        label.OffsetRect(-w / 2, -(4 * h / 3));
        CRect box = label;
        box.InflateRect(h / 6, 0);
        const int middle = (box.top + box.bottom) / 2;

        dc.SelectObject(shadow);
        dc.MoveTo(at.x + 1, at.y);
        dc.LineTo(at.x + 1, middle);
        dc.SelectObject(black);
        dc.MoveTo(at.x, at.y);
        dc.LineTo(at.x, middle);
        const CBrush brush(colour);
        dc.SelectObject(brush);
        dc.Rectangle(box);
        dc.TextOut(label.left, label.top, text);
        if (onScreen)
            m_model.Get(i)->marker = box;
    }
    dc.RestoreDC(saved);
}

void CRoutePoints::DrawMarkersOnWindow(CDrelView& view, int first, int count)
{
    std::unique_ptr<CDC> dc = view.OpenWindowDC();
    DrawMarkers(*dc, view, first, count);
}

void CRoutePoints::InvalidateMarkers(CDrelView& view, int first, int count)
{
    IViewWindow* window = view.GetWindow();
    int begin = 0, end = 0;
    MarkerRange(first, count, begin, end);
    for (int i = begin; i < end; ++i) {
        const CRect& box = m_model.Get(i)->marker;
        if (window && !box.IsRectEmpty())
            window->InvalidateRect(MarkerArea(box));
    }
}

int CRoutePoints::ClearLegs(CDrelView& view)
{
    m_lengthBox.reset();
    const int removed = GetLegCount();
    if (removed == 0)
        return 0;
    if (IViewWindow* window = view.GetWindow()) {
        for (const auto& leg : m_legs) {
            CRect rect;
            if (leg->GetRect(view, rect))
                window->InvalidateRect(rect);
        }
    }
    m_legs.clear();
    m_totalLength = 0;
    view.UpdateWindow();
    return removed;
}

void CRoutePoints::DeletePoints(CDrelView& view)
{
    InvalidateMarkers(view, 0, -1);
    m_model.Clear();
}

void CRoutePoints::Clear(CDrelView& view)
{
    view.SetToolMode(0);
    ClearLegs(view);
    DeletePoints(view);
    view.Invalidate();
}

int CRoutePoints::SnapClick(CDrelView& view, const CMapPoint& click, CMapPoint& snapped, int& serial)
{
    CDrelDoc& document = view.GetDocument();
    CRouteSettings settings;
    if (!document.GetRouteSettings(settings) || !settings.layer)
        return 0;
    std::unique_ptr<IRouteLayerSource> own;
    IRouteLayerSource* source = m_source;
    if (!source) {
        own = CreateRouteLayerSource();
        source = own.get();
    }
    if (!source || !source->OpenLayer(*settings.layer))
        return 0;
    const int from = settings.fromNodeField.empty() ? -1 : source->FindField(settings.fromNodeField);
    const int to = settings.toNodeField.empty() ? -1 : source->FindField(settings.toNodeField);
    const int direction = settings.dirMaskField.empty() ? -1 : source->FindField(settings.dirMaskField);
    if (from < 0 || to < 0) {
        if (settings.fromNodeField.empty() || settings.toNodeField.empty())
            AppMessageBox(kFieldsNotSet);
        else
            AppMessageBox(LoadStringArgs(kFieldMissing, settings.layer->GetName(),
                                         from < 0 ? settings.fromNodeField : settings.toNodeField),
                          MB_OK, kFieldMissing);
        return 0;
    }

    const CMapRect visible = view.GetMapExtent();
    double reach = std::fabs(visible.Height()) + std::fabs(visible.Width());
    source->SetQueryRect(visible);
    const auto km = [&document](const CMapPoint& a, const CMapPoint& b) { return document.GetDistanceKm(a, b); };
    bool found = false;
    CShape line;
    while (source->ReadNextShape(line)) {
        if (direction >= 0 && source->GetFieldLong(direction) == kDirectionClosed)
            continue;
        int segment = 0;
        CMapPoint nearest;
        if (!line.HitTestSegment(click, reach, -1, segment, &nearest))
            continue;
        // Measured as the nearest segment measures.
        const double distance = std::max(std::fabs(nearest.x - click.x), std::fabs(nearest.y - click.y));
        if (found && distance >= reach)
            continue;
        reach = distance;
        found = true;
        const int count = line.GetPointCount();
        snapped = ApplyEndSnap(click, nearest, line.GetPoint(0), line.GetPoint(count - 1), line.GetPoint(segment), km);
    }
    if (!found)
        return 0;
    serial = m_model.NextSerial();
    return 1;
}

void CRoutePoints::SetStart(CDrelView& view, int x, int y)
{
    Place(view, CRoutePointsModel::kStart, x, y);
}

void CRoutePoints::SetFinish(CDrelView& view, int x, int y)
{
    Place(view, CRoutePointsModel::kFinish, x, y);
}

void CRoutePoints::AddIntermediate(CDrelView& view, int x, int y)
{
    Place(view, CRoutePointsModel::kFirstIntermediate, x, y);
}

void CRoutePoints::Place(CDrelView& view, int kind, int x, int y)
{
    ClearLegs(view);
    const CRoutePointsModel::ToClient toClient = ToClientOf(view);
    CMapPoint position;
    int serial = 0;
    int hit = m_model.HitPoint(CPoint(x, y), toClient);
    if (hit < 0) {
        if (!SnapClick(view, view.ClientToMap(x, y), position, serial)) {
            AppBeep();
            return;
        }
        hit = m_model.HitPoint(view.MapToClient(position), toClient);
    }
    // A point met is taken over whole.
    if (hit >= 0) {
        position = m_model.Get(hit)->position;
        serial = m_model.Get(hit)->serial;
    }
    const int target = m_model.PlaceTarget(kind, hit);
    if (target == CRoutePointsModel::kBeep)
        AppBeep();
    if (target < 0)
        return;
    const bool ends = target <= CRoutePointsModel::kFinish;
    InvalidateMarkers(view, ends ? 0 : target, ends ? 2 : 1);
    m_model.Store(target, position, serial);
    DrawMarkersOnWindow(view, ends ? 0 : target, ends ? 2 : 1);
}

void CRoutePoints::MovePoint(CDrelView& view, int x, int y)
{
    ClearLegs(view);
    const int index = m_model.GrabTarget(CPoint(x, y), ToClientOf(view));
    if (index < 0) {
        AppBeep();
        return;
    }
    CRoutePoint& point = *m_model.Get(index);
    if (point.marker.IsRectEmpty())
        return;
    IViewWindow* window = view.GetWindow();
    // Refused while another window holds the mouse.
    if (!window || !window->CaptureMouse())
        return;
    const bool ends = index <= CRoutePointsModel::kFinish;
    m_drag = CDrag{true, index, point.serial, CPoint(x, y)};
    InvalidateMarkers(view, ends ? 0 : index, ends ? 2 : 1);
    point.serial = 0;
    view.UpdateWindow();
    view.SetCursor(kDragCursor);
}

void CRoutePoints::OnDragMouseMove(CDrelView& view, int x, int y)
{
    view.SetCursor(InsideClient(view, CPoint(x, y)) ? kDragCursor : kDragOutsideCursor);
}

void CRoutePoints::OnDragLButtonUp(CDrelView& view, int x, int y)
{
    const CPoint at(x, y);
    EndDrag(view, InsideClient(view, at) ? EDragEnd::kKeepAt : EDragEnd::kDelete, at);
}

void CRoutePoints::OnDragRButtonDown(CDrelView& view)
{
    EndDrag(view, EDragEnd::kKeepOld, CPoint());
}

void CRoutePoints::OnDragKeyDown(CDrelView& view, int key)
{
    if (key == VK_DELETE)
        EndDrag(view, EDragEnd::kDelete, CPoint());
    else if (key == VK_ESCAPE)
        EndDrag(view, EDragEnd::kKeepOld, CPoint());
}

void CRoutePoints::OnDragFocusLost(CDrelView& view)
{
    EndDrag(view, EDragEnd::kKeepOld, CPoint());
}

void CRoutePoints::EndDrag(CDrelView& view, EDragEnd end, const CPoint& at)
{
    const CDrag drag = m_drag;
    m_drag = CDrag();
    if (IViewWindow* window = view.GetWindow())
        window->ReleaseMouse();
    view.OnSetCursor(view.GetKeyFlags());
    CRoutePoint* point = m_model.Get(drag.index);
    if (!point)
        return;
    const bool ends = drag.index <= CRoutePointsModel::kFinish;
    const int first = ends ? 0 : drag.index;
    const int count = ends ? 2 : 1;

    if (end == EDragEnd::kDelete) {
        InvalidateMarkers(view, 0, -1);
        m_model.Delete(drag.index);
        view.Invalidate();
        DrawMarkersOnWindow(view, 0, -1);
        return;
    }
    CMapPoint position;
    int serial = 0;
    const bool moved = end == EDragEnd::kKeepAt && at != drag.press &&
                       SnapClick(view, view.ClientToMap(at.x, at.y), position, serial);
    if (moved) {
        // The dragged point is hidden (serial 0), so it meets only the others.
        const int hit = m_model.HitPoint(view.MapToClient(position), ToClientOf(view));
        if (!CRoutePointsModel::MayDrop(drag.index, hit)) {
            AppBeep();
            point->serial = drag.serial;
            DrawMarkersOnWindow(view, first, count);
            return;
        }
        point->position = position;
        point->serial = serial;
        InvalidateMarkers(view, first, count);
    } else {
        point->serial = drag.serial;
    }
    view.Invalidate();
    DrawMarkersOnWindow(view, first, count);
}

int CRoutePoints::ComputeRoute(CDrelView& view)
{
    view.SetToolMode(0);
    ClearLegs(view);
    if (const int missing = m_model.MissingEnd()) {
        AppMessageBox(missing);
        return 0;
    }
    CRouteNetwork network;
    if (!network.LoadSettings(view.GetDocument()))
        return 0;
    if (m_source)
        network.SetLayerSource(m_source);
    const std::vector<CMapPoint> stops = m_model.Stops();
    const int n = static_cast<int>(stops.size());

    IViewWindow* window = view.GetWindow();
    if (!m_lengthBox && window) {
        window->FocusView();
        m_lengthBox = window->CreateRouteLengthBox();
    }
    std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
    if (progress) {
        progress->SetRange(0, m_model.ProgressHigh());
        progress->SetStep(1);
        progress->SetPos(0);
        network.progress = progress.get();
    }
    std::vector<int> order(static_cast<size_t>(n), 0);
    if (!network.RouteForPoints(stops.data(), n, order.data()))
        return 0;
    m_model.ReorderIntermediates(order);

    ShowLegs(view, network.legs, network.totalLength);
    return 1;
}

void CRoutePoints::ShowLegs(CDrelView& view, const std::vector<std::unique_ptr<CShape>>& legs, double totalLength)
{
    IViewWindow* window = view.GetWindow();
    if (!m_lengthBox && window) {
        window->FocusView();
        m_lengthBox = window->CreateRouteLengthBox();
    }
    CMapRect extent;
    std::unique_ptr<CDC> dc = view.OpenWindowDC();
    for (const std::unique_ptr<CShape>& leg : legs) {
        m_legs.push_back(std::make_unique<CShapeOverlay>(*leg));
        m_legs.back()->Draw(*dc, view);
        extent.UnionRect(extent, leg->GetExtent());
    }
    m_totalLength = totalLength;
    // Legs without length (start and finish on one node) have no extent
    // to show: the view stays where it is.
    if (extent.IsValid() && extent.IsFinite() && (extent.Width() > 0 || extent.Height() > 0)) {
        extent.Scale(kRouteMargin);
        view.ZoomToRect(extent, 0);
    } else {
        view.Invalidate();
    }
    if (m_lengthBox)
        m_lengthBox->SetLength(m_totalLength);
}

CRoutePoints* RoutePointsOf(CDrelView& view)
{
    if (!view.GetRoutePoints())
        view.SetRoutePoints(MakeRoutePoints(view));
    return dynamic_cast<CRoutePoints*>(view.GetRoutePoints());
}
