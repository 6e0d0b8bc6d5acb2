// The layer operations in the map window's command table: their enable
// rules, the layer they need, and operations that end by an exception.
#include "geoproc/GeoprocCommands.h"

#include "mapdoc/ResultFiles.h"
#include "platform/Codepage.h"
#include "platform/CommandTarget.h"
#include "platform/Strings.h"
#include "shell/MapFrameCommands.h"
#include "tests/geoproc/FieldDialogsSupport.h"

#include <algorithm>
#include <stdexcept>

namespace {

class CFrame : public IMapFrameContext {
public:
    explicit CFrame(CDrelDoc& document) : m_document(document) {}
    CDrelDoc& GetMapDocument() override { return m_document; }
    CDrelView* GetMapView() override { return nullptr; }
    CLayer* GetActiveLayer() override { return active; }
    CLayer* active = nullptr;

private:
    CDrelDoc& m_document;
};

class GeoprocCommandsTest : public CGeoprocFixture {
protected:
    GeoprocCommandsTest() : frame(doc) { dialogs.document = newLayer.Dialogs(); }
    bool IsEnabled(int id)
    {
        CCommandState state(id);
        EXPECT_TRUE(table.OnUpdateCommand(state)) << id;
        return state.IsEnabled();
    }

    CFrame frame;
    CMapFrameDialogs dialogs;
    CCommandTable table;
    CScriptedFieldDialogs geoprocDialogs;
};

const CGeoprocCommand& Row(int id)
{
    for (const CGeoprocCommand& command : GeoprocCommands())
        if (command.id == id)
            return command;
    throw std::out_of_range("no row");
}

TEST_F(GeoprocCommandsTest, BufferZonesServePointLineAndAreaLayers)
{
    const std::pair<int, bool> cases[] = {{CLayer::kPoint, true},   {CLayer::kLine, true},
                                          {CLayer::kArea, true},    {CLayer::kTrack, false},
                                          {CLayer::kRaster, false}, {CLayer::kElevation, false}};
    const CGeoprocCommand& buffers = Row(30235);
    for (const auto& [type, enabled] : cases) {
        CLayer layer("L", "l.gdb", type);
        EXPECT_EQ(IsGeoprocCommandEnabled(buffers, &layer, dialogs), enabled) << type;
    }
    CLayer group("G", "", CLayer::kLine);
    group.SetFlag(CLayer::kGroup, true);
    EXPECT_FALSE(IsGeoprocCommandEnabled(buffers, &group, dialogs));
    EXPECT_FALSE(IsGeoprocCommandEnabled(buffers, nullptr, dialogs));
    // Without the new-layer dialog nothing could be written.
    CLayer line("L", "l.gdb", CLayer::kLine);
    EXPECT_FALSE(IsGeoprocCommandEnabled(buffers, &line, CMapFrameDialogs{}));
}

TEST_F(GeoprocCommandsTest, TheWindowsCommandRunsTheOperationOnTheSelectedLayer)
{
    InstallGeoprocCommands(table, frame, dialogs);
    EXPECT_FALSE(IsEnabled(30235));
    EXPECT_TRUE(table.OnCommand(30235));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1022});
    EXPECT_TRUE(geoprocDialogs.log.empty());

    frame.active = &AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine, {"0 0, 100 0"});
    EXPECT_TRUE(IsEnabled(30235));
    EXPECT_TRUE(table.OnCommand(30235));
    EXPECT_EQ(geoprocDialogs.log, std::vector<std::string>{"30771 Streets"});
    ASSERT_EQ(doc.GetLayerCount(), 2);
    EXPECT_EQ(doc.GetLayer(1)->GetName(), "gatves_buffer");
}

