#include "geoproc/LayerExport.h"

#include "core/DbfFieldInfo.h"
#include "core/MapRect.h"
#include "geoproc/Overlay.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/UserServices.h"

#include <vector>

namespace {

constexpr int kReadError = 1028;

// One file of the layer (its path and flags as the reader sees them) into
// the writer, which is created on the first call.
bool CopyOneFile(CLayer& layer, CLayerReader& writer, const std::string& path, bool create,
                 const CCoordConverter* converter, const CMapRect* rect, const std::vector<int32_t>* records,
                 IProgress* progress)
{
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return false;
    CFeatureSource& source = *reader.GetSource();
    source.SetCoordConverter(converter);
    if (rect)
        source.SetQueryRect(rect);
    if (records)
        source.SetRecordList(records->data(), static_cast<int>(records->size()));
    bool copied = false;
    if (create) {
        copied = writer.CreateSource(path) && writer.GetSource()->CreateFrom(path, source, false, progress);
    } else {
        copied = writer.GetSource() && writer.GetSource()->CopyFeaturesFrom(source, false, progress);
    }
    if (source.GetError() != CFeatureSource::kNoError)
        AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
    return copied;
}

} // namespace

bool CanCopyLayer(const CLayer* layer)
{
    return layer && !layer->HasFlag(CLayer::kGroup);
}

bool CanClipLayer(const CLayer* layer, const CLayer* areas)
{
    return CanCopyLayer(layer) && !layer->HasFlag(CLayer::kManyFiles) && areas &&
           areas->GetType() == CLayer::kArea && !areas->HasFlag(CLayer::kGroup);
}

void ShowExportError(const std::string& path)
{
    AppMessageBox("Error: " + path, MB_OK | MB_ICONWARNING);
}

bool ExportLayerCopy(CLayer* layer, const std::string& path, const CCoordConverter* converter, const CMapRect* rect,
                     const std::vector<int32_t>* records, bool append, IProgress* progress)
{
    if (!CanCopyLayer(layer)) {
        ShowExportError(path);
        return false;
    }
    // An empty list would read every record.
    if (records && records->empty())
        records = nullptr;
    CLayerReader writer;
    if (append && !writer.Open(path))
        return false;
    bool create = !append;
    if (!layer->HasFlag(CLayer::kManyFiles)) {
        if (!CopyOneFile(*layer, writer, path, create, converter, rect, records, progress))
            return false;
    } else {
        const std::vector<CLayerFileEntry> files = layer->Files();
        CLayer::COneFileScope scope(*layer);
        for (const CLayerFileEntry& file : files) {
            scope.SetFile(file.path);
            if (!CopyOneFile(*layer, writer, path, create, converter, rect, records, progress))
                return false;
            create = false;
        }
        // A layer of no files leaves no file either.
        if (create)
            return false;
    }
    CFeatureSource& target = *writer.GetSource();
    target.Close();
    return target.GetError() == CFeatureSource::kNoError;
}

bool ExportClippedLayer(CLayer* layer, CLayer* areas, CDrelDoc& document, const std::string& path, int operation)
{
    if (!CanClipLayer(layer, areas)) {
        ShowExportError(path);
        return false;
    }
    return OverlayIntoFile(*layer, document, *areas, operation, path) == EOperationEnd::kDone;
}
