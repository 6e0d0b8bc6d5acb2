#pragma once

#include "shell/widgets/DialogBase.h"

class CLayer;
class CDrelView;
class CNameCombo;
class CObjectList;
class QCheckBox;
class QLabel;

// Dialog 134 "Objektų sąrašas" over a loaded object list: the layer's
// objects by name, shown, described, edited or deleted. With
// "&Neužverti lango" "&Parodyti" shows the chosen objects at once; without
// it OK ends the dialog and the caller shows them.
class CObjectListDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 134;
    static constexpr int kNameCombo = 1012;
    static constexpr int kInfoButton = 1055;
    static constexpr int kEditButton = 1056;
    static constexpr int kDeleteButton = 1089;
    static constexpr int kFitCheck = 1015;
    static constexpr int kKeepOpenCheck = 1016;
    static constexpr int kFoldCheck = 1065;
    static constexpr int kCount = 1066;

    CObjectListDlg(CObjectList& list, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void OnOK() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();
    void UpdateCount();
    void OnFold(bool fold);
    void OnInfo();
    void OnEdit();
    void OnDelete();

    CObjectList& m_list;
    CNameCombo* m_names;
    QCheckBox* m_fit;
    QCheckBox* m_keepOpen;
    QCheckBox* m_fold;
    QLabel* m_count;
};

// The legend's object list: dialog 134 on the layer, after its objects
// were read (message 1004 instead when they cannot be); after OK the view
// marks the chosen objects.
void RunObjectList(CLayer& layer, CDrelView& view, QWidget* parent);
