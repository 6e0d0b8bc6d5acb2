#include "shell/widgets/ControlImage.h"

#include <QWidget>

#include <cmath>

QImage MakeControlImage(const QWidget& control, QSize size)
{
    QImage image(size.isValid() ? size : control.size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const auto dotsPerMeter = [](int dpi) { return static_cast<int>(std::lround(dpi / 0.0254)); };
    image.setDotsPerMeterX(dotsPerMeter(control.logicalDpiX()));
    image.setDotsPerMeterY(dotsPerMeter(control.logicalDpiY()));
    image.fill(control.palette().color(QPalette::Window));
    return image;
}
