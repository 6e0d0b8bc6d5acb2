#include "shell/CoordEditRules.h"

#include "platform/Codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Edit = CCoordEditRules::Edit;
constexpr int kLon = CCoordEditRules::kLongitude;
constexpr int kLat = CCoordEditRules::kLatitude;

std::string Bytes(const std::string& utf8)
{
    return Utf8ToCp1257(utf8);
}

// The edit as text with the selection in brackets, or a bar at the caret.
std::string Show(const Edit& edit)
{
    std::string shown = edit.text;
    if (edit.selEnd > edit.selStart) {
        shown.insert(edit.selEnd, "]");
        shown.insert(edit.selStart, "[");
    } else {
        shown.insert(edit.selStart, "|");
    }
    return Cp1257ToUtf8(shown);
}

// Keys written as "<Up>", "<Down>", "<Left>", "<Right>", "<Home>", "<End>",
// "<Del>", "<S-Del>", "<BS>", or one typed character. False for a beep.
bool Press(CCoordEditRules& rules, const std::string& key, Edit& edit)
{
    using R = CCoordEditRules;
    if (key == "<Up>")
        return rules.PressKey(R::kUp, false, edit);
    if (key == "<Down>")
        return rules.PressKey(R::kDown, false, edit);
    if (key == "<Left>")
        return rules.PressKey(R::kLeft, false, edit);
    if (key == "<Right>")
        return rules.PressKey(R::kRight, false, edit);
    if (key == "<Home>")
        return rules.PressKey(R::kHome, false, edit);
    if (key == "<End>")
        return rules.PressKey(R::kEnd, false, edit);
    if (key == "<Del>")
        return rules.PressKey(R::kDelete, false, edit);
    if (key == "<S-Del>")
        return rules.PressKey(R::kDelete, true, edit);
    if (key == "<BS>")
        return rules.TypeChar(R::kBackspace, edit);
    return rules.TypeChar(Bytes(key)[0], edit);
}

struct Step {
    std::string key;
    std::string shown; // "!" first: the key beeps
};

struct Case {
    const char* what;
    bool seconds;
    int mode;
    std::string text; // UTF-8
    int section;
    std::vector<Step> steps;
};

void RunKeys(const Case& c)
{
    CCoordEditRules rules(c.seconds);
    rules.SetValue(c.mode, 0);
    Edit edit{Bytes(c.text), 0, 0};
    rules.SelectSection(c.section, edit);
    for (const Step& step : c.steps) {
        const bool beeps = !step.shown.empty() && step.shown[0] == '!';
        EXPECT_EQ(Press(rules, step.key, edit), !beeps) << c.what << ": " << step.key;
        EXPECT_EQ(Show(edit), beeps ? step.shown.substr(1) : step.shown) << c.what << ": " << step.key;
    }
}

TEST(CoordEditRules, TypedDigitsFillTheirSection)
{
    const Case cases[] = {
        {"longitude degrees", true, kLon, "E000°00'00.0\"", 1,
         {{"2", "E[002]°00'00.0\""}, {"5", "E[025]°00'00.0\""}}},
        {"longitude degrees to the largest", true, kLon, "E000°00'00.0\"", 1,
         {{"9", "E[009]°00'00.0\""}, {"9", "E[099]°00'00.0\""}, {"9", "E[180]°00'00.0\""},
          {"7", "E[007]°00'00.0\""}}},
        {"latitude degrees", true, kLat, "N00°00'00.0\"", 1, {{"9", "N[09]°00'00.0\""}, {"5", "N[90]°00'00.0\""}}},
        {"latitude degrees start again", true, kLat, "N00°00'00.0\"", 1,
         {{"4", "N[04]°00'00.0\""}, {"5", "N[45]°00'00.0\""}, {"6", "N[06]°00'00.0\""}}},
        {"minutes", true, kLon, "E025°00'00.0\"", 2,
         {{"1", "E025°[01]'00.0\""}, {"0", "E025°[10]'00.0\""}, {"5", "E025°[05]'00.0\""}}},
        {"minutes to 59", true, kLat, "N54°00'00.0\"", 2, {{"7", "N54°[07]'00.0\""}, {"7", "N54°[59]'00.0\""}}},
        {"digits only in degrees", true, kLon, "E025°16'46.9\"", 1, {{"x", "!E[025]°16'46.9\""}}},
        {"moving on forgets the digits", true, kLon, "E000°00'00.0\"", 1,
         {{"1", "E[001]°00'00.0\""}, {"<Right>", "E001°[00]'00.0\""}, {"<Left>", "E[001]°00'00.0\""},
          {"2", "E[002]°00'00.0\""}}},
    };
    for (const Case& c : cases)
        RunKeys(c);
}

