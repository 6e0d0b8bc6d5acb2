#include "core/CoordConverter.h"
#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "layers/DtmLayer.h"
#include "layers/GridFile.h"
#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "routing/RouteNetwork.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/demo/DemoMapDigest.h"
#include "tools/demo/DemoMapWriter.h"
#include "tools/demo/DemoNames.h"

#include <gtest/gtest.h>

#include <QImage>

#include <climits>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Maps written once for all the tests: one town twice, another seed, and
// the town of the default size.
class DemoMap : public ::testing::Test {
protected:
    struct CMaps {
        CTempDir first, again, other, full;
    };

    static void SetUpTestSuite()
    {
        CScriptedUserServices user;
        s_maps = new CMaps;
        std::string error;
        ASSERT_TRUE(MakeDemoMap(s_maps->first.Path(), {7, 150}, error)) << error;
        ASSERT_TRUE(MakeDemoMap(s_maps->again.Path(), {7, 150}, error)) << error;
        ASSERT_TRUE(MakeDemoMap(s_maps->other.Path(), {8, 150}, error)) << error;
        ASSERT_TRUE(MakeDemoMap(s_maps->full.Path(), {1, CDemoOptions::kDefaultStreets}, error)) << error;
        EXPECT_TRUE(user.messages.empty());
    }
    static void TearDownTestSuite()
    {
        delete s_maps;
        s_maps = nullptr;
    }

    static std::string MapOf(const CTempDir& dir) { return dir.File(CDemoMapWriter::kMapFile); }

    // The default town opened as the program opens it.
    void OpenFull()
    {
        ASSERT_TRUE(m_doc.OnOpenDocument(MapOf(s_maps->full)));
    }

    static CMaps* s_maps;
    CScriptedUserServices m_user;
    CDrelDoc m_doc;
    const CDemoNames& m_names = CDemoNames::Get();
};

DemoMap::CMaps* DemoMap::s_maps = nullptr;

TEST_F(DemoMap, OneSeedReadsBackAsTheSameTown)
{
    const std::vector<std::string> first = DigestMap(MapOf(s_maps->first));
    const std::vector<std::string> again = DigestMap(MapOf(s_maps->again));
    EXPECT_EQ(FirstDifference(first, again), "");
    // Every object was read: the digest is as long as the town is large.
    const CDemoTown town = CDemoTown::Generate({7, 150});
    const size_t objects = town.streets.size() + town.buildings.size() + town.addresses.size() + town.parks.size() +
                           town.sights.size() + town.track.size() + 1;
    EXPECT_GT(first.size(), objects);
    EXPECT_TRUE(m_user.messages.empty());
}

TEST_F(DemoMap, AnotherSeedGivesAnotherTown)
{
    const std::vector<std::string> first = DigestMap(MapOf(s_maps->first));
    const std::vector<std::string> other = DigestMap(MapOf(s_maps->other));
    EXPECT_NE(FirstDifference(first, other), "");

    // Not only somewhere else: other streets and other names.
    const CDemoTown a = CDemoTown::Generate({7, 150});
    const CDemoTown b = CDemoTown::Generate({8, 150});
    EXPECT_NE(a.centre.x, b.centre.x);
    std::set<std::string> namesA, namesB;
    for (const CDemoStreet& s : a.streets)
        namesA.insert(s.name);
    for (const CDemoStreet& s : b.streets)
        namesB.insert(s.name);
    EXPECT_NE(namesA, namesB);
    EXPECT_NE(a.townName, b.townName);
    EXPECT_NE(a.buildings.size(), b.buildings.size());
}

