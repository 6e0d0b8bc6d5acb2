#include "geoproc/widgets/SnapLayerDlg.h"

#include "geoproc/SnapLayerRules.h"
#include "geoproc/widgets/LayerComboRow.h"
#include "layers/Layer.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DialogControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr const char* kWhatItems[] = {"Mazgus", "Viršūnes", "Įterpti viršūnes"};
constexpr const char* kToWhatItems[] = {"Prie mazgų", "Prie viršūnių", "Prie kraštinių",
                                        "Prie viršūnių ir kraštinių"};

CLayer* Chosen(const std::vector<CLayer*>& layers, int index)
{
    return index >= 0 && index < static_cast<int>(layers.size()) ? layers[static_cast<size_t>(index)] : nullptr;
}

} // namespace

CSnapLayerDlg::CSnapLayerDlg(const CDrelDoc& document, const CLayer* active, QWidget* parent)
    : CDialogBase(parent), m_sources(CSnapLayerRules::SourceLayers(document)),
      m_targets(CSnapLayerRules::TargetLayers(document)),
      m_source(CSnapLayerRules::InitialSource(m_sources, active)),
      m_target(CSnapLayerRules::InitialTarget(m_targets)), m_choice(CSnapLayerRules::Initial())
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Sluoksnio pritraukimas"));
    auto* grid = new QGridLayout;
    m_sourceCombo = AddComboRow(this, grid, kSourceCombo, "Pritraukiamas sluoksnis:");
    m_targetCombo = AddComboRow(this, grid, kTargetCombo, "Pritraukti prie sluoksnio:");
    m_whatCombo = AddComboRow(this, grid, kWhatCombo, "Ką pritraukti:", kWhatLabel, &m_whatLabel);
    m_toWhatCombo = AddComboRow(this, grid, kToWhatCombo, "Prie ko pritraukti :", kToWhatLabel, &m_toWhatLabel);
    AddLayerItems(m_sourceCombo, m_sources);
    AddLayerItems(m_targetCombo, m_targets);
    for (const char* item : kWhatItems)
        m_whatCombo->addItem(QString::fromUtf8(item));
    for (const char* item : kToWhatItems)
        m_toWhatCombo->addItem(QString::fromUtf8(item));
    auto* tolerance = WithId(kToleranceEdit, new QLineEdit(this));
    const int row = grid->rowCount();
    grid->addWidget(MakeLabel(this, 0, "Tolerancija:", tolerance), row, 0);
    grid->addWidget(tolerance, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("m"), this), row, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(MakeOkCancelRow());
    UpdateData(false);
    ShowChoices();
    connect(m_sourceCombo, &QComboBox::currentIndexChanged, this, [this] { ShowChoices(); });
    connect(m_targetCombo, &QComboBox::currentIndexChanged, this, [this] { ShowChoices(); });
}

void CSnapLayerDlg::ShowChoices()
{
    const bool what = CSnapLayerRules::AsksWhat(Chosen(m_sources, m_sourceCombo->currentIndex()));
    const bool toWhat = CSnapLayerRules::AsksToWhat(Chosen(m_targets, m_targetCombo->currentIndex()));
    m_whatLabel->setVisible(what);
    m_whatCombo->setVisible(what);
    m_toWhatLabel->setVisible(toWhat);
    m_toWhatCombo->setVisible(toWhat);
}

void CSnapLayerDlg::DoDataExchange(CDataExchange& dx)
{
    dx.ComboIndex(kSourceCombo, m_source);
    dx.ComboIndex(kTargetCombo, m_target);
    dx.ComboIndex(kWhatCombo, m_choice.what);
    dx.ComboIndex(kToWhatCombo, m_choice.toWhat);
    dx.Real(kToleranceEdit, m_choice.tolerance, 0, CSnapLayerRules::kMaxTolerance);
}

void CSnapLayerDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    m_choice.source = Chosen(m_sources, m_source);
    m_choice.target = Chosen(m_targets, m_target);
    if (!CSnapLayerRules::Accept(m_choice)) {
        AppBeep();
        return;
    }
    EndDialog(IDOK);
}
