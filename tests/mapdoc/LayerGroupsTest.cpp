#include "mapdoc/DrelDoc.h"

#include "tests/mapdoc/DocTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kShown = CLayer::kShown;
constexpr uint32_t kPartly = CLayer::kPartlyVisibleGroup;

// G1 holds A, G2 and D; G2 holds B and C; E stands alone:
//   0 G1, 1 A, 2 G2, 3 B, 4 C, 5 D, 6 E
class LayerGroups : public ::testing::Test {
protected:
    void SetUp() override { Build(); }
    // The list above afresh, unmodified, no files deleted.
    void Build()
    {
        doc.Layers().RemoveAll();
        data.deleted.clear();
        doc.AddLayer(MakeGroup("G1", 3), false);
        doc.AddLayer(MakeLayer("A", CLayer::kPoint, CLayer::kWorking), false);
        doc.AddLayer(MakeGroup("G2", 2), false);
        doc.AddLayer(MakeLayer("B", CLayer::kPoint, CLayer::kWorking), false);
        doc.AddLayer(MakeLayer("C", CLayer::kPoint, CLayer::kWorking), false);
        doc.AddLayer(MakeLayer("D", CLayer::kPoint, CLayer::kWorking | CLayer::kInOverview), false);
        doc.AddLayer(MakeLayer("E", CLayer::kPoint, CLayer::kWorking | kShown), false);
        doc.SetModifiedFlag(false);
    }
    CLayer* L(const char* name) { return doc.Layers().FindByName(name); }
    uint32_t Visibility(const char* name) { return L(name)->GetFlags() & (kShown | kPartly); }

    CCallLog log;
    CRecordingHost host{log};
    CFakeLayerData data;
    CDrelDoc doc;
};

} // namespace

TEST_F(LayerGroups, SpanAndParentFollowTheMemberCounts)
{
    struct Case {
        const char* entry;
        int span;
        const char* parent;
    };
    const Case cases[] = {
        {"G1", 5, nullptr}, {"A", 0, "G1"}, {"G2", 2, "G1"}, {"B", 0, "G2"},
        {"C", 0, "G2"},     {"D", 0, "G1"}, {"E", 0, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(doc.GetGroupSpan(L(c.entry)), c.span) << c.entry;
        EXPECT_EQ(doc.GetParentGroup(L(c.entry)), c.parent ? L(c.parent) : nullptr) << c.entry;
    }
    EXPECT_EQ(doc.GetGroupSpan(nullptr), 0);
    EXPECT_EQ(doc.GetParentGroup(nullptr), nullptr);

    // Counts that claim more members than the list holds end with the list.
    L("G1")->SetMemberCount(1000000);
    EXPECT_EQ(doc.GetGroupSpan(L("G1")), 6);
    L("G2")->SetMemberCount(-3);
    EXPECT_EQ(doc.GetGroupSpan(L("G2")), 0);
}

TEST_F(LayerGroups, VisibilityOfMembersShowsInTheirGroups)
{
    CHintRecorder views(doc);
    // All hidden: groups show hidden.
    EXPECT_EQ(doc.UpdateGroupVisibility(L("G1")), 0);
    EXPECT_EQ(Visibility("G1"), 0u);

    // One visible member makes both groups partly visible.
    views.hints.clear();
    doc.SetLayerVisible(L("B"), true);
    EXPECT_EQ(Visibility("G2"), kShown | kPartly);
    EXPECT_EQ(Visibility("G1"), kShown | kPartly);
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{MakeHint(2, 3), MakeHint(0, 3), MakeHint(3, 3), kHintRedraw}));
    EXPECT_TRUE(doc.IsModified());

    // All members of G2 visible: G2 shows, G1 stays partly visible.
    doc.SetLayerVisible(L("C"), true);
    EXPECT_EQ(Visibility("G2"), kShown);
    EXPECT_EQ(Visibility("G1"), kShown | kPartly);

    // A group takes its whole span along; without AutoUpdate there is no redraw.
    doc.Settings().legendAutoUpdate = 0;
    views.hints.clear();
    doc.SetLayerVisible(L("G1"), true);
    for (const char* name : {"G1", "A", "G2", "B", "C", "D"})
        EXPECT_EQ(Visibility(name), kShown) << name;
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{MakeHint(1, 3), MakeHint(2, 3), MakeHint(3, 3), MakeHint(4, 3),
                                                  MakeHint(5, 3), MakeHint(0, 3)}));
    doc.SetLayerVisible(L("G1"), false);
    EXPECT_EQ(Visibility("C"), 0u);
    EXPECT_EQ(Visibility("E"), kShown);

    // An empty group keeps its own bit.
    auto empty = MakeGroup("Tuščia", 0, kShown | kPartly);
    CLayer* group = empty.get();
    doc.AddLayer(std::move(empty), false);
    EXPECT_EQ(doc.UpdateGroupVisibility(group), -1);
    EXPECT_EQ(group->GetFlags() & (kShown | kPartly), kShown);
    EXPECT_EQ(doc.UpdateGroupVisibility(nullptr), -1);
    EXPECT_EQ(doc.UpdateGroupVisibility(L("E")), -1);
}

