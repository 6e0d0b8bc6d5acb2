#pragma once

#include "platform/Brush.h"

// The 43 fill patterns of area styles (brush style 3, the pattern number
// in the hatch field), made once and shared by every drawing pass. A
// pattern draws its 0 bits in the text colour and its 1 bits in the
// background colour.
constexpr int kPatternBrushCount = 43;

// No brush for a number outside 0 .. 42.
CBrush GetPatternBrush(int index);
