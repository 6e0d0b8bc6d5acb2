#include "settings/widgets/LayerIcons.h"

#include "shell/widgets/ToolbarIcons.h"

#include <QPixmap>

#include <map>

namespace {

// Drawings on the 16 x 16 grid of the toolbar pictures (res/ToolbarPictures.h).
constexpr struct {
    int image;
    const char* drawing;
} kDrawings[] = {
    {kImageGroup, "p 8A6A20 1 f F0C850 M 1.5 3.5 L 6 3.5 L 7.5 5 L 14.5 5 L 14.5 13.5 L 1.5 13.5 Z ."},
    {kImageOpenGroup, "p 8A6A20 1 f F0C850 M 1.5 3.5 L 6 3.5 L 7.5 5 L 13.5 5 L 13.5 13.5 L 1.5 13.5 Z . "
                      "f FFE080 M 1.5 13.5 L 4 7.5 L 15.5 7.5 L 13.5 13.5 Z ."},
    {kImagePoint, "p 801010 1 f E03030 E 8 8 3.5 3.5 ."},
    {kImageLine, "p 2060C0 2 f - M 1.5 12 L 5.5 5 L 10 10 L 14.5 3 ."},
    {kImageArea, "p 2A7A2A 1 f 90D090 M 2 5 L 8 1.5 L 14.5 6 L 12 14 L 3.5 12.5 Z ."},
    {kImageElevation, "p 6A4A20 1 f D8B070 M 0.5 14 L 5.5 5 L 8 8.5 L 10.5 3 L 15.5 14 Z . "
                      "p - f FFFFFF M 9.3 5.6 L 10.5 3 L 11.8 5.8 Z ."},
    {kImageTrack, "p D08020 1.4 D f - M 1.5 13 L 5 7 L 10 9 L 14.5 3 . "
                  "p 603010 0.8 f F0C040 E 1.5 13 1.4 1.4 . E 14.5 3 1.4 1.4 ."},
    {kImageRaster, "p 505050 1 f C8E0F8 R 1.5 2.5 13 11 . p - f 50A050 M 2 13 L 6.5 7 L 9.5 10.5 L 11.5 8.5 "
                   "L 14 13 Z . f F0C040 E 11 5.5 1.5 1.5 ."},
    {kImageRaster + 1, "p 505050 1 f FFFFFF R 1.5 2.5 13 11 . p - f E05030 E 8 8 5 4.5 . f F0C040 E 8 8 3.2 3 . "
                       "f 60C060 E 8 8 1.5 1.5 ."},
    {kImageRaster + 2, "p 505050 1 f FFFFFF R 1.5 2.5 13 11 . p - f 5080D0 M 2 13 L 2 7 L 8 3 L 8 13 Z . "
                       "f A0C0F0 M 8 3 L 14 7 L 14 13 L 8 13 Z ."},
    {kImageFilter, "p 404040 0.8 f 6090D0 M 1 2 L 15 2 L 9.5 8 L 9.5 14 L 6.5 12.5 L 6.5 8 Z ."},
    {kImageActive, "p 1A6A2A 0.8 f 40B050 M 4 3 L 12 8 L 4 13 Z ."},
};

} // namespace

QIcon LayerListIcon(int image)
{
    static std::map<int, QIcon> cache;
    if (const auto it = cache.find(image); it != cache.end())
        return it->second;
    QIcon icon;
    for (const auto& entry : kDrawings)
        if (entry.image == image)
            for (const int size : {16, 32})
                icon.addPixmap(QPixmap::fromImage(PaintToolbarPicture(entry.drawing, nullptr, size)));
    cache.emplace(image, icon);
    return icon;
}
