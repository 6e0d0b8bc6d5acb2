#pragma once

#include "settings/LayerSheetRules.h"
#include "settings/widgets/LayerPropSheet.h"

class QComboBox;

// The scale page of a raster map (dialog 30779 "Mastelis"): the smallest
// and largest scale at which the map is drawn. Each choice rebuilds the
// working copy's sublayers at once.
class CLayerScalePage : public CLayerSheetPage {
public:
    explicit CLayerScalePage(CLayerPropSheet& sheet);

protected:
    void OnInitDialog() override;

private:
    void OnChosen();

    // What the combos stand on: a stored limit that is none of their rows
    // stays until its combo is changed.
    CScaleRange m_range;
    QComboBox* m_minimum = nullptr;
    QComboBox* m_maximum = nullptr;
};
