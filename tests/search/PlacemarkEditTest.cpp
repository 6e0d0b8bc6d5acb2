// A placemark record read for the point information dialog and written back.
#include "search/PlacemarkEdit.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "layers/PointStyle.h"
#include "layers/Sublayer.h"
#include "tests/core/FieldLists.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PlacemarkEditTest : public ::testing::Test {
protected:
    void MakeTable(bool withDescription, const char* symbol = "-1")
    {
        path = dir.File("MyWpt.dbf");
        std::vector<CDbfFieldInfo> fields =
            withDescription ? FieldList({{"NAME", 'C', 30, 0},
                                         {"DESCR", 'C', 100, 0},
                                         {"LON", 'N', 13, 8},
                                         {"LAT", 'N', 13, 8},
                                         {"SYMBOL", 'N', 8, 0}})
                            : FieldList({{"NAME", 'C', 30, 0}, {"LON", 'N', 13, 8}, {"LAT", 'N', 13, 8},
                                         {"SYMBOL", 'N', 8, 0}});
        CDbfTable table;
        ASSERT_TRUE(table.Create(path, fields.data()));
        for (int i = 0; i < 2; ++i) {
            table.AppendBlank();
            table.SetField(table.FindField("NAME"), "Taskas " + std::to_string(i));
            table.SetField(table.FindField("DESCR"), "Aprasas");
            table.SetFieldDouble(table.FindField("LON"), 25.25 + i);
            table.SetFieldDouble(table.FindField("LAT"), 54.5);
            table.SetField(table.FindField("SYMBOL"), symbol);
            ASSERT_TRUE(table.WriteRecord());
        }
        ASSERT_TRUE(open.Open(path));
        ASSERT_TRUE(open.GoToRecord(1));
    }
    // A point layer whose first band is classified by SYMBOL, its last
    // class of the given point style; or one of one style.
    void Classify(int16_t lastKind, uint16_t lastSymbol)
    {
        CSublayer& band = *layer.GetSublayer(0);
        band.m_kind = CSublayer::kClassified;
        band.m_classField = "SYMBOL";
        band.m_classes.SetKind(true, true);
        band.m_classes.InsertNumberClass(0, CLayer::kPoint, 3);
        CThemeClass* other = band.m_classes.AddClass(CLayer::kPoint);
        CPointStyle style = other->m_style.Point();
        style.kind = lastKind;
        style.symbol = lastSymbol;
        other->m_style = CStyleRecord(style);
    }
    std::string Stored(const char* field, int record = 1)
    {
        CDbfTable check;
        EXPECT_TRUE(check.Open(path));
        EXPECT_TRUE(check.GoToRecord(record));
        std::string text;
        check.GetFieldString(check.FindField(field), text);
        return text;
    }

    CTempDir dir;
    std::string path;
    CDbfTable open;
    CLayer layer{"My Placemarks", "MyWpt.dbf", CLayer::kPoint};
    CScriptedUserServices user;
};

TEST_F(PlacemarkEditTest, ReadsTheRecordAndWritesItBack)
{
    MakeTable(true);
    Classify(CPointStyle::kLibrary, 5);
    CPlacemarkEdit placemark(open, layer);
    const CPointInfo& info = placemark.Info();
    EXPECT_EQ(info.name, "Taskas 1");
    EXPECT_EQ(info.description, "Aprasas");
    EXPECT_DOUBLE_EQ(info.longitude, 26.25);
    EXPECT_DOUBLE_EQ(info.latitude, 54.5);
    EXPECT_TRUE(info.symbolEditable);
    EXPECT_EQ(placemark.DefaultSymbol(), 5);
    EXPECT_EQ(info.symbol, 5) << "a negative symbol is the default";

    placemark.Info() = {"Namai", "Mano namai", -12.5, 33.125, 7, true};
    ASSERT_TRUE(placemark.Write());
    EXPECT_EQ(Stored("NAME"), "Namai");
    EXPECT_EQ(Stored("DESCR"), "Mano namai");
    EXPECT_EQ(Stored("LON"), "-12.50000000");
    EXPECT_EQ(Stored("LAT"), "33.12500000");
    EXPECT_EQ(Stored("SYMBOL"), "7");
    EXPECT_EQ(Stored("NAME", 0), "Taskas 0") << "no other record touched";
    // The default symbol chosen is stored as -1.
    placemark.Info().symbol = 5;
    ASSERT_TRUE(placemark.Write());
    EXPECT_EQ(Stored("SYMBOL"), "-1");
}

