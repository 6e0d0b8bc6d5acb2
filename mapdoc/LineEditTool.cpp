#include "mapdoc/LineEditTool.h"

#include "core/DbfTable.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewHost.h"

#include <cstdio>

bool CLineEditTool::BeginEditRecord(CLayer& layer, int record)
{
    if (record < 0 || (layer.GetType() != CLayer::kLine && layer.GetType() != CLayer::kArea) ||
        !layer.HasFlag(CLayer::kObjectsEditable))
        return false;
    CLayerReader reader;
    CShape shape;
    if (!reader.OpenLayer(&layer) || !reader.GetSource()->ReadShape(record, shape))
        return false;
    CFeatureSource& source = *reader.GetSource();
    CDbfTable& table = source.GetTable();

    m_record = record;
    m_shape = std::move(shape);
    m_original.Copy(m_shape);
    if (const CStyleRecord* style = layer.GetRecordStyle(m_view->GetScaleDenominator(), table, record))
        m_style = *style;
    else
        layer.GetStyleForScale(m_view->GetScaleDenominator(), m_style);
    ViewHost().SetLineEditing(true);
    OnCommand(kCmdEditStarted);
    m_editedLayer = &layer;
    m_editedExtent.SetEmpty();
    CDrelDoc& document = m_view->GetDocument();
    document.UpdateAllViews(MakeHint(document.FindLayerIndex(&layer), kHintLayerSettings));
    m_view->Invalidate();

    std::string name;
    const int idField = table.FindField(layer.GetIdField());
    if (idField < 0 || !table.GoToRecord(record) || !table.GetFieldString(idField, name)) {
        char text[32];
        std::snprintf(text, sizeof text, "<%ld>", static_cast<long>(record));
        name = text;
    }
    ViewHost().SetMessageText(name);
    return true;
}
