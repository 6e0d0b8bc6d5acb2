#include "geoproc/widgets/CoordGridDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <class Control>
Control* Make(QWidget* parent, int id)
{
    auto* control = new Control(parent);
    SetControlId(control, id);
    return control;
}

template <class Control>
Control* Make(QWidget* parent, int id, const char* utf8Text)
{
    auto* control = new Control(QString::fromUtf8(utf8Text), parent);
    SetControlId(control, id);
    return control;
}

} // namespace

CCoordGridDlg::CCoordGridDlg(bool geographic, const CCoordGridParams& params, QWidget* parent)
    : CDialogBase(parent), m_geographic(geographic), m_params(params)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Koordinačių tinklelio kūrimas"));

    auto* kind = new QGroupBox(QString::fromUtf8("Objektų tipas"), this);
    auto* kindLayout = new QVBoxLayout(kind);
    kindLayout->addWidget(Make<QRadioButton>(kind, kRectanglesRadio, "Uždari stačiakampiai"));
    kindLayout->addWidget(Make<QRadioButton>(kind, kLinesRadio, "Tiesios linijos"));

    auto* step = Make<QComboBox>(this, kStepCombo);
    step->setEditable(true);
    for (const std::string& text : CCoordGridRules::StepTexts(geographic))
        step->addItem(ToQString(text));
    auto* stepLabel = new QLabel(QString::fromUtf8("Atstumas tarp linijų:"), this);
    stepLabel->setBuddy(step);

    auto* bounds = new QGroupBox(QString::fromUtf8("Ribos"), this);
    auto* boundsLayout = new QGridLayout(bounds);
    const struct {
        int id;
        const char* label;
        int row, column;
    } edges[] = {{kNorthEdit, "Šiaurėje:", 0, 1}, {kWestEdit, "Vakaruose:", 1, 0}, {kEastEdit, "Rytuose:", 1, 2},
                 {kSouthEdit, "Pietuose:", 2, 1}};
    for (const auto& edge : edges) {
        auto* cell = new QVBoxLayout;
        auto* edit = Make<QLineEdit>(bounds, edge.id);
        auto* label = new QLabel(QString::fromUtf8(edge.label), bounds);
        label->setBuddy(edit);
        cell->addWidget(label);
        cell->addWidget(edit);
        boundsLayout->addLayout(cell, edge.row, edge.column);
    }

    auto* whole = Make<QCheckBox>(this, kWholeStepsCheck, "Suapvalinti koordinates");
    auto* extra = Make<QLineEdit>(this, kExtraPointsEdit);
    auto* extraLabel = new QLabel(QString::fromUtf8("Papildomų taškų vienoje kraštinėje skačius:"), this);
    extraLabel->setBuddy(extra);

    auto* layout = new QGridLayout(this);
    layout->addWidget(kind, 0, 0, 1, 2);
    layout->addWidget(stepLabel, 1, 0);
    layout->addWidget(step, 1, 1);
    layout->addWidget(bounds, 2, 0, 1, 2);
    layout->addWidget(whole, 3, 0, 1, 2);
    layout->addWidget(extraLabel, 4, 0);
    layout->addWidget(extra, 4, 1);
    layout->addLayout(MakeOkCancelRow(), 5, 0, 1, 2);
}

void CCoordGridDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Radio({kRectanglesRadio, kLinesRadio}, m_params.objectType);
    dx.ComboText(kStepCombo, m_params.step);
    dx.Real(kNorthEdit, m_params.north);
    dx.Real(kSouthEdit, m_params.south);
    dx.Real(kWestEdit, m_params.west);
    dx.Real(kEastEdit, m_params.east);
    dx.Check(kWholeStepsCheck, m_params.wholeSteps);
    dx.Int(kExtraPointsEdit, m_params.extraPoints, 0, CCoordGridRules::kMaxExtraPoints);
}

void CCoordGridDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    CCoordGridRules::RememberStep(m_geographic, m_params.step);
    EndDialog(IDOK);
}
