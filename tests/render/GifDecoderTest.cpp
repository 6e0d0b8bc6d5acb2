#include "render/GifDecoder.h"
#include "tests/render/GifFixtures.h"
#include "tests/render/PictureFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#ifdef DREL_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace {

// Palette indexes of the picture, top row first.
std::vector<int> Indexes(const CxImage& image)
{
    std::vector<int> out;
    for (int y = image.GetHeight() - 1; y >= 0; --y)
        for (int x = 0; x < image.GetWidth(); ++x)
            out.push_back(image.GetPixelIndex(x, y));
    return out;
}

// Decodes one frame through the dispatcher, as the program loads pictures.
bool DecodeGif(CxImage& image, const std::string& bytes, int frame = 0)
{
    image.SetFrame(frame);
    return DecodeBytes(image, bytes, CXIMAGE_FORMAT_GIF);
}

std::vector<int> Noise(std::size_t count, int colours, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<int> out(count);
    for (int& v : out)
        v = static_cast<int>(random() % unsigned(colours));
    return out;
}

#ifdef DREL_HAVE_GIFLIB

struct GiflibFrame {
    int left, top, width, height;
    std::vector<int> indices;
    std::vector<COLORREF> colours;
};

// What giflib reads: every frame, de-interlaced, with its colour table.
std::vector<GiflibFrame> ReadWithGiflib(const std::string& bytes)
{
    struct Source {
        const std::string* bytes;
        std::size_t position;
    } source{&bytes, 0};
    const InputFunc read = [](GifFileType* gif, GifByteType* out, int n) -> int {
        auto* s = static_cast<Source*>(gif->UserData);
        const std::size_t take = std::min<std::size_t>(std::size_t(n), s->bytes->size() - s->position);
        std::memcpy(out, s->bytes->data() + s->position, take);
        s->position += take;
        return static_cast<int>(take);
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read, &error);
    std::vector<GiflibFrame> frames;
    if (!gif)
        return frames;
    if (DGifSlurp(gif) == GIF_OK) {
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            const GifImageDesc& d = image.ImageDesc;
            GiflibFrame f{d.Left, d.Top, d.Width, d.Height, {}, {}};
            f.indices.assign(image.RasterBits, image.RasterBits + std::ptrdiff_t(d.Width) * d.Height);
            const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
            for (int c = 0; map && c < map->ColorCount; ++c)
                f.colours.push_back(RGB(map->Colors[c].Red, map->Colors[c].Green, map->Colors[c].Blue));
            frames.push_back(std::move(f));
        }
    }
    DGifCloseFile(gif, &error);
    return frames;
}

// Every frame of the file decoded alone against giflib's reading of it.
void ExpectAsGiflib(const std::string& bytes)
{
    const std::vector<GiflibFrame> frames = ReadWithGiflib(bytes);
    ASSERT_FALSE(frames.empty());
    for (std::size_t k = 0; k < frames.size(); ++k) {
        SCOPED_TRACE(testing::Message() << "frame " << k);
        const GiflibFrame& expected = frames[k];
        CxImage image;
        ASSERT_TRUE(DecodeGif(image, bytes, static_cast<int>(k))) << image.GetLastError();
        EXPECT_EQ(image.GetNumFrames(), static_cast<int>(frames.size()));
        ASSERT_EQ(image.GetWidth(), expected.width);
        ASSERT_EQ(image.GetHeight(), expected.height);
        EXPECT_EQ(Indexes(image), expected.indices);
        for (std::size_t c = 0; c < expected.colours.size() && c < std::size_t(image.GetNumColors()); ++c)
            EXPECT_EQ(ColourOf(image.GetPaletteColor(static_cast<int>(c))), expected.colours[c]) << "entry " << c;
    }
}

