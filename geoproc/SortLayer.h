#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDrelDoc;
class CLayer;
struct CDocCommandDialogs;

// The layer's record numbers in the order of the field's values: numbers
// for fields of type N and F, else texts by their bytes, equal values in
// record order; descending is the exact reverse. Every live record has
// its place, the filter aside. False when the table cannot be read or the
// field is not there.
bool SortedRecords(const CLayer& layer, const std::string& field, bool descending, std::vector<int32_t>& records);

// "Rūšiuoti...": the field and direction asked (30819), the new layer in
// dialog 102 as the file title with "_sorted" (the layer's type fixed,
// GDB or Shapefile), and the objects the layer's filter lets through
// written there in the field's order (ExportLayerCopy). Only a complete
// copy is added, as a copy of the layer with the new name and path and no
// filter. 1 when it was added; 0 for a layer of several files, Cancel, a
// field that is not there and a failed copy.
int SortLayer(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);
