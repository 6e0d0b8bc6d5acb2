// bench-deps: drel_platform
// Recording a map-like drawing of 50,000 primitives (polylines of 12
// points, polygons of 8, labels) from seeded random walks into enhanced
// and Windows metafiles, and playing them into a 2000 x 1500 picture,
// against drawing the same straight into the picture.
#include "platform/MetaFile.h"
#include "platform/MetaFileDC.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kPolylines = 36000;
constexpr int kPolygons = 10000;
constexpr int kLabels = 4000;
constexpr int kPrimitives = kPolylines + kPolygons + kLabels;
// 20 x 15 inches in thousandths; 100 pixels an inch on the picture.
constexpr int kInchesWide = 20;
constexpr int kInchesHigh = 15;
constexpr int kPixelsPerInch = 100;

struct Drawing {
    std::vector<std::vector<CPoint>> lines, areas;
    std::vector<CPoint> labelAt;
    std::vector<std::string> labels;
};

std::vector<CPoint> Walk(std::mt19937& random, int count, int step)
{
    std::uniform_int_distribution<int> x(0, kInchesWide * 1000), y(0, kInchesHigh * 1000), d(-step, step);
    std::vector<CPoint> points{{x(random), y(random)}};
    for (int i = 1; i < count; ++i)
        points.emplace_back(points.back().x + d(random), points.back().y + d(random));
    return points;
}

const Drawing& TheDrawing()
{
    static const Drawing drawing = [] {
        Drawing d;
        std::mt19937 random(40);
        for (int i = 0; i < kPolylines; ++i)
            d.lines.push_back(Walk(random, 12, 60));
        for (int i = 0; i < kPolygons; ++i)
            d.areas.push_back(Walk(random, 8, 120));
        const char* names[] = {"Vilnius", "Kaunas", "Klaip\xEB" "da", "\xD0iauliai", "Panev\xEB\xFEys"};
        for (int i = 0; i < kLabels; ++i) {
            d.labelAt.push_back(Walk(random, 1, 0).front());
            d.labels.emplace_back(names[i % 5]);
        }
        return d;
    }();
    return drawing;
}

// As a map layer draws: a few styles, each selected for its objects.
void Draw(CDC& dc, int pixelsPerInch)
{
    const Drawing& d = TheDrawing();
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1000, 1000);
    dc.SetViewportExt(pixelsPerInch, pixelsPerInch);
    dc.SelectObject(CPen::FromStock(NULL_PEN));
    dc.SelectObject(CBrush::FromStock(WHITE_BRUSH));
    dc.Rectangle(0, 0, kInchesWide * 1000, kInchesHigh * 1000);
    const CBrush fills[] = {CBrush(RGB(230, 220, 150)), CBrush(HS_BDIAGONAL, RGB(0, 120, 0)), CBrush(RGB(180, 200, 240))};
    const CPen outline(PS_SOLID, 0, RGB(90, 90, 90));
    dc.SelectObject(outline);
    for (std::size_t i = 0; i < d.areas.size(); ++i) {
        dc.SelectObject(fills[i % 3]);
        dc.Polygon(d.areas[i].data(), static_cast<int>(d.areas[i].size()));
    }
    const CPen streets[] = {CPen(PS_SOLID, 20, RGB(200, 60, 0)), CPen(PS_SOLID, 10, RGB(40, 40, 40)),
                            CPen(PS_DOT, 0, RGB(0, 0, 200))};
    for (std::size_t i = 0; i < d.lines.size(); ++i) {
        dc.SelectObject(streets[i % 3]);
        dc.Polyline(d.lines[i].data(), static_cast<int>(d.lines[i].size()));
    }
    LOGFONT lf;
    lf.lfHeight = -110;
    lf.lfCharSet = BALTIC_CHARSET;
    std::strcpy(lf.lfFaceName, "Arial");
    const CFont font(lf);
    dc.SelectObject(font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_CENTER | TA_BASELINE);
    for (std::size_t i = 0; i < d.labels.size(); ++i)
        dc.TextOut(d.labelAt[i].x, d.labelAt[i].y, d.labels[i]);
}

void NeedApplication()
{
    static int argc = 1;
    static char name[] = "metafile_bench";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QGuiApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

CMetaFile Record(bool enhanced)
{
    CMetaFileDC dc;
    if (enhanced)
        dc.CreateEnhanced(nullptr, CMetaFileDC::FrameFor(nullptr, kInchesWide * 96, kInchesHigh * 96));
    else
        dc.Create(nullptr, CRect(0, 0, kInchesWide * 1000, kInchesHigh * 1000));
    Draw(dc, 96);
    return dc.Close();
}

QImage Picture()
{
    QImage image(kInchesWide * kPixelsPerInch, kInchesHigh * kPixelsPerInch, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
}

// Pixels of two pictures that differ and whose colour the other lacks
// one pixel around: more than a few in a hundred means a wrong playing.
double Mismatched(const QImage& a, const QImage& b)
{
    long bad = 0;
    for (int y = 1; y + 1 < a.height(); y += 7)
        for (int x = 1; x + 1 < a.width(); x += 7) {
            if (a.pixel(x, y) == b.pixel(x, y))
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    near = near || b.pixel(x + dx, y + dy) == a.pixel(x, y);
            bad += near ? 0 : 1;
        }
    return double(bad) / ((a.width() / 7) * (a.height() / 7));
}

void BM_Record(benchmark::State& state, bool enhanced)
{
    NeedApplication();
    if (Record(enhanced).IsEmpty()) {
        state.SkipWithError("nothing recorded");
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = Record(enhanced).GetBits().size();
    state.counters["MB"] = double(bytes) / 1e6;
    state.SetItemsProcessed(state.iterations() * kPrimitives);
}

void BM_Play(benchmark::State& state, bool enhanced)
{
    NeedApplication();
    const CMetaFile file = Record(enhanced);
    QImage direct = Picture();
    {
        CDC dc(direct);
        Draw(dc, kPixelsPerInch);
    }
    QImage played = Picture();
    {
        CDC dc(played);
        file.Play(dc, CRect(0, 0, played.width(), played.height()));
    }
    // Line widths and text round a little differently at another size.
    const double wrong = Mismatched(direct, played);
    if (wrong > 0.03) {
        state.SkipWithError(("played picture differs from the direct one at " + std::to_string(wrong * 100) + "%").c_str());
        return;
    }
    for (auto _ : state) {
        QImage image = Picture();
        CDC dc(image);
        file.Play(dc, CRect(0, 0, image.width(), image.height()));
    }
    state.SetItemsProcessed(state.iterations() * kPrimitives);
}

void BM_DrawDirect(benchmark::State& state)
{
    NeedApplication();
    for (auto _ : state) {
        QImage image = Picture();
        CDC dc(image);
        Draw(dc, kPixelsPerInch);
    }
    state.SetItemsProcessed(state.iterations() * kPrimitives);
}

BENCHMARK_CAPTURE(BM_Record, Enhanced, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Record, Placeable, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Play, Enhanced, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Play, Placeable, false)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDirect)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
