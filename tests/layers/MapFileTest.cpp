#include "tests/layers/LayerTestSupport.h"

#include "core/FileUtil.h"
#include "layers/DtmLayer.h"
#include "layers/GridLayer.h"
#include "layers/Sublayer.h"
#include "platform/AppFolders.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cfloat>
#include <filesystem>

namespace {

std::string GoldenPath()
{
    return TestDataFolder() + "map_every_record.map";
}

std::vector<unsigned char> FileBytes(const std::string& path)
{
    std::string text = ReadWholeFile(path);
    return std::vector<unsigned char>(text.begin(), text.end());
}

// The first offset where two byte strings differ, for a readable failure.
size_t FirstDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return i;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(ResolvePath(folder)))
        names.push_back(entry.path().filename().string());
    return names;
}

} // namespace

TEST(MapFile, GoldenMapReadsAndWritesBackByteForByte)
{
    const std::vector<unsigned char> golden = FileBytes(GoldenPath());
    ASSERT_FALSE(golden.empty());
    CLayerArray layers;
    ASSERT_TRUE(layers.ReadMapFile(GoldenPath()));
    ASSERT_EQ(layers.GetSize(), 6);

    const std::vector<unsigned char> written = StoreList(layers, GoldenPath());
    EXPECT_EQ(written.size(), golden.size());
    EXPECT_TRUE(written == golden) << "first difference at byte " << FirstDifference(written, golden);

    // Saved through the file, in another folder with the data beside it, the bytes are the same.
    CTempDir dir;
    const std::string copy = dir.File("maps/every.map");
    std::filesystem::create_directories(ResolvePath(dir.File("maps")));
    WriteWholeFile(copy, ReadWholeFile(GoldenPath()));
    CLayerArray moved;
    ASSERT_TRUE(moved.ReadMapFile(copy));
    ASSERT_TRUE(moved.WriteMapFile(copy));
    EXPECT_TRUE(FileBytes(copy) == golden);
}

