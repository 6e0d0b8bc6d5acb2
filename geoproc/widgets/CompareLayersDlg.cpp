#include "geoproc/widgets/CompareLayersDlg.h"

#include "geoproc/CompareLayers.h"
#include "layers/Layer.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DialogControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QComboBox* AddCombo(QWidget* dialog, QGridLayout* layout, int id, const char* label,
                    const std::vector<CLayer*>& layers)
{
    auto* combo = WithId(id, new QComboBox(dialog));
    combo->setMinimumWidth(240);
    for (const CLayer* layer : layers)
        combo->addItem(ToQString(layer->GetName()));
    const int row = layout->rowCount();
    layout->addWidget(MakeLabel(dialog, 0, label, combo), row, 0);
    layout->addWidget(combo, row, 1);
    return combo;
}

} // namespace

CCompareLayersDlg::CCompareLayersDlg(const CDrelDoc& document, const CLayer* active, QWidget* parent)
    : CDialogBase(parent), m_layers(CCompareLayersRules::Layers(document)),
      m_first(CCompareLayersRules::InitialFirst(m_layers, active)),
      m_second(CCompareLayersRules::InitialSecond(m_layers)), m_mode(CCompareLayersRules::InitialMode())
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Skirtumų tarp sluoksnių paieška"));
    auto* grid = new QGridLayout;
    AddCombo(this, grid, kFirstCombo, "Pirmas sluoksnis:", m_layers);
    AddCombo(this, grid, kSecondCombo, "Antras sluoksnis:", m_layers);
    auto* group = new QGroupBox(QString::fromUtf8("Palyginti"), this);
    auto* radios = new QVBoxLayout(group);
    radios->addWidget(MakeRadio(group, kGeometryRadio, "Objektų geometriją"));
    radios->addWidget(MakeRadio(group, kAttributesRadio, "Geometriją ir atributus"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(group);
    layout->addSpacing(8);
    layout->addLayout(MakeOkCancelRow());
}

void CCompareLayersDlg::DoDataExchange(CDataExchange& dx)
{
    dx.ComboIndex(kFirstCombo, m_first);
    dx.ComboIndex(kSecondCombo, m_second);
    dx.Radio({kGeometryRadio, kAttributesRadio}, m_mode);
}

void CCompareLayersDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    const auto chosen = [this](int index) {
        return index >= 0 && index < static_cast<int>(m_layers.size()) ? m_layers[static_cast<size_t>(index)]
                                                                        : nullptr;
    };
    CLayer* first = chosen(m_first);
    CLayer* second = chosen(m_second);
    switch (CCompareLayersRules::Accept(first, second, m_mode)) {
    case CCompareLayersRules::kIncomplete:
        return;
    case CCompareLayersRules::kDifferentTypes:
        AppMessageBox(CCompareLayersRules::kDifferentTypesMessage, MB_OK | MB_ICONWARNING);
        return;
    case CCompareLayersRules::kAccepted:
        break;
    }
    m_choice = {first, second, m_mode};
    EndDialog(IDOK);
}
