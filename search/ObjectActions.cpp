#include "search/ObjectActions.h"

#include "layers/FeatureSource.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/UserServices.h"
#include "search/TextSearch.h"

namespace {

constexpr int kObjectsLocked = 1021;
constexpr int kAskDeleteObject = 2006;

CLayer* HitLayer(const CTextSearchResults& results, int index, const CDrelDoc& document)
{
    if (index < 0 || index >= results.GetCount())
        return nullptr;
    CLayer* layer = document.Layers().FindByName(results.GetLayerName(index));
    return layer && !layer->HasFlag(CLayer::kGroup) ? layer : nullptr;
}

} // namespace

CLayerFileScope::CLayerFileScope(CLayer& layer, int file)
{
    if (file < 0 || file >= layer.GetFileCount() || !layer.HasFlag(CLayer::kManyFiles))
        return;
    m_scope.emplace(layer);
    m_scope->SetFile(layer.Files()[static_cast<size_t>(file)].path);
}

bool CanDeleteObjects(const CLayer& layer)
{
    if (layer.HasFlag(CLayer::kObjectsEditable))
        return true;
    AppMessageBox(kObjectsLocked);
    return false;
}

bool AskAndDeleteObject(CLayer& layer, int32_t record, CDrelDoc& document)
{
    if (AppMessageBox(kAskDeleteObject, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    if (layer.CheckReadOnly())
        return false;
    bool deleted = false;
    {
        CWaitCursor wait;
        CLayerReader reader;
        deleted = reader.Open(layer.GetPath()) && reader.GetSource()->CanWrite() &&
                  reader.GetSource()->DeleteRecord(record);
    }
    if (!deleted) {
        AppMessageBox(kObjectsLocked);
        return false;
    }
    if (layer.HasFlag(CLayer::kShown))
        document.UpdateAllViews(kHintRedraw);
    return true;
}

void ShowTextHit(const CTextSearchResults& results, int index, CDrelView& view)
{
    CLayer* layer = HitLayer(results, index, view.GetDocument());
    if (!layer)
        return;
    const CTextHit& hit = results.GetHit(index);
    CLayerFileScope file(*layer, hit.file);
    layer->ShowRecord(hit.record, view, true);
}

void ShowTextHitInfo(const CTextSearchResults& results, int index, CDrelDoc& document)
{
    CLayer* layer = HitLayer(results, index, document);
    if (!layer)
        return;
    const CTextHit& hit = results.GetHit(index);
    CLayerFileScope file(*layer, hit.file);
    layer->ShowRecordInfo(hit.record, false);
}

bool DeleteTextHit(const CTextSearchResults& results, int index, CDrelDoc& document)
{
    CLayer* layer = HitLayer(results, index, document);
    if (!layer || !CanDeleteObjects(*layer))
        return false;
    const CTextHit& hit = results.GetHit(index);
    CLayerFileScope file(*layer, hit.file);
    return AskAndDeleteObject(*layer, hit.record, document);
}