TEST(MapFile, GoldenMapHoldsEveryKindOfRecord)
{
    CLayerArray layers;
    ASSERT_TRUE(layers.ReadMapFile(GoldenPath()));
    ASSERT_EQ(layers.GetSize(), 6);
    const std::string folder = TestDataFolder();

    // The group entry and its member count; an empty path stays empty.
    const CLayer& group = *layers.GetAt(0);
    EXPECT_EQ(group.GetName(), "Keliai");
    EXPECT_EQ(group.GetFlags(), 0x10000003u);
    EXPECT_EQ(group.GetMemberCount(), 2);
    EXPECT_EQ(group.GetPath(), "");
    EXPECT_EQ(group.GetSublayerCount(), 0);

    // Aliases in their stored order, hidden fields, file entries and the redraw interval.
    const CLayer& streets = *layers.GetAt(1);
    EXPECT_EQ(streets.GetName(), "Gatv\xEBs");
    EXPECT_EQ(streets.GetPath(), MakeAbsolutePath("data\\gatves.gdb", folder));
    EXPECT_EQ(streets.GetIdField(), "PAV");
    EXPECT_EQ(streets.GetFilter(), "TIPAS > 1");
    EXPECT_EQ(streets.GetType(), CLayer::kLine);
    EXPECT_EQ(streets.GetRedrawInterval(), 90);
    ASSERT_EQ(streets.FieldAliases().GetCount(), 2);
    EXPECT_EQ(streets.FieldAliases().begin()->first, "PAV");
    EXPECT_EQ(streets.GetFieldAlias("KODAS"), "Kodas");
    EXPECT_EQ(streets.HiddenFields(), (std::vector<std::string>{"ID", "X_TMP"}));
    ASSERT_EQ(streets.GetFileCount(), 2);
    EXPECT_EQ(streets.Files()[1].path, MakeAbsolutePath("..\\bendri\\gatves2.gdb", folder));
    EXPECT_EQ(streets.Files()[0].extent, CMapRect(21.0, 55.5, 21.5, 55.0));
    ASSERT_EQ(streets.GetSublayerCount(), 2);
    const CSublayer& framed = *streets.GetSublayer(0);
    EXPECT_EQ(framed.m_labelFlags, 0x42u);
    EXPECT_EQ(framed.m_labelFrameStyle.brushColor, 0xE0FFFFu);
    EXPECT_EQ(framed.m_referenceScale, 25000);
    EXPECT_EQ(framed.m_labelPlacement, 30);
    EXPECT_EQ(framed.m_labelStyle.font.lfWeight, 700);
    EXPECT_EQ(framed.m_labelStyle.GetFaceName(), "Arial");
    const CSublayer& byType = *streets.GetSublayer(1);
    EXPECT_EQ(byType.m_lowerLimit, 50000);
    EXPECT_EQ(byType.m_style.Draw().penStyle, 0x10020000u);
    EXPECT_EQ(byType.m_style.Draw().backColor, 0x00FFFFu);
    EXPECT_EQ(byType.m_classField, "TIPAS");
    EXPECT_EQ(byType.m_classes.GetKind(), CThemeClassList::kTexts);
    EXPECT_EQ(byType.m_classes.FindClass("Gatv\xEB"), byType.m_classes.GetClass(1));

    // Point symbols of every kind; the font and picture names come back through the name list.
    const CLayer& points = *layers.GetAt(2);
    EXPECT_EQ(points.GetPath(), "D:\\gis\\taskai.dbf");
    EXPECT_TRUE(points.HasFlag(CLayer::kNewestRecordOnly));
    ASSERT_EQ(points.GetSublayerCount(), 3);
    const CPointStyle library = points.GetSublayer(0)->m_style.Point();
    EXPECT_EQ(library.kind, CPointStyle::kLibrary);
    EXPECT_EQ(library.symbol, 5);
    EXPECT_EQ(points.GetSublayer(0)->m_rotationField, "KAMPAS");
    const CPointStyle font = points.GetSublayer(1)->m_style.Point();
    EXPECT_EQ(font.kind, CPointStyle::kFontCharacter);
    EXPECT_EQ(font.GetName(), "Golden Symbols");
    EXPECT_EQ(points.GetSublayer(1)->m_labelFrameStyle.penWidth, 0u);
    const CSublayer& pictures = *points.GetSublayer(2);
    EXPECT_EQ(pictures.m_style.Point().GetName(), "Symbols\\bokstas.bmp");
    EXPECT_EQ(pictures.m_classes.GetKind(), CThemeClassList::kNumbers);
    EXPECT_EQ(pictures.m_classes.FindClass("2.5"), pictures.m_classes.GetClass(1));
    // Both styles naming the font share one name.
    EXPECT_EQ(pictures.m_classes.GetClass(0)->m_style.Point().nameRef, font.nameRef);
    EXPECT_EQ(pictures.m_classes.GetClass(2)->m_style.Point().GetName(), "Symbols\\kita.bmp");

    // The elevation model and the older layer class keep their classes.
    auto* relief = dynamic_cast<const CDtmLayer*>(layers.GetAt(3));
    ASSERT_TRUE(relief);
    EXPECT_EQ(relief->GetTypeName(), LoadString(2204));
    EXPECT_TRUE(relief->HasFlag(CLayer::kFieldStrength));
    EXPECT_EQ(relief->GetHeightClasses()->FindNumberClass(150), relief->GetHeightClasses()->GetClass(1));
    EXPECT_EQ(relief->GetHeightClasses()->FindNumberClass(900), relief->GetHeightClasses()->GetClass(2));
    const CLayer& old = *layers.GetAt(4);
    EXPECT_EQ(old.GetRuntimeClass(), &CGridLayer::kClass);
    EXPECT_EQ(old.GetPath(), MakeAbsolutePath("..\\senas\\plotai.shp", folder));
    const CThemeClassList& ranges = old.GetSublayer(0)->m_classes;
    EXPECT_EQ(ranges.GetKind(), CThemeClassList::kTextRanges);
    EXPECT_EQ(ranges.FindClass("B"), ranges.GetClass(0));
    EXPECT_EQ(ranges.FindClass("\xDE"), ranges.GetClass(1)); // above every Latin letter
    EXPECT_EQ(old.GetSublayer(0)->m_labelFrameStyle.backMode, 2);

    const CLayer& track = *layers.GetAt(5);
    EXPECT_EQ(track.GetType(), CLayer::kTrack);
    EXPECT_EQ(track.GetSublayer(0)->m_style.Track().symbol, 3);
    EXPECT_EQ(track.GetSublayer(0)->m_style.Track().lineShown, 1);
}

