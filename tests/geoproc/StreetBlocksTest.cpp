// City blocks and street surfaces from street centre lines: the areas of
// a street grid, the dialog's rules, the filters and the regenerate mode.
#include "geoproc/StreetBlocks.h"

#include "core/FileUtil.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "tests/core/FieldLists.h"
#include "tests/core/GeometryText.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

// One street: its points, width and type.
struct CStreet {
    std::string points;
    double width;
    int type;
};

class StreetBlocksTest : public CGeoprocFixture {
protected:
    StreetBlocksTest() : m_last(CStreetBlockRules::Start()) {}
    ~StreetBlocksTest() override
    {
        // The rules remember the last OK for the next run of the program.
        CStreetBlockChoice back = m_last;
        back.mode = 1;
        int focus = 0;
        CScriptedUserServices quiet;
        CDrelDoc empty;
        CStreetBlockRules::Accept(empty, back, focus);
    }

    CLayer& AddStreets(const std::string& name, const std::string& file, const std::vector<CStreet>& streets,
                       bool withType = true)
    {
        {
            std::vector<CDbfFieldInfo> fields = withType ? FieldList({{"NAME", 'C', 8, 0}, {"Plotis", 'N', 8, 2},
                                                                      {"Tipas", 'N', 3, 0}})
                                                         : FieldList({{"NAME", 'C', 8, 0}, {"Plotis", 'N', 8, 2}});
            CGdbSource source;
            EXPECT_TRUE(source.Create(dir.File(file), CFeatureSource::kLine, fields.data()));
            CDbfTable& table = source.GetTable();
            for (const CStreet& street : streets) {
                EXPECT_TRUE(source.AppendShape(Shape(street.points), false));
                table.SetFieldDouble(table.FindField("Plotis"), street.width);
                if (withType)
                    table.SetFieldLong(table.FindField("Tipas"), street.type);
                EXPECT_TRUE(table.WriteRecord());
            }
        }
        return Add(name, file, CLayer::kLine);
    }
    // Streets at a, 2a, 3a each way in the frame from 0 to 4a.
    CLayer& AddGrid(double a, double width, int type = 1)
    {
        std::vector<CStreet> streets;
        for (int k = 1; k <= 3; ++k) {
            const std::string at = std::to_string(k * a), end = std::to_string(4 * a);
            streets.push_back({at + " 0, " + at + " " + end, width, type});
            streets.push_back({"0 " + at + ", " + end + " " + at, width, type});
        }
        const std::string end = std::to_string(4 * a);
        AddShapeLayer(Utf8ToCp1257("Rėmelis"), "remelis.gdb", CLayer::kLine,
                      {"0 0, " + end + " 0, " + end + " " + end + ", 0 " + end + ", 0 0"});
        return AddStreets(Utf8ToCp1257("Gatvės"), "gatves.gdb", streets);
    }
    // The areas of the layer by "ID".
    std::map<int, double> AreasById(const std::string& name)
    {
        std::map<int, double> areas;
        CLayer* layer = doc.Layers().FindByName(name);
        EXPECT_TRUE(layer) << name;
        if (!layer)
            return areas;
        for (const CReadObject& object : ReadObjects(layer->GetPath(), CLayer::kArea))
            areas[std::atoi(object.fields.at("Id").c_str())] = object.shape.Area();
        return areas;
    }
    static int Count(const std::map<int, double>& areas, double area)
    {
        int count = 0;
        for (const auto& [id, value] : areas)
            if (std::fabs(value - area) <= 1e-6 * area)
                ++count;
        return count;
    }

    CScriptedGeoprocDialogs dialogs;

private:
    CStreetBlockChoice m_last;
};

