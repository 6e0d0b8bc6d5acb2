#pragma once

#include "shell/widgets/PropertySheet.h"

#include <cstdint>

class CSymbolListBox;

// Page 107 "Piktograma" of the point symbol sheet: a library symbol. A
// selection shows the default point style with that symbol in the sheet;
// a double-click also closes the sheet with OK.
class CDlgSymbIcon : public CPropertyPage {
public:
    static constexpr int kDialogId = 107;

    CDlgSymbIcon();

    // 0xFFFF until one is chosen.
    uint16_t m_symbol;

protected:
    void OnInitDialog() override;
    void OnSetActive() override;

private:
    void OnChosen(bool close);

    CSymbolListBox* m_list = nullptr;
};
