#pragma once

#include "core/MapPoint.h"
#include "geoproc/NewResultLayer.h"

#include <vector>

class CDrelDoc;
class CLayer;
class CShapeArray;
class IProgress;
struct CDocCommandDialogs;

// Places of the shapes where ends and vertices nearly, but not exactly,
// meet, object by object in load order, within the tolerance in metres:
// the ends of a nearly closed part; an end near an end of a later part of
// its object, with those ends; and of each run of vertices near another
// line, the one nearest it (a vertex lying on the line's vertex is shared,
// not an error). Progress over the objects; kCancelled when cancelled.
EOperationEnd FindErrorPoints(const CDrelDoc& document, const CShapeArray& shapes, double tolerance,
                              std::vector<CMapPoint>& points, IProgress* progress);

// "Sukurti taškų, nurodančių galimų klaidų vietas, sluoksnį": for a line
// or area layer, dialog 102 for a point layer proposed as the file title
// with "_errors", the tolerance in dialog 287 (from its last one, 2.0 at
// first; 0 or less ends it), then FindErrorPoints into the new layer, the
// points numbered from 0 in their first field and drawn with symbol 95.
// 1 when the layer was added; 0 for other layer types without a message.
int CreateErrorPointsLayer(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);

// "Taisyti klaidas...": for a line or area layer, dialog 102 for the
// repaired line layer proposed as the file title, the tolerance in dialog
// 287 (from its last one, 1.0 at first; 0 or less ends it), FixTopology
// with crossings, its counts told (3036, else 3035), then the repaired
// objects with their records and the changes with their codes in a point
// layer named after the title with "_errors" (symbol 95), both added.
// 1 when they were; 0 for other layer types without a message.
int FixTopologyErrors(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);
