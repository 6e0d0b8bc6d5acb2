#pragma once

#include "render/XImage.h"

class CxStream;

// The GIF decoder (format 2). Decode reads the requested frame; later
// frames of a "do not dispose" animation are laid over the frames before
// them, and a picture made of tiles (no global colour table, a first frame
// smaller than the screen both ways) is composed in 24 bits at screen size.
// Frames that do not lie within the screen are skipped and not counted.
class CxImageGIF : public CxImage {
public:
    CxImageGIF() : CxImage(CXIMAGE_FORMAT_GIF) {}

    // False without a message for a wrong signature, a frame out of range
    // and cancellation; with one for a file without frames. LZW data that
    // is damaged or ends early ends its frame, the rest at index 0; what
    // the data of all frames (and, for tiles, of the screen) left unfilled
    // may come to 2^24 pixels, and a frame that would pass that is refused
    // before it is painted.
    bool Decode(CxStream& stream);
};
