// drel-screenshot's answers to what it cannot do; its pictures are for a
// person to look at, not for the tests.
#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

TEST(ScreenshotTool, ExitsWithAMessageOnBadArgumentsOrAMapThatDoesNotOpen)
{
    CTempDir dir;
    const std::string tool = DREL_SCREENSHOT_TOOL;
    const auto run = [&](const std::string& arguments) {
        const int status = std::system((tool + " " + arguments + " >" + dir.File("out.txt") + " 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    struct Case {
        std::string arguments;
        int code;
        const char* said;
    };
    const Case cases[] = {
        {"", 2, "a map and a picture file are wanted"},
        {"a.map", 2, "a map and a picture file are wanted"},
        {"a.map b.png --size 10x10", 2, "--size wants WxH"},
        {"a.map b.png --size wide", 2, "--size wants WxH"},
        {"a.map b.png --colour", 2, "unknown option --colour"},
        {dir.File("missing.map") + " " + dir.File("out.png"), 1, "no map"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.arguments), c.code) << c.arguments;
        const std::string said = ReadWholeFile(dir.File("out.txt"));
        EXPECT_NE(said.find(c.said), std::string::npos) << c.arguments << ": " << said;
        if (c.code == 2) {
            EXPECT_NE(said.find("usage: drel-screenshot MAP OUT.png [--size WxH]"), std::string::npos) << said;
        }
    }
    EXPECT_FALSE(PathExists(dir.File("out.png")));
}

} // namespace
