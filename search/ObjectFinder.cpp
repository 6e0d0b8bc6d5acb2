#include "search/ObjectFinder.h"

#include "core/DbfTable.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewHost.h"
#include "platform/Collation.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "search/FindState.h"
#include "search/ObjectActions.h"

#include <algorithm>

namespace {

constexpr int kNameFieldMissing = 1004;
constexpr int kInfoLocked = 1035;
constexpr int kSeveralObjects = 1038;

int NameFieldOf(const CLayer& layer, const CDbfTable& table)
{
    return layer.GetIdField().empty() ? -1 : table.FindField(layer.GetIdField());
}

} // namespace

CObjectFinder::CObjectFinder(CDrelView& view) : m_view(view)
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
    CWaitCursor wait;
    m_names.Assign({});
    m_layer = index >= 0 && index < static_cast<int>(m_layers.size()) ? m_layers[static_cast<size_t>(index)] : nullptr;
    m_loaded = kNotOpened;
    CLayerReader reader;
    if (!m_layer || !reader.OpenLayer(m_layer))
        return m_loaded;
    CFeatureSource& source = *reader.GetSource();
    const CDbfTable& table = source.GetTable();
    const int nameField = NameFieldOf(*m_layer, table);
    if (nameField < 0) {
        m_names.Assign(std::vector<CNameEntry>{CNameEntry{LoadString(kNameFieldMissing), -1}});
        return m_loaded = kNoNameField;
    }
    std::vector<CNameEntry> entries;
    std::string name;
    while (source.MoveNext()) {
        table.GetFieldString(nameField, name);
        entries.push_back({name, source.GetCurrentRecord()});
    }
    m_names.Assign(std::move(entries));
    if (fold)
        m_names.Fold();
    return m_loaded = kLoaded;
}

std::string CObjectFinder::GetCountText() const
{
    return m_loaded == kNoNameField ? "?" : std::to_string(m_names.GetCount());
}

void CObjectFinder::SetFolded(bool fold)
{
    if (m_loaded != kLoaded)
        return;
    if (fold)
        m_names.Fold();
    else
        m_names.Unfold();
}

int32_t CObjectFinder::SingleRecord(int entry) const
{
    if (m_names.StandsForSeveral(entry)) {
        AppMessageBox(kSeveralObjects);
        return -1;
    }
    return m_names.GetRecord(entry);
}

void CObjectFinder::Show(int entry)
{
    FindState().lastPage = CFindState::kObjectPage;
    const std::vector<int32_t> records = m_names.Records(entry);
    if (!m_layer || records.empty() || records.front() < 0)
        return;
    m_layer->ShowRecords(records, m_view, true);
    // After the marks went, which empties the pane.
    ViewHost().SetMessageText(m_names.GetText(entry));
}

void CObjectFinder::ShowInfo(int entry)
{
    const int32_t record = m_layer ? SingleRecord(entry) : -1;
    if (record < 0)
        return;
    m_layer->ShowRecordInfo(record, !m_infoShown);
    m_infoShown = true;
}

int CObjectFinder::EditInfo(int entry)
{
    if (!m_layer || !m_names.IsEntry(entry))
        return -1;
    if (!m_layer->HasFlag(CLayer::kInfoEditable)) {
        AppMessageBox(kInfoLocked);
        return -1;
    }
    const int32_t record = SingleRecord(entry);
    if (record < 0)
        return -1;
    CDbfTable table;
    if (!m_layer->OpenTable(table) || !m_layer->EditRecord(m_view, record, &table))
        return -1;
    std::string name;
    // The form leaves the table on the record as it wrote it.
    if (!table.GetFieldString(NameFieldOf(*m_layer, table), name) || name == m_names.GetText(entry))
        return entry;
    m_names.Remove(entry);
    return m_names.Add({name, record});
}

bool CObjectFinder::Delete(int entry)
{
    if (!m_layer || !m_names.IsEntry(entry) || !CanDeleteObjects(*m_layer))
        return false;
    const int32_t record = SingleRecord(entry);
    if (record < 0 || !AskAndDeleteObject(*m_layer, record, m_view.GetDocument()))
        return false;
    m_names.Remove(entry);
    return true;
}
