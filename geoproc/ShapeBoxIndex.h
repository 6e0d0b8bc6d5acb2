#pragma once

#include "core/MapRect.h"
#include "layers/SpatialIndex.h"

#include <vector>

class CShapeArray;

// The boxes of the shapes an operation works on, in a CSpatialIndex of
// kSourceCellCount cells, for operations that change the shapes while
// they ask: a box that grew since the index was built (Moved) is still
// found, so an end moved out of its old box never misses its neighbours.
// Work that moved many ends builds it again.
class CShapeBoxIndex {
public:
    // Over the boxes the shapes have now; shapes whose box is empty or not
    // finite are never found. False when the index could not be made.
    bool Build(const CShapeArray& shapes);
    // The shapes whose box as it is now meets the rectangle (borders
    // included), in ascending order.
    void Query(const CMapRect& rect, std::vector<int>& hits);
    // The shape's box was recomputed; it may have grown past the one indexed.
    void Moved(int shape);

private:
    const CShapeArray* m_shapes = nullptr;
    CSpatialIndex m_index;
    std::vector<CMapRect> m_indexed; // each shape's box when built
    std::vector<char> m_found;       // the shapes that may be found
    // How far any box grew past its indexed one.
    double m_growX = 0;
    double m_growY = 0;
};
