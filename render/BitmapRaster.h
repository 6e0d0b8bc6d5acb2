#pragma once

#include "render/GeoRaster.h"

#include <string>

class CPicture;

// Any other picture, decoded whole into the raster picture cache and
// locked there while open.
class CBitmapRaster : public CGeoRaster {
public:
    ~CBitmapRaster() override;

    // Message 1124 with the name when the picture is too large to hold.
    bool Open(const std::string& fileName) override;
    void Close() override;
    bool IsOpen() const override { return m_picture != nullptr; }
    bool Draw(CDC& dc, const CRect& dest, const CRect& source, CDC* second) override;

    const CPicture* GetPicture() const { return m_picture; }

private:
    CPicture* m_picture = nullptr;
};
