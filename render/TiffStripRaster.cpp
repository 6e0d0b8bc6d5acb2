#include "render/TiffStripRaster.h"

#include "platform/DC.h"
#include "platform/DrawInterrupt.h"
#include "platform/UserServices.h"
#include "render/ImageStream.h"
#include "render/PackedDib.h"
#include "render/Picture.h"
#include "render/SavedDC.h"
#include "render/XImage.h"

#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <new>
#include <optional>

namespace {

constexpr int kOutOfMemory = 1005;
constexpr int kReadFailed = 1028;
constexpr int kPictureTooLarge = 1124;
// Rows painted between two looks at waiting user input.
constexpr int kRowsPerPoll = 8;
// A band of rows is read whole; strips (or tiles) taller than this many
// bytes of pixels are read in parts of it.
constexpr std::uint64_t kMaxBandBytes = 16 * 1024 * 1024;

// Device pixels of a context for the length of a drawing.
class CDevicePixels {
public:
    explicit CDevicePixels(CDC& dc) : m_saved(dc)
    {
        dc.SetMapMode(MM_TEXT);
        dc.SetWindowOrg(0, 0);
        dc.SetViewportOrg(0, 0);
    }

private:
    CSavedDC m_saved;
};

// Where the logical rectangle lies in device pixels, top-left first.
CRect DeviceRectOf(const CDC& dc, const CRect& logical)
{
    CPoint corners[2] = {logical.TopLeft(), logical.BottomRight()};
    dc.LPtoDP(corners, 2);
    CRect device(corners[0], corners[1]);
    device.NormalizeRect();
    return device;
}

// The orientations whose first stored row is the picture's bottom one.
bool StoresBottomUp(std::uint16_t orientation)
{
    return orientation == ORIENTATION_BOTRIGHT || orientation == ORIENTATION_BOTLEFT ||
           orientation == ORIENTATION_RIGHTBOT || orientation == ORIENTATION_LEFTBOT;
}

class CRgbaImage {
public:
    bool Begin(TIFF* tif)
    {
        char message[1024];
        // Stopping on errors, so that a strip that cannot be read says so.
        m_begun = TIFFRGBAImageOK(tif, message) && TIFFRGBAImageBegin(&m_image, tif, 1, message);
        return m_begun;
    }
    ~CRgbaImage()
    {
        if (m_begun)
            TIFFRGBAImageEnd(&m_image);
    }
    TIFFRGBAImage& Get() { return m_image; }

private:
    TIFFRGBAImage m_image{};
    bool m_begun = false;
};

} // namespace

CTiffStripRaster::CTiffStripRaster() = default;

CTiffStripRaster::~CTiffStripRaster()
{
    Close();
}

bool CTiffStripRaster::Open(const std::string& fileName)
{
    Close();
    auto stream = std::make_unique<CxStdioStream>();
    const std::string path = PicturePathToOpen(fileName);
    if (!stream->Open(path, "rb"))
        return false;
    m_ownStream = std::move(stream);
    m_stream = m_ownStream.get();
    return OpenTiff(path);
}

bool CTiffStripRaster::Open(CxStream& stream, const std::string& fileName)
{
    Close();
    m_stream = &stream;
    return OpenTiff(fileName);
}

