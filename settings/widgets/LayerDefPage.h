#pragma once

#include "settings/LayerSheetRules.h"
#include "settings/widgets/LayerPropSheet.h"

class QComboBox;

// The general page (dialog 151 "Aprašas"): name, file, type, name field,
// the flags a user sets and the redraw interval of a dynamic layer. It
// refuses to be left without a name, with another layer's name or
// without a file.
class CLayerDefPage : public CLayerSheetPage {
public:
    explicit CLayerDefPage(CLayerPropSheet& sheet);

protected:
    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnKillActive() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    void FillNameFields();
    void OnManyFiles(bool on);
    void OnDynamic(bool on);
    void OnTypeChosen(int index);
    void OnStructure();
    void OnFiles();

    CLayerDefValues m_values;
    QComboBox* m_type = nullptr;
    QComboBox* m_nameField = nullptr;
};
