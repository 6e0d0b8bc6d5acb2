#include "platform/Codepage.h"
#include "platform/MetaFile.h"
#include "platform/MetaFileDC.h"
#include "tests/platform/ImageProbe.h"

#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// "Ąžuolas" in code page 1257.
const std::string kOak = "\xC0\xFEuolas";

// The small drawing: a white background drawn with the null pen, a red
// pen, a polyline, a blue filled polygon and a green text, in thousandths
// of an inch on a 96-dpi device of 480 x 288 pixels (5 x 3 inches).
constexpr int kWidth = 480;
constexpr int kHeight = 288;
const CPoint kLine[] = {{500, 500}, {2000, 1500}, {4500, 600}};
const CPoint kSquare[] = {{600, 1800}, {2200, 1800}, {2200, 2700}, {600, 2700}};
constexpr COLORREF kPenColour = RGB(200, 0, 0);
constexpr COLORREF kFillColour = RGB(0, 0, 200);
constexpr COLORREF kTextColour = RGB(0, 120, 0);
constexpr int kPenWidth = 30;
constexpr int kFontHeight = -250;
const CPoint kTextAt(2600, 2000);

LOGFONT SampleFont()
{
    LOGFONT lf;
    lf.lfHeight = kFontHeight;
    lf.lfCharSet = BALTIC_CHARSET;
    std::strcpy(lf.lfFaceName, "Arial");
    return lf;
}

// The drawing at a scale of pixelsPerInch device pixels an inch.
void DrawSample(CDC& dc, int pixelsPerInch = 96)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1000, 1000);
    dc.SetViewportExt(pixelsPerInch, pixelsPerInch);
    dc.SelectObject(CPen::FromStock(NULL_PEN));
    dc.SelectObject(CBrush::FromStock(WHITE_BRUSH));
    dc.Rectangle(0, 0, 5000, 3000);
    const CPen pen(PS_SOLID, kPenWidth, kPenColour);
    dc.SelectObject(pen);
    dc.Polyline(kLine, 3);
    const CBrush brush(kFillColour);
    dc.SelectObject(brush);
    dc.Polygon(kSquare, 4);
    const CFont font(SampleFont());
    dc.SelectObject(font);
    dc.SetTextColor(kTextColour);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(kTextAt.x, kTextAt.y, kOak);
}

// Little-endian bytes laid out by hand.
class CLayout {
public:
    CLayout& U8(std::uint8_t v)
    {
        bytes.push_back(v);
        return *this;
    }
    CLayout& U16(std::uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
    CLayout& I16(std::int16_t v) { return U16(static_cast<std::uint16_t>(v)); }
    CLayout& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    CLayout& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    CLayout& Zeros(std::size_t n)
    {
        bytes.insert(bytes.end(), n, 0);
        return *this;
    }
    CLayout& Text(const std::string& text)
    {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    std::vector<std::uint8_t> bytes;
};

// An enhanced-metafile record: type, size, then 32-bit values.
void Emr(CLayout& out, std::uint32_t type, std::initializer_list<std::int32_t> values)
{
    out.U32(type).U32(static_cast<std::uint32_t>(8 + 4 * values.size()));
    for (std::int32_t v : values)
        out.I32(v);
}

// A Windows-metafile record: size in words, function, then 16-bit words.
void Meta(CLayout& out, std::uint16_t function, std::initializer_list<std::int32_t> words)
{
    out.U32(static_cast<std::uint32_t>(3 + words.size())).U16(function);
    for (std::int32_t w : words)
        out.I16(static_cast<std::int16_t>(w));
}

// Where two byte strings first differ, for a readable failure.
std::string FirstDifference(const std::vector<std::uint8_t>& got, const std::vector<std::uint8_t>& want)
{
    for (std::size_t i = 0; i < std::min(got.size(), want.size()); ++i)
        if (got[i] != want[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "byte %zu: 0x%02X written, 0x%02X expected", i, got[i], want[i]);
            return text;
        }
    return "sizes " + std::to_string(got.size()) + " and " + std::to_string(want.size());
}

// What the text record carries, measured as the recording context measures.
struct TextMeasure {
    std::vector<int> advances;
    CSize deviceExtent;
};

TextMeasure MeasureText(const CDC& dc, const std::string& text)
{
    TextMeasure m;
    int previous = 0;
    for (std::size_t i = 1; i <= text.size(); ++i) {
        const int width = dc.GetTextExtent(text.substr(0, i)).cx;
        m.advances.push_back(width - previous);
        previous = width;
    }
    m.deviceExtent = dc.GetTextExtent(text);
    dc.LPtoDP(&m.deviceExtent);
    return m;
}

// Pixels that differ between the two pictures, where a pixel also counts
// as equal when the other picture has its colour one pixel away
// (diagonals included): the rounding of two mappings may move an edge by
// a pixel.
int Mismatches(const QImage& a, const QImage& b)
{
    auto near = [](const QImage& image, int x, int y, COLORREF colour) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx, ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < image.width() && ny < image.height() && At(image, nx, ny) == colour)
                    return true;
            }
        return false;
    };
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (At(a, x, y) != At(b, x, y) && !(near(b, x, y, At(a, x, y)) && near(a, x, y, At(b, x, y))))
                ++count;
    return count;
}

CMetaFile RecordEnhanced(const std::function<void(CDC&)>& draw, int width = kWidth, int height = kHeight)
{
    CMetaFileDC dc;
    EXPECT_TRUE(dc.CreateEnhanced(nullptr, CMetaFileDC::FrameFor(nullptr, width, height)));
    draw(dc);
    return dc.Close();
}

CMetaFile RecordPlaceable(const std::function<void(CDC&)>& draw, const CRect& frame = CRect(0, 0, 5000, 3000))
{
    CMetaFileDC dc;
    EXPECT_TRUE(dc.Create(nullptr, frame));
    draw(dc);
    return dc.Close();
}

} // namespace

