#include "search/widgets/PromptDlgs.h"

#include "layers/CoordTableDialogs.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/DialogControls.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// The coordinate format of the last OK.
int g_coordFormat = ICoordTableDialogs::kDegreeText;

CLocalDateTime FromQDateTime(const QDateTime& time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    return {{d.year(), d.month(), d.day()}, t.hour(), t.minute(), t.second()};
}

QDateTime ToQDateTime(const CLocalDateTime& time)
{
    return QDateTime(QDate(time.date.year, time.date.month, time.date.day),
                     QTime(time.hour, time.minute, time.second));
}

} // namespace

CArchiveRecordsDlg::CArchiveRecordsDlg(const CLocalDateTime& now, QWidget* parent)
    : CDialogBase(parent), m_date(WithId(kDatePicker, new QDateTimeEdit(this)))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Įrašų archyvavimas"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_date->setMinimumDate(QDate(1900, 1, 1));
    m_date->setDateTime(ToQDateTime(ArchiveStartTime(now)));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "&Archyvuoti įrašus, senesnius, negu:", m_date));
    layout->addWidget(m_date);
    layout->addLayout(MakeOkCancelRow());
}

double CArchiveRecordsDlg::GetDate() const
{
    return ToDaySerial(FromQDateTime(m_date->dateTime()));
}

CRememberPlaceDlg::CRememberPlaceDlg(QWidget* parent)
    : CDialogBase(parent), m_name(WithId(kNameEdit, new QLineEdit(this)))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Vietos įsiminimas"));
    m_name->setMaxLength(kPlaceNameMaxLength);
    m_name->setMinimumWidth(m_name->fontMetrics().averageCharWidth() * 40);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "&Vietos vardas:", m_name));
    layout->addWidget(m_name);
    layout->addLayout(MakeOkCancelRow());
}

std::string CRememberPlaceDlg::GetName() const
{
    return FromQString(m_name->text());
}

CCoordFormatDlg::CCoordFormatDlg(QWidget* parent)
    : CDialogBase(parent), m_forms(new QButtonGroup(this)), m_format(g_coordFormat)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Koordinačių formatas"));
    auto* text = MakeLabel(this, 0,
                           "Nurodykite, kokiu formatu duomenų bazėje turi būti užrašomos geografinės koordinatės");
    text->setWordWrap(true);
    auto* degreeText = MakeRadio(this, kDegreeTextRadio, "LL°MMSS.D (Laipsniai, minutės, sekundės)");
    auto* decimal = MakeRadio(this, kDecimalRadio, "LL.DDDDDD (Laipsniai)");
    m_forms->addButton(degreeText, ICoordTableDialogs::kDegreeText);
    m_forms->addButton(decimal, ICoordTableDialogs::kDecimalDegrees);
    (m_format == ICoordTableDialogs::kDecimalDegrees ? decimal : degreeText)->setChecked(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(degreeText);
    layout->addWidget(decimal);
    layout->addLayout(MakeOkCancelRow());
}

void CCoordFormatDlg::OnOK()
{
    m_format = g_coordFormat = m_forms->checkedId();
    EndDialog(IDOK);
}

CSortRecordsDlg::CSortRecordsDlg(const CLayer& layer, QWidget* parent)
    : CDialogBase(parent),
      m_layer(layer),
      m_fields(WithId(kFieldCombo, new QComboBox(this))),
      m_direction(new QButtonGroup(this)),
      m_intoSource(MakeCheck(this, kIntoSourceCheck, "Rezultatus rašyti į pradinį sluoksnį"))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Įrašų rikiavimas"));
    for (const std::string& caption : SortFieldCaptions(layer))
        m_fields->addItem(ToQString(caption));
    m_fields->setCurrentIndex(m_fields->count() > 0 ? 0 : -1);

    auto* order = new QGroupBox(QString::fromUtf8("Rikiuoti"), this);
    auto* ascending = MakeRadio(order, kAscendingRadio, "Didėjimo tvarka");
    auto* descending = MakeRadio(order, kDescendingRadio, "Mažėjimo tvarka");
    m_direction->addButton(ascending, 0);
    m_direction->addButton(descending, 1);
    ascending->setChecked(true);
    auto* orderLayout = new QVBoxLayout(order);
    orderLayout->addWidget(ascending);
    orderLayout->addWidget(descending);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, 0, "Rikiuoti pagal &lauką:", m_fields));
    layout->addWidget(m_fields);
    layout->addWidget(order);
    layout->addWidget(m_intoSource);
    layout->addLayout(MakeOkCancelRow());
}

void CSortRecordsDlg::OnOK()
{
    CRecordSortChoice choice;
    choice.direction = m_direction->checkedId();
    choice.intoSource = m_intoSource->isChecked();
    if (!TakeSortField(m_layer, FromQString(m_fields->currentText()), choice))
        return;
    m_choice = choice;
    EndDialog(IDOK);
}

bool AskArchiveDate(double& date)
{
    CArchiveRecordsDlg dialog(FromQDateTime(QDateTime::currentDateTime()), QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    date = dialog.GetDate();
    return true;
}

bool AskPlaceName(std::string& name)
{
    CRememberPlaceDlg dialog(QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    name = dialog.GetName();
    return true;
}

int AskCoordinateFormat()
{
    CCoordFormatDlg dialog(QApplication::activeWindow());
    return dialog.DoModal() == IDOK ? dialog.GetFormat() : ICoordTableDialogs::kCancelled;
}

bool AskSortRecords(const CLayer& layer, CRecordSortChoice& choice)
{
    CSortRecordsDlg dialog(layer, QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    choice = dialog.GetChoice();
    return true;
}
