#include "core/DateSerial.h"
#include "core/DbfTable.h"
#include "core/Expr.h"
#include "core/ExprObjectProvider.h"
#include "core/Shape.h"
#include "platform/NumberText.h"
#include "tests/core/FieldLists.h"
#include "tests/support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// A table in memory with one record: NAME 'Vilnius   ', POP 544206, DAY
// 2006-01-02, OK 'y', and blank NODAY and NOFLAG.
class ExprTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto fields = FieldList({{"NAME", 'C', 10, 0},
                                       {"POP", 'N', 8, 0},
                                       {"AREA", 'F', 12, 3},
                                       {"DAY", 'D', 8, 0},
                                       {"OK", 'L', 1, 0},
                                       {"NODAY", 'D', 8, 0},
                                       {"NOFLAG", 'L', 1, 0},
                                       {"NOTE", 'M', 10, 0}});
        ASSERT_TRUE(table.Create("", fields.data()));
        table.SetField(0, "Vilnius");
        table.SetField(1, "544206");
        table.SetField(2, "401.5");
        table.SetField(3, "20060102");
        table.SetField(4, "y");
    }

    // The result as type letter and value: "L:T", "N:3.5", "C:abc",
    // "D:2006-01-02", "D:invalid"; "E<code>" when it does not compile.
    std::string Eval(const std::string& text, CExprObjectProvider* provider = nullptr)
    {
        CExpr expr(&table, text);
        if (!expr.IsCompiled())
            return "E" + std::to_string(expr.GetErrorCode());
        expr.SetObjectProvider(provider);
        CExprValue value;
        if (!expr.Evaluate(value))
            return "run failed";
        switch (value.type) {
        case kExprLogical:
            return value.logical ? "L:T" : "L:F";
        case kExprString:
            return "C:" + value.text;
        case kExprNumber:
            return "N:" + FormatC("%.15g", value.number);
        case kExprDate: {
            CCalendarDate date;
            if (value.number == kExprInvalidDate || !SerialToDate(static_cast<int>(value.number), date))
                return "D:invalid";
            return FormatC("D:%04d-%02d-%02d", date.year, date.month, date.day);
        }
        }
        return "bad type";
    }

    CDbfTable table;
};

struct Case {
    const char* text;
    const char* result;
};

