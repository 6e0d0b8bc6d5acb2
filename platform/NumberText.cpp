#include "platform/NumberText.h"

#include <clocale>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <vector>

namespace {

locale_t CLocale()
{
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

class ScopedCLocale {
public:
    ScopedCLocale() : m_old(uselocale(CLocale())) {}
    ~ScopedCLocale() { uselocale(m_old); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    locale_t m_old;
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Plain decimals of at most 15 digits without an exponent, the texts of
// number fields: the digits as a whole number are exact in a double and so
// is the power of ten, so one division rounds as strtod does. False for
// anything else.
bool ParsePlainDecimal(std::string_view text, size_t start, double& value, size_t& end)
{
    static const double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    size_t i = start;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    int64_t digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (++count > 15)
                return false;
            digits = digits * 10 + (c - '0');
            decimals += point;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (count == 0 || (i < text.size() && (text[i] == 'e' || text[i] == 'E')))
        return false;
    value = static_cast<double>(digits) / kPowers[decimals];
    if (negative)
        value = -value;
    end = i;
    return true;
}

} // namespace

std::string VFormatC(const char* format, va_list args)
{
    ScopedCLocale c;
    char small[256];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0)
        return std::string();
    if (static_cast<size_t>(n) < sizeof small)
        return std::string(small, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string FormatC(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out = VFormatC(format, args);
    va_end(args);
    return out;
}

double ParseDoubleC(std::string_view text, size_t* consumed)
{
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    double quick = 0;
    size_t quickEnd = 0;
    if (ParsePlainDecimal(text, start, quick, quickEnd)) {
        if (consumed)
            *consumed = quickEnd;
        return quick;
    }
    // strtod needs a terminated string; copy only the part that can be a decimal
    // number (the stored texts never hold hex, inf or nan forms).
    size_t end = start;
    while (end < text.size() && end - start < 400) {
        char ch = text[end];
        if ((ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.' || ch == 'e' || ch == 'E')
            ++end;
        else
            break;
    }
    std::string buffer(text.substr(start, end - start));
    ScopedCLocale c;
    char* stop = nullptr;
    double value = strtod_l(buffer.c_str(), &stop, CLocale());
    size_t used = static_cast<size_t>(stop - buffer.c_str());
    if (consumed)
        *consumed = used == 0 ? 0 : start + used;
    return used == 0 ? 0.0 : value;
}

double AtofC(std::string_view text)
{
    return ParseDoubleC(text);
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

long long AtollC(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned long long value = 0;
    bool overflow = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (ULLONG_MAX - 9) / 10)
            overflow = true;
        else
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    if (negative) {
        if (overflow || value > static_cast<unsigned long long>(LLONG_MAX) + 1)
            return LLONG_MIN;
        return value == static_cast<unsigned long long>(LLONG_MAX) + 1 ? LLONG_MIN
                                                                       : -static_cast<long long>(value);
    }
    if (overflow || value > static_cast<unsigned long long>(LLONG_MAX))
        return LLONG_MAX;
    return static_cast<long long>(value);
}

int AtoiC(std::string_view text)
{
    long long v = AtollC(text);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

int ScanRealsC(std::string_view text, double* out, int count)
{
    size_t pos = 0;
    int n = 0;
    while (n < count && pos < text.size()) {
        size_t used = 0;
        const double value = ParseDoubleC(text.substr(pos), &used);
        if (used == 0)
            break;
        out[n++] = value;
        pos += used;
    }
    return n;
}
