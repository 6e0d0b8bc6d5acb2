// The commands that change a map as a whole, on maps in a temporary
// folder with the dialogs and the other parts' services scripted.
#include "mapdoc/DocCommands.h"

#include "core/CoordConverter.h"
#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "layers/CoordTableDialogs.h"
#include "layers/DxfSource.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/ShapefileSource.h"
#include "layers/TrackFields.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/MapGps.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/layers/LayerFileSupport.h"
#include "tests/layers/LegacyGdbTestSupport.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

// Shifts points by a fixed offset: a transformation the import dialog chose.
class CShift : public CCoordConverter {
public:
    void ConvertPoint(CMapPoint& point) const override
    {
        point.x += 1000;
        point.y += 2000;
    }
};

class CDecimalDegrees : public ICoordTableDialogs {
public:
    CDecimalDegrees() { SetCoordTableDialogs(this); }
    ~CDecimalDegrees() override { SetCoordTableDialogs(nullptr); }
    bool AskCoordinateFields(const CDbfTable&, const std::string&, CFieldChoice& choice) override
    {
        choice.xField = "LON";
        choice.yField = "LAT";
        return true;
    }
    int AskCoordinateFormat() override
    {
        ++formatsAsked;
        return kDecimalDegrees;
    }
    int formatsAsked = 0;
};

class DocCommandsTest : public ::testing::Test {
protected:
    DocCommandsTest()
    {
        doc.SetPathName(dir.File("map.map"));
        dialogs.newLayer = [this](CDrelDoc&, std::string& name, std::string& path, int& type,
                                  CNewLayerOptions& options) {
            offered.push_back(name + "|" + GetPathFileName(path) + "|" + std::to_string(type));
            offeredOptions.emplace_back(options.typeChoice, options.fileTypes);
            if (!chosenPath.empty())
                path = chosenPath;
            if (chosenType >= 0)
                type = chosenType;
            options.replaceConfirmed = confirmReplace;
            return accept;
        };
        dialogs.layerFile = [this](CDrelDoc&, std::string& name, std::string& path, CLayerFileOptions& options) {
            offered.push_back(name + "|" + GetPathFileName(path));
            offeredFileForms.emplace_back(options.vectorFiles, options.elevationFiles);
            options.replaceConfirmed = confirmReplace;
            if (!chosenPath.empty())
                path = chosenPath;
            return accept;
        };
        dialogs.groupName = [this](CDrelDoc& document, std::string& name) {
            EXPECT_EQ(&document, &doc);
            offered.push_back(name);
            return accept;
        };
    }

    std::vector<std::string> FilesInFolder() const { return FindMatchingFiles(dir.File("*")); }
    std::vector<uint32_t> Hints() const { return views.hints; }

    CTempDir dir;
    CScriptedUserServices user;
    CCallLog log;
    CRecordingHost host{log};
    CDrelDoc doc;
    CHintRecorder views{doc};
    CDocCommandDialogs dialogs;
    CDocCommandServices services;
    CDocCommands commands{doc, dialogs, services};
    std::vector<std::string> offered;
    std::vector<std::pair<bool, int>> offeredOptions; // type choice, file types
    std::vector<std::pair<bool, bool>> offeredFileForms; // 30772's switches
    bool confirmReplace = false; // the user's Yes to 2000
    std::string chosenPath;
    int chosenType = -1;
    bool accept = true;
};

TEST_F(DocCommandsTest, NewLayersTakeTheProposalsInTurnAndRefuseFilesThatExist)
{
    ASSERT_TRUE(commands.CreateNewLayer());
    ASSERT_TRUE(commands.CreateNewLayer());
    EXPECT_EQ(offered, (std::vector<std::string>{"Layer1|Layer1.gdb|0", "Layer2|Layer2.gdb|0"}));
    // Any type may be chosen, a GDB or DBF file.
    EXPECT_EQ(offeredOptions, (std::vector<std::pair<bool, int>>{{true, 3}, {true, 3}}));
    EXPECT_EQ(LayerNames(doc), (std::vector<std::string>{"Layer1", "Layer2"}));
    EXPECT_TRUE(FileExists(dir.File("Layer2.gdb")));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(user.messages.empty());

    // Another layer's data, a file that is there, a folder that is not.
    struct Case {
        std::string path;
        unsigned message;
    };
    WriteWholeFile(dir.File("notes.gdb"), "keep");
    WriteWholeFile(dir.File("people.dbf"), "keep");
    const Case cases[] = {
        {dir.File("Layer1.gdb"), 1074},
        {dir.File("notes.gdb"), 1074},
        {dir.File("people.gdb"), 1074}, // its table would be the other file
        {dir.File("people.shp"), 1074},
        {dir.File("missing/new.gdb"), 1088},
    };
    for (const Case& c : cases) {
        user.messages.clear();
        chosenPath = c.path;
        EXPECT_FALSE(commands.CreateNewLayer()) << c.path;
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{c.message}) << c.path;
        EXPECT_EQ(doc.GetLayerCount(), 2) << c.path;
    }
    EXPECT_EQ(ReadWholeFile(dir.File("notes.gdb")), "keep");
    EXPECT_EQ(ReadWholeFile(dir.File("people.dbf")), "keep");

    accept = false;
    chosenPath.clear();
    EXPECT_FALSE(commands.CreateNewLayer());
    EXPECT_EQ(doc.GetLayerCount(), 2);
}

