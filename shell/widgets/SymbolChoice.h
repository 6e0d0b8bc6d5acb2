#pragma once

#include <functional>

class QWidget;

// Dialog 159 "Sutartiniai ženklai", the list of the library's symbols,
// modal over the parent on a symbol number; true after OK, the number
// then the one chosen. Set by the settings part's installer; while it is
// empty the buttons that would open it show their symbol and stay
// disabled.
using SymbolListFunction = std::function<bool(int& symbol, QWidget* parent)>;
SymbolListFunction& SymbolListDialog();
