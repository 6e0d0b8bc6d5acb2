#include "settings/FilterCondition.h"

#include "core/DbfTable.h"
#include "core/Expr.h"
#include "tests/settings/ParcelLayer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;
using C = CFilterCondition;

// A condition as a user makes it: a field, an operator, and either a
// typed value of the field's type or a second field.
struct Made {
    const char* field;
    int op;
    int conjunction;
    const char* typed;
    const char* secondField = nullptr;
};

char TypeOf(const std::string& field)
{
    for (const auto& [name, type] : {std::pair{"PAV", 'C'}, {"PLOTAS", 'N'}, {"KAINA", 'F'}, {"ARCHYV", 'L'},
                                      {"DATA", 'D'}, {"PASTABA", 'M'}, {"KODAS", 'C'}})
        if (field == name)
            return type;
    return 0;
}

class FilterConditionTest : public ::testing::Test {
protected:
    // The conditions appended as the filter pages append them.
    CFilterConditionList Build(const std::vector<Made>& made)
    {
        CFilterConditionList list;
        for (const Made& m : made) {
            C condition;
            condition.field = m.field;
            condition.op = m.op;
            if (m.secondField) {
                condition.value = m.secondField;
                condition.valueIsField = true;
            } else {
                EXPECT_TRUE(condition.SetTypedValue(TypeOf(m.field), m.typed)) << m.typed;
            }
            list.Append(condition, m.conjunction, *parcels.layer);
        }
        return list;
    }
    static Names Shown(const CFilterConditionList& list)
    {
        Names shown;
        for (int row = 0; row < list.GetCount(); ++row)
            shown.push_back(list.GetDisplay(row));
        return shown;
    }
    // The filter language's own verdict over the layer's table.
    bool Compiles(const std::string& text)
    {
        CDbfTable table;
        EXPECT_TRUE(table.Open(parcels.dir.File("sklypai.dbf")));
        CExpr expr(&table, text);
        expr.RequireLogical();
        return expr.IsCompiled();
    }

    CParcelLayer parcels;
};

