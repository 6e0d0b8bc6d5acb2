// The search results list, the object choices and the calculation
// parameters offscreen, their controls found by resource id.
#include "search/widgets/CalcParamsDlg.h"
#include "search/widgets/ObjectChoiceDlg.h"
#include "search/widgets/SearchResultsDlg.h"

#include "core/DbfTable.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/ShapeOverlay.h"
#include "search/TextSearch.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/ListViewEx.h"
#include "tests/search/FindTestSupport.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class SearchDialogsTest : private CWithApplication, public CFindFixture {
protected:
    static void Click(QWidget& dialog, int id)
    {
        auto* button = FindControl<QPushButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        button->click();
    }
    static QString CellText(const CSearchResultsDlg& dialog, int row, int column)
    {
        return dialog.List().model()->index(row, column).data().toString();
    }
};

TEST_F(SearchDialogsTest, ResultsListAtMostTheLimitAndHideTheirOpener)
{
    CLayer& trees = AddNamedPoints("Medziai", {"Liepa"});
    CTextSearchResults results;
    for (int i = 0; i < 12000; ++i)
        results.Add(trees, 0, "Name", 0, -1, "Liepa");
    QWidget opener;
    opener.show();
    CSearchResultsDlg dialog(results, view, &opener);
    dialog.show();
    EXPECT_FALSE(opener.isVisible());
    EXPECT_EQ(dialog.GetRowCount(), CTextSearchResults::kMostHits);
    EXPECT_EQ(FindControl<QLabel>(&dialog, CSearchResultsDlg::kCount)->text(), "10000");
    SaveScreenshot(dialog, "search-results-full");
    dialog.close();
    EXPECT_TRUE(opener.isVisible());
}

TEST_F(SearchDialogsTest, AHeaderClickSortsItsColumnAgainTheOtherWayCaseIgnored)
{
    CLayer& trees = AddNamedPoints("Medziai", {"b", "A", "c"});
    CLayer& parks = AddNamedPoints("parkai", {"x"});
    CTextSearchResults results;
    results.Add(trees, 0, "Name", 0, -1, "b");
    results.Add(parks, 0, "Name", 0, -1, "x");
    results.Add(trees, 0, "Name", 1, -1, "A");
    results.Add(trees, 0, "Name", 2, -1, "c");
    CSearchResultsDlg dialog(results, view, nullptr);
    dialog.show();
    SaveScreenshot(dialog, "search-results");
    const auto column = [&](int c) {
        QStringList texts;
        for (int row = 0; row < dialog.GetRowCount(); ++row)
            texts << CellText(dialog, row, c);
        return texts;
    };
    EXPECT_EQ(column(2), (QStringList{"b", "x", "A", "c"}));
    dialog.SortBy(2);
    EXPECT_EQ(column(2), (QStringList{"A", "b", "c", "x"}));
    EXPECT_EQ(dialog.HitOfRow(0), 2);
    dialog.SortBy(2);
    EXPECT_EQ(column(2), (QStringList{"x", "c", "b", "A"}));
    // Another column starts ascending again.
    dialog.SortBy(0);
    EXPECT_EQ(column(0), (QStringList{"Medziai", "Medziai", "Medziai", "parkai"}));
    dialog.SortBy(0);
    EXPECT_EQ(column(0).front(), "parkai");
}

TEST_F(SearchDialogsTest, ResultButtonsActOnTheSelectedRow)
{
    CLayer& trees = AddNamedPoints("Medziai", {"Liepa", "Klevas"});
    CTextSearchResults results;
    results.Add(trees, 0, "Name", 0, -1, "Liepa");
    results.Add(trees, 0, "Name", 1, -1, "Klevas");
    CSearchResultsDlg dialog(results, view, nullptr);
    dialog.show();
    dialog.List().setCurrentIndex(dialog.List().model()->index(1, 0));

    // "Red. info..." does nothing, the default button shows and stays.
    Click(dialog, CSearchResultsDlg::kEditButton);
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(Messages().empty());
    Click(dialog, CSearchResultsDlg::kShowButton);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(Marks(), 1);
    EXPECT_NEAR(view.GetMapExtent().Center().x, 150, 1);
    Click(dialog, CSearchResultsDlg::kInfoButton);
    ASSERT_FALSE(host.infoLines.empty());
    EXPECT_EQ(host.infoLines[0], "Name\tKlevas");

    // Refused, the row stays; agreed, it goes and the count follows.
    trees.SetFlag(CLayer::kObjectsEditable, false);
    Click(dialog, CSearchResultsDlg::kDeleteButton);
    EXPECT_EQ(Messages().back(), 1021u);
    EXPECT_EQ(dialog.GetRowCount(), 2);
    trees.SetFlag(CLayer::kObjectsEditable, true);
    user.answers = {IDNO, IDYES};
    Click(dialog, CSearchResultsDlg::kDeleteButton);
    EXPECT_EQ(dialog.GetRowCount(), 2);
    Click(dialog, CSearchResultsDlg::kDeleteButton);
    EXPECT_EQ(Messages().back(), 2006u);
    ASSERT_EQ(dialog.GetRowCount(), 1);
    EXPECT_EQ(dialog.HitOfRow(0), 0);
    EXPECT_EQ(FindControl<QLabel>(&dialog, CSearchResultsDlg::kCount)->text(), "1");
}

