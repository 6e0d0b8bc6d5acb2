#include "shell/widgets/PaletteColors.h"

#include <QApplication>
#include <QColor>
#include <QWidget>

COLORREF ColorRefFromQColor(const QColor& colour)
{
    return RGB(colour.red(), colour.green(), colour.blue());
}

COLORREF GetPaletteColor(const QWidget* widget, QPalette::ColorRole role, QPalette::ColorGroup group)
{
    const QPalette palette = widget ? widget->palette() : QApplication::palette();
    return ColorRefFromQColor(palette.color(group, role));
}
