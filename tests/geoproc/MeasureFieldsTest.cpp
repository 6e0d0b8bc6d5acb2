// Lengths, areas and coordinates written into the layer's own fields.
#include "geoproc/MeasureFields.h"

#include "core/CoordConverter.h"
#include "tests/geoproc/FieldDialogsSupport.h"

#include <cmath>

namespace {

class MeasureFieldsTest : public CGeoprocFixture {
protected:
    // A GDB layer of the shapes with a name and the measure fields.
    CLayer& AddMeasured(const std::string& name, int type, const std::vector<std::string>& shapes)
    {
        const std::vector<CDbfFieldInfo> fields =
            FieldList({{"NAME", 'C', 12, 0}, {"N", 'N', 6, 0}, {"ILGIS", 'N', 10, 0}, {"KM", 'N', 10, 3},
                       {"MAZAS", 'N', 3, 0}, {"X1", 'N', 14, 3}, {"Y1", 'N', 14, 3}, {"X2", 'N', 14, 3},
                       {"Y2", 'N', 14, 3}});
        {
            CGdbSource source;
            EXPECT_TRUE(source.Create(dir.File(name + ".gdb"), type, fields.data()));
            for (size_t i = 0; i < shapes.size(); ++i) {
                const CShape shape = Shape(shapes[i]);
                AppendWithAttributes(source, &shape, nullptr, "S" + std::to_string(i), static_cast<int>(i));
            }
        }
        return Add(name, name + ".gdb", type);
    }
    CLayer& AddMeasuredPoints(const std::vector<CMapPoint>& points)
    {
        const std::vector<CDbfFieldInfo> fields = FieldList({{"NAME", 'C', 12, 0}, {"N", 'N', 6, 0},
                                                             {"X1", 'N', 14, 3}, {"Y1", 'N', 14, 3}});
        {
            CGdbSource source;
            EXPECT_TRUE(source.Create(dir.File("taskai.gdb"), CLayer::kPoint, fields.data()));
            for (size_t i = 0; i < points.size(); ++i)
                AppendWithAttributes(source, nullptr, &points[i], "P" + std::to_string(i), static_cast<int>(i));
        }
        return Add("Taskai", "taskai.gdb", CLayer::kPoint);
    }
    // The field's texts in record order.
    std::vector<std::string> Column(const CLayer& layer, const std::string& field)
    {
        std::vector<std::string> texts;
        for (const CReadObject& object : ReadObjects(layer.GetPath(), layer.GetType()))
            texts.push_back(object.fields.at(field));
        return texts;
    }

    CScriptedFieldDialogs dialogs;
};

TEST_F(MeasureFieldsTest, LengthsAndAreasInTheChosenUnitAndTheFieldsFormat)
{
    CLayer& lines = AddMeasured("Linijos", CLayer::kLine, {"0 0, 300 400", "0 0, 1000 0, 1000 1250.4"});
    CLayer& areas = AddMeasured("Sritys", CLayer::kArea, {"0 0, 0 100, 200 100, 200 0, 0 0"});
    struct Case {
        CLayer* layer;
        int (*write)(CLayer&, CDrelDoc&);
        int unit;
        const char* field;
        std::vector<std::string> texts;
    } const cases[] = {
        {&lines, WriteLengthsToField, 0, "ILGIS", {"500", "2250"}},
        {&lines, WriteLengthsToField, 1, "KM", {"0.500", "2.250"}},
        {&areas, WriteAreasToField, 0, "ILGIS", {"20000"}},
        {&areas, WriteAreasToField, 1, "KM", {"0.020"}},
        {&areas, WriteLengthsToField, 0, "ILGIS", {"600"}}, // the perimeter
    };
    for (const Case& c : cases) {
        dialogs.log.clear();
        dialogs.unit = c.unit;
        dialogs.calcField = c.field;
        EXPECT_EQ(c.write(*c.layer, doc), 1) << c.field;
        EXPECT_EQ(dialogs.log, std::vector<std::string>{"275"});
        EXPECT_EQ(dialogs.offeredMode, c.write == WriteAreasToField ? 1 : 0);
        EXPECT_EQ(Column(*c.layer, c.field == std::string("KM") ? "Km" : "Ilgis"), c.texts) << c.field;
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(MeasureFieldsTest, DegreeMapsMeasureOnTheSphere)
{
    doc.Settings().mapUnits = kUnitsDegrees;
    CLayer& lines = AddMeasured("Linijos", CLayer::kLine, {"24 54, 25 54"});
    dialogs.calcField = "KM";
    dialogs.unit = 1;
    ASSERT_EQ(WriteLengthsToField(lines, doc), 1);
    EXPECT_EQ(Column(lines, "Km"), std::vector<std::string>{FormatC("%.3f", GreatCircleDistanceKm(24, 54, 25, 54))});
}

TEST_F(MeasureFieldsTest, OnlyRecordsPassingTheFilterChange)
{
    CLayer& lines = AddMeasured("Linijos", CLayer::kLine, {"0 0, 10 0", "0 0, 20 0", "0 0, 30 0"});
    lines.SetFilter("(N = 1)");
    dialogs.calcField = "ILGIS";
    ASSERT_EQ(WriteLengthsToField(lines, doc), 1);
    EXPECT_EQ(Column(lines, "Ilgis"), (std::vector<std::string>{"", "20", ""}));
}

TEST_F(MeasureFieldsTest, RefusalsAndSilentEnds)
{
    CLayer& lines = AddMeasured("Linijos", CLayer::kLine, {"0 0, 10 0"});
    const std::string before = ReadWholeFile(dir.File("Linijos.dbf"));

    // The attribute data may not be edited: 1035 before any dialog, for every measure.
    lines.SetFlag(CLayer::kInfoEditable, false);
    for (int (*write)(CLayer&, CDrelDoc&) : {WriteLengthsToField, WriteCoordinatesToField}) {
        user.messages.clear();
        EXPECT_EQ(write(lines, doc), 0);
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1035});
    }
    EXPECT_TRUE(dialogs.log.empty());
    lines.SetFlag(CLayer::kInfoEditable, true);

    // Types the measure does not serve give 0 without a word.
    user.messages.clear();
    EXPECT_EQ(WriteAreasToField(lines, doc), 0);
    CLayer raster("R", dir.File("r.png"), CLayer::kRaster);
    EXPECT_EQ(WriteCoordinatesToField(raster, doc), 0);
    EXPECT_TRUE(dialogs.log.empty());

    // A field the table lacks, a Cancel: nothing written, nothing said.
    dialogs.calcField = "NERA";
    EXPECT_EQ(WriteLengthsToField(lines, doc), 0);
    dialogs.calcField = "ILGIS";
    dialogs.calcOk = false;
    EXPECT_EQ(WriteLengthsToField(lines, doc), 0);
    dialogs.coords.xField = "X1"; // the second of a point's two is missing
    CLayer& points = AddMeasuredPoints({{1, 2}});
    const std::string pointsBefore = ReadWholeFile(dir.File("taskai.dbf"));
    EXPECT_EQ(WriteCoordinatesToField(points, doc), 0);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(ReadWholeFile(dir.File("Linijos.dbf")), before);
    EXPECT_EQ(ReadWholeFile(dir.File("taskai.dbf")), pointsBefore);
}

TEST_F(MeasureFieldsTest, ValuesTooWideAreCountedAndToldOnce)
{
    CLayer& lines = AddMeasured("Linijos", CLayer::kLine, {"0 0, 5000 0", "0 0, 10 0", "0 0, 0 7000"});
    dialogs.calcField = "MAZAS";
    EXPECT_EQ(WriteLengthsToField(lines, doc), 1);
    EXPECT_EQ(Column(lines, "Mazas"), (std::vector<std::string>{"***", "10", "***"}));
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_NE(user.messages[0].text.find("\"Mazas\""), std::string::npos);
    EXPECT_NE(user.messages[0].text.find(": 2."), std::string::npos);
}

TEST_F(MeasureFieldsTest, AWriteTheTableRefusesStopsAtOnceWithOneMessage)
{
    CLayer& lines = AddMeasured("Linijos", CLayer::kLine, {"0 0, 10 0", "0 0, 20 0", "0 0, 30 0"});
    // A table cut short opens read-only, and says so.
    std::string bytes = ReadWholeFile(dir.File("Linijos.dbf"));
    bytes.resize(bytes.size() - 30);
    WriteWholeFile(dir.File("Linijos.dbf"), bytes);
    dialogs.calcField = "ILGIS";
    EXPECT_EQ(WriteLengthsToField(lines, doc), 0);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1030, 1044}));
}

