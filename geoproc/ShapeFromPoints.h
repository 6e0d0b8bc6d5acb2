#pragma once

class CDrelDoc;
class CLayer;
struct CDocCommandDialogs;

// "Sukurti liniją iš taškų..." and "Sukurti sritį iš taškų...": every
// point of a point or track layer that passes its filter, in reading
// order, joined into the one object of a new layer (type 1 a line, 2 an
// area, its ring closed) proposed as the layer's file title with "_poly"
// in dialog 102 (its type fixed, GDB or Shapefile), with the field "ID"
// N(8) = 1. 1 when the layer was added; 0 for Cancel, a layer without
// points or of another type, and files that cannot be read or written
// (nothing told).
int CreateShapeFromPoints(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs, int type);
