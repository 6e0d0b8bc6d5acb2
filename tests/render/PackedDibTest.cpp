#include "platform/DC.h"
#include "platform/Stream.h"
#include "render/PackedDib.h"
#include "tests/render/PictureFixtures.h"
#include "tests/render/PixelArt.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

BITMAPINFOHEADER HeaderOf(const CPackedDib& dib)
{
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib.Data(), sizeof h);
    return h;
}

// A packed block from bytes written by the test.
HDIB BlockOf(const std::string& bytes)
{
    HDIB dib = CPackedDib::Allocate(bytes.size());
    std::memcpy(dib->Data(), bytes.data(), bytes.size());
    return dib;
}

HDIB Read(const std::string& file)
{
    CMemoryStream memory(file.data(), file.size());
    return ReadDibFromStream(memory);
}

// A 4 x 2 picture of 8 bits whose palette is red, green, blue, black, white:
// top row "rgbw", bottom row "#rgb".
std::string FourByTwo(int bits = 8)
{
    InfoHeaderFields f;
    f.width = 4;
    f.height = 2;
    f.bits = static_cast<unsigned>(bits);
    f.clrUsed = bits <= 8 ? 5 : 0;
    CByteWriter table;
    for (COLORREF c : {kRed, kGreen, kBlue, kBlack, kWhite})
        table.U8(GetBValue(c)).U8(GetGValue(c)).U8(GetRValue(c)).U8(0);
    const int top[4] = {0, 1, 2, 4}, bottom[4] = {3, 0, 1, 2};
    return InfoHeader(f) + (bits <= 8 ? table.Str() : std::string()) +
           FixtureRows(4, 2, bits, false, [&](int x, int y) -> std::uint32_t { return (y == 0 ? top : bottom)[x]; });
}

} // namespace

TEST(PackedDib, AllocDibRoundsTheBitsAndPadsTheRows)
{
    const struct {
        int width, height, bits;
        unsigned expectedBits;
        std::size_t entries, stride;
    } cases[] = {
        {3, 2, 2, 4, 16, 4},   {3, 2, 32, 4, 16, 4},  {3, 2, 0, 1, 2, 4},   {33, 1, 1, 1, 2, 8},
        {5, 3, 8, 8, 256, 8},  {5, 3, 16, 24, 0, 16}, {5, 3, 24, 24, 0, 16}, {3, 2, 5, 8, 256, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " at " << c.bits);
        HDIB dib = AllocDib(c.width, c.height, c.bits);
        ASSERT_NE(dib, nullptr);
        const BITMAPINFOHEADER h = HeaderOf(*dib);
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, c.width);
        EXPECT_EQ(h.biHeight, c.height);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, c.expectedBits);
        EXPECT_EQ(h.biCompression, BI_RGB);
        EXPECT_EQ(h.biSizeImage, std::uint32_t(c.width) * c.expectedBits * c.height / 8) << "unpadded";
        EXPECT_EQ(h.biXPelsPerMeter, 2834);
        EXPECT_EQ(h.biYPelsPerMeter, 2834);
        EXPECT_EQ(h.biClrUsed, 0u);
        EXPECT_EQ(dib->Size(), 40 + 4 * c.entries + c.stride * c.height);
        EXPECT_EQ(FindDibPixels(dib->Data()), dib->Data() + 40 + 4 * c.entries);
        for (std::size_t i = 40; i < dib->Size(); ++i)
            ASSERT_EQ(dib->Data()[i], 0) << "zero-filled";
    }
    EXPECT_EQ(AllocDib(0, 3, 8), nullptr);
    EXPECT_EQ(AllocDib(3, -1, 8), nullptr);
    EXPECT_EQ(AllocDib(100000, 100000, 24), nullptr) << "beyond the largest picture";
}

TEST(PackedDib, PixelsFollowTheColourTableOfEitherHeader)
{
    const auto info = [](unsigned bits, std::uint32_t used) {
        InfoHeaderFields f;
        f.width = 300;
        f.height = -7;
        f.bits = bits;
        f.clrUsed = used;
        return InfoHeader(f);
    };
    const auto core = [](unsigned bits) {
        CByteWriter w;
        w.U32(12).U16(500).U16(9).U16(1).U16(bits);
        return w.Str();
    };
    const struct {
        std::string header;
        std::size_t offset;
    } cases[] = {
        {info(1, 0), 48},      {info(4, 0), 104},   {info(8, 0), 1064},
        {info(24, 0), 40},     {info(8, 5), 60},    {info(24, 3), 52},
        {info(8, 0x4003), 52}, {core(1), 18},       {core(4), 60},
        {core(8), 780},        {core(24), 12},
    };
    for (const auto& c : cases) {
        const std::uint8_t* header = reinterpret_cast<const std::uint8_t*>(c.header.data());
        EXPECT_EQ(FindDibPixels(header) - header, static_cast<std::ptrdiff_t>(c.offset));
    }
    EXPECT_EQ(GetDibWidth(info(8, 0).data()), 300);
    EXPECT_EQ(GetDibHeight(info(8, 0).data()), -7);
    EXPECT_EQ(GetDibWidth(core(8).data()), 500);
    EXPECT_EQ(GetDibHeight(core(8).data()), 9);
}

