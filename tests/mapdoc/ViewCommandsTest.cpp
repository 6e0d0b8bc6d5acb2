// The map view's own commands on a view of known transform: 400 x 200
// pixels over 2000 x 1000 metres, five metres a pixel.
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/FoundObject.h"
#include "mapdoc/LineOverlay.h"
#include "mapdoc/ObjectEditTool.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/TextOverlay.h"
#include "platform/DrawInterrupt.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/WindowSurface.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/SearchDialogsDouble.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class CMenuWindow : public CRecordingWindow {
public:
    CWindowSurface* GetSurface() override { return &surface; }
    void ShowContextMenu(int menuId, const CPoint& client) override { menus.push_back(menuId); }
    CPoint ClientToScreen(const CPoint& client) override { return CPoint(client.x + 1000, client.y + 500); }
    CWindowSurface surface{400, 200, 96};
    std::vector<int> menus;
};

class CLinksHost : public CRecordingViewHost {
public:
    std::vector<std::string> GetLinkedMapPaths() override { return links; }
    bool OpenMapDocument(const std::string& path) override
    {
        opened.push_back(path);
        return true;
    }
    std::vector<std::string> links;
    std::vector<std::string> opened;
};

// A selection tool with its selection set by the test.
class CSelectionTool : public CObjectEditTool {
public:
    using CObjectEditTool::CObjectEditTool;
    int GetSelectedCount() const override { return layer ? 1 : 0; }
    bool GetSelectedObject(int, CLayer*& l, int& record) const override
    {
        l = layer;
        record = 0;
        return layer != nullptr;
    }
    CLayer* layer = nullptr;
};

class CSelectionView : public CDrelView {
public:
    using CDrelView::CDrelView;
    CSelectionTool* selection = nullptr;

protected:
    std::unique_ptr<CMapTool> MakeTool(int mode) override
    {
        if (mode != kModeSelectForEdit)
            return CDrelView::MakeTool(mode);
        auto tool = std::make_unique<CSelectionTool>(this);
        selection = tool.get();
        return tool;
    }
};

class ViewCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        view.SetWindow(&window);
        view.OnSize(400, 200);
        view.ZoomToRect(CMapRect(0, 1000, 2000, 0), 0);
    }
    void TearDown() override
    {
        MapToolMode = 0;
        SetDrawStopFlag(0);
        SetRightClickFlag(0);
    }

    CLayer& AddPoints(const std::string& name, const std::vector<CMapPoint>& points)
    {
        {
            CGdbSource source;
            MakePointLayer(source, dir.File(name + ".gdb"), points);
        }
        auto layer = std::make_unique<CLayer>(name, dir.File(name + ".gdb"), CLayer::kPoint);
        layer->SetIdField("NAME");
        CLayer& added = *layer;
        doc.AddLayer(std::move(layer), false);
        return added;
    }

    std::vector<std::string> OverlayKinds() const
    {
        std::vector<std::string> kinds;
        for (int i = 0; i < view.GetOverlayCount(); ++i) {
            CMapOverlay* o = view.GetOverlay(i);
            if (auto* text = dynamic_cast<CTextOverlay*>(o))
                kinds.push_back("text " + text->GetText());
            else if (dynamic_cast<CPointOverlay*>(o))
                kinds.push_back("point");
            else if (dynamic_cast<CLineOverlay*>(o))
                kinds.push_back("line");
            else
                kinds.push_back("other");
        }
        return kinds;
    }

    CLinksHost host;
    CCallLog calls;
    CRecordingHost documentHost{calls};
    CScriptedUserServices user;
    CScriptedSearchDialogs dialogs;
    CMenuWindow window;
    CTempDir dir;
    CDrelDoc doc;
    CSelectionView view{doc};
};

TEST_F(ViewCommands, AFoundPointIsShownAtTheOptimalScaleTheMinimumRestored)
{
    const double minimum = doc.GetMinUnitsPerPixel();
    CFoundObject found;
    found.kind = 1;
    found.point = CMapPoint(1500, 250);
    found.label = "Pylimo g. 12";
    view.ShowFoundObject(found, true);
    EXPECT_DOUBLE_EQ(view.GetScaleDenominator(), doc.Settings().optimScale);
    EXPECT_NEAR(view.GetMapExtent().Center().x, 1500, 1e-6);
    EXPECT_EQ(doc.GetMinUnitsPerPixel(), minimum);
    EXPECT_EQ(OverlayKinds(), (std::vector<std::string>{"text Pylimo g. 12", "point"}));
    EXPECT_TRUE(view.AreOverlaysShown());

    // Between two houses: the line, both labels and the point; the box of both, enlarged.
    found.kind = 2;
    found.point = CMapPoint(1000, 500);
    found.second = CMapPoint(500, 500);
    found.third = CMapPoint(1500, 500);
    found.secondLabel = "16";
    view.ShowFoundObject(found, true);
    EXPECT_EQ(OverlayKinds(), (std::vector<std::string>{"line", "text Pylimo g. 12", "text 16", "point"}));
    EXPECT_GE(view.GetMapExtent().Width(), 1200 - 1e-6);
    EXPECT_GT(view.GetScaleDenominator(), doc.Settings().optimScale);
}

