#pragma once

#include "platform/Bitmap.h"
#include "platform/Brush.h"
#include "platform/DC.h"
#include "platform/Pen.h"
#include "render/DibImage.h"

#include <QImage>

#include <cstdint>
#include <random>
#include <vector>

// Export pictures as the map draws them: made by the tests and the
// benchmarks from a seeded generator.

// Sets one pixel of an export image's bitmap (y = 0 the top row).
inline void SetExportPixel(CDibImage& image, int x, int y, COLORREF c)
{
    image.GetBitmap()->Image()->setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
}

// A map-like picture: unless without relief, a raster layer of shaded
// relief (thousands of colours) over the left third, white elsewhere; then
// areas of a dozen map colours with dark outlines and roads of several
// widths.
inline void DrawMapPicture(CDibImage& image, unsigned seed, bool relief = true)
{
    const int width = image.GetHeader().biWidth, height = image.GetHeader().biHeight;
    static const COLORREF kAreas[] = {RGB(255, 255, 190), RGB(190, 230, 170), RGB(170, 210, 240), RGB(240, 200, 200),
                                      RGB(220, 220, 220), RGB(250, 230, 160), RGB(200, 180, 230), RGB(160, 200, 160),
                                      RGB(230, 240, 250), RGB(255, 210, 150), RGB(210, 190, 170), RGB(180, 230, 230)};
    std::mt19937 random(seed);
    const auto between = [&](int low, int high) { return low + static_cast<int>(random() % unsigned(high - low + 1)); };
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(*image.GetBitmap());
    dc.FillSolidRect(CRect(0, 0, width, height), RGB(255, 255, 255));
    QImage& pixels = *image.GetBitmap()->Image();
    for (int y = 0; relief && y < height; ++y)
        for (int x = 0; x < width / 3; ++x) {
            const int shade = (x * 7 + y * 5) % 96 + static_cast<int>(random() % 24);
            pixels.setPixel(x, y, qRgb(120 + shade, 140 + shade / 2 + (y * 60 / height), 90 + shade));
        }
    const int areas = std::max(4, width * height / 4000);
    for (int i = 0; i < areas; ++i) {
        const int cx = between(0, width), cy = between(0, height), r = between(10, std::max(11, width / 16));
        std::vector<CPoint> ring;
        for (int k = 0; k < 7; ++k)
            ring.emplace_back(cx + between(-r, r), cy + between(-r, r));
        CBrush brush(kAreas[i % 12]);
        CPen pen(PS_SOLID, 1, RGB(90, 90, 90));
        dc.SelectObject(brush);
        dc.SelectObject(pen);
        dc.Polygon(ring.data(), static_cast<int>(ring.size()));
    }
    const int roads = std::max(3, width * height / 30000);
    for (int i = 0; i < roads; ++i) {
        std::vector<CPoint> line;
        for (int k = 0; k < 6; ++k)
            line.emplace_back(between(0, width), between(0, height));
        CPen pen(PS_SOLID, between(1, 5), i % 3 ? RGB(200, 60, 40) : RGB(40, 40, 40));
        dc.SelectObject(pen);
        dc.Polyline(line.data(), static_cast<int>(line.size()));
    }
}