TEST_F(StreetBlocksTest, BlocksAndStreetSurfacesOfAGrid)
{
    const double a = 100, w = 10;
    CLayer& streets = AddGrid(a, w);
    dialogs.editBlocks = [w](CStreetBlockChoice& choice) {
        choice.mode = 0;
        choice.width = w;
    };
    ASSERT_EQ(BuildStreetBlocks(streets, doc, false), 1);
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"30806 " + Utf8ToCp1257("Gatvės")});
    EXPECT_EQ(dialogs.offeredBlocks.blockName, "Kvartalai");
    EXPECT_EQ(dialogs.offeredBlocks.streetName, "Gatvesp");
    EXPECT_EQ(dialogs.offeredBlocks.mode, 1);
    const std::map<int, double> blocks = AreasById("Kvartalai");
    const std::map<int, double> surfaces = AreasById("Gatvesp");
    ASSERT_EQ(blocks.size(), 16u);
    ASSERT_EQ(surfaces.size(), 16u);
    // The frame is no street: blocks along it lose half a street only inwards.
    EXPECT_EQ(Count(blocks, (a - w) * (a - w)), 4);
    EXPECT_EQ(Count(blocks, (a - w / 2) * (a - w / 2)), 4);
    EXPECT_EQ(Count(blocks, (a - w) * (a - w / 2)), 8);
    EXPECT_EQ(Count(surfaces, a * a - (a - w) * (a - w)), 4);
    for (const auto& [id, block] : blocks)
        EXPECT_NEAR(block + surfaces.at(id), a * a, 1e-6 * a * a) << id;
    // The temporary files are gone.
    EXPECT_TRUE(FindMatchingFiles(dir.File("~*")).empty());
}

TEST_F(StreetBlocksTest, StreetsOfNoWidthLeaveBlocksTouchingTheirCentreLines)
{
    const double a = 50;
    CLayer& streets = AddGrid(a, 0);
    // With a filter of its own every street of the layer takes part.
    streets.SetFilter("Tipas = 1");
    ASSERT_EQ(BuildStreetBlocks(streets, doc, false), 1);
    const std::map<int, double> blocks = AreasById("Kvartalai");
    EXPECT_EQ(blocks.size(), 16u);
    EXPECT_EQ(Count(blocks, a * a), 16);
    EXPECT_TRUE(AreasById("Gatvesp").empty());

    // Without one, streets of no width are left out: one face, the frame's.
    streets.SetFilter("");
    dialogs.editBlocks = [this](CStreetBlockChoice& choice) {
        choice.blockName = "K2";
        choice.blockPath = dir.File("k2.gdb");
        choice.streetName = "G2";
        choice.streetPath = dir.File("g2.gdb");
    };
    ASSERT_EQ(BuildStreetBlocks(streets, doc, false), 1);
    const std::map<int, double> whole = AreasById("K2");
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_NEAR(whole.begin()->second, 16 * a * a, 1e-6);
}

TEST_F(StreetBlocksTest, CornerPiecesCloseTheOuterSideOfABend)
{
    // One street bending at a node of its own in a frame of 100 m: the
    // face outside the bend has a corner of 270 degrees there.
    struct Case {
        const char* what;
        double across;
        double up;
        double inner;      // the block inside the bend
        double outerLow;   // the block outside it, within
        double outerHigh;
    };
    // Equal widths: an arc of 10-degree points round the node, later
    // simplified within 0.5 m (a quarter disc at the most); different
    // ones: the rectangle where the outer edges meet. Without a piece the
    // flat ends would leave the square between them to the block.
    const Case cases[] = {
        {"equal widths", 10, 10, 45 * 45, 7500 - 500 - 19.7, 7500 - 500 - 1},
        {"different widths", 10, 20, 40 * 45, 7500 - 250 - 500 - 50, 7500 - 250 - 500 - 50},
    };
    AddShapeLayer(Utf8ToCp1257("Rėmelis"), "remelis.gdb", CLayer::kArea, {"0 0, 100 0, 100 100, 0 100"});
    int run = 0;
    for (const Case& c : cases) {
        const std::string n = std::to_string(++run);
        CLayer& streets =
            AddStreets("S" + n, "s" + n + ".gdb", {{"0 50, 50 50", c.across, 1}, {"50 50, 50 100", c.up, 1}});
        dialogs.editBlocks = [this, &n](CStreetBlockChoice& choice) {
            choice.blockName = "K" + n;
            choice.blockPath = dir.File("k" + n + ".gdb");
            choice.streetName = "G" + n;
            choice.streetPath = dir.File("g" + n + ".gdb");
        };
        ASSERT_EQ(BuildStreetBlocks(streets, doc, false), 1) << c.what;
        const std::map<int, double> blocks = AreasById("K" + n);
        ASSERT_EQ(blocks.size(), 2u) << c.what;
        std::vector<double> areas;
        for (const auto& [id, area] : blocks)
            areas.push_back(area);
        std::sort(areas.begin(), areas.end());
        EXPECT_NEAR(areas[0], c.inner, 1e-6) << c.what;
        EXPECT_GE(areas[1], c.outerLow - 1e-6) << c.what;
        EXPECT_LE(areas[1], c.outerHigh + 1e-6) << c.what;
    }
}

