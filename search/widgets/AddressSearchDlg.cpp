#include "search/widgets/AddressSearchDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "platform/Strings.h"
#include "search/StreetSearch.h"
#include "search/widgets/NameCombo.h"
#include "shell/widgets/DialogControls.h"
#include "shell/widgets/DlgItems.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kCancelText = 3001;
constexpr int kPickCaption = 3018;

} // namespace

CAddressSearchDlg::CAddressSearchDlg(CStreetSearch& search, QWidget* parent)
    : CDialogBase(parent),
      m_search(search),
      m_streets(WithId(kStreetCombo, new CNameCombo(this))),
      m_house(WithId(kHouseEdit, new QLineEdit(this))),
      m_fit(MakeCheck(this, kFitCheck, "&Derinti mastelį")),
      m_keepOpen(MakeCheck(this, kKeepOpenCheck, "&Neužverti lango"))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Adreso paieška"));
    m_streets->SetList(&m_search.Streets());
    m_streets->setMinimumWidth(260);
    m_house->setMaxLength(kHouseMaxLength);
    m_house->setMaximumWidth(m_house->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);

    auto* fields = new QGridLayout;
    fields->addWidget(MakeLabel(this, 0, "&Gatvė:", m_streets), 0, 0);
    fields->addWidget(m_streets, 0, 1, 1, 2);
    fields->addWidget(MakeLabel(this, kHouseLabel, "&Namo Nr.:", m_house), 1, 0);
    fields->addWidget(m_house, 1, 1);
    fields->setColumnStretch(2, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(m_fit);
    left->addWidget(m_keepOpen);
    left->addStretch();

    auto* ok = MakeButton(this, IDOK, "&Parodyti");
    ok->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(MakeButton(this, kPickShowButton, "&Parodyti"));
    buttons->addStretch();
    buttons->addWidget(MakeButton(this, IDCANCEL, "&Baigti"));

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
}

void CAddressSearchDlg::OnInitDialog()
{
    const bool pick = m_search.GetMode() == CStreetSearch::kPickMode;
    if (pick) {
        FindControl<QPushButton>(this, IDOK)->setText(QStringLiteral("OK"));
        FindControl<QPushButton>(this, IDCANCEL)->setText(ToQString(LoadString(kCancelText)));
        setWindowTitle(ToQString(LoadString(kPickCaption)));
    }
    ShowDlgItem(this, kPickShowButton, pick);
    ShowDlgItem(this, kKeepOpenCheck, !pick);
    const bool houses = m_search.HasHouseNumbers();
    ShowDlgItem(this, kHouseEdit, houses);
    ShowDlgItem(this, kHouseLabel, houses);

    const CStreetSearch::COptions& options = CStreetSearch::Options();
    m_fit->setChecked(options.fitScale);
    m_keepOpen->setChecked(options.keepOpen);
    connect(m_fit, &QCheckBox::toggled, this, [](bool on) { CStreetSearch::Options().fitScale = on; });
    connect(m_keepOpen, &QCheckBox::toggled, this, [](bool on) { CStreetSearch::Options().keepOpen = on; });
    connect(m_streets, &QComboBox::editTextChanged, this, [this] { UpdateButtons(); });
    connect(m_house, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
    connect(FindControl<QPushButton>(this, kPickShowButton), &QPushButton::clicked, this,
            [this] { OnShow(kPickShowButton); });
    m_streets->SetText("");
    CDialogBase::OnInitDialog();
    UpdateButtons();
}

void CAddressSearchDlg::UpdateButtons()
{
    const bool named = m_search.Streets().ResolveExact(m_streets->GetSelection(), m_streets->GetText()) >= 0;
    EnableDlgItem(this, IDOK, m_search.CanShow(named, FromQString(m_house->text())));
    EnableDlgItem(this, kPickShowButton, named);
}

void CAddressSearchDlg::OnOK()
{
    OnShow(IDOK);
}

void CAddressSearchDlg::OnShow(int button)
{
    const std::string house = m_search.HasHouseNumbers() ? FromQString(m_house->text()) : std::string();
    const CStreetSearch::Outcome outcome = m_search.Show(m_streets->GetSelection(), m_streets->GetText(), house,
                                                         m_keepOpen->isChecked(), m_fit->isChecked());
    if (outcome == CStreetSearch::kNothing)
        return;
    if (outcome != CStreetSearch::kClose)
        return;
    // The street and the house number the caller is given.
    m_streets->SetText(m_search.GetFound().GetText());
    EndDialog(button);
}

void RunAddressSearch(CLayer& streets, CDrelView& view, QWidget* parent)
{
    CStreetSearch search(streets, view, CStreetSearch::kSearchMode);
    if (!search.Load())
        return;
    CAddressSearchDlg dialog(search, parent);
    if (dialog.DoModal() == IDOK)
        ShowFoundStreetAddress(view, search.GetFound(), CStreetSearch::Options().fitScale);
}
