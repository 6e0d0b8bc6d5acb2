#include "mapdoc/DrelDoc.h"

#include "core/CoordConverter.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/support/TestSupport.h"

#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The fixture map and its settings file copied into the folder; the map's path.
std::string CopyFixture(const CTempDir& dir, const std::string& title = "Vilnius")
{
    WriteWholeFile(dir.File(title + ".map"), ReadWholeFile(TestDataFolder() + "map_every_record.map"));
    WriteWholeFile(dir.File(title + ".ini"), ReadWholeFile(TestDataFolder() + "map_every_setting.ini"));
    return dir.File(title + ".map");
}

// A map of no layers with the settings text beside it (none when null).
std::string WriteMap(const CTempDir& dir, const char* iniText, const std::string& title = "m")
{
    CLayerArray empty;
    EXPECT_TRUE(empty.WriteMapFile(dir.File(title + ".map")));
    if (iniText)
        WriteWholeFile(dir.File(title + ".ini"), iniText);
    return dir.File(title + ".map");
}

std::string ExtentHex(double l, double t, double r, double b)
{
    const double v[4] = {l, t, r, b};
    return EncodeProfileStruct(v, sizeof v);
}

// A layer whose record cannot be written: the map file fails half-way.
class CUnwritableLayer : public CLayer {
public:
    using CLayer::CLayer;
    void Serialize(CArchive& archive) override
    {
        if (archive.IsStoring())
            throw CArchiveException(CArchiveException::writeFailed, "disk full");
        CLayer::Serialize(archive);
    }
};

constexpr CMapRect kFixtureLimits{21.25, 56.5, 27, 53.75};

} // namespace

TEST(MapSettingsFile, FixtureMapOpensWithEveryKeyApplied)
{
    CCallLog log;
    CRecordingHost host(log);
    host.withAdminSearch = true;
    host.adminSearchBar = true;
    CLoggingExtension extension(log);
    // The settings are read before the extension hears of the map.
    extension.whileOpening = [&](CDrelDoc& d) { log.push_back("name " + d.Settings().name); };
    CTempDir dir;
    const std::string map = CopyFixture(dir);

    CDrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(map));
    EXPECT_EQ(LayerNames(doc), (std::vector<std::string>{"Keliai", Cp("Gatvės"), Cp("Taškai"), "Reljefas", "Senas",
                                                         "Trasa"}));
    const CMapSettings& s = doc.Settings();
    EXPECT_EQ(s.name, Cp("Vilniaus apylinkės"));
    EXPECT_EQ(s.autoLoad, 1);
    EXPECT_EQ(s.autoRecalcMapExtent, 0);
    EXPECT_EQ(s.mapUnits, kUnitsDegrees);
    EXPECT_EQ(doc.GetCoordSystem(), 0); // CS=3 is not applied to a map in degrees
    EXPECT_EQ(s.limits, kFixtureLimits);
    EXPECT_EQ(s.optimScale, 25000);
    EXPECT_EQ(s.legendAutoUpdate, 0);
    EXPECT_EQ(s.legendType, 2);
    const std::vector<std::string> layerKeys = {
        s.routesLayer,      s.fromNodeField,   s.toNodeField, s.arcLengthField,   s.dirMaskField,
        s.weightField,      s.significanceField, s.streetsLayer, s.streetNameField, s.codeField,
        s.cityNameField,    s.addressesLayer,  s.streetCodeField, s.numField,       s.letterField,
        s.streetCodeField2, s.numField2,       s.letterField2, s.placemarksLayer,
    };
    const std::vector<std::string> expectedKeys = {
        Cp("Gatvės"), "NUO",     "IKI",      "ILGIS",  "KRYPTIS", "SVORIS", "RANGAS",
        Cp("Gatvės"), "PAV",     "KODAS",    "MIESTAS", Cp("Taškai"), "G_KODAS", "NR",
        "RAIDE",      "G_KODAS2", "NR2",     "RAIDE2", "Mano vietos",
    };
    EXPECT_EQ(layerKeys, expectedKeys);
    EXPECT_EQ(s.scaleBarShow, 1);
    EXPECT_EQ(s.scaleBarOffsetX, 500);
    EXPECT_EQ(s.scaleBarOffsetY, 750);
    EXPECT_EQ(s.scaleBarFromLeft, 1);
    EXPECT_EQ(s.scaleBarFromTop, 0);

    // Numbers 0 and 2 load; 3 fails its checksum, 5 has no extent, 7 no name.
    ASSERT_EQ(doc.GetBookmarkCount(), 2);
    EXPECT_EQ(doc.GetBookmarkName(0), "Senamiestis");
    EXPECT_EQ(doc.GetBookmarkExtent(0), CMapRect(25.25, 54.75, 25.3125, 54.6875));
    EXPECT_EQ(doc.GetBookmarkName(1), "Trakai");
    EXPECT_EQ(doc.GetBookmarkExtent(1), CMapRect(24.875, 54.6875, 25, 54.625));
    EXPECT_EQ(host.placesBox, (std::vector<std::string>{"Senamiestis", "Trakai"}));

    // Metres per degree at the centre of the extent (24.125, 55.125).
    EXPECT_DOUBLE_EQ(doc.GetMetresPerDegreeX(), 1000 * GreatCircleDistanceKm(23.625, 55.125, 24.625, 55.125));
    EXPECT_DOUBLE_EQ(doc.GetMetresPerDegreeY(), 1000 * GreatCircleDistanceKm(24.125, 54.625, 24.125, 55.625));
    EXPECT_NEAR(doc.GetMetresPerDegreeX() / doc.GetMetresPerDegreeY(), std::cos(55.125 * M_PI / 180), 1e-4);

    const std::string ini = dir.File("Vilnius.ini");
    const CCallLog expected = {
        "extension new", "extension open " + map, "name " + Cp("Vilniaus apylinkės"), "admin load " + ini,
        "admin counties", "places box",
    };
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(doc.IsModified());
}

