// Copies of a layer into a file of their own: file after file for a layer
// of several files, restricted and converted, appended, or refused.
#include "core/CoordConverter.h"
#include "geoproc/LayerExport.h"
#include "geoproc/Overlay.h"
#include "tests/geoproc/GeoprocTestSupport.h"

namespace {

class LayerExportTest : public CGeoprocFixture {
protected:
    std::vector<std::string> Names(const std::string& path, int type = CLayer::kLine)
    {
        std::vector<std::string> names;
        for (const CReadObject& object : ReadObjects(path, type))
            names.push_back(object.fields.at("Name"));
        return names;
    }
};

// Shifts every point 1000 to the east.
class CEastShift : public CCoordConverter {
public:
    void ConvertPoint(CMapPoint& point) const override { point.x += 1000; }
};

TEST_F(LayerExportTest, ALayerOfSeveralFilesIsCopiedFileAfterFile)
{
    {
        CGdbSource a, b;
        MakeShapeLayer(a, dir.File("a.gdb"), CLayer::kLine, {"0 0, 1 1", "2 2, 3 3"});
        MakeShapeLayer(b, dir.File("b.gdb"), CLayer::kLine, {"5 5, 6 6"});
    }
    CLayer layer("Daug", dir.File("a.gdb"), CLayer::kLine);
    layer.AddFile(dir.File("a.gdb"));
    layer.AddFile(dir.File("b.gdb"));
    ASSERT_TRUE(layer.HasFlag(CLayer::kManyFiles));
    ASSERT_TRUE(ExportLayerCopy(&layer, dir.File("out.gdb"), nullptr, nullptr, nullptr, false));
    const std::vector<CReadObject> objects = ReadObjects(dir.File("out.gdb"), CLayer::kLine);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(ShapeText(objects[2].shape), "5 5, 6 6");
    EXPECT_EQ(Names(dir.File("out.gdb")), (std::vector<std::string>{"S0", "S1", "S0"}));
    // The layer is itself again.
    EXPECT_TRUE(layer.HasFlag(CLayer::kManyFiles));
    EXPECT_EQ(layer.GetPath(), dir.File("a.gdb"));
}

TEST_F(LayerExportTest, TheCopyIsRestrictedConvertedOrAppended)
{
    CLayer& layer = AddShapeLayer("Linijos", "l.gdb", CLayer::kLine, {"0 0, 1 1", "10 10, 11 11", "20 20, 21 21"});
    const CMapRect rect(9, 30, 30, 9);
    const CEastShift east;
    ASSERT_TRUE(ExportLayerCopy(&layer, dir.File("out.gdb"), &east, &rect, nullptr, false));
    const std::vector<CReadObject> objects = ReadObjects(dir.File("out.gdb"), CLayer::kLine);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(ShapeText(objects[0].shape), "1010 10, 1011 11");

    const std::vector<int32_t> records = {2, 0};
    ASSERT_TRUE(ExportLayerCopy(&layer, dir.File("out.gdb"), nullptr, nullptr, &records, true));
    EXPECT_EQ(Names(dir.File("out.gdb")), (std::vector<std::string>{"S1", "S2", "S2", "S0"}));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(LayerExportTest, AMissingLayerOrAWrongAreaLayerIsAnError)
{
    CLayer& lines = AddShapeLayer("Linijos", "l.gdb", CLayer::kLine, {"0 0, 1 1"});
    EXPECT_FALSE(ExportLayerCopy(nullptr, dir.File("out.gdb"), nullptr, nullptr, nullptr, false));
    EXPECT_FALSE(ExportClippedLayer(&lines, &lines, doc, dir.File("clip.gdb"), kOverlayClip));
    EXPECT_FALSE(ExportClippedLayer(nullptr, &lines, doc, dir.File("clip2.gdb"), kOverlayClip));
    ASSERT_EQ(user.messages.size(), 3u);
    EXPECT_EQ(user.messages[0].text, "Error: " + dir.File("out.gdb"));
    EXPECT_EQ(user.messages[1].text, "Error: " + dir.File("clip.gdb"));
    EXPECT_EQ(user.messages[2].text, "Error: " + dir.File("clip2.gdb"));
    EXPECT_TRUE(FindMatchingFiles(dir.File("out.*")).empty());
    EXPECT_TRUE(FindMatchingFiles(dir.File("clip*")).empty());
}

TEST_F(LayerExportTest, ClippingKeepsThePiecesInsideTheAreas)
{
    CLayer& lines = AddShapeLayer("Linijos", "l.gdb", CLayer::kLine, {"-10 5, 20 5", "50 50, 60 60"});
    CLayer& areas = AddShapeLayer("Plotai", "a.gdb", CLayer::kArea, {"0 0, 10 0, 10 10, 0 10, 0 0"});
    ASSERT_TRUE(ExportClippedLayer(&lines, &areas, doc, dir.File("clip.gdb"), kOverlayClip));
    const std::vector<CReadObject> objects = ReadObjects(dir.File("clip.gdb"), CLayer::kLine);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(ShapeText(objects[0].shape), "0 5, 10 5");
    EXPECT_EQ(objects[0].fields.at("Name"), "S0");
}

} // namespace
