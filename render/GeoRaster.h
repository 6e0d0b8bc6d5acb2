#pragma once

#include "core/MapRect.h"
#include "platform/Rect.h"

#include <memory>
#include <string>
#include <string_view>

class CDC;

// A picture file placed in map units by the world file beside it. Pixel
// rectangles include their right and bottom; rows run from the top of the
// picture in the direction of the pixel size y (negative in a map whose y
// grows upwards).
class CGeoRaster {
public:
    virtual ~CGeoRaster();

    virtual bool Open(const std::string& fileName) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The outer edges of the pixels less the margins; false while not open.
    virtual bool GetMapExtent(CMapRect& extent) const;
    // The pixels a map rectangle reaches into, within the picture less its
    // margins; false, and an empty rectangle, when there are none.
    virtual bool MapToPixelRect(const CMapRect& map, CRect& pixels) const;
    // The outer edges of the pixels.
    virtual CMapRect PixelToMapRect(const CRect& pixels) const;
    // The source pixels into the destination (logical units) of dc, by way
    // of second when given. False when nothing could be drawn.
    virtual bool Draw(CDC& dc, const CRect& dest, const CRect& source, CDC* second) = 0;

    // Without a world file ("wld", else "tfw", in any letter case) the
    // top-left pixel centre lies at (0, height - 1), one map unit a pixel,
    // rows going down; so it stays, and the result is false. Numbers
    // missing at the end keep those values.
    bool ReadWorldFile(const std::string& picturePath);

    // Drawn as a mask (AND over what lies below) when non-zero.
    void SetDrawingFlag(int flag) { m_drawingFlag = flag; }
    int GetDrawingFlag() const { return m_drawingFlag; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    double GetPixelSizeX() const { return m_pixelSizeX; }
    double GetPixelSizeY() const { return m_pixelSizeY; }
    double GetOriginX() const { return m_originX; }
    double GetOriginY() const { return m_originY; }
    // Pixels at the picture's edges that do not belong to the map.
    CRect GetMargins() const { return CRect(m_marginLeft, m_marginTop, m_marginRight, m_marginBottom); }

protected:
    int m_drawingFlag = 0;
    int m_width = 0;
    int m_height = 0;
    double m_pixelSizeX = 1.0;
    double m_pixelSizeY = 1.0;
    double m_originX = 0;
    double m_originY = 0;
    int m_marginLeft = 0;
    int m_marginRight = 0;
    int m_marginTop = 0;
    int m_marginBottom = 0;
};

// By the extension: a plug-in's formats through it, "TIF" and "TIFF" as
// strip rasters, the rest as bitmap rasters. Null when the file does not
// open as one.
std::unique_ptr<CGeoRaster> OpenGeoRaster(const std::string& fileName);

// 1 when a plug-in reads pictures of the extension (without its dot).
// The only one there has been, for "SID", is not part of this system.
int IsImagePluginPresent(std::string_view extension);

// A raster for the length of one operation.
class CImageHolder {
public:
    explicit CImageHolder(const std::string& fileName) : m_raster(OpenGeoRaster(fileName)) {}
    CGeoRaster* Get() const { return m_raster.get(); }
    explicit operator bool() const { return m_raster != nullptr; }

private:
    std::unique_ptr<CGeoRaster> m_raster;
};

// Makes raster layers read their extents through OpenGeoRaster by default
// (layers/RasterExtentReader.h). The map document and the layer drawing
// install it; calling it again changes nothing.
void InstallGeoRasters();
