#include "render/MetafilePicture.h"

#include "platform/Brush.h"
#include "platform/DC.h"
#include "platform/MetaFile.h"
#include "platform/MetaFileDC.h"
#include "platform/Pen.h"
#include "platform/Stream.h"
#include "render/ImageStream.h"
#include "tests/platform/ImageProbe.h"
#include "tests/render/PictureFixtures.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

namespace {

// A placeable header and a Windows metafile of its header and the end record.
struct Placeable {
    std::uint32_t key = CMetafilePicture::kPlaceableKey;
    int left = 0, top = 0, right = 1440, bottom = 720;
    unsigned unitsPerInch = 1440;
    std::optional<unsigned> checksum; // else the right one
    unsigned type = 1;
    std::optional<std::uint32_t> words; // else 9 + 3
    std::string tail;                   // bytes after the records
};

Placeable Box(int left, int top, int right, int bottom, unsigned unitsPerInch)
{
    Placeable p;
    p.left = left;
    p.top = top;
    p.right = right;
    p.bottom = bottom;
    p.unitsPerInch = unitsPerInch;
    return p;
}

std::string PlaceableFile(const Placeable& p)
{
    CByteWriter header;
    header.U32(p.key).U16(0).U16(unsigned(p.left)).U16(unsigned(p.top)).U16(unsigned(p.right)).U16(unsigned(p.bottom));
    header.U16(p.unitsPerInch).U32(0);
    unsigned sum = 0;
    for (std::size_t i = 0; i < 10; ++i)
        sum ^= static_cast<unsigned char>(header.Str()[2 * i]) | static_cast<unsigned char>(header.Str()[2 * i + 1]) << 8;
    header.U16(p.checksum.value_or(sum));
    CByteWriter records;
    records.U16(p.type).U16(9).U16(0x300).U32(p.words.value_or(12)).U16(0).U32(3).U16(0);
    records.U32(3).U16(0); // the end record
    return header.Str() + records.Str() + p.tail;
}

// An enhanced metafile: the header record and the end record.
struct Enhanced {
    std::uint32_t type = 1;
    std::uint32_t headerSize = 88;
    std::uint32_t signature = 0x464D4520;
    std::optional<std::uint32_t> bytes; // else the file's
    CRect bounds{10, 20, 110, 70};
    CRect frame{0, 0, 2646, 1323};
};

std::string EnhancedFile(const Enhanced& e)
{
    CByteWriter w;
    w.U32(e.type).U32(e.headerSize);
    for (const CRect& r : {e.bounds, e.frame})
        for (int v : {r.left, r.top, r.right, r.bottom})
            w.U32(static_cast<std::uint32_t>(v));
    w.U32(e.signature).U32(0x10000).U32(e.bytes.value_or(88 + 20)).U32(2).U16(1).U16(0).U32(0).U32(0).U32(0);
    w.U32(1024).U32(768).U32(320).U32(240);
    w.U32(14).U32(20).U32(0).U32(16).U32(20);
    return w.Str();
}

CMetafilePicture Loaded(const std::string& bytes, bool* ok = nullptr)
{
    CMemoryStream memory(bytes.data(), bytes.size());
    CxPlatformStream stream(memory);
    CMetafilePicture metafile;
    const bool loaded = metafile.Load(stream);
    if (ok)
        *ok = loaded;
    return metafile;
}

int g_plays = 0;
bool CountPlay(CDC&, const CMetafilePicture&, const CRect&)
{
    ++g_plays;
    return true;
}

} // namespace

