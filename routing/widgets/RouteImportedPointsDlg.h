#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>

// Dialog 250 "Maršuto importuotiems punktams skaičiavimas": the point file
// (edit 1017) and the results table (edit 1007, at most 254 characters),
// proposed as the first results file not yet in the point file's folder.
class CRouteImportedPointsDlg : public CDialogBase {
public:
    explicit CRouteImportedPointsDlg(std::string pointsPath = {}, QWidget* parent = nullptr);

    static constexpr int kMaxResultsPath = 254;

    const std::string& GetPointsPath() const { return m_pointsPath; }
    const std::string& GetResultsPath() const { return m_resultsPath; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    std::string m_pointsPath;
    std::string m_resultsPath;
};
