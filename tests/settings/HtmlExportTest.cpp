// The HTML export: the image map of a layer's objects, the page, and the
// command's steps, read back by libxml2's HTML parser as a browser would.
#include "settings/HtmlExport.h"

#include "core/FileUtil.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "tests/core/FieldLists.h"
#include "tests/core/GeometryText.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <libxml/HTMLparser.h>
#include <libxml/xpath.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// One object of a test layer: its geometry as GeometryText reads it, and
// its NAME, URL and N texts.
struct CObject {
    const char* geometry;
    std::string name;
    std::string url;
    const char* n;
};

std::string Cp(const char* utf8)
{
    return Utf8ToCp1257(utf8);
}

// A quote, an ampersand, angle brackets and Lithuanian letters.
const std::string kAwkwardName = Cp("Ąžuolas \"didysis\" & <kiti>");

class HtmlExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        // 2000 x 1000 metres in 400 x 200 pixels, five metres a pixel, the
        // origin at the top left.
        ShowTestMap(doc, view, window);
        HtmlExportOptions() = CHtmlExportOptions();
    }
    void TearDown() override { HtmlExportOptions() = CHtmlExportOptions(); }

    CLayer* AddLayer(const std::string& name, int type, const std::vector<CObject>& objects)
    {
        const std::string path = dir.File(name + ".gdb");
        {
            const auto fields = FieldList({{"NAME", 'C', 40, 0}, {"URL", 'C', 40, 0}, {"N", 'N', 6, 0}});
            CGdbSource source;
            const int sourceType = type == CLayer::kArea ? CFeatureSource::kArea : CFeatureSource::kPoint;
            EXPECT_TRUE(source.Create(path, sourceType, fields.data()));
            for (const CObject& object : objects) {
                const CShape shape = Shape(object.geometry);
                EXPECT_TRUE(sourceType == CFeatureSource::kArea ? source.AppendShape(shape, false)
                                                                : source.AppendPoint(shape.GetPoint(0), false));
                CDbfTable& table = source.GetTable();
                table.SetField(0, object.name);
                table.SetField(1, object.url);
                table.SetField(2, object.n);
                EXPECT_TRUE(table.WriteRecord());
            }
        }
        auto layer = std::make_unique<CLayer>(name, path, type);
        layer->FieldAliases().SetAt("Name", "Pavadinimas");
        layer->SetFlag(CLayer::kHasAliases, true);
        CLayer* added = layer.get();
        doc.AddLayer(std::move(layer), false);
        return added;
    }

    CLayer* AddPoints()
    {
        return AddLayer(Cp("Taškai"), CLayer::kPoint,
                        {{"100 900", kAwkwardName, "http://x.lt/?a=1&b=2", "1"},
                         {"500 500", "", "", ""},
                         {"700 300", "", "plan.html", ""},
                         {"2500 500", "Toli", "", "3"}});
    }

    CLayer* AddAreas()
    {
        return AddLayer("Plotai", CLayer::kArea,
                        {// A ring with a hole.
                         {"100 900, 300 900, 300 700, 100 700 | 150 850, 250 850, 250 750, 150 750", "Su skyle", "",
                          "1"},
                         // Across the right edge of the view.
                         {"1900 500, 2100 500, 2100 300, 1900 300", Cp("Per kraštą"), "", "2"},
                         // Two parts, one wholly outside.
                         {"500 200, 600 200, 600 100 | 3000 200, 3100 200, 3100 100", "Dvi dalys", "", "3"}});
    }

    std::vector<std::string> ImageMap(CLayer& layer, const std::vector<std::string>& fields, const std::string& link,
                                      int showNames)
    {
        std::vector<std::string> areas;
        const int any = WriteHtmlImageMap(layer, view, areas, fields, link, showNames);
        EXPECT_EQ(any, areas.empty() ? 0 : 1);
        return areas;
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
    CDrelView view{doc};
    CTempDir dir;
};

// What a browser reads of a page.
struct CParsedPage {
    std::string title; // UTF-8
    std::string contentType;
    std::string imgSrc;
    std::string usemap;
    int imgWidth = -1;
    int imgHeight = -1;
    std::string mapName;
    struct Area {
        std::string alt; // UTF-8
        std::string shape;
        std::vector<long> coords;
        bool coordsAreIntegers = true;
        std::string href;
        bool nohref = false;
    };
    std::vector<Area> areas;
};