TEST_F(DocCommandsTest, AConfirmedReplaceTakesTheDataFileWithItsCompanionsOnlyOnceTheNewOnesAreWhole)
{
    ASSERT_TRUE(commands.CreateNewLayer()); // Layer1, a layer of this map
    {
        CGdbSource gdb;
        MakePointLayer(gdb, dir.File("old.gdb"), {{1, 2}, {3, 4}});
    }
    WriteWholeFile(dir.File("old.spx"), "stale index");
    WriteWholeFile(dir.File("people.dbf"), "keep");
    const auto records = [this](const std::string& file) {
        CLayerReader reader;
        return reader.Open(dir.File(file)) ? reader.GetSource()->GetTable().GetRecordCount() : -1;
    };
    ASSERT_EQ(records("old.gdb"), 2);
    confirmReplace = true;
    struct Case {
        const char* file;
        unsigned message; // 0: the layer is made
    };
    const Case cases[] = {
        {"Layer1.gdb", 1074}, // an open map's data, whatever the user said
        {"people.gdb", 1074}, // its table alone is no one's to replace
        {"old.gdb", 0},
    };
    for (const Case& c : cases) {
        user.messages.clear();
        chosenPath = dir.File(c.file);
        const int before = doc.GetLayerCount();
        EXPECT_EQ(commands.CreateNewLayer(), c.message == 0) << c.file;
        EXPECT_EQ(user.MessageIds(), c.message ? std::vector<unsigned>{c.message} : std::vector<unsigned>{})
            << c.file;
        EXPECT_EQ(doc.GetLayerCount(), before + (c.message == 0 ? 1 : 0)) << c.file;
    }
    EXPECT_EQ(ReadWholeFile(dir.File("people.dbf")), "keep");
    EXPECT_EQ(records("old.gdb"), 0) << "the new empty layer";
    EXPECT_FALSE(FileExists(dir.File("old.spx"))) << "the old data's index went with it";
    EXPECT_EQ(FilesInFolder(), (std::vector<std::string>{"Layer1.dbf", "Layer1.gdb", "Layer1.vec", "old.dbf",
                                                          "old.gdb", "old.vec", "people.dbf"}));
}

TEST_F(DocCommandsTest, GroupsAreUniqueVisibleWorkingEntries)
{
    doc.AddLayer(MakeLayer("Keliai", CLayer::kLine), false);
    ASSERT_TRUE(commands.CreateGroup());
    ASSERT_TRUE(commands.CreateGroup());
    EXPECT_EQ(offered, (std::vector<std::string>{"Group", "Group (2)"}));
    ASSERT_EQ(doc.GetLayerCount(), 3);
    for (int i : {1, 2}) {
        EXPECT_EQ(doc.GetLayer(i)->GetFlags(), 0x10000003u);
        EXPECT_EQ(doc.GetLayer(i)->GetType(), -1);
        EXPECT_TRUE(doc.GetLayer(i)->GetPath().empty());
    }
    EXPECT_EQ(Hints(), (std::vector<uint32_t>{(1u << 16) | 1, (2u << 16) | 1}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocCommandsTest, AddedFilesBecomeLayersByTheirExtension)
{
    const struct {
        const char* path;
        int kind;
    } kinds[] = {{"a.TIF", 4}, {"a.jpeg", 4}, {"a.png", 4}, {"a.sid", 5}, {"a.rmp", 6},
                 {"a.gdb", 1}, {"a.shp", 1},  {"a.trk", 1}, {"a.dbf", 1}};
    for (const auto& k : kinds)
        EXPECT_EQ(CDocCommands::GetFileKind(k.path), k.kind) << k.path;

    {
        CGdbSource gdb;
        MakePointLayer(gdb, dir.File("towns.gdb"), {{1, 2}, {3, 4}});
    }
    EXPECT_EQ(commands.AddLayerFiles({dir.File("towns.gdb"), dir.File("gone.gdb")}), 1);
    EXPECT_EQ(LayerNames(doc), std::vector<std::string>{"towns"});
    EXPECT_EQ(doc.GetLayer(0)->GetIdField(), "Name"); // the first field as the table names it
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1007});
}

