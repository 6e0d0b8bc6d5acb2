// The object list (134), the address search (30724), the places manager
// (389) and the small prompts (308, 30812, 30800, 30819) offscreen, their
// controls found by resource id.
#include "search/widgets/AddressSearchDlg.h"
#include "search/widgets/ObjectListDlg.h"
#include "search/widgets/PlacesDlg.h"
#include "search/widgets/PromptDlgs.h"
#include "search/widgets/SearchDialogs.h"
#include "search/widgets/WindowPlacement.h"

#include "search/ObjectList.h"
#include "search/RecentSearches.h"
#include "search/StreetSearch.h"
#include "search/widgets/NameCombo.h"
#include "shell/widgets/ControlIds.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/search/FindTestSupport.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

template <class T = QWidget>
T* Control(QWidget& dialog, int id)
{
    T* control = FindControl<T>(&dialog, id);
    EXPECT_TRUE(control) << id;
    return control;
}

void Click(QWidget& dialog, int id)
{
    auto* button = Control<QPushButton>(dialog, id);
    ASSERT_TRUE(button);
    ASSERT_TRUE(button->isEnabled()) << id;
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

void Open(QDialog& dialog)
{
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
}

class ListDialogsTest : private CWithApplication, public CFindFixture {
protected:
    ListDialogsTest()
    {
        RecentSearches().Clear();
        CObjectList::Options() = {};
        CStreetSearch::Options() = {};
    }
    ~ListDialogsTest() override
    {
        RecentSearches().Clear();
        CObjectList::Options() = {};
        CStreetSearch::Options() = {};
    }
    void AddStreets()
    {
        CMapSettings& s = doc.Settings();
        s.streetsLayer = "Gatves";
        s.codeField = "CODE";
        s.addressesLayer = "Adresai";
        s.streetCodeField = "CODE";
        s.numField = "NUM";
        s.letterField = "LET";
        streets = &AddLayer("Gatves", CLayer::kLine, {{"NAME", 'C', 30, 0}, {"CODE", 'N', 8, 0}},
                            {{"Vilniaus g.", "7"}, {"Pylimo g.", "8"}, {"Vilniaus g.", "7"}});
        AddLayer("Adresai", CLayer::kPoint, {{"CODE", 'N', 8, 0}, {"NUM", 'C', 6, 0}, {"LET", 'C', 2, 0}},
                 {{"7", "10", ""}, {"7", "16", ""}});
    }
    void Type(QWidget& dialog, int id, const char* text)
    {
        auto* combo = Control<QComboBox>(dialog, id);
        ASSERT_TRUE(combo);
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), QString::fromUtf8(text));
        QCoreApplication::processEvents();
    }

    CLayer* streets = nullptr;
};

TEST_F(ListDialogsTest, ObjectListFoldsShowsAndKeepsOpenAsAsked)
{
    CLayer& layer = AddNamedPoints("Objektai", {"A", Cp("Beržas"), "A", "A"});
    CObjectList list(layer, view);
    ASSERT_TRUE(list.Load(true));
    CObjectListDlg dialog(list);
    Open(dialog);
    EXPECT_EQ(GetControlId(&dialog), 134);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Objektų sąrašas"));
    auto* count = Control<QLabel>(dialog, 1066);
    auto* fold = Control<QCheckBox>(dialog, 1065);
    auto* names = Control<CNameCombo>(dialog, 1012);
    ASSERT_TRUE(count && fold && names);
    EXPECT_TRUE(fold->isChecked());
    EXPECT_EQ(count->text(), "2");
    for (const int id : {1, 1055, 1056, 1089, 2})
        EXPECT_FALSE(Control<QPushButton>(dialog, id)->toolTip().isEmpty()) << id;
    SaveScreenshot(dialog, "search-134-object-list");

    // Unfolded, every object is an entry.
    fold->setChecked(false);
    EXPECT_EQ(count->text(), "4");
    EXPECT_EQ(names->count(), 4);
    fold->setChecked(true);

    // Typing completes; with keep-open the view shows all three at once.
    Control<QCheckBox>(dialog, 1016)->setChecked(true);
    Type(dialog, 1012, "B");
    EXPECT_EQ(names->GetText(), Cp("Beržas"));
    Type(dialog, 1012, "A");
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Marks(), 3);
    EXPECT_TRUE(list.GetChosen().empty());
    EXPECT_TRUE(CObjectList::Options().keepOpen) << "remembered for the next time";

    // Without it OK ends the dialog with the records chosen.
    Control<QCheckBox>(dialog, 1016)->setChecked(false);
    Click(dialog, IDOK);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(list.GetChosen(), (std::vector<int32_t>{0, 2, 3}));
}

