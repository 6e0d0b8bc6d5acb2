#include "gps/widgets/TrackStatisticsDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

const std::array<const char*, 8>& TripFigureCaptions()
{
    static constexpr std::array<const char*, 8> kCaptions = {
        "Taškų skaičius:",   "Nuvažiuotas atstumas:", "Bendras laikas:",
        "Judėjimo laikas:",  "Stovėjimo laikas:",     "Vidutinis greitis:",
        "Vidutinis judėjimo greitis:", "Didžiausias greitis:"};
    return kCaptions;
}

CTrackStatisticsDlg::CTrackStatisticsDlg(const CTripStatistics& trip, QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Trasos statistika"));
    auto* layout = new QGridLayout(this);
    const CTripSummaryTexts texts = FormatTripSummary(trip);
    const auto& captions = TripFigureCaptions();
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        layout->addWidget(new QLabel(QString::fromUtf8(captions[static_cast<size_t>(i)]), this), i, 0);
        auto* figure = new QLabel(ToQString(texts[static_cast<size_t>(i)]), this);
        SetControlId(figure, kFirstFigure + i);
        figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figure->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        figure->setMinimumWidth(figure->fontMetrics().horizontalAdvance(QStringLiteral("000:00:00 km/h")));
        layout->addWidget(figure, i, 1);
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    SetControlId(ok, IDOK);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons, static_cast<int>(texts.size()), 0, 1, 2);
}

bool ShowTrackStatistics(const CLayer& layer, QWidget* parent)
{
    CTripStatistics trip;
    if (!ComputeTrackStatistics(layer, trip))
        return false;
    CTrackStatisticsDlg dialog(trip, parent);
    dialog.DoModal();
    return true;
}