TEST(CoordEditRules, TheLetterTakesOnlyItsHemispheres)
{
    const Case cases[] = {
        {"s in a longitude", true, kLon, "E025°16'46.9\"", 0,
         {{"s", "![E]025°16'46.9\""}, {"n", "![E]025°16'46.9\""}, {"w", "[W]025°16'46.9\""},
          {"E", "[E]025°16'46.9\""}}},
        {"s in a latitude", true, kLat, "N54°41'13.9\"", 0,
         {{"s", "[S]54°41'13.9\""}, {"e", "![S]54°41'13.9\""}, {"N", "[N]54°41'13.9\""}}},
        {"degrees and minutes", false, kLat, "N54°41.2317", 0, {{"s", "[S]54°41.2317"}, {"w", "![S]54°41.2317"}}},
    };
    for (const Case& c : cases)
        RunKeys(c);
}

TEST(CoordEditRules, ArrowsChangeTheSectionAndWrap)
{
    const Case cases[] = {
        {"seconds up past 59", true, kLon, "E025°16'59.5\"", 3, {{"<Up>", "E025°16'[00]"}}},
        {"seconds down below 0", true, kLon, "E025°16'00.0\"", 3, {{"<Down>", "E025°16'[59]"}}},
        {"seconds step from the whole second", true, kLon, "E025°16'46.9\"", 3,
         {{"<Down>", "E025°16'[46]"}, {"<Down>", "E025°16'[45]"}, {"<Up>", "E025°16'[46]"}}},
        {"letters swap", true, kLon, "E025°16'46.9\"", 0,
         {{"<Up>", "[W]025°16'46.9\""}, {"<Down>", "[E]025°16'46.9\""}}},
        {"latitude letters swap", true, kLat, "N54°41'13.9\"", 0, {{"<Down>", "[S]54°41'13.9\""}}},
        {"longitude degrees wrap", true, kLon, "E179°00'00.0\"", 1,
         {{"<Up>", "E[180]°00'00.0\""}, {"<Up>", "E[000]°00'00.0\""}, {"<Down>", "E[180]°00'00.0\""}}},
        {"latitude degrees wrap", true, kLat, "N00°00'00.0\"", 1,
         {{"<Down>", "N[90]°00'00.0\""}, {"<Up>", "N[00]°00'00.0\""}}},
        {"minutes wrap", true, kLon, "E025°59'00.0\"", 2,
         {{"<Up>", "E025°[00]'00.0\""}, {"<Down>", "E025°[59]'00.0\""}}},
        {"decimal minutes", false, kLon, "E025°16.7833", 2,
         {{"<Up>", "E025°[17]"}, {"<Down>", "E025°[16]"}, {"<Down>", "E025°[15]"}}},
        {"decimal minutes wrap", false, kLat, "N54°59.5", 2, {{"<Up>", "N54°[00]"}, {"<Down>", "N54°[59]"}}},
        {"typed then arrowed", true, kLon, "E000°00'00.0\"", 1,
         {{"1", "E[001]°00'00.0\""}, {"<Up>", "E[002]°00'00.0\""}, {"3", "E[003]°00'00.0\""}}},
    };
    for (const Case& c : cases)
        RunKeys(c);
}

