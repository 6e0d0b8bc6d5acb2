// The comparison of two layers: the rules of its dialog, the walk that
// brings the layers back into step, and the two result layers.
#include "geoproc/CompareLayers.h"
#include "tests/geoproc/GeoprocTestSupport.h"

namespace {

class CompareLayersTest : public CGeoprocFixture {
protected:
    // Line i runs from (i, 0) to (i, 1); a moved one ends at (i, 2).
    static std::string Line(int i, bool moved = false)
    {
        return std::to_string(i) + " 0, " + std::to_string(i) + (moved ? " 2" : " 1");
    }
    static std::vector<std::string> Lines(int count, const std::vector<int>& moved = {})
    {
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i)
            lines.push_back(Line(i, std::find(moved.begin(), moved.end(), i) != moved.end()));
        return lines;
    }
    static void DeleteRecord(const CLayer& layer, int record)
    {
        CGdbSource source;
        ASSERT_TRUE(source.Open(layer.GetPath()));
        ASSERT_TRUE(source.DeleteRecord(record));
    }
    // The NAME of each object of the result file, in order.
    std::vector<std::string> Names(const std::string& file)
    {
        std::vector<std::string> names;
        for (const CReadObject& object : ReadObjects(dir.File(file), CLayer::kLine)) {
            std::string name = object.fields.at("Name");
            name.erase(name.find_last_not_of(' ') + 1);
            names.push_back(name);
        }
        return names;
    }
    std::vector<std::string> ResultFiles() const
    {
        std::vector<std::string> files;
        for (const std::string& name : FindMatchingFiles(dir.File("*_diff*")))
            files.push_back(name);
        std::sort(files.begin(), files.end());
        return files;
    }
    CLayer& First(const std::vector<std::string>& lines)
    {
        return AddShapeLayer("Pirmas", "a.gdb", CLayer::kLine, lines);
    }
    CLayer& Second(const std::vector<std::string>& lines)
    {
        return AddShapeLayer("Antras", "b.gdb", CLayer::kLine, lines);
    }
};

TEST_F(CompareLayersTest, IdenticalLayersGive3054AndLeaveNoFile)
{
    CLayer& a = First(Lines(5));
    CLayer& b = Second(Lines(5));
    for (const int mode : {0, 1}) {
        user.messages.clear();
        EXPECT_EQ(CompareLayers(a, b, doc, mode), 0);
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{3054});
        EXPECT_EQ(doc.GetLayerCount(), 2);
        EXPECT_TRUE(ResultFiles().empty());
    }
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Nėra skirtumų tarp šių sluoksnių objektų."));
}

TEST_F(CompareLayersTest, OneMovedObjectGoesToBothResultsWithItsRecord)
{
    CLayer& a = First(Lines(6));
    CLayer& b = Second(Lines(6, {4}));
    a.SetIdField("NAME");
    ASSERT_EQ(CompareLayers(a, b, doc, 0), 1);
    EXPECT_EQ(newLayer.runs, 0);
    ASSERT_EQ(doc.GetLayerCount(), 4);
    EXPECT_EQ(doc.GetLayer(2)->GetName(), "a_diff1");
    EXPECT_EQ(doc.GetLayer(2)->GetPath(), dir.File("a_diff1.gdb"));
    EXPECT_EQ(doc.GetLayer(2)->GetIdField(), "NAME");
    EXPECT_EQ(doc.GetLayer(3)->GetName(), "b_diff2");
    EXPECT_EQ(doc.GetLayer(3)->GetType(), CLayer::kLine);
    const std::vector<CReadObject> first = ReadObjects(dir.File("a_diff1.gdb"), CLayer::kLine);
    const std::vector<CReadObject> second = ReadObjects(dir.File("b_diff2.gdb"), CLayer::kLine);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(ShapeText(first[0].shape), "4 0, 4 1");
    EXPECT_EQ(ShapeText(second[0].shape), "4 0, 4 2");
    EXPECT_EQ(first[0].fields.at("N"), "4");
    EXPECT_EQ(Names("b_diff2.gdb"), std::vector<std::string>{"S4"});
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(CompareLayersTest, AnInsertedObjectIsTheOnlyOneFound)
{
    // The first version lost its record 3, the second has a new object there.
    CLayer& a = First(Lines(6));
    DeleteRecord(a, 3);
    std::vector<std::string> lines = Lines(6);
    lines[3] = "30 30, 31 31";
    CLayer& b = Second(lines);
    ASSERT_EQ(CompareLayers(a, b, doc, 0), 1);
    EXPECT_TRUE(Names("a_diff1.gdb").empty());
    EXPECT_EQ(Names("b_diff2.gdb"), std::vector<std::string>{"S3"});
}

TEST_F(CompareLayersTest, AfterAResyncWithoutMatchTheWaitingObjectIsCompared)
{
    // Record 2 is new in the second layer and record 3 was moved there.
    CLayer& a = First(Lines(5));
    DeleteRecord(a, 2);
    std::vector<std::string> lines = Lines(5, {3});
    lines[2] = "20 20, 21 21";
    CLayer& b = Second(lines);
    ASSERT_EQ(CompareLayers(a, b, doc, 0), 1);
    EXPECT_EQ(Names("a_diff1.gdb"), std::vector<std::string>{"S3"});
    EXPECT_EQ(Names("b_diff2.gdb"), (std::vector<std::string>{"S2", "S3"}));
}

TEST_F(CompareLayersTest, ElevenChangesInARowGiveTenPairsThen3055)
{
    std::vector<int> moved;
    for (int i = 1; i <= 11; ++i)
        moved.push_back(i);
    CLayer& a = First(Lines(14));
    CLayer& b = Second(Lines(14, moved));
    ASSERT_EQ(CompareLayers(a, b, doc, 0), 1);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{3055});
    EXPECT_EQ(user.messages[0].text,
              Utf8ToCp1257("Per daug iš eilės einančių skirtingų objektų. Toliau nebus lyginama."));
    const std::vector<std::string> expected = {"S1", "S2", "S3", "S4", "S5", "S6", "S7", "S8", "S9", "S10"};
    EXPECT_EQ(Names("a_diff1.gdb"), expected);
    EXPECT_EQ(Names("b_diff2.gdb"), expected);
}

