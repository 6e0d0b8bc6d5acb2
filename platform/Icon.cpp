#include "platform/Icon.h"

#include "platform/Path.h"
#include "res/BitmapTable.h"

#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxSide = 1024;
// An icon file holds a handful of sizes; more entries are not looked at.
constexpr int kMaxEntries = 64;

} // namespace

bool CIcon::LoadFile(const std::string& storedPath, int size)
{
    m_image.reset();
    QImageReader reader(QString::fromStdString(ResolvePath(storedPath)));
    if (!reader.canRead())
        return false;
    QImage best;
    const int count = std::min(std::max(reader.imageCount(), 1), kMaxEntries);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        QImage image = reader.read();
        if (image.isNull() || image.width() > kMaxSide || image.height() > kMaxSide)
            continue;
        auto distance = [size](const QImage& im) { return std::abs(im.width() - size) + std::abs(im.height() - size); };
        if (best.isNull() || distance(image) < distance(best) ||
            (distance(image) == distance(best) && image.depth() > best.depth()))
            best = std::move(image);
    }
    if (best.isNull())
        return false;
    m_image = std::make_shared<const QImage>(best.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return true;
}

bool CIcon::CreateFromPixels(int width, int height, const std::uint32_t* argb)
{
    m_image.reset();
    if (!argb || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return false;
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return false;
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), argb + static_cast<std::size_t>(y) * width, sizeof(std::uint32_t) * width);
    m_image = std::make_shared<const QImage>(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return true;
}

bool CIcon::LoadResource(int id)
{
    const BitmapResource* bitmap = FindBitmapResource(id);
    if (!bitmap) {
        m_image.reset();
        return false;
    }
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(bitmap->width) * bitmap->height);
    for (const char* row : bitmap->rows)
        for (int x = 0; x < bitmap->width; ++x)
            pixels.push_back(BitmapPixelColour(row[x]));
    return CreateFromPixels(bitmap->width, bitmap->height, pixels.data());
}

CSize CIcon::GetSize() const
{
    return m_image ? CSize(m_image->width(), m_image->height()) : CSize();
}
