// The dialogs of geoprocessing on the offscreen platform: their controls
// found by id, their texts, what OK refuses and what it gives back.
#include "geoproc/BufferSaveRules.h"
#include "geoproc/CompareLayers.h"
#include "geoproc/LayerBufferRules.h"
#include "geoproc/OverlayRules.h"
#include "geoproc/SnapLayerRules.h"
#include "geoproc/SnapToLayer.h"
#include "geoproc/TopologyRules.h"
#include "geoproc/widgets/BufferSaveDlg.h"
#include "geoproc/widgets/BufferTypeDlg.h"
#include "geoproc/widgets/BufferZoneDlg.h"
#include "geoproc/widgets/ClassFieldsDlg.h"
#include "geoproc/widgets/CompareLayersDlg.h"
#include "geoproc/widgets/LayerBufferDlg.h"
#include "geoproc/widgets/OverlayDlg.h"
#include "geoproc/widgets/ResultLayerDlg.h"
#include "geoproc/widgets/SnapLayerDlg.h"
#include "geoproc/widgets/TopologyDlg.h"
#include "layers/GdbSource.h"
#include "layers/ClassEditDialogs.h"
#include "layers/Layer.h"
#include "mapdoc/BufferZoneSet.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "shell/FieldText.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/StyleSampleButton.h"
#include "tests/core/FieldLists.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class GeoprocDialogsTest : public ::testing::Test, public CWithApplication {
protected:
    // Shows the dialog as DoModal would, without waiting.
    static void Open(CDialogBase& dialog)
    {
        dialog.show();
        QCoreApplication::processEvents();
    }
    static void Click(QWidget& dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void Type(QWidget& dialog, int id, const char* text)
    {
        auto* edit = FindControl<QLineEdit>(&dialog, id);
        ASSERT_TRUE(edit) << id;
        edit->setText(Text(text));
    }
    // The label that names the control.
    static QString LabelOf(QWidget& dialog, QWidget* control)
    {
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (label->buddy() == control)
                return label->text();
        return {};
    }

    CScriptedUserServices user;
};

TEST_F(GeoprocDialogsTest, ResultLayerChoiceStartsWithANewLayer)
{
    CResultLayerDlg dialog;
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-311-result-layer");
    EXPECT_EQ(GetControlId(&dialog), 311);
    EXPECT_EQ(dialog.windowTitle(), Text("Rezultatų sluoksnis"));
    auto* create = FindControl<QRadioButton>(&dialog, 1024);
    auto* source = FindControl<QRadioButton>(&dialog, 1025);
    ASSERT_TRUE(create && source);
    EXPECT_EQ(create->text(), Text("&Sukurti naują sluoksnį"));
    EXPECT_EQ(source->text(), Text("&Rašyti į pradinį sluoksnį"));
    EXPECT_TRUE(create->isChecked());
    EXPECT_FALSE(source->isChecked());
    EXPECT_EQ(FindControl<QPushButton>(&dialog, IDOK)->text(), "OK");
    EXPECT_EQ(FindControl<QPushButton>(&dialog, IDCANCEL)->text(), Text("Atsisakyti"));
    QTest::mouseClick(source, Qt::LeftButton);
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetChoice(), 1);
}

TEST_F(GeoprocDialogsTest, TheLayerBufferRadiusIsAboveNoughtAndAtMost500)
{
    const double saved = CLayerBufferRules::LastRadius();
    CLayerBufferRules::Remember(1.0);
    CLayerBufferDlg dialog(Utf8ToCp1257("Gatvės"));
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-30771-layer-buffer");
    EXPECT_EQ(GetControlId(&dialog), 30771);
    EXPECT_EQ(dialog.windowTitle(), Text("Buferinių zonų skaičiavimas"));
    auto* layer = FindControl<QLineEdit>(&dialog, 1018);
    auto* radius = FindControl<QLineEdit>(&dialog, 1017);
    ASSERT_TRUE(layer && radius);
    EXPECT_EQ(layer->text(), Text("Gatvės"));
    EXPECT_TRUE(layer->isReadOnly());
    EXPECT_EQ(radius->text(), "1");
    EXPECT_EQ(LabelOf(dialog, radius), Text("&Spindulys:"));
    bool km = false;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        km = km || label->text() == "km";
    EXPECT_TRUE(km);

    const std::string refusal = RealFieldMessage(true, 0, 500);
    for (const char* text : {"0", "500.5", "abc", "-1", ""}) {
        user.messages.clear();
        Type(dialog, 1017, text);
        Click(dialog, IDOK);
        ASSERT_EQ(user.messages.size(), 1u) << text;
        EXPECT_EQ(user.messages[0].text, refusal) << text;
        EXPECT_TRUE(dialog.isVisible()) << text;
        EXPECT_TRUE(radius->hasFocus() || !dialog.isActiveWindow()) << text;
    }
    EXPECT_EQ(CLayerBufferRules::LastRadius(), 1.0);
    Type(dialog, 1017, "2.5");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetRadius(), 2.5);

    // The next run starts from it; a cancelled one keeps it.
    CLayerBufferDlg next("Kitas");
    Open(next);
    EXPECT_EQ(FindControl<QLineEdit>(&next, 1017)->text(), "2.5");
    Type(next, 1017, "7");
    Click(next, IDCANCEL);
    EXPECT_EQ(next.result(), IDCANCEL);
    EXPECT_EQ(CLayerBufferRules::LastRadius(), 2.5);
    CLayerBufferRules::Remember(saved);
}

