#include "platform/DC.h"
#include "platform/Path.h"
#include "tests/platform/ImageProbe.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Pixels of a w x h block of the image, rows top first.
std::vector<COLORREF> Block(const QImage& image, int left, int top, int w, int h)
{
    std::vector<COLORREF> out;
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x)
            out.push_back(At(image, x, y));
    return out;
}

// The test picture: 4 x 4 palette indexes, top row first, and its colours.
constexpr int kPicture[4][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9, 10, 11}, {12, 13, 14, 15}};

constexpr COLORREF PaletteColour(int i)
{
    return RGB(i * 16, i * 8, 255 - i * 16);
}

// A packed DIB of the picture: 1-bit pictures keep the low bit of each
// index, the others the index; 24-bit ones store the colours.
std::vector<std::uint8_t> PackedDib(int bits, bool topDown, int width = 4, int height = 4)
{
    const int colours = bits == 24 ? 0 : (bits == 8 ? 16 : 1 << bits);
    BITMAPINFOHEADER h;
    h.biWidth = width;
    h.biHeight = topDown ? -height : height;
    h.biBitCount = static_cast<std::uint16_t>(bits);
    h.biClrUsed = bits == 8 ? 16 : 0; // a short table
    const std::size_t stride = ((width * bits + 31) / 32) * 4;
    std::vector<std::uint8_t> dib(sizeof h + 4 * colours + stride * height, 0);
    std::memcpy(dib.data(), &h, sizeof h);
    for (int i = 0; i < colours; ++i) {
        const COLORREF c = PaletteColour(i);
        std::uint8_t* e = dib.data() + sizeof h + 4 * i;
        e[0] = static_cast<std::uint8_t>(GetBValue(c));
        e[1] = static_cast<std::uint8_t>(GetGValue(c));
        e[2] = static_cast<std::uint8_t>(GetRValue(c));
    }
    std::uint8_t* pixels = dib.data() + sizeof h + 4 * colours;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const int index = kPicture[y % 4][x % 4] & ((1 << std::min(bits, 8)) - 1);
            switch (bits) {
            case 1: row[x / 8] |= static_cast<std::uint8_t>(index << (7 - x % 8)); break;
            case 4: row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4); break;
            case 8: row[x] = static_cast<std::uint8_t>(index); break;
            default: {
                const COLORREF c = PaletteColour(index);
                row[3 * x] = static_cast<std::uint8_t>(GetBValue(c));
                row[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(c));
                row[3 * x + 2] = static_cast<std::uint8_t>(GetRValue(c));
            }
            }
        }
    }
    return dib;
}

DibData Packed(const std::vector<std::uint8_t>& dib)
{
    return DibData::Packed(dib.data(), dib.size());
}

// A memory context with a bitmap of its own, filled with one colour.
struct MemoryPicture {
    MemoryPicture(int width, int height, COLORREF fill)
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateBitmap(width, height);
        dc.SelectObject(bitmap);
        dc.FillSolidRect(0, 0, width, height, fill);
    }
    CDC dc;
    CBitmap bitmap;
};

} // namespace

