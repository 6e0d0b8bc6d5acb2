#include "core/ExprTable.h"

#include "core/DateSerial.h"
#include "core/DbfTable.h"
#include "core/ExprObjectProvider.h"
#include "core/ExprValue.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

using Slot = CExprSlot;
using Context = CExprContext;

constexpr int L = kExprLogical;
constexpr int C = kExprString;
constexpr int N = kExprNumber;
constexpr int D = kExprDate;

// STR and VAL work on at most this many bytes, as dBASE fields hold.
constexpr size_t kNumberTextLength = 254;

// ---------------------------------------------------------------- the stack

// The n arguments of a call, the first of which receives the result.
Slot* Call(Context& c, int n)
{
    Slot* first = c.top - n;
    c.top = first + 1;
    return first;
}

// The same for a variadic call: its count lies on top of its arguments.
Slot* CallVariadic(Context& c, int& n)
{
    n = c.top[-1].logical;
    return Call(c, n + 1);
}

void SetView(Slot& s, std::string_view text)
{
    s.text = text.data();
    s.length = text.size();
}

// Makes the text built in the scratch buffer the slot's string.
void TakeScratch(Context& c, Slot& s)
{
    if (c.scratch->size() > kMaxExprTextLength)
        c.scratch->resize(kMaxExprTextLength);
    s.owned.swap(*c.scratch);
    s.text = s.owned.data();
    s.length = s.owned.size();
    s.inOwned = true;
}

// Moves the string of src into dst, carrying the buffer it points into.
void MoveString(Slot& dst, Slot& src)
{
    if (&dst == &src)
        return;
    if (src.inOwned) {
        const size_t offset = static_cast<size_t>(src.text - src.owned.data());
        dst.owned.swap(src.owned);
        dst.text = dst.owned.data() + offset;
        src.inOwned = false;
        dst.inOwned = true;
    } else {
        dst.text = src.text;
        dst.inOwned = false;
    }
    dst.length = src.length;
}

// A count or position: truncated toward zero, held to the int range.
int ToInt(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= INT_MAX)
        return INT_MAX;
    if (x <= INT_MIN)
        return INT_MIN;
    return static_cast<int>(x);
}

