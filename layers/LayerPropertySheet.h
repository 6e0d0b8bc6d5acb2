#pragma once

class CDrelDoc;
class CLayer;

// The property sheet of every layer but the elevation layer: its pages over
// a working copy of the layer, copied back on OK. The settings dialogs
// answer in the program; without them the sheet counts as cancelled. Tests
// install their own answers.
class ILayerPropertySheet {
public:
    virtual ~ILayerPropertySheet() = default;
    // Runs the sheet on the layer of the document (whose other layers'
    // names the layer's name must not take). Page group -1 shows every
    // page of the layer's type; 0 the symbol page, 1 labels and scale, 2
    // the filters, 3 the notes. True on OK, the layer then holding the
    // sheet's values.
    virtual bool Run(CLayer& layer, CDrelDoc* document, int pageGroup) { return false; }
};

ILayerPropertySheet& LayerPropertySheet();
// Installs the sheet; null restores the default. The caller keeps ownership.
void SetLayerPropertySheet(ILayerPropertySheet* sheet);
