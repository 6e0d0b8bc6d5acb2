#pragma once

#include "shell/widgets/DialogBase.h"

// The About box (dialog 100): the program's name and version, one button
// "Uždaryti".
class CAboutDialog : public CDialogBase {
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};
