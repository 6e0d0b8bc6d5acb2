// The symbol and labels pages in the layer sheet, worked by their
// controls' ids on the sheet's working copy.
#include "tests/settings/widgets/SheetFixture.h"

#include "layers/PointStyle.h"
#include "layers/Sublayer.h"
#include "layers/TrackStyle.h"
#include "platform/UserServices.h"
#include "settings/StylePageRules.h"
#include "settings/widgets/LayerLabelsPage.h"
#include "settings/widgets/LayerSymbolPage.h"
#include "settings/widgets/LineTypeCombo.h"
#include "settings/widgets/SpinButton.h"
#include "settings/widgets/ThemeClassListBox.h"
#include "shell/widgets/ColorButton.h"
#include "shell/widgets/ColorPopup.h"
#include "shell/widgets/FontDialog.h"
#include "shell/widgets/StyleSampleButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <cstring>

namespace {

// The symbol page.
constexpr int kLargeObjects = 1000, kClassList = 1001, kThresholds = 1003, kClassLabel = 1004, kBands = 1015,
              kTrackLineCheck = 1016, kNone = 1017, kOneStyle = 1018, kClassified = 1019, kSymbol = 1020,
              kRotation = 1053, kTrackLine = 1055, kRotationLabel = 1059, kSample = 1070;
// The labels page.
constexpr int kScaled = 1009, kBaseScale = 1010, kShowAll = 1016, kOffset = 1017, kFont = 1023, kFrameStyle = 1042,
              kFrame = 1043, kHalo = 1044, kLinePicture = 1045, kPointPicture = 1046, kOffsetLabel = 1047,
              kOffsetUnits = 1048, kField = 1053, kHaloColour = 1055, kTextSample = 1066, kOffsetSpin = 1085;
constexpr int kGrid[] = {1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032};
constexpr int kAuto = 1033;
const std::string kNoneText = "<N\xEBra>";

class StylePagesTest : public CSheetFixture {
protected:
    StylePagesTest()
    {
        CLayerSheetHooks& hooks = LayerSheetHooks();
        hooks.symbolPage = [](CLayerPropSheet& s) { return std::make_unique<CLayerSymbolPage>(s); };
        hooks.labelsPage = [](CLayerPropSheet& s) { return std::make_unique<CLayerLabelsPage>(s); };
        points = Add("Vietos", parcels.dir.File("sklypai.gdb"), CLayer::kPoint);
        points->FieldAliases() = parcel->FieldAliases();
        points->SetFlag(CLayer::kHasAliases, true);
        track = Add("Trasa", parcels.dir.File("trasa.trk"), CLayer::kTrack);
    }
    ~StylePagesTest() override { SymbolPageHooks() = CSymbolPageHooks(); }

    // The sheet on the layer, on its symbol (2) or labels (3) page.
    CLayer& OpenOn(CLayer& layer, int page)
    {
        Open(layer);
        EXPECT_TRUE(sheet->SetActivePage(page));
        return sheet->GetWorkingLayer();
    }
    CSublayer& Band(int index = 0) const { return *sheet->GetWorkingLayer().GetSublayer(index); }
    void Click(int id) const { Control<QAbstractButton>(id)->click(); }
    bool Checked(int id) const { return Control<QAbstractButton>(id)->isChecked(); }
    QString Text(int id) const
    {
        QWidget* control = Control(id);
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            return edit->text();
        return static_cast<QAbstractButton*>(control)->text();
    }
    std::vector<std::string> Items(int id) const
    {
        std::vector<std::string> items;
        auto* combo = Control<QComboBox>(id);
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(FromQString(combo->itemText(i)));
        return items;
    }
    void Choose(int id, int index) const
    {
        auto* combo = Control<QComboBox>(id);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void Type(int id, const char* text) const
    {
        auto* edit = Control<QLineEdit>(id);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, QString::fromUtf8(text));
    }
    // Leaves the page for the notes page and comes back.
    void LeaveAndReturn(int page)
    {
        const int notes = sheet->GetPageCount() - 1;
        ASSERT_TRUE(sheet->SetActivePage(notes));
        ASSERT_TRUE(sheet->SetActivePage(page));
    }
    // A line layer of three bands, each its own width.
    void ThreeBands(CLayer& layer)
    {
        layer.AddSublayer(10000);
        layer.AddSublayer(100000);
        for (int i = 0; i < 3; ++i) {
            CDrawStyle style = layer.GetSublayer(i)->m_style.Draw();
            style.penWidth = static_cast<uint32_t>(10 * (i + 1));
            layer.GetSublayer(i)->m_style = style;
        }
    }

