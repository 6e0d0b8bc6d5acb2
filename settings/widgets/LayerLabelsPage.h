#pragma once

#include "settings/StylePageRules.h"
#include "settings/widgets/LayerPropSheet.h"

#include <string>
#include <vector>

class CColorButton;
class CSublayer;
class CStyleSampleButton;
class QComboBox;

// Dialog 153 "Užrašai" of the layer sheet: the labels of the sheet's
// current band: the field, font, frame or letter outlines, placement and
// offset, and whether their size follows the scale. The field, font and
// frame style go into the working copy at once, the rest when the band
// changes and when the page is left.
class CLayerLabelsPage : public CLayerSheetPage {
public:
    explicit CLayerLabelsPage(CLayerPropSheet& sheet);

protected:
    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnKillActive() override;

private:
    CSublayer* Band() const;
    void FillFields();
    void FillBands();
    void Refresh();
    void EnableControls();
    void ShowSample();
    void CheckPlacement(int radio);
    // False, the page staying, when the base scale is refused.
    bool WriteBack();
    void OnBandChosen(int index);
    void OnField(int index);
    void OnFont();
    void OnFrame(bool on);
    void OnHalo(bool on);
    void OnFrameStyle();
    void OnHaloColor();

    QComboBox* m_bands = nullptr;
    QComboBox* m_field = nullptr;
    CStyleSampleButton* m_sample = nullptr;
    CColorButton* m_halo = nullptr;
    // The label fields' names, after "<Nėra>".
    std::vector<std::string> m_fields;
};
