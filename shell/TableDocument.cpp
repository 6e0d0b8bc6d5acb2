#include "shell/TableDocument.h"

#include "layers/Layer.h"

bool CLayerTableDocument::LoadRecords(CLayer& layer, CDrelDoc& map)
{
    m_layer = &layer;
    m_map = &map;
    m_tablePath = layer.GetTablePath();
    return true;
}