TEST_F(StreetBlocksTest, AVanishedBlockKeepsItsNumberAndWritesItsSurface)
{
    // A narrow face between two close streets of width 4.
    CLayer& streets = AddStreets("S", "s.gdb",
                                 {{"10 0, 10 30", 4, 1}, {"12 0, 12 30", 4, 1}});
    AddShapeLayer(Utf8ToCp1257("Rėmelis"), "remelis.gdb", CLayer::kLine, {"0 0, 30 0, 30 30, 0 30, 0 0"});
    ASSERT_EQ(BuildStreetBlocks(streets, doc, false), 1);
    const std::map<int, double> blocks = AreasById("Kvartalai");
    const std::map<int, double> surfaces = AreasById("Gatvesp");
    ASSERT_EQ(surfaces.size(), 3u);
    EXPECT_EQ(blocks.size(), 2u);
    int vanished = 0;
    for (const auto& [id, surface] : surfaces)
        if (!blocks.count(id)) {
            vanished = id;
            EXPECT_NEAR(surface, 2 * 30, 1e-6);
        }
    EXPECT_GT(vanished, 0);
}

TEST_F(StreetBlocksTest, TheWidthFieldFiltersOnlyALayerWithoutAFilterOfItsOwn)
{
    const double a = 100;
    CLayer& streets = AddGrid(a, 10);
    // A street of no width in the middle: left out in mode 1.
    dialogs.editBlocks = [](CStreetBlockChoice& choice) { choice.widthField = "Plotis"; };
    streets.SetFilter("Tipas = 1");
    ASSERT_EQ(BuildStreetBlocks(streets, doc, false), 1);
    EXPECT_EQ(streets.GetFilter(), "Tipas = 1");
    EXPECT_EQ(AreasById("Kvartalai").size(), 16u);

    streets.SetFilter("");
    dialogs.editBlocks = [this](CStreetBlockChoice& choice) {
        choice.widthField = "Tipas";
        choice.blockName = "K2";
        choice.blockPath = dir.File("k2.gdb");
        choice.streetName = "G2";
        choice.streetPath = dir.File("g2.gdb");
    };
    ASSERT_EQ(BuildStreetBlocks(streets, doc, false), 1);
    EXPECT_EQ(streets.GetFilter(), "");
    // The width of the chosen field, 1 metre.
    EXPECT_EQ(Count(AreasById("K2"), 99 * 99), 4);
}

TEST_F(StreetBlocksTest, TheFrameIsReadWithoutTheWidthFilter)
{
    // The street layer holds its own frame, of no width, and is chosen as
    // the frame layer: the frame closes the network all the same.
    const double a = 100;
    std::vector<CStreet> streets;
    for (int k = 1; k <= 3; ++k) {
        const std::string at = std::to_string(k * a), end = std::to_string(4 * a);
        streets.push_back({at + " 0, " + at + " " + end, 10, 1});
        streets.push_back({"0 " + at + ", " + end + " " + at, 10, 1});
    }
    streets.push_back({"0 0, 400 0, 400 400, 0 400, 0 0", 0, 1});
    CLayer& layer = AddStreets("Tinklas", "tinklas.gdb", streets);
    dialogs.editBlocks = [](CStreetBlockChoice& choice) {
        choice.widthField = "Plotis";
        choice.frameLayer = "Tinklas";
    };
    ASSERT_EQ(BuildStreetBlocks(layer, doc, false), 1);
    EXPECT_EQ(layer.GetFilter(), "");
    EXPECT_EQ(AreasById("Kvartalai").size(), 16u);
}

