#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "layers/DrawingView.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/ExtentHistory.h"
#include "mapdoc/LabelRegister.h"
#include "mapdoc/MapTool.h"
#include "platform/Bitmap.h"
#include "platform/Rect.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CCommandState;
class CDC;
struct CFoundObject;
class CDrelDoc;
class CLayer;
class CScaleBar;
struct CPrintInfo;
class CMapOverlay;
class CRoadDistance;
class CShape;
class IObjectMeasureBox;
class IRoutePoints;
class IScaleBarPainter;
class IViewWindow;

// The map window of a map document, without the window: the map/screen
// transform, the visible extent and its history, the back buffer that a
// drawing pass fills, the current mouse tool and what is drawn over the
// map (overlays, route points, the road distance). A widget host forwards
// the window's paint, size, key and mouse events to the On... operations
// and repaints when asked through IViewWindow.
//
// Client pixels convert with the screen scale (map units per pixel, y
// negative). Drawing contexts, the window's included, are set to
// thousandths of an inch (PrepareDCMapping) and convert with the print
// scale; both follow from the scale denominator.
class CDrelView : public IDocumentObserver, public IDrawingView {
public:
    explicit CDrelView(CDrelDoc& document);
    ~CDrelView() override;
    CDrelView(const CDrelView&) = delete;
    CDrelView& operator=(const CDrelView&) = delete;

    CDrelDoc& GetDocument() const { return m_document; }
    // The caller keeps the window; null detaches.
    void SetWindow(IViewWindow* window) { m_window = window; }
    IViewWindow* GetWindow() const { return m_window; }

    // Window events.
    // First show: the full extent, and the overview fitted around it.
    virtual void OnInitialUpdate();
    void OnUpdate(CDrelDoc& document, uint32_t hint) override;
    // Paints the window: the back buffer when it is there, else the
    // layers and their labels drawn anew into the window and the buffer.
    // A printing context, or the export flag, draws the map for printing
    // and export instead: the fixed extent (else the visible one), its
    // layers, labels, buffer zones and route points, and on an export the
    // scale bar; nothing stops it.
    virtual void OnDraw(CDC& dc);
    virtual void OnSize(int width, int height);
    virtual void OnKeyDown(int key, int repeat, unsigned flags);
    void OnChar(int ch, int repeat, unsigned flags);
    void OnKeyUp(int key, int repeat, unsigned flags);
    void OnLButtonDown(unsigned flags, int x, int y);
    void OnLButtonUp(unsigned flags, int x, int y);
    virtual void OnMouseMove(unsigned flags, int x, int y);
    void OnLButtonDblClk(unsigned flags, int x, int y);
    void OnContextMenu(int x, int y);
    // Only a drag of the route points takes the right button (it ends it);
    // the window's context menu comes apart from it.
    void OnRButtonDown(unsigned flags, int x, int y);
    // The pointer is over the client area with the keys of the flags
    // (MK_SHIFT, ...) held: the tool sets the cursor, else the mode's
    // cursor is set (the default one for 0). Nonzero when one was set
    // other than the default.
    virtual int OnSetCursor(unsigned keyFlags);
    void OnKillFocus();
    void OnMouseLeave();

    // Conversions. Integer results are rounded by adding 0.5 and cutting
    // towards zero, and held to +-1e9.
    CMapPoint ClientToMap(int x, int y) const;
    CMapPoint ClientToMap(const CPoint& p) const { return ClientToMap(p.x, p.y); }
    CPoint MapToClient(const CMapPoint& p) const;
    CRect RectToClient(const CMapRect& r) const;
    CMapRect ClientRectToMap(const CRect& r) const;
    // Into the view's scratch array, valid until the next conversion.
    const std::vector<CPoint>& ShapeToClientPoints(const CMapPoint* points, int count);
    CPoint MapToDevice(const CMapPoint& p) const override;
    CRect RectToDevice(const CMapRect& r) const override;
    const std::vector<CPoint>& ShapeToDevicePoints(const CMapPoint* points, int count) override;
    CMapPoint DeviceToMap(const CPoint& p) const;
    // The map distances of a pixel offset.
    void ClientSizeToMap(int dx, int dy, double& x, double& y) const;
    int IsPointInExtent(const CMapPoint& p) const;
    // Thousandths of an inch on the DC over the client area, or while
    // exporting over the export rectangle at the view's resolution;
    // returns the previous mapping mode.
    int PrepareDCMapping(CDC& dc) const override;

