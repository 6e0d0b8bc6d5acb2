// The filter condition dialog's rules over a small table of every type.
#include "search/FilterDlgRules.h"

#include "core/DbfTable.h"
#include "core/Expr.h"
#include "tests/settings/ParcelLayer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FilterDlgRulesTest : public ::testing::Test {
protected:
    FilterDlgRulesTest() : fields(ChoosableFields(*parcels.layer)) {}

    int Field(const char* name) const
    {
        for (size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name == name)
                return static_cast<int>(i);
        ADD_FAILURE() << name;
        return -1;
    }
    bool Compiles(const std::string& text)
    {
        CDbfTable table;
        EXPECT_TRUE(table.Open(parcels.dir.File("sklypai.dbf")));
        CExpr expr(&table, text);
        expr.RequireLogical();
        return expr.IsCompiled();
    }

    CParcelLayer parcels;
    std::vector<CFieldChoice> fields;
};

TEST_F(FilterDlgRulesTest, TheFieldsOfConditionTypesByCaption)
{
    std::vector<std::string> shown;
    for (const CFieldChoice& f : fields)
        shown.push_back(f.alias + ":" + f.type);
    EXPECT_EQ(shown, (std::vector<std::string>{"Pavadinimas:C", "Plotas, ha:N", "KAINA:F", "ARCHYV:L", "DATA:D",
                                                "KODAS:C"}));
}

TEST_F(FilterDlgRulesTest, ConditionsAreWrittenByTheFieldsType)
{
    const struct {
        const char* field;
        int op;
        const char* typed;
        const char* second;
        int result;
        const char* expr;
    } cases[] = {
        {"PAV", 0, "ab", nullptr, 0, "(PAV = \"ab\")"},
        {"PAV", 1, "say \"hi\"", nullptr, 0, "(PAV <> 'say \"hi\"')"},
        {"PAV", 6, "ber", nullptr, 0, "(PAV >> \"ber\")"},
        {"PLOTAS", 2, "3,5", nullptr, 0, "(PLOTAS > 3.5)"},
        {"KAINA", 5, " 1.50 ", nullptr, 0, "(KAINA <= 1.5)"},
        {"ARCHYV", 0, "T", nullptr, 0, "(ARCHYV = .T.)"},
        {"DATA", 3, "2005-06-17", nullptr, 0, "(DATA >= {2005-06-17})"},
        {"KODAS", 0, nullptr, "PAV", 0, "(KODAS = PAV)"},
        {"PAV", 6, nullptr, "KODAS", 0, "(PAV >> KODAS)"},
        // Refused with message 1067, the dialog staying open.
        {"PLOTAS", 6, "1", nullptr, 1067, nullptr},
        {"PAV", 6, nullptr, "PLOTAS", 1067, nullptr},
        {"DATA", 6, "2005-06-17", nullptr, 1067, nullptr},
        {"PAV", 0, "both \" and '", nullptr, 1067, nullptr},
        {"PLOTAS", 0, "abc", nullptr, 1067, nullptr},
        {"DATA", 0, "05-06-17", nullptr, 1067, nullptr},
        {"PLOTAS", 0, nullptr, "PAV", 1067, nullptr}, // a number is no text
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + std::to_string(c.op));
        CFilterChoice choice;
        choice.field = Field(c.field);
        choice.op = c.op;
        choice.byField = c.second != nullptr;
        choice.second = c.second ? Field(c.second) : -1;
        choice.typed = c.typed ? c.typed : "";
        EXPECT_TRUE(CanAcceptFilterChoice(choice));
        CFilterCondition condition;
        condition.conjunction = CFilterCondition::kOr;
        condition.value = "before";
        EXPECT_EQ(MakeFilterCondition(*parcels.layer, fields, choice, condition), c.result);
        if (c.result != 0) {
            EXPECT_EQ(condition.value, "before");
            continue;
        }
        condition.conjunction = CFilterCondition::kFirst;
        EXPECT_EQ(condition.FormatExpr(), c.expr);
        EXPECT_TRUE(Compiles(c.expr));

        // Shown again, the condition comes back the same.
        const CFilterChoice again = PresetFilterChoice(fields, condition);
        EXPECT_EQ(again.field, choice.field);
        EXPECT_EQ(again.op, choice.op);
        EXPECT_EQ(again.byField, choice.byField);
        EXPECT_EQ(again.second, choice.second);
        CFilterCondition remade;
        ASSERT_EQ(MakeFilterCondition(*parcels.layer, fields, again, remade), 0);
        EXPECT_EQ(remade.FormatExpr(), c.expr);
    }
}

TEST_F(FilterDlgRulesTest, APresetShowsItsValueAsTyped)
{
    const struct {
        const char* stored;
        const char* typed;
    } cases[] = {
        {"(PAV = \"ab\")", "ab"},
        {"(PAV = 'say \"hi\"')", "say \"hi\""},
        {"(ARCHYV = .F.)", "F"},
        {"(DATA < {2001-02-03})", "2001-02-03"},
        {"(PLOTAS > 12.5)", "12.5"},
    };
    for (const auto& c : cases) {
        CFilterCondition stored;
        ASSERT_GT(stored.Parse(c.stored), 0u) << c.stored;
        const CFilterChoice choice = PresetFilterChoice(fields, stored);
        EXPECT_EQ(choice.typed, c.typed);
        EXPECT_FALSE(choice.byField);
        EXPECT_GE(choice.field, 0);
    }
    // A field the table no longer has selects nothing.
    CFilterCondition gone;
    ASSERT_GT(gone.Parse("(NERA = 1)"), 0u);
    EXPECT_EQ(PresetFilterChoice(fields, gone).field, -1);
    EXPECT_EQ(PresetFilterChoice(fields, CFilterCondition()).field, -1);
}

TEST_F(FilterDlgRulesTest, OkNeedsAFieldAndInFieldModeASecond)
{
    const struct {
        int field;
        bool byField;
        int second;
        bool accepted;
        int result;
    } cases[] = {
        {-1, false, -1, false, -1},
        {0, false, -1, true, 0},
        {0, true, -1, false, -1},
        {0, true, 5, true, 0},
        {-1, true, 5, false, -1},
        {99, false, -1, true, -1}, // outside the list: nothing made
    };
    for (const auto& c : cases) {
        CFilterChoice choice;
        choice.field = c.field;
        choice.byField = c.byField;
        choice.second = c.second;
        choice.typed = "x";
        EXPECT_EQ(CanAcceptFilterChoice(choice), c.accepted) << c.field << c.byField << c.second;
        CFilterCondition condition;
        EXPECT_EQ(MakeFilterCondition(*parcels.layer, fields, choice, condition), c.result)
            << c.field << c.byField << c.second;
    }
}

TEST_F(FilterDlgRulesTest, TheValuesOfAFieldEachOnceAndDatesAsConditionsTakeThem)
{
    std::vector<std::string> values;
    ASSERT_TRUE(GetConditionValues(*parcels.layer, "PAV", values));
    EXPECT_EQ(values, (std::vector<std::string>{"Alksnynas", "Ber\xFE" "ynas", "\xC0\xFE" "uolynas"}));
    ASSERT_TRUE(GetConditionValues(*parcels.layer, "DATA", values));
    EXPECT_EQ(values, (std::vector<std::string>{"2005-06-17"}));
    ASSERT_TRUE(GetConditionValues(*parcels.layer, "ARCHYV", values));
    EXPECT_EQ(values, (std::vector<std::string>{"F", "T"}));
    EXPECT_FALSE(GetConditionValues(*parcels.layer, "NERA", values));
}

} // namespace