    CLayer* points;
    CLayer* track;
};

TEST_F(StylePagesTest, KindRadiosWriteAtOnce)
{
    CLayer& working = OpenOn(*roads, 2);
    EXPECT_EQ(sheet->GetActivePage()->GetCaption(), "\xDE" "enklas");
    EXPECT_EQ(Items(kBands), (std::vector<std::string>{"1:MIN - 1:MAX"}));
    EXPECT_TRUE(Checked(kOneStyle));
    EXPECT_TRUE(Enabled(kSymbol));
    EXPECT_FALSE(Visible(kClassList));
    auto* sample = Control<CStyleSampleButton>(kSample);
    EXPECT_EQ(sample->GetSample().kind, StyleSample::kLineStyle);

    Click(kNone);
    EXPECT_EQ(working.GetSublayer(0)->m_kind, 0);
    EXPECT_TRUE(sample->GetSample().none) << "<Nėra> in place of the style";
    EXPECT_FALSE(Enabled(kSymbol));
    Click(kClassified);
    EXPECT_EQ(working.GetSublayer(0)->m_kind, 2);
    EXPECT_FALSE(sample->GetSample().none);
    EXPECT_TRUE(Visible(kClassList));
    EXPECT_TRUE(Visible(kClassLabel));
    EXPECT_FALSE(Enabled(kSymbol)) << "no thematic dialog plugged in";
    Click(kOneStyle);
    EXPECT_EQ(working.GetSublayer(0)->m_kind, 1);
    EXPECT_FALSE(Visible(kClassList));
    EXPECT_EQ(roads->GetSublayer(0)->m_kind, 1) << "only the working copy";
}

TEST_F(StylePagesTest, TheClassListAndTheThematicDialog)
{
    CSublayer& band = *parcel->GetSublayer(0);
    band.m_kind = CSublayer::kClassified;
    band.m_classes.SetKind(true, false);
    band.m_classes.InsertTextClass(0, CLayer::kArea, "A");
    band.m_classes.AddClass(CLayer::kArea);
    int opened = 0;
    SymbolPageHooks().thematic = [&](CLayer& layer, CSublayer& edited, QWidget*) {
        ++opened;
        EXPECT_EQ(&layer, &sheet->GetWorkingLayer());
        EXPECT_EQ(&edited, layer.GetSublayer(0));
        edited.m_classes.InsertTextClass(0, CLayer::kArea, "B");
        return true;
    };
    OpenOn(*parcel, 2);
    auto* list = Control<CThemeClassListBox>(kClassList);
    EXPECT_TRUE(Visible(kClassList));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(FromQString(list->item(1)->text()), "<Kitais atvejais>");
    EXPECT_EQ(list->GetLayerType(), CLayer::kArea);
    ASSERT_TRUE(Enabled(kSymbol));
    Click(kSymbol);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(list->count(), 3) << "refilled";
    // A double-click in the list and a click on the sample do the same.
    emit list->itemDoubleClicked(list->item(0));
    Click(kSample);
    EXPECT_EQ(opened, 3);
    SaveScreenshot(*sheet, "symbol-page-classes");
}

TEST_F(StylePagesTest, LargeObjectsOnlyForAreas)
{
    OpenOn(*parcel, 2);
    EXPECT_TRUE(Enabled(kLargeObjects));
    Click(kLargeObjects);
    EXPECT_EQ(Band().m_labelFlags & 0x01, 0x01u);
    Click(kLargeObjects);
    EXPECT_EQ(Band().m_labelFlags & 0x01, 0u);
    for (CLayer* layer : {roads, points, track}) {
        OpenOn(*layer, 2);
        EXPECT_FALSE(Enabled(kLargeObjects)) << layer->GetName();
        EXPECT_EQ(Visible(kRotation), layer == points) << layer->GetName();
        EXPECT_EQ(Visible(kRotationLabel), layer == points) << layer->GetName();
        EXPECT_EQ(Visible(kTrackLineCheck), layer == track) << layer->GetName();
        EXPECT_EQ(Visible(kTrackLine), layer == track) << layer->GetName();
    }
}

TEST_F(StylePagesTest, TheRotationFieldIsANumberFieldStoredByName)
{
    CPointStyle library = CPointStyle::Default();
    library.kind = CPointStyle::kLibrary;
    points->GetSublayer(0)->m_style = library;
    OpenOn(*points, 2);
    EXPECT_EQ(Items(kRotation), (std::vector<std::string>{kNoneText, "Plotas, ha", "KAINA"}));
    EXPECT_EQ(Control<QComboBox>(kRotation)->currentIndex(), 0);
    EXPECT_FALSE(Enabled(kRotation)) << "a library symbol does not turn";
    EXPECT_FALSE(Enabled(kRotationLabel));

    // A font character turns: through the point symbol dialog.
    SymbolPageHooks().pointSymbols = [](CPointStyle& style, QWidget*) {
        style.kind = CPointStyle::kFontCharacter;
        style.symbol = 'A';
        return true;
    };
    OpenOn(*points, 2);
    Click(kSymbol);
    EXPECT_EQ(Band().m_style.Point().kind, CPointStyle::kFontCharacter);
    EXPECT_TRUE(Enabled(kRotation));
    EXPECT_TRUE(Enabled(kRotationLabel));
    EXPECT_EQ(Control<CStyleSampleButton>(kSample)->GetSample().point.symbol, 'A');

    Choose(kRotation, 1);
    EXPECT_EQ(Band().m_rotationField, "PLOTAS") << "the name, not the alias";
    EXPECT_TRUE(Band().m_labelFlags & CSublayer::kRotatedSymbols);
    Choose(kRotation, 0);
    EXPECT_EQ(Band().m_rotationField, "");
    EXPECT_FALSE(Band().m_labelFlags & CSublayer::kRotatedSymbols);

    // An alias stored by an older map shows, and leaving stores the name.
    CSublayer& stored = *points->GetSublayer(0);
    stored.m_style = Band().m_style;
    stored.m_rotationField = "Plotas, ha";
    stored.m_labelFlags |= CSublayer::kRotatedSymbols;
    OpenOn(*points, 2);
    EXPECT_EQ(Control<QComboBox>(kRotation)->currentIndex(), 1);
    LeaveAndReturn(2);
    EXPECT_EQ(Band().m_rotationField, "PLOTAS");
    // A field the table lacks stays as it is.
    stored.m_rotationField = "KAMPAS";
    OpenOn(*points, 2);
    EXPECT_EQ(Control<QComboBox>(kRotation)->currentIndex(), -1);
    LeaveAndReturn(2);
    EXPECT_EQ(Band().m_rotationField, "KAMPAS");
}

TEST_F(StylePagesTest, TheRotationFieldStaysWithItsBandWhenTheBandChanges)
{
    CPointStyle font = CPointStyle::Default();
    font.kind = CPointStyle::kFontCharacter;
    points->GetSublayer(0)->m_style = font;
    points->AddSublayer(20000);
    OpenOn(*points, 2);
    Choose(kRotation, 2);
    Choose(kBands, 1);
    EXPECT_EQ(sheet->CurrentBand(), 1);
    EXPECT_EQ(Band(0).m_rotationField, "KAINA");
    EXPECT_EQ(Band(1).m_rotationField, "");
    EXPECT_EQ(Control<QComboBox>(kRotation)->currentIndex(), 0);
    LeaveAndReturn(2);
    EXPECT_EQ(Band(0).m_rotationField, "KAINA");
    EXPECT_EQ(Band(1).m_rotationField, "") << "the choice went to no other band";
}

TEST_F(StylePagesTest, TheSymbolButtonOpensTheLineDialogWrittenBackOnlyOnOk)
{
    CLayer& working = OpenOn(*roads, 2);
    const CStyleRecord before = working.GetSublayer(0)->m_style;
    for (const int button : {IDCANCEL, IDOK}) {
        WithModalWindow([&] { Click(kSymbol); },
                        [&](QWidget& dialog) {
                            EXPECT_EQ(GetControlId(&dialog), 157);
                            auto* width = FindControl<QLineEdit>(&dialog, 1068);
                            ASSERT_TRUE(width);
                            width->selectAll();
                            QTest::keyClicks(width, "0.3");
                            FindControl<QPushButton>(&dialog, button)->click();
                        });
        if (button == IDCANCEL) {
            EXPECT_EQ(working.GetSublayer(0)->m_style, before);
        }
    }
    EXPECT_EQ(working.GetSublayer(0)->m_style.Draw().penWidth, 12u);
    EXPECT_EQ(Control<CStyleSampleButton>(kSample)->GetSample().line.penWidth, 12u);
    // The brush half of the record stays.
    EXPECT_EQ(working.GetSublayer(0)->m_style.Draw().brushColor, before.Draw().brushColor);
}

TEST_F(StylePagesTest, TheSymbolButtonOpensTheAreaDialog)
{
    CLayer& working = OpenOn(*parcel, 2);
    WithModalWindow([&] { Click(kSample); },
                    [&](QWidget& dialog) {
                        EXPECT_EQ(GetControlId(&dialog), 158);
                        auto* pattern = FindControl<QComboBox>(&dialog, 1064);
                        ASSERT_TRUE(pattern);
                        pattern->setCurrentIndex(0);
                        emit pattern->activated(0);
                        FindControl<QPushButton>(&dialog, IDOK)->click();
                    });
    EXPECT_EQ(working.GetSublayer(0)->m_style.Draw().brushStyle, 1);
    EXPECT_EQ(Control<CStyleSampleButton>(kSample)->GetSample().area.brushStyle, 1);
}

TEST_F(StylePagesTest, PointAndSignListDialogsComeFromHooks)
{
    OpenOn(*points, 2);
    EXPECT_FALSE(Enabled(kSymbol)) << "no point symbol dialog plugged in";
    OpenOn(*track, 2);
    EXPECT_FALSE(Enabled(kSymbol)) << "no sign list plugged in";

    int answer = 0;
    bool ok = false;
    SymbolPageHooks().signList = [&](int& symbol, QWidget*) {
        symbol = answer;
        return ok;
    };
    CTrackStyle style = track->GetSublayer(0)->m_style.Track();
    style.symbol = 3;
    track->GetSublayer(0)->m_style = style;
    const struct {
        int answer;
        bool ok;
        int32_t stored;
    } cases[] = {{7, false, 3}, {0x18005, true, 0x8005}, {-1, true, 0x8005}, {12, true, 12}};
    OpenOn(*track, 2);
    ASSERT_TRUE(Enabled(kSymbol));
    for (const auto& c : cases) {
        answer = c.answer;
        ok = c.ok;
        Click(kSymbol);
        EXPECT_EQ(Band().m_style.Track().symbol, c.stored) << c.answer;
        EXPECT_EQ(Control<CStyleSampleButton>(kSample)->GetSample().marker.symbol, c.stored);
    }
    EXPECT_EQ(Control<CStyleSampleButton>(kSample)->GetSample().kind, StyleSample::kMarker);

    // A cancelled point symbol dialog leaves the style, whatever it did to its copy.
    SymbolPageHooks().pointSymbols = [](CPointStyle& style, QWidget*) {
        style.symbol = 99;
        return false;
    };
    OpenOn(*points, 2);
    const CStyleRecord before = Band().m_style;
    Click(kSymbol);
    EXPECT_EQ(Band().m_style, before);
}

TEST_F(StylePagesTest, ATrackShowsAndComposesItsLine)
{
    CTrackStyle style = track->GetSublayer(0)->m_style.Track();
    style.lineShown = 0;
    style.penStyle = 0;
    style.penWidth = 4;
    track->GetSublayer(0)->m_style = style;
    OpenOn(*track, 2);
    EXPECT_FALSE(Checked(kTrackLineCheck));
    EXPECT_FALSE(Enabled(kTrackLine));
    Click(kTrackLineCheck);
    EXPECT_EQ(Band().m_style.Track().lineShown, 1);
    EXPECT_TRUE(Enabled(kTrackLine));
    WithModalWindow([&] { Click(kTrackLine); },
                    [&](QWidget& dialog) {
                        EXPECT_EQ(GetControlId(&dialog), 157);
                        FindControl<QCheckBox>(&dialog, 1015)->click();
                        auto* type2 = FindControl<CLineTypeCombo>(&dialog, 1072);
                        type2->SelectCode(2);
                        emit type2->activated(type2->currentIndex());
                        FindControl<QPushButton>(&dialog, IDOK)->click();
                    });
    const CTrackStyle after = Band().m_style.Track();
    EXPECT_EQ(static_cast<uint32_t>(after.penStyle), 0x10020000u);
    EXPECT_EQ(after.penWidth & 0xFFFF, 4);
    EXPECT_EQ(after.lineShown, 1);
    SaveScreenshot(*sheet, "symbol-page-track");
    Click(kTrackLineCheck);
    EXPECT_EQ(Band().m_style.Track().lineShown, 0);
    EXPECT_FALSE(Enabled(kTrackLine));
}

TEST_F(StylePagesTest, ThresholdsAddBandsAndStartAgainAtTheFirst)
{
    ThreeBands(*roads);
    CLayer& working = OpenOn(*roads, 2);
    EXPECT_EQ(Items(kBands),
              (std::vector<std::string>{"1:MIN - 1:10000", "1:10000 - 1:100000", "1:100000 - 1:MAX"}));
    Choose(kBands, 2);
    EXPECT_EQ(Control<CStyleSampleButton>(kSample)->GetSample().line.penWidth, 30u);
    WithModalWindow([&] { Click(kThresholds); },
                    [&](QWidget& dialog) {
                        EXPECT_EQ(GetControlId(&dialog), 101);
                        auto* list = FindControl<QListWidget>(&dialog, 1054);
                        ASSERT_TRUE(list);
                        EXPECT_EQ(list->item(4)->checkState(), Qt::Checked);
                        EXPECT_EQ(list->item(7)->checkState(), Qt::Checked);
                        list->item(4)->setCheckState(Qt::Unchecked);
                        list->item(5)->setCheckState(Qt::Checked); // 20000
                        FindControl<QPushButton>(&dialog, IDOK)->click();
                    });
    EXPECT_EQ(working.GetSublayerCount(), 3);
    EXPECT_EQ(working.GetSublayer(1)->m_lowerLimit, 20000);
    EXPECT_EQ(working.GetSublayer(1)->m_style.Draw().penWidth, 20u) << "styles keep their order";
    EXPECT_EQ(sheet->CurrentBand(), 0);
    EXPECT_EQ(Control<QComboBox>(kBands)->currentIndex(), 0);
    EXPECT_EQ(Items(kBands)[1], "1:20000 - 1:100000");
    EXPECT_EQ(Control<CStyleSampleButton>(kSample)->GetSample().line.penWidth, 10u);
    SaveScreenshot(*sheet, "symbol-page-line");
    ASSERT_TRUE(Ok(*roads));
    EXPECT_EQ(GetLastLayerSheetPage(), 2);
    EXPECT_EQ(roads->GetSublayer(1)->m_lowerLimit, 20000);
}

// ------------------------------------------------------------ labels page

TEST_F(StylePagesTest, NoLabelFieldDisablesAllButTheFieldAndKeepsTheRest)
{
    CSublayer& stored = *parcel->GetSublayer(0);
    stored.m_labelField = "PAV";
    stored.m_labelFlags = CSublayer::kLabelFrame | CSublayer::kScaledLabels;
    stored.m_referenceScale = 5000;
    stored.m_labelPlacement = 10;
    stored.m_labelDistance = 100;
    OpenOn(*parcel, 3);
    EXPECT_EQ(sheet->GetActivePage()->GetCaption(), "U\xFEra\xF0" "ai");
    EXPECT_EQ(Items(kField), (std::vector<std::string>{kNoneText, "Pavadinimas", "Plotas, ha", "KAINA", "ARCHYV",
                                                       "DATA", "KODAS"}));
    EXPECT_EQ(Control<QComboBox>(kField)->currentIndex(), 1);
    EXPECT_TRUE(Enabled(kFrameStyle));
    EXPECT_TRUE(Enabled(kBaseScale));
    SaveScreenshot(*sheet, "labels-page-area");

    Choose(kField, 0);
    EXPECT_EQ(Band().m_labelField, "");
    for (const int id : {kFont, kShowAll, kFrame, kHalo, kScaled, kOffset, kOffsetSpin, kFrameStyle, kHaloColour,
                         kBaseScale, kAuto})
        EXPECT_FALSE(Enabled(id)) << id;
    for (const int id : kGrid)
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(kField));
    EXPECT_TRUE(Enabled(kBands));
    LeaveAndReturn(3);
    EXPECT_EQ(Band().m_labelFlags, stored.m_labelFlags);
    EXPECT_EQ(Band().m_referenceScale, 5000);
    EXPECT_EQ(Band().m_labelPlacement, 10);
    EXPECT_EQ(Band().m_labelDistance, 100);
    Choose(kField, 6);
    EXPECT_EQ(Band().m_labelField, "KODAS");
    EXPECT_TRUE(Enabled(kFont));
    EXPECT_FALSE(Enabled(kHaloColour));
}

