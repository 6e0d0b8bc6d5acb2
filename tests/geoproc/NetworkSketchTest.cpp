// Turn restrictions and viaducts drawn as sketch lines over a link layer:
// the links found under the sketch ends, the tokens and node numbers
// written straight into the link table, and the checks before any of it.
#include "core/DbfTable.h"
#include "geoproc/SketchLinks.h"
#include "geoproc/TurnRestrictions.h"
#include "geoproc/Viaducts.h"
#include "platform/Codepage.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <cctype>
#include <functional>

namespace {

// One link: its geometry, LINK_ID, nodes and restriction list.
struct CLinkRow {
    std::string geometry;
    long id;
    long from;
    long to;
    std::string list;
};

// The default field names; a test may rename them, or leave one out ("").
struct CLinkFieldNames {
    std::string linkId = "LINK_ID";
    std::string list = "TURN_RSTRS";
    std::string from = "Fnode_";
    std::string to = "Tnode_";
    int listWidth = 20;
    int nodeWidth = 6;
};

class NetworkSketchTest : public CGeoprocFixture {
protected:
    NetworkSketchTest() { geoprocDialogs.chosenLayer = nullptr; }

    CLayer& AddLinks(const std::vector<CLinkRow>& rows, const CLinkFieldNames& names = {},
                     const std::string& file = "links.gdb")
    {
        std::vector<CDbfFieldInfo> fields;
        const auto add = [&fields](const std::string& name, char type, int width) {
            if (!name.empty())
                fields.emplace_back().Set(name, type, static_cast<unsigned>(width), 0);
        };
        add(names.linkId, 'N', 8);
        add(names.list, 'C', names.listWidth);
        add(names.from, 'N', names.nodeWidth);
        add(names.to, 'N', names.nodeWidth);
        fields.emplace_back().Set("", 'C', 0, 0);
        {
            CGdbSource source;
            EXPECT_TRUE(source.Create(dir.File(file), CLayer::kLine, fields.data()));
            CDbfTable& table = source.GetTable();
            const auto set = [&table](const std::string& name, const std::string& text) {
                if (!name.empty())
                    table.SetField(table.FindField(name), text);
            };
            for (const CLinkRow& row : rows) {
                EXPECT_TRUE(source.AppendShape(Shape(row.geometry), false));
                set(names.linkId, std::to_string(row.id));
                set(names.list, row.list);
                set(names.from, std::to_string(row.from));
                set(names.to, std::to_string(row.to));
                EXPECT_TRUE(table.WriteRecord());
            }
        }
        return Add("Links", file, CLayer::kLine);
    }
    // The sketch layer, chosen in dialog 30799.
    CLayer& AddSketches(const std::vector<std::string>& lines)
    {
        CLayer& sketches = AddShapeLayer("Sketch", "sketch.gdb", CLayer::kLine, lines);
        geoprocDialogs.chosenLayer = &sketches;
        return sketches;
    }
    // A field of every record of the link table, in file order.
    std::vector<std::string> Column(const std::string& field, const std::string& file = "links.gdb")
    {
        std::vector<std::string> values;
        for (const CReadObject& object : ReadObjects(dir.File(file), CLayer::kLine))
            for (const auto& [name, value] : object.fields)
                if (EqualsNoCase1257(name, field))
                    values.push_back(value);
        return values;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& message : user.messages)
            texts.push_back(Cp1257ToUtf8(message.text));
        return texts;
    }

    CScriptedGeoprocDialogs geoprocDialogs;
};

// A crossing at node 2 (100, 0): link 11 comes from the west, 12 goes on
// east, 13 north and 14 comes up from the south; 15 leaves node 1 north.
const std::vector<CLinkRow> kCrossing = {
    {"0 0, 100 0", 11, 1, 2, ""},    {"100 0, 200 0", 12, 2, 3, ""},  {"100 0, 100 100", 13, 2, 4, ""},
    {"100 -100, 100 0", 14, 5, 2, ""}, {"0 0, 0 100", 15, 1, 6, ""},
};

