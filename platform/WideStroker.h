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
// rectangle made longer by half the width (square caps). The figures are first moved by a fraction of a pixel; a
// pixel is covered when its centre lies inside. Each pixel comes once
// however often the pieces overlap, so raster operations combine it once.
// Work grows with the rows each piece spans.
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
    // A half plane through a sector's centre: the side the unit vector points to.
    struct Limit {
        double x = 0;
        double y = 0;
    };
    struct Piece {
        // A sector of the pen's disc inside up to two half planes, or a
        // convex quadrilateral whose sides are stepped along the rows in
        // fixed point as Qt's fills step the outline of a stroke.
        bool disc = false;
        double cx = 0;
        double cy = 0;
        Limit limits[2];
        int limitCount = 0;
        CScanConverter::Edge sides[4];
        int sideCount = 0;
        double left = 0;
        double right = 0;
        std::int64_t firstRow = 0;
        std::int64_t lastRow = 0;
    };

    void AddSector(Piece piece);
    void AddQuad(const double* x, const double* y);
    // The pixels of the piece on row y: false when there are none.
    bool Cover(const Piece& piece, std::int64_t y, std::int64_t& x0, std::int64_t& x1) const;

    double m_radius;
    Cap m_cap;
    double m_shiftX;
    double m_shiftY;
    std::vector<Piece> m_pieces;
    std::vector<CPoint> m_scratch;
    std::vector<Limit> m_directions;
};
