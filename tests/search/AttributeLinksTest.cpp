#include "search/AttributeLinks.h"

#include "platform/AppFolders.h"
#include "platform/Path.h"
#include "tests/search/LinkProgramsDouble.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;
using Result = ILinkPrograms::Result;

std::string CurrentFolder()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

// A layer's data folder with the files its values name, and a program
// folder of its own.
class AttributeLinks : public ::testing::Test {
protected:
    AttributeLinks()
    {
        MakeFolder(Base());
        MakeFolder(dir.File("program/"));
        MakeFolder(dir.File("drive/"));
        MakeFolder(dir.File("drive/docs/"));
        for (const char* name : {"planas.pdf", "PLANAS.PDF", "foto.bmp", "foto.jpg", "miestas.map", "keliai.dbf",
                                 "kelione.trk", "be_pletinio", "a b \"c\".dbf"})
            WriteWholeFile(Base() + name, "x");
        WriteWholeFile(dir.File("drive/docs/sutartis.rtf"), "x");
        SetProgramFolderForTesting(dir.File("program/"));
        SetDriveFolder('Q', ResolvePath(dir.File("drive")));
    }
    ~AttributeLinks() override
    {
        SetProgramFolderForTesting("");
        SetDriveFolder('Q', "");
    }

    std::string Base() const { return dir.File("layer/"); }
    std::string Viewer() const { return dir.File("program/") + kTableViewer; }

    CTempDir dir;
    CScriptedUserServices services;
    CRecordingLinkPrograms programs;
};

TEST_F(AttributeLinks, ByTypeOrWithTheDefaultProgram)
{
    struct Case {
        std::string value;
        bool defaultProgram;
        bool programOrWindow; // the viewer starts, the picture windows exist
        Log log;
        unsigned message;
    };
    const std::string base = Base();
    const Case cases[] = {
        // Relative names are the layer folder's.
        {"planas.pdf", false, true, {"file " + base + "planas.pdf"}, 0},
        {"PLANAS.PDF", false, true, {"file " + base + "PLANAS.PDF"}, 0},
        {"foto.bmp", false, true, {"bitmap " + base + "foto.bmp"}, 0},
        {"foto.jpg", false, true, {"picture " + base + "foto.jpg"}, 0},
        // Without the program's picture windows the default program shows them.
        {"foto.bmp", false, false, {"bitmap " + base + "foto.bmp", "file " + base + "foto.bmp"}, 0},
        {"foto.jpg", false, false, {"picture " + base + "foto.jpg", "file " + base + "foto.jpg"}, 0},
        {"miestas.map", false, true, {"map " + base + "miestas.map"}, 0},
        {"keliai.dbf", false, true, {"program " + Viewer()}, 0},
        {"kelione.trk", false, true, {"program " + Viewer()}, 0},
        // The viewer does not start: the default program takes the table.
        {"keliai.dbf", false, false, {"program " + Viewer(), "file " + base + "keliai.dbf"}, 0},
        {"be_pletinio", false, true, {"file " + base + "be_pletinio"}, 0},
        // The default program asked for: always it.
        {"keliai.dbf", true, true, {"file " + base + "keliai.dbf"}, 0},
        {"foto.bmp", true, true, {"file " + base + "foto.bmp"}, 0},
        {"miestas.map", true, true, {"file " + base + "miestas.map"}, 0},
        // With a ':' the target stands as given: a drive path, an address.
        {"Q:\\docs\\sutartis.rtf", false, true, {"file Q:\\docs\\sutartis.rtf"}, 0},
        {"http://www.example.lt/planas.map", false, true, {"url http://www.example.lt/planas.map"}, 0},
        {"MAILTO:info@example.lt", false, true, {"url MAILTO:info@example.lt"}, 0},
        // A file that is not there is not handed on.
        {"nera.pdf", false, true, {}, 1037},
        {"Q:\\docs\\nera.rtf", true, true, {}, 1037},
        {"", false, true, {}, 0},
    };
    const std::string before = CurrentFolder();
    for (const Case& c : cases) {
        programs.log.clear();
        services.messages.clear();
        programs.programStarts = programs.pictureWindows = c.programOrWindow;
        EXPECT_EQ(OpenAttributeLink(c.value, Base(), c.defaultProgram, programs), static_cast<int>(c.message))
            << c.value;
        EXPECT_EQ(programs.log, c.log) << c.value;
        const std::vector<unsigned> told = c.message ? std::vector<unsigned>{c.message} : std::vector<unsigned>{};
        EXPECT_EQ(services.MessageIds(), told) << c.value;
        EXPECT_EQ(CurrentFolder(), before) << c.value;
    }
}

TEST_F(AttributeLinks, TheDefaultProgramsFailuresAreTold)
{
    struct Case {
        Result result;
        unsigned message;
    };
    const Case cases[] = {
        {Result::kOpened, 0},
        {Result::kNoMemory, 1005},
        {Result::kNoProgram, 1036},
        {Result::kFailed, 1037},
    };
    for (const Case& c : cases) {
        services.messages.clear();
        programs.fileResult = programs.urlResult = c.result;
        for (const char* value : {"planas.pdf", "http://www.example.lt"})
            EXPECT_EQ(OpenAttributeLink(value, Base(), true, programs), static_cast<int>(c.message)) << value;
        const std::vector<unsigned> told = c.message ? std::vector<unsigned>{c.message, c.message} : std::vector<unsigned>{};
        EXPECT_EQ(services.MessageIds(), told);
    }
}

TEST_F(AttributeLinks, TheViewerGetsTheValueAsOneFullPath)
{
    // Blanks, quotes, a leading '-' and sheer length stay one argument, a
    // full path that no viewer can read as an option.
    const std::string longName = std::string(10000, 'x') + ".dbf";
    const std::vector<std::string> values = {"a b \"c\".dbf", "-rf.dbf", "--help .trk", longName};
    for (const std::string& value : values) {
        programs.startedArguments.clear();
        EXPECT_EQ(OpenAttributeLink(value, Base(), false, programs), 0);
        ASSERT_EQ(programs.startedArguments.size(), 1u);
        EXPECT_EQ(programs.startedArguments[0], std::vector<std::string>{Base() + value});
    }
    // One whose ':' keeps it as given is still no option.
    programs.startedArguments.clear();
    EXPECT_EQ(OpenAttributeLink("-x:y.dbf", Base(), false, programs), 0);
    ASSERT_EQ(programs.startedArguments.size(), 1u);
    EXPECT_EQ(programs.startedArguments[0], std::vector<std::string>{"./-x:y.dbf"});
    EXPECT_TRUE(services.messages.empty());
}

} // namespace
