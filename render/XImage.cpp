#include "render/XImage.h"

#include "platform/ByteOrder.h"
#include "platform/DC.h"
#include "render/PaletteLookup.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kHeaderSize = sizeof(BITMAPINFOHEADER);
constexpr const char* kCreateNoMemory = "CxImage::Create can't allocate memory";
constexpr const char* kMaxMemory = "CXIMAGE_MAX_MEMORY exceeded";

int PelsPerMeter(int dpi)
{
    const double value = std::floor(dpi * 39.37007874015748 + 0.5);
    return static_cast<int>(std::clamp(value, double(INT_MIN), double(INT_MAX)));
}

// One component of a bit-field pixel as 8 bits: the field's top bits, or
// the field moved up when it is narrower (so 5 bits give v << 3).
std::uint8_t FieldValue(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::bit_width(mask >> shift);
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>(width >= 8 ? value >> (width - 8) : value << (8 - width));
}

} // namespace

void CxImage::FreeBlock::operator()(std::uint8_t* block) const
{
    std::free(block);
}

CxImage::CxImage(int format)
{
    Startup(format);
}

CxImage::CxImage(const std::string& fileName, int format)
{
    Startup(format);
    Load(fileName, format);
}

CxImage::CxImage(int width, int height, int bpp, int format)
{
    Startup(format);
    Create(width, height, bpp, format);
}

CxImage::CxImage(const CxImage& source, bool copyPixels)
{
    Startup(source.GetType());
    Copy(source, copyPixels);
}

CxImage::CxImage(CxImage&& source) noexcept
{
    Startup(source.GetType());
    Transfer(source);
}

CxImage& CxImage::operator=(CxImage&& source) noexcept
{
    Transfer(source);
    return *this;
}

CxImage::~CxImage()
{
    Destroy();
}

void CxImage::Startup(int format)
{
    m_dib.reset();
    m_header = BITMAPINFOHEADER();
    m_info = Info();
    m_info.format = format;
}

void CxImage::Destroy()
{
    m_dib.reset();
    m_header = BITMAPINFOHEADER();
    m_info.effWidth = 0;
    ClearColourCache();
}

void CxImage::SetLastError(std::string text)
{
    if (text.size() > 255)
        text.resize(255);
    m_info.lastError = std::move(text);
}

bool CxImage::LastErrorIsTooLarge() const
{
    return m_info.lastError == kMaxMemory;
}

void CxImage::SetCreateError(const char* text)
{
    if (m_info.lastError == kCreateNoMemory)
        SetLastError(text);
}

namespace {

int NormalBits(int bpp)
{
    return bpp <= 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : 24;
}

// Header, colour table and pixels; sides below 2^31 keep it inside 64 bits.
std::uint64_t BlockBytes(int width, int height, int bits)
{
    const std::uint64_t stride = ((std::uint64_t(width) * bits + 31) / 32) * 4;
    const std::uint32_t colours = bits == 24 ? 0 : 1u << bits;
    return kHeaderSize + 4u * colours + stride * std::uint64_t(height);
}

} // namespace

bool CxImage::CanCreate(int width, int height, int bpp)
{
    if (width <= 0 || height <= 0) {
        SetLastError("CxImage::Create invalid image size");
        return false;
    }
    if (BlockBytes(width, height, NormalBits(bpp)) > CXIMAGE_MAX_MEMORY) {
        SetLastError(kMaxMemory);
        return false;
    }
    return true;
}

std::uint8_t* CxImage::Create(int width, int height, int bpp, int format)
{
    Destroy();
    if (!CanCreate(width, height, bpp))
        return nullptr;
    const int bits = NormalBits(bpp);
    const std::uint64_t stride = ((std::uint64_t(width) * bits + 31) / 32) * 4;
    const std::uint32_t colours = bits == 24 ? 0 : 1u << bits;
    const std::uint64_t pixels = stride * std::uint64_t(height);
    const std::uint64_t total = BlockBytes(width, height, bits);
    // Zeroed pixels: a decoder that stops early leaves black, never old memory.
    auto* block = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(total), 1));
    if (!block) {
        SetLastError(kCreateNoMemory);
        return nullptr;
    }
    m_dib.reset(block);
    m_info.format = format;
    m_info.effWidth = static_cast<std::uint32_t>(stride);
    m_header = BITMAPINFOHEADER();
    m_header.biWidth = width;
    m_header.biHeight = height;
    m_header.biBitCount = static_cast<std::uint16_t>(bits);
    m_header.biClrUsed = colours;
    m_header.biSizeImage = static_cast<std::uint32_t>(pixels);
    m_header.biXPelsPerMeter = PelsPerMeter(m_info.xDpi);
    m_header.biYPelsPerMeter = PelsPerMeter(m_info.yDpi);
    std::memcpy(block, &m_header, kHeaderSize);
    ClearColourCache();
    return block;
}

