#include "tests/layers/LayerTestSupport.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "layers/ThemeClassList.h"
#include "platform/Codepage.h"
#include "tests/core/FieldLists.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

namespace {

using Texts = std::vector<std::string>;
using Numbers = std::vector<double>;
using Ints = std::vector<int>;

// An area layer over "plots.gdb" whose attribute table holds the rows as
// raw field texts; rows marked deleted stay in the file.
class FieldValues : public testing::Test {
protected:
    struct Row {
        Texts texts;
        bool deleted = false;
    };

    void MakeTable(std::initializer_list<FieldSpec> fields, const std::vector<Row>& rows)
    {
        CDbfTable table;
        ASSERT_TRUE(table.Create(m_dir.File("plots.dbf"), FieldList(fields).data()));
        for (const Row& row : rows) {
            table.AppendBlank();
            for (size_t i = 0; i < row.texts.size(); ++i)
                ASSERT_TRUE(DbfPutString(*table.GetHandle(), static_cast<int>(i), row.texts[i]));
            ASSERT_TRUE(table.WriteRecord());
            if (row.deleted) {
                ASSERT_TRUE(table.DeleteRecord(true));
            }
        }
    }

    // NAME and POP: b 30, a 10, b 30, (empty) (empty), z 99 deleted, Z 2.5.
    void MakeNamesTable()
    {
        MakeTable({{"NAME", 'C', 10, 0}, {"POP", 'N', 8, 1}},
                  {{{"b", "30"}}, {{"a", "10"}}, {{"b", "30"}}, {{"", ""}}, {{"z", "99"}, true}, {{"Z", "2.5"}}});
    }

    // One numeric field VAL of the decimals, a record per text.
    void MakeNumbersTable(const Texts& texts, int decimals = 0)
    {
        std::vector<Row> rows;
        for (const std::string& text : texts)
            rows.push_back({{text}});
        MakeTable({{"VAL", 'N', 10, decimals}}, rows);
    }