TEST(MetaFile, FrameOfAnEnhancedMetafile)
{
    // A screen of 800 x 600 pixels at 96 dpi reports 212 x 159 mm.
    QImage screen = MakeImage(800, 600);
    screen.setDotsPerMeterX(3780);
    screen.setDotsPerMeterY(3780);
    CDC measured(screen);
    CDC headless;
    const struct {
        const char* name;
        const CDC* reference;
        CRect frame;
    } cases[] = {
        {"no reference counts as 96 dpi", nullptr, CRect(0, 0, 12700, 7620)},
        {"a screen without a physical size counts as 96 dpi", &headless, CRect(0, 0, 12700, 7620)},
        {"a screen with a size: MulDiv(480, 21200, 800) by MulDiv(288, 15900, 600)", &measured,
         CRect(0, 0, 12720, 7632)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CMetaFileDC::FrameFor(c.reference, kWidth, kHeight), c.frame) << c.name;
}

TEST(MetaFile, EnhancedGoldenFile)
{
    NeedGuiApplication();
    CMetaFileDC dc;
    const CRect frame = CMetaFileDC::FrameFor(nullptr, kWidth, kHeight);
    ASSERT_TRUE(dc.CreateEnhanced(nullptr, frame));
    EXPECT_TRUE(dc.IsMetafileDC());
    DrawSample(dc);
    const TextMeasure text = MeasureText(dc, kOak);
    ASSERT_EQ(text.advances.size(), kOak.size());
    ASSERT_GT(text.deviceExtent.cx, 0);
    const std::vector<std::uint8_t> written = dc.Close().GetBits();

    CLayout out;
    // EMR_HEADER: bounds (device pixels, inclusive), frame, signature,
    // version, bytes, records, handles, reserved, no description or
    // palette, the 96-dpi reference screen in pixels, millimetres, no
    // pixel format, no OpenGL, micrometres.
    out.U32(1).U32(108).I32(0).I32(0).I32(kWidth).I32(kHeight);
    out.I32(frame.left).I32(frame.top).I32(frame.right).I32(frame.bottom);
    out.U32(0x464D4520).U32(0x10000).U32(0).U32(19).U16(4).U16(0);
    out.U32(0).U32(0).U32(0).I32(1920).I32(1440).I32(508).I32(381).U32(0).U32(0).U32(0).I32(508000).I32(381000);
    Emr(out, 17, {MM_ANISOTROPIC});   // EMR_SETMAPMODE
    Emr(out, 9, {1000, 1000});        // EMR_SETWINDOWEXTEX
    Emr(out, 11, {96, 96});           // EMR_SETVIEWPORTEXTEX
    Emr(out, 37, {int(0x80000008)});  // EMR_SELECTOBJECT of the stock null pen
    Emr(out, 37, {int(0x80000000)});  // and of the stock white brush
    Emr(out, 43, {0, 0, 5000, 3000}); // EMR_RECTANGLE
    Emr(out, 38, {1, PS_SOLID, kPenWidth, 0, int(kPenColour)}); // EMR_CREATEPEN, handle 1
    Emr(out, 37, {1});
    // EMR_POLYLINE16: bounds in device pixels, count, points.
    out.U32(87).U32(28 + 3 * 4).I32(48).I32(48).I32(432).I32(144).U32(3);
    for (const CPoint& p : kLine)
        out.I16(static_cast<std::int16_t>(p.x)).I16(static_cast<std::int16_t>(p.y));
    Emr(out, 39, {2, int(BS_SOLID), int(kFillColour), 0}); // EMR_CREATEBRUSHINDIRECT, handle 2
    Emr(out, 37, {2});
    out.U32(86).U32(28 + 4 * 4).I32(58).I32(173).I32(211).I32(259).U32(4); // EMR_POLYGON16
    for (const CPoint& p : kSquare)
        out.I16(static_cast<std::int16_t>(p.x)).I16(static_cast<std::int16_t>(p.y));
    // EMR_EXTCREATEFONTINDIRECTW, handle 3: a LOGFONTW with a UTF-16 face.
    out.U32(82).U32(104).U32(3).I32(kFontHeight).I32(0).I32(0).I32(0).I32(0);
    out.U8(0).U8(0).U8(0).U8(BALTIC_CHARSET).U8(0).U8(0).U8(0).U8(0);
    for (char c : std::string("Arial"))
        out.U16(static_cast<std::uint16_t>(c));
    out.Zeros(2 * (32 - 5));
    Emr(out, 37, {3});
    Emr(out, 24, {int(kTextColour)}); // EMR_SETTEXTCOLOR
    Emr(out, 18, {TRANSPARENT});      // EMR_SETBKMODE
    // EMR_EXTTEXTOUTW: bounds, compatible graphics mode, no scales, the
    // reference point, 7 characters at offset 76, no options, an empty
    // rectangle, the widths after the padded string.
    const int left = 250, top = 192; // (2600, 2000) on the device
    out.U32(84).U32(76 + 16 + 7 * 4).I32(left).I32(top);
    out.I32(left + text.deviceExtent.cx).I32(top + text.deviceExtent.cy);
    out.U32(1).U32(0).U32(0).I32(kTextAt.x).I32(kTextAt.y).U32(7).U32(76).U32(0);
    out.I32(0).I32(0).I32(-1).I32(-1).U32(76 + 16);
    for (char c : kOak)
        out.U16(Cp1257ToUnicode(static_cast<unsigned char>(c)));
    out.Zeros(2);
    for (int advance : text.advances)
        out.I32(advance);
    Emr(out, 14, {0, 16, 20}); // EMR_EOF: no palette, the record's own size last
    const auto size = static_cast<std::uint32_t>(out.bytes.size());
    for (int i = 0; i < 4; ++i)
        out.bytes[48 + i] = static_cast<std::uint8_t>(size >> (8 * i));

    EXPECT_TRUE(written == out.bytes) << FirstDifference(written, out.bytes);
    EXPECT_EQ(u'Ą', Cp1257ToUnicode(0xC0));
}

TEST(MetaFile, PlaceableGoldenFile)
{
    NeedGuiApplication();
    CMetaFileDC dc;
    ASSERT_TRUE(dc.Create(nullptr, CRect(0, 0, 5000, 3000)));
    EXPECT_TRUE(dc.IsMetafileDC());
    EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_METAFILE);
    DrawSample(dc);
    const TextMeasure text = MeasureText(dc, kOak);
    const std::vector<std::uint8_t> written = dc.Close().GetBits();

    CLayout records;
    Meta(records, 0x0103, {MM_ANISOTROPIC}); // META_SETMAPMODE
    Meta(records, 0x020B, {0, 0});           // META_SETWINDOWORG: y, x
    Meta(records, 0x020C, {3000, 5000});     // META_SETWINDOWEXT: y, x
    // META_CREATEPENINDIRECT: style, width (x, y), colour; the player
    // numbers objects from 0 in the lowest free slot.
    Meta(records, 0x02FA, {PS_NULL, 0, 0, 0, 0});
    Meta(records, 0x012D, {0});
    // META_CREATEBRUSHINDIRECT: style, colour, hatch.
    Meta(records, 0x02FC, {int(BS_SOLID), 0xFFFF, 0x00FF, 0});
    Meta(records, 0x012D, {1});
    Meta(records, 0x041B, {3000, 5000, 0, 0}); // META_RECTANGLE: bottom, right, top, left
    Meta(records, 0x02FA, {PS_SOLID, kPenWidth, 0, int(kPenColour & 0xFFFF), int(kPenColour >> 16)});
    Meta(records, 0x012D, {2});
    Meta(records, 0x0325, {3, 500, 500, 2000, 1500, 4500, 600}); // META_POLYLINE
    Meta(records, 0x02FC, {int(BS_SOLID), int(kFillColour & 0xFFFF), int(kFillColour >> 16), 0});
    Meta(records, 0x012D, {3});
    Meta(records, 0x0324, {4, 600, 1800, 2200, 1800, 2200, 2700, 600, 2700}); // META_POLYGON
    // META_CREATEFONTINDIRECT: height, width, escapement, orientation,
    // weight, then bytes with the Baltic character set, and the face.
    records.U32(3 + 9 + 16).U16(0x02FB).I16(kFontHeight).I16(0).I16(0).I16(0).I16(0);
    records.U8(0).U8(0).U8(0).U8(BALTIC_CHARSET).U8(0).U8(0).U8(0).U8(0).Text("Arial").Zeros(32 - 5);
    Meta(records, 0x012D, {4});
    Meta(records, 0x0209, {int(kTextColour & 0xFFFF), int(kTextColour >> 16)}); // META_SETTEXTCOLOR
    Meta(records, 0x0102, {TRANSPARENT});                                       // META_SETBKMODE
    // META_EXTTEXTOUT: y, x, count, options, the code page 1257 bytes
    // padded to a word, the widths.
    records.U32(3 + 4 + 4 + 7).U16(0x0A32).I16(2000).I16(2600).U16(7).U16(0).Text(kOak).Zeros(1);
    for (int advance : text.advances)
        records.I16(static_cast<std::int16_t>(advance));
    Meta(records, 0x0000, {}); // META_EOF

    CLayout out;
    // The placeable header: key, no handle, the frame as bounding box,
    // 1000 units an inch, reserved, the checksum of the ten words.
    const std::uint16_t words[10] = {0xCDD7, 0x9AC6, 0, 0, 0, 5000, 3000, 1000, 0, 0};
    std::uint16_t checksum = 0;
    for (std::uint16_t w : words) {
        out.U16(w);
        checksum ^= w;
    }
    out.U16(checksum);
    // The metafile header: in memory, 9 words, version 3, size in words,
    // 5 objects, the longest record (the font, 28 words), no members.
    out.U16(1).U16(9).U16(0x0300).U32(static_cast<std::uint32_t>(9 + records.bytes.size() / 2)).U16(5).U32(28).U16(0);
    out.bytes.insert(out.bytes.end(), records.bytes.begin(), records.bytes.end());

    EXPECT_TRUE(written == out.bytes) << FirstDifference(written, out.bytes);
}

