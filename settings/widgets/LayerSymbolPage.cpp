#include "settings/widgets/LayerSymbolPage.h"

#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "settings/BaseScales.h"
#include "settings/StylePageRules.h"
#include "settings/widgets/AreaStyleDlg.h"
#include "settings/widgets/LineStyleDlg.h"
#include "settings/widgets/ScaleThresholdsDlg.h"
#include "settings/widgets/SheetControls.h"
#include "settings/widgets/ThemeClassListBox.h"
#include "shell/widgets/DlgItems.h"
#include "shell/widgets/StyleSampleButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int kPageNumber = 2;
constexpr int kLargeObjectsCheck = 1000;
constexpr int kClassList = 1001;
constexpr int kThresholdsButton = 1003;
constexpr int kClassLabel = 1004;
constexpr int kBandCombo = 1015;
constexpr int kTrackLineCheck = 1016;
constexpr int kNoneRadio = 1017;
constexpr int kOneStyleRadio = 1018;
constexpr int kClassifiedRadio = 1019;
constexpr int kSymbolButton = 1020;
constexpr int kRotationCombo = 1053;
constexpr int kTrackLineButton = 1055;
constexpr int kRotationLabel = 1059;
constexpr int kSample = 1070;
constexpr int kNoneString = 3000;
// Areas: only objects large enough on the map are drawn.
constexpr uint32_t kLargeObjectsOnly = 0x01;

constexpr int kKindRadios[] = {kNoneRadio, kOneStyleRadio, kClassifiedRadio};

} // namespace

CSymbolPageHooks& SymbolPageHooks()
{
    static CSymbolPageHooks hooks;
    return hooks;
}

CLayerSymbolPage::CLayerSymbolPage(CLayerPropSheet& sheet) : CLayerSheetPage("\xDE" "enklas", sheet) {}

void CLayerSymbolPage::OnInitDialog()
{
    const int type = Layer().GetType();
    m_bands = WithId(kBandCombo, new QComboBox(this));
    auto* thresholds = MakeButton(this, kThresholdsButton, "&Masteliai...");
    m_sample = WithId(kSample, new CStyleSampleButton(this));
    m_sample->setAutoDefault(false);
    m_sample->setMinimumSize(120, 80);
    auto* symbol = MakeButton(this, kSymbolButton, "Ž&enklas...");
    auto* trackLine = MakeCheck(this, kTrackLineCheck, "&Rodyti trasos liniją");
    auto* trackLineButton = MakeButton(this, kTrackLineButton, "&Linija...");
    auto* large = MakeCheck(this, kLargeObjectsCheck, "&Rodyti tik stambius objektus");
    m_rotation = WithId(kRotationCombo, new QComboBox(this));
    auto* rotationLabel = MakeLabel(this, kRotationLabel, "Posūkio kampo laukas:", m_rotation);
    m_classes = WithId(kClassList, new CThemeClassListBox(this));
    m_classes->SetLayerType(type);
    auto* classLabel = MakeLabel(this, kClassLabel, "Teminiai ženklai:", m_classes);

    auto* bandRow = new QHBoxLayout;
    bandRow->addWidget(m_bands, 1);
    bandRow->addWidget(thresholds);

    auto* left = new QVBoxLayout;
    left->addWidget(MakeRadio(this, kNoneRadio, "&Nėra"));
    left->addWidget(MakeRadio(this, kOneStyleRadio, "&Bendras"));
    left->addWidget(MakeRadio(this, kClassifiedRadio, "&Teminis"));
    left->addSpacing(6);
    auto* symbolRow = new QHBoxLayout;
    symbolRow->addWidget(symbol);
    symbolRow->addStretch();
    left->addLayout(symbolRow);
    left->addSpacing(6);
    auto* trackRow = new QHBoxLayout;
    trackRow->addWidget(trackLine);
    trackRow->addWidget(trackLineButton);
    trackRow->addStretch();
    left->addLayout(trackRow);
    left->addWidget(large);
    left->addWidget(rotationLabel);
    left->addWidget(m_rotation);
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(m_sample);
    right->addWidget(classLabel);
    right->addWidget(m_classes, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bandRow);
    layout->addLayout(columns, 1);

    const bool track = type == CLayer::kTrack, point = type == CLayer::kPoint;
    for (const int id : {kTrackLineCheck, kTrackLineButton})
        ShowDlgItem(this, id, track);
    for (const int id : {kRotationLabel, kRotationCombo})
        ShowDlgItem(this, id, point);
    // Areas alone may leave out their small objects.
    EnableDlgItem(this, kLargeObjectsCheck, type == CLayer::kArea);

    connect(m_bands, &QComboBox::activated, this, [this](int index) { OnBandChosen(index); });
    connect(thresholds, &QPushButton::clicked, this, [this] { OnThresholds(); });
    for (int kind = 0; kind < 3; ++kind)
        connect(FindControl<QRadioButton>(this, kKindRadios[kind]), &QRadioButton::clicked, this,
                [this, kind] { OnKind(kind); });
    connect(symbol, &QPushButton::clicked, this, [this] { OnSymbol(); });
    connect(m_sample, &QPushButton::clicked, this, [this] { OnSymbol(); });
    connect(m_classes, &QListWidget::itemDoubleClicked, this, [this] { OnSymbol(); });
    connect(trackLine, &QCheckBox::clicked, this, [this](bool on) { OnTrackLineShown(on); });
    connect(trackLineButton, &QPushButton::clicked, this, [this] { OnTrackLine(); });
    connect(large, &QCheckBox::clicked, this, [this](bool on) {
        if (CSublayer* band = Band())
            band->m_labelFlags = on ? band->m_labelFlags | kLargeObjectsOnly : band->m_labelFlags & ~kLargeObjectsOnly;
    });
    connect(m_rotation, &QComboBox::activated, this, [this] { WriteRotationField(); });
    CLayerSheetPage::OnInitDialog();
}