// Byte order over the shorter length, stopping after a zero byte; equal
// parts make the shorter string the smaller.
int CompareText(std::string_view a, std::string_view b)
{
    size_t n = std::min(a.size(), b.size());
    if (const void* zero = n ? std::memchr(a.data(), 0, n) : nullptr)
        n = static_cast<size_t>(static_cast<const char*>(zero) - a.data()) + 1;
    const int r = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (r != 0)
        return r < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(std::string_view a, std::string_view b)
{
    return CompareText(a, b) == 0;
}

// ------------------------------------------------------- field conversions

void FieldLogical(Context& c)
{
    Slot* a = Call(c, 1);
    const char first = a->length ? a->text[0] : ' ';
    a->logical = first == 'T' || first == 't' || first == 'Y' || first == 'y';
}

void FieldString(Context& c)
{
    Slot* a = Call(c, 1);
    size_t n = a->length;
    while (n > 0) {
        const char ch = a->text[n - 1];
        if (ch != ' ' && ch != '\0' && (ch < '\t' || ch > '\r'))
            break;
        --n;
    }
    a->length = n;
}

void FieldDate(Context& c)
{
    Slot* a = Call(c, 1);
    CCalendarDate date;
    const bool valid = a->length >= 8 && ParseDbfDate(std::string_view(a->text, 8), date);
    a->number = valid ? DateToSerial(date.year, date.month, date.day) : kExprInvalidDate;
}

// ------------------------------------------------------- constants, logic

void True(Context& c)
{
    Call(c, 0)->logical = 1;
}

void False(Context& c)
{
    Call(c, 0)->logical = 0;
}

void Not(Context& c)
{
    Slot* a = Call(c, 1);
    a->logical = !a->logical;
}

void Or(Context& c)
{
    Slot* a = Call(c, 2);
    a->logical = a[0].logical || a[1].logical;
}

void And(Context& c)
{
    Slot* a = Call(c, 2);
    a->logical = a[0].logical && a[1].logical;
}

void Xor(Context& c)
{
    Slot* a = Call(c, 2);
    a->logical = !a[0].logical != !a[1].logical;
}

void EqualLogical(Context& c)
{
    Slot* a = Call(c, 2);
    a->logical = !a[0].logical == !a[1].logical;
}

// ------------------------------------------------------------ comparisons

// Numbers and dates: a not-a-number operand makes every comparison false
// but "<>" (the IEEE comparisons do exactly that).
template <class Compare>
void CompareNumbers(Context& c)
{
    Slot* a = Call(c, 2);
    a->logical = Compare()(a[0].number, a[1].number);
}

template <class Compare>
void CompareStrings(Context& c)
{
    Slot* a = Call(c, 2);
    a->logical = Compare()(CompareText(a[0].View(), a[1].View()), 0);
}

void Contains(Context& c)
{
    Slot* a = Call(c, 2);
    a->logical = a[0].View().find(a[1].View()) != std::string_view::npos;
}

// ------------------------------------------------------------- arithmetic

template <double (*F)(double, double)>
void Binary(Context& c)
{
    Slot* a = Call(c, 2);
    a->number = F(a[0].number, a[1].number);
}

template <double (*F)(double)>
void Unary(Context& c)
{
    Slot* a = Call(c, 1);
    a->number = F(a->number);
}

double Add(double x, double y) { return x + y; }
double Subtract(double x, double y) { return x - y; }
double Multiply(double x, double y) { return x * y; }
double Divide(double x, double y) { return x / y; }
double Power(double x, double y) { return std::pow(x, y); }
double Modulo(double x, double y) { return std::fmod(x, y); }
double Atan2(double x, double y) { return std::atan2(x, y); }
double Abs(double x) { return std::fabs(x); }
double Acos(double x) { return std::acos(x); }
double Asin(double x) { return std::asin(x); }
double Atan(double x) { return std::atan2(x, 1.0); }
double Cos(double x) { return std::cos(x); }
double Sin(double x) { return std::sin(x); }
double Tan(double x) { return std::tan(x); }
double Ceiling(double x) { return std::ceil(x); }
double Degrees(double x) { return x * 57.29577951308232; }
double Radians(double x) { return x * 0.017453292519943295; }
double Exp(double x) { return std::exp(x); }
double Floor(double x) { return std::floor(x); }
double Int(double x) { return std::trunc(x); }
double Log(double x) { return std::log(x); }
double Log10(double x) { return std::log10(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Round(double x) { return std::trunc(x >= 0 ? x + 0.5 : x - 0.5); }
double Sign(double x) { return x > 0 ? 1 : x == 0 ? 0 : -1; }

template <bool kMax>
void Extreme(Slot* a, int n)
{
    double best = a[0].number;
    for (int i = 1; i < n; ++i)
        if (kMax ? a[i].number > best : a[i].number < best)
            best = a[i].number;
    a->number = best;
}

template <bool kMax>
void Extreme2(Context& c)
{
    Extreme<kMax>(Call(c, 2), 2);
}

template <bool kMax>
void ExtremeN(Context& c)
{
    int n = 0;
    Slot* a = CallVariadic(c, n);
    Extreme<kMax>(a, n);
}

void Pi(Context& c)
{
    Call(c, 0)->number = 3.14159265358979323846;
}

// ------------------------------------------------------- string functions

void Val(Context& c)
{
    Slot* a = Call(c, 1);
    a->number = AtofC(a->View().substr(0, kNumberTextLength));
}

void FormatNumberText(Context& c, Slot& s, int width, int decimals)
{
    width = std::clamp(width, -static_cast<int>(kNumberTextLength), static_cast<int>(kNumberTextLength));
    decimals = std::min(decimals, static_cast<int>(kNumberTextLength));
    *c.scratch = FormatC("%*.*f", width, decimals, s.number);
    if (c.scratch->size() > kNumberTextLength)
        c.scratch->resize(kNumberTextLength);
    TakeScratch(c, s);
}

void Str1(Context& c)
{
    FormatNumberText(c, *Call(c, 1), 10, 0);
}

void Str2(Context& c)
{
    Slot* a = Call(c, 2);
    FormatNumberText(c, *a, ToInt(a[1].number), 0);
}

void Str3(Context& c)
{
    Slot* a = Call(c, 3);
    FormatNumberText(c, *a, ToInt(a[1].number), ToInt(a[2].number));
}

void Len(Context& c)
{
    Slot* a = Call(c, 1);
    a->number = static_cast<double>(a->length);
}

// The C locale's case mapping: ASCII letters only.
template <bool kUpper>
void ChangeCase(Context& c)
{
    Slot* a = Call(c, 1);
    c.scratch->assign(a->View());
    for (char& ch : *c.scratch) {
        if (kUpper && ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
        else if (!kUpper && ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    TakeScratch(c, *a);
}

void Join(Context& c, Slot* a, int n)
{
    c.scratch->clear();
    for (int i = 0; i < n && c.scratch->size() < kMaxExprTextLength; ++i)
        c.scratch->append(a[i].View().substr(0, kMaxExprTextLength - c.scratch->size()));
    TakeScratch(c, *a);
}

void Concat2(Context& c)
{
    Join(c, Call(c, 2), 2);
}

void ConcatN(Context& c)
{
    int n = 0;
    Slot* a = CallVariadic(c, n);
    Join(c, a, n);
}

void Mid(Context& c)
{
    Slot* a = Call(c, 3);
    const int start = ToInt(a[1].number);
    const size_t from = start <= 1 ? 0 : static_cast<size_t>(start) - 1;
    const size_t count = static_cast<size_t>(std::max(ToInt(a[2].number), 0));
    std::string_view s = a->View();
    SetView(*a, from >= s.size() ? s.substr(s.size()) : s.substr(from, count));
}

void Left(Context& c)
{
    Slot* a = Call(c, 2);
    a->length = std::min(a->length, static_cast<size_t>(std::max(ToInt(a[1].number), 0)));
}

void Right(Context& c)
{
    Slot* a = Call(c, 2);
    const size_t n = std::min(a->length, static_cast<size_t>(std::max(ToInt(a[1].number), 0)));
    a->text += a->length - n;
    a->length = n;
}

void Replace(Context& c)
{
    Slot* a = Call(c, 3);
    const std::string_view s = a[0].View();
    const std::string_view from = a[1].View();
    const std::string_view to = a[2].View();
    if (from.empty())
        return; // nothing to find: s as it is
    std::string& out = *c.scratch;
    out.clear();
    size_t at = 0;
    for (size_t hit; (hit = s.find(from, at)) != std::string_view::npos && out.size() < kMaxExprTextLength;
         at = hit + from.size()) {
        out.append(s.substr(at, hit - at));
        out.append(to.substr(0, kMaxExprTextLength));
    }
    if (out.size() < kMaxExprTextLength)
        out.append(s.substr(std::min(at, s.size())));
    TakeScratch(c, *a);
}

void ToLatin(Context& c)
{
    Slot* a = Call(c, 1);
    *c.scratch = Cp1257ToLatin1BestFit(a->View());
    TakeScratch(c, *a);
}

void Contain(Context& c)
{
    Slot* a = Call(c, 2);
    a->logical = a[1].View().find(a[0].View()) != std::string_view::npos;
}

double Position(std::string_view needle, std::string_view text, int start)
{
    const size_t from = start <= 1 ? 0 : static_cast<size_t>(start) - 1;
    if (from > text.size())
        return 0;
    const size_t hit = text.find(needle, from);
    return hit == std::string_view::npos ? 0 : static_cast<double>(hit + 1);
}

void Instr2(Context& c)
{
    Slot* a = Call(c, 2);
    a->number = Position(a[0].View(), a[1].View(), 1);
}

void Instr3(Context& c)
{
    Slot* a = Call(c, 3);
    a->number = Position(a[0].View(), a[1].View(), ToInt(a[2].number));
}

// --------------------------------------------------------------- dates

bool DateOf(double value, CCalendarDate& date)
{
    if (!(value >= INT_MIN && value <= INT_MAX))
        return false;
    return SerialToDate(static_cast<int>(std::floor(value)), date);
}

void MakeDate(Context& c)
{
    Slot* a = Call(c, 3);
    const int y = ToInt(a[0].number), m = ToInt(a[1].number), d = ToInt(a[2].number);
    a->number = IsValidCalendarDate(y, m, d) ? DateToSerial(y, m, d) : kExprInvalidDate;
}

template <int CCalendarDate::*kPart>
void DatePart(Context& c)
{
    Slot* a = Call(c, 1);
    CCalendarDate date;
    a->number = DateOf(a->number, date) ? date.*kPart : 0;
}

void Weekday(Context& c)
{
    Slot* a = Call(c, 1);
    CCalendarDate date;
    if (!DateOf(a->number, date)) {
        a->number = 0;
        return;
    }
    // Day 0, 30 December 1899, was a Saturday.
    const int serial = DateToSerial(date.year, date.month, date.day);
    a->number = ((serial % 7 + 7 + 5) % 7) + 1;
}

void Today(Context& c)
{
    const CCalendarDate today = LocalToday();
    Call(c, 0)->number = DateToSerial(today.year, today.month, today.day);
}

// --------------------------------------------------------------- others

void RecNo(Context& c)
{
    Call(c, 0)->number = c.table ? c.table->GetCurrentRecord() + 1 : 0;
}

void BetweenNumbers(Context& c)
{
    Slot* a = Call(c, 3);
    a->logical = a[1].number <= a[0].number && a[0].number <= a[2].number;
}

void BetweenStrings(Context& c)
{
    Slot* a = Call(c, 3);
    a->logical = CompareText(a[1].View(), a[0].View()) <= 0 && CompareText(a[0].View(), a[2].View()) <= 0;
}

void IifLogical(Context& c)
{
    Slot* a = Call(c, 3);
    a->logical = a[0].logical ? a[1].logical : a[2].logical;
}

void IifNumber(Context& c)
{
    Slot* a = Call(c, 3);
    a->number = a[0].logical ? a[1].number : a[2].number;
}

void IifString(Context& c)
{
    Slot* a = Call(c, 3);
    MoveString(a[0], a[0].logical ? a[1] : a[2]);
}

template <class Equal>
void InList(Context& c)
{
    int n = 0;
    Slot* a = CallVariadic(c, n);
    bool found = false;
    for (int i = 1; i < n && !found; ++i)
        found = Equal()(a[0], a[i]);
    a->logical = found;
}

struct SameLogical {
    bool operator()(const Slot& x, const Slot& y) const { return !x.logical == !y.logical; }
};
struct SameNumber {
    bool operator()(const Slot& x, const Slot& y) const { return x.number == y.number; }
};
struct SameString {
    bool operator()(const Slot& x, const Slot& y) const { return SameText(x.View(), y.View()); }
};

void ObjArea(Context& c)
{
    Call(c, 0)->number = c.provider ? c.provider->GetArea() : 0;
}

void ObjLength(Context& c)
{
    Call(c, 0)->number = c.provider ? c.provider->GetLength() : 0;
}

void ObjParts(Context& c)
{
    Call(c, 0)->number = c.provider ? c.provider->GetPartCount() : 0;
}

void ObjPoints(Context& c)
{
    Call(c, 0)->number = c.provider ? c.provider->GetPointCount() : 0;
}

void ObjClosed(Context& c)
{
    Call(c, 0)->logical = c.provider ? c.provider->IsClosed() : 0;
}

using Eq = std::equal_to<>;
using Ne = std::not_equal_to<>;
using Lt = std::less<>;
using Le = std::less_equal<>;
using Gt = std::greater<>;
using Ge = std::greater_equal<>;

} // namespace

// Row order decides look-ups and overloads: ">=" before ">", the constants
// and ".NOT." where the operand reader looks, the conversions first.
const CExprRow kExprRows[] = {
    {FieldLogical, false, 0, "", 0, L, 1, {C}},
    {FieldString, false, 0, "", 0, C, 1, {C}},
    {FieldDate, false, 0, "", 0, D, 1, {C}},
    {True, false, 1, ".TRUE.", 0, L, 0, {}},
    {True, false, 1, ".T.", 0, L, 0, {}},
    {False, false, 3, ".FALSE.", 0, L, 0, {}},
    {False, false, 3, ".F.", 0, L, 0, {}},
    {Not, false, 5, ".NOT.", 5, L, 1, {L}},
    {Or, false, 6, ".OR.", 3, L, 2, {L, L}},
    {Or, false, 6, "OR", 3, L, 2, {L, L}},
    {And, false, 8, ".AND.", 4, L, 2, {L, L}},
    {And, false, 8, "AND", 4, L, 2, {L, L}},
    {Xor, false, 10, ".XOR.", 3, L, 2, {L, L}},
    {Xor, false, 10, "XOR", 3, L, 2, {L, L}},
    {CompareStrings<Ne>, false, 12, "#", 6, L, 2, {C, C}},
    {CompareStrings<Ne>, false, 12, "<>", 6, L, 2, {C, C}},
    {CompareNumbers<Ne>, false, 12, "<>", 6, L, 2, {N, N}},
    {CompareNumbers<Ne>, false, 12, "<>", 6, L, 2, {D, D}},
    {Xor, false, 12, "<>", 6, L, 2, {L, L}},
    {CompareStrings<Ge>, false, 16, ">=", 6, L, 2, {C, C}},
    {CompareNumbers<Ge>, false, 16, ">=", 6, L, 2, {N, N}},
    {CompareNumbers<Ge>, false, 16, ">=", 6, L, 2, {D, D}},
    {CompareStrings<Le>, false, 18, "<=", 6, L, 2, {C, C}},
    {CompareNumbers<Le>, false, 18, "<=", 6, L, 2, {N, N}},
    {CompareNumbers<Le>, false, 18, "<=", 6, L, 2, {D, D}},
    {Contains, false, 20, ">>", 6, L, 2, {C, C}},
    {EqualLogical, false, 21, "=", 6, L, 2, {L, L}},
    {CompareStrings<Eq>, false, 21, "=", 6, L, 2, {C, C}},
    {CompareNumbers<Eq>, false, 21, "=", 6, L, 2, {N, N}},
    {CompareNumbers<Eq>, false, 21, "=", 6, L, 2, {D, D}},
    {CompareStrings<Gt>, false, 24, ">", 6, L, 2, {C, C}},
    {CompareNumbers<Gt>, false, 24, ">", 6, L, 2, {N, N}},
    {CompareNumbers<Gt>, false, 24, ">", 6, L, 2, {D, D}},
    {CompareStrings<Lt>, false, 26, "<", 6, L, 2, {C, C}},
    {CompareNumbers<Lt>, false, 26, "<", 6, L, 2, {N, N}},
    {CompareNumbers<Lt>, false, 26, "<", 6, L, 2, {D, D}},
    {Binary<Power>, false, 28, "^", 10, N, 2, {N, N}},
    {Binary<Add>, false, 29, "+", 8, N, 2, {N, N}},
    {Binary<Subtract>, false, 30, "-", 8, N, 2, {N, N}},
    {Binary<Multiply>, false, 31, "*", 9, N, 2, {N, N}},
    {Binary<Divide>, false, 32, "/", 9, N, 2, {N, N}},
    {Val, false, 100, "VAL", 0, N, 1, {C}},
    {Str1, false, 101, "STR", 0, C, 1, {N}},
    {Str2, false, 101, "STR", 0, C, 2, {N, N}},
    {Str3, false, 101, "STR", 0, C, 3, {N, N, N}},
    {Len, false, 104, "LEN", 0, N, 1, {C}},
    {ChangeCase<false>, false, 105, "LOWER", 0, C, 1, {C}},
    {ChangeCase<true>, false, 106, "UPPER", 0, C, 1, {C}},
    {Concat2, false, 107, "CONCAT", 0, C, 2, {C, C}},
    {ConcatN, true, 107, "CONCAT", 0, C, 2, {C}},
    {Mid, false, 109, "MID", 0, C, 3, {C, N, N}},
    {Left, false, 110, "LEFT", 0, C, 2, {C, N}},
    {Right, false, 111, "RIGHT", 0, C, 2, {C, N}},
    {Replace, false, 112, "REPLACE", 0, C, 3, {C, C, C}},
    {ToLatin, false, 113, "TOLATIN", 0, C, 1, {C}},
    {Contain, false, 114, "CONTAIN", 0, L, 2, {C, C}},
    {Instr2, false, 115, "INSTR", 0, N, 2, {C, C}},
    {Instr3, false, 115, "INSTR", 0, N, 3, {C, C, N}},
    {Unary<Abs>, false, 200, "ABS", 0, N, 1, {N}},
    {Unary<Acos>, false, 201, "ACOS", 0, N, 1, {N}},
    {Unary<Asin>, false, 202, "ASIN", 0, N, 1, {N}},
    {Unary<Atan>, false, 203, "ATAN", 0, N, 1, {N}},
    {Binary<Atan2>, false, 204, "ATAN2", 0, N, 2, {N, N}},
    {Unary<Cos>, false, 205, "COS", 0, N, 1, {N}},
    {Unary<Sin>, false, 206, "SIN", 0, N, 1, {N}},
    {Unary<Tan>, false, 207, "TAN", 0, N, 1, {N}},
    {Unary<Ceiling>, false, 208, "CEILING", 0, N, 1, {N}},
    {Unary<Degrees>, false, 209, "DEGREES", 0, N, 1, {N}},
    {Unary<Radians>, false, 210, "RADIANS", 0, N, 1, {N}},
    {Unary<Exp>, false, 211, "EXP", 0, N, 1, {N}},
    {Unary<Floor>, false, 212, "FLOOR", 0, N, 1, {N}},
    {Unary<Int>, false, 213, "INT", 0, N, 1, {N}},
    {Unary<Log>, false, 214, "LOG", 0, N, 1, {N}},
    {Unary<Log10>, false, 215, "LOG10", 0, N, 1, {N}},
    {Extreme2<true>, false, 216, "MAX", 0, N, 2, {N, N}},
    {ExtremeN<true>, true, 216, "MAX", 0, N, 2, {N}},
    {Extreme2<false>, false, 218, "MIN", 0, N, 2, {N, N}},
    {ExtremeN<false>, true, 218, "MIN", 0, N, 2, {N}},
    {Binary<Modulo>, false, 219, "MOD", 0, N, 2, {N, N}},
    {Pi, false, 220, "PI", 0, N, 0, {}},
    {Unary<Round>, false, 221, "ROUND", 0, N, 1, {N}},
    {Unary<Sign>, false, 222, "SIGN", 0, N, 1, {N}},
    {Unary<Sqrt>, false, 223, "SQRT", 0, N, 1, {N}},
    {MakeDate, false, 300, "DATE", 0, D, 3, {N, N, N}},
    {DatePart<&CCalendarDate::day>, false, 301, "DAY", 0, N, 1, {D}},
    {DatePart<&CCalendarDate::month>, false, 302, "MONTH", 0, N, 1, {D}},
    {DatePart<&CCalendarDate::year>, false, 303, "YEAR", 0, N, 1, {D}},
    {Weekday, false, 304, "WEEKDAY", 0, N, 1, {D}},
    {Today, false, 305, "TODAY", 0, D, 0, {}},
    {RecNo, false, 400, "RECNO", 0, N, 0, {}},
    {BetweenNumbers, false, 401, "BETWEEN", 0, L, 3, {N, N, N}},
    {BetweenNumbers, false, 401, "BETWEEN", 0, L, 3, {D, D, D}},
    {BetweenStrings, false, 401, "BETWEEN", 0, L, 3, {C, C, C}},
    {IifLogical, false, 404, "IIF", 0, L, 3, {L, L, L}},
    {IifNumber, false, 404, "IIF", 0, N, 3, {L, N, N}},
    {IifNumber, false, 404, "IIF", 0, D, 3, {L, D, D}},
    {IifString, false, 404, "IIF", 0, C, 3, {L, C, C}},
    {InList<SameLogical>, true, 408, "INLIST", 0, L, 2, {L}},
    {InList<SameNumber>, true, 408, "INLIST", 0, L, 2, {N}},
    {InList<SameNumber>, true, 408, "INLIST", 0, L, 2, {D}},
    {InList<SameString>, true, 408, "INLIST", 0, L, 2, {C}},
    {ObjArea, false, 500, "OBJ_AREA", 0, N, 0, {}},
    {ObjLength, false, 501, "OBJ_LENGTH", 0, N, 0, {}},
    {ObjParts, false, 502, "OBJ_NUMPARTS", 0, N, 0, {}},
    {ObjPoints, false, 503, "OBJ_NUMPOINTS", 0, N, 0, {}},
    {ObjClosed, false, 504, "OBJ_ISCLOSED", 0, L, 0, {}},
};

const int kExprRowCount = static_cast<int>(std::size(kExprRows));
static_assert(std::size(kExprRows) == 106);
