// The rules of dialogs 288 "Sluoksnių perklojimas" and 312
// "Klasifikavimo laukai", without showing them.
#include "geoproc/OverlayRules.h"

#include "geoproc/Overlay.h"
#include "tests/core/FieldLists.h"
#include "tests/geoproc/GeoprocTestSupport.h"

namespace {

class OverlayRulesTest : public CGeoprocFixture {
protected:
    OverlayRulesTest()
        : m_source(COverlayRules::LastSource()), m_overlaying(COverlayRules::LastOverlaying()),
          m_operation(COverlayRules::InitialOperation())
    {
        COverlayRules::Remember("", "", 0);
        points = &Add("Taskai", "taskai.gdb", CLayer::kPoint);
        lines = &Add("Gatves", "gatves.gdb", CLayer::kLine);
        areas = &Add("Parkai", "parkai.gdb", CLayer::kArea);
        Add("Raster", "picture.png", CLayer::kRaster);
        track = &Add("Trasa", "trasa.trk", CLayer::kTrack);
        Add("Grupe", "", CLayer::kArea).SetFlag(CLayer::kGroup, true);
        Add("Reljefas", "grid.rmp", CLayer::kElevation);
    }
    ~OverlayRulesTest() override { COverlayRules::Remember(m_source, m_overlaying, m_operation); }

    static int Item(int code)
    {
        for (size_t i = 0; i < std::size(kOverlayCodes); ++i)
            if (kOverlayCodes[i] == code)
                return static_cast<int>(i);
        return -1;
    }

    CLayer* points = nullptr;
    CLayer* lines = nullptr;
    CLayer* areas = nullptr;
    CLayer* track = nullptr;

private:
    std::string m_source, m_overlaying;
    int m_operation;
};

TEST_F(OverlayRulesTest, TheCombosListTheirLayerTypes)
{
    EXPECT_EQ(COverlayRules::SourceLayers(doc), (std::vector<CLayer*>{points, lines, areas, track}));
    EXPECT_EQ(COverlayRules::OverlayingLayers(doc), (std::vector<CLayer*>{points, areas}));
    // The items give the codes in this order.
    EXPECT_EQ(std::vector<int>(std::begin(kOverlayCodes), std::end(kOverlayCodes)),
              (std::vector<int>{0, 1, 2, 4, 3, 6}));
}

TEST_F(OverlayRulesTest, TheDialogStartsOnTheRememberedNamesElseTheActiveLayer)
{
    const std::vector<CLayer*> sources = COverlayRules::SourceLayers(doc);
    const std::vector<CLayer*> overlaying = COverlayRules::OverlayingLayers(doc);
    EXPECT_EQ(COverlayRules::InitialSource(sources, lines), 1);
    EXPECT_EQ(COverlayRules::InitialSource(sources, nullptr), -1);
    EXPECT_EQ(COverlayRules::InitialSource(sources, doc.GetLayer(3)), -1) << "a raster is no source";
    EXPECT_EQ(COverlayRules::InitialOverlaying(overlaying), -1);
    EXPECT_EQ(COverlayRules::InitialOperation(), 0);

    ASSERT_EQ(COverlayRules::Accept(track, areas, Item(kOverlaySubtract)), COverlayRules::kAccepted);
    EXPECT_EQ(COverlayRules::InitialSource(sources, lines), 3);
    EXPECT_EQ(COverlayRules::InitialOverlaying(overlaying), 1);
    EXPECT_EQ(COverlayRules::InitialOperation(), Item(kOverlaySubtract));
    // A remembered layer that is gone gives way to the active one.
    COverlayRules::Remember("Nera", "Nera", 2);
    EXPECT_EQ(COverlayRules::InitialSource(sources, lines), 1);
    EXPECT_EQ(COverlayRules::InitialOverlaying(overlaying), -1);
}

TEST_F(OverlayRulesTest, OkWantsEveryChoiceAndLayersTheOperationServes)
{
    using R = COverlayRules;
    struct Row {
        const char* what;
        CLayer* source;
        CLayer* overlaying;
        int code;
        R::Verdict verdict;
    };
    const Row rows[] = {
        {"no source", nullptr, areas, kOverlayClip, R::kIncomplete},
        {"no overlaying layer", lines, nullptr, kOverlayClip, R::kIncomplete},
        {"no operation", lines, areas, -1, R::kIncomplete},
        {"clip of lines", lines, areas, kOverlayClip, R::kAccepted},
        {"intersection of a track", track, areas, kOverlayIntersect, R::kAccepted},
        {"union of areas", areas, areas, kOverlayUnion, R::kAccepted},
        {"union of lines", lines, areas, kOverlayUnion, R::kNeedsAreas},
        {"paste of points", points, areas, kOverlayPaste, R::kNeedsAreas},
        {"paste of a track", track, areas, kOverlayPaste, R::kNeedsAreas},
        {"areas classified by points", areas, points, kOverlayClassify, R::kAccepted},
        {"areas cut by points", areas, points, kOverlayIntersect, R::kNeedsAreas},
        {"points classified by points", points, points, kOverlayClassify, R::kNeedsAreas},
        {"lines classified by points", lines, points, kOverlayClassify, R::kNeedsAreas},
        {"points classified by areas", points, areas, kOverlayClassify, R::kAccepted},
    };
    for (const Row& row : rows) {
        COverlayRules::Remember("", "", 0);
        const int item = row.code < 0 ? -1 : Item(row.code);
        EXPECT_EQ(R::Accept(row.source, row.overlaying, item), row.verdict) << row.what;
        const bool remembered = row.verdict == R::kAccepted;
        EXPECT_EQ(COverlayRules::LastSource(), remembered ? row.source->GetName() : "") << row.what;
        EXPECT_EQ(COverlayRules::LastOverlaying(), remembered ? row.overlaying->GetName() : "") << row.what;
        EXPECT_EQ(COverlayRules::InitialOperation(), remembered ? item : 0) << row.what;
    }
    EXPECT_EQ(R::Accept(lines, areas, static_cast<int>(std::size(kOverlayCodes))), R::kIncomplete);
}

TEST_F(OverlayRulesTest, ClassificationFieldsAreTheTextAndNumberFieldsByAlias)
{
    {
        CGdbSource source;
        const std::vector<CDbfFieldInfo> fields = FieldList({{"PAVAD", 'C', 20, 0},
                                                             {"DATA", 'D', 8, 0},
                                                             {"KODAS", 'N', 6, 0},
                                                             {"YRA", 'L', 1, 0},
                                                             {"PLOTAS", 'F', 12, 3},
                                                             {"PASTABA", 'M', 10, 0}});
        ASSERT_TRUE(source.Create(dir.File("zonos.gdb"), CLayer::kArea, fields.data()));
    }
    CLayer& zones = Add("Zonos", "zonos.gdb", CLayer::kArea);
    zones.FieldAliases().SetAt("PAVAD", "Pavadinimas");
    zones.SetFlag(CLayer::kHasAliases, true);
    const std::vector<CClassField> fields = ClassFields(zones);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0].alias, "Pavadinimas");
    EXPECT_EQ(fields[0].name, "PAVAD");
    EXPECT_EQ(fields[1].alias, "KODAS");
    EXPECT_EQ(fields[2].name, "PLOTAS");
    // A layer whose table cannot be read offers none.
    CHeldMessages quiet;
    EXPECT_TRUE(ClassFields(*lines).empty());
}

} // namespace