TEST(GifDecoder, FramesOfEveryDepthDecodeAsGiflibReadsThem)
{
    struct Case {
        const char* what;
        int colours, width, height;
        bool interlaced;
        int bpp;
    };
    const Case cases[] = {
        {"1-bit", 2, 13, 5, false, 1},   {"1-bit interlaced", 2, 9, 17, true, 1},
        {"3 colours in 4", 3, 7, 4, false, 4}, {"4-bit", 16, 11, 6, false, 4},
        {"4-bit interlaced", 16, 5, 9, true, 4}, {"8-bit", 256, 37, 23, false, 8},
        {"8-bit interlaced", 256, 20, 10, true, 8}, {"8-bit one row", 256, 40, 1, true, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GifFrame frame = GifTestFrame(c.width, c.height, c.colours);
        frame.interlaced = c.interlaced;
        const std::string bytes = CGifBuilder(c.width, c.height, GifTestTable(c.colours)).Frame(frame).Bytes();
        ExpectAsGiflib(bytes);
        CxImage image;
        ASSERT_TRUE(DecodeGif(image, bytes));
        EXPECT_EQ(image.GetBpp(), c.bpp);
        EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_GIF);
    }
}

TEST(GifDecoder, FullTablesWithAndWithoutClearCodesAsGiflib)
{
    // Noise fills the 4096 codes many times over.
    for (const bool deferred : {false, true}) {
        SCOPED_TRACE(deferred ? "full table kept" : "cleared when full");
        GifFrame frame;
        frame.width = 160;
        frame.height = 120;
        frame.indices = Noise(160 * 120, 256, 7);
        frame.deferredClear = deferred;
        CGifBuilder gif(160, 120, GifTestTable(256));
        gif.Frame(frame);
        if (deferred) {
            EXPECT_GT(gif.Stats().tableFull, 0);
            EXPECT_EQ(gif.Stats().clears, 1);
        } else {
            EXPECT_GT(gif.Stats().clears, 1);
        }
        ExpectAsGiflib(gif.Bytes());
    }
}

TEST(GifDecoder, AnimationWithLocalTablesAndExtensionsAsGiflib)
{
    CGifBuilder gif(12, 8, GifTestTable(16));
    gif.Loop(0).Comment("kelias").Control(2, -1, 10).Frame(GifTestFrame(12, 8, 16));
    GifFrame local = GifTestFrame(5, 3, 4, 6, 4);
    local.localTable = {RGB(1, 2, 3), RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200)};
    gif.Control(2, -1, 10).Frame(local);
    GifFrame interlaced = GifTestFrame(12, 8, 16);
    interlaced.interlaced = true;
    std::reverse(interlaced.indices.begin(), interlaced.indices.end());
    gif.Control(0, -1, 10).Frame(interlaced);
    ExpectAsGiflib(gif.Bytes());
}

TEST(GifDecoder, RunsNameTheNextFreeSlotAsGiflib)
{
    GifFrame frame;
    frame.width = 64;
    frame.height = 4;
    frame.indices.assign(64 * 4, 1);
    std::fill(frame.indices.begin() + 100, frame.indices.begin() + 140, 2);
    CGifBuilder gif(64, 4, GifTestTable(4));
    gif.Frame(frame);
    EXPECT_GT(gif.Stats().nextFreeSlot, 3);
    ExpectAsGiflib(gif.Bytes());
}

#else

TEST(GifDecoder, FramesOfEveryDepthDecodeAsGiflibReadsThem)
{
    GTEST_SKIP() << "giflib (libgif-dev) is not installed";
}

#endif

// A 1 x n frame of the given LZW codes, code size 2, over four colours.
std::string CodedRow(int width, const std::vector<std::pair<int, int>>& codes, int codeSize = 2,
                     bool terminate = true)
{
    GifFrame frame;
    frame.width = width;
    frame.height = 1;
    frame.hasData = true;
    frame.data = std::string(1, static_cast<char>(codeSize)) + GifSubBlocks(GifPackCodes(codes), terminate);
    return CGifBuilder(width, 1, GifTestTable(4)).Frame(frame).Bytes();
}

