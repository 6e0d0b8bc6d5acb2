#pragma once

#include "layers/CoordTableDialogs.h"
#include "layers/DosGdbImportDialog.h"

// The questions of coordinate tables that the settings part answers: the
// coordinate fields of a table being imported (178). The coordinate
// format keeps its default; the search part, installed later, answers it
// and hands this one on.
class CSettingsCoordTableDialogs : public ICoordTableDialogs {
public:
    bool AskCoordinateFields(const CDbfTable& table, const std::string& path, CFieldChoice& choice) override;
};

// The map description of an older DOS table being imported (177),
// offering the map chosen last.
class CSettingsDosGdbImportDialog : public IDosGdbImportDialog {
public:
    bool AskMapFile(const std::string& tablePath, std::string& mapPath) override;
};