TEST_F(ExprTest, EveryOperatorAndFunctionComputesItsValue)
{
    const Case cases[] = {
        // Field conversions: trailing blanks go, y is true, blank dates and logicals.
        {"NAME", "C:Vilnius"},
        {"POP", "N:544206"},
        {"AREA", "N:401.5"},
        {"DAY", "D:2006-01-02"},
        {"OK", "L:T"},
        {"NOFLAG", "L:F"},
        {"NODAY", "D:invalid"},
        // Constants and logic.
        {".T.", "L:T"},
        {".TRUE.", "L:T"},
        {".F.", "L:F"},
        {".false.", "L:F"},
        {".NOT. .T.", "L:F"},
        {".T. .OR. .F.", "L:T"},
        {".F. OR .F.", "L:F"},
        {".T. .AND. .F.", "L:F"},
        {".T. AND .T.", "L:T"},
        {".T. .XOR. .T.", "L:F"},
        {".T. XOR .F.", "L:T"},
        // Comparisons of every type.
        {"'a' # 'b'", "L:T"},
        {"1 # 1", "L:F"},
        {"'a' <> 'a'", "L:F"},
        {"1 <> 2", "L:T"},
        {"DAY <> {2006-01-03}", "L:T"},
        {".T. <> .F.", "L:T"},
        {"'b' >= 'a'", "L:T"},
        {"2 >= 2", "L:T"},
        {"DAY >= {2006-01-03}", "L:F"},
        {"'ab' <= 'abc'", "L:T"},
        {"3 <= 2", "L:F"},
        {"DAY <= {2006-01-02}", "L:T"},
        {".T. = .T.", "L:T"},
        {"NAME = 'Vilnius'", "L:T"},
        {"NAME = 'Vil'", "L:F"},
        {"NAME = 'Vilnius '", "L:F"},
        {"'a' = 'A'", "L:F"},
        {"2 = 2", "L:T"},
        {"DAY = {2006-01-02}", "L:T"},
        {"'b' > 'a'", "L:T"},
        {"3 > 2", "L:T"},
        {"DAY > {2005-12-31}", "L:T"},
        {"'abc' < 'abd'", "L:T"},
        {"'ab' < 'abc'", "L:T"},
        {"'B' < 'a'", "L:T"},
        {"'\xC0' > 'z'", "L:T"}, // code page bytes above ASCII sort last
        {"1 < 2", "L:T"},
        {"DAY < {2006-01-01}", "L:F"},
        {"NAME >> 'lni'", "L:T"},
        {"'abc' >> 'x'", "L:F"},
        // Arithmetic.
        {"2 ^ 10", "N:1024"},
        {"1 + 2", "N:3"},
        {"5 - 7", "N:-2"},
        {"6 * 7", "N:42"},
        {"7 / 2", "N:3.5"},
        {"1 / 0 > 1E300", "L:T"},
        // Strings.
        {"VAL('  12.5abc')", "N:12.5"},
        {"VAL('x')", "N:0"},
        {"STR(3.14159)", "C:         3"},
        {"STR(42, 5)", "C:   42"},
        {"STR(3.14159, 6, 2)", "C:  3.14"},
        {"LEN(STR(1, 300))", "N:254"},
        {"LEN(NAME)", "N:7"},
        {"LOWER('AbC\xC0')", "C:abc\xC0"},
        {"UPPER('vilnius\xE0')", "C:VILNIUS\xE0"},
        {"CONCAT('a', 'b')", "C:ab"},
        {"CONCAT('a', NAME, 'c')", "C:aVilniusc"},
        {"MID('abcdef', 0, 2)", "C:ab"},
        {"MID('abcdef', 5, 10)", "C:ef"},
        {"MID('abc', 9, 1)", "C:"},
        {"MID('abc', 2, -1)", "C:"},
        {"LEFT(NAME, 3)", "C:Vil"},
        {"LEFT('abc', -1)", "C:"},
        {"RIGHT('abc', 5)", "C:abc"},
        {"RIGHT('abc', 2)", "C:bc"},
        {"REPLACE('a-b-c', '-', '+')", "C:a+b+c"},
        {"REPLACE('aaa', 'aa', 'b')", "C:ba"},
        {"REPLACE('abc', '', 'x')", "C:abc"},
        {"TOLATIN('\xE0\xF0\xFE')", "C:asz"},
        {"CONTAIN('lni', NAME)", "L:T"},
        {"CONTAIN(NAME, 'lni')", "L:F"},
        {"INSTR('n', NAME)", "N:4"},
        {"INSTR('i', NAME, 3)", "N:5"},
        {"INSTR('z', NAME)", "N:0"},
        // Numbers.
        {"ABS(-2)", "N:2"},
        {"ACOS(1)", "N:0"},
        {"ASIN(0)", "N:0"},
        {"ATAN(1) * 4 = PI()", "L:T"},
        {"ATAN2(1, 0) * 2 = PI()", "L:T"},
        {"COS(0)", "N:1"},
        {"SIN(0)", "N:0"},
        {"TAN(0)", "N:0"},
        {"CEILING(1.2)", "N:2"},
        {"DEGREES(PI())", "N:180"},
        {"RADIANS(180)", "N:3.14159265358979"},
        {"EXP(0)", "N:1"},
        {"FLOOR(-1.2)", "N:-2"},
        {"INT(-2.7)", "N:-2"},
        {"LOG(EXP(2))", "N:2"},
        {"LOG10(1000)", "N:3"},
        {"MAX(1, 2)", "N:2"},
        {"MAX(1, 5, 3)", "N:5"},
        {"MIN(1, 2)", "N:1"},
        {"MIN(4, 2, 3)", "N:2"},
        {"MOD(-7, 3)", "N:-1"},
        {"PI()", "N:3.14159265358979"},
        {"ROUND(2.5)", "N:3"},
        {"ROUND(-2.5)", "N:-3"},
        {"SIGN(0)", "N:0"},
        {"SIGN(-3)", "N:-1"},
        {"SQRT(16)", "N:4"},
        // Dates.
        {"DATE(2006, 1, 2)", "D:2006-01-02"},
        {"DATE(2006, 2, 30)", "D:invalid"},
        {"DAY({2006-03-15})", "N:15"},
        {"MONTH({2006-03-15})", "N:3"},
        {"YEAR({2006-03-15})", "N:2006"},
        {"WEEKDAY({2006-01-02})", "N:1"},
        {"WEEKDAY({2006-01-08})", "N:7"},
        {"YEAR(NODAY)", "N:0"},
        // Others.
        {"BETWEEN(5, 1, 10)", "L:T"},
        {"BETWEEN(11, 1, 10)", "L:F"},
        {"BETWEEN(DAY, {2006-01-01}, {2006-01-31})", "L:T"},
        {"BETWEEN('b', 'a', 'c')", "L:T"},
        {"IIF(.T., .F., .T.)", "L:F"},
        {"IIF(.F., 1, 2)", "N:2"},
        {"IIF(.T., DAY, {2000-01-01})", "D:2006-01-02"},
        {"IIF(.F., 'x', NAME)", "C:Vilnius"},
        {"IIF(POP > 1, UPPER('a'), 'b')", "C:A"},
        {"CONCAT(IIF(.F., 'x', UPPER(NAME)), '!')", "C:VILNIUS!"},
        {"INLIST(.F., .T., .F.)", "L:T"},
        {"INLIST(2, 1, 3)", "L:F"},
        {"INLIST(DAY, {2006-01-02})", "L:T"},
        {"INLIST(NAME, 'Kaunas', 'Vilnius')", "L:T"},
        {"RECNO()", "N:0"}, // no record read
        // Blank dates sort before every valid date and equal only each other.
        {"NODAY = NODAY", "L:T"},
        {"NODAY < {0100-01-01}", "L:T"},
        {"NODAY = DATE(2006, 2, 30)", "L:T"},
        {"NODAY <> DAY", "L:T"},
        {"NODAY >= DAY", "L:F"},
        // Not-a-number is equal to nothing and neither less nor greater.
        {"SQRT(-1) = SQRT(-1)", "L:F"},
        {"SQRT(-1) <> 1", "L:T"},
        {"SQRT(-1) < 1", "L:F"},
        {"SQRT(-1) <= 1", "L:F"},
        {"SQRT(-1) > 1", "L:F"},
        {"SQRT(-1) >= 1", "L:F"},
        {"BETWEEN(SQRT(-1), -1E308, 1E308)", "L:F"},
        {"INLIST(SQRT(-1), SQRT(-1))", "L:F"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Eval(c.text), c.result) << c.text;
}

TEST_F(ExprTest, OperatorsGroupByPrecedenceAndFromTheLeft)
{
    const Case cases[] = {
        {"2 ^ 3 * 2", "N:16"},
        {"1 + 2 * 3", "N:7"},
        {"(1 + 2) * 3", "N:9"},
        {"10 - 2 - 3", "N:5"},
        {"2 ^ 3 ^ 2", "N:64"},
        {"12 / 2 * 3", "N:18"},
        {".NOT. .F. .AND. .F.", "L:F"},
        {".NOT. (.F. .AND. .F.)", "L:T"},
        {".T. .OR. .T. .AND. .F.", "L:T"},
        {"(.T. .OR. .T.) .AND. .F.", "L:F"},
        {"1 + 1 = 2 .AND. 3 > 2", "L:T"},
        {"1 < 2 OR 2 < 1", "L:T"},
        {"1 = 1.AND..T.", "L:T"}, // the number ends before .AND.
        {"1 - -2", "N:3"},
        {"POP > 1000 .AND. LEFT(NAME, 2) = 'Vi'", "L:T"},
        {"name = 'Vilnius'", "L:T"},
        {"CONC('a', 'b')", "C:ab"},
        {"LOG1(100)", "N:2"},
        {"LOG(1)", "N:0"},
        {"MAX(1, 2) + MIN(1, 2, 3)", "N:3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Eval(c.text), c.result) << c.text;
}

TEST_F(ExprTest, CompileErrorsCarryTheirCodePositionAndDetail)
{
    const struct {
        std::string text;
        int code;
        int position;
        const char* detail;
    } cases[] = {
        {"", 9, 0, ""},
        {"   ", 9, 3, ""},
        {"1 +", 10, 3, ""},
        {".NOT.", 10, 5, ""},
        {"(1", 13, 2, ""},
        {"LEFT(NAME, 1", 13, 12, ""},
        {"1)", 4, 1, ""},
        {"1, 2", 5, 1, ""},
        {"(1, 2)", 6, 2, ""},
        {"1 2", 16, 2, ""},
        {"1 (2)", 16, 2, ""},
        {"NAME = 5", 21, 8, "="},
        {"1 + 'a' > 0", 21, 8, "+"},
        {"NAME >> 1", 21, 9, ">>"},
        {"'a' # 1", 21, 7, "#"},
        {"LEFT(NAME)", 11, 9, "LEFT"},
        {"MAX(1)", 11, 5, "MAX"},
        {"PI(1)", 11, 4, "PI"},
        {"LEFT(5, 2)", 14, 9, "LEFT"},
        {"IIF(.T., 1, 'a')", 14, 15, "IIF"},
        {"INLIST(1, 'a')", 14, 13, "INLIST"},
        {"FOO(1)", 15, 0, ""},
        {"CO(1)", 15, 0, ""},
        {"DEG(1)", 15, 0, ""},
        {"a.AND.b", 17, 0, ""},
        {"PI", 17, 0, ""},
        {"X = 1", 17, 0, ""},
        {"NAMEISLONG1 = 'x'", 17, 0, ""},
        {".T. ORDER", 17, 6, ""}, // OR, then the operand DER
        {"'abc", 18, 0, ""},
        {"NAME = \"abc'", 18, 7, ""},
        {"{2006-2-30}", 19, 0, ""},
        {"{06-1-1}", 19, 0, ""},
        {"{2006-13-01}", 19, 0, ""},
        {"{2006/1/1}", 20, 0, ""},
        {"{2006-1-1", 20, 0, ""},
        {"{2006-1- 1}", 20, 0, ""},
        {"NOTE = 'x'", 3, 0, ""},
        {"@", 2, 0, ""},
        {"-", 2, 0, ""},
        {"()", 2, 1, ""},
        {"MAX(1, )", 2, 7, ""},
    };
    for (const auto& c : cases) {
        CExpr expr(&table, c.text);
        EXPECT_EQ(expr.GetResultType(), kExprNotCompiled) << c.text;
        EXPECT_EQ(expr.GetErrorCode(), c.code) << c.text;
        EXPECT_EQ(expr.GetErrorPosition(), c.position) << c.text;
        EXPECT_EQ(expr.GetErrorDetail(), c.detail) << c.text;
        EXPECT_TRUE(expr.GetCode().empty()) << c.text;
        CExprValue value;
        EXPECT_FALSE(expr.Evaluate(value)) << c.text;
    }

    // Every code has its message; a filter must be logical.
    EXPECT_EQ(ExprErrorMessageId(1), 1005);
    EXPECT_EQ(ExprErrorMessageId(5), 17);
    EXPECT_EQ(ExprErrorMessageId(16), 14);
    EXPECT_EQ(ExprErrorMessageId(21), 19);
    EXPECT_EQ(ExprErrorMessageId(22), 0);
    CExpr number(&table, "POP + 1");
    EXPECT_EQ(number.GetResultType(), kExprNumber);
    number.RequireLogical();
    EXPECT_EQ(number.GetErrorCode(), 8);
    EXPECT_FALSE(number.IsCompiled());
}

TEST_F(ExprTest, NestingAndLengthPastTheLimitsGiveTheComplexityError)
{
    const auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += s;
        return out;
    };
    const struct {
        std::string text;
        int code;
    } cases[] = {
        {repeat("(", 100) + "1" + repeat(")", 100) + " = 1", 0},
        {repeat("(", 300) + "1" + repeat(")", 300), 12},
        {repeat("(", 100000) + "1", 12},
        {repeat(".NOT. ", 300) + ".T.", 12},
        {repeat("ABS(", 200) + "1" + repeat(")", 200), 12},
        {repeat("1 + (", 120) + "1" + repeat(")", 120), 0},
        {repeat("1 + (", 130) + "1" + repeat(")", 130), 12},
        // The byte code's room.
        {"1" + repeat(" + 1", 1000), 0},
        {"1" + repeat(" + 1", 3000), 12},
        // 1024 bytes of evaluation stack: 127 numbers and the count fit, 128 do not.
        {"MAX(1" + repeat(", 1", 126) + ")", 0},
        {"MAX(1" + repeat(", 1", 127) + ")", 12},
        {"MAX(1" + repeat(", 1", 300) + ")", 12},
    };
    for (const auto& c : cases) {
        CExpr expr(&table, c.text);
        EXPECT_EQ(expr.GetErrorCode(), c.code) << c.text.substr(0, 40);
        CExprValue value;
        EXPECT_EQ(expr.Evaluate(value), c.code == 0) << c.text.substr(0, 40);
    }
}

TEST_F(ExprTest, StringsThatFunctionsMakeStayWithinTheirLimit)
{
    CExpr expr(&table, "LEN(REPLACE(REPLACE(STR(1, 200), ' ', 'aaaaaaaaaaaaaaaaaaaaaaaa'), 'a', 'aaaaaaaaaa'))");
    CExprValue value;
    ASSERT_TRUE(expr.Evaluate(value));
    EXPECT_EQ(value.number, static_cast<double>(kMaxExprTextLength));
}

TEST_F(ExprTest, TodayIsTheLocalDate)
{
    const CCalendarDate today = LocalToday();
    EXPECT_EQ(Eval("YEAR(TODAY())"), "N:" + std::to_string(today.year));
    EXPECT_EQ(Eval("TODAY() = DATE(" + std::to_string(today.year) + ", " + std::to_string(today.month) + ", " +
                   std::to_string(today.day) + ")"),
              "L:T");
}

// A square of side 2 with a tail: two parts.
class CTestShapeProvider : public CExprObjectProvider {
public:
    CTestShapeProvider()
    {
        const CMapPoint ring[] = {{0, 0}, {0, 2}, {2, 2}, {2, 0}};
        m_shape.SetPoints(4, ring);
    }
    double GetArea() override { return m_shape.Area(); }
    double GetLength() override { return 8; }
    int GetPartCount() override { return m_shape.GetPartCount(); }
    int GetPointCount() override { return m_shape.GetPointCount(); }
    bool IsClosed() override { return true; }

private:
    CShape m_shape;
};

TEST_F(ExprTest, ObjectMeasuresComeFromTheProviderOrAreZero)
{
    CTestShapeProvider provider;
    const struct {
        const char* text;
        const char* with;
        const char* without;
    } cases[] = {
        {"OBJ_AREA()", "N:4", "N:0"},
        {"OBJ_LENGTH()", "N:8", "N:0"},
        {"OBJ_NUMPARTS()", "N:1", "N:0"},
        {"OBJ_NUMPOINTS()", "N:4", "N:0"},
        {"OBJ_ISCLOSED()", "L:T", "L:F"},
        {"OBJ_AREA() > 3 .AND. OBJ_ISCLOSED()", "L:T", "L:F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Eval(c.text, &provider), c.with) << c.text;
        EXPECT_EQ(Eval(c.text), c.without) << c.text;
    }
}

TEST_F(ExprTest, FieldValuesAreReadAtEachEvaluation)
{
    CExpr expr(&table, "LEFT(NAME, 2) = 'Vi' .AND. POP > 1000");
    ASSERT_TRUE(expr.IsCompiled());
    EXPECT_TRUE(expr.EvalBool());
    table.SetField(0, "Kaunas");
    EXPECT_FALSE(expr.EvalBool());
    table.SetField(0, "Vi");
    table.SetField(1, "999");
    EXPECT_FALSE(expr.EvalBool());
    table.SetField(1, "1001");
    EXPECT_TRUE(expr.EvalBool());

    // The value of a text result is copied out; the expression runs again and again.
    CExpr text(&table, "CONCAT(UPPER(NAME), '-', STR(POP, 4))");
    CExprValue value;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(text.Evaluate(value));
        EXPECT_EQ(value.text, "VI-1001");
    }
    // A closed table leaves nothing to read.
    table.Close();
    EXPECT_FALSE(expr.EvalBool());
    EXPECT_FALSE(text.Evaluate(value));
}

} // namespace
