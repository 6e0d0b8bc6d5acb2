// Merging of neighbours, thinning, snapping and islands in the program on
// the demo town, through InstallGeoprocessing() and the real dialogs.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/Shape.h"
#include "geoproc/TopologyRules.h"
#include "geoproc/widgets/GeoprocInstall.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/LegendView.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace {

class LayerCleanupProgramTest : public CAppFixture {
protected:
    LayerCleanupProgramTest()
        : m_snap(CErrorToleranceRules::Last(CErrorToleranceRules::kSnapping)),
          m_thin(CErrorToleranceRules::Last(CErrorToleranceRules::kThinning))
    {
        InstallMainFrameBars();
        InstallGeoprocessing();
        // Dialog 102 comes with the layer management: here it takes the proposals.
        CMapFrame::Hooks().frame.document.newLayer = [this](CDrelDoc&, std::string& name, std::string&, int& type,
                                                            CNewLayerOptions&) {
            offered.push_back(name);
            offeredTypes.push_back(type);
            return true;
        };
    }
    ~LayerCleanupProgramTest() override
    {
        Stop();
        CMapFrame::Hooks().frame.document.newLayer = nullptr;
        MainFrameHooks().makeBars = nullptr;
        CErrorToleranceRules::Remember(CErrorToleranceRules::kSnapping, m_snap);
        CErrorToleranceRules::Remember(CErrorToleranceRules::kThinning, m_thin);
    }

    bool StartInTown()
    {
        CDemoOptions options;
        options.streets = 40;
        std::string error;
        EXPECT_TRUE(MakeDemoMap(town.Path(), options, error)) << error;
        if (!Start({town.File(CDemoMapWriter::kMapFile)}))
            return false;
        child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
        Settle();
        return child != nullptr;
    }
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    CDrelDoc& Map() { return child->GetMapDocument(); }
    CLayer* Select(const char* utf8Name)
    {
        CLayer* layer = Map().Layers().FindByName(Utf8ToCp1257(utf8Name));
        if (layer)
            child->GetLegend()->SelectLayer(layer);
        return layer;
    }
    static void Press(QWidget& dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static double TotalArea(const std::vector<CReadObject>& objects)
    {
        double area = 0;
        for (const CReadObject& object : objects)
            area += object.shape.Area();
        return area;
    }
    static int VertexCount(const std::vector<CReadObject>& objects)
    {
        int count = 0;
        for (const CReadObject& object : objects)
            count += object.shape.GetPointCount();
        return count;
    }

    CTempDir town;
    CMapFrame* child = nullptr;
    std::vector<std::string> offered;
    std::vector<int> offeredTypes;

private:
    double m_snap, m_thin;
};

TEST_F(LayerCleanupProgramTest, TheCommandsServeTheirLayerTypes)
{
    ASSERT_TRUE(StartInTown());
    for (const int id : {30264, 30342, 30349, 30352})
        EXPECT_FALSE(IsEnabled(id)) << id << " with nothing selected";
    ASSERT_TRUE(Select("Gatvės"));
    for (const int id : {30264, 30342, 30349})
        EXPECT_TRUE(IsEnabled(id)) << id;
    EXPECT_FALSE(IsEnabled(30352));
    ASSERT_TRUE(Select("Pastatai"));
    for (const int id : {30264, 30342, 30349, 30352})
        EXPECT_TRUE(IsEnabled(id)) << id;
    ASSERT_TRUE(Select("Adresai"));
    for (const int id : {30264, 30342, 30349, 30352})
        EXPECT_FALSE(IsEnabled(id)) << id;
}

TEST_F(LayerCleanupProgramTest, MergedBuildingsKeepTheirTotalArea)
{
    ASSERT_TRUE(StartInTown());
    CLayer* buildings = Select("Pastatai");
    ASSERT_TRUE(buildings);
    const std::vector<CReadObject> before = ReadObjects(buildings->GetPath(), CLayer::kArea);
    ASSERT_FALSE(before.empty());
    WithModal([this] { EXPECT_TRUE(Run(30264)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30801);
                  auto* list = FindControl<QListWidget>(&dialog, 1014);
                  ASSERT_TRUE(list);
                  EXPECT_GT(list->count(), 0);
                  SaveScreenshot(dialog, "geoproc-program-30801");
                  Press(dialog, IDOK);
              });
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(offered, std::vector<std::string>{"pastatai"});
    EXPECT_EQ(offeredTypes, std::vector<int>{CLayer::kArea});
    CLayer* merged = Map().Layers().FindByName("pastatai");
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->GetType(), CLayer::kArea);
    const std::vector<CReadObject> after = ReadObjects(merged->GetPath(), CLayer::kArea);
    ASSERT_FALSE(after.empty());
    EXPECT_LE(after.size(), before.size());
    EXPECT_NEAR(TotalArea(after), TotalArea(before), 1e-6 * TotalArea(before));

