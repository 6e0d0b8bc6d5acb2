#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>

// Dialog 30771 "Buferinių zonų skaičiavimas": the layer's name (edit 1018,
// read only) and the radius of its zones (edit 1017, kilometres, as
// CLayerBufferRules accepts it: 0, more than 500 and what is no number are
// refused with the usual message). It starts from the radius of its last
// OK in this run, which its OK keeps.
class CLayerBufferDlg : public CDialogBase {
public:
    // name: code page 1257.
    explicit CLayerBufferDlg(std::string layerName, QWidget* parent = nullptr);

    double GetRadius() const { return m_radius; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    std::string m_layerName;
    double m_radius;
};
