#pragma once

#include "gps/TrackFilterText.h"
#include "settings/widgets/LayerPropSheet.h"

// The filter page of a track layer (227 "Filtras"): the status 1015 with
// its list 1012, the records from 1016 (date 1079, time 1081) and to 1065
// (date 1080, time 1082), each check enabling its controls, and "only the
// last record" 1069, which disables the rest. Leaving the page writes the
// working layer's filter text and its last-record flag.
class CGpsLayerPPFiler : public CLayerSheetPage {
public:
    enum ControlId : int {
        kStatus = 1015,
        kStatusList = 1012,
        kFrom = 1016,
        kFromDate = 1079,
        kFromTime = 1081,
        kTo = 1065,
        kToDate = 1080,
        kToTime = 1082,
        kLastRecord = 1069,
    };

    explicit CGpsLayerPPFiler(CLayerPropSheet& sheet);

protected:
    void OnInitDialog() override;
    bool OnKillActive() override;

private:
    void ShowValues(const CTrackFilterValues& values);
    CTrackFilterValues ReadValues() const;
    void UpdateEnabling();
};