TEST_F(StreetBlocksTest, CancelAndFailuresAddNothing)
{
    CLayer& streets = AddGrid(100, 10);
    const int layers = doc.GetLayerCount();
    dialogs.blocksOk = false;
    EXPECT_EQ(BuildStreetBlocks(streets, doc, false), 0);
    EXPECT_EQ(doc.GetLayerCount(), layers);

    dialogs.blocksOk = true;
    CLayer& area = AddShapeLayer("A", "a.gdb", CLayer::kArea, {"0 0, 1 0, 1 1"});
    // Another type of layer is refused without a word.
    EXPECT_EQ(BuildStreetBlocks(area, doc, false), 0);
    EXPECT_TRUE(user.messages.empty());
    streets.SetFlag(CLayer::kManyFiles, true);
    EXPECT_EQ(BuildStreetBlocks(streets, doc, false), 0);
    EXPECT_EQ(doc.GetLayerCount(), layers + 1);
    EXPECT_EQ(dialogs.log.size(), 1u);
}

TEST_F(StreetBlocksTest, CancelBeforeTheTracingAddsAndWritesNothing)
{
    CLayer& streets = AddGrid(100, 10);
    const int layers = doc.GetLayerCount();
    dialogs.editBlocks = [](CStreetBlockChoice& choice) {
        choice.mode = 0;
        choice.width = 10;
    };
    // The first check of a cancel flag is in the topology of the network.
    user.cancelAfterChecks = 0;
    EXPECT_EQ(BuildStreetBlocks(streets, doc, false), 0);
    EXPECT_EQ(doc.GetLayerCount(), layers);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_TRUE(FindMatchingFiles(dir.File("Kvartalai*")).empty());
    EXPECT_TRUE(FindMatchingFiles(dir.File("Gatvesp*")).empty());
    EXPECT_TRUE(FindMatchingFiles(dir.File("~*")).empty());

    // Regenerating with files named: neither file is made.
    dialogs.editBlocks = [this](CStreetBlockChoice& choice) {
        choice.mode = 0;
        choice.width = 10;
        choice.blockPath = dir.File("k.gdb");
        choice.streetPath = dir.File("g.gdb");
    };
    user.cancelChecks = 0;
    EXPECT_EQ(BuildStreetBlocks(streets, doc, true), 0);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_FALSE(FileExists(dir.File("k.gdb")));
    EXPECT_FALSE(FileExists(dir.File("g.gdb")));
    EXPECT_FALSE(FileExists(dir.File("gatves_topo.gdb")));
    EXPECT_TRUE(FindMatchingFiles(dir.File("~*")).empty());
}