TEST_F(GeoprocDialogsTest, TheBufferTypeIsOneOfThree)
{
    CBufferTypeDlg dialog(0);
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-280-buffer-type");
    EXPECT_EQ(GetControlId(&dialog), 280);
    EXPECT_EQ(dialog.windowTitle(), Text("Buferinės zonos skaičiavimas"));
    const auto groups = dialog.findChildren<QGroupBox*>();
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups[0]->title(), Text("Buferinės zonos tipas"));
    const std::pair<int, const char*> radios[] = {
        {1024, "Aplink &kontūrą"}, {1025, "Aplink &objektą"}, {1026, "Objekto &viduje"}};
    for (const auto& [id, text] : radios) {
        auto* radio = FindControl<QRadioButton>(&dialog, id);
        ASSERT_TRUE(radio) << id;
        EXPECT_EQ(radio->text(), Text(text));
        EXPECT_EQ(radio->isChecked(), id == 1024);
    }
    Click(dialog, 1026);
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetType(), 2);

    CBufferTypeDlg preset(1);
    Open(preset);
    EXPECT_TRUE(FindControl<QRadioButton>(&preset, 1025)->isChecked());
}

TEST_F(GeoprocDialogsTest, TopologyOptionsStartAsLastKeptAndTheToleranceIsAtMost1000)
{
    // Nothing in this program ran the dialog before: the first run's values.
    const CTopologyOptions saved = CTopologyRules::Last();
    CTopologyDlg dialog(CTopologyRules::Last());
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-30814-topology");
    EXPECT_EQ(GetControlId(&dialog), 30814);
    EXPECT_EQ(dialog.windowTitle(), Text("Topologijos kūrimas"));
    auto* copyFields = FindControl<QCheckBox>(&dialog, 1015);
    auto* crossings = FindControl<QCheckBox>(&dialog, 1016);
    auto* tolerance = FindControl<QLineEdit>(&dialog, 1017);
    ASSERT_TRUE(copyFields && crossings && tolerance);
    EXPECT_EQ(copyFields->text(), Text("Perkopijuoti duomenų bazės laukus"));
    EXPECT_EQ(crossings->text(), Text("Pridėti susikirtimo taškus"));
    EXPECT_TRUE(copyFields->isChecked());
    EXPECT_FALSE(crossings->isChecked());
    EXPECT_EQ(tolerance->text(), "0");

    const std::string refusal = RealFieldMessage(true, 0, 1000);
    for (const char* text : {"1000.5", "x", "-0.1"}) {
        user.messages.clear();
        Type(dialog, 1017, text);
        Click(dialog, IDOK);
        ASSERT_EQ(user.messages.size(), 1u) << text;
        EXPECT_EQ(user.messages[0].text, refusal) << text;
        EXPECT_TRUE(dialog.isVisible()) << text;
    }
    EXPECT_EQ(CTopologyRules::Last().tolerance, 0);
    Click(dialog, 1015);
    Click(dialog, 1016);
    Type(dialog, 1017, "1000");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetOptions().copyFields, 0);
    EXPECT_EQ(dialog.GetOptions().addCrossings, 1);
    EXPECT_EQ(dialog.GetOptions().tolerance, 1000);

    // The next run starts from the last OK; a cancelled one keeps it.
    CTopologyDlg next(CTopologyRules::Last());
    Open(next);
    EXPECT_FALSE(FindControl<QCheckBox>(&next, 1015)->isChecked());
    EXPECT_TRUE(FindControl<QCheckBox>(&next, 1016)->isChecked());
    EXPECT_EQ(FindControl<QLineEdit>(&next, 1017)->text(), "1000");
    Type(next, 1017, "2.5");
    Click(next, IDCANCEL);
    EXPECT_EQ(next.result(), IDCANCEL);
    EXPECT_EQ(CTopologyRules::Last().tolerance, 1000);
    CTopologyRules::Remember(saved);
}

