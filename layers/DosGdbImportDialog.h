#pragma once

#include <string>

// The question a layer table of the older DOS generation asks the user:
// the map description file ("*.map") it belongs to, which holds the
// coordinate origin and units. The settings dialogs answer in the program;
// without them the question counts as cancelled. Tests install their own
// answers.
class IDosGdbImportDialog {
public:
    virtual ~IDosGdbImportDialog() = default;
    // The table path is shown; mapPath comes preset with the map chosen
    // last and holds the chosen one on OK. False when the user cancels.
    virtual bool AskMapFile(const std::string& tablePath, std::string& mapPath) { return false; }
};

IDosGdbImportDialog& DosGdbImportDialog();
// Installs the dialog; null restores the default. The caller keeps ownership.
void SetDosGdbImportDialog(IDosGdbImportDialog* dialog);
