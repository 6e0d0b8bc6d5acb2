// Merging of neighbours: the key fields, touching areas against a literal
// run of passes, lines continuing each other, and the command's frame.
#include "geoproc/MergeAdjacent.h"

#include "core/SegmentPairs.h"
#include "core/ShapeArray.h"
#include "layers/SpatialIndex.h"
#include "platform/Codepage.h"
#include "tests/core/FieldLists.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <cmath>
#include <memory>
#include <random>

namespace {

std::string Square(double x, double y, double size)
{
    return FormatC("%g %g, %g %g, %g %g, %g %g", x, y, x + size, y, x + size, y + size, x, y + size);
}

void BuildIndex(const CShapeArray& shapes, CSpatialIndex& index)
{
    CMapRect all;
    for (int i = 0; i < shapes.GetSize(); ++i)
        all.UnionRect(all, shapes[i]->GetExtent());
    ASSERT_TRUE(index.Create(all, shapes.GetSize(), CSpatialIndex::kSourceCellCount));
    for (int i = 0; i < shapes.GetSize(); ++i)
        index.AddBox(shapes[i]->GetExtent(), i);
    ASSERT_TRUE(index.Build());
}

// The passes as written: each area in load order takes every touching area
// of its key, again and again until a pass takes none.
void LiteralAreaPasses(CShapeArray& shapes, const CMergeKeys& keys)
{
    const int n = shapes.GetSize();
    for (int j = 0; j + 1 < n; ++j) {
        if (shapes[j]->GetPointCount() == 0)
            continue;
        for (bool changed = true; changed;) {
            changed = false;
            for (int e = 0; e < n; ++e) {
                if (e == j || shapes[e]->GetPointCount() == 0 || !keys.Equal(j, e) ||
                    !ExtentsMeet(shapes[j]->GetExtent(), shapes[e]->GetExtent()) ||
                    !shapes[j]->AreasOverlap(*shapes[e]))
                    continue;
                CShape united;
                ASSERT_TRUE(shapes[e]->Union(*shapes[j], united));
                *shapes[j] = std::move(united);
                shapes[e]->RemoveAll();
                changed = true;
            }
        }
    }
}

// The same point set: nothing of either is left outside the other.
void ExpectSameArea(const CShape& a, const CShape& b, const std::string& what)
{
    EXPECT_NEAR(a.Area(), b.Area(), 1e-9) << what;
    CShape rest;
    EXPECT_TRUE(!a.Subtract(b, rest) || std::fabs(rest.Area()) < 1e-9) << what;
    EXPECT_TRUE(!b.Subtract(a, rest) || std::fabs(rest.Area()) < 1e-9) << what;
}

TEST(MergeAdjacentAreas, EqualsTheLiteralPassesOnSeededSets)
{
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 random(seed);
        const int count = 8 + static_cast<int>(random() % 25);
        std::vector<std::string> texts;
        std::vector<double> keyValues;
        for (int i = 0; i < count; ++i) {
            texts.push_back(Square(random() % 9, random() % 9, 1 + random() % 2));
            keyValues.push_back(random() % 3);
        }
        for (const bool keyed : {false, true}) {
            CMergeKeys keys;
            if (keyed)
                keys.SetNumbers(keyValues);
            CShapeArray merged, literal;
            FillShapes(merged, texts);
            FillShapes(literal, texts);
            CSpatialIndex index;
            BuildIndex(merged, index);
            ASSERT_EQ(MergeAdjacentAreas(merged, &index, keys, nullptr), 1);
            LiteralAreaPasses(literal, keys);
            for (int i = 0; i < count; ++i) {
                const std::string what = FormatC("seed %u keyed %d area %d", seed, keyed, i);
                ASSERT_EQ(merged[i]->GetPointCount() > 0, literal[i]->GetPointCount() > 0) << what;
                if (literal[i]->GetPointCount() > 0)
                    ExpectSameArea(*merged[i], *literal[i], what);
            }
        }
    }
}

