// Draws every pen style, cap and join, hatch, pattern and raster operation
// of the device context into one picture for a person to look at.
// Usage: DcSelfPortrait [output.png]

#include "platform/DC.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Label {
    int x;
    int y;
    std::string text;
};

constexpr int kWidth = 900;
constexpr int kHeight = 720;

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
    }
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (const Label& label : labels)
        painter.drawText(label.x, label.y, QString::fromStdString(label.text));
    painter.end();
    if (!image.save(QString::fromStdString(output))) {
        std::fprintf(stderr, "Cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("%s\n", output.c_str());
    return 0;
}
