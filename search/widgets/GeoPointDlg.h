#pragma once

#include "core/MapPoint.h"
#include "shell/widgets/DialogBase.h"

#include <string>

class CCoordEdit;
class CDegMinEdit;
class CDegMinSecEdit;
class QLabel;
class QLineEdit;
class QRadioButton;

// Dialog 30783 "Įveskite taško koordinates" of a map in degrees: the
// longitude and the latitude in the notation the radio group "Koordinačių
// formatas" chooses, each row's three edits at one place: degrees,
// minutes and seconds (1017, 1007), degrees and decimal minutes (1008,
// 1009), decimal degrees (1010, 1011). It starts with the last point in
// the last notation (GeoPointMemory); what the user changed is read when
// the notation changes and on OK, which keeps the point for the next time.
class CGeoPointDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 30783;
    static constexpr int kDegMinSecLon = 1017, kDegMinSecLat = 1007;
    static constexpr int kDegMinLon = 1008, kDegMinLat = 1009;
    static constexpr int kDecimalLon = 1010, kDecimalLat = 1011;
    static constexpr int kDegMinSecRadio = 1024, kDegMinRadio = 1025, kDecimalRadio = 1026;

    explicit CGeoPointDlg(QWidget* parent = nullptr);

    // After OK: x the longitude, y the latitude.
    CMapPoint GetPoint() const;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    struct Row {
        bool longitude;
        QLabel* label;
        CDegMinSecEdit* degMinSec;
        CDegMinEdit* degMin;
        QLineEdit* decimal;
        std::string filled; // the text the shown edit got
    };

    QLineEdit* ShownEdit(const Row& row) const;
    // The remembered values into the notation's edits, which alone show.
    void Show(int notation);
    // What the user changed in the shown edits into the remembered
    // values; false, the user told, when a decimal is no degree value.
    bool ReadChanged();
    void ChooseNotation(int notation);

    Row m_rows[2];
    QRadioButton* m_radios[3];
    int m_shown = -1;
};
