#include "routing/widgets/PlanningTaskDlg.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "routing/PlanningTask.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <climits>

namespace {

constexpr int kLayerName = 1059;
constexpr int kRouteCombo = 1012;
constexpr int kRouteValue = 1017;
constexpr int kFlagCombo = 1021;
constexpr int kNumberCombo = 1022;
constexpr int kStepEdit = 1008;
constexpr int kTimeCombo = 1024;
constexpr int kStartEdit = 1009;
constexpr int kPerHourEdit = 1010;
constexpr int kNone = 3000;

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

QGroupBox* Group(const char* title, QFormLayout*& form, QWidget* parent)
{
    auto* group = new QGroupBox(Utf8(title), parent);
    form = new QFormLayout(group);
    return group;
}

QLineEdit* Edit(int id, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    SetControlId(edit, id);
    return edit;
}

} // namespace

CPlanningTaskDlg::CPlanningTaskDlg(CPlanningTask& task, QWidget* parent)
    : CDialogBase(parent), m_task(task), m_start(FormatClockTime(static_cast<unsigned>(task.startTime))),
      m_step(task.step), m_perHour(task.clientsPerHour), m_routeValue(task.routeValue)
{
    SetControlId(this, kDialogId);
    setWindowTitle(Utf8("Klientų apvažiavimo uždavinio parametrai"));
    if (task.layer) {
        CDbfTable table;
        if (task.layer->OpenTable(table))
            for (int i = 0; i < table.GetFieldCount(); ++i)
                m_fields.push_back(table.GetFieldName(i));
    }
    auto* layout = new QVBoxLayout(this);
    auto* layerRow = new QFormLayout;
    auto* layerName = new QLabel(task.layer ? ToQString(task.layer->GetName()) : QString(), this);
    SetControlId(layerName, kLayerName);
    layerRow->addRow(Utf8("Klientų sluoksnis:"), layerName);
    layout->addLayout(layerRow);

    QFormLayout* form = nullptr;
    layout->addWidget(Group("Įrašų filtravimas", form, this));
    form->addRow(Utf8("Maršrutų laukas:"), FieldCombo(kRouteCombo, task.routeField));
    form->addRow(Utf8("Maršruto numeris:"), Edit(kRouteValue, this));
    layout->addWidget(Group("Požymiai", form, this));
    form->addRow(Utf8("Požymių laukas:"), FieldCombo(kFlagCombo, task.flagField));
    form->addRow(new QLabel(Utf8("'s' - starto taškas, '1'- fiksuotas taškas"), this));
    layout->addWidget(Group("Sustojimų numeravimas", form, this));
    form->addRow(Utf8("Numeravimo laukas:"), FieldCombo(kNumberCombo, task.numberField));
    form->addRow(Utf8("Numeravimo žingsnis:"), Edit(kStepEdit, this));
    layout->addWidget(Group("Sustojimo laiko prognozavimas", form, this));
    form->addRow(Utf8("Laiko laukas:"), FieldCombo(kTimeCombo, task.timeField));
    form->addRow(Utf8("Išvažiavimo laikas:"), Edit(kStartEdit, this));
    form->addRow(Utf8("Per valandą aplankoma klientų:"), Edit(kPerHourEdit, this));
    layout->addLayout(MakeOkCancelRow());
    UpdateEnabled();
}

QComboBox* CPlanningTaskDlg::FieldCombo(int id, const std::string& selected)
{
    auto* combo = new QComboBox(this);
    SetControlId(combo, id);
    combo->addItem(ToQString(LoadString(kNone)));
    int current = 0;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        combo->addItem(ToQString(m_fields[i]));
        if (current == 0 && !selected.empty() && EqualsNoCase1257(m_fields[i], selected))
            current = static_cast<int>(i) + 1;
    }
    combo->setCurrentIndex(current);
    connect(combo, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabled(); });
    return combo;
}

void CPlanningTaskDlg::UpdateEnabled()
{
    const auto chosen = [this](int id) {
        auto* combo = FindControl<QComboBox>(this, id);
        return combo && combo->currentIndex() > 0;
    };
    const auto enable = [this](int id, bool on) {
        if (auto* edit = FindControl<QLineEdit>(this, id))
            edit->setEnabled(on);
    };
    enable(kRouteValue, chosen(kRouteCombo));
    enable(kStepEdit, chosen(kNumberCombo));
    enable(kStartEdit, chosen(kTimeCombo));
    enable(kPerHourEdit, chosen(kTimeCombo));
}

void CPlanningTaskDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(kRouteValue, m_routeValue, static_cast<int>(CPlanningTask::kTextCap) - 1);
    dx.Int(kStepEdit, m_step);
    dx.Text(kStartEdit, m_start);
    // Times divide by it.
    dx.Int(kPerHourEdit, m_perHour, 1, INT_MAX);
}

void CPlanningTaskDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    const auto field = [this](int id) {
        auto* combo = FindControl<QComboBox>(this, id);
        const int index = combo ? combo->currentIndex() : 0;
        return index > 0 && static_cast<size_t>(index) <= m_fields.size() ? m_fields[static_cast<size_t>(index) - 1]
                                                                          : std::string();
    };
    m_task.routeField = field(kRouteCombo);
    m_task.flagField = field(kFlagCombo);
    m_task.numberField = field(kNumberCombo);
    m_task.timeField = field(kTimeCombo);
    m_task.routeValue = m_routeValue;
    m_task.step = m_step;
    m_task.startTime = ParseClockTime(m_start);
    m_task.clientsPerHour = m_perHour;
    m_task.TakeDialogDefaults();
    EndDialog(IDOK);
}
