#include "mapdoc/LayerDataAccess.h"

#include "layers/DtmLayer.h"
#include "layers/RasterExtentReader.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Path.h"
#include "tests/layers/LayerFileSupport.h"
#include "tests/layers/GridTestSupport.h"
#include "tests/render/PictureFixtures.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string MakeLines(const CTempDir& dir, const std::string& name, const std::vector<std::string>& lines)
{
    const std::string path = dir.File(name);
    CGdbSource source;
    MakeShapeLayer(source, path, CFeatureSource::kLine, lines);
    return path;
}

// A field-strength grid of 3 x 2 cells from (10, 50) with its first row the northern one.
std::string MakeGrid(const CTempDir& dir, const std::string& name)
{
    const std::vector<unsigned char> bytes = NorthFirstGrid(CGridFile::kHundredths, 3, 2, {1, 2, 3, 4, 5, 6}).Bytes();
    const std::string path = dir.File(name);
    WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
    return path;
}

class COnePicture : public IRasterExtentReader {
public:
    COnePicture() { SetRasterExtentReader(this); }
    ~COnePicture() override { SetRasterExtentReader(nullptr); }
    bool ReadRasterExtent(const std::string& path, CMapRect& extent) override
    {
        extent = CMapRect(1, 2, 3, 0);
        return PathExists(path);
    }
};

} // namespace

TEST(LayerDataAccess, VectorFilesAreReadThroughTheLayerReader)
{
    CScriptedUserServices user;
    CTempDir dir;
    ILayerDataAccess& data = LayerDataAccess();
    CVectorFileInfo info;
    ASSERT_TRUE(data.ReadVectorFileInfo(MakeLines(dir, "keliai.gdb", {"0 0, 2 1", "1 3, 4 2"}), info));
    EXPECT_EQ(info.geometryKind, CLayer::kLine);
    EXPECT_EQ(info.firstField, "Name");
    EXPECT_EQ(info.extent, CMapRect(0, 3, 4, 0));

    // A layer without objects is never passed over once it gets some.
    CGdbSource empty;
    ASSERT_TRUE(empty.Create(dir.File("tuscias.gdb"), CFeatureSource::kArea, nullptr));
    empty.Close();
    ASSERT_TRUE(data.ReadVectorFileInfo(dir.File("tuscias.gdb"), info));
    EXPECT_EQ(info.geometryKind, CLayer::kArea);
    EXPECT_EQ(info.firstField, "Id");
    EXPECT_EQ(info.extent, CLayer::kUnboundedExtent);

    EXPECT_FALSE(data.ReadVectorFileInfo(dir.File("nera.gdb"), info));
    EXPECT_FALSE(data.ReadVectorFileInfo(dir.File("keliai.shx"), info));
}

TEST(LayerDataAccess, GridHeadersAndPictureExtents)
{
    CScriptedUserServices user;
    CTempDir dir;
    ILayerDataAccess& data = LayerDataAccess();
    CMapRect extent;
    int cellKind = -1;
    ASSERT_TRUE(data.ReadGridInfo(MakeGrid(dir, "lauko.rmp"), extent, cellKind));
    EXPECT_EQ(extent, CMapRect(10, 50, 12, 49));
    EXPECT_EQ(cellKind, CGridFile::kHundredths);
    EXPECT_FALSE(data.ReadGridInfo(dir.File("nera.rmp"), extent, cellKind));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1007});

    WriteWholeFile(dir.File("foto.tif"), "II*");
    EXPECT_FALSE(data.ReadRasterExtent(dir.File("foto.tif"), extent)) << "not a picture";
    COnePicture pictures;
    ASSERT_TRUE(data.ReadRasterExtent(dir.File("foto.tif"), extent));
    EXPECT_EQ(extent, CMapRect(1, 2, 3, 0));
}

