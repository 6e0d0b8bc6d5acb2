#pragma once

#include "gps/GpsFix.h"
#include "gps/TripStatistics.h"

#include <QDialog>

#include <span>
#include <string>

class QPushButton;
class QWidget;

// The GPS status window (330 "GPS", modeless): the last fix in 1059
// longitude, 1060 latitude, 1061 speed, 1062 course, 1063 time, 1097 date
// and 1064 satellites and status, the time moved by the main window's
// correction; the trip figures beside them (kTripFigureIds). It opens
// folded: ">>" (1055) doubles the width and shows the figures and "0"
// (1056), which after asking (2027) resets them; "<<" folds it again.
class CDlgGps : public QDialog {
public:
    static constexpr int kDialogId = 330;
    enum ControlId : int {
        kLongitude = 1059,
        kLatitude = 1060,
        kSpeed = 1061,
        kCourse = 1062,
        kTime = 1063,
        kStatus = 1064,
        kDate = 1097,
        kFold = 1055,
        kReset = 1056,
    };

    explicit CDlgGps(QWidget* parent = nullptr);

    // The fix shown and added to the trip figures.
    void ShowFix(const GpsFix& fix);
    // The figures anew over fixes 0 to n - 1; fix n - 1 shown.
    void ShowTripUpTo(std::span<const GpsFix> fixes, int n);
    void ResetTrip();
    void RefreshTrip();
    // The last fix shown again (after the time correction changed).
    void RefreshFix();
    void OnFold();
    void OnReset();
    bool IsFolded() const;
    const CTripStatistics& Trip() const { return m_trip; }

private:
    void ShowFixTexts(const GpsFix& fix);
    void AddToTrip(const GpsFix& fix);
    void SetText(int id, const std::string& text);

    CTripStatistics m_trip;
    GpsFix m_lastFix;
    QWidget* m_tripPart = nullptr;
    QPushButton* m_fold = nullptr;
    QPushButton* m_reset = nullptr;
    int m_foldedWidth = 0;
};