bool CTiffStripRaster::OpenTiff(const std::string& fileName)
{
    m_tif = OpenTiffOnStream(m_stream, "r");
    if (!m_tif) {
        Close();
        return false;
    }
    std::uint32_t width = 0, height = 0;
    TIFFGetField(m_tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(m_tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(m_tif, TIFFTAG_BITSPERSAMPLE, &m_bitsPerSample);
    TIFFGetFieldDefaulted(m_tif, TIFFTAG_ROWSPERSTRIP, &m_rowsPerStrip);
    TIFFGetFieldDefaulted(m_tif, TIFFTAG_PHOTOMETRIC, &m_photometric);
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(m_tif, TIFFTAG_ORIENTATION, &orientation);
    if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX) {
        Close();
        return false;
    }
    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    m_bottomUp = StoresBottomUp(orientation);
    m_tiled = TIFFIsTiled(m_tif) != 0;
    // Without the tag the library answers 2^32 - 1 rows: one strip of the whole picture.
    std::uint32_t stripRows = m_rowsPerStrip;
    if (m_tiled && !TIFFGetField(m_tif, TIFFTAG_TILELENGTH, &stripRows))
        stripRows = 0;
    m_stripRows = static_cast<int>(std::clamp<std::uint32_t>(stripRows, 1, height));
    // The library decodes a whole strip or tile (each plane's samples of
    // it) in one block of at most what a picture may take: a picture of
    // larger ones cannot be read at all.
    std::uint16_t planar = PLANARCONFIG_CONTIG, samples = 1;
    TIFFGetFieldDefaulted(m_tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(m_tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    const std::uint64_t chunkBytes = (m_tiled ? TIFFTileSize64(m_tif) : TIFFStripSize64(m_tif)) *
                                     (planar == PLANARCONFIG_SEPARATE ? std::clamp<std::uint16_t>(samples, 1, 4) : 1);
    if (chunkBytes > CXIMAGE_MAX_MEMORY) {
        AppMessageBoxArg(kPictureTooLarge, fileName);
        Close();
        return false;
    }
    const std::uint64_t rowBytes = std::uint64_t(width) * 4;
    m_bandRows = static_cast<int>(
        std::clamp<std::uint64_t>(kMaxBandBytes / rowBytes, 1, static_cast<std::uint64_t>(m_stripRows)));
    ReadWorldFile(fileName);
    return true;
}

void CTiffStripRaster::Close()
{
    if (m_tif)
        TIFFClose(m_tif);
    m_tif = nullptr;
    m_ownStream.reset();
    m_stream = nullptr;
    m_band.clear();
    m_band.shrink_to_fit();
    m_bandStart = -1;
    m_bandCount = 0;
    m_bandLeft = m_bandWidth = 0;
    m_bandsRead = 0;
    m_width = m_height = 0;
}

const std::uint32_t* CTiffStripRaster::Row(TIFFRGBAImage& image, int row, int left, int width)
{
    const int stored = m_bottomUp ? m_height - 1 - row : row;
    const int stripStart = stored - stored % m_stripRows;
    const int start = stripStart + (stored - stripStart) / m_bandRows * m_bandRows;
    if (start != m_bandStart || left != m_bandLeft || width != m_bandWidth) {
        m_bandStart = -1;
        const std::uint64_t pixels = std::uint64_t(m_bandRows) * std::uint64_t(width);
        try {
            if (pixels * 4 > CXIMAGE_MAX_MEMORY)
                throw std::bad_alloc();
            if (m_band.size() < pixels)
                m_band.assign(static_cast<std::size_t>(pixels), 0);
        } catch (const std::bad_alloc&) {
            m_band.clear();
            AppMessageBox(kOutOfMemory);
            return nullptr;
        }
        const int count = std::min({m_bandRows, stripStart + m_stripRows - start, m_height - start});
        image.row_offset = start;
        image.col_offset = left;
        ++m_bandsRead;
        if (!TIFFRGBAImageGet(&image, m_band.data(), static_cast<std::uint32_t>(width),
                              static_cast<std::uint32_t>(count))) {
            AppMessageBox(kReadFailed);
            return nullptr;
        }
        m_bandStart = start;
        m_bandCount = count;
        m_bandLeft = left;
        m_bandWidth = width;
    }
    // The reader puts a band's bottom row first.
    const int fromBottom = m_bottomUp ? stored - m_bandStart : m_bandCount - 1 - (stored - m_bandStart);
    return m_band.data() + static_cast<std::size_t>(fromBottom) * static_cast<std::size_t>(width);
}

bool CTiffStripRaster::Draw(CDC& dc, const CRect& dest, const CRect& source, CDC* second)
{
    if (!m_tif || source.left < 0 || source.top < 0 || source.right < source.left || source.bottom < source.top ||
        source.right >= m_width || source.bottom >= m_height)
        return false;
    CRgbaImage rgba;
    if (!rgba.Begin(m_tif))
        return false;
    if (second == &dc)
        second = nullptr;

    const CRect device = DeviceRectOf(dc, dest);
    const CRect secondDevice = second ? DeviceRectOf(*second, dest) : device;
    const std::int64_t destWidth = std::int64_t(device.right) - device.left;
    const std::int64_t destHeight = std::int64_t(device.bottom) - device.top;
    if (destWidth <= 0 || destHeight <= 0)
        return true;
    const int sourceWidth = source.right - source.left + 1;
    const int sourceHeight = source.bottom - source.top + 1;
    HDIB row = AllocDib(sourceWidth, 1, 24);
    if (!row) {
        AppMessageBox(kOutOfMemory);
        return false;
    }
    std::uint8_t* const bgr = FindDibPixels(row->Data());
    const CRect rowSource(0, 0, sourceWidth, 1);
    const bool mask = m_drawingFlag != 0;

    CDevicePixels firstPixels(dc);
    std::optional<CDevicePixels> secondPixels;
    if (second)
        secondPixels.emplace(*second);

    // Only the rows some context can show are read and painted.
    CRect clip;
    dc.GetClipBox(&clip);
    std::int64_t firstVisible = std::int64_t(clip.top) - device.top;
    std::int64_t lastVisible = std::int64_t(clip.bottom) - device.top;
    if (second) {
        second->GetClipBox(&clip);
        firstVisible = std::min(firstVisible, std::int64_t(clip.top) - secondDevice.top);
        lastVisible = std::max(lastVisible, std::int64_t(clip.bottom) - secondDevice.top);
    }
    firstVisible = std::max<std::int64_t>(firstVisible, 0);
    lastVisible = std::min(lastVisible, destHeight);

    // Only the columns drawn are converted, except where the samples of
    // several columns are packed together.
    const bool columnsOnly = m_photometric != PHOTOMETRIC_YCBCR;
    const int bandLeft = columnsOnly ? source.left : 0;
    const int bandWidth = columnsOnly ? sourceWidth : m_width;
    const auto loadRow = [&](int sourceRow) {
        const std::uint32_t* pixels = Row(rgba.Get(), sourceRow, bandLeft, bandWidth);
        if (!pixels)
            return false;
        pixels += source.left - bandLeft;
        for (int x = 0; x < sourceWidth; ++x) {
            bgr[3 * x] = static_cast<std::uint8_t>(TIFFGetB(pixels[x]));
            bgr[3 * x + 1] = static_cast<std::uint8_t>(TIFFGetG(pixels[x]));
            bgr[3 * x + 2] = static_cast<std::uint8_t>(TIFFGetR(pixels[x]));
        }
        return true;
    };
    const auto band = [](const CRect& at, std::int64_t top, std::int64_t bottom) {
        return CRect(at.left, static_cast<int>(at.top + top), at.right, static_cast<int>(at.top + bottom));
    };
    int painted = 0;

    if (destHeight < sourceHeight) {
        // Fewer device rows than source rows: each device row shows the source row it falls on.
        for (std::int64_t i = firstVisible; i < lastVisible; ++i) {
            if (!loadRow(static_cast<int>(source.top + i * sourceHeight / destHeight)))
                return false;
            if (second) {
                const CRect at = band(secondDevice, i, i + 1);
                PaintDibToDc(*second, at, *row, rowSource, nullptr, mask);
                dc.BitBlt(device.left, static_cast<int>(device.top + i), at.Width(), 1, second, at.left, at.top,
                          SRCCOPY);
            } else {
                PaintDibToDc(dc, band(device, i, i + 1), *row, rowSource, nullptr, mask);
            }
            if (++painted % kRowsPerPoll == 0 && CheckDrawInterrupt())
                return true;
        }
        return true;
    }

    // As many device rows or more: each source row is painted over its band.
    for (int j = 0; j < sourceHeight; ++j) {
        const std::int64_t top = j * destHeight / sourceHeight;
        const std::int64_t bottom = (j + 1) * destHeight / sourceHeight;
        if (bottom <= firstVisible || top >= lastVisible || bottom <= top)
            continue;
        if (!loadRow(source.top + j))
            return false;
        PaintDibToDc(dc, band(device, top, bottom), *row, rowSource, nullptr, mask);
        if (second)
            PaintDibToDc(*second, band(secondDevice, top, bottom), *row, rowSource, nullptr, mask);
        if (++painted % kRowsPerPoll == 0 && CheckDrawInterrupt())
            return true;
    }
    return true;
}
