// The command table of a map window over a document and a view without
// windows: each row reaches its target under its enable rule.
#include "core/FileUtil.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapOverlay.h"
#include "mapdoc/MapTool.h"
#include "mapdoc/ViewHost.h"
#include "platform/Clipboard.h"
#include "platform/Codepage.h"
#include "platform/CommandTarget.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "shell/MapFrameCommands.h"
#include "shell/MapToolCommands.h"
#include "tests/shell/ClipboardDouble.h"
#include "tests/layers/LegacyGdbTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class CScaleBoxHost : public IViewHost {
public:
    CScaleBoxHost() { SetViewHost(this); }
    ~CScaleBoxHost() override { SetViewHost(nullptr); }
    void SetScaleText(double denominator) override { text = denominator; }
    double GetScaleText() override { return text; }
    double text = 0;
};

class CFakeFrame : public IMapFrameContext {
public:
    CDrelDoc& GetMapDocument() override { return doc; }
    CDrelView* GetMapView() override { return view.get(); }
    CLayer* GetActiveLayer() override { return selected; }
    std::string GetPlacesBoxText() override { return placesBox; }

    CDrelDoc doc;
    std::unique_ptr<CDrelView> view = std::make_unique<CDrelView>(doc);
    CLayer* selected = nullptr;
    std::string placesBox;
};

class CMarkOverlay : public CMapOverlay {
public:
    void Draw(CDC&, CDrelView&) override {}
    bool GetRect(CDrelView&, CRect& rect) override
    {
        rect = CRect(0, 0, 4, 4);
        return true;
    }
};

CLayer* AddLayer(CDrelDoc& doc, const std::string& name, const std::string& path, int type, uint32_t extra = 0)
{
    auto layer = std::make_unique<CLayer>(Utf8ToCp1257(name), path, type);
    layer->SetFlags(layer->GetFlags() | extra);
    CLayer* raw = layer.get();
    doc.AddLayer(std::move(layer), false);
    return raw;
}

class MapFrameCommandsTest : public ::testing::Test {
protected:
    MapFrameCommandsTest()
    {
        frame.doc.Settings().mapUnits = kUnitsMetres;
        frame.doc.Settings().limits = CMapRect{0, 1000, 1000, 0};
        frame.view->OnSize(400, 300);
        frame.view->OnInitialUpdate();
        gdbPoints = AddLayer(frame.doc, "Taškai", "/maps/points.gdb", CLayer::kPoint);
        lines = AddLayer(frame.doc, "Gatvės", "/maps/streets.shp", CLayer::kLine);
        track = AddLayer(frame.doc, "Trasa", "/maps/route.trk", CLayer::kTrack);
        dbfPoints = AddLayer(frame.doc, "Lentelė", "/maps/table.dbf", CLayer::kPoint);
        group = AddLayer(frame.doc, "Grupė", "", CLayer::kPoint, CLayer::kGroup);
        dialogs.document.newLayer = [](CDrelDoc&, std::string&, std::string&, int&, CNewLayerOptions&) { return false; };
        commands.Install(table);
        MapToolMode = 0;
    }
    ~MapFrameCommandsTest() override { MapToolMode = 0; }

    CCommandState Update(int id)
    {
        CCommandState state(id);
        table.OnUpdateCommand(state);
        return state;
    }
    bool Enabled(int id)
    {
        const CCommandState state = Update(id);
        return state.IsEnableSet() ? state.IsEnabled() : table.HandlesCommand(id);
    }

    CScaleBoxHost host;
    CScriptedUserServices user;
    CFakeFrame frame;
    CLayer* gdbPoints;
    CLayer* lines;
    CLayer* track;
    CLayer* dbfPoints;
    CLayer* group;
    CMapFrameDialogs dialogs;
    CMapFrameCommands commands{frame, dialogs};
    CCommandTable table;
};

