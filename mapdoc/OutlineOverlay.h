#pragma once

#include "core/MapPointArray.h"
#include "layers/DrawStyle.h"
#include "mapdoc/MapOverlay.h"
#include "platform/Gdi.h"

// The outline a measuring tool drags over the map: one polyline in a line
// style and a raster operation, so that drawn twice with an inverting one
// it is gone again.
class COutlineOverlay : public CMapDrawable {
public:
    COutlineOverlay();

    void Draw(CDC& dc, CDrelView& view) override;

    CMapPointArray& Points() { return m_points; }
    const CMapPointArray& Points() const { return m_points; }
    // Pen style, width (thousandths of an inch) and colour are used.
    CDrawStyle& LineStyle() { return m_style; }
    void SetRop(int rop) { m_rop = rop; }
    int GetRop() const { return m_rop; }

private:
    CMapPointArray m_points;
    CDrawStyle m_style;
    int m_rop = R2_COPYPEN;
};
