#pragma once

#include <string>

class QWidget;

// The program's own windows for picture files, each a top-level window
// over the parent (the main window), stepped down from the windows of its
// kind opened before, its client area fitting the picture up to 4/5 of
// the screen. The title is the given text, else the file's name. 1 when
// the window stands, 0 when not (the user is told why, as each says).

// A Windows bitmap (".bmp", ".dib") in a CPictureFrame. Refused with 1007
// (the path) when it does not open, 1028 when cut short, 1029 when no
// bitmap, "Per didelis" past the pixel limit.
int OpenBitmapWindow(const std::string& path, const std::string& title, QWidget* parent);
// Any picture the picture loader reads, in a CPictureWnd. Refused with
// 1007 (the path) when it does not open and 1005 when too large; a picture
// the loader refuses returns 0 without a message.
int OpenPictureWindow(const std::string& path, const std::string& title, QWidget* parent);
