#pragma once

#include "settings/FilterCondition.h"
#include "settings/widgets/LayerPropSheet.h"

class QListWidget;

// What the two filter pages share: the condition list 1044 over the
// working copy's filter, its two remove buttons, and OK, which writes the
// filter only when the list was changed (so a filter written elsewhere,
// which the list shows only in part, stays as it was).
class CFilterListPage : public CLayerSheetPage {
public:
    CFilterListPage(std::string caption, CLayerPropSheet& sheet);

protected:
    static constexpr int kConditionList = 1044;
    static constexpr int kRemoveButton = 1077;
    static constexpr int kRemoveAllButton = 1046;

    // Makes the list and the remove buttons (with their texts) and loads the filter.
    void MakeList(const char* removeAllText);
    bool OnKillActive() override;
    void OnOK() override;
    // Shows the rows, the row selected (-1 none).
    void ShowRows(int selected);
    int GetSelectedRow() const;
    virtual void OnSelectionChanged() { UpdateButtons(); }
    virtual void UpdateButtons() = 0;

    CFilterConditionList m_conditions;
    QListWidget* m_list = nullptr;
};
