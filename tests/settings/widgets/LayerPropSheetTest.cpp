#include "tests/settings/widgets/SheetFixture.h"

#include "layers/Sublayer.h"
#include "tests/layers/LayerTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

namespace {

using Names = std::vector<std::string>;

const std::string kGeneral = "Apra\xF0" "as", kTable = "Duomen\xF8 baz\xEB", kSymbol = "\xDE" "enklas",
                  kLabels = "U\xFEra\xF0" "ai", kFilter = "Filtras", kTrackFilter = "Trasos filtras",
                  kScale = "Mastelis", kNotes = "Pastabos";

constexpr int kNameEdit = 1004, kPathEdit = 1005, kTypeCombo = 1007, kNameFieldCombo = 1018,
              kIntervalEdit = 1017, kStructureButton = 1052, kFilesButton = 1055;

class LayerPropSheetTest : public CSheetFixture {};

TEST_F(LayerPropSheetTest, PagesByTypeAndGroup)
{
    PlugPages();
    CLayer* raster = Add("Ortofoto", parcels.dir.File("orto.tif"), CLayer::kRaster);
    CLayer* track = Add("Trasa", parcels.dir.File("trasa.trk"), CLayer::kTrack);
    CLayer* points = Add("Vietos", parcels.dir.File("vietos.gdb"), CLayer::kPoint);
    const struct {
        CLayer* layer;
        int group;
        Names tabs;
    } cases[] = {
        {raster, -1, {kGeneral, kScale, kNotes}},
        {track, -1, {kGeneral, kTable, kSymbol, kLabels, kTrackFilter, kNotes}},
        {points, -1, {kGeneral, kTable, kSymbol, kLabels, kFilter, kNotes}},
        {roads, -1, {kGeneral, kTable, kSymbol, kLabels, kFilter, kNotes}},
        {parcel, -1, {kGeneral, kTable, kSymbol, kLabels, kFilter, kNotes}},
        {parcel, 0, {kSymbol}},
        {parcel, 1, {kLabels}},
        {raster, 1, {kScale}},
        {parcel, 2, {kFilter}},
        {track, 2, {kTrackFilter}},
        {track, 3, {kNotes}},
    };
    for (const auto& c : cases) {
        Open(*c.layer, c.group);
        EXPECT_EQ(Tabs(), c.tabs) << c.layer->GetName() << " group " << c.group;
        EXPECT_EQ(sheet->windowTitle(), QString::fromUtf8("Sluoksnio parametrai"));
        EXPECT_EQ(sheet->GetCancelButton()->text(), QString::fromUtf8("Atsisakyti"));
    }

    // A page nobody plugged in is left out.
    LayerSheetHooks().symbolPage = nullptr;
    LayerSheetHooks().trackFilterPage = nullptr;
    Open(*track);
    EXPECT_EQ(Tabs(), (Names{kGeneral, kTable, kLabels, kNotes}));
    EXPECT_EQ(sheet->FindPage(LayerSheetPage::kSymbol), nullptr);
    EXPECT_EQ(sheet->FindPage(LayerSheetPage::kLabels)->GetCaption(), kLabels);
}

TEST_F(LayerPropSheetTest, ThePageLeftLastOpensNextTime)
{
    PlugPages();
    CLayer* points = Add("Vietos", parcels.dir.File("vietos.gdb"), CLayer::kPoint);
    CLayer* raster = Add("Ortofoto", parcels.dir.File("orto.tif"), CLayer::kRaster);
    Open(*points);
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    ASSERT_TRUE(sheet->SetActivePage(3));
    ASSERT_TRUE(Ok(*points)); // OK leaves the labels page

    // Labels again, for a line and an area layer too.
    for (CLayer* layer : {roads, parcel}) {
        Open(*layer);
        EXPECT_EQ(sheet->GetActivePage()->GetCaption(), kLabels) << layer->GetName();
        sheet->GetCancelButton()->click();
    }
    // A raster map starts on its first page and leaves the number be.
    Open(*raster);
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    ASSERT_TRUE(sheet->SetActivePage(1)); // the scale page writes none
    sheet->GetCancelButton()->click();
    EXPECT_EQ(GetLastLayerSheetPage(), 0) << "leaving the general page wrote 0";
    Open(*roads);
    ASSERT_TRUE(sheet->SetActivePage(5));
    ASSERT_TRUE(sheet->SetActivePage(4));
    sheet->GetCancelButton()->click();
    EXPECT_EQ(GetLastLayerSheetPage(), 5);
    // Without the pages of later parts the notes page is still found.
    LayerSheetHooks() = CLayerSheetHooks();
    Open(*roads);
    EXPECT_EQ(sheet->GetActivePage()->GetCaption(), kNotes);
}

TEST_F(LayerPropSheetTest, TheGeneralPageRefusesToBeLeftWithABadNameOrFile)
{
    CLayer* nameless = Add("Be failo", "", CLayer::kPoint);
    Open(*parcel);
    auto* name = Control<QLineEdit>(kNameEdit);
    const struct {
        const char* name;
        unsigned message;
    } cases[] = {{"", 1000}, {"Keliai", 1001}, {"keliai", 0}, {"SKLYPAI", 0}};
    for (const auto& c : cases) {
        user.messages.clear();
        FindControl(sheet.get(), kPathEdit)->setFocus();
        name->setText(ToQString(c.name));
        const bool left = sheet->SetActivePage(1);
        EXPECT_EQ(left, c.message == 0) << c.name;
        if (c.message) {
            EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{c.message}) << c.name;
            EXPECT_EQ(sheet->GetActiveIndex(), 0);
            EXPECT_EQ(sheet->focusWidget(), name);
        } else {
            EXPECT_TRUE(user.messages.empty());
            EXPECT_EQ(sheet->GetWorkingLayer().GetName(), c.name);
            ASSERT_TRUE(sheet->SetActivePage(0));
            name = Control<QLineEdit>(kNameEdit);
        }
    }
    // 81 characters are refused by the exchange itself.
    user.messages.clear();
    name->setMaxLength(200);
    name->setText(QString(81, 'x'));
    EXPECT_FALSE(sheet->SetActivePage(1));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{0});
    name->setText(QString(80, 'x'));
    EXPECT_TRUE(sheet->SetActivePage(1));

    Open(*nameless);
    user.messages.clear();
    EXPECT_FALSE(sheet->SetActivePage(1));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1003});
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
}

