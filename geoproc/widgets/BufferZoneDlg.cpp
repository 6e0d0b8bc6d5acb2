#include "geoproc/widgets/BufferZoneDlg.h"

#include "platform/Codepage.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/StyleSampleButton.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kBufferZoneDialog = 262;
constexpr int kRemovePreviousCheck = 1015;
constexpr int kRadiusEdit = 1017;
constexpr int kSymbolButton = 1055;
constexpr char kZeroRadius[] = "Spindulys negali būti lygus 0.";
} // namespace

CBufferZoneDlg::CBufferZoneDlg(const CBufferZoneSettings& settings, QWidget* parent)
    : CDialogBase(parent), m_rules(settings), m_symbol(new CStyleSampleButton(this))
{
    SetControlId(this, kBufferZoneDialog);
    setWindowTitle(QString::fromUtf8("Buferinės zonos skaičiavimas"));
    auto* radius = new QLineEdit(this);
    SetControlId(radius, kRadiusEdit);
    auto* radiusLabel = new QLabel(QString::fromUtf8("&Spindulys:"), this);
    radiusLabel->setBuddy(radius);
    SetControlId(m_symbol, kSymbolButton);
    m_symbol->SetAreaStyle(m_rules.Working().style);
    auto* symbolLabel = new QLabel(QString::fromUtf8("Ž&enklas:"), this);
    symbolLabel->setBuddy(m_symbol);
    connect(m_symbol, &QPushButton::clicked, this, [this] { EditStyle(); });
    auto* remove = new QCheckBox(QString::fromUtf8("&Pašalinti ankstesnius rezultatus"), this);
    SetControlId(remove, kRemovePreviousCheck);

    auto* layout = new QGridLayout(this);
    layout->addWidget(radiusLabel, 0, 0);
    layout->addWidget(radius, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("km"), this), 0, 2);
    layout->addWidget(symbolLabel, 1, 0);
    layout->addWidget(m_symbol, 1, 1, 1, 2);
    layout->addWidget(remove, 2, 0, 1, 3);
    layout->addLayout(MakeOkCancelRow(), 3, 0, 1, 3);
    radius->setFocus();
}

void CBufferZoneDlg::DoDataExchange(CDataExchange& dx)
{
    CBufferZoneSettings& working = m_rules.Working();
    QWidget* radius = dx.Control(kRadiusEdit);
    dx.Real(kRadiusEdit, working.radius);
    if (dx.IsSaving() && !dx.Failed() && !CBufferZoneRules::Accepts(working.radius))
        dx.Fail(radius, Utf8ToCp1257(kZeroRadius));
    dx.Check(kRemovePreviousCheck, working.removePrevious);
}

void CBufferZoneDlg::EditStyle()
{
    if (m_rules.EditStyle())
        m_symbol->SetAreaStyle(m_rules.Working().style);
}
