#pragma once

#include "search/PromptRules.h"
#include "shell/widgets/DialogBase.h"

#include <string>

class CLayer;
class QButtonGroup;
class QComboBox;
class QCheckBox;
class QDateTimeEdit;
class QLineEdit;

// Dialog 308 "Įrašų archyvavimas": the date and time before which track
// records go to the archive, a week before now at first.
class CArchiveRecordsDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 308;
    static constexpr int kDatePicker = 1079;

    CArchiveRecordsDlg(const CLocalDateTime& now, QWidget* parent = nullptr);
    // The date chosen, in days since 30 December 1899 (local time).
    double GetDate() const;

private:
    QDateTimeEdit* m_date;
};

// Dialog 30812 "Vietos įsiminimas": the name of a new place, at most 50
// characters.
class CRememberPlaceDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 30812;
    static constexpr int kNameEdit = 1004;

    explicit CRememberPlaceDlg(QWidget* parent = nullptr);
    // Code page 1257.
    std::string GetName() const;

private:
    QLineEdit* m_name;
};

// Dialog 30800 "Koordinačių formatas": how a new table writes geographic
// coordinates; the choice of the last OK is offered again.
class CCoordFormatDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 30800;
    static constexpr int kDegreeTextRadio = 1024;
    static constexpr int kDecimalRadio = 1026;

    explicit CCoordFormatDlg(QWidget* parent = nullptr);
    // ICoordTableDialogs::kDegreeText or kDecimalDegrees.
    int GetFormat() const { return m_format; }

protected:
    void OnOK() override;

private:
    QButtonGroup* m_forms;
    int m_format;
};

// Dialog 30819 "Įrašų rikiavimas": the field a layer's records are sorted
// by, the direction, and whether the result goes into the source layer.
// OK with no field does nothing.
class CSortRecordsDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 30819;
    static constexpr int kFieldCombo = 1012;
    static constexpr int kAscendingRadio = 1024;
    static constexpr int kDescendingRadio = 1025;
    static constexpr int kIntoSourceCheck = 1015;

    CSortRecordsDlg(const CLayer& layer, QWidget* parent = nullptr);
    const CRecordSortChoice& GetChoice() const { return m_choice; }

protected:
    void OnOK() override;

private:
    const CLayer& m_layer;
    CRecordSortChoice m_choice;
    QComboBox* m_fields;
    QButtonGroup* m_direction;
    QCheckBox* m_intoSource;
};

// The prompts run as their callers ask: true on OK with the answer out.
bool AskArchiveDate(double& date);
bool AskPlaceName(std::string& name);
int AskCoordinateFormat();
bool AskSortRecords(const CLayer& layer, CRecordSortChoice& choice);
