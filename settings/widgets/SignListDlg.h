#pragma once

#include "shell/widgets/DialogBase.h"

class CSymbolListBox;

// Dialog 159 "Sutartiniai ženklai": a library symbol number picked from
// the list, the given one selected at first. After OK the member holds
// the chosen number, -1 when none was selected; a double-click on an
// item chooses it and closes with OK.
class CSignListDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 159;

    CSignListDlg(int symbol, QWidget* parent = nullptr);

    int m_symbol;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CSymbolListBox* m_list;
};

// The sign list over the parent on the symbol; true after OK, the symbol
// then the one chosen (-1 for none).
bool RunSignList(int& symbol, QWidget* parent);
