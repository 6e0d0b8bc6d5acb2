#include "shell/widgets/SymbolChoice.h"

SymbolListFunction& SymbolListDialog()
{
    static SymbolListFunction dialog;
    return dialog;
}