    // Extent and scale.
    CMapRect GetMapExtent() const override;
    double GetScaleDenominator() const override { return m_scale; }
    void SetScaleDenominator(double denominator);
    // Scale and origin so that r fills the client area, centred; 0 when
    // the client area is empty or r gives no usable scale. No history, no
    // repaint.
    int FitRect(const CMapRect& r);
    void ZoomToRect(const CMapRect& r, int checkAutoLoad);
    // Without the automatic map change, never below the denominator
    // (found objects are not shown more detailed than the map's optimum).
    void ZoomToRectAtLeast(const CMapRect& r, double minimumDenominator);
    // Below the document's smallest denominator the view beeps when it is
    // there already and zooms to it otherwise.
    void ZoomToScaleAt(double denominator, const CMapPoint& p);
    void SetScale(double denominator);
    void CenterOn(const CMapPoint& p);
    void CenterOnGeoPoint(CMapPoint p);
    void PanBy(double dx, double dy);
    void ZoomToFullExtent();
    // 0 when the layer's extent cannot be had, is empty or unbounded.
    int ZoomToLayer(CLayer& layer);
    void ZoomPrevious();
    void ZoomNext();
    // Forgets the back buffer and paints anew.
    void Redraw();
    // Paints again soon, the back buffer kept.
    void Invalidate();
    // Paints at once what waits to be painted.
    void UpdateWindow();
    // Opens another map instead when the document allows it and the extent
    // leaves its limits or the scale its optimum; nonzero when one was opened.
    int CheckAutoLoad(const CMapRect& extent, double denominator);
    void PushExtentHistory();
    const CExtentHistory& GetHistory() const { return m_history; }

    // Label collision of the current drawing pass; 1 when the label may be
    // drawn (and is recorded), 0 when it meets one placed before.
    int ReserveLabelRect(const CRect& r, int force) override { return m_labels.ReserveRect(r, force); }
    int ReserveLabelQuad(const CPoint corners[4], int force) override;

    // Drawing outside a pass: a context on the window's surface, or one
    // over the back buffer.
    std::unique_ptr<CDC> OpenWindowDC() override;
    std::unique_ptr<CDC> OpenBackBufferDC(const CDC& reference) override;
    const CCoordConverter* GetGeoToMapConverter() const override;

    // Printing and export. The map of the extent (else the fixed extent,
    // else the visible one) at the denominator (<= 0: the view's) and the
    // resolution (< 1: the view's) into dc, whose picture the export
    // rectangle then spans; with neither an extent, a denominator nor a
    // resolution, the client area as it is. The printing and export
    // commands draw through this; the view is as it was afterwards. Above
    // 149 dpi the context draws as a printer does.
    void DrawToDC(CDC& dc, const CMapRect* extent, double denominator, int dpi);
    // While set, the visible extent is the fixed one (a page being printed).
    void SetFixedExtent(const CMapRect& extent);
    void ClearFixedExtent() { m_fixedExtentFlag = 0; }
    int HasFixedExtent() const { return m_fixedExtentFlag; }
    void SetExportFlag(int exporting) { m_exportFlag = exporting; }
    int GetExportFlag() const { return m_exportFlag; }
    // The device rectangle of an export.
    void SetExportRect(const CRect& rect) { m_exportRect = rect; }
    const CRect& GetExportRect() const { return m_exportRect; }
    // The pages of the page setup over the map, when it asks for them.
    void DrawPageOutline(CDC& dc);

    // Printing with the page setup: one page (info's current page) onto a
    // printer context, inside info's drawing rectangle, with its title,
    // map, scale bar, frame, title block and footer; it tells info the
    // page count. A page past the count, or margins that leave no room,
    // print nothing and clear info's continue flag.
    void OnPrint(CDC& dc, CPrintInfo& info);
    // The page count such a print takes, nothing drawn; 0 when nothing
    // can be printed (no room inside the margins, an extent without area,
    // more pages than a print can have).
    int CountPrintPages(CDC& dc, const CRect& drawRect);
    // The title block of the page setup along the bottom of the map's
    // rectangle (thousandths of an inch).
    void DrawTitleBlock(CDC& dc, const CRect& mapRect);
    // Most pages one print may take.
    static constexpr int kMostPrintPages = 9999;

    // Metafiles of the map as DrawToDC draws it: of the extent (null: the
    // visible one) at the denominator (<= 0: the view's), on a white
    // background unless told not to; a frame from the screen's size
    // (96 dpi when it has none). Written beside the file and renamed over
    // it. 1 on success, 0 otherwise.
    int ExportEnhMetafile(const std::string& path, const CMapRect* extent, double denominator, int background = 1);
    int ExportMetafile(const std::string& path, const CMapRect* extent, double denominator, int background = 1);
    // The visible map onto the clipboard as a picture of the client size
    // and as an enhanced metafile ("image/x-emf").
    void CopyToClipboard();

