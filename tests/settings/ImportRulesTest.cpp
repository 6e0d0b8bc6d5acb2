#include "settings/ImportRules.h"

#include "core/CoordConverter.h"
#include "core/DbfTable.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

TEST(ImportRules, FieldsInTableOrderAndKeysOfCharacterAndNumberFields)
{
    CTempDir dir;
    MakeTable(dir.File("all.dbf"),
              FieldList({{"KODAS", 'N', 8, 0}, {"DATA", 'D', 8, 0}, {"PAV", 'C', 20, 0}, {"ARYRA", 'L', 1, 0},
                         {"PLOTAS", 'F', 12, 3}, {"PASTABA", 'M', 10, 0}}),
              {});
    MakeTable(dir.File("dates.dbf"), FieldList({{"DATA", 'D', 8, 0}, {"YRA", 'L', 1, 0}}), {});
    CDbfTable all, dates;
    ASSERT_TRUE(all.Open(dir.File("all.dbf")));
    ASSERT_TRUE(dates.Open(dir.File("dates.dbf")));
    EXPECT_EQ(TableFieldNames(all), (Texts{"Kodas", "Data", "Pav", "Aryra", "Plotas", "Pastaba"}));
    EXPECT_EQ(KeyFieldNames(all), (Texts{"Kodas", "Pav", "Plotas"}));
    EXPECT_TRUE(KeyFieldNames(dates).empty());
}

TEST(ImportRules, AttachingNeedsALayerAndTransformingBothSystems)
{
    CScriptedUserServices user;
    struct Case {
        CLayerImportValues values;
        unsigned message; // 0: accepted
        bool converter;
    };
    const Case cases[] = {
        {{0, "", false, -1, -1}, 0, false},
        {{1, "", false, -1, -1}, 1039, false},
        {{1, "Keliai", false, 0, 1}, 0, false}, // systems chosen, not transforming
        {{0, "", true, 0, -1}, 1040, false},
        {{0, "", true, -1, 2}, 1040, false},
        {{0, "", true, 0, 7}, 1040, false},
        {{0, "", true, 0, 1}, 0, true},
        {{1, "Keliai", true, 2, 4}, 0, true},
        {{0, "", true, 1, 1}, 0, false}, // one system to itself moves nothing
    };
    for (const Case& c : cases) {
        user.messages.clear();
        EXPECT_EQ(CheckLayerImportValues(c.values), c.message == 0) << c.message;
        EXPECT_EQ(user.MessageIds(), c.message ? std::vector<unsigned>{c.message} : std::vector<unsigned>{});
        EXPECT_EQ(MakeImportConverter(c.values) != nullptr, c.converter)
            << c.values.fromSystem << " " << c.values.toSystem;
    }
}

} // namespace
