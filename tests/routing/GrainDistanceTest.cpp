// The delivery-distance calculator's rules over the town's network and
// three point layers of the map.

#include "routing/GrainDistance.h"

#include "platform/Codepage.h"
#include "tests/routing/GrainTown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace GrainDistance;

TEST(GrainDistance, FiltersKilometresAndReport)
{
    EXPECT_EQ(CentreFilter(kWheat), "KVIECIAI = \"+\"");
    EXPECT_EQ(CentreFilter(kBarley), "MIEZIAI = \"+\"");
    EXPECT_EQ(WarehouseFilter(kWheat), "KVIECIAI = \"+\" .AND. UZIMTAS <> \"+\"");
    EXPECT_EQ(WarehouseFilter(kBarley), "MIEZIAI = \"+\" .AND. UZIMTAS <> \"+\"");

    const std::pair<double, const char*> km[] = {{0, "0"}, {1.49, "1"}, {1.5, "2"}, {12.999, "13"}};
    for (const auto& [value, text] : km)
        EXPECT_EQ(WholeKm(value), text) << value;

    EXPECT_EQ(Report(Utf8ToCp1257("Kviečiai"), Utf8ToCp1257("Ąžuolai"), "C", "2", "W", ""),
              Utf8ToCp1257("Kultūra: Kviečiai\r\nGrūdų vieta paraiškos metu: Ąžuolai\r\nIntervencinis centras: C\r\n"
                           "Atstumas iki intervencinio centro (km): 2\r\nIntervencinis sandėlis: W\r\n"
                           "Atstumas iki intervencinio sandėlio (km): \r\n\r\n"));
}

TEST(GrainDistance, ChoosesTheSettlement)
{
    const std::vector<CSettlement> list = {{"Alka", 4}, {"Alkos", 7}};
    struct Case {
        int selected;
        const char* typed;
        int record;
        const char* message;
    };
    const Case cases[] = {
        {1, "", 7, ""},
        {-1, "Alkos", 7, ""},
        {-1, "", -1, "Nenurodyta grūdų vieta."},
        {-1, "alka", -1, "Nurodytos vietovės nerasta."},
        {-1, "Alk", -1, "Nurodytos vietovės nerasta."},
    };
    for (const Case& c : cases) {
        std::string message;
        EXPECT_EQ(ChooseSettlement(list, c.selected, c.typed, message), c.record) << c.typed;
        EXPECT_EQ(message, Utf8ToCp1257(c.message)) << c.typed;
    }
}

TEST(GrainDistance, ReadsSettlementsOfAPointLayerOnly)
{
    CGrainTown town;
    town.AddAll();
    auto calculator = town.Calculator();
    ASSERT_NE(calculator->settlements, nullptr);
    const std::vector<CSettlement> list = ReadSettlements(calculator->settlements);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, Utf8ToCp1257("Ąžuolai"));
    EXPECT_EQ(list[1].name, Utf8ToCp1257("Beržai"));
    CMapPoint at;
    ASSERT_TRUE(calculator->ReadSettlement(list[1].record, at));
    EXPECT_EQ(at, CMapPoint(2000, 480));
    EXPECT_TRUE(ReadSettlements(town.doc.GetLayer(0)).empty()) << "the roads are lines";
    EXPECT_TRUE(ReadSettlements(nullptr).empty());
}

TEST(GrainDistance, FindsTheNearestCentreAndFreeWarehouses)
{
    CGrainTown town;
    town.AddAll();
    CLayer& centres = *town.Calculator()->centres;
    centres.SetFilter("PAV <> \"x\"");
    auto calculator = town.Calculator();
    const CResult wheat = calculator->Compute(kWheat, CMapPoint(0, 520));
    EXPECT_EQ(wheat.centres, (std::vector<std::string>{"C far", "C near"}));
    EXPECT_EQ(wheat.centre, "C near");
    EXPECT_NEAR(wheat.centreKm, 1.5, 1e-9);
    EXPECT_EQ(WholeKm(wheat.centreKm), "2");
    EXPECT_EQ(wheat.centreRoute.GetPoint(wheat.centreRoute.GetPointCount() - 1), CMapPoint(1000, 0));
    // Two free warehouses at one length, the taken one and the one on the
    // island left out.
    EXPECT_EQ(wheat.warehouses, (std::vector<std::string>{"W north", "W south"}));
    EXPECT_NEAR(wheat.warehouseKm, 1.5, 1e-9);
    EXPECT_EQ(wheat.warehouseRoute.GetPoint(wheat.warehouseRoute.GetPointCount() - 1), CMapPoint(1000, 1000));
    EXPECT_EQ(centres.GetFilter(), "PAV <> \"x\"");
    EXPECT_EQ(calculator->warehouses->GetFilter(), "");

    const CResult barley = calculator->Compute(kBarley, CMapPoint(0, 520));
    EXPECT_EQ(barley.centres, (std::vector<std::string>{"C near"}));
    EXPECT_TRUE(barley.warehouses.empty()) << "only the island's warehouse takes barley";
    EXPECT_LT(barley.warehouseKm, 0);
    EXPECT_EQ(centres.GetFilter(), "PAV <> \"x\"");
}

TEST(GrainDistance, MissingLayersFindNothing)
{
    CGrainTown town;
    auto calculator = town.Calculator();
    EXPECT_EQ(calculator->settlements, nullptr);
    const CResult result = calculator->Compute(kWheat, CMapPoint(0, 520));
    EXPECT_TRUE(result.centres.empty());
    EXPECT_TRUE(result.warehouses.empty());
    EXPECT_LT(result.centreKm, 0);
    EXPECT_TRUE(town.user.messages.empty());
}