TEST_F(DocCommandsTest, TheSidEntryLeavesTheFilterForTheProcessWithoutItsPlugIn)
{
    int asked = 0;
    services.imagePluginPresent = [&](const std::string& extension) {
        ++asked;
        EXPECT_EQ(extension, "SID");
        return 0;
    };
    const std::string filter = commands.GetAddLayerFilter();
    EXPECT_EQ(filter.find("MrSID"), std::string::npos);
    EXPECT_TRUE(filter.ends_with("DBF Files (*.dbf)|*.dbf||")) << filter;
    services.imagePluginPresent = [&](const std::string&) { return ++asked; };
    EXPECT_EQ(commands.GetAddLayerFilter(), filter);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(CDocCommands::MakeAddLayerFilter(false), filter);
    EXPECT_TRUE(CDocCommands::MakeAddLayerFilter(true).ends_with("|*.dbf|MrSID Files (*.sid)|*.sid||"));
}

TEST(DocCommandsImportKind, FollowsTheFilterAndUnderTheFirstTheExtension)
{
    const struct {
        int filter;
        const char* path;
        int kind;
    } cases[] = {
        {1, "/d/a.GDB", 2}, {1, "/d/a.shp", 3}, {1, "/d/a.Dxf", 4}, {1, "/d/a.nmea", 7}, {1, "/d/a.txt", 1},
        {1, "/d.x/a", 1},   {2, "/d/a.txt", 2}, {5, "/d/a.dbf", 5}, {6, "/d/a.txt", 6}, {8, "/d/a.asc", 8},
        {9, "/d/a.gdb", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CDocCommands::GetImportKind(c.filter, c.path), c.kind) << c.filter << " " << c.path;
}

// A legacy point table "pts.gdb" and line table "lin.gdb" with their map description.
class DocImportTest : public DocCommandsTest {
protected:
    DocImportTest()
    {
        WriteWholeFile(dir.File("m.map"), "[MAP]\nOrig=100,200\nUnit=1,1\n");
        question.answer = dir.File("m.map");
        WriteObjectTable(dir.File("pts.gdb"), true, {{"A", Packed(1, -1)}, {"B", Packed(2, -2)}, {"C", Packed(3, -3)}});
        dialogs.layerImport = [this](CDrelDoc&, const std::string& path, CLayerImportChoice& choice) {
            offered.push_back("import " + GetPathFileName(path));
            choice.attach = !attachTo.empty();
            choice.layerName = attachTo;
            if (shift)
                choice.converter = std::make_unique<CShift>();
            return accept;
        };
    }
    std::vector<std::string> Points(const std::string& path)
    {
        CLayerReader reader;
        std::vector<std::string> points;
        if (!reader.Open(path))
            return points;
        CMapPoint p;
        while (reader.GetSource()->ReadNextPoint(p))
            points.push_back(std::to_string(static_cast<int>(p.x)) + " " + std::to_string(static_cast<int>(p.y)));
        return points;
    }

    CScriptedMapQuestion question;
    std::string attachTo;
    bool shift = false;
};

TEST_F(DocImportTest, ALegacyTableBecomesANewLayerAndTheMapGetsItsFirstExtent)
{
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 1), CDocCommands::kDoneFirstExtent);
    EXPECT_EQ(offered, (std::vector<std::string>{"import pts.gdb", "pts|pts_2.gdb|0"}));
    ASSERT_EQ(doc.GetLayerCount(), 1);
    const CLayer& layer = *doc.GetLayer(0);
    EXPECT_EQ(layer.GetName(), "pts");
    EXPECT_EQ(Points(layer.GetPath()), (std::vector<std::string>{"101 201", "102 202", "103 203"}));
    EXPECT_EQ(doc.Settings().limits, (CMapRect{101, 203, 103, 201}));
    EXPECT_TRUE(user.messages.empty());
    // A second one finds the extent there.
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 2), CDocCommands::kDone);

    // Without an extension the default one.
    chosenPath = dir.File("plain");
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 2), CDocCommands::kDone);
    EXPECT_TRUE(FileExists(dir.File("plain.gdb")));

    // No source writes that kind of file.
    chosenPath = dir.File("odd.abc");
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 2), CDocCommands::kNothing);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1088});
    EXPECT_EQ(doc.GetLayerCount(), 3);
}