TEST_F(PlacemarkEditTest, TheDefaultSymbolAndTheButtonFollowTheFirstBand)
{
    struct Case {
        const char* name;
        bool classified;
        int16_t kind;
        uint16_t symbol;
        const char* stored;
        bool editable;
        int defaultSymbol;
        int shown;
    };
    const Case cases[] = {
        {"library default", true, CPointStyle::kLibrary, 5, "-1", true, 5, 5},
        {"a symbol of its own", true, CPointStyle::kLibrary, 5, "9", true, 5, 9},
        {"a picture as the default", true, CPointStyle::kPicture, 5, "-3", true, -1, -1},
        {"one style of a library symbol", false, CPointStyle::kLibrary, 16, "9", false, -1, 16},
        {"one style of a font character", false, CPointStyle::kFontCharacter, 65, "9", false, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open.Close();
        layer.RemoveAllSublayers();
        layer.AppendSublayer(std::make_unique<CSublayer>(CLayer::kPoint));
        MakeTable(true, c.stored);
        if (c.classified) {
            Classify(c.kind, c.symbol);
        } else {
            CPointStyle style = layer.GetSublayer(0)->m_style.Point();
            style.kind = c.kind;
            style.symbol = c.symbol;
            layer.GetSublayer(0)->m_style = CStyleRecord(style);
        }
        CPlacemarkEdit placemark(open, layer);
        EXPECT_EQ(placemark.Info().symbolEditable, c.editable);
        EXPECT_EQ(placemark.DefaultSymbol(), c.defaultSymbol);
        EXPECT_EQ(placemark.Info().symbol, c.shown);
        // Other kinds leave SYMBOL alone.
        placemark.Info().symbol = 11;
        ASSERT_TRUE(placemark.Write());
        EXPECT_EQ(Stored("SYMBOL"), c.editable ? "11" : c.stored);
    }
}

TEST_F(PlacemarkEditTest, WithoutDescriptionTheRestIsEditedAsEver)
{
    MakeTable(false);
    CPlacemarkEdit placemark(open, layer);
    EXPECT_EQ(placemark.Info().description, "");
    placemark.Info().description = "niekur";
    placemark.Info().name = "Be aprašymo";
    ASSERT_TRUE(placemark.Write());
    EXPECT_EQ(Stored("NAME"), "Be aprašymo");
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(PlacemarkEditTest, CancelWritesNothingAndADamagedTableRefusesTheWrite)
{
    MakeTable(true);
    const std::string bytes = ReadWholeFile(path);
    bool asked = false;
    EXPECT_FALSE(EditPlacemark(open, layer, [&](CPlacemarkEdit& placemark) {
        asked = true;
        placemark.Info().name = "Niekada";
        return false;
    }));
    EXPECT_TRUE(asked);
    EXPECT_EQ(ReadWholeFile(path), bytes);

    open.Close();
    WriteWholeFile(path, bytes.substr(0, bytes.size() - 7));
    CDbfTable damaged;
    ASSERT_TRUE(damaged.Open(path));
    ASSERT_TRUE(damaged.GoToRecord(0));
    user.messages.clear();
    CPlacemarkEdit placemark(damaged, layer);
    placemark.Info().name = "Niekada";
    EXPECT_FALSE(placemark.Write());
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1044, 1045}));
}

} // namespace
