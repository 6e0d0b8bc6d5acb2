#include "shell/widgets/CommErrorsDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kCommErrorsDialog = 1043;
constexpr int kErrorsEdit = 1017;
} // namespace

CCommErrorsDlg::CCommErrorsDlg(QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kCommErrorsDialog);
    setWindowTitle(QString::fromUtf8("Ryšio klaidos"));
    setModal(false);
    m_text = new QPlainTextEdit(this);
    SetControlId(m_text, kErrorsEdit);
    m_text->setReadOnly(true);
    m_text->setMinimumSize(360, 180);
    auto* clear = new QPushButton(QString::fromUtf8("&Išvalyti"), this);
    SetControlId(clear, IDOK);
    clear->setAutoDefault(false);
    auto* close = new QPushButton(QString::fromUtf8("&Uždaryti"), this);
    SetControlId(close, IDCANCEL);
    close->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(clear);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
}

void CCommErrorsDlg::AppendText(const std::string& text)
{
    m_text->appendPlainText(ToQString(text));
}

std::string CCommErrorsDlg::GetText() const
{
    return FromQString(m_text->toPlainText());
}

void CCommErrorsDlg::OnOK()
{
    m_text->clear();
}