TEST(MapSettingsFile, UnitsDecideTheCoordinateSystemAndTheMetresPerDegree)
{
    struct Case {
        const char* ini;
        int coordSystem;
        bool defaultMetres; // 63530 and 111320 stay
    };
    const Case cases[] = {
        {"[Map]\r\nMapUnits=1\r\nCS=0\r\n", 1, true},
        {"[Map]\r\nMapUnits=1\r\n", 1, true},
        {"[Map]\r\nMapUnits=3\r\nCS=-4\r\n", 1, true},
        {"[Map]\r\nMapUnits=2\r\nCS=3\r\nLimits=21 56 27 54\r\n", 3, true},
        {"[Map]\r\nMapUnits=0\r\nCS=3\r\n", 0, false},
        // The centre of a geographic map must lie within the degree ranges.
        {"[Map]\r\nLimits=500000 6200000 600000 6100000\r\n", 0, true},
    };
    for (const Case& c : cases) {
        CTempDir dir;
        CDrelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(WriteMap(dir, c.ini))) << c.ini;
        EXPECT_EQ(doc.GetCoordSystem(), c.coordSystem) << c.ini;
        EXPECT_EQ(doc.GetMetresPerDegreeX() == 63530 && doc.GetMetresPerDegreeY() == 111320, c.defaultMetres)
            << c.ini;
    }

    // With a coordinate system its transforms work both ways.
    CTempDir dir;
    CDrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteMap(dir, "[Map]\r\nMapUnits=1\r\n")));
    CMapPoint p(25.0, 54.5);
    doc.GeoToMap(p);
    EXPECT_NEAR(p.x, 564000, 1000);
    doc.MapToGeo(p);
    EXPECT_NEAR(p.x, 25.0, 1e-6);
    EXPECT_NEAR(p.y, 54.5, 1e-6);
}

