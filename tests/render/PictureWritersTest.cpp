#include "platform/ByteOrder.h"
#include "platform/Path.h"
#include "render/DibImage.h"
#include "tests/render/ExportFixtures.h"
#include "tests/render/PictureFixtures.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <png.h>
#include <tiffio.h>
#include <zlib.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>

#include <jpeglib.h>
#include <sys/resource.h>

namespace {

std::uint32_t PixelOf(const CDibImage& image, int x, int y)
{
    return image.GetBitmap()->GetRow(y)[x] & 0xFFFFFF;
}

// The picture's rows top first, as the files carry them: red, green, blue
// for 24 bits, else the indexes.
std::vector<std::string> TopDownRows(const CDibImage& image, bool rgb)
{
    const int width = image.GetHeader().biWidth, height = image.GetHeader().biHeight;
    const int bytes = image.GetHeader().biBitCount == 24 ? 3 * width : width;
    std::vector<std::string> rows;
    std::vector<std::uint8_t> row(image.GetStride());
    for (int y = 0; y < height; ++y) {
        image.CopyStoredRow(height - 1 - y, row.data());
        if (rgb)
            for (int x = 0; x < width; ++x)
                std::swap(row[3 * std::size_t(x)], row[3 * std::size_t(x) + 2]);
        rows.emplace_back(reinterpret_cast<const char*>(row.data()), std::size_t(bytes));
    }
    return rows;
}

std::vector<std::string> FileNames(const CTempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(ResolvePath(dir.Path())))
        names.push_back(entry.path().filename().string());
    return names;
}

// A 5 x 3 picture of 12 colours, red 20 k for colour k = (x + 5 y) % 12:
// the quantiser lists them by red.
void TwelveColours(CDibImage& image)
{
    ASSERT_NE(image.Create(5, 3), nullptr);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            SetExportPixel(image, x, y, RGB(20 * ((x + 5 * y) % 12), 0, 0));
}

// ---------------------------------------------------------------- BMP

CByteWriter& InfoHeader(CByteWriter& w, int width, int height, int bits, std::uint32_t sizeImage, int pelsPerMeter,
                        std::uint32_t colours)
{
    w.U32(40).U32(static_cast<std::uint32_t>(width)).U32(static_cast<std::uint32_t>(height)).U16(1).U16(bits);
    w.U32(0).U32(sizeImage).U32(static_cast<std::uint32_t>(pelsPerMeter)).U32(static_cast<std::uint32_t>(pelsPerMeter));
    return w.U32(colours).U32(colours);
}

