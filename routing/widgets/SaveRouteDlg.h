#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>

class CDrelDoc;
class CLayer;

// Dialog 30817 "Apskaičiuoto maršruto išsaugojimas": under "Irašyti
// maršrutą į sluoksnį:" an editable combo (1012) of the document's line
// layers whose objects may be edited, showing the name remembered
// (CSaveRouteRules); OK remembers its text (at most 80 characters).
class CSaveRouteDlg : public CDialogBase {
public:
    explicit CSaveRouteDlg(CDrelDoc& document, QWidget* parent = nullptr);

    const std::string& GetName() const { return m_name; }
    // The layer of the name chosen, or a new one made for it; null when
    // none could be made.
    CLayer* GetOrCreateLayer();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    CDrelDoc& m_document;
    std::string m_name;
};