TEST_F(MapFrameCommandsTest, EachRowIsEnabledByItsRule)
{
    enum Selection { kNone, kGdbPoints, kLines, kTrack, kDbfPoints, kGroup };
    struct Case {
        int id;
        const char* what;
        std::vector<bool> enabled; // with nothing, gdb points, lines, a track, dbf points, a group selected
    };
    const Case cases[] = {
        {30105, "copy layer description", {false, true, true, true, true, true}},
        {30336, "zoom to layer", {false, true, true, false, false, false}},
        {30128, "pack", {false, true, false, true, true, false}},
        {30484, "new layer by example", {false, true, true, true, true, false}},
        {30207, "track length", {false, false, false, true, false, false}},
        {30295, "track playback", {false, true, true, true, true, true}},
        {30027, "full extent", {true, true, true, true, true, true}},
        {30018, "redraw", {true, true, true, true, true, true}},
        {30004, "scale box", {true, true, true, true, true, true}},
        {30065, "zoom window tool", {true, true, true, true, true, true}},
        {30234, "buffer zone tool", {true, true, true, true, true, true}},
        {30628, "clear measurements", {true, true, true, true, true, true}},
        {20400, "extension command", {true, true, true, true, true, true}},
        {20200, "extension command of the document", {true, true, true, true, true, true}},
        {30452, "show address", {true, true, true, true, true, true}},
        {30021, "back with no history", {false, false, false, false, false, false}},
        {30339, "forward with no history", {false, false, false, false, false, false}},
        {30439, "clear overlays without any", {false, false, false, false, false, false}},
        {30627, "clear road distance without one", {false, false, false, false, false, false}},
        {30490, "places manager without its dialog", {false, false, false, false, false, false}},
        {30489, "remember place without its dialog", {false, false, false, false, false, false}},
        {30491, "the places menu without places", {false, false, false, false, false, false}},
        {21000, "a tool command without a tool", {false, false, false, false, false, false}},
        // The work is another part's: export, dialogs, layer
        // operations, search, routing, tracks.
        {30024, "export", {false, false, false, false, false, false}},
        {30235, "buffer zones of a layer", {false, false, false, false, false, false}},
        {30260, "topology", {false, false, false, false, false, false}},
        {30483, "layer list", {false, false, false, false, false, false}},
        {30431, "find sheet", {false, false, false, false, false, false}},
        {30331, "find address", {true, true, true, true, true, true}},
        {30277, "go to coordinates", {true, true, true, true, true, true}},
        {30121, "context zoom in", {true, true, true, true, true, true}},
        {30621, "context placemark", {true, true, true, true, true, true}},
        {30328, "street box of a map without streets", {false, false, false, false, false, false}},
        {30035, "route", {false, false, false, false, false, false}},
        {30418, "track replay", {false, false, false, false, false, false}},
        {30421, "replay speed", {false, false, false, false, false, false}},
    };
    CLayer* const selections[] = {nullptr, gdbPoints, lines, track, dbfPoints, group};
    for (const Case& c : cases)
        for (int s = kNone; s <= kGroup; ++s) {
            frame.selected = selections[s];
            EXPECT_EQ(Enabled(c.id), c.enabled[static_cast<size_t>(s)]) << c.what << " with selection " << s;
        }
}