TEST(GifDecoder, CodesAtAndPastTheNextFreeSlot)
{
    struct Case {
        const char* what;
        int width;
        std::vector<std::pair<int, int>> codes;
        std::vector<int> expected;
    };
    // Code size 2: clear 4, end 5, first free slot 6; widths grow to 4
    // bits once slot 7 is taken.
    const Case cases[] = {
        {"a run: codes 6 and 7 each the next free slot", 7, {{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 4}},
         {1, 1, 1, 1, 1, 1, 0}},
        {"a code past the free slot reads as it", 8,
         {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {14, 4}, {8, 4}, {5, 4}}, {1, 2, 3, 3, 3, 3, 3, 0}},
        {"repeated clears are skipped; a first code past the table is 0", 5,
         {{4, 3}, {4, 3}, {4, 3}, {7, 3}, {1, 3}, {6, 3}, {5, 4}}, {0, 1, 0, 1, 0}},
        {"more pixels than the frame: the rest dropped", 3, {{4, 3}, {2, 3}, {6, 3}, {7, 3}, {5, 4}}, {2, 2, 2}},
        {"no end code: the data's end ends the frame", 6, {{4, 3}, {3, 3}, {2, 3}}, {3, 2, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CxImage image;
        ASSERT_TRUE(DecodeGif(image, CodedRow(c.width, c.codes))) << image.GetLastError();
        EXPECT_EQ(Indexes(image), c.expected);
    }
}

TEST(GifDecoder, CodeSizesTwoToNineKeepIndexesWithinTheDepth)
{
    // Code size 9 has literal codes up to 511: kept to the frame's depth.
    const std::vector<int> indices = {1, 300, 300, 300, 7, 511, 2};
    for (const int colours : {16, 256}) {
        SCOPED_TRACE(testing::Message() << colours << " colours");
        GifFrame frame;
        frame.width = 7;
        frame.height = 1;
        frame.indices = indices;
        frame.codeSize = 9;
        const std::string bytes = CGifBuilder(7, 1, GifTestTable(colours)).Frame(frame).Bytes();
        CxImage image;
        ASSERT_TRUE(DecodeGif(image, bytes));
        std::vector<int> expected;
        for (const int i : indices)
            expected.push_back(i & (colours - 1));
        EXPECT_EQ(Indexes(image), expected);
    }
    // Code size 2 for a 1-bit frame.
    GifFrame twoColours = GifTestFrame(9, 3, 2);
    twoColours.codeSize = 2;
    CxImage image;
    ASSERT_TRUE(DecodeGif(image, CGifBuilder(9, 3, GifTestTable(2)).Frame(twoColours).Bytes()));
    EXPECT_EQ(image.GetBpp(), 1);
    EXPECT_EQ(Indexes(image), twoColours.indices);
}

TEST(GifDecoder, OtherCodeSizesYieldAFrameWithoutPixels)
{
    for (const int codeSize : {0, 1, 10, 12}) {
        SCOPED_TRACE(codeSize);
        GifFrame frame = GifTestFrame(4, 2, 4);
        frame.hasData = true;
        frame.data = std::string(1, static_cast<char>(codeSize)) + GifSubBlocks(std::string(6, '\x55'));
        GifFrame after = GifTestFrame(4, 2, 4);
        const std::string bytes = CGifBuilder(4, 2, GifTestTable(4)).Frame(frame).Frame(after).Bytes();
        CxImage image;
        ASSERT_TRUE(DecodeGif(image, bytes));
        EXPECT_EQ(Indexes(image), std::vector<int>(8, 0));
        // Parsing goes on after the frame's sub-blocks.
        ASSERT_TRUE(DecodeGif(image, bytes, 1));
        EXPECT_EQ(Indexes(image), after.indices);
    }
}

TEST(GifDecoder, InterlacePassesStartAtRowsZeroFourTwoOne)
{
    // Line j of the file holds the value j + 1.
    GifFrame frame;
    frame.width = 2;
    frame.height = 10;
    frame.interlaced = true;
    frame.indicesInFileOrder = true;
    for (int j = 0; j < 10; ++j)
        frame.indices.insert(frame.indices.end(), 2, j + 1);
    CxImage image;
    ASSERT_TRUE(DecodeGif(image, CGifBuilder(2, 10, GifTestTable(16)).Frame(frame).Bytes()));
    // Passes from rows 0, 4, 2, 1 with steps 8, 8, 4, 2: file lines go to
    // rows 0 8 | 4 | 2 6 | 1 3 5 7 9.
    const int rows[] = {1, 6, 4, 7, 3, 8, 5, 9, 2, 10};
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(image.GetPixelIndex(1, 9 - y), rows[y]) << "row " << y;
}

TEST(GifDecoder, DataEndingEarlyLeavesTheRestAtIndexZero)
{
    // Indexes 1 to 15: a zero can only be what the data did not reach.
    GifFrame frame = GifTestFrame(30, 20, 15);
    for (int& i : frame.indices)
        ++i;
    // Cut inside the LZW data, and cut inside an interlaced frame's.
    for (const bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "in order");
        frame.interlaced = interlaced;
        const std::string bytes = CGifBuilder(30, 20, GifTestTable(16)).Frame(frame).Bytes();
        const std::string cut = bytes.substr(0, bytes.size() / 2);
        CxImage image;
        ASSERT_TRUE(DecodeGif(image, cut)) << image.GetLastError();
        const std::vector<int> got = Indexes(image);
        std::size_t decoded = 0, zeros = 0;
        for (std::size_t i = 0; i < got.size(); ++i) {
            if (got[i] == 0)
                ++zeros;
            else if (got[i] == frame.indices[i])
                ++decoded;
            else
                ADD_FAILURE() << "pixel " << i << " is " << got[i];
        }
        EXPECT_GT(decoded, 0u);
        EXPECT_GT(zeros, 0u);
        if (!interlaced) {
            // In order, the decoded pixels come first, a partial row included.
            const auto firstZero = std::find(got.begin(), got.end(), 0);
            EXPECT_TRUE(std::all_of(firstZero, got.end(), [](int v) { return v == 0; }));
        }
    }
}

TEST(GifDecoder, TransparentIndexMakesTheEntriesPastTheTableWhite)
{
    const GifFrame frame = GifTestFrame(5, 2, 4);
    CxImage plain, transparent;
    ASSERT_TRUE(DecodeGif(plain, CGifBuilder(5, 2, GifTestTable(4)).Frame(frame).Bytes()));
    ASSERT_TRUE(DecodeGif(transparent, CGifBuilder(5, 2, GifTestTable(4)).Control(0, 2).Frame(frame).Bytes()));
    ASSERT_EQ(transparent.GetNumColors(), 16);
    EXPECT_EQ(plain.GetTransIndex(), -1);
    EXPECT_EQ(transparent.GetTransIndex(), 2);
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        const COLORREF table = i < 4 ? FixtureColour(i) : RGB(0, 0, 0);
        EXPECT_EQ(ColourOf(plain.GetPaletteColor(i)), table);
        EXPECT_EQ(ColourOf(transparent.GetPaletteColor(i)), i < 4 ? table : RGB(255, 255, 255));
    }
    EXPECT_EQ(ColourOf(transparent.GetTransColor()), FixtureColour(2));
}

