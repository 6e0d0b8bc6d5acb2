#pragma once

#include "shell/DocManager.h"

// The open and save-as dialogs of the document manager, over Qt's file
// dialog with the filters converted (ToQtNameFilters) and their pattern
// details hidden.
class CQtFilePrompt : public IFilePrompt {
public:
    bool PromptFileName(std::string& path, bool open, const std::string& filter,
                        const std::string& defaultExt) override;
};

#include <string>
#include <vector>

class QFileDialog;
// Prepares a file dialog: caption, filters, mode, proposal. Shared with
// the dialogs that ask for files of their own (import, export).
void SetUpFileDialog(QFileDialog& dialog, bool open, const std::string& filter, const std::string& defaultExt,
                     const std::string& path);

// The open dialog of existing files over a filter, one file or several;
// filterIndex (from 1) comes preset and holds the filter chosen. Qt's
// dialog takes names of any length. False when cancelled.
bool PromptOpenFiles(const std::string& filter, int& filterIndex, bool multiple, std::vector<std::string>& paths);
// The save dialog over a filter, asking before a file is replaced;
// filterIndex as above. False when cancelled.
bool PromptSaveFile(const std::string& filter, int& filterIndex, const std::string& defaultExt, std::string& path);
