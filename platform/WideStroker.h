#pragma once

#include "platform/Point.h"
#include "platform/Rect.h"
#include "platform/ScanConverter.h"

#include <cstdint>
#include <functional>
#include <vector>

// The pixels a wide pen with round joins covers along polylines of device
// points, as runs of each row: the union of a rectangle along every
// segment, the sector of the pen's disc on the outside of every join and,
// at the open ends, a half disc (round caps), nothing (flat caps) or the
// rectangle made longer by half the width (square caps). The figures are
// first moved by a fraction of a pixel; a pixel is covered when its centre
// lies inside. Each pixel comes once however often the pieces overlap, so
// raster operations combine it once. Work grows with the rows each piece
// spans; what is held besides the points stays bounded.
class CWideStroker {
public:
    enum class Cap { Round, Flat, Square };
    // Pixels x0 .. x1 - 1 of row y, left to right and row after row.
    using SpanSink = std::function<void(int y, int x0, int x1)>;

    CWideStroker(int width, Cap cap, double shiftX, double shiftY);

    // Repeated points count once. An open figure that ends where it starts
    // is closed there; one that stays on a single point draws nothing.
    void AddFigure(const CPoint* points, std::size_t count, bool closed);
    // The runs inside box, cut to it.
    void Stroke(const CRect& box, const SpanSink& sink);

private:
    struct Figure {
        std::size_t first = 0; // into m_points
        std::size_t count = 0;
        bool closed = false;
    };
    // A half plane through a sector's centre: the side the unit vector points to.
    struct Limit {
        double x = 0;
        double y = 0;
    };
    struct Sector {
        double cx = 0;
        double cy = 0;
        Limit limits[2];
        int limitCount = 0;
    };
    // A convex quadrilateral whose sides are stepped along the rows in
    // fixed point as Qt's fills step the outline of a stroke.
    struct Quad {
        CScanConverter::Edge sides[4];
        int sideCount = 0;
    };
    // Marks of the runs of a band of rows, one bit a pixel.
    struct Marks {
        std::int64_t top = 0;
        std::int64_t bottom = 0; // last row
        std::vector<std::uint64_t> bits;
        std::vector<std::size_t> low;
        std::vector<std::size_t> high;
    };

    // Marks the pieces of a figure that reach the band's rows.
    void MarkFigure(const Figure& figure, const CRect& box, Marks& marks) const;
    void MarkSector(const Sector& sector, const CRect& box, Marks& marks) const;
    void MarkQuad(const double* x, const double* y, const CRect& box, Marks& marks) const;
    static void MarkRun(std::int64_t y, std::int64_t x0, std::int64_t x1, const CRect& box, Marks& marks);
    static void EmitMarks(const CRect& box, Marks& marks, const SpanSink& sink);

    double m_radius;
    Cap m_cap;
    double m_shiftX;
    double m_shiftY;
    std::vector<CPoint> m_points;
    std::vector<Figure> m_figures;
};
