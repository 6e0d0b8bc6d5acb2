// Starting to edit the geometry of a line or area record.
#include "mapdoc/LineEditTool.h"

#include "core/Shape.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "platform/Path.h"
#include "tests/core/FieldLists.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CCommandLoggingTool : public CLineEditTool {
public:
    using CLineEditTool::CLineEditTool;
    void OnCommand(int id) override { commands.push_back(id); }
    std::vector<int> commands;
};

class LineEditToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        view.SetWindow(&window);
        view.OnSize(400, 200);
        window.invalidations = 0;
    }

    // Two objects of the type, ids "K-1" and "K-2".
    CLayer& AddFileLayer(const std::string& name, int type, uint32_t flags = CLayer::kDefaultFlags)
    {
        const std::string path = dir.File(name + ".gdb");
        CGdbSource source;
        EXPECT_TRUE(source.Create(path, type, FieldList({{"ID", 'C', 10, 0}}).data()));
        for (int n = 0; n < 2; ++n) {
            CShape shape;
            if (type == CLayer::kPoint) {
                EXPECT_TRUE(source.AppendPoint(CMapPoint(100 + n, 100), false));
            } else {
                shape.SetPoints(3, std::vector<CMapPoint>{{100, 100}, {500.0 + 100 * n, 400}, {900, 100}}.data());
                EXPECT_TRUE(source.AppendShape(shape, false));
            }
            source.GetTable().SetField(0, "K-" + std::to_string(n + 1));
            EXPECT_TRUE(source.GetTable().WriteRecord());
        }
        source.Close();
        auto layer = std::make_unique<CLayer>(name, path, type);
        layer->SetFlags(flags);
        return *doc.GetLayer(doc.AddLayer(std::move(layer), false));
    }

    CTempDir dir;
    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
    CDrelView view{doc};
    CCommandLoggingTool tool{&view};
};

} // namespace

TEST_F(LineEditToolTest, RefusesWhatCannotBeEditedAndLeavesEverythingAsItWas)
{
    CLayer& lines = AddFileLayer("Keliai", CLayer::kLine);
    CLayer& points = AddFileLayer("Taskai", CLayer::kPoint);
    CLayer& locked = AddFileLayer("Upes", CLayer::kLine, CLayer::kDefaultFlags & ~CLayer::kObjectsEditable);
    CLayer& gone = AddFileLayer("Nera", CLayer::kArea);
    ASSERT_TRUE(RemoveFile(gone.GetPath()));
    struct Case {
        const char* name;
        CLayer& layer;
        int record;
    };
    const Case cases[] = {
        {"negative record", lines, -1},
        {"point layer", points, 0},
        {"objects not editable", locked, 0},
        {"data that do not open", gone, 0},
        {"record past the end", lines, 7},
    };
    CHintRecorder hints(doc);
    for (const Case& c : cases) {
        EXPECT_FALSE(tool.BeginEditRecord(c.layer, c.record)) << c.name;
        EXPECT_EQ(tool.GetRecord(), -1) << c.name;
        EXPECT_EQ(tool.GetEditedLayer(), nullptr) << c.name;
    }
    EXPECT_TRUE(tool.commands.empty());
    EXPECT_TRUE(host.messageTexts.empty());
    EXPECT_TRUE(host.lineEditing.empty());
    EXPECT_TRUE(hints.hints.empty());
    EXPECT_EQ(window.invalidations, 0);
}

TEST_F(LineEditToolTest, StartsOnTheRecordsShapeAndStyleAndNamesIt)
{
    AddFileLayer("Taskai", CLayer::kPoint);
    CLayer& roads = AddFileLayer("Keliai", CLayer::kArea);
    CDrawStyle red = CDrawStyle::ResetArea();
    red.penColor = RGB(255, 0, 0);
    roads.GetSublayer(0)->m_style = red;
    CHintRecorder hints(doc);

    ASSERT_TRUE(tool.BeginEditRecord(roads, 1));
    EXPECT_EQ(tool.GetRecord(), 1);
    EXPECT_EQ(tool.GetShape().GetPoint(1), CMapPoint(600, 400));
    EXPECT_TRUE(tool.GetOriginalShape().IsEqual(tool.GetShape()));
    EXPECT_EQ(tool.GetRecordStyle().Draw().penColor, RGB(255, 0, 0));
    EXPECT_EQ(tool.GetEditedLayer(), &roads);
    EXPECT_FALSE(tool.GetEditedExtent().IsValid());
    EXPECT_EQ(tool.commands, std::vector<int>{CLineEditTool::kCmdEditStarted});
    EXPECT_EQ(host.lineEditing, std::vector<bool>{true});
    EXPECT_EQ(hints.hints, std::vector<uint32_t>{(1 << 16) | 6});
    EXPECT_EQ(window.invalidations, 1);
    EXPECT_EQ(host.messageTexts, std::vector<std::string>{"K-2"});

    // A table without the layer's id field names the record by number.
    roads.SetIdField("KODAS");
    CCommandLoggingTool other(&view);
    ASSERT_TRUE(other.BeginEditRecord(roads, 0));
    EXPECT_EQ(host.messageTexts.back(), "<0>");
}