TEST_F(GeoprocCommandsTest, TopologyAndErrorCommandsServeTheirLayerTypes)
{
    InstallGeoprocCommands(table, frame, dialogs);
    const CMapFrameDialogs none;
    CCommandTable without102;
    InstallGeoprocCommands(without102, frame, none);
    struct Case {
        int type;
        bool topology, errorPoints, fixing;
    };
    const Case cases[] = {
        {CLayer::kPoint, false, false, false},  {CLayer::kLine, true, true, true},
        {CLayer::kArea, false, false, true},    {CLayer::kRaster, false, false, false},
        {CLayer::kElevation, false, false, false}, {CLayer::kTrack, false, false, false},
    };
    for (const Case& c : cases) {
        CLayer layer("L", "l.gdb", c.type);
        frame.active = &layer;
        EXPECT_EQ(IsEnabled(30260), c.topology) << c.type;
        EXPECT_EQ(IsEnabled(30325), c.errorPoints) << c.type;
        EXPECT_EQ(IsEnabled(30348), c.fixing) << c.type;
        for (const int id : {30260, 30325, 30348}) {
            CCommandState state(id);
            EXPECT_TRUE(without102.OnUpdateCommand(state)) << id;
            EXPECT_FALSE(state.IsEnabled()) << id << " without dialog 102, type " << c.type;
        }
    }
    CLayer group("G", "", CLayer::kLine);
    group.SetFlag(CLayer::kGroup, true);
    frame.active = &group;
    for (const int id : {30260, 30325, 30348})
        EXPECT_FALSE(IsEnabled(id)) << id;

    frame.active = nullptr;
    for (const int id : {30260, 30325, 30348}) {
        EXPECT_FALSE(IsEnabled(id)) << id;
        user.messages.clear();
        EXPECT_TRUE(table.OnCommand(id)) << id;
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1022}) << id;
    }
    EXPECT_EQ(newLayer.runs, 0);
    EXPECT_TRUE(geoprocDialogs.log.empty());
}

TEST_F(GeoprocCommandsTest, OverlayRunsWhateverIsSelectedWhileTheNewLayerDialogIsThere)
{
    const CGeoprocCommand& overlay = Row(30263);
    CLayer raster("R", "r.png", CLayer::kRaster);
    for (const CLayer* layer : {static_cast<const CLayer*>(nullptr), static_cast<const CLayer*>(&raster)})
        EXPECT_TRUE(IsGeoprocCommandEnabled(overlay, layer, dialogs));
    EXPECT_FALSE(IsGeoprocCommandEnabled(overlay, nullptr, CMapFrameDialogs{}));

    InstallGeoprocCommands(table, frame, dialogs);
    EXPECT_TRUE(IsEnabled(30263));
    // Nothing selected: dialog 288 with no active layer; its Cancel ends it.
    geoprocDialogs.overlayOk = false;
    EXPECT_TRUE(table.OnCommand(30263));
    EXPECT_EQ(geoprocDialogs.log, std::vector<std::string>{"288"});
    EXPECT_EQ(geoprocDialogs.offeredActive, nullptr);
    EXPECT_TRUE(user.messages.empty());

    CLayer& areas = AddShapeLayer("Areas", "areas.gdb", CLayer::kArea, {"0 0, 10 0, 10 10, 0 10"});
    CLayer& lines = AddShapeLayer("Lines", "lines.gdb", CLayer::kLine, {"-5 5, 15 5"});
    frame.active = &lines;
    geoprocDialogs.overlayOk = true;
    geoprocDialogs.overlay = {&lines, &areas, 2};
    EXPECT_TRUE(table.OnCommand(30263));
    EXPECT_EQ(geoprocDialogs.offeredActive, &lines);
    ASSERT_EQ(doc.GetLayerCount(), 3);
    EXPECT_EQ(doc.GetLayer(2)->GetName(), "lines");
    EXPECT_EQ(doc.GetLayer(2)->GetType(), CLayer::kLine);
}

