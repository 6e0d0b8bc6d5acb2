#pragma once

#include "platform/Bitmap.h"
#include "platform/Gdi.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The largest export image: its 24-bit rows, worked out in 64 bits.
inline constexpr std::uint64_t DIBIMAGE_MAX_BYTES = std::uint64_t(512) << 20;

// The picture the map is drawn into for export. The map draws into its
// bitmap through a memory device context; the reduction and the writers
// see it as a bottom-up DIB of 24 bits (8 after ReduceTo8Bit) with the
// header below. The writers replace a file only once the new one is whole,
// and report their own failures in a message box.
class CDibImage {
public:
    CDibImage();
    virtual ~CDibImage();
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;

    // A black 24-bit picture to select into a memory device context. Null,
    // and no picture, for a side below 1, a picture beyond
    // DIBIMAGE_MAX_BYTES or beyond what a bitmap can hold, or without memory.
    CBitmap* Create(int width, int height);
    // Null without a picture and after the reduction, which leaves only
    // the 8-bit rows.
    CBitmap* GetBitmap();
    const CBitmap* GetBitmap() const;
    bool IsValid() const { return m_header.biWidth > 0; }

    // The export resolution the files record: pixels per metre in the
    // header (and the BMP file), dots per inch in TIFF. 96 by default.
    void SetResolution(int xDpi, int yDpi);
    int GetXDpi() const { return m_xDpi; }
    int GetYDpi() const { return m_yDpi; }

    // Reduces the picture to 8 bits with a palette of at most 256 colours.
    // 1, also when it has 8 bits already; 0 without a picture or when the
    // memory cannot be had (the picture is then unchanged).
    int ReduceTo8Bit();

    // 1 when the file is written, 0 when not: the old file, if any, stays.
    int SaveBmp(const std::string& path);
    // 24-bit pictures only: 0, and nothing written, for a reduced one.
    int SaveJpeg(const std::string& path);
    int SavePng(const std::string& path);
    int SaveTiff(const std::string& path);

    const BITMAPINFOHEADER& GetHeader() const { return m_header; }
    // The colour table (GetHeader().biClrUsed entries are used).
    const RGBQUAD* GetColorTable() const { return m_colours.data(); }
    // Bytes of a stored row, padded to 4.
    std::size_t GetStride() const;
    // Stored row 'row' (0 = the bottom one) as the header lays it out,
    // GetStride() bytes with zero padding.
    void CopyStoredRow(int row, std::uint8_t* out) const;

private:
    void Destroy();

    CBitmap m_bitmap;
    BITMAPINFOHEADER m_header;
    std::array<RGBQUAD, 256> m_colours{};
    // The rows once reduced, bottom row first.
    std::vector<std::uint8_t> m_pixels;
    int m_xDpi = 96;
    int m_yDpi = 96;
};
