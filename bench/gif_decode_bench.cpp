// bench-deps: drel_render
// Decoding a 4000 x 3000 GIF of a map picture, and the last frame of a
// 50-frame "do not dispose" animation, which lays every frame over the one
// before. The GIFs are made once by the tests' own encoder from a map
// picture reduced to 256 colours; the first decode of each is compared
// with the indexes it was made from. And refusing a crafted GIF of 300
// frames of 16 million pixels on two bytes each, padded by a comment,
// which must take far less than a second.
#include "platform/Stream.h"
#include "render/DibImage.h"
#include "render/ImageStream.h"
#include "render/XImage.h"
#include "tests/render/ExportFixtures.h"
#include "tests/render/GifFixtures.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr int kScreenWidth = 800, kScreenHeight = 600, kFrames = 50;
constexpr int kTileWidth = 160, kTileHeight = 120;

struct CGifs {
    std::string picture, animation;
    std::vector<int> pictureIndices;
    // The animation's last frame as every frame laid over the one before.
    std::vector<int> composed;
    bool made = false;

    CGifs()
    {
        CDibImage map;
        if (!map.Create(kWidth, kHeight))
            return;
        DrawMapPicture(map, 45);
        if (map.ReduceTo8Bit() != 1)
            return;
        std::vector<COLORREF> table;
        for (unsigned i = 0; i < map.GetHeader().biClrUsed; ++i) {
            const RGBQUAD c = map.GetColorTable()[i];
            table.push_back(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
        }
        std::vector<std::uint8_t> row(map.GetStride());
        pictureIndices.reserve(std::size_t(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y) {
            map.CopyStoredRow(kHeight - 1 - y, row.data());
            pictureIndices.insert(pictureIndices.end(), row.begin(), row.begin() + kWidth);
        }
        const auto crop = [&](int left, int top, int width, int height) {
            GifFrame f;
            f.width = width;
            f.height = height;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    f.indices.push_back(pictureIndices[std::size_t(top + y) * kWidth + std::size_t(left + x)]);
            return f;
        };
        GifFrame whole = crop(0, 0, kWidth, kHeight);
        picture = CGifBuilder(kWidth, kHeight, table).Frame(whole).Bytes();

        CGifBuilder animation(kScreenWidth, kScreenHeight, table);
        animation.Loop(0).Control(1, -1, 10).Frame(crop(1000, 1000, kScreenWidth, kScreenHeight));
        composed = crop(1000, 1000, kScreenWidth, kScreenHeight).indices;
        std::mt19937 random(46);
        for (int k = 1; k < kFrames; ++k) {
            GifFrame tile = crop(static_cast<int>(random() % (kWidth - kTileWidth)),
                                 static_cast<int>(random() % (kHeight - kTileHeight)), kTileWidth, kTileHeight);
            tile.left = static_cast<int>(random() % (kScreenWidth - kTileWidth));
            tile.top = static_cast<int>(random() % (kScreenHeight - kTileHeight));
            for (int y = 0; y < kTileHeight; ++y)
                for (int x = 0; x < kTileWidth; ++x)
                    composed[std::size_t(tile.top + y) * kScreenWidth + std::size_t(tile.left + x)] =
                        tile.indices[std::size_t(y) * kTileWidth + std::size_t(x)];
            animation.Control(1, -1, 10).Frame(tile);
        }
        this->animation = animation.Bytes();
        made = true;
    }
};

CGifs& Gifs()
{
    static CGifs gifs;
    return gifs;
}

bool Decode(const std::string& bytes, int frame, CxImage& image)
{
    CMemoryStream memory(bytes.data(), bytes.size());
    CxPlatformStream stream(memory);
    image.SetFrame(frame);
    return image.Decode(stream, CXIMAGE_FORMAT_GIF);
}

bool SameIndexes(const CxImage& image, const std::vector<int>& indices)
{
    const int width = image.GetWidth(), height = image.GetHeight();
    if (std::size_t(width) * std::size_t(height) != indices.size())
        return false;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = image.GetBits(height - 1 - y);
        for (int x = 0; x < width; ++x)
            if (row[x] != indices[std::size_t(y) * std::size_t(width) + std::size_t(x)])
                return false;
    }
    return true;
}

void BM_DecodeMapGif(benchmark::State& state)
{
    const CGifs& gifs = Gifs();
    CxImage first;
    if (!gifs.made || !Decode(gifs.picture, 0, first) || !SameIndexes(first, gifs.pictureIndices)) {
        state.SkipWithError("the GIF does not decode to its indexes");
        return;
    }
    for (auto _ : state) {
        CxImage image;
        if (!Decode(gifs.picture, 0, image)) {
            state.SkipWithError("the decoder failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.SetBytesProcessed(state.iterations() * std::int64_t(gifs.picture.size()));
}
BENCHMARK(BM_DecodeMapGif)->Unit(benchmark::kMillisecond);

void BM_DecodeAnimationLastFrame(benchmark::State& state)
{
    const CGifs& gifs = Gifs();
    CxImage last;
    if (!gifs.made || !Decode(gifs.animation, kFrames - 1, last) || last.GetNumFrames() != kFrames ||
        !SameIndexes(last, gifs.composed)) {
        state.SkipWithError("the animation does not compose to its last frame");
        return;
    }
    for (auto _ : state) {
        CxImage image;
        if (!Decode(gifs.animation, kFrames - 1, image)) {
            state.SkipWithError("the decoder failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.SetLabel("items are frames");
}
BENCHMARK(BM_DecodeAnimationLastFrame)->Unit(benchmark::kMillisecond);

void BM_RefuseFramesLargerThanTheirData(benchmark::State& state)
{
    const std::string hostile = FramesLargerThanTheirDataGif(300, 400000);
    for (auto _ : state) {
        CxImage image;
        if (Decode(hostile, 0, image) || image.GetLastError() != "GIF frames too large for their data") {
            state.SkipWithError("the crafted GIF is not refused for its frames");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(hostile.size()));
}
BENCHMARK(BM_RefuseFramesLargerThanTheirData)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