TEST_F(GeoprocCommandsTest, MeasuresServeTheirTypesAndImportNeedsTheOpenDialog)
{
    InstallGeoprocCommands(table, frame, dialogs);
    struct Case {
        int type;
        bool lengths, areas, coordinates;
    };
    const Case cases[] = {
        {CLayer::kPoint, false, false, true},     {CLayer::kLine, true, false, true},
        {CLayer::kArea, true, true, true},        {CLayer::kTrack, false, false, true},
        {CLayer::kRaster, false, false, false},   {CLayer::kElevation, false, false, false},
    };
    for (const Case& c : cases) {
        CLayer layer("L", "l.gdb", c.type);
        frame.active = &layer;
        EXPECT_EQ(IsEnabled(30244), c.lengths) << c.type;
        EXPECT_EQ(IsEnabled(30245), c.areas) << c.type;
        EXPECT_EQ(IsEnabled(30266), c.coordinates) << c.type;
    }
    frame.active = nullptr;
    for (const int id : {30244, 30245, 30266}) {
        EXPECT_FALSE(IsEnabled(id)) << id;
        user.messages.clear();
        EXPECT_TRUE(table.OnCommand(id)) << id;
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1022}) << id;
    }
    EXPECT_TRUE(geoprocDialogs.log.empty());

    // The import asks its file whatever is selected, once the window can.
    EXPECT_FALSE(IsEnabled(30280));
    CCommandTable withOpen;
    std::string filter;
    dialogs.openFiles = [&](const std::string& f, int&, bool multiple, std::vector<std::string>& paths) {
        filter = f;
        EXPECT_FALSE(multiple);
        paths = {dir.File("d.dbf")};
        return true;
    };
    InstallGeoprocCommands(withOpen, frame, dialogs);
    CCommandState state(30280);
    EXPECT_TRUE(withOpen.OnUpdateCommand(state));
    EXPECT_TRUE(state.IsEnabled());
    MakeTable(dir.File("d.dbf"), FieldList({{"K", 'N', 6, 0}}), {{"1"}});
    CLayer& points = AddPointLayer("Taskai", "taskai.gdb", {{1, 1}, {2, 2}});
    geoprocDialogs.importLayer = &points;
    geoprocDialogs.importMode = 1;
    geoprocDialogs.keys = {"N", "K", false};
    EXPECT_TRUE(withOpen.OnCommand(30280));
    EXPECT_EQ(filter, "DBF Files (*.dbf)|*.dbf||");
    EXPECT_EQ(geoprocDialogs.offeredPath, dir.File("d.dbf"));
    EXPECT_EQ(geoprocDialogs.offeredActive, nullptr);
    EXPECT_EQ(geoprocDialogs.log, (std::vector<std::string>{"316", "30784"}));
    ASSERT_EQ(doc.GetLayerCount(), 2);
    EXPECT_EQ(doc.GetLayer(1)->GetName(), "taskai");
}

TEST_F(GeoprocCommandsTest, CleanUpCommandsServeTheirLayerTypes)
{
    struct Case {
        int id;
        std::vector<int> types;
        const char* firstDialog;
    };
    const Case cases[] = {
        {30264, {CLayer::kLine, CLayer::kArea}, "30801 L"},
        {30342, {CLayer::kLine, CLayer::kArea}, ""},
        {30349, {CLayer::kLine, CLayer::kArea}, "287"},
        {30352, {CLayer::kArea}, ""},
    };
    InstallGeoprocCommands(table, frame, dialogs);
    geoprocDialogs.mergeFieldsOk = false;
    geoprocDialogs.toleranceOk = false;
    newLayer.ok = false;
    for (const Case& c : cases) {
        const CGeoprocCommand& row = Row(c.id);
        for (const int type : {CLayer::kPoint, CLayer::kLine, CLayer::kArea, CLayer::kTrack, CLayer::kRaster}) {
            CLayer layer("L", "l.gdb", type);
            const bool served = std::find(c.types.begin(), c.types.end(), type) != c.types.end();
            EXPECT_EQ(IsGeoprocCommandEnabled(row, &layer, dialogs), served) << c.id << " type " << type;
            EXPECT_FALSE(IsGeoprocCommandEnabled(row, &layer, CMapFrameDialogs{})) << c.id << " without 102";
            CLayer group("G", "", type);
            group.SetFlag(CLayer::kGroup, true);
            EXPECT_FALSE(IsGeoprocCommandEnabled(row, &group, dialogs)) << c.id;
        }
        // Without a layer: 1022 and nothing asked.
        frame.active = nullptr;
        user.messages.clear();
        geoprocDialogs.log.clear();
        EXPECT_FALSE(IsEnabled(c.id));
        EXPECT_TRUE(table.OnCommand(c.id));
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1022}) << c.id;
        EXPECT_TRUE(geoprocDialogs.log.empty()) << c.id;
        // With one its operation runs until the first question.
        CLayer layer("L", dir.File("l.gdb"), c.types.back());
        // Islands ask dialog 102 at once for a layer that cannot be changed.
        layer.SetFlag(CLayer::kObjectsEditable, false);
        frame.active = &layer;
        newLayer.runs = 0;
        EXPECT_TRUE(IsEnabled(c.id));
        EXPECT_TRUE(table.OnCommand(c.id));
        const std::vector<std::string> asked =
            *c.firstDialog ? std::vector<std::string>{c.firstDialog} : std::vector<std::string>{};
        EXPECT_EQ(geoprocDialogs.log, asked) << c.id;
        EXPECT_EQ(newLayer.runs, *c.firstDialog ? 0 : 1) << c.id;
    }
}

