#include "settings/widgets/LayerLabelsPage.h"

#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "settings/BaseScales.h"
#include "settings/StyleDialogRules.h"
#include "settings/widgets/AreaStyleDlg.h"
#include "settings/widgets/MillimetreSpin.h"
#include "settings/widgets/SheetControls.h"
#include "shell/ColorPalette.h"
#include "shell/FieldText.h"
#include "shell/widgets/ColorButton.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DlgItems.h"
#include "shell/widgets/FontDialog.h"
#include "shell/widgets/StyleSampleButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

#include <climits>

namespace {

constexpr int kPageNumber = 3;
constexpr int kScaledCheck = 1009;
constexpr int kBaseScaleEdit = 1010;
constexpr int kBandCombo = 1015;
constexpr int kShowAllCheck = 1016;
constexpr int kOffsetEdit = 1017;
constexpr int kFontButton = 1023;
constexpr int kFrameButton = 1042;
constexpr int kFrameCheck = 1043;
constexpr int kHaloCheck = 1044;
constexpr int kLinePicture = 1045;
constexpr int kPointPicture = 1046;
constexpr int kOffsetLabel = 1047;
constexpr int kOffsetUnits = 1048;
constexpr int kFieldCombo = 1053;
constexpr int kHaloColour = 1055;
constexpr int kSample = 1066;
constexpr int kOffsetSpin = 1085;
constexpr int kNoneString = 3000;
constexpr int kCustomColourText = 108;
constexpr int kDefaultColourText = 109;
// Letter outlines are white unless chosen otherwise.
constexpr COLORREF kDefaultHalo = RGB(255, 255, 255);
constexpr int kPictureSize = 54;
const QString kMarked = QStringLiteral("Aa");

// The object the radios place labels around, a point or a line, with
// the places of the radios beside it in grey.
QLabel* MakePlacementPicture(QWidget* parent, int id, bool line)
{
    QPixmap picture(kPictureSize, kPictureSize);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        const int cell = kPictureSize / 3, middle = kPictureSize / 2;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(170, 170, 170));
        for (int column = 0; column < 3; ++column)
            for (int row = 0; row < 3; ++row)
                if ((!line || column == 1) && !(column == 1 && row == 1))
                    painter.drawRect(column * cell + cell / 2 - 5, row * cell + cell / 2 - 2, 10, 4);
        painter.setPen(QPen(Qt::black, 2));
        painter.setBrush(Qt::black);
        if (line)
            painter.drawLine(2, middle, kPictureSize - 2, middle);
        else
            painter.drawEllipse(QPoint(middle, middle), 3, 3);
    }
    auto* label = WithId(id, new QLabel(parent));
    label->setPixmap(picture);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QCheckBox* Check(const QWidget* page, int id)
{
    return FindControl<QCheckBox>(page, id);
}

} // namespace

CLayerLabelsPage::CLayerLabelsPage(CLayerPropSheet& sheet) : CLayerSheetPage("U\xFEra\xF0" "ai", sheet) {}