TEST_F(LayerPropSheetTest, TheGeneralPageShowsTheLayer)
{
    const struct {
        const char* file;
        int type;
        bool objectsBox;
        std::vector<QString> types;
    } cases[] = {
        {"a.gdb", CLayer::kPoint, true, {"Taškas"}},
        {"a.dbf", CLayer::kPoint, true, {"Taškas"}},
        {"a.trk", CLayer::kTrack, true, {"Trasa"}},
        {"a.shp", CLayer::kLine, false, {"Linija", "Sritis"}},
        {"a.dxf", CLayer::kArea, false, {"Linija", "Sritis"}},
    };
    for (const auto& c : cases) {
        CLayer* layer = Add(c.file, parcels.dir.File(c.file), c.type);
        layer->SetFlags(CLayer::kShown | CLayer::kInfoEditable | CLayer::kDynamic);
        layer->SetRedrawInterval(125);
        Open(*layer);
        EXPECT_EQ(Enabled(1065), c.objectsBox) << c.file;
        // Protected from editing: the editing flags inverted.
        EXPECT_TRUE(Control<QCheckBox>(1065)->isChecked()) << c.file;
        EXPECT_FALSE(Control<QCheckBox>(1069)->isChecked()) << c.file;
        EXPECT_TRUE(Control<QCheckBox>(1015)->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(1016)->isChecked());
        EXPECT_FALSE(Visible(1019)) << "translucence is for raster maps";
        EXPECT_TRUE(Control<QCheckBox>(1107)->isChecked()) << "a dynamic layer's box opens checked";
        EXPECT_EQ(Control<QLineEdit>(kIntervalEdit)->text(), "02:05");
        EXPECT_FALSE(Enabled(kPathEdit));
        EXPECT_FALSE(Enabled(1006));
        EXPECT_FALSE(Enabled(1095));
        std::vector<QString> types;
        for (int i = 0; i < Control<QComboBox>(kTypeCombo)->count(); ++i)
            types.push_back(Control<QComboBox>(kTypeCombo)->itemText(i));
        EXPECT_EQ(types, c.types) << c.file;
        // Left unchanged, the flags stay.
        Control<QLineEdit>(kIntervalEdit)->setText("abc");
        ASSERT_TRUE(Ok(*layer));
        EXPECT_EQ(layer->GetFlags(), CLayer::kShown | CLayer::kInfoEditable | CLayer::kDynamic) << c.file;
        EXPECT_EQ(layer->GetRedrawInterval(), 0) << "\"abc\" reads 0";
    }
}

