#pragma once

#include "platform/Bitmap.h"
#include "platform/Brush.h"
#include "platform/DCRecorder.h"
#include "platform/DibReader.h"
#include "platform/Font.h"
#include "platform/Gdi.h"
#include "platform/Icon.h"
#include "platform/Pen.h"
#include "platform/Rect.h"
#include "platform/Rgn.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CPixelWriter;
class CWindowSurface;
class IBlitSource;
class QImage;
class QPaintDevice;
class QPainter;
class QPainterPath;
class QString;
struct BlitKey;

// A device context with the semantics of the Windows graphics interface,
// drawing onto any paint device: a window surface, an image, later a
// printer. The DC maps logical to device coordinates itself; the device
// gets whole pixels with antialiasing off. Rectangles and ellipses leave
// out their right and bottom edges, lines their last pixel; cosmetic pens
// are one pixel wide with the dash lengths of that interface. On 32- and
// 24-bit images every raster operation is exact; on other devices drawing
// falls back to plain copying. On images the DC fills polygons and strokes
// wide pens with round joins itself, in time that grows with the edges and
// the rows they cross, whatever the shape. A paged device (a PDF writer, a
// printer) is a printer context with the physical page values of its page
// layout.
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
    // What a context on the device would report, without drawing on it.
    static DeviceInfo DescribeDevice(const QPaintDevice& device);
    // A paged device (a printer) goes on to a new page; the state stays.
    // False on other devices.
    bool NewPage();
    bool IsPrinting() const { return m_printing; }
    void SetPrinting(bool printing) { m_printing = printing; }
    // A recording context (CMetaFileDC): it writes its calls into a
    // metafile; its pixels cannot be read.
    bool IsMetafileDC() const { return m_recorder != nullptr; }
    // Reports what was drawn to a window surface.
    void Flush();

    // Memory contexts draw into the bitmap selected into them and keep the
    // resolution and technology of their reference (a 96-dpi screen
    // without one). Until a bitmap is selected they draw nothing.
    bool CreateCompatibleDC(const CDC* reference);
    bool IsMemoryDC() const { return m_memory; }
    // Only memory contexts take bitmaps; returns the bitmap selected before
    // (empty at first). An empty bitmap, or one another context draws into,
    // changes nothing and returns an empty one.
    CBitmap SelectObject(const CBitmap& bitmap);
    const CBitmap& GetCurrentBitmap() const { return m_bitmap; }

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
    CFont SelectObject(const CFont& font);
    const CPen& GetCurrentPen() const { return m_state.pen; }
    const CBrush& GetCurrentBrush() const { return m_state.brush; }
    // A sans face of 12 points until a font is selected.
    const CFont& GetCurrentFont() const { return m_state.font; }
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
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return m_state.stretchMode; }
    unsigned SetTextAlign(unsigned flags);
    unsigned GetTextAlign() const { return m_state.textAlign; }

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
    // A copy of the clip region in device pixels: 1, or 0 when there is no
    // clipping (rgn is then left as it was).
    int GetClipRgn(CRgn* rgn) const;
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

    // Blits. Rectangles are in logical units of their own context; a
    // negative width or height on one side mirrors. Sources are contexts
    // over images (memory contexts with a bitmap, images, window surfaces).
    // Raster operations are the ternary ones (SRCCOPY, SRCAND, PATCOPY,
    // ...), with the selected brush as the pattern. On 32- and 24-bit
    // images they are exact; on other devices an operation is worked out
    // against white paper and the pixels it would leave unchanged are left
    // out (so SRCAND leaves out white and SRCPAINT black source pixels).
    bool BitBlt(int x, int y, int width, int height, const CDC* source, int xSrc, int ySrc, std::uint32_t rop);
    bool StretchBlt(int x, int y, int width, int height, const CDC* source, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, std::uint32_t rop);
    bool PatBlt(int x, int y, int width, int height, std::uint32_t rop);
    // Copies, leaving the target as it was under the source pixels of the key colour.
    bool TransparentBlt(int x, int y, int width, int height, const CDC* source, int xSrc, int ySrc, int srcWidth,
                        int srcHeight, COLORREF key);
    // DIBs (1, 4, 8 and 24 bits, DIB_RGB_COLORS). The source rectangle is
    // in DIB pixels with y counted in stored rows, from the bottom of a
    // bottom-up DIB. Results are the source rows inside the picture, 0 on
    // failure.
    int StretchDIBits(int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                      const DibData& dib, unsigned usage, std::uint32_t rop);
    // One device pixel per DIB pixel at (x, y); the bits hold scanLines
    // stored rows from startScan on.
    int SetDIBitsToDevice(int x, int y, int width, int height, int xSrc, int ySrc, unsigned startScan,
                          unsigned scanLines, const DibData& dib, unsigned usage);
    // Copies a DIB as StretchDIBits does, leaving the target as it was
    // under the pixels whose palette index is keyIndex (1- to 8-bit DIBs)
    // or whose colour is keyColour (keyIndex negative, or 24-bit DIBs).
    // Transparent blits never mix pixels: they stretch as COLORONCOLOR.
    bool TransparentDIBits(int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                           const DibData& dib, int keyIndex, COLORREF keyColour);
    // An icon blended over the target, stretched to width x height (its own
    // size where they are 0).
    bool DrawIconEx(int x, int y, const CIcon& icon, int width, int height);
    // A 32-bit DIB (BI_RGB, or BI_BITFIELDS with the usual masks) whose
    // colours are premultiplied by their alpha, blended over the target
    // and faded by constantAlpha (0..255), as the alpha blend of the
    // drawing interface does: stretched as COLORONCOLOR. The source
    // rectangle is as for StretchDIBits.
    bool AlphaBlendDIBits(int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                          const DibData& dib, int constantAlpha = 255);

    // Text, in code page 1257, with the selected font, the text colour and,
    // in OPAQUE mode, the background colour behind the text's cell. The
    // escapement turns the text about its reference point; the alignment
    // places that point on the text's box (left, right or centre; top,
    // baseline or bottom). Metrics and extents are in logical units; the
    // extent of a text is its advance and the font's ascent plus descent.
    // Fonts need the GUI application: without one nothing is drawn or
    // measured.
    bool TextOut(int x, int y, std::string_view text);
    CSize GetTextExtent(std::string_view text) const;
    bool GetTextMetrics(TEXTMETRIC* metrics) const;
    // The family the selected font draws in.
    std::string GetTextFace() const;
    // Lines broken at line feeds and, with DT_WORDBREAK, between words that
    // would pass the rectangle's right edge; '&' marks the next letter
    // unless DT_NOPREFIX. Lines are not turned by the escapement. Returns
    // the height of the text; DT_CALCRECT only sets the rectangle's right
    // and bottom to the text's extent.
    int DrawText(std::string_view text, CRect* rect, unsigned format);

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

