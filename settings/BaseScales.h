#pragma once

// Process-wide values of the layer property sheet, kept for the run.

// The number of the page left last (general 0, table 1, symbol 2, labels
// 3, filter 4, notes 5), where the next sheet starts; 0 at first.
int GetLastLayerSheetPage();
void SetLastLayerSheetPage(int page);

// The scales proposed as base scales of scale-dependent labels and point
// symbols: the map's scale when the legend opened the sheet; 0 at first.
int GetLabelBaseScale();
void SetLabelBaseScale(int scale);
int GetSymbolBaseScale();
void SetSymbolBaseScale(int scale);