TEST(LayerDataAccess, TheDocumentAddsMeasuresAndDeletesRealFiles)
{
    CScriptedUserServices user;
    CTempDir dir;
    CDrelDoc doc;
    CLayer* roads = doc.AddLayerFromFile(MakeLines(dir, "keliai.gdb", {"0 0, 2 1", "1 3, 4 2"}), CDrelDoc::kVectorFile);
    ASSERT_NE(roads, nullptr);
    EXPECT_EQ(roads->GetName(), "keliai");
    EXPECT_EQ(roads->GetType(), CLayer::kLine);
    EXPECT_EQ(roads->GetIdField(), "Name");
    EXPECT_EQ(roads->GetExtent(), CMapRect(0, 3, 4, 0));
    EXPECT_EQ(doc.Settings().limits, CMapRect(0, 3, 4, 0));

    MakeCoordTable(dir.File("kelione.trk"), {{24, 55}});
    CLayer* track = doc.AddLayerFromFile(dir.File("kelione.trk"), CDrelDoc::kVectorFile);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->GetType(), CLayer::kTrack);
    EXPECT_EQ(track->GetIdField(), "Id");
    EXPECT_EQ(track->GetExtent(), CLayer::kUnboundedExtent);
    EXPECT_TRUE(doc.RemoveLayer(track, false, false, false));

    auto* grid = dynamic_cast<CDtmLayer*>(doc.AddLayerFromFile(MakeGrid(dir, "lauko.rmp"), CDrelDoc::kGridFile));
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->HasFlag(CLayer::kFieldStrength));
    ASSERT_EQ(grid->GetFileCount(), 1);
    EXPECT_EQ(grid->Files()[0].extent, CMapRect(10, 50, 12, 49));

    CMapRect extent;
    ASSERT_TRUE(LayerDataAccess().ComputeLayerExtent(*grid, extent));
    EXPECT_EQ(extent, CMapRect(10, 50, 12, 49));
    roads->SetExtent(CLayer::kUnboundedExtent);
    ASSERT_TRUE(doc.GetLayersExtent(extent));
    EXPECT_EQ(extent, CMapRect(0, 50, 12, 0));
    EXPECT_EQ(roads->GetExtent(), CMapRect(0, 3, 4, 0)); // read again from its file

    EXPECT_TRUE(doc.RemoveLayer(roads, true, false, false));
    EXPECT_TRUE(doc.RemoveLayer(grid, true, false, false));
    EXPECT_FALSE(PathExists(dir.File("keliai.gdb")));
    EXPECT_FALSE(PathExists(dir.File("keliai.vec")));
    EXPECT_FALSE(PathExists(dir.File("keliai.dbf")));
    EXPECT_FALSE(PathExists(dir.File("lauko.rmp")));
    EXPECT_TRUE(user.messages.empty());
}

TEST(LayerDataAccess, PicturesAddedToAMapTakeTheirPlaceFromTheirWorldFiles)
{
    CScriptedUserServices user;
    CTempDir dir;
    CDrelDoc doc;
    WriteWholeFile(dir.File("orto.png.bmp"), PlainBmp(40, 20, 24));
    WriteWholeFile(dir.File("orto.png.WLD"), "0.5\n0\n0\n-0.5\n500000.25\n6000009.75\n");
    CLayer* picture = doc.AddLayerFromFile(dir.File("orto.png.bmp"), CDrelDoc::kPictureFile);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetType(), CLayer::kRaster);
    EXPECT_EQ(picture->GetExtent(), CMapRect(500000, 6000010, 500020, 6000000));
    CMapRect extent;
    ASSERT_TRUE(LayerDataAccess().ComputeLayerExtent(*picture, extent));
    EXPECT_EQ(extent, CMapRect(500000, 6000010, 500020, 6000000));

    // Without a world file a picture stands on the origin, a unit a pixel.
    WriteWholeFile(dir.File("scan.bmp"), PlainBmp(8, 6, 24));
    picture = doc.AddLayerFromFile(dir.File("scan.bmp"), CDrelDoc::kPictureFile);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetExtent(), CMapRect(-0.5, 5.5, 7.5, -0.5));
    EXPECT_EQ(doc.AddLayerFromFile(dir.File("missing.bmp"), CDrelDoc::kPictureFile), nullptr);
}
