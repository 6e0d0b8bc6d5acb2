#include "routing/CostMatrix.h"

#include <algorithm>

int CCostMatrix::Fill(int value)
{
    for (int i = 0; i < GetRowCount(); ++i)
        std::fill_n(GetRow(i), GetColumnCount(), value);
    return GetRowCount();
}
