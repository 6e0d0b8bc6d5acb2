#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>

class CDbfTable;
class QComboBox;

// Which field of the table to overwrite, with which value and for which
// records (dialog 30768 "Lauko reikšmės keitimas"): combo 1012 lists the
// captions of every field in table order, edit 1017 takes the value (a
// value token too, FieldValueChange.h), radios 1024 "&Keisti tik
// pasirinktus įrašus" (scope 0) and 1025 "Keisti &visus įrašus" (1). OK
// is enabled once a field is chosen and closes only with one. The value
// and the scope of the last OK come back for the process.
class CFieldValueChangeDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 30768;

    explicit CFieldValueChangeDlg(const CDbfTable& table, QWidget* parent = nullptr);

    // After OK (code page 1257).
    const std::string& GetFieldCaption() const { return m_caption; }
    const std::string& GetValue() const;
    int GetScope() const;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    QComboBox* m_fields;
    std::string m_caption;
};
