// bench-deps: drel_platform
#include "platform/DC.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <cstdint>
#include <cstring>
#include <vector>

// Stretch blits of very wide pictures shrunk to a screen's width (a
// 24-bit DIB of 2,000,000 x 4 pixels, an 8-bit one of 4,000,000 x 4, a
// memory context of 1,000,000 x 4) in each stretch mode, and of ordinary
// ones: 512 x 512 enlarged to 1920 x 1080 and 4096 x 4096 shrunk to
// 1024 x 1024. Each first checks its result against the source pixels the
// mode takes.

namespace {

constexpr int kRows = 4;
constexpr int kShrunk = 1000;

// A top-down DIB whose pixel (x, y) has the colour given.
template <class Colour>
std::vector<std::uint8_t> MakeDib(int width, int height, int bits, Colour colour)
{
    BITMAPINFOHEADER h;
    h.biWidth = width;
    h.biHeight = -height;
    h.biBitCount = static_cast<std::uint16_t>(bits);
    const int colours = bits == 8 ? 256 : 0;
    const std::size_t stride = ((std::size_t(width) * bits + 31) / 32) * 4;
    std::vector<std::uint8_t> dib(sizeof h + 4 * colours + stride * height, 0);
    std::memcpy(dib.data(), &h, sizeof h);
    for (int i = 0; i < colours; ++i) {
        std::uint8_t* e = dib.data() + sizeof h + 4 * i;
        e[0] = static_cast<std::uint8_t>(255 - i);
        e[1] = static_cast<std::uint8_t>(i * 7);
        e[2] = static_cast<std::uint8_t>(i);
    }
    std::uint8_t* pixels = dib.data() + sizeof h + 4 * colours;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels + stride * y;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, y);
            if (bits == 8) {
                row[x] = static_cast<std::uint8_t>(c);
            } else {
                row[3 * x] = static_cast<std::uint8_t>(c);
                row[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
                row[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
            }
        }
    }
    return dib;
}

// 0xRRGGBB of entry i of the 8-bit pictures' colour table.
std::uint32_t Palette(int i)
{
    return (std::uint32_t(i) << 16) | (std::uint32_t(i * 7 & 0xFF) << 8) | std::uint32_t(255 - i);
}

// Colours that differ from pixel to pixel (hashed: a rare repeat does not
// matter), so that nearest sampling is checked pixel by pixel.
std::uint32_t Unique(int x, int y)
{
    return (std::uint32_t(x) * 2654435761u ^ std::uint32_t(y) * 40503u) >> 8;
}

std::uint32_t Pixel(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

const char* ModeName(int mode)
{
    return mode == COLORONCOLOR ? "COLORONCOLOR" : mode == HALFTONE ? "HALFTONE" : "BLACKONWHITE";
}

// Times the blit once its result is checked; pixels made per second.
template <class Blit>
void Time(benchmark::State& state, const QImage& image, std::int64_t pixels, Blit blit)
{
    for (auto _ : state) {
        blit();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * pixels);
}

// The column a destination pixel takes under its centre.
int Nearest(int i, std::int64_t source, int dest)
{
    return static_cast<int>((2 * std::int64_t(i) + 1) * source / (2 * std::int64_t(dest)));
}

void Shrink24(benchmark::State& state)
{
    constexpr int kWide = 2000000;
    static const std::vector<std::uint8_t> dib = MakeDib(kWide, kRows, 24, Unique);
    QImage image(kShrunk, kRows, QImage::Format_RGB32);
    CDC dc(image);
    dc.SetStretchBltMode(COLORONCOLOR);
    const DibData data = DibData::Packed(dib.data(), dib.size());
    const auto blit = [&] {
        dc.StretchDIBits(0, 0, kShrunk, kRows, 0, 0, kWide, kRows, data, DIB_RGB_COLORS, SRCCOPY);
    };
    blit();
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kShrunk; ++x)
            if (Pixel(image, x, y) != Unique(Nearest(x, kWide, kShrunk), y)) {
                state.SkipWithError("a pixel is not the source pixel under its centre");
                return;
            }
    Time(state, image, kShrunk * kRows, blit);
}
BENCHMARK(Shrink24)->Unit(benchmark::kMillisecond);

