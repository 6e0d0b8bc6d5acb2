#pragma once

#include "shell/widgets/DialogBase.h"

// The distance tolerance of the geoprocessing tools (dialog 287
// "Tolerancija"): edit 1017 in metres, 0 to 1000. It starts with the value
// of its last OK in this run, else 0.
class CToleranceDlg : public CDialogBase {
public:
    explicit CToleranceDlg(QWidget* parent = nullptr);

    double GetTolerance() const { return m_tolerance; }
    void SetTolerance(double metres) { m_tolerance = metres; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    double m_tolerance;
};