TEST(MetaFile, GoldenFilesPlayAsTheDrawingMadeDirectly)
{
    NeedGuiApplication();
    const CMetaFile emf = RecordEnhanced([](CDC& dc) { DrawSample(dc); });
    const CMetaFile wmf = RecordPlaceable([](CDC& dc) { DrawSample(dc); });
    ASSERT_EQ(emf.GetKind(), CMetaFile::Kind::Enhanced);
    ASSERT_EQ(wmf.GetKind(), CMetaFile::Kind::Placeable);
    // At the recorded size and at 2.5 times it, on a grey page so that the
    // white background shows.
    for (const int scale : {2, 5}) {
        const int w = kWidth * scale / 2, h = kHeight * scale / 2;
        QImage direct = MakeImage(w, h, kGrey);
        {
            CDC dc(direct);
            DrawSample(dc, 96 * scale / 2);
        }
        for (const CMetaFile* file : {&emf, &wmf}) {
            SCOPED_TRACE(file == &emf ? "enhanced" : "placeable");
            QImage played = MakeImage(w, h, kGrey);
            {
                CDC dc(played);
                ASSERT_TRUE(file->Play(dc, CRect(0, 0, w, h)));
            }
            const int p = scale * 96 / 2;
            auto at = [p](int thousandths) { return thousandths * p / 1000; };
            EXPECT_EQ(At(played, at(4000), at(300)), kWhite) << "background";
            EXPECT_EQ(At(played, at(2000), at(1500)), kPenColour) << "polyline corner";
            EXPECT_EQ(At(played, at(1400), at(2300)), kFillColour) << "inside the polygon";
            EXPECT_EQ(At(played, at(600), at(2250)), kPenColour) << "the polygon's outline";
            EXPECT_EQ(Mismatches(direct, played), 0) << "scale " << scale / 2.0;
        }
    }
}

