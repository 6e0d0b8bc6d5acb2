#pragma once

#include "shell/widgets/DialogBase.h"

// Dialog 280 "Buferinės zonos skaičiavimas": the zone around an area, in
// the group "Buferinės zonos tipas", 0 "Aplink &kontūrą" (radio 1024), 1
// "Aplink &objektą" (1025), 2 "Objekto &viduje" (1026), as CShape::Buffer
// takes them. It starts with the type given.
class CBufferTypeDlg : public CDialogBase {
public:
    explicit CBufferTypeDlg(int type = 0, QWidget* parent = nullptr);

    int GetType() const { return m_type; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    int m_type;
};