TEST(DCBlit, DibStretchesEqualReferenceArrays)
{
    const COLORREF p0 = PaletteColour(0), p1 = PaletteColour(1), p4 = PaletteColour(4), p5 = PaletteColour(5);
    // 2x of the top-left 2 x 2: every source pixel becomes a 2 x 2 block in both modes.
    const std::vector<COLORREF> doubled = {p0, p0, p1, p1, p0, p0, p1, p1, p4, p4, p5, p5, p4, p4, p5, p5};
    const std::vector<COLORREF> doubledOneBit = {p0, p0, p1, p1, p0, p0, p1, p1, p0, p0, p1, p1, p0, p0, p1, p1};
    // 0.5x of the whole picture: the pixel under each centre, or the mean of each 2 x 2 block.
    const std::vector<COLORREF> nearest = {p5, PaletteColour(7), PaletteColour(13), PaletteColour(15)};
    const std::vector<COLORREF> mean = {RGB(40, 20, 215), RGB(72, 36, 183), RGB(168, 84, 87), RGB(200, 100, 55)};
    const std::vector<COLORREF> nearestOneBit(4, p1);
    const std::vector<COLORREF> meanOneBit(4, RGB(8, 4, 247));

    for (int bits : {1, 4, 8, 24})
        for (bool topDown : {false, true})
            for (int mode : {COLORONCOLOR, HALFTONE}) {
                SCOPED_TRACE(std::to_string(bits) + " bits, " + (topDown ? "top-down, " : "bottom-up, ") +
                             (mode == HALFTONE ? "HALFTONE" : "COLORONCOLOR"));
                const std::vector<std::uint8_t> dib = PackedDib(bits, topDown);
                QImage image = MakeImage(12, 12, kWhite);
                CDC dc(image);
                dc.SetStretchBltMode(mode);
                // The top-left quarter is stored rows 2 and 3 of a bottom-up DIB.
                EXPECT_EQ(dc.StretchDIBits(1, 1, 4, 4, 0, topDown ? 0 : 2, 2, 2, Packed(dib), DIB_RGB_COLORS, SRCCOPY), 2);
                EXPECT_EQ(Block(image, 1, 1, 4, 4), bits == 1 ? doubledOneBit : doubled);
                EXPECT_EQ(dc.StretchDIBits(6, 6, 2, 2, 0, 0, 4, 4, Packed(dib), DIB_RGB_COLORS, SRCCOPY), 4);
                if (mode == HALFTONE)
                    EXPECT_EQ(Block(image, 6, 6, 2, 2), bits == 1 ? meanOneBit : mean);
                else
                    EXPECT_EQ(Block(image, 6, 6, 2, 2), bits == 1 ? nearestOneBit : nearest);
                // Nothing beyond the destination changes.
                EXPECT_EQ(At(image, 0, 0), kWhite);
                EXPECT_EQ(At(image, 5, 5), kWhite);
                EXPECT_EQ(At(image, 8, 8), kWhite);
            }
}

