#pragma once

#include "core/MapPoint.h"
#include "mapdoc/MapOverlay.h"

#include <string>

// A label of a found object (a house number, a name) in a white box
// centred above its point; each step of the offset lifts it by an eighth
// of the text's height, so labels of one point can stand above each other.
class CTextOverlay : public CMapOverlay {
public:
    // text in code page 1257.
    CTextOverlay(const CMapPoint& point, std::string text, int offset = 0)
        : m_point(point), m_text(std::move(text)), m_offset(offset)
    {
    }

    // Nothing while the point lies outside the view.
    void Draw(CDC& dc, CDrelView& view) override;
    // The box where it was last drawn.
    bool GetRect(CDrelView& view, CRect& rect) override;

    const std::string& GetText() const { return m_text; }

private:
    CMapPoint m_point;
    std::string m_text;
    CRect m_drawn;
    int m_offset;
};
