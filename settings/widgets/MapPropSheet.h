#pragma once

#include "settings/widgets/MapDefPage.h"
#include "settings/widgets/MapLayerPages.h"
#include "shell/widgets/PropertySheet.h"

class CDrelDoc;

// The map's property sheet "Žemėlapio parametrai" (string 133): the
// general, routes, streets and addresses pages over the settings of one
// map document. Only ApplyToDocument (after OK) changes the document;
// pages never shown give back what they were given.
class CPropSheetMap : public CPropertySheet {
public:
    explicit CPropSheetMap(CDrelDoc& document, QWidget* parent = nullptr, int firstPage = 0);

    CPropPageMapDef& GetDefPage() { return m_def; }
    void ApplyToDocument() const;

protected:
    void OnInitDialog() override;

private:
    CDrelDoc& m_document;
    CPropPageMapDef m_def;
    CPropPageMapRoutes m_routes;
    CPropPageMapStreets m_streets;
    CPropPageMapAddresses m_addresses;
};

// Runs the sheet on the document, modal over the active window; true
// after OK, the document then holding the values.
bool RunMapPropSheet(CDrelDoc& document);
