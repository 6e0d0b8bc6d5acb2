#pragma once

class CDC;
struct CPointStyle;

// Draws a point style centred on a logical point at a scale denominator
// (0: sizes as set); returns what was drawn, 0 for nothing.
using PointSymbolDrawer = int (*)(CDC& dc, int x, int y, const CPointStyle& style, int scale);

// Point symbols draw through the symbol library (SymbolLibrary.h) unless
// another drawer is installed here, as tests do; null puts the library back.
void SetPointSymbolDrawer(PointSymbolDrawer drawer);
int DrawPointSymbol(CDC& dc, int x, int y, const CPointStyle& style, int scale);
