#include "search/ObjectFinder.h"

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewHost.h"
#include "platform/Collation.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "search/FindState.h"

#include <algorithm>

namespace {

constexpr int kNameFieldMissing = 1004;
} // namespace

CObjectFinder::CObjectFinder(CDrelView& view) : m_view(view), m_objects(view)
{
    const CDrelDoc& document = view.GetDocument();
    CLayer* active = view.GetActiveLayer();
    for (int i = 0; i < document.GetLayerCount(); ++i) {
        CLayer* layer = document.GetLayer(i);
        if (layer->HasFlag(CLayer::kGroup) || !layer->IsVectorType() || !document.IsLayerShownInLegend(layer, true))
            continue;
        if (!layer->GetIdField().empty() || layer == active)
            m_layers.push_back(layer);
    }
    std::stable_sort(m_layers.begin(), m_layers.end(), [](const CLayer* a, const CLayer* b) {
        return CompareLithuanian(a->GetName(), b->GetName()) < 0;
    });
    if (auto it = std::find(m_layers.begin(), m_layers.end(), active); active && it != m_layers.end())
        m_startLayer = static_cast<int>(it - m_layers.begin());
}

CObjectFinder::LoadResult CObjectFinder::LoadNames(int index, bool fold)
{
    CLayer* layer =
        index >= 0 && index < static_cast<int>(m_layers.size()) ? m_layers[static_cast<size_t>(index)] : nullptr;
    const LoadResult result = m_objects.Load(layer, fold);
    if (result == CLayerNames::kNoNameField)
        m_objects.Names().Assign(std::vector<CNameEntry>{CNameEntry{LoadString(kNameFieldMissing), -1}});
    return result;
}

std::string CObjectFinder::GetCountText() const
{
    return m_objects.GetLoadResult() == CLayerNames::kNoNameField ? "?" : std::to_string(Names().GetCount());
}

void CObjectFinder::Show(int entry)
{
    FindState().lastPage = CFindState::kObjectPage;
    const std::vector<int32_t> records = Names().Records(entry);
    if (!GetLayer() || records.empty() || records.front() < 0)
        return;
    GetLayer()->ShowRecords(records, m_view, true);
    // After the marks went, which empties the pane.
    ViewHost().SetMessageText(Names().GetText(entry));
}