TEST(TurnTokens, KindsAndLists)
{
    struct Case {
        long fromF, fromT, toF, toT;
        bool startNearFirst;
        char kind;
    };
    const Case cases[] = {
        {1, 2, 2, 4, true, 'L'},  // the to-node shared
        {1, 2, 5, 1, false, 'F'}, // the from-node shared
        {1, 2, 2, 1, true, 'F'},  // both: the sketch starts near the first vertex
        {1, 2, 1, 2, false, 'L'}, // both: near the last
        {1, 2, 3, 4, true, 0},    // none
    };
    for (const Case& c : cases)
        EXPECT_EQ(TurnTokenKind(c.fromF, c.fromT, c.toF, c.toT, c.startNearFirst), c.kind)
            << c.fromF << c.fromT << c.toF << c.toT;
    EXPECT_EQ(AppendTurnToken("", 'L', 13), "L13");
    EXPECT_EQ(AppendTurnToken("F12", 'L', 7), "F12;L7");
}

TEST_F(NetworkSketchTest, TokensNameTheToLinkAtTheSharedNode)
{
    CLayer& links = AddLinks(kCrossing);
    AddSketches({
        "90 2, 101 10",  // 11 into 13 at its to-node
        "10 2, 1 10",    // 11 into 15 at its from-node
        "102 -90, 110 1", // 14 into 12 at its to-node
    });
    user.answers = {IDNO};
    EXPECT_EQ(AddTurnRestrictions(links, doc), 1);
    EXPECT_EQ(geoprocDialogs.log, std::vector<std::string>{"30799"});
    EXPECT_EQ(Column("Turn_rstrs"), (std::vector<std::string>{"L13;F15", "", "", "L12", ""}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Ištrinti ankstesnius posūkių ribojimus?",
                                                  "Posūkių ribojimai pridėti sėkmingai."}));
    EXPECT_EQ(user.messages[0].type, static_cast<unsigned>(MB_YESNOCANCEL | MB_ICONQUESTION));
}

TEST_F(NetworkSketchTest, APairSharingBothNodesTurnsAtTheEndNearerTheSketchStart)
{
    // 21 runs east from node 1 to 2, 22 comes back over an arch from 2 to 1.
    CLayer& links = AddLinks({{"0 0, 100 0", 21, 1, 2, ""}, {"100 0, 50 50, 0 0", 22, 2, 1, ""}});
    AddSketches({"10 1, 40 39", "90 1, 60 39"});
    user.answers = {IDNO};
    EXPECT_EQ(AddTurnRestrictions(links, doc), 1);
    EXPECT_EQ(Column("Turn_rstrs"), (std::vector<std::string>{"F22;L22", ""}));
}

TEST_F(NetworkSketchTest, ListsGrowYesEmptiesTheLoadedOnesAndCancelWritesNothing)
{
    std::vector<CLinkRow> rows = kCrossing;
    rows[0].list = "F12";
    rows[1].list = "L99";
    rows[2].id = 7;
    rows[4].list = "F1";
    // A link the filter hides keeps its list whatever the answer.
    CLayer& links = AddLinks(rows);
    links.SetFilter("LINK_ID <> 15");
    AddSketches({"90 2, 101 10"});

    user.answers = {IDCANCEL};
    const auto before = Folder();
    EXPECT_EQ(AddTurnRestrictions(links, doc), 0);
    EXPECT_EQ(Folder(), before);

    user.messages.clear();
    user.answers = {IDNO};
    EXPECT_EQ(AddTurnRestrictions(links, doc), 1);
    EXPECT_EQ(Column("Turn_rstrs"), (std::vector<std::string>{"F12;L7", "L99", "", "", "F1"}));

    user.messages.clear();
    user.answers = {IDYES};
    EXPECT_EQ(AddTurnRestrictions(links, doc), 1);
    EXPECT_EQ(Column("Turn_rstrs"), (std::vector<std::string>{"L7", "", "", "", "F1"}));
    EXPECT_EQ(Texts().back(), "Posūkių ribojimai pridėti sėkmingai.");
}