TEST_F(StylePagesTest, ALineIsLabelledAboveOnOrBelowIt)
{
    // A field the missing table cannot offer: labelled all the same.
    roads->GetSublayer(0)->m_labelField = "PAV";
    roads->GetSublayer(0)->m_labelPlacement = 10;
    roads->AddSublayer(50000);
    roads->GetSublayer(1)->m_labelPlacement = 512;
    OpenOn(*roads, 3);
    for (const int id : kGrid)
        EXPECT_EQ(Visible(id), id >= 1027 && id <= 1029) << id;
    EXPECT_FALSE(Visible(kAuto));
    EXPECT_TRUE(Visible(kLinePicture));
    EXPECT_FALSE(Visible(kPointPicture));
    for (const int id : {kOffset, kOffsetSpin, kOffsetLabel, kOffsetUnits})
        EXPECT_FALSE(Visible(id)) << id;
    EXPECT_TRUE(Checked(1027)) << "10 shows as 14, above the line";
    Choose(kBands, 1);
    EXPECT_EQ(Band(0).m_labelPlacement, 14) << "written back when the band was left";
    EXPECT_TRUE(Checked(1028)) << "automatic shows as on the line";
    Click(1029);
    SaveScreenshot(*sheet, "labels-page-line");
    LeaveAndReturn(3);
    EXPECT_EQ(Band(1).m_labelPlacement, 6);
}

