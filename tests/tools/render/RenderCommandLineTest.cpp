#include "tools/render/RenderCommandLine.h"

#include "core/FileUtil.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/MetaFile.h"
#include "platform/MetaFileDC.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "tests/mapdoc/PdfReadBack.h"
#include "tests/support/TestSupport.h"
#include "tools/demo/DemoMapWriter.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

TEST(RenderCommandLine, TakesAMapAPictureASizeAndAnExtentOrABookmark)
{
    const struct {
        std::vector<std::string> arguments;
        int width, height;
        bool hasExtent;
        CMapRect extent;
        std::string bookmark;
    } good[] = {
        {{"demo.map", "out.png", "--size", "800x600"}, 800, 600, false, {}, ""},
        {{"--size", "1X1", "a/demo.map", "OUT.PNG"}, 1, 1, false, {}, ""},
        {{"m.map", "o.png", "--size", "30000x20", "--extent", "-10.5,2,1e3,4"},
         30000, 20, true, CMapRect(-10.5, 4, 1000, 2), ""},
        {{"m.map", "o.png", "--bookmark", "Senamiestis", "--size", "640x480"}, 640, 480, false, {}, "Senamiestis"},
    };
    for (const auto& c : good) {
        SCOPED_TRACE(c.arguments.back());
        CRenderCommandLine command;
        std::string error;
        ASSERT_TRUE(command.Parse(c.arguments, error)) << error;
        EXPECT_EQ(command.width, c.width);
        EXPECT_EQ(command.height, c.height);
        EXPECT_EQ(command.hasExtent, c.hasExtent);
        if (c.hasExtent) {
            EXPECT_EQ(command.extent, c.extent);
        }
        EXPECT_EQ(command.bookmark, c.bookmark);
        EXPECT_FALSE(command.help);
    }
    CRenderCommandLine command;
    std::string error;
    ASSERT_TRUE(command.Parse({"x.map", "y.png", "--size", "2x3"}, error));
    EXPECT_EQ(command.mapPath, "x.map");
    EXPECT_EQ(command.outPath, "y.png");
    CRenderCommandLine help;
    EXPECT_TRUE(help.Parse({"m.map", "--help"}, error));
    EXPECT_TRUE(help.help);
}

