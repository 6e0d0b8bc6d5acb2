// Overlay of a layer by the areas or points of another: the result table,
// what each operation writes per source type, classification in place,
// and the prompts, cancels and failures around them.
#include "geoproc/Overlay.h"

#include "core/PolygonSet.h"
#include "core/ShapeArray.h"
#include "layers/SpatialIndex.h"
#include "tests/core/FieldLists.h"
#include "tests/core/GeometryText.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <cmath>
#include <cstring>
#include <random>

namespace {

// ------------------------------------------------------------ result table

std::string NameList(const std::vector<CDbfFieldInfo>& fields)
{
    std::string names;
    for (const CDbfFieldInfo& info : fields) {
        if (info.length == 0)
            break;
        names += (names.empty() ? "" : " ") + std::string(info.name, strnlen(info.name, sizeof info.name));
    }
    return names;
}

std::vector<CDbfFieldInfo> Fields(std::initializer_list<const char*> names)
{
    std::vector<CDbfFieldInfo> fields;
    for (const char* name : names)
        fields.emplace_back().Set(name, 'C', 8, 0);
    fields.emplace_back().Set("", 0, 0, 0);
    return fields;
}

TEST(OverlayResultFields, ClashingNamesAreRenamedApartFromEveryNameGiven)
{
    struct Row {
        const char* what;
        std::initializer_list<const char*> source;
        std::initializer_list<const char*> overlaying;
        const char* result;
    };
    const Row rows[] = {
        {"a unique name keeps it", {"NAME", "N"}, {"KODAS"}, "NAME N KODAS"},
        {"a clash gets _", {"NAME", "N"}, {"NAME", "N"}, "NAME N NAME_ N_"},
        {"letter case aside", {"Name"}, {"NAME"}, "Name NAME_"},
        {"the try taken by the overlaying table", {"A"}, {"A", "A_"}, "A A__ A_"},
        // Both "A" and "A_" would have become "A__".
        {"the try taken by a name given before", {"A", "A_"}, {"A", "A_"}, "A A_ A__ A___"},
        {"ten characters: the last made _", {"ABCDEFGHIJ"}, {"ABCDEFGHIJ"}, "ABCDEFGHIJ ABCDEFGHI_"},
        {"then the one before it", {"ABCDEFGHIJ", "ABCDEFGHI_"}, {"ABCDEFGHIJ"}, "ABCDEFGHIJ ABCDEFGHI_ ABCDEFGH__"},
        {"nine characters grow to ten, then go on", {"ABCDEFGHI", "ABCDEFGHI_"}, {"ABCDEFGHI"},
         "ABCDEFGHI ABCDEFGHI_ ABCDEFGH__"},
        {"twice in the overlaying table", {}, {"X", "x"}, "X x_"},
        {"no try left: numbered", {"__________"}, {"__________"}, "__________ _________1"},
        {"ten tries taken: numbered",
         {"ABCDEFGHIJ", "ABCDEFGHI_", "ABCDEFGH__", "ABCDEFG___", "ABCDEF____", "ABCDE_____", "ABCD______",
          "ABC_______", "AB________", "A_________", "__________"},
         {"ABCDEFGHIJ"},
         "ABCDEFGHIJ ABCDEFGHI_ ABCDEFGH__ ABCDEFG___ ABCDEF____ ABCDE_____ ABCD______ ABC_______ AB________ "
         "A_________ __________ ABCDEFGHI1"},
    };
    for (const Row& row : rows) {
        const std::vector<CDbfFieldInfo> source = Fields(row.source), overlaying = Fields(row.overlaying);
        EXPECT_EQ(NameList(OverlayResultFields(source, &overlaying)), row.result) << row.what;
    }
}

TEST(OverlayResultFields, FieldsKeepTheirKindAndTheListEnds)
{
    const std::vector<CDbfFieldInfo> source = FieldList({{"NAME", 'C', 12, 0}, {"N", 'N', 6, 0}});
    const std::vector<CDbfFieldInfo> overlaying = FieldList({{"NAME", 'C', 40, 0}, {"PLOTAS", 'N', 10, 1}});
    const std::vector<CDbfFieldInfo> fields = OverlayResultFields(source, &overlaying);
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(NameList(fields), "NAME N NAME_ PLOTAS");
    EXPECT_EQ(fields[2].type, 'C');
    EXPECT_EQ(fields[2].length, 40);
    EXPECT_EQ(fields[3].type, 'N');
    EXPECT_EQ(fields[3].length, 10);
    EXPECT_EQ(fields[3].decimals, 1);
    EXPECT_EQ(fields[4].length, 0);
    // Without attribute transfer the source's fields alone.
    EXPECT_EQ(NameList(OverlayResultFields(source, nullptr)), "NAME N");
}

// ------------------------------------------------------------ the kernels

TEST(FindContainingArea, TheHighestRecordWinsThroughTheIndexAndTheLastLoadedWithout)
{
    CShapeArray areas;
    for (const char* square : {"0 0, 10 0, 10 10, 0 10", "0 0, 10 0, 10 10, 0 10", "20 0, 30 0, 30 10, 20 10"})
        areas.Add(std::make_unique<CShape>(Shape(square)));
    const std::vector<int32_t> records = {7, 3, 9};
    CSpatialIndex index;
    ASSERT_TRUE(index.Create(CMapRect(0, 10, 30, 0), 3, CSpatialIndex::kSourceCellCount));
    for (int i = 0; i < 3; ++i)
        index.AddBox(areas[i]->GetExtent(), i);
    ASSERT_TRUE(index.Build());
    COverlaying overlaying;
    overlaying.areas = &areas;
    overlaying.records = &records;
    overlaying.index = &index;
    EXPECT_EQ(FindContainingArea(overlaying, {5, 5}), 0);
    EXPECT_EQ(FindContainingArea(overlaying, {10, 5}), 0) << "the boundary counts as inside";
    EXPECT_EQ(FindContainingArea(overlaying, {25, 5}), 2);
    EXPECT_EQ(FindContainingArea(overlaying, {15, 5}), -1);
    EXPECT_EQ(FindContainingArea(overlaying, {50, 50}), -1) << "outside the index";
    overlaying.index = nullptr;
    EXPECT_EQ(FindContainingArea(overlaying, {5, 5}), 1);
    EXPECT_EQ(FindContainingArea(overlaying, {15, 5}), -1);
}

class OverlayTest : public CGeoprocFixture {
protected:
    // A GDB layer of the objects (points or shapes as text), record i named
    // prefix<i> with N = i; its file is the name in lower case.
    CLayer& AddLayer(const std::string& name, int type, const std::vector<std::string>& objects,
                     const std::string& prefix)
    {
        std::string file = name + ".gdb";
        for (char& c : file)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        {
            CGdbSource source;
            const std::vector<CDbfFieldInfo> fields = TestFields();
            EXPECT_TRUE(source.Create(dir.File(file), type == CLayer::kTrack ? CLayer::kPoint : type, fields.data()));
            for (size_t i = 0; i < objects.size(); ++i) {
                const std::string recordName = prefix + std::to_string(i);
                if (type == CLayer::kPoint || type == CLayer::kTrack) {
                    const CMapPoint point = ParsePoints(objects[i]).at(0);
                    AppendWithAttributes(source, nullptr, &point, recordName, static_cast<int>(i));
                } else {
                    const CShape shape = Shape(objects[i]);
                    AppendWithAttributes(source, &shape, nullptr, recordName, static_cast<int>(i));
                }
            }
        }
        return Add(name, file, type);
    }
    int Run(CLayer& source, CLayer& overlaying, int code)
    {
        return Overlay(source, doc, overlaying, code, newLayer.Dialogs());
    }
    const CLayer* Added() const { return doc.GetLayer(doc.GetLayerCount() - 1); }
    // Each object of the layer added last: its geometry (an area by its
    // size and rings) and the non-empty source and overlaying names.
    std::vector<std::string> Result() const
    {
        std::vector<std::string> described;
        const CLayer* added = Added();
        for (const CReadObject& object : ReadObjects(added->GetPath(), added->GetType())) {
            std::string text = added->GetType() == CLayer::kPoint ? PointsText(&object.point, 1)
                               : added->GetType() == CLayer::kLine
                                   ? ShapeText(object.shape)
                                   : FormatC("area %.9g rings %d", object.shape.Area(), object.shape.GetPartCount());
            std::string names;
            for (const char* field : {"Name", "Name_"})
                if (auto it = object.fields.find(field); it != object.fields.end() && !it->second.empty())
                    names += (names.empty() ? "" : " ") + it->second;
            described.push_back(text + " [" + names + "]");
        }
        return described;
    }