TEST_F(FilterConditionTest, ConditionsGoOutAndComeBackTheSame)
{
    struct Case {
        const char* name;
        std::vector<Made> made;
        std::string text;
        Names shown;
    };
    const Case cases[] = {
        {"a text or a number, fields shown by alias",
         {{"PAV", 0, C::kFirst, "ab"}, {"PLOTAS", 2, C::kOr, "1000"}},
         "(PAV = \"ab\") .OR. (PLOTAS > 1000)",
         {"[Pavadinimas] = \"ab\"", "OR [Plotas, ha] > 1000"}},
        {"a logical between points", {{"ARCHYV", 0, C::kFirst, "T"}}, "(ARCHYV = .T.)", {"[ARCHYV] = .T."}},
        {"a text holding a double quote in single quotes",
         {{"PAV", 0, C::kFirst, "say \"hi\""}, {"KODAS", 1, C::kAnd, "it's"}},
         "(PAV = 'say \"hi\"') .AND. (KODAS <> \"it's\")",
         {"[Pavadinimas] = 'say \"hi\"'", "AND [KODAS] <> \"it's\""}},
        {"a text holding the end of a condition",
         {{"PAV", 0, C::kFirst, "a) .OR. (b"}},
         "(PAV = \"a) .OR. (b\")",
         {"[Pavadinimas] = \"a) .OR. (b\""}},
        {"decimal comma or point, trailing zeros dropped",
         {{"PLOTAS", 3, C::kFirst, "1,5"}, {"KAINA", 4, C::kAnd, " 1.50 "}, {"KAINA", 5, C::kOr, "2e3"}},
         "(PLOTAS >= 1.5) .AND. (KAINA < 1.5) .OR. (KAINA <= 2000)",
         {"[Plotas, ha] >= 1.5", "AND [KAINA] < 1.5", "OR [KAINA] <= 2000"}},
        {"another field, and contains",
         {{"KODAS", 0, C::kFirst, nullptr, "PAV"}, {"PAV", 6, C::kAnd, "yn"}},
         "(KODAS = PAV) .AND. (PAV >> \"yn\")",
         {"[KODAS] = [Pavadinimas]", "AND [Pavadinimas] >> \"yn\""}},
        {"a date between braces, which compares with a date field",
         {{"DATA", 0, C::kFirst, "2005-06-17"}, {"DATA", 4, C::kAnd, " 1999-1-2 "}},
         "(DATA = {2005-06-17}) .AND. (DATA < {1999-01-02})",
         {"[DATA] = {2005-06-17}", "AND [DATA] < {1999-01-02}"}},
        {"the first appended condition has no conjunction",
         {{"PLOTAS", 0, C::kAnd, "7"}},
         "(PLOTAS = 7)",
         {"[Plotas, ha] = 7"}},
        {"no rows", {}, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CFilterConditionList made = Build(c.made);
        EXPECT_EQ(made.GetFilterText(), c.text);
        EXPECT_EQ(Shown(made), c.shown);
        EXPECT_TRUE(made.IsChanged() || c.made.empty());

        CFilterConditionList loaded;
        loaded.Load(c.text, *parcels.layer);
        EXPECT_EQ(loaded.GetFilterText(), c.text);
        EXPECT_EQ(Shown(loaded), c.shown);
        EXPECT_FALSE(loaded.IsChanged());
        EXPECT_FALSE(loaded.HasUnreadText());
        if (!c.text.empty()) {
            EXPECT_TRUE(Compiles(c.text)) << c.text;
        }
    }
}

TEST_F(FilterConditionTest, ALeadingMinusReadsBackAsAFieldReference)
{
    const CFilterConditionList made = Build({{"PLOTAS", 1, C::kFirst, "-5"}});
    EXPECT_EQ(made.GetFilterText(), "(PLOTAS <> -5)");
    EXPECT_EQ(made.GetDisplay(0), "[Plotas, ha] <> -5");
    EXPECT_TRUE(Compiles(made.GetFilterText()));

    CFilterConditionList loaded;
    loaded.Load(made.GetFilterText(), *parcels.layer);
    EXPECT_EQ(loaded.GetFilterText(), "(PLOTAS <> -5)");
    EXPECT_EQ(loaded.GetDisplay(0), "[Plotas, ha] <> [-5]");
    EXPECT_TRUE(loaded.GetCondition(0).valueIsField);
}

TEST_F(FilterConditionTest, RemovingTheFirstRowTakesTheConjunctionOfTheNext)
{
    CFilterConditionList list =
        Build({{"PAV", 0, C::kFirst, "a"}, {"PLOTAS", 2, C::kOr, "3"}, {"KODAS", 0, C::kAnd, "B1"}});
    EXPECT_EQ(list.Remove(0), 0);
    EXPECT_EQ(list.GetFilterText(), "(PLOTAS > 3) .AND. (KODAS = \"B1\")");
    EXPECT_EQ(Shown(list), (Names{"[Plotas, ha] > 3", "AND [KODAS] = \"B1\""}));
    EXPECT_TRUE(Compiles(list.GetFilterText()));
    EXPECT_EQ(list.GetRowConjunction(0), C::kFirst);
    EXPECT_EQ(list.GetRowConjunction(1), C::kAnd);

    // Removing the last row selects the row before it; nothing is left at the end.
    EXPECT_EQ(list.Remove(1), 0);
    EXPECT_EQ(list.Remove(0), -1);
    EXPECT_EQ(list.GetFilterText(), "");
    EXPECT_EQ(list.Remove(0), -1);
}

TEST_F(FilterConditionTest, AReplacedRowKeepsItsConjunction)
{
    CFilterConditionList list = Build({{"PAV", 0, C::kFirst, "a"}, {"PLOTAS", 2, C::kOr, "3"}});
    C edited = list.GetCondition(1);
    EXPECT_EQ(edited.field, "PLOTAS");
    EXPECT_EQ(edited.op, 2);
    EXPECT_EQ(edited.GetTypedText(), "3");
    edited.op = 4;
    edited.conjunction = C::kAnd; // the row's own stays
    list.Replace(1, edited, *parcels.layer);
    C first = list.GetCondition(0);
    EXPECT_EQ(first.GetTypedText(), "a");
    first.conjunction = C::kOr;
    list.Replace(0, first, *parcels.layer);
    list.Replace(5, first, *parcels.layer);
    EXPECT_EQ(list.GetFilterText(), "(PAV = \"a\") .OR. (PLOTAS < 3)");
}

TEST_F(FilterConditionTest, ValuesThatCannotBeWrittenMakeNoCondition)
{
    const struct {
        char type;
        const char* typed;
    } refused[] = {
        {'N', "abc"}, {'N', ""}, {'F', "1 000"}, {'N', "1,000.5"}, {'N', "12abc"}, {'N', "inf"},
        {'C', "both \" and '"}, {'M', "x"}, {0, "x"},
        // Dates are written only when the language reads them back as dates.
        {'D', ""}, {'D', "2005-02-30"}, {'D', "05-06-17"}, {'D', "2005-06"}, {'D', "2005/06/17"},
        {'D', "20050617"}, {'D', "2005-06-17x"}, {'D', "12005-06-17"}, {'D', "\"2005-06-17\""},
    };
    for (const auto& r : refused) {
        C condition;
        condition.value = "before";
        EXPECT_FALSE(condition.SetTypedValue(r.type, r.typed)) << r.type << " " << r.typed;
        EXPECT_EQ(condition.value, "before");
    }
    C date;
    EXPECT_TRUE(date.SetTypedValue('D', "2005-06-17"));
    EXPECT_EQ(date.value, "{2005-06-17}");
    EXPECT_FALSE(date.valueIsField);
    EXPECT_EQ(date.GetTypedText(), "2005-06-17");
}

TEST_F(FilterConditionTest, AStoredDateReadsBackAsAValue)
{
    // Braces delimit the value as quotes do, up to the one before ")".
    CFilterConditionList list;
    list.Load("(DATA >= {2001-02-03}) .OR. (DATA = {1999-12-31})", *parcels.layer);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_FALSE(list.HasUnreadText());
    const C first = list.GetCondition(0);
    EXPECT_EQ(first.value, "{2001-02-03}");
    EXPECT_FALSE(first.valueIsField);
    EXPECT_EQ(first.GetTypedText(), "2001-02-03");
    EXPECT_EQ(list.GetDisplay(1), "OR [DATA] = {1999-12-31}");

    CFilterConditionList open;
    open.Load("(DATA = {2001-02-03)", *parcels.layer);
    EXPECT_EQ(open.GetCount(), 0);
    EXPECT_TRUE(open.HasUnreadText());
}

TEST_F(FilterConditionTest, MalformedTextsLoadUpToTheFirstBadCondition)
{
    const std::string word254(254, 'W'), word255(255, 'W');
    const struct {
        std::string text;
        int rows;
        bool unread;
    } cases[] = {
        {"PAV = \"a\")", 0, true},                             // no "("
        {"(PAV ~ \"a\")", 0, true},                            // unknown operator
        {"(PAV = \"a\") .AND. (PLOTAS => 3)", 1, true},        // the second one's operator
        {"(PAV = \"a\") .XOR. (PLOTAS > 3)", 1, true},         // unknown conjunction
        {"(PAV = \"a\") .AND.", 1, true},                      // the text ends in the word
        {"(" + word255 + " = 1)", 0, true},                    // a field name too long
        {"(" + word254 + " = 1)", 1, false},
        {"(PLOTAS = " + word255 + ")", 0, true},               // a value too long
        {"(PLOTAS = " + word254 + ")", 1, false},
        {"(PAV = \"a\"", 0, true},                             // no ")"
        {"(PAV = \"a) .AND. (b", 0, true},                      // the quote never closes before ")"
        {"(PAV = 1) (PLOTAS = 2", 1, true},
        {"(PAV =", 0, true},
        {"(PAV", 0, true},
        {"(", 0, true},
        {"   ", 0, false},
        {"(PAV  = 1)", 0, true},                               // an empty operator
        {"( = 1)", 0, true},                                   // an empty field
        {"(PAV = )", 0, true},                                 // an empty value
        {"  (PAV = 1)  .OR.  (PLOTAS = 2) ", 2, false},
    };
    for (const auto& c : cases) {
        // Exactly the text's bytes, so reading past them shows.
        const std::vector<char> bytes(c.text.begin(), c.text.end());
        CFilterConditionList list;
        list.Load(std::string_view(bytes.data(), bytes.size()), *parcels.layer);
        EXPECT_EQ(list.GetCount(), c.rows) << c.text;
        EXPECT_EQ(list.HasUnreadText(), c.unread) << c.text;
        EXPECT_FALSE(list.IsChanged());
    }

    // Emptying a list that read nothing of its text is a change: the text goes.
    CFilterConditionList unread;
    unread.Load("POP > 5", *parcels.layer);
    EXPECT_TRUE(unread.IsEmpty());
    unread.RemoveAll();
    EXPECT_TRUE(unread.IsChanged());
    EXPECT_EQ(unread.GetFilterText(), "");
}

} // namespace
