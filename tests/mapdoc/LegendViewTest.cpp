#include "mapdoc/LegendView.h"

#include "layers/Sublayer.h"
#include "mapdoc/LegendList.h"
#include "platform/VirtualKeys.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The list box without a window: rows in a vector, heights as the real
// one measures them (18, and 16 more for a layer listing its classes).
class CFakeList : public ILegendList {
public:
    struct Row {
        CLayer* layer;
        int check;
        int height;
    };

    int InsertLayer(int index, CLayer* layer, int check) override
    {
        const int at = index < 0 || index > GetCount() ? GetCount() : index;
        rows.insert(rows.begin() + at, {layer, check, MeasureRow(*layer)});
        if (selected >= at)
            ++selected;
        return at;
    }
    void DeleteRow(int index) override
    {
        rows.erase(rows.begin() + index);
        if (selected == index)
            selected = -1;
        else if (selected > index)
            --selected;
    }
    void ResetContent() override
    {
        rows.clear();
        selected = -1;
        ++resets;
    }
    int GetCount() const override { return static_cast<int>(rows.size()); }
    CLayer* GetLayer(int index) const override
    {
        return index >= 0 && index < GetCount() ? rows[static_cast<size_t>(index)].layer : nullptr;
    }
    int FindLayer(const CLayer* layer) const override
    {
        for (int i = 0; i < GetCount(); ++i)
            if (rows[static_cast<size_t>(i)].layer == layer)
                return i;
        return -1;
    }
    int GetCheck(int index) const override { return rows.at(static_cast<size_t>(index)).check; }
    void SetCheck(int index, int check) override { rows.at(static_cast<size_t>(index)).check = check; }
    int GetCurSel() const override { return selected; }
    void SetCurSel(int index) override { selected = index >= 0 && index < GetCount() ? index : -1; }
    int MeasureRow(const CLayer& layer) const override
    {
        return layer.HasFlag(CLayer::kClassesInLegend) ? 34 : 18;
    }
    int GetRowHeight(int index) const override { return rows.at(static_cast<size_t>(index)).height; }
    void RefreshRow(int index) override
    {
        rows.at(static_cast<size_t>(index)).height = MeasureRow(*rows[static_cast<size_t>(index)].layer);
        ++refreshes;
    }
    void Repaint() override { ++repaints; }
    void SetShowsGroupContents(bool on) override { groupContents = on; }
    void SetRedraw(bool on) override { redrawOn = on; }

    // The row's check box clicked, as the list box does it: the box
    // toggles and the owner hears of the change.
    void ClickBox(ILegendListOwner& owner, int row)
    {
        owner.OnBoxClick(row);
        SetCheck(row, GetCheck(row) ? 0 : 1);
        owner.OnCheckChange(row);
    }
    // A row dropped as the list box drops it: moved to the target's
    // place for kinds 0 and 3, taken out for the others; then the owner hears.
    void Drop(ILegendListOwner& owner, CLayer* dragged, CLayer* target, int kind)
    {
        const int from = FindLayer(dragged), onto = FindLayer(target);
        ASSERT_GE(from, 0);
        ASSERT_GE(onto, 0);
        const int check = GetCheck(from);
        DeleteRow(from);
        if (kind == ILegendListOwner::kDropBefore || kind == ILegendListOwner::kDropAfter)
            SetCurSel(InsertLayer(onto, dragged, check));
        owner.OnLayerDrop({dragged, target, kind});
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const Row& row : rows)
            names.push_back(row.layer->GetName() + (row.check ? "" : "-"));
        return names;
    }

    std::vector<Row> rows;
    int selected = -1;
    bool groupContents = false;
    bool redrawOn = true;
    int resets = 0;
    int refreshes = 0;
    int repaints = 0;
};

class CFakeFrame : public ILegendFrame {
public:
    CDrelView* GetMapView() override { return view; }
    void FocusMapView() override { log.push_back("focus map"); }
    void ShowGroupMenu() override { log.push_back("menu 388"); }
    void SendToMapFrame(int id) override { log.push_back("frame " + std::to_string(id)); }