TEST_F(DemoMap, OpensWithEveryLayerAndSetting)
{
    OpenFull();
    const auto& l = m_names.layers;
    const struct {
        std::string name;
        int type;
        std::string file; // empty for a group
        int members;
        bool shown;
        bool inOverview;
    } expected[] = {
        {l.reliefGroup, -1, "", 2, false, false},
        {l.relief, CLayer::kRaster, "reljefas.bmp", 0, false, false},
        {l.elevation, CLayer::kElevation, "aukstis.rmp", 0, false, false},
        {l.natureGroup, -1, "", 2, true, false},
        {l.parks, CLayer::kArea, "parkai.gdb", 0, true, false},
        {l.river, CLayer::kLine, "upe.shp", 0, true, true},
        {l.buildings, CLayer::kArea, "pastatai.gdb", 0, true, false},
        {l.streets, CLayer::kLine, "gatves.gdb", 0, true, true},
        {l.addresses, CLayer::kPoint, "adresai.gdb", 0, true, false},
        {l.sights, CLayer::kPoint, "lankytinos.dbf", 0, true, false},
        {l.track, CLayer::kTrack, "trasa.trk", 0, true, false},
    };
    ASSERT_EQ(m_doc.GetLayerCount(), static_cast<int>(std::size(expected)));
    for (int k = 0; k < m_doc.GetLayerCount(); ++k) {
        const CLayer& layer = *m_doc.GetLayer(k);
        const auto& e = expected[k];
        SCOPED_TRACE(Cp1257ToUtf8(e.name));
        EXPECT_EQ(layer.GetName(), e.name);
        EXPECT_EQ(layer.HasFlag(CLayer::kGroup), e.file.empty());
        EXPECT_EQ(layer.HasFlag(CLayer::kShown), e.shown);
        EXPECT_EQ(layer.HasFlag(CLayer::kInOverview), e.inOverview);
        if (e.file.empty()) {
            EXPECT_EQ(layer.GetMemberCount(), e.members);
            continue;
        }
        EXPECT_EQ(layer.GetType(), e.type);
        EXPECT_EQ(GetPathFileName(layer.GetPath()), e.file);
        // Paths come back absolute in the map's folder.
        EXPECT_EQ(layer.GetPath(), s_maps->full.File(e.file));
        if (layer.IsVectorType()) {
            EXPECT_FALSE(ReadLayerObjects(layer, layer.GetIdField()).texts.empty());
        }
    }
    EXPECT_EQ(m_doc.UpdateGroupVisibility(m_doc.GetLayer(0)), 0); // the relief group hidden whole
    EXPECT_EQ(m_doc.UpdateGroupVisibility(m_doc.GetLayer(3)), 1);

    const CMapSettings& s = m_doc.Settings();
    EXPECT_EQ(s.name, m_names.towns[0] + m_names.mapTitle);
    EXPECT_EQ(s.mapUnits, kUnitsMetres);
    EXPECT_EQ(m_doc.GetCoordSystem(), kCoordTm);
    EXPECT_EQ(s.legendType, 0);
    EXPECT_EQ(s.legendAutoUpdate, 1);
    EXPECT_EQ(std::tie(s.fromNodeField, s.toNodeField, s.arcLengthField, s.dirMaskField, s.weightField,
                       s.significanceField),
              std::make_tuple("NUO", "IKI", "ILGIS", "KRYPTIS", "SVORIS", "RANGAS"));
    EXPECT_EQ(std::tie(s.streetNameField, s.codeField, s.cityNameField), std::make_tuple("PAVAD", "KODAS", "MIESTAS"));
    EXPECT_EQ(std::tie(s.streetCodeField, s.numField, s.letterField), std::make_tuple("GAT_KODAS", "NR", "RAIDE"));
    EXPECT_EQ(s.scaleBarShow, 1);
    EXPECT_NE(m_doc.GetRoutesLayer(), nullptr);
    EXPECT_EQ(m_doc.GetStreetsLayer(), &LayerNamed(m_doc, l.streets));
    EXPECT_EQ(m_doc.GetAddressesLayer(), &LayerNamed(m_doc, l.addresses));
    CRouteSettings route;
    EXPECT_TRUE(m_doc.GetRouteSettings(route));
    EXPECT_EQ(route.unitKind, 4);

    // The saved places lie on the town; the whole town is the map's extent.
    ASSERT_EQ(m_doc.GetBookmarkCount(), 4);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(m_doc.GetBookmarkName(k), m_names.bookmarks[static_cast<size_t>(k)]);
        CMapRect meet;
        EXPECT_TRUE(meet.IntersectRect(m_doc.GetBookmarkExtent(k), s.limits));
    }
    EXPECT_EQ(m_doc.GetBookmarkExtent(0), s.limits);
    EXPECT_TRUE(m_user.messages.empty());
}