TEST_F(GeoprocCommandsTest, ClosedAreasAndStreetBlockCommands)
{
    InstallGeoprocCommands(table, frame, dialogs);
    const CMapFrameDialogs none;
    CCommandTable without102;
    InstallGeoprocCommands(without102, frame, none);
    struct Case {
        int id;
        std::vector<int> types; // empty: whatever is selected, also nothing
        bool needs102;
    };
    const Case cases[] = {
        {30265, {CLayer::kLine}, true},
        {30344, {}, false},
        {30612, {}, false},
    };
    CLayer group("G", "", CLayer::kLine);
    group.SetFlag(CLayer::kGroup, true);
    for (const Case& c : cases) {
        for (const int type : {CLayer::kPoint, CLayer::kLine, CLayer::kArea, CLayer::kTrack, CLayer::kRaster}) {
            CLayer layer("L", "l.gdb", type);
            const bool served = c.types.empty() || std::find(c.types.begin(), c.types.end(), type) != c.types.end();
            EXPECT_EQ(IsGeoprocCommandEnabled(Row(c.id), &layer, dialogs), served) << c.id << " type " << type;
            EXPECT_EQ(IsGeoprocCommandEnabled(Row(c.id), &layer, none), served && !c.needs102) << c.id;
        }
        EXPECT_EQ(IsGeoprocCommandEnabled(Row(c.id), &group, dialogs), c.types.empty()) << c.id;
        EXPECT_EQ(IsGeoprocCommandEnabled(Row(c.id), nullptr, dialogs), c.types.empty()) << c.id;
    }

    // Without a layer 30344 tells so; 30612 without "Gatvės" does nothing.
    frame.active = nullptr;
    for (const auto& [id, messages] :
         {std::pair<int, std::vector<unsigned>>{30265, {1022}}, {30344, {1022}}, {30612, {}}}) {
        user.messages.clear();
        EXPECT_TRUE(table.OnCommand(id)) << id;
        EXPECT_EQ(user.MessageIds(), messages) << id;
    }
    EXPECT_TRUE(geoprocDialogs.log.empty());
    EXPECT_EQ(newLayer.runs, 0);

    // With the layers there: the block dialog over the selected layer or
    // over "Gatvės", cancelled.
    geoprocDialogs.blocksOk = false;
    CLayer& streets = AddShapeLayer(Utf8ToCp1257("Gatvės"), "gatves.gdb", CLayer::kLine, {"0 0, 100 0"});
    CLayer& other = AddShapeLayer("Kitos", "kitos.gdb", CLayer::kLine, {"0 0, 100 0"});
    frame.active = &other;
    EXPECT_TRUE(table.OnCommand(30344));
    EXPECT_TRUE(table.OnCommand(30612));
    EXPECT_EQ(geoprocDialogs.log, (std::vector<std::string>{"30806 Kitos", "30806 " + streets.GetName()}));
    EXPECT_EQ(geoprocDialogs.offeredBlocks.blockName, "<None1>");

    // 30265 on a line layer: dialog 102 first.
    newLayer.ok = false;
    EXPECT_TRUE(table.OnCommand(30265));
    EXPECT_EQ(newLayer.runs, 1);
    EXPECT_EQ(newLayer.offeredName, "kitos_polyg");
    EXPECT_EQ(newLayer.offeredType, CLayer::kArea);
}

