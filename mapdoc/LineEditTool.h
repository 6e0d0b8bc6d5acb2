#pragma once

#include "core/MapRect.h"
#include "core/Shape.h"
#include "layers/StyleRecord.h"
#include "mapdoc/MapTool.h"

class CLayer;

// The tool that edits the geometry of one line or area record (mode 9),
// from the start of an edit: the record's shape as it is being changed, a
// copy of it as it was, and the record's style at the view's scale. The
// editing itself comes with the editing tools.
class CLineEditTool : public CMapTool {
public:
    // Handed to the tool's own command handler when an edit starts.
    static constexpr int kCmdEditStarted = 21002;

    explicit CLineEditTool(CDrelView* view) : CMapTool(view) {}

    // Starts editing the record of the layer of the tool's view: the layer
    // becomes the edited one, the main window shows its line-editing bar
    // and pane 1 the record's name (its id field, else "<n>"), and the
    // view hears of it. Refused, with nothing changed, for a negative
    // record, a layer that is neither a line nor an area layer or whose
    // objects may not be edited, and data that cannot be read.
    bool BeginEditRecord(CLayer& layer, int record);

    int GetRecord() const { return m_record; }
    const CShape& GetShape() const { return m_shape; }
    const CShape& GetOriginalShape() const { return m_original; }
    const CStyleRecord& GetRecordStyle() const { return m_style; }
    // What the edits have touched so far, for repainting it.
    const CMapRect& GetEditedExtent() const { return m_editedExtent; }

protected:
    int m_record = -1;
    CShape m_shape;
    CShape m_original;
    CStyleRecord m_style;
    CMapRect m_editedExtent;
};
