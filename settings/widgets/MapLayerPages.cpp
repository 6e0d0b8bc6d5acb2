#include "settings/widgets/MapLayerPages.h"

#include "platform/QtText.h"
#include "settings/widgets/SheetControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kLayerCombo = 1012;
constexpr int kFieldCombos[] = {1021, 1022, 1024, 1025, 1026, 1027};
constexpr int kFirstFieldLabel = 1059;
constexpr int kComboWidth = 220;

} // namespace

CPropPageMapLayer::CPropPageMapLayer(MapLayerPage page, const CDrelDoc& document, CTexts texts)
    : CPropertyPage(texts.caption), m_choice(page, document), m_texts(std::move(texts))
{
    SetControlId(this, m_texts.dialogId);
}

void CPropPageMapLayer::OnInitDialog()
{
    m_layer = WithId(kLayerCombo, new QComboBox(this));
    m_layer->setMinimumWidth(kComboWidth);
    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, 0, m_texts.layerLabel, m_layer), 0, 0);
    grid->addWidget(m_layer, 0, 1);
    grid->setRowMinimumHeight(1, 8);
    for (size_t f = 0; f < m_texts.fieldLabels.size(); ++f) {
        auto* combo = WithId(kFieldCombos[f], new QComboBox(this));
        combo->setMinimumWidth(kComboWidth);
        const int row = static_cast<int>(f) + 2;
        grid->addWidget(MakeLabel(this, kFirstFieldLabel + static_cast<int>(f), m_texts.fieldLabels[f], combo), row, 0);
        grid->addWidget(combo, row, 1);
        m_fields.push_back(combo);
        connect(combo, &QComboBox::activated, this, [this, f](int index) {
            m_choice.ChooseField(static_cast<int>(f), index);
        });
    }
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    if (m_texts.note) {
        auto* note = new QLabel(QString::fromUtf8(m_texts.note), this);
        note->setWordWrap(true);
        layout->addSpacing(8);
        layout->addWidget(note);
    }
    layout->addStretch();

    connect(m_layer, &QComboBox::activated, this, [this](int index) {
        m_choice.ChooseLayer(index);
        ShowChoice();
    });
    m_choice.Fill();
    ShowChoice();
    CPropertyPage::OnInitDialog();
}

void CPropPageMapLayer::ShowChoice()
{
    if (m_layer->count() == 0)
        for (const std::string& name : m_choice.GetLayerItems())
            m_layer->addItem(ToQString(name));
    m_layer->setCurrentIndex(m_choice.GetLayerSelection());
    const std::vector<std::string> items = m_choice.GetFieldItems();
    const bool enabled = m_choice.FieldsEnabled();
    for (size_t f = 0; f < m_fields.size(); ++f) {
        QComboBox* combo = m_fields[f];
        combo->clear();
        for (const std::string& item : items)
            combo->addItem(ToQString(item));
        combo->setCurrentIndex(m_choice.GetFieldSelection(static_cast<int>(f)));
        combo->setEnabled(enabled);
        FindControl<QLabel>(this, kFirstFieldLabel + static_cast<int>(f))->setEnabled(enabled);
    }
}

bool CPropPageMapLayer::OnKillActive()
{
    if (!CPropertyPage::OnKillActive())
        return false;
    m_choice.Leave();
    return true;
}

CPropPageMapRoutes::CPropPageMapRoutes(const CDrelDoc& document)
    : CPropPageMapLayer(MapLayerPage::kRoutes, document,
                        {"Mar\xF0rutai",
                         109,
                         "Maršrutų paieškos &sluoksnis:",
                         {"&Pradinis mazgas:", "&Galinis mazgas:", "&Atstumas:", "&Eismo kryptis:",
                          "Svorio &koeficientas:", "&Svarbos požymis:"}})
{
}

CPropPageMapStreets::CPropPageMapStreets(const CDrelDoc& document)
    : CPropPageMapLayer(MapLayerPage::kStreets, document,
                        {"Gatv\xEBs",
                         119,
                         "Gatvių &sluoksnis:",
                         {"&Pavadinimas paieškai:", "&Gatvės kodas:", "&Miesto pavadinimas:"},
                         "Miesto pavadinimo laukas reikalingas, kai gatvių sluoksnyje yra kelių miestų "
                         "gatvės: tada adresų paieškoje pirmiausia pasirenkamas miestas."})
{
}

CPropPageMapAddresses::CPropPageMapAddresses(const CDrelDoc& document)
    : CPropPageMapLayer(MapLayerPage::kAddresses, document,
                        {"Adresai",
                         120,
                         "Adresų &sluoksnis:",
                         {"&Gatvės kodas:", "&Namo numeris:", "&Raidė:", "Gatvės &kodas (2):", "N&amo numeris (2):",
                          "Rai&dė (2):"}})
{
}
