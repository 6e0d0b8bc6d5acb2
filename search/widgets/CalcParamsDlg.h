#pragma once

#include "search/CalcParams.h"
#include "shell/widgets/DialogBase.h"

class CDbfTable;
class QComboBox;
class QListWidget;

// Dialog 275 "Skaičiavimo parametrai": the field the lengths or areas go
// into and their unit. OK gives the field's caption (empty when none is
// chosen) and the unit's index among the mode's units.
class CCalcParamsDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 275;
    static constexpr int kFieldList = 1014;
    static constexpr int kUnitCombo = 1012;

    CCalcParamsDlg(const CDbfTable& table, const CCalcParams& params, QWidget* parent = nullptr);

    const CCalcParams& GetParams() const { return m_params; }

protected:
    void OnOK() override;

private:
    CCalcParams m_params;
    QListWidget* m_fields;
    QComboBox* m_units;
};

// Runs the dialog over the table; true on OK, params then holding the choice.
bool AskCalcParams(const CDbfTable& table, CCalcParams& params);
