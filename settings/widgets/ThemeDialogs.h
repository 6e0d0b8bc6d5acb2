#pragma once

#include "layers/ThemeClassList.h"
#include "shell/widgets/DialogBase.h"

#include <string>

class CLayer;
class CSublayer;
class CThemeClassListBox;
class QComboBox;
class QPushButton;

// Dialog 139 "Lauko reikšmė": one value of a class.
class CFieldValueDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 139, kValueEdit = 1017;

    explicit CFieldValueDlg(std::string value, QWidget* parent = nullptr);
    const std::string& GetValue() const { return m_value; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    std::string m_value;
};

// Dialog 162 "Lauko reikšmė": the two ends of a class's range.
class CFieldRangeDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 162, kFromEdit = 1017, kToEdit = 1007;

    CFieldRangeDlg(std::string from, std::string to, QWidget* parent = nullptr);
    const std::string& GetFrom() const { return m_from; }
    const std::string& GetTo() const { return m_to; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    std::string m_from;
    std::string m_to;
};

// Dialog 140 "Klasifikavimas": how many classes (1..64) and, for a
// numeric field, whether of equal numbers of objects or equal intervals.
class CClassifyDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 140, kCountEdit = 1017, kCountSpin = 1085, kEqualCountRadio = 1024,
                         kEqualIntervalRadio = 1025;

    CClassifyDlg(int count, int method, bool numericField, QWidget* parent = nullptr);
    int GetCount() const { return m_count; }
    int GetMethod() const { return m_method; }

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    int m_count;
    int m_method;
    bool m_numericField;
};

// Dialog 137 "Teminiai ženklai": the classes of one band of a layer on a
// copy, which OK gives to the band with the field chosen.
class CThemeDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 137, kFieldCombo = 1012, kTypeCombo = 1021, kClassList = 1014, kAddButton = 1055,
                         kEditButton = 1056, kRemoveButton = 1089, kStyleButton = 1019, kFillButton = 1020;

    CThemeDlg(CLayer& layer, CSublayer& band, QWidget* parent = nullptr);
    const CThemeClassList& GetClasses() const { return m_classes; }
    const std::string& GetField() const { return m_field; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void OnFieldChosen(int index);
    void OnTypeChosen(int index);
    void OnAdd();
    void OnEdit();
    void OnRemove();
    void OnStyle();
    void OnFill();
    void Refill(int selected);
    void EnableButtons();
    int Selected() const;
    char FieldType() const;

    CLayer& m_layer;
    CSublayer& m_band;
    CThemeClassList m_classes;
    std::string m_field;
    QComboBox* m_fields;
    QComboBox* m_types;
    CThemeClassListBox* m_list;
    QPushButton* m_add;
    QPushButton* m_edit;
    QPushButton* m_remove;
    QPushButton* m_style;
    QPushButton* m_fill;
};

// The symbol page's thematic hook: dialog 137 on the band, true on OK.
bool RunThemeDlg(CLayer& layer, CSublayer& band, QWidget* parent);
