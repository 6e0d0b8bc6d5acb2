#pragma once

#include "core/MapRect.h"

#include <string>

// The map extent of a georeferenced picture. Pictures are read above the
// layers, which install their reader here as the default (the map
// document and the layer drawing do, render/GeoRaster.h); until then no
// picture reads.
class IRasterExtentReader {
public:
    virtual ~IRasterExtentReader() = default;
    // False when the picture or its world file cannot be read.
    virtual bool ReadRasterExtent(const std::string& path, CMapRect& extent) = 0;
};

// The installed reader's answer, else the default's; false with neither.
bool ReadRasterExtent(const std::string& path, CMapRect& extent);
// Installs a reader in place of the default, as tests do; null puts the
// default back. The caller keeps ownership.
void SetRasterExtentReader(IRasterExtentReader* reader);
// The reader used while none is installed.
void SetDefaultRasterExtentReader(IRasterExtentReader* reader);
