#include "search/widgets/FindCoordPage.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/QtText.h"
#include "shell/FieldText.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DegMinEdit.h"
#include "shell/widgets/DegMinSecEdit.h"
#include "shell/widgets/DialogControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CDlgFindCoord_PP::CDlgFindCoord_PP(CDrelView& view)
    : CPropertyPage(Utf8ToCp1257("Koordinatės")), m_view(view), m_finder(view.GetDocument())
{
    SetControlId(this, kDialogId);
}

void CDlgFindCoord_PP::OnInitDialog()
{
    m_formats = WithId(kFormatCombo, new QComboBox(this));
    for (const CCoordFinder::CFormat& format : m_finder.Formats())
        m_formats->addItem(ToQString(format.text));
    m_x = WithId(kXEdit, new QLineEdit(this));
    m_y = WithId(kYEdit, new QLineEdit(this));
    m_longitude = WithId(kLongitudeEdit, new QLineEdit(this));
    m_latitude = WithId(kLatitudeEdit, new QLineEdit(this));
    m_longitudeDms = WithId(kLongitudeDmsEdit, new CDegMinSecEdit(this));
    m_latitudeDms = WithId(kLatitudeDmsEdit, new CDegMinSecEdit(this));
    m_longitudeDm = WithId(kLongitudeDmEdit, new CDegMinEdit(this));
    m_latitudeDm = WithId(kLatitudeDmEdit, new CDegMinEdit(this));
    m_xLabel = MakeLabel(this, 0, "");
    m_yLabel = MakeLabel(this, 0, "");
    auto* show = MakeButton(this, kShowButton, "Parodyti");
    show->setDefault(true);

    auto* fields = new QGridLayout;
    fields->addWidget(MakeLabel(this, 0, "&Koordinatės:", m_formats), 0, 0);
    fields->addWidget(m_formats, 0, 1);
    fields->addWidget(m_xLabel, 1, 0);
    fields->addWidget(m_yLabel, 2, 0);
    for (QWidget* edit : {static_cast<QWidget*>(m_x), static_cast<QWidget*>(m_longitude),
                          static_cast<QWidget*>(m_longitudeDms), static_cast<QWidget*>(m_longitudeDm)})
        fields->addWidget(edit, 1, 1);
    for (QWidget* edit : {static_cast<QWidget*>(m_y), static_cast<QWidget*>(m_latitude),
                          static_cast<QWidget*>(m_latitudeDms), static_cast<QWidget*>(m_latitudeDm)})
        fields->addWidget(edit, 2, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(show);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons);

    m_finder.Start(m_view.GetMapExtent());
    m_formats->setCurrentIndex(m_finder.GetFormat());
    ShowFormat();

    // Only what the user types counts: the edits filled here say nothing.
    for (QLineEdit* edit : {m_longitude, m_latitude, static_cast<QLineEdit*>(m_longitudeDms),
                            static_cast<QLineEdit*>(m_latitudeDms), static_cast<QLineEdit*>(m_longitudeDm),
                            static_cast<QLineEdit*>(m_latitudeDm)})
        connect(edit, &QLineEdit::textEdited, this, [this] { m_geographicTyped = true; });
    for (QLineEdit* edit : {m_x, m_y})
        connect(edit, &QLineEdit::textEdited, this, [this] { OnPlanarEdited(); });
    connect(m_formats, &QComboBox::currentIndexChanged, this, [this](int format) { OnFormatChanged(format); });
    connect(show, &QPushButton::clicked, this, [this] { OnShow(); });
    CPropertyPage::OnInitDialog();
}

