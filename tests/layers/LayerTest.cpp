#include "tests/layers/LayerTestSupport.h"

#include "layers/Layer.h"
#include "layers/LayerPropertySheet.h"
#include "layers/Sublayer.h"
#include "platform/Codepage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(Layer, NewLayerTakesItsDefaultsFromThePath)
{
    CScriptedStyleSource styles;
    struct Case {
        const char* path;
        int type;
        int expectedType;
        uint32_t flags;
    };
    const Case cases[] = {
        {"C:\\maps\\fixes.TRK", 0, CLayer::kTrack, 0x1F},
        {"/maps/roads.shp", 1, CLayer::kLine, 0x17},
        {"/maps/plots.GDB", 2, CLayer::kArea, 0x1F},
        {"/maps/places.dbf", 0, CLayer::kPoint, 0x1F},
        {"/maps/photo.tif", 3, CLayer::kRaster, 0x17},
        {"/maps/trk", 0, CLayer::kPoint, 0x17},
    };
    for (const Case& c : cases) {
        CLayer layer("L", c.path, c.type);
        EXPECT_EQ(layer.GetType(), c.expectedType) << c.path;
        EXPECT_EQ(layer.GetFlags(), c.flags) << c.path;
        EXPECT_EQ(layer.GetIdField(), "Id");
        EXPECT_EQ(layer.GetExtent(), CLayer::kUnboundedExtent);
        ASSERT_EQ(layer.GetSublayerCount(), 1);
        EXPECT_EQ(layer.GetSublayer(0)->m_lowerLimit, 0);
        EXPECT_EQ(layer.GetFileCount(), 0);
    }

    CLayer empty;
    EXPECT_EQ(empty.GetSublayerCount(), 0);
    EXPECT_EQ(empty.GetExtent(), CLayer::kUnboundedExtent);
}

TEST(Layer, TypeNames)
{
    const std::pair<int, const char*> cases[] = {
        {0, "Taškas"}, {1, "Linija"}, {2, "Sritis"}, {3, "Rastrinis žemėlapis"},
        {4, "Rastrinis reljefo modelis"}, {10, "Trasa"}, {5, ""}, {-1, ""},
    };
    for (const auto& [type, name] : cases) {
        CLayer layer;
        layer.SetType(type);
        EXPECT_EQ(layer.GetTypeName(), Utf8ToCp1257(name)) << type;
    }
}

TEST(Layer, FieldAliasesWorkOnlyWhileInUse)
{
    CLayer layer("L", "a.gdb", 0);
    layer.FieldAliases().SetAt("PAV", "Pavadinimas");
    layer.FieldAliases().SetAt("NAME", "Vardas");
    layer.FieldAliases().SetAt("NAME2", "Vardas");
    EXPECT_EQ(layer.GetFieldAlias("PAV"), "PAV");
    EXPECT_EQ(layer.GetFieldName("Pavadinimas"), "Pavadinimas");

    layer.SetFlag(CLayer::kHasAliases, true);
    EXPECT_EQ(layer.GetFieldAlias("PAV"), "Pavadinimas");
    EXPECT_EQ(layer.GetFieldAlias("pav"), "pav");
    EXPECT_EQ(layer.GetFieldName("Vardas"), "NAME"); // the first of two fields with one alias
    EXPECT_EQ(layer.GetFieldName("vardas"), "vardas");
    EXPECT_EQ(layer.GetFieldName("Kodas"), "Kodas");
}

