#pragma once

#include "platform/Rect.h"

#include <array>
#include <vector>

// The places taken by labels in one drawing pass, in device units, so a
// label that would overlap one drawn before it is left out. Labels are
// axis-parallel rectangles or turned rectangles given by their corners.
class CLabelRegister {
public:
    using Quad = std::array<CPoint, 4>;

    void Clear();
    // 1 when the label may be drawn (it is recorded then), 0 when it meets
    // a placed one. With force it is recorded without a test.
    int ReserveRect(const CRect& rect, int force);
    int ReserveQuad(const Quad& corners, int force);

private:
    struct PlacedQuad {
        CRect box; // corners included on every side
        Quad corners;
    };

    std::vector<CRect> m_rects;
    std::vector<PlacedQuad> m_quads;
};