TEST_F(StylePagesTest, AutomaticPlacementByType)
{
    const struct {
        CLayer* layer;
        int16_t stored;
        int16_t written;
    } cases[] = {{parcel, 256, 512}, {parcel, 512, 512}, {points, 512, 256}, {track, 256, 256}};
    for (const auto& c : cases) {
        c.layer->GetSublayer(0)->m_labelPlacement = c.stored;
        c.layer->GetSublayer(0)->m_labelField = "PAV";
        OpenOn(*c.layer, 3);
        EXPECT_TRUE(Visible(kAuto));
        EXPECT_TRUE(Checked(kAuto)) << c.layer->GetName() << " " << c.stored;
        for (const int id : kGrid)
            EXPECT_TRUE(Text(id).isEmpty()) << id;
        LeaveAndReturn(3);
        EXPECT_EQ(Band().m_labelPlacement, c.written) << c.layer->GetName() << " " << c.stored;
    }
}

TEST_F(StylePagesTest, OnlyTheCheckedRadioCarriesAa)
{
    points->GetSublayer(0)->m_labelPlacement = 30;
    points->GetSublayer(0)->m_labelField = "PAV";
    OpenOn(*points, 3);
    for (const int id : kGrid)
        EXPECT_EQ(Text(id), id == 1028 ? "Aa" : "") << id;
    EXPECT_TRUE(Visible(kPointPicture));
    EXPECT_TRUE(Visible(kOffset));
    Click(1024);
    for (const int id : kGrid) {
        EXPECT_EQ(Text(id), id == 1024 ? "Aa" : "") << id;
        EXPECT_EQ(Checked(id), id == 1024) << id;
    }
    Click(kAuto);
    for (const int id : kGrid)
        EXPECT_TRUE(Text(id).isEmpty()) << id;
    Click(1032);
    LeaveAndReturn(3);
    EXPECT_EQ(Band().m_labelPlacement, 0);
    EXPECT_EQ(Control<QRadioButton>(1032)->font().italic(), true);
}