TEST(PictureWriters, BmpOfTwentyFourBitsAsBuiltByHand)
{
    CTempDir dir;
    CDibImage image;
    ASSERT_NE(image.Create(3, 2), nullptr);
    image.SetResolution(300, 300);
    const COLORREF c[2][3] = {{RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}, {RGB(10, 11, 12), RGB(13, 14, 15), RGB(16, 17, 18)}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            SetExportPixel(image, x, y, c[y][x]);
    ASSERT_EQ(image.SaveBmp(dir.File("a.bmp")), 1);

    // 14 + 40 bytes of headers, no colour table, rows of 9 bytes padded to
    // 12, the bottom row first; 300 dpi is 11811 pixels a metre.
    CByteWriter w;
    w.U16(0x4D42).U32(78).U16(0).U16(0).U32(54);
    InfoHeader(w, 3, 2, 24, 0, 11811, 0);
    for (const int y : {1, 0}) {
        for (int x = 0; x < 3; ++x)
            w.U8(GetBValue(c[y][x])).U8(GetGValue(c[y][x])).U8(GetRValue(c[y][x]));
        w.Zeros(3);
    }
    EXPECT_EQ(ReadWholeFile(dir.File("a.bmp")), w.Str());
}

TEST(PictureWriters, ReducedBmpWithAFullPaletteStartsItsPixelsAt1078)
{
    CTempDir dir;
    CDibImage image;
    ASSERT_NE(image.Create(16, 16), nullptr);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            SetExportPixel(image, x, y, RGB(16 * y + x, 0, 0));
    ASSERT_EQ(image.ReduceTo8Bit(), 1);
    ASSERT_EQ(image.SaveBmp(dir.File("a.bmp")), 1);

    CByteWriter w;
    w.U16(0x4D42).U32(1078 + 256).U16(0).U16(0).U32(1078);
    InfoHeader(w, 16, 16, 8, 256, 3780, 256);
    for (int i = 0; i < 256; ++i)
        w.U8(0).U8(0).U8(static_cast<unsigned>(i)).U8(0);
    for (int row = 0; row < 16; ++row)
        for (int x = 0; x < 16; ++x)
            w.U8(static_cast<unsigned>(16 * (15 - row) + x));
    EXPECT_EQ(ReadWholeFile(dir.File("a.bmp")), w.Str());
}

TEST(PictureWriters, ReducedBmpWithTwelveColoursStartsItsPixelsAt102)
{
    CTempDir dir;
    CDibImage image;
    TwelveColours(image);
    ASSERT_EQ(image.ReduceTo8Bit(), 1);
    ASSERT_EQ(image.SaveBmp(dir.File("a.bmp")), 1);

    // 14 + 40 + 12 * 4 = 102; rows of 5 indexes padded to 8.
    CByteWriter w;
    w.U16(0x4D42).U32(102 + 24).U16(0).U16(0).U32(102);
    InfoHeader(w, 5, 3, 8, 24, 3780, 12);
    for (int k = 0; k < 12; ++k)
        w.U8(0).U8(0).U8(static_cast<unsigned>(20 * k)).U8(0);
    for (int row = 0; row < 3; ++row) {
        for (int x = 0; x < 5; ++x)
            w.U8(static_cast<unsigned>((x + 5 * (2 - row)) % 12));
        w.Zeros(3);
    }
    EXPECT_EQ(ReadWholeFile(dir.File("a.bmp")), w.Str());
}

// ---------------------------------------------------------------- PNG

struct PngChunk {
    std::string type;
    std::string data;
};

std::vector<PngChunk> PngChunks(const std::string& file)
{
    std::vector<PngChunk> chunks;
    if (file.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
        ADD_FAILURE() << "no PNG signature";
        return chunks;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = GetBigEndian<std::uint32_t>(bytes + at);
        PngChunk chunk{file.substr(at + 4, 4), file.substr(at + 8, length)};
        const std::uint32_t crc = GetBigEndian<std::uint32_t>(bytes + at + 8 + length);
        EXPECT_EQ(crc, crc32(0, bytes + at + 4, 4 + length)) << chunk.type;
        chunks.push_back(std::move(chunk));
        at += 12 + length;
    }
    return chunks;
}

std::string Inflate(const std::string& data)
{
    z_stream z{};
    inflateInit(&z);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buffer[4096];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
    }
    EXPECT_EQ(status, Z_STREAM_END);
    inflateEnd(&z);
    return out;
}

// Rows of a filtered PNG image back as they were (filter types 0 to 4).
std::vector<std::string> Unfilter(const std::string& raw, int height, std::size_t rowBytes, std::size_t pixelBytes)
{
    std::vector<std::string> rows;
    std::string previous(rowBytes, '\0');
    for (int y = 0; y < height; ++y) {
        const std::size_t at = std::size_t(y) * (rowBytes + 1);
        const int filter = static_cast<unsigned char>(raw[at]);
        std::string row = raw.substr(at + 1, rowBytes);
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= pixelBytes ? static_cast<unsigned char>(row[i - pixelBytes]) : 0;
            const int b = static_cast<unsigned char>(previous[i]);
            const int c = i >= pixelBytes ? static_cast<unsigned char>(previous[i - pixelBytes]) : 0;
            int predicted = 0;
            switch (filter) {
            case 1: predicted = a; break;
            case 2: predicted = b; break;
            case 3: predicted = (a + b) / 2; break;
            case 4: {
                const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                break;
            }
            default: EXPECT_EQ(filter, 0);
            }
            row[i] = static_cast<char>(static_cast<unsigned char>(row[i]) + predicted);
        }
        rows.push_back(row);
        previous = row;
    }
    return rows;
}