namespace {

const std::string kSiauliai = "\xD0iauliai";
const std::string kCities = "Vilnius Kaunas Klaip\xEB"
                            "da Panev\xEB\xFEys";

// A drawing of every kind of call the recorders write: hatches, an 8 x 8
// pattern, dashed and geometric pens, an ellipse, a polygon with a hole,
// a path, clipping, text plain, turned and wrapped, pictures with and
// without a see-through colour and a plain fill. 6 x 4 inches.
void DrawRich(CDC& dc, int pixelsPerInch = 96)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1000, 1000);
    dc.SetViewportExt(pixelsPerInch, pixelsPerInch);
    dc.SelectObject(CPen::FromStock(NULL_PEN));
    dc.SelectObject(CBrush::FromStock(WHITE_BRUSH));
    dc.Rectangle(0, 0, 6000, 4000);
    const CBrush hatch(HS_DIAGCROSS, RGB(0, 150, 0));
    const CPen black(PS_SOLID, 20, kBlack);
    dc.SelectObject(black);
    dc.SelectObject(hatch);
    dc.Ellipse(200, 200, 1800, 1400);
    CBrush pattern;
    pattern.CreatePatternBrush({0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F});
    dc.SetTextColor(RGB(200, 0, 200));
    dc.SetBkColor(kYellow);
    dc.SelectObject(pattern);
    dc.Rectangle(2000, 200, 3200, 1400);
    const CPen dash(PS_DASH, 0, kBlue);
    dc.SelectObject(dash);
    dc.SetBkMode(TRANSPARENT);
    const CPoint zigzag[] = {{3400, 300}, {3800, 1300}, {4200, 300}, {4600, 1300}, {5000, 300}};
    dc.Polyline(zigzag, 5);
    const CPen wide(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 80, LOGBRUSH{BS_SOLID, RGB(255, 128, 0), 0});
    dc.SelectObject(wide);
    const CPoint vee[] = {{5200, 300}, {5500, 1300}, {5800, 300}};
    dc.Polyline(vee, 3);
    const CPoint rings[] = {{200, 1600}, {1800, 1600}, {1800, 2800}, {200, 2800},
                            {600, 2000}, {1400, 2000}, {1400, 2400}, {600, 2400}};
    const int counts[] = {4, 4};
    const CBrush gold(RGB(230, 200, 0));
    dc.SelectObject(gold);
    dc.SelectObject(black);
    dc.PolyPolygon(rings, counts, 2);
    const CBrush cyan(RGB(0, 200, 200));
    dc.SelectObject(cyan);
    dc.BeginPath();
    dc.MoveTo(2000, 1600);
    dc.LineTo(3200, 1600);
    dc.LineTo(2600, 2800);
    dc.CloseFigure();
    dc.EndPath();
    dc.StrokeAndFillPath();
    dc.SaveDC();
    dc.IntersectClipRect(3400, 1600, 4400, 2800);
    const CBrush red(RGB(220, 0, 0));
    dc.SelectObject(red);
    dc.Ellipse(3000, 1500, 5000, 3000);
    dc.RestoreDC(-1);
    LOGFONT lf = SampleFont();
    lf.lfHeight = -220;
    const CFont font(lf);
    dc.SelectObject(font);
    dc.SetTextColor(kBlack);
    dc.TextOut(200, 3000, kOak);
    lf.lfEscapement = lf.lfOrientation = 450;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "Times New Roman");
    const CFont turned(lf);
    dc.SelectObject(turned);
    dc.SetTextColor(RGB(0, 0, 160));
    dc.TextOut(4600, 3800, kSiauliai);
    dc.SelectObject(font);
    CRect box(1600, 3000, 3400, 3900);
    dc.DrawText(kCities, &box, DT_WORDBREAK);
    // An 8-bit picture whose palette index 0 is see-through.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[3];
    } info;
    info.header.biWidth = 8;
    info.header.biHeight = 8;
    info.header.biBitCount = 8;
    info.header.biClrUsed = 3;
    info.colours[0] = {255, 255, 255, 0};
    info.colours[1] = {0, 0, 255, 0};
    info.colours[2] = {255, 0, 0, 0};
    std::uint8_t bits[64];
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            bits[y * 8 + x] = (x + y) % 3 == 0 ? 0 : (x < 4 ? 1 : 2);
    const DibData dib{&info, sizeof info, bits, sizeof bits};
    dc.TransparentDIBits(4600, 1600, 800, 800, 0, 0, 8, 8, dib, 0, 0);
    dc.StretchDIBits(5400, 1600, 400, 400, 0, 0, 8, 8, dib, DIB_RGB_COLORS, SRCCOPY);
    dc.FillSolidRect(CRect(5400, 2200, 5800, 2600), RGB(128, 0, 255));
}

constexpr int kRichWidth = 576;
constexpr int kRichHeight = 384;

CMetaFile RichEnhanced()
{
    return RecordEnhanced([](CDC& dc) { DrawRich(dc); }, kRichWidth, kRichHeight);
}

CMetaFile RichPlaceable()
{
    return RecordPlaceable([](CDC& dc) { DrawRich(dc); }, CRect(0, 0, 6000, 4000));
}

QImage Played(const CMetaFile& file, int width, int height)
{
    QImage image = MakeImage(width, height, kGrey);
    CDC dc(image);
    EXPECT_TRUE(file.Play(dc, CRect(0, 0, width, height)));
    return image;
}

} // namespace

TEST(MetaFile, EveryKindOfCallPlaysAsDrawnDirectly)
{
    NeedGuiApplication();
    QImage direct = MakeImage(kRichWidth, kRichHeight, kGrey);
    {
        CDC dc(direct);
        DrawRich(dc);
    }
    for (const CMetaFile& file : {RichEnhanced(), RichPlaceable()}) {
        SCOPED_TRACE(file.GetKind() == CMetaFile::Kind::Enhanced ? "enhanced" : "placeable");
        const QImage played = Played(file, kRichWidth, kRichHeight);
        EXPECT_EQ(Mismatches(direct, played), 0);
        EXPECT_EQ(At(played, 521, 100), RGB(255, 128, 0)) << "geometric pen";
        EXPECT_EQ(At(played, 250, 200), RGB(0, 200, 200)) << "filled path";
        EXPECT_EQ(At(played, 96, 211), kWhite) << "the polygon's hole";
        EXPECT_EQ(At(played, 336, 220), RGB(220, 0, 0)) << "clipped ellipse inside the clip";
        EXPECT_EQ(At(played, 430, 220), kWhite) << "clipped ellipse outside the clip";
        EXPECT_EQ(At(played, 540, 230), RGB(128, 0, 255)) << "plain fill";
        // The picture's see-through pixels keep the background.
        EXPECT_EQ(At(played, 446, 226), kWhite);
        EXPECT_EQ(At(played, 446, 158), kRed);
        EXPECT_EQ(At(played, 513, 158), kBlue);
    }
}

TEST(MetaFile, PlaysIntoAnyRectangleAndKeepsTheContextAsItWas)
{
    NeedGuiApplication();
    const CMetaFile emf = RecordEnhanced([](CDC& dc) { DrawSample(dc); });
    const CMetaFile wmf = RecordPlaceable([](CDC& dc) { DrawSample(dc); });
    for (const CMetaFile* file : {&emf, &wmf}) {
        QImage image = MakeImage(200, 200, kGrey);
        CDC dc(image);
        // A context mapped in thousandths of an inch with y upwards; the
        // picture goes to a rectangle given in those units.
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(1000, 1000);
        dc.SetViewportExt(96, -96);
        dc.SetViewportOrg(0, 200);
        const CPen pen(PS_SOLID, 0, kRed);
        dc.SelectObject(pen);
        dc.SetTextColor(kBlue);
        ASSERT_TRUE(file->Play(dc, CRect(500, 1500, 1500, 900)));
        // 5 x 3 inches in 1000 x 600 thousandths: 96 x 58 pixels at (48, 56).
        EXPECT_EQ(At(image, 47, 80), kGrey) << "left of the picture";
        EXPECT_EQ(At(image, 50, 60), kWhite) << "its background";
        EXPECT_EQ(At(image, 75, 100), kFillColour) << "its polygon";
        EXPECT_EQ(At(image, 145, 80), kGrey) << "right of the picture";
        EXPECT_EQ(At(image, 100, 115), kGrey) << "below the picture";
        EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
        EXPECT_EQ(dc.GetViewportExt(), CSize(96, -96));
        EXPECT_EQ(dc.GetCurrentPen(), pen);
        EXPECT_EQ(dc.GetTextColor(), kBlue);
        CRect clip;
        EXPECT_EQ(dc.GetClipBox(&clip), SIMPLEREGION);
        EXPECT_EQ(clip, CRect(0, 0, 2083, 2083)) << "no clipping left behind";
    }
}

