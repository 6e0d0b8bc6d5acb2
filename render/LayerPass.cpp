#include "render/LayerPass.h"

#include "layers/DrawingView.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/Sublayer.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {
constexpr int kCannotOpenFile = 1007;
} // namespace

const CSublayer* SublayerDrawn(const CLayer& layer, const IDrawingView& view)
{
    const CSublayer* sublayer = layer.GetSublayerForScale(view.GetScaleDenominator());
    if (!sublayer || (sublayer->m_kind != CSublayer::kOneStyle && sublayer->m_kind != CSublayer::kClassified))
        return nullptr;
    return sublayer;
}

int RoundedScale(const IDrawingView& view)
{
    const double scale = view.GetScaleDenominator();
    if (!(scale > 0))
        return 0;
    return static_cast<int>(std::min(scale + 0.5, static_cast<double>(INT_MAX)));
}

void ReportUnopenedFile(const CLayer& layer)
{
    if (layer.ShouldReportOpenProblem(layer.GetPath(), true))
        AppMessageBoxArg(kCannotOpenFile, layer.GetPath());
}

CFeatureSource* OpenForDrawing(CLayer& layer, CLayerReader& reader)
{
    const std::string& path = layer.GetPath();
    CHeldMessages held;
    const bool opened = reader.Open(path);
    held.Release();
    if (!opened) {
        ReportUnopenedFile(layer);
        return nullptr;
    }
    if (layer.ShouldReportOpenProblem(path, !held.Messages().empty()))
        held.Show();
    if (!reader.ApplyLayer(&layer))
        return nullptr;
    CFeatureSource* source = reader.GetSource();
    CMapRect extent;
    // An empty file says nothing of where objects added later will lie.
    if (source->GetExtent(extent) && extent.IsValid())
        layer.SetExtent(extent);
    return source;
}

void ForEachFileInView(CLayer& layer, const IDrawingView& view, const std::function<void()>& draw)
{
    const CMapRect extent = layer.GetExtent();
    {
        CLayer::COneFileScope scope(layer);
        for (size_t i = 0; i < layer.Files().size(); ++i) {
            if (CheckDrawInterrupt())
                break;
            const CLayerFileEntry entry = layer.Files()[i];
            if (!MeetsView(entry.extent, view))
                continue;
            layer.SetExtent(entry.extent);
            scope.SetFile(entry.path);
            draw();
            if (i < layer.Files().size())
                layer.Files()[i].extent = layer.GetExtent();
        }
    }
    layer.SetExtent(extent);
}
