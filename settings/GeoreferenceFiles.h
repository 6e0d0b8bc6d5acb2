#pragma once

#include "core/MapRect.h"

#include <string>

// The georeference files written beside an exported picture: "WLD",
// "TAB", "MET" and "NAV", each the picture's path with that extension.
// extent is the picture's in map units, width and height its pixels; the
// texts hold the picture's file name (code page 1257), C-locale numbers
// and "\n" line ends (written as CR LF).
std::string WorldFileText(const CMapRect& extent, int width, int height);
std::string TabFileText(const std::string& pictureName, const CMapRect& extent, int width, int height,
                        bool geographic);
std::string MetFileText(const std::string& pictureName, const CMapRect& extent, int width, int height,
                        bool geographic);
std::string NavFileText(const CMapRect& extent, int width, int height);

// Writes the four beside the picture; one that cannot be written is passed
// over. The number written.
int WriteGeoreferenceFiles(const std::string& picturePath, const CMapRect& extent, int width, int height,
                           bool geographic);

// Text with each "\n" written as CR LF, replacing the file only once whole.
bool WriteCrLfText(const std::string& path, const std::string& text);