TEST(MetaFile, WideDrawingsGetACoarserPlaceableUnit)
{
    const struct {
        CRect frame;
        int unitsPerInch;
    } units[] = {
        {CRect(0, 0, 32767, 100), 1000},
        {CRect(0, 0, 30000, 32767), 1000},
        {CRect(0, 0, 40000, 20000), 819},
        {CRect(0, 0, 100, 83000), 394},
        {CRect(0, 0, 40000000, 10), 0},
        {CRect(0, 0, 0, 10), 0},
    };
    for (const auto& u : units) {
        CMetaFileDC dc;
        EXPECT_EQ(dc.Create(nullptr, u.frame), u.unitsPerInch > 0) << u.frame.right << " x " << u.frame.bottom;
        const CMetaFile file = dc.Close();
        if (u.unitsPerInch == 0)
            continue;
        ASSERT_EQ(file.GetKind(), CMetaFile::Kind::Placeable);
        const PlaceableMetaHeader& header = file.GetPlaceableHeader();
        EXPECT_EQ(header.unitsPerInch, u.unitsPerInch);
        EXPECT_LE(header.boundingBox.right, 32767);
        EXPECT_LE(header.boundingBox.bottom, 32767);
        EXPECT_NEAR(header.boundingBox.right * 1000.0 / u.unitsPerInch, u.frame.right, 1000.0 / u.unitsPerInch);
    }

    // 40 x 20 inches: the squares in the far corners stay there.
    const CMetaFile file = RecordPlaceable(
        [](CDC& dc) {
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowExt(1000, 1000);
            dc.SetViewportExt(96, 96);
            dc.SelectObject(CPen::FromStock(NULL_PEN));
            dc.FillSolidRect(CRect(0, 0, 2000, 2000), kBlue);
            dc.FillSolidRect(CRect(38000, 18000, 40000, 20000), kRed);
        },
        CRect(0, 0, 40000, 20000));
    const QImage played = Played(file, 400, 200);
    EXPECT_EQ(At(played, 10, 10), kBlue);
    EXPECT_EQ(At(played, 390, 190), kRed);
    EXPECT_EQ(At(played, 200, 100), kGrey);
}

TEST(MetaFile, PointsBeyondSixteenBitsAreCutNotWrapped)
{
    const CMetaFile file = RecordPlaceable([](CDC& dc) {
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(1000, 1000);
        dc.SetViewportExt(96, 96);
        const CPen pen(PS_SOLID, 0, kRed);
        dc.SelectObject(pen);
        const CPoint line[] = {{1000, 1000}, {200000, 1000}};
        dc.Polyline(line, 2);
        const CBrush brush(kBlue);
        dc.SelectObject(brush);
        const CPoint wedge[] = {{1000, 2000}, {90000, 2000}, {90000, 2900}, {1000, 2900}};
        dc.Polygon(wedge, 4);
    });
    const QImage played = Played(file, kWidth, kHeight);
    EXPECT_EQ(At(played, 470, 96), kRed) << "the line runs to the picture's edge";
    EXPECT_EQ(At(played, 470, 250), kBlue) << "so does the polygon";
}

TEST(MetaFile, ManyObjectsShareASmallTable)
{
    // 600 pens of their own colour, one line each; pen 0 stays selected in
    // a saved state while all the others come and go.
    auto colour = [](int i) { return RGB(i % 256, (i / 256) * 100, 50); };
    auto draw = [&](CDC& dc) {
        const CPen first(PS_SOLID, 0, colour(0));
        dc.SelectObject(first);
        dc.SaveDC();
        for (int i = 1; i < 600; ++i) {
            const CPen pen(PS_SOLID, 0, colour(i));
            dc.SelectObject(pen);
            dc.MoveTo(i, 0);
            dc.LineTo(i, 10);
        }
        dc.RestoreDC(-1);
        dc.MoveTo(0, 0);
        dc.LineTo(0, 10);
    };
    const CMetaFile emf = RecordEnhanced(draw, 600, 20);
    const CMetaFile wmf = RecordPlaceable(
        [&](CDC& dc) {
            // One thousandth of an inch a unit, as the export maps it.
            dc.SetMapMode(MM_ANISOTROPIC);
            dc.SetWindowExt(96, 96);
            dc.SetViewportExt(96, 96);
            draw(dc);
        },
        CRect(0, 0, 6250, 209));
    EXPECT_LE(emf.GetEnhHeader().handles, 257);
    EXPECT_LE(wmf.GetPlaceableHeader().objects, 256);
    for (const CMetaFile* file : {&emf, &wmf}) {
        const QImage played = Played(*file, 600, 20);
        for (int i : {0, 1, 255, 256, 257, 300, 599})
            EXPECT_EQ(At(played, i, 5), colour(i)) << "line " << i;
    }
}

TEST(MetaFile, SavedBesideAndLoaded)
{
    NeedGuiApplication();
    CTempDir dir;
    const CMetaFile emf = RichEnhanced();
    const std::string path = dir.File("map.emf");
    WriteWholeFile(path, "an older file");
    ASSERT_TRUE(emf.Save(path));
    CMetaFile loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_EQ(loaded.GetKind(), CMetaFile::Kind::Enhanced);
    EXPECT_TRUE(loaded.GetBits() == emf.GetBits());
    EXPECT_FALSE(emf.Save(dir.File("no such folder/map.emf")));
    EXPECT_FALSE(CMetaFile().Save(path)) << "an empty metafile is not written";
    EXPECT_TRUE(ReadWholeFile(path) == std::string(emf.GetBits().begin(), emf.GetBits().end()));
    WriteWholeFile(dir.File("text.wmf"), "not a metafile at all");
    EXPECT_FALSE(loaded.Load(dir.File("text.wmf")));
    EXPECT_TRUE(loaded.IsEmpty());
    EXPECT_FALSE(loaded.Load(dir.File("missing.wmf")));
}

TEST(MetaFile, PlaceableHeaderChecks)
{
    NeedGuiApplication();
    const std::vector<std::uint8_t> good = RecordPlaceable([](CDC& dc) { DrawSample(dc); }).GetBits();
    auto withWord = [&](std::size_t at, std::uint16_t value, bool fixChecksum) {
        std::vector<std::uint8_t> bytes = good;
        bytes[at] = static_cast<std::uint8_t>(value);
        bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
        if (fixChecksum) {
            std::uint16_t sum = 0;
            for (std::size_t i = 0; i < 20; i += 2)
                sum ^= static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8));
            bytes[20] = static_cast<std::uint8_t>(sum);
            bytes[21] = static_cast<std::uint8_t>(sum >> 8);
        }
        return bytes;
    };
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool placeable;
    } cases[] = {
        {"as written", good, true},
        {"2540 units an inch", withWord(14, 2540, true), true},
        {"0 units an inch", withWord(14, 0, true), false},
        {"2541 units an inch", withWord(14, 2541, true), false},
        {"a wrong checksum", withWord(20, 0x1234, false), false},
        {"a wrong key", withWord(0, 0xCDD8, true), false},
        {"metafile type 3", withWord(22, 3, false), false},
        {"a size beyond the file", withWord(28, 0xFFFF, false), false},
        {"cut in the header", std::vector<std::uint8_t>(good.begin(), good.begin() + 30), false},
    };
    for (const auto& c : cases) {
        const CMetaFile file = CMetaFile::FromBytes(c.bytes);
        // What fails as placeable is read as an enhanced metafile, which it is not.
        EXPECT_EQ(file.GetKind(), c.placeable ? CMetaFile::Kind::Placeable : CMetaFile::Kind::None) << c.name;
    }
}

