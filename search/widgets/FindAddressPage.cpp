#include "search/widgets/FindAddressPage.h"

#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "search/FindState.h"
#include "search/widgets/NameCombo.h"
#include "shell/widgets/DialogControls.h"
#include "shell/widgets/DlgItems.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kStreetNotFound = 1107;

} // namespace

CDlgFindAddress_PP::CDlgFindAddress_PP(CDrelView& view) : CPropertyPage(Utf8ToCp1257("Gatvės/Adresai")), m_finder(view)
{
    SetControlId(this, kDialogId);
}

void CDlgFindAddress_PP::OnInitDialog()
{
    m_towns = WithId(kTownCombo, new QComboBox(this));
    m_towns->setEnabled(false);
    m_streets = WithId(kStreetCombo, new CNameCombo(this));
    m_streets->SetList(&m_finder.Streets());
    m_house = WithId(kHouseEdit, new QLineEdit(this));
    auto* show = MakeButton(this, kShowButton, "Parodyti");
    show->setDefault(true);
    show->setEnabled(false);
    auto* noStreets = MakeLabel(this, kNoStreets, "Šiame žemėlapyje nėra gatvių sluoksnio.");
    noStreets->setAlignment(Qt::AlignCenter);

    auto* townLabel = MakeLabel(this, 0, "&Miestas:", m_towns);
    auto* streetLabel = MakeLabel(this, 0, "&Gatvė:", m_streets);
    auto* houseLabel = MakeLabel(this, 0, "&Namo Nr.:", m_house);
    auto* fields = new QGridLayout;
    fields->addWidget(townLabel, 0, 0);
    fields->addWidget(m_towns, 0, 1);
    fields->addWidget(streetLabel, 1, 0);
    fields->addWidget(m_streets, 1, 1);
    fields->addWidget(houseLabel, 2, 0);
    auto* houseRow = new QHBoxLayout;
    houseRow->addWidget(m_house);
    houseRow->addStretch();
    fields->addLayout(houseRow, 2, 1);
    fields->setColumnStretch(1, 1);
    m_house->setMaximumWidth(m_house->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(show);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(noStreets, 1);
    layout->addStretch();
    layout->addLayout(buttons);

    if (!m_finder.HasStreetLayer()) {
        for (QWidget* widget : std::initializer_list<QWidget*>{m_towns, m_streets, m_house, townLabel, streetLabel,
                                                              houseLabel, show})
            widget->hide();
        CPropertyPage::OnInitDialog();
        return;
    }
    noStreets->hide();
    if (!m_finder.HasHouseNumbers()) {
        m_house->hide();
        houseLabel->hide();
    }
    if (m_finder.Load() && m_finder.IsTownMode()) {
        m_towns->setEnabled(true);
        for (const CNameEntry& town : m_finder.Towns())
            m_towns->addItem(ToQString(town.text), town.record);
        const int last = m_finder.FindTown(FindState().lastTown);
        m_towns->setCurrentIndex(last);
        if (last >= 0)
            OnTownChosen(last);
    }
    m_streets->Refresh();

    connect(m_towns, &QComboBox::currentIndexChanged, this, [this](int index) { OnTownChosen(index); });
    connect(m_streets, &QComboBox::editTextChanged, this,
            [this] { EnableDlgItem(this, kShowButton, !m_streets->GetText().empty()); });
    connect(show, &QPushButton::clicked, this, [this] { OnShow(); });
    CPropertyPage::OnInitDialog();
}

void CDlgFindAddress_PP::OnTownChosen(int index)
{
    m_finder.ChooseTown(index);
    m_streets->SetText("");
    m_streets->Refresh();
    EnableDlgItem(this, kShowButton, false);
}

void CDlgFindAddress_PP::OnShow()
{
    const int entry = m_streets->Resolve(kStreetNotFound);
    if (entry >= 0)
        m_streets->SetText(m_finder.Streets().GetText(entry));
    m_finder.Show(entry, FromQString(m_house->text()));
}