TEST(PackedDib, PalettesComeFromTheColourTable)
{
    CDibPalette palette;
    HDIB dib = BlockOf(FourByTwo());
    ASSERT_EQ(CreateDibPalette(dib.get(), palette), 1);
    EXPECT_EQ(palette.version, 0x300);
    ASSERT_EQ(palette.entries.size(), 5u);
    EXPECT_EQ(ColourOf(palette.entries[2]), kBlue);

    CByteWriter core;
    core.U32(12).U16(2).U16(1).U16(1).U16(1).Bytes({0, 0, 255, 255, 255, 255}).Zeros(4);
    dib = BlockOf(core.Str());
    ASSERT_EQ(CreateDibPalette(dib.get(), palette), 1);
    ASSERT_EQ(palette.entries.size(), 2u);
    EXPECT_EQ(ColourOf(palette.entries[0]), kRed);
    EXPECT_EQ(ColourOf(palette.entries[1]), kWhite);

    // True colour makes none and leaves the palette as it was.
    EXPECT_EQ(CreateDibPalette(AllocDib(2, 2, 24).get(), palette), 0);
    EXPECT_EQ(palette.entries.size(), 2u);
    EXPECT_EQ(CreateDibPalette(nullptr, palette), 0);
}

TEST(PackedDib, EqualSizesAreSetOnePixelAPixelAndOthersStretched)
{
    HDIB dib = BlockOf(FourByTwo());
    QImage image = MakeImage(10, 4, kGrey);
    {
        // Ten logical units a pixel: equal sizes set one device pixel a
        // DIB pixel and never stretch to the logical rectangle.
        CDC dc(image);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(10, 10);
        dc.SetViewportExt(1, 1);
        dc.SetStretchBltMode(HALFTONE);
        EXPECT_GT(PaintDibToDc(dc, CRect(10, 10, 14, 12), *dib, CRect(0, 0, 4, 2), nullptr, false), 0);
        EXPECT_EQ(dc.GetStretchBltMode(), HALFTONE) << "put back";
    }
    EXPECT_EQ(PixelArt(image, kGrey), Rows({"..........", ".rgbw.....", ".#rgb.....", ".........."}));

    // The same part of the picture whether stretched or not: rows counted from the top.
    image = MakeImage(10, 4);
    {
        CDC dc(image);
        PaintDibToDc(dc, CRect(0, 0, 2, 1), *dib, CRect(1, 1, 3, 2), nullptr, false);
        PaintDibToDc(dc, CRect(0, 2, 4, 4), *dib, CRect(1, 1, 3, 2), nullptr, false);
        PaintDibToDc(dc, CRect(5, 0, 8, 1), *dib, CRect(0, 0, 3, 1), nullptr, false);
        PaintDibToDc(dc, CRect(5, 2, 11, 4), *dib, CRect(0, 0, 3, 1), nullptr, false);
    }
    EXPECT_EQ(PixelArt(image), Rows({"rg...rgb..", "..........", "rrgg.rrggb", "rrgg.rrggb"}));
}

TEST(PackedDib, TheMaskFlagAndsThePictureOverTheTarget)
{
    HDIB dib = BlockOf(FourByTwo());
    for (const CRect& dest : {CRect(0, 0, 4, 2), CRect(0, 0, 8, 2)}) {
        QImage image = MakeImage(8, 2, kYellow);
        CDC dc(image);
        EXPECT_GT(PaintDibToDc(dc, dest, *dib, CRect(0, 0, 4, 2), nullptr, true), 0);
        // White leaves yellow, black blacks out, red and green keep what yellow has of them.
        const int scale = dest.Width() / 4;
        EXPECT_EQ(At(image, 3 * scale, 0), kYellow);
        EXPECT_EQ(At(image, 0, 1), kBlack);
        EXPECT_EQ(At(image, 0, 0), kRed);
        EXPECT_EQ(At(image, 2 * scale, 0), kBlack) << "blue AND yellow";
    }
}