TEST_F(ViewCommands, WithoutZoomAFoundPointMovesTheViewOnlyFromOutside)
{
    view.SetScale(5000);
    const CMapRect before = view.GetMapExtent();
    CFoundObject found;
    found.kind = 0;
    found.point = before.Center();
    view.ShowFoundObject(found, false);
    EXPECT_EQ(view.GetMapExtent(), before);
    found.point = CMapPoint(before.right + 100, before.bottom - 100);
    view.ShowFoundObject(found, false);
    EXPECT_NEAR(view.GetMapExtent().Center().x, found.point.x, 1e-6);
    EXPECT_DOUBLE_EQ(view.GetScaleDenominator(), 5000);
    found.kind = -1;
    view.ShowFoundObject(found, false);
    EXPECT_EQ(view.GetOverlayCount(), 0);
}

TEST_F(ViewCommands, GoingToCoordinatesInViewAtAFinerScaleOnlyMarks)
{
    view.SetScale(5000);
    const CMapRect before = view.GetMapExtent();
    dialogs.typedPoint = before.Center();
    dialogs.typedPoint.x += 10;
    view.GoToCoordinates();
    EXPECT_EQ(view.GetMapExtent(), before);
    EXPECT_EQ(OverlayKinds(), std::vector<std::string>{"point"});
    EXPECT_EQ(dialogs.askedGeographic, std::vector<bool>{false});

    // Coarser than the optimum: there at the optimum.
    view.SetScale(50000);
    dialogs.typedPoint = CMapPoint(300, 300);
    view.GoToCoordinates();
    EXPECT_DOUBLE_EQ(view.GetScaleDenominator(), 10000);
    EXPECT_NEAR(view.GetMapExtent().Center().y, 300, 1e-6);
    EXPECT_EQ(view.GetOverlayCount(), 1);

    dialogs.pointTyped = false;
    view.GoToCoordinates();
    EXPECT_EQ(view.GetOverlayCount(), 1);
}

TEST_F(ViewCommands, TheRightClickFlagEatsTheNextMenuTheMenuFollowsTheSelection)
{
    SetRightClickFlag(1);
    view.OnContextMenu(10, 20);
    EXPECT_TRUE(window.menus.empty());
    EXPECT_EQ(GetRightClickFlag(), 0);
    view.OnContextMenu(10, 20);
    EXPECT_EQ(window.menus, std::vector<int>{186});
    EXPECT_EQ(view.GetContextPoint(), CPoint(10, 20));

    CLayer& points = AddPoints("Taskai", {{1, 1}});
    auto lines = std::make_unique<CLayer>("Keliai", dir.File("keliai.gdb"), CLayer::kLine);
    MapToolMode = kModeSelectForEdit;
    ASSERT_TRUE(view.CreateToolForMode());
    ASSERT_TRUE(view.selection);
    EXPECT_EQ(view.GetContextMenuId(), 186); // nothing selected
    view.selection->layer = &points;
    EXPECT_EQ(view.GetContextMenuId(), 279);
    view.selection->layer = lines.get();
    EXPECT_EQ(view.GetContextMenuId(), 278);
    view.selection->SetModified(1);
    EXPECT_EQ(view.GetContextMenuId(), 280);
    view.selection->SetModified(0);
}

TEST_F(ViewCommands, ContextCommandsAtTheMenusPoint)
{
    view.OnContextMenu(100, 50); // map (500, 750)
    const double scale = view.GetScaleDenominator();
    view.ContextZoomIn();
    EXPECT_DOUBLE_EQ(view.GetScaleDenominator(), scale / 2);
    view.ContextZoomOut();
    EXPECT_DOUBLE_EQ(view.GetScaleDenominator(), scale);
    // The menu's client point, where it lies on the map now.
    const CMapPoint there = view.ClientToMap(100, 50);
    view.ContextCenter();
    EXPECT_NEAR(view.GetMapExtent().Center().x, there.x, 1e-6);
    EXPECT_NEAR(view.GetMapExtent().Center().y, there.y, 1e-6);
}

