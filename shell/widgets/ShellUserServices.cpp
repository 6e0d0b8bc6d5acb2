#include "shell/widgets/ShellUserServices.h"

#include <QApplication>
#include <QCursor>

CShellUserServices::CShellUserServices(MessageBoxHandler messageBox, IUserServices& previous)
    : m_messageBox(std::move(messageBox)), m_previous(previous)
{
}

int CShellUserServices::MessageBox(const std::string& text, unsigned type, unsigned helpId)
{
    return m_messageBox(text, type, helpId);
}

void CShellUserServices::Beep()
{
    QApplication::beep();
}

void CShellUserServices::BeginWaitCursor()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CShellUserServices::EndWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

std::unique_ptr<IProgress> CShellUserServices::CreateProgress(int captionId)
{
    return m_previous.CreateProgress(captionId);
}
