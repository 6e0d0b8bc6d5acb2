#pragma once

#include "render/ExifReader.h"
#include "render/XImage.h"

// JPEG pictures through libjpeg: grey ones become 8-bit images with a grey
// palette, colour and CMYK ones 24-bit images. The resolution comes from
// the EXIF block when there is one, else from the JFIF density.
class CxImageJPG : public CxImage {
public:
    CxImageJPG() : CxImage(CXIMAGE_FORMAT_JPG) {}

    // Reads one picture from the stream's position; false with libjpeg's
    // message in the last error. A damaged EXIF block never fails it.
    bool Decode(CxStream& stream);
    const CxExifInfo& GetExifInfo() const { return m_exif; }

private:
    struct Reading;
    bool ReadPicture(Reading& reading);

    CxExifInfo m_exif;
};
