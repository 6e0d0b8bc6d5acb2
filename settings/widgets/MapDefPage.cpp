#include "settings/widgets/MapDefPage.h"

#include "platform/UserServices.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DataExchange.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <string>
#include <utility>

namespace {

constexpr int kDialogId = 108;
constexpr int kNameEdit = 1007;
constexpr int kLeftEdit = 1008;
constexpr int kTopEdit = 1009;
constexpr int kRightEdit = 1010;
constexpr int kBottomEdit = 1011;
constexpr int kUnitsCombo = 1012;
constexpr int kScaleEdit = 1013;
constexpr int kAutoRecalcCheck = 1015;
constexpr int kAutoLoadCheck = 1016;
constexpr int kRecalcButton = 1055;
constexpr int kAskRecalc = 2019;

} // namespace

CPropPageMapDef::CPropPageMapDef(CDrelDoc& document)
    : CPropertyPage("Apra\xF0" "as"), m_document(document), m_values(ReadMapDefValues(document))
{
    SetControlId(this, kDialogId);
}

void CPropPageMapDef::OnInitDialog()
{
    auto edit = [this](int id) { return WithId(id, new QLineEdit(this)); };
    auto* name = edit(kNameEdit);
    auto* units = WithId(kUnitsCombo, new QComboBox(this));
    units->addItem(QString::fromUtf8("Laipsniai"));
    units->addItem(QString::fromUtf8("Metrai"));
    auto* scale = edit(kScaleEdit);

    auto* limits = new QGroupBox(QString::fromUtf8("Ribos"), this);
    auto* grid = new QGridLayout(limits);
    const struct {
        int id;
        const char* label;
        int row;
        int column;
    } sides[] = {
        {kLeftEdit, "Kairė:", 0, 0},
        {kTopEdit, "Viršus:", 0, 2},
        {kRightEdit, "Dešinė:", 1, 0},
        {kBottomEdit, "Apačia:", 1, 2},
    };
    for (const auto& side : sides) {
        auto* field = edit(side.id);
        grid->addWidget(MakeLabel(limits, 0, side.label, field), side.row, side.column);
        grid->addWidget(field, side.row, side.column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    auto* recalc = MakeButton(limits, kRecalcButton, "Perskaičiuoti");
    auto* recalcRow = new QHBoxLayout;
    recalcRow->addStretch();
    recalcRow->addWidget(recalc);
    grid->addLayout(recalcRow, 2, 0, 1, 4);

    auto* fields = new QGridLayout;
    fields->addWidget(MakeLabel(this, 0, "Žemėlapio vardas:", name), 0, 0);
    fields->addWidget(name, 0, 1, 1, 2);
    fields->addWidget(MakeLabel(this, 0, "Žemėlapio vienetai:", units), 1, 0);
    fields->addWidget(units, 1, 1);
    fields->addWidget(MakeLabel(this, 0, "Optimalus mastelis:", scale), 2, 0);
    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(MakeLabel(this, 0, "1:", scale));
    scaleRow->addWidget(scale, 1);
    fields->addLayout(scaleRow, 2, 1);
    fields->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(limits);
    layout->addWidget(MakeCheck(this, kAutoRecalcCheck, "Automatiškai plėsti pagal sluoksnių ribas"));
    layout->addWidget(MakeCheck(this, kAutoLoadCheck, "Automatiškai pereiti prie tinkamesnio žemėlapio"));
    layout->addStretch();

    connect(recalc, &QPushButton::clicked, this, [this] { OnRecalc(); });
    CPropertyPage::OnInitDialog();
}

void CPropPageMapDef::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kNameEdit, m_values.name, kMapNameLength);
    const std::pair<int, double*> limits[] = {{kLeftEdit, &m_values.limits.left},
                                              {kTopEdit, &m_values.limits.top},
                                              {kRightEdit, &m_values.limits.right},
                                              {kBottomEdit, &m_values.limits.bottom}};
    for (const auto& [id, side] : limits) {
        if (!IsLimitShown(*side)) {
            std::string text;
            dx.Text(id, text);
            if (!dx.IsSaving() || text.empty())
                continue;
        }
        dx.Real(id, *side);
    }
    dx.ComboIndex(kUnitsCombo, m_values.units);
    dx.Real(kScaleEdit, m_values.optimScale, kMinOptimScale, kMaxOptimScale);
    dx.Check(kAutoRecalcCheck, m_values.autoRecalcMapExtent);
    dx.Check(kAutoLoadCheck, m_values.autoLoad);
}

void CPropPageMapDef::OnRecalc()
{
    if (!UpdateData(true) || AppMessageBox(kAskRecalc, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (RecalcMapLimits(m_document, m_values.limits))
        UpdateData(false);
}