std::string Attribute(xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return {};
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

std::vector<xmlNode*> Nodes(xmlXPathContext* context, const char* path)
{
    std::vector<xmlNode*> nodes;
    xmlXPathObject* found = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path), context);
    if (found && found->nodesetval)
        for (int i = 0; i < found->nodesetval->nodeNr; ++i)
            nodes.push_back(found->nodesetval->nodeTab[i]);
    xmlXPathFreeObject(found);
    return nodes;
}

CParsedPage ParsePage(const std::string& bytes)
{
    CParsedPage page;
    htmlDocPtr document = htmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "page.html", "windows-1257",
                                         HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    EXPECT_NE(document, nullptr);
    if (!document)
        return page;
    xmlXPathContext* context = xmlXPathNewContext(document);
    for (xmlNode* title : Nodes(context, "//title")) {
        xmlChar* text = xmlNodeGetContent(title);
        page.title = reinterpret_cast<const char*>(text);
        xmlFree(text);
    }
    for (xmlNode* meta : Nodes(context, "//meta"))
        page.contentType = Attribute(meta, "content");
    for (xmlNode* img : Nodes(context, "//img")) {
        page.imgSrc = Attribute(img, "src");
        page.usemap = Attribute(img, "usemap");
        page.imgWidth = std::atoi(Attribute(img, "width").c_str());
        page.imgHeight = std::atoi(Attribute(img, "height").c_str());
    }
    for (xmlNode* map : Nodes(context, "//map"))
        page.mapName = Attribute(map, "name");
    for (xmlNode* node : Nodes(context, "//area")) {
        CParsedPage::Area area;
        area.alt = Attribute(node, "alt");
        area.shape = Attribute(node, "shape");
        area.href = Attribute(node, "href");
        area.nohref = xmlHasProp(node, reinterpret_cast<const xmlChar*>("nohref")) != nullptr;
        const std::string coords = Attribute(node, "coords");
        for (size_t at = 0; at <= coords.size();) {
            size_t end = coords.find(',', at);
            if (end == std::string::npos)
                end = coords.size();
            const std::string piece = coords.substr(at, end - at);
            area.coordsAreIntegers = area.coordsAreIntegers && !piece.empty() &&
                                     piece.find_first_not_of("-0123456789") == std::string::npos;
            area.coords.push_back(std::atol(piece.c_str()));
            at = end + 1;
        }
        page.areas.push_back(area);
    }
    xmlXPathFreeContext(context);
    xmlFreeDoc(document);
    return page;
}

} // namespace

TEST(HtmlEscape, EveryMarkupCharacterIsEscaped)
{
    EXPECT_EQ(EscapeHtml("a \"b\" & <c> 'd' \xE0"), "a &quot;b&quot; &amp; &lt;c&gt; 'd' \xE0");
    EXPECT_EQ(EscapeHtml(""), "");
}

TEST(HtmlPage, PagesAsTheyAreWritten)
{
    EXPECT_EQ(HtmlPageText("", "Windows-1257", "map.png", 640, 480, {}),
              "<html>\n<head>\n<title>Map</title>\n"
              "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Windows-1257\">\n"
              "</head>\n<body>\n"
              "<p align=\"center\"><img src=\"map.png\" border=\"0\" width=\"640\" height=\"480\">\n"
              "</body>\n</html>\n");
    EXPECT_EQ(HtmlPageText(Cp("Miestas & <apylinkės>"), "utf\"8", "a&b.png", 10, 20,
                           {"<area alt=\"x\" shape=\"circle\" coords=\"1,2,7\" nohref>\n"}),
              Cp("<html>\n<head>\n<title>Miestas &amp; &lt;apylinkės&gt;</title>\n"
                 "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf&quot;8\">\n"
                 "</head>\n<body>\n"
                 "<p><H2 align=\"center\">Miestas &amp; &lt;apylinkės&gt;</H2></p>"
                 "<p align=\"center\"><img src=\"a&amp;b.png\" usemap=\"#imgMap\" border=\"0\" width=\"10\" "
                 "height=\"20\">\n<map name=\"imgMap\">\n"
                 "<area alt=\"x\" shape=\"circle\" coords=\"1,2,7\" nohref>\n"
                 "</map></p>\n</body>\n</html>\n"));
}

