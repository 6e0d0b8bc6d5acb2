#pragma once

#include "render/XImage.h"

// PNG pictures through libpng: palette and grey pictures of 1, 2, 4 and 8
// bits keep their indices (2-bit ones widened to 4), deeper and colour
// ones become 24-bit images composited on the file's background colour or
// grey 192.
class CxImagePNG : public CxImage {
public:
    CxImagePNG() : CxImage(CXIMAGE_FORMAT_PNG) {}

    // Reads one picture from the stream's position; false with the reason
    // (libpng's own message where the library fails) in the last error.
    bool Decode(CxStream& stream);

private:
    struct Reading;
    bool ReadPicture(Reading& reading);
};