TEST(DCBlit, MirroringSourceBandsAndTheOlderHeader)
{
    const std::vector<std::uint8_t> dib = PackedDib(8, false);
    QImage image = MakeImage(8, 8, kWhite);
    CDC dc(image);
    dc.SetStretchBltMode(COLORONCOLOR);
    // A negative destination width mirrors the picture's top row.
    dc.StretchDIBits(4, 0, -4, 1, 0, 3, 4, 1, Packed(dib), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(Block(image, 0, 0, 4, 1),
              (std::vector<COLORREF>{PaletteColour(3), PaletteColour(2), PaletteColour(1), PaletteColour(0)}));

    // Same size: one device pixel per DIB pixel; the source y counts stored rows.
    EXPECT_EQ(dc.SetDIBitsToDevice(4, 4, 2, 2, 1, 0, 0, 4, Packed(dib), DIB_RGB_COLORS), 4);
    EXPECT_EQ(Block(image, 4, 4, 2, 2),
              (std::vector<COLORREF>{PaletteColour(9), PaletteColour(10), PaletteColour(13), PaletteColour(14)}));

    // A band of stored rows 1 and 2 (picture rows 2 and 1) alone: only they are drawn.
    const std::size_t header = sizeof(BITMAPINFOHEADER) + 16 * 4;
    const std::size_t stride = 4;
    const DibData full = Packed(dib);
    const DibData band{full.info, header, dib.data() + header + stride, 2 * stride};
    QImage banded = MakeImage(4, 4, kWhite);
    CDC bandDc(banded);
    EXPECT_EQ(bandDc.SetDIBitsToDevice(0, 0, 4, 4, 0, 0, 1, 2, band, DIB_RGB_COLORS), 2);
    EXPECT_EQ(At(banded, 0, 0), kWhite);
    EXPECT_EQ(At(banded, 0, 1), PaletteColour(4));
    EXPECT_EQ(At(banded, 3, 2), PaletteColour(11));
    EXPECT_EQ(At(banded, 0, 3), kWhite);

    // The 12-byte header with 3-byte colour entries.
    std::vector<std::uint8_t> core(12 + 2 * 3 + 4, 0);
    const BITMAPCOREHEADER ch{12, 2, 1, 1, 1};
    std::memcpy(core.data(), &ch, sizeof ch);
    const std::uint8_t table[] = {0, 0, 255, 0, 255, 0}; // red, green (blue, green, red)
    std::memcpy(core.data() + 12, table, sizeof table);
    core[18] = 0x40; // pixels 0 and 1: indexes 0 and 1
    QImage small = MakeImage(2, 1, kWhite);
    CDC smallDc(small);
    EXPECT_EQ(smallDc.SetDIBitsToDevice(0, 0, 2, 1, 0, 0, 0, 1, DibData::Packed(core.data(), core.size()), DIB_RGB_COLORS), 1);
    EXPECT_EQ(At(small, 0, 0), kRed);
    EXPECT_EQ(At(small, 1, 0), kGreen);
}

TEST(DCBlit, BadDibsDrawNothing)
{
    const std::vector<std::uint8_t> good = PackedDib(8, false);
    auto withHeader = [&](auto change) {
        std::vector<std::uint8_t> dib = good;
        BITMAPINFOHEADER h;
        std::memcpy(&h, dib.data(), sizeof h);
        change(h);
        std::memcpy(dib.data(), &h, sizeof h);
        return dib;
    };
    const struct {
        const char* name;
        std::vector<std::uint8_t> dib;
    } cases[] = {
        {"rows cut short", std::vector<std::uint8_t>(good.begin(), good.end() - 1)},
        {"colour table cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + 40 + 20)},
        {"height far beyond the rows", withHeader([](BITMAPINFOHEADER& h) { h.biHeight = 0x7FFFFFFF; })},
        {"width far beyond the rows", withHeader([](BITMAPINFOHEADER& h) { h.biWidth = 0x40000000; })},
        {"smallest height", withHeader([](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; })},
        {"no width", withHeader([](BITMAPINFOHEADER& h) { h.biWidth = 0; })},
        {"compressed", withHeader([](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; })},
        {"16 bits", withHeader([](BITMAPINFOHEADER& h) { h.biBitCount = 16; })},
        {"colour count beyond the block", withHeader([](BITMAPINFOHEADER& h) { h.biClrUsed = 0xFFFFFFFF; })},
        {"header size beyond the block", withHeader([](BITMAPINFOHEADER& h) { h.biSize = 0x10000; })},
        {"unknown header size", withHeader([](BITMAPINFOHEADER& h) { h.biSize = 20; })},
        {"three bytes", std::vector<std::uint8_t>(3, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = MakeImage(4, 4, kWhite);
        CDC dc(image);
        EXPECT_EQ(dc.StretchDIBits(0, 0, 4, 4, 0, 0, 4, 4, Packed(c.dib), DIB_RGB_COLORS, SRCCOPY), 0);
        EXPECT_EQ(At(image, 1, 1), kWhite);
    }
    QImage image = MakeImage(4, 4, kWhite);
    CDC dc(image);
    // A band needs only its own rows, but all of them.
    const DibData full = Packed(good);
    EXPECT_EQ(dc.SetDIBitsToDevice(0, 0, 4, 4, 0, 0, 0, 4, DibData{full.info, full.infoSize, full.bits, 12},
                                   DIB_RGB_COLORS),
              0);
    EXPECT_EQ(dc.SetDIBitsToDevice(0, 0, 4, 4, 0, 0, 4, 1, full, DIB_RGB_COLORS), 0);
    EXPECT_EQ(At(image, 1, 1), kWhite);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 4, 4, 0, 0, 4, 4, Packed(good), DIB_PAL_COLORS, SRCCOPY), 0);
    EXPECT_EQ(dc.StretchDIBits(0, 0, 4, 4, 0, 0, 4, 4, DibData{}, DIB_RGB_COLORS, SRCCOPY), 0);
    // A source rectangle beyond the picture draws only the part inside it.
    EXPECT_EQ(dc.StretchDIBits(0, 0, 4, 4, 2, 0, 4, 4, Packed(good), DIB_RGB_COLORS, SRCCOPY), 4);
    EXPECT_EQ(At(image, 0, 0), PaletteColour(2));
    EXPECT_EQ(At(image, 2, 0), kWhite);
    // Absurd extents end quickly and draw only what can be seen.
    EXPECT_EQ(dc.StretchDIBits(0, 0, 4, 4, -2000000000, -2000000000, 2000000000, 2000000000, Packed(good),
                               DIB_RGB_COLORS, SRCCOPY),
              0);
    EXPECT_EQ(dc.StretchDIBits(-1, 0, 2000000000, 2000000000, 0, 0, 4, 4, Packed(good), DIB_RGB_COLORS, SRCCOPY), 4);
    EXPECT_EQ(At(image, 3, 3), PaletteColour(0));
}

TEST(DCBlit, RectanglesFarApartStayInRange)
{
    // Corners 2^31 device pixels apart, and a mirrored source of 2^31 columns.
    const std::vector<std::uint8_t> dib = PackedDib(8, false);
    for (int mode : {COLORONCOLOR, HALFTONE, BLACKONWHITE}) {
        SCOPED_TRACE(mode);
        QImage image = MakeImage(8, 8, kWhite);
        CDC dc(image);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetViewportExt(4, 4);
        dc.SetStretchBltMode(mode);
        EXPECT_EQ(dc.StretchDIBits(-500000000, -500000000, 1000000000, 1000000000, 0, 0, 4, 4, Packed(dib),
                                   DIB_RGB_COLORS, SRCCOPY),
                  4);
        EXPECT_EQ(At(image, 0, 0), PaletteColour(10));
        EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, INT_MAX, 0, INT_MIN, 4, Packed(dib), DIB_RGB_COLORS, SRCCOPY), 4);
        EXPECT_TRUE(dc.StretchBlt(0, 0, 2, 2, &dc, INT_MAX, INT_MAX, INT_MIN, INT_MIN, SRCCOPY));
    }
}

