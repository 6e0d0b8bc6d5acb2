#include "layers/Layer.h"

#include "core/FileUtil.h"
#include "layers/LayerReader.h"
#include "layers/RasterExtentReader.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "tests/layers/GridTestSupport.h"
#include "tests/layers/LayerFileSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

constexpr unsigned kPackFailed = 1041, kCannotPack = 1042, kDeleteFailed = 1114, kAskPack = 2007,
                   kAskRemoveEmpty = 2020, kPackDone = 3011, kFilesRemoved = 3052;

// A point layer of the points; with deleteFirst its first record is deleted.
std::string MakePoints(const CTempDir& dir, const std::string& name, const std::vector<CMapPoint>& points,
                       bool deleteFirst = false)
{
    const std::string path = dir.File(name);
    CGdbSource source;
    MakePointLayer(source, path, points);
    if (deleteFirst) {
        EXPECT_TRUE(source.DeleteRecord(0));
    }
    return path;
}

int RecordCount(const std::string& path)
{
    CLayerReader reader;
    return reader.Open(path) ? reader.GetSource()->GetTable().GetRecordCount() : -1;
}

class CFakeRasters : public IRasterExtentReader {
public:
    CFakeRasters() { SetRasterExtentReader(this); }
    ~CFakeRasters() override { SetRasterExtentReader(nullptr); }
    bool ReadRasterExtent(const std::string& path, CMapRect& extent) override
    {
        auto it = extents.find(GetPathFileName(path));
        if (it == extents.end())
            return false;
        extent = it->second;
        return true;
    }
    std::map<std::string, CMapRect> extents; // by file name
};

} // namespace

TEST(LayerFiles, ExtentOfVectorPictureAndGridFilesByType)
{
    CScriptedUserServices user;
    CTempDir dir;
    const std::string points = MakePoints(dir, "taskai.gdb", {{1, 2}, {3, 5}});
    // A grid whose first row is the southern one still gives a proper rectangle.
    GridBytes grid = NorthFirstGrid(CGridFile::kPacked2, 3, 2, {1, 2, 3, 4, 5, 6});
    grid.yFirst = 40;
    grid.yLast = 41;
    const std::vector<unsigned char> bytes = grid.Bytes();
    WriteWholeFile(dir.File("aukstis.rmp"), std::string(bytes.begin(), bytes.end()));
    CFakeRasters rasters;
    rasters.extents["foto.tif"] = CMapRect(5, 6, 7, 4);
    MakeShapefile(dir.File("plotai.shp"), CFeatureSource::kArea, {"0 0, 2 0, 2 3"});
    MakeCoordTable(dir.File("vietos.dbf"), {{24, 55}});

    const struct {
        std::string path;
        int type;
        bool found;
        CMapRect extent;
    } cases[] = {
        {points, CLayer::kPoint, true, CMapRect(1, 5, 3, 2)},
        {points, CLayer::kArea, true, CMapRect(1, 5, 3, 2)}, // the file's extent whatever it holds
        {dir.File("nera.gdb"), CLayer::kLine, false, CLayer::kUnboundedExtent},
        {dir.File("PLOTAI.SHP"), CLayer::kArea, true, CMapRect(0, 3, 2, 0)},
        {dir.File("vietos.dbf"), CLayer::kPoint, false, CLayer::kUnboundedExtent}, // a table tells none
        {dir.File("foto.tif"), CLayer::kRaster, true, CMapRect(5, 6, 7, 4)},
        {dir.File("kita.tif"), CLayer::kRaster, false, CLayer::kUnboundedExtent},
        {dir.File("aukstis.rmp"), CLayer::kElevation, true, CMapRect(10, 41, 12, 40)},
        {points, CLayer::kTrack, false, CLayer::kUnboundedExtent},
        {points, 5, false, CLayer::kUnboundedExtent},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.type));
        CLayer layer("L", c.path, c.type);
        layer.SetType(c.type);
        CMapRect extent(1, 1, 1, 1);
        EXPECT_EQ(layer.GetExtent(extent), c.found);
        EXPECT_EQ(extent, c.extent);
    }

    CLayer group("Grupė", points, CLayer::kPoint);
    group.SetFlag(CLayer::kGroup, true);
    CMapRect extent;
    EXPECT_FALSE(group.GetExtent(extent));

    // Without a picture reader no picture has an extent.
    SetRasterExtentReader(nullptr);
    CLayer picture("Foto", dir.File("foto.tif"), CLayer::kRaster);
    EXPECT_FALSE(picture.GetExtent(extent));
}