bool CxImage::Copy(const CxImage& source, bool copyPixels)
{
    if (&source == this)
        return true;
    m_dib.reset();
    m_info = source.m_info;
    if (!Create(source.GetWidth(), source.GetHeight(), source.GetBpp(), source.GetType()))
        return false;
    if (copyPixels && source.m_dib) {
        std::memcpy(m_dib.get(), source.m_dib.get(), GetSize());
        m_header = source.m_header;
    } else if (PaletteBytes() > 0) {
        std::memcpy(GetPalette(), source.GetPalette(), PaletteBytes());
    }
    return true;
}

void CxImage::CopyInfo(const CxImage& source)
{
    if (!m_dib && &source != this)
        m_info = source.m_info;
}

void CxImage::Transfer(CxImage& source)
{
    if (&source == this)
        return;
    Destroy();
    m_dib = std::move(source.m_dib);
    m_header = source.m_header;
    m_info = std::move(source.m_info);
    source.Startup(CXIMAGE_FORMAT_UNKNOWN);
    source.m_info.format = m_info.format;
}

std::size_t CxImage::PixelBytes() const
{
    return std::size_t(m_info.effWidth) * static_cast<std::size_t>(std::max(0, m_header.biHeight));
}

std::uint8_t* CxImage::PixelStart() const
{
    return m_dib ? m_dib.get() + kHeaderSize + PaletteBytes() : nullptr;
}

std::uint8_t* CxImage::RowAt(int y) const
{
    return PixelStart() + std::size_t(m_info.effWidth) * static_cast<std::size_t>(y);
}

std::uint8_t* CxImage::GetBits(int row) const
{
    if (!m_dib || row < 0 || row >= m_header.biHeight)
        return nullptr;
    return RowAt(row);
}

std::size_t CxImage::GetSize() const
{
    return m_dib ? kHeaderSize + PaletteBytes() + PixelBytes() : 0;
}

bool CxImage::IsInside(int x, int y) const
{
    return x >= 0 && y >= 0 && x < m_header.biWidth && y < m_header.biHeight;
}

void CxImage::Clear(std::uint8_t value)
{
    if (m_dib)
        std::memset(PixelStart(), value, PixelBytes());
}

// ---------------------------------------------------------------- palette

RGBQUAD* CxImage::GetPalette() const
{
    if (!m_dib || m_header.biClrUsed == 0)
        return nullptr;
    return reinterpret_cast<RGBQUAD*>(m_dib.get() + kHeaderSize);
}

RGBQUAD CxImage::GetPaletteColor(int index) const
{
    const RGBQUAD* palette = GetPalette();
    if (!palette || index < 0 || index >= GetNumColors())
        return RGBQUAD();
    return palette[index];
}

void CxImage::SetPaletteColor(int index, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t alpha)
{
    ClearColourCache();
    RGBQUAD* palette = GetPalette();
    if (!palette || index < 0 || index >= GetNumColors())
        return;
    palette[index] = RGBQUAD{b, g, r, alpha};
}

void CxImage::SetPaletteColor(int index, COLORREF colour)
{
    SetPaletteColor(index, static_cast<std::uint8_t>(GetRValue(colour)), static_cast<std::uint8_t>(GetGValue(colour)),
                    static_cast<std::uint8_t>(GetBValue(colour)), 0);
}

void CxImage::SetPalette(const RGBQUAD* entries, int count)
{
    ClearColourCache();
    RGBQUAD* palette = GetPalette();
    if (!palette || !entries || count <= 0)
        return;
    std::memcpy(palette, entries, std::min<std::size_t>(4u * std::size_t(count), PaletteBytes()));
}

void CxImage::SetPalette(const CxRgbTriple* triples, int count)
{
    ClearColourCache();
    RGBQUAD* palette = GetPalette();
    if (!palette || !triples)
        return;
    const int n = std::min(count, GetNumColors());
    for (int i = 0; i < n; ++i)
        palette[i] = RGBQUAD{triples[i].b, triples[i].g, triples[i].r, 0};
}

void CxImage::SetPalette(int count, const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue)
{
    ClearColourCache();
    RGBQUAD* palette = GetPalette();
    if (!palette || !red)
        return;
    if (!green)
        green = red;
    if (!blue)
        blue = green;
    const int n = std::min(count, GetNumColors());
    for (int i = 0; i < n; ++i)
        palette[i] = RGBQUAD{blue[i], green[i], red[i], 0};
}

