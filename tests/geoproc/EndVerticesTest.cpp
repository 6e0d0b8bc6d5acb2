// The end vertices of a line or area layer written into a point layer,
// one point for each place where ends lie with their count, and the work
// lists of vertices and segments that snapping reads.
#include "geoproc/EndVertices.h"
#include "tests/core/GeometryText.h"
#include "tests/geoproc/GeoprocTestSupport.h"

namespace {

using EndVerticesTest = CGeoprocFixture;

// "x y count" of each point written, in order; the IDs count from 1.
std::vector<std::string> Places(const std::vector<CReadObject>& points)
{
    std::vector<std::string> places;
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].fields.at("Id"), std::to_string(i + 1));
        places.push_back(FormatC("%g %g ", points[i].point.x, points[i].point.y) + points[i].fields.at("Count"));
    }
    return places;
}

TEST_F(EndVerticesTest, EachPlaceOfEndsIsOnePointWithItsCount)
{
    struct Case {
        const char* what;
        int type;
        std::vector<std::string> shapes;
        std::vector<std::string> places;
    };
    const Case cases[] = {
        {"two lines meeting end to end, a third elsewhere", CLayer::kLine,
         {"0 0, 10 0", "10 0, 20 5, 0 0", "50 50, 60 60"},
         {"0 0 2", "10 0 2", "50 50 1", "60 60 1"}},
        {"a closed ring", CLayer::kLine, {"0 0, 10 0, 10 10, 0 0"}, {"0 0 2"}},
        {"a part of one point counts twice", CLayer::kLine, {"5 5", "5 5, 6 6"}, {"5 5 3", "6 6 1"}},
        {"every part of an area", CLayer::kArea, {"0 0, 10 0, 10 10 | 20 20, 30 20, 30 30"},
         {"0 0 1", "10 10 1", "20 20 1", "30 30 1"}},
        {"nothing", CLayer::kLine, {}, {}},
    };
    for (const Case& c : cases) {
        const std::string file = "l" + std::to_string(&c - cases);
        CLayer& layer = AddShapeLayer("L", file + ".gdb", c.type, c.shapes);
        const std::string out = dir.File(file + "_nodes.gdb");
        ASSERT_EQ(WriteEndVertices(layer, out), 1) << c.what;
        EXPECT_EQ(Places(ReadObjects(out, CLayer::kPoint)), c.places) << c.what;
    }
}

TEST_F(EndVerticesTest, TheCommandAddsAPointLayerIdentifiedByItsNumbers)
{
    CLayer& streets = AddShapeLayer("Streets", "gatves.gdb", CLayer::kLine, {"0 0, 10 0", "10 0, 20 0"});
    EXPECT_EQ(CreateEndVertexLayer(streets, doc, newLayer.Dialogs()), 1);
    EXPECT_EQ(newLayer.offeredName, "gatves_nodes");
    EXPECT_EQ(newLayer.offeredType, CLayer::kPoint);
    EXPECT_FALSE(newLayer.offeredOptions.typeChoice);
    EXPECT_EQ(newLayer.offeredOptions.fileTypes, 1 | 8);
    ASSERT_EQ(doc.GetLayerCount(), 2);
    const CLayer& nodes = *doc.GetLayer(1);
    EXPECT_EQ(nodes.GetName(), "gatves_nodes");
    EXPECT_EQ(nodes.GetType(), CLayer::kPoint);
    EXPECT_EQ(nodes.GetIdField(), "ID");
    EXPECT_EQ(nodes.GetPath(), dir.File("gatves_nodes.gdb"));
    std::vector<CDbfFieldInfo> fields;
    ASSERT_TRUE(nodes.ReadFieldList(fields));
    ASSERT_GE(fields.size(), 2u);
    EXPECT_STREQ(fields[0].name, "ID");
    EXPECT_EQ(fields[0].type, 'N');
    EXPECT_EQ(fields[0].length, 8);
    EXPECT_STREQ(fields[1].name, "COUNT");
    EXPECT_EQ(fields[1].type, 'N');
    EXPECT_EQ(fields[1].length, 8);
    EXPECT_EQ(Places(ReadObjects(nodes.GetPath(), CLayer::kPoint)),
              (std::vector<std::string>{"0 0 1", "10 0 2", "20 0 1"}));

    // A shapefile chosen stays one.
    newLayer.chosenPath = dir.File("mazgai.shp");
    newLayer.chosenName = "Mazgai";
    EXPECT_EQ(CreateEndVertexLayer(streets, doc, newLayer.Dialogs()), 1);
    ASSERT_EQ(doc.GetLayerCount(), 3);
    EXPECT_EQ(doc.GetLayer(2)->GetPath(), dir.File("mazgai.shp"));
    EXPECT_EQ(ReadObjects(dir.File("mazgai.shp"), CLayer::kPoint).size(), 3u);
}

