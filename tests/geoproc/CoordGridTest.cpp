// The coordinate grid: the step texts, the bounds and counts of the plan,
// the objects and their labels, and the new layer through its dialogs.
#include "geoproc/CoordGrid.h"

#include "core/LatLonText.h"
#include "layers/Sublayer.h"
#include "tests/geoproc/FieldDialogsSupport.h"

#include <cmath>

namespace {

const std::string kDegree = "\xB0";

TEST(CoordGridStep, ParsesANumberAndAUnit)
{
    struct Case {
        std::string text;
        bool geographic;
        bool parsed;
        double step;
    } const cases[] = {
        {"1 km", false, true, 1000},
        {"2 KM", false, true, 2000},
        {"500 m", false, true, 500},
        {"250", false, true, 250},
        {"3 furlongs", false, true, 3},
        {"7 " + std::string(300, 'x'), false, true, 7},
        {"5'", true, true, 5.0 / 60},
        {"10\"", true, true, 10.0 / 3600},
        {"1" + kDegree, true, true, 1},
        {"1 km", true, true, 1}, // degrees whatever the word
        {"0", false, false, 0},
        {"0 km", false, false, 0},
        {"-1 km", false, false, 0},
        {"abc", false, false, 0},
        {"km", true, false, 0},
        {"", false, false, 0},
        {"inf km", false, false, 0},
        {"nan", true, false, 0},
    };
    for (const Case& c : cases) {
        double step = -1;
        EXPECT_EQ(ParseGridStep(c.text, c.geographic, step), c.parsed) << c.text;
        if (c.parsed) {
            EXPECT_DOUBLE_EQ(step, c.step) << c.text;
        }
    }
}

CCoordGridParams Params(const std::string& step, double west, double south, double east, double north, int whole = 1,
                        int type = CCoordGridParams::kRectangles)
{
    CCoordGridParams params;
    params.step = step;
    params.west = west;
    params.south = south;
    params.east = east;
    params.north = north;
    params.wholeSteps = whole;
    params.objectType = type;
    params.extraPoints = 0;
    return params;
}

TEST(CoordGridPlan, BoundsAndCounts)
{
    struct Case {
        const char* what;
        CCoordGridParams params;
        bool geographic;
        double west, south, east, north, columns, rows;
    } const cases[] = {
        {"on whole steps", Params("1 km", 2000, 1000, 5000, 3000), false, 2000, 1000, 5000, 3000, 4, 3},
        {"grown outward", Params("1 km", 2500, 1200, 4100, 2999), false, 2000, 1000, 5000, 3000, 4, 3},
        {"swapped", Params("1 km", 5000, 3000, 2000, 1000), false, 2000, 1000, 5000, 3000, 4, 3},
        {"not dividing adds one", Params("1 km", 0, 0, 2500, 1000, 0), false, 0, 0, 2500, 1000, 4, 2},
        {"cut at the poles and the date line", Params("10" + kDegree, -200, -95, 185, 91), true, -180, -90, 180,
         90, 37, 19},
        {"minutes meet an exact bound", Params("5'", 23, 54, 24, 55), true, 23, 54, 24, 55, 13, 13},
        {"minutes without whole steps", Params("5'", 23, 54, 24, 55, 0), true, 23, 54, 24, 55, 13, 13},
    };
    for (const Case& c : cases) {
        CCoordGridPlan plan;
        ASSERT_TRUE(PlanCoordGrid(c.params, c.geographic, plan)) << c.what;
        EXPECT_DOUBLE_EQ(plan.west, c.west) << c.what;
        EXPECT_DOUBLE_EQ(plan.south, c.south) << c.what;
        EXPECT_DOUBLE_EQ(plan.east, c.east) << c.what;
        EXPECT_DOUBLE_EQ(plan.north, c.north) << c.what;
        EXPECT_EQ(plan.columns, c.columns) << c.what;
        EXPECT_EQ(plan.rows, c.rows) << c.what;
    }
    CCoordGridPlan plan;
    EXPECT_FALSE(PlanCoordGrid(Params("0", 0, 0, 10, 10), false, plan));
    EXPECT_FALSE(PlanCoordGrid(Params("1 km", 0, 0, INFINITY, 10), false, plan));
}

TEST(CoordGridPlan, ColumnLettersCountLikeSpreadsheets)
{
    const std::pair<long long, const char*> cases[] = {{0, "A"},   {25, "Z"},  {26, "AA"},  {27, "AB"},
                                                       {51, "AZ"}, {52, "BA"}, {701, "ZZ"}, {702, "AAA"}};
    for (const auto& [column, letters] : cases)
        EXPECT_EQ(GridColumnLetters(column), letters) << column;
}

std::vector<std::string> Labels(const CCoordGridPlan& plan)
{
    std::vector<std::string> labels;
    CShape shape;
    for (long long n = 0; n < static_cast<long long>(plan.ObjectCount()); ++n) {
        labels.emplace_back();
        plan.MakeObject(n, shape, labels.back());
    }
    return labels;
}

TEST(CoordGridPlan, LineLabels)
{
    CCoordGridPlan plan;
    ASSERT_TRUE(PlanCoordGrid(Params("1 km", 2000, 1000, 4000, 2000, 1, 1), false, plan));
    EXPECT_EQ(Labels(plan), (std::vector<std::string>{"2000", "3000", "4000", "1000", "2000"}));

    // Not whole: columns by index, rows counted from the top.
    ASSERT_TRUE(PlanCoordGrid(Params("2.5", 0, 0, 5, 5, 1, 1), false, plan));
    EXPECT_EQ(Labels(plan), (std::vector<std::string>{"0", "1", "2", "2", "1", "0"}));

    ASSERT_TRUE(PlanCoordGrid(Params("1" + kDegree, 23, 54, 24, 55, 1, 1), true, plan));
    EXPECT_EQ(Labels(plan), (std::vector<std::string>{"23" + kDegree, "24" + kDegree, "54" + kDegree,
                                                      "55" + kDegree}));

    ASSERT_TRUE(PlanCoordGrid(Params("30'", 23, 54, 24, 54.5, 1, 1), true, plan));
    std::string x1, y1;
    FormatLongitudeText(23.5, 0, 7, x1);
    FormatLatitudeText(0, 54.5, 7, y1);
    const std::vector<std::string> labels = Labels(plan);
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_EQ(labels[1], x1);
    EXPECT_EQ(labels[4], y1);
}

TEST(CoordGridPlan, LinesCarryTheExtraPointsBetweenNodes)
{
    CCoordGridParams params = Params("1 km", 0, 0, 2000, 1000, 1, 1);
    params.extraPoints = 3;
    CCoordGridPlan plan;
    ASSERT_TRUE(PlanCoordGrid(params, false, plan));
    CShape column, row;
    std::string label;
    plan.MakeObject(0, column, label); // x = 0 from y 0 to 1000
    plan.MakeObject(3, row, label);    // y = 0 from x 0 to 2000
    ASSERT_EQ(column.GetPointCount(), 5);
    EXPECT_EQ(column.GetPoint(1), (CMapPoint{0, 250}));
    EXPECT_EQ(column.GetPoint(4), (CMapPoint{0, 1000}));
    ASSERT_EQ(row.GetPointCount(), 9);
    EXPECT_EQ(row.GetPoint(4), (CMapPoint{1000, 0}));
    EXPECT_EQ(row.GetPoint(5), (CMapPoint{1250, 0}));
}

TEST(CoordGridPlan, RectanglesGoColumnByColumnFromTheTop)
{
    CCoordGridParams params = Params("1", 0, 0, 27, 2);
    params.extraPoints = 1;
    CCoordGridPlan plan;
    ASSERT_TRUE(PlanCoordGrid(params, false, plan));
    ASSERT_EQ(plan.ObjectCount(), 27 * 2);
    const std::vector<std::string> labels = Labels(plan);
    EXPECT_EQ(labels[0], "A1");
    EXPECT_EQ(labels[1], "A2");
    EXPECT_EQ(labels[2], "B1");
    EXPECT_EQ(labels[52], "AA1");
    EXPECT_EQ(labels[53], "AA2");

    CShape ring;
    std::string label;
    plan.MakeObject(0, ring, label); // A1: x 0..1, y 1..2
    ASSERT_EQ(ring.GetPointCount(), 9);
    const CMapPoint expected[] = {{0, 1}, {0, 1.5}, {0, 2}, {0.5, 2}, {1, 2}, {1, 1.5}, {1, 1}, {0.5, 1}, {0, 1}};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(ring.GetPoint(i), expected[i]) << i;
}

class CoordGridTest : public CGeoprocFixture {
protected:
    CoordGridTest() { CCoordGridRules::Remember(CCoordGridParams{}); }
    ~CoordGridTest() override
    {
        CCoordGridRules::Remember(CCoordGridParams{});
        CCoordGridRules::RememberStep(false, "1 km");
        CCoordGridRules::RememberStep(true, "1" + kDegree);
    }
    int Run() { return CreateCoordinateGrid(doc, newLayer.Dialogs()); }

