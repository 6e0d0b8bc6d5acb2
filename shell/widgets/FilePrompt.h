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

class QFileDialog;
// Prepares a file dialog: caption, filters, mode, proposal. Shared with
// the dialogs that ask for files of their own (import, export).
void SetUpFileDialog(QFileDialog& dialog, bool open, const std::string& filter, const std::string& defaultExt,
                     const std::string& path);