TEST(MergeAdjacentAreas, AChainOfTouchingAreasIsKeptByItsFirstAreaUnlessKeysDiffer)
{
    // 0 and 2 touch only through 1, which comes last; 3 stands apart; 4
    // shares only a corner with 2.
    const std::vector<std::string> texts = {Square(0, 0, 10), Square(20, 0, 10), Square(10, 0, 10), Square(50, 50, 5),
                                            Square(30, 10, 5)};
    struct Case {
        const char* name;
        std::vector<std::string> keys; // empty: no key
        std::vector<bool> kept;
        double firstArea;
    };
    const Case cases[] = {
        {"no key", {}, {true, false, false, true, false}, 325},
        {"all equal", {"a", "a", "a", "a", "a"}, {true, false, false, true, false}, 325},
        {"the bridge differs", {"a", "a", "b", "a", "a"}, {true, true, true, true, false}, 100},
        {"the corner differs", {"a", "a", "a", "a", "c"}, {true, false, false, true, true}, 300},
    };
    for (const Case& c : cases) {
        CMergeKeys keys;
        if (!c.keys.empty())
            keys.SetTexts(c.keys);
        CShapeArray shapes;
        FillShapes(shapes, texts);
        CSpatialIndex index;
        BuildIndex(shapes, index);
        ASSERT_EQ(MergeAdjacentAreas(shapes, &index, keys, nullptr), 1) << c.name;
        for (int i = 0; i < shapes.GetSize(); ++i)
            EXPECT_EQ(shapes[i]->GetPointCount() > 0, c.kept[static_cast<size_t>(i)]) << c.name << " " << i;
        EXPECT_NEAR(shapes[0]->Area(), c.firstArea, 1e-9) << c.name;
    }
}

TEST(MergeAdjacentAreas, WithoutAnIndexEachAreaGoesIntoTheFirstLaterNeighbour)
{
    CShapeArray shapes;
    FillShapes(shapes, {Square(0, 0, 10), Square(10, 0, 10), Square(20, 0, 10), Square(50, 0, 10)});
    ASSERT_EQ(MergeAdjacentAreas(shapes, nullptr, CMergeKeys(), nullptr), 1);
    EXPECT_EQ(shapes[0]->GetPointCount(), 0);
    EXPECT_EQ(shapes[1]->GetPointCount(), 0);
    EXPECT_NEAR(shapes[2]->Area(), 300, 1e-9);
    EXPECT_NEAR(shapes[3]->Area(), 100, 1e-9);
}

TEST(MergeAdjacentAreas, CancelEndsWithZero)
{
    CScriptedUserServices user;
    user.cancelAfterChecks = 0;
    CShapeArray shapes;
    FillShapes(shapes, {Square(0, 0, 10), Square(10, 0, 10)});
    CSpatialIndex index;
    BuildIndex(shapes, index);
    std::unique_ptr<IProgress> progress = user.CreateProgress(0);
    EXPECT_EQ(MergeAdjacentAreas(shapes, &index, CMergeKeys(), progress.get()), 0);
}

TEST(MergeAdjacentLines, TheFourRulesInTheirOrder)
{
    struct Case {
        const char* name;
        std::string other;
        std::string joined;
    };
    // Line i is "0 0, 1 0": F = (0 0), L = (1 0).
    const Case cases[] = {
        {"F is j's last: j then i", "5 5, 0 0", "5 5, 0 0, 1 0"},
        {"F is j's first: j reversed then i", "0 0, 5 5", "5 5, 0 0, 1 0"},
        {"L is j's last: j then i reversed", "5 5, 1 0", "5 5, 1 0, 0 0"},
        {"L is j's first: i then j", "1 0, 5 5", "0 0, 1 0, 5 5"},
        {"the first rule wins", "1 0, 0 0", "1 0, 0 0, 1 0"},
        {"ends that only come close stay apart", "1 1e-12, 5 5", "1 1e-12, 5 5"},
    };
    for (const Case& c : cases) {
        CShapeArray shapes;
        FillShapes(shapes, {"0 0, 1 0", c.other});
        ASSERT_EQ(MergeAdjacentLines(shapes, CMergeKeys(), nullptr), 1) << c.name;
        EXPECT_EQ(ShapeText(*shapes[1]), c.joined) << c.name;
        const bool joined = c.joined != c.other;
        EXPECT_EQ(shapes[0]->GetPointCount(), joined ? 0 : 2) << c.name;
    }
}

