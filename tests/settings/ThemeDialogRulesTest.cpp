#include "settings/ThemeDialogRules.h"

#include "layers/DtmLayer.h"
#include "layers/GridFile.h"
#include "layers/ThemeClassList.h"
#include "tests/layers/GridTestSupport.h"
#include "tests/settings/ParcelLayer.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cfloat>

namespace {

std::vector<std::string> Texts(const CThemeClassList& classes)
{
    std::vector<std::string> texts;
    for (int i = 0; i < classes.GetCount(); ++i)
        texts.push_back(classes.GetClassText(i));
    return texts;
}

std::vector<double> Values(const CThemeClassList& classes)
{
    std::vector<double> values;
    for (int i = 0; i + 1 < classes.GetCount(); ++i)
        values.push_back(GetLegendValue(classes, i));
    return values;
}

// An elevation legend of the given upper bounds and a last class.
CThemeClassList Legend(const std::vector<double>& bounds)
{
    CThemeClassList classes;
    classes.SetKind(false, true);
    for (double bound : bounds)
        classes.InsertRangeClass(classes.GetCount(), CLayer::kElevation, -DBL_MAX, bound);
    classes.AddClass(CLayer::kElevation);
    return classes;
}

} // namespace

TEST(ThemeDialogRulesTest, AddingToAnEmptyListMakesTheClassOfOtherValuesBelowTheNewOne)
{
    for (bool numeric : {true, false}) {
        SCOPED_TRACE(numeric);
        CThemeClassList classes;
        classes.SetKind(true, numeric);
        EXPECT_EQ(AddThemeClass(classes, CLayer::kArea, -1), 0);
        ASSERT_EQ(classes.GetCount(), 2);
        EXPECT_EQ(classes.GetClassText(1), "<Kitais atvejais>");
        EXPECT_TRUE(IsEditableThemeClass(classes, 0));
        EXPECT_FALSE(IsEditableThemeClass(classes, 1));
    }
}

TEST(ThemeDialogRulesTest, AddingGoesAtTheSelectionAndKeepsTheLastClassLast)
{
    CThemeClassList classes;
    classes.SetKind(true, false);
    classes.InsertTextClass(0, CLayer::kArea, "A");
    classes.AddClass(CLayer::kArea);
    EXPECT_EQ(AddThemeClass(classes, CLayer::kArea, 1), 1);
    EXPECT_EQ(Texts(classes), (std::vector<std::string>{"A", "", "<Kitais atvejais>"}));
    EXPECT_EQ(AddThemeClass(classes, CLayer::kArea, -1), 0);
    EXPECT_EQ(classes.GetCount(), 4);
}

TEST(ThemeDialogRulesTest, ProposedCountIsOneLessThanTheClassesOrTheRememberedOne)
{
    struct Case {
        int classes;
        int proposed;
    };
    for (const Case& c : {Case{0, 7}, Case{1, 7}, Case{2, 1}, Case{5, 4}}) {
        CThemeClassList list;
        list.SetKind(false, true);
        for (int i = 0; i < c.classes; ++i)
            list.AddClass(CLayer::kArea);
        EXPECT_EQ(ProposedClassCount(list, 7), c.proposed) << c.classes;
    }
}

TEST(ThemeDialogRulesTest, FillTakesTheClassificationOnlyWhenItSucceeds)
{
    CParcelLayer parcels;
    CThemeClassList classes;
    classes.SetKind(true, false);
    classes.InsertTextClass(0, CLayer::kArea, "senas");
    classes.AddClass(CLayer::kArea);

    ASSERT_TRUE(FillThemeClasses(*parcels.layer, "KODAS", classes, 4, 0));
    EXPECT_EQ(classes.GetKind(), CThemeClassList::kTexts);
    EXPECT_EQ(Texts(classes), (std::vector<std::string>{"A1", "A2", "B1", "C3", "<Kitais atvejais>"}));
}

