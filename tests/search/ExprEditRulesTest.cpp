// The expression editor's rules: error messages, the operator and
// function lists, what an insertion writes and a check over a table.
#include "search/ExprEditRules.h"

#include "core/DbfTable.h"
#include "core/ExprTable.h"
#include "platform/Codepage.h"
#include "tests/settings/ParcelLayer.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(ExprEditRulesTest, EveryErrorCodeHasItsMessage)
{
    const char* const texts[] = {
        "",
        "Trūksta atminties.",
        "Sintaksės klaida.",
        "\"MEMO\" laukų negalima naudoti reiškinyje.",
        "Nereikalingas uždarantis skaliaustas \")\"",
        "Nereikalingas kablelis \",\"",
        "Perdaug argumentų (trūksta funkcijos vardo).",
        "Reiškinys neturi rezultato.",
        "Reiškinio reikšmė ne BOOL tipo.",
        "Tuščias reiškinys.",
        "Neužbaigtas reiškinys.",
        "Klaidingas funkcijos parametrų skaičius.",
        "Per ilgas arba perdaug sudėtingas reiškinys.",
        "Trūksta uždarančio skliausto \")\"",
        "Netinkami funcijos parametrų tipai.",
        "Nežinoma funkcija.",
        "Nežinomas operatorius.",
        "Nežinomas kintamasis",
        "Trūksta simbolių eilutės užbaigiančių kabučių.",
        "Klaidinga data.",
        "Klaidingas datos formatas. Turi būti:\n {yyyy-mm-dd}",
        "Netinkami operatoriaus parametrų tipai.",
    };
    for (int code = 0; code < static_cast<int>(std::size(texts)); ++code)
        EXPECT_EQ(FormatExprError(code), Utf8ToCp1257(texts[code])) << code;
    for (const int other : {-1, 22, 1000})
        EXPECT_EQ(FormatExprError(other), "") << other;
}

TEST(ExprEditRulesTest, EachNameStandsInOneListOnce)
{
    const struct {
        ExprEntryGroup group;
        std::set<std::string> some;
    } lists[] = {
        {ExprEntryGroup::Text, {"MID", "LEFT", "STR", "CONCAT", "UPPER"}},
        {ExprEntryGroup::Math, {"+", "^", "SIN", "ROUND", "PI", "RECNO", "OBJ_AREA"}},
        {ExprEntryGroup::Logical, {".AND.", ".T.", "=", ">>", "<>", "BETWEEN", "IIF", "INLIST", "OBJ_ISCLOSED"}},
        {ExprEntryGroup::Date, {"DATE", "DAY", "TODAY", "WEEKDAY"}},
    };
    std::set<std::string> everyName;
    for (const auto& list : lists) {
        std::set<std::string> names;
        for (const CExprEntry& entry : ExprEntries(list.group)) {
            EXPECT_TRUE(names.insert(entry.name).second) << entry.name << " twice";
            EXPECT_TRUE(everyName.insert(entry.name).second) << entry.name << " in two lists";
            EXPECT_EQ(entry.name, kExprRows[entry.row].name);
            EXPECT_FALSE(ExprEntrySignature(entry.row).empty());
            // Each name has its own words, which also shows the table is sorted.
            EXPECT_NE(ExprEntryExplanation(entry.row), entry.name) << entry.name;
        }
        for (const std::string& name : list.some)
            EXPECT_TRUE(names.count(name)) << name;
    }
    // Every name of the table can be reached.
    for (int row = kExprRowFirstConstant; row < kExprRowCount; ++row)
        EXPECT_TRUE(everyName.count(kExprRows[row].name)) << kExprRows[row].name;
    EXPECT_EQ(ExprEntrySignature(kExprRowCount), "");
    EXPECT_EQ(ExprEntryExplanation(-1), "");
}

int RowOf(const char* name)
{
    for (int row = kExprRowFirstConstant; row < kExprRowCount; ++row)
        if (std::string(kExprRows[row].name) == name)
            return row;
    return -1;
}

