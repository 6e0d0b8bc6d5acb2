#include "search/widgets/GeoPointDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "search/PointCoordRules.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DegMinEdit.h"
#include "shell/widgets/DegMinSecEdit.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// Room for "E025°16'46.9"" and for fifteen digits.
constexpr int kEditCharacters = 20;
} // namespace

CGeoPointDlg::CGeoPointDlg(QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Įveskite taško koordinates"));
    auto* grid = new QGridLayout;
    const int width = QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')) * kEditCharacters;
    const auto makeRow = [&](bool longitude, const char* label, const int (&ids)[3], int gridRow) {
        Row row{longitude, new QLabel(QString::fromUtf8(label), this), new CDegMinSecEdit(this),
                new CDegMinEdit(this), new QLineEdit(this), {}};
        QLineEdit* edits[] = {row.degMinSec, row.degMin, row.decimal};
        grid->addWidget(row.label, gridRow, 0);
        for (int i = 0; i < 3; ++i) {
            SetControlId(edits[i], ids[i]);
            edits[i]->setMinimumWidth(width);
            edits[i]->hide();
            grid->addWidget(edits[i], gridRow, 1);
        }
        return row;
    };
    const int lonIds[] = {kDegMinSecLon, kDegMinLon, kDecimalLon};
    const int latIds[] = {kDegMinSecLat, kDegMinLat, kDecimalLat};
    m_rows[0] = makeRow(true, "&Ilguma:", lonIds, 0);
    m_rows[1] = makeRow(false, "&Platuma:", latIds, 1);

    auto* group = new QGroupBox(QString::fromUtf8("Koordinačių formatas"), this);
    auto* radios = new QVBoxLayout(group);
    auto* buttons = new QButtonGroup(this);
    const char* texts[] = {"LL°MM'&SS.D\"", "LL°&MM.DDDD'", "&LL.DDDDDD°"};
    const int radioIds[] = {kDegMinSecRadio, kDegMinRadio, kDecimalRadio};
    for (int i = 0; i < 3; ++i) {
        m_radios[i] = new QRadioButton(QString::fromUtf8(texts[i]), group);
        SetControlId(m_radios[i], radioIds[i]);
        buttons->addButton(m_radios[i], i);
        radios->addWidget(m_radios[i]);
    }
    connect(buttons, &QButtonGroup::idClicked, this, [this](int notation) { ChooseNotation(notation); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(group);
    layout->addLayout(MakeOkCancelRow());
}

CMapPoint CGeoPointDlg::GetPoint() const
{
    const CGeoPointMemory& memory = GeoPointMemory();
    return CMapPoint(memory.longitude, memory.latitude);
}

QLineEdit* CGeoPointDlg::ShownEdit(const Row& row) const
{
    switch (m_shown) {
    case CGeoPointMemory::kDegMinSec: return row.degMinSec;
    case CGeoPointMemory::kDegMin: return row.degMin;
    default: return row.decimal;
    }
}

void CGeoPointDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    Show(GeoPointMemory().notation);
}

void CGeoPointDlg::Show(int notation)
{
    CGeoPointMemory& memory = GeoPointMemory();
    if (notation < CGeoPointMemory::kDegMinSec || notation > CGeoPointMemory::kDecimal)
        notation = CGeoPointMemory::kDegMinSec;
    m_shown = notation;
    memory.notation = notation;
    for (Row& row : m_rows) {
        const double value = row.longitude ? memory.longitude : memory.latitude;
        switch (notation) {
        case CGeoPointMemory::kDegMinSec:
            row.longitude ? row.degMinSec->SetLongitude(value) : row.degMinSec->SetLatitude(value);
            break;
        case CGeoPointMemory::kDegMin:
            row.longitude ? row.degMin->SetLongitude(value) : row.degMin->SetLatitude(value);
            break;
        default:
            row.decimal->setText(ToQString(DecimalDegreesText(value)));
            break;
        }
        QLineEdit* shown = ShownEdit(row);
        row.filled = FromQString(shown->text());
        QLineEdit* edits[] = {row.degMinSec, row.degMin, row.decimal};
        for (QLineEdit* edit : edits)
            edit->setVisible(edit == shown);
        row.label->setBuddy(shown);
    }
    m_radios[notation]->setChecked(true);
}

bool CGeoPointDlg::ReadChanged()
{
    CGeoPointMemory& memory = GeoPointMemory();
    double values[2] = {memory.longitude, memory.latitude};
    CDataExchange dx(this, true);
    for (int i = 0; i < 2; ++i) {
        Row& row = m_rows[i];
        QLineEdit* shown = ShownEdit(row);
        if (FromQString(shown->text()) == row.filled)
            continue;
        if (m_shown == CGeoPointMemory::kDecimal) {
            const double limit = row.longitude ? 180 : 90;
            dx.Real(GetControlId(shown), values[i], -limit, limit);
            if (dx.Failed())
                return false;
        } else {
            values[i] = static_cast<CCoordEdit*>(shown)->GetDegrees();
        }
    }
    memory.longitude = values[0];
    memory.latitude = values[1];
    return true;
}

void CGeoPointDlg::ChooseNotation(int notation)
{
    if (notation == m_shown)
        return;
    if (!ReadChanged()) {
        m_radios[m_shown]->setChecked(true);
        return;
    }
    Show(notation);
}

void CGeoPointDlg::OnOK()
{
    if (ReadChanged())
        EndDialog(IDOK);
}