void CLayerSymbolPage::OnSetActive()
{
    FillBands();
    Refresh();
    CLayerSheetPage::OnSetActive();
}

bool CLayerSymbolPage::OnKillActive()
{
    if (!CLayerSheetPage::OnKillActive())
        return false;
    WriteRotationField();
    SetLastLayerSheetPage(kPageNumber);
    return true;
}

CSublayer* CLayerSymbolPage::Band() const
{
    return Layer().GetSublayer(Sheet().CurrentBand());
}

void CLayerSymbolPage::FillBands()
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

void CLayerSymbolPage::Refresh()
{
    const CSublayer* band = Band();
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (GetControlId(control) != kThresholdsButton && GetControlId(control) != kBandCombo)
            control->setEnabled(band != nullptr);
    if (!band)
        return;
    const int type = Layer().GetType();
    EnableDlgItem(this, kLargeObjectsCheck, type == CLayer::kArea);
    FindControl<QCheckBox>(this, kLargeObjectsCheck)->setChecked((band->m_labelFlags & kLargeObjectsOnly) != 0);
    if (type == CLayer::kTrack) {
        const bool shown = band->m_style.Track().lineShown != 0;
        FindControl<QCheckBox>(this, kTrackLineCheck)->setChecked(shown);
        EnableDlgItem(this, kTrackLineButton, shown);
    }
    m_classes->Fill(&band->m_classes);
    if (type == CLayer::kPoint) {
        m_rotation->clear();
        m_rotation->addItem(ToQString(LoadString(kNoneString)));
        m_rotationFields.clear();
        const std::vector<CFieldChoice> fields = RotationFields(Layer());
        for (const CFieldChoice& field : fields) {
            m_rotation->addItem(ToQString(field.alias));
            m_rotationFields.push_back(field.name);
        }
        const bool rotated = (band->m_labelFlags & CSublayer::kRotatedSymbols) && !band->m_rotationField.empty();
        const int found = FindRotationField(fields, *band);
        // A field the table lacks (or a table not read) stays unselected and stored.
        m_rotation->setCurrentIndex(found >= 0 ? found + 1 : rotated ? -1 : 0);
    }
    ShowStyle();
    ShowKind(band->m_kind);
}

void CLayerSymbolPage::ShowStyle()
{
    const CSublayer* band = Band();
    if (!band)
        return;
    switch (Layer().GetType()) {
    case CLayer::kPoint:
        m_sample->SetPointStyle(band->m_style.Point());
        for (const int id : {kRotationLabel, kRotationCombo})
            EnableDlgItem(this, id, TurnsBySymbol(band->m_style.Point()));
        break;
    case CLayer::kLine:
        m_sample->SetLineStyle(band->m_style.Draw());
        break;
    case CLayer::kArea:
        m_sample->SetAreaStyle(band->m_style.Draw());
        break;
    case CLayer::kTrack:
        m_sample->SetMarkerStyle(band->m_style.Track());
        break;
    default:
        break;
    }
}