    CScriptedStyleSource m_styles;
    CScriptedUserServices m_user;
    CTempDir m_dir;
    CLayer m_layer{"Plots", m_dir.File("plots.gdb"), CLayer::kArea};
};

// The classes but the last as their display texts.
Texts ClassTexts(const CThemeClassList& classes)
{
    Texts texts;
    for (int i = 0; i + 1 < classes.GetCount(); ++i)
        texts.push_back(classes.GetClassText(i));
    return texts;
}

TEST_F(FieldValues, TextListsByOption)
{
    MakeNamesTable();
    struct Case {
        unsigned options;
        Texts values;
        Ints records;
    };
    const Case cases[] = {
        {0x00, {"b", "a", "b", "", "Z"}, {0, 1, 2, 3, 5}},
        {0x01, {"b", "a", "b", "Z"}, {0, 1, 2, 5}},
        // Byte order: upper case before lower; the record numbers stay in record order.
        {0x02, {"", "Z", "a", "b", "b"}, {0, 1, 2, 3, 5}},
        {0x03, {"Z", "a", "b", "b"}, {0, 1, 2, 5}},
        {0x07, {"Z", "a", "b"}, {0, 1, 2, 5}},
        {0x05, {"b", "a", "b", "Z"}, {0, 1, 2, 5}}, // no removal without sorting
    };
    for (const Case& c : cases) {
        Texts values;
        Ints records;
        ASSERT_TRUE(m_layer.GetFieldTextValues("name", values, c.options, &records)) << c.options;
        EXPECT_EQ(values, c.values) << c.options;
        EXPECT_EQ(records, c.records) << c.options;
    }
}

TEST_F(FieldValues, OrderListSortsIndexesAndKeepsTheTexts)
{
    MakeNamesTable();
    struct Case {
        unsigned options;
        Ints order;
    };
    // Texts in record order: b a b (empty) Z.
    const Case cases[] = {{0x00, {0, 1, 2, 3, 4}}, {0x02, {3, 4, 1, 0, 2}}, {0x06, {3, 4, 1, 0}}, {0x07, {3, 1, 0}}};
    for (const Case& c : cases) {
        Texts values = {"stale"};
        Ints order = {42};
        ASSERT_TRUE(m_layer.GetFieldTextValues("NAME", values, c.options, nullptr, &order));
        EXPECT_EQ(order, c.order) << c.options;
        const size_t expected = c.options & 0x01 ? 4 : 5;
        EXPECT_EQ(values.size(), expected) << c.options;
        EXPECT_EQ(values[0], "b");
    }
}

TEST_F(FieldValues, LayerFilterOnlyWhenAsked)
{
    MakeNamesTable();
    m_layer.SetFilter("POP > 5");
    Texts values;
    Ints records;
    ASSERT_TRUE(m_layer.GetFieldTextValues("NAME", values, 0x08, &records));
    EXPECT_EQ(values, (Texts{"b", "a", "b"}));
    EXPECT_EQ(records, (Ints{0, 1, 2}));
    ASSERT_TRUE(m_layer.GetFieldTextValues("NAME", values, 0x00));
    EXPECT_EQ(values.size(), 5u);

    Numbers numbers;
    ASSERT_TRUE(m_layer.GetFieldNumberValues("POP", numbers, 0x0F));
    EXPECT_EQ(numbers, (Numbers{10, 30}));
    double minimum, maximum;
    ASSERT_TRUE(m_layer.GetFieldRange("POP", minimum, maximum, false));
    EXPECT_EQ(minimum, 0); // the empty text; the filter is not applied
    EXPECT_EQ(maximum, 30);

    // A filter that does not compile must not pass for "every record".
    m_layer.SetFilter("POP >");
    EXPECT_FALSE(m_layer.GetFieldTextValues("NAME", values, 0x08));
    EXPECT_TRUE(values.empty());
    EXPECT_FALSE(m_layer.GetFieldNumberValues("POP", numbers, 0x08));
    EXPECT_TRUE(m_layer.GetFieldTextValues("NAME", values, 0x00));
}

TEST_F(FieldValues, FieldListsJoinTextsByTab)
{
    MakeNamesTable();
    Texts values;
    ASSERT_TRUE(m_layer.GetFieldTextValues("NAME\tPOP", values, 0x10));
    EXPECT_EQ(values, (Texts{"b\t30", "a\t10", "b\t30", "\t", "Z\t2.5"}));
    // A missing field of a list reads as an empty text; one field alone is refused.
    ASSERT_TRUE(m_layer.GetFieldTextValues("POP\tNONE", values, 0x17));
    EXPECT_EQ(values, (Texts{"\t", "10\t", "2.5\t", "30\t"}));
    EXPECT_FALSE(m_layer.GetFieldTextValues("NONE", values, 0x00));
    Numbers numbers = {1};
    EXPECT_FALSE(m_layer.GetFieldNumberValues("NONE", numbers, 0x00));
    EXPECT_TRUE(numbers.empty());
    EXPECT_TRUE(m_user.messages.empty());
}

TEST_F(FieldValues, OemTextIsConvertedForOneField)
{
    const std::string oem = "\xD0\xD1\xB5"; // DOS 775 letters
    ASSERT_NE(OemToAnsi(oem), oem);
    MakeTable({{"NAME", 'C', 10, 0}}, {{{oem}}});
    Texts values;
    ASSERT_TRUE(m_layer.GetFieldTextValues("NAME", values, 0x00, nullptr, nullptr, true));
    EXPECT_EQ(values, Texts{OemToAnsi(oem)});
    ASSERT_TRUE(m_layer.GetFieldTextValues("NAME", values, 0x00));
    EXPECT_EQ(values, Texts{oem});
}

TEST_F(FieldValues, NumberListsByOption)
{
    MakeNumbersTable({"30", "", "10", "30", "2.5", "-4", "1e999"});
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        unsigned options;
        Numbers values;
        Ints order; // with an order list
    };
    const Case cases[] = {
        {0x00, {30, 0, 10, 30, 2.5, -4, inf}, {0, 1, 2, 3, 4, 5, 6}},
        {0x03, {-4, 2.5, 10, 30, 30, inf}, {4, 3, 1, 0, 2, 5}},
        {0x07, {-4, 2.5, 10, 30, inf}, {4, 3, 1, 0, 5}},
        {0x06, {-4, 0, 2.5, 10, 30, inf}, {5, 1, 4, 2, 0, 6}},
    };
    for (const Case& c : cases) {
        Numbers values;
        ASSERT_TRUE(m_layer.GetFieldNumberValues("VAL", values, c.options)) << c.options;
        EXPECT_EQ(values, c.values) << c.options;
        Ints order;
        ASSERT_TRUE(m_layer.GetFieldNumberValues("VAL", values, c.options, nullptr, &order));
        EXPECT_EQ(order, c.order) << c.options;
    }
}

