#include "shell/FileFilter.h"

#include <gtest/gtest.h>

namespace {

struct FilterCase {
    const char* filter;
    std::vector<std::string> expected;
};

TEST(FileFilter, PairsBecomeCaseBlindQtFilters)
{
    const FilterCase cases[] = {
        {"DBF Files (*.dbf)|*.dbf||", {"DBF Files (*.dbf) (*.[dD][bB][fF])"}},
        {"Drel Map Files (*.map)|*.map|Visi failai (*.*)|*||",
         {"Drel Map Files (*.map) (*.[mM][aA][pP])", "Visi failai (*.*) (*)"}},
        {"Sluoksniai|*.shp; *.gdb||", {"Sluoksniai (*.[sS][hH][pP] *.[gG][dD][bB])"}},
        {"Files|*.trk", {"Files (*.[tT][rR][kK])"}}, // no closing "||"
        {"Be šablono||", {"Be šablono (*)"}},
        {"", {}},
        {"||", {}},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(ToQtNameFilters(c.filter), c.expected);
    }
}

TEST(FileFilter, PatternLettersOfTheCodePage)
{
    EXPECT_EQ(CaseBlindPattern("?1_*.TXT"), "?1_*.[tT][xX][tT]");
    // Lithuanian letters pair with their capitals: \xE0 is a-ogonek, \xC0 its capital.
    EXPECT_EQ(CaseBlindPattern("\xE0*"), "[\xE0\xC0]*");
    EXPECT_EQ(CaseBlindPattern("\xC0"), "[\xE0\xC0]");
    // A set of the pattern itself takes both cases inside it.
    EXPECT_EQ(CaseBlindPattern("*.[ab]"), "*.[aAbB]");
}

} // namespace
