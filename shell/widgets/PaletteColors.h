#pragma once

#include "platform/Gdi.h"
#include "shell/ControlDrawing.h"

#include <QPalette>

class QColor;
class QWidget;

// The system colours that self-drawn controls paint with, as the device
// context takes them.
COLORREF ColorRefFromQColor(const QColor& colour);
// A colour of the widget's palette, of the application's without a widget.
COLORREF GetPaletteColor(const QWidget* widget, QPalette::ColorRole role,
                         QPalette::ColorGroup group = QPalette::Active);
// The colours of self-drawn controls from the widget's palette (of the
// application's without a widget).
ControlColors GetControlColors(const QWidget* widget);