TEST_F(FieldValues, RangesAndMissingTables)
{
    MakeNumbersTable({"", "7.5", "-2", ""});
    double minimum = 0, maximum = 0;
    ASSERT_TRUE(m_layer.GetFieldRange("VAL", minimum, maximum, true));
    EXPECT_EQ(minimum, -2);
    EXPECT_EQ(maximum, 7.5);
    EXPECT_FALSE(m_layer.GetFieldRange("NONE", minimum, maximum, true));
    EXPECT_EQ(minimum, DBL_MAX);
    EXPECT_EQ(maximum, -DBL_MAX);

    MakeNumbersTable({"", ""});
    EXPECT_FALSE(m_layer.GetFieldRange("VAL", minimum, maximum, true));
    ASSERT_TRUE(m_layer.GetFieldRange("VAL", minimum, maximum, false));
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 0);
    EXPECT_TRUE(m_user.messages.empty());

    CLayer missing("Missing", m_dir.File("missing.gdb"), CLayer::kPoint);
    Texts texts = {"stale"};
    Numbers numbers = {1};
    EXPECT_FALSE(missing.GetFieldTextValues("VAL", texts, 0x00));
    EXPECT_TRUE(texts.empty());
    EXPECT_FALSE(missing.GetFieldNumberValues("VAL", numbers, 0x00));
    EXPECT_FALSE(missing.GetFieldRange("VAL", minimum, maximum, false));
    EXPECT_EQ(m_user.MessageIds(), (std::vector<unsigned>{1007, 1007, 1007}));
}

TEST_F(FieldValues, ClassesOfSingleValues)
{
    MakeNamesTable();
    CThemeClassList classes;
    classes.SetKind(true, false);
    classes.AddClass(0); // replaced
    ASSERT_EQ(m_layer.BuildClassification("NAME", classes, 0, false), 1);
    EXPECT_EQ(ClassTexts(classes), (Texts{"Z", "a", "b"}));
    EXPECT_EQ(classes.GetCount(), 4);
    EXPECT_EQ(classes.GetKind(), CThemeClassList::kTexts);

    classes.SetKind(true, true);
    ASSERT_EQ(m_layer.BuildClassification("POP", classes, 5, true), 1);
    EXPECT_EQ(ClassTexts(classes), (Texts{"2.5", "10", "30"}));

    // No table or no field: only the class for other values.
    ASSERT_EQ(m_layer.BuildClassification("NONE", classes, 5, false), 1);
    EXPECT_EQ(classes.GetCount(), 1);
}

