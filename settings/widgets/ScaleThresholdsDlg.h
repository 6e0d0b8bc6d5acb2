#pragma once

#include "settings/StylePageRules.h"
#include "shell/widgets/DialogBase.h"

class QListWidget;

// Dialog 101 "Mastelio slenksčiai": the 14 scale thresholds as a check
// list, the scale as item data. The caller sets the checks, runs DoModal
// and on IDOK reads them back.
class CScaleThresholdsDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 101;

    explicit CScaleThresholdsDlg(QWidget* parent = nullptr);

    CThresholdChecks& Checks() { return m_checks; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CThresholdChecks m_checks{};
    QListWidget* m_list;
};