    CDrelView* view = nullptr;
    std::vector<std::string> log;
};

//  0 Roads       line, working, shown
//  1 City        group of 2, working
//  2   Parks     area, working
//  3   Water     group of 1, working
//  4     Lakes   area, working
//  5 Rivers      line, working, hidden
//  6 Photo       raster, neither working nor shown
struct CLegendMap {
    CLegendMap()
    {
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        const uint32_t shownWorking = CLayer::kShown | CLayer::kWorking;
        doc.AddLayer(MakeExtentLayer("Roads", CMapRect(0, 1000, 2000, 0), shownWorking), false);
        doc.AddLayer(MakeGroup("City", 2, CLayer::kShown), false);
        doc.AddLayer(MakeExtentLayer("Parks", CMapRect(0, 1000, 1000, 0), shownWorking), false);
        doc.AddLayer(MakeGroup("Water", 1, CLayer::kShown), false);
        doc.AddLayer(MakeExtentLayer("Lakes", CMapRect(1000, 1000, 2000, 0), shownWorking), false);
        doc.AddLayer(MakeLayer("Rivers", CLayer::kLine, CLayer::kWorking), false);
        doc.AddLayer(MakeLayer("Photo", CLayer::kRaster, 0), false);
        doc.Settings().legendType = 0;
        view = std::make_unique<CTestView>(doc);
        view->SetWindow(&window);
        view->OnSize(200, 100);
        view->SetScaleDenominator(25000);
        frame.view = view.get();
        legend = std::make_unique<CLegendView>(doc, list, frame);
        legend->OnInitialUpdate();
        doc.SetModifiedFlag(false);
    }

    CDrelDoc doc;
    CRecordingWindow window;
    std::unique_ptr<CTestView> view;
    CFakeList list;
    CFakeFrame frame;
    std::unique_ptr<CLegendView> legend;
};

class LegendViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MapToolMode = 0;
        Reset();
    }
    // A map as it was at the start.
    void Reset()
    {
        m.reset();
        host.openGroup = nullptr;
        host.editedLayer = nullptr;
        viewHost.layerOrder = 1;
        m = std::make_unique<CLegendMap>();
    }

    CLayer* Layer(const std::string& name) const { return m->doc.Layers().FindByName(name); }
    void Select(const std::string& name) { m->list.SetCurSel(m->list.FindLayer(Layer(name))); }
    bool Run(int id) { return m->legend->OnCommand(id); }
    CCommandState Update(int id)
    {
        CCommandState state(id);
        m->legend->OnUpdateCommand(state);
        return state;
    }
    // Opens the group through its row, as a double click does.
    void Open(const std::string& group)
    {
        Select(group);
        m->legend->OnListCommand(30267);
    }

    CRecordingViewHost viewHost;
    CCallLog calls;
    CRecordingHost host{calls};
    CScriptedUserServices user;
    CFakeLayerData data;
    std::unique_ptr<CLegendMap> m;
};

using Names = std::vector<std::string>;

TEST_F(LegendViewTest, RowsByOrderTypeAndOpenGroup)
{
    const struct {
        int order;
        int type;
        std::vector<std::string> open; // groups opened one inside the other
        Names rows;
    } cases[] = {
        {1, 0, {}, {"Photo-", "Rivers-", "City", "Roads"}},
        {0, 0, {}, {"Roads", "City", "Rivers-", "Photo-"}},
        {1, 1, {}, {"Rivers-", "City", "Roads"}},
        {1, 2, {}, {"City", "Roads"}},
        {1, 0, {"City"}, {"City", "Water", "Parks"}},
        {0, 0, {"City"}, {"City", "Parks", "Water"}},
        {1, 0, {"City", "Water"}, {"Water", "Lakes"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.rows));
        viewHost.layerOrder = c.order;
        m->doc.Settings().legendType = c.type;
        m->legend->OnUpdate(m->doc, kHintLegendRows);
        for (const std::string& group : c.open)
            Open(group);
        EXPECT_EQ(m->list.Names(), c.rows);
        EXPECT_EQ(m->list.groupContents, !c.open.empty());
        EXPECT_EQ(m->legend->IsGroupOpen(), c.open.empty() ? 0 : 1);
        EXPECT_EQ(m->legend->GetOpenGroup(), c.open.empty() ? nullptr : Layer(c.open.back()));
        EXPECT_TRUE(m->list.redrawOn);
        // Back to the top.
        while (m->legend->GetOpenGroup()) {
            m->list.SetCurSel(0);
            m->legend->OnListCommand(30268);
        }
    }
}