void CLayerLabelsPage::OnInitDialog()
{
    m_bands = WithId(kBandCombo, new QComboBox(this));
    m_field = WithId(kFieldCombo, new QComboBox(this));
    auto* font = MakeButton(this, kFontButton, "Šriftas...");
    m_sample = WithId(kSample, new CStyleSampleButton(this));
    m_sample->setAutoDefault(false);
    m_sample->setFocusPolicy(Qt::NoFocus);
    m_sample->setMinimumSize(120, 44);
    auto* scaled = MakeCheck(this, kScaledCheck, "Priklauso nuo mastelio");
    auto* baseScale = WithId(kBaseScaleEdit, new QLineEdit(this));
    auto* frame = MakeCheck(this, kFrameCheck, "Piešti rėmelį");
    auto* frameStyle = MakeButton(this, kFrameButton, "Rėmelis...");
    auto* halo = MakeCheck(this, kHaloCheck, "Piešti raidžių kontūrus");
    m_halo = WithId(kHaloColour, new CColorButton(this));
    m_halo->SetDefaultColor(kDefaultHalo);
    m_halo->SetDefaultText(LoadString(kDefaultColourText));
    m_halo->SetCustomText(LoadString(kCustomColourText));
    auto* showAll = MakeCheck(this, kShowAllCheck, "Rodyti visus užrašus");
    auto* offset = WithId(kOffsetEdit, new QLineEdit(this));
    offset->setFixedWidth(offset->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    auto* spin = WithId(kOffsetSpin, new CMillimetreSpin(offset, this));

    // The grid of placements, by columns: left of, on and right of the object.
    QFont gridFont = font->font();
    gridFont.setFamily(QStringLiteral("Times New Roman"));
    gridFont.setItalic(true);
    gridFont.setWeight(QFont::DemiBold);
    auto* placement = new QGroupBox(this);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    for (size_t i = 0; i < kPlacementRadios.size(); ++i) {
        auto* radio = MakeRadio(placement, kPlacementRadios[i].id, "");
        radio->setFont(gridFont);
        radio->setMinimumWidth(radio->fontMetrics().horizontalAdvance(kMarked) + 28);
        QSizePolicy policy = radio->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        radio->setSizePolicy(policy);
        grid->addWidget(radio, static_cast<int>(i % 3), static_cast<int>(i / 3));
        connect(radio, &QRadioButton::clicked, this, [this, i] { CheckPlacement(kPlacementRadios[i].id); });
    }
    auto* automatic = MakeRadio(placement, kAutoPlacementRadio, "Parenkama automatiškai");
    connect(automatic, &QRadioButton::clicked, this, [this] { CheckPlacement(kAutoPlacementRadio); });
    auto* gridRow = new QHBoxLayout;
    gridRow->addLayout(grid);
    gridRow->addWidget(MakePlacementPicture(placement, kLinePicture, true));
    gridRow->addWidget(MakePlacementPicture(placement, kPointPicture, false));
    gridRow->addStretch();
    auto* placementLayout = new QVBoxLayout(placement);
    placementLayout->addLayout(gridRow);
    placementLayout->addWidget(automatic);
    // The label on a line of its own: beside the edit it would be cut in a
    // column this narrow.
    placementLayout->addWidget(MakeLabel(placement, kOffsetLabel, "Atstumas nuo objekto:", offset));
    auto* offsetRow = new QHBoxLayout;
    offsetRow->addWidget(offset);
    offsetRow->setSpacing(0);
    offsetRow->addWidget(spin);
    offsetRow->addSpacing(4);
    offsetRow->addWidget(WithId(kOffsetUnits, new QLabel(QStringLiteral("mm"), placement)));
    offsetRow->addStretch();
    placementLayout->addLayout(offsetRow);

    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(MakeLabel(this, 0, "&Laukas:", m_field));
    fieldRow->addWidget(m_field, 1);
    fieldRow->addWidget(font);

    auto* left = new QVBoxLayout;
    left->addWidget(m_sample);
    auto* frameRow = new QHBoxLayout;
    frameRow->addWidget(frame);
    frameRow->addStretch();
    frameRow->addWidget(frameStyle);
    left->addLayout(frameRow);
    auto* haloRow = new QHBoxLayout;
    haloRow->addWidget(halo);
    haloRow->addStretch();
    // As wide as the frame's button above it, so its colour shows.
    m_halo->setMinimumWidth(frameStyle->sizeHint().width());
    haloRow->addWidget(m_halo);
    left->addLayout(haloRow);
    left->addWidget(showAll);
    left->addWidget(scaled);
    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(MakeLabel(this, 0, "Bazinis mastelis:", baseScale));
    scaleRow->addWidget(baseScale);
    left->addLayout(scaleRow);
    left->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(placement, 1, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bands);
    layout->addLayout(fieldRow);
    layout->addLayout(columns, 1);

    connect(m_bands, &QComboBox::activated, this, [this](int index) { OnBandChosen(index); });
    connect(m_field, &QComboBox::activated, this, [this](int index) { OnField(index); });
    connect(font, &QPushButton::clicked, this, [this] { OnFont(); });
    connect(frame, &QCheckBox::clicked, this, [this](bool on) { OnFrame(on); });
    connect(halo, &QCheckBox::clicked, this, [this](bool on) { OnHalo(on); });
    connect(frameStyle, &QPushButton::clicked, this, [this] { OnFrameStyle(); });
    connect(scaled, &QCheckBox::clicked, this, [this] { EnableControls(); });
    m_halo->SetNotify([this](int, COLORREF, int) { OnHaloColor(); });
    CLayerSheetPage::OnInitDialog();
}

void CLayerLabelsPage::OnSetActive()
{
    FillFields();
    FillBands();
    Refresh();
    CLayerSheetPage::OnSetActive();
}

bool CLayerLabelsPage::OnKillActive()
{
    if (!CLayerSheetPage::OnKillActive() || !WriteBack())
        return false;
    SetLastLayerSheetPage(kPageNumber);
    return true;
}

CSublayer* CLayerLabelsPage::Band() const
{
    return Layer().GetSublayer(Sheet().CurrentBand());
}

void CLayerLabelsPage::FillFields()
{
    m_field->clear();
    m_fields.clear();
    m_field->addItem(ToQString(LoadString(kNoneString)));
    for (const CFieldChoice& field : ChoosableFields(Layer())) {
        m_field->addItem(ToQString(field.alias));
        m_fields.push_back(field.name);
    }
}

void CLayerLabelsPage::FillBands()
{
    const int count = Layer().GetSublayerCount();
    int& current = Sheet().CurrentBand();
    if (current < 0 || current >= count)
        current = 0;
    m_bands->clear();
    for (const std::string& text : BandTexts(Layer()))
        m_bands->addItem(ToQString(text));
    m_bands->setCurrentIndex(count ? current : -1);
}

void CLayerLabelsPage::Refresh()
{
    const CSublayer* band = Band();
    if (!band) {
        for (QWidget* control : findChildren<QWidget*>())
            if (GetControlId(control) != kBandCombo)
                control->setEnabled(false);
        return;
    }
    const int type = Layer().GetType();
    const bool line = type == CLayer::kLine, area = type == CLayer::kArea;
    for (const CPlacementRadio& radio : kPlacementRadios)
        ShowDlgItem(this, radio.id, ShowsPlacementRadio(radio.id, type));
    ShowDlgItem(this, kAutoPlacementRadio, ShowsPlacementRadio(kAutoPlacementRadio, type));
    ShowDlgItem(this, kLinePicture, line);
    ShowDlgItem(this, kPointPicture, !line);
    for (const int id : {kOffsetLabel, kOffsetUnits, kOffsetEdit, kOffsetSpin})
        ShowDlgItem(this, id, !line && !area);

    int index = 0;
    if (!band->m_labelField.empty()) {
        const auto found = std::find(m_fields.begin(), m_fields.end(), band->m_labelField);
        // A field the table lacks stays stored, nothing selected.
        index = found == m_fields.end() ? -1 : static_cast<int>(found - m_fields.begin()) + 1;
    }
    m_field->setCurrentIndex(index);

    const CLabelValues values = ReadLabelValues(*band, type);
    CheckPlacement(values.placementRadio);
    Check(this, kFrameCheck)->setChecked(values.frame);
    Check(this, kHaloCheck)->setChecked(values.halo);
    Check(this, kShowAllCheck)->setChecked(values.showAll);
    Check(this, kScaledCheck)->setChecked(values.scaled);
    SetControlText(FindControl(this, kBaseScaleEdit), ToQString(FormatIntField(values.referenceScale)));
    SetControlText(FindControl(this, kOffsetEdit), ToQString(values.offset));
    m_halo->SetColor(HaloColor(*band));
    ShowSample();
    EnableControls();
}

void CLayerLabelsPage::EnableControls()
{
    if (!Band())
        return;
    const bool labelled = m_field->currentIndex() != 0;
    for (const int id : {kFontButton, kShowAllCheck, kFrameCheck, kHaloCheck, kScaledCheck, kOffsetEdit, kOffsetSpin,
                         kAutoPlacementRadio})
        EnableDlgItem(this, id, labelled);
    for (const CPlacementRadio& radio : kPlacementRadios)
        EnableDlgItem(this, radio.id, labelled);
    EnableDlgItem(this, kFrameButton, labelled && Check(this, kFrameCheck)->isChecked());
    EnableDlgItem(this, kHaloColour, labelled && Check(this, kHaloCheck)->isChecked());
    EnableDlgItem(this, kBaseScaleEdit, labelled && Check(this, kScaledCheck)->isChecked());
}

void CLayerLabelsPage::ShowSample()
{
    const CSublayer* band = Band();
    if (!band)
        return;
    m_sample->SetTextFont(band->m_labelStyle);
    m_sample->SetTextStyle(Check(this, kFrameCheck)->isChecked(), Check(this, kHaloCheck)->isChecked(),
                           &band->m_labelFrameStyle, true);
}

void CLayerLabelsPage::CheckPlacement(int radio)
{
    for (const CPlacementRadio& r : kPlacementRadios) {
        auto* button = FindControl<QRadioButton>(this, r.id);
        button->setText(r.id == radio ? kMarked : QString());
        button->setChecked(r.id == radio);
    }
    FindControl<QRadioButton>(this, kAutoPlacementRadio)->setChecked(radio == kAutoPlacementRadio);
}

bool CLayerLabelsPage::WriteBack()
{
    CSublayer* band = Band();
    if (!band)
        return true;
    CLabelValues values;
    for (const CPlacementRadio& radio : kPlacementRadios)
        if (FindControl<QRadioButton>(this, radio.id)->isChecked())
            values.placementRadio = radio.id;
    if (FindControl<QRadioButton>(this, kAutoPlacementRadio)->isChecked())
        values.placementRadio = kAutoPlacementRadio;
    values.frame = Check(this, kFrameCheck)->isChecked();
    values.halo = Check(this, kHaloCheck)->isChecked();
    values.showAll = Check(this, kShowAllCheck)->isChecked();
    values.scaled = Check(this, kScaledCheck)->isChecked();
    if (values.scaled) {
        CDataExchange dx(this, true);
        int scale = 0;
        dx.Int(kBaseScaleEdit, scale, 0, INT_MAX);
        if (dx.Failed())
            return false;
        values.referenceScale = scale;
    }
    values.offset = FromQString(FindControl<QLineEdit>(this, kOffsetEdit)->text());
    WriteLabelValues(values, Layer().GetType(), *band);
    return true;
}

void CLayerLabelsPage::OnBandChosen(int index)
{
    if (index == Sheet().CurrentBand())
        return;
    if (!WriteBack() || index < 0 || index >= Layer().GetSublayerCount()) {
        m_bands->setCurrentIndex(Sheet().CurrentBand());
        return;
    }
    Sheet().CurrentBand() = index;
    Refresh();
}

void CLayerLabelsPage::OnField(int index)
{
    CSublayer* band = Band();
    if (!band || index < 0)
        return;
    band->m_labelField = index == 0 ? std::string() : m_fields[static_cast<size_t>(index - 1)];
    EnableControls();
}

void CLayerLabelsPage::OnFont()
{
    CSublayer* band = Band();
    if (!band)
        return;
    CFontDialog dialog(band->m_labelStyle.font, this);
    dialog.SetColor(band->m_labelStyle.color);
    if (dialog.DoModal() != IDOK)
        return;
    band->m_labelStyle.font = dialog.GetLogFont();
    band->m_labelStyle.color = dialog.GetColor();
    ShowSample();
}

void CLayerLabelsPage::OnFrame(bool on)
{
    if (on)
        Check(this, kHaloCheck)->setChecked(false);
    EnableControls();
    ShowSample();
}

void CLayerLabelsPage::OnHalo(bool on)
{
    if (on) {
        Check(this, kFrameCheck)->setChecked(false);
        if (const CSublayer* band = Band())
            m_halo->SetColor(HaloColor(*band));
    }
    EnableControls();
    ShowSample();
}

void CLayerLabelsPage::OnFrameStyle()
{
    CSublayer* band = Band();
    if (!band)
        return;
    CDrawStyle style = band->m_labelFrameStyle;
    if (!RunAreaStyleDlg(style, this))
        return;
    band->m_labelFrameStyle = style;
    ShowSample();
}

void CLayerLabelsPage::OnHaloColor()
{
    CSublayer* band = Band();
    if (!band)
        return;
    const COLORREF colour = m_halo->GetColor();
    band->m_labelFrameStyle.brushColor = colour == kDefaultColorValue ? m_halo->GetDefaultColor() : colour;
    ShowSample();
}