TEST(MergeAdjacentLines, JunctionsChainsAndKeys)
{
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::vector<std::string> keys;
        std::vector<std::string> result;
    };
    const Case cases[] = {
        {"a T-junction joins the first pair in load order",
         {"0 0, 1 0", "1 0, 2 0", "1 0, 1 1"},
         {},
         {"", "0 0, 1 0, 2 0", "1 0, 1 1"}},
        {"a shuffled chain ends in its latest line",
         {"1 0, 2 0", "0 0, 1 0", "2 0, 3 0"},
         {},
         {"", "", "0 0, 1 0, 2 0, 3 0"}},
        // The second line's ends are (0 0) and (2 0) by the time it is
        // looked at: the branch must not take it at (1 0).
        {"a line tests the ends it has by then",
         {"0 0, 1 0", "1 0, 2 0", "1 0, 1 5"},
         {},
         {"", "0 0, 1 0, 2 0", "1 0, 1 5"}},
        {"a different key is passed over",
         {"0 0, 1 0", "1 0, 2 0", "1 0, 1 1"},
         {"x", "y", "x"},
         {"", "1 0, 2 0", "0 0, 1 0, 1 1"}},
    };
    for (const Case& c : cases) {
        CShapeArray shapes;
        FillShapes(shapes, c.lines);
        CMergeKeys keys;
        if (!c.keys.empty())
            keys.SetTexts(c.keys);
        ASSERT_EQ(MergeAdjacentLines(shapes, keys, nullptr), 1) << c.name;
        EXPECT_EQ(ShapeTexts(shapes), c.result) << c.name;
    }
}

TEST(MergeAdjacentLines, EachLineTellsTheLineItWasJoinedTo)
{
    CShapeArray shapes;
    FillShapes(shapes, {"1 0, 2 0", "0 0, 1 0", "2 0, 3 0", "7 7, 8 8"});
    std::vector<int> joinedInto;
    ASSERT_EQ(MergeAdjacentLines(shapes, CMergeKeys(), nullptr, &joinedInto), 1);
    EXPECT_EQ(joinedInto, (std::vector<int>{1, 2, -1, -1}));

    CShapeArray keyed;
    FillShapes(keyed, {"0 0, 1 0", "1 0, 2 0", "1 0, 1 1"});
    CMergeKeys keys;
    keys.SetTexts({"x", "y", "x"});
    ASSERT_EQ(MergeAdjacentLines(keyed, keys, nullptr, &joinedInto), 1);
    EXPECT_EQ(joinedInto, (std::vector<int>{2, -1, -1}));
}

// A layer of the fields given, one square per row of field texts.
class MergeAdjacentLayerTest : public CGeoprocFixture {
protected:
    CLayer& AddKeyedLayer(const std::string& name, const std::string& file, int type,
                          const std::vector<CDbfFieldInfo>& fields, const std::vector<std::string>& shapes,
                          const std::vector<std::vector<std::string>>& rows)
    {
        {
            CGdbSource source;
            EXPECT_TRUE(source.Create(dir.File(file), type, fields.data()));
            CDbfTable& table = source.GetTable();
            for (size_t i = 0; i < shapes.size(); ++i) {
                EXPECT_TRUE(source.AppendShape(Shape(shapes[i]), false));
                for (size_t f = 0; f < rows[i].size(); ++f)
                    table.SetField(static_cast<int>(f), rows[i][f]);
                EXPECT_TRUE(table.WriteRecord());
            }
        }
        return Add(name, file, type);
    }
    std::vector<std::string> Squares(int count)
    {
        std::vector<std::string> squares;
        for (int i = 0; i < count; ++i)
            squares.push_back(Square(10.0 * i, 0, 10));
        return squares;
    }
};