TEST_F(ListDialogsTest, ObjectListStandsLeftOfTheMiddleOfTheWorkArea)
{
    CLayer& layer = AddNamedPoints("Objektai", {"A"});
    CObjectList list(layer, view);
    ASSERT_TRUE(list.Load(true));
    CObjectListDlg dialog(list);
    Open(dialog);
    // Where the rule puts it on this screen (the rule's cases are headless).
    const CRect area = ToCRect(QGuiApplication::primaryScreen()->availableGeometry());
    const CRect frame = ToCRect(dialog.frameGeometry());
    EXPECT_EQ(frame, PlaceObjectListWindow(frame, area));
    EXPECT_EQ(frame.top, area.CenterPoint().y - frame.Height() / 2);
    if (frame.Width() <= area.Width() / 2 - 20) {
        EXPECT_EQ(frame.right, area.CenterPoint().x - 20);
    }
}

TEST_F(ListDialogsTest, ObjectListDeletesOnlyAfterYesAndCountsAgain)
{
    CLayer& layer = AddNamedPoints("Objektai", {"A", "B", "A"});
    layer.SetFlags(CLayer::kDefaultFlags);
    CObjectList list(layer, view);
    ASSERT_TRUE(list.Load(true));
    CObjectListDlg dialog(list);
    Open(dialog);
    Type(dialog, 1012, "A");
    Click(dialog, 1089);
    EXPECT_EQ(Messages(), (std::vector<unsigned>{1038}));
    Type(dialog, 1012, "B");
    user.answers = {IDNO, IDYES};
    Click(dialog, 1089);
    EXPECT_EQ(Control<QLabel>(dialog, 1066)->text(), "2");
    Click(dialog, 1089);
    EXPECT_EQ(Control<QLabel>(dialog, 1066)->text(), "1");
    EXPECT_EQ(Messages(), (std::vector<unsigned>{1038, 2006, 2006}));
}

TEST_F(ListDialogsTest, AddressSearchModeEnablesOkOnAStreet)
{
    AddStreets();
    CStreetSearch search(*streets, view, CStreetSearch::kSearchMode);
    ASSERT_TRUE(search.Load());
    CAddressSearchDlg dialog(search);
    Open(dialog);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Adreso paieška"));
    auto* ok = Control<QPushButton>(dialog, IDOK);
    ASSERT_TRUE(ok);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(Control(dialog, 1016)->isVisible());
    EXPECT_FALSE(Control(dialog, 1102)->isVisible());
    EXPECT_EQ(Control<QLineEdit>(dialog, 1017)->maxLength(), 4);
    Type(dialog, 1012, "Vil");
    EXPECT_EQ(Control<QComboBox>(dialog, 1012)->currentText(), "Vilniaus g.");
    EXPECT_TRUE(ok->isEnabled());
    Type(dialog, 1012, "Vilniaus gatve");
    EXPECT_FALSE(ok->isEnabled());
    Type(dialog, 1012, "P");
    QTest::keyClicks(Control<QLineEdit>(dialog, 1017), "10");
    SaveScreenshot(dialog, "search-30724-address-search");

    // Keep-open: the street is shown and the dialog stays.
    Control<QCheckBox>(dialog, 1016)->setChecked(true);
    Type(dialog, 1012, "Vil");
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Marks(), 2); // the house's marker and label
    EXPECT_EQ(host.messageTexts.back(), "Vilniaus g. 10");
    EXPECT_EQ(RecentSearches().Texts(), (std::vector<std::string>{"Vilniaus g. 10"}));
}

