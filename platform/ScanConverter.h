#pragma once

#include "platform/Point.h"
#include "platform/Rect.h"

#include <cstdint>
#include <functional>
#include <vector>

// Turns closed rings of device points into the pixel runs a fill covers,
// row by row. The rings are first moved by a fraction of a pixel (in 64ths);
// a pixel is covered when its centre lies inside under the fill rule, found
// in the 16.16 fixed-point steps along each edge of Qt's aliased raster
// fills, so that the pixels come out as Qt's would. The work grows with the
// edges and the crossings on the rows drawn, whatever the shape: the edges
// are sorted by their top rows and the ones on a row kept sorted by x.
class CScanConverter {
public:
    // The move that turns the pixel-centre rule into the drawing
    // interface's rule (pixels whose integer positions lie inside, with
    // left and top edges in and right and bottom ones out). The amounts
    // differ so that no common edge direction passes exactly through a centre.
    static constexpr int kInterfaceShiftX = 32 - 2;
    static constexpr int kInterfaceShiftY = 32 - 1;

    // An edge between two points in 26.6 fixed point, stepped as the fill
    // steps it: the rows whose centres it passes, and there its x in 16.16
    // with half a pixel added, so that the integer part is the first pixel
    // whose centre lies right of the edge.
    struct Edge {
        std::int64_t top = 0;    // first row
        std::int64_t bottom = 0; // last row
        std::int64_t x0 = 0;     // 16.16 x of the upper end, half a pixel added
        std::int64_t ay = 0;     // 26.6 y of the upper end
        std::int64_t slope = 0;  // 16.16 x per row
        int winding = 0;         // 1 running down, -1 up

        // False for an edge that passes no row centre.
        static bool Make(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by, Edge& edge);
        std::int64_t XAt(std::int64_t row) const;
    };

    // Pixels x0 .. x1 - 1 of row y, left to right and row after row.
    using SpanSink = std::function<void(int y, int x0, int x1)>;

    CScanConverter(int shiftX64, int shiftY64) : m_shiftX(shiftX64), m_shiftY(shiftY64) {}

    // A ring closes by itself; rings of fewer than two points add nothing.
    void AddRing(const CPoint* points, std::size_t count);
    void Clear() { m_edges.clear(); }
    bool IsEmpty() const { return m_edges.empty(); }

    // The runs inside box, cut to it; winding or alternate (odd-even) rule.
    void Fill(bool winding, const CRect& box, const SpanSink& sink);

private:
    struct Active {
        std::int64_t x = 0; // 16.16 on the current row
        std::int64_t slope = 0;
        std::int64_t bottom = 0;
        int winding = 0;
    };

    static void SortByX(std::vector<Active>& active);

    int m_shiftX;
    int m_shiftY;
    std::vector<Edge> m_edges;
    std::vector<Active> m_active;
};
