#include "mapdoc/DrelView.h"

#include "layers/Layer.h"
#include "mapdoc/AreaPerimeterTool.h"
#include "mapdoc/AzimuthTool.h"
#include "mapdoc/DistanceTool.h"
#include "mapdoc/InfoTool.h"
#include "mapdoc/LineEditTool.h"
#include "mapdoc/ObjectEditTool.h"
#include "mapdoc/PanTool.h"
#include "mapdoc/PointCoordTool.h"
#include "mapdoc/RoadDistance.h"
#include "mapdoc/StreetInfoTool.h"
#include "mapdoc/ZoomStepTool.h"
#include "mapdoc/ZoomWindowTool.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/LayerDataAccess.h"
#include "mapdoc/LayerQueries.h"
#include "mapdoc/LineOverlay.h"
#include "mapdoc/MapGps.h"
#include "mapdoc/MapOverlay.h"
#include "mapdoc/MapTool.h"
#include "mapdoc/ObjectMeasureBox.h"
#include "mapdoc/PageSetup.h"
#include "mapdoc/PlacemarkTools.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/RoutePoints.h"
#include "mapdoc/ScaleBar.h"
#include "mapdoc/ScaleBarPainter.h"
#include "mapdoc/ShapeOverlay.h"
#include "mapdoc/TextOverlay.h"
#include "mapdoc/ViewHost.h"
#include "mapdoc/ViewWindow.h"
#include "platform/CommandTarget.h"
#include "platform/DC.h"
#include "platform/DrawInterrupt.h"
#include "platform/IniFile.h"
#include "platform/UserServices.h"
#include "platform/VirtualKeys.h"
#include "platform/WindowSurface.h"
#include "render/LayerDrawing.h"

#include <algorithm>
#include <cmath>

namespace {

// Far enough for any drawing, near enough that differences of two
// coordinates still fit an int.
constexpr double kMaxDeviceCoordinate = 1e9;

// One thousandth of an inch in metres.
constexpr double kMetresPerMil = 0.0000254;

constexpr COLORREF kWindowColour = RGB(255, 255, 255);

// v + 0.5 cut towards zero, so -1.7 becomes -1.
int Round(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(v + 0.5), -kMaxDeviceCoordinate, kMaxDeviceCoordinate));
}

bool IsEmptyExtent(const CMapRect& r)
{
    return r.left > r.right || r.top < r.bottom;
}

void Offset(CMapRect& r, double dx, double dy)
{
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}

} // namespace

CDrelView::CDrelView(CDrelDoc& document) : m_document(document)
{
    GetScreenLogPixels(m_logPixelsX, m_logPixelsY);
    GetScreenPixelsPerMeter(m_pixelsPerMetreX, m_pixelsPerMetreY);
    m_scaleX = 1.0 / m_pixelsPerMetreX;
    m_scaleY = -1.0 / m_pixelsPerMetreY;
    InstallLayerDrawing();
    InstallLayerQueries();
    m_document.AddObserver(this);
}

CDrelView::~CDrelView()
{
    // Tools reach the view's members as they go.
    m_tool.reset();
    m_roadDistance.reset();
    m_document.RemoveObserver(this);
}

// ------------------------------------------------------------ conversions

CMapPoint CDrelView::ClientToMap(int x, int y) const
{
    return CMapPoint(x * m_scaleX + m_originX, y * m_scaleY + m_originY);
}

CPoint CDrelView::MapToClient(const CMapPoint& p) const
{
    return CPoint(Round((p.x - m_originX) / m_scaleX), Round((p.y - m_originY) / m_scaleY));
}

CRect CDrelView::RectToClient(const CMapRect& r) const
{
    return CRect(MapToClient(CMapPoint(r.left, r.top)), MapToClient(CMapPoint(r.right, r.bottom)));
}