TEST_F(MapFrameCommandsTest, EachRowReachesItsTarget)
{
    CDrelView& view = *frame.view;
    struct Case {
        int id;
        const char* what;
        std::function<void()> arrange;
        std::function<bool()> done;
    };
    const Case cases[] = {
        {30063, "zoom in tool", [] {}, [] { return MapToolMode == 1; }},
        {30119, "azimuth tool", [] {}, [] { return MapToolMode == 19; }},
        {30234, "buffer zone tool", [] {}, [] { return MapToolMode == 21; }},
        {30624, "edit placemark tool", [] {}, [] { return MapToolMode == 27; }},
        {30004, "scale box", [this] { host.text = 50000; }, [&] { return view.GetScaleDenominator() == 50000; }},
        {30021, "back", [] {}, [&] { return view.GetScaleDenominator() != 50000; }},
        {30339, "forward", [] {}, [&] { return view.GetScaleDenominator() == 50000; }},
        {30027, "full extent", [] {}, [&] { return view.IsFullExtent() != 0; }},
        {30439, "clear overlays", [&] { view.AddOverlay(std::make_unique<CMarkOverlay>()); },
         [&] { return view.GetOverlayCount() == 0; }},
        {30281, "scale bar on", [] {}, [&] { return view.IsScaleBarVisible() && frame.doc.Settings().scaleBarShow; }},
        {30281, "scale bar off", [] {}, [&] { return !view.IsScaleBarVisible() && !frame.doc.Settings().scaleBarShow; }},
    };
    for (const Case& c : cases) {
        c.arrange();
        ASSERT_TRUE(Enabled(c.id)) << c.what;
        EXPECT_TRUE(table.OnCommand(c.id)) << c.what;
        EXPECT_TRUE(c.done()) << c.what;
    }
    EXPECT_TRUE(frame.doc.IsModified()); // the scale bar's switch is the map's
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(MapFrameCommandsTest, TheScaleBarSwitchShowsItsState)
{
    EXPECT_EQ(Update(30281).GetCheck(), 0);
    table.OnCommand(30281);
    EXPECT_EQ(Update(30281).GetCheck(), 1);
    EXPECT_EQ(frame.doc.Settings().scaleBarShow, 1);
}

TEST_F(MapFrameCommandsTest, ACommandThatNeedsALayerSaysSoWithoutOne)
{
    // Their rules keep them from the menus; a caller may still run them.
    for (const int id : {30128, 30484}) {
        user.messages.clear();
        table.OnCommand(id);
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1022}) << id;
    }
}

TEST_F(MapFrameCommandsTest, EveryToolCommandSetsItsMode)
{
    for (const CMapToolCommand& tool : MapToolCommands()) {
        MapToolMode = -1;
        EXPECT_TRUE(table.OnCommand(tool.id)) << tool.id;
        EXPECT_EQ(MapToolMode, tool.mode) << tool.id;
    }
    EXPECT_EQ(MapToolCommands().size(), 27u); // 0 to 27 but 20
}

TEST_F(MapFrameCommandsTest, TheMapAndLegendEntriesGoToTheClipboard)
{
    CTestClipboard clipboard;
    EXPECT_FALSE(Enabled(30106));
    frame.selected = lines;
    ASSERT_TRUE(table.OnCommand(30105));
    EXPECT_EQ(clipboard.held, "Drel Layer");
    ASSERT_TRUE(Enabled(30106));
    ASSERT_TRUE(table.OnCommand(30106));
    EXPECT_TRUE(frame.doc.Layers().FindByName(Utf8ToCp1257("Gatvės (2)")));

    ASSERT_TRUE(table.OnCommand(30104));
    EXPECT_EQ(clipboard.held, "image");
    EXPECT_EQ(clipboard.picture.size(), QSize(400, 300));
    EXPECT_FALSE(Enabled(30106)); // the picture took the layer's place
}

class MapFramePlacesTest : public MapFrameCommandsTest {
protected:
    MapFramePlacesTest()
    {
        dialogs.placeName = [this](std::string& name) {
            ++asked;
            if (names.empty())
                return false;
            name = names.front();
            names.erase(names.begin());
            return true;
        };
    }
    int asked = 0;
    std::vector<std::string> names;
};

TEST_F(MapFramePlacesTest, ThePlaceAfterTheHundredthIsRefusedBeforeTheNameIsAsked)
{
    for (int i = 0; i < CMapFrameCommands::kMaxPlaces; ++i)
        frame.doc.AddBookmark("Vieta " + std::to_string(i), CMapRect{0, 10, 10, 0});
    names = {"Dar viena"};
    ASSERT_TRUE(Enabled(30489));
    table.OnCommand(30489);
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(Cp1257ToUtf8(user.messages[0].text), "Saugomų vietų skaičius neturi viršyti 100.");
    EXPECT_EQ(frame.doc.GetBookmarkCount(), 100);
}

