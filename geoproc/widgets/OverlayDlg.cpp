#include "geoproc/widgets/OverlayDlg.h"

#include "geoproc/Overlay.h"
#include "geoproc/OverlayRules.h"
#include "geoproc/widgets/LayerComboRow.h"
#include "layers/Layer.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <iterator>

namespace {

constexpr int kOverlayDialog = 288;
constexpr int kSourceCombo = 1012;
constexpr int kOverlayingCombo = 1021;
constexpr int kOperationCombo = 1022;

// The operation combo's items, in the order of kOverlayCodes.
constexpr const char* kOperations[] = {"Sankirta", "Sąjunga", "Apkirpimas", "Įklijavimas", "Atimtis", "Klasifikavimas"};
static_assert(std::size(kOperations) == std::size(kOverlayCodes));

} // namespace

COverlayDlg::COverlayDlg(const CDrelDoc& document, const CLayer* active, QWidget* parent)
    : CDialogBase(parent), m_sources(COverlayRules::SourceLayers(document)),
      m_overlaying(COverlayRules::OverlayingLayers(document)),
      m_source(COverlayRules::InitialSource(m_sources, active)),
      m_overlay(COverlayRules::InitialOverlaying(m_overlaying)), m_operation(COverlayRules::InitialOperation())
{
    SetControlId(this, kOverlayDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnių perklojimas"));
    auto* grid = new QGridLayout;
    AddLayerItems(AddComboRow(this, grid, kSourceCombo, "Pradinis sluoksnis:"), m_sources);
    AddLayerItems(AddComboRow(this, grid, kOverlayingCombo, "Perklojantis sluoksnis:"), m_overlaying);
    QComboBox* operations = AddComboRow(this, grid, kOperationCombo, "Operacija:");
    for (const char* operation : kOperations)
        operations->addItem(QString::fromUtf8(operation));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(MakeOkCancelRow());
}

void COverlayDlg::DoDataExchange(CDataExchange& dx)
{
    dx.ComboIndex(kSourceCombo, m_source);
    dx.ComboIndex(kOverlayingCombo, m_overlay);
    dx.ComboIndex(kOperationCombo, m_operation);
}

void COverlayDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    const auto chosen = [](const std::vector<CLayer*>& layers, int index) {
        return index >= 0 && index < static_cast<int>(layers.size()) ? layers[static_cast<size_t>(index)] : nullptr;
    };
    CLayer* source = chosen(m_sources, m_source);
    CLayer* overlaying = chosen(m_overlaying, m_overlay);
    switch (COverlayRules::Accept(source, overlaying, m_operation)) {
    case COverlayRules::kIncomplete:
        AppBeep();
        return;
    case COverlayRules::kNeedsAreas:
        AppMessageBox(COverlayRules::kNeedsAreasMessage, MB_OK | MB_ICONWARNING);
        return;
    case COverlayRules::kAccepted:
        break;
    }
    m_choice = {source, overlaying, kOverlayCodes[m_operation]};
    EndDialog(IDOK);
}