TEST(ThemeDialogRulesTest, RangeFillKeepsTheRangeKind)
{
    CParcelLayer parcels;
    CThemeClassList classes;
    classes.SetKind(false, true);
    ASSERT_TRUE(FillThemeClasses(*parcels.layer, "PLOTAS", classes, 2, 1));
    EXPECT_EQ(classes.GetKind(), CThemeClassList::kNumberRanges);
    const std::vector<std::string> filled = Texts(classes);
    EXPECT_EQ(filled.size(), 3u);
    // A failed classification (no class asked, or no values to count)
    // keeps what was there.
    EXPECT_FALSE(FillThemeClasses(*parcels.layer, "PLOTAS", classes, 0, 1));
    EXPECT_EQ(Texts(classes), filled);
    EXPECT_FALSE(FillThemeClasses(*parcels.layer, "NERA", classes, 3, 0));
    EXPECT_EQ(Texts(classes), filled);
}

TEST(ThemeDialogRulesTest, RecalculationSplitsTheRangeInRoundedSteps)
{
    struct Case {
        std::vector<double> before;
        double minimum, maximum;
        int intervals;
        std::vector<double> after;
    };
    const Case cases[] = {
        {{10, 20}, 0, 100, 4, {0, 25, 50, 75, 100}},
        {{1, 2, 3, 4, 5, 6, 7, 8}, 0, 100, 4, {0, 25, 50, 75, 100}},
        {{10, 20, 30}, 50, 50, 4, {50}},
        {{10, 20, 30}, 60, 50, 4, {60}},
        {{10, 20, 30}, 0, 100, 0, {0}},
        {{10}, 0, 1, 3, {0, 0.33, 0.67, 1}},
        {{10, 20}, -5, 5, 2, {-5, 0, 5}},
        {{}, 0, 100, 2, {0, 50, 100}},
        {{}, 0, 0, 2, {0}},
    };
    for (const Case& c : cases) {
        CThemeClassList classes = Legend(c.before);
        RecalculateLegend(classes, c.minimum, c.maximum, c.intervals);
        EXPECT_EQ(Values(classes), c.after) << c.minimum << " " << c.maximum << " " << c.intervals;
        EXPECT_EQ(classes.GetCount(), static_cast<int>(c.after.size()) + 1);
    }
}

TEST(ThemeDialogRulesTest, RecalculationKeepsTheColoursOfReusedClasses)
{
    CThemeClassList classes = Legend({10, 20, 30});
    SetLegendColour(classes, 1, RGB(1, 2, 3));
    SetLegendColour(classes, 3, RGB(9, 9, 9));
    RecalculateLegend(classes, 0, 10, 1);
    ASSERT_EQ(classes.GetCount(), 3);
    EXPECT_EQ(GetLegendColour(classes, 1), RGB(1, 2, 3));
    EXPECT_EQ(GetLegendColour(classes, 2), RGB(9, 9, 9));
}

TEST(ThemeDialogRulesTest, ProposedIntervalsAreTheClassesLessTwo)
{
    EXPECT_EQ(ProposedIntervalCount(Legend({0, 25, 50, 75, 100})), 4);
    EXPECT_EQ(ProposedIntervalCount(Legend({})), 0);
}

TEST(ThemeDialogRulesTest, OnlyInnerClassesAreEditable)
{
    const CThemeClassList classes = Legend({100, 200, 300});
    EXPECT_FALSE(IsInnerLegendClass(classes, -1));
    EXPECT_FALSE(IsInnerLegendClass(classes, 0));
    EXPECT_TRUE(IsInnerLegendClass(classes, 1));
    EXPECT_TRUE(IsInnerLegendClass(classes, 2));
    EXPECT_FALSE(IsInnerLegendClass(classes, 3));
}

TEST(ThemeDialogRulesTest, AnAddedClassBetweenTwoTakesTheirAverageColour)
{
    CThemeClassList classes = Legend({50, 100, 200});
    SetLegendColour(classes, 1, RGB(10, 100, 200));
    SetLegendColour(classes, 2, RGB(20, 201, 0));
    EXPECT_EQ(InsertLegendClass(classes, 150), 2);
    EXPECT_EQ(Values(classes), (std::vector<double>{50, 100, 150, 200}));
    EXPECT_EQ(GetLegendColour(classes, 2), RGB(15, 150, 100));

    // Right after the first class, or first, there are not two classes
    // before it: a new class's own colour, not the neighbours' average.
    SetLegendColour(classes, 0, RGB(0, 0, 0));
    EXPECT_EQ(InsertLegendClass(classes, 60), 1);
    EXPECT_NE(GetLegendColour(classes, 1), RGB(5, 50, 100));
    EXPECT_EQ(InsertLegendClass(classes, 50), 0);
    EXPECT_EQ(Values(classes), (std::vector<double>{50, 50, 60, 100, 150, 200}));
}