TEST_F(LegendViewTest, UpOneLevelAndRemovingOnTheOpenGroupsRow)
{
    Open("City");
    Open("Water");
    ASSERT_EQ(m->list.Names(), (Names{"Water", "Lakes"}));

    // On a member's row the level stays.
    Select("Lakes");
    m->legend->OnListCommand(30268);
    EXPECT_EQ(m->legend->GetOpenGroup(), Layer("Water"));

    // The open group's own row is the way up; removing it is refused.
    m->list.SetCurSel(0);
    Run(30071);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1022});
    EXPECT_EQ(m->doc.GetLayerCount(), 7);
    m->legend->OnListCommand(30268);
    EXPECT_EQ(m->legend->GetOpenGroup(), Layer("City"));
    EXPECT_EQ(m->list.Names(), (Names{"City", "Water", "Parks"}));
    EXPECT_EQ(m->legend->GetActiveLayer(), Layer("Water")) << "the group come out of stays selected";
    m->list.SetCurSel(0);
    m->legend->OnListCommand(30268);
    EXPECT_EQ(m->legend->GetOpenGroup(), nullptr);
    EXPECT_EQ(m->legend->GetActiveLayer(), Layer("City"));

    // Selecting an entry of a closed group opens it.
    m->legend->SelectLayer(Layer("Lakes"));
    EXPECT_EQ(m->legend->GetOpenGroup(), Layer("Water"));
    EXPECT_EQ(m->legend->GetActiveLayer(), Layer("Lakes"));
    m->legend->SelectLayer(nullptr);
    EXPECT_EQ(m->legend->GetActiveLayer(), nullptr);
}

TEST_F(LegendViewTest, DropsMoveLayersAndMembers)
{
    // Layer names after each drop and the member counts of City and Water.
    const struct {
        int order;
        std::string open;
        std::string dragged;
        std::string target;
        int kind;
        Names layers;
        int city;
        int water;
    } cases[] = {
        // Row above the target's in reverse order: after it in the map.
        {1, "", "Roads", "Rivers", ILegendListOwner::kDropBefore,
         {"City", "Parks", "Water", "Lakes", "Rivers", "Roads", "Photo"}, 2, 1},
        {0, "", "Roads", "Rivers", ILegendListOwner::kDropBefore,
         {"City", "Parks", "Water", "Lakes", "Roads", "Rivers", "Photo"}, 2, 1},
        {1, "", "Rivers", "City", ILegendListOwner::kDropAfter,
         {"Roads", "Rivers", "City", "Parks", "Water", "Lakes", "Photo"}, 2, 1},
        {0, "", "Photo", "City", ILegendListOwner::kDropAfter,
         {"Roads", "City", "Parks", "Water", "Lakes", "Photo", "Rivers"}, 2, 1},
        {1, "", "Rivers", "City", ILegendListOwner::kDropIntoGroup,
         {"Roads", "City", "Parks", "Water", "Lakes", "Rivers", "Photo"}, 3, 1},
        {1, "City", "Parks", "City", ILegendListOwner::kDropToParent,
         {"Roads", "Parks", "City", "Water", "Lakes", "Rivers", "Photo"}, 1, 1},
        {1, "Water", "Lakes", "Water", ILegendListOwner::kDropToParent,
         {"Roads", "City", "Parks", "Lakes", "Water", "Rivers", "Photo"}, 3, 0},
        {1, "City", "Parks", "Water", ILegendListOwner::kDropIntoGroup,
         {"Roads", "City", "Water", "Lakes", "Parks", "Rivers", "Photo"}, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dragged + " on " + c.target + " " + std::to_string(c.kind));
        Reset();
        viewHost.layerOrder = c.order;
        if (!c.open.empty()) {
            m->legend->SelectLayer(Layer(c.open));
            m->legend->OnListCommand(30267);
        }
        CHintRecorder others(m->doc);
        m->list.Drop(*m->legend, Layer(c.dragged), Layer(c.target), c.kind);
        EXPECT_EQ(LayerNames(m->doc), c.layers);
        EXPECT_EQ(Layer("City")->GetMemberCount(), c.city);
        EXPECT_EQ(Layer("Water")->GetMemberCount(), c.water);
        EXPECT_TRUE(m->doc.IsModified());
        EXPECT_NE(std::find(others.hints.begin(), others.hints.end(), kHintLegendRows), others.hints.end());
    }
}

