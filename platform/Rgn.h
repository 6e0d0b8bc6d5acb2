#pragma once

#include "platform/Rect.h"

#include <memory>

class QRegion;

// A region in device pixels, as a value: copies are independent. Pixel
// (x, y) belongs to a rectangle region when left <= x < right and
// top <= y < bottom; polygon regions take the pixels a filled polygon
// covers under the given fill mode.
class CRgn {
public:
    CRgn();
    ~CRgn();
    CRgn(const CRgn& other);
    CRgn& operator=(const CRgn& other);

    bool CreateRectRgn(int left, int top, int right, int bottom);
    bool CreateRectRgnIndirect(const CRect& rect);
    bool CreatePolygonRgn(const CPoint* points, int count, int fillMode);
    bool CreatePolyPolygonRgn(const CPoint* points, const int* counts, int polyCount, int fillMode);
    // This region becomes a combined with b (RGN_AND, RGN_OR, RGN_XOR,
    // RGN_DIFF) or a copy of a (RGN_COPY); returns the kind of the result.
    int CombineRgn(const CRgn& a, const CRgn& b, int mode);
    int OffsetRgn(int dx, int dy);
    // The bounding box; returns the kind (NULLREGION, SIMPLEREGION, ...).
    int GetRgnBox(CRect* box) const;
    bool PtInRegion(int x, int y) const;
    bool RectInRegion(const CRect& rect) const;
    void DeleteObject();
    const void* GetSafeHandle() const { return m_region.get(); }

    // For the DC: the region itself, and one made from it.
    const QRegion& Region() const;
    static CRgn FromRegion(const QRegion& region);

private:
    std::unique_ptr<QRegion> m_region;
};