class CScriptedStyleDialog : public IClassEditDialogs {
public:
    CScriptedStyleDialog() { SetClassEditDialogs(this); }
    ~CScriptedStyleDialog() override { SetClassEditDialogs(nullptr); }
    bool EditAreaStyle(CDrawStyle& style) override
    {
        ++runs;
        style.brushColor = 0x00C000;
        style.brushStyle = 0;
        return true;
    }
    int runs = 0;
};

TEST_F(GeoprocDialogsTest, TheZoneToolsRadiusIsAnyNumberButNought)
{
    CBufferZoneSettings settings = CBufferZoneSet::Settings();
    settings.radius = 1.0;
    settings.removePrevious = 0;
    CBufferZoneDlg dialog(settings);
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-262-buffer-zone");
    EXPECT_EQ(GetControlId(&dialog), 262);
    EXPECT_EQ(dialog.windowTitle(), Text("Buferinės zonos skaičiavimas"));
    auto* radius = FindControl<QLineEdit>(&dialog, 1017);
    auto* symbol = FindControl<CStyleSampleButton>(&dialog, 1055);
    auto* remove = FindControl<QCheckBox>(&dialog, 1015);
    ASSERT_TRUE(radius && symbol && remove);
    EXPECT_EQ(radius->text(), "1");
    EXPECT_EQ(LabelOf(dialog, radius), Text("&Spindulys:"));
    EXPECT_EQ(remove->text(), Text("&Pašalinti ankstesnius rezultatus"));
    EXPECT_FALSE(remove->isChecked());
    EXPECT_EQ(symbol->GetSample().kind, StyleSample::kAreaStyle);
    EXPECT_EQ(symbol->GetSample().area.brushColor, settings.style.brushColor);

    const std::pair<const char*, std::string> refusals[] = {{"0", Utf8ToCp1257("Spindulys negali būti lygus 0.")},
                                                            {"abc", RealFieldMessage(false, 0, 0)}};
    for (const auto& [text, message] : refusals) {
        user.messages.clear();
        Type(dialog, 1017, text);
        Click(dialog, IDOK);
        ASSERT_EQ(user.messages.size(), 1u) << text;
        EXPECT_EQ(user.messages[0].text, message) << text;
        EXPECT_TRUE(dialog.isVisible()) << text;
    }

    // The symbol button edits a copy, which OK takes over.
    CScriptedStyleDialog styleDialog;
    Click(dialog, 1055);
    EXPECT_EQ(styleDialog.runs, 1);
    EXPECT_EQ(symbol->GetSample().area.brushColor, 0x00C000u);
    Type(dialog, 1017, "-0.5");
    remove->setChecked(true);
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    CBufferZoneSettings applied = settings;
    ASSERT_TRUE(dialog.Apply(applied));
    EXPECT_EQ(applied.radius, -0.5);
    EXPECT_EQ(applied.removePrevious, 1);
    EXPECT_EQ(applied.style.brushColor, 0x00C000u);
}

