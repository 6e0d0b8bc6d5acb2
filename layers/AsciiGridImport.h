#pragma once

#include <string>

class CStream;
class IProgress;

// Converts an ESRI ASCII grid into an ".rmp" grid of 12-bit cells (type 2),
// the northern row first. The header keywords (ncols, nrows, xllcorner or
// xllcenter, yllcorner or yllcenter, cellsize, optional NODATA_value) may
// come in any case and order. Cells hold the values rounded into 0 to
// 4094; the no-data value becomes 4095. Every failure is shown (1007
// cannot open or create, 1030 bad grid text, 1045 write error, 1005 no
// memory) and gives false; the target is replaced only by a whole grid,
// so a failure or a cancel leaves an existing file as it was.
bool ImportAsciiGrid(const std::string& rmpPath, const std::string& asciiPath, IProgress* progress = nullptr);

// The same from a text stream into a stream that gets header and cells.
bool ImportAsciiGrid(CStream& rmp, CStream& ascii, IProgress* progress = nullptr);
