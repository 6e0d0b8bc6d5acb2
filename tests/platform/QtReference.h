#pragma once

#include "platform/Point.h"

#include <QImage>
#include <QPainterPath>

#include <vector>

// What Qt draws of the DC's figures, for the fills and pens the DC now
// works out itself: its figures go to Qt moved by a fraction of a pixel.

inline constexpr double kQtShiftX = 0.5 - 2.0 / 64;
inline constexpr double kQtShiftY = 0.5 - 1.0 / 64;

using Ring = std::vector<CPoint>;

inline QPainterPath ShiftedPath(const std::vector<Ring>& figures, bool close)
{
    QPainterPath path;
    for (const Ring& figure : figures) {
        path.moveTo(figure[0].x + kQtShiftX, figure[0].y + kQtShiftY);
        for (std::size_t i = 1; i < figure.size(); ++i)
            path.lineTo(figure[i].x + kQtShiftX, figure[i].y + kQtShiftY);
        if (close)
            path.closeSubpath();
    }
    return path;
}

inline int Differences(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}