TEST(LayerFiles, ExtentOfManyFilesUnitesWhatIsKnownAndReadsOnlyTheRest)
{
    CScriptedUserServices user;
    CTempDir dir;
    CLayer layer("Plytelės", "", CLayer::kPoint);
    const CMapRect known(0, 1, 1, 0), empty;
    layer.AddFile(dir.File("nera1.gdb"), &known); // never opened: its extent is known
    layer.AddFile(dir.File("nera2.gdb"), &empty);
    layer.AddFile(MakePoints(dir, "skaitoma.gdb", {{4, 4}, {5, 6}}));
    layer.AddFile(MakePoints(dir, "tuscia.gdb", {}));
    layer.SetPath("kelias");
    const uint32_t flags = layer.GetFlags();

    CMapRect extent;
    ASSERT_TRUE(layer.GetExtent(extent));
    EXPECT_EQ(extent, CMapRect(0, 6, 5, 0));
    EXPECT_EQ(layer.GetPath(), "kelias");
    EXPECT_EQ(layer.GetFlags(), flags);
    EXPECT_EQ(layer.Files()[2].extent, CLayer::kUnboundedExtent); // the entries stay as they were

    // A file whose extent must be read and cannot be fails the whole layer.
    layer.AddFile(dir.File("nera3.gdb"));
    EXPECT_FALSE(layer.GetExtent(extent));
    EXPECT_EQ(layer.GetPath(), "kelias");
    EXPECT_EQ(layer.GetFlags(), flags);

    // Files that are all empty give the unbounded extent.
    CLayer blank("Tuščias", "", CLayer::kPoint);
    blank.AddFile(dir.File("tuscia.gdb"));
    ASSERT_TRUE(blank.GetExtent(extent));
    EXPECT_EQ(extent, CLayer::kUnboundedExtent);
}

TEST(LayerFiles, WhatAFileSaysWhileItOpensIsToldOnceForAllTheExtentsAsked)
{
    CScriptedUserServices user;
    CTempDir dir;
    ASSERT_TRUE(MakeFolder(dir.File("aplankas.dbf")));
    const struct {
        const char* file;
        int type;
        std::vector<unsigned> messages;
    } cases[] = {
        {"nera.dbf", CLayer::kPoint, {1007}},     // a point table whose table is missing
        {"aplankas.dbf", CLayer::kPoint, {1007}}, // a folder in the table's place
        {"nera.shp", CLayer::kArea, {}},          // its drawing tells of it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        user.messages.clear();
        CLayer layer("L", dir.File(c.file), c.type);
        for (int query = 0; query < 3; ++query) {
            CMapRect extent;
            EXPECT_FALSE(layer.GetExtent(extent));
        }
        ASSERT_EQ(user.MessageIds(), c.messages);
        if (!c.messages.empty()) {
            EXPECT_NE(user.messages[0].text.find(dir.File(c.file)), std::string::npos);
        }
    }

    // A table that comes back opens without a word; gone again, it is
    // told of again, once.
    user.messages.clear();
    CLayer layer("Vietos", dir.File("vietos.dbf"), CLayer::kPoint);
    CMapRect extent;
    layer.GetExtent(extent);
    MakeCoordTable(dir.File("vietos.dbf"), {{24, 55}});
    layer.GetExtent(extent);
    ASSERT_TRUE(RemoveFile(dir.File("vietos.dbf")));
    layer.GetExtent(extent);
    layer.GetExtent(extent);
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1007, 1007}));
}

