// The map export settings dialog (359, 30802) and the HTML export dialogs
// (362, 30804), their controls found by resource id.
#include "settings/widgets/HtmlExportDlg.h"
#include "settings/widgets/MapExportDlg.h"

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "settings/MapExport.h"
#include "shell/widgets/ControlIds.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/settings/ParcelLayer.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;

QString Text(const QWidget& dialog, int id)
{
    if (auto* label = FindControl<QLabel>(&dialog, id))
        return label->text();
    if (auto* edit = FindControl<QLineEdit>(&dialog, id))
        return edit->text();
    if (auto* combo = FindControl<QComboBox>(&dialog, id))
        return combo->currentText();
    return QStringLiteral("<none>");
}

void Type(QWidget& dialog, int id, const char* text)
{
    auto* edit = FindControl<QLineEdit>(&dialog, id);
    ASSERT_TRUE(edit) << id;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QString::fromUtf8(text));
}

void Choose(QWidget& dialog, int id, int index)
{
    auto* combo = FindControl<QComboBox>(&dialog, id);
    ASSERT_TRUE(combo) << id;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

class MapExportDlgTest : public ::testing::Test, private CWithApplication {
protected:
    void SetUp() override
    {
        // A 1000 x 500 window over 10000 x 5000 metres at 96 dpi.
        SetMetreMap(doc, CMapRect(0, 10000, 20000, 0));
        view.SetWindow(&window);
        view.OnSize(1000, 500);
        view.ZoomToRect(CMapRect(0, 5000, 10000, 0), 0);
        LastMapExportValues() = CMapExportValues();
    }
    void TearDown() override { LastMapExportValues() = CMapExportValues(); }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
    CDrelView view{doc};
};

} // namespace

TEST_F(MapExportDlgTest, ThePreviewFollowsTheChoices)
{
    CMapExportDlg dialog(359, view, LastMapExportValues());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(GetControlId(&dialog), 359);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Žemėlapio eksportas"));
    EXPECT_EQ(Text(dialog, 1059), "1000x500 piks. (26.5x13.2 cm)");
    EXPECT_EQ(Text(dialog, 1060), "1.500.000");
    EXPECT_EQ(Text(dialog, 1017), "96");
    EXPECT_EQ(Text(dialog, 1024), QString::fromUtf8("Pagal lango ribas"));
    SaveScreenshot(dialog, "map-export-359");

    Choose(dialog, 1012, 1);
    EXPECT_EQ(Text(dialog, 1060), "500.000");
    Choose(dialog, 1012, 0);

    // Typing a resolution, a scale or an edge selects the user's entry.
    Type(dialog, 1017, "192");
    EXPECT_EQ(Text(dialog, 1021), QString::fromUtf8("Nurodyta vartotojo"));
    EXPECT_EQ(Text(dialog, 1059), "2000x1000 piks. (26.5x13.2 cm)");
    Type(dialog, 1007, "");
    EXPECT_EQ(Text(dialog, 1022), QString::fromUtf8("Nurodytas vartotojo"));
    EXPECT_EQ(Text(dialog, 1059), "2000x1000 piks. (26.5x13.2 cm)") << "an empty scale changes nothing";
    Type(dialog, 1007, "2000000");
    EXPECT_EQ(Text(dialog, 1059), "38x19 piks. (0.5x0.3 cm)");
    Choose(dialog, 1022, 0);
    EXPECT_EQ(Text(dialog, 1059), "2000x1000 piks. (26.5x13.2 cm)");

    Type(dialog, 1011, "-5");
    EXPECT_EQ(Text(dialog, 1024), QString::fromUtf8("Nurodytos vartotojo"));
    EXPECT_EQ(Text(dialog, 1059), "") << "top below bottom";
    EXPECT_EQ(Text(dialog, 1060), "");
    Type(dialog, 1011, "");
    EXPECT_EQ(Text(dialog, 1059), "") << "an empty edge keeps the last";
    Type(dialog, 1011, "2500");
    EXPECT_EQ(Text(dialog, 1059), "2000x500 piks. (26.5x6.6 cm)");
    Choose(dialog, 1024, 1);
    EXPECT_EQ(Text(dialog, 1009), "20000");
    EXPECT_EQ(Text(dialog, 1059), "4000x2000 piks. (52.9x26.5 cm)");

    // A tile over 16000 pixels wide has no byte count.
    Type(dialog, 1017, "1600");
    EXPECT_EQ(Text(dialog, 1060), "");
    Type(dialog, 1019, "3");
    EXPECT_EQ(Text(dialog, 1060), "");
    Type(dialog, 1019, "4");
    EXPECT_EQ(Text(dialog, 1060), "") << "a tile over 16000 pixels high";
    Type(dialog, 1018, "2");
    EXPECT_EQ(Text(dialog, 1060), "208.266.672");
}