TEST_F(GeoprocDialogsTest, TheSaveDialogOffersEditableAreaLayersAndRemembersItsText)
{
    const std::string saved = CBufferSaveRules::GetName();
    CDrelDoc doc;
    for (const auto& [name, type] :
         {std::pair{"Zonos", CLayer::kArea}, std::pair{"Keliai", CLayer::kLine}, std::pair{"Parkai", CLayer::kArea}})
        doc.AddLayer(std::make_unique<CLayer>(name, std::string("/m/") + name + ".gdb", type), false);
    doc.GetLayer(2)->SetFlag(CLayer::kObjectsEditable, false);

    CBufferSaveDlg dialog(doc);
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-268-buffer-save");
    EXPECT_EQ(GetControlId(&dialog), 268);
    EXPECT_EQ(dialog.windowTitle(), Text("Buferinių zonų išsaugojimas"));
    const auto groups = dialog.findChildren<QGroupBox*>();
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups[0]->title(), Text("Rezultatų sluoksnis"));
    auto* combo = FindControl<QComboBox>(&dialog, 1012);
    ASSERT_TRUE(combo && combo->isEditable());
    ASSERT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->itemText(0), "Zonos");
    EXPECT_EQ(combo->currentText(), "Buffer");
    EXPECT_EQ(combo->lineEdit()->maxLength(), 80);

    // No layer can be named with nothing.
    combo->setEditText("");
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(user.beeps, 1);
    combo->setEditText(Text("Mano zonos"));
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(CBufferSaveRules::GetName(), Utf8ToCp1257("Mano zonos"));

    CBufferSaveDlg next(doc);
    Open(next);
    EXPECT_EQ(FindControl<QComboBox>(&next, 1012)->currentText(), Text("Mano zonos"));
    CBufferSaveRules::Remember(saved);
}

} // namespace

// A map of layers of every kind for the overlay dialogs; the remembered
// choice of dialog 288 put back afterwards.
class OverlayDialogsTest : public GeoprocDialogsTest {
protected:
    OverlayDialogsTest()
        : m_source(COverlayRules::LastSource()), m_overlaying(COverlayRules::LastOverlaying()),
          m_operation(COverlayRules::InitialOperation())
    {
        COverlayRules::Remember("", "", 0);
        doc.SetPathName(dir.File("map.map"));
        const std::pair<const char*, int> layers[] = {
            {"Adresai", CLayer::kPoint}, {"Gatvės", CLayer::kLine},  {"Parkai", CLayer::kArea},
            {"Ortofoto", CLayer::kRaster}, {"Trasa", CLayer::kTrack}, {"Pastatai", CLayer::kArea}};
        for (const auto& [name, type] : layers) {
            const std::string file = std::to_string(doc.GetLayerCount()) + (type == CLayer::kTrack ? ".trk" : ".gdb");
            doc.AddLayer(std::make_unique<CLayer>(Utf8ToCp1257(name), dir.File(file), type), false);
        }
    }
    ~OverlayDialogsTest() override { COverlayRules::Remember(m_source, m_overlaying, m_operation); }
    CLayer* Layer(const char* name) { return doc.Layers().FindByName(Utf8ToCp1257(name)); }
    static QStringList Items(QWidget& dialog, int id)
    {
        QStringList items;
        auto* combo = FindControl<QComboBox>(&dialog, id);
        for (int i = 0; combo && i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
    static void Choose(QWidget& dialog, int id, const char* text)
    {
        auto* combo = FindControl<QComboBox>(&dialog, id);
        ASSERT_TRUE(combo) << id;
        combo->setCurrentIndex(combo->findText(Text(text)));
    }

    CTempDir dir;
    CDrelDoc doc;

private:
    std::string m_source, m_overlaying;
    int m_operation;
};

TEST_F(OverlayDialogsTest, TheOverlayDialogOffersTheLayersAndOperations)
{
    COverlayDlg dialog(doc, Layer("Gatvės"));
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-288-overlay");
    EXPECT_EQ(GetControlId(&dialog), 288);
    EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnių perklojimas"));
    const std::pair<int, const char*> labels[] = {
        {1012, "Pradinis sluoksnis:"}, {1021, "Perklojantis sluoksnis:"}, {1022, "Operacija:"}};
    for (const auto& [id, label] : labels) {
        auto* combo = FindControl<QComboBox>(&dialog, id);
        ASSERT_TRUE(combo) << id;
        EXPECT_EQ(LabelOf(dialog, combo), Text(label));
        EXPECT_FALSE(combo->isEditable());
    }
    EXPECT_EQ(Items(dialog, 1012), (QStringList{"Adresai", Text("Gatvės"), "Parkai", "Trasa", "Pastatai"}));
    EXPECT_EQ(Items(dialog, 1021), (QStringList{"Adresai", "Parkai", "Pastatai"}));
    EXPECT_EQ(Items(dialog, 1022), (QStringList{"Sankirta", Text("Sąjunga"), "Apkirpimas", Text("Įklijavimas"),
                                                "Atimtis", "Klasifikavimas"}));
    // The active layer as the source, no overlaying layer, the first operation.
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1012)->currentText(), Text("Gatvės"));
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1021)->currentIndex(), -1);
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1022)->currentIndex(), 0);

    // A missing choice beeps and stays.
    Click(dialog, IDOK);
    EXPECT_EQ(user.beeps, 1);
    EXPECT_TRUE(dialog.isVisible());
    // Union of lines is refused with 1066 and stays.
    Choose(dialog, 1021, "Parkai");
    Choose(dialog, 1022, "Sąjunga");
    Click(dialog, IDOK);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1066});
    EXPECT_TRUE(dialog.isVisible());
    Choose(dialog, 1022, "Atimtis");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    const COverlayChoice choice = dialog.GetChoice();
    EXPECT_EQ(choice.source, Layer("Gatvės"));
    EXPECT_EQ(choice.overlaying, Layer("Parkai"));
    EXPECT_EQ(choice.code, 3);

    // The next run starts on the remembered choice, whatever is active.
    COverlayDlg next(doc, Layer("Adresai"));
    Open(next);
    EXPECT_EQ(FindControl<QComboBox>(&next, 1012)->currentText(), Text("Gatvės"));
    EXPECT_EQ(FindControl<QComboBox>(&next, 1021)->currentText(), "Parkai");
    EXPECT_EQ(FindControl<QComboBox>(&next, 1022)->currentText(), "Atimtis");
    Click(next, IDCANCEL);
    EXPECT_EQ(next.result(), IDCANCEL);
}