int OutOfMemory(const CGeoprocCall&)
{
    throw std::bad_alloc();
}

// Leaves a result layer's files half written when it breaks.
int BreaksWhileWriting(const CGeoprocCall& call)
{
    CResultFiles files(call.document.GetMapDirectory() + "half.gdb");
    if (files.Reserve())
        WriteWholeFile(files.GetWritePath(), "half");
    throw std::runtime_error("broken");
}

TEST_F(GeoprocCommandsTest, AnOperationEndedByAnExceptionIsToldAndLeavesNothing)
{
    const CGeoprocCall call{doc, nullptr, nullptr, dialogs};
    EXPECT_EQ(RunGeoprocOperation(OutOfMemory, call), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1005});
    user.messages.clear();
    EXPECT_EQ(RunGeoprocOperation(BreaksWhileWriting, call), 0);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Operacija nutraukta dėl netikėtos klaidos; jos rezultatų nėra."));
    EXPECT_TRUE(Folder().empty());
    EXPECT_EQ(RunGeoprocOperation([](const CGeoprocCall&) { return 1; }, call), 1);
}

TEST_F(GeoprocCommandsTest, NetworkSketchSnappingAndEndVertexCommandsServeTheirTypes)
{
    InstallGeoprocCommands(table, frame, dialogs);
    const CMapFrameDialogs none;
    CCommandTable without102;
    InstallGeoprocCommands(without102, frame, none);
    struct Case {
        int type;
        bool turns, viaducts, snapping, endVertices;
    };
    const Case cases[] = {
        {CLayer::kPoint, false, true, true, false},  {CLayer::kLine, true, true, true, true},
        {CLayer::kArea, false, true, true, true},    {CLayer::kTrack, false, true, true, false},
        {CLayer::kRaster, false, true, true, false},
    };
    const auto enabledWithout102 = [&](int id) {
        CCommandState state(id);
        EXPECT_TRUE(without102.OnUpdateCommand(state)) << id;
        return state.IsEnabled();
    };
    for (const Case& c : cases) {
        CLayer layer("L", "l.gdb", c.type);
        frame.active = &layer;
        EXPECT_EQ(IsEnabled(30614), c.turns) << c.type;
        EXPECT_EQ(IsEnabled(30347), c.viaducts) << c.type;
        EXPECT_EQ(IsEnabled(30414), c.snapping) << c.type;
        EXPECT_EQ(IsEnabled(30415), c.endVertices) << c.type;
        EXPECT_EQ(enabledWithout102(30614), c.turns) << c.type;
        EXPECT_EQ(enabledWithout102(30347), c.viaducts) << c.type;
        EXPECT_FALSE(enabledWithout102(30414)) << c.type;
        EXPECT_FALSE(enabledWithout102(30415)) << c.type;
    }

    // Nothing selected: the commands that need a layer say so; snapping
    // asks dialog 30807 with no layer offered.
    frame.active = nullptr;
    EXPECT_FALSE(IsEnabled(30614));
    EXPECT_TRUE(IsEnabled(30347));
    EXPECT_TRUE(IsEnabled(30414));
    EXPECT_FALSE(IsEnabled(30415));
    for (const int id : {30614, 30347, 30415}) {
        user.messages.clear();
        EXPECT_TRUE(table.OnCommand(id)) << id;
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1022}) << id;
    }
    EXPECT_TRUE(geoprocDialogs.log.empty());
    geoprocDialogs.snapOk = false;
    CLayer stale("S", "s.gdb", CLayer::kLine);
    geoprocDialogs.offeredActive = &stale;
    user.messages.clear();
    EXPECT_TRUE(table.OnCommand(30414));
    EXPECT_EQ(geoprocDialogs.log, std::vector<std::string>{"30807"});
    EXPECT_EQ(geoprocDialogs.offeredActive, nullptr);
    EXPECT_TRUE(user.messages.empty());
}

} // namespace

