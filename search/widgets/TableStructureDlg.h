#pragma once

#include "search/TableStructure.h"
#include "shell/widgets/DialogBase.h"

#include <string>

class CListViewEx;
class QStandardItemModel;

// Dialog 160 "Duomenų bazės struktūra": the fields of a table, added,
// inserted, edited (dialog 161) and removed; OK asks and rebuilds the
// table with them (search/TableStructure.h).
class CTableStructureDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 160;
    static constexpr int kFieldList = 1073;
    static constexpr int kEditButton = 1074;
    static constexpr int kAddButton = 1075;
    static constexpr int kInsertButton = 1076;
    static constexpr int kRemoveButton = 1077;

    explicit CTableStructureDlg(QWidget* parent = nullptr);

    void SetTablePath(std::string path) { m_path = std::move(path); }
    const CTableStructure& GetStructure() const { return m_structure; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // Dialog 161 on the field until its name is no other row's (message
    // 1120 between); false when cancelled.
    bool AskField(CDbfFieldInfo& field, int except);
    void OnEdit();
    void OnAdd(bool insert);
    void OnRemove();
    std::vector<int> SelectedRows() const;
    // The rows shown anew, the row selected (-1 none).
    void ShowRows(int selected);
    void UpdateButtons();

    std::string m_path;
    CTableStructure m_structure;
    CListViewEx* m_list;
    QStandardItemModel* m_model;
};
