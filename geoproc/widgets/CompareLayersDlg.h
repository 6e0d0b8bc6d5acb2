#pragma once

#include "geoproc/GeoprocDialogs.h"
#include "shell/widgets/DialogBase.h"

#include <vector>

class CDrelDoc;
class CLayer;

// Dialog 30808 "Skirtumų tarp sluoksnių paieška": the first layer (combo
// 1012), the second (1021) and what is compared (radios 1024 geometry,
// 1025 geometry and attributes), started and checked by
// CCompareLayersRules: OK with a layer missing does nothing, layers of
// two types give 1113 and the dialog stays.
class CCompareLayersDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 30808;
    static constexpr int kFirstCombo = 1012;
    static constexpr int kSecondCombo = 1021;
    static constexpr int kGeometryRadio = 1024;
    static constexpr int kAttributesRadio = 1025;

    CCompareLayersDlg(const CDrelDoc& document, const CLayer* active, QWidget* parent = nullptr);

    // After OK.
    CCompareChoice GetChoice() const { return m_choice; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    std::vector<CLayer*> m_layers;
    int m_first = -1;
    int m_second = -1;
    int m_mode = 0;
    CCompareChoice m_choice;
};
