// The object list and the address search without their windows, the
// places manager, the rules of the small prompts and the recent searches.
#include "search/ObjectList.h"

#include "layers/ShapefileSource.h"
#include "mapdoc/DrelView.h"
#include "search/PlacesManager.h"
#include "search/PromptRules.h"
#include "search/RecentSearches.h"
#include "search/StreetSearch.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/search/FindTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Entries(const CNameList& list)
{
    std::ostringstream out;
    for (const CNameEntry& entry : list.Entries())
        out << (out.tellp() > 0 ? " " : "") << entry.text << ':' << entry.record;
    return out.str();
}

class ObjectList : public CFindFixture {
protected:
    ObjectList() { RecentSearches().Clear(); }
    ~ObjectList() override { RecentSearches().Clear(); }

    // Three objects named "A", one "B".
    CLayer& AddObjects() { return AddNamedPoints("Objektai", {"A", "B", "A", "A"}); }
};

TEST_F(ObjectList, AFoldedNameShowsAllItsObjectsUnfoldedEachItsOwn)
{
    CLayer& layer = AddObjects();
    CObjectList list(layer, view);
    ASSERT_TRUE(list.Load(true));
    EXPECT_EQ(Entries(list.Names()), "A:0 B:1");
    ASSERT_TRUE(list.Choose(-1, "A"));
    EXPECT_EQ(list.GetChosen(), (std::vector<int32_t>{0, 2, 3}));
    list.ShowChosen(true);
    EXPECT_EQ(Marks(), 3);
    EXPECT_TRUE(list.GetChosen().empty());

    list.SetFolded(false);
    EXPECT_EQ(Entries(list.Names()), "A:0 A:2 A:3 B:1");
    for (const int entry : {0, 1, 2}) {
        ASSERT_TRUE(list.Choose(entry, "A"));
        EXPECT_EQ(list.GetChosen(), (std::vector<int32_t>{list.Names().GetRecord(entry)}));
        list.ShowChosen(false);
        EXPECT_EQ(Marks(), 1) << entry;
    }
    EXPECT_EQ(RecentSearches().Texts(), (std::vector<std::string>{"A"}));
    EXPECT_EQ(user.beeps, 0);
}

TEST_F(ObjectList, NothingMatchingBeepsAndChoosesNothing)
{
    CLayer& layer = AddObjects();
    CObjectList list(layer, view);
    ASSERT_TRUE(list.Load(true));
    // Neither a part of a name nor another letter case is a match.
    for (const char* typed : {"", "a", "A ", "C"}) {
        EXPECT_FALSE(list.Choose(-1, typed)) << typed;
        list.ShowInfo(-1, typed);
        EXPECT_EQ(list.EditInfo(-1, typed), -1);
        EXPECT_FALSE(list.Delete(-1, typed));
    }
    EXPECT_EQ(user.beeps, 16);
    EXPECT_TRUE(list.GetChosen().empty());
    EXPECT_TRUE(RecentSearches().Texts().empty());
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(host.log.empty());
}

TEST_F(ObjectList, TheLayersSelectionElseItsFilterDecidesWhatIsListed)
{
    CLayer& layer = AddObjects();
    layer.SetFilter("NAME = 'A'");
    {
        CObjectList list(layer, view);
        ASSERT_TRUE(list.Load(false));
        EXPECT_EQ(Entries(list.Names()), "A:0 A:2 A:3");
    }
    const int32_t selection[] = {1, 3};
    layer.SetFilter("");
    layer.SetRecordList(selection, 2);
    CObjectList list(layer, view);
    ASSERT_TRUE(list.Load(false));
    EXPECT_EQ(Entries(list.Names()), "A:3 B:1");
    layer.SetRecordList(nullptr, 0);
}

TEST_F(ObjectList, WithoutANameFieldOrAReadableFileItSays1004)
{
    CLayer& nameless = AddLayer("Be vardu", CLayer::kPoint, {{"NAME", 'C', 10, 0}}, {{"X"}}, "VARDAS");
    CLayer& unnamed = AddLayer("Be lauko", CLayer::kPoint, {{"NAME", 'C', 10, 0}}, {{"X"}}, "");
    CLayer& missing = AddObjects();
    missing.SetPath(dir.File("nera.gdb"));
    for (CLayer* layer : {&nameless, &unnamed, &missing}) {
        user.messages.clear();
        CObjectList list(*layer, view);
        EXPECT_FALSE(list.Load(true)) << layer->GetName();
        EXPECT_EQ(Messages(), (std::vector<unsigned>{1004})) << layer->GetName();
    }
}

