// bench-deps: drel_render
// A 10000 x 10000 RGB TIFF of strips of 16 rows (written once into the
// temporary folder) drawn by the strip raster into a 1920 x 1080 picture
// at three zoom levels: the whole picture shrunk to 1080 rows, a window of
// one picture pixel a screen pixel, and one of four screen pixels a picture
// pixel. Each first checks 2000 seeded pixels against the picture rows and
// columns they must show.
#include "platform/DC.h"
#include "platform/Path.h"
#include "render/GeoRaster.h"
#include "render/TiffStripRaster.h"
#include "render/ImageStream.h"

#include <benchmark/benchmark.h>

#include <tiffio.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSide = 10000;
constexpr int kRowsPerStrip = 16;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// Each pixel tells its row in red and green and its fortieth of a column in blue.
void PixelAt(int x, int y, std::uint8_t* rgb)
{
    rgb[0] = static_cast<std::uint8_t>(y % 256);
    rgb[1] = static_cast<std::uint8_t>(y / 256);
    rgb[2] = static_cast<std::uint8_t>(x / 40);
}

struct CBigTiff {
    std::string path;
    bool made = false;

    CBigTiff()
    {
        const auto folder = std::filesystem::temp_directory_path();
        path = FromNativePath((folder / ("drel-raster-draw-" + std::to_string(::getpid()) + ".tif")).string());
        CxStdioStream stream;
        if (!stream.Open(path, "wb"))
            return;
        TIFF* tif = OpenTiffOnStream(&stream, "wl");
        if (!tif)
            return;
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(kSide));
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(kSide));
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, std::uint32_t(kRowsPerStrip));
        std::vector<std::uint8_t> row(std::size_t(kSide) * 3);
        bool written = true;
        for (int y = 0; written && y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x)
                PixelAt(x, y, &row[3 * std::size_t(x)]);
            written = TIFFWriteScanline(tif, row.data(), std::uint32_t(y), 0) >= 0;
        }
        made = written && TIFFWriteDirectory(tif);
        TIFFClose(tif);
    }
    ~CBigTiff() { RemoveFile(path); }
};

CBigTiff& Picture()
{
    static CBigTiff picture;
    return picture;
}

struct Zoom {
    CRect dest;   // device pixels
    CRect source; // picture pixels, right and bottom included
};

// The picture row device row y shows: sampled when fewer device rows than
// picture rows, else the band that covers it.
int ExpectedRow(const Zoom& z, int y)
{
    const std::int64_t destHeight = z.dest.Height(), sourceHeight = z.source.bottom - z.source.top + 1;
    const std::int64_t i = y - z.dest.top;
    if (destHeight < sourceHeight)
        return static_cast<int>(z.source.top + i * sourceHeight / destHeight);
    return static_cast<int>(z.source.top + ((i + 1) * sourceHeight - 1) / destHeight);
}

void BM_DrawRaster(benchmark::State& state, Zoom zoom)
{
    const CBigTiff& picture = Picture();
    CTiffStripRaster raster;
    if (!picture.made || !raster.Open(picture.path)) {
        state.SkipWithError("the picture could not be made");
        return;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        CDC dc(image);
        if (!raster.Draw(dc, zoom.dest, zoom.source, nullptr)) {
            state.SkipWithError("the picture was not drawn");
            return;
        }
    }
    std::mt19937 random(11);
    std::uniform_int_distribution<int> px(zoom.dest.left, zoom.dest.right - 1), py(zoom.dest.top, zoom.dest.bottom - 1);
    const double columnsPerPixel = double(zoom.source.right - zoom.source.left + 1) / zoom.dest.Width();
    for (int i = 0; i < 2000; ++i) {
        const int x = px(random), y = py(random);
        const QRgb p = image.pixel(x, y);
        std::uint8_t rgb[3];
        const int column = zoom.source.left + static_cast<int>((x - zoom.dest.left + 0.5) * columnsPerPixel);
        PixelAt(column, ExpectedRow(zoom, y), rgb);
        if (qRed(p) != rgb[0] || qGreen(p) != rgb[1] || std::abs(qBlue(p) - rgb[2]) > 1) {
            state.SkipWithError("a pixel shows the wrong part of the picture");
            return;
        }
    }

    for (auto _ : state) {
        CDC dc(image);
        benchmark::DoNotOptimize(raster.Draw(dc, zoom.dest, zoom.source, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(zoom.dest.Width()) * zoom.dest.Height());
    state.counters["bands"] = raster.GetBandsRead();
}

BENCHMARK_CAPTURE(BM_DrawRaster, whole_shrunk, Zoom{CRect(420, 0, 1500, 1080), CRect(0, 0, kSide - 1, kSide - 1)})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawRaster, one_to_one, Zoom{CRect(0, 0, kWidth, kHeight), CRect(4000, 4000, 5919, 5079)})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawRaster, four_times, Zoom{CRect(0, 0, kWidth, kHeight), CRect(5000, 5000, 5479, 5269)})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