    // What is drawn over the map. Overlays draw in list order while they
    // are shown; an overlay added then is drawn at once.
    void AddOverlay(std::unique_ptr<CMapOverlay> overlay);
    // A found line or area highlighted, a point marker, a label lifted by
    // offset eighths of its height, a line between two points.
    void AddOverlayShape(const CShape& shape);
    void AddOverlayPoint(const CMapPoint& point);
    void AddOverlayText(const CMapPoint& point, const std::string& text, int offset);
    void AddOverlayLine(const CMapPoint& from, const CMapPoint& to);
    // Deletes the overlays, repainting only where each was, and closes
    // the measure boxes; status-bar pane 1 is emptied when there were any.
    void ClearOverlays();
    // Shown, every overlay is drawn at once; returns the flag.
    int ShowOverlays(int on);
    int GetOverlayCount() const { return static_cast<int>(m_overlays.size()); }
    CMapOverlay* GetOverlay(int index) const { return m_overlays.at(static_cast<size_t>(index)).get(); }
    int AreOverlaysShown() const { return m_overlaysShown; }
    // The area (km²) or length (km) of a picked object in the view's box
    // for it, made on first use.
    void ShowAreaPopup(const std::string& name, double km2);
    void ShowLengthPopup(const std::string& name, double km);
    // A search result marked on the view, brought into view: with zoom
    // never more detailed than the map's optimal scale, else only centred
    // when it lies outside.
    void ShowFoundObject(const CFoundObject& found, bool zoom);
    // 30277: a point typed in (degrees on a geographic map) marked, the
    // view going to it at the optimal scale when it shows the map coarser.
    void GoToCoordinates();
    // A typed point marked alone, the view going to it at the optimal
    // scale when it shows the map coarser, else centred on it when it lies
    // outside; a point that is no number changes nothing.
    void GoToPoint(const CMapPoint& point);
    // The commands of the context menu at the point it was opened at:
    // 30121 and 30122 zoom in and out by 2, 30123 centres there, 30124
    // ends the tool when it agrees, 30610 lists the objects there, 30621
    // adds a placemark there.
    void ContextZoomIn();
    void ContextZoomOut();
    void ContextCenter();
    void ContextCancelTool();
    void ContextCreatePlacemark();
    // The objects of the shown layers within 16 pixels of the context
    // point (at most kMaxObjectsAtPoint) in the objects-at-point dialog.
    static constexpr int kMaxObjectsAtPoint = 200;
    void ShowObjectsAt();
    // Opens the largest linked map of the same units that holds the point
    // and is at most half as large as this one; 0 when none qualifies.
    int OpenDetailMapAt(const CMapPoint& p);
    // The menu resource the context menu shows: 186, or while the view's
    // last mode is 8 and its tool has selected objects 280 with a pending
    // change, else 278 for lines and areas and 279 for other layers.
    int GetContextMenuId() const;
    // The route points of this view; null until they are made.
    IRoutePoints* GetRoutePoints() const { return m_routePoints.get(); }
    // The route points while they drag a marker; null otherwise.
    IRoutePoints* DraggedRoutePoints() const;
    void SetRoutePoints(std::unique_ptr<IRoutePoints> points);
    // The measured road distance, which outlives the tool that made it.
    CMapFeedback* GetRoadDistance() const { return m_roadDistance.get(); }
    void SetRoadDistance(std::unique_ptr<CMapFeedback> distance);
    // The road distance when it is the measure of the road distance tool.
    CRoadDistance* GetRoadDistanceMeasure() const;
    // Command 30627: the measured road is gone.
    void ClearRoadDistance();
    // More than one point measured along the road.
    int HasRoadDistance() const;
    // The segment inverted on the window in client pixels (on dc when
    // given), clipped to the visible extent: drawn twice it is gone.
    void DrawXorLine(const CMapPoint& a, const CMapPoint& b, CDC* dc);
    // Another painter in place of the view's own scale bar (tests); null puts
    // the own bar back. The caller keeps it.
    void SetScaleBarPainter(IScaleBarPainter* painter) { m_scaleBarPainter = painter; }