// A 4 x 3 screen of index 1, then a 2 x 2 frame at (1, 1) of indexes 0, 2,
// 3, 0 whose index 0 is transparent.
std::string TwoFrames(int disposal, const std::vector<COLORREF>& secondTable = {})
{
    GifFrame background;
    background.width = 4;
    background.height = 3;
    background.indices.assign(12, 1);
    GifFrame over;
    over.left = 1;
    over.top = 1;
    over.width = 2;
    over.height = 2;
    over.indices = {0, 2, 3, 0};
    over.localTable = secondTable;
    return CGifBuilder(4, 3, GifTestTable(4)).Control(1, 3).Frame(background).Control(disposal, 0).Frame(over).Bytes();
}

TEST(GifDecoder, DoNotDisposeLaysTheFrameOverTheKeptPicture)
{
    CxImage image;
    ASSERT_TRUE(DecodeGif(image, TwoFrames(1), 1));
    EXPECT_EQ(Indexes(image), (std::vector<int>{1, 1, 1, 1, 1, 1, 2, 1, 1, 3, 1, 1}));
    // The picture keeps the first frame's transparent index.
    EXPECT_EQ(image.GetTransIndex(), 3);

    // Other disposals show the frame alone.
    for (const int disposal : {0, 2, 3}) {
        SCOPED_TRACE(disposal);
        ASSERT_TRUE(DecodeGif(image, TwoFrames(disposal), 1));
        EXPECT_EQ(image.GetWidth(), 2);
        EXPECT_EQ(Indexes(image), (std::vector<int>{0, 2, 3, 0}));
        EXPECT_EQ(image.GetTransIndex(), 0);
    }
}