TEST(MetafilePicture, PlaceableHeadersAreCheckedBeforeTheWindowsFormIsTaken)
{
    struct Case {
        const char* what;
        void (*change)(Placeable&);
        bool windows;
    } cases[] = {
        {"a sound header", [](Placeable&) {}, true},
        {"2540 units per inch", [](Placeable& p) { p.unitsPerInch = 2540; }, true},
        {"1 unit per inch", [](Placeable& p) { p.right = 2; p.bottom = 1; p.unitsPerInch = 1; }, true},
        {"a metafile of type 2", [](Placeable& p) { p.type = 2; }, true},
        {"the file longer than its records", [](Placeable& p) { p.tail = std::string(40, 'x'); }, true},
        {"a wrong key", [](Placeable& p) { p.key = 0x9AC6CDD6; }, false},
        {"a wrong checksum", [](Placeable& p) { p.checksum = 0x1234; }, false},
        {"0 units per inch", [](Placeable& p) { p.unitsPerInch = 0; }, false},
        {"2541 units per inch", [](Placeable& p) { p.unitsPerInch = 2541; }, false},
        {"a metafile of type 3", [](Placeable& p) { p.type = 3; }, false},
        {"records beyond the file", [](Placeable& p) { p.words = 13; }, false},
        {"records shorter than their header", [](Placeable& p) { p.words = 8; }, false},
        {"a size of 2^32 words", [](Placeable& p) { p.words = 0xFFFFFFFF; }, false},
    };
    for (const Case& c : cases) {
        bool ok = false;
        Placeable file;
        c.change(file);
        const CMetafilePicture metafile = Loaded(PlaceableFile(file), &ok);
        // What fails the checks is read as an enhanced metafile, which it is not.
        EXPECT_EQ(ok, c.windows) << c.what;
        EXPECT_EQ(metafile.GetKind(), c.windows ? CMetafilePicture::kWindows : CMetafilePicture::kNone) << c.what;
        if (c.windows)
            EXPECT_EQ(metafile.GetBytes().size(), 24u) << c.what << ": the header and the end record";
        else
            EXPECT_TRUE(metafile.GetBytes().empty()) << c.what;
    }
    // Short files are no metafiles.
    const std::string sound = PlaceableFile({});
    for (std::size_t length : {0, 21, 22, 39})
        EXPECT_FALSE(Loaded(sound.substr(0, length)).GetKind()) << length;
}

