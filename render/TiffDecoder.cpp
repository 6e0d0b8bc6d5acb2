#include "render/TiffDecoder.h"

#include "render/ImageStream.h"

#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr const char* kCorrupted = "Corrupted TIFF file!";
constexpr const char* kCorruptedTiled = "Corrupted tiled TIFF file!";
constexpr const char* kCancelled = "Cancelled";

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

// A work buffer of a size libtiff worked out; none beyond what a picture
// may take, so a lying directory cannot claim the memory of the machine.
std::unique_ptr<std::uint8_t[]> WorkBuffer(std::uint64_t bytes)
{
    if (bytes == 0 || bytes > CXIMAGE_MAX_MEMORY)
        return nullptr;
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(bytes)]);
}

// Sample 'index' of a decoded line. libtiff hands 16-, 24- and 32-bit
// samples in the machine's byte order; other depths are packed most
// significant bit first.
std::uint32_t SampleAt(const std::uint8_t* line, std::size_t index, int bits)
{
    switch (bits) {
    case 8: return line[index];
    case 16: {
        std::uint16_t v;
        std::memcpy(&v, line + 2 * index, 2);
        return v;
    }
    case 24: {
        const std::uint8_t* p = line + 3 * index;
        return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
    }
    case 32: {
        std::uint32_t v;
        std::memcpy(&v, line + 4 * index, 4);
        return v;
    }
    default: break;
    }
    std::uint64_t bit = std::uint64_t(index) * bits;
    std::uint32_t value = 0;
    for (int left = bits; left > 0;) {
        const int free = 8 - int(bit & 7);
        const int take = std::min(free, left);
        const std::uint32_t chunk = (line[bit >> 3] >> (free - take)) & ((1u << take) - 1);
        value = (value << take) | chunk;
        bit += static_cast<std::uint64_t>(take);
        left -= take;
    }
    return value;
}

// A sample as a level of 0 to 255: deeper ones by their top byte,
// shallower ones stretched over the range.
std::uint8_t Level(std::uint32_t value, int bits)
{
    if (bits >= 8)
        return static_cast<std::uint8_t>(value >> (bits - 8));
    return static_cast<std::uint8_t>(value * 255 / ((1u << bits) - 1));
}

double SrgbLevel(double v)
{
    v = v > 0.00304 ? 1.055 * std::pow(v, 0.41667) - 0.055 : 12.92 * v;
    return std::clamp(v * 255 + 0.5, 0.0, 255.0);
}

RGBQUAD LabToRgb(std::uint8_t lightness, std::int8_t a, std::int8_t b)
{
    const double fy = (lightness * 100.0 / 255.0 + 16) / 116;
    const double y = fy * fy * fy;
    const double fx = fy + a * 0.002, fz = fy - b * 0.005;
    const double x = 0.95047 * fx * fx * fx;
    const double z = 1.0883 * fz * fz * fz;
    const double r = 3.240479 * x - 1.53715 * y - 0.498535 * z;
    const double g = -0.969256 * x + 1.875992 * y + 0.041556 * z;
    const double bl = 0.055648 * x - 0.204043 * y + 1.057311 * z;
    return RGBQUAD{static_cast<std::uint8_t>(SrgbLevel(bl)), static_cast<std::uint8_t>(SrgbLevel(g)),
                   static_cast<std::uint8_t>(SrgbLevel(r)), 0};
}

int Dpi(float value)
{
    return static_cast<int>(std::min(double(value), double(INT_MAX)));
}

} // namespace

struct CxImageTIF::Page {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t samples = 1;
    std::uint16_t bits = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint32_t rowsPerStrip = 0;
    // Samples of one pixel in a decoded line: a page of separate planes is
    // read by its first plane.
    int lineSamples = 1;
    std::uint64_t lineBytes = 0;
    int depth = 8;
    // RGB of few bits or CIE L*a*b*: converted pixel by pixel.
    bool colour = false;
};

