#pragma once

#include "platform/Brush.h"
#include "platform/Gdi.h"
#include "platform/Pen.h"
#include "platform/Rect.h"
#include "platform/Rgn.h"

#include <cstdint>
#include <memory>
#include <vector>

class CPixelWriter;
class CWindowSurface;
class QImage;
class QPaintDevice;
class QPainter;
class QPainterPath;

// A device context with the semantics of the Windows graphics interface,
// drawing onto any paint device: a window surface, an image, later a
// printer. The DC maps logical to device coordinates itself; the device
// gets whole pixels with antialiasing off. Rectangles and ellipses leave
// out their right and bottom edges, lines their last pixel; cosmetic pens
// are one pixel wide with the dash lengths of that interface. On 32- and
// 24-bit images every raster operation is exact; on other devices drawing
// falls back to plain copying.
class CDC {
public:
    // What GetDeviceCaps reports. Sizes of the drawing surface in pixels;
    // the physical page values are for printers.
    struct DeviceInfo {
        int width = 0;
        int height = 0;
        int dpiX = 96;
        int dpiY = 96;
        int bitsPerPixel = 32;
        int technology = DT_RASDISPLAY;
        int physicalWidth = 0;
        int physicalHeight = 0;
        int physicalOffsetX = 0;
        int physicalOffsetY = 0;
    };
    // A figure of a path in device pixels.
    struct PathFigure {
        std::vector<CPoint> points;
        bool closed = false;
    };

    // No device: a 96-dpi screen whose calls answer but draw nothing.
    CDC();
    explicit CDC(QImage& image);
    explicit CDC(CWindowSurface& surface);
    explicit CDC(QPaintDevice& device);
    ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Draws onto another device from now on, keeping the state; null
    // detaches. Device sizes and resolution come from the new device.
    void SetTarget(QPaintDevice* device);
    QPaintDevice* GetTarget() const { return m_device; }
    const DeviceInfo& GetDeviceInfo() const { return m_info; }
    void SetDeviceInfo(const DeviceInfo& info) { m_info = info; }
    int GetDeviceCaps(int index) const;
    bool IsPrinting() const { return m_printing; }
    void SetPrinting(bool printing) { m_printing = printing; }
    // Reports what was drawn to a window surface.
    void Flush();

    // Mapping. Extents can be set only in MM_ISOTROPIC and MM_ANISOTROPIC;
    // zero extents are refused. The fixed modes follow from the device.
    int SetMapMode(int mode);
    int GetMapMode() const { return m_state.mapMode; }
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(CPoint p) { return SetWindowOrg(p.x, p.y); }
    CPoint OffsetWindowOrg(int dx, int dy);
    CPoint GetWindowOrg() const { return m_state.windowOrg; }
    CSize SetWindowExt(int cx, int cy);
    CSize SetWindowExt(CSize s) { return SetWindowExt(s.cx, s.cy); }
    CSize GetWindowExt() const { return m_state.windowExt; }
    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(CPoint p) { return SetViewportOrg(p.x, p.y); }
    CPoint OffsetViewportOrg(int dx, int dy);
    CPoint GetViewportOrg() const { return m_state.viewportOrg; }
    CSize SetViewportExt(int cx, int cy);
    CSize SetViewportExt(CSize s) { return SetViewportExt(s.cx, s.cy); }
    CSize GetViewportExt() const { return m_state.viewportExt; }
    // Points round to the nearest unit (halves upwards); sizes are lengths
    // and scale by the extents' magnitudes through MulDiv.
    void LPtoDP(CPoint* points, int count = 1) const;
    void LPtoDP(CRect* rect) const;
    void LPtoDP(CSize* size) const;
    void DPtoLP(CPoint* points, int count = 1) const;
    void DPtoLP(CRect* rect) const;
    void DPtoLP(CSize* size) const;