TEST_F(HtmlExportTest, PointsGiveCirclesWithEscapedTooltipsAndLinks)
{
    CLayer* points = AddPoints();
    EXPECT_EQ(ImageMap(*points, {"Pavadinimas", "N"}, "URL", 1),
              (std::vector<std::string>{
                  "<area alt=\"" + Cp("Pavadinimas: Ąžuolas &quot;didysis&quot; &amp; &lt;kiti&gt;") +
                      "\nN: 1\" shape=\"circle\" coords=\"20,20,7\" href=\"http://x.lt/?a=1&amp;b=2\">\n",
                  // A blank number reads 0.
                  "<area alt=\"Pavadinimas: \nN: 0\" shape=\"circle\" coords=\"100,100,7\" nohref>\n",
                  "<area alt=\"Pavadinimas: \nN: 0\" shape=\"circle\" coords=\"140,140,7\" href=\"plan.html\">\n",
              }));
    // No values but a link: still an area; neither: none.
    const std::vector<std::string> named = ImageMap(*points, {"NAME"}, "URL", 1);
    ASSERT_EQ(named.size(), 2u);
    EXPECT_EQ(named[1], "<area alt=\"Pavadinimas: \" shape=\"circle\" coords=\"140,140,7\" href=\"plan.html\">\n");
    // Names left out; no link field.
    EXPECT_EQ(ImageMap(*points, {"NAME"}, "", 0),
              (std::vector<std::string>{"<area alt=\"" + Cp("Ąžuolas &quot;didysis&quot; &amp; &lt;kiti&gt;") +
                                        "\" shape=\"circle\" coords=\"20,20,7\" nohref>\n"}));
    std::vector<std::string> areas;
    EXPECT_EQ(WriteHtmlImageMap(*points, view, areas, {"NAME"}, "", 0, "target=\"_top\""), 1);
    EXPECT_NE(areas[0].find("nohref target=\"_top\">"), std::string::npos) << areas[0];
    // Fields that are not there give no areas.
    EXPECT_TRUE(ImageMap(*points, {"NERA"}, "URL", 1).empty());
}

TEST_F(HtmlExportTest, TrackPointsAreCircles)
{
    CLayer* track = AddLayer("Trasa", CLayer::kTrack, {{"1000 500", "T", "", "1"}});
    EXPECT_EQ(ImageMap(*track, {"N"}, "", 0),
              std::vector<std::string>{"<area alt=\"1\" shape=\"circle\" coords=\"200,100,7\" nohref>\n"});
}

TEST_F(HtmlExportTest, AreaPartsAreOnePolygonEachCutAtTheViewEdgeAsRings)
{
    CLayer* areas = AddAreas();
    const std::vector<std::string> lines = ImageMap(*areas, {"NAME"}, "", 0);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "<area alt=\"Su skyle\" shape=\"poly\" coords=\"20,20,60,20,60,60,20,60\" nohref>\n",
                         "<area alt=\"Su skyle\" shape=\"poly\" coords=\"30,30,50,30,50,50,30,50\" nohref>\n",
                         "<area alt=\"" + Cp("Per kraštą") + "\" shape=\"poly\" coords=\"380,100,400,100,400,140,380,140,380,100\" "
                         "nohref>\n",
                         "<area alt=\"Dvi dalys\" shape=\"poly\" coords=\"100,160,120,160,120,180,100,160\" nohref>\n",
                     }));
}

TEST_F(HtmlExportTest, OnlyTheFirstTenFieldsAreWritten)
{
    std::vector<std::string> names;
    {
        std::vector<CDbfFieldInfo> fields;
        for (int i = 1; i <= 11; ++i) {
            names.push_back("F" + std::to_string(i));
            fields.emplace_back().Set(names.back().c_str(), 'C', 4, 0);
        }
        fields.emplace_back().Set("", 0, 0, 0);
        CGdbSource source;
        ASSERT_TRUE(source.Create(dir.File("eleven.gdb"), CFeatureSource::kPoint, fields.data()));
        ASSERT_TRUE(source.AppendPoint(CMapPoint(10, 990), false));
        for (int i = 0; i < 11; ++i)
            source.GetTable().SetField(i, "v" + std::to_string(i + 1));
        ASSERT_TRUE(source.GetTable().WriteRecord());
    }
    CLayer layer("Eleven", dir.File("eleven.gdb"), CLayer::kPoint);
    const std::vector<std::string> lines = ImageMap(layer, names, "", 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "<area alt=\"v1\nv2\nv3\nv4\nv5\nv6\nv7\nv8\nv9\nv10\" shape=\"circle\" coords=\"2,2,7\" nohref>\n");
}