TEST(Layer, CopyTakesWhatIsStored)
{
    CScriptedStyleSource styles;
    CLayer source("Roads", "/maps/roads.gdb", 1);
    source.SetIdField("PAV");
    source.SetFilter("TIPAS = 1");
    source.SetNotes("notes");
    source.SetFlags(0x1F | CLayer::kHasAliases | CLayer::kDynamic);
    source.SetRedrawInterval(30);
    source.SetMemberCount(4);
    source.SetExtent(CMapRect(1, 2, 3, 0));
    source.FieldAliases().SetAt("PAV", "Pavadinimas");
    source.HiddenFields().push_back("ID");
    source.AddSublayer(10000);
    const int32_t records[] = {3, 5};
    source.SetRecordList(records, 2);
    source.StylePasses().push_back({1, CDrawStyle::LoneLine()});

    CLayer copy(source);
    EXPECT_EQ(copy.GetName(), "Roads");
    EXPECT_EQ(copy.GetPath(), "/maps/roads.gdb");
    EXPECT_EQ(copy.GetIdField(), "PAV");
    EXPECT_EQ(copy.GetFilter(), "TIPAS = 1");
    EXPECT_EQ(copy.GetNotes(), "notes");
    EXPECT_EQ(copy.GetFlags(), source.GetFlags());
    EXPECT_EQ(copy.GetRedrawInterval(), 30);
    EXPECT_EQ(copy.GetMemberCount(), 4);
    EXPECT_EQ(copy.GetExtent(), source.GetExtent());
    EXPECT_EQ(copy.FieldAliases(), source.FieldAliases());
    EXPECT_EQ(copy.HiddenFields(), source.HiddenFields());
    ASSERT_EQ(copy.GetSublayerCount(), 2);
    EXPECT_NE(copy.GetSublayer(1), source.GetSublayer(1));
    EXPECT_EQ(copy.GetSublayer(1)->m_style, source.GetSublayer(1)->m_style);
    // What lives only while the layer is used is not copied.
    EXPECT_EQ(copy.GetRecordCount(), 0);
    EXPECT_TRUE(copy.StylePasses().empty());

    // File entries come only from a layer that uses them, and replace the target's.
    CLayer many("Many", "/maps/a.gdb", 1);
    many.AddFile("/maps/b.gdb");
    many.AddFile("/maps/c.gdb");
    CLayer target(many);
    EXPECT_EQ(target.GetFileCount(), 2);
    target.Copy(many);
    EXPECT_EQ(target.GetFileCount(), 2);
    target.Copy(source);
    EXPECT_EQ(target.GetFileCount(), 0);
    many.SetFlag(CLayer::kManyFiles, false);
    CLayer unused(many);
    EXPECT_EQ(unused.GetFileCount(), 0);
}

TEST(Layer, RecordStoresOnlyWhatItsFlagsSay)
{
    CLayer layer("L", "", 1);
    layer.RemoveAllSublayers();
    layer.FieldAliases().SetAt("A", "B");
    layer.HiddenFields().push_back("H");
    const size_t plain = StoreObject(layer).size();

    // Aliases in use but none set: a count of 0.
    CLayer empty("L", "", 1);
    empty.RemoveAllSublayers();
    empty.SetFlag(CLayer::kHasAliases, true);
    EXPECT_EQ(StoreObject(empty).size(), plain + 2);

    // Files, interval and member count in that order, and back.
    layer.SetFlags(CLayer::kManyFiles | CLayer::kDynamic | CLayer::kGroup);
    layer.AddFile("f.gdb", nullptr);
    layer.SetRedrawInterval(0x01020304);
    layer.SetMemberCount(0x0A0B0C0D);
    layer.AddSublayer(0);
    const std::vector<unsigned char> bytes = StoreObject(layer);
    const size_t files = 12 + 2 + 1 + 3 + 1 + 1 + 2 + 4; // tag, "L", "", "Id", "", "", type, flags
    EXPECT_EQ(bytes[files], 1);                            // one file entry
    const size_t interval = files + 2 + 1 + 5 + 32;
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + interval, bytes.begin() + interval + 8),
              (std::vector<unsigned char>{4, 3, 2, 1, 0x0D, 0x0C, 0x0B, 0x0A}));

    auto back = LoadObject<CLayer>(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetRedrawInterval(), 0x01020304);
    EXPECT_EQ(back->GetMemberCount(), 0x0A0B0C0D);
    EXPECT_EQ(back->Files()[0].extent, CLayer::kUnboundedExtent);
    EXPECT_EQ(back->FieldAliases().GetCount(), 0);
    EXPECT_TRUE(back->HiddenFields().empty());
    ASSERT_EQ(back->GetSublayerCount(), 1);
    EXPECT_EQ(back->GetSublayer(0)->m_style, layer.GetSublayer(0)->m_style);
    EXPECT_EQ(StoreObject(*back), bytes);
}