TEST_F(StylePagesTest, FrameAndHaloExcludeEachOther)
{
    CSublayer& stored = *points->GetSublayer(0);
    stored.m_labelField = "PAV";
    stored.m_labelFrameStyle.brushColor = RGB(0, 0, 255);
    OpenOn(*points, 3);
    auto* halo = Control<CColorButton>(kHaloColour);
    EXPECT_EQ(halo->GetDefaultText(), "Standartin\xEB");
    EXPECT_EQ(halo->GetCustomText(), "Kitos spalvos...");
    EXPECT_FALSE(Enabled(kFrameStyle));
    EXPECT_FALSE(Enabled(kHaloColour));
    Click(kFrame);
    EXPECT_TRUE(Enabled(kFrameStyle));
    auto* sample = Control<CStyleSampleButton>(kTextSample);
    EXPECT_TRUE(sample->GetSample().frame);
    Click(kHalo);
    EXPECT_FALSE(Checked(kFrame));
    EXPECT_FALSE(Enabled(kFrameStyle));
    EXPECT_TRUE(Enabled(kHaloColour));
    EXPECT_EQ(halo->GetColor(), RGB(0, 0, 255)) << "the halo is the frame's brush colour";
    EXPECT_TRUE(sample->GetSample().halo);
    EXPECT_FALSE(sample->GetSample().frame);

    // A colour chosen is the frame's brush colour at once; the default one is white.
    QTest::mouseClick(halo, Qt::LeftButton);
    ASSERT_TRUE(halo->GetPopup());
    QTest::keyClick(halo->GetPopup(), Qt::Key_Right);
    QTest::keyClick(halo->GetPopup(), Qt::Key_Return);
    FlushDeletes();
    EXPECT_NE(halo->GetColor(), RGB(0, 0, 255));
    EXPECT_EQ(Band().m_labelFrameStyle.brushColor, halo->GetColor());
    EXPECT_EQ(sample->GetSample().frameStyle.brushColor, halo->GetColor());
    QTest::mouseClick(halo, Qt::LeftButton);
    ASSERT_TRUE(halo->GetPopup());
    for (int i = 0; i < 200 && halo->GetPopup()->GetCurrentEntry() != CColorPalette::kDefaultEntry; ++i)
        QTest::keyClick(halo->GetPopup(), Qt::Key_Left);
    ASSERT_EQ(halo->GetPopup()->GetCurrentEntry(), CColorPalette::kDefaultEntry);
    QTest::keyClick(halo->GetPopup(), Qt::Key_Return);
    FlushDeletes();
    EXPECT_EQ(Band().m_labelFrameStyle.brushColor, RGB(255, 255, 255));

    Click(kFrame);
    EXPECT_FALSE(Checked(kHalo));
    EXPECT_FALSE(Enabled(kHaloColour));
    WithModalWindow([&] { Click(kFrameStyle); },
                    [&](QWidget& dialog) {
                        EXPECT_EQ(GetControlId(&dialog), 158);
                        auto* width = FindControl<QLineEdit>(&dialog, 1068);
                        width->selectAll();
                        QTest::keyClicks(width, "1");
                        FindControl<QPushButton>(&dialog, IDOK)->click();
                    });
    EXPECT_EQ(Band().m_labelFrameStyle.penWidth, 39u);
    LeaveAndReturn(3);
    EXPECT_EQ(Band().m_labelFlags & (CSublayer::kLabelFrame | CSublayer::kLetterOutlines),
              uint32_t{CSublayer::kLabelFrame});
}

