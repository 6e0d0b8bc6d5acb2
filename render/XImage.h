#pragma once

#include "platform/Gdi.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class CDC;
class CxStream;

// Format ids of the picture decoders, stored in the image and given to
// every loading call.
enum : int {
    CXIMAGE_FORMAT_UNKNOWN = 0, // try every decoder
    CXIMAGE_FORMAT_BMP = 1,     // also a DIB without file header
    CXIMAGE_FORMAT_GIF = 2,
    CXIMAGE_FORMAT_JPG = 3,
    CXIMAGE_FORMAT_PNG = 4,
    CXIMAGE_FORMAT_TIF = 5,
    CXIMAGE_FORMAT_WBMP = 6,
};

// The largest block (header, colour table and pixels) an image may take.
// Sizes are worked out in 64 bits, so a lying header cannot wrap them.
inline constexpr std::uint64_t CXIMAGE_MAX_MEMORY = 256000000;

// A red, green, blue triple as palettes are given by some decoders.
struct CxRgbTriple {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

// A raster picture in memory: one packed bottom-up DIB of 1, 4, 8 or 24
// bits (header, colour table of blue/green/red/fourth-byte entries, rows
// padded to 4 bytes) that StretchDIBits draws as it is. Row 0 is the
// bottom row of the picture. The decoders are subclasses that fill it and
// hand the result over with Transfer.
class CxImage {
public:
    explicit CxImage(int format = CXIMAGE_FORMAT_UNKNOWN);
    // Loads the file (stored-form path); on failure the image is empty and
    // GetLastError tells why.
    CxImage(const std::string& fileName, int format);
    CxImage(int width, int height, int bpp, int format);
    CxImage(const CxImage& source, bool copyPixels);
    virtual ~CxImage();
    CxImage(const CxImage&) = delete;
    CxImage& operator=(const CxImage&) = delete;
    // As Transfer: the source is left empty.
    CxImage(CxImage&& source) noexcept;
    CxImage& operator=(CxImage&& source) noexcept;

    void Destroy();
    // Depths are normalised to 1, 4, 8 or 24; the colour table is zeroed
    // and so are the pixels. Null, with the reason in the last error, when
    // the size is not positive, exceeds CXIMAGE_MAX_MEMORY or cannot be had.
    std::uint8_t* Create(int width, int height, int bpp, int format);
    bool Copy(const CxImage& source, bool copyPixels);
    // Takes the information of source (requested frame, cancel flag, ...)
    // only while this image has no pixels.
    void CopyInfo(const CxImage& source);
    // Takes over the pixels and information of source, which is left empty.
    void Transfer(CxImage& source);

    // Loading, through the decoder of the format or, with format 0, through
    // every decoder in turn. Load tries the other decoders when the named
    // one fails, keeping its reason when none reads the file.
    bool Load(const std::string& fileName, int format);
    bool Decode(std::FILE* file, int format);
    bool Decode(CxStream& stream, int format);
    // How often the decoder of a format has run in this process; tests
    // count them.
    static int GetDecodeRuns(int format);

    bool IsValid() const { return m_dib != nullptr; }
    // Stored row 'row' (0 = bottom); null beyond the picture or without one.
    std::uint8_t* GetBits(int row = 0) const;
    // The whole packed block: header, colour table, rows.
    const std::uint8_t* GetDIB() const { return m_dib.get(); }
    std::size_t GetSize() const;
    bool IsInside(int x, int y) const;
    void Clear(std::uint8_t value = 0);

    int GetWidth() const { return m_header.biWidth; }
    int GetHeight() const { return m_header.biHeight; }
    int GetBpp() const { return m_header.biBitCount; }
    // Entries of the colour table: 2, 16, 256, or 0 for 24-bit images.
    int GetNumColors() const { return static_cast<int>(m_header.biClrUsed); }
    // Bytes of one stored row.
    std::uint32_t GetEffWidth() const { return m_info.effWidth; }
    const BITMAPINFOHEADER& GetHeader() const { return m_header; }
    int GetType() const { return m_info.format; }
    const std::string& GetLastError() const { return m_info.lastError; }
    // The last failure was a picture larger than CXIMAGE_MAX_MEMORY allows.
    bool LastErrorIsTooLarge() const;

    // Decoders read the cancel flag; a caller sets it to stop one.
    void SetEscape(int escape) { m_info.escape = escape; }
    int GetEscape() const { return m_info.escape; }
    // The frame or page a decoder is to read, and how many it found.
    void SetFrame(int frame) { m_info.frame = frame; }
    int GetFrame() const { return m_info.frame; }
    void SetNumFrames(int frames) { m_info.numFrames = frames; }
    int GetNumFrames() const { return m_info.numFrames; }
    void Enable(bool enabled) { m_info.enabled = enabled; }
    bool IsEnabled() const { return m_info.enabled; }
    // Palette entries carry alpha values in their fourth byte.
    void AlphaPaletteEnable(bool enabled) { m_info.alphaPalette = enabled; }
    bool AlphaPaletteIsEnabled() const { return m_info.alphaPalette; }