TEST_F(DemoMap, StylesShowWhatTheLayersHold)
{
    OpenFull();
    const auto& l = m_names.layers;

    // Main streets as double lines, ordinary ones cased, classified by rank.
    const CSublayer& streets = *LayerNamed(m_doc, l.streets).GetSublayer(0);
    EXPECT_EQ(streets.m_kind, CSublayer::kClassified);
    EXPECT_EQ(streets.m_classField, "RANGAS");
    EXPECT_EQ(streets.m_labelField, "PAVAD");
    const CThemeClass* main = streets.m_classes.FindClass("2");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->m_style.Draw().penStyle & CDrawStyle::kDoubleLine);
    EXPECT_FALSE(streets.m_classes.FindClass("1")->m_style.Draw().penStyle & CDrawStyle::kDoubleLine);
    EXPECT_EQ(LayerNamed(m_doc, l.streets).GetSublayerCount(), 3);

    // Parks filled with a pattern and named inside.
    const CSublayer& parks = *LayerNamed(m_doc, l.parks).GetSublayer(0);
    EXPECT_EQ(parks.m_style.Draw().brushStyle, BS_PATTERN);
    EXPECT_EQ(parks.m_labelField, "PAVAD");

    // Buildings coloured by their use; those of no known use take the last class.
    const CLayer& buildingsLayer = LayerNamed(m_doc, l.buildings);
    const CSublayer& buildings = *buildingsLayer.GetSublayer(0);
    EXPECT_EQ(buildings.m_kind, CSublayer::kClassified);
    EXPECT_EQ(buildings.m_classField, "PASKIRTIS");
    const CLayerObjects uses = ReadLayerObjects(buildingsLayer, "PASKIRTIS");
    std::map<const CThemeClass*, int> perClass;
    for (const std::string& use : uses.texts)
        ++perClass[buildings.m_classes.FindClass(use)];
    EXPECT_EQ(perClass.size(), static_cast<size_t>(buildings.m_classes.GetCount()));
    EXPECT_GT(perClass[buildings.m_classes.GetClass(buildings.m_classes.GetCount() - 1)], 0);
    EXPECT_EQ(buildingsLayer.GetSublayer(1)->m_kind, CSublayer::kHidden);

    // The elevation layer colours the grid's heights, every one in a class of its own.
    const auto* elevation = dynamic_cast<const CDtmLayer*>(&LayerNamed(m_doc, l.elevation));
    ASSERT_NE(elevation, nullptr);
    ASSERT_EQ(elevation->GetFileCount(), 1);
    CGridFile grid;
    ASSERT_TRUE(grid.Open(elevation->Files()[0].path));
    CMapRect gridExtent;
    ASSERT_TRUE(grid.GetExtent(gridExtent));
    EXPECT_EQ(gridExtent, elevation->Files()[0].extent);
    const double height = grid.ValueAt(m_doc.Settings().limits.Center());
    EXPECT_GT(height, 50);
    EXPECT_LT(height, 200);
    EXPECT_GT(elevation->GetHeightClasses()->GetCount(), 1);

    // The picture covers the layer's extent by its world file.
    const CLayer& relief = LayerNamed(m_doc, l.relief);
    QImage picture;
    ASSERT_TRUE(picture.load(QString::fromStdString(ResolvePath(relief.GetPath()))));
    std::vector<double> world;
    for (const std::string& line : [&] {
             std::vector<std::string> lines;
             SplitLines(ReadWholeFile(s_maps->full.File("reljefas.wld")), lines);
             return lines;
         }())
        world.push_back(std::stod(line));
    ASSERT_EQ(world.size(), 6u);
    // Square pixels, north up, the whole town under the picture.
    EXPECT_GT(world[0], 0);
    EXPECT_EQ(world[3], -world[0]);
    EXPECT_EQ(world[1], 0);
    EXPECT_EQ(world[2], 0);
    const CMapRect covered(world[4] - world[0] / 2, world[5] - world[3] / 2,
                           world[4] - world[0] / 2 + picture.width() * world[0],
                           world[5] - world[3] / 2 + picture.height() * world[3]);
    const CMapRect& town = m_doc.Settings().limits;
    EXPECT_TRUE(covered.left < town.left && covered.right > town.right && covered.bottom < town.bottom &&
                covered.top > town.top);
    // Less than a few hundred metres round it: the picture is of this town.
    EXPECT_LT(covered.Width(), town.Width() + 1000);
}