    // The merged copy over the town, the source hidden.
    buildings->SetFlag(CLayer::kShown, false);
    CMapRect around = after.front().shape.GetExtent();
    around = CMapRect(around.left - 150, around.top + 150, around.right + 150, around.bottom - 150);
    child->GetMapView()->ZoomToRect(around, 0);
    Settle();
    SaveScreenshot(*frame, "geoproc-program-map-with-merged-buildings");
}

TEST_F(LayerCleanupProgramTest, ADamagedBuildingLayerIsToldAndAddsNothing)
{
    ASSERT_TRUE(StartInTown());
    CLayer* buildings = Select("Pastatai");
    ASSERT_TRUE(buildings);
    SpoilSecondBlock(buildings->GetPath());
    const int layers = Map().GetLayerCount();
    WithModal([this] { EXPECT_TRUE(Run(30264)); }, [](QWidget& dialog) { Press(dialog, IDOK); });
    EXPECT_EQ(shown, std::vector<std::string>{LoadString(1028)});
    EXPECT_EQ(Map().GetLayerCount(), layers);
    EXPECT_TRUE(FindMatchingFiles(town.File("pastatai_2.*")).empty());
}

TEST_F(LayerCleanupProgramTest, ThinnedStreetsTellHowManyVerticesWent)
{
    ASSERT_TRUE(StartInTown());
    CLayer* streets = Select("Gatvės");
    ASSERT_TRUE(streets);
    const std::vector<CReadObject> before = ReadObjects(streets->GetPath(), CLayer::kLine);
    // A tolerance outside 0 to 1000 keeps the dialog open.
    WithModal([this] { EXPECT_TRUE(Run(30349)); },
              [this](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 287);
                  auto* edit = FindControl<QLineEdit>(&dialog, 1017);
                  ASSERT_TRUE(edit);
                  EXPECT_EQ(edit->text().toDouble(), 1.0);
                  SaveScreenshot(dialog, "geoproc-program-287-thinning");
                  for (const char* refused : {"1000.5", "x"}) {
                      edit->setText(refused);
                      const size_t told = shown.size();
                      Press(dialog, IDOK);
                      EXPECT_TRUE(dialog.isVisible()) << refused;
                      EXPECT_EQ(shown.size(), told + 1) << refused;
                  }
                  edit->setText("5");
                  Press(dialog, IDOK);
              });
    CLayer* thinned = Map().Layers().FindByName("gatves");
    ASSERT_TRUE(thinned);
    EXPECT_EQ(offeredTypes, std::vector<int>{CLayer::kLine});
    const std::vector<CReadObject> after = ReadObjects(thinned->GetPath(), CLayer::kLine);
    EXPECT_EQ(after.size(), before.size());
    const int removed = VertexCount(before) - VertexCount(after);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), Utf8ToCp1257("Pašalinta viršūnių: ") + std::to_string(removed) + ".");
    EXPECT_EQ(CErrorToleranceRules::Last(CErrorToleranceRules::kThinning), 5.0);
}

TEST_F(LayerCleanupProgramTest, ANoughtToleranceEndsWithoutAWord)
{
    ASSERT_TRUE(StartInTown());
    ASSERT_TRUE(Select("Gatvės"));
    const int layers = Map().GetLayerCount();
    for (const int id : {30349, 30342}) {
        WithModal([this, id] { EXPECT_TRUE(Run(id)); },
                  [](QWidget& dialog) {
                      FindControl<QLineEdit>(&dialog, 1017)->setText("0");
                      Press(dialog, IDOK);
                  });
        EXPECT_TRUE(shown.empty()) << id;
        EXPECT_EQ(Map().GetLayerCount(), layers) << id;
    }
}

TEST_F(LayerCleanupProgramTest, SnappingStreetsTellsTheMovedVertices)
{
    ASSERT_TRUE(StartInTown());
    ASSERT_TRUE(Select("Gatvės"));
    WithModal([this] { EXPECT_TRUE(Run(30342)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 287);
                  EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1017)->text().toDouble(), 0.001);
                  Press(dialog, IDOK);
              });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].starts_with(Utf8ToCp1257("Pataisyta viršūnių: "))) << shown[0];
}

TEST_F(LayerCleanupProgramTest, IslandsOfParksAskWhereTheResultGoes)
{
    ASSERT_TRUE(StartInTown());
    CLayer* parks = Select("Parkai");
    ASSERT_TRUE(parks);
    const size_t count = ReadObjects(parks->GetPath(), CLayer::kArea).size();
    const int layers = Map().GetLayerCount();
    answers = {IDCANCEL};
    EXPECT_TRUE(Run(30352));
    EXPECT_EQ(shown, std::vector<std::string>{LoadString(2021)});
    EXPECT_EQ(Map().GetLayerCount(), layers);
    answers = {IDNO};
    EXPECT_TRUE(Run(30352));
    EXPECT_EQ(offered, std::vector<std::string>{"parkai"});
    CLayer* result = Map().Layers().FindByName("parkai");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetType(), CLayer::kArea);
    EXPECT_LE(ReadObjects(result->GetPath(), CLayer::kArea).size(), count);
}

} // namespace
