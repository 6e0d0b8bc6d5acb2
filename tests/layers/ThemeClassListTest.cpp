#include "tests/layers/LayerTestSupport.h"

#include "layers/DtmLayer.h"
#include "layers/Sublayer.h"
#include "layers/ThemeClassList.h"
#include "platform/Strings.h"

#include <gtest/gtest.h>

#include <cfloat>

namespace {

// The index of the class a text falls into; -1 for none.
int ClassOf(const CThemeClassList& list, std::string_view text)
{
    const CThemeClass* found = list.FindClass(text);
    for (int i = 0; i < list.GetCount(); ++i)
        if (list.GetClass(i) == found)
            return i;
    return -1;
}

std::vector<unsigned char> StoreList(CThemeClassList& list)
{
    CMemoryStream stream;
    CArchive archive(stream, CArchive::store);
    list.Serialize(archive);
    return stream.Data();
}

void LoadList(CThemeClassList& list, const std::vector<unsigned char>& bytes)
{
    CMemoryStream stream(bytes, false);
    CArchive archive(stream, CArchive::load);
    list.Serialize(archive);
}

} // namespace

TEST(ThemeClassList, EachKindFindsTheFirstClassThatHoldsTheValue)
{
    CThemeClassList numbers;
    numbers.InsertNumberClass(0, 1, 1);
    numbers.InsertNumberClass(1, 1, 2);
    numbers.AddClass(1);
    CThemeClassList ranges;
    ranges.SetKind(false, true);
    ranges.InsertRangeClass(0, 2, 0, 10);
    ranges.InsertRangeClass(1, 2, 10, 20);
    ranges.AddClass(2);
    CThemeClassList texts;
    texts.SetKind(true, false);
    texts.InsertTextClass(0, 0, "VILNIUS");
    texts.AddClass(0);
    CThemeClassList textRanges;
    textRanges.SetKind(false, false);
    textRanges.InsertTextRangeClass(0, 0, "A", "C");
    textRanges.AddClass(0);

    struct Case {
        const CThemeClassList& list;
        const char* text;
        int index;
    };
    const Case cases[] = {
        {numbers, "2.0", 1}, {numbers, "abc", 2},    {numbers, "1", 0},         {ranges, "10", 0},
        {ranges, "15", 1},   {ranges, "-1", 2},      {ranges, "20.5", 2},       {texts, "VILNIUS", 0},
        {texts, "Vilnius", 1}, {textRanges, "B", 0}, {textRanges, "Bz", 0},     {textRanges, "C", 0},
        {textRanges, "Ca", 1}, {textRanges, "\xC0", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassOf(c.list, c.text), c.index) << c.text;

    EXPECT_EQ(numbers.FindNumberClass(2), numbers.GetClass(1));
    EXPECT_EQ(texts.FindNumberClass(2), nullptr);
    EXPECT_EQ(CThemeClassList().FindClass("1"), nullptr);

    // Only the other-values class: it takes everything.
    CThemeClassList single;
    single.AddClass(0);
    EXPECT_EQ(single.FindClass("anything"), single.GetClass(0));
}

TEST(ThemeClassList, ValueTextsAndTheirParsing)
{
    CThemeClassList ranges;
    ranges.SetKind(false, true);
    ranges.InsertRangeClass(0, 1, 5, 7.25);
    ranges.AddClass(1);
    ranges.AddClass(1);
    EXPECT_EQ(ranges.GetClassText(0), "5 - 7.25");
    EXPECT_EQ(ranges.GetClassText(1), ""); // unset
    EXPECT_EQ(ranges.GetClassText(2), LoadString(3005));

    auto* range = static_cast<CThemeRangeClass*>(ranges.GetClass(0));
    const std::tuple<const char*, double, double> parses[] = {
        {"5 - 7", 5, 7}, {"5", 5, 0}, {"-3 - -1", -3, -1}, {"1.5-2", 1.5, 2}, {"x", 0, 0},
    };
    for (const auto& [text, low, high] : parses) {
        ASSERT_TRUE(ranges.SetClassValue(0, text));
        EXPECT_EQ(range->m_low, low) << text;
        EXPECT_EQ(range->m_high, high) << text;
    }

    CThemeClassList numbers;
    numbers.AddClass(0);
    numbers.AddClass(0);
    EXPECT_EQ(numbers.GetClassText(0), "");
    numbers.SetClassValue(0, "0.1");
    EXPECT_EQ(numbers.GetClassText(0), "0.1");

    EXPECT_FALSE(numbers.SetClassValue(5, "x"));
}

TEST(ThemeClassList, TextRangesSplitAtTheFirstDashAndKeepBothSidesWhole)
{
    CThemeClassList textRanges;
    textRanges.SetKind(false, false);
    textRanges.AddClass(0);
    textRanges.AddClass(0);
    auto* range = static_cast<CThemeTextRangeClass*>(textRanges.GetClass(0));
    struct Case {
        const char* text;
        const char* low;
        const char* high;
    };
    const Case cases[] = {
        // "Naujoji Akmenė - Panevėžys" in code page 1257.
        {"Naujoji Akmen\xEB - Panev\xEB\xFEys", "Naujoji Akmen\xEB", "Panev\xEB\xFEys"},
        {"A - B - C", "A", "B - C"},
        {"Alpha", "Alpha", ""},
        {"A-C", "A-C", ""},
        {" Alpha  -  Gamma delta", " Alpha ", " Gamma delta"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(textRanges.SetClassValue(0, c.text));
        EXPECT_EQ(range->m_low, c.low);
        EXPECT_EQ(range->m_high, c.high);
    }
    // What the list shows reads back the same.
    range->m_low = "Naujoji Akmen\xEB";
    range->m_high = "Panev\xEB\xFEys";
    const std::string shown = textRanges.GetClassText(0);
    ASSERT_TRUE(textRanges.SetClassValue(0, shown));
    EXPECT_EQ(range->m_low, "Naujoji Akmen\xEB");
    EXPECT_EQ(range->m_high, "Panev\xEB\xFEys");
    EXPECT_EQ(textRanges.GetClassText(0), shown);
}

TEST(ThemeClassList, KindsAndInsertsKeepTheListOfOneKind)
{
    CThemeClassList list;
    EXPECT_EQ(list.GetKind(), CThemeClassList::kNumbers);
    list.AddClass(0);
    list.SetNumeric(false);
    EXPECT_EQ(list.GetKind(), CThemeClassList::kTexts);
    EXPECT_EQ(list.GetCount(), 0);
    list.SetSingleValues(false);
    EXPECT_EQ(list.GetKind(), CThemeClassList::kTextRanges);
    EXPECT_FALSE(list.IsNumeric());
    EXPECT_FALSE(list.IsSingleValues());

    EXPECT_EQ(list.InsertTextClass(0, 0, "A"), nullptr);
    EXPECT_EQ(list.InsertTextRangeClass(1, 0, "A", "B"), nullptr);
    ASSERT_NE(list.InsertTextRangeClass(0, 0, "A", "B"), nullptr);
    EXPECT_TRUE(list.RemoveClass(0));
    EXPECT_FALSE(list.RemoveClass(0));

    CThemeClassList copy(list);
    list.InsertTextRangeClass(0, 0, "C", "D");
    copy = list;
    ASSERT_EQ(copy.GetCount(), 1);
    EXPECT_NE(copy.GetClass(0), list.GetClass(0));
    EXPECT_EQ(copy.GetKind(), CThemeClassList::kTextRanges);
}

TEST(ThemeClassList, ArchiveOfEveryKind)
{
    for (int kind = 0; kind < 4; ++kind) {
        CThemeClassList list;
        list.SetKind(kind % 2 == 0, kind < 2);
        list.AddClass(kind == 0 ? 0 : 2);
        list.AddClass(kind == 0 ? 0 : 2);
        list.SetClassValue(0, kind < 2 ? "1 - 2" : "a - b");
        list.GetClass(0)->m_label = "not stored";
        const std::vector<unsigned char> bytes = StoreList(list);
        EXPECT_EQ(bytes[2], kind);

        CThemeClassList back;
        LoadList(back, bytes);
        EXPECT_EQ(back.GetKind(), kind);
        ASSERT_EQ(back.GetCount(), 2);
        EXPECT_EQ(back.GetClassText(0), list.GetClassText(0));
        EXPECT_EQ(back.GetClass(0)->m_style, list.GetClass(0)->m_style);
        EXPECT_EQ(back.GetClass(0)->m_label, "");
        EXPECT_EQ(StoreList(back), bytes);
    }

    // Kinds with labels instead of values are never written and are refused.
    CThemeClassList list;
    std::vector<unsigned char> bytes = StoreList(list);
    bytes[3] = 0x01;
    EXPECT_THROW(LoadList(list, bytes), CArchiveException);
    // A count that the file cannot hold.
    EXPECT_THROW(LoadList(list, {0x05, 0x00, 0x00, 0x00}), CArchiveException);
}

TEST(DtmLayer, DefaultHeightClassesAndValueTexts)
{
    CScriptedStyleSource styles;
    CDtmLayer layer("Reljefas", "/m/r.rmp");
    EXPECT_EQ(layer.GetType(), CLayer::kElevation);
    EXPECT_EQ(layer.GetFlags(), 0x17u);
    EXPECT_EQ(layer.GetSublayer(0)->m_kind, CSublayer::kClassified);
    EXPECT_EQ(layer.GetTypeName(), LoadString(2204));

    layer.SetDefaultClasses();
    const CThemeClassList& classes = *layer.GetHeightClasses();
    EXPECT_EQ(classes.GetKind(), CThemeClassList::kNumberRanges);
    ASSERT_EQ(classes.GetCount(), 21);
    const std::tuple<double, int, COLORREF> cases[] = {
        {150, 9, 0x00FFB5}, {4000, 19, 0x2B5682}, {4500, 20, 0xC0C0C0}, {-5, 0, 0xFFFFFF}, {0, 1, 0xFFE680},
    };
    for (const auto& [value, index, fill] : cases) {
        const CThemeClass* found = classes.FindNumberClass(value);
        EXPECT_EQ(found, classes.GetClass(index)) << value;
        EXPECT_EQ(found->m_style.Draw().brushColor, fill) << value;
    }
    EXPECT_EQ(static_cast<const CThemeRangeClass*>(classes.GetClass(0))->m_low, -DBL_MAX);

    const std::tuple<uint32_t, double, const char*> texts[] = {
        {0, 150, "150 m"},
        {CLayer::kFieldStrength, 4567, "45.67 dB(uV/m)"},
        {CLayer::kPlainValues, 4567.4, "4567"},
        {CLayer::kPlainValues | CLayer::kFieldStrength, 12, "12"},
    };
    for (const auto& [flags, value, text] : texts) {
        layer.SetFlags(0x17 | flags);
        EXPECT_EQ(layer.FormatValue(value), text);
    }

    // Read from a map file, the elevation layer keeps its class and classes.
    auto back = LoadObject<CDtmLayer>(StoreObject(layer));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetHeightClasses()->GetCount(), 21);
    EXPECT_EQ(CDtmLayer().GetHeightClasses(), nullptr);
}