TEST_F(CompareLayersTest, ASecondLayerLongerByMoreThanTenStopsWithAWord)
{
    CLayer& a = First(Lines(2));
    CLayer& b = Second(Lines(14));
    ASSERT_EQ(CompareLayers(a, b, doc, 0), 1);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{3055});
    EXPECT_EQ(Names("b_diff2.gdb").size(), 10u);
    EXPECT_TRUE(Names("a_diff1.gdb").empty());

    // Up to ten trailing objects are all written without a word.
    user.messages.clear();
    CLayer& c = AddShapeLayer("Trečias", "c.gdb", CLayer::kLine, Lines(12));
    ASSERT_EQ(CompareLayers(a, c, doc, 0), 1);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(Names("c_diff2.gdb").size(), 10u);
}

TEST_F(CompareLayersTest, AttributesCountOnlyInModeOne)
{
    CLayer& a = First(Lines(3));
    {
        const std::vector<CDbfFieldInfo> fields = TestFields();
        CGdbSource source;
        ASSERT_TRUE(source.Create(dir.File("b.gdb"), CLayer::kLine, fields.data()));
        for (int i = 0; i < 3; ++i) {
            const CShape shape = Shape(Line(i));
            AppendWithAttributes(source, &shape, nullptr, i == 1 ? "Kitas" : "S" + std::to_string(i), i);
        }
    }
    CLayer& b = Add("Antras", "b.gdb", CLayer::kLine);
    EXPECT_EQ(CompareLayers(a, b, doc, 0), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{3054});
    ASSERT_EQ(CompareLayers(a, b, doc, 1), 1);
    EXPECT_EQ(Names("a_diff1.gdb"), std::vector<std::string>{"S1"});
    EXPECT_EQ(Names("b_diff2.gdb"), std::vector<std::string>{"Kitas"});
}

TEST_F(CompareLayersTest, InModeOneTheRecordsMustBeTheSameTextToTheByte)
{
    // Record 1 differs in its date's century alone, record 2 by a leading blank.
    const auto write = [this](const char* file, const std::vector<std::pair<const char*, const char*>>& rows) {
        const std::vector<CDbfFieldInfo> fields = FieldList({{"NAME", 'C', 12, 0}, {"DATA", 'D', 8, 0}});
        CGdbSource source;
        ASSERT_TRUE(source.Create(dir.File(file), CLayer::kLine, fields.data()));
        for (size_t i = 0; i < rows.size(); ++i) {
            ASSERT_TRUE(source.AppendShape(Shape(Line(static_cast<int>(i))), false));
            CDbfTable& table = source.GetTable();
            table.SetField(0, rows[i].first);
            table.SetField(1, rows[i].second);
            ASSERT_TRUE(table.WriteRecord());
        }
    };
    write("a.gdb", {{"S0", "19990101"}, {"S1", "19990101"}, {"S2", "19990101"}});
    write("b.gdb", {{"S0", "19990101"}, {"S1", "20990101"}, {" S2", "19990101"}});
    CLayer& a = Add("Pirmas", "a.gdb", CLayer::kLine);
    CLayer& b = Add("Antras", "b.gdb", CLayer::kLine);
    ASSERT_EQ(CompareLayers(a, b, doc, 1), 1);
    EXPECT_EQ(Names("a_diff1.gdb"), (std::vector<std::string>{"S1", "S2"}));
    EXPECT_EQ(Names("b_diff2.gdb").size(), 2u);
}