TEST(DCBlit, RasterOperationsCombineBitwise)
{
    const COLORREF dest = RGB(0x5A, 0xC3, 0x0F);
    const COLORREF source = RGB(0x33, 0x99, 0xF0);
    const COLORREF brush = RGB(0x0F, 0xF0, 0x3C);
    auto bitwise = [](COLORREF a) { return a & 0xFFFFFF; };
    const struct {
        const char* name;
        std::uint32_t rop;
        COLORREF expected;
    } cases[] = {
        {"SRCCOPY", SRCCOPY, source},
        {"SRCAND", SRCAND, source & dest},
        {"SRCPAINT", SRCPAINT, source | dest},
        {"SRCINVERT", SRCINVERT, source ^ dest},
        {"SRCERASE", SRCERASE, bitwise(source & ~dest)},
        {"NOTSRCCOPY", NOTSRCCOPY, bitwise(~source)},
        {"MERGEPAINT", MERGEPAINT, bitwise(~source | dest)},
        {"MERGECOPY", MERGECOPY, source & brush},
        {"PATINVERT", PATINVERT, brush ^ dest},
        {"DSTINVERT", DSTINVERT, bitwise(~dest)},
        {"BLACKNESS", BLACKNESS, kBlack},
        {"WHITENESS", WHITENESS, kWhite},
    };
    MemoryPicture memory(4, 4, source);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (auto format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
            QImage image(6, 6, format);
            image.fill(QColor(GetRValue(dest), GetGValue(dest), GetBValue(dest)));
            CDC dc(image);
            dc.SelectObject(CBrush(brush));
            EXPECT_TRUE(dc.BitBlt(1, 1, 4, 4, &memory.dc, 0, 0, c.rop));
            EXPECT_EQ(At(image, 2, 3), c.expected);
            EXPECT_EQ(At(image, 5, 5), dest);
        }
    }
    // DIBs combine the same way.
    const std::vector<std::uint8_t> dib = PackedDib(24, false);
    QImage image = MakeImage(4, 4, dest);
    CDC dc(image);
    dc.StretchDIBits(0, 0, 4, 4, 0, 0, 4, 4, Packed(dib), DIB_RGB_COLORS, SRCINVERT);
    EXPECT_EQ(At(image, 1, 2), PaletteColour(9) ^ dest);
    dc.StretchDIBits(0, 0, 4, 4, 0, 0, 4, 4, Packed(dib), DIB_RGB_COLORS, SRCINVERT);
    EXPECT_EQ(At(image, 1, 2), dest);
}

TEST(DCBlit, TransparentBlitsLeaveTheTargetUnderTheKey)
{
    for (int bits : {4, 8, 24}) {
        SCOPED_TRACE(bits);
        const std::vector<std::uint8_t> dib = PackedDib(bits, false);
        QImage image = MakeImage(8, 8, kGreen);
        CDC dc(image);
        // Index 5, or its colour, is left out; stretched 2x.
        EXPECT_TRUE(dc.TransparentDIBits(0, 0, 8, 8, 0, 0, 4, 4, Packed(dib), bits == 24 ? -1 : 5, PaletteColour(5)));
        EXPECT_EQ(At(image, 2, 2), kGreen);
        EXPECT_EQ(At(image, 3, 3), kGreen);
        EXPECT_EQ(At(image, 0, 0), PaletteColour(0));
        EXPECT_EQ(At(image, 4, 2), PaletteColour(6));
    }
    // By colour, from a memory context.
    MemoryPicture memory(4, 4, kWhite);
    memory.dc.FillSolidRect(1, 1, 2, 2, kRed);
    QImage image = MakeImage(4, 4, kGreen);
    CDC dc(image);
    EXPECT_TRUE(dc.TransparentBlt(0, 0, 4, 4, &memory.dc, 0, 0, 4, 4, kWhite));
    EXPECT_EQ(At(image, 0, 0), kGreen);
    EXPECT_EQ(At(image, 1, 1), kRed);
    EXPECT_EQ(At(image, 3, 2), kGreen);
}

