#pragma once

#include "settings/MapSheetRules.h"
#include "shell/widgets/PropertySheet.h"

class CDrelDoc;

// The general page of the map sheet (dialog 108 "Aprašas"): the map's
// name, extent, units, optimal scale and two switches; "Perskaičiuoti"
// takes the extent from the layers after asking.
class CPropPageMapDef : public CPropertyPage {
public:
    explicit CPropPageMapDef(CDrelDoc& document);

    const CMapDefValues& GetValues() const { return m_values; }

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    void OnRecalc();

    CDrelDoc& m_document;
    CMapDefValues m_values;
};