TEST_F(StreetBlocksTest, RegeneratingWritesTheDerivedStreetFiles)
{
    CLayer& streets = AddStreets(Utf8ToCp1257("Gatvės"), "gatves.gdb",
                                 {{"0 0, 100 0", 5, 1}, {"50 0, 50 50", 5, 7}, {"0 20, 100 20", 5, 101},
                                  {"0 40, 100 40", 5, -1}});
    streets.SetFilter("Plotis > 1");
    // A layer of the map on an older lanes file: replaced without a word.
    AddShapeLayer("Gatveles", "gatveles.gdb", CLayer::kLine, {"0 0, 1 1", "1 1, 2 2", "2 2, 3 3"});
    const int layers = doc.GetLayerCount();
    ASSERT_EQ(BuildStreetBlocks(streets, doc, true), 1);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(dialogs.offeredBlocks.blockName, "<None1>");
    EXPECT_EQ(dialogs.offeredBlocks.streetName, "<None2>");
    EXPECT_TRUE(dialogs.offeredBlocks.blockPath.empty());
    EXPECT_TRUE(dialogs.offeredBlocks.streetPath.empty());
    EXPECT_EQ(doc.GetLayerCount(), layers);
    EXPECT_EQ(streets.GetFilter(), "Plotis > 1");
    // Types 0 and up but 101, cut where they meet.
    const std::vector<CReadObject> links = ReadObjects(dir.File("gatves_topo.gdb"), CLayer::kLine);
    EXPECT_EQ(links.size(), 3u);
    for (const CReadObject& link : links) {
        EXPECT_NE(link.fields.at("Tipas"), "101");
        EXPECT_NE(link.fields.at("Tipas"), "-1");
        EXPECT_EQ(link.fields.count("Fnode_"), 1u);
    }
    const std::vector<CReadObject> lanes = ReadObjects(dir.File("gatveles.gdb"), CLayer::kLine);
    ASSERT_EQ(lanes.size(), 2u);
    EXPECT_EQ(lanes[0].fields.at("Tipas"), "7");
    EXPECT_EQ(lanes[1].fields.at("Tipas"), "101");
    EXPECT_TRUE(FindMatchingFiles(dir.File("~*")).empty());
}

TEST_F(StreetBlocksTest, RegeneratingWithoutTipasToldOnceWritesNeither)
{
    CLayer& streets = AddStreets(Utf8ToCp1257("Gatvės"), "gatves.gdb", {{"0 0, 100 0", 5, 1}}, false);
    streets.SetFilter("Plotis > 1");
    EXPECT_EQ(BuildStreetBlocks(streets, doc, true), 1);
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_FALSE(FileExists(dir.File("gatves_topo.gdb")));
    EXPECT_FALSE(FileExists(dir.File("gatveles.gdb")));
    EXPECT_EQ(streets.GetFilter(), "Plotis > 1");
}

TEST_F(StreetBlocksTest, ARegeneratedFileThatCannotTakeItsNameIsTold)
{
    CLayer& streets = AddStreets(Utf8ToCp1257("Gatvės"), "gatves.gdb",
                                 {{"0 0, 100 0", 5, 1}, {"50 0, 50 50", 5, 7}, {"0 20, 100 20", 5, 101}});
    streets.SetFilter("Plotis > 1");
    // A folder where the lanes file goes: the topology is written, the
    // lanes are told.
    ASSERT_TRUE(std::filesystem::create_directory(dir.File("gatveles.gdb")));
    EXPECT_EQ(BuildStreetBlocks(streets, doc, true), 1);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1027}));
    EXPECT_TRUE(FileExists(dir.File("gatves_topo.gdb")));
    EXPECT_EQ(streets.GetFilter(), "Plotis > 1");

    // A folder where the topology goes: told, and no lanes either.
    user.messages.clear();
    RemoveFile(dir.File("gatves_topo.gdb"));
    ASSERT_TRUE(std::filesystem::remove(dir.File("gatveles.gdb")));
    ASSERT_TRUE(std::filesystem::create_directory(dir.File("gatves_topo.gdb")));
    EXPECT_EQ(BuildStreetBlocks(streets, doc, true), 1);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1027}));
    EXPECT_FALSE(FileExists(dir.File("gatveles.gdb")));
    EXPECT_EQ(streets.GetFilter(), "Plotis > 1");
    EXPECT_TRUE(FindMatchingFiles(dir.File("~*")).empty());
}