TEST_F(DocImportTest, TablesOfTheCurrentGenerationAndCancelsDoNothing)
{
    {
        CGdbSource gdb;
        MakePointLayer(gdb, dir.File("modern.gdb"), {{1, 2}});
    }
    const std::vector<std::string> before = FilesInFolder();
    EXPECT_EQ(commands.ImportLayer(dir.File("modern.gdb"), 1), CDocCommands::kNothing);
    EXPECT_TRUE(offered.empty());
    accept = false;
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 1), CDocCommands::kNothing);
    accept = true;
    question.answer.reset(); // dialog 177 cancelled
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 1), CDocCommands::kNothing);
    EXPECT_EQ(doc.GetLayerCount(), 0);
    EXPECT_EQ(FilesInFolder(), before);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(DocImportTest, ATypeTheSourceCannotGiveIsRefused)
{
    chosenType = CLayer::kLine;
    const std::vector<std::string> before = FilesInFolder();
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 2), CDocCommands::kNothing);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1112});
    EXPECT_EQ(doc.GetLayerCount(), 0);
    EXPECT_EQ(FilesInFolder(), before);
}

TEST_F(DocImportTest, AttachingCopiesEveryObjectThroughTheTransformation)
{
    {
        CGdbSource gdb;
        MakePointLayer(gdb, dir.File("own.gdb"), {{5, 5}});
        CGdbSource lines;
        MakeShapeLayer(lines, dir.File("roads.gdb"), CFeatureSource::kLine, {"0 0, 1 1"});
    }
    auto own = std::make_unique<CLayer>("Own", dir.File("own.gdb"), CLayer::kPoint);
    own->SetFlags(own->GetFlags() | CLayer::kInOverview);
    doc.AddLayer(std::move(own), false);
    doc.AddLayer(std::make_unique<CLayer>("Roads", dir.File("roads.gdb"), CLayer::kLine), false);
    doc.Settings().limits = CMapRect{0, 10, 10, 0};

    // Points cannot go into a line layer: nothing is copied.
    attachTo = "Roads";
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 2), CDocCommands::kNothing);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1112});
    EXPECT_EQ(Points(dir.File("roads.gdb")).size(), 0u);
    EXPECT_FALSE(doc.IsModified());

    user.messages.clear();
    attachTo = "Own";
    shift = true;
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 2), CDocCommands::kDone);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(Points(dir.File("own.gdb")),
              (std::vector<std::string>{"5 5", "1101 2201", "1102 2202", "1103 2203"}));
    EXPECT_EQ(doc.Settings().limits, (CMapRect{0, 2203, 1103, 0}));
    EXPECT_EQ(Hints(), (std::vector<uint32_t>{kHintOverview, kHintOverview, MakeHint(0, kHintRedraw)}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocImportTest, ACancelledCopyLeavesNoLayerAndNoFile)
{
    user.cancelAfterChecks = 0;
    const std::vector<std::string> before = FilesInFolder();
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 2), CDocCommands::kNothing);
    EXPECT_EQ(doc.GetLayerCount(), 0);
    EXPECT_EQ(FilesInFolder(), before);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_GT(user.cancelChecks, 0);

    // Attached: the layer keeps just what it had.
    {
        CGdbSource gdb;
        MakePointLayer(gdb, dir.File("own.gdb"), {{5, 5}});
    }
    doc.AddLayer(std::make_unique<CLayer>("Own", dir.File("own.gdb"), CLayer::kPoint), false);
    attachTo = "Own";
    user.cancelChecks = 0;
    EXPECT_EQ(commands.ImportLayer(dir.File("pts.gdb"), 2), CDocCommands::kNothing);
    EXPECT_EQ(Points(dir.File("own.gdb")), std::vector<std::string>{"5 5"});
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocImportTest, ShapefilesAndTablesComeThroughTheirSources)
{
    {
        CShapefileSource shp;
        MakeShapeLayer(shp, dir.File("rivers.shp"), CFeatureSource::kLine, {"0 0, 5 5", "1 1, 2 3"});
    }
    MakeTable(dir.File("wells.dbf"), FieldList({{"NAME", 'C', 10, 0}, {"LON", 'N', 13, 8}, {"LAT", 'N', 13, 8}}),
              {{"W1", "24.5", "55.25"}});
    CDecimalDegrees coordinates;
    EXPECT_EQ(commands.ImportLayer(dir.File("rivers.shp"), 1), CDocCommands::kDoneFirstExtent);
    EXPECT_EQ(commands.ImportLayer(dir.File("wells.dbf"), 5), CDocCommands::kDone);
    EXPECT_EQ(offered, (std::vector<std::string>{"rivers|rivers_2.gdb|1", "wells|wells_2.gdb|0"}));
    ASSERT_EQ(doc.GetLayerCount(), 2);
    CLayerReader reader;
    ASSERT_TRUE(reader.Open(doc.GetLayer(0)->GetPath()));
    EXPECT_EQ(reader.GetSource()->GetTable().GetRecordCount(), 2);
    EXPECT_EQ(Points(doc.GetLayer(1)->GetPath()), std::vector<std::string>{"24 55"});
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(DocImportTest, AFileThatWillNotOpenIsToldOfOnce)
{
    // The table's source names the field it misses; nothing is added to that.
    MakeTable(dir.File("wells.dbf"), FieldList({{"EAST", 'N', 13, 8}, {"NORTH", 'N', 13, 8}}), {{"24.5", "55.25"}});
    CDecimalDegrees coordinates;
    EXPECT_EQ(commands.ImportLayer(dir.File("wells.dbf"), 5), CDocCommands::kNothing);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1032});
    user.messages.clear();
    EXPECT_EQ(commands.ImportLayer(dir.File("gone.shp"), 3), CDocCommands::kNothing);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1007});
    EXPECT_TRUE(offered.empty());
}