TEST_F(MeasureFieldsTest, PointCoordinatesConvertedFromTheMapsSystem)
{
    doc.Settings().mapUnits = kUnitsDegrees;
    CLayer& points = AddMeasuredPoints({{24, 54}, {25.5, 55.25}});
    dialogs.coords.xField = "X1";
    dialogs.coords.yField = "Y1";
    ASSERT_EQ(WriteCoordinatesToField(points, doc), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"30777"});
    EXPECT_EQ(Column(points, "X1"), (std::vector<std::string>{"24.000", "25.500"}));
    EXPECT_EQ(Column(points, "Y1"), (std::vector<std::string>{"54.000", "55.250"}));

    // An unset source system is the map's geographic one.
    dialogs.coords.transform = 1;
    dialogs.coords.fromSystem = -1;
    dialogs.coords.toSystem = kCoordTm;
    ASSERT_EQ(WriteCoordinatesToField(points, doc), 1);
    CMapPoint expected{24, 54};
    CreateCoordConverter(kCoordGeographic, kCoordTm)->ConvertPoint(expected);
    EXPECT_EQ(Column(points, "X1")[0], FormatC("%.3f", expected.x));
    EXPECT_EQ(Column(points, "Y1")[0], FormatC("%.3f", expected.y));
}

TEST_F(MeasureFieldsTest, LineEndsIntoTheFieldsFound)
{
    CLayer& lines = AddMeasured("Linijos", CLayer::kLine, {"1 2, 3 4 | 5 6, 7 8", "10 20, 30 40"});
    dialogs.coords.xField = "X1";
    dialogs.coords.yField = "Y1";
    dialogs.coords.lastYField = "NERA"; // skipped
    ASSERT_EQ(WriteCoordinatesToField(lines, doc), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"30778"});
    EXPECT_EQ(Column(lines, "X1"), (std::vector<std::string>{"1.000", "10.000"}));
    EXPECT_EQ(Column(lines, "Y1"), (std::vector<std::string>{"2.000", "20.000"}));
    EXPECT_EQ(Column(lines, "X2"), (std::vector<std::string>{"", ""}));

    dialogs.coords = {};
    dialogs.coords.lastXField = "X2";
    dialogs.coords.lastYField = "Y2";
    ASSERT_EQ(WriteCoordinatesToField(lines, doc), 1);
    EXPECT_EQ(Column(lines, "X2"), (std::vector<std::string>{"7.000", "30.000"}));
    EXPECT_EQ(Column(lines, "Y2"), (std::vector<std::string>{"8.000", "40.000"}));
    EXPECT_EQ(Column(lines, "X1"), (std::vector<std::string>{"1.000", "10.000"}));
}

} // namespace