TEST_F(MapExportDlgTest, RowsOrColumnsOutOfRangeKeepItOpenAndOkKeepsTheValues)
{
    for (const char* bad : {"0", "100"}) {
        bool accepted = true;
        WithModalWindow([&] { CExportSettings settings; accepted = EditMapExportSettings(30802, view, settings); },
                        [&](QWidget& dialog) {
                            EXPECT_EQ(GetControlId(&dialog), 30802);
                            Type(dialog, 1018, bad);
                            FindControl<QPushButton>(&dialog, kOk)->click();
                            EXPECT_TRUE(dialog.isVisible()) << bad;
                            FindControl<QPushButton>(&dialog, kCancel)->click();
                        });
        EXPECT_FALSE(accepted);
    }
    EXPECT_EQ(user.messages.size(), 2u);

    CExportSettings settings;
    WithModalWindow([&] { EXPECT_TRUE(EditMapExportSettings(359, view, settings)); },
                    [&](QWidget& dialog) {
                        Choose(dialog, 1021, 5);
                        Type(dialog, 1018, "2");
                        FindControl<QAbstractButton>(&dialog, 1015)->setChecked(true);
                        FindControl<QAbstractButton>(&dialog, 1016)->setChecked(true);
                        FindControl<QPushButton>(&dialog, kOk)->click();
                    });
    EXPECT_TRUE(settings.useResolution);
    EXPECT_FALSE(settings.useExtent);
    EXPECT_EQ(settings.dpi, 300);
    EXPECT_EQ(settings.width, 3125);
    EXPECT_EQ(settings.rows, 2);
    EXPECT_EQ(settings.georeference, 1);
    EXPECT_EQ(settings.metafileOption, 0);
    // The next run opens with them.
    WithModalWindow([&] { EXPECT_FALSE(EditMapExportSettings(30802, view, settings)); },
                    [&](QWidget& dialog) {
                        EXPECT_EQ(Text(dialog, 1021), "300 dpi");
                        EXPECT_EQ(Text(dialog, 1018), "2");
                        EXPECT_TRUE(FindControl<QAbstractButton>(&dialog, 1016)->isChecked());
                        SaveScreenshot(dialog, "map-export-30802");
                        FindControl<QPushButton>(&dialog, kCancel)->click();
                    });
}

namespace {

class HtmlExportDlgTest : public ::testing::Test, private CWithApplication {
protected:
    HtmlExportDlgTest()
    {
        // Captions are keyed by the field's name as the table gives it.
        parcels.layer->FieldAliases().SetAt("Pav", "Pavadinimas");
        parcels.layer->FieldAliases().SetAt("Plotas", "Plotas, ha");
        doc.AddLayer(std::move(parcels.layer), false);
        doc.AddLayer(std::make_unique<CLayer>("Keliai", parcels.dir.File("keliai.gdb"), CLayer::kLine), false);
        doc.AddLayer(std::make_unique<CLayer>(Utf8ToCp1257("Tuščias"), parcels.dir.File("nera.gdb"), CLayer::kPoint),
                     false);
        doc.AddLayer(std::make_unique<CLayer>("Trasa", parcels.dir.File("trasa.trk"), CLayer::kTrack), false);
    }

    CScriptedUserServices user;
    CParcelLayer parcels;
    CDrelDoc doc;
};

} // namespace