bool CxImageTIF::Decode(CxStream& stream)
{
    const std::unique_ptr<TIFF, TiffCloser> tif(OpenTiffOnStream(&stream, "r"));
    if (!tif) {
        SetLastError("Error encountered while opening TIFF file");
        return false;
    }
    const tdir_t pages = TIFFNumberOfDirectories(tif.get());
    SetNumFrames(static_cast<int>(std::min<tdir_t>(pages, INT_MAX)));
    const int frame = GetFrame();
    if (frame < 0 || tdir_t(frame) >= pages || (frame > 0 && !TIFFSetDirectory(tif.get(), tdir_t(frame)))) {
        SetLastError("Error: page not present in TIFF file");
        return false;
    }
    if (DecodePage(tif.get()))
        return true;
    Destroy();
    return false;
}

bool CxImageTIF::DecodePage(TIFF* tif)
{
    Page p;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &p.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &p.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &p.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &p.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &p.rowsPerStrip);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &p.photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &p.orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &p.planar);
    float resolution = 0;
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &resolution) && resolution >= 0)
        SetXDPI(Dpi(resolution));
    if (TIFFGetField(tif, TIFFTAG_YRESOLUTION, &resolution) && resolution >= 0)
        SetYDPI(Dpi(resolution));
    if (p.rowsPerStrip > p.height) {
        p.rowsPerStrip = p.height;
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, p.height);
    }

    const std::uint16_t photometric = p.photometric;
    const bool rgba = (photometric == PHOTOMETRIC_RGB && p.bits > 7) || photometric == PHOTOMETRIC_SEPARATED ||
                      photometric == PHOTOMETRIC_YCBCR || photometric == PHOTOMETRIC_LOGL ||
                      photometric == PHOTOMETRIC_LOGLUV;
    p.lineSamples = p.planar == PLANARCONFIG_SEPARATE ? 1 : p.samples;
    // Grey or palette samples with extra ones keep their first.
    p.colour = !rgba && p.lineSamples >= 3 &&
               (photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_CIELAB ||
                photometric == PHOTOMETRIC_ICCLAB || photometric == PHOTOMETRIC_ITULAB);
    if (rgba || p.colour)
        p.depth = 24;
    else if (photometric <= PHOTOMETRIC_MINISBLACK && p.bits == 1)
        p.depth = 1;
    else if (p.bits == 4)
        p.depth = 4;
    else
        p.depth = 8;

    if (GetEscape()) {
        SetLastError(kCancelled);
        return false;
    }
    if (p.width > INT_MAX || p.height > INT_MAX ||
        !Create(int(p.width), int(p.height), p.depth, CXIMAGE_FORMAT_TIF)) {
        if (p.width > INT_MAX || p.height > INT_MAX)
            SetLastError("CxImageTIF can't create image");
        else
            SetCreateError("CxImageTIF can't create image");
        return false;
    }
    if (rgba)
        return ReadRgba(tif, p);
    if (!ReadPalettePage(tif, p))
        return false;
    // The rows are stored as they come; the tag says how to show them.
    switch (p.orientation) {
    case ORIENTATION_TOPRIGHT: Mirror(); break;
    case ORIENTATION_BOTRIGHT: Flip(); Mirror(); break;
    case ORIENTATION_BOTLEFT: Flip(); break;
    case ORIENTATION_LEFTTOP: RotateRight(); Mirror(); break;
    case ORIENTATION_RIGHTTOP: RotateRight(); break;
    case ORIENTATION_RIGHTBOT: RotateLeft(); Mirror(); break;
    case ORIENTATION_LEFTBOT: RotateLeft(); break;
    default: break;
    }
    return true;
}