TEST_F(OverlayDialogsTest, TheClassificationFieldsAreChosenByAlias)
{
    CLayer* points = Layer("Adresai");
    CLayer* areas = Layer("Parkai");
    {
        CGdbSource source;
        const std::vector<CDbfFieldInfo> fields =
            FieldList({{"ADRESAS", 'C', 40, 0}, {"DATA", 'D', 8, 0}, {"ZONA", 'C', 20, 0}});
        ASSERT_TRUE(source.Create(points->GetPath(), CLayer::kPoint, fields.data()));
    }
    {
        CGdbSource source;
        const std::vector<CDbfFieldInfo> fields =
            FieldList({{"PAVAD", 'C', 40, 0}, {"PLOTAS", 'N', 10, 1}, {"YRA", 'L', 1, 0}});
        ASSERT_TRUE(source.Create(areas->GetPath(), CLayer::kArea, fields.data()));
    }
    areas->FieldAliases().SetAt("PAVAD", "Parko pavadinimas");
    areas->SetFlag(CLayer::kHasAliases, true);
    CClassFieldsDlg dialog(*points, *areas);
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-312-class-fields");
    EXPECT_EQ(GetControlId(&dialog), 312);
    EXPECT_EQ(dialog.windowTitle(), Text("Klasifikavimo laukai"));
    EXPECT_EQ(LabelOf(dialog, FindControl<QComboBox>(&dialog, 1012)),
              Text("Klasifikavimo laukas &rezultatų sluoksnyje:"));
    EXPECT_EQ(LabelOf(dialog, FindControl<QComboBox>(&dialog, 1021)), Text("Klasifikavimo laukas &sričių sluoksnyje:"));
    EXPECT_EQ(Items(dialog, 1012), (QStringList{"ADRESAS", "ZONA"}));
    EXPECT_EQ(Items(dialog, 1021), (QStringList{"Parko pavadinimas", "PLOTAS"}));
    Choose(dialog, 1012, "ZONA");
    Click(dialog, IDOK);
    EXPECT_EQ(user.beeps, 1) << "both fields are wanted";
    EXPECT_TRUE(dialog.isVisible());
    Choose(dialog, 1021, "Parko pavadinimas");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetPointField(), "ZONA");
    EXPECT_EQ(dialog.GetAreaField(), "PAVAD");
}

// Dialog 30807 on the same map; the remembered choice put back afterwards.
class SnapLayerDialogTest : public OverlayDialogsTest {
protected:
    SnapLayerDialogTest() : m_target(CSnapLayerRules::LastTarget()), m_choice(CSnapLayerRules::Initial())
    {
        CSnapLayerRules::Remember("", CSnapLayerChoice{});
    }
    ~SnapLayerDialogTest() override { CSnapLayerRules::Remember(m_target, m_choice); }
    static bool Shown(QWidget& dialog, int id)
    {
        QWidget* control = FindControl<QWidget>(&dialog, id);
        return control && control->isVisibleTo(&dialog);
    }

private:
    std::string m_target;
    CSnapLayerChoice m_choice;
};