// The user names a table's coordinate fields; without an answer nothing
// is said and nothing added.
class CFieldAnswer : public ICoordTableDialogs {
public:
    CFieldAnswer() { SetCoordTableDialogs(this); }
    ~CFieldAnswer() override { SetCoordTableDialogs(nullptr); }
    bool AskCoordinateFields(const CDbfTable& table, const std::string& path, CFieldChoice& choice) override
    {
        asked.push_back(GetPathFileName(path) + " " + std::to_string(table.GetFieldCount()));
        if (x.empty())
            return false;
        choice.xField = x;
        choice.yField = y;
        return true;
    }
    std::string x, y;
    std::vector<std::string> asked;
};

TEST_F(DocImportTest, ATableToImportAsksItsCoordinateFields)
{
    MakeTable(dir.File("wells.dbf"), FieldList({{"LON", 'N', 13, 8}, {"LAT", 'N', 13, 8}, {"EAST", 'N', 13, 8},
                                                {"NORTH", 'N', 13, 8}}),
              {{"1", "2", "24.5", "55.25"}});
    CFieldAnswer answer;
    EXPECT_EQ(commands.ImportLayer(dir.File("wells.dbf"), 5), CDocCommands::kNothing);
    EXPECT_EQ(answer.asked, std::vector<std::string>{"wells.dbf 4"}) << "asked even with fields of the usual names";
    EXPECT_TRUE(user.messages.empty()) << "cancelled";
    EXPECT_TRUE(offered.empty());

    answer.x = "EAST";
    answer.y = "NORTH";
    EXPECT_EQ(commands.ImportLayer(dir.File("wells.dbf"), 5), CDocCommands::kDoneFirstExtent);
    ASSERT_EQ(doc.GetLayerCount(), 1);
    EXPECT_EQ(Points(doc.GetLayer(0)->GetPath()), std::vector<std::string>{"24 55"});
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(DocImportTest, DrawingsBecomeLayersOfTheChosenType)
{
    WriteWholeFile(dir.File("plan.dxf"), "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\nWALLS\n10\n1.0\n20\n2.0\n11\n4.0\n21\n6.0\n"
                                         "0\nENDSEC\n0\nEOF\n");
    chosenType = CLayer::kLine;
    EXPECT_EQ(commands.ImportLayer(dir.File("plan.dxf"), 4), CDocCommands::kDoneFirstExtent);
    ASSERT_EQ(doc.GetLayerCount(), 1);
    EXPECT_EQ(doc.GetLayer(0)->GetType(), CLayer::kLine);
    EXPECT_EQ(doc.Settings().limits, (CMapRect{1, 6, 4, 2}));
}

TEST_F(DocImportTest, ADrawingImportsIntoGdbLayersWithEqualObjectsAndAttributes)
{
    // Layers and colours carried over and given anew, open and closed
    // polylines, curves, texts past the label's width and in Lithuanian.
    const std::string entities =
        "0 TEXT|8 Vardai|62 5|10 25.28|20 54.69|1 Vilnius"
        "|0 LINE|8 Keliai|62 1|10 0.1|20 0.2|11 1000.3|21 -20.7"
        "|0 point|10 -1.5|20 2.25"
        "|0 LWPOLYLINE|90 3|70 0|10 1|20 1|10 2|20 3|10 4|20 1"
        "|0 LwPolyline|8 Pastatai|62 256|90 4|70 1|10 0|20 0|10 2|20 0|10 2|20 2|10 0|20 2"
        "|0 TEXT|10 3|20 4|1 Kaunas ir Klaipeda, miestai prie vandens"
        "|0 CIRCLE|8 Aikstes|62 3|10 10.5|20 -10.5|40 2.5"
        "|0 ARC|10 0|20 0|40 1|50 350|51 10"
        "|0 TEXT|8 \xd0iaur\xeb|10 7|20 8|1 \xd0iauliai"
        "|0 LINE|62 -7|10 7|20 7|11 7|21 7"
        "|0 POINT|8 Taskai|10 1e6|20 -1e-3";
    for (const char* eol : {"\n", "\r\n"}) {
        const bool crlf = eol[1] != 0;
        SCOPED_TRACE(crlf ? "CRLF" : "LF");
        const std::string drawing = dir.File(crlf ? "crlf.dxf" : "lf.dxf");
        WriteWholeFile(drawing, DxfDrawing(entities, eol));
        for (const int type : {CLayer::kLine, CLayer::kArea, CLayer::kPoint}) {
            SCOPED_TRACE(type);
            chosenType = type;
            chosenPath = dir.File(FormatC("%s%d.gdb", crlf ? "crlf" : "lf", type));
            const int layers = doc.GetLayerCount();
            EXPECT_NE(commands.ImportLayer(drawing, CDocCommands::kImportDxf), CDocCommands::kNothing);
            ASSERT_EQ(doc.GetLayerCount(), layers + 1);
            const CLayer& layer = *doc.GetLayer(layers);
            EXPECT_EQ(layer.GetType(), type);
            EXPECT_EQ(layer.GetPath(), chosenPath);

            CDxfSource source;
            ASSERT_TRUE(source.OpenTyped(drawing, type));
            CLayerReader reader;
            ASSERT_TRUE(reader.Open(layer.GetPath()));
            CFeatureSource& copy = *reader.GetSource();
            EXPECT_EQ(copy.GetShapeType(), type);
            EXPECT_EQ(copy.GetFieldInfos().size(), source.GetFieldInfos().size());
            const bool points = type == CLayer::kPoint;
            const CRead read = points ? ReadPoints(source) : ReadShapes(source);
            const CRead copied = points ? ReadPoints(copy) : ReadShapes(copy);
            ASSERT_EQ(read.attributes.size(), points ? 5u : 6u);
            EXPECT_EQ(copied.attributes, read.attributes);
            EXPECT_EQ(copied.points, read.points);
            ASSERT_EQ(copied.shapes.size(), read.shapes.size());
            for (size_t i = 0; i < read.shapes.size(); ++i) {
                EXPECT_EQ(copied.shapes[i].Points(), read.shapes[i].Points()) << i;
                EXPECT_EQ(copied.shapes[i].PartSizes(), read.shapes[i].PartSizes()) << i;
            }
        }
    }
    EXPECT_TRUE(user.messages.empty());

    // A code line that is no number stops the copy: a read error, and no half layer.
    WriteWholeFile(dir.File("broken.dxf"), DxfDrawing("0 LINE|10 0|20 0|11 1|21 1|0 LINE|1O 5|20 5|11 6|21 6"));
    chosenType = CLayer::kLine;
    chosenPath = dir.File("broken.gdb");
    const int layers = doc.GetLayerCount();
    EXPECT_EQ(commands.ImportLayer(dir.File("broken.dxf"), CDocCommands::kImportDxf), CDocCommands::kNothing);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
    EXPECT_EQ(doc.GetLayerCount(), layers);
    EXPECT_FALSE(FileExists(chosenPath));
}

TEST_F(DocImportTest, TextAndNmeaFilesAreToldApart)
{
    WriteWholeFile(dir.File("log.txt"), "$GPRMC\n");
    for (int filter : {6, 7}) {
        user.messages.clear();
        EXPECT_EQ(commands.ImportLayer(dir.File("log.txt"), filter), CDocCommands::kNothing);
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_NE(Cp1257ToUtf8(user.messages[0].text).find(filter == 6 ? "Tekstinių" : "NMEA"), std::string::npos);
    }
    EXPECT_EQ(doc.GetLayerCount(), 0);
}

TEST_F(DocImportTest, AnAsciiGridBecomesATerrainLayer)
{
    WriteWholeFile(dir.File("dem.asc"), "ncols 2\nnrows 2\nxllcorner 10\nyllcorner 20\ncellsize 5\n1 2\n3 4\n");
    user.cancelAfterChecks = 0;
    EXPECT_EQ(commands.ImportLayer(dir.File("dem.asc"), 8), CDocCommands::kNothing);
    EXPECT_FALSE(FileExists(dir.File("Terrain.rmp")));
    EXPECT_EQ(doc.GetLayerCount(), 0);

    user.cancelAfterChecks = -1;
    offered.clear();
    EXPECT_EQ(commands.ImportLayer(dir.File("dem.asc"), 8), CDocCommands::kDone);
    EXPECT_EQ(offered, std::vector<std::string>{"Terrain|Terrain.rmp"});
    ASSERT_EQ(doc.GetLayerCount(), 1);
    EXPECT_EQ(doc.GetLayer(0)->GetType(), CLayer::kElevation);
    EXPECT_EQ(doc.GetLayer(0)->GetName(), "Terrain");

    // A second grid never writes over the first.
    user.messages.clear();
    chosenPath = dir.File("Terrain.rmp");
    const std::string first = ReadWholeFile(chosenPath);
    EXPECT_EQ(commands.ImportLayer(dir.File("dem.asc"), 8), CDocCommands::kNothing);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1074});
    EXPECT_EQ(ReadWholeFile(chosenPath), first);
    // Elevation models are offered.
    EXPECT_EQ(offeredFileForms.back(), std::make_pair(false, true));

    // Nor with the user's yes while it is the map's layer; another grid
    // file the user agreed to replace is.
    confirmReplace = true;
    user.messages.clear();
    EXPECT_EQ(commands.ImportLayer(dir.File("dem.asc"), 8), CDocCommands::kNothing);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1074});
    WriteWholeFile(dir.File("other.rmp"), "old grid");
    chosenPath = dir.File("other.rmp");
    EXPECT_EQ(commands.ImportLayer(dir.File("dem.asc"), 8), CDocCommands::kDone);
    EXPECT_EQ(ReadWholeFile(chosenPath), first);
}