TEST_F(DemoMap, ARouteRunsBetweenAddressesAtOppositeEnds)
{
    OpenFull();
    const CLayerObjects addresses = ReadLayerObjects(LayerNamed(m_doc, m_names.layers.addresses), "ADRESAS");
    ASSERT_GT(addresses.points.size(), 100u);
    CMapPoint stops[2] = {addresses.points[0], addresses.points[0]};
    for (const CMapPoint& p : addresses.points) {
        if (p.x + p.y < stops[0].x + stops[0].y)
            stops[0] = p;
        if (p.x + p.y > stops[1].x + stops[1].y)
            stops[1] = p;
    }

    CRouteNetwork network;
    ASSERT_TRUE(network.LoadSettings(m_doc));
    CMapRect query;
    std::vector<CMapRect> stopRects;
    network.MakeStopRects(stops, 2, query, stopRects);
    ASSERT_TRUE(network.BuildGraph(true, &query, 2, stopRects.data()));
    // Closed streets stay out of the graph; the others are all in it.
    const CLayerObjects directions = ReadLayerObjects(LayerNamed(m_doc, m_names.layers.streets), "KRYPTIS");
    int closed = 0, oneWay = 0;
    for (const std::string& d : directions.texts) {
        closed += d == "3";
        oneWay += d == "1" || d == "2";
    }
    EXPECT_GT(oneWay, 0);
    EXPECT_GT(closed, 0); // the street for walkers
    EXPECT_EQ(network.GetEdges().size(), directions.texts.size() - static_cast<size_t>(closed));

    int nodes[2];
    for (int k = 0; k < 2; ++k) {
        CMapPoint snapped;
        ASSERT_TRUE(network.SnapPoint(stops[k], snapped, nodes[k]));
        // Each entrance lies a few metres from its street.
        EXPECT_LT(std::hypot(snapped.x - stops[k].x, snapped.y - stops[k].y), 30);
    }
    CRouteNodeIndex index;
    ASSERT_TRUE(index.Build(network.GetEdges()));
    const int positions[] = {index.Find(nodes[0]), index.Find(nodes[1])};
    CCostMatrix costs;
    CPredecessorMatrix preds;
    ASSERT_TRUE(CRouteNetwork::ComputeCostMatrix(costs, preds, 2, index.GetCount(), 2, positions, index, nullptr));
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        EXPECT_LT(costs.GetRow(row)[1 - row], INT_MAX);
        std::vector<int> edges;
        ASSERT_TRUE(preds.GetLeg(row, positions[row], positions[1 - row], edges));
        double metres = 0;
        for (int edge : edges)
            metres += network.GetEdges().at(static_cast<size_t>(edge < 0 ? ~edge : edge))->length;
        // Along the streets, never shorter than straight across, and not
        // more than a roundabout way.
        const double across = std::hypot(stops[1].x - stops[0].x, stops[1].y - stops[0].y);
        EXPECT_GT(metres, across * 0.98);
        EXPECT_LT(metres, across * 2);
    }
    EXPECT_TRUE(m_user.messages.empty());
}

TEST_F(DemoMap, EveryAddressNamesAStreet)
{
    OpenFull();
    const CLayer& streets = LayerNamed(m_doc, m_names.layers.streets);
    const CLayerObjects codes = ReadLayerObjects(streets, "KODAS");
    const CLayerObjects names = ReadLayerObjects(streets, "PAVAD");
    const CLayerObjects towns = ReadLayerObjects(streets, "MIESTAS");
    std::map<std::string, std::string> nameOfCode;
    std::map<std::pair<std::string, std::string>, std::string> codeOfName;
    for (size_t k = 0; k < codes.texts.size(); ++k) {
        // One name to a code, and within a town one code to a name.
        const auto [named, fresh] = nameOfCode.emplace(codes.texts[k], names.texts[k]);
        EXPECT_EQ(named->second, names.texts[k]);
        const auto [coded, new2] = codeOfName.emplace(std::make_pair(towns.texts[k], names.texts[k]), codes.texts[k]);
        EXPECT_EQ(coded->second, codes.texts[k]) << Cp1257ToUtf8(names.texts[k]);
    }

    CDbfTable table;
    ASSERT_TRUE(table.Open(LayerNamed(m_doc, m_names.layers.addresses).GetTablePath()));
    const int code = table.FindField("GAT_KODAS"), number = table.FindField("NR"), letter = table.FindField("RAIDE"),
              text = table.FindField("ADRESAS");
    std::set<std::tuple<std::string, std::string, std::string>> seen;
    int lettered = 0;
    ASSERT_GT(table.GetRecordCount(), 0);
    for (int n = 0; n < table.GetRecordCount(); ++n) {
        ASSERT_TRUE(table.GoToRecord(n));
        std::string c, num, let, full;
        table.GetFieldString(code, c);
        table.GetFieldString(number, num);
        table.GetFieldString(letter, let);
        table.GetFieldString(text, full);
        ASSERT_TRUE(nameOfCode.count(c)) << c;
        // The full address is the street's name and the number with its letter.
        EXPECT_EQ(full, nameOfCode[c] + " " + num + let);
        EXPECT_TRUE(seen.emplace(c, num, let).second) << Cp1257ToUtf8(full) << " twice";
        lettered += !let.empty();
    }
    EXPECT_GT(lettered, 0);
    EXPECT_LT(lettered, table.GetRecordCount() / 5);
}

