#pragma once

#include "geoproc/OverlayRules.h"
#include "shell/widgets/DialogBase.h"

#include <string>
#include <vector>

class CLayer;

// Dialog 312 "Klasifikavimo laukai": the field of the result (point)
// layer (combo 1012) and of the area layer (1021), each listing the
// aliases of its layer's fields of types C, F and N (ClassFields); OK
// wants both (else a beep) and gives the fields' names.
class CClassFieldsDlg : public CDialogBase {
public:
    CClassFieldsDlg(const CLayer& points, const CLayer& areas, QWidget* parent = nullptr);

    // After OK.
    const std::string& GetPointField() const { return m_pointField; }
    const std::string& GetAreaField() const { return m_areaField; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    std::vector<CClassField> m_pointFields;
    std::vector<CClassField> m_areaFields;
    int m_point = -1;
    int m_area = -1;
    std::string m_pointField;
    std::string m_areaField;
};