TEST(DCBlit, MemoryContextsAndBitmaps)
{
    CDC screen;
    CDC::DeviceInfo printer;
    printer.dpiX = printer.dpiY = 300;
    printer.technology = DT_RASPRINTER;
    screen.SetDeviceInfo(printer);
    CDC memory;
    EXPECT_TRUE(memory.CreateCompatibleDC(&screen));
    EXPECT_TRUE(memory.IsMemoryDC());
    CBitmap bitmap;
    EXPECT_FALSE(bitmap.CreateCompatibleBitmap(&memory, 0, 10));
    EXPECT_FALSE(bitmap.CreateCompatibleBitmap(&memory, 40000, 10));
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&memory, 20, 10));
    EXPECT_EQ(bitmap.GetSize(), CSize(20, 10));
    EXPECT_EQ(bitmap.GetRow(0)[0] & 0xFFFFFF, 0u); // black
    EXPECT_EQ(bitmap.GetRow(10), nullptr);

    // Nothing is drawn before a bitmap is selected.
    EXPECT_FALSE(memory.BitBlt(0, 0, 1, 1, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(memory.SelectObject(bitmap).GetSafeHandle(), nullptr);
    EXPECT_TRUE(memory.GetCurrentBitmap() == bitmap);
    EXPECT_EQ(memory.GetDeviceCaps(HORZRES), 20);
    EXPECT_EQ(memory.GetDeviceCaps(LOGPIXELSX), 300);
    EXPECT_EQ(memory.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    memory.FillSolidRect(0, 0, 10, 10, kRed);
    EXPECT_EQ(bitmap.GetRow(5)[5] & 0xFFFFFF, 0xFF0000u);

    // A bitmap is drawn into by one context at a time; other contexts take none.
    CDC other;
    other.CreateCompatibleDC(nullptr);
    EXPECT_EQ(other.SelectObject(bitmap).GetSafeHandle(), nullptr);
    EXPECT_EQ(other.GetCurrentBitmap().GetSafeHandle(), nullptr);
    QImage image = MakeImage(30, 30, kWhite);
    CDC imageDc(image);
    EXPECT_EQ(imageDc.SelectObject(bitmap).GetSafeHandle(), nullptr);

    // Copying within one bitmap reads the source as it was.
    memory.FillSolidRect(0, 0, 20, 10, kWhite);
    for (int x = 0; x < 10; ++x)
        memory.SetPixel(x, 0, RGB(x * 20, 0, 0));
    EXPECT_TRUE(memory.BitBlt(2, 0, 10, 1, &memory, 0, 0, SRCCOPY));
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(memory.GetPixel(x + 2, 0), RGB(x * 20, 0, 0)) << x;

    CBitmap second;
    second.CreateBitmap(5, 5);
    EXPECT_TRUE(memory.SelectObject(second) == bitmap);
    EXPECT_EQ(memory.GetDeviceCaps(HORZRES), 5);
    // The first bitmap is free again.
    EXPECT_TRUE(other.SelectObject(bitmap).GetSafeHandle() == nullptr);
    EXPECT_TRUE(other.GetCurrentBitmap() == bitmap);

    // Mapped contexts blit mapped rectangles: a bitmap of 4 x 4 pixels fills
    // a quarter-inch square at 96 dpi.
    imageDc.SetMapMode(MM_ANISOTROPIC);
    imageDc.SetWindowExt(1000, 1000);
    imageDc.SetViewportExt(96, 96);
    MemoryPicture four(4, 4, kGreen);
    EXPECT_TRUE(imageDc.StretchBlt(0, 0, 250, 250, &four.dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(At(image, 23, 23), kGreen);
    EXPECT_EQ(At(image, 24, 24), kWhite);
    // A context that cannot be read is no source.
    CDC empty;
    EXPECT_FALSE(imageDc.BitBlt(0, 0, 10, 10, &empty, 0, 0, SRCCOPY));
}

TEST(DCBlit, PatternBlitsAndIcons)
{
    QImage image = MakeImage(16, 16, kWhite);
    CDC dc(image);
    dc.SelectObject(CBrush(HS_CROSS, kRed));
    dc.SetBkColor(kGreen);
    EXPECT_TRUE(dc.PatBlt(0, 0, 8, 8, PATCOPY));
    EXPECT_FALSE(dc.PatBlt(0, 0, 8, 8, SRCCOPY));
    EXPECT_EQ(At(image, 7, 0), kRed);  // the vertical line of the cross
    EXPECT_EQ(At(image, 3, 7), kRed);  // its horizontal line
    EXPECT_EQ(At(image, 3, 3), kGreen); // a gap: the background colour
    EXPECT_EQ(At(image, 9, 9), kWhite);

    // Icons blend by their alpha.
    const std::uint32_t pixels[] = {0xFFFF0000u, 0x00000000u, 0x800000FFu, 0xFF00FF00u};
    CIcon icon;
    ASSERT_TRUE(icon.CreateFromPixels(2, 2, pixels));
    EXPECT_FALSE(CIcon().CreateFromPixels(0, 2, pixels));
    EXPECT_TRUE(dc.DrawIconEx(10, 10, icon, 0, 0));
    EXPECT_EQ(At(image, 10, 10), kRed);
    EXPECT_EQ(At(image, 11, 10), kWhite);
    const COLORREF half = At(image, 10, 11);
    EXPECT_NEAR(GetRValue(half), 127, 2);
    EXPECT_EQ(GetBValue(half), 255);
    EXPECT_EQ(At(image, 11, 11), kGreen);
    // Stretched to 4 x 4.
    EXPECT_TRUE(dc.DrawIconEx(10, 12, icon, 4, 4));
    EXPECT_EQ(At(image, 10, 12), kRed);
    EXPECT_EQ(At(image, 13, 15), kGreen);
    EXPECT_FALSE(dc.DrawIconEx(0, 0, CIcon(), 0, 0));
    CIcon missing;
    EXPECT_FALSE(missing.LoadFile("/nonexistent/icon.ico"));

    // An icon file keeps its alpha.
    CTempDir dir;
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(3, 4, qRgba(0, 0, 255, 255));
    ASSERT_TRUE(picture.save(QString::fromStdString(ResolvePath(dir.File("42.ico"))), "ICO"));
    WriteWholeFile(dir.File("bad.ico"), std::string("\0\0\1\0\xFF\xFF", 6));
    EXPECT_FALSE(missing.LoadFile(dir.File("bad.ico")));
    CIcon loaded;
    ASSERT_TRUE(loaded.LoadFile(dir.File("42.ico")));
    EXPECT_EQ(loaded.GetSize(), CSize(16, 16));
    QImage target = MakeImage(16, 16, kRed);
    CDC targetDc(target);
    targetDc.DrawIconEx(0, 0, loaded, 0, 0);
    EXPECT_EQ(At(target, 3, 4), RGB(0, 0, 255));
    EXPECT_EQ(At(target, 5, 5), kRed);
}

TEST(DCBlit, DevicesWithoutDirectPixelsWorkAgainstWhitePaper)
{
    QImage device(8, 4, QImage::Format_ARGB4444_Premultiplied);
    device.fill(QColor(0, 0, 255));
    {
        CDC dc(device);
        // A 2 x 1 picture: white and red.
        std::vector<std::uint8_t> dib(40 + 8, 0);
        BITMAPINFOHEADER h;
        h.biWidth = 2;
        h.biHeight = 1;
        h.biBitCount = 24;
        std::memcpy(dib.data(), &h, sizeof h);
        const std::uint8_t row[] = {255, 255, 255, 0, 0, 255};
        std::memcpy(dib.data() + 40, row, sizeof row);
        const DibData data = DibData::Packed(dib.data(), dib.size());
        EXPECT_EQ(dc.StretchDIBits(0, 0, 4, 2, 0, 0, 2, 1, data, DIB_RGB_COLORS, SRCCOPY), 1);
        // AND leaves out the white pixels and copies the others.
        EXPECT_EQ(dc.StretchDIBits(4, 0, 4, 2, 0, 0, 2, 1, data, DIB_RGB_COLORS, SRCAND), 1);
    }
    const QImage rgb = device.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(At(rgb, 0, 0), kWhite);
    EXPECT_EQ(At(rgb, 3, 1), kRed);
    EXPECT_EQ(At(rgb, 4, 0), RGB(0, 0, 255));
    EXPECT_EQ(At(rgb, 7, 1), kRed);
    EXPECT_EQ(At(rgb, 0, 3), RGB(0, 0, 255));
}
