// Draws every pen style, cap and join, hatch, pattern and raster operation
// of the device context, its picture blits and its text into one picture
// for a person to look at.
// Usage: DcSelfPortrait [output.png]

#include "platform/DC.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Label {
    int x;
    int y;
    std::string text;
};

constexpr int kWidth = 900;
constexpr int kHeight = 1000;

void PenStyles(CDC& dc, std::vector<Label>& labels)
{
    const char* names[] = {"PS_SOLID", "PS_DASH", "PS_DOT", "PS_DASHDOT", "PS_DASHDOTDOT", "PS_NULL", "PS_INSIDEFRAME"};
    for (int style = PS_SOLID; style <= PS_INSIDEFRAME; ++style) {
        const int y = 30 + style * 22;
        labels.push_back({10, y + 4, names[style]});
        for (int opaque = 0; opaque < 2; ++opaque) {
            const int x = 140 + opaque * 230;
            dc.SetBkMode(opaque ? OPAQUE : TRANSPARENT);
            dc.SetBkColor(RGB(255, 200, 0));
            dc.SelectObject(CPen(style, 0, RGB(0, 0, 160)));
            dc.MoveTo(x, y);
            dc.LineTo(x + 150, y);
            dc.MoveTo(x + 160, y - 8);
            dc.LineTo(x + 210, y + 10);
        }
    }
    labels.push_back({140, 12, "transparent background"});
    labels.push_back({370, 12, "opaque background (orange)"});
    const std::uint32_t user[] = {2, 1, 6, 3};
    const struct {
        const char* name;
        std::uint32_t style;
    } extras[] = {{"PS_ALTERNATE", PS_ALTERNATE}, {"PS_USERSTYLE 2,1,6,3", PS_USERSTYLE}};
    for (int i = 0; i < 2; ++i) {
        const int y = 30 + (7 + i) * 22;
        labels.push_back({10, y + 4, extras[i].name});
        const bool userStyle = extras[i].style == PS_USERSTYLE;
        dc.SelectObject(CPen(static_cast<int>(extras[i].style), 1, LOGBRUSH{BS_SOLID, RGB(0, 0, 160), 0},
                             userStyle ? 4 : 0, userStyle ? user : nullptr));
        dc.SetBkMode(TRANSPARENT);
        dc.MoveTo(140, y);
        dc.LineTo(290, y);
    }
}

void CapsAndJoins(CDC& dc, std::vector<Label>& labels)
{
    const struct {
        const char* name;
        std::uint32_t bits;
    } caps[] = {{"round cap", PS_ENDCAP_ROUND}, {"square cap", PS_ENDCAP_SQUARE}, {"flat cap", PS_ENDCAP_FLAT}},
      joins[] = {{"round join", PS_JOIN_ROUND}, {"bevel join", PS_JOIN_BEVEL}, {"miter join", PS_JOIN_MITER}};
    labels.push_back({610, 12, "geometric pens, width 9 (hairline: the figure)"});
    for (int c = 0; c < 3; ++c)
        for (int j = 0; j < 3; ++j) {
            const int x = 610 + j * 95;
            const int y = 40 + c * 70;
            if (c == 0)
                labels.push_back({x, 32, joins[j].name});
            if (j == 0)
                labels.push_back({540, y + 25, caps[c].name});
            const CPoint zigzag[] = {{x + 10, y + 45}, {x + 35, y + 5}, {x + 60, y + 45}, {x + 80, y + 15}};
            dc.SelectObject(CPen(static_cast<int>(PS_GEOMETRIC | caps[c].bits | joins[j].bits), 9,
                                 LOGBRUSH{BS_SOLID, RGB(0, 150, 0), 0}));
            dc.Polyline(zigzag, 4);
            dc.SelectObject(CPen(PS_SOLID, 0, RGB(255, 255, 255)));
            dc.Polyline(zigzag, 4);
        }
    const int y = 270;
    labels.push_back({540, y - 6, "geometric dashes, width 5"});
    for (int style = PS_DASH; style <= PS_DASHDOTDOT; ++style) {
        dc.SelectObject(CPen(static_cast<int>(PS_GEOMETRIC | PS_ENDCAP_FLAT | style), 5, LOGBRUSH{BS_SOLID, RGB(150, 0, 0), 0}));
        dc.MoveTo(540, y + style * 14);
        dc.LineTo(880, y + style * 14);
    }
}

