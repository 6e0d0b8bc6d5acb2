#include "render/RasterLayerPicture.h"

#include <atomic>

namespace {
std::atomic<IRasterLayerPictureOpener*> g_opener{nullptr};
} // namespace

void SetRasterLayerPictureOpener(IRasterLayerPictureOpener* opener)
{
    g_opener.store(opener);
}

std::unique_ptr<IRasterLayerPicture> OpenRasterLayerPicture(const std::string& path)
{
    IRasterLayerPictureOpener* opener = g_opener.load();
    return opener ? opener->OpenPicture(path) : OpenGeoRasterPicture(path);
}