TEST_F(StreetBlocksTest, TheDialogRules)
{
    CLayer& streets = AddGrid(100, 10);
    (void)streets;
    const CStreetBlockChoice start = CStreetBlockRules::Start();
    EXPECT_EQ(start.mode, 1);
    EXPECT_EQ(start.width, 1.0);
    EXPECT_EQ(start.tolerance, 1.0);

    CDbfTable table;
    const std::vector<CDbfFieldInfo> fields =
        FieldList({{"NAME", 'C', 8, 0}, {"PLOTIS", 'N', 8, 2}, {"F", 'F', 8, 2}, {"D", 'D', 8, 0}});
    ASSERT_TRUE(table.Create(dir.File("t.dbf"), fields.data()));
    const std::vector<std::string> widthFields = CStreetBlockRules::WidthFields(table);
    EXPECT_EQ(widthFields, (std::vector<std::string>{"Plotis", "F"}));
    EXPECT_EQ(CStreetBlockRules::ProposedField(widthFields), 0);
    const std::vector<std::string> frames = CStreetBlockRules::FrameLayers(doc);
    EXPECT_EQ(frames, (std::vector<std::string>{Utf8ToCp1257("Rėmelis"), Utf8ToCp1257("Gatvės")}));
    EXPECT_EQ(CStreetBlockRules::ProposedFrame(frames), 0);

    struct Case {
        const char* what;
        std::function<void(CStreetBlockChoice&)> edit;
        std::vector<int> answers;
        bool accepted;
        int focus;
        std::vector<unsigned> messages;
    };
    WriteWholeFile(dir.File("taken.gdb"), "");
    const Case cases[] = {
        {"mode 0 needs a width above 0", [](CStreetBlockChoice& c) { c.mode = 0, c.width = 0; }, {}, false,
         CStreetBlockRules::kWidth, {1103}},
        {"mode 1 needs a field", [](CStreetBlockChoice& c) { c.widthField.clear(); }, {}, false,
         CStreetBlockRules::kWidthField, {1103}},
        {"a block name the map has", [](CStreetBlockChoice& c) { c.blockName = Utf8ToCp1257("Gatvės"); }, {},
         false, CStreetBlockRules::kBlockName, {1001}},
        {"a street-area name the map has", [](CStreetBlockChoice& c) { c.streetName = Utf8ToCp1257("Rėmelis"); },
         {}, false, CStreetBlockRules::kStreetName, {1001}},
        {"an existing file, No", [](CStreetBlockChoice& c) { c.streetPath = "taken.gdb"; }, {IDNO}, false,
         CStreetBlockRules::kStreetFile, {2000}},
        {"an existing file, Yes", [](CStreetBlockChoice& c) { c.blockPath = "taken.gdb"; }, {IDYES}, true, 0,
         {2000}},
        {"free names and files", [](CStreetBlockChoice&) {}, {}, true, 0, {}},
    };
    for (const Case& c : cases) {
        CStreetBlockChoice choice = CStreetBlockRules::Start();
        choice.widthField = "Plotis";
        choice.blockName = "Kvartalai";
        choice.blockPath = "kvartalai.gdb";
        choice.streetName = "Gatvesp";
        choice.streetPath = "gatvesp.gdb";
        c.edit(choice);
        user.messages.clear();
        user.answers.assign(c.answers.begin(), c.answers.end());
        int focus = 0;
        EXPECT_EQ(CStreetBlockRules::Accept(doc, choice, focus), c.accepted) << c.what;
        EXPECT_EQ(user.MessageIds(), c.messages) << c.what;
        if (!c.accepted) {
            EXPECT_EQ(focus, c.focus) << c.what;
        } else {
            EXPECT_EQ(choice.blockPath, c.answers.empty() ? dir.File("kvartalai.gdb") : dir.File("taken.gdb"))
                << c.what;
        }
    }
    // OK remembers the field, the frame layer and the tolerance.
    CStreetBlockChoice choice = CStreetBlockRules::Start();
    choice.widthField = "F";
    choice.frameLayer = "Kitas";
    choice.tolerance = 2.5;
    int focus = 0;
    ASSERT_TRUE(CStreetBlockRules::Accept(doc, choice, focus));
    const CStreetBlockChoice next = CStreetBlockRules::Start();
    EXPECT_EQ(next.widthField, "F");
    EXPECT_EQ(next.frameLayer, "Kitas");
    EXPECT_EQ(next.tolerance, 2.5);
}

} // namespace
