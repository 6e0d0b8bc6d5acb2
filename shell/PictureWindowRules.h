#pragma once

#include "platform/Rect.h"

#include <string>

class CxImage;

// ------------------------------------------------------------ windows

// The client area of a picture window: the picture's size, but at most
// 4/5 of the screen's width and height (a larger picture scrolls).
CSize PictureClientSize(CSize picture, CSize screen);

// The window frame's parts that the cascade steps by.
struct CFrameMetrics {
    int captionHeight = 0;
    int frameWidth = 0;
    int frameHeight = 0;
};

// Picture windows of one kind step down and right from the main window's
// client area, the fifth back where the first stood.
class CPictureCascade {
public:
    static constexpr int kSteps = 4;
    static constexpr int kExtraDown = 32;

    // The offset of the next window from the client area's top left.
    CSize Next(const CFrameMetrics& frame);
    void Reset() { m_opened = 0; }

private:
    int m_opened = 0;
};

// The window rectangle moved back onto the screen when it starts left of
// it or above it.
CRect KeepOnScreen(CRect window, const CRect& screen);

// The page height of a picture printed across the page's width, its
// aspect ratio kept on a printer of these resolutions; 0 for an empty
// picture or resolution.
int PrintedPictureHeight(int pageWidth, int horizontalDpi, int verticalDpi, CSize picture);

// ------------------------------------------------------------ picture control

// The picture centred in the client area.
CRect CenterPicture(CSize picture, const CRect& client);

// Where a dragged picture goes for the mouse point and the offset of the
// mouse within the picture when the drag began. On an axis where it fits
// in the client area it stays; where it is larger it follows the mouse,
// but never so far that a gap opens between its edge and the client's.
CRect DragPicture(const CRect& picture, const CRect& client, CPoint mouse, CSize offset);

// ------------------------------------------------------------ bitmap files

// Why a bitmap window cannot show its file; the message of each is
// BitmapFileMessage's.
enum class BitmapFileError { kNone, kCannotOpen, kReadError, kNotBitmap, kTooLarge };

// Reads a bitmap file ("BM" and a DIB) through the BMP decoder, which
// checks its header against the file's length and the pixel limit; rows
// stored top down come out as any other. A stored-form path.
BitmapFileError ReadBitmapFile(const std::string& path, CxImage& image);

// Shows the error's message: 1007 with the path, 1028, 1029, or "Per
// didelis" as information.
void ShowBitmapFileError(BitmapFileError error, const std::string& path);
