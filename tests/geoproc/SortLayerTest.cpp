// Sorting a layer's objects by a field into a new layer.
#include "geoproc/SortLayer.h"
#include "tests/geoproc/GeoprocTestSupport.h"

namespace {

class SortLayerTest : public CGeoprocFixture {
protected:
    // A line layer, object i from (i, 0) to (i, 1), with these NAME, N and F values.
    CLayer& AddValues(const std::vector<std::tuple<std::string, std::string, std::string>>& rows,
                      const std::string& file = "namai.gdb")
    {
        const std::vector<CDbfFieldInfo> fields = FieldList({{"NAME", 'C', 12, 0}, {"N", 'N', 6, 0}, {"F", 'F', 8, 2}});
        {
            CGdbSource source;
            EXPECT_TRUE(source.Create(dir.File(file), CLayer::kLine, fields.data()));
            for (size_t i = 0; i < rows.size(); ++i) {
                const CShape shape = Shape(std::to_string(i) + " 0, " + std::to_string(i) + " 1");
                EXPECT_TRUE(source.AppendShape(shape, false));
                CDbfTable& table = source.GetTable();
                table.SetField(0, std::get<0>(rows[i]));
                table.SetField(1, std::get<1>(rows[i]));
                table.SetField(2, std::get<2>(rows[i]));
                EXPECT_TRUE(table.WriteRecord());
            }
        }
        return Add("Namai", file, CLayer::kLine);
    }
    // The NAME of each object of the layer added last, in file order.
    std::vector<std::string> AddedNames()
    {
        std::vector<std::string> names;
        for (const CReadObject& object : ReadObjects(doc.GetLayer(doc.GetLayerCount() - 1)->GetPath(), CLayer::kLine))
            names.push_back(TrimCopy(object.fields.at("Name")));
        return names;
    }
    static std::string TrimCopy(std::string text)
    {
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return text;
    }
    int Sort(CLayer& layer, const std::string& field, int direction)
    {
        dialogs.sort.field = field;
        dialogs.sort.direction = direction;
        return SortLayer(layer, doc, newLayer.Dialogs());
    }

    CScriptedGeoprocDialogs dialogs;
};

TEST_F(SortLayerTest, NumbersSortAsNumbersAndTextsAsBytesEachValueWithItsRecord)
{
    const struct {
        const char* field;
        int direction;
        std::vector<std::string> names;
    } cases[] = {
        {"N", 0, {"r1", "r3", "r0", "r2"}},
        {"F", 0, {"r2", "r0", "r3", "r1"}},
        {"NAME", 0, {"B", "a", "b", "b"}},
        // Descending is the exact reverse, ties included.
        {"N", 1, {"r2", "r0", "r3", "r1"}},
        {"NAME", 1, {"b", "b", "a", "B"}},
    };
    int run = 0;
    for (const auto& c : cases) {
        const std::string file = "namai" + std::to_string(run++) + ".gdb";
        CLayer& layer = std::string(c.field) == "NAME"
                            ? AddValues({{"b", "1", "0"}, {"B", "2", "0"}, {"a", "3", "0"}, {"b", "4", "0"}}, file)
                            : AddValues({{"r0", "10", "-1.5"}, {"r1", "9", "20"}, {"r2", "100", "-3"},
                                         {"r3", "9", "2.25"}},
                                        file);
        ASSERT_EQ(Sort(layer, c.field, c.direction), 1) << c.field;
        EXPECT_EQ(AddedNames(), c.names) << c.field << " " << c.direction;
    }
}

TEST_F(SortLayerTest, TiesKeepTheirRecordOrderAndDescendingReversesThem)
{
    CLayer& layer = AddValues({{"t0", "5", "0"}, {"t1", "5", "0"}, {"t2", "1", "0"}, {"t3", "5", "0"}});
    ASSERT_EQ(Sort(layer, "N", 0), 1);
    EXPECT_EQ(AddedNames(), (std::vector<std::string>{"t2", "t0", "t1", "t3"}));
    ASSERT_EQ(Sort(layer, "N", 1), 1);
    EXPECT_EQ(AddedNames(), (std::vector<std::string>{"t3", "t1", "t0", "t2"}));
}

TEST_F(SortLayerTest, TheSortedLayerIsACopyOfTheSourceUnderItsNewNameWithoutFilter)
{
    CLayer& layer = AddValues({{"a", "3", "0"}, {"b", "2", "0"}, {"c", "1", "0"}, {"d", "4", "0"}});
    layer.SetFilter("N <> 2");
    layer.SetIdField("NAME");
    layer.SetNotes("pastaba");
    newLayer.chosenName = "Surūšiuoti";
    ASSERT_EQ(Sort(layer, "N", 0), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"30819 Namai"});
    EXPECT_EQ(newLayer.offeredName, "namai_sorted");
    EXPECT_EQ(newLayer.offeredType, CLayer::kLine);
    EXPECT_FALSE(newLayer.offeredOptions.typeChoice);
    EXPECT_EQ(newLayer.offeredOptions.fileTypes, 1 | 8);
    ASSERT_EQ(doc.GetLayerCount(), 2);
    const CLayer& sorted = *doc.GetLayer(1);
    EXPECT_EQ(sorted.GetName(), "Surūšiuoti");
    EXPECT_EQ(sorted.GetPath(), dir.File("namai_sorted.gdb"));
    EXPECT_EQ(sorted.GetFilter(), "");
    EXPECT_EQ(sorted.GetIdField(), "NAME");
    EXPECT_EQ(sorted.GetNotes(), "pastaba");
    EXPECT_EQ(sorted.GetType(), CLayer::kLine);
    // The record hidden by the filter stays out.
    EXPECT_EQ(AddedNames(), (std::vector<std::string>{"c", "a", "d"}));
    EXPECT_EQ(layer.GetFilter(), "N <> 2");
}

TEST_F(SortLayerTest, NothingIsSortedForSeveralFilesCancelOrAFieldNotThere)
{
    CLayer& layer = AddValues({{"a", "3", "0"}});
    layer.SetFlag(CLayer::kManyFiles, true);
    EXPECT_EQ(Sort(layer, "N", 0), 0);
    EXPECT_TRUE(dialogs.log.empty());
    layer.SetFlag(CLayer::kManyFiles, false);
    dialogs.sortOk = false;
    EXPECT_EQ(Sort(layer, "N", 0), 0);
    EXPECT_EQ(newLayer.runs, 0);
    dialogs.sortOk = true;
    newLayer.ok = false;
    EXPECT_EQ(Sort(layer, "N", 0), 0);
    newLayer.ok = true;
    EXPECT_EQ(Sort(layer, "NERA", 0), 0);
    EXPECT_EQ(doc.GetLayerCount(), 1);
    EXPECT_FALSE(FileExists(dir.File("namai_sorted.gdb")));
}

TEST_F(SortLayerTest, ACopyThatFailsAddsNothing)
{
    CLayer& layer = AddValues({{"a", "3", "0"}, {"b", "2", "0"}, {"c", "1", "0"}});
    SpoilSecondBlock(layer.GetPath());
    EXPECT_EQ(Sort(layer, "N", 0), 0);
    EXPECT_EQ(doc.GetLayerCount(), 1);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
    EXPECT_TRUE(FindMatchingFiles(dir.File("namai_sorted*")).empty());
}

} // namespace
