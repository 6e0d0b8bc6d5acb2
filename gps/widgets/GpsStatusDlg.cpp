#include "gps/widgets/GpsStatusDlg.h"

#include "gps/GpsWindowRules.h"
#include "gps/widgets/TrackStatisticsDlg.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/MainFrameCore.h"
#include "shell/widgets/DialogControls.h"

#include <QGridLayout>
#include <QHBoxLayout>

#include <algorithm>

namespace {

constexpr int kAskReset = 2027;
constexpr const char kFolded[] = ">>";
constexpr const char kUnfolded[] = "<<";

QLabel* MakeFigure(QWidget* parent, int id, const char* sample)
{
    auto* figure = WithId(id, new QLabel(parent));
    figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    figure->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    figure->setMinimumWidth(figure->fontMetrics().horizontalAdvance(QString::fromUtf8(sample)) + 8);
    return figure;
}

int TimeCorrection()
{
    const CMainFrameCore* core = GetMainFrameCore();
    return core ? core->GetTimeCorrection() : 0;
}

} // namespace

CDlgGps::CDlgGps(QWidget* parent) : QDialog(parent)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QStringLiteral("GPS"));
    setModal(false);

    struct Row {
        const char* caption;
        int id;
    };
    static constexpr Row kFixRows[] = {
        {"Ilguma:", kLongitude}, {"Platuma:", kLatitude}, {"Greitis:", kSpeed}, {"Kryptis:", kCourse},
        {"Laikas:", kTime},      {"Data:", kDate},        {"Palydovai:", kStatus},
    };
    auto* fixPart = new QWidget(this);
    auto* fixGrid = new QGridLayout(fixPart);
    fixGrid->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    for (const Row& r : kFixRows) {
        fixGrid->addWidget(MakeLabel(fixPart, 0, r.caption), row, 0);
        fixGrid->addWidget(MakeFigure(fixPart, r.id, "00\xC2\xB0" "00'00.00\" W"), row++, 1);
    }
    // Unfolded as made: the first fold below closes it.
    m_fold = MakeButton(fixPart, kFold, kUnfolded);
    fixGrid->addWidget(m_fold, row, 1, Qt::AlignRight);

    m_tripPart = new QWidget(this);
    auto* tripGrid = new QGridLayout(m_tripPart);
    tripGrid->setContentsMargins(0, 0, 0, 0);
    const auto& captions = TripFigureCaptions();
    for (size_t i = 0; i < kTripFigureIds.size(); ++i) {
        tripGrid->addWidget(MakeLabel(m_tripPart, 0, captions[i]), static_cast<int>(i), 0);
        tripGrid->addWidget(MakeFigure(m_tripPart, kTripFigureIds[i], "000:00:00 km/h"), static_cast<int>(i), 1);
    }
    m_reset = MakeButton(m_tripPart, kReset, "0");
    tripGrid->addWidget(m_reset, static_cast<int>(kTripFigureIds.size()), 1, Qt::AlignRight);

    // Both halves are as wide, so folding halves the window.
    const int half = std::max(fixPart->sizeHint().width(), m_tripPart->sizeHint().width());
    fixPart->setFixedWidth(half);
    m_tripPart->setFixedWidth(half);
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(0);
    layout->addWidget(fixPart, 0, Qt::AlignTop);
    layout->addWidget(m_tripPart, 0, Qt::AlignTop);
    const QMargins margins = layout->contentsMargins();
    m_foldedWidth = half + margins.left() + margins.right();

    connect(m_fold, &QPushButton::clicked, this, [this] { OnFold(); });
    connect(m_reset, &QPushButton::clicked, this, [this] { OnReset(); });
    RefreshTrip();
    OnFold();
}

bool CDlgGps::IsFolded() const
{
    return m_fold->text() != QLatin1String(kUnfolded);
}

void CDlgGps::OnFold()
{
    const bool unfold = IsFolded();
    m_fold->setText(QLatin1String(unfold ? kUnfolded : kFolded));
    m_tripPart->setVisible(unfold);
    setFixedSize(unfold ? 2 * m_foldedWidth : m_foldedWidth, sizeHint().height());
}

void CDlgGps::OnReset()
{
    if (AppMessageBox(kAskReset, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    ResetTrip();
}

void CDlgGps::SetText(int id, const std::string& text)
{
    if (auto* label = FindControl<QLabel>(this, id))
        label->setText(ToQString(text));
}

void CDlgGps::ShowFixTexts(const GpsFix& fix)
{
    m_lastFix = fix;
    const CGpsStatusTexts texts = FormatGpsStatus(fix, TimeCorrection());
    SetText(kLongitude, texts.longitude);
    SetText(kLatitude, texts.latitude);
    SetText(kSpeed, texts.speed);
    SetText(kCourse, texts.course);
    SetText(kTime, texts.time);
    SetText(kDate, texts.date);
    SetText(kStatus, texts.status);
}

void CDlgGps::AddToTrip(const GpsFix& fix)
{
    // A fix without a place or a time would put absurd figures in the trip.
    if (fix.HasPosition() && fix.time != kNoFixTime)
        m_trip.AddPoint(fix.longitude, fix.latitude, fix.time, fix.speed);
}

void CDlgGps::ShowFix(const GpsFix& fix)
{
    ShowFixTexts(fix);
    AddToTrip(fix);
    RefreshTrip();
}

void CDlgGps::RefreshFix()
{
    ShowFixTexts(m_lastFix);
}

void CDlgGps::ShowTripUpTo(std::span<const GpsFix> fixes, int n)
{
    m_trip.Reset();
    const size_t count = std::min(fixes.size(), static_cast<size_t>(std::max(n, 0)));
    for (size_t i = 0; i < count; ++i)
        AddToTrip(fixes[i]);
    if (count > 0)
        ShowFixTexts(fixes[count - 1]);
    RefreshTrip();
}

void CDlgGps::ResetTrip()
{
    m_trip.Reset();
    RefreshTrip();
}

void CDlgGps::RefreshTrip()
{
    const CTripSummaryTexts texts = FormatTripSummary(m_trip);
    for (size_t i = 0; i < texts.size(); ++i)
        SetText(kTripFigureIds[i], texts[i]);
}