std::string Ihdr(int width, int height, int depth, int colourType)
{
    unsigned char b[13] = {};
    PutBigEndian<std::uint32_t>(b, static_cast<std::uint32_t>(width));
    PutBigEndian<std::uint32_t>(b + 4, static_cast<std::uint32_t>(height));
    b[8] = static_cast<unsigned char>(depth);
    b[9] = static_cast<unsigned char>(colourType);
    return std::string(reinterpret_cast<char*>(b), sizeof b);
}

// The chunk types in order, with the IDAT data joined.
std::string ChunkTypes(const std::vector<PngChunk>& chunks, std::string* idat)
{
    std::string types;
    for (const PngChunk& c : chunks) {
        if (c.type == "IDAT") {
            *idat += c.data;
            if (types.size() >= 4 && types.compare(types.size() - 4, 4, "IDAT") == 0)
                continue;
        }
        types += c.type;
    }
    return types;
}

TEST(PictureWriters, PngOfTwentyFourBitsIsRgbWithoutAncillaryChunks)
{
    CTempDir dir;
    CDibImage image;
    ASSERT_NE(image.Create(61, 37), nullptr);
    DrawMapPicture(image, 5);
    ASSERT_EQ(image.SavePng(dir.File("a.png")), 1);

    const std::vector<PngChunk> chunks = PngChunks(ReadWholeFile(dir.File("a.png")));
    std::string idat;
    EXPECT_EQ(ChunkTypes(chunks, &idat), "IHDRIDATIEND");
    EXPECT_EQ(chunks.front().data, Ihdr(61, 37, 8, 2));
    // Compression level 6 is zlib's default level.
    ASSERT_GE(idat.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(idat[1]) >> 6, 2);
    EXPECT_EQ(Unfilter(Inflate(idat), 37, 61 * 3, 3), TopDownRows(image, true));
}

TEST(PictureWriters, PngOfAReducedPictureCarriesItsPalette)
{
    CTempDir dir;
    CDibImage image;
    TwelveColours(image);
    ASSERT_EQ(image.ReduceTo8Bit(), 1);
    ASSERT_EQ(image.SavePng(dir.File("a.png")), 1);

    const std::vector<PngChunk> chunks = PngChunks(ReadWholeFile(dir.File("a.png")));
    std::string idat;
    EXPECT_EQ(ChunkTypes(chunks, &idat), "IHDRPLTEIDATIEND");
    EXPECT_EQ(chunks[0].data, Ihdr(5, 3, 8, 3));
    std::string plte;
    for (int k = 0; k < 12; ++k)
        plte += std::string{static_cast<char>(20 * k), 0, 0};
    EXPECT_EQ(chunks[1].data, plte);
    EXPECT_EQ(Unfilter(Inflate(idat), 3, 5, 1), TopDownRows(image, false));
}

// ---------------------------------------------------------------- TIFF

struct IfdEntry {
    int type = 0;
    std::uint32_t count = 0;
    std::vector<double> values; // rationals as their quotient
};

// The first directory of a big-endian file, by tag.
std::map<int, IfdEntry> ReadIfd(const std::string& file)
{
    std::map<int, IfdEntry> entries;
    const auto* b = reinterpret_cast<const unsigned char*>(file.data());
    const std::uint32_t offset = GetBigEndian<std::uint32_t>(b + 4);
    const int count = GetBigEndian<std::uint16_t>(b + offset);
    for (int i = 0; i < count; ++i) {
        const unsigned char* e = b + offset + 2 + 12 * i;
        IfdEntry entry;
        entry.type = GetBigEndian<std::uint16_t>(e + 2);
        entry.count = GetBigEndian<std::uint32_t>(e + 4);
        const std::size_t size = entry.type == 3 ? 2 : entry.type == 5 ? 8 : 4;
        const unsigned char* v = size * entry.count <= 4 ? e + 8 : b + GetBigEndian<std::uint32_t>(e + 8);
        for (std::uint32_t k = 0; k < entry.count; ++k, v += size)
            entry.values.push_back(entry.type == 3   ? GetBigEndian<std::uint16_t>(v)
                                   : entry.type == 5 ? double(GetBigEndian<std::uint32_t>(v)) /
                                                           GetBigEndian<std::uint32_t>(v + 4)
                                                     : GetBigEndian<std::uint32_t>(v));
        entries[GetBigEndian<std::uint16_t>(e)] = entry;
    }
    return entries;
}

