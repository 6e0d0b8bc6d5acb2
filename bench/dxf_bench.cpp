// bench-deps: drel_mapdoc
// A drawing of 1,000,000 entities (lines, LWPOLYLINEs of 20 vertices and
// texts from seeded random walks, about 100 MB, written once per run into
// the temporary folder): read end to end through the DXF source, as a
// drawing pass and a layer of its texts read it; then drawn as a layer of
// its shapes and as one of its texts into a 1920 x 1080 map view at its
// whole extent, each first checked for ink where the drawing is.
#include "bench/FontBenchMain.h"
#include "layers/DxfSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"

#include <QImage>

#include <charconv>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

constexpr int kEntities = 1000000;
constexpr int kPolylineVertices = 20;

// Of every 20 entities: 14 lines, 2 polylines, 4 texts.
enum Kind { kLine, kPolyline, kText };
Kind KindOf(int n)
{
    const int k = n % 20;
    return k < 14 ? kLine : k < 16 ? kPolyline : kText;
}

class CDrawingWriter {
public:
    explicit CDrawingWriter(std::FILE* file) : m_file(file) { m_text.reserve(kFlushAt + 4096); }
    ~CDrawingWriter() { Flush(); }

    void Pair(int code, std::string_view value)
    {
        char digits[8];
        const auto end = std::to_chars(digits, digits + sizeof digits, code).ptr;
        m_text.append(3 - static_cast<size_t>(end - digits), ' ').append(digits, end).append("\n");
        m_text.append(value).append("\n");
        if (m_text.size() >= kFlushAt)
            Flush();
    }
    void Number(int code, double value)
    {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2).ptr;
        Pair(code, std::string_view(digits, static_cast<size_t>(end - digits)));
    }
    bool Flush()
    {
        const bool written = std::fwrite(m_text.data(), 1, m_text.size(), m_file) == m_text.size();
        m_text.clear();
        return written;
    }

private:
    static constexpr size_t kFlushAt = 1 << 20;
    std::FILE* m_file;
    std::string m_text;
};

struct CBenchDrawing {
    std::filesystem::path folder;
    std::string path;
    int64_t bytes = 0;
    int shapes = 0, texts = 0;
    int64_t points = 0;
    CMapPoint firstText, firstLine;
    bool made = false;

    CBenchDrawing()
    {
        folder = std::filesystem::temp_directory_path() / ("drel-bench-dxf-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        path = (folder / "brezinys.dxf").string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            return;
        {
            CDrawingWriter out(file);
            Write(out);
            made = out.Flush();
        }
        made = std::fclose(file) == 0 && made;
        std::error_code error;
        bytes = static_cast<int64_t>(std::filesystem::file_size(path, error));
        made = made && !error;
    }
    ~CBenchDrawing()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void Write(CDrawingWriter& out)
    {
        std::mt19937 random(20240301);
        std::uniform_real_distribution<double> start(0, 1000.0), step(-0.5, 0.5);
        out.Pair(0, "SECTION");
        out.Pair(2, "HEADER");
        out.Pair(9, "$ACADVER");
        out.Pair(1, "AC1015");
        out.Pair(0, "ENDSEC");
        out.Pair(0, "SECTION");
        out.Pair(2, "ENTITIES");
        for (int n = 0; n < kEntities; ++n) {
            CMapPoint p(start(random), start(random));
            switch (KindOf(n)) {
            case kLine:
                if (n == 0)
                    firstLine = CMapPoint(std::stod(Fixed(p.x)), std::stod(Fixed(p.y)));
                out.Pair(0, "LINE");
                out.Pair(8, "Keliai");
                out.Pair(62, "7");
                out.Number(10, p.x);
                out.Number(20, p.y);
                out.Number(11, p.x + step(random));
                out.Number(21, p.y + step(random));
                ++shapes;
                points += 2;
                break;
            case kPolyline:
                out.Pair(0, "LWPOLYLINE");
                out.Pair(8, "Pastatai");
                out.Pair(90, "20");
                out.Pair(70, "0");
                for (int k = 0; k < kPolylineVertices; ++k) {
                    out.Number(10, p.x);
                    out.Number(20, p.y);
                    p.x += step(random);
                    p.y += step(random);
                }
                ++shapes;
                points += kPolylineVertices;
                break;
            case kText:
                out.Pair(0, "TEXT");
                out.Pair(8, "Vardai");
                out.Number(10, p.x);
                out.Number(20, p.y);
                out.Pair(40, "2.5");
                out.Pair(1, "T" + std::to_string(n));
                if (texts++ == 0)
                    firstText = CMapPoint(std::stod(Fixed(p.x)), std::stod(Fixed(p.y)));
                break;
            }
        }
        out.Pair(0, "ENDSEC");
        out.Pair(0, "EOF");
    }

    static std::string Fixed(double value)
    {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2).ptr;
        return std::string(digits, end);
    }
};

