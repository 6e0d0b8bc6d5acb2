#include "settings/widgets/TitleBlockDlg.h"

#include "platform/UserServices.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kDialogId = 329;
constexpr int kEdits[] = {1017, 1007, 1008, 1009, 1010, 1011, 1013, 1018, 1019};

} // namespace

CTitleBlockDlg::CTitleBlockDlg(const Texts& texts, QWidget* parent) : CDialogBase(parent), m_texts(texts)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Kampinio štampo laukai"));
    auto* grid = new QGridLayout;
    for (size_t i = 0; i < std::size(kEdits); ++i) {
        auto* edit = WithId(kEdits[i], new QLineEdit(this));
        edit->setMinimumWidth(260);
        const std::string label = "&" + std::to_string(i + 1) + ":";
        grid->addWidget(MakeLabel(this, 0, label.c_str(), edit), static_cast<int>(i), 0);
        grid->addWidget(edit, static_cast<int>(i), 1);
    }
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = MakeButton(this, IDOK, "OK");
    ok->setDefault(true);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(MakeButton(this, IDCANCEL, "Atšaukti"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void CTitleBlockDlg::DoDataExchange(CDataExchange& dx)
{
    for (size_t i = 0; i < std::size(kEdits); ++i)
        dx.Text(kEdits[i], m_texts[i]);
}