constexpr int kShort = 3, kLong = 4, kRational = 5;

// The rows libtiff decodes from the strips, top first.
std::vector<std::string> TiffRows(const std::string& path, std::size_t rowBytes)
{
    std::vector<std::string> rows;
    TIFF* tif = TIFFOpen(ResolvePath(path).c_str(), "r");
    if (!tif) {
        ADD_FAILURE() << "libtiff cannot open it";
        return rows;
    }
    std::uint32_t height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    std::string row(std::max<tmsize_t>(TIFFScanlineSize(tif), 1), '\0');
    for (std::uint32_t y = 0; y < height; ++y) {
        EXPECT_EQ(TIFFReadScanline(tif, row.data(), y, 0), 1);
        rows.push_back(row.substr(0, rowBytes));
    }
    TIFFClose(tif);
    return rows;
}

// Every tag of the page: its type, count and values.
void ExpectPage(const std::map<int, IfdEntry>& ifd, const std::map<int, IfdEntry>& expected)
{
    std::vector<int> tags, expectedTags;
    for (const auto& [tag, entry] : ifd)
        tags.push_back(tag);
    for (const auto& [tag, entry] : expected)
        expectedTags.push_back(tag);
    EXPECT_EQ(tags, expectedTags);
    for (const auto& [tag, entry] : expected) {
        SCOPED_TRACE(testing::Message() << "tag " << tag);
        const auto found = ifd.find(tag);
        if (found == ifd.end())
            continue;
        if (entry.type != 0) {
            EXPECT_EQ(found->second.type, entry.type);
        } else {
            EXPECT_TRUE(found->second.type == kShort || found->second.type == kLong);
        }
        EXPECT_EQ(found->second.count, entry.count);
        if (!entry.values.empty()) {
            EXPECT_EQ(found->second.values, entry.values);
        }
    }
}

std::map<int, IfdEntry> PageTags(int width, int height, int samples, int photometric, double xDpi, double yDpi)
{
    // libtiff's default strip: as many rows as make 8192 bytes.
    const int rowsPerStrip = std::max(1, 8192 / (width * samples));
    const auto strips = static_cast<std::uint32_t>((height + rowsPerStrip - 1) / rowsPerStrip);
    const auto w = static_cast<double>(width), h = static_cast<double>(height);
    std::map<int, IfdEntry> tags = {
        {254, {kLong, 1, {0}}},          // NewSubfileType
        {256, {0, 1, {w}}},              // ImageWidth, SHORT or LONG as it fits
        {257, {0, 1, {h}}},              // ImageLength
        {258, {kShort, std::uint32_t(samples), std::vector<double>(std::size_t(samples), 8)}},
        {259, {kShort, 1, {5}}},         // LZW
        {262, {kShort, 1, {double(photometric)}}},
        {273, {0, strips, {}}},          // StripOffsets
        {274, {kShort, 1, {1}}},         // Orientation
        {277, {kShort, 1, {double(samples)}}},
        {278, {0, 1, {double(rowsPerStrip)}}},
        {279, {0, strips, {}}},          // StripByteCounts
        {282, {kRational, 1, {xDpi}}},   // XResolution
        {283, {kRational, 1, {yDpi}}},   // YResolution
        {284, {kShort, 1, {1}}},         // PlanarConfiguration
        {296, {kShort, 1, {2}}},         // ResolutionUnit: inch
        {317, {kShort, 1, {2}}},         // Predictor: horizontal differencing
    };
    return tags;
}