CBenchDrawing& Drawing()
{
    static CBenchDrawing drawing;
    return drawing;
}

// What reading the whole drawing gave.
struct CPass {
    int shapes = 0, texts = 0;
    int64_t points = 0;
    CMapPoint firstText;
    std::string firstLabel;
    bool ok = false;
};

CPass ReadDrawing(const std::string& path)
{
    CPass pass;
    CDxfSource source;
    if (!source.Open(path))
        return pass;
    CShape shape;
    while (source.ReadNextShape(shape)) {
        ++pass.shapes;
        pass.points += shape.GetPointCount();
    }
    source.Rewind();
    CMapPoint point;
    while (source.ReadNextPoint(point)) {
        if (pass.texts++ == 0) {
            pass.firstText = point;
            source.GetTable().GetFieldText(CDxfSource::kLabelField, pass.firstLabel, 64);
        }
    }
    pass.ok = source.GetError() == 0;
    return pass;
}

void BM_ReadDrawing(benchmark::State& state)
{
    CBenchDrawing& drawing = Drawing();
    if (!drawing.made) {
        state.SkipWithError("the drawing could not be written");
        return;
    }
    const CPass check = ReadDrawing(drawing.path);
    if (!check.ok || check.shapes != drawing.shapes || check.texts != drawing.texts ||
        check.points != drawing.points || check.firstText != drawing.firstText ||
        check.firstLabel != "T" + std::to_string(16)) {
        state.SkipWithError("the drawing did not read back as written");
        return;
    }
    for (auto _ : state) {
        const CPass pass = ReadDrawing(drawing.path);
        benchmark::DoNotOptimize(pass.points);
    }
    state.counters["entities/s"] =
        benchmark::Counter(static_cast<double>(kEntities), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB"] = static_cast<double>(drawing.bytes) / 1e6;
    state.SetBytesProcessed(state.iterations() * drawing.bytes);
}
BENCHMARK(BM_ReadDrawing)->Unit(benchmark::kMillisecond)->Iterations(3);

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// The drawing as a layer of one type in a view of the whole drawing (the
// walks stay within 10 of the 1000 x 1000 square).
struct CDrawnDrawing {
    CDrelDoc doc;
    std::unique_ptr<CDrelView> view;
    QImage image{kWidth, kHeight, QImage::Format_RGB32};

    CDrawnDrawing(const std::string& path, int type)
    {
        doc.Settings().mapUnits = kUnitsMetres;
        doc.Settings().autoRecalcMapExtent = 0;
        doc.Settings().limits = CMapRect(-20, 1020, 1020, -20);
        // The layer's own style, whose colour is drawn from a cycle.
        doc.AddLayer(std::make_unique<CLayer>("Brezinys", path, type), false);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        view = std::make_unique<CDrelView>(doc);
        view->OnSize(kWidth, kHeight);
        view->ZoomToFullExtent();
    }

    void Draw()
    {
        image.fill(Qt::white);
        view->Redraw();
        CDC dc(image);
        view->OnDraw(dc);
    }

    // Ink at the first object and over much of the picture.
    bool Check(const CMapPoint& first, std::string& error)
    {
        const CPoint at = view->MapToClient(first);
        bool inked = false;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = at.x + dx, y = at.y + dy;
                inked = inked || (x >= 0 && y >= 0 && x < kWidth && y < kHeight && image.pixel(x, y) != qRgb(255, 255, 255));
            }
        if (!inked)
            return error = "no ink at the first object", false;
        int64_t ink = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ink += image.pixel(x, y) != qRgb(255, 255, 255);
        if (ink < kWidth * kHeight / 4)
            return error = "too little of the picture is drawn: " + std::to_string(ink) + " pixels", false;
        return true;
    }
};

void BM_DrawDrawing(benchmark::State& state)
{
    CBenchDrawing& drawing = Drawing();
    if (!drawing.made) {
        state.SkipWithError("the drawing could not be written");
        return;
    }
    const int type = static_cast<int>(state.range(0));
    CDrawnDrawing drawn(drawing.path, type);
    drawn.Draw();
    std::string error;
    if (!drawn.Check(type == CLayer::kPoint ? drawing.firstText : drawing.firstLine, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    if (const char* out = std::getenv("DREL_SAVE_PICTURES"))
        drawn.image.save(QString::fromUtf8(out) + QString("/dxf-draw-%1.png").arg(type));
    for (auto _ : state)
        drawn.Draw();
    state.counters["entities/s"] =
        benchmark::Counter(static_cast<double>(kEntities), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["objects"] = type == CLayer::kPoint ? drawing.texts : drawing.shapes;
}
BENCHMARK(BM_DrawDrawing)
    ->ArgName("type")
    ->Arg(CLayer::kLine)
    ->Arg(CLayer::kPoint)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarksWithFonts(argc, argv);
}