TEST(CoordEditRules, KeysMoveBetweenSections)
{
    const Case cases[] = {
        {"home and end", true, kLon, "E025°16'46.9\"", 2,
         {{"<Home>", "[E]025°16'46.9\""}, {"<End>", "E025°16'[46.9\"]"}}},
        {"left wraps to the last section", true, kLon, "E025°16'46.9\"", 1,
         {{"<Left>", "[E]025°16'46.9\""}, {"<Left>", "E025°16'[46.9\"]"}, {"<Left>", "E025°[16]'46.9\""}}},
        {"right from the end of the text", true, kLon, "E025°16'46.9\"", 2,
         {{"<Right>", "E025°16'[46.9\"]"}, {"<Right>", "[E]025°16'46.9\""}, {"<Right>", "E[025]°16'46.9\""}}},
        {"the caret walks in the last section", true, kLat, "N54°41'13.9\"", 3,
         {{"5", "N54°41'5|"}, {"<Left>", "N54°41'|5"}, {"<Left>", "N54°[41]'5"}, {"<Right>", "N54°41'[5]"},
          {"<Right>", "[N]54°41'5"}}},
        {"right walks to the end first", true, kLat, "N54°41'13.9\"", 3,
         {{"<BS>", "N54°41'|"}, {"1", "N54°41'1|"}, {"<Left>", "N54°41'|1"}, {"<Right>", "N54°41'1|"},
          {"<Right>", "[N]54°41'1"}}},
        {"seconds take digits, a point and backspace", true, kLon, "E025°16'46.9\"", 3,
         {{"1", "E025°16'1|"}, {".", "E025°16'1.|"}, {"x", "!E025°16'1.|"}, {"<BS>", "E025°16'1|"},
          {"<BS>", "E025°16'|"}, {"<BS>", "!E025°16'|"}}},
        {"delete only in the last section", true, kLon, "E025°16'46.9\"", 3,
         {{"<S-Del>", "!E025°16'[46.9\"]"}, {"<Del>", "E025°16'|"}, {"<Home>", "[E]025°16'"},
          {"<Del>", "![E]025°16'"}}},
        {"delete after the caret", true, kLon, "E025°16'46.9\"", 3,
         {{"<Left>", "E025°[16]'46.9\""}, {"<End>", "E025°16'[46.9\"]"}, {"4", "E025°16'4|"},
          {"<Left>", "E025°16'|4"}, {"<Del>", "E025°16'|"}}},
        {"without seconds", false, kLon, "E025°16.7833", 1,
         {{"<Right>", "E025°[16.7833]"}, {"<Right>", "[E]025°16.7833"}, {"<Left>", "E025°[16.7833]"}}},
        {"nothing before the mode is set", true, CCoordEditRules::kModeNotSet, "", 1,
         {{"5", "!|"}, {"<Up>", "!|"}, {"<Home>", "|"}}},
    };
    for (const Case& c : cases)
        RunKeys(c);
}

TEST(CoordEditRules, SectionsAreCharactersOfTheText)
{
    struct Position {
        bool seconds;
        int mode;
        int position;
        int section;
    };
    const Position cases[] = {
        {true, kLon, 0, 0},  {true, kLon, 1, 1},  {true, kLon, 4, 1},  {true, kLon, 5, 2},
        {true, kLon, 7, 2},  {true, kLon, 8, 3},  {true, kLon, 30, 3}, {true, kLat, 3, 1},
        {true, kLat, 4, 2},  {true, kLat, 6, 2},  {true, kLat, 7, 3},  {false, kLon, 4, 1},
        {false, kLon, 5, 2}, {false, kLat, 4, 2}, {false, kLat, 9, 2},
    };
    for (const Position& c : cases) {
        CCoordEditRules rules(c.seconds);
        rules.SetValue(c.mode, 0);
        EXPECT_EQ(rules.SectionAt(c.position), c.section) << c.seconds << " " << c.mode << " " << c.position;
    }
}

TEST(CoordEditRules, ValuesShowInTheirForm)
{
    struct Shown {
        bool seconds;
        int mode;
        double value;
        const char* text;
    };
    const Shown cases[] = {
        {true, kLon, 25.279694, "E025°16'46.9\""}, {true, kLat, 54.687194, "N54°41'13.9\""},
        {true, kLon, -25.279694, "W025°16'46.9\""}, {true, kLat, -0.5, "S00°30'00.0\""},
        {false, kLon, 25.279722, "E025°16.7833"},  {false, kLat, 54.5, "N54°30.0"},
        {true, kLat, 95, ""},
    };
    for (const Shown& c : cases) {
        CCoordEditRules rules(c.seconds);
        EXPECT_EQ(Cp1257ToUtf8(rules.SetValue(c.mode, c.value)), c.text) << c.value;
        EXPECT_EQ(rules.GetMode(), c.mode);
    }
}

