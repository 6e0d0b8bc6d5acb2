// The address page of the find sheet without its window: streets by town
// or all of them, and a street or a house shown on the map.
#include "search/AddressFinder.h"

#include "mapdoc/AddressSearch.h"
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

class AddressFinder : public CFindFixture {
protected:
    AddressFinder()
    {
        CMapSettings& s = doc.Settings();
        s.streetsLayer = "Gatves";
        s.cityNameField = "CITY";
        s.codeField = "CODE";
        s.addressesLayer = "Adresai";
        s.streetCodeField = "CODE";
        s.numField = "NUM";
        s.letterField = "LET";
        AddLayer("Gatves", CLayer::kLine, {{"NAME", 'C', 30, 0}, {"CITY", 'C', 20, 0}, {"CODE", 'N', 8, 0}},
                 {{"Vilniaus g.", "Kaunas", "7"},
                  {"Pylimo g.", "Vilnius", "8"},
                  {"Vilniaus g.", "KAUNAS", "7"},
                  {"Sodo g.", "Kaunas", ""},
                  {"", "Kaunas", "9"},
                  {Cp("Žalgirio g."), "Vilnius", "10"}});
        // House 10 of street 7 at (1000, 300); 16 at (1100, 300).
        AddLayer("Adresai", CLayer::kPoint, {{"CODE", 'N', 8, 0}, {"NUM", 'C', 6, 0}, {"LET", 'C', 2, 0}},
                 {{"7", "10", ""}, {"7", "16", ""}});
    }
    // The view as the page found it.
    struct CViewState {
        CMapRect extent;
        int overlays;
    };
    CViewState ViewState() const { return {view.GetMapExtent(), view.GetOverlayCount()}; }
    void ExpectUnchanged(const CViewState& before) const
    {
        EXPECT_EQ(view.GetMapExtent(), before.extent);
        EXPECT_EQ(view.GetOverlayCount(), before.overlays);
    }
};

TEST_F(AddressFinder, WithoutAStreetsLineLayerThePageOnlySaysSo)
{
    EXPECT_TRUE(CAddressFinder(view).HasStreetLayer());
    for (const char* layer : {"", "Nera", "Adresai"}) {
        doc.Settings().streetsLayer = layer;
        CAddressFinder finder(view);
        EXPECT_FALSE(finder.HasStreetLayer()) << layer;
        EXPECT_FALSE(finder.Load());
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(AddressFinder, StreetsOfTheChosenTownEqualNamesFolded)
{
    CAddressFinder finder(view);
    EXPECT_TRUE(finder.IsTownMode());
    EXPECT_TRUE(finder.HasHouseNumbers());
    ASSERT_TRUE(finder.Load());
    ASSERT_EQ(finder.Towns().size(), 2u);
    EXPECT_EQ(finder.Towns()[0].text, "Kaunas");
    EXPECT_EQ(finder.FindTown("KAUNAS"), 0);
    EXPECT_EQ(finder.FindTown("Klaipeda"), -1);
    EXPECT_EQ(Entries(finder.Streets()), "");
    finder.ChooseTown(finder.FindTown("kaunas"));
    EXPECT_EQ(FindState().lastTown, "Kaunas");
    EXPECT_EQ(Entries(finder.Streets()), "Sodo g.:3 Vilniaus g.:0");
    EXPECT_EQ(finder.Streets().Records(1), (std::vector<int32_t>{0, 2}));
    finder.ChooseTown(1);
    EXPECT_EQ(Entries(finder.Streets()), Cp("Pylimo g.:1 Žalgirio g.:5"));

    // Without towns, every named street.
    doc.Settings().cityNameField.clear();
    CAddressFinder plain(view);
    ASSERT_TRUE(plain.Load());
    EXPECT_TRUE(plain.Towns().empty());
    EXPECT_EQ(Entries(plain.Streets()), Cp("Pylimo g.:1 Sodo g.:3 Vilniaus g.:0 Žalgirio g.:5"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(AddressFinder, AStreetWithItsRecordsOrAHouseOnIt)
{
    CAddressFinder finder(view);
    ASSERT_TRUE(finder.Load());
    finder.ChooseTown(0);
    // The street: both records marked, its page remembered.
    EXPECT_TRUE(finder.Show(1, ""));
    EXPECT_EQ(Marks(), 4); // two records and two house numbers
    EXPECT_EQ(host.messageTexts.back(), "Vilniaus g.");
    EXPECT_EQ(FindState().lastPage, CFindState::kAddressPage);

    // A house found exactly: its marker and label.
    view.ClearOverlays();
    EXPECT_TRUE(finder.Show(1, "10"));
    EXPECT_EQ(Marks(), 2);
    EXPECT_EQ(host.messageTexts.back(), "Vilniaus g. 10");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(AddressFinder, NoLeavesTheViewAsItWas)
{
    CAddressFinder finder(view);
    ASSERT_TRUE(finder.Load());
    finder.ChooseTown(0);
    const CViewState before = ViewState();
    struct Case {
        int entry;
        const char* house;
        std::vector<unsigned> asked;
    };
    const Case cases[] = {
        {1, "18", {2001}}, // only a house near it
        {1, "11", {2002}}, // no house on that side
        {0, "10", {2002}}, // a street without a code has no houses
    };
    for (const Case& c : cases) {
        user.messages.clear();
        user.answers = {IDNO};
        EXPECT_FALSE(finder.Show(c.entry, c.house)) << c.house;
        EXPECT_EQ(Messages(), c.asked) << c.house;
        ExpectUnchanged(before);
    }
    // Yes to 2002 shows the street instead.
    user.answers = {IDYES};
    EXPECT_TRUE(finder.Show(0, "10"));
    EXPECT_EQ(Marks(), 1);
    EXPECT_EQ(host.messageTexts.back(), "Sodo g.");
}

} // namespace
