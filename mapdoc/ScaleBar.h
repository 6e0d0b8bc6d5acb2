#pragma once

#include "platform/Rect.h"

#include <memory>
#include <string>
#include <vector>

class CDC;
class CDrelView;

// The step of the scale bar at a scale denominator: the ground length of
// one segment in centimetres, the denominator rounded to two significant
// figures (25000 stays, 23456 becomes 23000); below 1 the denominator.
double GetScaleBarStep(double scale);

// The texts of a bar of the given segments at a step: one label at the
// left end of each segment ("0" first), and after the last segment the
// closing number with its unit, in kilometres from a step of 50000 up, in
// metres above 1, else in centimetres.
struct CScaleBarText {
    std::vector<std::string> labels;
    std::string closingNumber; // without the unit
    std::string unit;          // " km", " m" or " cm"
};
CScaleBarText GetScaleBarText(double step, int segments);

// One segment's length in the bar's space of 1000 units per inch:
// round(394 x step / scale), 394 units being about a centimetre.
int GetScaleBarSegmentLength(double step, double scale);

// Where a bar stands in its parent: anchors and the gaps to the anchored
// edges.
struct CScaleBarPlace {
    int fromLeft = 0; // 1 measured from the left edge, 0 from the right
    int fromTop = 0;  // 1 from the top, 0 from the bottom
    int offsetX = 0;
    int offsetY = 0;
    bool operator==(const CScaleBarPlace&) const = default;
};

// The rectangle of a bar of the size at the place inside the parent's
// rectangle, pushed back inside it (right edge, left edge, bottom, top in
// that order).
CRect PlaceScaleBar(const CScaleBarPlace& place, CSize size, const CRect& parent);
// The place a rectangle inside the parent stands at: each anchor on the
// nearer edge, the right or bottom one for equal gaps, the left or top one
// whenever the rectangle touches it.
CScaleBarPlace GetScaleBarPlace(const CRect& rect, const CRect& parent);

// The child window that shows a scale bar over a map view.
class IScaleBarWindow {
public:
    virtual ~IScaleBarWindow() = default;
    // In the parent's client pixels.
    virtual void MoveWindow(const CRect& rect) = 0;
    virtual void ShowWindow(bool show) = 0;
    // Paints the window again now.
    virtual void Repaint() = 0;
};

// The scale bar of a map view, without its window: alternating black and
// white segments of about a centimetre each labelled with ground
// distances, placed by anchors and offsets that the map's settings keep
// (hundredths of a millimetre), dragged by the user to a new place, and
// drawn onto printed and exported pages. The view owns it.
//
// Placing keeps the bar inside the view: a view too small for the place
// shows the bar pushed in, but the place itself (and the map's settings)
// change only when the user drags the bar or switches it on, so the bar
// comes back to its place when the view grows again.
class CScaleBar {
public:
    // Takes the place from the view's document.
    explicit CScaleBar(CDrelView& view);
    ~CScaleBar();
    CScaleBar(const CScaleBar&) = delete;
    CScaleBar& operator=(const CScaleBar&) = delete;

    // The window that shows the bar; the bar owns it.
    void SetWindow(std::unique_ptr<IScaleBarWindow> window);
    IScaleBarWindow* GetWindow() const { return m_window.get(); }
    const CDrelView& GetView() const { return m_view; }

    int GetSegmentCount() const { return m_segments; }
    // The place wanted, in hundredths of a millimetre.
    const CScaleBarPlace& GetPlace() const { return m_place; }
    // The window's rectangle in the view's client pixels after the last placing.
    const CRect& GetRect() const { return m_rect; }

    // The bar's size in the logical units of a context mapped to 1000
    // units per inch (the text measured in its font there).
    CSize MeasureBar(CDC& dc) const;
    // The bar with its top left at the origin, in such a context.
    void DrawBar(CDC& dc, CPoint origin) const;
    // The window's painting: its client area in 1000 units per inch of the
    // context's resolution, white, the bar at the origin.
    void Paint(CDC& dc, CSize client) const;
    // The bar's size in the view's screen pixels.
    CSize GetPixelSize() const;

    // Moves the window to the place inside the view's client area (pushed
    // in when the view is too small) and repaints it; stores nothing. The
    // view runs it on its first update and whenever it draws the map anew.
    void PlaceForDrawing();
    // As PlaceForDrawing, and the place the window got becomes the place
    // wanted, stored in the map's settings when it changed (the map is
    // modified then). For the bar switched on.
    void PlaceAndStore();

    // Dragging, in the view's client pixels: a one-pixel frame of the
    // bar's size drawn inverted on the view follows the cursor, kept
    // inside the view. Ending it moves the bar where the frame is and
    // stores the place; cancelling leaves everything as it was.
    void BeginDrag(CPoint cursor);
    void DragTo(CPoint cursor);
    void EndDrag();
    void CancelDrag();
    bool IsDragging() const { return m_dragging; }
    const CRect& GetDragFrame() const { return m_frame; }

    // The bar on a page (printing, export): in the page's logical units
    // of 1000 per inch, at the place converted to thousandths of an inch,
    // pushed inside the page rectangle, on white. Nothing unless the view
    // shows the bar.
    void DrawOnPage(CDC& dc, const CRect& page) const;

private:
    struct CLayout;
    CLayout Layout(CDC& dc) const;
    CPoint PixelOffsets();
    void MoveTo(const CRect& rect);
    void Store(const CRect& rect);
    void DrawFrame(const CRect& frame) const;

    CDrelView& m_view;
    std::unique_ptr<IScaleBarWindow> m_window;
    int m_segments = 2;
    CScaleBarPlace m_place;       // offsets in hundredths of a millimetre
    // The place's offsets in the view's pixels, converted on first use.
    CPoint m_pixelOffsets;
    bool m_pixelsKnown = false;
    CRect m_rect;
    bool m_dragging = false;
    CPoint m_dragStart;
    CRect m_frame;
};
