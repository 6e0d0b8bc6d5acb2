#pragma once

#include "shell/widgets/DialogBase.h"

class CDrelView;
class CLayer;
class CNameCombo;
class CStreetSearch;
class QCheckBox;
class QLineEdit;

// Dialog 30724 "Adreso paieška" over a loaded street search: a street
// and a house number found and shown. In pick mode (caption "Adresas")
// OK is "OK", a second "&Parodyti" (1102) stands beside it and the
// dialog only settles on the address: it ends with the id of the button
// pressed.
class CAddressSearchDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 30724;
    static constexpr int kStreetCombo = 1012;
    static constexpr int kHouseEdit = 1017;
    static constexpr int kHouseLabel = 1059;
    static constexpr int kFitCheck = 1015;
    static constexpr int kKeepOpenCheck = 1016;
    static constexpr int kPickShowButton = 1102;
    static constexpr int kHouseMaxLength = 4;

    CAddressSearchDlg(CStreetSearch& search, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void UpdateButtons();
    void OnShow(int button);

    CStreetSearch& m_search;
    CNameCombo* m_streets;
    QLineEdit* m_house;
    QCheckBox* m_fit;
    QCheckBox* m_keepOpen;
};

// The legend's street search: dialog 30724 on the streets layer, after
// its streets were read (message 1004 instead when they cannot be); after
// OK the view shows what was found.
void RunAddressSearch(CLayer& streets, CDrelView& view, QWidget* parent);
