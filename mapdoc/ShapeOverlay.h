#pragma once

#include "core/Shape.h"
#include "mapdoc/MapOverlay.h"

// A found line or area highlighted over the map: its parts as green lines.
class CShapeOverlay : public CMapOverlay {
public:
    explicit CShapeOverlay(const CShape& shape) { m_shape.Copy(shape); }

    void Draw(CDC& dc, CDrelView& view) override;
    // The part of its box in the view, three pixels larger on every side.
    bool GetRect(CDrelView& view, CRect& rect) override;

    const CShape& GetShape() const { return m_shape; }

private:
    CShape m_shape;
};