TEST_F(SnapLayerDialogTest, TheSnapDialogOffersTheLayersAndAsksWhatFitsThem)
{
    CSnapLayerDlg dialog(doc, Layer("Gatvės"));
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-30807-snap");
    EXPECT_EQ(GetControlId(&dialog), 30807);
    EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnio pritraukimas"));
    const std::pair<int, const char*> labels[] = {{1012, "Pritraukiamas sluoksnis:"},
                                                  {1021, "Pritraukti prie sluoksnio:"},
                                                  {1022, "Ką pritraukti:"},
                                                  {1024, "Prie ko pritraukti :"},
                                                  {1017, "Tolerancija:"}};
    for (const auto& [id, label] : labels) {
        QWidget* control = FindControl<QWidget>(&dialog, id);
        ASSERT_TRUE(control) << id;
        EXPECT_EQ(LabelOf(dialog, control), Text(label)) << id;
    }
    EXPECT_EQ(FindControl<QLabel>(&dialog, 1059)->text(), Text("Ką pritraukti:"));
    EXPECT_EQ(FindControl<QLabel>(&dialog, 1060)->text(), Text("Prie ko pritraukti :"));
    EXPECT_EQ(Items(dialog, 1012), (QStringList{"Adresai", Text("Gatvės"), "Parkai", "Pastatai"}));
    EXPECT_EQ(Items(dialog, 1021), (QStringList{"Adresai", Text("Gatvės"), "Parkai", "Trasa", "Pastatai"}));
    EXPECT_EQ(Items(dialog, 1022), (QStringList{"Mazgus", Text("Viršūnes"), Text("Įterpti viršūnes")}));
    EXPECT_EQ(Items(dialog, 1024), (QStringList{Text("Prie mazgų"), Text("Prie viršūnių"), Text("Prie kraštinių"),
                                                Text("Prie viršūnių ir kraštinių")}));
    // The active layer, no target, "Viršūnes", "Prie viršūnių ir kraštinių", 1 m.
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1012)->currentText(), Text("Gatvės"));
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1021)->currentIndex(), -1);
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1022)->currentIndex(), 1);
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1024)->currentIndex(), 3);
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1017)->text(), "1");

    // What and to what follow the layers chosen.
    struct Case {
        const char* source;
        const char* target;
        bool what, toWhat;
    };
    const Case cases[] = {
        {"Adresai", "Parkai", false, true},
        {"Parkai", "Adresai", true, false},
        {"Pastatai", "Trasa", true, false},
        {"Gatvės", "Gatvės", true, true},
    };
    for (const Case& c : cases) {
        Choose(dialog, 1012, c.source);
        Choose(dialog, 1021, c.target);
        EXPECT_EQ(Shown(dialog, 1022), c.what) << c.source;
        EXPECT_EQ(Shown(dialog, 1059), c.what) << c.source;
        EXPECT_EQ(Shown(dialog, 1024), c.toWhat) << c.target;
        EXPECT_EQ(Shown(dialog, 1060), c.toWhat) << c.target;
        if (std::string(c.target) == "Adresai")
            SaveScreenshot(dialog, "geoproc-30807-snap-to-points");
    }

    // The tolerance runs from 0 to 1000.
    Choose(dialog, 1012, "Parkai");
    Choose(dialog, 1021, "Adresai");
    Choose(dialog, 1022, "Mazgus");
    Choose(dialog, 1024, "Prie kraštinių");
    Type(dialog, 1017, "1000.5");
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(user.beeps, 0);
    Type(dialog, 1017, "1000");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    const CSnapLayerChoice choice = dialog.GetChoice();
    EXPECT_EQ(choice.source, Layer("Parkai"));
    EXPECT_EQ(choice.target, Layer("Adresai"));
    EXPECT_EQ(choice.what, kSnapEnds);
    EXPECT_EQ(choice.toWhat, kToEdges);
    EXPECT_EQ(choice.tolerance, 1000);

    // The next run starts on the remembered target and choices; a missing
    // layer beeps and stays.
    CSnapLayerDlg next(doc, nullptr);
    Open(next);
    EXPECT_EQ(FindControl<QComboBox>(&next, 1012)->currentIndex(), -1);
    EXPECT_EQ(FindControl<QComboBox>(&next, 1021)->currentText(), "Adresai");
    EXPECT_EQ(FindControl<QComboBox>(&next, 1022)->currentIndex(), 0);
    EXPECT_EQ(FindControl<QComboBox>(&next, 1024)->currentIndex(), 2);
    EXPECT_EQ(FindControl<QLineEdit>(&next, 1017)->text(), "1000");
    Type(next, 1017, "0");
    Click(next, IDOK);
    EXPECT_EQ(user.beeps, 1);
    EXPECT_TRUE(next.isVisible());
    Click(next, IDCANCEL);
    EXPECT_EQ(next.result(), IDCANCEL);
}