TEST_F(MergeAdjacentLayerTest, KeysFromTheTickedFields)
{
    const auto fields = FieldList({{"KIEKIS", 'N', 8, 1}, {"PLOTAS", 'F', 10, 2}, {"VARDAS", 'C', 10, 0},
                                   {"TIPAS", 'C', 4, 0}, {"PASTABA", 'M', 10, 0}});
    CLayer& layer = AddKeyedLayer("Plots", "plots.gdb", CLayer::kArea, fields, Squares(4),
                                  {{"7", "1.5", "ab", "x"}, {"7.0", "1.50", "ab ", "y"}, {"8", "1.5", "AB", "x"},
                                   {"", "0", "", "x"}});
    const std::vector<int32_t> records = {0, 1, 2, 3};
    struct Case {
        const char* fields;
        CMergeKeys::Kind kind;
        bool equal01, equal02, equal13;
    };
    const Case cases[] = {
        {"", CMergeKeys::kNone, true, true, true},
        {"KIEKIS", CMergeKeys::kNumber, true, false, false},
        {"PLOTAS", CMergeKeys::kNumber, true, true, false},
        {"VARDAS", CMergeKeys::kText, true, false, false},
        {"VARDAS\tTIPAS", CMergeKeys::kText, false, false, false},
        {"PLOTAS\tTIPAS", CMergeKeys::kText, false, true, false},
        {"VARDAS\tPLOTAS", CMergeKeys::kText, true, false, false},
    };
    for (const Case& c : cases) {
        CMergeKeys keys;
        ASSERT_TRUE(keys.Read(layer, c.fields, records)) << c.fields;
        EXPECT_EQ(keys.GetKind(), c.kind) << c.fields;
        EXPECT_EQ(keys.Equal(0, 1), c.equal01) << c.fields;
        EXPECT_EQ(keys.Equal(0, 2), c.equal02) << c.fields;
        EXPECT_EQ(keys.Equal(1, 3), c.equal13) << c.fields;
    }
    for (const char* memo : {"PASTABA", "VARDAS\tPASTABA"}) {
        CMergeKeys keys;
        EXPECT_FALSE(keys.Read(layer, memo, records)) << memo;
    }
    EXPECT_TRUE(user.messages.empty());
    CMergeKeys keys;
    EXPECT_FALSE(keys.Read(layer, "NERA", records));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1008});
}

TEST_F(MergeAdjacentLayerTest, TheFieldChoicesLeaveHiddenFieldsOutAndShowAliases)
{
    const auto fields = FieldList({{"KODAS", 'N', 8, 0}, {"VARDAS", 'C', 10, 0}, {"SLAPTAS", 'C', 4, 0}});
    CLayer& layer = AddKeyedLayer("Plots", "plots.gdb", CLayer::kArea, fields, Squares(1), {{"1", "a", "s"}});
    layer.FieldAliases().SetAt("VARDAS", Utf8ToCp1257("Pavadinimas"));
    layer.SetFlag(CLayer::kHasAliases, true);
    layer.HiddenFields() = {"slaptas"};
    layer.SetFlag(CLayer::kHasHiddenFields, true);
    const std::vector<CMergeField> choices = MergeFieldChoices(layer);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0].caption, "KODAS");
    EXPECT_EQ(choices[1].caption, Utf8ToCp1257("Pavadinimas"));
    EXPECT_EQ(choices[1].name, "VARDAS");
    EXPECT_EQ(JoinMergeFields({}), "");
    EXPECT_EQ(JoinMergeFields({"KODAS", "VARDAS"}), "KODAS\tVARDAS");
}

