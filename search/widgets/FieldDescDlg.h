#pragma once

#include "core/DbfFieldInfo.h"
#include "shell/widgets/DialogBase.h"

class QLineEdit;

// Dialog 161 "Lauko aprašas": one field's name, type, size and decimals.
// OK checks them (search/TableStructure.h, CheckFieldDesc) and keeps the
// field named "Name".
class CFieldDescDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 161;
    static constexpr int kNameEdit = 1078;
    static constexpr int kFirstTypeRadio = 1079; // C, N, M, L, D to 1083
    static constexpr int kSizeEdit = 1084;
    static constexpr int kSizeSpin = 1085;
    static constexpr int kDecimalsEdit = 1087;
    static constexpr int kDecimalsSpin = 1088;
    static constexpr int kDecimalsLabel = 1089;

    explicit CFieldDescDlg(QWidget* parent = nullptr);

    // A new field is C, size 10, no decimals, no name.
    void SetField(const CDbfFieldInfo& field) { m_field = field; }
    const CDbfFieldInfo& GetField() const { return m_field; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    char CheckedType() const;
    // The controls as the type asks: fixed sizes written and locked, the
    // decimals only for Numeric.
    void ShowType(char type);

    CDbfFieldInfo m_field{};
    QLineEdit* m_name;
    QLineEdit* m_size;
    QLineEdit* m_decimals;
};