void CxImage::SetGrayPalette()
{
    ClearColourCache();
    RGBQUAD* palette = GetPalette();
    if (!palette)
        return;
    const int n = GetNumColors();
    for (int i = 0; i < n; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * (255 / (n - 1)));
        palette[i] = RGBQUAD{grey, grey, grey, 0};
    }
}

// ---------------------------------------------------------------- pixels

std::uint32_t CxImage::RawPixel(int x, int y) const
{
    const std::uint8_t* row = RowAt(y);
    switch (m_header.biBitCount) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
    case 8: return row[x];
    default: {
        const std::uint8_t* p = row + 3 * std::size_t(x);
        return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
    }
    }
}

void CxImage::SetRawPixel(int x, int y, std::uint32_t value)
{
    std::uint8_t* row = RowAt(y);
    switch (m_header.biBitCount) {
    case 1: {
        const auto bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
        row[x >> 3] = static_cast<std::uint8_t>((value & 1) ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        break;
    }
    case 4: {
        std::uint8_t& b = row[x >> 1];
        b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | (value & 0x0F))
                    : static_cast<std::uint8_t>((b & 0x0F) | ((value & 0x0F) << 4));
        break;
    }
    case 8: row[x] = static_cast<std::uint8_t>(value); break;
    default: {
        std::uint8_t* p = row + 3 * std::size_t(x);
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value >> 16);
    }
    }
}

std::uint8_t CxImage::GetPixelIndex(int x, int y) const
{
    if (!GetPalette())
        return 0;
    if (!IsInside(x, y))
        return m_info.transIndex >= 0 ? static_cast<std::uint8_t>(m_info.transIndex) : *PixelStart();
    return static_cast<std::uint8_t>(RawPixel(x, y));
}

void CxImage::SetPixelIndex(int x, int y, std::uint8_t index)
{
    if (GetPalette() && IsInside(x, y))
        SetRawPixel(x, y, index);
}

RGBQUAD CxImage::GetPixelColor(int x, int y) const
{
    if (!m_dib)
        return RGBQUAD();
    if (!IsInside(x, y)) {
        if (m_info.transIndex >= 0)
            return GetPalette() ? GetPaletteColor(m_info.transIndex) : m_info.transColor;
        x = 0;
        y = 0;
    }
    if (GetPalette())
        return GetPaletteColor(static_cast<int>(RawPixel(x, y)));
    const std::uint32_t v = RawPixel(x, y);
    return RGBQUAD{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                   static_cast<std::uint8_t>(v >> 16), 0};
}

void CxImage::SetPixelColor(int x, int y, RGBQUAD colour)
{
    if (!m_dib || !IsInside(x, y))
        return;
    if (GetPalette())
        SetRawPixel(x, y, GetNearestIndex(colour));
    else
        SetRawPixel(x, y,
                    colour.rgbBlue | (std::uint32_t(colour.rgbGreen) << 8) | (std::uint32_t(colour.rgbRed) << 16));
}

std::uint8_t CxImage::GetNearestIndex(RGBQUAD colour)
{
    const RGBQUAD* palette = GetPalette();
    if (!palette)
        return 0;
    const auto same = [](RGBQUAD a, RGBQUAD b) {
        return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
    };
    if (m_info.lastColourValid && same(m_info.lastColour, colour))
        return m_info.lastColourIndex;
    std::uint32_t n = m_header.biClrImportant != 0 ? m_header.biClrImportant : m_header.biClrUsed;
    n = std::min(n, m_header.biClrUsed);
    m_info.lastColour = colour;
    m_info.lastColourIndex = NearestPaletteIndex(palette, n, colour.rgbRed, colour.rgbGreen, colour.rgbBlue);
    m_info.lastColourValid = true;
    return m_info.lastColourIndex;
}

RGBQUAD CxImage::GetTransColor() const
{
    if (m_header.biBitCount < 24 && m_info.transIndex >= 0)
        return GetPaletteColor(m_info.transIndex);
    return m_info.transColor;
}

void CxImage::SetXDPI(int dpi)
{
    m_info.xDpi = dpi;
    m_header.biXPelsPerMeter = PelsPerMeter(dpi);
    if (m_dib)
        std::memcpy(m_dib.get(), &m_header, kHeaderSize);
}

void CxImage::SetYDPI(int dpi)
{
    m_info.yDpi = dpi;
    m_header.biYPelsPerMeter = PelsPerMeter(dpi);
    if (m_dib)
        std::memcpy(m_dib.get(), &m_header, kHeaderSize);
}

