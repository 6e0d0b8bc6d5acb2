#pragma once

#include "geoproc/GeoprocDialogs.h"
#include "shell/widgets/DialogBase.h"

#include <vector>

class CDrelDoc;
class CLayer;

// Dialog 288 "Sluoksnių perklojimas": the source layer (combo 1012
// "Pradinis sluoksnis:"), the overlaying layer (1021 "Perklojantis
// sluoksnis:") and the operation (1022 "Operacija:"), started and checked
// by COverlayRules: a missing choice beeps, layers the operation does
// not serve give 1066, and the dialog stays.
class COverlayDlg : public CDialogBase {
public:
    COverlayDlg(const CDrelDoc& document, const CLayer* active, QWidget* parent = nullptr);

    // After OK.
    COverlayChoice GetChoice() const { return m_choice; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    std::vector<CLayer*> m_sources;
    std::vector<CLayer*> m_overlaying;
    int m_source = -1;
    int m_overlay = -1;
    int m_operation = 0;
    COverlayChoice m_choice;
};