TEST_F(CompareLayersTest, InModeOneAFieldLengthApartGives3053BeforeAnyFile)
{
    CLayer& a = First(Lines(3));
    {
        const std::vector<CDbfFieldInfo> fields = FieldList({{"NAME", 'C', 13, 0}, {"N", 'N', 6, 0}});
        CGdbSource source;
        ASSERT_TRUE(source.Create(dir.File("b.gdb"), CLayer::kLine, fields.data()));
        const CShape shape = Shape("5 5, 6 6");
        AppendWithAttributes(source, &shape, nullptr, "X", 1);
    }
    CLayer& b = Add("Antras", "b.gdb", CLayer::kLine);
    const std::map<std::string, std::string> before = Folder();
    EXPECT_EQ(CompareLayers(a, b, doc, 1), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{3053});
    EXPECT_EQ(Folder(), before);
    // Geometry alone asks nothing of the tables.
    user.messages.clear();
    EXPECT_EQ(CompareLayers(a, b, doc, 0), 1);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(CompareLayersTest, ACancelAddsNothing)
{
    CLayer& a = First(Lines(4));
    CLayer& b = Second(Lines(4, {1}));
    user.cancelAfterChecks = 0;
    EXPECT_EQ(CompareLayers(a, b, doc, 0), 0);
    EXPECT_EQ(doc.GetLayerCount(), 2);
    EXPECT_TRUE(ResultFiles().empty());
}

TEST_F(CompareLayersTest, PointLayersCompareByCoordinates)
{
    CLayer& a = AddPointLayer("A", "pa.gdb", {{0, 0}, {1, 1}, {2, 2}});
    CLayer& b = AddPointLayer("B", "pb.gdb", {{0, 0}, {1, 1.5}, {2, 2}});
    ASSERT_EQ(CompareLayers(a, b, doc, 0), 1);
    const std::vector<CReadObject> first = ReadObjects(dir.File("pa_diff1.gdb"), CLayer::kPoint);
    const std::vector<CReadObject> second = ReadObjects(dir.File("pb_diff2.gdb"), CLayer::kPoint);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].point, CMapPoint(1, 1));
    EXPECT_EQ(second[0].point, CMapPoint(1, 1.5));
    CLayer& lines = First(Lines(2));
    EXPECT_EQ(CompareLayers(a, lines, doc, 0), 0);
}

class CompareLayersRulesTest : public CGeoprocFixture {};

TEST_F(CompareLayersRulesTest, BothCombosListVectorLayersAndTheSecondNameAndModeAreRemembered)
{
    CLayer& lines = AddShapeLayer("Linijos", "l.gdb", CLayer::kLine, {"0 0, 1 1"});
    CLayer& points = AddPointLayer("Taškai", "p.gdb", {{0, 0}});
    Add("Vaizdas", "v.tif", CLayer::kRaster);
    CLayer& areas = AddShapeLayer("Plotai", "s.gdb", CLayer::kArea, {"0 0, 1 0, 1 1, 0 0"});
    CLayer& track = Add("Trasa", "t.trk", CLayer::kTrack);
    const std::vector<CLayer*> layers = CCompareLayersRules::Layers(doc);
    EXPECT_EQ(layers, (std::vector<CLayer*>{&lines, &points, &areas, &track}));
    EXPECT_EQ(CCompareLayersRules::InitialFirst(layers, &areas), 2);
    EXPECT_EQ(CCompareLayersRules::InitialFirst(layers, nullptr), -1);

    EXPECT_EQ(CCompareLayersRules::Accept(&lines, nullptr, 0), CCompareLayersRules::kIncomplete);
    EXPECT_EQ(CCompareLayersRules::Accept(&lines, &points, 1), CCompareLayersRules::kDifferentTypes);
    EXPECT_EQ(CCompareLayersRules::InitialMode(), 0);
    CLayer& other = AddShapeLayer("Kitos", "k.gdb", CLayer::kLine, {"0 0, 1 1"});
    EXPECT_EQ(CCompareLayersRules::Accept(&lines, &other, 1), CCompareLayersRules::kAccepted);
    EXPECT_EQ(CCompareLayersRules::InitialMode(), 1);
    EXPECT_EQ(CCompareLayersRules::InitialSecond(CCompareLayersRules::Layers(doc)), 4);
    CCompareLayersRules::Remember("", 0);
    EXPECT_EQ(CCompareLayersRules::InitialSecond(CCompareLayersRules::Layers(doc)), -1);
}

TEST_F(CompareLayersRulesTest, TheCommandRunsTheDialogThenTheComparison)
{
    CScriptedGeoprocDialogs dialogs;
    CLayer& a = AddShapeLayer("Pirmas", "a.gdb", CLayer::kLine, {"0 0, 1 1", "2 2, 3 3"});
    CLayer& b = AddShapeLayer("Antras", "b.gdb", CLayer::kLine, {"0 0, 1 1", "2 2, 3 4"});
    dialogs.compareOk = false;
    EXPECT_EQ(RunCompareLayers(&a, doc), 0);
    EXPECT_EQ(dialogs.offeredActive, &a);
    dialogs.compareOk = true;
    dialogs.compare = {&a, &b, 0};
    EXPECT_EQ(RunCompareLayers(&a, doc), 1);
    EXPECT_EQ(doc.GetLayerCount(), 4);
    EXPECT_EQ(dialogs.log, (std::vector<std::string>{"30808", "30808"}));
}

} // namespace
