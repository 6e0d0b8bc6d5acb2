#pragma once

#include "core/MapPointArray.h"
#include "core/MapRect.h"

#include <cstdint>
#include <vector>

class IProgress;

// The geometry of one line or area object: any number of parts (polyline
// pieces or rings) held one after another in one point array, the point
// count of each part, and the extent.
//
// Rings close implicitly; rectangles and circles made here repeat their
// first point, which every ring function takes as a zero-length edge.
// Points are addressed by one global index running over all parts; the
// part holding an index is the first whose running total exceeds it.
// A new shape has no part entries: SetSize or RemoveAll give it its parts.
// Whoever fills Points() and PartSizes() directly keeps the part sizes
// summing to the point count; operations never read past the points even
// when they do not.
class CShape {
public:
    // Densify, MakeCircle and MakeArc refuse to make more points than this.
    static constexpr int kMaxGeneratedPoints = 10'000'000;

    CShape() = default;
    CShape(const CShape&) = delete; // copies are explicit: Copy
    CShape& operator=(const CShape&) = delete;
    CShape(CShape&&) noexcept = default;
    CShape& operator=(CShape&&) noexcept = default;

    int GetPointCount() const { return m_points.GetSize(); }
    int GetPartCount() const { return static_cast<int>(m_partSizes.size()); }
    int GetPartSize(int part) const { return static_cast<int>(m_partSizes[static_cast<size_t>(part)]); }
    const CMapPoint& GetPoint(int index) const { return m_points[index]; }
    const CMapRect& GetExtent() const { return m_extent; }
    void SetExtent(const CMapRect& extent) { m_extent = extent; }
    CMapPointArray& Points() { return m_points; }
    const CMapPointArray& Points() const { return m_points; }
    std::vector<uint32_t>& PartSizes() { return m_partSizes; }
    const std::vector<uint32_t>& PartSizes() const { return m_partSizes; }

    // Whole shape.
    // n points (0, 0) in m parts; with one part its size is n, else the
    // sizes are 0 for the caller to fill. False for negative counts.
    bool SetSize(int n, int m);
    // One part of size 0, no points.
    void RemoveAll();
    bool SetPoints(int n, const CMapPoint* points);
    // Takes the points and the part sizes at once (no parts: one empty
    // part) and recomputes the extent.
    void SetParts(CMapPointArray&& points, std::vector<uint32_t>&& sizes);
    // A closed ring of 5 points from the top left corner clockwise.
    void SetFromRect(const CMapRect& rect);
    void Copy(const CShape& other);
    // Same points, parts and extent, exactly.
    bool IsEqual(const CShape& other) const;
    // The other's parts after this shape's ones.
    void AppendParts(const CShape& other);
    // Joins the other shape: its first part continues this shape's last
    // part, or with prepend its last part runs into this shape's first.
    // The joint is kept once (the continuing piece loses its first point).
    void Append(const CShape& other, bool prepend);
    // Reverses the points and the order of the parts.
    void Reverse();
    // Repeats the first point of every part of two points or more that
    // does not end with it: the rings as lines, their closing edges drawn.
    void CloseRings();
    void RecalcBounds();
    // The longest segment within a part, clipped when a rectangle is given.
    bool GetLongestSegment(CMapPoint& start, CMapPoint& end, const CMapRect* clip = nullptr) const;

    // Parts.
    // -1 for an index outside the points.
    int PartFromPoint(int index) const;
    // Global index of the first point of the part; 0 for part <= 0.
    int GetPartStart(int part) const;
    int AddEmptyPart();
    // A new last part, or part 0 while the shape has no points.
    void AddPartPoints(int n, const CMapPoint* points, bool recalcBounds);
    // out becomes a one-part shape of that part.
    bool GetPart(int part, CShape& out) const;
    // Removes the part and its points; the only part stays, empty.
    void DeletePart(int part);
    // Splits after point k of the part; the new next part starts with a
    // copy of point k. False when k is the part's first or last point.
    bool SplitPartAt(int part, int k);
    // Inserts p twice after point a of the part: the part ends with it and
    // the next part starts with it.
    bool SplitPartWithPoint(int part, int a, const CMapPoint& p);

    // Points.
    // Appends to the last part.
    void AddPoint(const CMapPoint& p);
    // Before index (0 ... count; at count into the last part).
    bool InsertPoint(int index, const CMapPoint& p);
    // count copies of p at index, points only: the part sizes are the caller's.
    void InsertPoints(int index, const CMapPoint& p, int count);
    // The part shrinks; an emptied part goes unless it is the only one.
    // The extent stays as it was.
    void DeletePoint(int index);
    // Removes points equal to their predecessor in the part; returns how many.
    int RemoveDuplicatePoints();
    // Divides every segment longer than maxLength (dx and dy scaled by the
    // factors first) into equal pieces; returns the number of points added.
    int Densify(double maxLength, double scaleX, double scaleY);
    // A closed ring of round(360 / step) steps, starting and ending at
    // (cx + rx, cy). False, the shape unchanged, for a step that is not
    // positive or too fine.
    bool MakeCircle(const CMapPoint& centre, double rx, double ry, double stepDegrees);
    bool MakeCircle(const CMapPoint& centre, double radius, double stepDegrees);
    // An open arc counter-clockwise from start to end (degrees from +x).
    bool MakeArc(const CMapPoint& centre, double rx, double ry, double startDegrees, double endDegrees,
                 double stepDegrees);
    bool MakeArc(const CMapPoint& centre, double radius, double startDegrees, double endDegrees,
                 double stepDegrees);