bool CxImageTIF::ReadRgba(TIFF* tif, const Page& p)
{
    const std::size_t pixels = std::size_t(p.width) * p.height;
    std::unique_ptr<std::uint32_t[]> raster(new (std::nothrow) std::uint32_t[pixels]);
    if (!raster) {
        SetLastError("No space for raster buffer");
        return false;
    }
    // Bottom row first, as the image stores them; the reader turns the
    // picture by its orientation itself.
    if (!TIFFReadRGBAImage(tif, p.width, p.height, raster.get(), 1)) {
        SetLastError(kCorrupted);
        return false;
    }
    for (std::uint32_t y = 0; y < p.height; ++y) {
        if (GetEscape()) {
            SetLastError(kCancelled);
            return false;
        }
        const std::uint32_t* in = raster.get() + std::size_t(y) * p.width;
        std::uint8_t* out = GetBits(int(y));
        for (std::uint32_t x = 0; x < p.width; ++x) {
            out[3 * x] = static_cast<std::uint8_t>(TIFFGetB(in[x]));
            out[3 * x + 1] = static_cast<std::uint8_t>(TIFFGetG(in[x]));
            out[3 * x + 2] = static_cast<std::uint8_t>(TIFFGetR(in[x]));
        }
    }
    return true;
}

void CxImageTIF::SetPagePalette(TIFF* tif, const Page& p)
{
    const int n = GetNumColors();
    if (p.photometric == PHOTOMETRIC_PALETTE && p.bits <= 16) {
        std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) && red && green && blue) {
            const int entries = 1 << p.bits;
            // Maps of 8-bit values exist beside the 16-bit ones of the standard.
            bool wide = false;
            for (int i = 0; i < entries && !wide; ++i)
                wide = red[i] >= 256 || green[i] >= 256 || blue[i] >= 256;
            const auto level = [wide](std::uint16_t v) {
                return static_cast<std::uint8_t>(wide ? v * 255 / 65535 : v);
            };
            for (int i = 0; i < std::min(entries, n); ++i)
                SetPaletteColor(i, level(red[i]), level(green[i]), level(blue[i]));
            return;
        }
    }
    if (p.depth == 1 && p.photometric <= PHOTOMETRIC_MINISBLACK) {
        const std::uint8_t white = 255;
        SetPaletteColor(p.photometric == PHOTOMETRIC_MINISBLACK ? 1 : 0, white, white, white);
        SetPaletteColor(p.photometric == PHOTOMETRIC_MINISBLACK ? 0 : 1, 0, 0, 0);
        return;
    }
    SetGrayPalette();
    if (p.photometric == PHOTOMETRIC_MINISWHITE) {
        for (int i = 0; i < n; ++i) {
            const auto grey = static_cast<std::uint8_t>(255 - i * (255 / (n - 1)));
            SetPaletteColor(i, grey, grey, grey);
        }
    }
}

void CxImageTIF::PutLine(const Page& p, const std::uint8_t* line, int top)
{
    const int y = int(p.height) - 1 - top;
    std::uint8_t* out = GetBits(y);
    const int samples = p.lineSamples;
    if (samples == 1 && p.bits == p.depth) {
        // 1-, 4- and 8-bit rows are packed as the image packs them.
        std::memcpy(out, line, std::min<std::size_t>(p.lineBytes, GetEffWidth()));
        return;
    }
    const bool grey = p.photometric != PHOTOMETRIC_PALETTE;
    for (std::uint32_t x = 0; x < p.width; ++x) {
        const std::size_t first = std::size_t(x) * samples;
        if (p.colour) {
            std::uint8_t c[3];
            for (int k = 0; k < 3; ++k)
                c[k] = Level(SampleAt(line, first + k, p.bits), p.bits);
            const RGBQUAD rgb = p.photometric == PHOTOMETRIC_RGB
                                    ? RGBQUAD{c[2], c[1], c[0], 0}
                                    : LabToRgb(c[0], static_cast<std::int8_t>(c[1]), static_cast<std::int8_t>(c[2]));
            SetPixelColor(int(x), y, rgb);
            continue;
        }
        // The first sample is the picture; any further one (alpha) is dropped.
        const std::uint32_t value = SampleAt(line, first, p.bits);
        if (p.depth < 8)
            SetPixelIndex(int(x), y, static_cast<std::uint8_t>(value));
        else
            out[x] = grey || p.bits > 8 ? Level(value, p.bits) : static_cast<std::uint8_t>(value);
    }
}