TEST(MetafilePicture, ThePlaceableBoxGivesTheExtentsAndTheSizes)
{
    bool ok = false;
    const CMetafilePicture metafile = Loaded(PlaceableFile(Box(100, 50, 1540, 770, 1440)), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(metafile.GetBoundingBox(), CRect(100, 50, 1540, 770));
    EXPECT_EQ(metafile.GetUnitsPerInch(), 1440);
    EXPECT_EQ(metafile.GetMetafileSize(), CSize(1440, 720));
    EXPECT_EQ(metafile.GetSize(), CSize(96, 48)) << "an inch by half an inch";
    EXPECT_EQ(metafile.GetPictureExtents(), CSize(9600, 4800));

    // Signed box corners, and a box of 0.4 pixels.
    EXPECT_EQ(Loaded(PlaceableFile(Box(-100, -50, 100, 50, 96))).GetSize(),
              CSize(200, 100));
    EXPECT_EQ(Loaded(PlaceableFile(Box(0, 0, 1000, 1000, 2540))).GetSize(), CSize(38, 38));

    struct Case {
        int width, height, unitsPerInch;
        CSize extents;
    } cases[] = {
        {1440, 720, 1440, {9600, 4800}},  // 96 x 48, raised twice
        {20000, 20000, 1440, {13330, 13330}}, // 1333 once
        {7000, 100, 96, {7000, 100}},     // wide enough already
        {100, 7000, 96, {100, 7000}},     // high enough: the loop stops at once
        {682, 1, 96, {6820, 10}},         // 682 once, then the width reaches 6553
        {655, 10, 96, {65500, 1000}},
        {0, 500, 96, {0, 500}},           // no area: never raised
        {-50, 20, 96, {-50, 20}},
        {1, 1, 2540, {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceableMetafileExtents(c.width, c.height, c.unitsPerInch, 96, 96), c.extents)
            << c.width << " x " << c.height << " at " << c.unitsPerInch;
    EXPECT_EQ(PlaceableMetafileExtents(1440, 720, 1440, 120, 120), CSize(12000, 6000));
    EXPECT_EQ(PlaceableMetafileExtents(1440, 720, 0, 96, 96), CSize());
}

TEST(MetafilePicture, EnhancedMetafilesNeedTheirHeaderRecord)
{
    bool ok = false;
    const CMetafilePicture metafile = Loaded(EnhancedFile({}) + "trailing bytes", &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(metafile.GetKind(), CMetafilePicture::kEnhanced);
    EXPECT_EQ(metafile.GetBytes().size(), 108u) << "as many bytes as the header says";
    EXPECT_EQ(metafile.GetBounds(), CRect(10, 20, 110, 70));
    EXPECT_EQ(metafile.GetFrame(), CRect(0, 0, 2646, 1323));
    EXPECT_EQ(metafile.GetSize(), CSize(100, 50));
    EXPECT_EQ(metafile.GetMetafileSize(), CSize(100, 50));

    struct Case {
        const char* what;
        void (*change)(Enhanced&);
    } broken[] = {
        {"another first record", [](Enhanced& p) { p.type = 2; }},
        {"no signature", [](Enhanced& p) { p.signature = 0x464D4521; }},
        {"a header record too short", [](Enhanced& p) { p.headerSize = 80; }},
        {"more bytes than the file", [](Enhanced& p) { p.bytes = 109; }},
        {"fewer bytes than the header", [](Enhanced& p) { p.bytes = 87; }},
    };
    for (const Case& c : broken) {
        Enhanced file;
        c.change(file);
        EXPECT_FALSE(Loaded(EnhancedFile(file)).GetKind()) << c.what;
    }
    EXPECT_FALSE(Loaded(EnhancedFile({}).substr(0, 87)).GetKind());
    // Bounds far apart do not wrap.
    Enhanced wide;
    wide.bounds = CRect(-2000000000, 0, 2000000000, 10);
    EXPECT_EQ(Loaded(EnhancedFile(wide)).GetSize().cx, INT_MAX);
}

TEST(MetafilePicture, FilesAreReadFromTheirPathAndDrawThroughTheInstalledPlayer)
{
    CTempDir dir;
    WriteWholeFile(dir.File("m.wmf"), PlaceableFile({}));
    CMetafilePicture metafile;
    ASSERT_TRUE(metafile.Load(dir.File("m.wmf")));
    EXPECT_EQ(metafile.GetKind(), CMetafilePicture::kWindows);
    EXPECT_FALSE(metafile.Load(dir.File("none.wmf")));
    EXPECT_EQ(metafile.GetKind(), CMetafilePicture::kNone);
    ASSERT_TRUE(metafile.Load(dir.File("m.wmf")));

    CDC dc;
    g_plays = 0;
    SetMetafilePlayer(CountPlay);
    EXPECT_TRUE(metafile.Draw(dc, CRect(0, 0, 10, 10)));
    EXPECT_EQ(g_plays, 1);
    EXPECT_FALSE(CMetafilePicture().Draw(dc, CRect(0, 0, 10, 10))) << "nothing to play";
    EXPECT_EQ(g_plays, 1);
    SetMetafilePlayer(nullptr);
}

// Metafiles of our own recording, read as pictures, draw through the
// platform's player: a red square over the whole picture lands in the
// rectangle asked for and nowhere else.
TEST(MetafilePicture, RecordedMetafilesDrawThroughThePlatformsPlayer)
{
    NeedGuiApplication();
    const auto drawSquare = [](CDC& dc, const CRect& whole) {
        CBrush red(kRed);
        CPen none(PS_NULL, 0, kRed);
        const CBrush oldBrush = dc.SelectObject(red);
        const CPen oldPen = dc.SelectObject(none);
        dc.Rectangle(whole.left, whole.top, whole.right + 1, whole.bottom + 1);
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
    };
    CTempDir dir;
    {
        CMetaFileDC dc;
        ASSERT_TRUE(dc.CreateEnhanced(nullptr, CMetaFileDC::FrameFor(nullptr, 100, 100)));
        drawSquare(dc, CRect(0, 0, 100, 100));
        ASSERT_TRUE(dc.Close().Save(dir.File("square.emf")));
    }
    {
        CMetaFileDC dc;
        ASSERT_TRUE(dc.Create(nullptr, CRect(0, 0, 1000, 1000)));
        drawSquare(dc, CRect(0, 0, 1000, 1000));
        ASSERT_TRUE(dc.Close().Save(dir.File("square.wmf")));
    }
    for (const char* name : {"square.emf", "square.wmf"}) {
        SCOPED_TRACE(name);
        CMetafilePicture metafile;
        ASSERT_TRUE(metafile.Load(dir.File(name)));
        QImage image = MakeImage(20, 20);
        CDC dc(image);
        EXPECT_TRUE(metafile.Draw(dc, CRect(4, 4, 16, 16)));
        EXPECT_EQ(At(image, 10, 10), kRed);
        EXPECT_EQ(At(image, 5, 5), kRed);
        EXPECT_EQ(At(image, 2, 2), kWhite);
        EXPECT_EQ(At(image, 18, 18), kWhite);
    }
}
