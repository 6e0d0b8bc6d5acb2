#include "search/widgets/FindObjectPage.h"

#include "layers/Layer.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "search/widgets/NameCombo.h"
#include "shell/widgets/DialogControls.h"
#include "shell/widgets/DlgItems.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kObjectNotFound = 1111;
constexpr int kActionButtons[] = {CDlgFindOject_PP::kShowButton, CDlgFindOject_PP::kInfoButton,
                                  CDlgFindOject_PP::kEditButton, CDlgFindOject_PP::kDeleteButton};

} // namespace

CDlgFindOject_PP::CDlgFindOject_PP(CDrelView& view) : CPropertyPage(Utf8ToCp1257("Objektai")), m_finder(view)
{
    SetControlId(this, kDialogId);
}

void CDlgFindOject_PP::OnInitDialog()
{
    m_layers = WithId(kLayerCombo, new QComboBox(this));
    m_names = WithId(kNameCombo, new CNameCombo(this));
    m_names->SetList(&m_finder.Names());
    m_fold = MakeCheck(this, kFoldCheck, "Be &pasikartojimų");
    m_fold->setChecked(true);
    m_count = WithId(kCount, new QLabel(this));
    m_count->setMinimumWidth(m_count->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));

    auto* fields = new QGridLayout;
    fields->addWidget(MakeLabel(this, 0, "Paieškos &sluoksnis:", m_layers), 0, 0);
    fields->addWidget(m_layers, 0, 1);
    fields->addWidget(MakeLabel(this, 0, "Objekto &vardas:", m_names), 1, 0);
    fields->addWidget(m_names, 1, 1);
    fields->setColumnStretch(1, 1);

    auto* counting = new QHBoxLayout;
    counting->addWidget(m_fold);
    counting->addStretch();
    counting->addWidget(MakeLabel(this, 0, "Iš viso:"));
    counting->addWidget(m_count);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* show = MakeButton(this, kShowButton, "Parodyti");
    show->setDefault(true);
    buttons->addWidget(show);
    buttons->addWidget(MakeButton(this, kInfoButton, "Informacija..."));
    buttons->addWidget(MakeButton(this, kEditButton, "Red. info..."));
    buttons->addWidget(MakeButton(this, kDeleteButton, "Pašalinti"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(counting);
    layout->addStretch();
    layout->addLayout(buttons);

    for (const CLayer* layer : m_finder.Layers())
        m_layers->addItem(ToQString(layer->GetName()));
    m_layers->setCurrentIndex(m_finder.GetStartLayer());
    if (m_finder.GetStartLayer() >= 0)
        LoadLayer(m_finder.GetStartLayer());
    else
        m_names->setEnabled(false);
    UpdateButtons();

    connect(m_layers, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_names->setEnabled(true);
        LoadLayer(index);
    });
    connect(m_names, &QComboBox::editTextChanged, this, [this] { UpdateButtons(); });
    connect(m_fold, &QCheckBox::toggled, this, [this](bool fold) { OnFold(fold); });
    connect(show, &QPushButton::clicked, this, [this] { OnShow(); });
    connect(FindControl<QPushButton>(this, kInfoButton), &QPushButton::clicked, this, [this] { OnInfo(); });
    connect(FindControl<QPushButton>(this, kEditButton), &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(FindControl<QPushButton>(this, kDeleteButton), &QPushButton::clicked, this, [this] { OnDelete(); });
    CPropertyPage::OnInitDialog();
}

void CDlgFindOject_PP::LoadLayer(int index)
{
    const CObjectFinder::LoadResult result = m_finder.LoadNames(index, m_fold->isChecked());
    m_names->SetText("");
    m_names->Refresh();
    if (result == CObjectFinder::kNoNameField)
        m_names->setEnabled(false);
    UpdateCount();
    UpdateButtons();
}

void CDlgFindOject_PP::UpdateButtons()
{
    const bool named = m_names->isEnabled() && !m_names->GetText().empty();
    for (const int id : kActionButtons)
        EnableDlgItem(this, id, named);
}

void CDlgFindOject_PP::UpdateCount()
{
    m_count->setText(ToQString(m_finder.GetCountText()));
}

void CDlgFindOject_PP::OnFold(bool fold)
{
    m_finder.SetFolded(fold);
    m_names->Refresh();
    if (m_names->isEnabled())
        UpdateCount();
}

int CDlgFindOject_PP::Resolve() const
{
    return m_names->Resolve(kObjectNotFound);
}

void CDlgFindOject_PP::OnShow()
{
    m_finder.Show(Resolve());
}

void CDlgFindOject_PP::OnInfo()
{
    if (const int entry = Resolve(); entry >= 0)
        m_finder.ShowInfo(entry);
}

void CDlgFindOject_PP::OnEdit()
{
    const int entry = Resolve();
    if (entry < 0)
        return;
    const int edited = m_finder.EditInfo(entry);
    if (edited < 0 || edited == entry)
        return;
    m_names->Refresh();
    m_names->setCurrentIndex(edited);
}

void CDlgFindOject_PP::OnDelete()
{
    const int entry = Resolve();
    if (entry < 0 || !m_finder.Delete(entry))
        return;
    m_names->Refresh();
    UpdateCount();
}
