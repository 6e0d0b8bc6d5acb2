#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>
#include <vector>

class CPlanningTask;
class QComboBox;

// Dialog 310 "Klientų apvažiavimo uždavinio parametrai": the task layer's
// fields for the route (1012, value 1017), flags (1021), stop numbers
// (1022, step 1008) and times (1024, start 1009, clients per hour 1010),
// each combo "<Nėra>" first, then every field; an edit is enabled only
// while its combo names a field. OK gives the task its values and the
// defaults of this road (CPlanningTask::TakeDialogDefaults).
class CPlanningTaskDlg : public CDialogBase {
public:
    explicit CPlanningTaskDlg(CPlanningTask& task, QWidget* parent = nullptr);

    static constexpr int kDialogId = 310;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    QComboBox* FieldCombo(int id, const std::string& selected);
    void UpdateEnabled();

    CPlanningTask& m_task;
    std::vector<std::string> m_fields;
    std::string m_start;
    int m_step = 0;
    int m_perHour = 0;
    std::string m_routeValue;
};