TEST_F(LegendViewTest, DropsKeepGroupsShownAsTheirMembers)
{
    // A hidden layer into a shown group leaves it partly shown; the last
    // hidden member moving out shows its group whole again.
    m->list.Drop(*m->legend, Layer("Rivers"), Layer("City"), ILegendListOwner::kDropIntoGroup);
    EXPECT_TRUE(Layer("City")->HasFlag(CLayer::kPartlyVisibleGroup));
    m->legend->SelectLayer(Layer("Rivers"));
    ASSERT_EQ(m->legend->GetOpenGroup(), Layer("City"));
    m->list.Drop(*m->legend, Layer("Rivers"), Layer("Water"), ILegendListOwner::kDropIntoGroup);
    EXPECT_TRUE(Layer("Water")->HasFlag(CLayer::kPartlyVisibleGroup));
    EXPECT_TRUE(Layer("City")->HasFlag(CLayer::kPartlyVisibleGroup)) << "through Water";
    m->legend->SelectLayer(Layer("Rivers"));
    m->list.Drop(*m->legend, Layer("Rivers"), Layer("Water"), ILegendListOwner::kDropToParent);
    EXPECT_FALSE(Layer("Water")->HasFlag(CLayer::kPartlyVisibleGroup));
    EXPECT_TRUE(Layer("Water")->HasFlag(CLayer::kShown));

    // The legend does not hear its own rebuild; the map redraws for a shown layer.
    m->legend->SelectLayer(Layer("Roads"));
    ASSERT_EQ(m->legend->GetOpenGroup(), nullptr);
    CHintRecorder others(m->doc);
    const int resets = m->list.resets;
    m->list.Drop(*m->legend, Layer("Roads"), Layer("City"), ILegendListOwner::kDropBefore);
    EXPECT_EQ(m->list.resets, resets);
    EXPECT_EQ(others.hints, (std::vector<uint32_t>{kHintLegendRows, kHintRedraw}));
    m->doc.Settings().legendAutoUpdate = 0;
    others.hints.clear();
    m->list.Drop(*m->legend, Layer("Roads"), Layer("City"), ILegendListOwner::kDropAfter);
    EXPECT_EQ(others.hints, (std::vector<uint32_t>{kHintLegendRows}));
}

