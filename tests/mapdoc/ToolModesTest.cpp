// The tool modes of a map view: the cursor and the click of each mode
// without a tool, and the mode switch with its special transitions.

#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/LineEditTool.h"
#include "mapdoc/ZoomStepTool.h"
#include "platform/UserServices.h"
#include "platform/VirtualKeys.h"
#include "tests/mapdoc/ToolTestSupport.h"
#include "tests/support/TestSupport.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

const CMapRect kLimits(0, 1000, 2000, 0);

class CClickExtension : public CExtensionHooks {
public:
    CClickExtension() { SetExtension(this); }
    ~CClickExtension() override { SetExtension(nullptr); }
    int OnSetCursor() override { return 1; }
    void OnLButtonDown(CDrelView*, unsigned flags, int x, int y) override
    {
        log.push_back("extension " + std::to_string(x) + "," + std::to_string(y));
    }
    std::vector<std::string> log;
};

class CDrawToolMaker : public IEditToolMaker {
public:
    CDrawToolMaker() { SetEditToolMaker(this); }
    ~CDrawToolMaker() override { SetEditToolMaker(nullptr); }
    std::unique_ptr<CMapTool> MakeDrawTool(CDrelView& view) override
    {
        auto tool = std::make_unique<CRecordingTool>(&view, log, "draw tool");
        return tool;
    }
    std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
};

class ToolModesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MapToolMode = 0;
        SetMetreMap(doc, kLimits);
        SetRoutePointsMaker([log = routeLog](CDrelView&) { return std::make_unique<CLoggingRoutePointsDouble>(log); });
    }
    void TearDown() override
    {
        SetRoutePointsMaker(nullptr);
        MapToolMode = 0;
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CDrelDoc doc;
    std::shared_ptr<std::vector<std::string>> routeLog = std::make_shared<std::vector<std::string>>();
};

} // namespace

TEST_F(ToolModesTest, CursorsAndClicksOfTheModesWithoutATool)
{
    CToolFixture f(doc);
    CClickExtension extension;
    CLoggingLayerQueries queries;
    CLayer* lines = doc.Layers().GetAt(doc.AddLayer(MakeExtentLayer("L", kLimits), false));
    struct Case {
        int mode;
        int cursor;
        int shiftCursor;
        bool activeLayer;
        // What the click at (10, 20) reached, "" for nothing.
        std::string click;
    };
    const Case cases[] = {
        {0, 0, 0, false, ""},
        {1, 114, 115, false, ""},
        {2, 115, 114, false, ""},
        {3, 117, 117, false, ""},
        {4, 116, 116, false, ""},
        {5, 113, 113, false, ""},
        {6, 118, 118, false, ""},
        {7, 1075, 1075, false, ""},
        {8, 175, 175, false, ""},
        {9, 363, 363, false, ""},
        {10, 1077, 1077, false, ""},
        {11, 116, 116, false, ""},
        {12, 116, 116, false, ""},
        // No route points yet: moving one does nothing.
        {16, 174, 174, false, ""},
        {13, 112, 112, false, "route start 10,20"},
        {14, 112, 112, false, "route finish 10,20"},
        {15, 112, 112, false, "route intermediate 10,20"},
        {16, 174, 174, false, "route move 10,20"},
        {17, 118, 118, true, "area L 31,908"},
        {17, 118, 118, false, "beep"},
        {18, 113, 113, true, "length L 31,908"},
        {18, 113, 113, false, "beep"},
        {19, 184, 184, false, ""},
        {20, 116, 116, false, ""},
        // The buffer zones ask for the active layer themselves.
        {21, 1080, 1080, false, "message 1022"},
        {22, 1087, 1087, false, ""},
        {23, 113, 113, false, ""},
        {24, 401, 401, false, ""},
        {25, 1077, 1077, false, ""},
        {26, 175, 175, false, ""},
        {27, 116, 116, false, ""},
        {28, 0, 0, false, ""},
        {100, -2, -2, false, "extension 10,20"},
        {199, -2, -2, false, "extension 10,20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.activeLayer ? " with a layer" : ""));
        MapToolMode = c.mode;
        f.window.activeLayer = c.activeLayer ? lines : nullptr;
        f.window.cursor = -2; // the extension sets its own
        f.view->OnSetCursor(0);
        EXPECT_EQ(f.window.cursor, c.cursor);
        f.window.cursor = -2;
        f.view->OnSetCursor(MK_SHIFT);
        EXPECT_EQ(f.window.cursor, c.shiftCursor);

        routeLog->clear();
        queries.log.clear();
        extension.log.clear();
        user.messages.clear();
        user.beeps = 0;
        f.view->OnLButtonDown(MK_LBUTTON, 10, 20);
        EXPECT_EQ(f.view->GetTool(), nullptr);
        std::vector<std::string> reached;
        for (const std::string& entry : *routeLog)
            reached.push_back("route " + entry);
        for (const std::string& entry : queries.log)
            reached.push_back(entry);
        for (const std::string& entry : extension.log)
            reached.push_back(entry);
        for (unsigned id : user.MessageIds())
            reached.push_back("message " + std::to_string(id));
        if (user.beeps)
            reached.push_back("beep");
        EXPECT_EQ(reached, c.click.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.click});
    }
    // The route points were made once, by the first route point click.
    EXPECT_NE(f.view->GetRoutePoints(), nullptr);
}

