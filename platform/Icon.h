#pragma once

#include "platform/Size.h"

#include <cstdint>
#include <memory>
#include <string>

class QImage;

// An icon: a picture with an alpha channel, as a small shared value (see
// CPen). The DC draws it blended over what is there (DrawIconEx).
class CIcon {
public:
    // The picture of an icon file (".ico", all its sizes) or of another
    // picture file whose size is nearest to size x size pixels, the one
    // with more colours on a tie. False, and no icon, when the file cannot
    // be read.
    bool LoadFile(const std::string& storedPath, int size = 32);
    // From pixels 0xAARRGGBB (alpha not premultiplied), rows top first.
    bool CreateFromPixels(int width, int height, const std::uint32_t* argb);
    // A picture of the program's own resources (res/BitmapTable.h); false
    // when there is none of the id.
    bool LoadResource(int id);
    void DestroyIcon() { m_image.reset(); }

    const void* GetSafeHandle() const { return m_image.get(); }
    CSize GetSize() const;
    // For the DC: premultiplied ARGB.
    const QImage* Image() const { return m_image.get(); }

private:
    std::shared_ptr<const QImage> m_image;
};
