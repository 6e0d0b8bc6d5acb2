#include "geoproc/ThinVertices.h"

#include "core/DbfTable.h"
#include "core/Shape.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/LayerCopy.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/TopologyRules.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

enum ThinMessage : int {
    kVerticesRemoved = 3051,
};

constexpr int kGdbFiles = 1;

int DistinctPoints(const CShape& shape, int start, int size)
{
    std::vector<CMapPoint> points(shape.Points().GetData() + start, shape.Points().GetData() + start + size);
    const auto less = [](const CMapPoint& a, const CMapPoint& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); };
    const auto same = [](const CMapPoint& a, const CMapPoint& b) { return a.x == b.x && a.y == b.y; };
    std::sort(points.begin(), points.end(), less);
    return static_cast<int>(std::unique(points.begin(), points.end(), same) - points.begin());
}

// Rings that enclose nothing go; returns the points they held.
int RemoveFlatRings(CShape& shape)
{
    int removed = 0;
    for (int part = shape.GetPartCount() - 1; part >= 0; --part) {
        const int start = shape.GetPartStart(part);
        const int size = std::min(shape.GetPartSize(part), shape.GetPointCount() - start);
        if (size <= 0 || DistinctPoints(shape, start, size) >= 3)
            continue;
        shape.DeletePart(part);
        removed += size;
    }
    return removed;
}

struct CThinRun {
    double metres = 0;
    double mx = 1, my = 1;
    long long removed = 0;
};

} // namespace

int ThinShape(CShape& shape, bool area, double metres, double metresPerUnitX, double metresPerUnitY)
{
    // With equal factors the simplification runs in map units: the
    // tolerance is turned into them first.
    const double tolerance = metresPerUnitX == metresPerUnitY ? metres / metresPerUnitX : metres;
    int removed = shape.Generalize(tolerance, metresPerUnitX, metresPerUnitY, 0);
    if (area) {
        if (const int flat = RemoveFlatRings(shape); flat > 0) {
            removed += flat;
            shape.RecalcBounds();
        }
    }
    return removed;
}

int ThinVertices(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    const int type = layer.GetType();
    if (layer.HasFlag(CLayer::kGroup) || (type != CLayer::kLine && type != CLayer::kArea))
        return 0;
    CThinRun run;
    if (!CErrorToleranceRules::Ask(CErrorToleranceRules::kThinning, run.metres))
        return 0;
    CResultLayerChoice choice;
    choice.options.typeChoice = false;
    choice.options.fileTypes = kGdbFiles;
    if (!PromptResultLayer(document, dialogs, ResultLayerBase(layer, ""), type, choice))
        return 0;
    document.MakeUniqueLayerName(choice.name);
    document.GetMetresPerUnit(run.mx, run.my);
    CNewResultLayer result(document, choice, CNewResultLayer::kCancelKeepsWritten);
    if (!result.Begin())
        return 0;
    EOperationEnd end;
    {
        CWaitCursor wait;
        std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
        CObjectChange thin;
        thin.shape = [&run, area = type == CLayer::kArea](CShape& shape) {
            run.removed += ThinShape(shape, area, run.metres, run.mx, run.my);
        };
        end = WriteChangedCopy(layer, result.GetWritePath(), thin, progress.get());
    }
    if (!result.End(end))
        return 0;
    document.UpdateAllViews(kHintAll);
    if (end == EOperationEnd::kDone) {
        std::string text = LoadString(kVerticesRemoved);
        if (const size_t at = text.find("%d"); at != std::string::npos)
            text.replace(at, 2, std::to_string(run.removed));
        AppMessageBox(text, MB_OK | MB_ICONINFORMATION, kVerticesRemoved);
    }
    return 1;
}
