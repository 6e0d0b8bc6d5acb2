#pragma once

#include "geoproc/StreetBlocks.h"
#include "shell/widgets/DialogBase.h"

#include <functional>
#include <string>
#include <vector>

class CDrelDoc;
class CLayer;
class QLineEdit;

// Dialog 30806 "Kvartalų sluoksnio kūrimas" over the street layer's
// numeric fields and the document's line and area layers, with the rules
// of CStreetBlockRules: the width's edit 1017 serves mode 0 and the field
// combo 1012 mode 1; the "F&ailai..." buttons 1006 and 1009 choose the
// block and street-area files.
class CBlockLayerDlg : public CDialogBase {
public:
    CBlockLayerDlg(const CDrelDoc& document, const CLayer& streets, const CStreetBlockChoice& choice,
                   QWidget* parent = nullptr);

    const CStreetBlockChoice& GetChoice() const { return m_choice; }
    // The file dialog of the buttons; tests put their own.
    std::function<bool(std::string& path, const std::string& filter)> chooseFile;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnInitDialog() override;
    void OnOK() override;

private:
    void UpdateMode();
    void OnFiles(QLineEdit* edit);

    const CDrelDoc& m_document;
    CStreetBlockChoice m_choice;
    std::vector<std::string> m_fields;
    std::vector<std::string> m_frames;
    int m_field = -1;
    int m_frame = -1;
};