TEST_F(NetworkSketchTest, ARecordThatIsBothEndsSeesItsOwnNewText)
{
    CLayer& links = AddLinks(kCrossing);
    // From 11 back onto 11 near its last vertex, then from 11 into 13.
    AddSketches({"95 1, 80 1", "90 2, 101 10"});
    user.answers = {IDNO};
    EXPECT_EQ(AddTurnRestrictions(links, doc), 1);
    EXPECT_EQ(Column("Turn_rstrs")[0], "L11;L13");
}

TEST_F(NetworkSketchTest, ErrorsSkipTheirLineAndAreToldAtTheEnd)
{
    CLinkFieldNames names;
    names.listWidth = 60;
    std::vector<CLinkRow> rows = kCrossing;
    // 58 characters: one more token would not fit.
    rows[0].list = "F100001;F100002;F100003;F100004;F100005;F100006;F100007;F1";
    // Longer than what was once read back: all of it stays.
    rows[1].list = "F100001;F100002;F100003;F100004;F100005;F100006;F1";
    CLayer& links = AddLinks(rows, names);
    AddSketches({
        "500 500, 510 510", // near no link
        "150 1, 5 90",      // 12 and 15 share no node
        "90 2, 101 10",     // 11's list would outgrow its field
        "110 1, 101 20",    // 12 into 13: written
    });
    user.answers = {IDNO};
    EXPECT_EQ(AddTurnRestrictions(links, doc), 1);
    const std::vector<std::string> lists = Column("Turn_rstrs");
    EXPECT_EQ(lists[0], rows[0].list);
    EXPECT_EQ(lists[1], rows[1].list + ";F13");
    EXPECT_EQ(Texts().back(), "Yra klaidų.");
}

TEST_F(NetworkSketchTest, AFailedWriteIsAnError)
{
    CLayer& links = AddLinks(kCrossing);
    AddSketches({"90 2, 101 10"});
    // A table cut short opens read-only: no write goes through.
    const std::string table = dir.File("links.dbf");
    const std::string bytes = ReadWholeFile(table);
    WriteWholeFile(table, bytes.substr(0, bytes.size() - 2));
    // Told of when the links are read, for the command and for its loader.
    user.answers = {IDOK, IDOK, IDNO};
    EXPECT_EQ(AddTurnRestrictions(links, doc), 1);
    EXPECT_EQ(user.MessageIds()[0], 1030u);
    EXPECT_EQ(Texts().back(), "Yra klaidų.");
    EXPECT_EQ(ReadWholeFile(table), bytes.substr(0, bytes.size() - 2));
}

TEST_F(NetworkSketchTest, NothingAddedIsToldSo)
{
    CLayer& links = AddLinks(kCrossing);
    AddSketches({});
    user.answers = {IDNO};
    EXPECT_EQ(AddTurnRestrictions(links, doc), 1);
    EXPECT_EQ(Texts().back(), "Posūkių ribojimų nebuvo pridėta.");
}

TEST_F(NetworkSketchTest, TurnRestrictionsCheckTheLayerFirst)
{
    struct Case {
        const char* what;
        std::function<CLayer&(const std::string& file)> make;
        std::string message; // a text, or the id of a string
    };
    const auto linksWithout = [this](const char* field) {
        return [this, field](const std::string& file) -> CLayer& {
            CLinkFieldNames names;
            for (std::string* name : {&names.linkId, &names.list, &names.from, &names.to})
                if (*name == field)
                    name->clear();
            return AddLinks(kCrossing, names, file);
        };
    };
    const Case cases[] = {
        {"an area layer",
         [this](const std::string& file) -> CLayer& {
             return AddShapeLayer("A", file, CLayer::kArea, {"0 0, 1 0, 1 1"});
         },
         "1061"},
        {"protected attributes",
         [this](const std::string& file) -> CLayer& {
             CLayer& links = AddLinks(kCrossing, {}, file);
             links.SetFlag(CLayer::kInfoEditable, false);
             return links;
         },
         "1035"},
        {"no LINK_ID", linksWithout("LINK_ID"), "Nėra lauko LINK_ID."},
        {"no TURN_RSTRS", linksWithout("TURN_RSTRS"), "Nėra lauko TURN_RSTRS."},
        {"no from-node", linksWithout("Fnode_"), "1079"},
        {"no to-node", linksWithout("Tnode_"), "1079"},
    };
    for (const Case& c : cases) {
        user.messages.clear();
        CLayer& layer = c.make("case" + std::to_string(&c - cases) + ".gdb");
        EXPECT_EQ(AddTurnRestrictions(layer, doc), 0) << c.what;
        ASSERT_EQ(user.messages.size(), 1u) << c.what;
        if (std::isdigit(static_cast<unsigned char>(c.message[0])))
            EXPECT_EQ(user.messages[0].helpId, static_cast<unsigned>(std::stoi(c.message))) << c.what;
        else
            EXPECT_EQ(Texts()[0], c.message) << c.what;
    }
    EXPECT_TRUE(geoprocDialogs.log.empty());

    // Data that do not open end the command without a word of its own.
    CLayer missing("M", dir.File("missing.gdb"), CLayer::kLine);
    user.messages.clear();
    EXPECT_EQ(AddTurnRestrictions(missing, doc), 0);
    EXPECT_EQ(FixViaducts(missing, doc), 0);
    for (const auto& message : user.messages)
        EXPECT_NE(message.helpId, 1079u);
    EXPECT_TRUE(geoprocDialogs.log.empty());
}

