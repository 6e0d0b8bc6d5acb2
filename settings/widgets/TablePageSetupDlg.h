#pragma once

#include "settings/PageSetup.h"
#include "shell/widgets/DialogBase.h"

// The page setup of attribute tables (dialog 30729 "Puslapio
// parametrai"): the margins and the print font of the run's page setup.
// OK stores the margins; a font chosen is kept also when it is then
// cancelled.
class CTablePageSetupDlg : public CDialogBase {
public:
    explicit CTablePageSetupDlg(CPageSetup& setup, QWidget* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    CPageSetup& m_setup;
    CPageMargins m_margins;
};
