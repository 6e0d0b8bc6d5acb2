#include "settings/LayerListManager.h"

#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "mapdoc/DocumentObserver.h"
#include "tests/settings/GroupedMap.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;
using P = ELayerListPages;

class LayerListManagerTest : public ::testing::Test, protected CGroupedMap {
protected:
    LayerListManagerTest() { LayerListSettings() = CLayerListSettings(); }
    ~LayerListManagerTest() override { LayerListSettings() = CLayerListSettings(); }

    // Each row as its text, check, then its images (filter, active, type).
    static Texts Rows(const CLayerListManager& manager)
    {
        Texts rows;
        for (const CLayerListRow& row : manager.Rows())
            rows.push_back(row.text + " " + std::to_string(row.check) + " " + std::to_string(row.filterImage) + "/" +
                           std::to_string(row.activeImage) + "/" + std::to_string(row.typeImage));
        return rows;
    }
    static Texts Texts_(const CLayerListManager& manager)
    {
        Texts texts;
        for (const CLayerListRow& row : manager.Rows())
            texts.push_back(row.text);
        return texts;
    }
    std::vector<CLayer*> Entries(std::initializer_list<const char*> names) const
    {
        std::vector<CLayer*> entries;
        for (const char* name : names)
            entries.push_back(L(name));
        return entries;
    }

    CScriptedUserServices user;
    CFakeLayerData data;
};

TEST_F(LayerListManagerTest, OneLevelWithGroupsAsEntriesOrFlat)
{
    L("Upes")->SetFilter("N > 1");
    CLayerListManager manager(doc, L("Ortofoto"));
    L("Ortofoto")->SetFlag(CLayer::kFieldStrength, true);
    EXPECT_EQ(Rows(manager), (Texts{"Keliai 1 14/14/3", "[Miestas] 2 14/14/1", "Trasa 0 14/14/6",
                                    "Ortofoto 1 14/13/8", "Reljefas 0 14/14/5"}));
    manager.OpenGroup(L("Miestas"));
    EXPECT_EQ(Rows(manager),
              (Texts{"[..] - Miestas 2 14/14/10", "Pastatai 1 14/14/4", "[Vanduo] 0 14/14/1", "Taskai 1 14/14/2"}));
    manager.OpenGroup(L("Vanduo"));
    EXPECT_EQ(Rows(manager), (Texts{"[..] - Vanduo 0 14/14/10", "Upes 0 11/14/3", "Ezerai 0 14/14/4"}));
    manager.OpenGroup(L("Upes"));
    EXPECT_EQ(manager.GetOpenGroup(), L("Vanduo")) << "a layer opens nothing";
    manager.GoUp();
    manager.GoUp();
    EXPECT_EQ(manager.GetOpenGroup(), nullptr);

    // The level of the active entry comes first.
    EXPECT_EQ(CLayerListManager(doc, L("Ezerai")).GetOpenGroup(), L("Vanduo"));

    LayerListSettings().groups = false;
    EXPECT_EQ(Texts_(CLayerListManager(doc, L("Ezerai"))),
              (Texts{"Keliai", "Pastatai", "Upes", "Ezerai", "Taskai", "Trasa", "Ortofoto", "Reljefas"}));
}

TEST_F(LayerListManagerTest, TheSettingsChooseKindsAndVisibility)
{
    CLayerListManager manager(doc, L("Pastatai"));
    CLayerListSettings& s = LayerListSettings();
    struct Case {
        const char* what;
        void (*set)(CLayerListSettings&);
        Texts rows;
    };
    const Case cases[] = {
        {"all", [](CLayerListSettings&) {}, {"[..] - Miestas", "Pastatai", "[Vanduo]", "Taskai"}},
        {"no kinds", [](CLayerListSettings& s) { s.SetAllTypes(false); }, {}},
        {"visible", [](CLayerListSettings& s) { s.invisible = false; }, {"[..] - Miestas", "Pastatai", "Taskai"}},
        {"hidden", [](CLayerListSettings& s) { s.visible = false; }, {"[..] - Miestas", "[Vanduo]"}},
        {"neither", [](CLayerListSettings& s) { s.visible = s.invisible = false; }, {"[..] - Miestas"}},
        {"areas", [](CLayerListSettings& s) { s.points = false; }, {"[..] - Miestas", "Pastatai", "[Vanduo]"}},
    };
    for (const Case& c : cases) {
        s = CLayerListSettings();
        c.set(s);
        EXPECT_EQ(Texts_(manager), c.rows) << c.what;
    }

    // A partly shown group passes both visibility tests.
    manager.GoUp();
    for (const auto& [visible, invisible] : {std::pair{true, false}, std::pair{false, true}}) {
        s = CLayerListSettings();
        s.visible = visible;
        s.invisible = invisible;
        const Texts rows = Texts_(manager);
        EXPECT_NE(std::find(rows.begin(), rows.end(), "[Miestas]"), rows.end()) << visible;
    }
    s = CLayerListSettings();
    s.SetAllTypes(false);
    EXPECT_TRUE(Texts_(manager).empty());
    EXPECT_FALSE(s.AllTypes());
    s.SetAllTypes(true);
    EXPECT_TRUE(s.AllTypes());
    s.rasters = false;
    EXPECT_FALSE(s.AllTypes());
}

