#pragma once

#include "core/MapPoint.h"
#include "shell/widgets/DialogBase.h"

// Dialog 30775 "Įveskite taško koordinates" of a metric map: X (1017) and
// Y (1007), both 0 at first; numbers only, within kPlanarPointLimit.
class CPlanarPointDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 30775;
    static constexpr int kXEdit = 1017;
    static constexpr int kYEdit = 1007;

    explicit CPlanarPointDlg(QWidget* parent = nullptr);

    // After OK.
    CMapPoint GetPoint() const { return m_point; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    CMapPoint m_point{0, 0};
};