TEST_F(LegendViewTest, HintsKeepTheRows)
{
    // 1: a new layer comes on top, selected; inside the open group below its row.
    m->doc.AddLayer(MakeLayer("Wells", CLayer::kPoint, CLayer::kShown | CLayer::kWorking), true);
    EXPECT_EQ(m->list.Names(), (Names{"Wells", "Photo-", "Rivers-", "City", "Roads"}));
    EXPECT_EQ(m->legend->GetActiveLayer(), Layer("Wells"));
    Open("City");
    host.openGroup = m->legend->GetOpenGroup();
    m->doc.AddLayer(MakeLayer("Pools", CLayer::kArea, CLayer::kWorking), true);
    EXPECT_EQ(m->list.Names(), (Names{"City", "Pools-", "Water", "Parks"}));
    EXPECT_EQ(m->legend->GetActiveLayer(), Layer("Pools"));
    host.openGroup = nullptr;
    m->doc.AddLayer(MakeLayer("Elsewhere", CLayer::kPoint), true);
    EXPECT_EQ(m->list.GetCount(), 4) << "not at this level";

    // 2: the row of a layer going goes first.
    m->doc.RemoveLayer(Layer("Pools"), false, false, true);
    EXPECT_EQ(m->list.Names(), (Names{"City", "Water", "Parks"}));

    // 3: boxes follow the layers.
    m->doc.SetLayerVisible(Layer("Parks"), false);
    EXPECT_EQ(m->list.Names(), (Names{"City", "Water", "Parks-"}));
    EXPECT_EQ(m->list.rows[0].check, 1) << "City is partly shown";

    // 6: a row that grows is measured in a new list.
    const int resets = m->list.resets;
    Layer("Water")->SetFlag(CLayer::kClassesInLegend, true);
    m->doc.UpdateAllViews(MakeHint(m->doc.FindLayerIndex(Layer("Water")), kHintLayerSettings));
    EXPECT_EQ(m->list.resets, resets + 1);
    const int refreshes = m->list.refreshes;
    m->doc.UpdateAllViews(MakeHint(m->doc.FindLayerIndex(Layer("Water")), kHintLayerSettings));
    EXPECT_EQ(m->list.refreshes, refreshes + 1) << "same height: the row alone";
    EXPECT_EQ(m->list.resets, resets + 1);

    // 5: the rows anew; 0: painted again; the others nothing.
    m->doc.Settings().legendType = 1;
    m->doc.UpdateAllViews(kHintLegendRows);
    EXPECT_EQ(m->list.Names(), (Names{"City", "Water", "Parks-"}));
    const int repaints = m->list.repaints;
    m->doc.UpdateAllViews(kHintAll);
    EXPECT_EQ(m->list.repaints, repaints + 1);
    const Names before = m->list.Names();
    m->doc.UpdateAllViews(kHintRedraw);
    m->doc.UpdateAllViews(kHintOverview);
    EXPECT_EQ(m->list.Names(), before);

    // An open group removed with its enclosing group leaves the top level listed.
    m->doc.RemoveLayer(Layer("City"), false, true, true);
    EXPECT_EQ(m->legend->GetOpenGroup(), nullptr);
    EXPECT_EQ(m->list.Names(), (Names{"Elsewhere", "Wells", "Rivers-", "Roads"}));
}

TEST_F(LegendViewTest, TypeTwoDropsAWorkingLayerSwitchedOff)
{
    m->doc.Settings().legendType = 2;
    m->legend->RebuildList();
    ASSERT_EQ(m->list.Names(), (Names{"City", "Roads"}));
    m->list.ClickBox(*m->legend, m->list.FindLayer(Layer("Roads")));
    EXPECT_FALSE(Layer("Roads")->HasFlag(CLayer::kShown));
    EXPECT_EQ(m->list.Names(), (Names{"City"}));

    // An open group that the legend stops listing closes.
    Open("City");
    m->doc.SetLayerVisible(Layer("City"), false);
    EXPECT_EQ(m->legend->GetOpenGroup(), nullptr);
    EXPECT_EQ(m->list.Names(), Names{});
}

TEST_F(LegendViewTest, ALayerSwitchedOffIsMissingFromTheNextDrawing)
{
    auto draw = [&] {
        QImage image(200, 100, QImage::Format_RGB32);
        CDC dc(image);
        m->view->log.clear();
        m->view->OnDraw(dc);
        return m->view->Drawn("layer ");
    };
    EXPECT_EQ(draw(), (Names{"Roads", "Parks", "Lakes"}));
    m->list.ClickBox(*m->legend, m->list.FindLayer(Layer("Roads")));
    EXPECT_EQ(m->list.rows[static_cast<size_t>(m->list.FindLayer(Layer("Roads")))].check, 0);
    EXPECT_EQ(draw(), (Names{"Parks", "Lakes"}));
    // A group's box switches its members.
    m->list.ClickBox(*m->legend, m->list.FindLayer(Layer("City")));
    EXPECT_FALSE(Layer("Lakes")->HasFlag(CLayer::kShown));
    EXPECT_EQ(draw(), Names{});
    EXPECT_TRUE(m->doc.IsModified());
}

