#pragma once

#include <QIcon>
#include <QImage>

// The icon of a command's toolbar button from its picture
// (res/ToolbarPictures.h), sharp at 16 and 32 pixels; a null icon when
// the command has none (the button shows its short text).
QIcon ToolbarIcon(int commandId);
// A picture's drawings painted on a transparent square of size pixels;
// complete tells whether every operation of them was understood.
QImage PaintToolbarPicture(const char* base, const char* badge, int size, bool* complete = nullptr);
