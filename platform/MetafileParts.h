#pragma once

#include "platform/Brush.h"
#include "platform/DCRecorder.h"

#include <string>
#include <string_view>
#include <vector>

class CDC;
class CRgn;

// Pieces both metafile recorders write.

// An 8 x 8 monochrome DIB (header, two colours, bottom row first) of a
// brush pattern: 0 bits in the first colour, 1 bits in the second.
std::string MonochromePatternDib(const CBrush::Pattern& rows, COLORREF zeros, COLORREF ones);

// A bottom-up DIB (header and rows) of a picture: 24 bits, or 32 bits with
// the colours premultiplied by their alpha.
std::string PictureDib(const RecordedPicture& picture, bool withAlpha);

// A 1-bit DIB of the picture's see-through pixels (alpha below one half):
// those are 1 (white), the others 0 (black).
std::string MaskDib(const RecordedPicture& picture);

// The rectangles of a region, in its banded order.
std::vector<CRect> RegionRects(const CRgn& region);

// The corners, in logical units, of the cell a text takes with its
// reference point, alignment and the font's escapement.
std::vector<CPoint> TextBox(const CDC& dc, CPoint reference, std::string_view text, unsigned align);
