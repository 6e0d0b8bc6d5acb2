#pragma once

#include "routing/GrainDistance.h"
#include "shell/widgets/DialogBase.h"

#include <functional>
#include <string>
#include <vector>

class CDrelDoc;
class CDrelView;

// Dialog 30820 "Atstumų skaičiuoklė": the crop (combo 1012) and the
// settlement (combo 1021, completing what is typed); "Skaičiuoti" (1)
// fills the nearest centre (combo 1022, edit 1008, kilometres in 1017) and
// the nearest free warehouses (combo 1024, kilometres in 1007) and shows
// both routes over the active view, "Kopijuoti" (1055) puts the report on
// the clipboard, "Baigti" (2) closes.
class CGrainDistanceDlg : public CDialogBase {
public:
    using ActiveView = std::function<CDrelView*()>;
    CGrainDistanceDlg(CDrelDoc& document, ActiveView activeView, QWidget* parent = nullptr);

    // Ids of the controls.
    enum {
        kDialogId = 30820,
        kCropCombo = 1012,
        kLocationCombo = 1021,
        kCentreCombo = 1022,
        kCentreEdit = 1008,
        kCentreKmEdit = 1017,
        kWarehouseCombo = 1024,
        kWarehouseKmEdit = 1007,
        kNoteEdit = 1009,
        kCopyButton = 1055,
    };

    void Compute();
    void Copy();
    CGrainDistance& Calculator() { return m_calculator; }

protected:
    void OnOK() override;

private:
    void OnLocationEdited();

    CGrainDistance m_calculator;
    ActiveView m_activeView;
    std::vector<GrainDistance::CSettlement> m_settlements;
    int m_lastLength = 0;
};