    // Palette. Without pixels or colour table these do nothing.
    RGBQUAD* GetPalette() const;
    RGBQUAD GetPaletteColor(int index) const;
    void SetPaletteColor(int index, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t alpha = 0);
    void SetPaletteColor(int index, COLORREF colour);
    void SetPalette(const RGBQUAD* entries, int count);
    void SetPalette(const CxRgbTriple* triples, int count);
    // A missing green array means the red one, a missing blue the green one.
    void SetPalette(int count, const std::uint8_t* red, const std::uint8_t* green = nullptr,
                    const std::uint8_t* blue = nullptr);
    void SetGrayPalette();

    // Pixels, x from the left and y from the bottom row.
    std::uint8_t GetPixelIndex(int x, int y) const;
    void SetPixelIndex(int x, int y, std::uint8_t index);
    // The fourth byte is the palette entry's own (0 for 24-bit images).
    RGBQUAD GetPixelColor(int x, int y) const;
    void SetPixelColor(int x, int y, RGBQUAD colour);
    std::uint8_t GetNearestIndex(RGBQUAD colour);

    // Transparency: an index for palette images; for 24-bit images any
    // index other than -1 switches the transparent colour on.
    void SetTransIndex(int index) { m_info.transIndex = index; }
    int GetTransIndex() const { return m_info.transIndex; }
    void SetTransColor(RGBQUAD colour) { m_info.transColor = colour; }
    RGBQUAD GetTransColor() const;

    void SetXDPI(int dpi);
    void SetYDPI(int dpi);
    int GetXDPI() const { return m_info.xDpi; }
    int GetYDPI() const { return m_info.yDpi; }

    // Rebuilds this 24-bit image from raw 16- or 32-bit rows (16-bit rows
    // of ((width + 1) / 2) * 4 bytes, 32-bit rows of width * 4 bytes, as
    // many as the image has) through the three bit-field masks. The source
    // may be the image's own pixel buffer.
    void Bitfield2RGB(const std::uint8_t* source, std::uint32_t redMask, std::uint32_t greenMask,
                      std::uint32_t blueMask, int bpp);
    // Swaps the first and third byte of each pixel (24-bit images only).
    void RGBtoBGR(std::uint8_t* row, std::size_t length) const;

    bool Flip();
    bool Mirror();
    // Quarter turns as seen on screen.
    bool RotateLeft();
    bool RotateRight();

    // Draws the picture stretched to (x, y, cx, cy) in logical units; a
    // negative cx or cy means the picture's own width or height. 1 when
    // drawn or nothing to draw, 0 without picture, context, size or when
    // drawing is disabled.
    int Draw(CDC* dc, int x, int y, int cx = -1, int cy = -1) const;

protected:
    void SetLastError(std::string text);
    // False, with the text Create would give, for a size Create refuses
    // before allocating anything; decoders ask before reading further.
    bool CanCreate(int width, int height, int bpp);
    // For decoders whose Create failed: the size limit keeps its own text.
    void SetCreateError(const char* text);

private:
    struct Info {
        std::uint32_t effWidth = 0;
        int format = CXIMAGE_FORMAT_UNKNOWN;
        std::string lastError;
        int escape = 0;
        int transIndex = -1;
        RGBQUAD transColor;
        int frame = 0;
        int numFrames = 0;
        int xDpi = 96;
        int yDpi = 96;
        bool alphaPalette = false;
        bool enabled = true;
        RGBQUAD lastColour;
        std::uint8_t lastColourIndex = 0;
        bool lastColourValid = false;
    };
    struct FreeBlock {
        void operator()(std::uint8_t* block) const;
    };

    void Startup(int format);
    std::size_t PaletteBytes() const { return 4u * m_header.biClrUsed; }
    std::size_t PixelBytes() const;
    std::uint8_t* PixelStart() const;
    std::uint8_t* RowAt(int y) const;
    // The palette index (palette images) or blue/green/red (24-bit) of an
    // inside pixel, as one value; and the way back.
    std::uint32_t RawPixel(int x, int y) const;
    void SetRawPixel(int x, int y, std::uint32_t value);
    // Builds the image the geometry operations hand over: same depth,
    // palette and information, the given size.
    bool MakeLike(CxImage& result, int width, int height) const;
    // Moves every pixel to place(x, y, width, height) in a new image, its
    // sides exchanged for a quarter turn, and takes that image.
    template <class Place>
    bool Rearrange(bool quarterTurn, Place place);
    void ClearColourCache() { m_info.lastColourValid = false; }
    template <class Decoder>
    bool DecodeWith(CxStream& stream);
    // -1 when no decoder of the format is built, else 1 or 0.
    int DecodeFormat(int format, CxStream& stream);
    // Every decoder but the one of 'except', in turn, each from the
    // stream's position.
    bool DecodeAny(CxStream& stream, int except);

    std::unique_ptr<std::uint8_t, FreeBlock> m_dib;
    BITMAPINFOHEADER m_header;
    Info m_info;
};