TEST_F(DocCommandsTest, ArchivingGoesOnOrStopsAfterAFailure)
{
    for (const char* name : {"T1", "T2", "T3"})
        doc.AddLayer(std::make_unique<CLayer>(name, dir.File(std::string(name) + ".trk"), CLayer::kTrack), false);
    doc.AddLayer(MakeLayer("P", CLayer::kPoint), false);
    dialogs.archiveDate = [](double& date) {
        date = 45000;
        return true;
    };
    std::vector<std::string> archived;
    std::vector<int> results;
    services.archiveOldTrackData = [&](CLayer& layer, double date) {
        EXPECT_EQ(date, 45000);
        archived.push_back(layer.GetName());
        const int result = results.front();
        results.erase(results.begin());
        return result;
    };

    struct Case {
        std::vector<int> results;
        std::deque<int> answers;
        std::vector<std::string> archived;
        bool changed;
    };
    const Case cases[] = {
        {{0, 1, 2}, {IDYES}, {"T1", "T2", "T3"}, true},
        {{0, 1, 1}, {IDNO}, {"T1"}, false},
        {{2, 2, 2}, {}, {"T1", "T2", "T3"}, false},
    };
    for (const Case& c : cases) {
        results = c.results;
        user.answers = c.answers;
        user.messages.clear();
        archived.clear();
        views.hints.clear();
        EXPECT_EQ(commands.ArchiveTrackLayers(), c.changed);
        EXPECT_EQ(archived, c.archived);
        EXPECT_EQ(user.MessageIds().size(), c.answers.size());
        if (!c.answers.empty()) {
            EXPECT_NE(user.messages[0].text.find("\"T1\""), std::string::npos);
        }
        EXPECT_EQ(Hints(), c.changed ? std::vector<uint32_t>{0} : std::vector<uint32_t>{});
    }
}