TEST_F(ToolModesTest, AToolSetsItsCursorAndTheDefaultOtherwise)
{
    CToolFixture f(doc);
    f.view->realTools = true;
    MapToolMode = 1;
    f.view->OnMouseMove(0, 5, 5);
    ASSERT_EQ(f.view->CreateToolForMode(), 1);
    f.view->OnSetCursor(MK_SHIFT);
    EXPECT_EQ(f.window.cursor, 115);
    f.view->OnSetCursor(0);
    EXPECT_EQ(f.window.cursor, 114);
    // The zoom window shows its cursor only over a waiting rectangle.
    f.view->SetToolMode(0);
    ASSERT_EQ(f.view->CreateToolForMode(), 1);
    f.view->OnSetCursor(0);
    EXPECT_EQ(f.window.cursor, 0);
}

TEST_F(ToolModesTest, ModeSwitching)
{
    CLoggingLayerQueries queries;
    CDrawToolMaker drawTools;
    auto editable = MakeExtentLayer("Lines", kLimits);
    editable->SetType(CLayer::kLine);
    CLayer* lines = doc.Layers().GetAt(doc.AddLayer(std::move(editable), false));
    auto points = MakeExtentLayer("Points", kLimits);
    points->SetType(CLayer::kPoint);
    CLayer* pointLayer = doc.Layers().GetAt(doc.AddLayer(std::move(points), false));
    auto readOnly = MakeExtentLayer("Fixed", kLimits, CLayer::kDefaultFlags & ~(CLayer::kInfoEditable | CLayer::kObjectsEditable));
    readOnly->SetType(CLayer::kLine);
    CLayer* fixed = doc.Layers().GetAt(doc.AddLayer(std::move(readOnly), false));

    enum class Tool { kNone, kEditor, kEditorWithZoomIn, kDraw, kLineEdit };
    struct Case {
        const char* name;
        std::function<void(CScriptedEditTool&, CToolFixture&)> setUp;
        int target;
        std::vector<int> answers;
        int expectedMode;
        Tool expectedTool;
        std::vector<std::string> expectedLog;
    };
    const Case cases[] = {
        {"zoom in over a tool that takes a navigation child",
         [](CScriptedEditTool& e, CToolFixture&) { e.acceptsChild = 1; }, 1, {}, 1, Tool::kEditorWithZoomIn, {}},
        {"a tool that takes no child is asked to quit", [](CScriptedEditTool&, CToolFixture&) {}, 1, {}, 1, Tool::kNone,
         {"editor may quit", "editor deleted"}},
        {"the distance tool deletes the child and asks the tool to quit",
         [](CScriptedEditTool& e, CToolFixture& f) {
             e.acceptsChild = 1;
             f.view->SetToolMode(1);
         },
         5, {}, 5, Tool::kNone, {"editor may quit", "editor deleted"}},
        {"a refusal keeps mode and tool", [](CScriptedEditTool& e, CToolFixture&) { e.mayQuit = 0; }, 5, {}, 8,
         Tool::kEditor, {"editor may quit"}},
        {"delete after Yes stays in mode 8",
         [lines](CScriptedEditTool& e, CToolFixture&) {
             e.selectedLayer = lines;
             e.records = {3, 4};
         },
         10, {IDYES}, 8, Tool::kEditor, {"save 2", "clear"}},
        {"delete after No only clears",
         [lines](CScriptedEditTool& e, CToolFixture&) {
             e.selectedLayer = lines;
             e.records = {3};
         },
         10, {IDNO}, 8, Tool::kEditor, {"clear"}},
        {"delete without a selection asks nothing", [](CScriptedEditTool&, CToolFixture&) {}, 10, {}, 8, Tool::kEditor,
         {}},
        {"attributes of the one selected record open its dialog",
         [lines](CScriptedEditTool& e, CToolFixture&) {
             e.selectedLayer = lines;
             e.records = {7};
         },
         11, {}, 8, Tool::kEditor, {"edit Lines 7"}},
        {"attributes of a layer without 0x10 leave mode 8",
         [fixed](CScriptedEditTool& e, CToolFixture&) {
             e.selectedLayer = fixed;
             e.records = {7};
         },
         11, {}, 11, Tool::kNone, {"editor may quit", "editor deleted"}},
        {"attributes with two selected leave mode 8",
         [lines](CScriptedEditTool& e, CToolFixture&) {
             e.selectedLayer = lines;
             e.records = {7, 8};
         },
         11, {}, 11, Tool::kNone, {"editor may quit", "editor deleted"}},
        {"geometry of the active line layer's record is edited",
         [lines](CScriptedEditTool& e, CToolFixture& f) {
             e.selectedLayer = lines;
             e.records = {7};
             f.window.activeLayer = lines;
         },
         9, {}, 9, Tool::kLineEdit, {"editor may quit", "editor deleted"}},
        {"geometry of a layer that is not active is not edited",
         [lines](CScriptedEditTool& e, CToolFixture&) {
             e.selectedLayer = lines;
             e.records = {7};
         },
         9, {}, 9, Tool::kNone, {"editor may quit", "editor deleted"}},
        {"geometry of a point layer is not edited",
         [pointLayer](CScriptedEditTool& e, CToolFixture& f) {
             e.selectedLayer = pointLayer;
             e.records = {7};
             f.window.activeLayer = pointLayer;
         },
         9, {}, 9, Tool::kNone, {"editor may quit", "editor deleted"}},
        {"geometry without 0x08 is not edited",
         [fixed](CScriptedEditTool& e, CToolFixture& f) {
             e.selectedLayer = fixed;
             e.records = {7};
             f.window.activeLayer = fixed;
         },
         9, {}, 9, Tool::kNone, {"editor may quit", "editor deleted"}},
        {"geometry of a modified tool's record is not edited",
         [lines](CScriptedEditTool& e, CToolFixture& f) {
             e.selectedLayer = lines;
             e.records = {7};
             e.SetModified(1);
             f.window.activeLayer = lines;
         },
         9, {}, 9, Tool::kNone, {"editor may quit", "editor deleted"}},
        {"mode 7 makes its tool at once", [](CScriptedEditTool&, CToolFixture&) {}, 7, {}, 7, Tool::kDraw,
         {"editor may quit", "editor deleted"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CToolFixture f(doc);
        // A new view installs the views' queries.
        SetLayerQueries(&queries);
        auto log = std::make_shared<std::vector<std::string>>();
        auto editor = std::make_unique<CScriptedEditTool>(f.view.get(), log);
        CScriptedEditTool* e = editor.get();
        f.view->SetTool(std::move(editor), 8);
        MapToolMode = 8;
        c.setUp(*e, f);
        log->clear();
        queries.log.clear();
        user.answers.assign(c.answers.begin(), c.answers.end());
        user.messages.clear();

        f.view->SetToolMode(c.target);
        EXPECT_EQ(MapToolMode, c.expectedMode);
        std::vector<std::string> got = *log;
        got.insert(got.end(), queries.log.begin(), queries.log.end());
        EXPECT_EQ(got, c.expectedLog);
        CMapTool* tool = f.view->GetTool();
        switch (c.expectedTool) {
        case Tool::kNone:
            EXPECT_EQ(tool, nullptr);
            break;
        case Tool::kEditor:
            EXPECT_EQ(tool, e);
            EXPECT_EQ(tool->GetChild(), nullptr);
            break;
        case Tool::kEditorWithZoomIn:
            EXPECT_EQ(tool, e);
            EXPECT_NE(dynamic_cast<CZoomInTool*>(tool->GetChild()), nullptr);
            break;
        case Tool::kDraw:
            ASSERT_NE(tool, nullptr);
            EXPECT_EQ(f.view->GetLastToolMode(), 7);
            EXPECT_EQ(drawTools.log->size(), 0u);
            break;
        case Tool::kLineEdit:
            EXPECT_NE(dynamic_cast<CLineEditTool*>(tool), nullptr);
            EXPECT_EQ(f.view->GetLastToolMode(), 9);
            break;
        }
        if (c.target == 10 && !c.answers.empty()) {
            EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{2024});
        }
        f.view->SetTool(nullptr, 0);
    }
}

TEST_F(ToolModesTest, ActivationKeepsAModifiedToolAndPutsItsModeBack)
{
    CToolFixture f(doc);
    auto log = std::make_shared<std::vector<std::string>>();
    auto editor = std::make_unique<CScriptedEditTool>(f.view.get(), log);
    CScriptedEditTool* e = editor.get();
    e->acceptsChild = 1;
    f.view->SetTool(std::move(editor), 8);
    MapToolMode = 8;
    f.view->SetToolMode(3);
    ASSERT_NE(e->GetChild(), nullptr);

    // Another view chose the distance tool meanwhile.
    e->SetModified(1);
    MapToolMode = 5;
    f.view->SyncToolMode(0);
    EXPECT_EQ(f.view->GetTool(), e);
    f.view->SyncToolMode(1);
    EXPECT_EQ(f.view->GetTool(), e);
    EXPECT_EQ(e->GetChild(), nullptr);
    EXPECT_EQ(MapToolMode, 8);
    EXPECT_EQ(host.scaleTexts.back(), f.view->GetScaleDenominator());

    // Not modified, it gives way to the mode chosen elsewhere.
    e->SetModified(0);
    MapToolMode = 5;
    f.view->SyncToolMode(1);
    EXPECT_EQ(f.view->GetTool(), nullptr);
    EXPECT_EQ(MapToolMode, 5);
    // Leaving deletes a tool that is not modified.
    f.view->realTools = true;
    ASSERT_EQ(f.view->CreateToolForMode(), 1);
    f.view->SyncToolMode(0);
    EXPECT_EQ(f.view->GetTool(), nullptr);
}

TEST_F(ToolModesTest, ToolCommandsAndTheirStates)
{
    CToolFixture f(doc);
    // Without a tool the command is disabled and unchecked.
    CCommandState state(30209);
    f.view->UpdateToolCommandUI(state);
    EXPECT_TRUE(state.IsEnableSet());
    EXPECT_FALSE(state.IsEnabled());
    EXPECT_EQ(state.GetCheck(), 0);
    // Esc and ResetTool end in mode 0.
    MapToolMode = 5;
    EXPECT_EQ(f.view->ResetTool(), 1);
    EXPECT_EQ(MapToolMode, 0);
}