TEST_F(ObjectList, EditingAndDeletingRefuseAsTheLayerAndTheFoldingSay)
{
    CLayer& layer = AddObjects();
    layer.SetFlags(CLayer::kDefaultFlags);
    CObjectList list(layer, view);
    ASSERT_TRUE(list.Load(true));
    // A folded "A" stands for three objects.
    EXPECT_EQ(list.EditInfo(-1, "A"), -1);
    EXPECT_FALSE(list.Delete(-1, "A"));
    EXPECT_EQ(Messages(), (std::vector<unsigned>{1038, 1038}));
    user.messages.clear();
    layer.SetFlags(CLayer::kShown | CLayer::kWorking);
    EXPECT_EQ(list.EditInfo(-1, "B"), -1);
    EXPECT_FALSE(list.Delete(-1, "B"));
    EXPECT_EQ(Messages(), (std::vector<unsigned>{1035, 1021}));
    EXPECT_TRUE(form.editedRecords.empty());

    // Allowed, B's record goes through the record form and is deleted after Yes.
    layer.SetFlags(CLayer::kDefaultFlags);
    user.messages.clear();
    EXPECT_EQ(list.EditInfo(-1, "B"), 1);
    EXPECT_EQ(form.editedRecords, (std::vector<int>{1}));
    user.answers = {IDYES};
    EXPECT_TRUE(list.Delete(1, "B"));
    EXPECT_EQ(Entries(list.Names()), "A:0");
    EXPECT_EQ(Messages(), (std::vector<unsigned>{2006}));
}

TEST_F(ObjectList, AnObjectThatCouldNotBeDeletedKeepsItsEntry)
{
    // A Shapefile cannot delete its objects; a file gone meanwhile cannot
    // be written.
    const std::string shapes = dir.File("objektai.shp");
    {
        CShapefileSource source;
        ASSERT_TRUE(source.Create(shapes, CFeatureSource::kPoint, FieldList({{"NAME", 'C', 10, 0}}).data()));
        for (const char* name : {"A", "B"}) {
            ASSERT_TRUE(source.AppendPoint(CMapPoint(100, 500), false));
            source.GetTable().SetField(0, name);
            ASSERT_TRUE(source.GetTable().WriteRecord());
        }
    }
    auto shapeLayer = std::make_unique<CLayer>("Formos", shapes, CLayer::kPoint);
    shapeLayer->SetIdField("NAME");
    CLayer& shapefile = *shapeLayer;
    doc.AddLayer(std::move(shapeLayer), false);
    CLayer& gone = AddNamedPoints("Dingo", {"A", "B"});
    struct Case {
        CLayer* layer;
        unsigned refusal;
    };
    for (const Case& c : {Case{&shapefile, 1021}, Case{&gone, 1044}}) {
        c.layer->SetFlags(CLayer::kDefaultFlags);
        CObjectList list(*c.layer, view);
        ASSERT_TRUE(list.Load(false));
        const std::string path = c.layer->GetPath();
        if (c.layer == &gone)
            c.layer->SetPath(dir.File("nera.gdb"));
        user.messages.clear();
        user.answers = {IDYES};
        EXPECT_FALSE(list.Delete(-1, "B"));
        c.layer->SetPath(path);
        EXPECT_EQ(Messages(), (std::vector<unsigned>{2006, c.refusal}));
        EXPECT_EQ(Entries(list.Names()), "A:0 B:1");
    }
}

