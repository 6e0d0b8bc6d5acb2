#pragma once

#include "gps/GpsWindowRules.h"

#include <QDialog>

#include <string_view>

class QPlainTextEdit;

// The GPS terminal (30822 "Terminalas", modeless): the receiver's raw
// text in a read-only view (1109) that fills the window, the newest text
// at the end.
class CDlgTerminal : public QDialog {
public:
    static constexpr int kDialogId = 30822;
    static constexpr int kText = 1109;

    explicit CDlgTerminal(QWidget* parent = nullptr);

    // The port's text: pieces separated by NUL bytes, code page 1257.
    void AppendText(std::string_view pieces);
    const std::string& Text() const { return m_text.Text(); }

private:
    CTerminalText m_text;
    QPlainTextEdit* m_view;
};