TEST_F(FieldValues, QuantileClasses)
{
    struct Case {
        Texts values;
        int count;
        Texts classes;
    };
    const Case cases[] = {
        {{"3", "1", "4", "2"}, 2, {"1 - 2", "2 - 4"}},
        {{"5", "6", "7"}, 10, {"5 - 5", "5 - 6", "6 - 7"}},
        {{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, 3, {"1 - 3", "3 - 7", "7 - 10"}},
        {{"4", "", "4"}, 1, {"4 - 4"}},
    };
    for (const Case& c : cases) {
        MakeNumbersTable(c.values);
        CThemeClassList classes;
        classes.SetKind(false, true);
        ASSERT_EQ(m_layer.BuildClassification("VAL", classes, c.count, false), 1) << c.count;
        EXPECT_EQ(ClassTexts(classes), c.classes) << c.count;
    }

    MakeTable({{"NAME", 'C', 10, 0}}, {{{"d"}}, {{"b"}}, {{""}}, {{"a"}}, {{"c"}}});
    CThemeClassList classes;
    classes.SetKind(false, false);
    ASSERT_EQ(m_layer.BuildClassification("NAME", classes, 2, false), 1);
    EXPECT_EQ(ClassTexts(classes), (Texts{"a - b", "b - d"}));
    EXPECT_EQ(classes.GetCount(), 3);
}

TEST_F(FieldValues, EqualIntervalBoundsHoldTheExtremes)
{
    struct Case {
        Texts values;
        int decimals;
        int count;
        std::vector<std::pair<double, double>> bounds;
    };
    const Case cases[] = {
        // Rounding alone would start at 0.1 and leave 0.05 out.
        {{"0.05", "1.0", "0.4"}, 1, 2, {{0.0, 0.5}, {0.5, 1.0}}},
        {{"-0.04", "0.96"}, 1, 2, {{-0.1, 0.5}, {0.5, 1.0}}},
        {{"0.04", "0.06"}, 1, 2, {{0.0, 0.1}, {0.1, 0.1}}},
        {{"12", "0", "", "3"}, 0, 4, {{0, 3}, {3, 6}, {6, 9}, {9, 12}}},
        {{"5", "5"}, 2, 2, {{5, 5}, {5, 5}}},
        {{"-1e308", "1e308"}, 0, 2, {{-1e308, 0}, {0, 1e308}}},
    };
    for (const Case& c : cases) {
        MakeNumbersTable(c.values, c.decimals);
        CThemeClassList classes;
        classes.SetKind(false, true);
        ASSERT_EQ(m_layer.BuildClassification("VAL", classes, c.count, true), 1) << c.values[0];
        ASSERT_EQ(classes.GetCount(), static_cast<int>(c.bounds.size()) + 1) << c.values[0];
        for (size_t i = 0; i < c.bounds.size(); ++i) {
            auto* range = static_cast<CThemeRangeClass*>(classes.GetClass(static_cast<int>(i)));
            EXPECT_DOUBLE_EQ(range->m_low, c.bounds[i].first) << c.values[0] << " class " << i;
            EXPECT_DOUBLE_EQ(range->m_high, c.bounds[i].second) << c.values[0] << " class " << i;
        }
        for (const std::string& value : c.values)
            if (!value.empty()) {
                EXPECT_NE(classes.FindClass(value), classes.GetClass(classes.GetCount() - 1)) << value;
            }
    }
}

TEST_F(FieldValues, ClassCountsBelowOneAndEmptyFields)
{
    MakeNumbersTable({"", ""});
    CThemeClassList classes;
    classes.SetKind(false, true);
    // All empty: equal intervals give only the class for other values, quantiles nothing.
    EXPECT_EQ(m_layer.BuildClassification("VAL", classes, 3, true), 1);
    EXPECT_EQ(classes.GetCount(), 1);
    EXPECT_EQ(m_layer.BuildClassification("VAL", classes, 3, false), 0);
    EXPECT_EQ(classes.GetCount(), 0);

    MakeNumbersTable({"1", "2"});
    for (int count : {0, -1}) {
        for (bool equal : {false, true}) {
            classes.SetKind(false, true);
            classes.AddClass(2);
            EXPECT_EQ(m_layer.BuildClassification("VAL", classes, count, equal), 0) << count;
            EXPECT_EQ(classes.GetCount(), 0) << count;
        }
        classes.SetKind(false, false);
        EXPECT_EQ(m_layer.BuildClassification("VAL", classes, count, false), 0) << count;
        classes.SetKind(true, true);
        EXPECT_EQ(m_layer.BuildClassification("VAL", classes, count, false), 1) << count; // the count is not used
        EXPECT_EQ(classes.GetCount(), 3);
    }
}

} // namespace
