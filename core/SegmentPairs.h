#pragma once

#include "core/MapRect.h"

#include <algorithm>
#include <utility>
#include <vector>

class CShape;

// Candidate pairs of segments for the overlay, noding and filter tests: a
// sweep along x over the segments' boxes, so only pairs whose boxes meet
// are looked at instead of every pair.

// One segment of a shape: global indices of its two ends and its part.
// A ring's closing edge runs from the part's last point back to its first.
struct CShapeSegment {
    int from = 0;
    int to = 0;
    int part = 0;
};

struct CSegmentBox {
    double left, bottom, right, top;
    int id;
};

// The segments of the shape in order of their start. With closed, each
// part of three points or more also gets its closing edge unless its last
// point repeats the first. Segments shorter than the segment tolerance
// (which meet nothing) and segments with coordinates that are not finite
// are left out. Boxes are grown by the segment tolerance; their ids index
// segments.
void CollectShapeSegments(const CShape& shape, bool closed, std::vector<CShapeSegment>& segments,
                          std::vector<CSegmentBox>& boxes);

// The extents share a point (borders included).
inline bool ExtentsMeet(const CMapRect& a, const CMapRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

// inner lies within outer, borders included.
inline bool ExtentInside(const CMapRect& inner, const CMapRect& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.bottom >= outer.bottom &&
           inner.top <= outer.top;
}

namespace SegmentPairsDetail {

inline bool BoxesMeetInY(const CSegmentBox& a, const CSegmentBox& b)
{
    return a.bottom <= b.top && b.bottom <= a.top;
}

inline void SortByLeft(std::vector<CSegmentBox>& boxes)
{
    std::sort(boxes.begin(), boxes.end(), [](const CSegmentBox& a, const CSegmentBox& b) {
        return a.left < b.left || (a.left == b.left && a.id < b.id);
    });
}

// Drops the active boxes that end before x.
inline void Prune(std::vector<CSegmentBox>& active, double x)
{
    active.erase(std::remove_if(active.begin(), active.end(), [x](const CSegmentBox& b) { return b.right < x; }),
                 active.end());
}

} // namespace SegmentPairsDetail

// Calls visit(idA, idB) for every box of a and box of b that meet, until
// visit returns true; then returns true.
template <class Visit>
bool ForEachMeetingBoxPair(std::vector<CSegmentBox> a, std::vector<CSegmentBox> b, Visit visit)
{
    using namespace SegmentPairsDetail;
    SortByLeft(a);
    SortByLeft(b);
    std::vector<CSegmentBox> activeA, activeB;
    // A box meets the active boxes of the other set, then joins its own.
    const auto take = [&](const CSegmentBox& box, std::vector<CSegmentBox>& own, std::vector<CSegmentBox>& others,
                          bool boxInA) {
        Prune(others, box.left);
        for (const CSegmentBox& other : others)
            if (BoxesMeetInY(box, other) && (boxInA ? visit(box.id, other.id) : visit(other.id, box.id)))
                return true;
        own.push_back(box);
        return false;
    };
    size_t ia = 0, ib = 0;
    while (ia < a.size() || ib < b.size()) {
        const bool takeA = ib == b.size() || (ia < a.size() && a[ia].left <= b[ib].left);
        if (takeA ? take(a[ia++], activeA, activeB, true) : take(b[ib++], activeB, activeA, false))
            return true;
    }
    return false;
}

// The same within one set: visit(i, j) with i < j for every two boxes that meet.
template <class Visit>
bool ForEachMeetingBoxPair(std::vector<CSegmentBox> boxes, Visit visit)
{
    using namespace SegmentPairsDetail;
    SortByLeft(boxes);
    std::vector<CSegmentBox> active;
    for (const CSegmentBox& box : boxes) {
        Prune(active, box.left);
        for (const CSegmentBox& other : active)
            if (BoxesMeetInY(box, other) && visit(std::min(box.id, other.id), std::max(box.id, other.id)))
                return true;
        active.push_back(box);
    }
    return false;
}

namespace SegmentPairsDetail {

template <class Sweep>
std::vector<std::pair<int, int>> SortedPairs(Sweep sweep)
{
    std::vector<std::pair<int, int>> pairs;
    sweep([&](int i, int j) {
        pairs.emplace_back(i, j);
        return false;
    });
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

} // namespace SegmentPairsDetail

// All meeting pairs, sorted, so that work done on them follows the order
// of the segments whatever the sweep's order.
inline std::vector<std::pair<int, int>> MeetingBoxPairs(const std::vector<CSegmentBox>& a,
                                                        const std::vector<CSegmentBox>& b)
{
    return SegmentPairsDetail::SortedPairs([&](auto visit) { ForEachMeetingBoxPair(a, b, visit); });
}

inline std::vector<std::pair<int, int>> MeetingBoxPairs(const std::vector<CSegmentBox>& boxes)
{
    return SegmentPairsDetail::SortedPairs([&](auto visit) { ForEachMeetingBoxPair(boxes, visit); });
}
