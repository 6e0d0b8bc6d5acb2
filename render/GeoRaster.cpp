#include "render/GeoRaster.h"

#include "core/FileUtil.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "platform/Stream.h"
#include "render/BitmapRaster.h"
#include "render/TiffStripRaster.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// World files hold ten numbers; anything past this is not one.
constexpr std::size_t kMaxWorldFileBytes = 4096;

// Reads an int the way sscanf's "%d" does, saturating; false when none stands at pos.
bool ScanInt(std::string_view text, std::size_t& pos, int& value)
{
    std::size_t at = pos;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    if (at >= text.size() || text[at] < '0' || text[at] > '9')
        return false;
    long long magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        magnitude = std::min<long long>(magnitude * 10 + (text[at] - '0'), 1LL << 32);
    value = static_cast<int>(std::clamp<long long>(negative ? -magnitude : magnitude, INT_MIN, INT_MAX));
    pos = at;
    return true;
}

// The pixels from the one holding the low edge to the last one the span
// reaches into (a span ending on a pixel's edge does not take that pixel),
// from positions in pixels, clamped first so that no coordinate overflows.
bool ToPixels(double low, double high, int& first, int& last)
{
    if (std::isnan(low) || std::isnan(high))
        return false;
    const double limit = INT_MAX / 2;
    first = static_cast<int>(std::clamp(std::floor(low + 0.5), -limit, limit));
    last = static_cast<int>(std::clamp(std::ceil(high + 0.5) - 1, -limit, limit));
    return true;
}

} // namespace

CGeoRaster::~CGeoRaster() = default;

bool CGeoRaster::ReadWorldFile(const std::string& picturePath)
{
    m_pixelSizeX = 1.0;
    m_pixelSizeY = -1.0;
    m_originX = 0;
    m_originY = m_height - 1;
    m_marginLeft = m_marginTop = m_marginRight = m_marginBottom = 0;
    if (picturePath.empty())
        return false;

    std::unique_ptr<CFileStream> file;
    for (const char* extension : {"wld", "tfw"}) {
        const std::string path = FindSiblingByExtension(picturePath, extension);
        if (PathExists(path) && (file = CFileStream::Open(path, FileMode::Read)))
            break;
    }
    if (!file)
        return false;
    std::string text(kMaxWorldFileBytes, '\0');
    text.resize(file->Read(text.data(), text.size()));

    // "%lf %*lf %*lf %lf %lf %lf %d %d %d %d": pixel size x, the two turns
    // (not used), pixel size y, the top-left pixel centre, the margins.
    double reals[6];
    int numbers = 0;
    std::size_t pos = 0;
    while (numbers < 6) {
        std::size_t used = 0;
        reals[numbers] = ParseDoubleC(std::string_view(text).substr(pos), &used);
        if (used == 0)
            break;
        pos += used;
        ++numbers;
    }
    double* const targets[6] = {&m_pixelSizeX, nullptr, nullptr, &m_pixelSizeY, &m_originX, &m_originY};
    for (int i = 0; i < numbers; ++i)
        if (targets[i])
            *targets[i] = reals[i];
    if (numbers == 6) {
        // Margins beyond the picture mean nothing; kept inside it.
        int* const margins[4] = {&m_marginLeft, &m_marginTop, &m_marginRight, &m_marginBottom};
        const int limits[4] = {m_width, m_height, m_width, m_height};
        for (int i = 0; i < 4; ++i) {
            int value = 0;
            if (!ScanInt(text, pos, value))
                break;
            *margins[i] = std::clamp(value, 0, std::max(0, limits[i]));
        }
    }
    return true;
}

bool CGeoRaster::GetMapExtent(CMapRect& extent) const
{
    if (!IsOpen())
        return false;
    const double right = m_originX + (m_width - 1) * m_pixelSizeX;
    const double bottom = m_originY + (m_height - 1) * m_pixelSizeY;
    extent = CMapRect(m_originX - (0.5 - m_marginLeft) * m_pixelSizeX, m_originY - (0.5 - m_marginTop) * m_pixelSizeY,
                      right + (0.5 - m_marginRight) * m_pixelSizeX, bottom + (0.5 - m_marginBottom) * m_pixelSizeY);
    return true;
}

bool CGeoRaster::MapToPixelRect(const CMapRect& map, CRect& pixels) const
{
    pixels.SetRectEmpty();
    CRect found;
    if (!ToPixels((map.left - m_originX) / m_pixelSizeX, (map.right - m_originX) / m_pixelSizeX, found.left,
                  found.right) ||
        !ToPixels((map.top - m_originY) / m_pixelSizeY, (map.bottom - m_originY) / m_pixelSizeY, found.top,
                  found.bottom))
        return false;
    // Both rectangles hold their right and bottom pixels: one pixel seen
    // from very near is still a pixel to draw.
    const CRect usable(m_marginLeft, m_marginTop, m_width - m_marginRight - 1, m_height - m_marginBottom - 1);
    const CRect common(std::max(found.left, usable.left), std::max(found.top, usable.top),
                       std::min(found.right, usable.right), std::min(found.bottom, usable.bottom));
    if (common.right < common.left || common.bottom < common.top)
        return false;
    pixels = common;
    return true;
}

CMapRect CGeoRaster::PixelToMapRect(const CRect& pixels) const
{
    return CMapRect((pixels.left - 0.5) * m_pixelSizeX + m_originX, (pixels.top - 0.5) * m_pixelSizeY + m_originY,
                    m_originX + m_pixelSizeX * (pixels.right + 0.5), m_originY + m_pixelSizeY * (pixels.bottom + 0.5));
}

std::unique_ptr<CGeoRaster> OpenGeoRaster(const std::string& fileName)
{
    const std::string extension = GetPathExtension(fileName);
    if (EqualsNoCase1257(extension, "SID"))
        return nullptr; // its plug-in is not here (IsImagePluginPresent)
    std::unique_ptr<CGeoRaster> raster;
    if (EqualsNoCase1257(extension, "TIF") || EqualsNoCase1257(extension, "TIFF"))
        raster = std::make_unique<CTiffStripRaster>();
    else
        raster = std::make_unique<CBitmapRaster>();
    if (!raster->Open(fileName))
        return nullptr;
    return raster;
}

int IsImagePluginPresent(std::string_view extension)
{
    (void)extension;
    return 0;
}
