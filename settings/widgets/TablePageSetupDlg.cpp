#include "settings/widgets/TablePageSetupDlg.h"

#include "platform/UserServices.h"
#include "settings/widgets/PageSetupDlg.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int kDialogId = 30729;
constexpr int kFontButton = 1039;

} // namespace

CTablePageSetupDlg::CTablePageSetupDlg(CPageSetup& setup, QWidget* parent)
    : CDialogBase(parent), m_setup(setup), m_margins(setup.Table().margins)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Puslapio parametrai"));
    auto* font = MakeButton(this, kFontButton, "Šriftas...");
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(font);
    fontRow->addStretch();
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = MakeButton(this, IDOK, "OK");
    ok->setDefault(true);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(MakeButton(this, IDCANCEL, "Atsisakyti"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeMarginsGroup(this));
    layout->addLayout(fontRow);
    layout->addWidget(buttons);
    setMinimumWidth(260);
    connect(font, &QPushButton::clicked, this, [this] { ChoosePageFont(this, m_setup.Table().font); });
}

void CTablePageSetupDlg::DoDataExchange(CDataExchange& dx)
{
    ExchangeMargins(dx, m_margins);
}

void CTablePageSetupDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    m_setup.Table().margins = m_margins;
    EndDialog(IDOK);
}