TEST_F(StylePagesTest, TheOffsetIsMillimetresOfOneDecimal)
{
    points->GetSublayer(0)->m_labelField = "PAV";
    points->GetSublayer(0)->m_labelDistance = 0;
    OpenOn(*points, 3);
    EXPECT_EQ(Text(kOffset), "0.0");
    Type(kOffset, "2.54");
    LeaveAndReturn(3);
    EXPECT_EQ(Band().m_labelDistance, 100);
    EXPECT_EQ(Text(kOffset), "2.5");
    LeaveAndReturn(3);
    EXPECT_EQ(Band().m_labelDistance, 100) << "shown and not edited, kept whole";
    auto* spin = Control<CSpinButton>(kOffsetSpin);
    Type(kOffset, "9.95");
    spin->Step(1);
    EXPECT_EQ(Text(kOffset), "10.0");
    Type(kOffset, "0.05");
    spin->Step(-1);
    EXPECT_EQ(Text(kOffset), "0.0");
    Type(kOffset, "12");
    LeaveAndReturn(3);
    EXPECT_EQ(Band().m_labelDistance, 394);
}

TEST_F(StylePagesTest, TheBaseScaleFollowsTheCheck)
{
    SetLabelBaseScale(12345);
    points->GetSublayer(0)->m_labelField = "PAV";
    OpenOn(*points, 3);
    EXPECT_EQ(Text(kBaseScale), "12345");
    EXPECT_FALSE(Enabled(kBaseScale));
    Click(kScaled);
    EXPECT_TRUE(Enabled(kBaseScale));
    Type(kBaseScale, "abc");
    EXPECT_FALSE(sheet->SetActivePage(0)) << "a scale that is no number keeps the page";
    EXPECT_EQ(user.messages.size(), 1u);
    Type(kBaseScale, "5000");
    LeaveAndReturn(3);
    EXPECT_EQ(Band().m_referenceScale, 5000);
    EXPECT_TRUE(Band().m_labelFlags & CSublayer::kScaledLabels);
    Click(kScaled);
    LeaveAndReturn(3);
    EXPECT_EQ(Band().m_referenceScale, 0);
    EXPECT_EQ(Text(kBaseScale), "12345");
    SetLabelBaseScale(0);
}

