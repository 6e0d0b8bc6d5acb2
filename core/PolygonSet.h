#pragma once

#include "core/PolygonClipper.h"

#include <vector>

class CShape;

// A set of polygon contours with holes, the value the overlay operations
// work on. Contours close implicitly; a hole is told by its flag, not by
// nesting. Sets made from shapes flag nothing: the clip operations read
// every set under the even-odd rule and flag the holes of their results.
//
// Operations that produce a set report success by what they return;
// Failed() tells an empty result from one that could not be computed
// (coordinates that are not finite, or memory ran out).
class CPolygonSet {
public:
    using Contour = CPolygonClipper::Contour;

    // Clip operation codes.
    enum : int {
        kDifference = CPolygonClipper::kDifference,
        kIntersection = CPolygonClipper::kIntersection,
        kExclusiveOr = CPolygonClipper::kExclusiveOr,
        kUnion = CPolygonClipper::kUnion,
    };

    CPolygonSet() = default;
    // One contour per part of the shape, none flagged a hole.
    explicit CPolygonSet(const CShape& shape);

    // The same on an existing set; false when memory ran out (the set is
    // then empty).
    bool FromShape(const CShape& shape);
    // One part per contour; contours of more than 2 vertices are closed
    // explicitly by repeating the first vertex. Extent recomputed.
    void ToShape(CShape& shape) const;

    // result = this op other; true when the result has contours.
    bool Clip(int op, const CPolygonSet& other, CPolygonSet& result) const;
    bool Intersect(const CPolygonSet& other, CPolygonSet& result) const;
    bool Union(const CPolygonSet& other, CPolygonSet& result) const;
    // this minus other.
    bool Subtract(const CPolygonSet& other, CPolygonSet& result) const;
    // this = this united with other; true when it has contours.
    bool UnionInPlace(const CPolygonSet& other);
    // The clip operation on two sets into result (which may be either).
    // False when it could not be computed; result is then empty and Failed().
    static bool ClipPolygons(int op, const CPolygonSet& subject, const CPolygonSet& clip, CPolygonSet& result);

    // One contour, not a hole, with room for capacity vertices and none used.
    void InitSingleContour(int capacity);
    // Appends to the last contour (making one when there is none).
    void AddVertex(const CMapPoint& p);
    // The last contour back to no vertices.
    void ClearVertices();
    void AddContour(const CMapPoint* points, int n, bool hole);

    void CopyFrom(const CPolygonSet& other);
    // The enclosed area, holes subtracted. The result of a clip operation
    // is summed by its hole flags; otherwise a single contour is taken as it
    // stands and several are first normalised by a union with the empty
    // set. NaN when that cannot be computed.
    double Area() const;
    bool IsEmpty() const { return m_contours.empty(); }
    void Clear();
    bool Failed() const { return m_failed; }

    int GetContourCount() const { return static_cast<int>(m_contours.size()); }
    const Contour& GetContour(int i) const { return m_contours[static_cast<size_t>(i)]; }
    bool IsHole(int i) const { return GetContour(i).hole; }
    const std::vector<Contour>& Contours() const { return m_contours; }

private:
    std::vector<Contour> m_contours;
    bool m_failed = false;
    bool m_normal = false; // made by a clip operation: rings apart, holes flagged
};