TEST_F(DocCommandsTest, TheTrackIsSavedAsDistinctLayers)
{
    bool recorded = false;
    int cleared = 0;
    std::vector<std::string> copies;
    services.trackFileHasRecords = [&] { return recorded; };
    services.copyTrackFile = [&](const std::string& path) {
        copies.push_back(path);
        WriteWholeFile(path, "track");
        return true;
    };
    services.clearTrackFile = [&] { ++cleared; };

    EXPECT_FALSE(commands.SaveTrack());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1121});
    EXPECT_TRUE(copies.empty());

    recorded = true;
    user.messages.clear();
    user.answers = {IDYES, IDNO};
    ASSERT_TRUE(commands.SaveTrack());
    ASSERT_TRUE(commands.SaveTrack());
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2030, 2030}));
    EXPECT_EQ(cleared, 1);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_NE(copies[0], copies[1]);
    ASSERT_EQ(doc.GetLayerCount(), 2);
    EXPECT_NE(doc.GetLayer(0)->GetName(), doc.GetLayer(1)->GetName());
    for (int i : {0, 1}) {
        EXPECT_EQ(doc.GetLayer(i)->GetType(), CLayer::kTrack);
        EXPECT_EQ(doc.GetLayer(i)->GetPath(), copies[static_cast<size_t>(i)]);
        EXPECT_TRUE(GetPathFileName(copies[static_cast<size_t>(i)]).starts_with("Track_"));
        EXPECT_TRUE(EndsWithNoCase1257(copies[static_cast<size_t>(i)], ".trk"));
    }
}