TEST_F(ListDialogsTest, AddressPickModeAsksForAHouseAndHandsTheAddressBack)
{
    AddStreets();
    CStreetSearch search(*streets, view, CStreetSearch::kPickMode);
    ASSERT_TRUE(search.Load());
    CAddressSearchDlg dialog(search);
    Open(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Adresas");
    EXPECT_EQ(Control<QPushButton>(dialog, IDOK)->text(), "OK");
    EXPECT_EQ(Control<QPushButton>(dialog, IDCANCEL)->text(), "Atsisakyti");
    EXPECT_TRUE(Control(dialog, 1102)->isVisible());
    EXPECT_FALSE(Control(dialog, 1016)->isVisible());
    Type(dialog, 1012, "Vil");
    EXPECT_FALSE(Control(dialog, IDOK)->isEnabled()) << "no house number yet";
    EXPECT_TRUE(Control(dialog, 1102)->isEnabled());
    QTest::keyClicks(Control<QLineEdit>(dialog, 1017), "16");
    EXPECT_TRUE(Control(dialog, IDOK)->isEnabled());
    SaveScreenshot(dialog, "search-30724-address-pick");
    Click(dialog, 1102);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1102);
    EXPECT_EQ(Control<QComboBox>(dialog, 1012)->currentText(), "Vilniaus g. 16");
    EXPECT_EQ(search.GetFound().kind, CStreetAddress::kHouse);
    EXPECT_EQ(Marks(), 0);
}

TEST_F(ListDialogsTest, WithoutAnAddressesLayerTheHouseNumberIsHidden)
{
    AddStreets();
    doc.Settings().addressesLayer.clear();
    CStreetSearch search(*streets, view, CStreetSearch::kSearchMode);
    ASSERT_TRUE(search.Load());
    CAddressSearchDlg dialog(search);
    Open(dialog);
    EXPECT_FALSE(Control(dialog, 1017)->isVisible());
    EXPECT_FALSE(Control(dialog, 1059)->isVisible());
}

TEST_F(ListDialogsTest, PlacesRemovedByPositionAndShownWhileOpen)
{
    CCallLog log;
    CRecordingHost places(log);
    for (const char* name : {"Centras", "centras", "Stotis"})
        doc.AddBookmark(name, CMapRect(1000, 900, 1400, 700));
    CPlacesDlg dialog(doc, [this] { return &view; });
    Open(dialog);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Vietų tvarkymas"));
    auto* list = Control<QListWidget>(dialog, 1014);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 3);
    EXPECT_FALSE(Control(dialog, 1055)->isEnabled());
    EXPECT_TRUE(Control(dialog, 1056)->isEnabled());
    EXPECT_FALSE(Control(dialog, 1089)->isEnabled());
    list->setCurrentRow(2);
    EXPECT_TRUE(Control(dialog, 1055)->isEnabled());
    SaveScreenshot(dialog, "search-389-places");

    Click(dialog, 1089);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_LE(view.GetMapExtent().left, 1000);
    EXPECT_GT(view.GetMapExtent().left, 500);

    // The last removed: the one before it is selected.
    Click(dialog, 1055);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(list->currentItem()->text(), "centras");
    Click(dialog, 1055);
    EXPECT_EQ(list->item(0)->text(), "Centras");
    EXPECT_TRUE(doc.IsModified());
    Click(dialog, 1055);
    EXPECT_EQ(list->count(), 0);
    for (const int id : {1055, 1056, 1089})
        EXPECT_FALSE(Control(dialog, id)->isEnabled()) << id;
    EXPECT_EQ(log, CCallLog(3, "places box"));
}

TEST_F(ListDialogsTest, RemovingAllPlaces)
{
    CCallLog log;
    CRecordingHost places(log);
    doc.AddBookmark("Centras", CMapRect(0, 100, 100, 0));
    doc.AddBookmark("Stotis", CMapRect(0, 100, 100, 0));
    CPlacesDlg dialog(doc, [] { return nullptr; });
    Open(dialog);
    Click(dialog, 1056);
    EXPECT_EQ(Control<QListWidget>(dialog, 1014)->count(), 0);
    EXPECT_EQ(doc.GetBookmarkCount(), 0);
    EXPECT_FALSE(Control(dialog, 1056)->isEnabled());
    EXPECT_EQ(log, CCallLog{"places box"});
}

TEST_F(ListDialogsTest, ArchiveDateStartsAWeekBack)
{
    CArchiveRecordsDlg dialog({{2024, 4, 2}, 12, 0, 0});
    Open(dialog);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Įrašų archyvavimas"));
    auto* picker = Control<QDateTimeEdit>(dialog, 1079);
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->dateTime(), QDateTime(QDate(2024, 3, 26), QTime(12, 0)));
    EXPECT_DOUBLE_EQ(dialog.GetDate(), ToDaySerial({{2024, 3, 26}, 12, 0, 0}));
    SaveScreenshot(dialog, "search-308-archive-date");
}

