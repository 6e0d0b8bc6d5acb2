// drel-screenshot's answers to what it cannot do; its pictures are for a
// person to look at, not for the tests.
#include "platform/Path.h"
#include "tests/support/TestSupport.h"
#include "tools/demo/DemoMapWriter.h"

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

// The picture is taken once the map has drawn and the program is idle,
// not after a fixed wait; a layer the program cannot read fails the run.
TEST(ScreenshotTool, TakesThePictureOnceDrawnAndFailsOnALayerItCannotRead)
{
    CTempDir dir;
    std::string error;
    {
        CScriptedUserServices user;
        ASSERT_TRUE(MakeDemoMap(dir.File("town"), {3, CDemoOptions::kMinStreets}, error)) << error;
    }
    const std::string map = dir.File("town/demo.map");
    const auto run = [&](const std::string& picture) {
        const int status = std::system((std::string(DREL_SCREENSHOT_TOOL) + " " + map + " " + picture +
                                        " --size 640x480 >" + dir.File("out.txt") + " 2>&1")
                                           .c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(dir.File("a.png")), 0) << ReadWholeFile(dir.File("out.txt"));
    const std::string said = ReadWholeFile(dir.File("out.txt"));
    EXPECT_NE(said.find("drel-screenshot: wrote " + dir.File("a.png") + " (640x480), drawn in "), std::string::npos)
        << said;
    EXPECT_TRUE(PathExists(dir.File("a.png")));

    ASSERT_TRUE(RenameFile(dir.File("town/upe.shp"), dir.File("town/upe.off")));
    EXPECT_EQ(run(dir.File("b.png")), 1);
    EXPECT_NE(ReadWholeFile(dir.File("out.txt")).find("upe.shp"), std::string::npos)
        << ReadWholeFile(dir.File("out.txt"));
}

} // namespace