    // State. SaveDC returns the new level (1, 2, ...), 0 on failure;
    // RestoreDC takes a level or a negative count back from the top.
    int SaveDC();
    bool RestoreDC(int saved);
    // Selecting a pen or brush that was never created changes nothing and
    // returns an empty one.
    CPen SelectObject(const CPen& pen);
    CBrush SelectObject(const CBrush& brush);
    const CPen& GetCurrentPen() const { return m_state.pen; }
    const CBrush& GetCurrentBrush() const { return m_state.brush; }
    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_state.textColour; }
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return m_state.bkColour; }
    // Previous value, 0 for a value out of range (nothing changes then).
    int SetBkMode(int mode);
    int GetBkMode() const { return m_state.bkMode; }
    int SetROP2(int rop);
    int GetROP2() const { return m_state.rop2; }
    int SetPolyFillMode(int mode);
    int GetPolyFillMode() const { return m_state.polyFillMode; }
    // The brush origin is in device pixels.
    CPoint SetBrushOrg(int x, int y);
    CPoint SetBrushOrg(CPoint p) { return SetBrushOrg(p.x, p.y); }
    CPoint GetBrushOrg() const { return m_state.brushOrg; }
    bool SetMiterLimit(float limit, float* previous = nullptr);
    float GetMiterLimit() const { return m_state.miterLimit; }

    // Clipping, in device pixels for regions and logical units for
    // rectangles. Results are region kinds (NULLREGION, ...), RGN_ERROR on
    // failure. A null region removes the clipping.
    int SelectClipRgn(const CRgn* rgn);
    int SelectClipRgn(const CRgn* rgn, int mode);
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(const CRect& r) { return IntersectClipRect(r.left, r.top, r.right, r.bottom); }
    int ExcludeClipRect(int left, int top, int right, int bottom);
    int ExcludeClipRect(const CRect& r) { return ExcludeClipRect(r.left, r.top, r.right, r.bottom); }
    // Bounding box of what can be drawn, in logical units.
    int GetClipBox(CRect* rect) const;
    bool RectVisible(const CRect& rect) const;
    bool PtVisible(int x, int y) const;
    bool PtVisible(CPoint p) const { return PtVisible(p.x, p.y); }

    // Drawing, in logical units, with the selected pen, brush and raster
    // operation. Inside BeginPath .. EndPath the figures go to the path.
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
    CPoint GetCurrentPosition() const { return m_state.position; }
    bool LineTo(int x, int y);
    bool LineTo(CPoint p) { return LineTo(p.x, p.y); }
    bool Polyline(const CPoint* points, int count);
    bool PolyPolyline(const CPoint* points, const int* counts, int polyCount);
    bool PolyPolyline(const CPoint* points, const std::uint32_t* counts, int polyCount);
    bool Polygon(const CPoint* points, int count);
    bool PolyPolygon(const CPoint* points, const int* counts, int polyCount);
    bool PolyPolygon(const CPoint* points, const std::uint32_t* counts, int polyCount);
    bool Rectangle(int left, int top, int right, int bottom);
    bool Rectangle(const CRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    bool Ellipse(int left, int top, int right, int bottom);
    bool Ellipse(const CRect& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }
    // Fill without pen or raster operation.
    void FillRect(const CRect& rect, const CBrush& brush);
    void FillSolidRect(const CRect& rect, COLORREF colour);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour)
    {
        FillSolidRect(CRect(x, y, x + cx, y + cy), colour);
    }
    // Pixels ignore the raster operation; CLR_INVALID outside the clip or
    // on a device whose pixels cannot be read.
    COLORREF SetPixel(int x, int y, COLORREF colour);
    bool SetPixelV(int x, int y, COLORREF colour);
    COLORREF GetPixel(int x, int y) const;

    // Paths, kept in device pixels. Rectangles in a path leave out their
    // right and bottom edges as when drawn.
    bool BeginPath();
    bool EndPath();
    bool AbortPath();
    bool CloseFigure();
    bool StrokePath();
    bool FillPath();
    bool StrokeAndFillPath();
    bool SelectClipPath(int mode);
    // The closed path as a region; the path is used up. False when there is none.
    bool PathToRegion(CRgn* rgn);
    const std::vector<PathFigure>& GetPath() const { return m_state.path; }

private:
    struct State {
        int mapMode = MM_TEXT;
        CPoint windowOrg;
        CSize windowExt{1, 1};
        CPoint viewportOrg;
        CSize viewportExt{1, 1};
        CPen pen;
        CBrush brush;
        COLORREF textColour = 0;
        COLORREF bkColour = 0xFFFFFF;
        int bkMode = OPAQUE;
        int rop2 = R2_COPYPEN;
        int polyFillMode = ALTERNATE;
        CPoint brushOrg;
        CPoint position;
        bool clipped = false;
        CRgn clip;
        float miterLimit = 10.0f;
        // 0 none, 1 open (figures go to it), 2 closed and ready.
        int pathState = 0;
        std::vector<PathFigure> path;
    };
    struct Pen;

    void Begin(QPaintDevice* device);
    void End();
    void FixedModeExtents();
    void FixIsotropic();
    CPoint ToDevice(int x, int y) const;
    std::vector<CPoint> ToDevice(const CPoint* points, int count) const;
    int DeviceWidth(int logicalWidth) const;
    Pen ResolvePen() const;
    bool CanDraw() const;
    void ApplyClip() const;
    CRect VisibleBox() const;
    void Touch(const CRect& deviceBounds);

    void StrokeFigures(const std::vector<PathFigure>& figures);
    void StrokeCosmetic(const Pen& pen, const std::vector<CPoint>& points, bool closed);
    std::int64_t CosmeticSegment(const Pen& pen, CPoint a, CPoint b, std::int64_t styleStep);
    void StrokeWide(const Pen& pen, const QPainterPath& path);
    void FillShape(const QPainterPath& path, const CBrush& brush, int rop);
    void AddFigure(std::vector<CPoint> points, bool closed);
    static bool CountsFromWords(const std::uint32_t* counts, int polyCount, std::vector<int>& out);
    bool DrawParts(const CPoint* points, const int* counts, int polyCount, bool closed);
    void FillFigures(const std::vector<PathFigure>& figures);
    bool DrawBoxShape(int left, int top, int right, int bottom, bool ellipse);

    State m_state;
    std::vector<State> m_saved;
    DeviceInfo m_info;
    bool m_printing = false;
    QPaintDevice* m_device = nullptr;
    QImage* m_image = nullptr;
    CWindowSurface* m_surface = nullptr;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<CPixelWriter> m_writer;
    mutable bool m_clipApplied = false;
};