TEST_F(ListDialogsTest, APlaceNameTakesAtMostFiftyCharacters)
{
    CRememberPlaceDlg dialog;
    Open(dialog);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Vietos įsiminimas"));
    auto* name = Control<QLineEdit>(dialog, 1004);
    ASSERT_TRUE(name);
    EXPECT_TRUE(name->text().isEmpty());
    // Pasted: the rest is cut off.
    QApplication::clipboard()->setText(QString(60, QChar(0x17E))); // ž
    name->setFocus();
    name->paste();
    EXPECT_EQ(name->text().size(), 50);
    EXPECT_EQ(dialog.GetName(), std::string(50, '\xFE'));
    SaveScreenshot(dialog, "search-30812-place-name");
}

TEST_F(ListDialogsTest, CoordinateFormatFromItsRadios)
{
    struct Case {
        int radio;
        int format;
    };
    for (const Case& c : {Case{1026, ICoordTableDialogs::kDecimalDegrees}, Case{1024, ICoordTableDialogs::kDegreeText}}) {
        CCoordFormatDlg dialog;
        Open(dialog);
        Control<QRadioButton>(dialog, c.radio)->setChecked(true);
        if (c.radio == 1026)
            SaveScreenshot(dialog, "search-30800-coordinate-format");
        Click(dialog, IDOK);
        EXPECT_EQ(dialog.GetFormat(), c.format);
        // The next one offers it again.
        CCoordFormatDlg next;
        EXPECT_TRUE(Control<QRadioButton>(next, c.radio)->isChecked());
    }
}

TEST_F(ListDialogsTest, TheSearchDialogsAskTheFormatAndHandTheFieldsOn)
{
    struct CBefore : ICoordTableDialogs {
        bool AskCoordinateFields(const CDbfTable&, const std::string& path, CFieldChoice& choice) override
        {
            asked = path;
            choice.xField = "X";
            return true;
        }
        std::string asked;
    } before;
    CSearchDialogs dialogs;
    CDbfTable table;
    ICoordTableDialogs::CFieldChoice choice;
    EXPECT_FALSE(dialogs.AskCoordinateFields(table, "a.dbf", choice));
    dialogs.SetCoordTableBefore(&before);
    EXPECT_TRUE(dialogs.AskCoordinateFields(table, "a.dbf", choice));
    EXPECT_EQ(before.asked, "a.dbf");
    EXPECT_EQ(choice.xField, "X");

    bool looked = false;
    int format = -1;
    WithModalWindow([&] { format = dialogs.AskCoordinateFormat(); },
                    [&](QWidget& window) {
                        looked = GetControlId(&window) == 30800;
                        Control<QRadioButton>(window, 1026)->setChecked(true);
                        QTest::mouseClick(Control<QPushButton>(window, IDCANCEL), Qt::LeftButton);
                    });
    EXPECT_TRUE(looked);
    EXPECT_EQ(format, ICoordTableDialogs::kCancelled);
}

TEST_F(ListDialogsTest, SortRecordsByCaptionAndNothingWithoutAField)
{
    CLayer& layer = AddLayer("Rikiuoti", CLayer::kPoint, {{"NAME", 'C', 10, 0}, {"KIEKIS", 'N', 8, 0}}, {{"X"}});
    layer.FieldAliases().SetAt("KIEKIS", "Kiekis vnt.");
    layer.SetFlag(CLayer::kHasAliases, true);
    {
        CSortRecordsDlg dialog(layer);
        Open(dialog);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Įrašų rikiavimas"));
        auto* fields = Control<QComboBox>(dialog, 1012);
        ASSERT_EQ(fields->count(), 2);
        EXPECT_EQ(fields->currentIndex(), 0);
        EXPECT_TRUE(Control<QRadioButton>(dialog, 1024)->isChecked());
        fields->setCurrentIndex(1);
        Control<QRadioButton>(dialog, 1025)->setChecked(true);
        Control<QCheckBox>(dialog, 1015)->setChecked(true);
        SaveScreenshot(dialog, "search-30819-sort-records");
        Click(dialog, IDOK);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.GetChoice().field, "KIEKIS");
        EXPECT_EQ(dialog.GetChoice().direction, 1);
        EXPECT_TRUE(dialog.GetChoice().intoSource);
    }
    CLayer& memoOnly = AddLayer("Tik memo", CLayer::kPoint, {{"MEMO", 'M', 10, 0}}, {{""}}, "");
    CSortRecordsDlg dialog(memoOnly);
    Open(dialog);
    EXPECT_EQ(Control<QComboBox>(dialog, 1012)->count(), 0);
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
}

} // namespace