TEST_F(LayerPropSheetTest, TheGeneralPageWritesWhatTheUserChose)
{
    roads->SetFlags(CLayer::kShown | CLayer::kObjectsEditable);
    Open(*roads);
    EXPECT_FALSE(Control<QCheckBox>(1107)->isChecked());
    for (const int id : {1062, kIntervalEdit, 1063})
        EXPECT_FALSE(Visible(id)) << id;
    Control<QCheckBox>(1107)->click();
    for (const int id : {1062, kIntervalEdit, 1063})
        EXPECT_TRUE(Visible(id)) << id;
    Control<QLineEdit>(kIntervalEdit)->setText("1:2");
    Control<QCheckBox>(1069)->click();
    Control<QCheckBox>(1016)->click();
    Control<QCheckBox>(1025)->click();
    // A line layer may become an area layer, at once in the working copy.
    auto* type = Control<QComboBox>(kTypeCombo);
    EXPECT_EQ(type->currentText(), "Linija");
    type->setCurrentIndex(1);
    emit type->activated(1);
    EXPECT_EQ(sheet->GetWorkingLayer().GetType(), CLayer::kArea);
    EXPECT_EQ(roads->GetType(), CLayer::kLine);
    ASSERT_TRUE(Ok(*roads));
    EXPECT_EQ(roads->GetType(), CLayer::kArea);
    EXPECT_EQ(roads->GetFlags(), CLayer::kShown | CLayer::kObjectsEditable | CLayer::kInfoEditable | CLayer::kDynamic |
                                     CLayer::kInOverview | CLayer::kWorking);
    EXPECT_EQ(roads->GetRedrawInterval(), 62);
}

TEST_F(LayerPropSheetTest, TheNameFieldIsShownByAliasAndStoredByName)
{
    parcel->SetIdField("PLOTAS");
    Open(*parcel);
    auto* combo = Control<QComboBox>(kNameFieldCombo);
    std::vector<QString> items;
    for (int i = 0; i < combo->count(); ++i)
        items.push_back(combo->itemText(i));
    EXPECT_EQ(items, (std::vector<QString>{"Pavadinimas", "Plotas, ha", "KAINA", "ARCHYV", "DATA", "KODAS"}));
    EXPECT_EQ(combo->currentText(), "Plotas, ha");
    combo->setCurrentIndex(0);
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_EQ(parcel->GetIdField(), "PAV");

    // An id field the table lacks (or a table not there) is kept.
    roads->SetIdField("PAVAD");
    Open(*roads);
    EXPECT_EQ(Control<QComboBox>(kNameFieldCombo)->count(), 0);
    ASSERT_TRUE(Ok(*roads));
    EXPECT_EQ(roads->GetIdField(), "PAVAD");
}

TEST_F(LayerPropSheetTest, ARasterMapShowsItsTranslucenceAndNotTheVectorControls)
{
    CLayer* raster = Add("Ortofoto", parcels.dir.File("orto.tif"), CLayer::kRaster);
    raster->SetFlags(CLayer::kShown | CLayer::kTransparent);
    Open(*raster);
    EXPECT_TRUE(Visible(1019));
    EXPECT_TRUE(Control<QCheckBox>(1019)->isChecked());
    for (const int id : {1059, 1060, 1062, 1063, 1065, 1069, 1107, kIntervalEdit, kStructureButton, kTypeCombo,
                         kNameFieldCombo})
        EXPECT_FALSE(Visible(id)) << id;
    Control<QCheckBox>(1019)->click();
    ASSERT_TRUE(Ok(*raster));
    EXPECT_EQ(raster->GetFlags(), CLayer::kShown);
}

