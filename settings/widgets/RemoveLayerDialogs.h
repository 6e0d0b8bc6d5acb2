#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>

class CLayer;

// Dialog 242 "Sluoksnio šalinimas": the layer's name (1059) and the
// question, with "Pašalinti sluoksnio failus iš disko" (1015, off); OK is
// "Pašalinti". The caller removes.
class CRemoveLayerDlg : public CDialogBase {
public:
    static constexpr int kNameText = 1059, kFilesCheck = 1015;

    explicit CRemoveLayerDlg(const std::string& layerName, QWidget* parent = nullptr);
    bool GetDeleteFiles() const { return m_deleteFiles != 0; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    std::string m_name;
    int m_deleteFiles = 0;
};

// Dialog 30811 "Sluoksnių šalinimas" over a selection: "Pašalinti
// sluoksnius grupėse" (1016, enabled only when the selection holds a
// group) and "Pašalinti sluoksnių failus iš disko" (1015), both off.
class CRemoveLayersDlg : public CDialogBase {
public:
    static constexpr int kMembersCheck = 1016, kFilesCheck = 1015;

    explicit CRemoveLayersDlg(bool holdsGroup, QWidget* parent = nullptr);
    bool GetWithMembers() const { return m_withMembers != 0; }
    bool GetDeleteFiles() const { return m_deleteFiles != 0; }

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    bool m_holdsGroup;
    int m_withMembers = 0;
    int m_deleteFiles = 0;
};

// Dialog 328 "Sluoknių grupės šalinimas": the group alone (1024, 0), with
// its layers (1025, 1), or with their files too (1026, 2).
class CRemoveGroupDlg : public CDialogBase {
public:
    static constexpr int kGroupOnly = 1024, kWithLayers = 1025, kWithFiles = 1026;

    explicit CRemoveGroupDlg(QWidget* parent = nullptr);
    int GetChoice() const { return m_choice; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    int m_choice = 0;
};

// The legend's hooks: modal over the active window. 242: false when
// cancelled, the box's choice in deleteFiles; 328: the choice, -1 when
// cancelled.
bool AskRemoveLayer(const CLayer& layer, bool& deleteFiles);
int AskRemoveGroup(const CLayer& group);