TEST(ExprEditRulesTest, InsertionsLeaveTheCaretWhereTheUserTypesNext)
{
    const struct {
        const char* name;
        const char* text;
        int caret;
        const char* signature;
    } cases[] = {
        {"MID", "MID(,,)", 4, "MID(C, N, N) -> C"},
        {"LEFT", "LEFT(,)", 5, "LEFT(C, N) -> C"},
        {"VAL", "VAL()", 4, "VAL(C) -> N"},
        {"PI", "PI()", 4, "PI() -> N"},
        {"TODAY", "TODAY()", 7, "TODAY() -> D"},
        {"CONCAT", "CONCAT(,)", 7, "CONCAT(C, C) -> C"},
        {".AND.", ".AND.", 5, "L .AND. L -> L"},
        {">>", ">>", 2, "C >> C -> L"},
        {".NOT.", ".NOT.", 5, ".NOT. L -> L"},
        {".T.", ".T.", 3, ".T. -> L"},
    };
    for (const auto& c : cases) {
        const int row = RowOf(c.name);
        ASSERT_GE(row, 0) << c.name;
        const CExprInsertion insertion = ExprEntryInsertion(row);
        EXPECT_EQ(insertion.text, c.text);
        EXPECT_EQ(insertion.caret, c.caret) << c.name;
        EXPECT_EQ(ExprEntrySignature(row), c.signature);
    }
    EXPECT_EQ(ExprEntryInsertion(-1).text, "");
}

class ExprCheckTest : public ::testing::Test {
protected:
    ExprCheckTest() { EXPECT_TRUE(table.Open(parcels.dir.File("sklypai.dbf"))); }

    CParcelLayer parcels;
    CDbfTable table;
};

TEST_F(ExprCheckTest, ValuesInsertedByTypeCompileAgainstTheirFields)
{
    const struct {
        const char* field;
        char type;
        const char* value;
        const char* written;
    } cases[] = {
        {"PAV", 'C', "Berþynas", "\"Berþynas\""},
        {"PAV", 'C', "say \"hi\"", "'say \"hi\"'"},
        {"DATA", 'D', "2005-06-17", "{2005-06-17}"},
        {"ARCHYV", 'L', "T", ".T."},
        {"ARCHYV", 'L', "t", ".T."},
        {"ARCHYV", 'L', "Yes", ".T."},
        {"ARCHYV", 'L', "y", ".T."},
        {"ARCHYV", 'L', "F", ".F."},
        {"ARCHYV", 'L', "N", ".F."},
        {"ARCHYV", 'L', "", ".F."},
        {"PLOTAS", 'N', "12.50", "12.50"},
        {"KAINA", 'F', "100.000", "100.000"},
    };
    for (const auto& c : cases) {
        const std::string written = ExprValueText(c.type, c.value);
        EXPECT_EQ(written, c.written);
        const std::string expression = std::string(c.field) + " = " + written;
        EXPECT_EQ(CheckFilterExpression(table, expression).code, 0) << expression;
    }
}

TEST_F(ExprCheckTest, ErrorsComeWithWhereTheCompilerStopped)
{
    const struct {
        const char* text;
        int code;
        int position;
    } cases[] = {
        {"", 9, 0},
        {"   ", 9, 3},
        {"PLOTAS > 3 .AND. MID(PAV, 1, 2) = \"Be\"", 0, 0},
        {"PLOTAS + 1", 8, 0},
        {"PLOTAS > ", 10, 9},
        {"NERA = 1", 17, 0},
        {"DATA = {2005-13-01}", 19, 7},
        {"PAV = \"open", 18, 6},
    };
    for (const auto& c : cases) {
        const CExprCheck check = CheckFilterExpression(table, c.text);
        EXPECT_EQ(check.code, c.code) << c.text;
        if (c.code != 0) {
            EXPECT_FALSE(FormatExprError(check.code).empty());
            EXPECT_EQ(check.position, c.position) << c.text;
        }
    }
}

} // namespace