TEST_F(DemoMap, StreetNamesRoundTripInCp1257AndHoldTheNineLetters)
{
    for (const CTempDir* dir : {&s_maps->first, &s_maps->full}) {
        const bool small = dir == &s_maps->first;
        SCOPED_TRACE(small ? "small" : "full");
        const CDemoTown town = CDemoTown::Generate(small ? CDemoOptions{7, 150} : CDemoOptions{});
        CDbfTable table;
        ASSERT_TRUE(table.Open(dir->File("gatves.dbf")));
        ASSERT_EQ(table.GetRecordCount(), static_cast<int>(town.streets.size()));
        const int field = table.FindField("PAVAD");
        std::set<std::string> letters;
        for (int n = 0; n < table.GetRecordCount(); ++n) {
            ASSERT_TRUE(table.GoToRecord(n));
            std::string name;
            table.GetFieldString(field, name);
            EXPECT_EQ(name, town.streets[static_cast<size_t>(n)].name);
            EXPECT_EQ(Utf8ToCp1257(Cp1257ToUtf8(name)), name);
            for (char c : name)
                letters.insert(std::string(1, c));
        }
        for (const char* letter : {"ą", "č", "ę", "ė", "į", "š", "ų", "ū", "ž"})
            EXPECT_TRUE(letters.count(Utf8ToCp1257(letter))) << letter;
    }
}

TEST_F(DemoMap, TheTrackSplitsIntoTripsAtStart)
{
    OpenFull();
    const CLayer& track = LayerNamed(m_doc, m_names.layers.track);
    const CLayerObjects fixes = ReadLayerObjects(track, "START");
    ASSERT_GT(fixes.points.size(), 20u);
    EXPECT_EQ(fixes.texts[0], "*");
    int trips = 0;
    for (const std::string& start : fixes.texts)
        trips += start.rfind('*', 0) == 0;
    EXPECT_EQ(trips, 2);

    // Stored in degrees, on the map's streets once converted.
    const auto toMap = CreateCoordConverter(kCoordGeographic, kCoordTm);
    CMapRect town = m_doc.Settings().limits;
    town.Scale(1.01);
    for (CMapPoint p : fixes.points) {
        EXPECT_GT(p.x, 20);
        EXPECT_LT(p.x, 27);
        EXPECT_GT(p.y, 53);
        EXPECT_LT(p.y, 57);
        toMap->ConvertPoint(p);
        EXPECT_TRUE(p.x >= town.left && p.x <= town.right && p.y >= town.bottom && p.y <= town.top);
    }
}

// The town grown larger keeps the smaller one within it.
TEST(DemoTown, GrowsTheSameTown)
{
    const CDemoTown small = CDemoTown::Generate({3, 400});
    const CDemoTown large = CDemoTown::Generate({3, 1000});
    // The rings of the small town short of its last complete one.
    const double inner = 5 * CDemoTerrain::kBlock + 30;
    const auto inside = [&](const std::vector<CMapPoint>& points) {
        for (const CMapPoint& p : points) {
            double u, v;
            small.terrain.ToLocal(p, u, v);
            if (std::max(std::abs(u), std::abs(v)) > inner)
                return false;
        }
        return true;
    };
    std::map<std::pair<int32_t, int32_t>, const CDemoStreet*> largeStreets;
    for (const CDemoStreet& s : large.streets)
        largeStreets[{s.fromNode, s.toNode}] = &s;
    int compared = 0;
    for (const CDemoStreet& s : small.streets) {
        if (!inside(s.line))
            continue;
        ++compared;
        const auto found = largeStreets.find({s.fromNode, s.toNode});
        ASSERT_NE(found, largeStreets.end());
        const CDemoStreet& t = *found->second;
        EXPECT_EQ(std::tie(s.name, s.town, s.code, s.direction, s.significance, s.weight, s.length),
                  std::tie(t.name, t.town, t.code, t.direction, t.significance, t.weight, t.length));
        EXPECT_EQ(s.line.size(), t.line.size());
    }
    EXPECT_GT(compared, 150);

    std::set<std::tuple<int32_t, int, char, double, double>> largeAddresses;
    for (const CDemoAddress& a : large.addresses)
        largeAddresses.emplace(a.streetCode, a.number, a.letter, a.point.x, a.point.y);
    int addresses = 0;
    for (const CDemoAddress& a : small.addresses)
        if (inside({a.point})) {
            ++addresses;
            EXPECT_TRUE(largeAddresses.count({a.streetCode, a.number, a.letter, a.point.x, a.point.y}))
                << Cp1257ToUtf8(a.text);
        }
    EXPECT_GT(addresses, 500);
    EXPECT_EQ(small.riverName, large.riverName);
    EXPECT_EQ(small.centre, large.centre);
}