TEST_F(MapFramePlacesTest, AnEmptyOrTakenNameAsksAgain)
{
    frame.doc.AddBookmark(Utf8ToCp1257("Senamiestis"), CMapRect{0, 10, 10, 0});
    names = {"", Utf8ToCp1257("SENAMIESTIS"), Utf8ToCp1257("Stotis")};
    table.OnCommand(30489);
    EXPECT_EQ(asked, 3);
    ASSERT_EQ(user.messages.size(), 1u); // the taken name only
    EXPECT_EQ(Cp1257ToUtf8(user.messages[0].text), "Vieta su šiuo vardu jau yra.");
    ASSERT_EQ(frame.doc.GetBookmarkCount(), 2);
    EXPECT_EQ(frame.doc.GetBookmarkName(1), Utf8ToCp1257("Stotis"));
    EXPECT_EQ(frame.doc.GetBookmarkExtent(1), frame.view->GetMapExtent());
    EXPECT_TRUE(frame.doc.IsModified());
}

TEST_F(MapFramePlacesTest, CancelAddsNothing)
{
    table.OnCommand(30489);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(frame.doc.GetBookmarkCount(), 0);
    EXPECT_FALSE(frame.doc.IsModified());
}

TEST_F(MapFramePlacesTest, PlacesAreShownByNumberAndByTheBoxsText)
{
    frame.doc.AddBookmark("Centras", CMapRect{400, 600, 600, 400});
    frame.doc.AddBookmark("Uostas", CMapRect{0, 100, 100, 0});
    const CCommandState menu = Update(30491);
    ASSERT_EQ(menu.GetMenuEntries().size(), 2u);
    EXPECT_EQ(menu.GetMenuEntries()[1].id, 30492);
    EXPECT_EQ(menu.GetMenuEntries()[1].text, "Uostas");

    table.OnCommand(30492);
    EXPECT_LE(frame.view->GetMapExtent().right, 150);
    table.OnCommand(30590); // no such place
    EXPECT_LE(frame.view->GetMapExtent().right, 150);
    frame.placesBox = "centras";
    table.OnCommand(30608);
    const CMapRect shown = frame.view->GetMapExtent();
    EXPECT_NEAR((shown.left + shown.right) / 2, 500, 1);
}

} // namespace

namespace {

class MapFrameNewLayerTest : public MapFrameCommandsTest {
protected:
    MapFrameNewLayerTest()
    {
        example = AddLayer(frame.doc, "Pastatai", dir.File("buildings.gdb"), CLayer::kArea);
        EXPECT_TRUE(example->CreateDataFiles());
        frame.selected = example;
        dialogs.document.newLayer = [this](CDrelDoc&, std::string& name, std::string& path, int& type,
                                           CNewLayerOptions& options) {
            offered = {name, path, std::to_string(type)};
            if (!chosenPath.empty())
                path = chosenPath;
            options.replaceConfirmed = confirmReplace;
            return true;
        };
    }
    CTempDir dir;
    CLayer* example;
    std::vector<std::string> offered;
    std::string chosenPath;
    bool confirmReplace = false;
};

TEST_F(MapFrameNewLayerTest, TheNewLayerTakesTheExamplesKindAndFields)
{
    chosenPath = dir.File("houses.gdb");
    ASSERT_TRUE(Enabled(30484));
    table.OnCommand(30484);
    EXPECT_TRUE(user.messages.empty());
    ASSERT_EQ(offered.size(), 3u);
    EXPECT_EQ(offered[0], Utf8ToCp1257("Pastatai (2)"));
    EXPECT_EQ(offered[2], "2");
    CLayer* made = frame.doc.Layers().FindByName(Utf8ToCp1257("Pastatai (2)"));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->GetPath(), chosenPath);
    EXPECT_EQ(made->GetType(), CLayer::kArea);
    EXPECT_TRUE(PathExists(chosenPath));
    EXPECT_TRUE(frame.doc.IsModified());
}