TEST_F(LegendViewTest, APartlyShownGroupsBoxOffersTheMenu)
{
    m->doc.SetLayerVisible(Layer("Lakes"), false);
    ASSERT_TRUE(Layer("City")->HasFlag(CLayer::kPartlyVisibleGroup));
    const int row = m->list.FindLayer(Layer("City"));
    m->list.SetCurSel(row);
    std::vector<uint32_t> flags;
    for (int i = 0; i < m->doc.GetLayerCount(); ++i)
        flags.push_back(m->doc.GetLayer(i)->GetFlags());
    m->list.ClickBox(*m->legend, row);
    EXPECT_EQ(m->list.rows[static_cast<size_t>(row)].check, 1) << "the box stays ticked";
    EXPECT_EQ(m->frame.log, (Names{"menu 388"}));
    for (int i = 0; i < m->doc.GetLayerCount(); ++i)
        EXPECT_EQ(m->doc.GetLayer(i)->GetFlags(), flags[static_cast<size_t>(i)]);

    // The menu's items: all on, all off.
    Run(30487);
    EXPECT_TRUE(Layer("Lakes")->HasFlag(CLayer::kShown));
    EXPECT_FALSE(Layer("City")->HasFlag(CLayer::kPartlyVisibleGroup));
    Run(30488);
    EXPECT_FALSE(Layer("Parks")->HasFlag(CLayer::kShown));
    EXPECT_FALSE(Layer("Water")->HasFlag(CLayer::kShown));
}

TEST_F(LegendViewTest, ClassesInTheLegendForLayersThatHaveThem)
{
    const struct {
        std::string name;
        int type;
        bool enabled;
    } cases[] = {
        {"Roads", CLayer::kLine, true},     {"Wells", CLayer::kPoint, true}, {"Pools", CLayer::kArea, true},
        {"Track", CLayer::kTrack, true},    {"Photo", CLayer::kRaster, false},
        {"Heights", CLayer::kElevation, true}, {"City", -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!Layer(c.name))
            m->doc.AddLayer(MakeLayer(c.name, c.type), true);
        m->legend->SelectLayer(Layer(c.name));
        EXPECT_EQ(Update(30193).IsEnabled(), c.enabled);
        EXPECT_EQ(Update(30193).GetCheck(), 0);
        if (!c.enabled)
            continue;
        Run(30193);
        EXPECT_TRUE(Layer(c.name)->HasFlag(CLayer::kClassesInLegend));
        EXPECT_EQ(Update(30193).GetCheck(), 1);
        Run(30193);
        EXPECT_FALSE(Layer(c.name)->HasFlag(CLayer::kClassesInLegend));
    }
    m->list.SetCurSel(-1);
    EXPECT_FALSE(Update(30193).IsEnabled());

    // A classified style in force is redrawn in its row, and the map is modified.
    CLayer* roads = Layer("Roads");
    roads->GetSublayer(0)->m_kind = CSublayer::kClassified;
    m->legend->SelectLayer(roads);
    m->doc.SetModifiedFlag(false);
    CHintRecorder others(m->doc);
    Run(30193);
    EXPECT_EQ(others.hints, std::vector<uint32_t>{MakeHint(m->doc.FindLayerIndex(roads), kHintLayerSettings)});
    EXPECT_TRUE(m->doc.IsModified());
}

