#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>

class CDrelDoc;
class CLayer;
class QTreeWidget;

// Dialog 30788 "Sluoksnių grupės sukūrimas": the new group's name (edit
// 1004), which no entry of the document may have (message 1001, the
// focus back on the name).
class CGroupNameDlg : public CDialogBase {
public:
    static constexpr int kNameEdit = 1004;

    CGroupNameDlg(const CDrelDoc& document, std::string name, QWidget* parent = nullptr);
    const std::string& GetName() const { return m_name; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    const CDrelDoc& m_document;
    std::string m_name;
};

// Dialog 30787 "Sluoksnių grupės parametrai" on a group of the document:
// its name (1004; another entry's refused with 1001, its own kept) and
// "&Darbinė sluoksnių grupė" (1025).
class CGroupPropsDlg : public CDialogBase {
public:
    static constexpr int kNameEdit = 1004, kWorkingCheck = 1025;

    CGroupPropsDlg(const CDrelDoc& document, const CLayer& group, std::string name, bool working,
                   QWidget* parent = nullptr);
    const std::string& GetName() const { return m_name; }
    bool IsWorking() const { return m_working != 0; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    const CDrelDoc& m_document;
    const CLayer& m_group;
    std::string m_name;
    int m_working;
};

// Dialog 30810 "Sluoksnių grupės pasirinkimas": tree 1116 of the
// document's groups under "[.]", all expanded, the given group selected;
// OK hands back the selected group, none for the root.
class CGroupChoiceDlg : public CDialogBase {
public:
    static constexpr int kTree = 1116;

    CGroupChoiceDlg(const CDrelDoc& document, CLayer* group, QWidget* parent = nullptr);
    CLayer* GetGroup() const { return m_group; }
    QTreeWidget* GetTree() const { return m_tree; }

protected:
    void OnOK() override;

private:
    QTreeWidget* m_tree;
    CLayer* m_group;
};

// The hooks' forms: modal over the active window, false when cancelled.
bool RunGroupNameDialog(CDrelDoc& document, std::string& name);
bool RunGroupPropsDialog(const CLayer& group, CDrelDoc& document, std::string& name, bool& working);