class CFixAt : public IMapGpsSource {
public:
    CFixAt() { SetMapGpsSource(this); }
    ~CFixAt() override { SetMapGpsSource(nullptr); }
    CMapGpsFix GetFix() const override { return fix; }
    CMapGpsFix fix;
};

TEST_F(DocCommandsTest, AFixBecomesAPlacemarkOnlyWhileThereIsOne)
{
    CFixAt gps;
    std::vector<CMapPoint> placed;
    services.addPlacemark = [&](CDrelDoc&, const CMapPoint& point) {
        placed.push_back(point);
        return true;
    };
    EXPECT_FALSE(commands.CanSaveFixAsPlacemark());
    EXPECT_FALSE(commands.SaveFixAsPlacemark());
    gps.fix.longitude = 25.25;
    gps.fix.latitude = 54.5;
    EXPECT_TRUE(commands.CanSaveFixAsPlacemark());
    EXPECT_TRUE(commands.SaveFixAsPlacemark());
    EXPECT_EQ(placed, std::vector<CMapPoint>{CMapPoint(25.25, 54.5)});
}

TEST_F(DocCommandsTest, WaypointLayersAreNamedByTimeWithLithuanianAliases)
{
    CDecimalDegrees coordinates;
    CLayer* layer = commands.CreateWaypointsLayer({}, {});
    ASSERT_TRUE(layer);
    EXPECT_EQ(offered, std::vector<std::string>{"Waypoints|Waypoints.dbf"});
    // GDB, DBF and track files are offered.
    EXPECT_EQ(offeredFileForms, (std::vector<std::pair<bool, bool>>{{true, false}}));
    EXPECT_EQ(layer->GetType(), CLayer::kPoint);
    EXPECT_EQ(layer->GetIdField(), "Time");
    EXPECT_TRUE(layer->HasFlag(CLayer::kHasAliases));
    EXPECT_EQ(Cp1257ToUtf8(layer->GetFieldAlias("Time")), "Laikas");
    EXPECT_EQ(Cp1257ToUtf8(layer->GetFieldAlias("Lon")), "Ilguma");
    EXPECT_TRUE(FileExists(dir.File("Waypoints.dbf")));
    EXPECT_EQ(Hints().front(), MakeHint(0, kHintLayerAdded));

    // The same file again is refused, the first layer's data kept.
    EXPECT_FALSE(commands.CreateWaypointsLayer("Again", dir.File("Waypoints.dbf")));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1074});
    const int asked = coordinates.formatsAsked;
    CLayer* track = commands.CreateWaypointsLayer("Route", dir.File("route.trk"));
    ASSERT_TRUE(track);
    EXPECT_EQ(track->GetType(), CLayer::kTrack);
    EXPECT_EQ(coordinates.formatsAsked, asked) << "a track file has its own fields";
    CDbfTable table;
    ASSERT_TRUE(table.Open(dir.File("route.trk")));
    const std::vector<CDbfFieldInfo> made = table.GetFieldInfos(), wanted = TrackFieldList();
    ASSERT_EQ(made.size(), wanted.size());
    for (size_t i = 0; i + 1 < wanted.size(); ++i)
        EXPECT_EQ(std::string(made[i].name) + made[i].type + std::to_string(made[i].length),
                  std::string(wanted[i].name) + wanted[i].type + std::to_string(wanted[i].length));
}

} // namespace
