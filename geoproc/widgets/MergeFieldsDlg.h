#pragma once

#include "geoproc/MergeAdjacent.h"
#include "shell/widgets/DialogBase.h"

#include <string>
#include <vector>

class CLayer;
class QListWidget;

// Dialog 30801 "Gretimų objektų apjungimas": the check list 1014 of the
// layer's fields that are not hidden, by caption (MergeFieldChoices); OK
// gives the ticked fields' names joined by TAB.
class CMergeFieldsDlg : public CDialogBase {
public:
    explicit CMergeFieldsDlg(const CLayer& layer, QWidget* parent = nullptr);

    // After OK.
    const std::string& GetFieldNames() const { return m_fieldNames; }

protected:
    void OnOK() override;

private:
    std::vector<CMergeField> m_fields;
    QListWidget* m_list;
    std::string m_fieldNames;
};