TEST_F(SearchDialogsTest, TheTextChoiceStartsOnTheFirstAndReturnsTheChosen)
{
    CObjectChoiceDlg dialog({{"Vilniaus g."}, {"Vilniaus a."}});
    dialog.show();
    SaveScreenshot(dialog, "object-choice-texts");
    auto* list = FindControl<QListWidget>(&dialog, CObjectChoiceDlg::kList);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(list->item(1)->text(), "Vilniaus a.");
    list->setCurrentRow(1);
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetChosen(), 1);

    CObjectChoiceDlg cancelled({{"a"}, {"b"}});
    cancelled.show();
    Click(cancelled, IDCANCEL);
    EXPECT_EQ(cancelled.GetChosen(), -1);
}

TEST_F(SearchDialogsTest, EachObjectChosenIsShownAsItIsSelected)
{
    const struct {
        int type;
        bool pointMark;
    } cases[] = {{CLayer::kPoint, true}, {CLayer::kLine, false}};
    for (const auto& c : cases) {
        CLayer& layer = AddLayer(c.type == CLayer::kPoint ? "Taskai" : "Linijos", c.type, {{"NAME", 'C', 20, 0}},
                                 {{"Pirmas"}, {"Antras"}, {"Trecias"}});
        const std::vector<int32_t> records = {2, 0};
        CChooseObjectDlg dialog(records, {"Trecias", "Pirmas"}, layer, view);
        dialog.show();
        ASSERT_EQ(Marks(), 1) << c.type;
        const bool isPoint = dynamic_cast<CPointOverlay*>(view.GetOverlay(0)) != nullptr;
        const bool isShape = dynamic_cast<CShapeOverlay*>(view.GetOverlay(0)) != nullptr;
        EXPECT_EQ(isPoint, c.pointMark) << c.type;
        EXPECT_EQ(isShape, !c.pointMark) << c.type;
        FindControl<QListWidget>(&dialog, CChooseObjectDlg::kList)->setCurrentRow(1);
        EXPECT_EQ(Marks(), 1) << c.type;
        SaveScreenshot(dialog, "object-choice-records");
        Click(dialog, IDOK);
        EXPECT_EQ(dialog.GetRecord(), 0) << c.type;
        EXPECT_EQ(Marks(), 0) << c.type;

        CChooseObjectDlg cancelled(records, {"Trecias", "Pirmas"}, layer, view);
        cancelled.show();
        Click(cancelled, IDCANCEL);
        EXPECT_EQ(cancelled.GetRecord(), -1) << c.type;
        EXPECT_EQ(Marks(), 0) << c.type;
    }
}

TEST_F(SearchDialogsTest, OneOrNoObjectIsAnsweredWithoutAsking)
{
    CLayer& trees = AddNamedPoints("Medziai", {"Liepa"});
    EXPECT_EQ(ChooseObject({}, {}, trees, view), -1);
    EXPECT_EQ(ChooseObject({7}, {"Liepa"}, trees, view), 7);
    EXPECT_EQ(Marks(), 0);
}

TEST_F(SearchDialogsTest, CalculationUnitsFollowTheModeAndTheChoice)
{
    CDbfTable table;
    ASSERT_TRUE(table.Create(dir.File("ilgiai.dbf"), FieldList({{"NAME", 'C', 10, 0}, {"ILGIS", 'N', 12, 3}}).data()));
    const struct {
        int mode;
        QStringList units;
    } cases[] = {
        {CCalcParams::kLengths, {"m", "km"}},
        {CCalcParams::kAreas, {"kv. m", "kv. km"}},
    };
    for (const auto& c : cases) {
        CCalcParams params;
        params.mode = c.mode;
        params.unit = 1;
        CCalcParamsDlg dialog(table, params);
        dialog.show();
        SaveScreenshot(dialog, c.mode == CCalcParams::kAreas ? "calc-params-areas" : "calc-params-lengths");
        auto* units = FindControl<QComboBox>(&dialog, CCalcParamsDlg::kUnitCombo);
        ASSERT_TRUE(units);
        QStringList texts;
        for (int i = 0; i < units->count(); ++i)
            texts << units->itemText(i);
        EXPECT_EQ(texts, c.units);
        EXPECT_EQ(units->currentIndex(), 1);
        units->setCurrentIndex(0);
        EXPECT_EQ(dialog.GetParams().unit, 0);
        auto* fields = FindControl<QListWidget>(&dialog, CCalcParamsDlg::kFieldList);
        ASSERT_TRUE(fields);
        ASSERT_EQ(fields->count(), 2);
        fields->setCurrentRow(1);
        Click(dialog, IDOK);
        EXPECT_EQ(dialog.GetParams().field, "Ilgis");
        EXPECT_EQ(dialog.GetParams().mode, c.mode);
    }
}

} // namespace
