#include "shell/widgets/AboutDialog.h"

#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kAboutDialog = 100;
constexpr int kNameLabel = 1000;
constexpr int kVersionLabel = 1001;
} // namespace

CAboutDialog::CAboutDialog(QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kAboutDialog);
    setWindowTitle(QString::fromUtf8("Apie ") + QCoreApplication::applicationName());

    auto* name = new QLabel(QCoreApplication::applicationName(), this);
    SetControlId(name, kNameLabel);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    auto* version = new QLabel(QString::fromUtf8("Versija %1\nSkaitmeninių žemėlapių peržiūra ir redagavimas")
                                   .arg(QCoreApplication::applicationVersion()),
                               this);
    SetControlId(version, kVersionLabel);

    auto* close = new QPushButton(QString::fromUtf8("Uždaryti"), this);
    SetControlId(close, IDOK);
    close->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}