TEST_F(NetworkSketchTest, EachNodeFieldFallsBackOnItsOwnAndNamesMatchAnyCaseOrAlias)
{
    CLinkFieldNames names;
    names.linkId = "LID";
    names.list = "turn_rstrs";
    names.from = "FNODE";
    CLayer& links = AddLinks(kCrossing, names);
    links.FieldAliases().SetAt("Lid", "LINK_ID");
    links.SetFlag(CLayer::kHasAliases, true);
    AddSketches({"90 2, 101 10"});
    user.answers = {IDNO};
    EXPECT_EQ(AddTurnRestrictions(links, doc), 1);
    EXPECT_EQ(Column("Turn_rstrs")[0], "L13");
    EXPECT_EQ(geoprocDialogs.log, std::vector<std::string>{"30799"});

    // Cancel in the choice of the sketch ends it before the question.
    user.messages.clear();
    geoprocDialogs.layerChoiceOk = false;
    EXPECT_EQ(AddTurnRestrictions(links, doc), 0);
    EXPECT_TRUE(user.messages.empty());
}

// Links 7 (10 -> 20) and 8 (20 -> 30) of one road cross links 9 and 10 of
// another at node 20 (100, 0).
const std::vector<CLinkRow> kViaduct = {
    {"0 0, 100 0", 7, 10, 20, ""},    {"100 0, 200 0", 8, 20, 30, ""},
    {"100 -100, 100 0", 9, 15, 20, ""}, {"100 0, 100 100", 10, 20, 25, ""},
};

TEST_F(NetworkSketchTest, AViaductGivesTheSharedNodeANewNumberInItsTwoLinksOnly)
{
    CLayer& links = AddLinks(kViaduct);
    AddSketches({"90 1, 110 1", "500 500, 510 510"});
    EXPECT_EQ(FixViaducts(links, doc), 1);
    EXPECT_EQ(Column("Tnode_"), (std::vector<std::string>{"500020", "30", "20", "25"}));
    EXPECT_EQ(Column("Fnode_"), (std::vector<std::string>{"10", "500020", "15", "20"}));
    EXPECT_TRUE(user.messages.empty());
    const auto after = Folder();
    // Once separated, a number is not changed again.
    EXPECT_EQ(FixViaducts(links, doc), 1);
    EXPECT_EQ(Folder(), after);
}

