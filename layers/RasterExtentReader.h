#pragma once

#include "core/MapRect.h"

#include <string>

// The map extent of a georeferenced picture. Pictures are read above the
// layers, which install their reader here; until then no picture reads.
class IRasterExtentReader {
public:
    virtual ~IRasterExtentReader() = default;
    // False when the picture or its world file cannot be read.
    virtual bool ReadRasterExtent(const std::string& path, CMapRect& extent) = 0;
};

// The installed reader's answer; false while none is installed.
bool ReadRasterExtent(const std::string& path, CMapRect& extent);
// Installs a reader; null removes it. The caller keeps ownership.
void SetRasterExtentReader(IRasterExtentReader* reader);