    CScriptedGeoprocDialogs dialogs;
};

struct OverlayRow {
    const char* what;
    int code;
    std::vector<std::string> source;
    std::vector<std::string> overlaying;
    std::vector<std::string> result;
};

const std::vector<std::string> kTwoSquares = {"0 0, 10 0, 10 10, 0 10", "5 5, 15 5, 15 15, 5 15"};

TEST_F(OverlayTest, PointsInsideOrOnABoundaryAreKeptOrLeft)
{
    // The second point lies in both squares, the third on the first's edge.
    const std::vector<std::string> points = {"2 2", "7 7", "10 2", "20 20"};
    const OverlayRow rows[] = {
        {"intersection", kOverlayIntersect, points, kTwoSquares, {"2 2 [P0 O0]", "7 7 [P1 O1]", "10 2 [P2 O0]"}},
        {"clip", kOverlayClip, points, kTwoSquares, {"2 2 [P0]", "7 7 [P1]", "10 2 [P2]"}},
        {"subtract", kOverlaySubtract, points, kTwoSquares, {"20 20 [P3]"}},
        {"classification", kOverlayClassify, points, kTwoSquares,
         {"2 2 [P0 O0]", "7 7 [P1 O1]", "10 2 [P2 O0]", "20 20 [P3]"}},
    };
    CLayer& overlay = AddLayer("Overlay", CLayer::kArea, kTwoSquares, "O");
    for (const OverlayRow& row : rows) {
        CLayer& source = AddLayer("Points", CLayer::kPoint, row.source, "P");
        ASSERT_EQ(Run(source, overlay, row.code), 1) << row.what;
        EXPECT_EQ(Added()->GetType(), CLayer::kPoint);
        EXPECT_EQ(Result(), row.result) << row.what;
    }
    // Classification asked where the points go first.
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"311"});
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(OverlayTest, LinesAreCutByEachAreaTheyMeet)
{
    const std::vector<std::string> lines = {"-5 2, 20 2", "-5 7, 20 7", "30 30, 40 40"};
    const OverlayRow rows[] = {
        // Overlapping areas each cut their own piece.
        {"intersection", kOverlayIntersect, lines, kTwoSquares,
         {"0 2, 10 2 [L0 O0]", "0 7, 10 7 [L1 O0]", "5 7, 15 7 [L1 O1]"}},
        {"clip", kOverlayClip, lines, kTwoSquares, {"0 2, 10 2 [L0]", "0 7, 10 7 [L1]", "5 7, 15 7 [L1]"}},
        {"subtract", kOverlaySubtract, lines, kTwoSquares,
         {"-5 2, 0 2 | 10 2, 20 2 [L0]", "-5 7, 0 7 | 15 7, 20 7 [L1]", "30 30, 40 40 [L2]"}},
        // The first area takes the common piece; the rest keeps the source's attributes.
        {"classification", kOverlayClassify, lines, kTwoSquares,
         {"0 2, 10 2 [L0 O0]", "-5 2, 0 2 | 10 2, 20 2 [L0]", "0 7, 10 7 [L1 O0]", "10 7, 15 7 [L1 O1]",
          "-5 7, 0 7 | 15 7, 20 7 [L1]", "30 30, 40 40 [L2]"}},
        {"wholly inside and wholly outside", kOverlayClassify, {"1 1, 3 3", "50 50, 60 60"}, kTwoSquares,
         {"1 1, 3 3 [L0 O0]", "50 50, 60 60 [L1]"}},
    };
    for (const OverlayRow& row : rows) {
        CLayer& overlay = AddLayer("Overlay", CLayer::kArea, row.overlaying, "O");
        CLayer& source = AddLayer("Lines", CLayer::kLine, row.source, "L");
        ASSERT_EQ(Run(source, overlay, row.code), 1) << row.what;
        EXPECT_EQ(Added()->GetType(), CLayer::kLine);
        EXPECT_EQ(Result(), row.result) << row.what;
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(OverlayTest, AreasAreCutIntoPiecesAndRemainders)
{
    const std::vector<std::string> squares = {"0 0, 10 0, 10 10, 0 10", "20 0, 30 0, 30 10, 20 10"};
    // A corner of the first square and a hole in it; the second is left alone.
    const std::vector<std::string> cutters = {"5 -5, 15 -5, 15 5, 5 5", "2 2, 4 2, 4 4, 2 4"};
    const std::vector<std::string> square = {"0 0, 10 0, 10 10, 0 10"};
    const std::vector<std::string> halves = {"0 0, 6 0, 6 10, 0 10", "4 0, 10 0, 10 10, 4 10"};
    const OverlayRow rows[] = {
        {"intersection", kOverlayIntersect, squares, cutters,
         {"area 25 rings 1 [S0 O0]", "area 4 rings 1 [S0 O1]"}},
        {"union", kOverlayUnion, squares, cutters,
         {"area 25 rings 1 [S0 O0]", "area 4 rings 1 [S0 O1]", "area 71 rings 2 [S0]", "area 100 rings 1 [S1]",
          "area 75 rings 1 [O0]"}},
        {"clip", kOverlayClip, squares, cutters, {"area 29 rings 2 [S0]"}},
        {"subtract", kOverlaySubtract, squares, cutters, {"area 71 rings 2 [S0]", "area 100 rings 1 [S1]"}},
        // The overlaying areas come whole, with no source record.
        {"paste", kOverlayPaste, squares, cutters,
         {"area 71 rings 2 [S0]", "area 100 rings 1 [S1]", "area 100 rings 1 []", "area 4 rings 1 []"}},
        {"classification", kOverlayClassify, squares, cutters,
         {"area 25 rings 1 [S0 O0]", "area 4 rings 1 [S0 O1]", "area 71 rings 2 [S0]", "area 100 rings 1 [S1]"}},
        {"union of two overlapping squares", kOverlayUnion, {kTwoSquares[0]}, {kTwoSquares[1]},
         {"area 25 rings 1 [S0 O0]", "area 75 rings 1 [S0]", "area 75 rings 1 [O0]"}},
        {"overlapping areas, intersection", kOverlayIntersect, square, halves,
         {"area 60 rings 1 [S0 O0]", "area 60 rings 1 [S0 O1]"}},
        {"overlapping areas, classification", kOverlayClassify, square, halves,
         {"area 60 rings 1 [S0 O0]", "area 40 rings 1 [S0 O1]"}},
        {"overlapping areas, subtract", kOverlaySubtract, square, halves, {}},
    };
    for (const OverlayRow& row : rows) {
        CLayer& overlay = AddLayer("Overlay", CLayer::kArea, row.overlaying, "O");
        CLayer& source = AddLayer("Areas", CLayer::kArea, row.source, "S");
        ASSERT_EQ(Run(source, overlay, row.code), 1) << row.what;
        EXPECT_EQ(Added()->GetType(), CLayer::kArea);
        EXPECT_EQ(Result(), row.result) << row.what;
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(OverlayTest, AreasClassifiedByPointsTakeTheFirstPointInside)
{
    CLayer& points = AddLayer("Points", CLayer::kPoint, {"3 3", "30 5", "50 50", "5 5"}, "P");
    CLayer& areas = AddLayer("Areas", CLayer::kArea,
                             {"0 0, 10 0, 10 10, 0 10", "20 0, 30 0, 30 10, 20 10", "40 0, 45 0, 45 5, 40 5"}, "S");
    ASSERT_EQ(Run(areas, points, kOverlayClassify), 1);
    // The second square holds a point on its edge only; the third none.
    EXPECT_EQ(Result(), (std::vector<std::string>{"area 100 rings 1 [S0 P0]", "area 100 rings 1 [S1 P1]",
                                                  "area 25 rings 1 [S2]"}));
    EXPECT_TRUE(dialogs.log.empty()) << "only points are classified in place";
}

TEST_F(OverlayTest, EveryPieceCarriesBothRecordsWhole)
{
    CLayer& overlay = AddLayer("Overlay", CLayer::kArea, kTwoSquares, "O");
    CLayer& source = AddLayer("Lines", CLayer::kLine, {"-5 7, 20 7"}, "L");
    ASSERT_EQ(Run(source, overlay, kOverlayIntersect), 1);
    const std::vector<CReadObject> pieces = ReadObjects(Added()->GetPath(), CLayer::kLine);
    ASSERT_EQ(pieces.size(), 2u);
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::map<std::string, std::string> expected = {
            {"Name", "L0"}, {"N", "0"}, {"Name_", "O" + std::to_string(i)}, {"N_", std::to_string(i)}};
        EXPECT_EQ(pieces[i].fields, expected);
    }
}

TEST_F(OverlayTest, TheResultIsProposedUnderTheSourcesTitleWithItsType)
{
    CLayer& overlay = AddLayer("Overlay", CLayer::kArea, kTwoSquares, "O");
    struct Row {
        const char* name;
        int type;
        const char* object;
        int preset;
    };
    const Row rows[] = {
        {"Taskai", CLayer::kPoint, "2 2", CLayer::kPoint},
        {"Trasa", CLayer::kTrack, "2 2", CLayer::kPoint},
        {"Gatves", CLayer::kLine, "0 0, 5 5", CLayer::kLine},
        {"Sritys", CLayer::kArea, "1 1, 2 1, 2 2", CLayer::kArea},
    };
    for (const Row& row : rows) {
        CLayer& source = AddLayer(row.name, row.type, {row.object}, "S");
        ASSERT_EQ(Run(source, overlay, kOverlayClip), 1) << row.name;
        std::string title = row.name;
        for (char& c : title)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(newLayer.offeredName, title) << "no suffix";
        EXPECT_EQ(newLayer.offeredPath, dir.File(title + "_2.gdb")) << "the file made unique";
        EXPECT_EQ(newLayer.offeredType, row.preset) << row.name;
        EXPECT_EQ(Added()->GetType(), row.preset) << row.name;
        EXPECT_EQ(Result().size(), 1u) << row.name;
    }
}

TEST_F(OverlayTest, AnotherResultTypeIsRefusedAndWritesNothing)
{
    CLayer& overlay = AddLayer("Overlay", CLayer::kArea, kTwoSquares, "O");
    const std::pair<int, unsigned> rows[] = {
        {CLayer::kPoint, 1060}, {CLayer::kLine, 1061}, {CLayer::kArea, 1062}};
    for (const auto& [type, message] : rows) {
        CLayer& source = AddLayer("Source", type, {type == CLayer::kPoint ? "2 2" : "1 1, 2 1, 2 2"}, "S");
        newLayer.chosenType = type == CLayer::kArea ? CLayer::kLine : CLayer::kArea;
        const auto before = Folder();
        const int layers = doc.GetLayerCount();
        user.messages.clear();
        EXPECT_EQ(Run(source, overlay, kOverlayClip), 0);
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{message});
        EXPECT_EQ(Folder(), before);
        EXPECT_EQ(doc.GetLayerCount(), layers);
    }
}

TEST_F(OverlayTest, LayersTheOperationDoesNotServeAreRefusedWithoutAWord)
{
    CLayer& areas = AddLayer("Areas", CLayer::kArea, kTwoSquares, "O");
    CLayer& lines = AddLayer("Lines", CLayer::kLine, {"0 0, 5 5"}, "L");
    CLayer& points = AddLayer("Points", CLayer::kPoint, {"1 1"}, "P");
    CLayer& raster = Add("Raster", "picture.png", CLayer::kRaster);
    struct Row {
        const char* what;
        CLayer& source;
        CLayer& overlaying;
        int code;
    };
    const Row rows[] = {
        {"union of lines", lines, areas, kOverlayUnion},
        {"paste of points", points, areas, kOverlayPaste},
        {"lines by points", lines, points, kOverlayClassify},
        {"areas by points, not classified", areas, points, kOverlayIntersect},
        {"a line overlaying layer", areas, lines, kOverlayIntersect},
        {"a raster source", raster, areas, kOverlayClip},
        {"no such code", lines, areas, 5},
    };
    const auto before = Folder();
    for (const Row& row : rows)
        EXPECT_EQ(Run(row.source, row.overlaying, row.code), 0) << row.what;
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(newLayer.runs, 0);
    EXPECT_EQ(Folder(), before);
}

TEST_F(OverlayTest, ACancelAddsWhatWasWritten)
{
    CLayer& overlay = AddLayer("Overlay", CLayer::kArea, kTwoSquares, "O");
    CLayer& source = AddLayer("Lines", CLayer::kLine, {"-5 2, 20 2", "-5 7, 20 7", "30 30, 40 40"}, "L");
    user.cancelAfterChecks = 1; // the second line's check cancels
    ASSERT_EQ(Run(source, overlay, kOverlaySubtract), 1);
    EXPECT_EQ(Result(), (std::vector<std::string>{"-5 2, 0 2 | 10 2, 20 2 [L0]", "-5 7, 0 7 | 15 7, 20 7 [L1]"}));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(OverlayTest, AFailureAddsNothingAndSaysSo)
{
    struct Row {
        const char* what;
        bool spoilOverlay;
        unsigned message;
    };
    const Row rows[] = {
        {"a damaged overlaying layer", true, 1028},
        {"a damaged source", false, 1028},
    };
    for (const Row& row : rows) {
        CLayer& overlay = AddLayer("Overlay", CLayer::kArea, kTwoSquares, "O");
        CLayer& source = AddLayer("Lines", CLayer::kLine, {"-5 2, 20 2", "-5 7, 20 7", "30 30, 40 40"}, "L");
        SpoilSecondBlock((row.spoilOverlay ? overlay : source).GetPath());
        const auto before = Folder();
        const int layers = doc.GetLayerCount();
        user.messages.clear();
        EXPECT_EQ(Run(source, overlay, kOverlayIntersect), 0) << row.what;
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{row.message}) << row.what;
        EXPECT_EQ(doc.GetLayerCount(), layers) << row.what;
        EXPECT_EQ(Folder(), before) << row.what;
    }
}

// ------------------------------------------------------------ in place

class ClassifyInPlaceTest : public OverlayTest {
protected:
    ClassifyInPlaceTest()
    {
        // The second point lies in both squares, the third on the first's edge.
        {
            CGdbSource source;
            const std::vector<CDbfFieldInfo> fields =
                FieldList({{"NAME", 'C', 12, 0}, {"N", 'N', 6, 0}, {"ZONE", 'C', 10, 0}, {"CODE", 'N', 4, 0}});
            EXPECT_TRUE(source.Create(dir.File("points.gdb"), CLayer::kPoint, fields.data()));
            const CMapPoint at[] = {{2, 2}, {7, 7}, {10, 2}, {20, 20}};
            for (int i = 0; i < 4; ++i) {
                AppendWithAttributes(source, nullptr, &at[i], "P" + std::to_string(i), i);
                CDbfTable& table = source.GetTable();
                table.SetField(2, "old");
                table.SetFieldLong(3, 99);
                EXPECT_TRUE(table.WriteRecord());
            }
        }
        points = &Add("Points", "points.gdb", CLayer::kPoint);
        areas = &AddLayer("Areas", CLayer::kArea, {kTwoSquares[0], kTwoSquares[1]}, "O");
        areas->FieldAliases().SetAt("NAME", "Pavadinimas");
        areas->SetFlag(CLayer::kHasAliases, true);
    }
    // Field of each point, in order.
    std::vector<std::string> Column(const char* field) const
    {
        std::vector<std::string> values;
        for (const CReadObject& object : ReadObjects(points->GetPath(), CLayer::kPoint))
            values.push_back(object.fields.at(field));
        return values;
    }

    CLayer* points = nullptr;
    CLayer* areas = nullptr;
};

TEST_F(ClassifyInPlaceTest, TheFieldOfTheHighestContainingAreaIsCopiedWithItsType)
{
    struct Row {
        const char* pointField;
        const char* areaField;
        std::vector<std::string> values;
    };
    const Row rows[] = {
        {"ZONE", "NAME", {"O0", "O1", "O0", "old"}},
        {"ZONE", "N", {"0", "1", "0", "old"}},
        {"CODE", "N", {"0", "1", "0", "99"}},
        // A text that is no number gives 0, not what the point had.
        {"CODE", "NAME", {"0", "0", "0", "99"}},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(ClassifyPointsInPlace(*points, *areas, row.pointField, row.areaField, doc), 1) << row.pointField;
        EXPECT_EQ(Column(row.pointField == std::string("ZONE") ? "Zone" : "Code"), row.values)
            << row.pointField << " from " << row.areaField;
    }
    EXPECT_EQ(Column("Name"), (std::vector<std::string>{"P0", "P1", "P2", "P3"}));
    EXPECT_EQ(Column("N"), (std::vector<std::string>{"0", "1", "2", "3"}));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(ClassifyInPlaceTest, TheCommandAsksWhereThenWhichFields)
{
    dialogs.resultChoice = 1;
    dialogs.pointField = "ZONE";
    dialogs.areaField = "NAME";
    ASSERT_EQ(Run(*points, *areas, kOverlayClassify), 1);
    EXPECT_EQ(dialogs.log, (std::vector<std::string>{"311", "312 Points Areas"}));
    EXPECT_EQ(newLayer.runs, 0);
    EXPECT_EQ(doc.GetLayerCount(), 2);
    EXPECT_EQ(Column("Zone"), (std::vector<std::string>{"O0", "O1", "O0", "old"}));

    // Cancel in either dialog, or a field left out, changes nothing.
    const auto before = Folder();
    const auto run = [&](bool resultOk, bool fieldsOk, const char* areaField) {
        dialogs.resultOk = resultOk;
        dialogs.classFieldsOk = fieldsOk;
        dialogs.areaField = areaField;
        return Run(*points, *areas, kOverlayClassify);
    };
    EXPECT_EQ(run(false, true, "N"), 0);
    EXPECT_EQ(run(true, false, "N"), 0);
    EXPECT_EQ(run(true, true, ""), 0);
    EXPECT_EQ(Folder(), before);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(ClassifyInPlaceTest, ProtectedAttributesAreRefusedBeforeTheFieldsAreAsked)
{
    points->SetFlag(CLayer::kInfoEditable, false);
    dialogs.resultChoice = 1;
    dialogs.pointField = "ZONE";
    dialogs.areaField = "NAME";
    const auto before = Folder();
    EXPECT_EQ(Run(*points, *areas, kOverlayClassify), 0);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"311"});
    EXPECT_EQ(ClassifyPointsInPlace(*points, *areas, "ZONE", "NAME", doc), 0);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1035, 1035}));
    EXPECT_EQ(Folder(), before);
}

