#include "shell/widgets/DialogBase.h"

#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPushButton>

CDialogBase::CDialogBase(QWidget* parent) : QDialog(parent) {}

int CDialogBase::DoModal()
{
    return exec();
}

bool CDialogBase::UpdateData(bool save)
{
    CDataExchange dx(this, save);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CDialogBase::EndDialog(int result)
{
    done(result);
}

void CDialogBase::OnInitDialog()
{
    UpdateData(false);
}

void CDialogBase::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialogBase::OnCancel()
{
    EndDialog(IDCANCEL);
}

QHBoxLayout* CDialogBase::MakeOkCancelRow()
{
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    SetControlId(ok, IDOK);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QString::fromUtf8("Atsisakyti"), this);
    SetControlId(cancel, IDCANCEL);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void CDialogBase::showEvent(QShowEvent* event)
{
    if (!m_initialized) {
        m_initialized = true;
        OnInitDialog();
        ConnectButtons();
    }
    QDialog::showEvent(event);
}

void CDialogBase::reject()
{
    OnCancel();
}

void CDialogBase::accept()
{
    OnOK();
}

void CDialogBase::ConnectButtons()
{
    if (auto* ok = FindControl<QAbstractButton>(this, IDOK))
        connect(ok, &QAbstractButton::clicked, this, [this] { OnOK(); });
    if (auto* cancel = FindControl<QAbstractButton>(this, IDCANCEL))
        connect(cancel, &QAbstractButton::clicked, this, [this] { OnCancel(); });
}
