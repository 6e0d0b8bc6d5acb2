#include "settings/widgets/LayerScalePage.h"

#include "settings/widgets/SheetControls.h"

#include <QComboBox>
#include <QGridLayout>

namespace {

constexpr int kMaximumCombo = 1015;
constexpr int kMinimumCombo = 1016;

void FillScales(QComboBox& combo, const char* open, bool openFirst, int32_t selected)
{
    if (openFirst)
        combo.addItem(QString::fromUtf8(open), 0);
    for (const CScaleThreshold& row : kScaleThresholds)
        combo.addItem(QString::fromUtf8(row.text), row.denominator);
    if (!openFirst)
        combo.addItem(QString::fromUtf8(open), 0);
    combo.setCurrentIndex(combo.findData(selected));
}

} // namespace

CLayerScalePage::CLayerScalePage(CLayerPropSheet& sheet) : CLayerSheetPage("Mastelis", sheet) {}

void CLayerScalePage::OnInitDialog()
{
    m_minimum = WithId(kMinimumCombo, new QComboBox(this));
    m_maximum = WithId(kMaximumCombo, new QComboBox(this));
    auto* layout = new QGridLayout(this);
    layout->addWidget(MakeLabel(this, 0, "Mi&nimalus mastelis:", m_minimum), 0, 0);
    layout->addWidget(m_minimum, 0, 1);
    layout->addWidget(MakeLabel(this, 0, "&Maksimalus mastelis:", m_maximum), 1, 0);
    layout->addWidget(m_maximum, 1, 1);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(2, 1);

    m_range = GetRasterScaleRange(Layer());
    FillScales(*m_minimum, "1:MIN", true, m_range.minimum);
    FillScales(*m_maximum, "1:MAX", false, m_range.maximum);
    for (QComboBox* combo : {m_minimum, m_maximum})
        connect(combo, &QComboBox::activated, this, [this] { OnChosen(); });
    CLayerSheetPage::OnInitDialog();
}

void CLayerScalePage::OnChosen()
{
    if (m_minimum->currentIndex() >= 0)
        m_range.minimum = m_minimum->currentData().toInt();
    if (m_maximum->currentIndex() >= 0)
        m_range.maximum = m_maximum->currentData().toInt();
    SetRasterScaleRange(Layer(), m_range);
    Sheet().CurrentBand() = 0;
}
