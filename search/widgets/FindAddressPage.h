#pragma once

#include "search/AddressFinder.h"
#include "shell/widgets/PropertySheet.h"

class CDrelView;
class CNameCombo;
class QComboBox;
class QLineEdit;

// The find sheet's page of streets and houses (dialog 341
// "Gatvės/Adresai"): the town, the street, the house number, and
// "Parodyti". A map without a streets layer gets only a line saying so.
class CDlgFindAddress_PP : public CPropertyPage {
public:
    static constexpr int kDialogId = 341;
    static constexpr int kTownCombo = 1012;
    static constexpr int kStreetCombo = 1021;
    static constexpr int kHouseEdit = 1017;
    static constexpr int kShowButton = 1055;
    static constexpr int kNoStreets = 1060;

    explicit CDlgFindAddress_PP(CDrelView& view);

protected:
    void OnInitDialog() override;

private:
    void OnTownChosen(int index);
    void OnShow();

    CAddressFinder m_finder;
    QComboBox* m_towns = nullptr;
    CNameCombo* m_streets = nullptr;
    QLineEdit* m_house = nullptr;
};