TEST(MapSettingsFile, MissingAndBrokenValuesKeepTheirDefaults)
{
    CTempDir dir;
    {
        // No settings file: a geographic map whose empty extent centres on (0, 0).
        CDrelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(WriteMap(dir, nullptr, "none")));
        EXPECT_FALSE(doc.Settings().limits.IsValid());
        EXPECT_EQ(doc.Settings().optimScale, 10000);
        EXPECT_EQ(doc.Settings().legendType, 1);
        EXPECT_EQ(doc.Settings().legendAutoUpdate, 1);
        EXPECT_EQ(doc.Settings().autoRecalcMapExtent, 1);
        EXPECT_DOUBLE_EQ(doc.GetMetresPerDegreeX(), 1000 * GreatCircleDistanceKm(-0.5, 0, 0.5, 0));
    }
    {
        // A place that is not a number, however well its checksum matches.
        const std::string text = "[Map]\r\nLimits=1 2 3\r\nOptimScale=0\r\n"
                                 "[ScaleBar]\r\nPos=10 20 x 4\r\n"
                                 "[Bookmarks]\r\nBookmark0=NaN\r\nExtent0=" +
                                 ExtentHex(std::nan(""), 1, 2, 0) + "\r\n";
        CDrelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(WriteMap(dir, text.c_str(), "short")));
        EXPECT_EQ(doc.GetBookmarkCount(), 0);
        EXPECT_FALSE(doc.Settings().limits.IsValid()); // three numbers change nothing
        EXPECT_EQ(doc.Settings().optimScale, 10000);   // no scale to zoom to
        EXPECT_EQ(doc.Settings().scaleBarOffsetX, 10);
        EXPECT_EQ(doc.Settings().scaleBarOffsetY, 20);
        EXPECT_EQ(doc.Settings().scaleBarFromLeft, 0);
        EXPECT_EQ(doc.Settings().scaleBarFromTop, 0);
    }
    {
        // Over a hundred places: only numbers 0 to 99 are read.
        std::string text = "[Bookmarks]\r\n";
        for (int n = 0; n < 105; ++n)
            text += FormatC("Bookmark%d=P%d\r\nExtent%d=", n, n, n) + ExtentHex(n, 1, n + 1, 0) + "\r\n";
        CDrelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(WriteMap(dir, text.c_str(), "many")));
        ASSERT_EQ(doc.GetBookmarkCount(), 100);
        EXPECT_EQ(doc.GetBookmarkName(99), "P99");
        CMapRect found;
        EXPECT_TRUE(doc.FindBookmark("P42", found));
        EXPECT_EQ(found, CMapRect(42, 1, 43, 0));
        EXPECT_FALSE(doc.FindBookmark("p42", found));
    }
}