TEST_F(HtmlExportDlgTest, TheLayerComboOffersPointsAreasAndTracks)
{
    CHtmlExportOptions options;
    options.layerName = "Sklypai";
    options.infoFields = {"Pavadinimas"};
    CHtmlExportDlg dialog(doc, options);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Išsaugojimas HTML formatu"));
    auto* layers = FindControl<QComboBox>(&dialog, 1012);
    ASSERT_TRUE(layers);
    QStringList names;
    for (int i = 0; i < layers->count(); ++i)
        names << layers->itemText(i);
    EXPECT_EQ(names, (QStringList{QString::fromUtf8("<Nėra>"), "Sklypai", QString::fromUtf8("Tuščias"), "Trasa"}));
    EXPECT_EQ(layers->currentText(), "Sklypai");
    EXPECT_EQ(Text(dialog, 1007), "Windows-1257");
    EXPECT_TRUE(FindControl<QPushButton>(&dialog, 1055)->isEnabled());
    SaveScreenshot(dialog, "html-export-362");
    Choose(dialog, 1012, 0);
    EXPECT_FALSE(FindControl<QPushButton>(&dialog, 1055)->isEnabled());
    FindControl<QPushButton>(&dialog, kOk)->click();
    EXPECT_TRUE(dialog.GetOptions().layerName.empty());
    EXPECT_TRUE(dialog.GetOptions().infoFields.empty());
}

TEST_F(HtmlExportDlgTest, TheFieldsDialogListsShownFieldsByCaption)
{
    CLayer& layer = *doc.Layers().GetAt(0);
    layer.HiddenFields() = {"KAINA"};
    // Captions compare exactly: "KODAS" is not "Kodas".
    CHtmlFieldsDlg dialog(layer, {"Plotas, ha", "Kodas", "KODAS"}, "Kodas", 0);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(GetControlId(&dialog), 30804);
    auto* list = FindControl<QListWidget>(&dialog, 1014);
    ASSERT_TRUE(list);
    QStringList captions, checked;
    for (int i = 0; i < list->count(); ++i) {
        captions << list->item(i)->text();
        if (list->item(i)->checkState() == Qt::Checked)
            checked << list->item(i)->text();
    }
    EXPECT_FALSE(captions.contains("Kaina")) << captions.join(',').toStdString();
    EXPECT_TRUE(captions.contains("Pavadinimas"));
    EXPECT_EQ(checked.size(), 2) << checked.join(',').toStdString();
    EXPECT_EQ(Text(dialog, 1012), captions.last());
    EXPECT_FALSE(FindControl<QAbstractButton>(&dialog, 1015)->isChecked());
    SaveScreenshot(dialog, "html-export-30804");
    // None checked: message 1100 and the dialog stays.
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(Qt::Unchecked);
    FindControl<QPushButton>(&dialog, kOk)->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1100});
    list->item(0)->setCheckState(Qt::Checked);
    Choose(dialog, 1012, 0);
    FindControl<QPushButton>(&dialog, kOk)->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.GetInfoFields(), std::vector<std::string>{FromQString(list->item(0)->text())});
    EXPECT_EQ(dialog.GetLinkField(), "");
}

TEST_F(HtmlExportDlgTest, OkWithoutFieldsOpensTheFieldsDialogWhichStaysUntilOneIsChecked)
{
    CHtmlExportOptions options;
    CHtmlExportDlg dialog(doc, options);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    Choose(dialog, 1012, 2); // "Tuščias": no table, no fields
    int opened = 0;
    WithModalWindow([&] { FindControl<QPushButton>(&dialog, kOk)->click(); },
                    [&](QWidget& fields) {
                        ++opened;
                        EXPECT_EQ(GetControlId(&fields), 30804);
                        FindControl<QPushButton>(&fields, kOk)->click();
                        EXPECT_TRUE(fields.isVisible());
                        FindControl<QPushButton>(&fields, kCancel)->click();
                    });
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(dialog.isVisible()) << "no field, no page";
    // The missing table says so as it opens.
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1007, 1100}));

    // A layer with fields: one checked, and OK closes both.
    Choose(dialog, 1012, 1);
    WithModalWindow([&] { FindControl<QPushButton>(&dialog, kOk)->click(); },
                    [&](QWidget& fields) {
                        auto* list = FindControl<QListWidget>(&fields, 1014);
                        list->item(1)->setCheckState(Qt::Checked);
                        Choose(fields, 1012, 1);
                        FindControl<QPushButton>(&fields, kOk)->click();
                    });
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.GetOptions().layerName, "Sklypai");
    EXPECT_EQ(dialog.GetOptions().infoFields.size(), 1u);
    EXPECT_EQ(dialog.GetOptions().linkField, "Pavadinimas");
}