TEST(PictureWriters, TiffOfTwentyFourBitsIsOneBigEndianRgbPage)
{
    CTempDir dir;
    CDibImage image;
    ASSERT_NE(image.Create(300, 40), nullptr);
    image.SetResolution(200, 100);
    DrawMapPicture(image, 11);
    ASSERT_EQ(image.SaveTiff(dir.File("a.tif")), 1);
    const std::string file = ReadWholeFile(dir.File("a.tif"));
    ASSERT_GT(file.size(), 8u);
    EXPECT_EQ(file.substr(0, 4), std::string("MM\0\x2A", 4));
    ExpectPage(ReadIfd(file), PageTags(300, 40, 3, 2, 200, 100));
    EXPECT_EQ(TiffRows(dir.File("a.tif"), 900), TopDownRows(image, true));
}

TEST(PictureWriters, TiffOfAReducedPictureHasAColourMapOrGreys)
{
    struct Case {
        const char* what;
        std::vector<COLORREF> colours;
        int photometric;
    };
    const Case cases[] = {
        {"colours", {RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 100), RGB(255, 255, 255)}, 3},
        {"the grey ramp 0 .. n - 1", {RGB(0, 0, 0), RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)}, 1},
        {"greys off the ramp", {RGB(0, 0, 0), RGB(1, 1, 1), RGB(2, 2, 2), RGB(200, 200, 200)}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTempDir dir;
        CDibImage image;
        ASSERT_NE(image.Create(9, 5), nullptr);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x)
                SetExportPixel(image, x, y, c.colours[std::size_t(x + y) % 4]);
        ASSERT_EQ(image.ReduceTo8Bit(), 1);
        ASSERT_EQ(image.GetHeader().biClrUsed, 4u);
        ASSERT_EQ(image.SaveTiff(dir.File("a.tif")), 1);

        std::map<int, IfdEntry> expected = PageTags(9, 5, 1, c.photometric, 96, 96);
        if (c.photometric == 3) {
            // Red, green and blue tables of 256, component x 257, zeros past the used entries.
            std::vector<double> map(768, 0);
            for (int i = 0; i < 4; ++i) {
                const RGBQUAD e = image.GetColorTable()[i];
                map[std::size_t(i)] = e.rgbRed * 257;
                map[256 + std::size_t(i)] = e.rgbGreen * 257;
                map[512 + std::size_t(i)] = e.rgbBlue * 257;
            }
            expected[320] = {kShort, 768, map};
        }
        const std::string file = ReadWholeFile(dir.File("a.tif"));
        EXPECT_EQ(file.substr(0, 4), std::string("MM\0\x2A", 4));
        ExpectPage(ReadIfd(file), expected);
        EXPECT_EQ(TiffRows(dir.File("a.tif"), 9), TopDownRows(image, false));
    }
}

// ---------------------------------------------------------------- JPEG

TEST(PictureWriters, JpegReadsBackCloseToThePicture)
{
    CTempDir dir;
    CDibImage image;
    ASSERT_NE(image.Create(64, 48), nullptr);
    // Soft gradients, red at the top left.
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            SetExportPixel(image, x, y, RGB(255 - 3 * x, 4 * y, 2 * x + y));
    ASSERT_EQ(image.SaveJpeg(dir.File("a.jpg")), 1);

    const std::string file = ReadWholeFile(dir.File("a.jpg"));
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(file.data()), static_cast<unsigned long>(file.size()));
    ASSERT_EQ(jpeg_read_header(&cinfo, TRUE), JPEG_HEADER_OK);
    jpeg_start_decompress(&cinfo);
    ASSERT_EQ(cinfo.output_width, 64u);
    ASSERT_EQ(cinfo.output_height, 48u);
    ASSERT_EQ(cinfo.output_components, 3);
    double difference = 0;
    std::vector<unsigned char> row(64 * 3);
    for (int y = 0; y < 48; ++y) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (int x = 0; x < 64; ++x) {
            const std::uint32_t c = PixelOf(image, x, y);
            difference += std::abs(row[3 * x] - int(c >> 16 & 0xFF)) + std::abs(row[3 * x + 1] - int(c >> 8 & 0xFF)) +
                          std::abs(row[3 * x + 2] - int(c & 0xFF));
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    EXPECT_LT(difference / (64 * 48 * 3), 3.0);
}

