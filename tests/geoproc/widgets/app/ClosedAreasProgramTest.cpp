// Closed areas and street blocks in the program on the demo town, through
// InstallGeoprocessing() and the real dialogs.
#include "tests/geoproc/widgets/app/GeoprocAppFixture.h"

#include "core/Shape.h"
#include "geoproc/StreetBlocks.h"
#include "geoproc/TopologyRules.h"
#include "mapdoc/DrelView.h"
#include "platform/Strings.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <QLineEdit>
#include <QRadioButton>

namespace {

using Rules = CStreetBlockRules;

class ClosedAreasProgramTest : public CGeoprocAppFixture {
protected:
    ClosedAreasProgramTest() : m_topology(CTopologyRules::Last()) {}
    ~ClosedAreasProgramTest() override
    {
        Stop();
        CTopologyRules::Remember(m_topology);
    }

    static double TotalArea(const std::vector<CReadObject>& objects)
    {
        double area = 0;
        for (const CReadObject& object : objects)
            area += object.shape.Area();
        return area;
    }

private:
    CTopologyOptions m_topology;
};

TEST_F(ClosedAreasProgramTest, TheCommandsAreThereForTheirLayers)
{
    ASSERT_TRUE(StartInTown());
    EXPECT_FALSE(IsEnabled(30265));
    EXPECT_TRUE(IsEnabled(30344));
    EXPECT_TRUE(IsEnabled(30612));
    ASSERT_TRUE(Select("Gatvės"));
    EXPECT_TRUE(IsEnabled(30265));
    ASSERT_TRUE(Select("Pastatai"));
    EXPECT_FALSE(IsEnabled(30265));
    EXPECT_TRUE(IsEnabled(30344));
}

TEST_F(ClosedAreasProgramTest, TheFacesOfTheStreetNetworkTileItsOutline)
{
    ASSERT_TRUE(StartInTown());
    ASSERT_TRUE(Select("Gatvės"));
    WithModal([this] { EXPECT_TRUE(Run(30260)); }, [](QWidget& dialog) { Press(dialog, IDOK); });
    ASSERT_TRUE(Select("gatves_topo"));
    answers = {IDNO};
    EXPECT_TRUE(Run(30265));
    EXPECT_EQ(shown, std::vector<std::string>{LoadString(2016)});
    EXPECT_EQ(offered, (std::vector<std::string>{"gatves_topo", "gatves_topo_polyg"}));
    EXPECT_EQ(offeredTypes, (std::vector<int>{CLayer::kLine, CLayer::kArea}));
    CLayer* faces = Map().Layers().FindByName("gatves_topo_polyg");
    ASSERT_TRUE(faces);
    EXPECT_EQ(faces->GetType(), CLayer::kArea);
    const std::vector<CReadObject> tiles = ReadObjects(faces->GetPath(), CLayer::kArea);
    ASSERT_GT(tiles.size(), 1u);
    for (size_t i = 0; i < tiles.size(); ++i)
        EXPECT_EQ(tiles[i].fields.at("Id"), std::to_string(i + 1));

    // Merged, the network's outline holds exactly the faces.
    ASSERT_TRUE(Select("gatves_topo"));
    shown.clear();
    answers = {IDYES};
    EXPECT_TRUE(Run(30265));
    CLayer* outline = Map().Layers().FindByName(offered.back());
    ASSERT_TRUE(outline);
    const std::vector<CReadObject> outlines = ReadObjects(outline->GetPath(), CLayer::kArea);
    ASSERT_EQ(outlines.size(), 1u);
    EXPECT_NEAR(TotalArea(tiles), TotalArea(outlines), 1e-6 * TotalArea(outlines));
}

TEST_F(ClosedAreasProgramTest, ALayerWithoutNodeFieldsIsTold)
{
    ASSERT_TRUE(StartInTown());
    ASSERT_TRUE(Select("Gatvės"));
    const int layers = Map().GetLayerCount();
    answers = {IDNO};
    EXPECT_TRUE(Run(30265));
    EXPECT_EQ(shown, (std::vector<std::string>{LoadString(2016), LoadString(1079)}));
    EXPECT_EQ(Map().GetLayerCount(), layers);
    EXPECT_TRUE(FindMatchingFiles(town.File("gatves_polyg.*")).empty());
}

TEST_F(ClosedAreasProgramTest, BlocksOfTheStreetsAtTenMetres)
{
    ASSERT_TRUE(StartInTown());
    ASSERT_TRUE(Select("Gatvės"));
    WithModal([this] { EXPECT_TRUE(Run(30344)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30806);
                  EXPECT_TRUE(FindControl<QRadioButton>(&dialog, Rules::kFieldWidth)->isChecked());
                  FindControl<QRadioButton>(&dialog, Rules::kOneWidth)->setChecked(true);
                  FindControl<QLineEdit>(&dialog, Rules::kWidth)->setText("10");
                  SaveScreenshot(dialog, "geoproc-program-30806");
                  Press(dialog, IDOK);
              });
    EXPECT_TRUE(shown.empty());
    CLayer* blocks = Map().Layers().FindByName("Kvartalai");
    CLayer* surfaces = Map().Layers().FindByName("Gatvesp");
    ASSERT_TRUE(blocks);
    ASSERT_TRUE(surfaces);
    EXPECT_EQ(blocks->GetType(), CLayer::kArea);
    const std::vector<CReadObject> blockAreas = ReadObjects(blocks->GetPath(), CLayer::kArea);
    const std::vector<CReadObject> surfaceAreas = ReadObjects(surfaces->GetPath(), CLayer::kArea);
    ASSERT_FALSE(blockAreas.empty());
    ASSERT_FALSE(surfaceAreas.empty());
    EXPECT_TRUE(FindMatchingFiles(town.File("~*")).empty());

    CMapRect around = blockAreas.front().shape.GetExtent();
    around = CMapRect(around.left - 200, around.top + 200, around.right + 200, around.bottom - 200);
    child->GetMapView()->ZoomToRect(around, 0);
    Settle();
    SaveScreenshot(*frame, "geoproc-program-map-with-blocks");
}

TEST_F(ClosedAreasProgramTest, ANoughtWidthIsToldAndCancelAddsNothing)
{
    ASSERT_TRUE(StartInTown());
    ASSERT_TRUE(Select("Gatvės"));
    const int layers = Map().GetLayerCount();
    WithModal([this] { EXPECT_TRUE(Run(30344)); },
              [this](QWidget& dialog) {
                  FindControl<QRadioButton>(&dialog, Rules::kOneWidth)->setChecked(true);
                  FindControl<QLineEdit>(&dialog, Rules::kWidth)->setText("0");
                  Press(dialog, IDOK);
                  EXPECT_TRUE(dialog.isVisible());
                  EXPECT_EQ(shown, std::vector<std::string>{LoadString(1103)});
                  Press(dialog, IDCANCEL);
              });
    EXPECT_EQ(Map().GetLayerCount(), layers);
}

} // namespace