TEST_F(ClassifyInPlaceTest, ARecordThatCannotBeWrittenEndsItTold)
{
    EXPECT_EQ(ClassifyPointsInPlace(*points, *areas, "ZONE", "NERA", doc), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1008});
    // Cut short, the table opens read-only.
    user.messages.clear();
    const std::string table = ChangeExtensionCopy(points->GetPath(), "dbf");
    std::string bytes = ReadWholeFile(table);
    bytes.resize(bytes.size() - 5);
    WriteWholeFile(table, bytes);
    EXPECT_EQ(ClassifyPointsInPlace(*points, *areas, "ZONE", "NAME", doc), 0);
    ASSERT_FALSE(user.messages.empty());
    EXPECT_EQ(user.MessageIds().front(), 1030u);
    EXPECT_GE(user.messages.size(), 2u) << "the refused write told";
}

// ------------------------------------------------------------ measures

// A star of n corners around the centre with a star-shaped hole, its radii
// drawn from the generator.
std::string StarWithHole(std::mt19937_64& random, double cx, double cy, double r)
{
    std::uniform_real_distribution<double> outer(0.6 * r, 0.95 * r), inner(0.1 * r, 0.35 * r);
    std::string text;
    for (int ring = 0; ring < 2; ++ring) {
        if (ring > 0)
            text += " | ";
        const int n = 12;
        for (int k = 0; k < n; ++k) {
            const double a = 2 * M_PI * k / n;
            const double radius = ring == 0 ? outer(random) : inner(random);
            text += FormatC("%s%.17g %.17g", k ? ", " : "", cx + radius * std::cos(a), cy + radius * std::sin(a));
        }
    }
    return text;
}

