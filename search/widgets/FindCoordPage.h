#pragma once

#include "search/CoordFinder.h"
#include "shell/widgets/PropertySheet.h"

class CCoordEdit;
class CDrelView;
class QComboBox;
class QLabel;
class QLineEdit;

// The find sheet's page of a typed point (dialog 352 "Koordinatės"): the
// format, the two values in it, and "Parodyti". Each format has its own
// pair of edits in the same place; only the chosen format's show.
class CDlgFindCoord_PP : public CPropertyPage {
public:
    static constexpr int kDialogId = 352;
    static constexpr int kFormatCombo = 1012;
    static constexpr int kXEdit = 1013, kYEdit = 1018;
    static constexpr int kLongitudeEdit = 1010, kLatitudeEdit = 1011;
    static constexpr int kLongitudeDmsEdit = 1017, kLatitudeDmsEdit = 1007;
    static constexpr int kLongitudeDmEdit = 1008, kLatitudeDmEdit = 1009;
    static constexpr int kShowButton = 1055;

    explicit CDlgFindCoord_PP(CDrelView& view);

protected:
    void OnInitDialog() override;

private:
    // The values of the finder in the format's edits, only they shown.
    void ShowFormat();
    void OnFormatChanged(int format);
    // What the user typed into the geographic edits, as degrees.
    void ReadGeographic();
    void OnPlanarEdited();
    // Reads the edits strictly; false after the refused one's message.
    bool ExchangeValues();
    void OnShow();

    CDrelView& m_view;
    CCoordFinder m_finder;
    QComboBox* m_formats = nullptr;
    QLabel* m_xLabel = nullptr;
    QLabel* m_yLabel = nullptr;
    QLineEdit* m_x = nullptr;
    QLineEdit* m_y = nullptr;
    QLineEdit* m_longitude = nullptr;
    QLineEdit* m_latitude = nullptr;
    CCoordEdit* m_longitudeDms = nullptr;
    CCoordEdit* m_latitudeDms = nullptr;
    CCoordEdit* m_longitudeDm = nullptr;
    CCoordEdit* m_latitudeDm = nullptr;
    bool m_geographicTyped = false;
};