TEST(MapFile, EveryTruncationRaisesAnArchiveError)
{
    const std::vector<unsigned char> golden = FileBytes(GoldenPath());
    for (size_t length = 0; length < golden.size(); ++length) {
        std::vector<unsigned char> cut(golden.begin(), golden.begin() + static_cast<std::ptrdiff_t>(length));
        CLayerArray layers;
        EXPECT_THROW(LoadList(layers, cut, GoldenPath()), CArchiveException) << "cut at " << length;
    }
}

TEST(MapFile, UnknownOrMisplacedClassesRaiseArchiveErrors)
{
    const std::vector<unsigned char> golden = FileBytes(GoldenPath());
    auto replaced = [&golden](const std::string& from, const std::string& to) {
        std::string text(golden.begin(), golden.end());
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos);
        text.replace(at, from.size(), to);
        return std::vector<unsigned char>(text.begin(), text.end());
    };
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        CArchiveException::Cause cause;
    };
    const Case cases[] = {
        {"unknown class", replaced("CGridLayer", "CGridLaxer"), CArchiveException::badClass},
        // A sublayer where the list wants a layer: its record does not even fit.
        {"sublayer in the list", replaced("CDtmLayer", "CSublayer"), CArchiveException::endOfFile},
    };
    for (const Case& c : cases) {
        CLayerArray layers;
        try {
            LoadList(layers, c.bytes, GoldenPath());
            ADD_FAILURE() << c.what << ": no error";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), c.cause) << c.what;
        }
    }

    // A layer holding a layer where its sublayer belongs, and a list holding a sublayer.
    CLayer inner;
    CLayer outer("A", "a.gdb", 1);
    outer.RemoveAllSublayers();
    std::vector<unsigned char> bytes = StoreObject(outer);
    bytes[bytes.size() - 2] = 1; // sublayer count 1, then the inner layer as that sublayer
    bytes.insert(bytes.end(), {0x01, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    CLayerArray layers;
    std::vector<unsigned char> list = {1, 0};
    list.insert(list.end(), bytes.begin(), bytes.end());
    try {
        LoadList(layers, list);
        ADD_FAILURE() << "a layer read as a sublayer";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), CArchiveException::badClass);
    }

    CSublayer sublayer(1);
    std::vector<unsigned char> wrong = {1, 0};
    const std::vector<unsigned char> record = StoreObject(sublayer);
    wrong.insert(wrong.end(), record.begin(), record.end());
    EXPECT_THROW(LoadList(layers, wrong), CArchiveException);
}

TEST(MapFile, StringsAndCountsAtTheirPrefixBoundaries)
{
    // Notes across the string prefixes, hidden fields across the count prefixes.
    const size_t lengths[] = {254, 255, 65533, 65534};
    for (size_t length : lengths) {
        CLayer layer("L", "", 0);
        layer.SetNotes(std::string(length, 'n'));
        const std::vector<unsigned char> bytes = StoreObject(layer);
        auto back = LoadObject<CLayer>(bytes);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->GetNotes(), layer.GetNotes());
        CLayer shorter("L", "", 0);
        const size_t prefix = length < 255 ? 1 : length < 0xFFFE ? 3 : 7;
        EXPECT_EQ(bytes.size(), StoreObject(shorter).size() + prefix - 1 + length) << length;
    }

    const uint32_t counts[] = {0xFFFE, 0xFFFF};
    for (uint32_t count : counts) {
        CLayer layer;
        layer.SetFlags(CLayer::kHasHiddenFields);
        layer.HiddenFields().assign(count, "F");
        const std::vector<unsigned char> bytes = StoreObject(layer);
        // Class tag of "CLayer" (12 bytes), five empty strings, type and flags, then the count.
        const size_t at = 12 + 5 + 2 + 4;
        if (count == 0xFFFE) {
            EXPECT_EQ(bytes[at], 0xFE);
            EXPECT_EQ(bytes[at + 1], 0xFF);
        } else {
            const std::vector<unsigned char> wide(bytes.begin() + at, bytes.begin() + at + 6);
            EXPECT_EQ(wide, (std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
        }
        auto back = LoadObject<CLayer>(bytes);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->HiddenFields().size(), count);
    }
}

