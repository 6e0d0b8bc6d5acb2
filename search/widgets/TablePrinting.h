#pragma once

#include "mapdoc/widgets/MapPrinting.h"

class CTableView;

// Printing a table view's grid (57607, 57608, 57609): the list read
// whole, laid out by CTablePrintLayout on the printer with the table page
// setup (PageSetup().GetTableValues(): the margins, and the font, bold for
// the header row that heads every page). Each cell is a framed rectangle,
// its text inset and cut at its edges, numbers to the right.
CPrintJob TablePrintJob(CTableView& view);