TEST(PackedDib, BlocksTheContextCannotDrawPaintNothing)
{
    QImage image = MakeImage(8, 2);
    CDC dc(image);
    EXPECT_EQ(PaintDibToDc(dc, CRect(0, 0, 4, 2), *BlockOf(FourByTwo(16)), CRect(0, 0, 4, 2), nullptr, false), 0);
    EXPECT_EQ(PaintDibToDc(dc, CRect(0, 0, 4, 2), *BlockOf(FourByTwo().substr(0, 60)), CRect(0, 0, 4, 2), nullptr,
                           false),
              0)
        << "rows cut off";
    InfoHeaderFields rle;
    rle.width = 4;
    rle.height = 2;
    rle.compression = BI_RLE8;
    rle.sizeImage = 4;
    EXPECT_EQ(PaintDibToDc(dc, CRect(0, 0, 4, 2), *BlockOf(InfoHeader(rle) + std::string(1028, '\0')),
                           CRect(0, 0, 4, 2), nullptr, false),
              0);
    EXPECT_EQ(PaintDibToDc(dc, CRect(0, 0, 4, 2), *BlockOf(std::string(8, '\0')), CRect(0, 0, 4, 2), nullptr, false),
              0)
        << "shorter than any header";
    EXPECT_EQ(PixelArt(image), Rows({"........", "........"}));
}

TEST(PackedDib, FilesAreReadAsTheirHeadersSayOrRefused)
{
    const std::string dib = FourByTwo();
    const std::string rows = dib.substr(60);
    // A gap between the colour table and the pixels, as the file header says.
    const std::string gapped = WithFileHeader(dib.substr(0, 60) + "GAPGAP" + rows, 14 + 66);
    InfoHeaderFields v5;
    v5.size = 124;
    v5.width = 4;
    v5.height = 2;
    v5.clrUsed = 5;
    const std::string longHeader =
        WithFileHeader(InfoHeader(v5) + std::string(84, '\x7F') + dib.substr(40, 20) + rows, 14 + 124 + 20);

    const struct {
        const char* what;
        std::string file;
        bool read;
    } cases[] = {
        {"plain", WithFileHeader(dib, 14 + 60), true},
        {"pixel offset honoured", gapped, true},
        {"no pixel offset", WithFileHeader(dib, 0), true},
        {"longer header kept as its first 40 bytes", longHeader, true},
        {"shorter than the file header", std::string("BM\0\0\0\0", 6), false},
        {"not BM", "MB" + WithFileHeader(dib, 74).substr(2), false},
        {"pixel offset inside the colour table", WithFileHeader(dib, 14 + 50), false},
        {"pixel offset past the end", WithFileHeader(dib, 14 + 61), false},
        {"rows cut short", WithFileHeader(dib.substr(0, dib.size() - 1), 74), false},
        {"header cut short", WithFileHeader(dib.substr(0, 30), 0), false},
        {"header of 20 bytes", WithFileHeader(CByteWriter().U32(20).Str() + dib.substr(4), 74), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HDIB read = Read(c.file);
        ASSERT_EQ(read != nullptr, c.read);
        if (!read)
            continue;
        EXPECT_EQ(read->Size(), 40 + 20 + 8u);
        const BITMAPINFOHEADER h = HeaderOf(*read);
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 4);
        QImage image = MakeImage(4, 2, kGrey);
        CDC dc(image);
        PaintDibToDc(dc, CRect(0, 0, 4, 2), *read, CRect(0, 0, 4, 2), nullptr, false);
        EXPECT_EQ(PixelArt(image, kGrey), Rows({"rgbw", "#rgb"}));
    }

    // A header that lies about its size asks for nothing it cannot have.
    InfoHeaderFields huge;
    huge.width = 0x7FFFFFFF;
    huge.height = 0x7FFFFFFF;
    huge.bits = 24;
    EXPECT_EQ(Read(WithFileHeader(InfoHeader(huge) + "abc", 54)), nullptr);
    huge.width = -4;
    huge.height = 2;
    EXPECT_EQ(Read(WithFileHeader(InfoHeader(huge) + std::string(24, '\0'), 54)), nullptr);

    // The older header, and rows stored from the top.
    CByteWriter core;
    core.U32(12).U16(2).U16(1).U16(1).U16(1).Bytes({0, 0, 255, 255, 255, 255}).Bytes({0x40, 0, 0, 0});
    HDIB read = Read(WithFileHeader(core.Str(), 0));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(GetDibWidth(read->Data()), 2);
    InfoHeaderFields topDown;
    topDown.width = 4;
    topDown.height = -2;
    topDown.clrUsed = 5;
    read = Read(WithFileHeader(InfoHeader(topDown) + dib.substr(40, 20) + rows, 74));
    ASSERT_NE(read, nullptr);
    QImage image = MakeImage(4, 2, kGrey);
    CDC dc(image);
    PaintDibToDc(dc, CRect(0, 0, 4, 2), *read, CRect(0, 0, 4, 2), nullptr, false);
    EXPECT_EQ(PixelArt(image, kGrey), Rows({"#rgb", "rgbw"})) << "the stored rows, top first";
}