TEST_F(OverlayTest, PiecesAndRemaindersAddUpToTheAreasOnRandomPolygons)
{
    for (const uint64_t seed : {1u, 2u, 3u}) {
        std::mt19937_64 random(seed);
        std::vector<std::string> sources, overlays;
        for (int i = 0; i < 16; ++i) {
            sources.push_back(StarWithHole(random, 10 * (i % 4) + 5, 10 * (i / 4) + 5, 5));
            overlays.push_back(StarWithHole(random, 12 * (i % 4) + 3, 12 * (i / 4) + 4, 6));
        }
        CLayer& overlay = AddLayer("Overlay", CLayer::kArea, overlays, "O");
        CLayer& source = AddLayer("Areas", CLayer::kArea, sources, "S");
        // The area of each source object's pieces by its name.
        const auto byName = [this](std::map<std::string, double>& sums) {
            for (const CReadObject& piece : ReadObjects(Added()->GetPath(), CLayer::kArea))
                sums[piece.fields.at("Name")] += piece.shape.Area();
        };
        std::map<std::string, double> split, classified;
        for (const int code : {kOverlayIntersect, kOverlaySubtract}) {
            ASSERT_EQ(Run(source, overlay, code), 1);
            byName(split);
        }
        ASSERT_EQ(Run(source, overlay, kOverlayClassify), 1);
        byName(classified);
        for (size_t i = 0; i < sources.size(); ++i) {
            const double area = Shape(sources[i]).Area();
            const std::string name = "S" + std::to_string(i);
            EXPECT_NEAR(split[name], area, area * 1e-9) << "seed " << seed << " " << name;
            EXPECT_NEAR(classified[name], area, area * 1e-9) << "seed " << seed << " " << name;
        }

        ASSERT_EQ(Run(source, overlay, kOverlayUnion), 1);
        double pieces = 0;
        for (const CReadObject& piece : ReadObjects(Added()->GetPath(), CLayer::kArea))
            pieces += piece.shape.Area();
        CPolygonSet all;
        for (const std::vector<std::string>* layer : {&sources, &overlays})
            for (const std::string& text : *layer)
                ASSERT_TRUE(CPolygonSet::ClipPolygons(CPolygonSet::kUnion, all, CPolygonSet(Shape(text)), all));
        const double united = all.Area();
        EXPECT_NEAR(pieces, united, united * 1e-9) << "seed " << seed;
        EXPECT_TRUE(user.messages.empty());
    }
}

} // namespace