void Brushes(CDC& dc, std::vector<Label>& labels)
{
    const char* names[] = {"HS_HORIZONTAL", "HS_VERTICAL", "HS_FDIAGONAL", "HS_BDIAGONAL", "HS_CROSS", "HS_DIAGCROSS"};
    const int top = 270;
    labels.push_back({10, top - 6, "hatches: transparent / opaque (yellow), then a pattern brush"});
    dc.SelectObject(CPen(PS_SOLID, 0, RGB(0, 0, 0)));
    dc.SetBkColor(RGB(255, 255, 120));
    for (int hatch = HS_HORIZONTAL; hatch <= HS_DIAGCROSS; ++hatch) {
        const int x = 10 + hatch * 85;
        labels.push_back({x, top + 100, names[hatch]});
        dc.SelectObject(CBrush(hatch, RGB(160, 0, 160)));
        dc.SetBkMode(TRANSPARENT);
        dc.Rectangle(x, top, x + 75, top + 40);
        dc.SetBkMode(OPAQUE);
        dc.Rectangle(x, top + 45, x + 75, top + 85);
    }
    CBrush pattern;
    pattern.CreatePatternBrush({0x7C, 0xBB, 0xC4, 0xC7, 0xC7, 0xBB, 0x4C, 0x7C});
    dc.SelectObject(pattern);
    dc.SetTextColor(RGB(0, 90, 200));
    dc.SetBkColor(RGB(230, 240, 255));
    const CPoint star[] = {{560, 330}, {600, 420}, {510, 360}, {620, 360}, {520, 420}};
    dc.SetPolyFillMode(WINDING);
    dc.Polygon(star, 5);
    dc.SetPolyFillMode(ALTERNATE);
    const CPoint star2[] = {{700, 330}, {740, 420}, {650, 360}, {760, 360}, {660, 420}};
    dc.Polygon(star2, 5);
    labels.push_back({510, 440, "WINDING"});
    labels.push_back({650, 440, "ALTERNATE"});
    dc.SetTextColor(RGB(0, 0, 0));
}

void RasterOperations(CDC& dc, std::vector<Label>& labels)
{
    const char* names[] = {"",           "R2_BLACK",       "R2_NOTMERGEPEN", "R2_MASKNOTPEN", "R2_NOTCOPYPEN", "R2_MASKPENNOT",
                           "R2_NOT",     "R2_XORPEN",      "R2_NOTMASKPEN",  "R2_MASKPEN",    "R2_NOTXORPEN",  "R2_NOP",
                           "R2_MERGENOTPEN", "R2_COPYPEN", "R2_MERGEPENNOT", "R2_MERGEPEN",   "R2_WHITE"};
    const int top = 470;
    labels.push_back({10, top - 6, "raster operations: pen and brush red (255, 0, 0) over black, white, blue and a grey ramp"});
    for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
        const int i = rop - 1;
        const int x = 10 + (i % 8) * 110;
        const int y = top + (i / 8) * 120;
        labels.push_back({x, y + 105, names[rop]});
        dc.SetROP2(R2_COPYPEN);
        dc.FillSolidRect(x, y, 100, 25, RGB(0, 0, 0));
        dc.FillSolidRect(x, y + 25, 100, 25, RGB(255, 255, 255));
        dc.FillSolidRect(x, y + 50, 100, 25, RGB(0, 0, 255));
        for (int k = 0; k < 100; ++k)
            dc.FillSolidRect(x + k, y + 75, 1, 20, RGB(k * 255 / 99, k * 255 / 99, k * 255 / 99));
        dc.SetROP2(rop);
        dc.SelectObject(CBrush(RGB(255, 0, 0)));
        dc.SelectObject(CPen(PS_SOLID, 3, RGB(255, 0, 0)));
        dc.Ellipse(x + 20, y + 5, x + 80, y + 90);
    }
    dc.SetROP2(R2_COPYPEN);
}

// A packed DIB of 8 x 8 pixels: a red-blue ramp crossed by a white diagonal
// and a green border, at 4 or 24 bits.
std::vector<std::uint8_t> TestDib(int bits)
{
    const int side = 8;
    const int colours = bits == 4 ? 16 : 0;
    const int stride = ((side * bits + 31) / 32) * 4;
    BITMAPINFOHEADER h;
    h.biWidth = side;
    h.biHeight = side;
    h.biBitCount = static_cast<std::uint16_t>(bits);
    std::vector<std::uint8_t> dib(sizeof h + 4 * colours + stride * side, 0);
    std::memcpy(dib.data(), &h, sizeof h);
    auto colourOf = [](int index) {
        if (index == 14)
            return RGB(255, 255, 255);
        if (index == 15)
            return RGB(0, 160, 0);
        return RGB(index * 18, 0, 255 - index * 18);
    };
    for (int i = 0; i < colours; ++i) {
        const COLORREF c = colourOf(i);
        std::uint8_t* e = dib.data() + sizeof h + 4 * i;
        e[0] = static_cast<std::uint8_t>(GetBValue(c));
        e[1] = static_cast<std::uint8_t>(GetGValue(c));
        e[2] = static_cast<std::uint8_t>(GetRValue(c));
    }
    std::uint8_t* pixels = dib.data() + sizeof h + 4 * colours;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int index = (x == 0 || y == 0 || x == side - 1 || y == side - 1) ? 15 : (x == y ? 14 : x + y);
            std::uint8_t* row = pixels + stride * (side - 1 - y);
            if (bits == 4) {
                row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
            } else {
                const COLORREF c = colourOf(index);
                row[3 * x] = static_cast<std::uint8_t>(GetBValue(c));
                row[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(c));
                row[3 * x + 2] = static_cast<std::uint8_t>(GetRValue(c));
            }
        }
    return dib;
}