TEST_F(StylePagesTest, TheFontDialogTakesTheBandsFontInPoints)
{
    CSublayer& stored = *points->GetSublayer(0);
    stored.m_labelField = "PAV";
    stored.m_labelStyle.font.lfHeight = -10;
    stored.m_labelStyle.color = RGB(0, 0, 128);
    OpenOn(*points, 3);
    WithModalWindow([&] { Click(kFont); },
                    [&](QWidget& dialog) {
                        auto* font = dynamic_cast<CFontDialog*>(&dialog);
                        ASSERT_TRUE(font);
                        EXPECT_EQ(GetControlId(&dialog), 1543);
                        EXPECT_EQ(font->GetLogFont().lfHeight, -10);
                        EXPECT_EQ(font->GetColor(), RGB(0, 0, 128));
                        QFont chosen("DejaVu Serif");
                        chosen.setPointSize(14);
                        font->setCurrentFont(chosen);
                        font->accept();
                    });
    EXPECT_EQ(Band().m_labelStyle.font.lfHeight, -14);
    EXPECT_STREQ(Band().m_labelStyle.font.lfFaceName, "DejaVu Serif");
    EXPECT_EQ(Control<CStyleSampleButton>(kTextSample)->GetSample().font.font.lfHeight, -14);
}

TEST_F(StylePagesTest, BothPagesShareTheBand)
{
    ThreeBands(*roads);
    roads->GetSublayer(2)->m_labelField = "PAV";
    roads->GetSublayer(2)->m_labelPlacement = 6;
    OpenOn(*roads, 3);
    Choose(kBands, 2);
    ASSERT_TRUE(sheet->SetActivePage(2));
    EXPECT_EQ(Control<QComboBox>(kBands)->currentIndex(), 2);
    EXPECT_EQ(Control<CStyleSampleButton>(kSample)->GetSample().line.penWidth, 30u);
    Choose(kBands, 1);
    ASSERT_TRUE(sheet->SetActivePage(3));
    EXPECT_EQ(Control<QComboBox>(kBands)->currentIndex(), 1);
}

} // namespace
