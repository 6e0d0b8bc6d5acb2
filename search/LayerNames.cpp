#include "search/LayerNames.h"

#include "core/DbfTable.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelView.h"
#include "platform/UserServices.h"
#include "search/ObjectActions.h"

namespace {

constexpr int kInfoLocked = 1035;
constexpr int kSeveralObjects = 1038;

int NameFieldOf(const CLayer& layer, const CDbfTable& table)
{
    return layer.GetIdField().empty() ? -1 : table.FindField(layer.GetIdField());
}

} // namespace

CLayerNames::LoadResult CLayerNames::Load(CLayer* layer, bool fold, bool withoutEmpty)
{
    CWaitCursor wait;
    m_names.Assign({});
    m_layer = layer;
    m_loaded = kNotOpened;
    CLayerReader reader;
    if (!m_layer || !reader.OpenLayer(m_layer))
        return m_loaded;
    CFeatureSource& source = *reader.GetSource();
    const CDbfTable& table = source.GetTable();
    const int nameField = NameFieldOf(*m_layer, table);
    if (nameField < 0)
        return m_loaded = kNoNameField;
    std::vector<CNameEntry> entries;
    std::string name;
    while (source.MoveNext()) {
        table.GetFieldString(nameField, name);
        if (!withoutEmpty || !name.empty())
            entries.push_back({name, source.GetCurrentRecord()});
    }
    m_names.Assign(std::move(entries));
    if (fold)
        m_names.Fold();
    return m_loaded = kLoaded;
}

void CLayerNames::SetFolded(bool fold)
{
    if (m_loaded != kLoaded)
        return;
    if (fold)
        m_names.Fold();
    else
        m_names.Unfold();
}

int32_t CLayerNames::SingleRecord(int entry) const
{
    if (m_names.StandsForSeveral(entry)) {
        AppMessageBox(kSeveralObjects);
        return -1;
    }
    return m_names.GetRecord(entry);
}

void CLayerNames::ShowInfo(int entry)
{
    const int32_t record = m_layer ? SingleRecord(entry) : -1;
    if (record < 0)
        return;
    m_layer->ShowRecordInfo(record, !m_infoShown);
    m_infoShown = true;
}

int CLayerNames::EditInfo(int entry)
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

bool CLayerNames::Delete(int entry)
{
    if (!m_layer || !m_names.IsEntry(entry) || !CanDeleteObjects(*m_layer))
        return false;
    const int32_t record = SingleRecord(entry);
    if (record < 0 || !AskAndDeleteObject(*m_layer, record, m_view.GetDocument()))
        return false;
    m_names.Remove(entry);
    return true;
}