TEST(RenderCommandLine, RefusesWhatItCannotDraw)
{
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } bad[] = {
        {{}, "the map file is missing"},
        {{"m.map"}, "the output file is missing"},
        {{"m.map", "o.png"}, "--size is missing"},
        {{"m.map", "o.png", "x.png", "--size", "2x2"}, "one map and one output file only, not also x.png"},
        {{"m.map", "o.gif", "--size", "2x2"}, "the output file must end in .png, .pdf, .emf, .wmf or .html, not \"o.gif\""},
        {{"m.map", "o.svg", "--size", "2x2"}, "the output file must end in .png, .pdf, .emf, .wmf or .html"},
        {{"m.map", "png", "--size", "2x2"}, "the output file must end in .png"},
        {{"m.map", "o.png", "--size"}, "--size needs a value"},
        {{"m.map", "o.png", "--size", "0x10"}, "the size must be WIDTHxHEIGHT in pixels, each from 1 to 30000"},
        {{"m.map", "o.png", "--size", "30001x10"}, "the size must be"},
        {{"m.map", "o.png", "--size", "10"}, "the size must be"},
        {{"m.map", "o.png", "--size", "10x"}, "the size must be"},
        {{"m.map", "o.png", "--size", "-5x10"}, "the size must be"},
        {{"m.map", "o.png", "--size", "99999999999x10"}, "the size must be"},
        {{"m.map", "o.png", "--size", "4x4", "--extent", "1,2,3"}, "the extent must be LEFT,BOTTOM,RIGHT,TOP"},
        {{"m.map", "o.png", "--size", "4x4", "--extent", "1,2,3,4,5"}, "the extent must be"},
        {{"m.map", "o.png", "--size", "4x4", "--extent", "3,2,1,4"}, "the extent must be"},
        {{"m.map", "o.png", "--size", "4x4", "--extent", "1,2,2,2"}, "the extent must be"},
        {{"m.map", "o.png", "--size", "4x4", "--extent", "1, 2,3,4"}, "the extent must be"},
        {{"m.map", "o.png", "--size", "4x4", "--extent", "nan,2,3,4"}, "the extent must be"},
        {{"m.map", "o.png", "--size", "4x4", "--extent", "1,2,inf,4"}, "the extent must be"},
        {{"m.map", "o.png", "--size", "4x4", "--extent", "1,2,3,4x"}, "the extent must be"},
        {{"m.map", "o.png", "--size", "4x4", "--bookmark", ""}, "the bookmark name is empty"},
        {{"m.map", "o.png", "--size", "4x4", "--bookmark", "A", "--extent", "1,2,3,4"},
         "--extent and --bookmark exclude each other"},
        {{"m.map", "o.png", "--size", "4x4", "--scale", "5"}, "unknown option --scale"},
        {{"", "o.png", "--size", "4x4"}, "the map file name is empty"},
        {{"m.map", "", "--size", "4x4"}, "the output file name is empty"},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.message);
        CRenderCommandLine command;
        std::string error;
        EXPECT_FALSE(command.Parse(c.arguments, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

// The program itself: a clear message and a non-zero exit on a bad
// argument or a map that does not open, the picture on a good one.
class RenderTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        CScriptedUserServices user;
        std::string error;
        ASSERT_TRUE(MakeDemoMap(dir.File("town"), {3, CDemoOptions::kMinStreets}, error)) << error;
    }
    // The tool's exit status; what it said is in the output file.
    int Run(const std::string& arguments) const
    {
        const int status = std::system((std::string(DREL_RENDER_TOOL) + " " + arguments + " >" + out + " 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Said() const { return ReadWholeFile(out); }

    CTempDir dir;
    const std::string map = dir.File("town/demo.map");
    const std::string out = dir.File("out.txt");
};

TEST_F(RenderTool, ExitsWithAMessageOrWritesThePicture)
{

    EXPECT_EQ(Run(map + " " + dir.File("a.png") + " --size 20"), 2);
    EXPECT_NE(Said().find("the size must be WIDTHxHEIGHT"), std::string::npos) << Said();
    EXPECT_NE(Said().find("Usage: drel-render MAP OUT --size WxH"), std::string::npos) << Said();
    EXPECT_NE(Said().find("OUT ends in .png, .pdf, .emf, .wmf or .html"), std::string::npos) << Said();

    EXPECT_EQ(Run(dir.File("none.map") + " " + dir.File("a.png") + " --size 20x20"), 1);
    EXPECT_NE(Said().find("the map " + dir.File("none.map") + " does not exist"), std::string::npos) << Said();
    WriteWholeFile(dir.File("broken.map"), "not a map at all");
    EXPECT_EQ(Run(dir.File("broken.map") + " " + dir.File("a.png") + " --size 20x20"), 1);
    EXPECT_NE(Said().find("the map " + dir.File("broken.map") + " does not open"), std::string::npos) << Said();
    // The saved places in Lithuanian, given and listed in UTF-8.
    EXPECT_EQ(Run(map + " " + dir.File("a.png") + " --size 20x20 --bookmark Niekur"), 1);
    EXPECT_NE(Said().find("the map has no saved place \"Niekur\"; it has \"Visas miestas\", \"Senamiestis\", "
                          "\"Prie upės\", \"Centrinė sankryža\""),
              std::string::npos)
        << Said();
    EXPECT_EQ(Run(map + " " + dir.File("no/such/folder/a.png") + " --size 20x20"), 1);
    EXPECT_FALSE(Said().empty());
    EXPECT_FALSE(PathExists(dir.File("a.png")));

    ASSERT_EQ(Run(map + " " + dir.File("a.png") + " --size 320x200 --bookmark 'Centrinė sankryža'"), 0) << Said();
    EXPECT_NE(Said().find("drel-render: wrote " + dir.File("a.png") + " (320 x 200, scale 1:"), std::string::npos)
        << Said();
    QImage picture(QString::fromStdString(dir.File("a.png")));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.width(), 320);
    EXPECT_EQ(picture.height(), 200);
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            inked += picture.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(inked, 320 * 200 / 10) << "the streets round the crossing on the white of the map";

    // The place's extent given in map units draws the same picture.
    CMapRect crossing;
    {
        CScriptedUserServices user;
        CDrelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(map));
        ASSERT_TRUE(doc.FindBookmark(Utf8ToCp1257("Centrinė sankryža"), crossing));
    }
    ASSERT_EQ(Run(map + " " + dir.File("b.png") + " --size 320x200 --extent " +
                  FormatC("%.17g,%.17g,%.17g,%.17g", crossing.left, crossing.bottom, crossing.right, crossing.top)),
              0)
        << Said();
    EXPECT_EQ(QImage(QString::fromStdString(dir.File("b.png"))), picture);
}

// Paths stored in a map are relative to the map's folder, whichever folder
// the tool runs in and however the map is named; a layer that cannot be
// read fails the tool, with no picture.
TEST_F(RenderTool, DrawsEveryLayerFromAnotherFolder)
{
    // The town again, its layers stored as "..\..\town\..." from deep/work/.
    ASSERT_TRUE(MakeFolder(dir.File("deep")));
    ASSERT_TRUE(MakeFolder(dir.File("deep/work")));
    {
        CScriptedUserServices user;
        CDrelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(map));
        ASSERT_TRUE(doc.OnSaveDocument(dir.File("deep/work/roads.map")));
    }
    ASSERT_NE(ReadWholeFile(dir.File("deep/work/roads.map")).find("..\\..\\town\\"), std::string::npos);

    const std::string size = " --size 320x200";
    ASSERT_EQ(Run(map + " " + dir.File("whole.png") + size), 0) << Said();
    const QImage whole(QString::fromStdString(dir.File("whole.png")));
    ASSERT_FALSE(whole.isNull());
    const struct {
        const char* folder;
        const char* map;
    } cases[] = {
        {"town", "./demo.map"},
        {"town", "demo.map"},
        {"deep", "work/roads.map"},
        {"deep/work", "../work/./roads.map"},
        {"town", "../deep/work/roads.map"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + " " + c.map);
        const std::string picture = dir.File("from.png");
        const int status = std::system(("cd '" + dir.File(c.folder) + "' && " + DREL_RENDER_TOOL + " " + c.map + " " +
                                        picture + size + " >" + out + " 2>&1")
                                           .c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << Said();
        EXPECT_EQ(Said().find("Nepavyko"), std::string::npos) << Said();
        EXPECT_TRUE(QImage(QString::fromStdString(picture)) == whole) << "a layer is missing";
        RemoveFile(picture);
    }

    // A layer file gone: the tool says which and writes nothing.
    ASSERT_TRUE(RenameFile(dir.File("town/upe.shp"), dir.File("town/upe.off")));
    EXPECT_EQ(Run(map + " " + dir.File("less.png") + size), 1);
    EXPECT_NE(Said().find("upe.shp"), std::string::npos) << Said();
    EXPECT_FALSE(PathExists(dir.File("less.png")));
}

// Other formats by the output's extension, letter case ignored; what no
// format has is refused before anything is drawn.
TEST_F(RenderTool, WritesPdfAndMetafilesByTheExtension)
{
    NeedGuiApplication();
    const auto draw = [&](const std::string& picture) {
        return Run(map + " " + dir.File(picture) + " --size 320x200 --bookmark 'Centrinė sankryža'");
    };
    ASSERT_EQ(draw("map.PDF"), 0) << Said();
    std::string pages;
    ASSERT_EQ(RunCommand("pdftoppm -r 96 -png '" + dir.File("map.PDF") + "' '" + dir.File("page") + "'", pages), 0)
        << pages;
    QImage page(QString::fromStdString(dir.File("page-1.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 320, 1);
    EXPECT_NEAR(page.height(), 200, 1);
    int inked = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            inked += page.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(inked, 320 * 200 / 10) << "the streets round the crossing";

    ASSERT_EQ(draw("map.emf"), 0) << Said();
    CMetaFile emf;
    ASSERT_TRUE(emf.Load(dir.File("map.emf")));
    EXPECT_EQ(emf.GetKind(), CMetaFile::Kind::Enhanced);
    EXPECT_EQ(emf.GetEnhHeader().frame, CMetaFileDC::FrameFor(nullptr, 320, 200));

    ASSERT_EQ(draw("map.wmf"), 0) << Said();
    CMetaFile wmf;
    ASSERT_TRUE(wmf.Load(dir.File("map.wmf")));
    EXPECT_EQ(wmf.GetKind(), CMetaFile::Kind::Placeable);
    EXPECT_EQ(wmf.GetPlaceableHeader().boundingBox, CRect(0, 0, 3333, 2083));

    EXPECT_EQ(draw("map.svg"), 2);
    EXPECT_NE(Said().find("the output file must end in .png, .pdf, .emf, .wmf or .html"), std::string::npos);
    EXPECT_FALSE(PathExists(dir.File("map.svg")));
}

} // namespace