void CDlgFindCoord_PP::ShowFormat()
{
    const int format = m_finder.GetFormat();
    const int form = m_finder.Formats()[static_cast<size_t>(format)].form;
    const bool planar = form == CCoordFinder::kPlanar;
    m_xLabel->setText(QString::fromUtf8(planar ? "&X (į rytus):" : "&Ilguma:"));
    m_yLabel->setText(QString::fromUtf8(planar ? "&Y (į šiaurę):" : "&Platuma:"));
    const CMapPoint& geographic = m_finder.GetGeographic();
    const CMapPoint& xy = m_finder.GetPlanar();
    QLineEdit* shownX = nullptr;
    QLineEdit* shownY = nullptr;
    switch (form) {
    case CCoordFinder::kDegMinSec:
        m_longitudeDms->SetLongitude(geographic.x);
        m_latitudeDms->SetLatitude(geographic.y);
        shownX = m_longitudeDms;
        shownY = m_latitudeDms;
        break;
    case CCoordFinder::kDegMin:
        m_longitudeDm->SetLongitude(geographic.x);
        m_latitudeDm->SetLatitude(geographic.y);
        shownX = m_longitudeDm;
        shownY = m_latitudeDm;
        break;
    case CCoordFinder::kDecimal:
        m_longitude->setText(ToQString(CCoordFinder::DecimalText(geographic.x)));
        m_latitude->setText(ToQString(CCoordFinder::DecimalText(geographic.y)));
        shownX = m_longitude;
        shownY = m_latitude;
        break;
    default:
        m_x->setText(ToQString(CCoordFinder::PlanarText(xy.x)));
        m_y->setText(ToQString(CCoordFinder::PlanarText(xy.y)));
        shownX = m_x;
        shownY = m_y;
        break;
    }
    for (QLineEdit* edit : {m_x, m_y, m_longitude, m_latitude, static_cast<QLineEdit*>(m_longitudeDms),
                            static_cast<QLineEdit*>(m_latitudeDms), static_cast<QLineEdit*>(m_longitudeDm),
                            static_cast<QLineEdit*>(m_latitudeDm)})
        edit->setVisible(edit == shownX || edit == shownY);
    m_xLabel->setBuddy(shownX);
    m_yLabel->setBuddy(shownY);
}

void CDlgFindCoord_PP::ReadGeographic()
{
    if (!m_geographicTyped)
        return;
    m_geographicTyped = false;
    switch (m_finder.Formats()[static_cast<size_t>(m_finder.GetFormat())].form) {
    case CCoordFinder::kDegMinSec:
        m_finder.SetGeographic(CMapPoint(m_longitudeDms->GetDegrees(), m_latitudeDms->GetDegrees()));
        break;
    case CCoordFinder::kDegMin:
        m_finder.SetGeographic(CMapPoint(m_longitudeDm->GetDegrees(), m_latitudeDm->GetDegrees()));
        break;
    case CCoordFinder::kDecimal:
        m_finder.SetGeographic(CMapPoint(AtofC(FromQString(m_longitude->text())), AtofC(FromQString(m_latitude->text()))));
        break;
    default:
        break;
    }
}

void CDlgFindCoord_PP::OnPlanarEdited()
{
    m_finder.SetPlanar(CMapPoint(AtofC(FromQString(m_x->text())), AtofC(FromQString(m_y->text()))));
}

void CDlgFindCoord_PP::OnFormatChanged(int format)
{
    ReadGeographic();
    m_finder.SelectFormat(format);
    ShowFormat();
}

bool CDlgFindCoord_PP::ExchangeValues()
{
    CDataExchange dx(this, true);
    const int form = m_finder.Formats()[static_cast<size_t>(m_finder.GetFormat())].form;
    if (form == CCoordFinder::kPlanar) {
        CMapPoint xy = m_finder.GetPlanar();
        dx.Real(kXEdit, xy.x, -CCoordFinder::kPlanarLimit, CCoordFinder::kPlanarLimit);
        dx.Real(kYEdit, xy.y, -CCoordFinder::kPlanarLimit, CCoordFinder::kPlanarLimit);
        if (!dx.Failed())
            m_finder.SetPlanar(xy);
    } else if (form == CCoordFinder::kDecimal && m_geographicTyped) {
        CMapPoint degrees;
        dx.Real(kLongitudeEdit, degrees.x, -180, 180);
        dx.Real(kLatitudeEdit, degrees.y, -90, 90);
        if (!dx.Failed()) {
            m_finder.SetGeographic(degrees);
            m_geographicTyped = false;
        }
    } else {
        ReadGeographic();
    }
    return !dx.Failed();
}

void CDlgFindCoord_PP::OnShow()
{
    if (!ExchangeValues())
        return;
    CMapPoint point;
    if (!m_finder.TakeMapPoint(point)) {
        // Values in range that still make no point on the map.
        const bool planar = m_finder.IsPlanar(m_finder.GetFormat());
        CDataExchange dx(this, true);
        dx.Fail(planar ? m_x : m_xLabel->buddy(),
                planar ? RealFieldMessage(true, -CCoordFinder::kPlanarLimit, CCoordFinder::kPlanarLimit)
                       : RealFieldMessage(true, -180, 180));
        return;
    }
    m_finder.Show(m_view, point);
}