TEST_F(LegendViewTest, NavigationKeysGoToTheMapView)
{
    m->view->modesWithTool = {0};
    m->view->OnLButtonDown(0, 5, 5);
    ASSERT_NE(m->view->GetTool(), nullptr);
    const double top = m->view->GetMapExtent().top;
    m->legend->OnListKey(VK_DELETE);
    m->legend->OnListKey(VK_PRIOR);
    EXPECT_GT(m->view->GetMapExtent().top, top);
    m->legend->OnListKey(VK_NEXT);
    m->legend->OnListKey(VK_END);
    m->legend->OnListKey(VK_HOME);
    EXPECT_NEAR(m->view->GetMapExtent().top, top, 1e-9);
    m->legend->OnListKey(VK_ADD);
    m->legend->OnListKey(VK_ESCAPE);
    EXPECT_EQ(m->view->GetTool(), nullptr);
    EXPECT_EQ(m->view->Drawn("tool0 "), (Names{"down 5,5", "key 46", "may quit", "deleted"}));
    EXPECT_EQ(std::count(m->frame.log.begin(), m->frame.log.end(), "focus map"), 6);
}

TEST_F(LegendViewTest, CommandsOnTheSelectedRow)
{
    EXPECT_DOUBLE_EQ(m->legend->GetLegendScale(), 25000) << "rows show the styles of the map's scale";

    // Without a selection they say so.
    m->list.SetCurSel(-1);
    for (const int id : {30066, 30071, 30193, 30487})
        Run(id);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1022, 1022, 1022, 1022}));
    user.messages.clear();

    // Work not there: disabled.
    for (const int id : {30066, 30067, 30068, 30071, 30019})
        EXPECT_FALSE(Update(id).IsEnabled()) << id;

    std::vector<std::string> opened;
    CLegendDialogs dialogs;
    dialogs.groupProperties = [&](const CLayer& group, CDrelDoc& document, std::string& name, bool& working) {
        EXPECT_EQ(&document, &m->doc);
        EXPECT_EQ(group.GetName(), name);
        opened.push_back("group " + name);
        name = "Town";
        working = false;
        return true;
    };
    dialogs.layerProperties = [&](CLayer& layer, CDrelDoc& document, double scale) {
        EXPECT_EQ(&document, &m->doc);
        opened.push_back("layer " + layer.GetName() + " " + std::to_string(static_cast<int>(scale)));
        layer.SetFlag(CLayer::kInOverview, true);
        return true;
    };
    dialogs.objectList = [&](CLayer& layer, CDrelView&) { opened.push_back("objects " + layer.GetName()); };
    dialogs.chooseLayerFile = [&](CLayer& layer) {
        opened.push_back("files " + layer.GetName());
        return false;
    };
    dialogs.attributeTable = [&](CLayer& layer) { opened.push_back("table " + layer.GetName()); };
    dialogs.findStreet = [&](CLayer& streets, CDrelView&) { opened.push_back("street " + streets.GetName()); };
    m->legend->SetDialogs(dialogs);
    for (const int id : {30066, 30067, 30068, 30019})
        EXPECT_TRUE(Update(id).IsEnabled()) << id;

    m->view->SetScaleDenominator(24999.6);
    m->legend->SelectLayer(Layer("Roads"));
    CHintRecorder others(m->doc);
    Run(30066);
    const int roads = m->doc.FindLayerIndex(Layer("Roads"));
    EXPECT_EQ(others.hints,
              (std::vector<uint32_t>{MakeHint(roads, kHintLayerSettings), kHintOverview, kHintRedraw}));
    m->legend->SelectLayer(Layer("City"));
    others.hints.clear();
    Run(30066);
    EXPECT_EQ(Layer("Town"), m->doc.GetLayer(1));
    EXPECT_FALSE(Layer("Town")->HasFlag(CLayer::kWorking));
    EXPECT_EQ(others.hints, std::vector<uint32_t>{MakeHint(1, kHintLayerSettings)});

    Run(30067); // a group has no objects
    m->legend->SelectLayer(Layer("Photo"));
    Run(30067);
    m->legend->SelectLayer(Layer("Roads"));
    Run(30067);
    Run(30068);
    Layer("Roads")->AddFile("C:\\data\\roads2.gdb");
    Run(30067); // the file choice cancelled
    Run(30019); // no streets layer named
    m->doc.Settings().streetsLayer = "Rivers";
    Run(30019);
    EXPECT_EQ(opened, (Names{"layer Roads 25000", "group City", "objects Roads", "table Roads", "files Roads",
                             "street Rivers"}));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1058, 1058, 1010}));

    // Copy and paste are the map window's.
    Run(57634);
    Run(57637);
    EXPECT_EQ(m->frame.log, (Names{"frame 30105", "frame 30106"}));

    // What the legend lists, and whether the map follows it.
    Run(30010);
    EXPECT_EQ(m->doc.Settings().legendType, 2);
    EXPECT_TRUE(Update(30010).IsRadio());
    EXPECT_EQ(Update(30010).GetCheck(), 1);
    EXPECT_EQ(Update(30008).GetCheck(), 0);
    Run(30008);
    EXPECT_EQ(m->list.GetCount(), 4);
    Run(30007);
    EXPECT_EQ(m->doc.Settings().legendAutoUpdate, 0);
    EXPECT_EQ(Update(30007).GetCheck(), 0);
}