TEST(LayerFiles, CreatesTheEmptyFilesOfTheLayersType)
{
    CScriptedUserServices user;
    CTempDir dir;
    CLayer lines("Keliai", dir.File("keliai.gdb"), CLayer::kArea);
    ASSERT_TRUE(lines.CreateDataFiles());
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"keliai.dbf", "keliai.gdb", "keliai.vec"}));
    CLayerReader reader;
    ASSERT_TRUE(reader.Open(lines.GetPath()));
    EXPECT_EQ(reader.GetSource()->GetShapeType(), CFeatureSource::kArea);

    CLayer picture("Foto", dir.File("foto.tif"), CLayer::kRaster);
    EXPECT_FALSE(picture.CreateDataFiles());
    EXPECT_EQ(lines.GetDataFolder(), dir.Path());
}

TEST(LayerFiles, PackingOneFileAsksFirstAndReports)
{
    CScriptedUserServices user;
    CTempDir dir;
    CLayer layer("Taškai", MakePoints(dir, "taskai.gdb", {{1, 1}, {2, 3}, {4, 2}}, true), CLayer::kPoint);

    layer.SetFlag(CLayer::kObjectsEditable, false);
    EXPECT_FALSE(layer.Pack());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{kCannotPack});

    layer.SetFlag(CLayer::kObjectsEditable, true);
    user.messages.clear();
    user.answers = {IDNO};
    EXPECT_FALSE(layer.Pack());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{kAskPack});
    EXPECT_EQ(user.messages[0].text, LoadStringArg(kAskPack, "Taškai"));
    EXPECT_EQ(user.messages[0].type, unsigned{MB_YESNO | MB_ICONQUESTION});
    EXPECT_EQ(RecordCount(layer.GetPath()), 3);

    user.messages.clear();
    user.answers = {IDYES};
    EXPECT_TRUE(layer.Pack());
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{kAskPack, kPackDone}));
    EXPECT_EQ(RecordCount(layer.GetPath()), 2);
    EXPECT_EQ(layer.GetExtent(), CMapRect(1, 3, 4, 1)); // refreshed from the file

    // A file that cannot be opened cannot be packed.
    user.messages.clear();
    user.answers = {IDYES};
    layer.SetPath(dir.File("nera.gdb"));
    EXPECT_FALSE(layer.Pack());
    EXPECT_EQ(user.MessageIds().back(), kPackFailed);
}

TEST(LayerFiles, PackingManyFilesPacksTheFullAndRemovesTheEmpty)
{
    CTempDir dir;
    const auto makeLayer = [&dir](CLayer& layer) {
        layer.AddFile(MakePoints(dir, "a.gdb", {{0, 0}, {1, 1}}, true));
        layer.AddFile(MakePoints(dir, "b.gdb", {}));
        layer.AddFile(MakePoints(dir, "c.gdb", {{5, 5}, {6, 7}}, true));
        layer.AddFile(dir.File("nera.gdb")); // cannot be opened: left alone
        layer.SetPath("pirmas");
        layer.SetFlag(CLayer::kObjectsEditable, true);
    };
    const struct {
        int pack, remove;
        std::vector<unsigned> messages;
        int records;    // of a.gdb and c.gdb afterwards
        size_t entries; // left
    } cases[] = {
        {IDYES, IDYES, {kAskPack, kAskRemoveEmpty, kFilesRemoved, kPackDone}, 1, 3},
        {IDNO, IDYES, {kAskPack, kAskRemoveEmpty, kFilesRemoved}, 2, 3},
        {IDYES, IDNO, {kAskPack, kAskRemoveEmpty, kPackDone}, 1, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pack * 10 + c.remove);
        CScriptedUserServices user;
        CLayer layer("Plytelės", "", CLayer::kPoint);
        makeLayer(layer);
        const uint32_t flags = layer.GetFlags();
        user.answers = {c.pack, c.remove};
        EXPECT_TRUE(layer.Pack());
        ASSERT_EQ(user.MessageIds(), c.messages);
        if (c.remove == IDYES) {
            EXPECT_EQ(user.messages[2].text, Utf8ToCp1257("Pašalinta failų: 1."));
        }
        EXPECT_EQ(RecordCount(dir.File("a.gdb")), c.records);
        EXPECT_EQ(RecordCount(dir.File("c.gdb")), c.records);
        ASSERT_EQ(layer.Files().size(), c.entries);
        EXPECT_EQ(layer.Files()[0].extent, CMapRect(0, 1, 1, 0));
        EXPECT_EQ(layer.Files().back().path, dir.File("nera.gdb"));
        EXPECT_EQ(layer.Files()[c.entries - 2].extent, CMapRect(5, 7, 6, 5));
        EXPECT_EQ(PathExists(dir.File("b.gdb")), c.remove == IDNO);
        EXPECT_EQ(layer.GetPath(), "pirmas");
        EXPECT_EQ(layer.GetFlags(), flags);
    }

    CScriptedUserServices user;
    CLayer layer("Plytelės", "", CLayer::kPoint);
    makeLayer(layer);
    user.answers = {IDNO, IDNO};
    EXPECT_FALSE(layer.Pack());
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{kAskPack, kAskRemoveEmpty}));
}

