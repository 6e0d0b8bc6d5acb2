#pragma once

#include "platform/Gdi.h"
#include "platform/Rect.h"

#include <cstdint>
#include <string_view>
#include <vector>

class CBrush;
class CRgn;

// A picture a recording context keeps: pixels 0xAARRGGBB, alpha not
// premultiplied, rows top first. Alpha is 255 everywhere unless hasAlpha.
struct RecordedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool hasAlpha = false;
};

// Where a recording context (a metafile) sends its calls instead of
// drawing them. The context keeps its own state as always and calls the
// recorder after taking each call, with the arguments in logical units
// (regions in device pixels); the recorder reads the pens, colours and
// mapping it needs from the context when it writes a drawing call.
class IDCRecorder {
public:
    enum class PathOp { Begin, End, Abort, CloseFigure, Stroke, Fill, StrokeAndFill, SelectClip };

    virtual ~IDCRecorder() = default;

    virtual void SaveDC() = 0;
    // relative < 0: the state saved that many levels back.
    virtual void RestoreDC(int relative) = 0;

    virtual void IntersectClipRect(const CRect& rect) = 0;
    virtual void ExcludeClipRect(const CRect& rect) = 0;
    // Null removes the clipping (RGN_COPY).
    virtual void SelectClipRgn(const CRgn* deviceRegion, int mode) = 0;

    virtual void MoveTo(CPoint p) = 0;
    virtual void LineTo(CPoint p) = 0;
    // Parts of two points or more, one after another.
    virtual void Poly(const CPoint* points, const int* counts, int parts, bool closed) = 0;
    virtual void Rectangle(const CRect& box) = 0;
    virtual void Ellipse(const CRect& box) = 0;
    virtual void FillRect(const CRect& rect, const CBrush& brush) = 0;
    virtual void SetPixel(CPoint p, COLORREF colour) = 0;
    // A blit without source: rect holds the corner and the signed extents
    // (right = x + width).
    virtual void PatBlt(const CRect& rect, std::uint32_t rop) = 0;
    // A picture stretched onto rect (corner and signed extents), combined
    // by rop, or blended when it has alpha.
    virtual void Picture(const CRect& rect, const RecordedPicture& picture, std::uint32_t rop) = 0;
    // Text in code page 1257 at a reference point placed by align; the
    // advances are the logical widths of its characters. A clip rectangle
    // cuts the text.
    virtual void Text(CPoint reference, std::string_view text, const std::vector<int>& advances, unsigned align,
                      const CRect* clip) = 0;
    // SelectClip also gets the region the context made of the path.
    virtual void Path(PathOp op, int mode, const CRgn* deviceRegion) = 0;
};