namespace {

// Runs a converter on a file; its exit status and what it printed.
int RunConverter(const std::string& command, std::string& output)
{
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    return ::pclose(pipe);
}

bool Installed(const char* program)
{
    return ::access((std::string("/usr/bin/") + program).c_str(), X_OK) == 0;
}

} // namespace

TEST(MetaFile, IndependentReaderOfEnhancedMetafiles)
{
    NeedGuiApplication();
    if (!Installed("emf2svg-conv"))
        GTEST_SKIP() << "emf2svg-conv (package emf2svg) is not installed";
    CTempDir dir;
    ASSERT_TRUE(RichEnhanced().Save(dir.File("rich.emf")));
    std::string output;
    EXPECT_EQ(RunConverter("emf2svg-conv -i '" + dir.File("rich.emf") + "' -o '" + dir.File("rich.svg") + "'", output), 0);
    EXPECT_EQ(output, "") << "no complaint";
    const std::string svg = ReadWholeFile(dir.File("rich.svg"));
    for (const std::string& text : {kOak, kSiauliai, std::string("Vilnius Kaunas"), std::string("Klaip\xEB" "da")})
        EXPECT_NE(svg.find("[CDATA[" + Cp1257ToUtf8(text) + "]]"), std::string::npos) << Cp1257ToUtf8(text);
    for (const char* shape : {"<ellipse", "<rect", "<path", "<image", "clipPath", "rotate(-45"})
        EXPECT_NE(svg.find(shape), std::string::npos) << shape;
}

TEST(MetaFile, IndependentReaderOfWindowsMetafiles)
{
    NeedGuiApplication();
    if (!Installed("wmf2svg"))
        GTEST_SKIP() << "wmf2svg (package libwmf-bin) is not installed";
    CTempDir dir;
    ASSERT_TRUE(RichPlaceable().Save(dir.File("rich.wmf")));
    std::string output;
    EXPECT_EQ(RunConverter("wmf2svg -o '" + dir.File("rich.svg") + "' '" + dir.File("rich.wmf") + "'", output), 0);
    EXPECT_EQ(output, "") << "no complaint (its fonts come with fonts-urw-base35)";
    const std::string svg = ReadWholeFile(dir.File("rich.svg"));
    // The reader places each letter at its width and passes the text's
    // code page 1257 bytes on: the letters in order are the texts.
    std::string letters;
    for (std::size_t at = svg.find("</text>"); at != std::string::npos; at = svg.find("</text>", at + 1)) {
        const std::size_t open = svg.rfind('>', at);
        letters += svg.substr(open + 1, at - open - 1);
    }
    for (const std::string& text : {kOak, kSiauliai, std::string("Vilnius Kaunas")})
        EXPECT_NE(letters.find(text), std::string::npos) << Cp1257ToUtf8(text);
    for (const char* shape : {"<ellipse", "<rect", "<polyline", "<polygon", "<path", "<image", "font-weight:bold"})
        EXPECT_NE(svg.find(shape), std::string::npos) << shape;
}

namespace {

// An enhanced metafile around records laid out by hand: a 96-dpi
// reference, the frame of width x height pixels, room for 8 handles.
std::vector<std::uint8_t> HandMadeEmf(const CLayout& records, int width = 100, int height = 100)
{
    CLayout out;
    out.U32(1).U32(108).I32(0).I32(0).I32(width - 1).I32(height - 1);
    out.I32(0).I32(0).I32(MulDiv(width, 2540, 96)).I32(MulDiv(height, 2540, 96));
    out.U32(0x464D4520).U32(0x10000).U32(0).U32(0).U16(8).U16(0);
    out.U32(0).U32(0).U32(0).I32(1920).I32(1440).I32(508).I32(381).U32(0).U32(0).U32(0).I32(508000).I32(381000);
    out.bytes.insert(out.bytes.end(), records.bytes.begin(), records.bytes.end());
    Emr(out, 14, {0, 16, 20});
    const auto size = static_cast<std::uint32_t>(out.bytes.size());
    for (int i = 0; i < 4; ++i)
        out.bytes[48 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    return out.bytes;
}

// A placeable Windows metafile around records laid out by hand, its
// bounding box 0, 0, width, height in its units, room for 8 objects.
std::vector<std::uint8_t> HandMadeWmf(const CLayout& records, int width = 100, int height = 100)
{
    CLayout out;
    const std::uint16_t words[10] = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<std::uint16_t>(width),
                                     static_cast<std::uint16_t>(height), 96, 0, 0};
    std::uint16_t checksum = 0;
    for (std::uint16_t w : words) {
        out.U16(w);
        checksum ^= w;
    }
    out.U16(checksum);
    out.U16(1).U16(9).U16(0x0300).U32(static_cast<std::uint32_t>(9 + records.bytes.size() / 2 + 3)).U16(8).U32(0).U16(0);
    out.bytes.insert(out.bytes.end(), records.bytes.begin(), records.bytes.end());
    Meta(out, 0, {});
    return out.bytes;
}

// A 2 x 2 picture of 32 bits: blue and green above red and white.
void Dib32(CLayout& out)
{
    out.U32(40).I32(2).I32(2).U16(1).U16(32).U32(0).U32(16).I32(0).I32(0).U32(0).U32(0);
    out.U32(0xFFFF0000).U32(0xFFFFFFFF).U32(0xFF0000FF).U32(0xFF00FF00);
}

} // namespace