TEST(ObjectListPlacement, RightEdgeLeftOfTheMiddleCentredAndKeptInside)
{
    struct Case {
        CRect window;
        CRect area;
        CRect placed;
    };
    const Case cases[] = {
        {{0, 0, 300, 200}, {0, 0, 1000, 800}, {180, 300, 480, 500}},
        {{5, 5, 305, 205}, {100, 50, 1100, 850}, {280, 350, 580, 550}},
        // Wider than the left half: kept inside on the left.
        {{0, 0, 700, 200}, {0, 0, 1000, 800}, {0, 300, 700, 500}},
        // Taller than the area: its top inside.
        {{0, 0, 300, 900}, {0, 0, 1000, 800}, {180, 0, 480, 900}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceObjectListWindow(c.window, c.area), c.placed) << c.window.Width() << 'x' << c.window.Height();
}

TEST(RecentSearchesList, NewestFirstEachOnce)
{
    CRecentSearches searches;
    for (const char* text : {"Liepa", "", "Klevas", "Liepa", "liepa"})
        searches.Add(text);
    EXPECT_EQ(searches.Texts(), (std::vector<std::string>{"liepa", "Liepa", "Klevas"}));
}

// ------------------------------------------------------------ address search

class StreetSearch : public CFindFixture {
protected:
    StreetSearch()
    {
        RecentSearches().Clear();
        CMapSettings& s = doc.Settings();
        s.streetsLayer = "Gatves";
        s.codeField = "CODE";
        s.addressesLayer = "Adresai";
        s.streetCodeField = "CODE";
        s.numField = "NUM";
        s.letterField = "LET";
        streets = &AddLayer("Gatves", CLayer::kLine, {{"NAME", 'C', 30, 0}, {"CODE", 'N', 8, 0}},
                            {{"Vilniaus g.", "7"}, {"Pylimo g.", "8"}, {"Vilniaus g.", "7"}, {"", "9"}});
        // Houses 10 and 16 of street 7.
        AddLayer("Adresai", CLayer::kPoint, {{"CODE", 'N', 8, 0}, {"NUM", 'C', 6, 0}, {"LET", 'C', 2, 0}},
                 {{"7", "10", ""}, {"7", "16", ""}});
    }
    ~StreetSearch() override { RecentSearches().Clear(); }

    CLayer* streets = nullptr;
};

TEST_F(StreetSearch, NamedStreetsFoldedAndWhenOkMayBePressed)
{
    CStreetSearch search(*streets, view, CStreetSearch::kSearchMode);
    ASSERT_TRUE(search.Load());
    EXPECT_TRUE(search.HasHouseNumbers());
    EXPECT_EQ(Entries(search.Streets()), "Pylimo g.:1 Vilniaus g.:0");
    EXPECT_EQ(search.Streets().Records(1), (std::vector<int32_t>{0, 2}));

    struct Case {
        int mode;
        bool named;
        const char* house;
        bool ok;
    };
    const Case cases[] = {
        {CStreetSearch::kSearchMode, false, "", false}, {CStreetSearch::kSearchMode, true, "", true},
        {CStreetSearch::kSearchMode, true, "10", true}, {CStreetSearch::kPickMode, true, "", false},
        {CStreetSearch::kPickMode, true, "10", true},   {CStreetSearch::kPickMode, false, "10", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CStreetSearch(*streets, view, c.mode).CanShow(c.named, c.house), c.ok)
            << c.mode << ' ' << c.named << ' ' << c.house;

    doc.Settings().addressesLayer.clear();
    EXPECT_FALSE(search.HasHouseNumbers());
}

TEST_F(StreetSearch, AStreetThatCannotBeReadSays1004)
{
    streets->SetPath(dir.File("nera.gdb"));
    CStreetSearch search(*streets, view, CStreetSearch::kSearchMode);
    EXPECT_FALSE(search.Load());
    EXPECT_EQ(Messages(), (std::vector<unsigned>{1004}));
}

TEST_F(StreetSearch, AnExactHouseClosesOrIsShownAsTheBoxSays)
{
    CStreetSearch search(*streets, view, CStreetSearch::kSearchMode);
    ASSERT_TRUE(search.Load());
    // Without keep-open the caller shows it.
    EXPECT_EQ(search.Show(-1, "Vilniaus g.", "10", false, true), CStreetSearch::kClose);
    EXPECT_EQ(search.GetFound().kind, CStreetAddress::kHouse);
    EXPECT_EQ(search.GetFound().GetText(), "Vilniaus g. 10");
    EXPECT_EQ(Marks(), 0);
    // With it, the view shows the house: marker and label.
    EXPECT_EQ(search.Show(1, "Vilniaus g.", "16", true, true), CStreetSearch::kShown);
    EXPECT_EQ(Marks(), 2);
    EXPECT_EQ(host.messageTexts.back(), "Vilniaus g. 16");
    EXPECT_EQ(RecentSearches().Texts(), (std::vector<std::string>{"Vilniaus g. 16", "Vilniaus g. 10"}));
    EXPECT_TRUE(Messages().empty());
    // Nothing of that text: a beep.
    EXPECT_EQ(search.Show(-1, "Vilniaus", "10", true, true), CStreetSearch::kNothing);
    EXPECT_EQ(user.beeps, 1);
}

TEST_F(StreetSearch, WithoutANumberTheStreetAndItsHouseNumbers)
{
    CStreetSearch search(*streets, view, CStreetSearch::kSearchMode);
    ASSERT_TRUE(search.Load());
    const CMapRect before = view.GetMapExtent();
    EXPECT_EQ(search.Show(-1, "Vilniaus g.", "", true, false), CStreetSearch::kShown);
    EXPECT_EQ(Marks(), 4); // both records and two house numbers
    EXPECT_EQ(view.GetMapExtent(), before) << "the scale is fitted only when asked";
    EXPECT_EQ(host.messageTexts.back(), "Vilniaus g.");
    EXPECT_EQ(search.GetFound().streetRecords, (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(RecentSearches().Texts(), (std::vector<std::string>{"Vilniaus g."}));
}

TEST_F(StreetSearch, HousesNotThereAskAndNoEndsTheSearch)
{
    struct Case {
        const char* house;
        int answer;
        unsigned asked;
        int kind;
        const char* text;
    };
    const Case cases[] = {
        {"18", IDNO, 2001, CStreetAddress::kNothing, ""},
        {"18", IDYES, 2001, CStreetAddress::kHouse, "Vilniaus g. 18"},
        {"11", IDNO, 2002, CStreetAddress::kNothing, ""},
        {"11", IDYES, 2002, CStreetAddress::kStreet, "Vilniaus g."},
        {"abc", IDYES, 2002, CStreetAddress::kStreet, "Vilniaus g."},
        {"99999", IDNO, 2002, CStreetAddress::kNothing, ""},
    };
    for (const Case& c : cases) {
        RecentSearches().Clear();
        user.messages.clear();
        user.answers = {c.answer};
        CStreetSearch search(*streets, view, CStreetSearch::kPickMode);
        ASSERT_TRUE(search.Load());
        const CStreetSearch::Outcome outcome = search.Show(1, "Vilniaus g.", c.house, true, true);
        EXPECT_EQ(Messages(), (std::vector<unsigned>{c.asked})) << c.house;
        EXPECT_EQ(search.GetFound().kind, c.kind) << c.house;
        // Pick mode shows nothing: the caller is given the address.
        EXPECT_EQ(outcome, c.kind == CStreetAddress::kNothing ? CStreetSearch::kNothing : CStreetSearch::kClose);
        EXPECT_EQ(search.GetFound().kind == CStreetAddress::kNothing ? "" : search.GetFound().GetText(),
                  std::string(c.text));
        EXPECT_EQ(RecentSearches().Texts().size(), *c.text ? 1u : 0u) << c.house;
        EXPECT_EQ(Marks(), 0) << c.house;
    }
}

// ------------------------------------------------------------ places

class PlacesManager : public ::testing::Test {
protected:
    PlacesManager()
    {
        ShowTestMap(doc, view, window);
        for (const char* name : {"Centras", "centras", "Stotis"})
            doc.AddBookmark(name, CMapRect(100, 400, 300, 200));
    }
    void AddPlace(const std::string& name, const CMapRect& extent) { doc.AddBookmark(name, extent); }

    CCallLog log;
    CRecordingHost host{log};
    CDrelDoc doc;
    CRecordingWindow window;
    CTestView view{doc};
    CPlacesManager places{doc};
};

TEST_F(PlacesManager, ButtonsFollowTheSelectionAndThePlaces)
{
    struct Case {
        int selection;
        bool remove, removeAll, show;
    };
    for (const Case& c : {Case{-1, false, true, false}, Case{0, true, true, true}, Case{3, false, true, false}}) {
        const CPlacesManager::CButtons b = places.GetButtons(c.selection);
        EXPECT_EQ(b.remove, c.remove) << c.selection;
        EXPECT_EQ(b.removeAll, c.removeAll) << c.selection;
        EXPECT_EQ(b.show, c.show) << c.selection;
    }
}

TEST_F(PlacesManager, RemovingGoesByPositionAndSelectsTheNextOrThePrevious)
{
    // The second of two names differing in case only.
    EXPECT_EQ(places.Remove(1), 1);
    EXPECT_EQ(places.GetNames(), (std::vector<std::string>{"Centras", "Stotis"}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(host.placesBox, places.GetNames());
    // The last: the one before it.
    EXPECT_EQ(places.Remove(1), 0);
    // The only one: none left, every button off.
    EXPECT_EQ(places.Remove(0), -1);
    EXPECT_EQ(doc.GetBookmarkCount(), 0);
    const CPlacesManager::CButtons b = places.GetButtons(-1);
    EXPECT_FALSE(b.remove || b.removeAll || b.show);
    EXPECT_EQ(log, CCallLog(3, "places box"));
    // An index that is no place changes nothing.
    doc.SetModifiedFlag(false);
    EXPECT_EQ(places.Remove(0), -1);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(PlacesManager, RemovingAllEmptiesBothArrays)
{
    places.RemoveAll();
    EXPECT_EQ(doc.GetBookmarkCount(), 0);
    CMapRect extent;
    EXPECT_FALSE(doc.FindBookmark("Stotis", extent));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(host.placesBox.empty());
    EXPECT_EQ(log, CCallLog{"places box"});
}

TEST_F(PlacesManager, ShowingZoomsToThePlaceAtItsPosition)
{
    doc.AddBookmark("Stotis", CMapRect(1000, 900, 1400, 700));
    ASSERT_TRUE(places.Show(3, view));
    const CMapRect shown = view.GetMapExtent();
    EXPECT_LE(shown.left, 1000);
    EXPECT_GE(shown.right, 1400);
    EXPECT_GT(shown.left, 500) << "the place, not the first of its name";
    EXPECT_FALSE(places.Show(4, view));
    EXPECT_FALSE(places.Show(-1, view));
    EXPECT_EQ(view.GetMapExtent(), shown);
    EXPECT_FALSE(doc.IsModified());
}

// ------------------------------------------------------------ prompts

TEST(ArchiveDate, AWeekBackOnTheCalendarAtTheSameClockTime)
{
    struct Case {
        CLocalDateTime now;
        CLocalDateTime start;
    };
    const Case cases[] = {
        {{{2024, 5, 10}, 12, 0, 0}, {{2024, 5, 3}, 12, 0, 0}},
        // Across the spring and autumn clock changes in Lithuania.
        {{{2024, 4, 2}, 12, 0, 0}, {{2024, 3, 26}, 12, 0, 0}},
        {{{2024, 11, 1}, 12, 0, 0}, {{2024, 10, 25}, 12, 0, 0}},
        // Across a month, a year and a leap day.
        {{{2024, 1, 3}, 23, 59, 59}, {{2023, 12, 27}, 23, 59, 59}},
        {{{2024, 3, 5}, 0, 0, 0}, {{2024, 2, 27}, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const CLocalDateTime start = ArchiveStartTime(c.now);
        EXPECT_EQ(start.date.year, c.start.date.year);
        EXPECT_EQ(start.date.month, c.start.date.month);
        EXPECT_EQ(start.date.day, c.start.date.day) << c.now.date.month << '/' << c.now.date.day;
        EXPECT_EQ(start.hour, c.start.hour);
        EXPECT_EQ(start.second, c.start.second);
    }
}

TEST(ArchiveDate, DaysSinceTheEndOf1899WithTheTimeAsTheFraction)
{
    EXPECT_DOUBLE_EQ(ToDaySerial({{1899, 12, 30}, 0, 0, 0}), 0);
    EXPECT_DOUBLE_EQ(ToDaySerial({{1900, 1, 1}, 18, 0, 0}), 2.75);
    EXPECT_DOUBLE_EQ(ToDaySerial({{2024, 5, 3}, 12, 0, 0}), 45415.5);
}

TEST_F(ObjectList, SortFieldsByCaptionTheFieldsNameHandedBack)
{
    CLayer& layer = AddLayer("Rikiuoti", CLayer::kPoint,
                             {{"NAME", 'C', 10, 0}, {"MEMO", 'M', 10, 0}, {"DATA", 'D', 8, 0}, {"KIEKIS", 'N', 8, 0}},
                             {{"X"}});
    layer.FieldAliases().SetAt("KIEKIS", "Kiekis vnt.");
    layer.SetFlag(CLayer::kHasAliases, true);
    EXPECT_EQ(SortFieldCaptions(layer), (std::vector<std::string>{"NAME", "DATA", "Kiekis vnt."}));
    CRecordSortChoice choice;
    choice.field = "before";
    EXPECT_FALSE(TakeSortField(layer, "", choice));
    EXPECT_EQ(choice.field, "before");
    ASSERT_TRUE(TakeSortField(layer, "Kiekis vnt.", choice));
    EXPECT_EQ(choice.field, "KIEKIS");

    CLayer& memoOnly = AddLayer("Tik memo", CLayer::kPoint, {{"MEMO", 'M', 10, 0}}, {{""}}, "");
    EXPECT_TRUE(SortFieldCaptions(memoOnly).empty());
}

} // namespace