CMapRect CDrelView::ClientRectToMap(const CRect& r) const
{
    const CMapPoint topLeft = ClientToMap(r.left, r.top);
    const CMapPoint bottomRight = ClientToMap(r.right, r.bottom);
    return CMapRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

const std::vector<CPoint>& CDrelView::ConvertShape(const CMapPoint* points, int count,
                                                    CPoint (CDrelView::*convert)(const CMapPoint&) const)
{
    m_devicePoints.clear();
    for (int i = 0; i < count; ++i)
        m_devicePoints.push_back((this->*convert)(points[i]));
    return m_devicePoints;
}

const std::vector<CPoint>& CDrelView::ShapeToClientPoints(const CMapPoint* points, int count)
{
    return ConvertShape(points, count, &CDrelView::MapToClient);
}

CPoint CDrelView::MapToDevice(const CMapPoint& p) const
{
    return CPoint(Round((p.x - m_originX) / m_printScaleX), Round((p.y - m_originY) / m_printScaleY));
}

CRect CDrelView::RectToDevice(const CMapRect& r) const
{
    return CRect(MapToDevice(CMapPoint(r.left, r.top)), MapToDevice(CMapPoint(r.right, r.bottom)));
}

const std::vector<CPoint>& CDrelView::ShapeToDevicePoints(const CMapPoint* points, int count)
{
    return ConvertShape(points, count, &CDrelView::MapToDevice);
}

CMapPoint CDrelView::DeviceToMap(const CPoint& p) const
{
    return CMapPoint(p.x * m_printScaleX + m_originX, p.y * m_printScaleY + m_originY);
}

void CDrelView::ClientSizeToMap(int dx, int dy, double& x, double& y) const
{
    x = (dx * m_scaleX + m_originX) - m_originX;
    y = (dy * m_scaleY + m_originY) - m_originY;
}

int CDrelView::IsPointInExtent(const CMapPoint& p) const
{
    const CMapRect e = GetMapExtent();
    return e.left <= p.x && p.x <= e.right && e.bottom <= p.y && p.y <= e.top;
}

int CDrelView::PrepareDCMapping(CDC& dc) const
{
    const int previous = dc.SetMapMode(MM_ANISOTROPIC);
    if ((!m_exportFlag || m_exportRect.IsRectEmpty()) && (m_client.cx <= 0 || m_client.cy <= 0)) {
        // No window yet (printing from a tool): the same thousandths of an
        // inch, which a client area of no size cannot give.
        dc.SetWindowExt(1000, 1000);
        dc.SetViewportExt(std::max(dc.GetDeviceCaps(LOGPIXELSX), 1), std::max(dc.GetDeviceCaps(LOGPIXELSY), 1));
    } else if (!m_exportFlag || m_exportRect.IsRectEmpty()) {
        dc.SetWindowExt(m_client.cx * 1000 / std::max(dc.GetDeviceCaps(LOGPIXELSX), 1),
                        m_client.cy * 1000 / std::max(dc.GetDeviceCaps(LOGPIXELSY), 1));
        dc.SetViewportExt(m_client.cx, m_client.cy);
    } else {
        dc.SetWindowExt(MulDiv(m_exportRect.Width(), 1000, m_logPixelsX),
                        MulDiv(m_exportRect.Height(), 1000, m_logPixelsY));
        dc.SetViewportExt(m_exportRect.Width(), m_exportRect.Height());
    }
    return previous;
}

// ------------------------------------------------------------ extent and scale

CMapRect CDrelView::GetMapExtent() const
{
    if (m_fixedExtentFlag)
        return m_fixedExtent;
    return CMapRect(m_originX, m_originY, m_client.cx * m_scaleX + m_originX, m_client.cy * m_scaleY + m_originY);
}

void CDrelView::GetMetresPerUnit(double& x, double& y) const
{
    m_document.GetMetresPerUnit(x, y);
    // A map at a pole has no metres to a degree of longitude.
    if (!(std::isfinite(x) && x > 0))
        x = 1;
    if (!(std::isfinite(y) && y > 0))
        y = 1;
}

void CDrelView::SetScales(double denominator)
{
    double mx, my;
    GetMetresPerUnit(mx, my);
    m_scale = denominator;
    m_scaleX = denominator / m_pixelsPerMetreX / mx;
    m_scaleY = -(denominator / m_pixelsPerMetreY / my);
    m_printScaleX = denominator / mx * kMetresPerMil;
    m_printScaleY = -(denominator / my * kMetresPerMil);
}

void CDrelView::SetScaleDenominator(double denominator)
{
    SetScales(denominator);
}

int CDrelView::FitRect(const CMapRect& r)
{
    if (m_client.cx <= 0 || m_client.cy <= 0)
        return 0;
    double mx, my;
    GetMetresPerUnit(mx, my);
    double d = std::max((r.right - r.left) / m_client.cx * m_pixelsPerMetreX * mx,
                        -(r.bottom - r.top) / m_client.cy * m_pixelsPerMetreY * my);
    if (d == 0)
        d = m_document.Settings().optimScale;
    if (d < m_document.GetMinUnitsPerPixel())
        d = m_document.GetMinUnitsPerPixel();
    const CMapPoint centre = r.Center();
    // An unbounded or broken rectangle would leave the view nowhere.
    if (!std::isfinite(d) || !std::isfinite(centre.x) || !std::isfinite(centre.y))
        return 0;
    SetScales(d);
    m_originX = centre.x - m_client.cx * m_scaleX / 2;
    m_originY = centre.y - m_client.cy * m_scaleY / 2;
    return 1;
}

void CDrelView::AfterZoom()
{
    ViewHost().SetScaleText(m_scale);
    if (m_window)
        m_window->RebuildLegend();
    RepaintOverview();
    Invalidate();
}

void CDrelView::ZoomToRect(const CMapRect& r, int checkAutoLoad)
{
    if (checkAutoLoad) {
        const CMapRect current = GetMapExtent();
        const double d = std::max(r.Width() / current.Width(), r.Height() / current.Height()) * m_scale;
        if (CheckAutoLoad(r, d))
            return;
    }
    if (!FitRect(r))
        return;
    m_fullExtent = 0;
    PushExtentHistory();
    AfterZoom();
}

void CDrelView::ZoomToRectAtLeast(const CMapRect& r, double minimumDenominator)
{
    const double minimum = m_document.GetMinUnitsPerPixel();
    m_document.SetMinUnitsPerPixel(std::max(minimum, minimumDenominator));
    ZoomToRect(r, 0);
    m_document.SetMinUnitsPerPixel(minimum);
}

void CDrelView::ZoomToScaleAt(double denominator, const CMapPoint& p)
{
    CMapRect moved = GetMapExtent();
    moved.Scale(denominator / m_scale);
    const CMapPoint centre = moved.Center();
    Offset(moved, p.x - centre.x, p.y - centre.y);
    if (CheckAutoLoad(moved, denominator))
        return;
    const double minimum = m_document.GetMinUnitsPerPixel();
    if (denominator < minimum) {
        if (m_scale == minimum) {
            AppBeep();
            return;
        }
        denominator = minimum;
    }
    if (!std::isfinite(denominator))
        return;
    m_fullExtent = 0;
    SetScales(denominator);
    m_originX = p.x - m_client.cx * m_scaleX / 2;
    m_originY = p.y - m_client.cy * m_scaleY / 2;
    PushExtentHistory();
    AfterZoom();
}

void CDrelView::SetScale(double denominator)
{
    ZoomToScaleAt(denominator, GetMapExtent().Center());
}

void CDrelView::MoveExtent(double dx, double dy)
{
    CMapRect moved = GetMapExtent();
    Offset(moved, dx, dy);
    if (CheckAutoLoad(moved, m_scale))
        return;
    m_fullExtent = 0;
    m_originX += dx;
    m_originY += dy;
    PushExtentHistory();
    RepaintOverview();
    Invalidate();
}

void CDrelView::CenterOn(const CMapPoint& p)
{
    const CMapPoint centre = GetMapExtent().Center();
    MoveExtent(p.x - centre.x, p.y - centre.y);
}

void CDrelView::CenterOnGeoPoint(CMapPoint p)
{
    m_document.GeoToMap(p);
    CenterOn(p);
}

void CDrelView::PanBy(double dx, double dy)
{
    MoveExtent(-dx, -dy);
}

// The map's limits enlarged a little, without a history entry.
void CDrelView::ShowFullExtent()
{
    CMapRect r = m_document.Settings().limits;
    r.Scale(1.02);
    const int index = m_history.GetIndex();
    m_history.SetIndex(CExtentHistory::kSuspended);
    ZoomToRect(r, 0);
    m_history.SetIndex(index);
}

void CDrelView::ZoomToFullExtent()
{
    if (IsEmptyExtent(m_document.Settings().limits)) {
        SetScaleDenominator(1.0);
        // The picture must follow the new scale.
        m_backBuffer.DeleteObject();
        Invalidate();
        return;
    }
    ShowFullExtent();
    m_fullExtent = 1;
    PushExtentHistory();
}

int CDrelView::ZoomToLayer(CLayer& layer)
{
    CMapRect extent;
    if (!LayerDataAccess().ComputeLayerExtent(layer, extent))
        return 0;
    if (IsEmptyExtent(extent) || extent == CLayer::kUnboundedExtent)
        return 0;
    ZoomToRect(extent, 0);
    return 1;
}

void CDrelView::GoToHistoryEntry(int index)
{
    const CMapRect entry = m_history.GetAt(index);
    m_history.SetIndex(CExtentHistory::kSuspended);
    if (entry == CMapRect::Empty())
        ZoomToFullExtent();
    else
        ZoomToRect(entry, 0);
    m_history.SetIndex(index);
}

void CDrelView::ZoomPrevious()
{
    if (m_history.CanGoBack())
        GoToHistoryEntry(m_history.GetIndex() - 1);
}

void CDrelView::ZoomNext()
{
    if (m_history.CanGoForward())
        GoToHistoryEntry(m_history.GetIndex() + 1);
}

void CDrelView::Redraw()
{
    m_backBuffer.DeleteObject();
    Invalidate();
}

int CDrelView::CheckAutoLoad(const CMapRect& extent, double denominator)
{
    const CMapSettings& settings = m_document.Settings();
    if (!settings.autoLoad || !ViewHost().IsMapLinked(m_document.GetPathName()))
        return 0;
    const CMapRect& limits = settings.limits;
    const bool inside = extent.left >= limits.left && extent.top <= limits.top && extent.right <= limits.right &&
                        extent.bottom >= limits.bottom;
    if (inside && settings.optimScale <= denominator)
        return 0;
    return ViewHost().OpenBestMapForExtent(extent, settings.mapUnits, m_document.GetPathName(), 1, 1, 1);
}

void CDrelView::PushExtentHistory()
{
    m_lastScale = m_scale;
    m_lastOriginX = m_originX;
    m_lastOriginY = m_originY;
    m_backBuffer.DeleteObject();
    m_history.Push(m_fullExtent ? CMapRect::Empty() : GetMapExtent());
}

// ------------------------------------------------------------ window events

void CDrelView::Invalidate()
{
    if (m_window)
        m_window->InvalidateView();
}

void CDrelView::UpdateWindow()
{
    if (m_window)
        m_window->UpdateView();
}

void CDrelView::RepaintOverview()
{
    if (m_window) {
        if (CDrelView* overview = m_window->GetOverview())
            overview->Invalidate();
    }
}

void CDrelView::FitFullExtentAndOverview()
{
    const CMapRect& limits = m_document.Settings().limits;
    if (IsEmptyExtent(limits)) {
        SetScaleDenominator(1.0);
        return;
    }
    ZoomToFullExtent();
    if (CDrelView* overview = m_window ? m_window->GetOverview() : nullptr) {
        CMapRect around = limits;
        around.Scale(1.04);
        overview->FitRect(around);
        overview->Invalidate();
    }
}

void CDrelView::OnInitialUpdate()
{
    OnUpdate(m_document, kHintAll);
    FitFullExtentAndOverview();
    if (m_document.Settings().scaleBarShow)
        ShowScaleBar(false);
}

void CDrelView::OnUpdate(CDrelDoc&, uint32_t hint)
{
    switch (HintOperation(hint)) {
    case kHintAll:
    case kHintRedraw:
        Redraw();
        break;
    case kHintBufferZones:
    case kHintOverlays:
        Invalidate();
        break;
    default:
        break;
    }
}

void CDrelView::OnSize(int width, int height)
{
    m_client = CSize(std::max(width, 0), std::max(height, 0));
    m_backBuffer.DeleteObject();
    if (m_overviewFlag)
        return;
    // Any other resize keeps origin and scale: more or less of the map shows.
    if (m_firstSize)
        FitFullExtentAndOverview();
    else if (m_fullExtent)
        ZoomToFullExtent();
}

CMapTool* CDrelView::ActiveTool() const
{
    if (!m_tool)
        return nullptr;
    return m_tool->GetChild() ? m_tool->GetChild() : m_tool.get();
}

void CDrelView::OnKeyDown(int key, int repeat, unsigned flags)
{
    if (IRoutePoints* dragged = DraggedRoutePoints()) {
        dragged->OnDragKeyDown(*this, key);
        return;
    }
    const CMapRect extent = GetMapExtent();
    switch (key) {
    case VK_ESCAPE:
        if (!m_tool || m_tool->MayQuit()) {
            m_tool.reset();
            SetToolMode(0);
        }
        break;
    case VK_PRIOR:
        MoveExtent(0, extent.Height() / 2);
        break;
    case VK_NEXT:
        MoveExtent(0, -extent.Height() / 2);
        break;
    case VK_END:
        MoveExtent(extent.Width() / 2, 0);
        break;
    case VK_HOME:
        MoveExtent(-extent.Width() / 2, 0);
        break;
    default:
        if (CMapTool* tool = ActiveTool())
            tool->OnKeyDown(key, repeat, flags);
        break;
    }
}

void CDrelView::OnChar(int ch, int repeat, unsigned flags)
{
    if (DraggedRoutePoints())
        return;
    if (ch == '+')
        ZoomToScaleAt(m_scale * 0.5, GetMapExtent().Center());
    else if (ch == '-')
        ZoomToScaleAt(m_scale * 2, GetMapExtent().Center());
}

void CDrelView::OnLButtonDown(unsigned flags, int x, int y)
{
    NotePointer(flags, x, y);
    if (DraggedRoutePoints())
        return;
    if (CreateToolForMode())
        ActiveTool()->OnLButtonDown(flags, x, y);
    else
        ClickWithoutTool(flags, x, y);
}

void CDrelView::ClickWithoutTool(unsigned flags, int x, int y)
{
    const int mode = MapToolMode;
    switch (mode) {
    case kModeRouteStart:
    case kModeRouteFinish:
    case kModeRouteIntermediate:
        if (!m_routePoints)
            m_routePoints = MakeRoutePoints(*this);
        if (!m_routePoints)
            return;
        if (mode == kModeRouteStart)
            m_routePoints->SetStart(*this, x, y);
        else if (mode == kModeRouteFinish)
            m_routePoints->SetFinish(*this, x, y);
        else
            m_routePoints->AddIntermediate(*this, x, y);
        return;
    case kModeRouteMove:
        if (m_routePoints)
            m_routePoints->MovePoint(*this, x, y);
        return;
    case kModeObjectArea:
    case kModeObjectLength:
        if (CLayer* layer = GetActiveLayer()) {
            if (mode == kModeObjectArea)
                layer->ShowAreaAt(ClientToMap(x, y), *this);
            else
                layer->ShowLengthAt(ClientToMap(x, y), *this);
        } else {
            AppBeep();
        }
        return;
    case kModeBufferZone:
        m_document.BufferZones().AddAtPoint(*this, x, y);
        return;
    default:
        if (mode >= kModeFirstExtension && mode <= kModeLastExtension)
            ExtensionOnLButtonDown(this, flags, x, y);
        return;
    }
}

void CDrelView::OnLButtonUp(unsigned flags, int x, int y)
{
    if (IRoutePoints* dragged = DraggedRoutePoints()) {
        dragged->OnDragLButtonUp(*this, x, y);
        return;
    }
    if (CMapTool* tool = ActiveTool())
        tool->OnLButtonUp(flags, x, y);
}

void CDrelView::OnMouseMove(unsigned flags, int x, int y)
{
    NotePointer(flags, x, y);
    if (IRoutePoints* dragged = DraggedRoutePoints()) {
        dragged->OnDragMouseMove(*this, x, y);
        return;
    }
    if (CMapTool* tool = ActiveTool())
        tool->OnMouseMove(flags, x, y);
    m_document.ShowCoordinates(ClientToMap(x, y));
    ExtensionOnMouseMove(this, flags, x, y);
}

int CDrelView::CursorForMode(int mode, unsigned keyFlags)
{
    const bool shift = (keyFlags & MK_SHIFT) != 0;
    switch (mode) {
    case kModeZoomWindow:
        return 0;
    case kModeZoomIn:
        return shift ? CZoomStepTool::kCursorZoomOut : CZoomStepTool::kCursorZoomIn;
    case kModeZoomOut:
        return shift ? CZoomStepTool::kCursorZoomIn : CZoomStepTool::kCursorZoomOut;
    case kModePan:
        return CPanTool::kCursor;
    case kModeDistance:
    case kModeObjectLength:
    case kModeRoadDistance:
        return 113;
    case kModeAreaPerimeter:
    case kModeObjectArea:
        return 118;
    case kModeDrawObject:
        return 1075;
    case kModeSelectForEdit:
    case kModeMovePlacemark:
        return 175;
    case kModeEditGeometry:
        return 363;
    case kModeDeleteObjects:
    case kModeDeletePlacemark:
        return 1077;
    case kModeRouteStart:
    case kModeRouteFinish:
    case kModeRouteIntermediate:
        return 112;
    case kModeRouteMove:
        return 174;
    case kModeAzimuth:
        return 184;
    case kModeBufferZone:
        return 1080;
    case kModePointCoordinates:
        return 1087;
    case kModeAddPlacemark:
        return 401;
    default:
        return mode >= 1 && mode <= kModeEditPlacemark ? 116 : 0;
    }
}

int CDrelView::OnSetCursor(unsigned keyFlags)
{
    m_keyFlags = keyFlags;
    // The drag shows its own cursors.
    if (DraggedRoutePoints())
        return 1;
    if (m_tool) {
        if (ActiveTool()->OnSetCursor())
            return 1;
        SetCursor(0);
        return 0;
    }
    const int mode = MapToolMode;
    if (mode >= kModeFirstExtension && mode <= kModeLastExtension) {
        if (ExtensionOnSetCursor())
            return 1;
        SetCursor(0);
        return 0;
    }
    const int cursor = CursorForMode(mode, keyFlags);
    SetCursor(cursor);
    return cursor != 0;
}

void CDrelView::SetCursor(int cursorId)
{
    if (m_window)
        m_window->SetCursor(cursorId);
}

void CDrelView::OnKillFocus()
{
    if (IRoutePoints* dragged = DraggedRoutePoints()) {
        dragged->OnDragFocusLost(*this);
        return;
    }
    if (CMapTool* tool = ActiveTool())
        tool->OnKillFocus();
}

void CDrelView::OnRButtonDown(unsigned flags, int x, int y)
{
    NotePointer(flags, x, y);
    if (IRoutePoints* dragged = DraggedRoutePoints())
        dragged->OnDragRButtonDown(*this);
}

IRoutePoints* CDrelView::DraggedRoutePoints() const
{
    return m_routePoints && m_routePoints->IsDragging() ? m_routePoints.get() : nullptr;
}

void CDrelView::OnMouseLeave()
{
    if (CMapTool* tool = ActiveTool())
        tool->OnMouseLeave();
}

CLayer* CDrelView::GetActiveLayer() const
{
    return m_window ? m_window->GetActiveLayer() : nullptr;
}

bool CDrelView::DoubleClickShowsObjects()
{
    if (m_doubleClickShowsObjects < 0) {
        const std::string config = ViewHost().GetConfigFilePath();
        m_doubleClickShowsObjects = config.empty() ? 1 : GetPrivateProfileInt("Options", "LB_DBLCLK", 1, config);
    }
    return m_doubleClickShowsObjects != 0;
}

void CDrelView::OnLButtonDblClk(unsigned flags, int x, int y)
{
    if (CMapTool* tool = ActiveTool(); tool && tool->OnLButtonDblClk(flags, x, y))
        return;
    if (flags & MK_CONTROL) {
        OnPointInMap(ClientToMap(x, y));
    } else if (MapToolMode == 0 && DoubleClickShowsObjects()) {
        m_contextPoint = CPoint(x, y);
        ShowObjectsAtPoint();
    }
}

void CDrelView::OnContextMenu(int x, int y)
{
    // The press that stopped a drawing pass asks for no menu.
    if (GetRightClickFlag()) {
        SetRightClickFlag(0);
        return;
    }
    // A tool may have a menu of its own.
    if (m_tool && m_tool->OnContextMenu(m_keyFlags, x, y))
        return;
    m_contextPoint = CPoint(x, y);
    ShowContextMenu(x, y);
}

void CDrelView::OnKeyUp(int key, int repeat, unsigned flags)
{
    if (CMapTool* tool = ActiveTool())
        tool->OnKeyUp(key, repeat, flags);
}

// ------------------------------------------------------------ tools

std::unique_ptr<CMapTool> CDrelView::MakeNavigationTool(int mode)
{
    switch (mode) {
    case kModeZoomWindow:
        return std::make_unique<CZoomWindowTool>(this);
    case kModeZoomIn:
        return std::make_unique<CZoomInTool>(this);
    case kModeZoomOut:
        return std::make_unique<CZoomOutTool>(this);
    case kModePan:
        return std::make_unique<CPanTool>(this);
    default:
        return nullptr;
    }
}

std::unique_ptr<CMapTool> CDrelView::MakeTool(int mode)
{
    switch (mode) {
    case kModeInfo:
        return std::make_unique<CInfoTool>(this);
    case kModeDistance:
        return std::make_unique<CDistanceTool>(this);
    case kModeAreaPerimeter:
        return std::make_unique<CAreaPerimeterTool>(this);
    case kModeStreetInfo:
        return std::make_unique<CStreetInfoTool>(this);
    case kModeAzimuth:
        return std::make_unique<CAzimuthTool>(this);
    case kModePointCoordinates:
        return std::make_unique<CPointCoordTool>(this);
    case kModeRoadDistance:
        return std::make_unique<CRoadDistanceTool>(this);
    default:
        if (std::unique_ptr<CMapTool> placemarks = MakePlacemarkTool(*this, mode))
            return placemarks;
        return MakeNavigationTool(mode);
    }
}

int CDrelView::CreateToolForMode()
{
    if (!m_tool) {
        m_lastToolMode = MapToolMode;
        m_tool = MakeTool(MapToolMode);
    }
    return m_tool != nullptr;
}

void CDrelView::SetTool(std::unique_ptr<CMapTool> tool, int mode)
{
    m_tool = std::move(tool);
    m_lastToolMode = mode;
}

int CDrelView::AttachNavigationTool(int mode)
{
    if (!m_tool)
        return 0;
    if (m_tool->AcceptsNavigationChild() && mode >= kModeZoomWindow && mode <= kModePan) {
        m_tool->SetChild(MakeNavigationTool(mode));
        MapToolMode = mode;
        NotifyCommandStatesChanged();
        return 1;
    }
    m_tool->SetChild(nullptr);
    return 0;
}

void CDrelView::SetToolMode(int mode)
{
    if (AttachNavigationTool(mode))
        return;
    CLayer* selectedLayer = nullptr;
    int selectedRecord = -1;
    if (m_tool && MapToolMode == kModeSelectForEdit) {
        if (auto* editor = dynamic_cast<CObjectEditTool*>(m_tool.get())) {
            if (mode == kModeDeleteObjects) {
                editor->DeleteSelectedObjects();
                return;
            }
            if (!editor->IsModified() && editor->GetSelectedCount() == 1 &&
                editor->GetSelectedObject(0, selectedLayer, selectedRecord) && selectedLayer) {
                if (mode == kModeEditAttributes && selectedLayer->HasFlag(CLayer::kInfoEditable)) {
                    selectedLayer->EditRecord(*this, selectedRecord);
                    return;
                }
            } else {
                selectedLayer = nullptr;
            }
        }
    }
    if (m_tool) {
        if (!m_tool->MayQuit())
            return;
        m_tool.reset();
    }
    MapToolMode = mode;
    if (mode == kModeDrawObject)
        SetTool(EditToolMaker().MakeDrawTool(*this), mode);
    if (selectedLayer && mode == kModeEditGeometry && selectedLayer == GetActiveLayer() &&
        selectedLayer->HasFlag(CLayer::kObjectsEditable) &&
        (selectedLayer->GetType() == CLayer::kLine || selectedLayer->GetType() == CLayer::kArea)) {
        if (std::unique_ptr<CLineEditTool> editor = EditToolMaker().MakeLineEditTool(*this)) {
            CLineEditTool* started = editor.get();
            SetTool(std::move(editor), mode);
            started->BeginEditRecord(*selectedLayer, selectedRecord);
        }
    }
    NotifyCommandStatesChanged();
}

void CDrelView::SyncToolMode(int entering)
{
    if (!entering) {
        if (m_tool && !m_tool->IsModified())
            m_tool.reset();
        return;
    }
    if (m_tool && m_lastToolMode == MapToolMode)
        return;
    if (m_tool) {
        if (m_tool->IsModified()) {
            m_tool->SetChild(nullptr);
            MapToolMode = m_lastToolMode;
            NotifyCommandStatesChanged();
        } else {
            m_tool.reset();
            SetToolMode(MapToolMode);
        }
    }
    ViewHost().SetScaleText(m_scale);
}

void CDrelView::SendCommandToTool(int id)
{
    if (CreateToolForMode())
        m_tool->OnCommand(id);
}

void CDrelView::UpdateToolCommand(CCommandState& state)
{
    if (!m_tool || !m_tool->OnUpdateCommand(state)) {
        state.Enable(false);
        state.SetCheck(0);
    }
}

int CDrelView::ResetTool()
{
    SetToolMode(kModeZoomWindow);
    return 1;
}

void CDrelView::ClearMeasurements()
{
    SendCommandToTool(CDistanceTool::kCmdClearMeasurement);
}

std::unique_ptr<CDC> CDrelView::OpenWindowDC()
{
    if (CWindowSurface* surface = m_window ? m_window->GetSurface() : nullptr)
        return std::make_unique<CDC>(*surface);
    return std::make_unique<CDC>();
}

std::unique_ptr<CDC> CDrelView::OpenBackBufferDC(const CDC& reference)
{
    if (!m_backBuffer.GetSafeHandle())
        return nullptr;
    auto dc = std::make_unique<CDC>();
    dc->CreateCompatibleDC(&reference);
    dc->SelectObject(m_backBuffer);
    // A rebuild holds the buffer in its own context.
    if (!(dc->GetCurrentBitmap() == m_backBuffer))
        return nullptr;
    return dc;
}

const CCoordConverter* CDrelView::GetGeoToMapConverter() const
{
    return m_document.GetGeoToMapConverter();
}

int CDrelView::ReserveLabelQuad(const CPoint corners[4], int force)
{
    return m_labels.ReserveQuad({corners[0], corners[1], corners[2], corners[3]}, force);
}

// ------------------------------------------------------------ drawing

void CDrelView::DrawLayer(CDC& dc, CLayer& layer)
{
    layer.Draw(dc, *this);
}

void CDrelView::DrawLayerLabels(CDC& dc, CLayer& layer)
{
    layer.DrawLabels(dc, *this);
}

void CDrelView::ForEachShownLayer(int (*stopBefore)(), const std::function<void(CLayer&)>& draw)
{
    for (int i = 0; i < m_document.GetLayerCount(); ++i) {
        if (stopBefore())
            break;
        // Events let through while drawing may have changed the list.
        CLayer* layer = m_document.GetLayer(i);
        if (!layer)
            break;
        if (layer->HasFlag(CLayer::kGroup)) {
            if (!layer->HasFlag(CLayer::kShown))
                i += m_document.GetGroupSpan(layer);
            continue;
        }
        if (layer->HasFlag(CLayer::kShown))
            draw(*layer);
    }
}

void CDrelView::RebuildBackBuffer(CDC& dc)
{
    BeginBackBuffer(dc);
    if (m_scaleBarPainter)
        m_scaleBarPainter->OnMapRedrawn(*this);
    else if (m_scaleBar && m_scaleBarShown)
        m_scaleBar->PlaceForDrawing();
    ForEachShownLayer(GetDrawStopFlag, [&](CLayer& layer) { DrawLayer(dc, layer); });
    ForEachShownLayer(CheckDrawInterrupt, [&](CLayer& layer) { DrawLayerLabels(dc, layer); });
    EndBackBuffer();
    if (m_roadDistance)
        m_roadDistance->DrawAfterRebuild(dc);
    if (m_tool)
        m_tool->DrawAfterRebuild(dc);
}

bool CDrelView::FollowVehicle()
{
    const IMapGpsSource& gps = MapGpsSource();
    if (!gps.GetFollowVehicle())
        return false;
    const CMapGpsFix fix = gps.GetFix();
    if (!fix.IsSet() || fix.lost || !std::isfinite(fix.longitude) || !std::isfinite(fix.latitude))
        return false;
    CMapPoint vehicle(fix.longitude, fix.latitude);
    m_document.GeoToMap(vehicle);
    CMapRect middle = GetMapExtent();
    middle.Scale(0.6);
    if (!vehicle.IsFinite() || (middle.left <= vehicle.x && vehicle.x <= middle.right &&
                                middle.bottom <= vehicle.y && vehicle.y <= middle.top))
        return false;
    CenterOn(vehicle);
    return true;
}

void CDrelView::OnDraw(CDC& dc)
{
    SetDrawStopFlag(0);
    m_firstSize = 0;
    if (dc.IsPrinting() || m_exportFlag) {
        DrawForPrintOrExport(dc);
        return;
    }
    if (!dc.RectVisible(CRect(0, 0, m_client.cx, m_client.cy)))
        return;
    if (FollowVehicle())
        return;
    m_drawing = 1;
    if (m_backBuffer.GetSafeHandle()) {
        CopyBackBuffer(dc);
        if (m_panOffset != CSize() || m_fixedExtentFlag) {
            // Nothing else is drawn while the pan tool drags or a page prints.
            m_drawing = 0;
            return;
        }
        PrepareDCMapping(dc);
        if (m_roadDistance)
            m_roadDistance->DrawAfterCopy(dc);
        if (m_tool)
            m_tool->DrawAfterCopy(dc);
    } else {
        RebuildBackBuffer(dc);
    }
    DrawOverMap(dc);
}

// What lies over the layers on the screen, in this order.
void CDrelView::DrawOverMap(CDC& dc)
{
    m_document.BufferZones().Draw(dc, *this);
    ExtensionOnDraw(&dc, this);
    const CMapGpsFix fix = MapGpsSource().GetFix();
    if (fix.IsSet()) {
        IMapGpsPainter& gps = MapGpsPainter();
        gps.DrawRecentTrack(dc, *this);
        // Standing still the course says nothing.
        gps.DrawVehicleMarker(dc, *this, fix, fix.speed > 3 ? fix.course : -1, fix.lost);
    }
    MapGpsPainter().DrawAutomationVehicle(dc, *this);
    const int saved = dc.SaveDC();
    if (m_routePoints)
        m_routePoints->Draw(dc, *this);
    if (m_overlaysShown)
        DrawOverlays(dc);
    dc.RestoreDC(saved);
    m_drawing = 0;
    if (m_roadDistance)
        m_roadDistance->DrawFinal(dc);
    if (m_tool)
        m_tool->DrawFinal(dc);
    DrawPageOutline(dc);
    dc.SetMapMode(MM_TEXT);
}

void CDrelView::BeginBackBuffer(CDC& dc)
{
    const CRect client(0, 0, m_client.cx, m_client.cy);
    // The window's background erase.
    dc.FillSolidRect(client, kWindowColour);
    PrepareDCMapping(dc);
    CBitmap bitmap;
    if (bitmap.CreateCompatibleBitmap(&dc, m_client.cx, m_client.cy)) {
        m_backBuffer = bitmap;
        m_memDC = std::make_unique<CDC>();
        m_memDC->CreateCompatibleDC(&dc);
        m_memDC->SelectObject(bitmap);
        m_memDC->FillSolidRect(client, kWindowColour);
        PrepareDCMapping(*m_memDC);
    }
    m_labels.Clear();
}

void CDrelView::EndBackBuffer()
{
    m_memDC.reset();
}

void CDrelView::CopyBackBuffer(CDC& dc)
{
    // What the moved picture uncovers shows the window's colour.
    const int dx = m_panOffset.cx, dy = m_panOffset.cy;
    if (dx > 0)
        dc.FillSolidRect(CRect(0, 0, std::min(dx, m_client.cx), m_client.cy), kWindowColour);
    else if (dx < 0)
        dc.FillSolidRect(CRect(std::max(m_client.cx + dx, 0), 0, m_client.cx, m_client.cy), kWindowColour);
    if (dy > 0)
        dc.FillSolidRect(CRect(0, 0, m_client.cx, std::min(dy, m_client.cy)), kWindowColour);
    else if (dy < 0)
        dc.FillSolidRect(CRect(0, std::max(m_client.cy + dy, 0), m_client.cx, m_client.cy), kWindowColour);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    memory.SelectObject(m_backBuffer);
    dc.BitBlt(m_panOffset.cx, m_panOffset.cy, m_client.cx, m_client.cy, &memory, 0, 0, SRCCOPY);
}

// ------------------------------------------------------------ scale bar

void CDrelView::ShowScaleBar(bool storePlace)
{
    if (!m_scaleBar) {
        m_scaleBar = std::make_unique<CScaleBar>(*this);
        if (m_window)
            m_scaleBar->SetWindow(m_window->CreateScaleBarWindow(*m_scaleBar));
    }
    m_scaleBarShown = 1;
    if (storePlace)
        m_scaleBar->PlaceAndStore();
    else
        m_scaleBar->PlaceForDrawing();
    if (IScaleBarWindow* window = m_scaleBar->GetWindow())
        window->ShowWindow(true);
}

void CDrelView::ToggleScaleBar()
{
    if (m_scaleBarShown) {
        m_scaleBarShown = 0;
        if (IScaleBarWindow* window = m_scaleBar ? m_scaleBar->GetWindow() : nullptr)
            window->ShowWindow(false);
    } else {
        ShowScaleBar(true);
    }
    m_document.Settings().scaleBarShow = m_scaleBarShown;
    m_document.SetModifiedFlag();
}

void CDrelView::DrawOverlays(CDC& dc)
{
    for (const auto& overlay : m_overlays) {
        // Overlays are placed in client pixels.
        dc.SetMapMode(MM_TEXT);
        overlay->Draw(dc, *this);
    }
}

void CDrelView::DrawForPrintOrExport(CDC& dc)
{
    // A page or a picture is drawn whole: no input stops it.
    IDrawInputQueue* queue = SetDrawInputQueue(nullptr);
    const int stop = GetDrawStopFlag();
    SetDrawStopFlag(0);
    const CRect device = RectToDevice(GetMapExtent());
    // The caller's clipping and mapping come back afterwards.
    const int saved = dc.SaveDC();
    PrepareDCMapping(dc);
    dc.IntersectClipRect(device);
    m_labels.Clear();
    auto never = [] { return 0; };
    ForEachShownLayer(never, [&](CLayer& layer) { DrawLayer(dc, layer); });
    ForEachShownLayer(never, [&](CLayer& layer) { DrawLayerLabels(dc, layer); });
    m_document.BufferZones().Draw(dc, *this);
    if (m_roadDistance)
        m_roadDistance->DrawAfterRebuild(dc);
    ExtensionOnDraw(&dc, this);
    if (m_routePoints)
        m_routePoints->Draw(dc, *this);
    if (m_exportFlag) {
        if (m_scaleBarPainter)
            m_scaleBarPainter->DrawForExport(dc, *this, device);
        else if (m_scaleBar)
            m_scaleBar->DrawOnPage(dc, device);
    }
    dc.RestoreDC(saved);
    SetDrawStopFlag(stop);
    SetDrawInputQueue(queue);
}

void CDrelView::DrawPageOutline(CDC& dc)
{
    const CPageSetupValues page = PageSetup().GetValues();
    if (!page.showPageOutline || page.scaleMode <= CPageSetupValues::kFitExtent)
        return;
    const CMapRect extent = GetMapExtent();
    const CPoint lt = MapToDevice(CMapPoint(extent.left, extent.top));
    const CPoint rb = MapToDevice(CMapPoint(extent.right, extent.bottom));
    // Hundredths of a millimetre to thousandths of an inch.
    auto mils = [](int v) { return std::max<int64_t>(0, (static_cast<int64_t>(v) * 100 + 127) / 254); };
    int64_t width = mils(page.pageWidth);
    int64_t height = mils(page.pageHeight);
    if (page.scaleMode == CPageSetupValues::kFixedScale) {
        const double factor = page.printScale / m_scale;
        if (!std::isfinite(factor))
            return;
        width = static_cast<int64_t>(std::clamp(width * factor, 0.0, kMaxDeviceCoordinate));
        height = static_cast<int64_t>(std::clamp(height * factor, 0.0, kMaxDeviceCoordinate));
    }
    if (width <= 0 || height <= 0)
        return;
    // Beyond this many pages the lines would only blacken the map.
    constexpr int64_t kMostPageLines = 1000;
    const CPen pen = dc.SelectObject(CPen::FromStock(BLACK_PEN));
    auto line = [&dc](int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
        dc.MoveTo(static_cast<int>(x1), static_cast<int>(y1));
        dc.LineTo(static_cast<int>(x2), static_cast<int>(y2));
    };
    const int64_t L = lt.x, T = lt.y, R = rb.x, B = rb.y;
    if (page.scaleMode == CPageSetupValues::kFillPage) {
        // The largest rectangle of the page's shape from the top left corner.
        int64_t w = R - L, h = B - T;
        if (w * height > h * width)
            w = h * width / height;
        else
            h = w * height / width;
        line(L + w, T, L + w, T + h);
        line(L, T + h, L + w, T + h);
    } else if (page.onePageOnly) {
        line(L + width, T, L + width, T + height);
        line(L, T + height, L + width, T + height);
    } else {
        for (int64_t k = 1; L + k * width < R && k <= kMostPageLines; ++k)
            line(L + k * width, T, L + k * width, B);
        for (int64_t k = 1; T + k * height < B && k <= kMostPageLines; ++k)
            line(L, T + k * height, R, T + k * height);
    }
    dc.SelectObject(pen);
}

void CDrelView::DrawToDC(CDC& dc, const CMapRect* extent, double denominator, int dpi)
{
    const double printScaleX = m_printScaleX, printScaleY = m_printScaleY, scale = m_scale;
    const double originX = m_originX, originY = m_originY;
    const int logPixelsX = m_logPixelsX, logPixelsY = m_logPixelsY;
    const bool printing = dc.IsPrinting();

    CMapRect e = extent ? *extent : GetMapExtent();
    if (denominator > 0 && denominator != m_scale) {
        m_printScaleX *= denominator / m_scale;
        m_printScaleY *= denominator / m_scale;
        m_scale = denominator;
    }
    if (dpi > 0)
        m_logPixelsX = m_logPixelsY = dpi;
    if (extent) {
        m_originX = e.left;
        m_originY = e.top;
    }
    if (!extent && dpi < 1 && denominator <= 0) {
        m_exportRect = CRect(0, 0, m_client.cx, m_client.cy);
    } else {
        m_exportRect = CRect(0, 0, Round((e.right - e.left) / m_printScaleX * m_logPixelsX * 0.001),
                             Round((e.bottom - e.top) / m_printScaleY * m_logPixelsY * 0.001));
        m_fixedExtent = e;
        m_fixedExtentFlag = 1;
        if (dpi > 149)
            dc.SetPrinting(true);
    }

    m_exportFlag = 1;
    OnDraw(dc);
    m_exportFlag = 0;
    m_fixedExtentFlag = 0;
    m_printScaleX = printScaleX;
    m_printScaleY = printScaleY;
    m_scale = scale;
    m_originX = originX;
    m_originY = originY;
    m_logPixelsX = logPixelsX;
    m_logPixelsY = logPixelsY;
    m_exportRect.SetRectEmpty();
    dc.SetPrinting(printing);
}

void CDrelView::SetFixedExtent(const CMapRect& extent)
{
    m_fixedExtent = extent;
    m_fixedExtentFlag = 1;
}

void CDrelView::AddOverlay(std::unique_ptr<CMapOverlay> overlay)
{
    if (!overlay)
        return;
    m_overlays.push_back(std::move(overlay));
    if (m_overlaysShown) {
        std::unique_ptr<CDC> dc = OpenWindowDC();
        m_overlays.back()->Draw(*dc, *this);
    }
}

void CDrelView::AddOverlayShape(const CShape& shape)
{
    AddOverlay(std::make_unique<CShapeOverlay>(shape));
}

void CDrelView::AddOverlayPoint(const CMapPoint& point)
{
    AddOverlay(std::make_unique<CPointOverlay>(point));
}

void CDrelView::AddOverlayText(const CMapPoint& point, const std::string& text, int offset)
{
    AddOverlay(std::make_unique<CTextOverlay>(point, text, offset));
}

void CDrelView::AddOverlayLine(const CMapPoint& from, const CMapPoint& to)
{
    AddOverlay(std::make_unique<CLineOverlay>(from, to));
}

void CDrelView::ClearOverlays()
{
    m_areaBox.reset();
    m_lengthBox.reset();
    if (m_overlays.empty())
        return;
    for (const auto& overlay : m_overlays) {
        CRect rect;
        if (overlay->GetRect(*this, rect) && !rect.IsRectEmpty() && m_window)
            m_window->InvalidateRect(rect);
    }
    m_overlays.clear();
    ViewHost().SetMessageText({});
    UpdateWindow();
}

int CDrelView::ShowOverlays(int on)
{
    m_overlaysShown = on;
    if (!on)
        return 0;
    std::unique_ptr<CDC> dc = OpenWindowDC();
    const int saved = dc->SaveDC();
    DrawOverlays(*dc);
    dc->RestoreDC(saved);
    return 1;
}

void CDrelView::ShowAreaPopup(const std::string& name, double km2)
{
    if (!m_areaBox && m_window)
        m_areaBox = m_window->CreateObjectAreaBox();
    if (m_areaBox)
        m_areaBox->ShowMeasure(name, km2);
}

void CDrelView::ShowLengthPopup(const std::string& name, double km)
{
    if (!m_lengthBox && m_window)
        m_lengthBox = m_window->CreateObjectLengthBox();
    if (m_lengthBox)
        m_lengthBox->ShowMeasure(name, km);
}

void CDrelView::SetRoutePoints(std::unique_ptr<IRoutePoints> points)
{
    m_routePoints = std::move(points);
}

void CDrelView::SetRoadDistance(std::unique_ptr<CMapFeedback> distance)
{
    m_roadDistance = std::move(distance);
}

CRoadDistance* CDrelView::GetRoadDistanceMeasure() const
{
    return dynamic_cast<CRoadDistance*>(m_roadDistance.get());
}

void CDrelView::ClearRoadDistance()
{
    if (CRoadDistance* measure = GetRoadDistanceMeasure())
        measure->ClearMeasure();
}

int CDrelView::HasRoadDistance() const
{
    const CRoadDistance* measure = GetRoadDistanceMeasure();
    return measure && measure->GetPoints().GetSize() > 1;
}

void CDrelView::DrawXorLine(const CMapPoint& a, const CMapPoint& b, CDC* dc)
{
    CMapPoint p, q;
    if (!GetMapExtent().ClipSegment(a, b, p, q))
        return;
    std::unique_ptr<CDC> own;
    if (!dc) {
        own = OpenWindowDC();
        dc = own.get();
    }
    const int saved = dc->SaveDC();
    dc->SetMapMode(MM_TEXT);
    dc->SetWindowOrg(0, 0);
    dc->SetViewportOrg(0, 0);
    dc->SelectObject(CPen::FromStock(WHITE_PEN));
    dc->SetROP2(R2_NOT);
    dc->MoveTo(MapToClient(p));
    dc->LineTo(MapToClient(q));
    dc->SetROP2(R2_COPYPEN);
    dc->RestoreDC(saved);
}
