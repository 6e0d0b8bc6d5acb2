#pragma once

#include <cstdint>
#include <vector>

class CDrelDoc;
class CLayer;
class CShapeArray;
class CSpatialIndex;
class IProgress;
struct CDocCommandDialogs;

// Islands: an area lying inside another becomes a ring of it, so that by
// the even-odd rule it cuts a hole, or, lying in a hole, fills it again.

// For each area i in load order with points, every other area with points
// that the index yields for i's box, whose box lies in i's box and which
// lies wholly inside one of i's rings, is appended to i as rings of it and
// emptied. 0 at Cancel.
int MakeIslands(CShapeArray& shapes, CSpatialIndex& index, IProgress* progress);

// "Sukurti salas...": for an area layer, where the result goes (2021, or
// dialog 102 for a new area layer under the source's file title), the
// islands made, and the shapes written back (an emptied area loses its
// record) or into the new layer, which is added. 1 when they were
// written; 0 at Cancel, for another layer type and after a failure (told).
int CreateIslands(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);