TEST(MapFile, RelativePathsFollowTheMapFile)
{
    CTempDir first, second;
    for (const CTempDir* dir : {&first, &second}) {
        std::filesystem::create_directories(ResolvePath(dir->File("maps")));
        std::filesystem::create_directories(ResolvePath(dir->File("data")));
    }
    WriteWholeFile(second.File("data/ROADS.GDB"), "x");

    // Saved beside its data, then moved together with the data folder.
    CLayerArray layers;
    auto roads = std::make_unique<CLayer>("Roads", first.File("data/roads.gdb"), 1);
    roads->AddFile(first.File("data/part2.gdb"));
    layers.Add(std::move(roads));
    layers.Add(std::make_unique<CLayer>("Far", "E:\\gis\\far.shp", 2));
    ASSERT_TRUE(layers.WriteMapFile(first.File("maps/m.map")));
    const std::string stored = ReadWholeFile(first.File("maps/m.map"));
    EXPECT_NE(stored.find("..\\data\\roads.gdb"), std::string::npos);
    EXPECT_NE(stored.find("..\\data\\part2.gdb"), std::string::npos);
    EXPECT_NE(stored.find("E:\\gis\\far.shp"), std::string::npos);

    WriteWholeFile(second.File("maps/m.map"), stored);
    CLayerArray moved;
    ASSERT_TRUE(moved.ReadMapFile(second.File("maps/m.map")));
    const CLayer& back = *moved.GetAt(0);
    EXPECT_TRUE(back.GetPath().starts_with(second.Path()));
    EXPECT_TRUE(PathExists(back.GetPath())) << back.GetPath(); // found on disk in another letter case
    EXPECT_TRUE(back.Files()[0].path.starts_with(second.Path()));
    EXPECT_EQ(moved.GetAt(1)->GetPath(), "E:\\gis\\far.shp");

    // A path written on Windows relative to the map resolves here.
    CLayerArray windows;
    windows.Add(std::make_unique<CLayer>("Roads", "..\\data\\roads.gdb", 1));
    const std::vector<unsigned char> bytes = StoreList(windows); // no file name: stored as given
    CLayerArray read;
    LoadList(read, bytes, second.File("maps/m.map"));
    EXPECT_TRUE(PathExists(read.GetAt(0)->GetPath())) << read.GetAt(0)->GetPath();
}

TEST(MapFile, PictureNamesUnderTheProgramFolderStayRelative)
{
    CTempDir program;
    SetProgramFolderForTesting(program.Path());
    CPointStyle inside;
    inside.kind = CPointStyle::kPicture;
    std::string upper = program.Path();
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    inside.SetName(upper + "Symbols/tower.bmp");
    EXPECT_EQ(inside.GetName(), "Symbols/tower.bmp");

    // Read from a map: a picture under the program folder loses the folder, one elsewhere keeps it.
    CSublayer sublayer(0);
    CPointStyle style;
    style.kind = CPointStyle::kPicture;
    style.SetName("/elsewhere/Symbols/mast.bmp");
    sublayer.m_style = style;
    std::vector<unsigned char> bytes = StoreObject(sublayer);
    auto back = LoadObject<CSublayer>(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_style.Point().GetName(), "/elsewhere/Symbols/mast.bmp");

    const std::string absolute = program.Path() + "Symbols\\mast2.bmp";
    std::string record(bytes.begin(), bytes.end());
    record.replace(record.find("/elsewhere/Symbols/mast.bmp") - 1, 28,
                   std::string(1, static_cast<char>(absolute.size())) + absolute);
    back = LoadObject<CSublayer>(std::vector<unsigned char>(record.begin(), record.end()));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_style.Point().GetName(), "Symbols\\mast2.bmp");
    SetProgramFolderForTesting("");
}

namespace {
// A layer whose record cannot be written to the end.
class CFailingLayer : public CLayer {
public:
    static const CRuntimeClass kClass;
    static CObject* CreateObject() { return new CFailingLayer; }
    const CRuntimeClass* GetRuntimeClass() const override { return &kClass; }
    void Serialize(CArchive& archive) override
    {
        CLayer::Serialize(archive);
        throw CArchiveException(CArchiveException::writeFailed, "disk full");
    }
};
const CRuntimeClass CFailingLayer::kClass = {"CFailingLayer", 1, true, &CFailingLayer::CreateObject};
} // namespace

