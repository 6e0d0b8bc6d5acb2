#pragma once

#include <cstdint>

class CDrelDoc;
class CLayer;
class CShapeArray;
class IProgress;
struct CDocCommandDialogs;

// Snapping of near vertices: a vertex moves onto a near earlier vertex of
// its own shape or of an earlier shape. Near means strictly inside the box
// of +-tx, +-ty around the moving vertex, and not equal to it.

// For each shape in load order with points: a part whose last point is
// near its first is closed; each vertex after the first takes the first
// near earlier vertex of its shape; then, for each earlier shape whose box
// meets the shape's box enlarged by (tx, ty), in load order, each vertex
// inside that shape's enlarged box takes its first near vertex. Every
// replacement counts; a changed shape's box is recomputed. -1 at Cancel
// (or when no index could be made), else the count.
int64_t SnapVertices(CShapeArray& shapes, double tx, double ty, IProgress* progress);

// "Koreguoti gretimus taškus" for a line or area layer: the result
// proposed under the source's file title with its type preset (another
// type: 1061, 1062 for areas), the tolerance asked (287, from its last
// one, 0.001 m at first; Cancel or 0 or less ends) and turned into map
// units by the metres per unit, the vertices snapped, and, when any
// moved, every shape written with its source record into a new layer,
// which is added. Then 3028 tells the count, 0 too. 1 then; 0 otherwise
// (failures told).
int SnapAdjacentPoints(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);