TEST(PictureWriters, JpegOfAReducedPictureWritesNothing)
{
    CTempDir dir;
    CScriptedUserServices services;
    CDibImage image;
    TwelveColours(image);
    ASSERT_EQ(image.ReduceTo8Bit(), 1);
    WriteWholeFile(dir.File("old.jpg"), "old");
    EXPECT_EQ(image.SaveJpeg(dir.File("a.jpg")), 0);
    EXPECT_EQ(image.SaveJpeg(dir.File("old.jpg")), 0);
    EXPECT_EQ(FileNames(dir), std::vector<std::string>{"old.jpg"});
    EXPECT_EQ(ReadWholeFile(dir.File("old.jpg")), "old");
    EXPECT_TRUE(services.messages.empty());
}

// ---------------------------------------------------------------- failures

using Writer = int (CDibImage::*)(const std::string&);
struct WriterCase {
    const char* name;
    Writer write;
    const char* file;
};
const WriterCase kWriters[] = {
    {"BMP", &CDibImage::SaveBmp, "a.bmp"},
    {"PNG", &CDibImage::SavePng, "a.png"},
    {"JPEG", &CDibImage::SaveJpeg, "a.jpg"},
    {"TIFF", &CDibImage::SaveTiff, "a.tif"},
};

TEST(PictureWriters, AFileThatCannotBeMadeIsReported)
{
    CTempDir dir;
    CDibImage image;
    ASSERT_NE(image.Create(8, 8), nullptr);
    for (const WriterCase& w : kWriters) {
        SCOPED_TRACE(w.name);
        CScriptedUserServices services;
        const std::string path = dir.File("missing/") + w.file;
        EXPECT_EQ((image.*w.write)(path), 0);
        ASSERT_EQ(services.MessageIds(), std::vector<unsigned>{1027});
        EXPECT_NE(services.messages[0].text.find(path), std::string::npos);
        EXPECT_EQ(services.messages[0].type & MB_ICONMASK, MB_ICONERROR);
    }
}

// Writes to regular files past 'bytes' fail for its lifetime.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~CFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST(PictureWriters, AFailedWriteKeepsTheOldFileAndSaysSo)
{
    CTempDir dir;
    CDibImage image;
    ASSERT_NE(image.Create(200, 150), nullptr);
    DrawMapPicture(image, 2);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            SetExportPixel(image, x, y, RGB(x * 37 + y, x * y, y * 91 + x));
    for (const WriterCase& w : kWriters) {
        SCOPED_TRACE(w.name);
        WriteWholeFile(dir.File(w.file), "the old picture");
        CScriptedUserServices services;
        {
            CFileSizeLimit limit(4096);
            EXPECT_EQ((image.*w.write)(dir.File(w.file)), 0);
        }
        EXPECT_EQ(ReadWholeFile(dir.File(w.file)), "the old picture");
        EXPECT_EQ(FileNames(dir), std::vector<std::string>{w.file});
        ASSERT_EQ(services.messages.size(), 1u);
        if (std::string(w.name) == "JPEG")
            EXPECT_EQ(services.messages[0].text.rfind("JPEG Library Error: ", 0), 0u) << services.messages[0].text;
        else
            EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1045});
        EXPECT_EQ(services.messages[0].type & MB_ICONMASK, MB_ICONERROR);

        // Without the limit the new picture replaces the old one.
        EXPECT_EQ((image.*w.write)(dir.File(w.file)), 1);
        EXPECT_NE(ReadWholeFile(dir.File(w.file)), "the old picture");
        EXPECT_EQ(FileNames(dir), std::vector<std::string>{w.file});
        std::filesystem::remove(ResolvePath(dir.File(w.file)));
    }
}

} // namespace
