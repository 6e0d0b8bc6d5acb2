#include "settings/MapExportRules.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/NumberText.h"
#include "settings/MapExport.h"

#include <cmath>
#include <cstdlib>
#include <iterator>

namespace {

constexpr unsigned kListedDpi[] = {72, 96, 150, 200, 300};
constexpr double kListedScales[] = {500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000, 500000, 1000000};
// A tile wider or higher than this has no byte count worth showing.
constexpr int kMostTilePixels = 16000;

bool AnyChoice(const CMapExportValues& values)
{
    return values.resolutionChoice != 0 || values.scaleChoice != 0 || values.extentChoice != 0;
}

} // namespace

CExportViewInfo ExportViewInfo(const CDrelView& view)
{
    CExportViewInfo info;
    info.client = view.GetClientSize();
    info.screenDpi = view.GetLogPixelsX();
    info.scale = view.GetScaleDenominator();
    info.printScaleX = view.GetPrintScaleX();
    info.printScaleY = view.GetPrintScaleY();
    info.visible = view.GetMapExtent();
    info.limits = view.GetDocument().Settings().limits;
    return info;
}

unsigned ResolutionOfChoice(int choice, unsigned typed, int screenDpi)
{
    if (choice == 0)
        return static_cast<unsigned>(std::max(screenDpi, 0));
    if (choice >= 1 && choice <= static_cast<int>(std::size(kListedDpi)))
        return kListedDpi[choice - 1];
    return typed;
}

double ScaleOfChoice(int choice, double typed, double viewScale)
{
    if (choice == 0) {
        if (viewScale >= 100)
            return std::floor(viewScale + 0.5);
        return AtofC(FormatC("%1.3g", viewScale));
    }
    if (choice >= 1 && choice <= static_cast<int>(std::size(kListedScales)))
        return kListedScales[choice - 1];
    return typed;
}

void ApplyResolutionChoice(CMapExportValues& values, const CExportViewInfo& view)
{
    values.dpi = ResolutionOfChoice(values.resolutionChoice, values.dpi, view.screenDpi);
}

void ApplyScaleChoice(CMapExportValues& values, const CExportViewInfo& view)
{
    values.scale = ScaleOfChoice(values.scaleChoice, values.scale, view.scale);
}

void ApplyExtentChoice(CMapExportValues& values, const CExportViewInfo& view)
{
    if (values.extentChoice != 0 && values.extentChoice != 1)
        return;
    const CMapRect& extent = values.extentChoice == 0 ? view.visible : view.limits;
    values.left = extent.left;
    values.right = extent.right;
    values.bottom = extent.bottom;
    values.top = extent.top;
}

std::string FormatByteCount(long long count)
{
    if (count < 0)
        return "-" + FormatByteCount(-count);
    std::string text = std::to_string(count);
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(text.size()) - 3; at > 0; at -= 3)
        text.insert(static_cast<size_t>(at), 1, '.');
    return text;
}

CExportPreview ComputeExportPreview(const CMapExportValues& values, const CExportViewInfo& view)
{
    CExportPreview preview;
    if (!(values.dpi > 0 && values.scale > 0))
        return preview;
    int width = view.client.cx, height = view.client.cy;
    if (AnyChoice(values)) {
        if (!(values.right > values.left && values.top > values.bottom))
            return preview;
        double factorX = std::fabs(view.printScaleX), factorY = std::fabs(view.printScaleY);
        if (view.scale > 0) {
            factorX /= view.scale / values.scale;
            factorY /= view.scale / values.scale;
        }
        const double w = (values.right - values.left) / factorX * values.dpi * 0.001 + 0.5;
        const double h = (values.top - values.bottom) / factorY * values.dpi * 0.001 + 0.5;
        // Sizes no int holds are no picture.
        if (!(w >= 0 && h >= 0 && w < 2e9 && h < 2e9))
            return preview;
        width = static_cast<int>(w);
        height = static_cast<int>(h);
    }
    preview.width = width;
    preview.height = height;
    preview.sizeText = FormatC("%dx%d piks. (%3.1fx%3.1f cm)", width, height, width * 2.54 / values.dpi,
                               height * 2.54 / values.dpi);
    const int columns = std::max(values.columns, 1), rows = std::max(values.rows, 1);
    const int tileWidth = width / columns, tileHeight = height / rows;
    if (tileWidth <= kMostTilePixels && tileHeight <= kMostTilePixels)
        preview.bytesText =
            FormatByteCount(static_cast<long long>(tileWidth) * tileHeight * (values.colourIndex == 0 ? 3 : 1));
    return preview;
}

CExportSettings ExportSettingsFrom(const CMapExportValues& values, const CExportViewInfo& view)
{
    CExportSettings settings;
    settings.useResolution = values.resolutionChoice != 0;
    settings.useSize = values.scaleChoice != 0;
    settings.useExtent = values.extentChoice != 0;
    settings.extent = CMapRect(values.left, values.top, values.right, values.bottom);
    const CExportPreview preview = ComputeExportPreview(values, view);
    settings.width = preview.width;
    settings.height = preview.height;
    settings.dpi = static_cast<int>(std::min(values.dpi, 100000u));
    settings.scale = settings.UsesOwnPicture() ? values.scale : 0;
    settings.colourReduction = values.colourIndex == 1 ? 1 : 0;
    settings.columns = values.columns;
    settings.rows = values.rows;
    settings.georeference = values.georeference;
    settings.metafileOption = values.transparent ? 0 : 1;
    return settings;
}

CMapExportValues& LastMapExportValues()
{
    static CMapExportValues values;
    return values;
}