TEST_F(MapFrameNewLayerTest, AFileOfAnOpenLayerOrOfTheWrongKindIsRefused)
{
    WriteWholeFile(dir.File("old.gdb"), "old data");
    struct Case {
        std::string path;
        bool confirmed; // the user's yes to replacing the file
        unsigned message;
    };
    const Case cases[] = {
        {dir.File("buildings.gdb"), true, 1074}, // the example's own data
        {dir.File("buildings.dbf"), true, 1074}, // its table
        {dir.File("old.gdb"), false, 1074},      // a file there, not to be replaced
        {dir.File("streets.gdb"), false, 0},     // free: made
        {dir.File("houses.trk"), false, 1088},   // a track file for an area layer
        {dir.File("old.gdb"), true, 0},          // replaced
    };
    for (const Case& c : cases) {
        user.messages.clear();
        chosenPath = c.path;
        confirmReplace = c.confirmed;
        const int before = frame.doc.GetLayerCount();
        table.OnCommand(30484);
        if (c.message) {
            EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{c.message}) << c.path;
            EXPECT_EQ(frame.doc.GetLayerCount(), before) << c.path;
        } else {
            EXPECT_TRUE(user.messages.empty()) << c.path;
            EXPECT_EQ(frame.doc.GetLayerCount(), before + 1) << c.path;
        }
    }
    EXPECT_FALSE(PathExists(dir.File("houses.trk")));
    EXPECT_NE(ReadWholeFile(dir.File("old.gdb")), "old data");
    EXPECT_TRUE(PathExists(dir.File("old.vec")));
    EXPECT_EQ(FindMatchingFiles(dir.File("~*")), std::vector<std::string>{}) << "no work files left";
}

} // namespace

namespace {

TEST_F(MapFramePlacesTest, TheMenuHoldsOneItemPerPlaceInOrder)
{
    for (const char* name : {"Centras", "Uostas", "Stotis"})
        frame.doc.AddBookmark(name, CMapRect{0, 100, 100, 0});
    const auto ids = [this] {
        const CCommandState menu = Update(30491);
        EXPECT_TRUE(menu.IsEnabled());
        std::vector<std::string> items;
        for (const CCommandState::MenuEntry& entry : menu.GetMenuEntries())
            items.push_back(std::to_string(entry.id) + " " + entry.text);
        return items;
    };
    EXPECT_EQ(ids(), (std::vector<std::string>{"30491 Centras", "30492 Uostas", "30493 Stotis"}));
    ASSERT_TRUE(frame.doc.DeleteBookmark("Uostas"));
    EXPECT_EQ(ids(), (std::vector<std::string>{"30491 Centras", "30492 Stotis"}));
}

class MapFrameDocumentCommandsTest : public MapFrameCommandsTest {
protected:
    MapFrameDocumentCommandsTest()
    {
        dialogs.openFiles = [this](const std::string& filter, int& index, bool multiple,
                                   std::vector<std::string>& paths) {
            asked.push_back({filter, index, multiple});
            index = nextIndex;
            return false;
        };
    }
    struct Asked {
        std::string filter;
        int index;
        bool multiple;
    };
    std::vector<Asked> asked;
    int nextIndex = 1;
};

TEST_F(MapFrameDocumentCommandsTest, TheCommandsWaitForTheirDialogsAndTheFilterChosenLastComesBack)
{
    for (const int id : {30070, 30088})
        EXPECT_TRUE(Enabled(id)) << id;
    // Their dialogs or services are not there.
    for (const int id : {30302, 30278, 30340, 30629})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(30069)); // the fixture's new-layer dialog

    nextIndex = 8;
    table.OnCommand(30088);
    table.OnCommand(30088);
    nextIndex = 3;
    table.OnCommand(30070);
    table.OnCommand(30070);
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].filter, CDocCommands::kImportFilter);
    EXPECT_FALSE(asked[0].multiple);
    EXPECT_EQ(asked[1].index, 8);
    EXPECT_TRUE(asked[2].filter.starts_with("Vector Files (*.gdb;*.shp;*.trk)|"));
    EXPECT_TRUE(asked[2].multiple);
    EXPECT_EQ(asked[3].index, 3);

    dialogs.document.groupName = [](CDrelDoc&, std::string&) { return true; };
    EXPECT_TRUE(Enabled(30302));
    const int before = frame.doc.GetLayerCount();
    table.OnCommand(30302);
    EXPECT_EQ(frame.doc.GetLayerCount(), before + 1);
}

} // namespace