protected:
    // Sends every call to the recorder from now on (null stops it). The
    // recorder must outlive its use.
    void AttachRecorder(IDCRecorder* recorder) { m_recorder = recorder; }

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
        CFont font;
        unsigned textAlign = TA_LEFT | TA_TOP;
        int stretchMode = BLACKONWHITE;
    };
    struct Pen;
    struct TextFont;

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
    int CombineClip(const CRgn* rgn, int mode);
    bool TakePathRegion(CRgn* rgn);
    void RecordPicture(const IBlitSource& source, CRect from, bool mirrorX, bool mirrorY, int x, int y, int width,
                       int height, const BlitKey& key, std::uint32_t rop);
    // Smooth stretching for icons; blends of pictures take the nearest pixel.
    void DrawBlended(const QImage& image, const CRect& dest, bool mirrorX, bool mirrorY, bool smooth);

    void StrokeFigures(const std::vector<PathFigure>& figures);
    void StrokeCosmetic(const Pen& pen, const std::vector<CPoint>& points, bool closed);
    std::int64_t CosmeticSegment(const Pen& pen, CPoint a, CPoint b, std::int64_t styleStep);
    void StrokeWide(const Pen& pen, const QPainterPath& path);
    void FillShape(const QPainterPath& path, const CBrush& brush, int rop);
    // Whether fills and wide pens are worked out here as runs of pixels:
    // on images, not on printers and other vector devices.
    bool DrawsRuns() const;
    // Gives produce the box it may draw in and a sink for its runs, which
    // take the brush (or, without one, the colour) and the raster operation.
    using RunSource = std::function<void(const CRect& box, const std::function<void(int y, int x0, int x1)>& sink)>;
    void PaintRuns(const CBrush* brush, COLORREF colour, int rop, const RunSource& produce);
    void AddFigure(std::vector<CPoint> points, bool closed);
    static bool CountsFromWords(const std::uint32_t* counts, int polyCount, std::vector<int>& out);
    bool DrawParts(const CPoint* points, const int* counts, int polyCount, bool closed);
    void FillFigures(const std::vector<PathFigure>& figures);
    bool DrawBoxShape(int left, int top, int right, int bottom, bool ellipse);

    CRect DeviceRect(int x, int y, int width, int height, bool& mirrorX, bool& mirrorY) const;
    bool Blit(const IBlitSource& source, const CRect& dest, bool mirrorX, bool mirrorY, const CRect& sourceRect,
              int mode, const BlitKey& key, std::uint32_t rop);
    bool BlitFromDC(int x, int y, int width, int height, const CDC* source, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, const BlitKey& key, std::uint32_t rop);
    int BlitDib(int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                const DibData& dib, unsigned usage, const BlitKey& key, std::uint32_t rop);
    const TextFont* RealizeFont() const;
    void DrawTextLine(const TextFont& font, CPoint reference, const QString& text, int width, unsigned align,
                      bool rotate);
    int LogicalWidth(int deviceWidth) const;
    std::vector<int> TextAdvances(std::string_view text) const;
    int LogicalHeight(int deviceHeight) const;

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
    bool m_memory = false;
    CBitmap m_bitmap;
    mutable std::unique_ptr<TextFont> m_textFont;
    IDCRecorder* m_recorder = nullptr;
};
