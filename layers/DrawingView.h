#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "platform/Rect.h"

#include <memory>
#include <vector>

class CCoordConverter;
class CDC;

// What drawing takes from the map view: the visible extent and scale, the
// conversion of map units to the logical units of a drawing context (one
// thousandth of an inch, set by PrepareDCMapping), contexts on the window
// and on the back buffer, the places taken by labels in the current pass,
// and the converter from geographic degrees to the map's system. Layers,
// painters and shape drawing sit below the view and see it only through
// this.
class IDrawingView {
public:
    virtual ~IDrawingView() = default;

    // Extent and scale.
    virtual CMapRect GetMapExtent() const = 0;
    virtual double GetScaleDenominator() const = 0;

    // Map units to logical units of a context prepared by PrepareDCMapping.
    virtual CPoint MapToDevice(const CMapPoint& p) const = 0;
    virtual CRect RectToDevice(const CMapRect& r) const = 0;
    // Into the view's scratch array, valid until the next conversion.
    virtual const std::vector<CPoint>& ShapeToDevicePoints(const CMapPoint* points, int count) = 0;
    // Sets the context to thousandths of an inch over the view; returns
    // the previous mapping mode.
    virtual int PrepareDCMapping(CDC& dc) const = 0;
    // The view's extent in logical units.
    CRect GetDeviceRect() const { return RectToDevice(GetMapExtent()); }

    // Contexts. A context on the view's window, released with the pointer;
    // one that draws nothing when the view has no window. Never null.
    virtual std::unique_ptr<CDC> OpenWindowDC() = 0;
    // A memory context holding the back buffer, like reference; null when
    // there is no back buffer or it is being drawn anew.
    virtual std::unique_ptr<CDC> OpenBackBufferDC(const CDC& reference) = 0;
    // While the back buffer is drawn anew, the context holding it: what is
    // drawn into the window goes into it as well. Null otherwise.
    virtual CDC* GetMemoryDC() const = 0;

    // Label collision of the current drawing pass: 1 when the label may be
    // drawn (and is recorded), 0 when it meets one placed before; force
    // records it without a test.
    virtual int ReserveLabelRect(const CRect& r, int force) = 0;
    virtual int ReserveLabelQuad(const CPoint corners[4], int force) = 0;

    // From geographic degrees to the map's system; null when the map is in
    // degrees.
    virtual const CCoordConverter* GetGeoToMapConverter() const = 0;
};

// Whether the extent meets the view's, edges included.
inline bool MeetsView(const CMapRect& extent, const IDrawingView& view)
{
    const CMapRect v = view.GetMapExtent();
    return !(v.left > extent.right || v.top < extent.bottom || v.right < extent.left || v.bottom > extent.top);
}