TEST_F(LayerPropSheetTest, ALayerOfManyFilesListsThemInTheirDialog)
{
    parcel->AddFile(parcels.dir.File("a.gdb"));
    Open(*parcel);
    EXPECT_TRUE(Control<QCheckBox>(1095)->isChecked());
    for (const int id : {kPathEdit, 1061, 1006})
        EXPECT_FALSE(Visible(id)) << id;
    EXPECT_TRUE(Visible(kFilesButton));
    EXPECT_FALSE(Enabled(kFilesButton)) << "no file list dialog";

    LayerSheetHooks().layerFiles = [&](CLayer& layer, QWidget*) {
        EXPECT_EQ(&layer, &sheet->GetWorkingLayer());
        layer.Files() = {{"/m/b1.gdb", CLayer::kUnboundedExtent}, {"/m/b2.gdb", CLayer::kUnboundedExtent}};
        return true;
    };
    Open(*parcel);
    Control<QPushButton>(kFilesButton)->click();
    EXPECT_EQ(Control<QLineEdit>(kPathEdit)->text(), "/m/b1.gdb");
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_EQ(parcel->GetPath(), "/m/b1.gdb");
    EXPECT_EQ(parcel->GetFileCount(), 2);
}

TEST_F(LayerPropSheetTest, TheStructureDialogIsRefusedWhileTheTableWindowIsOpen)
{
    Open(*parcel);
    EXPECT_FALSE(Enabled(kStructureButton)) << "no structure dialog";

    CTableWindows windows;
    Names opened;
    LayerSheetHooks().tableStructure = [&](const std::string& path, QWidget*) {
        opened.push_back(path);
        // The rebuild adds a field.
        MakeTable(path, FieldList({{"PAV", 'C', 20, 0}, {"NAUJAS", 'N', 4, 0}}), {});
        return true;
    };
    for (const int page : {0, 1}) {
        Open(*parcel);
        ASSERT_TRUE(sheet->SetActivePage(page));
        windows.open = parcel;
        Control<QPushButton>(kStructureButton)->click();
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1087});
        EXPECT_TRUE(opened.empty());
        user.messages.clear();
        sheet->GetCancelButton()->click();
    }
    windows.open = nullptr;
    Open(*parcel);
    Control<QPushButton>(kStructureButton)->click();
    EXPECT_EQ(opened, Names{parcels.dir.File("sklypai.dbf")});
    EXPECT_EQ(Control<QComboBox>(kNameFieldCombo)->count(), 2) << "the field list is read again";
}

TEST_F(LayerPropSheetTest, TheTablePageWritesAliasesAndHiddenFields)
{
    parcel->HiddenFields() = {"KODAS"};
    parcel->SetFlag(CLayer::kHasHiddenFields, true);
    Open(*parcel);
    ASSERT_TRUE(sheet->SetActivePage(1));
    auto* list = Control<QTreeView>(1014);
    auto* model = static_cast<QStandardItemModel*>(list->model());
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Pilnas lauko vardas");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Vidinis lauko vardas");
    ASSERT_EQ(model->rowCount(), 7);
    std::vector<QString> rows;
    for (int i = 0; i < model->rowCount(); ++i)
        rows.push_back(model->item(i, 0)->text() + "|" + model->item(i, 1)->text() + "|" +
                       (model->item(i, 0)->checkState() == Qt::Checked ? "on" : "off"));
    EXPECT_EQ(rows, (std::vector<QString>{"Pavadinimas|PAV|on", "Plotas, ha|PLOTAS|on", "KAINA|KAINA|on",
                                          "ARCHYV|ARCHYV|on", "DATA|DATA|on", "PASTABA|PASTABA|on",
                                          "KODAS|KODAS|off"}));
    // The full name is typed over the selected one, a field hidden, a
    // hidden one shown, an alias emptied.
    list->setCurrentIndex(model->index(2, 0));
    list->edit(model->index(2, 0));
    auto* editor = list->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->setText(QString::fromUtf8("Kaina, €"));
    model->item(3, 0)->setCheckState(Qt::Unchecked);
    model->item(6, 0)->setCheckState(Qt::Checked);
    model->item(1, 0)->setText("");
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_EQ(parcel->FieldAliases(), (CStringMap{{"PAV", "Pavadinimas"}, {"KAINA", "Kaina, \x80"}}));
    EXPECT_EQ(parcel->HiddenFields(), Names{"ARCHYV"});
    EXPECT_TRUE(parcel->HasFlag(CLayer::kHasAliases));
    EXPECT_TRUE(parcel->HasFlag(CLayer::kHasHiddenFields));

    // With no alias left the flag goes.
    Open(*parcel);
    ASSERT_TRUE(sheet->SetActivePage(1));
    model = static_cast<QStandardItemModel*>(Control<QTreeView>(1014)->model());
    model->item(0, 0)->setText("PAV");
    model->item(2, 0)->setText("");
    model->item(3, 0)->setCheckState(Qt::Checked);
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_TRUE(parcel->FieldAliases().IsEmpty());
    EXPECT_FALSE(parcel->HasFlag(CLayer::kHasAliases));
    EXPECT_FALSE(parcel->HasFlag(CLayer::kHasHiddenFields));
    EXPECT_TRUE(parcel->HiddenFields().empty());

    // A table that cannot be read is said so and leaves the fields as they are.
    roads->HiddenFields() = {"KODAS"};
    roads->SetFlag(CLayer::kHasHiddenFields, true);
    Open(*roads);
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1007});
    ASSERT_TRUE(Ok(*roads));
    EXPECT_EQ(roads->HiddenFields(), Names{"KODAS"});
    EXPECT_TRUE(roads->HasFlag(CLayer::kHasHiddenFields));
}

