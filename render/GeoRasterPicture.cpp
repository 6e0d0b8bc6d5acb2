// The georeferenced rasters as the layers see them: the picture a raster
// layer draws, and the extent a raster layer has.
#include "layers/RasterExtentReader.h"
#include "render/GeoRaster.h"
#include "render/RasterLayerPicture.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

class CGeoRasterPicture : public IRasterLayerPicture {
public:
    explicit CGeoRasterPicture(std::unique_ptr<CGeoRaster> raster) : m_raster(std::move(raster)) {}

    bool GetMapExtent(CMapRect& extent) override { return m_raster->GetMapExtent(extent); }
    void SetTransparent(bool transparent) override { m_raster->SetDrawingFlag(transparent ? 1 : 0); }
    // Only the plug-in's pictures took it, and there is no plug-in here.
    void SetExtentDeviceRect(const CRect&) override {}

    bool DrawPart(CDC& dc, const CMapRect& part, const CRect& device, CDC* second) override
    {
        CRect pixels;
        if (part.Width() <= 0 || part.Height() <= 0 || !m_raster->MapToPixelRect(part, pixels))
            return false;
        // The whole pixels go where they lie, a little past the part where
        // it cuts through them, so that a picture seen from near does not
        // slide against the map as the view moves.
        const CMapRect covered = m_raster->PixelToMapRect(pixels);
        const double sx = (double(device.right) - device.left) / part.Width();
        const double sy = (double(device.bottom) - device.top) / part.Height();
        const auto toDevice = [](double base, double offset, double scale) {
            const double v = std::round(base + offset * scale);
            return static_cast<int>(std::clamp(v, double(INT_MIN / 2), double(INT_MAX / 2)));
        };
        const CRect dest(toDevice(device.left, covered.left - part.left, sx),
                         toDevice(device.top, part.top - covered.top, sy),
                         toDevice(device.left, covered.right - part.left, sx),
                         toDevice(device.top, part.top - covered.bottom, sy));
        return m_raster->Draw(dc, dest, pixels, second);
    }

private:
    std::unique_ptr<CGeoRaster> m_raster;
};

class CGeoRasterExtents : public IRasterExtentReader {
public:
    bool ReadRasterExtent(const std::string& path, CMapRect& extent) override
    {
        const CImageHolder holder(path);
        return holder && holder.Get()->GetMapExtent(extent);
    }
};

CGeoRasterExtents g_extents;

} // namespace

std::unique_ptr<IRasterLayerPicture> OpenGeoRasterPicture(const std::string& path)
{
    std::unique_ptr<CGeoRaster> raster = OpenGeoRaster(path);
    if (!raster)
        return nullptr;
    return std::make_unique<CGeoRasterPicture>(std::move(raster));
}

void InstallGeoRasters()
{
    SetDefaultRasterExtentReader(&g_extents);
}
