#pragma once

#include "core/MapPoint.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One house of the address table: its point, the code of its street and
// its key, house number x 16 + letter index. Keys are 32-bit and never
// stored, so house numbers go up to kMaxHouseNumber.
struct CAddressEntry {
    CMapPoint point;
    uint32_t streetCode = 0;
    uint32_t key = 0;
};
using CAddressTable = std::vector<CAddressEntry>;

constexpr uint32_t kMaxHouseNumber = (UINT32_MAX - 15) / 16;

// What FindAddress found. status: -1 nothing, 0 the house itself, 1 the
// nearest house on one side only, 2 a point between the two nearest.
struct CAddressResult {
    int status = -1;
    CMapPoint point;
    CMapPoint lower; // the neighbour below (status 2), or the one found
    CMapPoint upper;
    std::string text; // the found or lower number ("12", "12a")
    std::string upperText;
};

// 1 for "a" to 15 for "o", either case; 0 for anything else.
int HouseLetterIndex(char c);
// False for a number beyond kMaxHouseNumber or below 0.
bool MakeAddressKey(long long number, int letterIndex, uint32_t& key);
// A house number text: an unsigned number, then optionally a word whose
// first character is the letter ("12", "12a", "12 A"). False when the text
// starts with no number or the number is too large.
bool ParseHouseNumber(std::string_view text, uint32_t& key);
// A house number as the address entry stores it: the leading digits (after
// blanks) are the number, 0 without any; what follows, blanks around it
// dropped and cut to letterLength bytes, is the letter ("12A" 12 and "A",
// "abc" 0 and "a" with a letter of one byte). False, nothing set, when the
// digits make a number above maxNumber.
struct CHouseNumberParts {
    long number = 0;
    std::string letter;
};
bool SplitHouseNumber(std::string_view text, size_t letterLength, long maxNumber, CHouseNumberParts& parts);
// "%u%c" with the letter, else the number alone.
std::string HouseNumberText(uint32_t key);
// By street code, then by key.
void SortAddressTable(CAddressTable& table);
// Looks a house number up among the houses of the street in a sorted
// table: on the same side of the street (odd or even numbers), the house
// itself, else a point interpolated between the nearest numbers below and
// above it (letters count as sixteenths of a number), else the one nearest
// number. False (status -1) when the street has no such house or the text
// holds no house number.
bool FindAddress(const CAddressTable& table, uint32_t streetCode, std::string_view text, CAddressResult& result);