TEST(GifDecoder, AFrameWithItsOwnTableIsLaidOverInThePicturesColours)
{
    // Entries 2 and 3 of the local table are the global 3 and 0.
    const std::vector<COLORREF> local = {RGB(9, 9, 9), RGB(250, 0, 0), FixtureColour(3), FixtureColour(0)};
    CxImage image;
    ASSERT_TRUE(DecodeGif(image, TwoFrames(1, local), 1));
    EXPECT_EQ(Indexes(image), (std::vector<int>{1, 1, 1, 1, 1, 1, 3, 1, 1, 0, 1, 1}));
    EXPECT_EQ(ColourOf(image.GetPaletteColor(1)), FixtureColour(1));
}

TEST(GifDecoder, NarrowFramesAreLaidOverAtEveryDepth)
{
    // Frames of one and three columns at odd places, partly past the
    // bottom, over a 13 x 5 picture: only their own pixels change, at bit,
    // nibble and byte positions alike.
    for (const int colours : {2, 16, 256}) {
        SCOPED_TRACE(colours);
        CGifBuilder gif(13, 5, GifTestTable(colours));
        const GifFrame background = GifTestFrame(13, 5, colours);
        std::vector<int> expected = background.indices;
        gif.Control(1, -1).Frame(background);
        for (const auto& [left, top, width] : {std::array<int, 3>{5, 0, 1}, {7, 2, 3}, {12, 1, 1}, {0, 4, 3}}) {
            GifFrame over;
            over.left = left;
            over.top = top;
            over.width = width;
            over.height = std::min(3, 5 - top);
            for (int y = 0; y < over.height; ++y)
                for (int x = 0; x < width; ++x) {
                    const int index = (colours - 1 - FixtureIndex(x, y, colours) + left) % colours;
                    over.indices.push_back(index);
                    expected[std::size_t(top + y) * 13 + std::size_t(left + x)] = index;
                }
            gif.Control(1, -1).Frame(over);
        }
        CxImage image;
        ASSERT_TRUE(DecodeGif(image, gif.Bytes(), 4)) << image.GetLastError();
        EXPECT_EQ(image.GetBpp(), colours == 2 ? 1 : colours == 16 ? 4 : 8);
        EXPECT_EQ(Indexes(image), expected);
    }
}

TEST(GifDecoder, TilesWithoutAGlobalTableMakeOneTrueColourPicture)
{
    // Four 3 x 2 tiles of a 6 x 4 screen, each with its own two colours.
    const COLORREF colours[4][2] = {{RGB(255, 0, 0), RGB(0, 0, 0)},
                                    {RGB(0, 255, 0), RGB(10, 10, 10)},
                                    {RGB(0, 0, 255), RGB(20, 20, 20)},
                                    {RGB(255, 255, 0), RGB(30, 30, 30)}};
    const auto tiles = [&](CGifBuilder gif) {
        for (int t = 0; t < 4; ++t) {
            GifFrame tile = GifTestFrame(3, 2, 2, 3 * (t % 2), 2 * (t / 2));
            tile.localTable = {colours[t][0], colours[t][1]};
            gif.Frame(tile);
        }
        return gif.Bytes();
    };
    const auto expected = [&](int x, int y) {
        const int t = (x / 3) + 2 * (y / 2);
        return colours[t][FixtureIndex(x % 3, y % 2, 2)];
    };
    for (const int requested : {0, 2}) {
        SCOPED_TRACE(requested);
        CxImage image;
        ASSERT_TRUE(DecodeGif(image, tiles(CGifBuilder(6, 4)), requested)) << image.GetLastError();
        EXPECT_EQ(image.GetBpp(), 24);
        ASSERT_EQ(image.GetWidth(), 6);
        ASSERT_EQ(image.GetHeight(), 4);
        EXPECT_EQ(image.GetTransIndex(), -1);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(PictureColour(image, x, y), expected(x, y)) << x << "," << y;
    }

    // The same first frame under a global table is a frame of its own size.
    CxImage framed;
    ASSERT_TRUE(DecodeGif(framed, tiles(CGifBuilder(6, 4, GifTestTable(2)))));
    EXPECT_EQ(framed.GetBpp(), 1);
    EXPECT_EQ(framed.GetWidth(), 3);
    EXPECT_EQ(framed.GetHeight(), 2);
    EXPECT_EQ(PictureColour(framed, 0, 0), colours[0][0]);

    // The last graphic control's transparency gives the picture its colour.
    GifFrame single = GifTestFrame(3, 2, 2, 1, 1);
    single.localTable = {RGB(1, 2, 3), RGB(40, 50, 60)};
    CxImage lone;
    ASSERT_TRUE(DecodeGif(lone, CGifBuilder(6, 4).Control(0, 1).Frame(single).Bytes()));
    EXPECT_EQ(lone.GetBpp(), 24);
    EXPECT_EQ(lone.GetWidth(), 6);
    EXPECT_NE(lone.GetTransIndex(), -1);
    EXPECT_EQ(ColourOf(lone.GetTransColor()), RGB(40, 50, 60));
    EXPECT_EQ(PictureColour(lone, 1, 1), RGB(1, 2, 3));
}

