#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>

class QPlainTextEdit;

// The window of connection errors (1043 "Ryšio klaidos"), modeless: the
// texts the main window appends to edit 1017; "&Išvalyti" (1) empties
// it, "&Uždaryti" (2) closes the window.
class CCommErrorsDlg : public CDialogBase {
public:
    explicit CCommErrorsDlg(QWidget* parent = nullptr);

    // One text on a line of its own (code page 1257).
    void AppendText(const std::string& text);
    std::string GetText() const;

protected:
    void OnOK() override;

private:
    QPlainTextEdit* m_text;
};
