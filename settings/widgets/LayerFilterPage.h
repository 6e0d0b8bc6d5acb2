#pragma once

#include "settings/widgets/FilterListPage.h"

#include <string>

class QComboBox;

// A filter page that builds each condition on itself (dialog 154): a
// field, an operator, and a typed value (with the field's values offered)
// or a second field; "IR" and "ARBA" append the condition, "Keisti"
// replaces the selected row.
class CLayerFilterPage : public CFilterListPage {
public:
    explicit CLayerFilterPage(CLayerPropSheet& sheet);

protected:
    void OnInitDialog() override;
    void OnSetActive() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnSelectionChanged() override;
    void UpdateButtons() override;

private:
    // The condition of the controls; false when none can be made.
    bool MakeCondition(CFilterCondition& condition);
    void OnAppend(int conjunction);
    void OnChange();
    void OnFieldChosen();
    void OnModeChosen();
    void ShowMode();
    // The chosen field's texts into the value combo, once per field.
    void FillValues();

    int m_operator = 0;
    int m_mode = 0; // 0 a typed value, 1 another field
    int m_fill = 0;
    std::string m_value;
    std::string m_filledFor;
    QComboBox* m_values = nullptr;
};
