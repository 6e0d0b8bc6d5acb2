#pragma once

#include "settings/widgets/FilterListPage.h"

// The filter page of the sheet (dialog 30786 "Filtras"): the conditions
// of the filter, each made and edited in the filter condition dialog.
class CLayerFilterPage1 : public CFilterListPage {
public:
    explicit CLayerFilterPage1(CLayerPropSheet& sheet);

protected:
    void OnInitDialog() override;
    void UpdateButtons() override;

private:
    // The condition dialog on the condition; false when cancelled or missing.
    bool AskCondition(CFilterCondition& condition);
    void OnNew();
    void OnAppend(int conjunction);
    void OnEdit();
};
