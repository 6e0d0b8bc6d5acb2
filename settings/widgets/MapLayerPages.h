#pragma once

#include "settings/MapSheetRules.h"
#include "shell/widgets/PropertySheet.h"

#include <vector>

class CDrelDoc;
class QComboBox;

// A page of the map sheet that names a layer of the map and its fields:
// the layer combo 1012 and the field combos 1021, 1022, 1024 to 1027 with
// their labels 1059 to 1064, moving the choices of a CMapLayerChoice.
class CPropPageMapLayer : public CPropertyPage {
public:
    const CMapLayerChoice& GetChoice() const { return m_choice; }

protected:
    struct CTexts {
        const char* caption;
        int dialogId;
        const char* layerLabel;
        std::vector<const char*> fieldLabels;
        const char* note = nullptr; // under the fields
    };

    CPropPageMapLayer(MapLayerPage page, const CDrelDoc& document, CTexts texts);

    void OnInitDialog() override;
    bool OnKillActive() override;

private:
    void ShowChoice();

    CMapLayerChoice m_choice;
    CTexts m_texts;
    QComboBox* m_layer = nullptr;
    std::vector<QComboBox*> m_fields;
};

// Dialog 109 "Maršrutai": the routing network and its six arc fields.
class CPropPageMapRoutes : public CPropPageMapLayer {
public:
    explicit CPropPageMapRoutes(const CDrelDoc& document);
};

// Dialog 119 "Gatvės": the street layer, its name, code and city fields.
class CPropPageMapStreets : public CPropPageMapLayer {
public:
    explicit CPropPageMapStreets(const CDrelDoc& document);
};

// Dialog 120 "Adresai": the address point layer and its two sets of
// street code, house number and letter fields.
class CPropPageMapAddresses : public CPropPageMapLayer {
public:
    explicit CPropPageMapAddresses(const CDrelDoc& document);
};