TEST(MapSettingsFile, SaveWritesTheSettingsInTheirOrderThenTheMap)
{
    CCallLog log;
    CRecordingHost host(log);
    CLoggingExtension extension(log);
    CTempDir dir;
    const std::string map = dir.File("Naujas.map");
    const std::string ini = dir.File("Naujas.ini");
    // When the extension hears of the save the settings are on disk and the map is not.
    extension.whileSaving = [&](CDrelDoc&) {
        log.push_back(ReadWholeFile(ini).empty() ? "no settings" : "settings written");
        log.push_back(PathExists(map) ? "map written" : "no map");
    };

    CDrelDoc doc;
    doc.AddLayer(MakeLayer("Keliai", CLayer::kLine), true);
    CMapSettings& s = doc.Settings();
    s.name = Cp("Bandymas šiaurėje");
    s.mapUnits = kUnitsMetres;
    doc.SetCoordSystem(3);
    s.limits = CMapRect(21.1234567890123, 56.7890123456789, 26.9876543210987, 53.0000000000001);
    s.optimScale = 50000;
    s.routesLayer = "Keliai";
    s.placemarksLayer = "Vietos";
    s.scaleBarShow = 1;
    s.scaleBarOffsetX = 100;
    s.scaleBarOffsetY = 200;
    s.scaleBarFromLeft = 1;
    doc.AddBookmark("Centras", CMapRect(21.25, 56.5, 27, 53.75));
    doc.AddBookmark(Cp("Pajūris"), CMapRect(1, 2, 3, 1));
    ASSERT_TRUE(doc.OnSaveDocument(map));

    const std::string expected = "[Map]\r\n"
                                 "Name=" + Cp("Bandymas šiaurėje") + "\r\n"
                                 "MapUnits=1\r\n"
                                 "CS=3\r\n"
                                 "AutoRecalcMapExtent=1\r\n"
                                 "AutoLoad=0\r\n"
                                 "Limits=21.1234567890123 56.7890123456789 26.9876543210987 53.0000000000001\r\n"
                                 "OptimScale=50000\r\n"
                                 "[Legend]\r\n"
                                 "AutoUpdate=1\r\n"
                                 "Type=1\r\n"
                                 "[Routes]\r\n"
                                 "Layer=Keliai\r\n"
                                 "FromNodeField=\r\n"
                                 "ToNodeField=\r\n"
                                 "ArcLengthField=\r\n"
                                 "DirMaskField=\r\n"
                                 "WeightField=\r\n"
                                 "SignificanceField=\r\n"
                                 "[Streets]\r\n"
                                 "Layer=\r\n"
                                 "StreetNameField=\r\n"
                                 "CodeField=\r\n"
                                 "CityNameField=\r\n"
                                 "[Addresses]\r\n"
                                 "Layer=\r\n"
                                 "StreetCodeField=\r\n"
                                 "NumField=\r\n"
                                 "LetterField=\r\n"
                                 "StreetCodeField2=\r\n"
                                 "NumField2=\r\n"
                                 "LetterField2=\r\n"
                                 "[Placemarks]\r\n"
                                 "Layer=Vietos\r\n"
                                 "[Bookmarks]\r\n"
                                 "Bookmark0=Centras\r\n"
                                 // 21.25 56.5 27 53.75 as four doubles and their checksum, worked out by hand
                                 "Extent0=00000000004035400000000000404C400000000000003B400000000000E04A4066\r\n"
                                 "Bookmark1=" + Cp("Pajūris") + "\r\n"
                                 "Extent1=000000000000F03F00000000000000400000000000000840000000000000F03FE6\r\n"
                                 "[ScaleBar]\r\n"
                                 "Show=1\r\n"
                                 "Pos=100 200 1 0\r\n";
    EXPECT_EQ(ReadWholeFile(ini), expected);
    EXPECT_EQ(log, (CCallLog{"extension new", "extension save " + map, "settings written", "no map"}));
    EXPECT_FALSE(doc.IsModified());

    // Both files read back into what was saved; 15 digits round-trip exactly.
    CDrelDoc again;
    ASSERT_TRUE(again.OnOpenDocument(map));
    EXPECT_EQ(LayerNames(again), (std::vector<std::string>{"Keliai"}));
    EXPECT_EQ(again.Settings().limits, s.limits);
    EXPECT_EQ(again.Settings().optimScale, 50000);
    EXPECT_EQ(again.GetCoordSystem(), 3);
    EXPECT_EQ(again.GetBookmarkName(1), Cp("Pajūris"));
    EXPECT_EQ(again.Settings().scaleBarFromLeft, 1);
}

TEST(MapSettingsFile, SavingKeepsUnknownKeysAndNumbersPlacesDensely)
{
    CCallLog log;
    CRecordingHost host(log);
    host.withAdminSearch = true;
    host.adminSearchBar = true;
    CLoggingExtension extension(log);
    CTempDir dir;
    const std::string map = CopyFixture(dir);
    const std::string ini = dir.File("Vilnius.ini");
    CDrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(map));
    log.clear();
    ASSERT_TRUE(doc.OnSaveDocument(map));
    EXPECT_EQ(log, (CCallLog{"admin save " + ini, "extension save " + map}));

    // The archive comes out as it went in.
    EXPECT_EQ(ReadWholeFile(map), ReadWholeFile(TestDataFolder() + "map_every_record.map"));

    CIniFile saved(ini);
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.GetString("Map", "Owner"), "Jonas");
    EXPECT_EQ(saved.GetString("AdminSearch", "County"), "Vilniaus");
    EXPECT_EQ(saved.GetString("Map", "CS"), "0");
    EXPECT_EQ(saved.GetString("Map", "Limits"), "21.25 56.5 27 53.75");
    const std::vector<std::pair<std::string, std::string>> places = {
        {"Bookmark0", "Senamiestis"},
        {"Extent0", ExtentHex(25.25, 54.75, 25.3125, 54.6875)},
        {"Bookmark1", "Trakai"},
        {"Extent1", ExtentHex(24.875, 54.6875, 25, 54.625)},
    };
    EXPECT_EQ(saved.SectionEntries("Bookmarks"), places);
    const std::string text = ReadWholeFile(ini);
    EXPECT_EQ(text.rfind("; Vilniaus", 0), 0u) << "the comment stays first";
    EXPECT_NE(text.find("OptimScale=25000\r\nOwner=Jonas\r\n"), std::string::npos);

    CDrelDoc again;
    ASSERT_TRUE(again.OnOpenDocument(map));
    EXPECT_EQ(again.Settings().limits, kFixtureLimits);
    EXPECT_EQ(again.Settings().addressesLayer, Cp("Taškai"));
    EXPECT_EQ(again.Settings().scaleBarOffsetY, 750);
    EXPECT_EQ(again.GetBookmarkCount(), 2);
}

