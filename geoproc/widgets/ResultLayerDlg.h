#pragma once

#include "shell/widgets/DialogBase.h"

// Dialog 311 "Rezultatų sluoksnis": where an operation writes its result,
// 0 "&Sukurti naują sluoksnį" (radio 1024), 1 "&Rašyti į pradinį
// sluoksnį" (1025). It starts with the choice given, 0 at first.
class CResultLayerDlg : public CDialogBase {
public:
    explicit CResultLayerDlg(int choice = 0, QWidget* parent = nullptr);

    int GetChoice() const { return m_choice; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    int m_choice;
};
