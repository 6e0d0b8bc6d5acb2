#pragma once

#include "geoproc/CoordGrid.h"
#include "shell/widgets/DialogBase.h"

// Dialog 358 "Koordinačių tinklelio kūrimas": in "Objektų tipas" closed
// rectangles (radio 1024) or straight lines (1025); the step (editable
// combo 1012, the steps of the kind of map listed); the bounds in "Ribos"
// (north 1017, south 1007, west 1008, east 1009); whole steps (check
// 1015) and the extra points of a side (edit 1010, 0 to 1000). OK keeps
// the step for the kind of map (CCoordGridRules).
class CCoordGridDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 358;
    static constexpr int kRectanglesRadio = 1024, kLinesRadio = 1025, kStepCombo = 1012;
    static constexpr int kNorthEdit = 1017, kSouthEdit = 1007, kWestEdit = 1008, kEastEdit = 1009;
    static constexpr int kWholeStepsCheck = 1015, kExtraPointsEdit = 1010;

    CCoordGridDlg(bool geographic, const CCoordGridParams& params, QWidget* parent = nullptr);

    const CCoordGridParams& GetParams() const { return m_params; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    bool m_geographic;
    CCoordGridParams m_params;
};
