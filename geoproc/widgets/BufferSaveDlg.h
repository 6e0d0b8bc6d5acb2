#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>

class CDrelDoc;

// Dialog 268 "Buferinių zonų išsaugojimas": in the group "Rezultatų
// sluoksnis" an editable combo (1012) of the document's area layers whose
// objects may be edited, showing the name remembered (CBufferSaveRules);
// OK remembers its text, which must not be empty (at most 80 characters).
class CBufferSaveDlg : public CDialogBase {
public:
    explicit CBufferSaveDlg(const CDrelDoc& document, QWidget* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    std::string m_name;
};