TEST_F(LayerPropSheetTest, TheNotesAreEditedOnlyWhenAskedFor)
{
    parcel->SetNotes("Pirma\r\nAntra");
    Open(*parcel);
    ASSERT_TRUE(sheet->SetActivePage(sheet->GetPageIndex(sheet->FindPage(LayerSheetPage::kNotes))));
    auto* notes = Control<QPlainTextEdit>(1017);
    EXPECT_EQ(notes->toPlainText(), "Pirma\nAntra");
    EXPECT_TRUE(notes->isReadOnly());
    Control<QCheckBox>(1015)->click();
    EXPECT_FALSE(notes->isReadOnly());
    EXPECT_EQ(notes->textCursor().position(), notes->toPlainText().size());
    EXPECT_EQ(sheet->focusWidget(), notes);
    notes->insertPlainText(QString::fromUtf8("\nTrečia"));
    Control<QCheckBox>(1015)->click();
    EXPECT_TRUE(notes->isReadOnly());
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_EQ(parcel->GetNotes(), "Pirma\r\nAntra\r\nTre\xE8ia");
}

TEST_F(LayerPropSheetTest, TheScalePageRebuildsTheSublayersAtOnce)
{
    CLayer* raster = Add("Ortofoto", parcels.dir.File("orto.tif"), CLayer::kRaster);
    Open(*raster);
    ASSERT_TRUE(sheet->SetActivePage(1));
    auto* minimum = Control<QComboBox>(1016);
    auto* maximum = Control<QComboBox>(1015);
    EXPECT_EQ(minimum->count(), 15);
    EXPECT_EQ(minimum->itemText(0), "1:MIN");
    EXPECT_EQ(maximum->itemText(14), "1:MAX");
    EXPECT_EQ(minimum->currentText(), "1:MIN");
    EXPECT_EQ(maximum->currentText(), "1:MAX");
    const auto choose = [](QComboBox* combo, const char* text) {
        const int index = combo->findText(QString::fromUtf8(text));
        ASSERT_GE(index, 0) << text;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    };
    const auto limits = [this] {
        std::vector<std::pair<int32_t, int>> bands;
        const CLayer& working = sheet->GetWorkingLayer();
        for (int i = 0; i < working.GetSublayerCount(); ++i)
            bands.emplace_back(working.GetSublayer(i)->m_lowerLimit, working.GetSublayer(i)->m_kind);
        return bands;
    };
    using Bands = std::vector<std::pair<int32_t, int>>;
    choose(maximum, "1:2 000");
    EXPECT_EQ(limits(), (Bands{{0, 1}, {2000, 0}}));
    choose(minimum, "1:50 000");
    EXPECT_EQ(limits(), (Bands{{0, 0}, {2000, 1}, {50000, 0}}));
    EXPECT_EQ(raster->GetSublayerCount(), 1) << "the layer waits for OK";
    ASSERT_TRUE(Ok(*raster));
    const CScaleRange range = GetRasterScaleRange(*raster);
    EXPECT_EQ(range.minimum, 2000);
    EXPECT_EQ(range.maximum, 50000);

    // Opened again, the combos show the range.
    Open(*raster);
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_EQ(Control<QComboBox>(1016)->currentText(), "1:2 000");
    EXPECT_EQ(Control<QComboBox>(1015)->currentText(), "1:50 000");
    choose(Control<QComboBox>(1016), "1:MIN");
    choose(Control<QComboBox>(1015), "1:MAX");
    EXPECT_EQ(limits(), (Bands{{0, 1}}));
}