TEST(GifDecoder, FramesOutsideTheScreenAreSkippedAndNotCounted)
{
    CGifBuilder gif(6, 4, GifTestTable(4));
    gif.Frame(GifTestFrame(4, 2, 4, 3, 0)); // past the right edge
    gif.Frame(GifTestFrame(2, 5, 4, 0, 0)); // past the bottom
    GifFrame empty = GifTestFrame(0, 2, 4);
    gif.Frame(empty);
    const GifFrame inside = GifTestFrame(6, 4, 4);
    gif.Frame(inside);
    CxImage image;
    ASSERT_TRUE(DecodeGif(image, gif.Bytes()));
    EXPECT_EQ(image.GetNumFrames(), 1);
    EXPECT_EQ(Indexes(image), inside.indices);
}

TEST(GifDecoder, RequestsOutsideTheFramesFailWithTheCount)
{
    const std::string bytes =
        CGifBuilder(3, 2, GifTestTable(4)).Frame(GifTestFrame(3, 2, 4)).Frame(GifTestFrame(3, 2, 4)).Bytes();
    for (const int frame : {2, 3, -1}) {
        SCOPED_TRACE(frame);
        CxImage image;
        EXPECT_FALSE(DecodeGif(image, bytes, frame));
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(image.GetNumFrames(), 2);
    }
    CxImage last;
    EXPECT_TRUE(DecodeGif(last, bytes, 1));
    EXPECT_EQ(last.GetFrame(), 1);
    EXPECT_EQ(last.GetNumFrames(), 2);
}

TEST(GifDecoder, FilesWithoutFramesFail)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::string error;
    };
    const Case cases[] = {
        {"extensions only", CGifBuilder(4, 4, GifTestTable(2)).Loop(0).Comment("x").Control(0, 1).Bytes(),
         "No images in GIF"},
        {"header only", CGifBuilder(4, 4).Bytes(), "No images in GIF"},
        {"not a GIF", "GIF7" + std::string(20, 'a'), ""},
        {"cut in the screen", "GIF89a\x04", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CxImage image;
        EXPECT_FALSE(DecodeGif(image, c.bytes));
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(image.GetLastError(), c.error);
    }
}

TEST(GifDecoder, FramesFarLargerThanTheirDataAreRefused)
{
    // Each 4000 x 4000 frame has a few bytes of data: the first decodes
    // (at index 0 past its one pixel), but two claim far more than the
    // file could ever fill.
    CGifBuilder gif(4000, 4000, GifTestTable(4));
    GifFrame frame;
    frame.width = frame.height = 4000;
    frame.hasData = true;
    frame.data = "\x02" + GifSubBlocks(GifPackCodes({{4, 3}, {1, 3}, {5, 3}}));
    for (int i = 0; i < 6; ++i)
        gif.Control(1, -1).Frame(frame);
    CxImage image;
    ASSERT_TRUE(DecodeGif(image, gif.Bytes(), 0)) << image.GetLastError();
    EXPECT_EQ(image.GetPixelIndex(0, 3999), 1);
    EXPECT_EQ(image.GetPixelIndex(1, 3999), 0);
    for (const int later : {1, 5}) {
        EXPECT_FALSE(DecodeGif(image, gif.Bytes(), later));
        EXPECT_EQ(image.GetLastError(), "GIF frames too large for their data");
    }

    // Tiles without a global table make the whole screen: a small tile on
    // a screen its file cannot fill is refused the same way.
    GifFrame tile = GifTestFrame(3, 2, 2, 1, 1);
    tile.localTable = GifTestTable(2);
    ASSERT_TRUE(DecodeGif(image, CGifBuilder(4000, 4000).Frame(tile).Bytes())) << image.GetLastError();
    EXPECT_EQ(image.GetWidth(), 4000);
    EXPECT_FALSE(DecodeGif(image, CGifBuilder(8000, 8000).Frame(tile).Bytes()));
    EXPECT_EQ(image.GetLastError(), "GIF frames too large for their data");
}