TEST(MapSettingsFile, TheEmptyExtentReadsBackEmpty)
{
    CTempDir dir;
    const std::string map = dir.File("e.map");
    CDrelDoc doc;
    ASSERT_TRUE(doc.OnSaveDocument(map));
    // One step beyond the largest double in either direction, as the file has always held it.
    EXPECT_EQ(GetPrivateProfileString("Map", "Limits", "", dir.File("e.ini")),
              "1.79769313486232e+308 -1.79769313486232e+308 -1.79769313486232e+308 1.79769313486232e+308");

    CDrelDoc again;
    ASSERT_TRUE(again.OnOpenDocument(map));
    EXPECT_EQ(again.Settings().limits, CMapRect());
    EXPECT_FALSE(again.Settings().limits.IsValid());
    // Its centre is (0, 0), not a sum of infinities.
    EXPECT_DOUBLE_EQ(again.GetMetresPerDegreeY(), 1000 * GreatCircleDistanceKm(0, -0.5, 0, 0.5));
}

TEST(MapSettingsFile, AFailedSaveLeavesTheMapAndItsSettingsWhole)
{
    CScriptedUserServices user;
    CTempDir dir;
    const std::string map = CopyFixture(dir);
    const std::string ini = dir.File("Vilnius.ini");
    const std::string oldMap = ReadWholeFile(map);
    const std::string oldIni = ReadWholeFile(ini);

    CDrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(map));
    doc.Settings().name = "Kitas";
    doc.DeleteBookmark("Trakai");
    doc.AddLayer(std::make_unique<CUnwritableLayer>("Sugedęs", "x.gdb", CLayer::kPoint), true);
    EXPECT_FALSE(doc.OnSaveDocument(map));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1045}));
    EXPECT_EQ(ReadWholeFile(map), oldMap);
    EXPECT_EQ(ReadWholeFile(ini), oldIni);
    EXPECT_TRUE(doc.IsModified());

    // A map saved for the first time leaves no settings file behind.
    const std::string fresh = dir.File("Naujas.map");
    EXPECT_FALSE(doc.OnSaveDocument(fresh));
    EXPECT_FALSE(PathExists(fresh));
    EXPECT_FALSE(PathExists(dir.File("Naujas.ini")));

    // A settings file that cannot be read is not written over; the map stays.
    CTempDir other;
    const std::string map2 = CopyFixture(other, "Antras");
    RemoveFile(other.File("Antras.ini"));
    ASSERT_EQ(::mkdir(ResolvePath(other.File("Antras.ini")).c_str(), 0700), 0);
    user.messages.clear();
    CDrelDoc second;
    ASSERT_TRUE(second.OnOpenDocument(map2));
    EXPECT_FALSE(second.OnSaveDocument(map2));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1028}));
    EXPECT_EQ(ReadWholeFile(map2), oldMap);
}

TEST(MapSettingsFile, AMapThatCannotBeReadLeavesItsSettingsUnread)
{
    CScriptedUserServices user;
    CTempDir dir;
    WriteWholeFile(dir.File("bad.map"), std::string("\x05\x00\xFF\xFF\x01\x00", 6));
    WriteWholeFile(dir.File("bad.ini"), "[Map]\r\nName=Nematomas\r\n");
    CDrelDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("bad.map")));
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("missing.map")));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1030, 1007}));
    EXPECT_EQ(doc.Settings().name, "");
    EXPECT_EQ(doc.GetPathName(), "");
}
