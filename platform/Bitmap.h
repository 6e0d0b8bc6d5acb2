#pragma once

#include "platform/Size.h"

#include <cstdint>
#include <memory>

class CDC;
class QImage;

// A colour bitmap (32 bits a pixel) for memory device contexts, as a small
// shared value (see CPen): copies name the same pixels, and a DC keeps a
// copy while the bitmap is selected into it.
class CBitmap {
public:
    // A black bitmap with the resolution of dc (a 96-dpi screen without
    // one). False, and no bitmap, for a side below 1 or above 32767, or
    // when the memory cannot be had.
    bool CreateCompatibleBitmap(const CDC* dc, int width, int height);
    bool CreateBitmap(int width, int height) { return CreateCompatibleBitmap(nullptr, width, height); }
    void DeleteObject() { m_image.reset(); }

    const void* GetSafeHandle() const { return m_image.get(); }
    bool operator==(const CBitmap& other) const { return m_image == other.m_image; }
    CSize GetSize() const;
    // Row y (0 = top) as 0xRRGGBB in the low 24 bits of each pixel; null
    // outside the bitmap.
    const std::uint32_t* GetRow(int y) const;

    // For the DC.
    QImage* Image() const { return m_image.get(); }

private:
    std::shared_ptr<QImage> m_image;
};
