#pragma once

#include <cstdint>

using COLORREF = uint32_t; // 0x00BBGGRR

// The colour for a new layer: area layers step by two through 31 pastel
// fills, point and line layers by one through 15 basic colours. The first
// call seeds both positions from the clock, unless a test seeded them.
COLORREF GetNextDefaultColor(bool area);
void SeedDefaultColors(long long seed);