TEST_F(HtmlExportTest, LayersOfOtherTypesOrWithoutDataGiveNoImageMap)
{
    CLayer lines("Linijos", dir.File("lines.gdb"), CLayer::kLine);
    CLayer missing("Nera", dir.File("missing.gdb"), CLayer::kPoint);
    for (CLayer* layer : {&lines, &missing}) {
        std::vector<std::string> areas;
        CHeldMessages held;
        EXPECT_EQ(WriteHtmlImageMap(*layer, view, areas, {"NAME"}, "", 1), 0);
        EXPECT_TRUE(areas.empty());
    }
}

TEST_F(HtmlExportTest, TheCommandWritesAPageABrowserReads)
{
    AddPoints();
    AddAreas();
    std::vector<std::string> opened;
    int dialogs = 0;
    CHtmlExportPrompts prompts;
    prompts.askFile = [&](std::string& path) {
        path = dir.File(Cp("miesto žemėlapis.html"));
        return true;
    };
    prompts.editOptions = [&](CDrelView&, CHtmlExportOptions& options) {
        if (dialogs++ == 0) {
            options.title = Cp("Miestas & <apylinkės>");
            options.layerName = Cp("Taškai");
            options.infoFields = {"Pavadinimas", "N"};
            options.linkField = "URL";
        }
        return true;
    };
    prompts.openPage = [&](const std::string& path) { opened.push_back(path); };
    ExportMapToHtml(view, prompts);
    const std::string pagePath = dir.File(Cp("miesto žemėlapis.html"));
    EXPECT_EQ(opened, std::vector<std::string>{pagePath});
    const QImage picture(QString::fromStdString(ResolvePath(dir.File(Cp("miesto žemėlapis.png")))));
    EXPECT_EQ(picture.size(), QSize(400, 200));

    const std::string bytes = ReadWholeFile(pagePath);
    EXPECT_EQ(bytes.find("\r\n"), bytes.find('\n') - 1) << "CR LF line ends";
    const CParsedPage page = ParsePage(bytes);
    EXPECT_EQ(page.title, "Miestas & <apylinkės>");
    EXPECT_EQ(page.contentType, "text/html; charset=Windows-1257");
    EXPECT_EQ(page.imgSrc, "miesto žemėlapis.png");
    EXPECT_EQ(page.imgWidth, 400);
    EXPECT_EQ(page.imgHeight, 200);
    EXPECT_EQ(page.usemap, "#" + page.mapName);
    EXPECT_EQ(page.mapName, "imgMap");
    std::vector<std::string> expectedTooltips = {
        "Pavadinimas: Ąžuolas \"didysis\" & <kiti>\r\nN: 1",
        "Pavadinimas: \r\nN: 0",
        "Pavadinimas: \r\nN: 0",
    };
    ASSERT_EQ(page.areas.size(), expectedTooltips.size());
    for (size_t i = 0; i < page.areas.size(); ++i) {
        const CParsedPage::Area& area = page.areas[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(area.alt, expectedTooltips[i]);
        EXPECT_EQ(area.shape, "circle");
        EXPECT_TRUE(area.coordsAreIntegers);
        ASSERT_EQ(area.coords.size(), 3u);
        EXPECT_GE(area.coords[0], 0);
        EXPECT_LE(area.coords[0], 400);
        EXPECT_GE(area.coords[1], 0);
        EXPECT_LE(area.coords[1], 200);
    }
    EXPECT_EQ(page.areas[0].href, "http://x.lt/?a=1&b=2");

    // The next export starts from these options; the areas layer now, as a
    // page without a title; the browser not asked for.
    CHtmlExportOptions seen;
    prompts.editOptions = [&](CDrelView&, CHtmlExportOptions& options) {
        seen = options;
        options.title.clear();
        options.layerName = "Plotai";
        options.infoFields = {"Pavadinimas"};
        options.linkField.clear();
        options.openInBrowser = 0;
        return true;
    };
    ExportMapToHtml(view, prompts);
    EXPECT_EQ(seen.title, Cp("Miestas & <apylinkės>"));
    EXPECT_EQ(seen.linkField, "URL");
    EXPECT_EQ(seen.infoFields, (std::vector<std::string>{"Pavadinimas", "N"}));
    EXPECT_EQ(opened.size(), 1u);
    const CParsedPage areas = ParsePage(ReadWholeFile(pagePath));
    EXPECT_EQ(areas.title, "Map");
    ASSERT_EQ(areas.areas.size(), 4u);
    for (const CParsedPage::Area& area : areas.areas) {
        EXPECT_EQ(area.shape, "poly");
        EXPECT_TRUE(area.nohref);
        EXPECT_TRUE(area.coordsAreIntegers);
        for (size_t k = 0; k < area.coords.size(); ++k) {
            EXPECT_GE(area.coords[k], 0);
            EXPECT_LE(area.coords[k], k % 2 ? 200 : 400);
        }
    }
    EXPECT_EQ(areas.areas[2].alt, "Pavadinimas: Per kraštą");

    // "<Nėra>": a plain picture.
    prompts.editOptions = [&](CDrelView&, CHtmlExportOptions& options) {
        options.layerName.clear();
        return true;
    };
    ExportMapToHtml(view, prompts);
    const std::string plain = ReadWholeFile(pagePath);
    EXPECT_EQ(plain.find("usemap"), std::string::npos);
    EXPECT_EQ(plain.find("<map"), std::string::npos);
}

TEST_F(HtmlExportTest, CancelWritesNothing)
{
    int asked = 0;
    CHtmlExportPrompts prompts;
    prompts.askFile = [&](std::string& path) {
        path = dir.File("page.html");
        return ++asked > 1;
    };
    prompts.editOptions = [&](CDrelView&, CHtmlExportOptions& options) {
        options.title = "changed";
        return false;
    };
    ExportMapToHtml(view, prompts);
    ExportMapToHtml(view, prompts);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(FindMatchingFiles(dir.File("*")).empty());
    EXPECT_EQ(HtmlExportOptions().title, "") << "a cancelled dialog keeps the options";
}

TEST_F(HtmlExportTest, AFolderThatCannotBeWrittenIsReportedAndLeavesNothing)
{
    CHtmlExportPrompts prompts;
    const std::string path = dir.File("no folder/page.html");
    prompts.askFile = [&](std::string& chosen) {
        chosen = path;
        return true;
    };
    prompts.editOptions = [](CDrelView&, CHtmlExportOptions&) { return true; };
    std::vector<std::string> opened;
    prompts.openPage = [&](const std::string& page) { opened.push_back(page); };
    CHeldMessages held;
    ExportMapToHtml(view, prompts);
    ASSERT_EQ(held.Messages().size(), 1u);
    EXPECT_EQ(held.Messages()[0].text, LoadStringArg(1007, path));
    EXPECT_TRUE(FindMatchingFiles(dir.File("*")).empty());
    EXPECT_TRUE(opened.empty());
}

TEST_F(HtmlExportTest, APictureTooLargeForMemoryIsReportedAndThePageWritten)
{
    view.OnSize(100000, 100000);
    CHtmlExportPrompts prompts;
    prompts.askFile = [&](std::string& chosen) {
        chosen = dir.File("page.html");
        return true;
    };
    prompts.editOptions = [](CDrelView&, CHtmlExportOptions&) { return true; };
    CHeldMessages held;
    ExportMapToHtml(view, prompts);
    ASSERT_EQ(held.Messages().size(), 1u);
    EXPECT_EQ(held.Messages()[0].text, LoadString(1005));
    EXPECT_EQ(FindMatchingFiles(dir.File("*")), std::vector<std::string>{"page.html"});
    EXPECT_NE(ReadWholeFile(dir.File("page.html")).find("width=\"100000\""), std::string::npos);
}
