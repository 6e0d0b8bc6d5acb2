#pragma once

#include <functional>

class CDC;
class CDrelView;
class CRect;

// Prints the map view page by page onto a printer context: the page count
// first, then pages first..last of it (from 1; last 0 or past the count:
// to the end), each after the first on a new page of the device. Before
// each page goOn hears the page and the count and may stop the print.
// The pages printed; 0 when nothing can be printed.
int PrintViewPages(CDrelView& view, CDC& dc, int first = 1, int last = 0,
                   const std::function<bool(int page, int count)>& goOn = {});

// The part of the drawing rectangle (the printable part of the page,
// device pixels) inside the margins, which count from the sheet's edge in
// hundredths of a millimetre; a device without a physical page has no
// unprintable border. False when nothing is left.
bool MarginArea(const CDC& dc, const CRect& drawRect, const CRect& margins, CRect& area);
