#include "shell/FieldText.h"

#include "platform/NumberText.h"
#include "platform/Strings.h"

#include <climits>
#include <cmath>

namespace {

constexpr int kEnterInteger = 61910;
constexpr int kEnterIntegerRange = 61911;
constexpr int kEnterNumber = 61912;
constexpr int kEnterNumberRange = 61913;
constexpr int kTextTooLong = 61914;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool ParseIntField(std::string_view text, int& value)
{
    text = TrimBlanks(text);
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++i;
    if (i == text.size())
        return false;
    long long n = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return false;
        n = n * 10 + (text[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        n = -n;
    if (n < INT_MIN || n > INT_MAX)
        return false;
    value = static_cast<int>(n);
    return true;
}

bool ParseRealField(std::string_view text, double& value)
{
    text = TrimBlanks(text);
    // Plain decimal notation only: strtod would also take hexadecimal
    // numbers, "inf" and "nan".
    if (text.empty())
        return false;
    bool digit = false;
    for (const char c : text) {
        if (IsDigit(c))
            digit = true;
        else if (c != '+' && c != '-' && c != '.' && c != 'e' && c != 'E')
            return false;
    }
    if (!digit)
        return false;
    size_t consumed = 0;
    const double parsed = ParseDoubleC(text, &consumed);
    if (consumed != text.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

std::string FormatIntField(int value)
{
    return FormatC("%d", value);
}

std::string FormatRealField(double value)
{
    return FormatC("%.15g", value);
}

std::string IntFieldMessage(bool ranged, int min, int max)
{
    if (!ranged)
        return LoadString(kEnterInteger);
    return LoadStringArgs(kEnterIntegerRange, FormatIntField(min), FormatIntField(max));
}

std::string RealFieldMessage(bool ranged, double min, double max)
{
    if (!ranged)
        return LoadString(kEnterNumber);
    return LoadStringArgs(kEnterNumberRange, FormatRealField(min), FormatRealField(max));
}

std::string TextLengthMessage(int maxLength)
{
    return LoadStringArg(kTextTooLong, FormatIntField(maxLength));
}
