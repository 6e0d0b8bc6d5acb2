#include "mapdoc/widgets/ResourceCursor.h"

#include "res/BitmapTable.h"
#include "res/CursorTable.h"

#include <QCursor>
#include <QImage>
#include <QPixmap>

#include <map>

const QCursor* ResourceCursor(int id)
{
    static std::map<int, QCursor> made;
    if (auto it = made.find(id); it != made.end())
        return &it->second;
    const CursorResource* resource = FindCursorResource(id);
    if (!resource)
        return nullptr;
    QImage image(resource->width, resource->height, QImage::Format_ARGB32);
    for (int y = 0; y < resource->height; ++y)
        for (int x = 0; x < resource->width; ++x)
            image.setPixel(x, y, BitmapPixelColour(resource->rows[static_cast<size_t>(y)][x]));
    return &made.emplace(id, QCursor(QPixmap::fromImage(image), resource->hotX, resource->hotY)).first->second;
}
