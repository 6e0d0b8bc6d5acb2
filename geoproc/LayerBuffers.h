#pragma once

#include <memory>

class CDrelDoc;
class CLayer;
struct CDocCommandDialogs;
struct CResultLayerChoice;

// "Sukurti &buferines zonas...": for every object of a point, line, area
// or track layer the zone within the radius asked (dialog 30771; around
// an area, of the kind asked in 280), each its own object of a new area
// layer, or of a line layer then holding the zones' outlines, proposed as
// the layer's file title with "_buffer" (dialog 102). The zones are
// measured in kilometres by the document's metres per map unit, points in
// the document's coordinates; "Id" numbers them 1, 2, ... in writing
// order, and an empty zone writes nothing. The layer gets the zone style
// of the buffer-zone tool. Progress in two bars, the first over the
// layer's records, the second within one zone; a cancel in either adds
// nothing, and neither does a zone that cannot be computed (told).
// 1 when the layer was added; 0 for other layer types without a message.
int CreateBuffers(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);

// A layer of the choice's names and type in the zone style of the
// buffer-zone tool, for zones to be written into.
std::unique_ptr<CLayer> MakeZoneLayer(const CResultLayerChoice& choice);
