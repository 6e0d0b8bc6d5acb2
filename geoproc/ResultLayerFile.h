#pragma once

#include "geoproc/GeoprocFrame.h"

#include <string>

class CDrelDoc;

// File kinds of dialog 102's "F&ailai..." (CNewLayerOptions::fileTypes).
enum ResultFileKinds : int { kResultGdb = 1, kResultDbf = 2, kResultShapefile = 8 };

// Dialog 102 for a result of a fixed type, the names proposed for the
// base and the file kinds of the mask offered. The chosen file keeps its
// extension when the mask offers that kind, else it takes "gdb" (a Yes to
// replace another file does not stand then). 1 on OK.
int PromptResultLayerFile(CDrelDoc& document, const CDocCommandDialogs& dialogs, const std::string& base, int type,
                          int fileKinds, CResultLayerChoice& choice);

// Whether the path's extension is of a kind of the mask.
bool IsResultFileKind(const std::string& path, int fileKinds);
