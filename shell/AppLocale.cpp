#include "shell/AppLocale.h"

#include <clocale>

void SetProgramLocale()
{
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_COLLATE, "");
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_MONETARY, "C");
    std::setlocale(LC_TIME, "C");
}
