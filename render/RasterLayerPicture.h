#pragma once

#include "core/MapRect.h"
#include "platform/Rect.h"

#include <memory>
#include <string>

class CDC;

// A georeferenced picture as a raster map layer draws it. The layer works
// out which part of the picture's extent the view shows and where that
// lies on the device; the picture reads and paints the pixels.
class IRasterLayerPicture {
public:
    virtual ~IRasterLayerPicture() = default;
    // The picture's extent in map units; false when it has none.
    virtual bool GetMapExtent(CMapRect& extent) = 0;
    // Drawn see-through (the layer's kTransparent).
    virtual void SetTransparent(bool transparent) = 0;
    // Where the picture's whole extent lies, in logical units: given to
    // ".img" pictures only, before they draw.
    virtual void SetExtentDeviceRect(const CRect& rect) = 0;
    // The part of the extent (map units, inside it) into the device
    // rectangle (logical units) of dc and, when given, of second.
    virtual bool DrawPart(CDC& dc, const CMapRect& part, const CRect& device, CDC* second) = 0;
};

// Opens the pictures of raster layers. Unless another is installed, as
// tests do, the georeferenced rasters of GeoRaster.h open them.
class IRasterLayerPictureOpener {
public:
    virtual ~IRasterLayerPictureOpener() = default;
    // Null when the file cannot be read as a picture placed on the map; a
    // message shown then (the picture too large) stands for the layer
    // drawing's own.
    virtual std::unique_ptr<IRasterLayerPicture> OpenPicture(const std::string& path) = 0;
};

// Installs an opener; null puts the georeferenced rasters back. The caller
// keeps ownership.
void SetRasterLayerPictureOpener(IRasterLayerPictureOpener* opener);
std::unique_ptr<IRasterLayerPicture> OpenRasterLayerPicture(const std::string& path);
// The picture of a georeferenced raster, as the layers draw it; null when
// the file does not open as one.
std::unique_ptr<IRasterLayerPicture> OpenGeoRasterPicture(const std::string& path);