    // Tools.
    CMapTool* GetTool() const { return m_tool.get(); }
    // The editing part hands the view its tool; the current one goes.
    void SetTool(std::unique_ptr<CMapTool> tool, int mode);
    // Makes the tool of the current tool mode when there is none; whether
    // the view has a tool now.
    int CreateToolForMode();
    // Switches the tool mode, asking the current tool first: a refusal
    // keeps mode and tool. A navigation mode over a tool that takes a
    // navigation child only changes the child; the select-for-editing
    // tool deletes its selection (mode 10) or edits the record of its one
    // selected object (mode 11) without leaving its mode.
    void SetToolMode(int mode);
    // A navigation mode (0 to 3) over a tool that accepts a navigation
    // child becomes that child (1); any other mode deletes the child (0).
    int AttachNavigationTool(int mode);
    // The view was activated (1) or deactivated (0).
    void SyncToolMode(int entering);
    // The tool's commands and their update rules; without a tool (or one
    // that says nothing) a command is disabled and unchecked.
    void SendCommandToTool(int id);
    void UpdateToolCommand(CCommandState& state);
    int ResetTool();
    // Command 30628 for the distance tool.
    void ClearMeasurements();
    int GetLastToolMode() const { return m_lastToolMode; }
    // The cursor picture of a mode without a tool (0 the default arrow).
    static int CursorForMode(int mode, unsigned keyFlags);
    // The tools of the navigation modes 0 to 3; null for other modes.
    std::unique_ptr<CMapTool> MakeNavigationTool(int mode);
    // Sets the window's cursor (0 the default).
    void SetCursor(int cursorId);
    // The keys held and the pointer's client point at the last mouse event.
    unsigned GetKeyFlags() const { return m_keyFlags; }
    CPoint GetCursorPoint() const { return m_cursorPoint; }
    // The legend's active layer of the view's frame; null without one.
    CLayer* GetActiveLayer() const;
    // The map view of the frame: this view, or the overview's main view.
    virtual CDrelView& GetFrameMapView() { return *this; }
    // The legend's selection changed: the tool hears of it.
    void OnActiveLayerChanged()
    {
        if (m_tool)
            m_tool->OnActiveLayerChanged();
    }

    // The scale bar: made when first shown, with its window from the view's.
    CScaleBar* GetScaleBar() const { return m_scaleBar.get(); }
    int IsScaleBarVisible() const { return m_scaleBarShown; }
    // Hides a shown bar, else shows it at its place (which is stored then);
    // the map's settings take the new state.
    void ToggleScaleBar();

    // State.
    double GetOriginX() const { return m_originX; }
    double GetOriginY() const { return m_originY; }
    double GetScaleX() const { return m_scaleX; }
    double GetScaleY() const { return m_scaleY; }
    double GetPrintScaleX() const { return m_printScaleX; }
    double GetPrintScaleY() const { return m_printScaleY; }
    double GetLastDrawnScale() const { return m_lastScale; }
    CSize GetClientSize() const { return m_client; }
    int IsFullExtent() const { return m_fullExtent; }
    int IsDrawing() const { return m_drawing; }
    bool HasBackBuffer() const { return m_backBuffer.GetSafeHandle() != nullptr; }
    // The context holding the back buffer while it is drawn anew; layers
    // draw into it as well as into the window. Null otherwise.
    CDC* GetMemoryDC() const override { return m_memDC.get(); }
    // Where the back buffer is shown while the pan tool drags.
    void SetPanOffset(int dx, int dy) { m_panOffset = CSize(dx, dy); }
    CSize GetPanOffset() const { return m_panOffset; }
    void SetPanning(int panning) { m_panning = panning; }
    int IsPanning() const { return m_panning; }

    CPoint GetContextPoint() const { return m_contextPoint; }
    int GetLogPixelsX() const { return m_logPixelsX; }
    int GetLogPixelsY() const { return m_logPixelsY; }

protected:
    // One layer's objects in the drawing pass, and its labels afterwards.
    virtual void DrawLayer(CDC& dc, CLayer& layer);
    virtual void DrawLayerLabels(CDC& dc, CLayer& layer);
    // The tool object of a tool mode; null for modes without one.
    virtual std::unique_ptr<CMapTool> MakeTool(int mode);
    // Ctrl + double click at a map point; a double click in mode 0 showing
    // the objects at the context point; the context menu there.
    virtual void OnPointInMap(const CMapPoint& p) { OpenDetailMapAt(p); }
    virtual void ShowObjectsAtPoint() { ShowObjectsAt(); }
    virtual void ShowContextMenu(int x, int y);

    // For views that draw passes of their own (the overview): a new back
    // buffer of the client size in the window colour, held by the memory
    // context, the window's context prepared and the label register
    // emptied; its end lets the memory context go; the copy shows the
    // buffer in the window.
    void BeginBackBuffer(CDC& dc);
    void EndBackBuffer();
    void CopyBackBuffer(CDC& dc);

