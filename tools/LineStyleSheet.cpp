// tool-deps: drel_render
// Draws every line code at 1, 2 and 5 device pixels, every fill (solid,
// hollow, hatches, patterns) and every line code as an area outline, once
// on a 96-dpi screen and once on a 300-dpi printer, in the mapping the map
// view draws with (thousandths of an inch), for a person to look at.
// Usage: LineStyleSheet [output prefix]  (writes <prefix>-screen.png and <prefix>-printer.png)

#include "layers/DrawStyle.h"
#include "platform/DC.h"
#include "render/AreaPainter.h"
#include "render/LinePainter.h"
#include "render/PatternBrushes.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The sheet in thousandths of an inch.
constexpr int kLabelWidth = 1300;
constexpr int kCellWidth = 3000;
constexpr int kRowHeight = 450;
constexpr int kSheetWidth = kLabelWidth + 3 * kCellWidth + 100;
constexpr int kLineCodes = 18;
constexpr int kSwatch = 500;
constexpr int kSwatchStep = 700;
constexpr int kSwatchRowHeight = 720;
constexpr int kSwatchesPerRow = 14;

constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kLineColour = RGB(200, 30, 30);
constexpr COLORREF kPaper = RGB(236, 236, 226);

const char* const kCodeNames[kLineCodes] = {
    "0 solid",       "1 dash",         "2 dot",          "3 dash dot",  "4 dash dot dot", "5 null",
    "6 inside frame", "7 user style",  "8 alternate",    "9 dots",      "10 white dashes", "11 black casing",
    "12 arrow at end", "13 arrow at start", "14 arrows both", "15 double", "16 dashed casing", "17 arrow pieces",
};

struct Label {
    int x;
    int y;
    std::string text;
};

// One cell's sample: a loop turning right, down, left and up, and a zigzag,
// as two parts.
void SampleLine(CLinePainter& painter, int x, int y)
{
    std::vector<CPoint> points = {
        {x + 100, y + 80},  {x + 1000, y + 80},  {x + 1000, y + 380}, {x + 200, y + 380},
        {x + 200, y + 180}, {x + 600, y + 180},  {x + 1300, y + 380}, {x + 1700, y + 80},
        {x + 2100, y + 380}, {x + 2500, y + 80}, {x + 2900, y + 300},
    };
    const int counts[2] = {6, 5};
    painter.DrawPolyPolyline(points.data(), counts, 2);
}

int LineSection(CDC& dc, int top, std::vector<Label>& labels)
{
    const int dpi = dc.GetDeviceCaps(LOGPIXELSX);
    const int pixels[3] = {1, 2, 5};
    for (int i = 0; i < 3; ++i)
        labels.push_back({kLabelWidth + i * kCellWidth + 100, top - 40, std::to_string(pixels[i]) + " px"});
    for (int code = 0; code < kLineCodes; ++code) {
        const int y = top + code * kRowHeight;
        labels.push_back({50, y + 260, kCodeNames[code]});
        dc.FillSolidRect(CRect(kLabelWidth, y + 20, kSheetWidth - 100, y + kRowHeight - 20), kPaper);
        for (int i = 0; i < 3; ++i) {
            CLinePainter painter(dc);
            CDrawStyle style;
            style.penStyle = static_cast<std::uint32_t>(code);
            style.penWidth = static_cast<std::uint32_t>(pixels[i] * 1000 / dpi);
            style.penColor = kLineColour;
            painter.SetStyle(style);
            SampleLine(painter, kLabelWidth + i * kCellWidth, y);
        }
    }
    return top + kLineCodes * kRowHeight;
}

void Swatch(CDC& dc, const CDrawStyle& style, int index, int top, const std::string& name,
            std::vector<Label>& labels)
{
    const int x = 100 + (index % kSwatchesPerRow) * kSwatchStep;
    const int y = top + (index / kSwatchesPerRow) * kSwatchRowHeight;
    CAreaPainter painter(dc);
    painter.SetStyle(style);
    // A square with a square hole: two rings.
    std::vector<CPoint> points = {
        {x, y}, {x + kSwatch, y}, {x + kSwatch, y + kSwatch}, {x, y + kSwatch},
        {x + 150, y + 150}, {x + 150, y + 350}, {x + 350, y + 350}, {x + 350, y + 150},
    };
    const int counts[2] = {4, 4};
    painter.DrawPolyPolygon(points.data(), counts, 2);
    labels.push_back({x, y + kSwatch + 130, name});
}

