#pragma once

class CLayer;

// "Sukurti erdvinį indeksą": after a Yes to "Sukurti erdvinį indeksą?",
// the index file of the layer's data file built by its source. A layer
// not of type 0, 1, 2 or 10, or made of several files, and a failed build
// give 1104; success 3037. 1 when the index was built, else 0 (a data
// file that cannot be opened ends it without a word).
int CreateSpatialIndex(CLayer& layer);
