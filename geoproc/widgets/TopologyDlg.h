#pragma once

#include "geoproc/LineTopology.h"
#include "shell/widgets/DialogBase.h"

// Dialog 30814 "Topologijos kūrimas": check 1015 "Perkopijuoti duomenų
// bazės laukus", check 1016 "Pridėti susikirtimo taškus" and the tolerance
// in metres (edit 1017, as CTopologyRules accepts it: above 1000 and what
// is no number are refused with the usual message). It starts from the
// options given; its OK keeps them for the next run.
class CTopologyDlg : public CDialogBase {
public:
    explicit CTopologyDlg(const CTopologyOptions& options, QWidget* parent = nullptr);

    const CTopologyOptions& GetOptions() const { return m_options; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    CTopologyOptions m_options;
};