TEST_F(LayerListManagerTest, UpAndDownMoveTheSelectionAsABlockWithinTheLevel)
{
    CLayerListManager manager(doc, nullptr);
    struct Case {
        std::vector<const char*> selection;
        bool up;
        bool enabled;
        Texts order;
    };
    const Case cases[] = {
        {{"Keliai"}, true, false, {}},
        {{"Reljefas"}, false, false, {}},
        {{"Miestas", "Keliai"}, true, false, {}},
        {{"Trasa"}, true, true,
         {"Keliai", "Trasa", "Miestas", "Pastatai", "Vanduo", "Upes", "Ezerai", "Taskai", "Ortofoto", "Reljefas"}},
        {{"Ortofoto", "Trasa"}, true, true,
         {"Keliai", "Trasa", "Ortofoto", "Miestas", "Pastatai", "Vanduo", "Upes", "Ezerai", "Taskai", "Reljefas"}},
        {{"Keliai", "Miestas"}, false, true,
         {"Trasa", "Keliai", "Miestas", "Pastatai", "Vanduo", "Upes", "Ezerai", "Taskai", "Ortofoto", "Reljefas"}},
    };
    for (const Case& c : cases) {
        CGroupedMap fresh;
        CLayerListManager m(fresh.doc, nullptr);
        std::vector<CLayer*> selection;
        for (const char* name : c.selection)
            selection.push_back(fresh.L(name));
        EXPECT_EQ(m.CanMove(selection, c.up), c.enabled) << c.selection.front();
        m.Move(selection, c.up);
        if (c.enabled) {
            EXPECT_EQ(LayerNames(fresh.doc), c.order) << c.selection.front();
            EXPECT_EQ(fresh.L("Miestas")->GetMemberCount(), 3);
        }
        EXPECT_EQ(fresh.doc.IsModified(), c.enabled) << c.selection.front();
    }
    // Inside a group, at its ends; and never without groups as entries.
    manager.OpenGroup(L("Miestas"));
    EXPECT_FALSE(manager.CanMove(Entries({"Pastatai"}), true));
    EXPECT_TRUE(manager.CanMove(Entries({"Pastatai"}), false));
    EXPECT_FALSE(manager.CanMove(Entries({"Miestas"}), true)) << "the open group's row stays";
    manager.Move(Entries({"Taskai"}), true);
    EXPECT_EQ(LayerNames(doc), (Texts{"Keliai", "Miestas", "Pastatai", "Taskai", "Vanduo", "Upes", "Ezerai", "Trasa",
                                      "Ortofoto", "Reljefas"}));
    LayerListSettings().groups = false;
    EXPECT_FALSE(manager.CanMove(Entries({"Taskai"}), true));
    EXPECT_FALSE(manager.CanMove(Entries({"Taskai"}), false));
}

TEST_F(LayerListManagerTest, MovingIntoAGroupSkipsAGroupBoundForItsOwnSubgroup)
{
    CLayerListManager manager(doc, nullptr);
    EXPECT_EQ(manager.MoveInto(Entries({"Keliai", "Miestas", "Trasa"}), L("Vanduo")), 2);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1115});
    EXPECT_EQ(LayerNames(doc), (Texts{"Miestas", "Pastatai", "Vanduo", "Upes", "Ezerai", "Keliai", "Trasa", "Taskai",
                                      "Ortofoto", "Reljefas"}));
    EXPECT_EQ(L("Vanduo")->GetMemberCount(), 4);
    EXPECT_EQ(L("Miestas")->GetMemberCount(), 3);
    EXPECT_TRUE(doc.IsModified());

    // The root: the end of the list.
    user.messages.clear();
    EXPECT_EQ(manager.MoveInto(Entries({"Vanduo", "Miestas"}), L("Vanduo")), 0);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1115, 1115}));
    EXPECT_EQ(manager.MoveInto(Entries({"Vanduo"}), nullptr), 1);
    EXPECT_EQ(LayerNames(doc), (Texts{"Miestas", "Pastatai", "Taskai", "Ortofoto", "Reljefas", "Vanduo", "Upes",
                                      "Ezerai", "Keliai", "Trasa"}));
    EXPECT_EQ(L("Miestas")->GetMemberCount(), 2);
}

TEST_F(LayerListManagerTest, AGroupsCheckShowsOrHidesItsMembers)
{
    CLayerListManager manager(doc, nullptr);
    CHintRecorder views(doc);
    manager.SetShown(L("Miestas"), false);
    for (const char* name : {"Miestas", "Pastatai", "Vanduo", "Upes", "Ezerai", "Taskai"})
        EXPECT_FALSE(L(name)->HasFlag(CLayer::kShown)) << name;
    EXPECT_TRUE(doc.IsModified());
    manager.SetShown(L("Vanduo"), true);
    EXPECT_TRUE(L("Upes")->HasFlag(CLayer::kShown));
    EXPECT_EQ(manager.Rows()[1].check, 2) << "Miestas partly shown";
    views.hints.clear();
    manager.Finish();
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{kHintLegendRows, kHintRedraw}));
}

