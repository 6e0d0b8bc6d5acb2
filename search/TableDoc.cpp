#include "search/TableDoc.h"

#include "core/DbfTable.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "mapdoc/DocumentHost.h"
#include "mapdoc/DrelDoc.h"
#include "res/CommandIds.h"

#include <algorithm>
#include <climits>

CTableDoc::CTableDoc()
{
    const auto disabled = [](CCommandState& state) { state.Enable(false); };
    m_commands.OnUpdate(kCmdFileSave, disabled);
    m_commands.OnUpdate(kCmdFileSaveAs, disabled);
}

CTableDoc::~CTableDoc() = default;

bool CTableDoc::LoadRecords(CLayer& layer, CDrelDoc& map)
{
    m_records.clear();
    m_nextRecord = 0;
    m_complete = true;
    if (!m_reader.OpenLayer(&layer))
        return false;
    m_layer = &layer;
    m_map = &map;
    m_tablePath = layer.GetTablePath();
    const int count = GetTable()->GetRecordCount();
    if (layer.HasFlag(CLayer::kNewestRecordOnly) && count > 0)
        m_records.push_back(count - 1);
    else
        m_complete = count == 0;
    return true;
}

CDbfTable* CTableDoc::GetTable() const
{
    CFeatureSource* source = m_reader.GetSource();
    return source ? &source->GetTable() : nullptr;
}

CDrelDoc* CTableDoc::GetBoundMap() const
{
    if (!m_map || !m_layer)
        return nullptr;
    const std::vector<CDrelDoc*> open = DocumentHost().GetOpenMaps();
    if (std::find(open.begin(), open.end(), m_map) == open.end())
        return nullptr;
    return m_map->FindLayerIndex(m_layer) >= 0 ? m_map : nullptr;
}

int CTableDoc::ReadMore(int count)
{
    CDbfTable* table = GetTable();
    if (m_complete || !table || count <= 0)
        return 0;
    int added = 0;
    table->SetPosition(m_nextRecord);
    while (added < count) {
        if (!table->NextRecord()) {
            m_complete = true;
            break;
        }
        m_records.push_back(table->GetCurrentRecord());
        m_nextRecord = table->GetCurrentRecord() + 1;
        ++added;
    }
    return added;
}

void CTableDoc::ReadAll()
{
    while (ReadMore(INT_MAX) > 0) {
    }
}

void CTableDoc::MarkDeleted(size_t i)
{
    if (i < m_records.size())
        m_records[i] = -1;
}