TEST_F(LayerGroups, MovingTakesTheSpanAlong)
{
    struct Case {
        const char* entry;
        const char* target;
        bool after;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {"G2", "E", true, {"G1", "A", "D", "E", "G2", "B", "C"}},
        {"E", "G1", false, {"E", "G1", "A", "G2", "B", "C", "D"}},
        {"A", "G2", true, {"G1", "G2", "B", "C", "A", "D", "E"}},
        {"D", nullptr, false, {"G1", "A", "G2", "B", "C", "E", "D"}},
        {"G1", "E", false, {"G1", "A", "G2", "B", "C", "D", "E"}}, // already there
        {"G1", "B", false, {"G1", "A", "G2", "B", "C", "D", "E"}}, // not into itself
        {"G1", "C", true, {"G1", "A", "G2", "B", "C", "D", "E"}},
    };
    for (const Case& c : cases) {
        Build();
        doc.MoveLayer(L(c.entry), c.target ? L(c.target) : nullptr, c.after);
        EXPECT_EQ(LayerNames(doc), c.order) << c.entry << (c.after ? " after " : " before ")
                                            << (c.target ? c.target : "end");
    }
    // An entry outside the list moves nothing.
    CLayer stranger("X", "x.gdb", CLayer::kPoint);
    Build();
    doc.MoveLayer(&stranger, nullptr, false);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(LayerGroups, MovingIntoAGroupFollowsTheCountsAndNeverIntoItself)
{
    using Names = std::vector<std::string>;
    struct Case {
        const char* entry;
        const char* group; // null: the top level's end
        bool moved;
        Names order;
        int g1, g2; // member counts after
    };
    const Case cases[] = {
        {"E", "G2", true, {"G1", "A", "G2", "B", "C", "E", "D"}, 3, 3},
        {"A", nullptr, true, {"G1", "G2", "B", "C", "D", "E", "A"}, 2, 2},
        {"G2", nullptr, true, {"G1", "A", "D", "E", "G2", "B", "C"}, 2, 2},
        {"B", "G2", true, {"G1", "A", "G2", "C", "B", "D", "E"}, 3, 2}, // to its group's end
        {"G1", "G2", false, {"G1", "A", "G2", "B", "C", "D", "E"}, 3, 2},
        {"G1", "G1", false, {"G1", "A", "G2", "B", "C", "D", "E"}, 3, 2},
        {"A", "E", false, {"G1", "A", "G2", "B", "C", "D", "E"}, 3, 2}, // no group
    };
    for (const Case& c : cases) {
        Build();
        EXPECT_EQ(doc.MoveLayerIntoGroup(L(c.entry), c.group ? L(c.group) : nullptr), c.moved) << c.entry;
        EXPECT_EQ(LayerNames(doc), c.order) << c.entry;
        EXPECT_EQ(L("G1")->GetMemberCount(), c.g1) << c.entry;
        EXPECT_EQ(L("G2")->GetMemberCount(), c.g2) << c.entry;
        EXPECT_EQ(doc.IsModified(), c.moved) << c.entry;
    }
    // A shown layer joining hidden ones makes the group partly shown.
    Build();
    ASSERT_TRUE(doc.MoveLayerIntoGroup(L("E"), L("G2")));
    EXPECT_EQ(Visibility("G2"), kShown | kPartly);
}

TEST_F(LayerGroups, RemovingAGroupWithoutMembersHandsThemToItsParent)
{
    CHintRecorder views(doc);
    L("B")->SetFlag(kShown, true);
    doc.UpdateGroupVisibility(L("G2"));
    views.hints.clear();
    ASSERT_TRUE(doc.RemoveLayer(L("G2"), true, false, true));
    EXPECT_EQ(LayerNames(doc), (std::vector<std::string>{"G1", "A", "B", "C", "D", "E"}));
    EXPECT_EQ(L("G1")->GetMemberCount(), 4);
    EXPECT_EQ(doc.GetParentGroup(L("C")), L("G1"));
    EXPECT_EQ(doc.GetGroupSpan(L("G1")), 4);
    EXPECT_TRUE(data.deleted.empty()); // a group has no files
    // Removed, then G1's look: still partly visible, so no hint for it; G2 was shown.
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{MakeHint(2, 2), kHintRedraw}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(LayerGroups, RemovingAGroupWithMembersRemovesItsWholeSpan)
{
    CHintRecorder views(doc);
    ASSERT_TRUE(doc.RemoveLayer(L("G1"), true, true, true));
    EXPECT_EQ(LayerNames(doc), (std::vector<std::string>{"E"}));
    // From the last member back, each with its files.
    EXPECT_EQ(data.deleted, (std::vector<std::string>{"D", "C", "B", "A"}));
    // Each member's removal, and each group's look once its span runs empty.
    const std::vector<uint32_t> expected = {MakeHint(5, 2), kHintOverview, MakeHint(4, 2), MakeHint(3, 2),
                                            MakeHint(2, 3), MakeHint(2, 2), MakeHint(1, 2), MakeHint(0, 3),
                                            MakeHint(0, 2)};
    EXPECT_EQ(views.hints, expected);

    Build();
    ASSERT_TRUE(doc.RemoveLayer(L("G2"), false, true, false));
    EXPECT_EQ(LayerNames(doc), (std::vector<std::string>{"G1", "A", "D", "E"}));
    EXPECT_EQ(L("G1")->GetMemberCount(), 2);
    EXPECT_TRUE(data.deleted.empty());
    EXPECT_FALSE(doc.RemoveLayer(nullptr, false, false, false));
}

TEST_F(LayerGroups, AddingGoesIntoTheLegendsOpenGroup)
{
    CHintRecorder views(doc);
    host.openGroup = L("G2");
    const int index = doc.AddLayer(MakeLayer("B", CLayer::kLine, CLayer::kShown | CLayer::kInOverview), true);
    EXPECT_EQ(index, 5);
    EXPECT_EQ(doc.GetLayer(5)->GetName(), "B (2)");
    EXPECT_EQ(L("G2")->GetMemberCount(), 3);
    EXPECT_EQ(doc.GetParentGroup(doc.GetLayer(5)), L("G2"));
    EXPECT_EQ(doc.GetGroupSpan(L("G1")), 6);
    // G2 and G1 turn partly visible, then the new layer's own hints.
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{MakeHint(2, 3), MakeHint(0, 3), MakeHint(5, 1), kHintOverview,
                                                  MakeHint(5, 8)}));
    EXPECT_TRUE(doc.IsModified());

    // Without notify: no hint, not modified; a plain layer is no group to open.
    host.openGroup = L("E");
    doc.SetModifiedFlag(false);
    views.hints.clear();
    EXPECT_EQ(doc.AddLayer(MakeLayer("F"), false), 8);
    EXPECT_TRUE(views.hints.empty());
    EXPECT_FALSE(doc.IsModified());

    // Pasted entries go in where they are put, under unique names.
    EXPECT_TRUE(doc.InsertLayerAt(MakeLayer("A"), 0));
    EXPECT_EQ(doc.GetLayer(0)->GetName(), "A (2)");
    EXPECT_FALSE(doc.InsertLayerAt(MakeLayer("Z"), 100));
    EXPECT_TRUE(views.hints.empty());
}

