#pragma once

#include "settings/LayerDialogRules.h"
#include "shell/widgets/DialogBase.h"

#include <functional>
#include <string>
#include <vector>

class CLayer;
class QListWidget;

// Dialog 259 "Failų įtraukimas": the pattern (1017), the folder (1007,
// at first the current one) and "Į&traukti pakatalogius" (1015, on). The
// caller searches.
class CAddFilesDlg : public CDialogBase {
public:
    static constexpr int kPatternEdit = 1017, kFolderEdit = 1007, kSubfoldersCheck = 1015;

    explicit CAddFilesDlg(std::string pattern, QWidget* parent = nullptr);
    const std::string& GetPattern() const { return m_pattern; }
    const std::string& GetFolder() const { return m_folder; }
    bool GetSubfolders() const { return m_subfolders != 0; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    std::string m_pattern;
    std::string m_folder;
    int m_subfolders = 1;
};

// Dialog 261 "Sluoksnio failų sąrašas": the files of a layer made of many
// files (list 1014) with "&Pridėti..." (1055), "Pašalinti" (1056),
// "Pašalinti &visus" (1089) and "&Aprašyti" (1019, the files of a folder
// found through dialog 259). OK with an empty list does nothing; else the
// layer (when there is one) takes the list, and GetFiles hands it back.
class CLayerFileListDlg : public CDialogBase {
public:
    static constexpr int kList = 1014, kAddButton = 1055, kRemoveButton = 1056, kRemoveAllButton = 1089,
                         kDescribeButton = 1019;

    explicit CLayerFileListDlg(CLayer* layer, QWidget* parent = nullptr);
    const std::vector<std::string>& GetFiles() const { return m_list.GetFiles(); }
    QListWidget* GetListBox() const { return m_box; }
    // "&Pridėti...": existing files over the filter, several at once; the
    // open dialog unless set.
    std::function<bool(const std::string& filter, std::vector<std::string>& paths)> chooseFiles;

protected:
    void OnOK() override;

private:
    void Refill();
    void OnAdd();
    void OnRemove();
    void OnDescribe();

    CLayer* m_layer;
    CLayerFileList m_list;
    QListWidget* m_box;
};

// The layer sheet's hook: true after OK, the layer holding the new list.
bool EditLayerFileList(CLayer& layer, QWidget* parent);