TEST(LayerFiles, DeletingAGdbLayerTakesEveryFileOfItsNameAndReportsWhatStays)
{
    CScriptedUserServices user;
    CTempDir dir;
    const std::string path = MakePoints(dir, "Keliai.gdb", {{1, 1}});
    CGdbSource indexed;
    ASSERT_TRUE(indexed.Open(path));
    ASSERT_TRUE(indexed.BuildSpatialIndex());
    indexed.Close();
    // Memo files as other programs spell them, and a neighbour that is not the layer's.
    WriteWholeFile(dir.File("KELIAI.FPT"), "memo");
    WriteWholeFile(dir.File("keliai.fpt"), "memo");
    WriteWholeFile(dir.File("Keliai2.dbf"), "kitas");
    ASSERT_TRUE(RemoveFile(dir.File("Keliai.vec")));
    ASSERT_TRUE(PathExists(dir.File("Keliai.spx")));

    CLayer layer("Keliai", path, CLayer::kLine);
    EXPECT_TRUE(layer.DeleteFiles());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{kDeleteFailed});
    EXPECT_EQ(user.messages[0].text, LoadStringArg(kDeleteFailed, dir.File("Keliai.vec")));
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"Keliai2.dbf"});

    // Without its data file nothing more is touched.
    user.messages.clear();
    WriteWholeFile(dir.File("Keliai.dbf"), "lentelė");
    EXPECT_FALSE(layer.DeleteFiles());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{kDeleteFailed});
    EXPECT_TRUE(PathExists(dir.File("Keliai.dbf")));
}