TEST_F(NetworkSketchTest, TheFirstRuleThatHoldsChoosesTheNodes)
{
    struct Case {
        const char* what;
        CLinkRow a, b;
        std::vector<std::string> from, to; // of a and b
    };
    const Case cases[] = {
        {"both from-nodes", {"100 0, 0 0", 1, 20, 10, ""}, {"100 0, 200 0", 2, 20, 30, ""},
         {"500020", "500020"}, {"10", "30"}},
        {"from-node and to-node", {"100 0, 0 0", 1, 20, 10, ""}, {"200 0, 100 0", 2, 30, 20, ""},
         {"500020", "30"}, {"10", "500020"}},
        {"to-node and from-node", {"0 0, 100 0", 1, 10, 20, ""}, {"100 0, 200 0", 2, 20, 30, ""},
         {"10", "500020"}, {"500020", "30"}},
        {"both to-nodes", {"0 0, 100 0", 1, 10, 20, ""}, {"200 0, 100 0", 2, 30, 20, ""},
         {"10", "30"}, {"500020", "500020"}},
        {"nothing shared", {"0 0, 100 0", 1, 10, 20, ""}, {"200 0, 100 0", 2, 30, 40, ""},
         {"10", "30"}, {"20", "40"}},
    };
    for (const Case& c : cases) {
        const std::string file = std::string("rule") + std::to_string(&c - cases) + ".gdb";
        CLayer& links = AddLinks({c.a, c.b}, {}, file);
        geoprocDialogs.chosenLayer = &AddShapeLayer("S", "s" + file, CLayer::kLine, {"90 1, 110 1"});
        EXPECT_EQ(FixViaducts(links, doc), 1) << c.what;
        EXPECT_EQ(Column("Fnode_", file), c.from) << c.what;
        EXPECT_EQ(Column("Tnode_", file), c.to) << c.what;
    }

    // Both ends on one link: its from-node alone.
    CLayer& one = AddLinks({{"0 0, 100 0", 1, 10, 20, ""}}, {}, "one.gdb");
    geoprocDialogs.chosenLayer = &AddShapeLayer("S", "sone.gdb", CLayer::kLine, {"20 1, 80 1"});
    EXPECT_EQ(FixViaducts(one, doc), 1);
    EXPECT_EQ(Column("Fnode_", "one.gdb"), std::vector<std::string>{"500010"});
    EXPECT_EQ(Column("Tnode_", "one.gdb"), std::vector<std::string>{"20"});
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(NetworkSketchTest, ANewNumberNeverJoinsLinksThatWereApart)
{
    // Node 500020 exists already; and a second sketch separates the other
    // road at the same crossing.
    std::vector<CLinkRow> rows = kViaduct;
    rows.push_back({"1000 0, 1100 0", 11, 500020, 500031, ""});
    CLayer& links = AddLinks(rows);
    AddSketches({"90 1, 110 1", "101 -90, 101 90"});
    EXPECT_EQ(FixViaducts(links, doc), 1);
    EXPECT_EQ(Column("Tnode_"), (std::vector<std::string>{"500032", "30", "500033", "25", "500031"}));
    EXPECT_EQ(Column("Fnode_"), (std::vector<std::string>{"10", "500032", "15", "500033", "500020"}));

    CViaductNumbers numbers;
    for (const long node : {5, 20, 499999})
        numbers.Use(node);
    EXPECT_EQ(numbers.Take(20), 500020);
    EXPECT_EQ(numbers.Take(20), 500021);
    EXPECT_EQ(numbers.Take(5), 500005);
}

TEST_F(NetworkSketchTest, ANumberTooWideForItsFieldIsNotWritten)
{
    CLinkFieldNames names;
    names.nodeWidth = 5;
    CLayer& links = AddLinks(kViaduct, names);
    AddSketches({"90 1, 110 1"});
    EXPECT_EQ(FixViaducts(links, doc), 1);
    EXPECT_EQ(Column("Tnode_")[0], "20");
    EXPECT_EQ(Column("Fnode_")[1], "20");
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1045});
}

TEST_F(NetworkSketchTest, ViaductsCheckTheLayerFirst)
{
    CLayer& area = AddShapeLayer("A", "a.gdb", CLayer::kArea, {"0 0, 1 0, 1 1"});
    EXPECT_EQ(FixViaducts(area, doc), 0);
    CLinkFieldNames names;
    names.to.clear();
    CLayer& noNodes = AddLinks(kViaduct, names);
    EXPECT_EQ(FixViaducts(noNodes, doc), 0);
    noNodes.SetFlag(CLayer::kInfoEditable, false);
    EXPECT_EQ(FixViaducts(noNodes, doc), 0);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1061, 1079, 1035}));
    EXPECT_TRUE(geoprocDialogs.log.empty());
}

} // namespace
