// Comparison, sorting, lines from points, the spatial index and the street
// export in the program on the demo town, through InstallGeoprocessing()
// and the real dialogs.
#include "tests/geoproc/widgets/app/GeoprocAppFixture.h"

#include "core/Shape.h"
#include "geoproc/CompareLayers.h"
#include "layers/FeatureSource.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ResultFiles.h"
#include "platform/AppProfile.h"
#include "platform/Strings.h"
#include "tests/geoproc/GeoprocTestSupport.h"
#include "tests/geoproc/MobileExportSupport.h"

#include <QComboBox>

#include <filesystem>
#include <tuple>

namespace {

class DerivedLayersProgramTest : public CGeoprocAppFixture {
protected:
    DerivedLayersProgramTest()
        : m_second(CCompareLayersRules::LastSecond()), m_mode(CCompareLayersRules::InitialMode())
    {
    }
    ~DerivedLayersProgramTest() override
    {
        Stop();
        CCompareLayersRules::Remember(m_second, m_mode);
    }

    // The layer's files copied under another title, added as a layer.
    CLayer* AddCopy(const CLayer& layer, const std::string& title, const char* utf8Name)
    {
        const std::string path = town.File(title + ".gdb");
        for (const std::string& from : CResultFiles::LayerFiles(layer.GetPath()))
            if (FileExists(from))
                std::filesystem::copy_file(from, ChangeExtensionCopy(path, GetPathExtension(from)));
        Map().AddLayer(std::make_unique<CLayer>(Utf8ToCp1257(utf8Name), path, layer.GetType()), true);
        return Map().Layers().FindByName(Utf8ToCp1257(utf8Name));
    }

private:
    std::string m_second;
    int m_mode;
};

TEST_F(DerivedLayersProgramTest, TheCommandsServeTheirLayers)
{
    ASSERT_TRUE(StartInTown());
    EXPECT_TRUE(IsEnabled(30440));
    EXPECT_TRUE(IsEnabled(30619));
    for (const int id : {30355, 30632, 30408, 30409})
        EXPECT_FALSE(IsEnabled(id)) << id << " with nothing selected";
    ASSERT_TRUE(Select("Gatvės"));
    EXPECT_TRUE(IsEnabled(30355));
    EXPECT_TRUE(IsEnabled(30632));
    EXPECT_FALSE(IsEnabled(30408));
    ASSERT_TRUE(Select("Adresai"));
    for (const int id : {30355, 30632, 30408, 30409})
        EXPECT_TRUE(IsEnabled(id)) << id;
}

TEST_F(DerivedLayersProgramTest, AComparedCopyWithOneMovedStreetGivesTwoDiffLayers)
{
    ASSERT_TRUE(StartInTown());
    CLayer* streets = Select("Gatvės");
    ASSERT_TRUE(streets);
    CLayer* copy = AddCopy(*streets, "gatves2", "Gatvės kopija");
    ASSERT_TRUE(copy);
    CShape moved;
    {
        CLayerReader reader;
        ASSERT_TRUE(reader.Open(copy->GetPath()));
        CFeatureSource& source = *reader.GetSource();
        ASSERT_TRUE(source.ReadShape(3, moved));
        for (int i = 0; i < moved.GetPointCount(); ++i)
            moved.Points()[i].y += 25;
        moved.RecalcBounds();
        ASSERT_TRUE(source.ReplaceShape(moved, 3));
    }
    ASSERT_TRUE(Select("Gatvės"));
    WithModal([this] { EXPECT_TRUE(Run(30440)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30808);
                  auto* second = FindControl<QComboBox>(&dialog, 1021);
                  ASSERT_TRUE(second);
                  second->setCurrentIndex(second->findText(QString::fromUtf8("Gatvės kopija")));
                  SaveScreenshot(dialog, "geoproc-program-30808");
                  Press(dialog, IDOK);
              });
    EXPECT_TRUE(shown.empty());
    CLayer* first = Map().Layers().FindByName("gatves_diff1");
    CLayer* second = Map().Layers().FindByName("gatves2_diff2");
    ASSERT_TRUE(first && second);
    const std::vector<CReadObject> before = ReadObjects(first->GetPath(), CLayer::kLine);
    const std::vector<CReadObject> after = ReadObjects(second->GetPath(), CLayer::kLine);
    ASSERT_EQ(before.size(), 1u);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_TRUE(after[0].shape.IsEqual(moved));
    EXPECT_EQ(after[0].fields, before[0].fields);

    // The two versions of the street over the buildings, the other lines hidden.
    for (int i = 0; i < Map().GetLayerCount(); ++i) {
        CLayer* layer = Map().GetLayer(i);
        if (layer != first && layer != second &&
            (layer->GetType() == CLayer::kLine || layer->GetType() == CLayer::kTrack))
            layer->SetFlag(CLayer::kShown, false);
    }
    CMapRect around = moved.GetExtent();
    around = CMapRect(around.left - 150, around.top + 150, around.right + 150, around.bottom - 150);
    child->GetMapView()->ZoomToRect(around, 0);
    Settle();
    SaveScreenshot(*frame, "geoproc-program-map-with-diff-layers");
}

TEST_F(DerivedLayersProgramTest, SortedBuildingsJoinTheMap)
{
    ASSERT_TRUE(StartInTown());
    CLayer* buildings = Select("Pastatai");
    ASSERT_TRUE(buildings);
    const size_t count = ReadObjects(buildings->GetPath(), CLayer::kArea).size();
    WithModal([this] { EXPECT_TRUE(Run(30632)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30819);
                  SaveScreenshot(dialog, "geoproc-program-30819");
                  Press(dialog, 1025);
                  Press(dialog, IDOK);
              });
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(offered, std::vector<std::string>{"pastatai_sorted"});
    CLayer* sorted = Map().Layers().FindByName("pastatai_sorted");
    ASSERT_TRUE(sorted);
    EXPECT_EQ(ReadObjects(sorted->GetPath(), CLayer::kArea).size(), count);
}

TEST_F(DerivedLayersProgramTest, SortingADamagedLayerIsToldAndAddsNothing)
{
    ASSERT_TRUE(StartInTown());
    CLayer* buildings = Select("Pastatai");
    ASSERT_TRUE(buildings);
    SpoilSecondBlock(buildings->GetPath());
    const int layers = Map().GetLayerCount();
    WithModal([this] { EXPECT_TRUE(Run(30632)); }, [](QWidget& dialog) { Press(dialog, IDOK); });
    EXPECT_EQ(shown, std::vector<std::string>{LoadString(1028)});
    EXPECT_EQ(Map().GetLayerCount(), layers);
    EXPECT_TRUE(FindMatchingFiles(town.File("pastatai_sorted*")).empty());
}

TEST_F(DerivedLayersProgramTest, AddressesBecomeOneLine)
{
    ASSERT_TRUE(StartInTown());
    CLayer* addresses = Select("Adresai");
    ASSERT_TRUE(addresses);
    const size_t count = ReadObjects(addresses->GetPath(), CLayer::kPoint).size();
    EXPECT_TRUE(Run(30408));
    EXPECT_EQ(offered, std::vector<std::string>{"adresai_poly"});
    EXPECT_EQ(offeredTypes, std::vector<int>{CLayer::kLine});
    CLayer* line = Map().Layers().FindByName("adresai_poly");
    ASSERT_TRUE(line);
    const std::vector<CReadObject> objects = ReadObjects(line->GetPath(), CLayer::kLine);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(static_cast<size_t>(objects[0].shape.GetPointCount()), count);
}

TEST_F(DerivedLayersProgramTest, TheSpatialIndexIsAskedForAndReported)
{
    ASSERT_TRUE(StartInTown());
    CLayer* streets = Select("Gatvės");
    ASSERT_TRUE(streets);
    answers = {IDYES};
    EXPECT_TRUE(Run(30355));
    EXPECT_EQ(shown, (std::vector<std::string>{Utf8ToCp1257("Sukurti erdvinį indeksą?"), LoadString(3037)}));
    EXPECT_TRUE(FileExists(ChangeExtensionCopy(streets->GetPath(), "spx")));
}

TEST_F(DerivedLayersProgramTest, TheStreetExportWritesTheBatchIntoTheProfilesFolder)
{
    // The town's streets and addresses as a city map keeps them, and a few
    // more of its layers.
    ASSERT_TRUE(StartInTown([this] {
        WriteStreetLayer(town.File("gatves.gdb"), kSampleStreets);
        WriteAddressLayer(town.File("adresai.gdb"), {{{10, 10}, "Vilniaus 5A", 26, "5", "A", 0, "", ""}});
    }));
    ASSERT_EQ(Map().Settings().streetsLayer, Utf8ToCp1257("Gatvės"));
    {
        CGdbSource frame, banks, bridges;
        MakeShapeLayer(frame, town.File("remelis.gdb"), CLayer::kArea, {"0 0, 100 0, 100 100, 0 100, 0 0"});
        MakePointLayer(banks, town.File("bankai.gdb"), {{5, 5}, {500, 500}});
        MakeShapeLayer(bridges, town.File("tiltai.gdb"), CLayer::kLine, {"0 0, 5 5"});
    }
    for (const auto& [name, file, type] : {std::tuple{"Rėmelis", "remelis.gdb", CLayer::kArea},
                                           std::tuple{"POI-bankai", "bankai.gdb", CLayer::kPoint},
                                           std::tuple{"Tiltai", "tiltai.gdb", CLayer::kLine}})
        Map().AddLayer(std::make_unique<CLayer>(Utf8ToCp1257(name), town.File(file), type), true);
    CAppProfile::Instance().WriteString("MobileExport", "Folder", town.File("delninis/"));
    shown.clear();
    EXPECT_TRUE(Run(30619));

    const std::string out = town.File("delninis/");
    EXPECT_EQ(ReadObjects(out + "gatves.gdb", CLayer::kLine).size(), 2u);
    EXPECT_EQ(ReadObjects(out + "adresai.gdb", CLayer::kPoint).size(), 1u);
    EXPECT_EQ(ReadObjects(out + "gat_topo.gdb", CLayer::kLine).size(), 3u);
    EXPECT_EQ(ReadObjects(out + "p_gatves.gdb", CLayer::kLine).size(), 2u);
    EXPECT_EQ(ReadObjects(out + "Bankai.gdb", CLayer::kPoint).size(), 1u);
    EXPECT_EQ(ReadObjects(out + "tiltai.gdb", CLayer::kLine).size(), 1u);
    EXPECT_EQ(ReadObjects(out + "pastatai.gdb", CLayer::kArea).size(),
              ReadObjects(town.File("pastatai.gdb"), CLayer::kArea).size());
    // The added points, then each layer the map lacks, in the batch's order.
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], Utf8ToCp1257("Pridėta taškų: 2\nKryptis neįrašyta objektų: 1"));
    std::vector<std::string> missing;
    for (const std::string& text : shown)
        if (text.rfind("Error: " + out, 0) == 0)
            missing.push_back(text.substr(7 + out.size()));
    EXPECT_EQ(missing, (std::vector<std::string>{"p_upes.gdb", "temp.gdb", "baznyc.gdb", "gelezink.gdb",
                                                 "linijos.gdb", "stadion.gdb", "upeliai.gdb", "gyd_ist.gdb",
                                                 "St_aikst.gdb", "Degalin.gdb", "Kavines.gdb", "pc.gdb",
                                                 "Restoran.gdb", "Viesb.gdb", "aikstel.gdb", "kapines.gdb",
                                                 "gyvenami.gdb", "kvartalai.gdb", "pramon.gdb", "zali.gdb",
                                                 "sodai.gdb", "vandenys.gdb"}));
}

} // namespace
