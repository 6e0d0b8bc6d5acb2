#include "geoproc/CoordGrid.h"

#include "core/LatLonText.h"
#include "core/Shape.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/ResultLayerFile.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/MapSettings.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace {

constexpr int kProgressCaption = 125;
constexpr char kDegreeSign[] = "\xB0";
constexpr char kManyObjects[] = "Tinklelį sudarys %.0f objektų. Ar tikrai jį kurti?";
constexpr char kTooManyObjects[] = "Tinklelį sudarytų %.0f objektų, o galima ne daugiau kaip %.0f. Padidinkite "
                                   "atstumą tarp linijų arba sumažinkite ribas.";
constexpr char kEmptyGrid[] = "Tarp nurodytų ribų tinklelio nėra: ribos sutampa arba neįvestos.";

// Dialog values of the run: the step for each kind of map, the rest shared.
struct CGridMemory {
    int objectType = CCoordGridParams::kRectangles;
    int wholeSteps = 1;
    int extraPoints = 2;
    std::string projectedStep = "1 km";
    std::string geographicStep = std::string("1") + kDegreeSign;
};

CGridMemory& Memory()
{
    static CGridMemory memory;
    return memory;
}

// Floating quotients a hair from a whole number (5' is 0.083333... of a
// degree) count as that number, so an exact bound gains no extra step.
double NearWhole(double q)
{
    const double whole = std::nearbyint(q);
    return std::fabs(q - whole) <= 1e-9 * std::max(1.0, std::fabs(q)) ? whole : q;
}

double TolerantFloor(double q)
{
    return std::floor(NearWhole(q));
}

double TolerantCeil(double q)
{
    return std::ceil(NearWhole(q));
}

bool IsWhole(double value)
{
    return NearWhole(value) == std::nearbyint(value);
}

