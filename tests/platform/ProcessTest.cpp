#include "platform/Process.h"

#include "platform/Codepage.h"
#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

// A program that writes each argument it gets on a line of its own.
class ProcessArguments : public ::testing::Test {
protected:
    ProcessArguments()
    {
        WriteWholeFile(Program(), "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> \"" +
                                      ResolvePath(Output()) + "\"; done\n");
        chmod(ResolvePath(Program()).c_str(), 0755);
    }
    std::string Program() const { return dir.File("args.sh"); }
    std::string Output() const { return dir.File("args.txt"); }
    std::vector<std::string> Received() const
    {
        std::vector<std::string> lines;
        std::string text = PathExists(Output()) ? ReadWholeFile(Output()) : "";
        for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        RemoveFile(Output());
        return lines;
    }

    CTempDir dir;
};

TEST_F(ProcessArguments, AnArgumentVectorReachesTheProgramAsItStands)
{
    const std::vector<std::string> arguments = {"a b", "\"quoted\"", "-rf", "", Utf8ToCp1257("Šiauliai")};
    ASSERT_TRUE(StartProgramWithArguments(Program(), arguments, true));
    EXPECT_EQ(Received(), (std::vector<std::string>{"a b", "\"quoted\"", "-rf", "", "Šiauliai"}));

    // The command line form splits at blanks, quotes grouping.
    ASSERT_TRUE(StartProgram(Program(), "a \"b c\" d", true));
    EXPECT_EQ(Received(), (std::vector<std::string>{"a", "b c", "d"}));

    EXPECT_FALSE(StartProgramWithArguments(dir.File("nowhere.exe"), {"x"}, true));
}

} // namespace