bool CxImageTIF::ReadPalettePage(TIFF* tif, const Page& page)
{
    Page p = page;
    if (p.depth <= 8)
        SetPagePalette(tif, p);
    p.lineBytes = static_cast<std::uint64_t>(TIFFScanlineSize64(tif));
    // Every sample the rows are read by must lie inside a decoded line.
    if (p.bits == 0 || p.bits > 32 || p.lineBytes == 0 ||
        p.lineBytes * 8 < std::uint64_t(p.width) * std::uint64_t(p.lineSamples) * p.bits) {
        SetLastError(kCorrupted);
        return false;
    }

    if (TIFFIsTiled(tif)) {
        std::uint32_t tileWidth = 0, tileLength = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
        const std::uint64_t tileRowBytes = static_cast<std::uint64_t>(TIFFTileRowSize64(tif));
        const std::uint64_t tileBytes = static_cast<std::uint64_t>(TIFFTileSize64(tif));
        // Tiles must start on a byte of the line to be laid side by side.
        if (tileWidth == 0 || tileLength == 0 || tileRowBytes == 0 ||
            (std::uint64_t(tileWidth) * std::uint64_t(p.lineSamples) * p.bits) % 8 != 0) {
            SetLastError(kCorruptedTiled);
            return false;
        }
        const std::uint32_t bandRows = std::min(tileLength, p.height);
        const std::unique_ptr<std::uint8_t[]> tile = WorkBuffer(tileBytes);
        const std::unique_ptr<std::uint8_t[]> band = WorkBuffer(p.lineBytes * bandRows);
        if (!tile || !band) {
            SetLastError(kCorruptedTiled);
            return false;
        }
        const std::uint64_t stepBytes = std::uint64_t(tileWidth) * std::uint64_t(p.lineSamples) * p.bits / 8;
        for (std::uint32_t top = 0; top < p.height; top += tileLength) {
            if (GetEscape()) {
                SetLastError(kCancelled);
                return false;
            }
            const std::uint32_t rows = std::min(tileLength, p.height - top);
            std::memset(band.get(), 0, static_cast<std::size_t>(p.lineBytes * rows));
            std::uint64_t offset = 0;
            for (std::uint32_t left = 0; left < p.width; left += tileWidth, offset += stepBytes) {
                const tmsize_t got = TIFFReadTile(tif, tile.get(), left, top, 0, 0);
                if (got < 0) {
                    SetLastError(kCorruptedTiled);
                    return false;
                }
                const std::uint64_t whole = std::min<std::uint64_t>(rows, std::uint64_t(got) / tileRowBytes);
                const std::uint64_t bytes = std::min(tileRowBytes, p.lineBytes - offset);
                for (std::uint64_t r = 0; r < whole; ++r)
                    std::memcpy(band.get() + r * p.lineBytes + offset, tile.get() + r * tileRowBytes,
                                static_cast<std::size_t>(bytes));
            }
            for (std::uint32_t r = 0; r < rows; ++r)
                PutLine(p, band.get() + std::uint64_t(r) * p.lineBytes, int(top + r));
        }
        return true;
    }

    const std::uint64_t stripBytes = static_cast<std::uint64_t>(TIFFStripSize64(tif));
    const std::unique_ptr<std::uint8_t[]> strip = WorkBuffer(stripBytes);
    if (p.rowsPerStrip == 0 || !strip) {
        SetLastError(kCorrupted);
        return false;
    }
    for (std::uint32_t top = 0; top < p.height; top += p.rowsPerStrip) {
        if (GetEscape()) {
            SetLastError(kCancelled);
            return false;
        }
        const std::uint32_t rows = std::min(p.rowsPerStrip, p.height - top);
        const tmsize_t got =
            TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, top, 0), strip.get(), static_cast<tmsize_t>(stripBytes));
        if (got < 0) {
            SetLastError(kCorrupted);
            return false;
        }
        // Only whole decoded lines are used; the rows after them stay blank.
        const std::uint64_t whole = std::min<std::uint64_t>(rows, std::uint64_t(got) / p.lineBytes);
        for (std::uint64_t r = 0; r < whole; ++r)
            PutLine(p, strip.get() + r * p.lineBytes, int(top + r));
    }
    return true;
}