    CScriptedFieldDialogs dialogs;
};

TEST_F(CoordGridTest, TheDialogStartsFromTheMapAndTheRememberedValues)
{
    dialogs.gridOk = false;
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(dialogs.offeredGeographic);
    EXPECT_EQ(dialogs.offeredGrid.step, "1 km");
    EXPECT_EQ(dialogs.offeredGrid.north, 1000);
    EXPECT_EQ(dialogs.offeredGrid.east, 1000);
    EXPECT_EQ(dialogs.offeredGrid.objectType, 0);
    EXPECT_EQ(dialogs.offeredGrid.wholeSteps, 1);
    EXPECT_EQ(dialogs.offeredGrid.extraPoints, 2);
    EXPECT_EQ(newLayer.runs, 0);

    doc.Settings().mapUnits = kUnitsDegrees;
    doc.Settings().limits = CMapRect(); // empty
    CCoordGridRules::RememberStep(true, "5'");
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(dialogs.offeredGeographic);
    EXPECT_EQ(dialogs.offeredGrid.step, "5'");
    EXPECT_EQ(dialogs.offeredGrid.north, 0);
    EXPECT_EQ(dialogs.offeredGrid.west, 0);
    EXPECT_EQ(CCoordGridRules::StepTexts(true).size(), 6u);
    EXPECT_EQ(CCoordGridRules::StepTexts(false).size(), 5u);
}

TEST_F(CoordGridTest, RectanglesMakeAHollowAreaLayerNamedGrid)
{
    dialogs.changeGrid = [](CCoordGridParams& p) {
        p.step = "500 m";
        p.extraPoints = 0;
    };
    ASSERT_EQ(Run(), 1);
    EXPECT_EQ(newLayer.offeredName, "Grid");
    EXPECT_EQ(newLayer.offeredType, CLayer::kArea);
    EXPECT_FALSE(newLayer.offeredOptions.typeChoice);
    EXPECT_EQ(newLayer.offeredOptions.fileTypes, 1 | 8);
    ASSERT_EQ(doc.GetLayerCount(), 1);
    CLayer& grid = *doc.GetLayer(0);
    EXPECT_EQ(grid.GetType(), CLayer::kArea);
    EXPECT_EQ(grid.GetSublayer(0)->m_style.Draw().brushStyle, 1);
    const std::vector<CReadObject> objects = ReadObjects(grid.GetPath(), CLayer::kArea);
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[0].fields.at("Id"), "A1");
    EXPECT_EQ(objects[0].shape.GetExtent(), CMapRect(0, 1000, 500, 500));
    EXPECT_EQ(objects[3].fields.at("Id"), "B2");
    // The remembered values the next dialog starts from.
    dialogs.gridOk = false;
    Run();
    EXPECT_EQ(dialogs.offeredGrid.extraPoints, 0);
}