TEST(MetaFile, CommonRecordsOfOtherWritersPlay)
{
    // Enhanced: a world transform doubling everything, a Bezier curve, a
    // pie, a rounded rectangle, a 32-bit picture by BitBlt, a comment and
    // a record type nobody knows.
    CLayout emf;
    Emr(emf, 35, {});
    emf.bytes.resize(emf.bytes.size() - 8);
    emf.U32(35).U32(32);
    for (float f : {2.0f, 0.0f, 0.0f, 2.0f, 0.0f, 0.0f}) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        emf.U32(bits);
    }
    Emr(emf, 39, {1, int(BS_SOLID), int(kBlue), 0}); // a blue brush
    Emr(emf, 37, {1});
    Emr(emf, 37, {int(0x80000008)}); // null pen
    Emr(emf, 47, {0, 0, 20, 20, 20, 10, 10, 0}); // EMR_PIE: box, start, end
    Emr(emf, 44, {25, 0, 45, 20, 8, 8});        // EMR_ROUNDRECT
    Emr(emf, 37, {int(0x80000007)});            // black pen
    emf.U32(85).U32(28 + 4 * 4).Zeros(16).U32(4).I16(0).I16(40).I16(10).I16(25).I16(20).I16(25).I16(30).I16(40);
    Emr(emf, 70, {4, 0x12345678});  // EMR_GDICOMMENT
    Emr(emf, 200, {1, 2, 3});       // unknown
    emf.U32(76).U32(100 + 40 + 16).Zeros(16).I32(40).I32(40).I32(2).I32(2).U32(SRCCOPY).I32(0).I32(0);
    for (float f : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        emf.U32(bits);
    }
    emf.U32(0).U32(DIB_RGB_COLORS).U32(100).U32(40).U32(140).U32(16);
    Dib32(emf);
    const QImage e = Played(CMetaFile::FromBytes(HandMadeEmf(emf)), 100, 100);
    EXPECT_EQ(At(e, 30, 10), kBlue) << "inside the pie, doubled";
    EXPECT_EQ(At(e, 10, 30), kGrey) << "outside the pie's quarter";
    EXPECT_EQ(At(e, 70, 20), kBlue) << "inside the rounded rectangle";
    EXPECT_EQ(At(e, 51, 1), kGrey) << "its rounded corner";
    EXPECT_EQ(At(e, 0, 80), kBlack) << "the curve starts at (0, 40), doubled";
    EXPECT_EQ(At(e, 81, 81), kBlue) << "the picture's top left pixel";
    EXPECT_EQ(At(e, 81, 83), kRed) << "its bottom left one";
    EXPECT_EQ(At(e, 83, 81), kGreen) << "its top right one";

    // Windows: a window set by the file, a pie, a chord, a rounded
    // rectangle, plain text, an escape and a picture by DIBStretchBlt.
    CLayout wmf;
    Meta(wmf, 0x020B, {0, 0});
    Meta(wmf, 0x020C, {50, 50}); // 50 units across the 100-pixel picture
    Meta(wmf, 0x02FC, {int(BS_SOLID), int(kBlue & 0xFFFF), int(kBlue >> 16), 0});
    Meta(wmf, 0x012D, {0});
    Meta(wmf, 0x02FA, {PS_NULL, 0, 0, 0, 0});
    Meta(wmf, 0x012D, {1});
    Meta(wmf, 0x081A, {0, 5, 5, 10, 10, 10, 0, 0}); // META_PIE: end, start, box
    Meta(wmf, 0x061C, {4, 4, 10, 25, 0, 15});       // META_ROUNDRECT: corner, box
    Meta(wmf, 0x0626, {15, 2, 0, 0});               // META_ESCAPE
    wmf.U32(3 + 10 + 28).U16(0x0B41).U32(SRCCOPY).I16(2).I16(2).I16(0).I16(0).I16(4).I16(4).I16(20).I16(20);
    Dib32(wmf);
    const QImage w = Played(CMetaFile::FromBytes(HandMadeWmf(wmf)), 100, 100);
    EXPECT_EQ(At(w, 15, 5), kBlue) << "inside the pie";
    EXPECT_EQ(At(w, 5, 15), kGrey) << "outside it";
    EXPECT_EQ(At(w, 40, 10), kBlue) << "the rounded rectangle";
    EXPECT_EQ(At(w, 41, 5), kBlue);
    EXPECT_EQ(At(w, 41, 7), kBlue) << "its picture's edge";
    EXPECT_EQ(At(w, 41, 41), kBlue) << "the picture's top left pixel";
    EXPECT_EQ(At(w, 41, 47), kRed) << "its bottom left one";
    EXPECT_EQ(At(w, 47, 47), kWhite) << "its bottom right one";
}