namespace {

TEST_F(MapFrameDocumentCommandsTest, TheSettingsDialogsMarkTheMapModifiedOnOk)
{
    const int dialogIds[] = {30025, 30341, 30358, 30453, 30635, 30412};
    for (const int id : dialogIds)
        EXPECT_FALSE(Enabled(id)) << id;
    std::vector<std::string> opened;
    bool ok = false;
    dialogs.document.mapProperties = [&](CDrelDoc&) {
        opened.push_back("map");
        return ok;
    };
    dialogs.document.gpsSaveParams = [&](CDrelDoc&, std::string& name) {
        opened.push_back("gps " + name);
        name = "Keliones";
        return ok;
    };
    dialogs.document.coordinateGrid = [&](CDrelDoc&) { opened.push_back("grid"); };
    dialogs.document.adminSearchParams = [&](CDrelDoc&) { opened.push_back("admin"); };
    dialogs.document.distanceCalculator = [&](CDrelDoc&) { opened.push_back("distances"); };
    dialogs.document.addressImport = [&](CDrelDoc&, const std::string& path) { opened.push_back("addresses " + path); };
    dialogs.openFiles = [&](const std::string& filter, int&, bool, std::vector<std::string>& paths) {
        EXPECT_EQ(filter, "DBF Address Files (*.dbf)|*.dbf||");
        paths = {"/d/a.dbf"};
        return true;
    };
    frame.doc.Settings().gpsSaveLayer = "Taskai";
    for (const int id : dialogIds) {
        EXPECT_TRUE(Enabled(id)) << id;
        table.OnCommand(id);
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"map", "gps Taskai", "grid", "admin", "distances",
                                                "addresses /d/a.dbf"}));
    EXPECT_FALSE(frame.doc.IsModified());
    EXPECT_EQ(frame.doc.Settings().gpsSaveLayer, "Taskai");
    ok = true;
    table.OnCommand(30341);
    EXPECT_EQ(frame.doc.Settings().gpsSaveLayer, "Keliones");
    EXPECT_TRUE(frame.doc.IsModified());
}

TEST_F(MapFrameCommandsTest, StreetInformationWaitsForAStreetsLayer)
{
    EXPECT_FALSE(Enabled(30012));
    frame.doc.Settings().streetsLayer = "Gatvės";
    EXPECT_TRUE(Enabled(30012));
    EXPECT_EQ(Update(30012).GetCheck(), 0);
    table.OnCommand(30012);
    EXPECT_EQ(Update(30012).GetCheck(), 1);
}

} // namespace

namespace {

TEST_F(MapFrameDocumentCommandsTest, TheFirstImportedExtentIsShownWhole)
{
    CTempDir dir;
    CScriptedMapQuestion question;
    WriteWholeFile(dir.File("m.map"), "[MAP]\nOrig=5000,7000\nUnit=10,10\n");
    question.answer = dir.File("m.map");
    WriteObjectTable(dir.File("old.gdb"), true, {{"A", Packed(0, 0)}, {"B", Packed(100, -50)}});
    frame.doc.SetPathName(dir.File("map.map"));
    frame.doc.Settings().limits = CMapRect();
    dialogs.openFiles = [&](const std::string&, int& index, bool, std::vector<std::string>& paths) {
        index = 2;
        paths = {dir.File("old.gdb")};
        return true;
    };
    dialogs.document.layerImport = [](CDrelDoc&, const std::string&, CLayerImportChoice&) { return true; };
    dialogs.document.newLayer = [](CDrelDoc&, std::string&, std::string&, int&, CNewLayerOptions&) { return true; };
    ASSERT_TRUE(Enabled(30088));
    table.OnCommand(30088);
    EXPECT_TRUE(user.messages.empty());
    ASSERT_TRUE(frame.doc.Layers().FindByName("old"));
    EXPECT_EQ(frame.doc.Settings().limits, (CMapRect{5000, 7500, 6000, 7000}));
    const CMapRect shown = frame.view->GetMapExtent();
    EXPECT_LE(shown.left, 5000);
    EXPECT_GE(shown.right, 6000);
    EXPECT_LE(shown.bottom, 7000);
    EXPECT_GE(shown.top, 7500);
}

} // namespace
