#pragma once

#include <string>

class CDibImage;
class CStream;

// The picture files of the map export, written to a stream from the export
// image's header, colour table and stored rows. Each is false when the
// stream or the library fails; what was written by then is the caller's to
// throw away.

// "BM", the 40-byte header, the colour table and the rows as stored.
bool WriteBmp(const CDibImage& image, CStream& out);
// RGB for 24-bit pictures, else a palette (PLTE) of the used colours;
// compression level 6, no ancillary chunk.
bool WritePng(const CDibImage& image, CStream& out);
// 24-bit pictures only, quality 75; on failure 'error' holds the library's
// message (empty when the picture is not 24-bit).
bool WriteJpeg(const CDibImage& image, CStream& out, std::string& error);
// One big-endian page, LZW with the horizontal predictor; palette pictures
// whose colour table is the grey ramp 0 .. n - 1 are written as grey.
bool WriteTiff(const CDibImage& image, CStream& out);
