// bench-deps: drel_render
// A 4000 x 3000 map picture (shaded relief, areas and roads from a seeded
// generator) written as BMP, PNG, JPEG and TIFF, as drawn and reduced to
// 256 colours, and the reduction itself. Each writer's first file is read
// back and checked before the timing counts.
#include "platform/ByteOrder.h"
#include "platform/Path.h"
#include "render/DibImage.h"
#include "tests/render/ExportFixtures.h"

#include <benchmark/benchmark.h>

#include <tiffio.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

// The picture as drawn, and a copy of it reduced.
struct CMapPictures {
    CDibImage drawn, reduced;
    std::string folder;
    bool made = false;

    CMapPictures()
    {
        folder = FromNativePath((std::filesystem::temp_directory_path() /
                                 ("drel-bench-" + std::to_string(::getpid()))).string());
        if (!MakeFolder(folder) || !drawn.Create(kWidth, kHeight))
            return;
        DrawMapPicture(drawn, 44);
        made = CopyInto(reduced) && reduced.ReduceTo8Bit() == 1;
    }
    ~CMapPictures() { std::filesystem::remove_all(ResolvePath(folder)); }

    bool CopyInto(CDibImage& copy) const
    {
        if (!copy.Create(kWidth, kHeight))
            return false;
        *copy.GetBitmap()->Image() = drawn.GetBitmap()->Image()->copy();
        return true;
    }
    std::string File(const char* name) const { return folder + "/" + name; }
};

CMapPictures& Pictures()
{
    static CMapPictures pictures;
    return pictures;
}

// The file is whole: its format's signature, and the size it claims.
bool Check(const std::string& path, int type, const CDibImage& image)
{
    std::ifstream in(ResolvePath(path), std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto* b = reinterpret_cast<const unsigned char*>(file.data());
    switch (type) {
    case 1:
        return file.size() == 14 + 40 + 4 * image.GetHeader().biClrUsed + image.GetStride() * kHeight &&
               file.compare(0, 2, "BM") == 0;
    case 4:
        return file.size() > 24 && file.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0 &&
               GetBigEndian<std::uint32_t>(b + 16) == kWidth && GetBigEndian<std::uint32_t>(b + 20) == kHeight &&
               file.compare(file.size() - 8, 4, "IEND") == 0;
    case 5:
        return file.size() > 4 && b[0] == 0xFF && b[1] == 0xD8 && b[file.size() - 2] == 0xFF &&
               b[file.size() - 1] == 0xD9;
    default: {
        TIFF* tif = TIFFOpen(ResolvePath(path).c_str(), "r");
        if (!tif)
            return false;
        std::uint32_t width = 0, height = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize(tif)));
        bool rows = true;
        for (std::uint32_t y = 0; y < height && rows; ++y)
            rows = TIFFReadScanline(tif, row.data(), y, 0) == 1;
        TIFFClose(tif);
        return rows && width == kWidth && height == kHeight;
    }
    }
}

// Writer type codes as the export command gives them.
void BM_WritePicture(benchmark::State& state)
{
    CMapPictures& pictures = Pictures();
    if (!pictures.made) {
        state.SkipWithError("the map picture could not be made");
        return;
    }
    const int type = static_cast<int>(state.range(0));
    CDibImage& image = state.range(1) ? pictures.reduced : pictures.drawn;
    const char* name = type == 1 ? "map.bmp" : type == 4 ? "map.png" : type == 5 ? "map.jpg" : "map.tif";
    const std::string path = pictures.File(name);
    const auto save = [&] {
        switch (type) {
        case 1: return image.SaveBmp(path);
        case 4: return image.SavePng(path);
        case 5: return image.SaveJpeg(path);
        default: return image.SaveTiff(path);
        }
    };
    if (save() != 1 || !Check(path, type, image)) {
        state.SkipWithError("the picture was not written whole");
        return;
    }
    for (auto _ : state)
        if (save() != 1) {
            state.SkipWithError("the writer failed");
            return;
        }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.SetLabel(state.range(1) ? "256 colours" : "24 bits");
}
BENCHMARK(BM_WritePicture)
    ->ArgNames({"type", "reduced"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({4, 0})
    ->Args({4, 1})
    ->Args({5, 0})
    ->Args({6, 0})
    ->Args({6, 1})
    ->Unit(benchmark::kMillisecond);

void BM_ReduceTo8Bit(benchmark::State& state)
{
    CMapPictures& pictures = Pictures();
    if (!pictures.made) {
        state.SkipWithError("the map picture could not be made");
        return;
    }
    // Every pixel must end at its nearest palette entry; checked on a
    // sample of rows once.
    const CDibImage& reduced = pictures.reduced;
    const RGBQUAD* palette = reduced.GetColorTable();
    std::vector<std::uint8_t> row(reduced.GetStride());
    for (int y = 0; y < kHeight; y += 97) {
        reduced.CopyStoredRow(kHeight - 1 - y, row.data());
        const std::uint32_t* in = pictures.drawn.GetBitmap()->GetRow(y);
        for (int x = 0; x < kWidth; ++x) {
            int best = 1 << 30, found = 0;
            for (unsigned i = 0; i < reduced.GetHeader().biClrUsed; ++i) {
                const int dr = palette[i].rgbRed - int(in[x] >> 16 & 0xFF);
                const int dg = palette[i].rgbGreen - int(in[x] >> 8 & 0xFF);
                const int db = palette[i].rgbBlue - int(in[x] & 0xFF);
                if (dr * dr + dg * dg + db * db < best)
                    best = dr * dr + dg * dg + db * db, found = static_cast<int>(i);
            }
            if (row[x] != found) {
                state.SkipWithError("a pixel is not at its nearest colour");
                return;
            }
        }
    }
    for (auto _ : state) {
        state.PauseTiming();
        CDibImage image;
        if (!pictures.CopyInto(image)) {
            state.SkipWithError("no memory for the copy");
            return;
        }
        state.ResumeTiming();
        if (image.ReduceTo8Bit() != 1 || image.GetHeader().biClrUsed > 256) {
            state.SkipWithError("the reduction failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.SetLabel(std::to_string(reduced.GetHeader().biClrUsed) + " colours");
}
BENCHMARK(BM_ReduceTo8Bit)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
