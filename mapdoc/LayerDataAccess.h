#pragma once

#include "core/MapRect.h"

#include <string>

class CLayer;

// What a vector data file tells when it is opened as a layer.
struct CVectorFileInfo {
    int geometryKind = -1;  // 0 point, 1 line, 2 area, 5 text, 10 track
    std::string firstField; // name of the first field of its table
    CMapRect extent;        // of all its objects; unbounded while it holds none
};

// The map document's way to the layers' data files: opening a vector file
// through the layer reader, grid and picture headers, and the file
// operations of a layer. The default reads the files; tests install their own.
class ILayerDataAccess {
public:
    virtual ~ILayerDataAccess() = default;
    virtual bool ReadVectorFileInfo(const std::string& path, CVectorFileInfo& info) = 0;
    // The map extent of a georeferenced picture.
    virtual bool ReadRasterExtent(const std::string& path, CMapRect& extent) = 0;
    // The extent and cell kind of an elevation grid file.
    virtual bool ReadGridInfo(const std::string& path, CMapRect& extent, int& cellKind) = 0;
    // The extent of the layer's data; false for groups, tracks and files that cannot be read.
    virtual bool ComputeLayerExtent(CLayer& layer, CMapRect& extent) = 0;
    // Deletes the layer's data files, reporting failures to the user.
    virtual bool DeleteLayerFiles(CLayer& layer) = 0;
};

ILayerDataAccess& LayerDataAccess();
// Installs an implementation; null restores the default. The caller keeps ownership.
void SetLayerDataAccess(ILayerDataAccess* access);
