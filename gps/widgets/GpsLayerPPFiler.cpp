#include "gps/widgets/GpsLayerPPFiler.h"

#include "shell/widgets/DialogControls.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

using Day = CTrackFilterValues::Day;
using TimeOfDay = CTrackFilterValues::TimeOfDay;

QDateEdit* MakeDate(QWidget* parent, int id)
{
    auto* edit = WithId(id, new QDateEdit(parent));
    edit->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
    edit->setCalendarPopup(true);
    return edit;
}

QTimeEdit* MakeTime(QWidget* parent, int id)
{
    auto* edit = WithId(id, new QTimeEdit(parent));
    edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    return edit;
}

} // namespace

CGpsLayerPPFiler::CGpsLayerPPFiler(CLayerPropSheet& sheet) : CLayerSheetPage("Filtras", sheet) {}

void CGpsLayerPPFiler::OnInitDialog()
{
    auto* status = WithId(kStatusList, new QComboBox(this));
    status->addItems({QStringLiteral("OK"), QStringLiteral("NOK")});
    auto* grid = new QGridLayout;
    grid->addWidget(MakeCheck(this, kStatus, "Statusas:"), 0, 0);
    grid->addWidget(status, 0, 1, Qt::AlignLeft);
    grid->addWidget(MakeCheck(this, kFrom, "Nuo:"), 1, 0);
    grid->addWidget(MakeDate(this, kFromDate), 1, 1);
    grid->addWidget(MakeTime(this, kFromTime), 1, 2);
    grid->addWidget(MakeCheck(this, kTo, "Iki:"), 2, 0);
    grid->addWidget(MakeDate(this, kToDate), 2, 1);
    grid->addWidget(MakeTime(this, kToTime), 2, 2);
    grid->setColumnStretch(3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(MakeCheck(this, kLastRecord, "Rodyti tik paskutinį įrašą"));
    layout->addStretch();
    for (const int id : {kStatus, kFrom, kTo, kLastRecord})
        connect(FindControl<QCheckBox>(this, id), &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    CLayerSheetPage::OnInitDialog();

    const QDate today = QDate::currentDate();
    ShowValues(ReadTrackFilter(Layer(), Day{today.year(), today.month(), today.day()}));
}

void CGpsLayerPPFiler::ShowValues(const CTrackFilterValues& values)
{
    FindControl<QCheckBox>(this, kStatus)->setChecked(values.status);
    FindControl<QComboBox>(this, kStatusList)->setCurrentIndex(values.statusOk ? 0 : 1);
    auto show = [this](int check, bool on, int dateId, const Day& day, int timeId, const TimeOfDay& time) {
        FindControl<QCheckBox>(this, check)->setChecked(on);
        FindControl<QDateEdit>(this, dateId)->setDate(QDate(day.year, day.month, day.day));
        FindControl<QTimeEdit>(this, timeId)->setTime(QTime(time.hour, time.minute, time.second));
    };
    show(kFrom, values.from, kFromDate, values.fromDay, kFromTime, values.fromTime);
    show(kTo, values.to, kToDate, values.toDay, kToTime, values.toTime);
    FindControl<QCheckBox>(this, kLastRecord)->setChecked(values.lastRecordOnly);
    UpdateEnabling();
}

CTrackFilterValues CGpsLayerPPFiler::ReadValues() const
{
    CTrackFilterValues values;
    values.status = FindControl<QCheckBox>(this, kStatus)->isChecked();
    values.statusOk = FindControl<QComboBox>(this, kStatusList)->currentIndex() != 1;
    auto read = [this](int check, bool& on, int dateId, Day& day, int timeId, TimeOfDay& time) {
        on = FindControl<QCheckBox>(this, check)->isChecked();
        const QDate d = FindControl<QDateEdit>(this, dateId)->date();
        const QTime t = FindControl<QTimeEdit>(this, timeId)->time();
        day = Day{d.year(), d.month(), d.day()};
        time = TimeOfDay{t.hour(), t.minute(), t.second()};
    };
    read(kFrom, values.from, kFromDate, values.fromDay, kFromTime, values.fromTime);
    read(kTo, values.to, kToDate, values.toDay, kToTime, values.toTime);
    values.lastRecordOnly = FindControl<QCheckBox>(this, kLastRecord)->isChecked();
    return values;
}

void CGpsLayerPPFiler::UpdateEnabling()
{
    const bool rest = !FindControl<QCheckBox>(this, kLastRecord)->isChecked();
    // Each check with the controls it enables (0: none).
    static constexpr int kGroups[][3] = {{kStatus, kStatusList, 0}, {kFrom, kFromDate, kFromTime}, {kTo, kToDate, kToTime}};
    for (const auto& group : kGroups) {
        auto* check = FindControl<QCheckBox>(this, group[0]);
        check->setEnabled(rest);
        for (const int id : {group[1], group[2]})
            if (id != 0)
                FindControl<QWidget>(this, id)->setEnabled(rest && check->isChecked());
    }
}

bool CGpsLayerPPFiler::OnKillActive()
{
    // The page stands in the filter page's place but is not the page a sheet returns to.
    WriteTrackFilter(ReadValues(), Layer());
    return true;
}
