// The rules of the buffer-zone tool's dialogs: the radius and style (262)
// and the layer that takes the zones (268).
#include "geoproc/BufferSaveRules.h"
#include "geoproc/BufferZoneRules.h"

#include "layers/ClassEditDialogs.h"
#include "layers/Sublayer.h"
#include "mapdoc/BufferZoneSet.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <cmath>
#include <unistd.h>

namespace {

class CScriptedStyleDialog : public IClassEditDialogs {
public:
    CScriptedStyleDialog() { SetClassEditDialogs(this); }
    ~CScriptedStyleDialog() override { SetClassEditDialogs(nullptr); }
    bool EditAreaStyle(CDrawStyle& style) override
    {
        offered = style;
        if (ok)
            style.brushColor = 0x00FF00;
        return ok;
    }
    bool ok = true;
    CDrawStyle offered{};
};

TEST(BufferZoneRules, AnyRadiusButNoughtIsTaken)
{
    const std::pair<double, bool> cases[] = {{0, false},  {-0.0, false},         {0.5, true},      {-2, true},
                                             {1e6, true}, {std::nan(""), false}, {INFINITY, false}};
    for (const auto& [radius, accepted] : cases)
        EXPECT_EQ(CBufferZoneRules::Accepts(radius), accepted) << radius;
}

TEST(BufferZoneRules, TheSettingsChangeOnlyOnOk)
{
    CBufferZoneSettings settings;
    settings.style.brushColor = 0x800080;
    settings.radius = 1.0;
    CScriptedStyleDialog styleDialog;
    CBufferZoneRules rules(settings);
    EXPECT_EQ(rules.Working().radius, 1.0);

    // The symbol button edits a copy of the style, taken over on its OK.
    styleDialog.ok = false;
    EXPECT_FALSE(rules.EditStyle());
    EXPECT_EQ(rules.Working().style.brushColor, 0x800080u);
    styleDialog.ok = true;
    EXPECT_TRUE(rules.EditStyle());
    EXPECT_EQ(styleDialog.offered.brushColor, 0x800080u);
    EXPECT_EQ(rules.Working().style.brushColor, 0x00FF00u);
    EXPECT_EQ(settings.style.brushColor, 0x800080u);

    rules.Working().radius = 0;
    rules.Working().removePrevious = 1;
    EXPECT_FALSE(rules.Apply(settings));
    EXPECT_EQ(settings.radius, 1.0);
    EXPECT_EQ(settings.removePrevious, 0);
    rules.Working().radius = 0.25;
    EXPECT_TRUE(rules.Apply(settings));
    EXPECT_EQ(settings.radius, 0.25);
    EXPECT_EQ(settings.removePrevious, 1);
    EXPECT_EQ(settings.style.brushColor, 0x00FF00u);
}

class BufferSaveRulesTest : public CGeoprocFixture {
protected:
    BufferSaveRulesTest() : m_saved(CBufferSaveRules::GetName()) {}
    ~BufferSaveRulesTest() override { CBufferSaveRules::Remember(m_saved); }

private:
    std::string m_saved;
};

TEST_F(BufferSaveRulesTest, TheNameIsRememberedUpTo80Characters)
{
    EXPECT_EQ(CBufferSaveRules::GetName(), "Buffer");
    EXPECT_FALSE(CBufferSaveRules::Remember(""));
    EXPECT_FALSE(CBufferSaveRules::Remember(std::string(81, 'a')));
    EXPECT_EQ(CBufferSaveRules::GetName(), "Buffer");
    EXPECT_TRUE(CBufferSaveRules::Remember(std::string(80, 'a')));
    EXPECT_EQ(CBufferSaveRules::GetName(), std::string(80, 'a'));
}

TEST_F(BufferSaveRulesTest, OnlyEditableAreaLayersAreOffered)
{
    Add("Zones", "zones.gdb", CLayer::kArea);
    Add("Streets", "streets.gdb", CLayer::kLine);
    Add("Parcels", "parcels.shp", CLayer::kArea); // a Shapefile's objects are not edited
    Add("Lakes", "lakes.gdb", CLayer::kArea).SetFlag(CLayer::kObjectsEditable, false);
    Add("Group", "", CLayer::kArea).SetFlag(CLayer::kGroup, true);
    Add("More zones", "more.gdb", CLayer::kArea);
    EXPECT_EQ(CBufferSaveRules::OfferedLayers(doc), (std::vector<std::string>{"Zones", "More zones"}));
}

TEST_F(BufferSaveRulesTest, TheNamedEditableAreaLayerTakesTheZones)
{
    CLayer& zones = Add("Zones", "zones.gdb", CLayer::kArea);
    ASSERT_TRUE(CBufferSaveRules::Remember("Zones"));
    EXPECT_EQ(CBufferSaveRules::GetResultLayer(doc), &zones);
    EXPECT_EQ(doc.GetLayerCount(), 1);
    EXPECT_TRUE(Folder().empty());
}

// The tool's save dialog answered with OK.
class CSaveDialogOk : public IBufferZoneDialogs {
public:
    CSaveDialogOk() { SetBufferZoneDialogs(this); }
    ~CSaveDialogOk() override { SetBufferZoneDialogs(nullptr); }
    CLayer* GetResultLayer(CDrelDoc& document) override { return CBufferSaveRules::GetResultLayer(document); }
};

TEST_F(BufferSaveRulesTest, ANewLayerIsMadeUnderAFreeBufferFile)
{
    WriteWholeFile(dir.File("Buffer1.dbf"), "taken");
    WriteWholeFile(dir.File("Buffer2.gdb"), "taken");
    // Layers of the name that cannot take zones keep it.
    Add("Buffer", "lines.gdb", CLayer::kLine);
    Add("Buffer (2)", "lakes.gdb", CLayer::kArea).SetFlag(CLayer::kObjectsEditable, false);
    CBufferZoneSet& zones = doc.BufferZones();
    zones.AddZone(Shape("10 10, 20 10, 20 20"), 0.001, CShape::kBufferGrow);
    zones.AddZone(Shape("50 50, 60 50, 60 60"), 0.001, CShape::kBufferGrow);
    ASSERT_EQ(zones.GetCount(), 2);
    {
        CSaveDialogOk dialog;
        ASSERT_TRUE(zones.SaveToLayer());
    }
    ASSERT_EQ(doc.GetLayerCount(), 3);
    const CLayer* made = doc.GetLayer(2);
    EXPECT_EQ(made->GetName(), "Buffer (3)");
    EXPECT_EQ(made->GetPath(), dir.File("Buffer3.gdb"));
    EXPECT_EQ(made->GetType(), CLayer::kArea);
    EXPECT_TRUE(made->HasFlag(CLayer::kObjectsEditable));
    EXPECT_EQ(made->GetSublayer(0)->m_style.Draw().brushColor, CBufferZoneSet::Settings().style.brushColor);
    EXPECT_EQ(made->GetSublayer(0)->m_style.Draw().hatch, CBufferZoneSet::Settings().style.hatch);
    for (const char* file : {"Buffer3.gdb", "Buffer3.vec", "Buffer3.dbf"})
        EXPECT_TRUE(FileExists(dir.File(file))) << file;
    EXPECT_EQ(Folder().size(), 5u);
    // The zones went into it, numbered from 1.
    const std::vector<CReadObject> saved = ReadObjects(made->GetPath(), CLayer::kArea);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].fields.at("Id"), "1");
    EXPECT_EQ(saved[1].fields.at("Id"), "2");
    EXPECT_EQ(zones.GetCount(), 0);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(BufferSaveRulesTest, ALayerThatCannotBeMadeIsNone)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes in any folder";
    std::filesystem::permissions(ResolvePath(dir.Path()),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    CLayer* made = CBufferSaveRules::GetResultLayer(doc);
    std::filesystem::permissions(ResolvePath(dir.Path()), std::filesystem::perms::owner_all);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1027});
    EXPECT_EQ(doc.GetLayerCount(), 0);
}

} // namespace