void Pictures(CDC& dc, std::vector<Label>& labels)
{
    const int top = 740;
    labels.push_back({10, top - 6, "DIBs (4 and 24 bits, 8 x 8): 6x and 0.5x in COLORONCOLOR and HALFTONE, "
                                   "transparent (white left out), mirrored"});
    int x = 10;
    for (int bits : {4, 24}) {
        const std::vector<std::uint8_t> dib = TestDib(bits);
        const DibData data = DibData::Packed(dib.data(), dib.size());
        for (int mode : {COLORONCOLOR, HALFTONE}) {
            dc.SetStretchBltMode(mode);
            dc.StretchDIBits(x, top, 48, 48, 0, 0, 8, 8, data, DIB_RGB_COLORS, SRCCOPY);
            dc.StretchDIBits(x + 52, top, 4, 4, 0, 0, 8, 8, data, DIB_RGB_COLORS, SRCCOPY);
            labels.push_back({x, top + 62, (std::to_string(bits) + (mode == HALFTONE ? " HALFTONE" : " COLOR"))});
            x += 80;
        }
        dc.FillSolidRect(x, top, 48, 48, RGB(255, 200, 0));
        dc.TransparentDIBits(x, top, 48, 48, 0, 0, 8, 8, data, bits == 4 ? 14 : -1, RGB(255, 255, 255));
        dc.StretchDIBits(x + 104, top, -48, 48, 0, 0, 8, 8, data, DIB_RGB_COLORS, SRCCOPY);
        x += 130;
    }
}

void Texts(CDC& dc, std::vector<Label>& labels)
{
    const int top = 830;
    labels.push_back({10, top - 6, "TextOut alignments about the red crosses; escapements 0 to 3150; DrawText with "
                                   "word break and an opaque background"});
    LOGFONT lf;
    lf.lfHeight = -15;
    lf.lfCharSet = BALTIC_CHARSET;
    std::strcpy(lf.lfFaceName, "Arial Baltic");
    dc.SelectObject(CFont(lf));
    dc.SetBkMode(TRANSPARENT);
    const unsigned aligns[] = {TA_LEFT | TA_TOP, TA_CENTER | TA_BASELINE, TA_RIGHT | TA_BOTTOM};
    for (int i = 0; i < 3; ++i) {
        const int x = 100 + i * 60;
        const int y = top + 30 + i * 40;
        dc.SetTextAlign(aligns[i]);
        dc.TextOut(x, y, "\xD0iauliai");
        dc.SelectObject(CPen(PS_SOLID, 0, RGB(255, 0, 0)));
        dc.MoveTo(x - 4, y);
        dc.LineTo(x + 5, y);
        dc.MoveTo(x, y - 4);
        dc.LineTo(x, y + 5);
    }
    dc.SetTextAlign(TA_LEFT | TA_BASELINE);
    for (int angle = 0; angle < 3600; angle += 450) {
        lf.lfEscapement = lf.lfOrientation = angle;
        dc.SelectObject(CFont(lf));
        dc.TextOut(480, top + 80, "Panev\xEB\xFEys");
    }
    lf.lfEscapement = lf.lfOrientation = 0;
    lf.lfHeight = -13;
    std::strcpy(lf.lfFaceName, "Times New Roman");
    dc.SelectObject(CFont(lf));
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(230, 240, 255));
    CRect box(640, top, 880, top + 150);
    dc.SelectObject(CBrush::FromStock(NULL_BRUSH));
    dc.SelectObject(CPen(PS_SOLID, 0, RGB(0, 0, 0)));
    dc.Rectangle(box);
    box.DeflateRect(4, 4);
    dc.DrawText("Kauno, Vilniaus ir \xD0iauli\xF8 apskri\xE8i\xF8 keli\xF8 tinklas &su gatv\xEBmis", &box,
                DT_WORDBREAK | DT_CENTER);
    dc.SetBkMode(TRANSPARENT);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the labels need fonts
    const std::string output = argc > 1 ? argv[1] : "dc-self-portrait.png";

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    std::vector<Label> labels;
    {
        CDC dc(image);
        PenStyles(dc, labels);
        CapsAndJoins(dc, labels);
        Brushes(dc, labels);
        RasterOperations(dc, labels);
        Pictures(dc, labels);
        Texts(dc, labels);
        LOGFONT lf;
        lf.lfHeight = -10;
        dc.SelectObject(CFont(lf));
        dc.SetTextColor(RGB(0, 0, 0));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(TA_LEFT | TA_BASELINE);
        for (const Label& label : labels)
            dc.TextOut(label.x, label.y, label.text);
    }
    if (!image.save(QString::fromStdString(output))) {
        std::fprintf(stderr, "Cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("%s\n", output.c_str());
    return 0;
}