TEST_F(LayerPropSheetTest, CancelAfterEveryPageLeavesTheLayerAsItWas)
{
    PlugPages();
    CLayer* raster = Add("Ortofoto", parcels.dir.File("orto.tif"), CLayer::kRaster);
    parcel->SetFilter("(PAV = \"a\")");
    parcel->SetNotes("Pastaba");
    for (CLayer* layer : {parcel, raster}) {
        const std::vector<unsigned char> before = StoreObject(*layer);
        Open(*layer);
        // Every page visited and something changed on the pages that edit.
        for (int page = 0; page < sheet->GetPageCount(); ++page) {
            ASSERT_TRUE(sheet->SetActivePage(page)) << page;
            CPropertyPage* shown = sheet->GetActivePage();
            if (auto* name = FindControl<QLineEdit>(shown, kNameEdit))
                name->setText("Kitas");
            if (auto* box = FindControl<QCheckBox>(shown, 1015))
                box->click();
            if (auto* list = FindControl<QTreeView>(shown, 1014))
                static_cast<QStandardItemModel*>(list->model())->item(0, 0)->setText("Kitas vardas");
            if (auto* remove = FindControl<QPushButton>(shown, 1046))
                remove->click();
            if (auto* minimum = FindControl<QComboBox>(shown, 1016); minimum && layer == raster) {
                minimum->setCurrentIndex(5);
                emit minimum->activated(5);
            }
            if (auto* notes = FindControl<QPlainTextEdit>(shown, 1017))
                notes->setPlainText("Kita");
        }
        ASSERT_TRUE(sheet->SetActivePage(0));
        EXPECT_EQ(sheet->GetWorkingLayer().GetName(), "Kitas");
        sheet->GetCancelButton()->click();
        EXPECT_EQ(sheet->result(), IDCANCEL);
        EXPECT_EQ(StoreObject(*layer), before) << layer->GetName();
    }
}

TEST_F(LayerPropSheetTest, TheModalRunCopiesBackOnOkAndThePlacemarksFollowTheOldName)
{
    CLayer* marks = Add("Vietos", parcels.dir.File("vietos.gdb"), CLayer::kPoint);
    doc.Settings().placemarksLayer = "Vietos";
    const auto answer = [](const char* name, bool ok) {
        QTimer::singleShot(0, [name, ok] {
            auto* shown = dynamic_cast<CLayerPropSheet*>(QApplication::activeModalWidget());
            ASSERT_TRUE(shown);
            FindControl<QLineEdit>(shown->GetActivePage(), kNameEdit)->setText(name);
            (ok ? shown->GetOkButton() : shown->GetCancelButton())->click();
        });
    };
    answer("Kitos", false);
    EXPECT_FALSE(RunLayerPropSheet(*marks, &doc, -1));
    EXPECT_EQ(marks->GetName(), "Vietos");
    answer("Mano vietos", true);
    EXPECT_TRUE(RunLayerPropSheet(*marks, &doc, -1));
    EXPECT_EQ(marks->GetName(), "Mano vietos");
    EXPECT_EQ(doc.Settings().placemarksLayer, "Mano vietos");

    // A group without a page of the type does not open at all.
    EXPECT_FALSE(RunLayerPropSheet(*marks, &doc, 0));
}

} // namespace