// Dialog 30808 over the same map; its remembered choice put back afterwards.
class CompareDialogTest : public OverlayDialogsTest {
protected:
    CompareDialogTest() : m_second(CCompareLayersRules::LastSecond()), m_mode(CCompareLayersRules::InitialMode())
    {
        CCompareLayersRules::Remember("", 0);
    }
    ~CompareDialogTest() override { CCompareLayersRules::Remember(m_second, m_mode); }

private:
    std::string m_second;
    int m_mode;
};

TEST_F(CompareDialogTest, TheComparisonOffersVectorLayersAndTheTwoModes)
{
    CCompareLayersDlg dialog(doc, Layer("Parkai"));
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-30808-compare-layers");
    EXPECT_EQ(GetControlId(&dialog), 30808);
    EXPECT_EQ(dialog.windowTitle(), Text("Skirtumų tarp sluoksnių paieška"));
    const QStringList layers = {"Adresai", Text("Gatvės"), "Parkai", "Trasa", "Pastatai"};
    for (const auto& [id, label] : {std::pair{1012, "Pirmas sluoksnis:"}, std::pair{1021, "Antras sluoksnis:"}}) {
        auto* combo = FindControl<QComboBox>(&dialog, id);
        ASSERT_TRUE(combo) << id;
        EXPECT_EQ(LabelOf(dialog, combo), Text(label));
        EXPECT_EQ(Items(dialog, id), layers);
    }
    auto* geometry = FindControl<QRadioButton>(&dialog, 1024);
    auto* attributes = FindControl<QRadioButton>(&dialog, 1025);
    ASSERT_TRUE(geometry && attributes);
    EXPECT_EQ(geometry->text(), Text("Objektų geometriją"));
    EXPECT_EQ(attributes->text(), Text("Geometriją ir atributus"));
    auto* group = qobject_cast<QGroupBox*>(geometry->parentWidget());
    ASSERT_TRUE(group);
    EXPECT_EQ(group->title(), Text("Palyginti"));
    // The active layer first, no second layer, geometry only.
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1012)->currentText(), "Parkai");
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1021)->currentIndex(), -1);
    EXPECT_TRUE(geometry->isChecked());

    // Without a second layer OK does nothing.
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(user.messages.empty());
    // Layers of two types: 1113, and the dialog stays.
    Choose(dialog, 1021, "Gatvės");
    Click(dialog, IDOK);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1113});
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Skiriasi sluoksnių tipai."));
    EXPECT_TRUE(dialog.isVisible());
    Choose(dialog, 1021, "Pastatai");
    // On its mark: the stretched button takes clicks on its mark and text only.
    QTest::mouseClick(attributes, Qt::LeftButton, {}, QPoint(8, attributes->height() / 2));
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    const CCompareChoice choice = dialog.GetChoice();
    EXPECT_EQ(choice.first, Layer("Parkai"));
    EXPECT_EQ(choice.second, Layer("Pastatai"));
    EXPECT_EQ(choice.mode, 1);

    // The next run starts on the remembered second layer and mode.
    CCompareLayersDlg next(doc, Layer("Adresai"));
    Open(next);
    EXPECT_EQ(FindControl<QComboBox>(&next, 1012)->currentText(), "Adresai");
    EXPECT_EQ(FindControl<QComboBox>(&next, 1021)->currentText(), "Pastatai");
    EXPECT_EQ(CCompareLayersRules::InitialMode(), 1);
    EXPECT_FALSE(FindControl<QRadioButton>(&next, 1024)->isChecked());
    EXPECT_TRUE(FindControl<QRadioButton>(&next, 1025)->isChecked());
    Click(next, IDCANCEL);
    EXPECT_EQ(next.result(), IDCANCEL);
}