TEST(LayerFiles, DeletingByKindOfFile)
{
    const struct {
        const char* path;
        int type;
        std::vector<std::string> files; // beside the data file
        bool deleted;
        std::vector<std::string> left;
    } cases[] = {
        {"plotai.shp", CLayer::kArea, {"plotai.SHX", "plotai.dbf", "plotai.fpt", "plotai.spx", "plotai.prj"}, true,
         {"plotai.prj"}},
        {"lentele.DBF", CLayer::kPoint, {"lentele.FPT", "lentele.spx", "lentele.cpg"}, true, {"lentele.cpg"}},
        {"brezinys.dxf", CLayer::kLine, {"brezinys.dbf"}, true, {"brezinys.dbf"}},
        {"kelione.trk", CLayer::kTrack, {"kelione.fpt", "kelione.dbf"}, true, {"kelione.dbf"}},
        {"foto.tif", CLayer::kRaster, {"foto.tfw"}, true, {"foto.tfw"}},
        {"aukstis.rmp", CLayer::kElevation, {"aukstis.dbf"}, true, {"aukstis.dbf"}},
        {"tekstai.gdb", 5, {"tekstai.vec"}, false, {"tekstai.gdb", "tekstai.vec"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CScriptedUserServices user;
        CTempDir dir;
        WriteWholeFile(dir.File(c.path), "duomenys");
        for (const std::string& file : c.files)
            WriteWholeFile(dir.File(file), "x");
        CLayer layer("L", dir.File(c.path), c.type);
        layer.SetType(c.type);
        EXPECT_EQ(layer.DeleteFiles(), c.deleted);
        EXPECT_EQ(FilesIn(dir.Path()), c.left);
        EXPECT_TRUE(user.messages.empty());
    }

    // A picture that is not there.
    CScriptedUserServices user;
    CLayer picture("Foto", "/nera/foto.tif", CLayer::kRaster);
    EXPECT_FALSE(picture.DeleteFiles());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{kDeleteFailed});
}

TEST(LayerFiles, DeletingManyFilesTakesEachAndForgetsThem)
{
    CScriptedUserServices user;
    CTempDir dir;
    CLayer layer("Plytelės", "", CLayer::kPoint);
    layer.AddFile(MakePoints(dir, "a.gdb", {{0, 0}}));
    layer.AddFile(dir.File("nera.gdb"));
    layer.AddFile(MakePoints(dir, "c.gdb", {{1, 1}}));
    layer.SetPath("kelias");
    const uint32_t flags = layer.GetFlags();

    EXPECT_TRUE(layer.DeleteFiles());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{kDeleteFailed}); // the missing one, and on
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{});
    EXPECT_EQ(layer.GetFileCount(), 0);
    EXPECT_EQ(layer.GetPath(), "kelias");
    EXPECT_EQ(layer.GetFlags(), flags);
}

TEST(LayerFiles, PackingACoordinateTableLayer)
{
    CScriptedUserServices user;
    CTempDir dir;
    MakeCoordTable(dir.File("vietos.dbf"), {{24, 55}, {25, 55}, {26, 55}});
    {
        CLonLatTableSource table;
        ASSERT_TRUE(table.Open(dir.File("vietos.dbf")));
        ASSERT_TRUE(table.DeleteRecord(1));
    }
    CLayer layer("Vietos", dir.File("vietos.dbf"), CLayer::kPoint);
    user.answers = {IDYES};
    EXPECT_TRUE(layer.Pack());
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{kAskPack, kPackDone}));
    EXPECT_EQ(RecordCount(layer.GetPath()), 2);
    EXPECT_EQ(layer.GetExtent(), CLayer::kUnboundedExtent); // a table tells no extent
}

TEST(LayerFiles, AFileWithRecordsIsNeverRemovedAsEmpty)
{
    CScriptedUserServices user;
    CTempDir dir;
    // A header whose extent was lost while the file still holds a point.
    const std::string path = MakePoints(dir, "a.gdb", {{1, 1}});
    std::string vec = ReadWholeFile(dir.File("a.vec"));
    const CMapRect empty;
    for (int i = 0; i < 4; ++i) {
        const double side[] = {empty.left, empty.top, empty.right, empty.bottom};
        PutLittleEndian<double>(reinterpret_cast<unsigned char*>(vec.data()) + 40 + 8 * i, side[i]);
    }
    ResealHeader(vec);
    WriteWholeFile(dir.File("a.vec"), vec);

    CLayer layer("Plytelės", "", CLayer::kPoint);
    layer.AddFile(path);
    layer.SetFlag(CLayer::kObjectsEditable, true);
    user.answers = {IDNO, IDYES};
    EXPECT_TRUE(layer.Pack());
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{kAskPack, kAskRemoveEmpty, kFilesRemoved}));
    EXPECT_EQ(layer.GetFileCount(), 1);
    EXPECT_EQ(RecordCount(path), 1);
}
