#include "gps/widgets/TerminalDlg.h"

#include "platform/QtText.h"
#include "shell/widgets/ControlIds.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

// NMEA lines end in CR LF; the view breaks lines at either, so only the LF is shown.
QString Shown(std::string_view text)
{
    QString shown = ToQString(text);
    shown.remove(QLatin1Char('\r'));
    return shown;
}

} // namespace

CDlgTerminal::CDlgTerminal(QWidget* parent) : QDialog(parent), m_view(WithId(kText, new QPlainTextEdit(this)))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Terminalas"));
    setModal(false);
    m_view->setReadOnly(true);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
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
        m_view->setPlainText(Shown(m_text.Text()));
    } else {
        QTextCursor end(m_view->document());
        end.movePosition(QTextCursor::End);
        end.insertText(Shown(std::string_view(m_text.Text()).substr(before)));
    }
    m_view->moveCursor(QTextCursor::End);
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->maximum());
}
