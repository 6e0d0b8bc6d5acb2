#pragma once

class CDrelDoc;
class CDtmLayer;

// The elevation layer's property sheet: its definition, legend and notes
// pages over a working copy of the layer, copied back on OK. The settings
// dialogs answer in the program; without them the sheet counts as
// cancelled. Tests install their own answers.
class IDtmLayerPropertySheet {
public:
    virtual ~IDtmLayerPropertySheet() = default;
    // Runs the sheet on the layer, whose name must stay unique in the
    // document's list. Page group 0 or 3 leaves out the two pages the sheet
    // removes for it; -1 shows them all. True on OK, the layer then holding
    // the sheet's values.
    virtual bool Run(CDtmLayer& layer, CDrelDoc* document, int pageGroup) { return false; }
};

IDtmLayerPropertySheet& DtmLayerPropertySheet();
// Installs the sheet; null restores the default. The caller keeps ownership.
void SetDtmLayerPropertySheet(IDtmLayerPropertySheet* sheet);