TEST_F(MergeAdjacentLayerTest, TheCommandWritesTheMergedCopyWithTheKeptRecords)
{
    CScriptedGeoprocDialogs dialogs;
    const auto fields = FieldList({{"NAME", 'C', 12, 0}, {"BLOKAS", 'N', 4, 0}});
    CLayer& layer =
        AddKeyedLayer("Parcels", "parcels.gdb", CLayer::kArea, fields, Squares(4),
                      {{"first", "1"}, {"second", "1"}, {"third", "2"}, {"fourth", "2"}});
    dialogs.mergeFields = "BLOKAS";
    ASSERT_EQ(MergeAdjacent(layer, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"30801 Parcels"});
    EXPECT_EQ(newLayer.offeredName, "parcels");
    EXPECT_EQ(newLayer.offeredType, CLayer::kArea);
    CLayer* result = doc.Layers().FindByName("parcels");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetType(), CLayer::kArea);
    const std::vector<CReadObject> objects = ReadObjects(result->GetPath(), CLayer::kArea);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].fields.at("Name"), "first");
    EXPECT_EQ(objects[1].fields.at("Name"), "third");
    EXPECT_NEAR(objects[0].shape.Area(), 200, 1e-9);
    EXPECT_NEAR(objects[1].shape.Area(), 200, 1e-9);
}

TEST_F(MergeAdjacentLayerTest, WhatEndsTheCommandWithoutALayer)
{
    const auto fields = FieldList({{"NAME", 'C', 12, 0}, {"PASTABA", 'M', 10, 0}});
    struct Case {
        const char* name;
        int chosenType;
        bool fieldsOk;
        const char* keyFields;
        std::vector<unsigned> messages;
    };
    const Case cases[] = {
        {"the field dialog cancelled", -1, false, "", {}},
        {"a line chosen for areas", CLayer::kLine, true, "", {1062}},
        {"a memo key", -1, true, "PASTABA", {}},
    };
    for (const Case& c : cases) {
        CScriptedUserServices messages;
        CScriptedGeoprocDialogs dialogs;
        CTempDir folder;
        CDrelDoc document;
        document.SetPathName(folder.File("map.map"));
        {
            CGdbSource source;
            ASSERT_TRUE(source.Create(folder.File("plots.gdb"), CLayer::kArea, fields.data()));
            for (const std::string& square : Squares(2)) {
                ASSERT_TRUE(source.AppendShape(Shape(square), false));
                ASSERT_TRUE(source.GetTable().WriteRecord());
            }
        }
        document.AddLayer(std::make_unique<CLayer>("Plots", folder.File("plots.gdb"), CLayer::kArea), false);
        CLayer& layer = *document.Layers().FindByName("Plots");
        dialogs.mergeFieldsOk = c.fieldsOk;
        dialogs.mergeFields = c.keyFields;
        newLayer.chosenType = c.chosenType;
        EXPECT_EQ(MergeAdjacent(layer, document, newLayer.Dialogs()), 0) << c.name;
        EXPECT_EQ(document.GetLayerCount(), 1) << c.name;
        EXPECT_EQ(messages.MessageIds(), c.messages) << c.name;
        EXPECT_EQ(FindMatchingFiles(folder.File("plots_2.*")).size(), 0u) << c.name;
    }
}

TEST_F(MergeAdjacentLayerTest, AnUnreadableObjectEndsTheCommandWithoutALayer)
{
    CScriptedGeoprocDialogs dialogs;
    CLayer& layer = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine, {"0 0, 1 0", "1 0, 2 0", "2 0, 3 0"});
    SpoilSecondBlock(dir.File("lines.gdb"));
    EXPECT_EQ(MergeAdjacent(layer, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
    EXPECT_EQ(doc.GetLayerCount(), 1);
}

TEST_F(MergeAdjacentLayerTest, MergedLinesKeepTheRecordOfTheChainsLatestLine)
{
    CScriptedGeoprocDialogs dialogs;
    CLayer& layer = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine, {"1 0, 2 0", "0 0, 1 0", "2 0, 3 0", "9 9, 8 8"});
    ASSERT_EQ(MergeAdjacent(layer, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(newLayer.offeredType, CLayer::kLine);
    CLayer* result = doc.Layers().FindByName("lines");
    ASSERT_TRUE(result);
    const std::vector<CReadObject> objects = ReadObjects(result->GetPath(), CLayer::kLine);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(ShapeText(objects[0].shape), "0 0, 1 0, 2 0, 3 0");
    EXPECT_EQ(objects[0].fields.at("Name"), "S2");
    EXPECT_EQ(objects[1].fields.at("Name"), "S3");
}

} // namespace
