#include "tools/demo/DemoCommandLine.h"

#include "mapdoc/DrelDoc.h"
#include "tests/support/TestSupport.h"
#include "tools/demo/DemoMapWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

TEST(DemoCommandLine, TakesAFolderASeedAndAStreetCount)
{
    const struct {
        std::vector<std::string> arguments;
        std::string folder;
        uint64_t seed;
        int streets;
    } good[] = {
        {{"miestas"}, "miestas", 1, CDemoOptions::kDefaultStreets},
        {{"miestas", "--seed", "42"}, "miestas", 42, CDemoOptions::kDefaultStreets},
        {{"--streets", "100000", "out/dir"}, "out/dir", 1, 100000},
        {{"--seed", "0", "x", "--streets", "12"}, "x", 0, 12},
        {{"x", "--seed", "18446744073709551615"}, "x", UINT64_MAX, CDemoOptions::kDefaultStreets},
        {{"x", "--streets", "1000000"}, "x", 1, 1000000},
    };
    for (const auto& c : good) {
        SCOPED_TRACE(c.arguments.front());
        CDemoCommandLine command;
        std::string error;
        ASSERT_TRUE(command.Parse(c.arguments, error)) << error;
        EXPECT_EQ(command.folder, c.folder);
        EXPECT_EQ(command.options.seed, c.seed);
        EXPECT_EQ(command.options.streets, c.streets);
        EXPECT_FALSE(command.help);
    }
    CDemoCommandLine help;
    std::string error;
    EXPECT_TRUE(help.Parse({"--help"}, error));
    EXPECT_TRUE(help.help);
}

TEST(DemoCommandLine, RefusesWhatItCannotMakeATownOf)
{
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } bad[] = {
        {{}, "the output folder is missing"},
        {{"--seed", "3"}, "the output folder is missing"},
        {{"x", "--seed"}, "--seed needs a number"},
        {{"x", "--streets"}, "--streets needs a number"},
        {{"x", "--seed", "-1"}, "the seed must be a whole number"},
        {{"x", "--seed", "18446744073709551616"}, "the seed must be a whole number"},
        {{"x", "--seed", "7a"}, "the seed must be a whole number"},
        {{"x", "--streets", "11"}, "the number of streets must be a whole number from 12 to 1000000, not \"11\""},
        {{"x", "--streets", "1000001"}, "the number of streets must be"},
        {{"x", "--streets", "1e3"}, "the number of streets must be"},
        {{"x", "--streets", ""}, "the number of streets must be"},
        {{"x", "y"}, "one output folder only, not also y"},
        {{"x", "--town"}, "unknown option --town"},
        {{""}, "the output folder is empty"},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.message);
        CDemoCommandLine command;
        std::string error;
        EXPECT_FALSE(command.Parse(c.arguments, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

// The program itself: a clear message and a non-zero exit on a bad
// argument, a map that opens on a good one.
TEST(DemoTool, ExitsWithAMessageOrWritesTheMap)
{
    CTempDir dir;
    const std::string tool = DREL_DEMO_TOOL;
    const auto run = [&](const std::string& arguments) {
        const int status = std::system((tool + " " + arguments + " >" + dir.File("out.txt") + " 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(dir.File("map") + " --streets many"), 2);
    const std::string said = ReadWholeFile(dir.File("out.txt"));
    EXPECT_NE(said.find("the number of streets must be a whole number"), std::string::npos) << said;
    EXPECT_NE(said.find("Usage: drel-demo OUTDIR"), std::string::npos) << said;
    EXPECT_EQ(run(dir.File("out.txt")), 1); // a file, no folder
    EXPECT_NE(ReadWholeFile(dir.File("out.txt")).find("not a folder"), std::string::npos);

    ASSERT_EQ(run(dir.File("map") + " --seed 5 --streets 12"), 0) << ReadWholeFile(dir.File("out.txt"));
    CScriptedUserServices user;
    CDrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("map/demo.map")));
    EXPECT_EQ(doc.GetLayerCount(), 11);
    EXPECT_TRUE(user.messages.empty());
}

} // namespace
