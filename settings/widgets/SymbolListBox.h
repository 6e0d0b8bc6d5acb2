#pragma once

#include <QListWidget>

#include <vector>

class CSymbolLibrary;

// The point symbols of the library as a multi-column list of 36-pixel
// squares, each item's data its symbol number (icon files 0x8000 + n),
// to pick a library symbol from.
class CSymbolListBox : public QListWidget {
public:
    explicit CSymbolListBox(QWidget* parent = nullptr);

    // One item per symbol of the library, in its order.
    void Fill(CSymbolLibrary& library);
    // The item's symbol number; -1 for no item.
    int GetSymbol(int item) const;
    // The selected item's symbol number; -1 when none is selected.
    int GetSelectedSymbol() const;
    // Selects the symbol's item; false, nothing selected, when none has it.
    bool SelectSymbol(int symbol);

private:
    class CItemDelegate;

    CSymbolLibrary* m_library = nullptr;
    std::vector<int> m_symbols;
};
