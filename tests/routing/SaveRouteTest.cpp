// The layer that takes a computed route, found or made in the map's
// folder, and the legs written into it.

#include "routing/SaveRoute.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

class SaveRouteTest : public ::testing::Test {
protected:
    SaveRouteTest()
    {
        doc.SetPathName(dir.File("Miestas.map"));
        Add("Taskai", CLayer::kPoint, CLayer::kDefaultFlags);
        Add("Gatves", CLayer::kLine, CLayer::kDefaultFlags & ~CLayer::kObjectsEditable);
        Add("Keliai", CLayer::kLine, CLayer::kDefaultFlags | CLayer::kObjectsEditable);
        Add("Route", CLayer::kArea, CLayer::kDefaultFlags | CLayer::kObjectsEditable);
    }

    CLayer* Add(const std::string& name, int type, uint32_t flags)
    {
        auto layer = std::make_unique<CLayer>(name, dir.File(name + ".gdb"), type);
        layer->SetFlags(flags);
        CLayer* added = layer.get();
        doc.AddLayer(std::move(layer), false);
        return added;
    }

    CScriptedUserServices user;
    CTempDir dir;
    CDrelDoc doc;
};

CShape Line(std::vector<CMapPoint> points)
{
    CShape shape;
    shape.AddPartPoints(static_cast<int>(points.size()), points.data(), false);
    shape.RecalcBounds();
    return shape;
}

} // namespace

TEST_F(SaveRouteTest, OnlyEditableLineLayersAreOffered)
{
    EXPECT_EQ(CSaveRouteRules::OfferedLayers(doc), std::vector<std::string>{"Keliai"});
    EXPECT_EQ(CSaveRouteRules::GetOrCreateLayer(doc, "Keliai"), doc.Layers().FindByName("Keliai"));
    EXPECT_EQ(doc.GetLayerCount(), 4);
}

TEST_F(SaveRouteTest, ANewLayerTakesTheFirstFreeRouteFileAndAUniqueName)
{
    // Taken in any letter case and with any extension.
    WriteWholeFile(dir.File("route1.SHP"), "x");
    WriteWholeFile(dir.File("ROUTE2.dbf"), "x");
    CLayer* made = CSaveRouteRules::GetOrCreateLayer(doc, "Route");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(doc.GetLayerCount(), 5);
    // "Route" is an area layer: the new one is named apart.
    EXPECT_EQ(made->GetName(), "Route (2)");
    EXPECT_EQ(made->GetType(), CLayer::kLine);
    EXPECT_TRUE(EqualsNoCase1257(GetPathFileName(made->GetPath()), "Route3.gdb")) << made->GetPath();
    EXPECT_TRUE(FileExists(dir.File("Route3.gdb")));
    ASSERT_GT(made->GetSublayerCount(), 0);
    const CDrawStyle style = made->GetSublayer(0)->m_style.Draw();
    EXPECT_EQ(style.penWidth, 39u);
    EXPECT_EQ(style.penColor, 200u);

    // The next one goes on counting.
    CLayer* next = CSaveRouteRules::GetOrCreateLayer(doc, "Kelias");
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(EqualsNoCase1257(GetPathFileName(next->GetPath()), "Route4.gdb"));
}

TEST_F(SaveRouteTest, FilesThatCannotBeMadeAddNothing)
{
    doc.SetPathName(dir.File("nera/Miestas.map"));
    doc.SetModifiedFlag(false);
    EXPECT_EQ(CSaveRouteRules::GetOrCreateLayer(doc, "Nauji"), nullptr);
    EXPECT_EQ(doc.GetLayerCount(), 4);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(user.messages.empty());
}

TEST_F(SaveRouteTest, TheLegsAreAppendedWithTheirRecordNumbers)
{
    const CShape first = Line({{0, 0}, {100, 0}, {100, 50}});
    const CShape second = Line({{100, 50}, {300, 50}});
    const CShape none;
    bool asked = false;
    // A cancelled choice writes nothing.
    EXPECT_FALSE(SaveComputedRoute(doc, {&first}, [&]() -> CLayer* {
        asked = true;
        return nullptr;
    }));
    EXPECT_TRUE(asked);
    EXPECT_FALSE(doc.IsModified());

    CLayer* layer = nullptr;
    ASSERT_TRUE(SaveComputedRoute(doc, {&first, &none, &second}, [&] {
        return layer = CSaveRouteRules::GetOrCreateLayer(doc, "Route");
    }));
    ASSERT_NE(layer, nullptr);
    EXPECT_TRUE(doc.IsModified());
    // Twice into the same layer: the records go on.
    ASSERT_TRUE(SaveComputedRoute(doc, {&second}, [&] { return layer; }));

    CLayerReader reader;
    ASSERT_TRUE(reader.OpenLayer(layer));
    CFeatureSource& source = *reader.GetSource();
    const int id = source.GetTable().FindField("Id");
    ASSERT_GE(id, 0);
    std::vector<int> pointCounts;
    std::vector<std::string> ids;
    CShape shape;
    while (source.ReadNextShape(shape)) {
        pointCounts.push_back(shape.GetPointCount());
        std::string text;
        ASSERT_TRUE(source.GetFieldText(source.GetCurrentRecord(), id, text));
        ids.push_back(text.substr(text.find_first_not_of(' ')));
    }
    EXPECT_EQ(pointCounts, (std::vector<int>{3, 2, 2}));
    EXPECT_EQ(ids, (std::vector<std::string>{"1", "2", "3"}));
}