    // Queries.
    // Even-odd over all parts: 0 outside, 1 inside, 2 on a boundary.
    int PointInPolygon(const CMapPoint& p) const;
    bool IsPointInAnyRing(const CMapPoint& p) const;
    // Within one part, or all for a negative part; index is global.
    bool HitTestVertex(const CMapPoint& p, double tolerance, int part, int& index,
                       CMapPoint* vertex = nullptr) const;
    // The nearest segment; index is the global index of its start (or of a
    // part's final vertex). Ties go to the later part.
    bool HitTestSegment(const CMapPoint& p, double tolerance, int part, int& index,
                        CMapPoint* nearest = nullptr) const;
    // The area enclosed, holes subtracted: parts count even-odd, as in
    // PointInPolygon. NaN when it cannot be computed.
    double Area() const;

    // Overlay. Both shapes are read as areas, every part a ring, even-odd.
    // The out shape gets one part per ring of the result (a hole is a part
    // like any other, told by its nesting) and may be either operand. True when the
    // out shape received points; when the overlay cannot be computed
    // (coordinates that are not finite, no memory) false, out unchanged.
    // Without an out shape Intersect answers whether the areas share any
    // interior.
    bool Intersect(const CShape& other, CShape* out = nullptr) const;
    bool Union(const CShape& other, CShape& out) const;
    // This minus the other.
    bool Subtract(const CShape& other, CShape& out) const;

    // Relations; the extents of both shapes must be current.
    // The ring relation codes (ClassifyRingRelation) of every two parts, n x
    // n row by row: row i column j holds part i against part j. The
    // diagonal counts the parts that contain each part (its nesting depth),
    // or is -1 throughout when two parts are equal or cross. False when a
    // relation could not be computed.
    bool RingRelationMatrix(std::vector<int>& matrix) const;
    // Whether the shapes share a point. Mode 0: two areas whose interiors
    // overlap (boundaries that only touch do not count). Mode 1: two areas
    // that overlap or touch. Mode 2: this shape a line, the other an area:
    // a point of the line inside the area or on its boundary. The other
    // shape's rings close implicitly; in modes 0 and 1 this shape's too.
    bool ShapeIntersects(const CShape& other, int mode) const;
    // Two areas that overlap or touch.
    bool AreasOverlap(const CShape& other) const;

    // Noding. Parts are lines here: the segments between consecutive points.
    // Splits this shape's parts at every point where their segments meet
    // the other's: inside a segment the point is added to both pieces, at a
    // vertex the vertex is repeated; a part's ends are never split. Without
    // crossings, segments that cross each other inside both do not split;
    // ends touching the other line do. With splitOther the other shape is
    // split the same way, and then two-point parts of this shape that equal
    // two-point parts of the other are dropped from this one. The tolerance
    // widens only the first test of the two extents.
    bool SplitAtIntersections(CShape& other, bool splitOther, double tolerance, bool crossings);
    // Splits the parts where the shape's own segments meet; consecutive
    // segments sharing their vertex do not split.
    void SplitAtSelfIntersections();
    // Adds a vertex to both shapes at every point where a segment of one
    // crosses the inside of a segment of the other (one common point only,
    // no overlaps). The counts of points added to this shape and to the
    // other, and the points (each once, one part) when asked for.
    bool InsertIntersectionVertices(CShape& other, int* addedHere, int* addedOther, CShape* points);

    // Buffer kinds.
    enum : int {
        kBufferBand = 0,     // the zone around the parts as lines (points: circles)
        kBufferGrow = 1,     // the parts as rings, the area grown by the distance
        kBufferShrink = 2,   // the parts as rings, the area shrunk by the distance
        kBufferFlatEnds = 3, // the band with flat ends, its joins round on both sides
        kBufferLeft = 4,     // the band on the left of the lines only, its joins round
    };
    // The buffer zone at distance r into out, built from ten-degree arcs.
    // The distance is measured after x is multiplied by sx and y by sy, so
    // unequal factors give an ellipse in map units. roundEnds rounds the
    // free ends of lines (kinds 0 to 2). With showProgress progress runs in
    // the given window, else in one of its own, from 0 to twice the point
    // count, one step per piece and per union, and cancel is polled at each
    // step. False, out unchanged, when cancelled, when memory runs out, for
    // a distance or factor that is not finite, negative or (factors) 0, an
    // unknown kind, or coordinates that are not finite.
    bool Buffer(double r, double sx, double sy, CShape& out, int kind, IProgress* progress = nullptr,
                bool roundEnds = true, bool showProgress = false) const;

    // Simplification.
    // Simplifies each part within the tolerance (SimplifyPolyline); a part
    // left as two equal points goes. Returns the number of points removed;
    // 0, nothing changed, for a tolerance that is negative or not a number.
    int Simplify(double tolerance);
    // Simplify with x multiplied by sx and y by sy; with unequal factors
    // small parts (minPartSize > 0, RemoveSmallParts) are then removed in
    // that space too. Kept points keep their exact coordinates. Returns the
    // number of points removed; 0 for factors that are not positive.
    int Generalize(double tolerance, double sx, double sy, double minPartSize);
    // minSize > 0: removes the parts without points and those whose extent
    // is narrower and lower than minSize. Otherwise removes the parts of
    // fewer than 4 points and rings of 4 whose second and third points
    // coincide (within 1e-8). Returns the number of parts removed.
    int RemoveSmallParts(double minSize);
    // A point inside the area (or on its boundary) for a label: the centre
    // of the extent when it is in, else the middle of the first inside
    // stretch of the horizontal line through the centre, else the first
    // point. False for a shape without points.
    bool GetInteriorPoint(CMapPoint& point) const;

private:
    // The size of a part starting at start, cut to the points there are.
    int PartSizeAt(int part, int start) const;

    CMapPointArray m_points;
    std::vector<uint32_t> m_partSizes;
    CMapRect m_extent;
};
