#include "search/ExprEditRules.h"

#include "core/DbfTable.h"
#include "core/Expr.h"
#include "core/ExprTable.h"
#include "core/ExprValue.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

struct Explanation {
    const char* name;
    const char* text;
};

// Sorted by name (bytes).
constexpr Explanation kExplanations[] = {
    {"#", "Nelygu"},
    {"*", "Daugyba"},
    {"+", "Sudėtis"},
    {"-", "Atimtis"},
    {".AND.", "Loginis IR"},
    {".F.", "Loginė reikšmė \"netiesa\""},
    {".FALSE.", "Loginė reikšmė \"netiesa\""},
    {".NOT.", "Loginis NE"},
    {".OR.", "Loginis ARBA"},
    {".T.", "Loginė reikšmė \"tiesa\""},
    {".TRUE.", "Loginė reikšmė \"tiesa\""},
    {".XOR.", "Loginis ARBA, išskiriantis abu"},
    {"/", "Dalyba"},
    {"<", "Mažiau"},
    {"<=", "Mažiau arba lygu"},
    {"<>", "Nelygu"},
    {"=", "Lygu"},
    {">", "Daugiau"},
    {">=", "Daugiau arba lygu"},
    {">>", "Tekstas yra kitame tekste"},
    {"ABS", "Absoliutinė reikšmė"},
    {"ACOS", "Arkkosinusas (radianais)"},
    {"AND", "Loginis IR"},
    {"ASIN", "Arksinusas (radianais)"},
    {"ATAN", "Arktangentas (radianais)"},
    {"ATAN2", "Taško (x, y) kampas (radianais)"},
    {"BETWEEN", "Reikšmė tarp dviejų ribų (imtinai)"},
    {"CEILING", "Mažiausias sveikas skaičius, ne mažesnis už reikšmę"},
    {"CONCAT", "Tekstų sujungimas"},
    {"CONTAIN", "Tekstas yra kitame tekste"},
    {"COS", "Kosinusas"},
    {"DATE", "Data iš metų, mėnesio ir dienos"},
    {"DAY", "Mėnesio diena"},
    {"DEGREES", "Radianai į laipsnius"},
    {"EXP", "Rodiklinė funkcija"},
    {"FLOOR", "Didžiausias sveikas skaičius, ne didesnis už reikšmę"},
    {"IIF", "Antra reikšmė, kai sąlyga teisinga, kitaip trečia"},
    {"INLIST", "Reikšmė yra tarp kitų reikšmių"},
    {"INSTR", "Teksto vieta kitame tekste (0, kai nėra)"},
    {"INT", "Sveikoji dalis"},
    {"LEFT", "Teksto pradžia"},
    {"LEN", "Teksto ilgis"},
    {"LOG", "Natūrinis logaritmas"},
    {"LOG10", "Dešimtainis logaritmas"},
    {"LOWER", "Tekstas mažosiomis raidėmis"},
    {"MAX", "Didžiausia reikšmė"},
    {"MID", "Teksto dalis nuo vietos, nurodyto ilgio"},
    {"MIN", "Mažiausia reikšmė"},
    {"MOD", "Dalybos liekana"},
    {"MONTH", "Mėnuo"},
    {"OBJ_AREA", "Objekto plotas"},
    {"OBJ_ISCLOSED", "Objekto linija uždara"},
    {"OBJ_LENGTH", "Objekto ilgis"},
    {"OBJ_NUMPARTS", "Objekto dalių skaičius"},
    {"OBJ_NUMPOINTS", "Objekto taškų skaičius"},
    {"OR", "Loginis ARBA"},
    {"PI", "Skaičius pi"},
    {"RADIANS", "Laipsniai į radianus"},
    {"RECNO", "Įrašo numeris"},
    {"REPLACE", "Teksto dalių pakeitimas kitu tekstu"},
    {"RIGHT", "Teksto pabaiga"},
    {"ROUND", "Suapvalinta reikšmė"},
    {"SIGN", "Ženklas: -1, 0 arba 1"},
    {"SIN", "Sinusas"},
    {"SQRT", "Kvadratinė šaknis"},
    {"STR", "Skaičius tekstu (ilgis, skaitmenys po kablelio)"},
    {"TAN", "Tangentas"},
    {"TODAY", "Šiandienos data"},
    {"TOLATIN", "Tekstas be lietuviškų raidžių"},
    {"UPPER", "Tekstas didžiosiomis raidėmis"},
    {"VAL", "Tekstas skaičiumi"},
    {"WEEKDAY", "Savaitės diena"},
    {"XOR", "Loginis ARBA, išskiriantis abu"},
    {"YEAR", "Metai"},
    {"^", "Kėlimas laipsniu"},
};

