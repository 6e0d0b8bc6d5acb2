#pragma once

#include "shell/widgets/DialogBase.h"

#include <string>

class QPlainTextEdit;

// Dialog 185: one memo text in a many-line edit (1017) under the given
// caption, the caret at its end. After OK the text is the edit's.
class CMemoEditDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 185;
    static constexpr int kTextEdit = 1017;

    CMemoEditDlg(const std::string& caption, const std::string& text, QWidget* parent = nullptr);

    const std::string& GetText() const { return m_text; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    QPlainTextEdit* m_edit;
    std::string m_text;
};
