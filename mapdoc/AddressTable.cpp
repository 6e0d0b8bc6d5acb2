#include "mapdoc/AddressTable.h"

#include "platform/NumberText.h"

#include <algorithm>

int HouseLetterIndex(char c)
{
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return lower >= 'a' && lower <= 'o' ? lower - 'a' + 1 : 0;
}

bool MakeAddressKey(long long number, int letterIndex, uint32_t& key)
{
    if (number < 0 || number > kMaxHouseNumber || letterIndex < 0 || letterIndex > 15)
        return false;
    key = static_cast<uint32_t>(number) * 16 + static_cast<uint32_t>(letterIndex);
    return true;
}

bool ParseHouseNumber(std::string_view text, uint32_t& key)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
    size_t pos = 0;
    while (pos < text.size() && blank(text[pos]))
        ++pos;
    const size_t digits = pos;
    unsigned long long number = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        number = number * 10 + static_cast<unsigned>(text[pos] - '0');
        if (number > kMaxHouseNumber)
            return false;
        ++pos;
    }
    if (pos == digits)
        return false;
    while (pos < text.size() && blank(text[pos]))
        ++pos;
    const int letter = pos < text.size() ? HouseLetterIndex(text[pos]) : 0;
    return MakeAddressKey(static_cast<long long>(number), letter, key);
}

bool SplitHouseNumber(std::string_view text, size_t letterLength, long maxNumber, CHouseNumberParts& parts)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
    size_t pos = 0;
    while (pos < text.size() && blank(text[pos]))
        ++pos;
    long number = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        const int digit = text[pos] - '0';
        if (maxNumber < digit || number > (maxNumber - digit) / 10)
            return false;
        number = number * 10 + digit;
    }
    std::string_view rest = text.substr(pos);
    while (!rest.empty() && blank(rest.front()))
        rest.remove_prefix(1);
    rest = rest.substr(0, letterLength);
    while (!rest.empty() && blank(rest.back()))
        rest.remove_suffix(1);
    parts.number = number;
    parts.letter.assign(rest);
    return true;
}

std::string HouseNumberText(uint32_t key)
{
    const uint32_t letter = key % 16;
    if (letter == 0)
        return FormatC("%u", key / 16);
    return FormatC("%u%c", key / 16, static_cast<char>('a' + letter - 1));
}

void SortAddressTable(CAddressTable& table)
{
    std::stable_sort(table.begin(), table.end(), [](const CAddressEntry& a, const CAddressEntry& b) {
        return a.streetCode != b.streetCode ? a.streetCode < b.streetCode : a.key < b.key;
    });
}

bool FindAddress(const CAddressTable& table, uint32_t streetCode, std::string_view text, CAddressResult& result)
{
    result = CAddressResult();
    // The first entry of the street, wherever among its entries a bisection would land.
    auto it = std::lower_bound(table.begin(), table.end(), streetCode,
                               [](const CAddressEntry& e, uint32_t code) { return e.streetCode < code; });
    if (it == table.end() || it->streetCode != streetCode)
        return false;
    uint32_t target;
    if (!ParseHouseNumber(text, target))
        return false;
    const uint32_t side = (target / 16) % 2;

    const CAddressEntry* lower = nullptr;
    const CAddressEntry* upper = nullptr;
    for (; it != table.end() && it->streetCode == streetCode; ++it) {
        if ((it->key / 16) % 2 != side)
            continue;
        if (it->key == target) {
            result.status = 0;
            result.point = result.lower = it->point;
            result.text = HouseNumberText(it->key);
            return true;
        }
        if (it->key < target && (!lower || it->key > lower->key))
            lower = &*it;
        if (it->key > target && (!upper || it->key < upper->key))
            upper = &*it;
    }
    if (lower && upper) {
        const double f = static_cast<double>(target - lower->key) / static_cast<double>(upper->key - lower->key);
        result.status = 2;
        result.point = CMapPoint(lower->point.x + f * (upper->point.x - lower->point.x),
                                 lower->point.y + f * (upper->point.y - lower->point.y));
        result.lower = lower->point;
        result.upper = upper->point;
        result.text = HouseNumberText(lower->key);
        result.upperText = HouseNumberText(upper->key);
        return true;
    }
    const CAddressEntry* one = lower ? lower : upper;
    if (!one)
        return false;
    result.status = 1;
    result.point = one->point;
    (one == lower ? result.lower : result.upper) = one->point;
    result.text = HouseNumberText(one->key);
    return true;
}
