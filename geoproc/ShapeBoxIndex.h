#pragma once

#include "core/MapRect.h"

#include <algorithm>
#include <climits>
#include <vector>

class CShapeArray;

// The boxes of the shapes an operation works on, for operations that
// change the shapes while they ask: a box that grew since the index was
// built (Moved) is still found, so an end moved out of its old box never
// misses its neighbours. Work that moved many ends builds it again.
//
// The boxes lie in a uniform grid of cells about as large as a typical
// box, in full precision: a tree over quantised boxes keeps every box that
// straddles a split in the split's cell, and every query down that way
// looks at them all, which grows with the square root of the shape count.
class CShapeBoxIndex {
public:
    // Over the boxes the shapes have now; shapes whose box is empty or not
    // finite are never found. False when the index could not be made.
    bool Build(const CShapeArray& shapes);
    // The shapes below the limit whose box as it is now meets the rectangle
    // (borders included), in ascending order.
    void Query(const CMapRect& rect, std::vector<int>& hits, int limit = INT_MAX);
    // The shape's box was recomputed; it may have grown past the one indexed.
    void Moved(int shape);

    // For work done with a shape for good: its box, or its two points when
    // it has two, are copied into its entries, so that QueryKept reads them
    // there instead of in the shape, which may lie anywhere in memory. A
    // shape Moved after all is read from itself again.
    void Keep(int shape);
    struct CFound {
        int shape = 0;
        CMapRect box;
        int count = 0;                     // of points
        const CMapPoint* points = nullptr; // the shape's own, unless kept here
        CMapPoint ends[2];

        const CMapPoint* Points() const { return points ? points : ends; }
    };
    // As Query, each shape found with its box and points as they are now.
    void QueryKept(const CMapRect& rect, std::vector<CFound>& hits, int limit = INT_MAX);
    // Asks memory for the cells a query over rect will read, for work that
    // knows its queries a few steps ahead: over data larger than the cache
    // the entries then arrive while other work goes on. Changes nothing.
    void Prefetch(const CMapRect& rect) const;

private:
    // A box in the cells it covers: with the box at hand, most shapes that
    // do not meet are passed by without looking at the shape itself.
    struct Entry {
        // The indexed box; once kept, the shape's box then, or with
        // kTwoEnds its two points (left, top) and (right, bottom) when they
        // span that box.
        CMapRect box;
        int shape;
        int column, row; // of its first cell
        int kept = kNotKept; // else the shape's point count, or kTwoEnds
    };
    static constexpr int kNotKept = -1, kTwoEnds = -2;
    static constexpr char kFoundKept = 2;
    static CMapRect BoxOf(const Entry& entry)
    {
        if (entry.kept != kTwoEnds)
            return entry.box;
        const CMapRect& ends = entry.box;
        return CMapRect(std::min(ends.left, ends.right), std::max(ends.top, ends.bottom),
                        std::max(ends.left, ends.right), std::min(ends.top, ends.bottom));
    }

    // Each shape below the limit whose entry (found in the first of its
    // cells reached, or among the wide ones) has a box meeting wide.
    template <typename Visit>
    void ForIndexed(const CMapRect& wide, int below, Visit visit) const;
    // Sets what the shape's entries hold (the cells of its indexed box).
    void SetEntries(int shape, const CMapRect& box, int kept);
    // The rectangle a query over rect looks in; false when nothing is there.
    bool Widened(const CMapRect& rect, CMapRect& wide) const;
    int Column(double x) const;
    int Row(double y) const;

    const CShapeArray* m_shapes = nullptr;
    std::vector<CMapRect> m_indexed; // each shape's box when built
    std::vector<char> m_found;       // the shapes that may be found (kFoundKept: kept too)
    // The grid: m_cellStart[c] to m_cellStart[c + 1] in m_cellShapes.
    CMapRect m_extent;
    // Cells per map unit: a product, where a quotient would cost more
    // than the rest of finding a cell.
    double m_columnsPerUnit = 1, m_rowsPerUnit = 1;
    int m_columns = 0, m_rows = 0;
    std::vector<int> m_cellStart;
    std::vector<Entry> m_cellEntries;
    // Boxes over too many cells, looked at by every query.
    std::vector<Entry> m_wide;
    // Ends may move a rounding step without Moved (a crossing inserted on
    // a segment); queries reach that much further.
    double m_slackX = 0, m_slackY = 0;
    // How far any box grew past its indexed one.
    double m_growX = 0;
    double m_growY = 0;
};
