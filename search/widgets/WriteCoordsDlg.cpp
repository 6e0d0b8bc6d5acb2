#include "search/widgets/WriteCoordsDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kFieldListWidth = 160;
} // namespace

CWriteCoordsDlgBase::CWriteCoordsDlgBase(const CDbfTable& table, bool lines, QWidget* parent)
    : CDialogBase(parent),
      m_rules(lines),
      m_fields(m_rules.ListedFields(table)),
      m_transform(new QCheckBox(QString::fromUtf8("&Transformuoti koordinates"), this)),
      m_from(new QComboBox(this)),
      m_to(new QComboBox(this)),
      m_fromLabel(new QLabel(QString::fromUtf8("Iš koordinačių sistemos:"), this)),
      m_toLabel(new QLabel(QString::fromUtf8("Į koordinačių sistemą:"), this))
{
    setWindowTitle(QString::fromUtf8("Koordinačių įrašymas į duomenų bazę"));
    auto* layout = new QVBoxLayout(this);
    const auto addFieldGroup = [&](const char* title, int first, const char* xLabel, int xId, const char* yLabel,
                                   int yId) {
        auto* group = new QGroupBox(QString::fromUtf8(title), this);
        auto* grid = new QGridLayout(group);
        const std::pair<const char*, int> rows[] = {{xLabel, xId}, {yLabel, yId}};
        for (int i = 0; i < 2; ++i) {
            QComboBox* list = MakeFieldList(rows[i].second);
            m_fieldLists[first + i] = list;
            auto* label = new QLabel(QString::fromUtf8(rows[i].first), group);
            label->setBuddy(list);
            grid->addWidget(label, i, 0);
            grid->addWidget(list, i, 1);
        }
        layout->addWidget(group);
    };
    if (lines) {
        addFieldGroup("Pirmo taško koordinačių laukai", 0, "&Ilguma/X:", kXField, "&Platuma/Y:", kYField);
        addFieldGroup("Paskutinio taško koordinačių laukai", 2, "Ilguma/&X:", kLastXField, "Platuma/&Y:",
                      kLastYField);
    } else {
        addFieldGroup("Koordinačių laukai", 0, "&Ilguma/X:", kXField, "&Platuma/Y:", kYField);
    }

    auto* systems = new QGroupBox(QString::fromUtf8("Koordinatės"), this);
    auto* grid = new QGridLayout(systems);
    SetControlId(m_transform, kTransformCheck);
    SetControlId(m_from, kFromSystem);
    SetControlId(m_to, kToSystem);
    for (QComboBox* list : {m_from, m_to})
        for (const char* entry : m_rules.SystemEntries())
            list->addItem(QString::fromUtf8(entry));
    m_fromLabel->setBuddy(m_from);
    m_toLabel->setBuddy(m_to);
    grid->addWidget(m_transform, 0, 0, 1, 2);
    grid->addWidget(m_fromLabel, 1, 0);
    grid->addWidget(m_from, 1, 1);
    grid->addWidget(m_toLabel, 2, 0);
    grid->addWidget(m_to, 2, 1);
    layout->addWidget(systems);
    layout->addLayout(MakeOkCancelRow());
    connect(m_transform, &QCheckBox::clicked, this, [this] { EnableSystems(); });
}

QComboBox* CWriteCoordsDlgBase::MakeFieldList(int id)
{
    auto* list = new QComboBox(this);
    SetControlId(list, id);
    list->setMinimumWidth(kFieldListWidth);
    for (const CWriteCoordsRules::Field& field : m_fields)
        list->addItem(ToQString(field.caption));
    list->setCurrentIndex(-1);
    return list;
}

std::string CWriteCoordsDlgBase::ChosenField(const QComboBox* list) const
{
    const int index = list ? list->currentIndex() : -1;
    return index >= 0 && index < static_cast<int>(m_fields.size()) ? m_fields[static_cast<size_t>(index)].name
                                                                   : std::string();
}

void CWriteCoordsDlgBase::EnableSystems()
{
    const bool on = m_transform->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(m_from), static_cast<QWidget*>(m_to),
                             static_cast<QWidget*>(m_fromLabel), static_cast<QWidget*>(m_toLabel)})
        control->setEnabled(on);
}

void CWriteCoordsDlgBase::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    const CWriteCoordsRules::Memory& memory = m_rules.Remembered();
    m_transform->setChecked(memory.transform != 0);
    m_from->setCurrentIndex(memory.fromEntry);
    m_to->setCurrentIndex(memory.toEntry);
    EnableSystems();
}

void CWriteCoordsDlgBase::OnOK()
{
    CWriteCoordsRules::Choice choice;
    choice.xField = ChosenField(m_fieldLists[0]);
    choice.yField = ChosenField(m_fieldLists[1]);
    choice.lastXField = ChosenField(m_fieldLists[2]);
    choice.lastYField = ChosenField(m_fieldLists[3]);
    choice.transform = m_transform->isChecked() ? 1 : 0;
    if (!m_rules.Accepts(choice))
        return;
    m_choice = m_rules.Finish(choice, m_from->currentIndex(), m_to->currentIndex());
    EndDialog(IDOK);
}

CWriteCoordsDlg::CWriteCoordsDlg(const CDbfTable& table, QWidget* parent) : CWriteCoordsDlgBase(table, false, parent)
{
    SetControlId(this, kDialogId);
}

CWriteCoordsTransformDlg::CWriteCoordsTransformDlg(const CDbfTable& table, QWidget* parent)
    : CWriteCoordsDlgBase(table, true, parent)
{
    SetControlId(this, kDialogId);
}