void CxImage::Bitfield2RGB(const std::uint8_t* source, std::uint32_t redMask, std::uint32_t greenMask,
                           std::uint32_t blueMask, int bpp)
{
    if (!m_dib || !source || m_header.biBitCount != 24 || (bpp != 16 && bpp != 32))
        return;
    const int width = GetWidth();
    const std::size_t inStride = bpp == 16 ? std::size_t((width + 1) / 2) * 4 : std::size_t(width) * 4;
    // Last row first and right to left: the wider output never overtakes
    // unread 16-bit input in the same buffer.
    for (int y = GetHeight() - 1; y >= 0; --y) {
        const std::uint8_t* in = source + inStride * std::size_t(y);
        std::uint8_t* out = RowAt(y);
        for (int x = width - 1; x >= 0; --x) {
            const std::uint32_t pixel = bpp == 16 ? GetLittleEndian<std::uint16_t>(in + 2 * std::size_t(x))
                                                  : GetLittleEndian<std::uint32_t>(in + 4 * std::size_t(x));
            std::uint8_t* p = out + 3 * std::size_t(x);
            p[0] = FieldValue(pixel, blueMask);
            p[1] = FieldValue(pixel, greenMask);
            p[2] = FieldValue(pixel, redMask);
        }
    }
}

void CxImage::RGBtoBGR(std::uint8_t* row, std::size_t length) const
{
    if (!m_dib || !row || GetPalette())
        return;
    length = std::min<std::size_t>(length, m_info.effWidth);
    for (std::size_t i = 0; i + 2 < length; i += 3)
        std::swap(row[i], row[i + 2]);
}

// ---------------------------------------------------------------- geometry

bool CxImage::MakeLike(CxImage& result, int width, int height) const
{
    result.CopyInfo(*this);
    if (!result.Create(width, height, GetBpp(), GetType()))
        return false;
    result.m_header.biClrImportant = m_header.biClrImportant;
    std::memcpy(result.m_dib.get(), &result.m_header, kHeaderSize);
    if (PaletteBytes() > 0)
        std::memcpy(result.GetPalette(), GetPalette(), PaletteBytes());
    return true;
}

bool CxImage::Flip()
{
    CxImage result;
    if (!m_dib || !MakeLike(result, GetWidth(), GetHeight()))
        return false;
    const int height = GetHeight();
    for (int y = 0; y < height; ++y)
        std::memcpy(result.RowAt(height - 1 - y), RowAt(y), m_info.effWidth);
    Transfer(result);
    return true;
}

template <class Place>
bool CxImage::Rearrange(bool quarterTurn, Place place)
{
    CxImage result;
    const int width = GetWidth(), height = GetHeight();
    if (!m_dib || !MakeLike(result, quarterTurn ? height : width, quarterTurn ? width : height))
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto [toX, toY] = place(x, y, width, height);
            result.SetRawPixel(toX, toY, RawPixel(x, y));
        }
    if (quarterTurn) {
        result.SetXDPI(GetYDPI());
        result.SetYDPI(GetXDPI());
    }
    Transfer(result);
    return true;
}

bool CxImage::Mirror()
{
    return Rearrange(false, [](int x, int y, int width, int) { return std::pair(width - 1 - x, y); });
}

bool CxImage::RotateLeft()
{
    return Rearrange(true, [](int x, int y, int, int height) { return std::pair(height - 1 - y, x); });
}

bool CxImage::RotateRight()
{
    return Rearrange(true, [](int x, int y, int width, int) { return std::pair(y, width - 1 - x); });
}

// ---------------------------------------------------------------- drawing

int CxImage::Draw(CDC* dc, int x, int y, int cx, int cy) const
{
    if (!m_dib || !dc || cx == 0 || cy == 0 || !m_info.enabled)
        return 0;
    if (cx < 0)
        cx = GetWidth();
    if (cy < 0)
        cy = GetHeight();
    const DibData dib = DibData::Packed(m_dib.get(), GetSize());
    if (m_info.transIndex < 0) {
        dc->SetStretchBltMode(COLORONCOLOR);
        dc->StretchDIBits(x, y, cx, cy, 0, 0, GetWidth(), GetHeight(), dib, DIB_RGB_COLORS, SRCCOPY);
        return 1;
    }
    const auto clamp = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); };
    CRect target(x, y, clamp(std::int64_t(x) + cx), clamp(std::int64_t(y) + cy));
    target.NormalizeRect();
    if (!dc->RectVisible(target))
        return 1;
    const RGBQUAD key = GetTransColor();
    dc->TransparentDIBits(x, y, cx, cy, 0, 0, GetWidth(), GetHeight(), dib,
                          GetBpp() < 24 ? m_info.transIndex : -1, RGB(key.rgbRed, key.rgbGreen, key.rgbBlue));
    return 1;
}