TEST_F(ViewCommands, ObjectsAtAPointListAtMost200)
{
    AddPoints("Daug", std::vector<CMapPoint>(300, CMapPoint(1000, 500)));
    AddPoints("Toli", {{1500, 900}});
    view.OnContextMenu(200, 100);
    view.ShowObjectsAt();
    ASSERT_EQ(dialogs.objectLists, 1);
    EXPECT_EQ(dialogs.hits.size(), 200u);
    EXPECT_EQ(dialogs.screenPoint, CPoint(1200, 600));
    EXPECT_DOUBLE_EQ(dialogs.distance, 0);

    // Nothing near but one point 10 metres off: it alone, the distance 1.5 times its.
    doc.RemoveLayer(doc.GetLayer(0), false, false, false);
    view.OnContextMenu(298, 18); // map (1490, 910)
    view.ShowObjectsAt();
    ASSERT_EQ(dialogs.hits.size(), 1u);
    EXPECT_EQ(dialogs.hits[0].layer->GetName(), "Toli");
    EXPECT_NEAR(dialogs.hits[0].distance, std::hypot(10, 10), 1e-6);
    EXPECT_EQ(dialogs.hits[0].file, "");
    EXPECT_NEAR(dialogs.distance, 1.5 * std::hypot(10, 10), 1e-6);
}

TEST_F(ViewCommands, TilesOfAManyFileLayerOneByOneAnInterruptEndsSilently)
{
    {
        CGdbSource a, b;
        MakePointLayer(a, dir.File("a.gdb"), {{1000, 500}});
        MakePointLayer(b, dir.File("b.gdb"), {{1001, 501}, {1002, 502}});
    }
    auto tiles = std::make_unique<CLayer>("Plyteles", dir.File("plyteles.gdb"), CLayer::kPoint);
    const CMapRect farAway(5000, 6000, 6000, 5000);
    tiles->AddFile(dir.File("a.gdb"), &farAway); // its extent says it lies elsewhere
    const CMapRect here(900, 600, 1100, 400);
    tiles->AddFile(dir.File("b.gdb"), &here);
    CLayer& layer = *tiles;
    doc.AddLayer(std::move(tiles), false);
    view.OnContextMenu(200, 100);
    view.ShowObjectsAt();
    ASSERT_EQ(dialogs.hits.size(), 2u);
    // Each hit keeps the file it came from, and how far it lies.
    for (const CObjectHit& hit : dialogs.hits)
        EXPECT_EQ(hit.file, dir.File("b.gdb"));
    EXPECT_NEAR(dialogs.hits[0].distance, std::hypot(1, 1), 1e-6);
    EXPECT_NEAR(dialogs.hits[1].distance, std::hypot(2, 2), 1e-6);
    EXPECT_EQ(layer.GetPath(), dir.File("plyteles.gdb"));
    EXPECT_TRUE(layer.HasFlag(CLayer::kManyFiles));

    SetDrawStopFlag(1);
    view.ShowObjectsAt();
    EXPECT_EQ(dialogs.objectLists, 1);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(ViewCommands, TheDetailMapIsTheLargestLinkedMapOfHalfTheAreaAtMost)
{
    const auto link = [&](const std::string& name, const char* limits, int units) {
        const std::string map = dir.File(name + ".map");
        CIniFile ini(CDrelDoc::GetSettingsFilePath(map));
        ini.SetString("Map", "Limits", limits);
        ini.SetInt("Map", "MapUnits", units);
        EXPECT_TRUE(ini.Save());
        host.links.push_back(map);
        return map;
    };
    // This map: 2000 x 1000. The point (600, 400).
    link("quarter", "500 600 1500 100", 1);      // 1000 x 500: a quarter
    const std::string half = link("half", "0 1000 1000 0", 1); // exactly half
    link("larger", "0 1000 1200 0", 1);          // more than half
    link("degrees", "500 900 700 300", 0);       // other units
    link("elsewhere", "1500 1000 1900 800", 1);  // not holding the point
    EXPECT_EQ(view.OpenDetailMapAt(CMapPoint(600, 400)), 1);
    EXPECT_EQ(host.opened, std::vector<std::string>{half});

    host.opened.clear();
    EXPECT_EQ(view.OpenDetailMapAt(CMapPoint(1950, 950)), 0);
    EXPECT_TRUE(host.opened.empty());
}

} // namespace