namespace {

TEST_F(GeoprocCommandsTest, DerivedLayerCommandsServeTheirLayers)
{
    InstallGeoprocCommands(table, frame, dialogs);
    struct Case {
        int type;
        const char* path;
        uint32_t flags;
        bool index, sorting, fromPoints;
    };
    const Case cases[] = {
        {CLayer::kPoint, "p.gdb", 0, true, true, true},
        {CLayer::kLine, "l.gdb", 0, true, true, false},
        {CLayer::kArea, "a.shp", 0, true, true, false},
        {CLayer::kTrack, "t.trk", 0, false, false, true},
        {CLayer::kRaster, "r.tif", 0, false, false, false},
        {CLayer::kElevation, "e.grd", 0, false, false, false},
        {CLayer::kPoint, "taskai.dbf", 0, false, true, true},
        {CLayer::kLine, "l.gdb", CLayer::kManyFiles, true, false, false},
        {CLayer::kLine, "", CLayer::kGroup, false, false, false},
    };
    for (const Case& c : cases) {
        CLayer layer("L", c.path, c.type);
        layer.SetFlag(c.flags, true);
        frame.active = &layer;
        const std::string what = std::string(c.path) + " " + std::to_string(c.flags);
        EXPECT_EQ(IsEnabled(30355), c.index) << what;
        EXPECT_EQ(IsEnabled(30632), c.sorting) << what;
        EXPECT_EQ(IsEnabled(30408), c.fromPoints) << what;
        EXPECT_EQ(IsEnabled(30409), c.fromPoints) << what;
        EXPECT_TRUE(IsEnabled(30440)) << what;
        EXPECT_TRUE(IsEnabled(30619)) << what;
    }
    frame.active = nullptr;
    EXPECT_TRUE(IsEnabled(30440));
    EXPECT_TRUE(IsEnabled(30619));
    for (const int id : {30355, 30632, 30408, 30409}) {
        EXPECT_FALSE(IsEnabled(id)) << id;
        user.messages.clear();
        EXPECT_TRUE(table.OnCommand(id)) << id;
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1022}) << id;
    }
    // Sorting and points to lines write through dialog 102.
    CLayer point("P", "p.gdb", CLayer::kPoint);
    for (const int id : {30632, 30408, 30409})
        EXPECT_FALSE(IsGeoprocCommandEnabled(Row(id), &point, CMapFrameDialogs{})) << id;
    EXPECT_TRUE(IsGeoprocCommandEnabled(Row(30355), &point, CMapFrameDialogs{}));

    // The comparison asks its dialog with the selected layer offered.
    frame.active = &point;
    geoprocDialogs.compareOk = false;
    EXPECT_TRUE(table.OnCommand(30440));
    EXPECT_EQ(geoprocDialogs.log, std::vector<std::string>{"30808"});
    EXPECT_EQ(geoprocDialogs.offeredActive, &point);
}

} // namespace

namespace {

TEST(GeoprocCommandPrompts, LayerOperationsTellWhatTheyDo)
{
    const std::pair<int, const char*> prompts[] = {
        {30440, "Rasti skirtumus tarp dviejų sluoksnių objektų"},
        {30355, "Sukurti aktyvaus sluoksnio erdvinį indeksą"},
        {30632, "Rūšiuoti sluoksnio įrašus"},
        {30408, "Sukurti liniją iš taškinio sluoksnio objektų"},
        {30409, "Sukurti sritį iš taškinio sluoksnio objektų"},
    };
    for (const auto& [id, prompt] : prompts)
        EXPECT_EQ(LoadString(id), Utf8ToCp1257(prompt)) << id;
}

} // namespace