TEST(Layer, DataFileQuestions)
{
    struct Case {
        const char* path;
        int type;
        bool table, dbf;
        const char* tablePath;
    };
    const Case cases[] = {
        {"/m/a.GDB", 1, true, false, "/m/a.dbf"},
        {"/m/a.dbf", 0, true, true, "/m/a.dbf"},
        {"/m/a.shp", 2, false, false, "/m/a.dbf"},
        {"/m/a.trk", 10, true, false, "/m/a.trk"},
        {"/m/adbf", 0, false, true, "/m/adbf.dbf"},
    };
    for (const Case& c : cases) {
        CLayer layer("L", c.path, c.type);
        EXPECT_EQ(layer.IsTableFormat(), c.table) << c.path;
        EXPECT_EQ(layer.IsDbfLayer(), c.dbf) << c.path;
        EXPECT_EQ(layer.GetTablePath(), c.tablePath) << c.path;
    }
    for (int type : {0, 1, 2, 10})
        EXPECT_TRUE(CLayer::IsVectorType(type));
    for (int type : {3, 4, 5})
        EXPECT_FALSE(CLayer::IsVectorType(type));

    CScriptedUserServices user;
    CTempDir dir;
    WriteWholeFile(dir.File("a.gdb"), "x");
    EXPECT_FALSE(CLayer("L", dir.File("a.gdb"), 0).CheckReadOnly());
    EXPECT_TRUE(CLayer("L", dir.File("missing.gdb"), 0).CheckReadOnly());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1044});
}

TEST(Layer, AddFileMarksTheLayerAsManyFiles)
{
    CLayer layer("L", "/m/a.rmp", 4);
    const CMapRect extent(1, 4, 3, 2);
    EXPECT_EQ(layer.AddFile("/m/a.rmp", &extent), 0);
    EXPECT_EQ(layer.AddFile("/m/b.rmp"), 1);
    EXPECT_TRUE(layer.HasFlag(CLayer::kManyFiles));
    EXPECT_EQ(layer.GetFileCount(), 2);
    EXPECT_EQ(layer.Files()[0].extent, extent);
    EXPECT_EQ(layer.Files()[1].extent, CLayer::kUnboundedExtent);
}

TEST(Layer, PropertiesAreEditedInTheInstalledSheetWithThePageGroupAsGiven)
{
    CLayer layer("Keliai", "/m/keliai.gdb", 1);
    EXPECT_FALSE(layer.EditProperties(nullptr, -1)) << "no sheet: cancelled";

    struct CSheet : ILayerPropertySheet {
        bool Run(CLayer& edited, CDrelDoc* document, int pageGroup) override
        {
            runs.push_back({&edited, document, pageGroup});
            edited.SetName("Gatv\xEBs");
            return pageGroup != 2;
        }
        struct Call {
            CLayer* layer;
            CDrelDoc* document;
            int pageGroup;
        };
        std::vector<Call> runs;
    } sheet;
    SetLayerPropertySheet(&sheet);
    int somewhere = 0;
    auto* document = reinterpret_cast<CDrelDoc*>(&somewhere); // only passed on
    EXPECT_TRUE(layer.EditProperties(document, 1));
    EXPECT_FALSE(layer.EditProperties(nullptr, 2));
    SetLayerPropertySheet(nullptr);
    EXPECT_FALSE(layer.EditProperties(document, -1));

    ASSERT_EQ(sheet.runs.size(), 2u);
    EXPECT_EQ(sheet.runs[0].layer, &layer);
    EXPECT_EQ(sheet.runs[0].document, document);
    EXPECT_EQ(sheet.runs[0].pageGroup, 1);
    EXPECT_EQ(sheet.runs[1].document, nullptr);
    EXPECT_EQ(sheet.runs[1].pageGroup, 2);
    EXPECT_EQ(layer.GetName(), "Gatv\xEBs");
}
