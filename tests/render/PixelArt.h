#pragma once

#include "platform/Rect.h"
#include "tests/platform/ImageProbe.h"

#include <QImage>

#include <functional>
#include <string>
#include <vector>

// Small drawings written as text, one character a pixel: '.' the
// background, '#' black, 'w' white, 'r' red, 'g' green, 'b' blue, '?'
// anything else. Rows end in line feeds.
inline std::string PixelArt(const QImage& image, COLORREF background = kWhite)
{
    std::string art;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const COLORREF c = At(image, x, y);
            char ch = '?';
            if (c == background)
                ch = '.';
            else if (c == kBlack)
                ch = '#';
            else if (c == kWhite)
                ch = 'w';
            else if (c == kRed)
                ch = 'r';
            else if (c == kGreen)
                ch = 'g';
            else if (c == kBlue)
                ch = 'b';
            art += ch;
        }
        art += '\n';
    }
    return art;
}

inline std::string Rows(const std::vector<std::string>& rows)
{
    std::string art;
    for (const std::string& row : rows)
        art += row + '\n';
    return art;
}

// An image of the given dots per inch, as the context reads them.
inline QImage MakeImageAt(int width, int height, int dpi, COLORREF fill = kWhite)
{
    QImage image = MakeImage(width, height, fill);
    image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
    image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
    return image;
}

// Lengths of the runs along row y from x0 on, the first run being of the
// colour at x0.
inline std::vector<int> RunsAlongRow(const QImage& image, int y, int x0, int x1)
{
    std::vector<int> runs;
    COLORREF current = At(image, x0, y);
    int length = 0;
    for (int x = x0; x < x1; ++x) {
        const COLORREF c = At(image, x, y);
        if (c == current) {
            ++length;
            continue;
        }
        runs.push_back(length);
        current = c;
        length = 1;
    }
    runs.push_back(length);
    return runs;
}

// Lengths of the runs down column x, the first run being of the colour at
// the top.
inline std::vector<int> RunsDownColumn(const QImage& image, int x)
{
    std::vector<int> runs{1};
    for (int y = 1; y < image.height(); ++y) {
        if (At(image, x, y) == At(image, x, y - 1))
            ++runs.back();
        else
            runs.push_back(1);
    }
    return runs;
}

// The pixels down column x from y0 to y1, as art on one line.
inline std::string ColumnArt(const QImage& image, int x, int y0, int y1, COLORREF background)
{
    std::string art = PixelArt(image.copy(x, y0, 1, y1 - y0), background);
    std::erase(art, '\n');
    return art;
}

// The box of the pixels that match the test, in pixels.
inline CRect Ink(const QImage& image, const std::function<bool(COLORREF)>& counts)
{
    CRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (counts(At(image, x, y)))
                box.UnionRect(box, CRect(x, y, x + 1, y + 1));
    return box;
}

// Letters are smoothed: their ink is every dark pixel.
inline bool IsDark(COLORREF c)
{
    return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
}
