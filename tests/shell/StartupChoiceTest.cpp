#include "shell/StartupChoice.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(StartupChoice, CommandLineFlags)
{
    const CStartArguments plain = ParseStartArguments({"C:\\maps\\a", "b.map"});
    EXPECT_EQ(plain.commandText, "C:\\maps\\a b.map");
    EXPECT_FALSE(plain.embedded || plain.automated);
    EXPECT_TRUE(ParseStartArguments({"/Embedding"}).embedded);
    EXPECT_TRUE(ParseStartArguments({"-embedding"}).embedded);
    EXPECT_TRUE(ParseStartArguments({"/AUTOMATION"}).automated);
    EXPECT_FALSE(ParseStartArguments({"/Automations"}).automated);
    EXPECT_EQ(ParseStartArguments({}).commandText, "");
}

TEST(StartupChoice, FirstMapRules)
{
    struct Case {
        const char* name;
        Args arguments;
        int links;
        const char* recent;
        CFirstMapChoice::Action action;
        const char* path;
        int link;
    };
    const Case cases[] = {
        {"map on the command line", {"/maps/a.map"}, 3, "/maps/old.map", CFirstMapChoice::kOpenFile, "/maps/a.map", -1},
        {"quotes left to the document manager", {"\"/maps/a b.map\""}, 0, "", CFirstMapChoice::kOpenFile,
         "\"/maps/a b.map\"", -1},
        {"/dde opens nothing", {"/dde"}, 1, "/maps/old.map", CFirstMapChoice::kNothing, "", -1},
        {"/dde with more after it", {"/dde", "/maps/a.map"}, 2, "", CFirstMapChoice::kNothing, "", -1},
        {"/DDE is a file name", {"/DDE"}, 0, "", CFirstMapChoice::kOpenFile, "/DDE", -1},
        {"automation opens nothing", {"-Automation"}, 1, "/maps/old.map", CFirstMapChoice::kNothing, "", -1},
        {"embedding opens nothing", {"/Embedding", "x.map"}, 0, "", CFirstMapChoice::kNothing, "", -1},
        {"no links: the most recent file", {}, 0, "/maps/old.map", CFirstMapChoice::kOpenFile, "/maps/old.map", -1},
        {"no links, no recent file", {}, 0, "", CFirstMapChoice::kNothing, "", -1},
        {"one link, recent file ignored", {}, 1, "/maps/old.map", CFirstMapChoice::kOpenLink, "", 0},
        {"several links: the chooser", {}, 2, "/maps/old.map", CFirstMapChoice::kChooseLink, "", -1},
    };
    for (const Case& c : cases) {
        const CFirstMapChoice choice = ChooseFirstMap(ParseStartArguments(c.arguments), c.links, c.recent);
        EXPECT_EQ(choice.action, c.action) << c.name;
        EXPECT_EQ(choice.path, c.path) << c.name;
        EXPECT_EQ(choice.link, c.link) << c.name;
    }
}

TEST(StartupChoice, OnlyEnglishSelectsTheSystemMessageBox)
{
    EXPECT_FALSE(UsesOwnMessageBox("English"));
    for (const char* language : {"Lithuanian", "english", "English ", ""})
        EXPECT_TRUE(UsesOwnMessageBox(language)) << '"' << language << '"';
}

} // namespace