TEST(ThemeDialogRulesTest, AnEditedValueMovesItsClassWithItsColour)
{
    CThemeClassList classes = Legend({100, 200, 300});
    SetLegendColour(classes, 1, RGB(7, 8, 9));
    EXPECT_EQ(MoveLegendClass(classes, 1, 350), 2);
    EXPECT_EQ(Values(classes), (std::vector<double>{100, 300, 350}));
    EXPECT_EQ(GetLegendColour(classes, 2), RGB(7, 8, 9));
    EXPECT_EQ(MoveLegendClass(classes, 2, 50), 0);
    EXPECT_EQ(Values(classes), (std::vector<double>{50, 100, 300}));
    EXPECT_EQ(GetLegendColour(classes, 0), RGB(7, 8, 9));
    EXPECT_EQ(MoveLegendClass(classes, 9, 1), -1);
}

TEST(ThemeDialogRulesTest, GridFilesThatDoNotOpenAreSkipped)
{
    CTempDir dir;
    CScriptedUserServices user;
    const GridBytes grid = NorthFirstGrid(CGridFile::kInt16, 2, 2, {1, 2, 3, 4});
    const auto write = [&](const std::string& name, std::vector<unsigned char> bytes) {
        WriteWholeFile(dir.File(name), std::string(bytes.begin(), bytes.end()));
        return dir.File(name);
    };
    std::vector<unsigned char> notGrid = grid.Bytes();
    notGrid[0] = 'X';
    std::vector<unsigned char> shortHeader = grid.Bytes();
    shortHeader.resize(20);
    const std::vector<std::string> paths = {write("a.rmp", grid.Bytes()), write("b.rmp", shortHeader),
                                            write("c.rmp", grid.Bytes()), write("d.rmp", notGrid),
                                            write("e.rmp", grid.Bytes()), dir.File("nera.rmp")};

    CDtmLayer layer("Reljefas", dir.File("reljefas.dtm"));
    EXPECT_EQ(AddGridFiles(layer, paths), (std::vector<std::string>{paths[0], paths[2], paths[4]}));
    ASSERT_EQ(layer.GetFileCount(), 3);
    EXPECT_EQ(layer.Files()[1].path, paths[2]);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1028, 1030, 1007}));
}

TEST(ThemeDialogRulesTest, FileInformationInDegreesOrMapUnits)
{
    GridBytes geographic = NorthFirstGrid(CGridFile::kInt16, 3, 2, {1, 2, 3, 4, 5, 6});
    geographic.xFirst = 23.5;
    geographic.xLast = 24;
    geographic.yFirst = 55;
    geographic.yLast = 54.75;
    auto grid = OpenGrid(geographic);
    ASSERT_TRUE(grid);
    GridFileInfo info;
    ASSERT_TRUE(DescribeGridFile("c:\\dtm\\a.rmp", *grid, info));
    EXPECT_EQ(info.name, "c:\\dtm\\a.rmp");
    EXPECT_EQ(info.lowerLeft, "(E023\xB0"
                              "30'00.0\"; N54\xB0"
                              "45'00.0\")");
    EXPECT_EQ(info.upperRight, "(E024\xB0"
                               "00'00.0\"; N55\xB0"
                               "00'00.0\")");
    EXPECT_EQ(info.cellSize, "900\" x 900\"");
    EXPECT_EQ(info.gridSize, "3 x 2");

    GridBytes metric = NorthFirstGrid(CGridFile::kInt16, 3, 2, {1, 2, 3, 4, 5, 6});
    metric.xFirst = 500000;
    metric.xLast = 500050;
    metric.yFirst = 6100025;
    metric.yLast = 6100000;
    grid = OpenGrid(metric);
    ASSERT_TRUE(grid);
    ASSERT_TRUE(DescribeGridFile("b.rmp", *grid, info));
    EXPECT_EQ(info.lowerLeft, "(500000; 6100000)");
    EXPECT_EQ(info.upperRight, "(500050; 6100025)");
    EXPECT_EQ(info.cellSize, "25 x 25");
    EXPECT_EQ(info.gridSize, "3 x 2");

    CGridFile closed;
    EXPECT_FALSE(DescribeGridFile("x.rmp", closed, info));
}
