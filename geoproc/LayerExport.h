#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CCoordConverter;
class CDrelDoc;
class CLayer;
class CMapRect;
class IProgress;

// Copies of a layer's objects and records into a file of their own, as a
// street data export and the sorting of a layer write them.

// The objects the layer's reader delivers through its filter, each with
// its record, into a new file at the path (its extension names the
// format) with the layer's type and fields, or appended to the file there
// (append); converted by the converter, restricted to the objects meeting
// the rectangle and, given a record list, to those records in that order
// (which replaces the layer's own list). A layer made of several files is
// copied file after file into the one file. A missing layer shows "Error: "
// and the path; a file that cannot be read, also in part, shows 1028.
// True when everything was copied; the progress, when given, may cancel
// (false then).
bool ExportLayerCopy(CLayer* layer, const std::string& path, const CCoordConverter* converter, const CMapRect* rect,
                     const std::vector<int32_t>* records, bool append, IProgress* progress = nullptr);

// The objects of the layer overlaid by the areas of another layer (the
// overlay code, 2 for the pieces inside the areas) into a new file of the
// layer's type and fields at the path. A missing layer, a layer made of
// several files or an area layer that is not one shows "Error: " and the
// path. True when it was written.
bool ExportClippedLayer(CLayer* layer, CLayer* areas, CDrelDoc& document, const std::string& path, int operation);

// Whether ExportLayerCopy and ExportClippedLayer take these layers; what
// they refuse they tell with "Error: " and the path.
bool CanCopyLayer(const CLayer* layer);
bool CanClipLayer(const CLayer* layer, const CLayer* areas);

// What the export shows for a layer it cannot write.
void ShowExportError(const std::string& path);