TEST_F(LayerGroups, LegendListsLayersByItsTypeAndTheirGroups)
{
    L("E")->SetFlag(CLayer::kWorking, false);
    L("C")->SetFlag(kShown, true);
    L("G2")->SetFlag(kShown, true);
    struct Case {
        int type;
        const char* layer;
        bool alone;
        bool withGroups;
    };
    const Case cases[] = {
        {0, "E", true, true},  {1, "E", false, false}, {1, "C", true, true},
        {2, "C", true, false}, // G1 is hidden
        {2, "B", false, false}, {2, "G2", true, false},
    };
    for (const Case& c : cases) {
        doc.Settings().legendType = c.type;
        EXPECT_EQ(doc.IsLayerShownInLegend(L(c.layer), false), c.alone) << c.type << c.layer;
        EXPECT_EQ(doc.IsLayerShownInLegend(L(c.layer), true), c.withGroups) << c.type << c.layer;
    }
}

TEST_F(LayerGroups, LayersBusyElsewhereCannotBeRemoved)
{
    CScriptedUserServices user;
    host.editedLayer = L("A");
    host.layerWithTable = L("B");
    EXPECT_FALSE(doc.CanRemoveLayer(*L("A")));
    EXPECT_FALSE(doc.CanRemoveLayer(*L("B")));
    EXPECT_TRUE(doc.CanRemoveLayer(*L("C")));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1056, 1087}));
    EXPECT_EQ(user.messages[0].text, Cp("Sluoksnis šiuo metu redaguojamas, todėl jo pašalinti negalima."));
}