TEST(DemoTown, HasAsManyStreetsAsAsked)
{
    for (int streets : {CDemoOptions::kMinStreets, 13, 150, 421}) {
        SCOPED_TRACE(streets);
        const CDemoTown town = CDemoTown::Generate({5, streets});
        ASSERT_EQ(town.streets.size(), static_cast<size_t>(streets));
        std::set<std::pair<int32_t, int32_t>> ends;
        for (const CDemoStreet& s : town.streets) {
            // Node ids that routing takes, lengths that match the lines.
            EXPECT_GT(s.fromNode, 0);
            EXPECT_LT(s.fromNode, CRouteNetwork::kFirstVirtualNode);
            EXPECT_NE(s.fromNode, s.toNode);
            EXPECT_TRUE(ends.emplace(std::min(s.fromNode, s.toNode), std::max(s.fromNode, s.toNode)).second);
            EXPECT_GT(s.length, 50);
            EXPECT_NEAR(s.length, std::hypot(s.line.back().x - s.line.front().x, s.line.back().y - s.line.front().y), 5);
            EXPECT_GE(s.direction, 0);
            EXPECT_LE(s.direction, 3);
            EXPECT_GT(s.weight, 0);
            EXPECT_FALSE(s.name.empty());
            EXPECT_GT(s.code, 0);
        }
        EXPECT_FALSE(town.addresses.empty());
        EXPECT_FALSE(town.parks.empty());
    }
}

TEST(DemoMapFolder, ANewMapTakesTheOldOnesPlace)
{
    CScriptedUserServices user;
    CTempDir dir, fresh;
    std::string error;
    ASSERT_TRUE(MakeDemoMap(dir.Path(), {11, 60}, error)) << error;
    WriteWholeFile(dir.File("mano.txt"), "not the demo's");
    ASSERT_TRUE(MakeDemoMap(dir.Path(), {12, 90}, error)) << error;
    ASSERT_TRUE(MakeDemoMap(fresh.Path(), {12, 90}, error)) << error;
    EXPECT_EQ(FirstDifference(DigestMap(dir.File(CDemoMapWriter::kMapFile)), DigestMap(fresh.File(CDemoMapWriter::kMapFile))), "");
    // Other files stay, and no work folder is left behind.
    EXPECT_EQ(ReadWholeFile(dir.File("mano.txt")), "not the demo's");
    const auto files = [](const CTempDir& folder) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(ResolvePath(folder.Path())))
            names.insert(entry.path().filename().string() + (entry.is_directory() ? "/" : ""));
        return names;
    };
    std::set<std::string> expected = files(fresh);
    expected.insert("mano.txt");
    EXPECT_EQ(files(dir), expected);

    // Where no folder can be, nothing is written and the reason is given.
    const std::string file = dir.File("mano.txt");
    EXPECT_FALSE(MakeDemoMap(file, {1, 60}, error));
    EXPECT_NE(error.find("not a folder"), std::string::npos) << error;
    EXPECT_FALSE(MakeDemoMap(dir.File("nera/gilyn"), {1, 60}, error));
    EXPECT_NE(error.find("cannot make the folder"), std::string::npos) << error;
    EXPECT_EQ(ReadWholeFile(file), "not the demo's");
    EXPECT_TRUE(user.messages.empty());
}

} // namespace