TEST(MapFile, AFailedSaveKeepsThePreviousMap)
{
    CTempDir dir;
    const std::string path = dir.File("m.map");
    CLayerArray layers;
    layers.Add(std::make_unique<CLayer>("A", dir.File("a.gdb"), 0));
    ASSERT_TRUE(layers.WriteMapFile(path));
    const std::string before = ReadWholeFile(path);

    layers.Add(std::make_unique<CLayer>("B", dir.File("b.gdb"), 1));
    layers.Add(std::make_unique<CFailingLayer>());
    EXPECT_FALSE(layers.WriteMapFile(path));
    EXPECT_EQ(ReadWholeFile(path), before);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"m.map"}); // no leftover beside it

    EXPECT_FALSE(layers.WriteMapFile(dir.File("missing/m.map")));

    // A map that cannot be opened is no archive error, and leaves the list alone.
    EXPECT_FALSE(layers.ReadMapFile(dir.File("none.map")));
    EXPECT_EQ(layers.GetSize(), 3);
}

TEST(LayerArray, ReadingEmptiesTheListFirst)
{
    CLayerArray three;
    for (const char* name : {"x", "y", "z"})
        three.Add(std::make_unique<CLayer>(name, "a.gdb", 0));
    const std::vector<unsigned char> bytes = StoreList(three);

    CLayerArray five;
    for (const char* name : {"a", "b", "c", "d", "e"})
        five.Add(std::make_unique<CLayer>(name, "a.gdb", 0));
    LoadList(five, bytes);
    ASSERT_EQ(five.GetSize(), 3);
    EXPECT_EQ(five.GetAt(0)->GetName(), "x");
    EXPECT_EQ(five.GetAt(2)->GetName(), "z");
    EXPECT_EQ(five.FindByName("d"), nullptr);

    // A failed read leaves what was read so far, and nothing leaks.
    std::vector<unsigned char> cut(bytes.begin(), bytes.end() - 10);
    EXPECT_THROW(LoadList(five, cut), CArchiveException);
    EXPECT_EQ(five.GetSize(), 2);
    // Reading a whole map file into a list that fails keeps the list as it was.
    CTempDir dir;
    WriteWholeFile(dir.File("cut.map"), std::string(cut.begin(), cut.end()));
    EXPECT_THROW(three.ReadMapFile(dir.File("cut.map")), CArchiveException);
    EXPECT_EQ(three.GetSize(), 3);
}

TEST(LayerArray, FindByNameAndMoveItems)
{
    CLayerArray layers;
    for (const char* name : {"0", "1", "2", "3", "Keliai"})
        layers.Add(std::make_unique<CLayer>(name, "a.gdb", 0));
    EXPECT_EQ(layers.FindByName("Keliai"), layers.GetAt(4));
    EXPECT_EQ(layers.FindByName("keliai"), nullptr);
    layers.GetAt(4)->SetName("4");

    auto order = [&layers] {
        std::string names;
        for (int i = 0; i < layers.GetSize(); ++i)
            names += layers.GetAt(i)->GetName();
        return names;
    };
    struct Case {
        int from, to, count;
        bool moved;
        const char* order;
    };
    const Case cases[] = {
        {3, 0, 2, true, "34012"}, {0, 3, 2, true, "23401"}, {1, 1, 3, true, "01234"},
        {4, 0, 2, false, "01234"}, {0, 4, 2, false, "01234"}, {-1, 0, 1, false, "01234"},
    };
    for (const Case& c : cases) {
        CLayerArray fresh;
        for (const char* name : {"0", "1", "2", "3", "4"})
            fresh.Add(std::make_unique<CLayer>(name, "a.gdb", 0));
        layers.RemoveAll();
        for (int i = 0; i < fresh.GetSize(); ++i)
            layers.Add(std::make_unique<CLayer>(*fresh.GetAt(i)));
        EXPECT_EQ(layers.MoveItems(c.from, c.to, c.count), c.moved) << c.from << "->" << c.to;
        EXPECT_EQ(order(), c.order) << c.from << "->" << c.to;
    }
}
