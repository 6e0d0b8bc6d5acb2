#pragma once

#include <QImage>

class QWidget;

#include <QSize>

// The picture a self-drawn control paints into through a device context:
// the control's size (or the size given, for a part of it), at the
// control's logical resolution, so point sizes come out as on its screen;
// filled with its window colour.
QImage MakeControlImage(const QWidget& control, QSize size = QSize());