    // The keys and the pointer of a mouse event, for the cursor.
    void NotePointer(unsigned flags, int x, int y)
    {
        m_keyFlags = flags;
        m_cursorPoint = CPoint(x, y);
    }

    // 1 in the overview, which handles its own resizing.
    int m_overviewFlag = 0;

private:
    const std::vector<CPoint>& ConvertShape(const CMapPoint* points, int count,
                                            CPoint (CDrelView::*convert)(const CMapPoint&) const);
    void SetScales(double denominator);
    void GetMetresPerUnit(double& x, double& y) const;
    CMapTool* ActiveTool() const;
    void RepaintOverview();
    void AfterZoom();
    void MoveExtent(double dx, double dy);
    void ShowFullExtent();
    void FitFullExtentAndOverview();
    void GoToHistoryEntry(int index);
    // Layers hidden themselves or in a hidden group are left out; stops
    // when stopBefore says so before an entry.
    void ForEachShownLayer(int (*stopBefore)(), const std::function<void(CLayer&)>& draw);
    void RebuildBackBuffer(CDC& dc);
    // Re-centres on the followed vehicle when it left the middle of the
    // view; true when it did (the view paints again).
    bool FollowVehicle();
    void DrawOverMap(CDC& dc);
    void DrawOverlays(CDC& dc);
    void DrawForPrintOrExport(CDC& dc);
    struct CPrintPage;
    // The layout of a printed page (the steps before drawing the map): the
    // context mapped to thousandths of an inch from the map's corner and
    // clipped, the scales of the print set; the title drawn when asked.
    // False when nothing can be printed.
    bool LayOutPrint(CDC& dc, const CRect& drawRect, bool drawTitle, CPrintPage& page);
    void RestoreAfterPrint(CDC& dc, const CPrintPage& page);
    // The size in pixels of the reference (dpi) of the picture an export
    // of the extent at the denominator makes.
    CSize ExportPictureSize(const CMapRect* extent, double denominator, int dpi) const;
    // The map into a recording context mapped one unit a pixel over size.
    void RecordMap(CDC& dc, CSize size, const CMapRect* extent, double denominator, int background);
    int WriteMetafile(bool enhanced, const std::string& path, const CMapRect* extent, double denominator,
                      int background);
    bool DoubleClickShowsObjects();
    // A click of a mode without a tool.
    void ClickWithoutTool(unsigned flags, int x, int y);
    void ShowScaleBar(bool storePlace);

    CDrelDoc& m_document;
    IViewWindow* m_window = nullptr;
    CBitmap m_backBuffer;
    std::unique_ptr<CDC> m_memDC;
    double m_printScaleX = 0.0000254;
    double m_printScaleY = -0.0000254;
    CLabelRegister m_labels;
    std::vector<CPoint> m_devicePoints;
    CExtentHistory m_history;
    std::unique_ptr<CMapTool> m_tool;
    double m_originX = 0;
    double m_originY = 0;
    double m_scale = 1.0;
    double m_scaleX;
    double m_scaleY;
    double m_lastScale = 1.0;
    double m_lastOriginX = 0;
    double m_lastOriginY = 0;
    int m_pixelsPerMetreX;
    int m_pixelsPerMetreY;
    int m_lastToolMode = -1;
    CSize m_panOffset;
    int m_panning = 0;
    unsigned m_keyFlags = 0;
    CPoint m_cursorPoint;
    CPoint m_contextPoint;
    int m_fullExtent = 0;
    int m_drawing = 0;
    int m_firstSize = 1;
    int m_logPixelsX;
    int m_logPixelsY;
    CSize m_client;
    int m_doubleClickShowsObjects = -1; // [Options] LB_DBLCLK, read on first use
    int m_scaleBarShown = 0;
    std::unique_ptr<CScaleBar> m_scaleBar;
    std::vector<std::unique_ptr<CMapOverlay>> m_overlays;
    int m_overlaysShown = 1;
    std::unique_ptr<IObjectMeasureBox> m_areaBox;
    std::unique_ptr<IObjectMeasureBox> m_lengthBox;
    std::unique_ptr<IRoutePoints> m_routePoints;
    std::unique_ptr<CMapFeedback> m_roadDistance;
    IScaleBarPainter* m_scaleBarPainter = nullptr; // null: the view's own bar
    int m_exportFlag = 0;
    CRect m_exportRect;
    CMapRect m_fixedExtent;
    int m_fixedExtentFlag = 0;
};
