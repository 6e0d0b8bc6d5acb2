#pragma once

#include "shell/widgets/DialogBase.h"

// The question of a new map's units (dialog 333 "Žemėlapio sukūrimas"):
// combo 1012 with "Laipsniai" (0) and "Metrai" (1), offering the units
// chosen last in the run.
class CMapUnitsDlg : public CDialogBase {
public:
    explicit CMapUnitsDlg(QWidget* parent = nullptr);

    int GetUnits() const { return m_units; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    int m_units;
};

// The units of a new map, 0 degrees or 1 metres; -1 when cancelled.
int AskMapUnits();