TEST_F(LegendViewTest, RemovingLayersAndGroups)
{
    // The choice of each dialog and the answer to "delete the files?".
    const struct {
        std::string entry;
        int groupChoice;  // dialog 328
        bool layerFiles;  // dialog 242's box
        int filesAnswer;  // message 2008, when asked
        Names layers;
        Names deleted;
        std::vector<unsigned> messages;
    } cases[] = {
        {"Rivers", 0, false, 0, {"Roads", "City", "Parks", "Water", "Lakes", "Photo"}, {}, {}},
        {"Rivers", 0, true, IDNO, {"Roads", "City", "Parks", "Water", "Lakes", "Photo"}, {}, {2008}},
        {"Rivers", 0, true, IDYES, {"Roads", "City", "Parks", "Water", "Lakes", "Photo"}, {"Rivers"}, {2008}},
        {"City", 0, false, 0, {"Roads", "Parks", "Water", "Lakes", "Rivers", "Photo"}, {}, {}},
        {"City", 1, false, 0, {"Roads", "Rivers", "Photo"}, {}, {}},
        {"City", 2, false, IDYES, {"Roads", "Rivers", "Photo"}, {"Lakes", "Parks"}, {2008}},
        {"City", 2, false, IDNO, {"Roads", "Rivers", "Photo"}, {}, {2008}},
        {"City", -1, false, 0, {"Roads", "City", "Parks", "Water", "Lakes", "Rivers", "Photo"}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry + " " + std::to_string(c.groupChoice) + " " + std::to_string(c.filesAnswer));
        Reset();
        data.deleted.clear();
        user.messages.clear();
        user.answers.clear();
        if (c.filesAnswer)
            user.answers.push_back(c.filesAnswer);
        CLegendDialogs dialogs;
        dialogs.removeGroup = [&](const CLayer&) { return c.groupChoice; };
        dialogs.removeLayer = [&](const CLayer&, bool& files) {
            files = c.layerFiles;
            return true;
        };
        m->legend->SetDialogs(dialogs);
        m->legend->SelectLayer(Layer(c.entry));
        Run(30071);
        EXPECT_EQ(LayerNames(m->doc), c.layers);
        EXPECT_EQ(data.deleted, c.deleted);
        EXPECT_EQ(user.MessageIds(), c.messages);
        const Names rows = m->list.Names();
        EXPECT_EQ(std::count(rows.begin(), rows.end(), c.entry), c.groupChoice < 0 ? 1 : 0);
    }

    // Refused while the layer is edited.
    Reset();
    CLegendDialogs dialogs;
    dialogs.removeLayer = [](const CLayer&, bool&) { return true; };
    m->legend->SetDialogs(dialogs);
    host.editedLayer = Layer("Roads");
    m->legend->SelectLayer(Layer("Roads"));
    user.messages.clear();
    Run(30071);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1056});
    EXPECT_EQ(m->doc.GetLayerCount(), 7);
}

} // namespace
