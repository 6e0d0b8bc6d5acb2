#pragma once

#include <string>
#include <string_view>
#include <vector>

// The coordinate transformation's rules (dialog 398): its seven systems,
// the example that shows what to type, and the conversion of typed lines
// from one system to another.
struct CCoordTransformEntry {
    const char* text;   // UTF-8, as the lists show it
    int system;         // the coordinate-system code (core/CoordConverter.h)
    bool geographic;    // longitude and latitude in degrees
    double firstMin;    // the range of a projected first value
    double firstMax;
    const char* sample; // UTF-8, before its " (pavyzdys)"
};

constexpr int kCoordTransformEntryCount = 7;
// The entries the two lists start with.
constexpr int kCoordTransformLeftStart = 0;
constexpr int kCoordTransformRightStart = 3;
// What the source lines are read of, at most; shorter lines end the list.
constexpr size_t kCoordTransformLineLength = 50;
constexpr size_t kCoordTransformShortestLine = 3;
// The output of a line that makes no point.
constexpr char kCoordTransformStars[] = "********";

// Null outside 0..6.
const CCoordTransformEntry* CoordTransformEntry(int index);
// The entry's example for the left edit (code page 1257), "(sample)"
// taking the place of "(pavyzdys)" with the English interface.
std::string CoordTransformSample(int entry, bool english);
// The left edit takes the example unless the user has typed more than two
// characters into it.
bool TakesCoordTransformSample(bool modifiedByUser, size_t length);

// Converts the text's lines (code page 1257, ended by "\n" or "\r\n") from
// one entry's system to another's; lines holds the output, a line each:
// "********" where a line makes no point. The list ends at a line shorter
// than three characters, or where a longitude cannot even be read. False,
// lines untouched, unless both entries are chosen.
bool TransformCoordLines(std::string_view text, int from, int to, std::vector<std::string>& lines);