TEST_F(LayerListManagerTest, PagesOpenForSelectionsThatCanShareThem)
{
    L("Keliai")->AddSublayer(5000);
    struct Case {
        P pages;
        std::vector<const char*> selection;
        bool open;
        std::vector<unsigned> messages;
    };
    const Case cases[] = {
        {P::kSymbol, {"Keliai", "Upes"}, true, {}},
        {P::kSymbol, {"Keliai", "Pastatai"}, false, {1113}},
        {P::kSymbol, {"Miestas", "Vanduo"}, false, {}}, // nothing for a group
        {P::kSymbol, {"Keliai", "Miestas"}, false, {1113}},
        {P::kLabels, {"Pastatai", "Ezerai"}, true, {}},
        {P::kLabels, {"Pastatai", "Ortofoto"}, false, {1118}},
        {P::kLabels, {"Pastatai", "Miestas"}, false, {1118}},
        {P::kLabels, {"Pastatai", "Taskai"}, false, {1113}},
        {P::kLabels, {"Upes", "Keliai"}, false, {1117}},
        {P::kFilter, {"Pastatai", "Taskai", "Trasa"}, true, {}},
        {P::kFilter, {"Pastatai", "Reljefas"}, false, {1116}},
        {P::kNotes, {"Miestas", "Ortofoto", "Keliai"}, true, {}},
    };
    CLayerListManager manager(doc, nullptr);
    for (const Case& c : cases) {
        user.messages.clear();
        std::vector<CLayer*> selection;
        for (const char* name : c.selection)
            selection.push_back(L(name));
        EXPECT_EQ(manager.CanEditPages(c.pages, selection), c.open) << c.selection[0] << " " << c.selection[1];
        EXPECT_EQ(user.MessageIds(), c.messages) << c.selection[0] << " " << c.selection[1];
    }
}

TEST_F(LayerListManagerTest, TheFirstEntrysPagesGoToTheOthers)
{
    CLayerListManager manager(doc, nullptr);
    CLayer& first = *L("Keliai");
    first.SetFilter("N > 2");
    first.SetNotes("Pastaba");
    first.AddSublayer(10000);
    first.GetSublayer(1)->m_labelField = "PAV";
    first.GetSublayer(0)->m_kind = CSublayer::kHidden;
    const std::vector<CLayer*> lines = Entries({"Keliai", "Upes"});

    manager.CopyPages(P::kFilter, Entries({"Keliai", "Pastatai", "Taskai"}));
    EXPECT_EQ(L("Pastatai")->GetFilter(), "N > 2");
    EXPECT_EQ(L("Taskai")->GetFilter(), "N > 2");
    manager.CopyPages(P::kNotes, Entries({"Keliai", "Miestas"}));
    EXPECT_EQ(L("Miestas")->GetNotes(), "Pastaba");
    EXPECT_TRUE(doc.IsModified());

    manager.CopyPages(P::kLabels, lines);
    EXPECT_EQ(L("Upes")->GetSublayerCount(), 1) << "labels need the same bands";
    manager.CopyPages(P::kSymbol, lines);
    ASSERT_EQ(L("Upes")->GetSublayerCount(), 2);
    EXPECT_EQ(L("Upes")->GetSublayer(0)->m_kind, CSublayer::kHidden);
    EXPECT_TRUE(first.SublayerScalesMatch(*L("Upes")));
    first.GetSublayer(1)->m_labelField = "KODAS";
    manager.CopyPages(P::kLabels, lines);
    EXPECT_EQ(L("Upes")->GetSublayer(1)->m_labelField, "KODAS");

    CHintRecorder views(doc);
    manager.Finish();
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{kHintLegendRows, kHintOverview, kHintRedraw}));
}

TEST_F(LayerListManagerTest, RemovingTakesMembersAndFilesOnlyWhenAsked)
{
    CLayerListManager manager(doc, L("Upes"));
    manager.GoUp();
    manager.GoUp();
    user.answers = {IDYES};
    manager.Remove(Entries({"Miestas", "Trasa"}), false, true);
    EXPECT_EQ(LayerNames(doc), (Texts{"Keliai", "Pastatai", "Vanduo", "Upes", "Ezerai", "Taskai", "Ortofoto",
                                      "Reljefas"}));
    EXPECT_EQ(data.deleted, Texts{"Trasa"}) << "a group has no files of its own";
    EXPECT_EQ(manager.GetActive(), L("Upes"));

    // Removing the group with its members takes the active layer along;
    // the files stay when the second question is answered No.
    data.deleted.clear();
    user.answers = {IDNO};
    manager.Remove(Entries({"Vanduo"}), true, true);
    EXPECT_EQ(LayerNames(doc), (Texts{"Keliai", "Pastatai", "Taskai", "Ortofoto", "Reljefas"}));
    EXPECT_TRUE(data.deleted.empty());
    EXPECT_EQ(manager.GetActive(), nullptr);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2008, 2008}));
    EXPECT_TRUE(doc.IsModified());
}

} // namespace
