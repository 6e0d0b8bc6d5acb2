#pragma once

#include "search/ObjectFinder.h"
#include "shell/widgets/PropertySheet.h"

class CDrelView;
class CNameCombo;
class QCheckBox;
class QComboBox;
class QLabel;

// The find sheet's page of objects by name (dialog 340 "Objektai"): the
// layer list, the names of the chosen layer, folding equal names, and
// buttons that show, describe, edit or delete the object named.
class CDlgFindOject_PP : public CPropertyPage {
public:
    static constexpr int kDialogId = 340;
    static constexpr int kLayerCombo = 1012;
    static constexpr int kNameCombo = 1021;
    static constexpr int kFoldCheck = 1065;
    static constexpr int kCount = 1066;
    static constexpr int kShowButton = 1055;
    static constexpr int kInfoButton = 1056;
    static constexpr int kEditButton = 1089;
    static constexpr int kDeleteButton = 1020;

    explicit CDlgFindOject_PP(CDrelView& view);

protected:
    void OnInitDialog() override;

private:
    void LoadLayer(int index);
    void UpdateButtons();
    void UpdateCount();
    void OnFold(bool fold);
    // The entry the user means; -1 when none (after message 1111 or a
    // cancelled choice).
    int Resolve() const;
    void OnShow();
    void OnInfo();
    void OnEdit();
    void OnDelete();

    CObjectFinder m_finder;
    QComboBox* m_layers = nullptr;
    CNameCombo* m_names = nullptr;
    QCheckBox* m_fold = nullptr;
    QLabel* m_count = nullptr;
};
