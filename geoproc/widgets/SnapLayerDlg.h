#pragma once

#include "geoproc/GeoprocDialogs.h"
#include "shell/widgets/DialogBase.h"

#include <vector>

class CDrelDoc;
class CLayer;
class QComboBox;
class QLabel;

// Dialog 30807 "Sluoksnio pritraukimas": the layer snapped (combo 1012
// "Pritraukiamas sluoksnis:"), the layer snapped to (1021 "Pritraukti prie
// sluoksnio:"), what is snapped (1022 "Ką pritraukti:" with label 1059,
// shown only for a source that is not of points), to what (1024 "Prie ko
// pritraukti :" with label 1060, shown only for a target that is not of
// points) and the tolerance (edit 1017 "Tolerancija:", metres, 0 to
// 1000), started and checked by CSnapLayerRules: a missing layer beeps and
// the dialog stays.
class CSnapLayerDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 30807;
    static constexpr int kSourceCombo = 1012, kTargetCombo = 1021, kWhatCombo = 1022, kToWhatCombo = 1024;
    static constexpr int kWhatLabel = 1059, kToWhatLabel = 1060, kToleranceEdit = 1017;

    CSnapLayerDlg(const CDrelDoc& document, const CLayer* active, QWidget* parent = nullptr);

    // After OK.
    const CSnapLayerChoice& GetChoice() const { return m_choice; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    void ShowChoices();

    std::vector<CLayer*> m_sources;
    std::vector<CLayer*> m_targets;
    int m_source = -1;
    int m_target = -1;
    CSnapLayerChoice m_choice;
    QComboBox* m_sourceCombo;
    QComboBox* m_targetCombo;
    QLabel* m_whatLabel = nullptr;
    QComboBox* m_whatCombo = nullptr;
    QLabel* m_toWhatLabel = nullptr;
    QComboBox* m_toWhatCombo = nullptr;
};
