#include "gps/widgets/TerminalDlg.h"

#include "platform/QtText.h"
#include "shell/widgets/ControlIds.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

CDlgTerminal::CDlgTerminal(QWidget* parent) : QDialog(parent), m_view(WithId(kText, new QPlainTextEdit(this)))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Terminalas"));
    setModal(false);
    m_view->setReadOnly(true);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(480, 300);
}

void CDlgTerminal::AppendText(std::string_view pieces)
{
    const size_t before = m_text.Text().size();
    if (m_text.Append(pieces)) {
        m_view->setPlainText(ToQString(m_text.Text()));
    } else {
        QTextCursor end(m_view->document());
        end.movePosition(QTextCursor::End);
        end.insertText(ToQString(m_text.Text().substr(before)));
    }
    m_view->moveCursor(QTextCursor::End);
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->maximum());
}