// The points of a side from a to b: the extra points, then b.
void AddSide(CShape& shape, const CMapPoint& a, const CMapPoint& b, int extra)
{
    for (int j = 1; j <= extra; ++j) {
        const double t = static_cast<double>(j) / (extra + 1);
        shape.AddPoint(CMapPoint{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
    }
    shape.AddPoint(b);
}

} // namespace

std::vector<std::string> CCoordGridRules::StepTexts(bool geographic)
{
    if (geographic) {
        const std::string degree(kDegreeSign);
        return {"5'", "10'", "30'", "1" + degree, "5" + degree, "10" + degree};
    }
    return {"100 m", "500 m", "1 km", "5 km", "10 km"};
}

CCoordGridParams CCoordGridRules::Initial(bool geographic, const CMapRect& limits)
{
    const CGridMemory& memory = Memory();
    CCoordGridParams params;
    params.objectType = memory.objectType;
    params.wholeSteps = memory.wholeSteps;
    params.extraPoints = memory.extraPoints;
    params.step = geographic ? memory.geographicStep : memory.projectedStep;
    if (limits.right > limits.left && limits.top > limits.bottom) {
        params.north = limits.top;
        params.south = limits.bottom;
        params.west = limits.left;
        params.east = limits.right;
    }
    return params;
}

void CCoordGridRules::RememberStep(bool geographic, const std::string& step)
{
    (geographic ? Memory().geographicStep : Memory().projectedStep) = step;
}

void CCoordGridRules::Remember(const CCoordGridParams& params)
{
    Memory().objectType = params.objectType;
    Memory().wholeSteps = params.wholeSteps;
    Memory().extraPoints = params.extraPoints;
}

bool ParseGridStep(const std::string& text, bool geographic, double& step)
{
    size_t consumed = 0;
    const double number = ParseDoubleC(text, &consumed);
    if (consumed == 0 || !std::isfinite(number) || number <= 0)
        return false;
    // The unit is the next word, as "%lf%s" reads it.
    size_t begin = consumed;
    while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    size_t end = begin;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t')
        ++end;
    const std::string unit = text.substr(begin, end - begin);
    if (geographic)
        step = unit.starts_with('\'') ? number / 60 : unit.starts_with('"') ? number / 3600 : number;
    else
        step = EqualsNoCase1257(unit, "km") ? number * 1000 : number;
    return std::isfinite(step) && step > 0;
}

bool PlanCoordGrid(const CCoordGridParams& params, bool geographic, CCoordGridPlan& plan)
{
    double step = 0;
    if (!ParseGridStep(params.step, geographic, step))
        return false;
    plan = {};
    plan.geographic = geographic;
    plan.lines = params.objectType == CCoordGridParams::kLines;
    plan.step = step;
    plan.extraPoints = std::clamp(params.extraPoints, 0, CCoordGridRules::kMaxExtraPoints);
    plan.west = std::min(params.west, params.east);
    plan.east = std::max(params.west, params.east);
    plan.south = std::min(params.south, params.north);
    plan.north = std::max(params.south, params.north);
    if (params.wholeSteps) {
        plan.west = TolerantFloor(plan.west / step) * step;
        plan.south = TolerantFloor(plan.south / step) * step;
        plan.east = TolerantCeil(plan.east / step) * step;
        plan.north = TolerantCeil(plan.north / step) * step;
    }
    if (geographic) {
        plan.west = std::max(plan.west, -180.0);
        plan.east = std::min(plan.east, 180.0);
        plan.south = std::max(plan.south, -90.0);
        plan.north = std::min(plan.north, 90.0);
    }
    plan.columns = std::max(0.0, TolerantCeil((plan.east - plan.west) / step)) + 1;
    plan.rows = std::max(0.0, TolerantCeil((plan.north - plan.south) / step)) + 1;
    return std::isfinite(plan.columns) && std::isfinite(plan.rows);
}

double CCoordGridPlan::ObjectCount() const
{
    if (columns < 2 || rows < 2)
        return 0;
    return lines ? columns + rows : (columns - 1) * (rows - 1);
}

std::string GridColumnLetters(long long column)
{
    std::string letters;
    for (long long n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

void CCoordGridPlan::MakeObject(long long n, CShape& shape, std::string& label) const
{
    shape = CShape();
    const auto x = [this](double i) { return west + i * step; };
    const auto y = [this](double k) { return south + k * step; };
    const long long nx = static_cast<long long>(columns);
    const long long ny = static_cast<long long>(rows);
    const std::string degree = geographic ? kDegreeSign : "";
    if (lines && n < nx) {
        const double xi = x(static_cast<double>(n));
        shape.AddPoint(CMapPoint{xi, y(0)});
        for (long long k = 1; k < ny; ++k)
            AddSide(shape, CMapPoint{xi, y(static_cast<double>(k - 1))}, CMapPoint{xi, y(static_cast<double>(k))},
                    extraPoints);
        if (IsWhole(step) && IsWhole(west))
            label = FormatC("%1.0lf", xi) + degree;
        else if (!geographic)
            label = FormatC("%lld", n);
        else
            FormatLongitudeText(xi, 0, 7, label);
    } else if (lines) {
        const long long k = n - nx;
        const double yk = y(static_cast<double>(k));
        shape.AddPoint(CMapPoint{x(0), yk});
        for (long long i = 1; i < nx; ++i)
            AddSide(shape, CMapPoint{x(static_cast<double>(i - 1)), yk}, CMapPoint{x(static_cast<double>(i)), yk},
                    extraPoints);
        if (IsWhole(step) && IsWhole(south))
            label = FormatC("%1.0lf", yk) + degree;
        else if (!geographic)
            label = FormatC("%lld", ny - 1 - k);
        else
            FormatLatitudeText(0, yk, 7, label);
    } else {
        const long long i = n / (ny - 1);
        const long long k = ny - 2 - n % (ny - 1);
        const double x0 = x(static_cast<double>(i)), x1 = x(static_cast<double>(i + 1));
        const double y0 = y(static_cast<double>(k)), y1 = y(static_cast<double>(k + 1));
        const CMapPoint corners[] = {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
        shape.AddPoint(corners[0]);
        for (int side = 0; side < 4; ++side)
            AddSide(shape, corners[side], corners[side + 1], extraPoints);
        label = GridColumnLetters(i) + FormatC("%lld", ny - 1 - k);
    }
}

int CreateCoordinateGrid(CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    const bool geographic = document.Settings().mapUnits == kUnitsDegrees;
    CCoordGridParams params = CCoordGridRules::Initial(geographic, document.Settings().limits);
    if (!GeoprocDialogs().AskCoordGrid(geographic, params))
        return 0;
    CCoordGridRules::Remember(params);
    CCoordGridPlan plan;
    if (!PlanCoordGrid(params, geographic, plan))
        return 0;
    const double count = plan.ObjectCount();
    if (count < 1) {
        AppMessageBox(Utf8ToCp1257(kEmptyGrid), MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (count > kMaxGridObjects) {
        AppMessageBox(Utf8ToCp1257(FormatC(kTooManyObjects, count, kMaxGridObjects)), MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (count > kGridObjectsWithoutQuestion && !AskYesNo(Utf8ToCp1257(FormatC(kManyObjects, count))))
        return 0;

    const int type = plan.lines ? CLayer::kLine : CLayer::kArea;
    CResultLayerChoice choice;
    if (!PromptResultLayerFile(document, dialogs, "Grid", type, kResultGdb | kResultShapefile, choice))
        return 0;
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    EOperationEnd end = EOperationEnd::kFailed;
    {
        CLayerReader writer;
        const std::string& path = result.GetWritePath();
        if (writer.CreateSource(path) && writer.GetSource()->Create(path, type, nullptr)) {
            CFeatureSource& to = *writer.GetSource();
            CDbfTable& table = to.GetTable();
            std::unique_ptr<IProgress> progress = UserServices().CreateProgress(kProgressCaption);
            const long long total = static_cast<long long>(count);
            // The bar counts in steps of a thousandth, as its range is an int.
            const long long perStep = std::max(1LL, total / 1000);
            if (progress)
                progress->SetRange(0, static_cast<int>((total + perStep - 1) / perStep));
            end = EOperationEnd::kDone;
            to.BeginWrites();
            CShape shape;
            std::string label;
            for (long long n = 0; n < total && end == EOperationEnd::kDone; ++n) {
                if (progress && n % perStep == 0) {
                    progress->SetPos(static_cast<int>(n / perStep));
                    if (progress->CheckCancel()) {
                        end = EOperationEnd::kCancelled;
                        break;
                    }
                }
                plan.MakeObject(n, shape, label);
                if (!to.AppendShape(shape, false))
                    end = EOperationEnd::kFailed;
                else if (table.IsOpen()) {
                    table.SetField(0, label);
                    if (!table.WriteRecord())
                        end = EOperationEnd::kFailed;
                }
            }
            if (!to.EndWrites() && end == EOperationEnd::kDone)
                end = EOperationEnd::kFailed;
            to.Close();
            if (to.GetError() != CFeatureSource::kNoError && end == EOperationEnd::kDone)
                end = EOperationEnd::kFailed;
        }
    }
    auto layer = std::make_unique<CLayer>(choice.name, choice.path, type);
    if (type == CLayer::kArea) {
        for (int i = 0; i < layer->GetSublayerCount(); ++i) {
            CDrawStyle style = layer->GetSublayer(i)->m_style.Draw();
            style.brushStyle = 1;
            layer->GetSublayer(i)->m_style = CStyleRecord(style);
        }
    }
    return result.End(end, std::move(layer)) ? 1 : 0;
}