const CExprRow* Row(int row)
{
    return row >= 0 && row < kExprRowCount ? &kExprRows[row] : nullptr;
}

bool IsOperatorRow(int row)
{
    return row <= kExprRowLastOperator;
}

// A function's list follows its first row (IIF answers in every type).
ExprEntryGroup GroupOf(int row)
{
    while (row > kExprRowLastOperator + 1 && kExprRows[row - 1].group == kExprRows[row].group)
        --row;
    const CExprRow& r = kExprRows[row];
    if (IsOperatorRow(row))
        return r.result == kExprNumber ? ExprEntryGroup::Math : ExprEntryGroup::Logical;
    if (r.group >= 100 && r.group < 200)
        return ExprEntryGroup::Text;
    if (r.group >= 300 && r.group < 400)
        return ExprEntryGroup::Date;
    return r.result == kExprNumber ? ExprEntryGroup::Math : ExprEntryGroup::Logical;
}

char TypeLetter(int type)
{
    switch (type) {
    case kExprLogical:
        return 'L';
    case kExprString:
        return 'C';
    case kExprNumber:
        return 'N';
    case kExprDate:
        return 'D';
    default:
        return '?';
    }
}

} // namespace

std::string FormatExprError(int code)
{
    const int id = ExprErrorMessageId(code);
    return id ? LoadString(id) : std::string();
}

std::vector<CExprEntry> ExprEntries(ExprEntryGroup group)
{
    std::vector<CExprEntry> entries;
    for (int row = kExprRowFirstConstant; row < kExprRowCount; ++row) {
        const std::string name = kExprRows[row].name;
        if (GroupOf(row) != group ||
            std::any_of(entries.begin(), entries.end(), [&](const CExprEntry& e) { return e.name == name; }))
            continue;
        entries.push_back({row, name});
    }
    return entries;
}

std::string ExprEntrySignature(int row)
{
    const CExprRow* r = Row(row);
    if (!r)
        return {};
    const std::string result(1, TypeLetter(r->result));
    if (IsOperatorRow(row)) {
        if (r->argCount == 0)
            return std::string(r->name) + " -> " + result;
        if (r->argCount == 1)
            return std::string(r->name) + " " + TypeLetter(r->argTypes[0]) + " -> " + result;
        return std::string(1, TypeLetter(r->argTypes[0])) + " " + r->name + " " + TypeLetter(r->argTypes[1]) +
               " -> " + result;
    }
    std::string text = std::string(r->name) + "(";
    for (int i = 0; i < r->argCount; ++i) {
        if (i > 0)
            text += ", ";
        text += TypeLetter(r->variadic ? r->argTypes[0] : r->argTypes[i]);
    }
    if (r->variadic)
        text += ", ...";
    return text + ") -> " + result;
}

std::string ExprEntryExplanation(int row)
{
    const CExprRow* r = Row(row);
    if (!r)
        return {};
    const std::string_view name = r->name;
    const auto found = std::lower_bound(std::begin(kExplanations), std::end(kExplanations), name,
                                        [](const Explanation& e, std::string_view n) { return e.name < n; });
    return found != std::end(kExplanations) && found->name == name ? Utf8ToCp1257(found->text) : std::string(name);
}

CExprInsertion ExprEntryInsertion(int row)
{
    const CExprRow* r = Row(row);
    if (!r)
        return {};
    CExprInsertion insertion;
    insertion.text = r->name;
    if (IsOperatorRow(row)) {
        insertion.caret = static_cast<int>(insertion.text.size());
        return insertion;
    }
    insertion.text += '(';
    insertion.caret = static_cast<int>(insertion.text.size());
    for (int i = 1; i < r->argCount; ++i)
        insertion.text += ',';
    insertion.text += ')';
    if (r->argCount == 0)
        insertion.caret = static_cast<int>(insertion.text.size());
    return insertion;
}

std::string ExprValueText(char fieldType, const std::string& value)
{
    switch (fieldType) {
    case 'C': {
        const char quote = value.find('"') == std::string::npos ? '"' : '\'';
        return quote + value + quote;
    }
    case 'D':
        return "{" + value + "}";
    case 'L':
        return !value.empty() && std::string_view("TtYy").find(value[0]) != std::string_view::npos ? ".T." : ".F.";
    default:
        return value;
    }
}

CExprCheck CheckFilterExpression(const CDbfTable& table, const std::string& text)
{
    CExpr expr(&table, text);
    expr.RequireLogical();
    if (expr.IsCompiled())
        return {};
    return {expr.GetErrorCode(), std::max(expr.GetErrorPosition(), 0)};
}
