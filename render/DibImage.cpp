#include "render/DibImage.h"

#include "platform/Stream.h"
#include "platform/UserServices.h"
#include "render/OctreeQuantizer.h"
#include "render/PaletteLookup.h"
#include "render/PictureWriters.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

namespace {

// Messages of the file the writers could not create or write.
constexpr int kCannotCreate = 1027;
constexpr int kWriteError = 1045;

int PelsPerMeter(int dpi)
{
    return static_cast<int>(std::clamp(std::floor(dpi * 39.37007874015748 + 0.5), 0.0, double(INT_MAX)));
}

std::uint64_t StrideOf(int width, int bits)
{
    return ((std::uint64_t(width) * std::uint64_t(bits) + 31) / 32) * 4;
}

// Writes beside the file and renames the new one over it once whole, so a
// failure leaves the old file as it was. Creation and write failures are
// reported as file errors; a writer with its own report says so.
template <class Write>
int SaveBeside(const std::string& path, bool writerReports, Write&& write)
{
    std::string temp;
    auto stream = BeginAtomicWrite(path, &temp);
    if (!stream) {
        AppMessageBoxArg(kCannotCreate, path, MB_OK | MB_ICONERROR);
        return 0;
    }
    if (!write(static_cast<CStream&>(*stream))) {
        AbandonAtomicWrite(std::move(stream), temp);
        if (!writerReports)
            AppMessageBox(kWriteError, MB_OK | MB_ICONERROR);
        return 0;
    }
    if (!CommitAtomicWrite(std::move(stream), temp, path)) {
        AppMessageBox(kWriteError, MB_OK | MB_ICONERROR);
        return 0;
    }
    return 1;
}

} // namespace

CDibImage::CDibImage() = default;

CDibImage::~CDibImage()
{
    Destroy();
}

void CDibImage::Destroy()
{
    m_bitmap.DeleteObject();
    m_header = BITMAPINFOHEADER();
    m_colours = {};
    m_pixels.clear();
    m_pixels.shrink_to_fit();
}

CBitmap* CDibImage::Create(int width, int height)
{
    Destroy();
    if (width < 1 || height < 1 || StrideOf(width, 24) * std::uint64_t(height) > DIBIMAGE_MAX_BYTES)
        return nullptr;
    if (!m_bitmap.CreateBitmap(width, height))
        return nullptr;
    m_header.biSize = 40;
    m_header.biWidth = width;
    m_header.biHeight = height;
    m_header.biPlanes = 1;
    m_header.biBitCount = 24;
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage = 0;
    m_header.biXPelsPerMeter = PelsPerMeter(m_xDpi);
    m_header.biYPelsPerMeter = PelsPerMeter(m_yDpi);
    return &m_bitmap;
}

CBitmap* CDibImage::GetBitmap()
{
    return m_bitmap.GetSafeHandle() ? &m_bitmap : nullptr;
}

const CBitmap* CDibImage::GetBitmap() const
{
    return m_bitmap.GetSafeHandle() ? &m_bitmap : nullptr;
}

void CDibImage::SetResolution(int xDpi, int yDpi)
{
    m_xDpi = std::max(1, xDpi);
    m_yDpi = std::max(1, yDpi);
    if (IsValid()) {
        m_header.biXPelsPerMeter = PelsPerMeter(m_xDpi);
        m_header.biYPelsPerMeter = PelsPerMeter(m_yDpi);
    }
}

std::size_t CDibImage::GetStride() const
{
    return IsValid() ? static_cast<std::size_t>(StrideOf(m_header.biWidth, m_header.biBitCount)) : 0;
}

void CDibImage::CopyStoredRow(int row, std::uint8_t* out) const
{
    const std::size_t stride = GetStride();
    const int width = m_header.biWidth, height = m_header.biHeight;
    if (row < 0 || row >= height)
        return;
    if (m_header.biBitCount != 24) {
        std::memcpy(out, m_pixels.data() + stride * std::size_t(row), stride);
        return;
    }
    // The bitmap holds 0xRRGGBB, top row first.
    const std::uint32_t* in = m_bitmap.GetRow(height - 1 - row);
    for (int x = 0; x < width; ++x, out += 3) {
        out[0] = static_cast<std::uint8_t>(in[x]);
        out[1] = static_cast<std::uint8_t>(in[x] >> 8);
        out[2] = static_cast<std::uint8_t>(in[x] >> 16);
    }
    std::memset(out, 0, stride - 3 * std::size_t(width));
}

int CDibImage::ReduceTo8Bit()
{
    if (!IsValid())
        return 0;
    if (m_header.biBitCount <= 8)
        return 1;
    const int width = m_header.biWidth, height = m_header.biHeight;
    const std::size_t stride = static_cast<std::size_t>(StrideOf(width, 8));
    std::vector<std::uint8_t> pixels;
    unsigned colours = 0;
    std::array<RGBQUAD, 256> table{};
    try {
        pixels.resize(stride * std::size_t(height));
        // Stored rows from the bottom, as the quantiser reads a DIB; a run
        // of one colour adds no leaf after its first pixel, so it goes in
        // at once.
        ColorQuantizer quantizer(256, 8);
        for (int row = 0; row < height; ++row) {
            const std::uint32_t* in = m_bitmap.GetRow(height - 1 - row);
            for (int x = 0; x < width;) {
                const std::uint32_t colour = in[x] & 0xFFFFFF;
                int run = 1;
                while (x + run < width && (in[x + run] & 0xFFFFFF) == colour)
                    ++run;
                quantizer.AddColor(static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                                   static_cast<std::uint8_t>(colour), 0, static_cast<std::uint32_t>(run));
                x += run;
            }
        }
        colours = quantizer.GetColorTable(table.data());

        CPaletteLookup lookup(table.data(), colours);
        for (int row = 0; row < height; ++row) {
            const std::uint32_t* in = m_bitmap.GetRow(height - 1 - row);
            std::uint8_t* out = pixels.data() + stride * std::size_t(row);
            for (int x = 0; x < width; ++x)
                out[x] = lookup.IndexOf(in[x]);
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    m_colours = table;
    m_pixels = std::move(pixels);
    m_bitmap.DeleteObject();
    m_header.biBitCount = 8;
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage = static_cast<std::uint32_t>(stride * std::size_t(height));
    m_header.biClrUsed = colours;
    m_header.biClrImportant = colours;
    return 1;
}

int CDibImage::SaveBmp(const std::string& path)
{
    if (!IsValid())
        return 0;
    return SaveBeside(path, false, [this](CStream& out) { return WriteBmp(*this, out); });
}

int CDibImage::SaveJpeg(const std::string& path)
{
    if (!IsValid() || m_header.biBitCount != 24)
        return 0;
    std::string error;
    const int saved = SaveBeside(path, true, [&](CStream& out) { return WriteJpeg(*this, out, error); });
    if (!saved && !error.empty())
        AppMessageBox("JPEG Library Error: " + error, MB_OK | MB_ICONERROR);
    return saved;
}

int CDibImage::SavePng(const std::string& path)
{
    if (!IsValid())
        return 0;
    return SaveBeside(path, false, [this](CStream& out) { return WritePng(*this, out); });
}

int CDibImage::SaveTiff(const std::string& path)
{
    if (!IsValid())
        return 0;
    return SaveBeside(path, false, [this](CStream& out) { return WriteTiff(*this, out); });
}
