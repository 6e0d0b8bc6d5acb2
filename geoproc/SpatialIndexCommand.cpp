#include "geoproc/SpatialIndexCommand.h"

#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"

namespace {

constexpr char kQuestion[] = "Sukurti erdvinį indeksą?";
constexpr int kIndexFailed = 1104;
constexpr int kIndexBuilt = 3037;

} // namespace

int CreateSpatialIndex(CLayer& layer)
{
    if (AppMessageBox(Utf8ToCp1257(kQuestion), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    const int type = layer.GetType();
    const bool indexable =
        type == CLayer::kPoint || type == CLayer::kLine || type == CLayer::kArea || type == CLayer::kTrack;
    if (!indexable || layer.HasFlag(CLayer::kManyFiles) || layer.HasFlag(CLayer::kGroup)) {
        AppMessageBox(kIndexFailed, MB_OK | MB_ICONWARNING);
        return 0;
    }
    CLayerReader reader;
    if (!reader.Open(layer.GetPath()))
        return 0;
    bool built = false;
    {
        CWaitCursor wait;
        built = reader.GetSource()->BuildSpatialIndex();
    }
    if (!built) {
        AppMessageBox(kIndexFailed, MB_OK | MB_ICONWARNING);
        return 0;
    }
    AppMessageBox(kIndexBuilt, MB_OK | MB_ICONINFORMATION);
    return 1;
}
