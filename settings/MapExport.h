#pragma once

#include "core/MapRect.h"
#include "platform/Rect.h"

#include <functional>
#include <string>
#include <vector>

class CDibImage;
class CDrelView;

// Command 30024: the map of a view written to a picture (BMP, PNG, JPEG,
// TIFF), cut into tiles on request, with georeference files beside each,
// or to a metafile (WMF, EMF).

// File types by the index (from 1) of the save dialog's filter.
enum MapExportType : int {
    kExportBmp = 1,
    kExportWmf = 2,
    kExportEmf = 3,
    kExportPng = 4,
    kExportJpeg = 5,
    kExportTiff = 6,
};
extern const char kMapExportFilter[];
// The extension the type sets on the file name ("bmp"); null for no type.
const char* MapExportExtension(int type);
bool IsMetafileExport(int type);
// The layout of the settings dialog for the type: 30802 metafiles, 359 pictures.
int MapExportLayout(int type);
// The name with its extension (in the file name, not a folder) made the type's.
std::string WithExportExtension(const std::string& path, int type);

// What the export draws. The switches take the settings' own extent,
// pixel size and resolution in place of the view's.
struct CExportSettings {
    CMapRect extent{0, 0, 0, 0};
    int useExtent = 0;
    int useSize = 0;
    int useResolution = 0;
    int width = 0; // pixels
    int height = 0;
    int dpi = 0;
    double scale = 0; // denominator; 0 the view's
    int colourReduction = 0; // 1: 8 bits with at most 256 colours
    int columns = 1;
    int rows = 1;
    int georeference = 0;
    int metafileOption = 1; // 1 a white background, 0 a transparent one

    bool UsesOwnPicture() const { return useExtent || useSize || useResolution; }
};

// One picture file of an export.
struct CExportTile {
    std::string path;
    CMapRect extent;
    int width = 0;
    int height = 0;
};

// The pictures of an export to path: with C columns and R rows each tile
// its own file, path's title + "_row_column", rows from the top and
// columns from the left; a size not a multiple of C or R cut down to one
// and the extent's right or bottom edge moved in with it. client and
// viewExtent are the view's, taken when the settings' own are off.
std::vector<CExportTile> PlanExportTiles(const CExportSettings& settings, CSize client,
                                         const CMapRect& viewExtent, const std::string& path);

// How RenderViewToImage draws; all zero draws the view as it shows.
struct CRenderOptions {
    int width = 0; // pixels, with the extent
    int height = 0;
    const CMapRect* extent = nullptr;
    double scale = 0; // denominator
    int dpi = 0;
};

// The view's map drawn on white into a 24-bit picture of the options'
// size (else the client size); false when the picture cannot be had.
bool DrawViewToImage(CDrelView& view, CDibImage& image, const CRenderOptions& options = {});

// The view drawn into a picture file of type 1 BMP, 4 PNG, 5 JPEG or 6
// TIFF; colour mode 1 reduces it to 8 bits first, except for JPEG, which
// stays 24 bits. 1 when written, 0 when the picture cannot be made, -1
// when the writer failed (it says why).
int RenderViewToImage(const std::string& path, CDrelView& view, int type, int colourMode,
                      const CRenderOptions& options = {});

// Writes the export of the view to path (its extension already set) by
// the settings. Message 1005 when a picture cannot be made (the tiles
// written before it stay), 1007 when a metafile cannot be written;
// picture writers tell their own failures. True when all was written.
bool WriteMapExport(CDrelView& view, const std::string& path, int type, const CExportSettings& settings);

// What the user answers during the export.
struct CMapExportPrompts {
    // The file and its type (the filter index, preset with the last one).
    std::function<bool(std::string& path, int& filterIndex)> askFile;
    // The settings dialog of the layout over the view; false when cancelled.
    std::function<bool(int layout, CDrelView& view, CExportSettings& settings)> editSettings;
};

// The export command: the file, then the settings, then the writing. The
// filter index is kept for the rest of the run.
void ExportMap(CDrelView& view, const CMapExportPrompts& prompts);
int& MapExportFilterIndex();
