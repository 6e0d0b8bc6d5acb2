#pragma once

#include "search/WriteCoordsRules.h"
#include "shell/widgets/DialogBase.h"

#include <vector>

class CDbfTable;
class QCheckBox;
class QComboBox;
class QLabel;

// "Koordinačių įrašymas į duomenų bazę": the fields of a layer's table
// that receive coordinates, optionally converted from one system to
// another ("&Transformuoti koordinates", 1015, enables the lists 1022
// and 1024 and their labels). CWriteCoordsDlg (30777) asks a point
// layer's two numeric fields (1012, 1021); CWriteCoordsTransformDlg
// (30778) a line layer's first (1012, 1021) and last point's (1013, 1023)
// fields among all its fields. The rules are search/WriteCoordsRules.h.
class CWriteCoordsDlgBase : public CDialogBase {
public:
    static constexpr int kXField = 1012, kYField = 1021;
    static constexpr int kLastXField = 1013, kLastYField = 1023;
    static constexpr int kTransformCheck = 1015;
    static constexpr int kFromSystem = 1022, kToSystem = 1024;

    // After OK: field names and coordinate-system codes.
    const CWriteCoordsRules::Choice& GetChoice() const { return m_choice; }

protected:
    CWriteCoordsDlgBase(const CDbfTable& table, bool lines, QWidget* parent);

    void OnInitDialog() override;
    void OnOK() override;

private:
    QComboBox* MakeFieldList(int id);
    std::string ChosenField(const QComboBox* list) const;
    void EnableSystems();

    CWriteCoordsRules m_rules;
    std::vector<CWriteCoordsRules::Field> m_fields;
    CWriteCoordsRules::Choice m_choice;
    QComboBox* m_fieldLists[4] = {};
    QCheckBox* m_transform;
    QComboBox* m_from;
    QComboBox* m_to;
    QLabel* m_fromLabel;
    QLabel* m_toLabel;
};

class CWriteCoordsDlg : public CWriteCoordsDlgBase {
public:
    static constexpr int kDialogId = 30777;
    explicit CWriteCoordsDlg(const CDbfTable& table, QWidget* parent = nullptr);
};

class CWriteCoordsTransformDlg : public CWriteCoordsDlgBase {
public:
    static constexpr int kDialogId = 30778;
    explicit CWriteCoordsTransformDlg(const CDbfTable& table, QWidget* parent = nullptr);
};
