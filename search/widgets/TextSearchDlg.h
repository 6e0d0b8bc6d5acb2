#pragma once

#include "shell/widgets/DialogBase.h"

class CTableView;
class QComboBox;

// The text search of a table window (dialog 240 "Teksto paieška"):
// modeless, one per view, it stays open between searches. "Ieškoti" (1)
// takes the controls into the values kept for the process (the text
// 1017, the whole value 1015, the letter case 1016, marking all 1065)
// and runs the view's search with the field chosen in combo 1012
// ("<Visi laukai>", then the captions of the shown fields); "Baigti" (2)
// hides it.
class CTextSearchDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 240;

    CTextSearchDlg(CTableView& view, QWidget* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    CTableView& m_view;
    QComboBox* m_fields;
};
