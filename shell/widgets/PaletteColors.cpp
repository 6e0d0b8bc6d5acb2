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

ControlColors GetControlColors(const QWidget* widget)
{
    ControlColors c;
    c.face = GetPaletteColor(widget, QPalette::Button);
    c.light = GetPaletteColor(widget, QPalette::Midlight);
    c.highlight = GetPaletteColor(widget, QPalette::Light);
    c.shadow = GetPaletteColor(widget, QPalette::Dark);
    c.darkShadow = GetPaletteColor(widget, QPalette::Shadow);
    c.text = GetPaletteColor(widget, QPalette::ButtonText);
    c.grayText = GetPaletteColor(widget, QPalette::WindowText, QPalette::Disabled);
    c.window = GetPaletteColor(widget, QPalette::Base);
    c.windowText = GetPaletteColor(widget, QPalette::Text);
    c.selection = GetPaletteColor(widget, QPalette::Highlight);
    return c;
}