TEST(MetaFile, HostileMetafilesFailCleanly)
{
    NeedGuiApplication();
    const std::vector<std::uint8_t> emf = RecordEnhanced([](CDC& dc) { DrawSample(dc); }).GetBits();
    const std::vector<std::uint8_t> wmf = RecordPlaceable([](CDC& dc) { DrawSample(dc); }).GetBits();
    auto patched = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint32_t value, int size = 4) {
        for (int i = 0; i < size; ++i)
            bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        return bytes;
    };
    // Offsets into the sample files: the EMF's rectangle record starts at
    // 108 + 12 + 16 + 16 + 12 + 12 = 176, its polyline at 176 + 24 + 28 + 12;
    // the WMF's records at 40.
    const std::size_t emfPolyline = 176 + 24 + 28 + 12;
    CLayout deep;
    for (int i = 0; i < 20000; ++i)
        Emr(deep, 33, {});
    CLayout crowded;
    for (int i = 0; i < 20000; ++i)
        Meta(crowded, 0x02FA, {PS_SOLID, 1, 0, 0, 0});
    CLayout lyingRegion;
    Meta(lyingRegion, 0x06FF, {0, 6, 0, 0, 40, 30000, 4, 0, 0, 10, 10, 2, 0, 10, 0});
    Meta(lyingRegion, 0x012C, {0});
    CLayout lyingDib;
    lyingDib.U32(81).U32(80 + 40).Zeros(16).I32(0).I32(0).I32(0).I32(0).I32(100000).I32(100000);
    lyingDib.U32(80).U32(40).U32(120).U32(0x7FFFFFFF).U32(0).U32(SRCCOPY).I32(100).I32(100);
    lyingDib.U32(40).I32(100000).I32(100000).U16(1).U16(24).Zeros(24);
    CLayout lyingText;
    lyingText.U32(84).U32(76).Zeros(16).U32(1).U32(0).U32(0).I32(0).I32(0).U32(0xFFFFFFF0).U32(76).U32(0);
    lyingText.Zeros(16).U32(0);
    CLayout hugeArc;
    Emr(hugeArc, 45, {-INT_MAX, -INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, INT_MAX});
    CLayout hugeRoundRect;
    Emr(hugeRoundRect, 44, {-INT_MAX, -INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MAX});
    CLayout hugeRegion; // EMR_PAINTRGN: bounds, data size, header, one rectangle
    Emr(hugeRegion, 74, {0, 0, 0, 0, 48, 32, 1, 1, 16, -INT_MAX, -INT_MAX, INT_MAX, INT_MAX, -INT_MAX, -INT_MAX,
                         INT_MAX, INT_MAX});
    std::vector<std::uint8_t> hugeReference = patched(patched(emf, 80, INT_MAX), 84, INT_MAX);
    hugeReference = patched(patched(hugeReference, 100, 0), 104, 0);
    CLayout hugeHandles;
    Emr(hugeHandles, 38, {0x7FFFFFFF, 0, 1, 0, 0});
    Emr(hugeHandles, 37, {0x7FFFFFFF});
    Emr(hugeHandles, 40, {0x7FFFFFFF});
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        CMetaFile::Kind kind;
    } cases[] = {
        {"an enhanced header claiming more bytes than there are", patched(emf, 48, 0x7FFFFFF0), CMetaFile::Kind::None},
        {"an enhanced file cut after its header", std::vector<std::uint8_t>(emf.begin(), emf.begin() + 108),
         CMetaFile::Kind::None},
        {"a record of size 0", patched(emf, 176 + 4, 0), CMetaFile::Kind::Enhanced},
        {"a record of an odd size", patched(emf, 176 + 4, 21), CMetaFile::Kind::Enhanced},
        {"a record larger than the file", patched(emf, 176 + 4, 0x7FFFFFF0), CMetaFile::Kind::Enhanced},
        {"a polyline whose count lies", patched(emf, emfPolyline + 24, 0x40000000), CMetaFile::Kind::Enhanced},
        {"a header with 65535 handles", patched(emf, 56, 0xFFFF, 2), CMetaFile::Kind::Enhanced},
        {"objects beyond the table", HandMadeEmf(hugeHandles), CMetaFile::Kind::Enhanced},
        {"20000 saves and no restore", HandMadeEmf(deep), CMetaFile::Kind::Enhanced},
        {"an arc as wide as coordinates go", HandMadeEmf(hugeArc), CMetaFile::Kind::Enhanced},
        {"a rounded rectangle as wide as coordinates go", HandMadeEmf(hugeRoundRect), CMetaFile::Kind::Enhanced},
        {"a region as wide as coordinates go", HandMadeEmf(hugeRegion, 2, 2), CMetaFile::Kind::Enhanced},
        {"a reference device of 2^31 millimetres", hugeReference, CMetaFile::Kind::Enhanced},
        {"a picture whose sizes lie", HandMadeEmf(lyingDib), CMetaFile::Kind::Enhanced},
        {"a text whose count lies", HandMadeEmf(lyingText), CMetaFile::Kind::Enhanced},
        {"a Windows record of size 0", patched(wmf, 40, 0), CMetaFile::Kind::Placeable},
        {"a Windows record larger than the file", patched(wmf, 40, 0x7FFFFFF0), CMetaFile::Kind::Placeable},
        {"a polyline whose count lies", patched(wmf, 40 + 8 + 10 + 10 + 16 + 8 + 14 + 8 + 14 + 16 + 8 + 6, 0x7FFF, 2),
         CMetaFile::Kind::Placeable},
        {"a region whose scans lie", HandMadeWmf(lyingRegion), CMetaFile::Kind::Placeable},
        {"20000 objects in a table of 8", HandMadeWmf(crowded), CMetaFile::Kind::Placeable},
    };
    for (const auto& c : cases) {
        const CMetaFile file = CMetaFile::FromBytes(c.bytes);
        EXPECT_EQ(file.GetKind(), c.kind) << c.name;
        if (file.IsEmpty())
            continue;
        QImage image = MakeImage(kWidth, kHeight, kGrey);
        CDC dc(image);
        EXPECT_TRUE(file.Play(dc, CRect(0, 0, kWidth, kHeight))) << c.name;
        EXPECT_EQ(dc.GetMapMode(), MM_TEXT) << c.name;
        EXPECT_EQ(dc.GetClipRgn(nullptr), 0) << c.name;
    }
    // What comes before a broken record is drawn.
    const QImage before = Played(CMetaFile::FromBytes(patched(emf, emfPolyline + 4, 0)), kWidth, kHeight);
    EXPECT_EQ(At(before, 400, 250), kWhite) << "the background before the broken polyline";
    EXPECT_EQ(At(before, 140, 230), kWhite) << "nothing after it";
}

TEST(MetaFile, ClippingAndPicturesPlayAtAnySize)
{
    // Clipped to a triangle made as a path, then to a region made in
    // device pixels; an icon whose right half is see-through.
    std::vector<std::uint32_t> pixels(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[static_cast<std::size_t>(y * 16 + x)] = x < 8 ? 0xFF00C000u : 0x00FFFFFFu;
    CIcon icon;
    ASSERT_TRUE(icon.CreateFromPixels(16, 16, pixels.data()));
    auto draw = [&](CDC& dc) {
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(1000, 1000);
        dc.SetViewportExt(96, 96);
        dc.BeginPath();
        const CPoint triangle[] = {{0, 0}, {2000, 0}, {0, 2000}};
        dc.Polygon(triangle, 3);
        dc.EndPath();
        dc.SelectClipPath(RGN_COPY);
        dc.FillSolidRect(CRect(0, 0, 2500, 2500), kRed);
        // 125 x 125 device pixels from (125, 0): 1302 x 1302 thousandths.
        CRgn square;
        square.CreateRectRgn(125, 0, 250, 125);
        dc.SelectClipRgn(&square);
        dc.FillSolidRect(CRect(0, 0, 5000, 3000), kBlue);
        dc.SelectClipRgn(nullptr);
        dc.DrawIconEx(3000, 1500, icon, 1000, 1000);
    };
    const CMetaFile emf = RecordEnhanced(draw);
    const CMetaFile wmf = RecordPlaceable(draw);
    for (const int scale : {1, 2}) {
        for (const CMetaFile* file : {&emf, &wmf}) {
            SCOPED_TRACE(file == &emf ? "enhanced" : "placeable");
            const QImage played = Played(*file, kWidth * scale, kHeight * scale);
            auto at = [&](int x, int y) { return At(played, x * scale * 96 / 1000, y * scale * 96 / 1000); };
            EXPECT_EQ(at(300, 300), kRed) << "inside the triangle";
            EXPECT_EQ(at(1700, 1700), kGrey) << "outside it";
            EXPECT_EQ(at(1900, 600), kBlue) << "inside the region";
            EXPECT_EQ(at(1000, 1500), kGrey) << "outside the region";
            EXPECT_EQ(at(3000, 600), kGrey);
            EXPECT_EQ(at(3200, 2000), RGB(0, 192, 0)) << "the icon's opaque half";
            EXPECT_EQ(at(3800, 2000), kGrey) << "its see-through half";
        }
    }
}