// Blocks of 4,000 columns of one colour: every mode gives each block's colour.
void Shrink8(benchmark::State& state)
{
    constexpr int kWide = 4000000;
    constexpr int kBlock = kWide / kShrunk;
    static const std::vector<std::uint8_t> dib =
        MakeDib(kWide, kRows, 8, [](int x, int y) { return std::uint32_t((x / kBlock + 3 * y) & 0xFF); });
    const int mode = static_cast<int>(state.range(0));
    QImage image(kShrunk, kRows, QImage::Format_RGB32);
    CDC dc(image);
    dc.SetStretchBltMode(mode);
    const DibData data = DibData::Packed(dib.data(), dib.size());
    const auto blit = [&] {
        dc.StretchDIBits(0, 0, kShrunk, kRows, 0, 0, kWide, kRows, data, DIB_RGB_COLORS, SRCCOPY);
    };
    blit();
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kShrunk; ++x)
            if (Pixel(image, x, y) != Palette((x + 3 * y) & 0xFF)) {
                state.SkipWithError("a pixel is not its block's colour");
                return;
            }
    state.SetLabel(ModeName(mode));
    Time(state, image, kShrunk * kRows, blit);
}
BENCHMARK(Shrink8)->ArgName("mode")->Arg(COLORONCOLOR)->Arg(BLACKONWHITE)->Arg(HALFTONE)->Unit(benchmark::kMillisecond);

QImage Picture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = 0xFF000000u | Unique(x, y);
    }
    return picture;
}

void ShrinkMemoryDC(benchmark::State& state)
{
    constexpr int kWide = 1000000;
    static QImage picture = Picture(kWide, kRows);
    CDC source(picture);
    QImage image(kShrunk, kRows, QImage::Format_RGB32);
    CDC dc(image);
    dc.SetStretchBltMode(COLORONCOLOR);
    const auto blit = [&] { dc.StretchBlt(0, 0, kShrunk, kRows, &source, 0, 0, kWide, kRows, SRCCOPY); };
    blit();
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kShrunk; ++x)
            if (Pixel(image, x, y) != Unique(Nearest(x, kWide, kShrunk), y)) {
                state.SkipWithError("a pixel is not the source pixel under its centre");
                return;
            }
    Time(state, image, kShrunk * kRows, blit);
}
BENCHMARK(ShrinkMemoryDC)->Unit(benchmark::kMillisecond);

void Enlarge(benchmark::State& state)
{
    static QImage picture = Picture(512, 512);
    CDC source(picture);
    const int mode = static_cast<int>(state.range(0));
    QImage image(1920, 1080, QImage::Format_RGB32);
    CDC dc(image);
    dc.SetStretchBltMode(mode);
    const auto blit = [&] { dc.StretchBlt(0, 0, 1920, 1080, &source, 0, 0, 512, 512, SRCCOPY); };
    blit();
    // Halftone mixes neighbours only where a target pixel straddles two.
    for (int y = 0; y < 1080; y += 7)
        for (int x = 0; x < 1920; x += 5) {
            const bool inside = (x * 512) % 1920 <= 1920 - 512 && (y * 512) % 1080 <= 1080 - 512;
            if ((mode == COLORONCOLOR || inside) &&
                Pixel(image, x, y) != Unique(Nearest(x, 512, 1920), Nearest(y, 512, 1080))) {
                state.SkipWithError("a pixel is not the source pixel under it");
                return;
            }
        }
    state.SetLabel(ModeName(mode));
    Time(state, image, 1920 * 1080, blit);
}
BENCHMARK(Enlarge)->ArgName("mode")->Arg(COLORONCOLOR)->Arg(HALFTONE)->Unit(benchmark::kMillisecond);

// 4 x 4 blocks of one colour shrink to their colour in every mode.
void ShrinkSquare(benchmark::State& state)
{
    static QImage picture = [] {
        QImage p(4096, 4096, QImage::Format_RGB32);
        for (int y = 0; y < 4096; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(p.scanLine(y));
            for (int x = 0; x < 4096; ++x)
                row[x] = 0xFF000000u | Unique(x / 4, y / 4);
        }
        return p;
    }();
    CDC source(picture);
    const int mode = static_cast<int>(state.range(0));
    QImage image(1024, 1024, QImage::Format_RGB32);
    CDC dc(image);
    dc.SetStretchBltMode(mode);
    const auto blit = [&] { dc.StretchBlt(0, 0, 1024, 1024, &source, 0, 0, 4096, 4096, SRCCOPY); };
    blit();
    for (int y = 0; y < 1024; y += 3)
        for (int x = 0; x < 1024; x += 3)
            if (Pixel(image, x, y) != Unique(x, y)) {
                state.SkipWithError("a pixel is not its block's colour");
                return;
            }
    state.SetLabel(ModeName(mode));
    Time(state, image, 1024 * 1024, blit);
}
BENCHMARK(ShrinkSquare)
    ->ArgName("mode")
    ->Arg(COLORONCOLOR)
    ->Arg(BLACKONWHITE)
    ->Arg(HALFTONE)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