TEST_F(CoordGridTest, LinesIntoAShapefile)
{
    dialogs.changeGrid = [](CCoordGridParams& p) { p.objectType = CCoordGridParams::kLines; };
    newLayer.chosenPath = dir.File("tinklas.shp");
    ASSERT_EQ(Run(), 1);
    EXPECT_EQ(newLayer.offeredType, CLayer::kLine);
    ASSERT_EQ(doc.GetLayerCount(), 1);
    EXPECT_EQ(doc.GetLayer(0)->GetPath(), dir.File("tinklas.shp"));
    const std::vector<CReadObject> objects = ReadObjects(dir.File("tinklas.shp"), CLayer::kLine);
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[1].fields.at("Id"), "1000");
    EXPECT_EQ(objects[1].shape.GetPointCount(), 4); // two extra points
}

TEST_F(CoordGridTest, NothingIsMadeOfABadStepOrWithoutConsent)
{
    dialogs.changeGrid = [](CCoordGridParams& p) { p.step = "abc"; };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(newLayer.runs, 0);
    EXPECT_TRUE(user.messages.empty());

    // 1000 x 1000 m in 1 m cells: a million objects asks first; No writes nothing.
    dialogs.changeGrid = [](CCoordGridParams& p) { p.step = "1 m"; };
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].type & MB_TYPEMASK, static_cast<unsigned>(MB_YESNO));
    EXPECT_EQ(newLayer.runs, 0);

    user.messages.clear();
    dialogs.changeGrid = [](CCoordGridParams& p) { p.step = "1e-6 m"; };
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].type & MB_TYPEMASK, static_cast<unsigned>(MB_OK));

    user.messages.clear();
    dialogs.changeGrid = [](CCoordGridParams& p) { p.north = p.south = 0; };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(user.messages.size(), 1u);

    newLayer.ok = false;
    dialogs.changeGrid = nullptr;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(doc.GetLayerCount(), 0);
    EXPECT_TRUE(Folder().empty());
}

} // namespace