TEST_F(EndVerticesTest, OnlyLinesAndAreasOfOneFileHaveEndVertices)
{
    CLayer& points = AddPointLayer("P", "p.gdb", {{1, 1}});
    CLayer& lines = AddShapeLayer("L", "l.gdb", CLayer::kLine, {"0 0, 1 1"});
    lines.SetFlag(CLayer::kManyFiles, true);
    const auto before = Folder();
    EXPECT_EQ(WriteEndVertices(lines, dir.File("out.gdb")), 0);
    EXPECT_EQ(CreateEndVertexLayer(lines, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(CreateEndVertexLayer(points, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(newLayer.runs, 0);
    EXPECT_EQ(doc.GetLayerCount(), 2);
    EXPECT_TRUE(user.messages.empty());

    // A damaged layer is told and adds nothing.
    lines.SetFlag(CLayer::kManyFiles, false);
    CLayer& two = AddShapeLayer("T", "two.gdb", CLayer::kLine, {"0 0, 1 1", "2 2, 3 3", "4 4, 5 5"});
    SpoilSecondBlock(dir.File("two.gdb"));
    EXPECT_EQ(CreateEndVertexLayer(two, doc, newLayer.Dialogs()), 0);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
    EXPECT_EQ(doc.GetLayerCount(), 3);
    EXPECT_FALSE(FileExists(dir.File("two_nodes.gdb")));
}

TEST_F(EndVerticesTest, VerticesComeWithTheirSegmentsAndRingsClose)
{
    CLayer& lines = AddShapeLayer("L", "l.gdb", CLayer::kLine, {"0 0, 1 0, 1 1 | 5 5, 6 6"});
    CLayer& areas = AddShapeLayer("A", "a.gdb", CLayer::kArea, {"0 0, 4 0, 4 4", "10 10, 14 10, 14 14, 10 10"});
    struct Case {
        CLayer* layer;
        std::vector<std::string> segments;
    };
    const Case cases[] = {
        {&lines, {"0 0, 1 0", "1 0, 1 1", "5 5, 6 6"}},
        {&areas, {"0 0, 4 0", "4 0, 4 4", "4 4, 0 0", "10 10, 14 10", "14 10, 14 14", "14 14, 10 10"}},
    };
    for (const Case& c : cases) {
        std::vector<CMapPoint> points;
        CSpatialIndex index;
        CVertexSegments segments;
        ASSERT_EQ(CollectVertices(*c.layer, points, &index, &segments), 1);
        std::vector<std::string> texts;
        for (const auto& [a, b] : segments.ends)
            texts.push_back(PointsText(std::vector<CMapPoint>{points[static_cast<size_t>(a)],
                                                              points[static_cast<size_t>(b)]}
                                           .data(),
                                       2));
        EXPECT_EQ(texts, c.segments) << c.layer->GetName();
        // Every segment is found by its own box.
        for (size_t k = 0; k < segments.ends.size(); ++k) {
            const CMapPoint& a = points[static_cast<size_t>(segments.ends[k][0])];
            bool found = false;
            for (int hit = segments.index.BeginPointQuery(a); hit >= 0; hit = segments.index.Next())
                found = found || hit == static_cast<int>(k);
            EXPECT_TRUE(found) << k;
        }
    }
    std::vector<CMapPoint> ends;
    ASSERT_EQ(CollectEndVertices(lines, ends, nullptr), 1);
    EXPECT_EQ(PointsText(ends.data(), static_cast<int>(ends.size())), "0 0, 1 1, 5 5, 6 6");
}

} // namespace
