#pragma once

#include "gps/TripStatistics.h"
#include "shell/widgets/DialogBase.h"

#include <array>

class CLayer;

// The figures of a recorded track (dialog 370 "Trasos statistika"):
// points 1059, length 1060, total 1061, moving 1062 and standing time
// 1063, overall 1064 and moving average 1065, maximum speed 1066.
class CTrackStatisticsDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 370;
    static constexpr int kFirstFigure = 1059;

    explicit CTrackStatisticsDlg(const CTripStatistics& trip, QWidget* parent = nullptr);
};

// The statistics of a track layer shown; nothing for another layer or a
// table without "SPEED", "DATE" and "TIME" (false).
bool ShowTrackStatistics(const CLayer& layer, QWidget* parent = nullptr);

// The captions of the trip figures, in the order of FormatTripSummary
// (UTF-8); the GPS status window shows them too.
const std::array<const char*, 8>& TripFigureCaptions();
