#include "search/widgets/MemoEditDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

CMemoEditDlg::CMemoEditDlg(const std::string& caption, const std::string& text, QWidget* parent)
    : CDialogBase(parent), m_edit(new QPlainTextEdit(this)), m_text(text)
{
    SetControlId(this, kDialogId);
    setWindowTitle(ToQString(caption));
    SetControlId(m_edit, kTextEdit);
    const QFontMetrics metrics(font());
    m_edit->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('x')) * 60, metrics.lineSpacing() * 12);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addLayout(MakeOkCancelRow());
}

void CMemoEditDlg::OnInitDialog()
{
    // Memo lines end in CR LF; the edit knows line feeds only.
    m_edit->setPlainText(ToQString(m_text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_edit->moveCursor(QTextCursor::End);
    m_edit->setFocus();
}

void CMemoEditDlg::OnOK()
{
    m_text = FromQString(m_edit->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    EndDialog(IDOK);
}