int FillSection(CDC& dc, int top, std::vector<Label>& labels)
{
    const int dpi = dc.GetDeviceCaps(LOGPIXELSX);
    labels.push_back({100, top - 40, "Fills: solid, hollow, hatches 0-5, patterns 0-42 (blue bits over yellow)"});
    std::vector<std::pair<CDrawStyle, std::string>> fills;
    CDrawStyle base;
    base.penWidth = static_cast<std::uint32_t>(1000 / dpi);
    base.penColor = kInk;
    base.brushColor = RGB(60, 120, 200);
    base.backColor = RGB(255, 240, 150);
    base.backMode = TRANSPARENT;
    CDrawStyle solid = base;
    fills.push_back({solid, "solid"});
    CDrawStyle hollow = base;
    hollow.brushStyle = BS_NULL;
    fills.push_back({hollow, "hollow"});
    for (int hatch = HS_HORIZONTAL; hatch <= HS_DIAGCROSS; ++hatch) {
        CDrawStyle hatched = base;
        hatched.brushStyle = BS_HATCHED;
        hatched.hatch = hatch;
        fills.push_back({hatched, "hatch " + std::to_string(hatch)});
    }
    for (int n = 0; n < kPatternBrushCount; ++n) {
        CDrawStyle pattern = base;
        pattern.brushStyle = BS_PATTERN;
        pattern.hatch = n;
        fills.push_back({pattern, "pattern " + std::to_string(n)});
    }
    for (std::size_t i = 0; i < fills.size(); ++i)
        Swatch(dc, fills[i].first, static_cast<int>(i), top, fills[i].second, labels);
    const int rows = static_cast<int>((fills.size() + kSwatchesPerRow - 1) / kSwatchesPerRow);
    return top + rows * kSwatchRowHeight;
}

int OutlineSection(CDC& dc, int top, std::vector<Label>& labels)
{
    const int dpi = dc.GetDeviceCaps(LOGPIXELSX);
    labels.push_back({100, top - 40, "Every line code as an area outline, 2 px, over a light fill"});
    for (int code = 0; code < kLineCodes; ++code) {
        CDrawStyle style;
        style.penStyle = static_cast<std::uint32_t>(code);
        style.penWidth = static_cast<std::uint32_t>(2 * 1000 / dpi);
        style.penColor = kLineColour;
        style.brushColor = RGB(190, 220, 190);
        Swatch(dc, style, code, top, std::to_string(code), labels);
    }
    return top + 2 * kSwatchRowHeight;
}

bool DrawSheet(int dpi, bool printer, const std::string& path)
{
    const int width = kSheetWidth * dpi / 1000;
    const int height = (kLineCodes * kRowHeight + 5 * kSwatchRowHeight + 2 * kSwatchRowHeight + 900) * dpi / 1000;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
    image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
    std::vector<Label> labels;
    {
        CDC dc(image);
        if (printer) {
            CDC::DeviceInfo info = dc.GetDeviceInfo();
            info.technology = DT_RASPRINTER;
            dc.SetDeviceInfo(info);
        }
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(1000, 1000);
        dc.SetViewportExt(dpi, dpi);
        dc.SetBkMode(TRANSPARENT);
        int top = 250;
        labels.push_back({50, 150, std::string(printer ? "300-dpi printer" : "96-dpi screen") +
                                       ": line codes at 1, 2 and 5 device pixels"});
        top = LineSection(dc, top + 100, labels);
        top = FillSection(dc, top + 250, labels);
        OutlineSection(dc, top + 250, labels);

        LOGFONT lf;
        lf.lfHeight = -100;
        dc.SelectObject(CFont(lf));
        dc.SetTextColor(kInk);
        dc.SetTextAlign(TA_LEFT | TA_BASELINE);
        for (const Label& label : labels)
            dc.TextOut(label.x, label.y, label.text);
    }
    if (!image.save(QString::fromStdString(path))) {
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the labels need fonts
    const std::string prefix = argc > 1 ? argv[1] : "line-styles";
    const bool screen = DrawSheet(96, false, prefix + "-screen.png");
    const bool printer = DrawSheet(300, true, prefix + "-printer.png");
    return screen && printer ? 0 : 1;
}
