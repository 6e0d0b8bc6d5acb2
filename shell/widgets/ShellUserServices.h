#pragma once

#include "platform/UserServices.h"

#include <functional>

// The user services of the program with its windows: message boxes through
// the application's rules (CDrelApp::DoMessageBox), Qt's beep and wait
// cursor; progress windows from the services it replaced until the
// program has its own.
class CShellUserServices : public IUserServices {
public:
    using MessageBoxHandler = std::function<int(const std::string& text, unsigned type, unsigned helpId)>;

    CShellUserServices(MessageBoxHandler messageBox, IUserServices& previous);

    int MessageBox(const std::string& text, unsigned type, unsigned helpId) override;
    void Beep() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    std::unique_ptr<IProgress> CreateProgress(int captionId) override;

private:
    MessageBoxHandler m_messageBox;
    IUserServices& m_previous;
};