void CLayerSymbolPage::ShowKind(int kind)
{
    for (int k = 0; k < 3; ++k)
        FindControl<QRadioButton>(this, kKindRadios[k])->setChecked(k == kind);
    m_sample->SetShowNone(kind == CSublayer::kHidden);
    EnableDlgItem(this, kSymbolButton, CanEditSymbol(kind));
    for (const int id : {kClassLabel, kClassList})
        ShowDlgItem(this, id, kind == CSublayer::kClassified);
}

bool CLayerSymbolPage::CanEditSymbol(int kind) const
{
    const CSymbolPageHooks& hooks = SymbolPageHooks();
    switch (SymbolDialogFor(Layer().GetType(), kind)) {
    case SymbolDialog::kPointSymbols:
        return static_cast<bool>(hooks.pointSymbols);
    case SymbolDialog::kSignList:
        return static_cast<bool>(hooks.signList);
    case SymbolDialog::kThematic:
        return static_cast<bool>(hooks.thematic);
    case SymbolDialog::kLineStyle:
    case SymbolDialog::kAreaStyle:
        return true;
    case SymbolDialog::kNone:
        return false;
    }
    return false;
}

void CLayerSymbolPage::OnBandChosen(int index)
{
    WriteRotationField();
    if (index < 0 || index >= Layer().GetSublayerCount())
        return;
    Sheet().CurrentBand() = index;
    Refresh();
}

void CLayerSymbolPage::OnKind(int kind)
{
    CSublayer* band = Band();
    if (!band)
        return;
    band->m_kind = static_cast<int16_t>(kind);
    ShowKind(kind);
}

void CLayerSymbolPage::OnSymbol()
{
    CSublayer* band = Band();
    if (!band || !CanEditSymbol(band->m_kind))
        return;
    const CSymbolPageHooks& hooks = SymbolPageHooks();
    switch (SymbolDialogFor(Layer().GetType(), band->m_kind)) {
    case SymbolDialog::kThematic:
        WriteRotationField();
        hooks.thematic(Layer(), *band, this);
        Refresh();
        return;
    case SymbolDialog::kPointSymbols: {
        CPointStyle style = band->m_style.Point();
        if (hooks.pointSymbols(style, this))
            band->m_style = style;
        break;
    }
    case SymbolDialog::kLineStyle:
    case SymbolDialog::kAreaStyle: {
        CDrawStyle style = band->m_style.Draw();
        const bool line = Layer().GetType() == CLayer::kLine;
        if (line ? RunLineStyleDlg(style, this) : RunAreaStyleDlg(style, this))
            band->m_style = style;
        break;
    }
    case SymbolDialog::kSignList: {
        CTrackStyle style = band->m_style.Track();
        int symbol = style.symbol;
        if (hooks.signList(symbol, this)) {
            SetTrackSymbol(style, symbol);
            band->m_style = style;
        }
        break;
    }
    case SymbolDialog::kNone:
        return;
    }
    ShowStyle();
}

void CLayerSymbolPage::OnTrackLineShown(bool shown)
{
    CSublayer* band = Band();
    if (!band)
        return;
    CTrackStyle style = band->m_style.Track();
    style.lineShown = shown ? 1 : 0;
    band->m_style = style;
    EnableDlgItem(this, kTrackLineButton, shown);
    ShowStyle();
}

void CLayerSymbolPage::OnTrackLine()
{
    CSublayer* band = Band();
    if (!band)
        return;
    CTrackStyle style = band->m_style.Track();
    CDrawStyle line = TrackLine(style);
    if (!RunLineStyleDlg(line, this))
        return;
    SetTrackLine(style, line);
    band->m_style = style;
    ShowStyle();
}

void CLayerSymbolPage::OnThresholds()
{
    WriteRotationField();
    CScaleThresholdsDlg dialog(this);
    dialog.Checks() = CheckedThresholds(Layer());
    if (dialog.DoModal() != IDOK)
        return;
    ApplyThresholds(Layer(), dialog.Checks());
    Sheet().CurrentBand() = 0;
    FillBands();
    Refresh();
}

void CLayerSymbolPage::WriteRotationField()
{
    CSublayer* band = Band();
    const int index = m_rotation->currentIndex();
    if (!band || Layer().GetType() != CLayer::kPoint || index < 0)
        return;
    SetRotationField(*band, index == 0 ? std::string() : m_rotationFields[static_cast<size_t>(index - 1)]);
}
