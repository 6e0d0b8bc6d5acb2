#pragma once

#include "search/FilterDlgRules.h"
#include "shell/widgets/DialogBase.h"

#include <vector>

class CLayer;
class QComboBox;
class QListWidget;

// Dialog 319 "Filtro sąlyga": one condition of a layer's filter, a field
// (by caption), an operator and a typed value or a second field
// (search/FilterDlgRules.h). "&Užpildyti" offers the field's values.
class CFilterDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 319;
    static constexpr int kFieldList = 1034;
    static constexpr int kFirstOperator = 1035; // "=" to "<=" to 1040
    static constexpr int kContainsOperator = 1044;
    static constexpr int kValueRadio = 1041;
    static constexpr int kFieldRadio = 1042;
    static constexpr int kFillCheck = 1043;
    static constexpr int kSecondFieldList = 1049;
    static constexpr int kValueCombo = 1050;

    explicit CFilterDlg(const CLayer& layer, QWidget* parent = nullptr);

    // The condition shown first; after OK the one made (its conjunction kept).
    void SetCondition(const CFilterCondition& condition) { m_condition = condition; }
    const CFilterCondition& GetCondition() const { return m_condition; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CFilterChoice ReadChoice() const;
    void ShowMode();
    void UpdateOk();
    void FillValues();

    const CLayer& m_layer;
    std::vector<CFieldChoice> m_fields;
    CFilterCondition m_condition;
    QListWidget* m_fieldList;
    QListWidget* m_secondList;
    QComboBox* m_values;
};