// What a text reads as; the value never passes the hemisphere's largest.
TEST(CoordEditRules, TextsReadBackAsDegrees)
{
    struct Read {
        bool seconds;
        int mode;
        std::string text;
        double degrees;
    };
    const std::string nines(200, '9');
    const Read cases[] = {
        {true, kLon, "W025°16'46.9\"", -25.279694},
        {true, kLon, "E025°16'46.9\"", 25.279694},
        {true, kLat, "S54°41'13.9\"", -54.687194},
        {true, kLon, "", 0},
        {true, kLon, "E 25° 16' 46.9", 25.279694}, // blanks before numbers, as a scan reads them
        {true, kLat, "N90°30'00.0\"", 90},
        {true, kLon, "W180°59'59.9\"", -180},
        {false, kLon, "E025°16.7833", 25.279722},
        {false, kLat, "S54°30", -54.5},
        {false, kLat, "N89°90", 90},
        // Bad texts: cut short, letters in the numbers, far too long, no degree sign.
        {true, kLon, "E02", 2},
        {true, kLon, "E025°1", 25 + 1 / 60.0},
        {true, kLon, "E0x5°16'46.9\"", 0},
        {true, kLon, "E025°1a'46.9\"", 25 + 1 / 60.0},
        {true, kLon, "E025°16'4x.9\"", 25 + 16 / 60.0 + 4 / 3600.0},
        {true, kLon, "E025 16'46.9\"", 25},
        {true, kLon, "W" + nines, -180},
        {true, kLat, "N" + nines, 90},
        {true, kLat, "S12°" + nines + "'", -90},
        {true, kLon, "E001°00'" + nines, 180},
        {false, kLon, "E001°" + nines, 180},
        {true, kLon, "°'.\"", 0},
        {true, kLon, nines, 180},
    };
    for (const Read& c : cases) {
        CCoordEditRules rules(c.seconds);
        rules.SetValue(c.mode, 0);
        EXPECT_NEAR(rules.Parse(Bytes(c.text)), c.degrees, 5e-7) << c.text;
    }
}

// Arrows and digits on a text out of shape write it again from what it
// reads as, then change the section.
TEST(CoordEditRules, ArrowsGoOnFromWhatWasRead)
{
    const std::string nines(200, '9');
    const Case cases[] = {
        {"cut short", true, kLon, "E02", 1, {{"<Up>", "E[003]°00'00.0\""}}},
        {"empty", true, kLat, "", 2, {{"<Down>", "N00°[59]'00.0\""}}},
        {"beyond the largest", true, kLat, "N95", 1, {{"<Up>", "N[00]°00'00.0\""}}},
        {"no degree sign", true, kLon, "E025 16'46.9\"", 2, {{"<Up>", "E025°[01]'00.0\""}}},
        {"a strange letter", true, kLon, "X025°16'46.9\"", 0, {{"<Up>", "[W]025°16'46.9\""}}},
        {"typing into a short text", true, kLon, "E", 1, {{"4", "E[004]°00'00.0\""}}},
        {"a letter into a short text", false, kLat, "", 0, {{"s", "[S]00°00.0"}}},
        {"long seconds", true, kLon, "E025°16'" + nines, 3, {{"<Up>", "E025°16'[00]"}}},
        {"long seconds down", true, kLon, "E025°16'" + nines, 3, {{"<Down>", "E025°16'[59]"}}},
        {"minutes read too large", true, kLon, "E025°75'00.0\"", 2,
         {{"<Down>", "E025°[59]'00.0\""}, {"<Up>", "E025°[00]'00.0\""}}},
    };
    for (const Case& c : cases)
        RunKeys(c);
}

} // namespace