TEST(GifDecoder, EachFrameIsWeighedAgainstWhatItsOwnDataFilledBeforeItIsPainted)
{
    // Comment bytes buy nothing: tiles of two bytes on a screen of 16
    // million pixels are refused however much the file holds besides.
    const struct {
        const char* what;
        std::string bytes;
        int frame;
    } refused[] = {
        {"300 tiles and a comment of 400 KB", FramesLargerThanTheirDataGif(300, 400000), 0},
        {"two tiles and a comment of 400 KB", FramesLargerThanTheirDataGif(2, 400000), 0},
        {"one tile and a comment of 400 KB", FramesLargerThanTheirDataGif(1, 400000), 0},
        {"the second of two frames over a colour table, and a comment",
         FramesLargerThanTheirDataGif(2, 400000, GifTestTable(4)), 1},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.what);
        CxImage image;
        EXPECT_FALSE(DecodeGif(image, c.bytes, c.frame));
        EXPECT_EQ(image.GetLastError(), "GIF frames too large for their data");
    }

    // Frames their data fills take nothing from what a picture cut short
    // may leave unfilled, however many there are: twelve frames of 1.5
    // million pixels, laid over one another or made into tiles.
    const std::vector<int> solid(1500 * 1000, 1);
    GifFrame frame;
    frame.width = 1500;
    frame.height = 1000;
    frame.hasData = true;
    frame.data = "\x02" + GifSubBlocks(GifPackCodes(GifLzwCodes(solid, 2, false)));
    CGifBuilder animation(1500, 1000, GifTestTable(4));
    CGifBuilder tiles(1501, 12001);
    for (int i = 0; i < 12; ++i) {
        animation.Control(1, -1).Frame(frame);
        GifFrame tile = frame;
        tile.top = 1000 * i;
        tile.localTable = GifTestTable(4);
        tiles.Frame(tile);
    }
    CxImage image;
    ASSERT_TRUE(DecodeGif(image, animation.Bytes(), 11)) << image.GetLastError();
    EXPECT_EQ(image.GetPixelIndex(1499, 0), 1);
    ASSERT_TRUE(DecodeGif(image, tiles.Bytes())) << image.GetLastError();
    ASSERT_EQ(image.GetBpp(), 24);
    for (const int y : {0, 5000, 11999})
        EXPECT_EQ(PictureColour(image, 1499, y), FixtureColour(1)) << y;
    EXPECT_EQ(PictureColour(image, 1500, 0), RGB(0, 0, 0)) << "the screen past the tiles";
    EXPECT_EQ(PictureColour(image, 0, 12000), RGB(0, 0, 0)) << "the screen past the tiles";
}

TEST(GifDecoder, CancelFlagStopsTheDecoder)
{
    CxImage image;
    image.SetEscape(1);
    EXPECT_FALSE(DecodeGif(image, CGifBuilder(3, 2, GifTestTable(4)).Frame(GifTestFrame(3, 2, 4)).Bytes()));
    EXPECT_FALSE(image.IsValid());
}

TEST(GifDecoder, FoundByTheTryEveryFormatChain)
{
    const GifFrame frame = GifTestFrame(7, 5, 16);
    const std::string bytes = CGifBuilder(7, 5, GifTestTable(16)).Frame(frame).Bytes();
    CxImage image;
    ASSERT_TRUE(DecodeBytes(image, bytes, CXIMAGE_FORMAT_UNKNOWN)) << image.GetLastError();
    EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_GIF);
    EXPECT_EQ(Indexes(image), frame.indices);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(PictureColour(image, x, y), FixtureColour(FixtureIndex(x, y, 16)));
}

} // namespace
