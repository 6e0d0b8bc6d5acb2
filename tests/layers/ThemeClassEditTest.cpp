#include "tests/layers/LayerTestSupport.h"

#include "layers/ClassEditDialogs.h"
#include "layers/DrawStyle.h"
#include "layers/PointStyle.h"
#include "layers/ThemeClassList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Dialogs that log what they are shown and answer OK with the scripted
// values, or cancel after scribbling over their copies.
class CScriptedClassEditDialogs : public IClassEditDialogs {
public:
    CScriptedClassEditDialogs() { SetClassEditDialogs(this); }
    ~CScriptedClassEditDialogs() override { SetClassEditDialogs(nullptr); }

    bool EditFieldValue(std::string& value) override
    {
        shown.push_back("value " + value);
        value = ok ? answerFrom : "scribbled";
        return ok;
    }
    bool EditFieldRange(std::string& from, std::string& to) override
    {
        shown.push_back("range " + from + " | " + to);
        from = ok ? answerFrom : "scribbled";
        to = ok ? answerTo : "scribbled";
        return ok;
    }
    bool EditPointStyle(CPointStyle& style) override
    {
        shown.push_back("point " + std::to_string(style.symbol));
        style.symbol = ok ? pointSymbol : 999;
        return ok;
    }
    bool EditLineStyle(CDrawStyle::Line& first, CDrawStyle::Line& second, bool& doubleLine) override
    {
        shown.push_back("line " + std::to_string(first.style) + "/" + std::to_string(first.width) +
                        (doubleLine ? " double " + std::to_string(second.style) + "/" + std::to_string(second.width)
                                    : std::string()));
        lineFirst = first;
        lineSecond = second;
        first = ok ? answerFirst : CDrawStyle::Line{9, 9, 9};
        second = answerSecond;
        doubleLine = answerDouble;
        return ok;
    }
    bool EditAreaStyle(CDrawStyle& style) override
    {
        shown.push_back("area " + std::to_string(style.brushColor));
        style.brushColor = ok ? areaColour : 0x123456;
        return ok;
    }

    bool ok = true;
    std::vector<std::string> shown;
    std::string answerFrom, answerTo;
    uint16_t pointSymbol = 0;
    CDrawStyle::Line lineFirst, lineSecond;
    CDrawStyle::Line answerFirst, answerSecond;
    bool answerDouble = false;
    COLORREF areaColour = 0;
};

// A list of the kind with one class valued by the text, and the other-values class.
CThemeClassList ListOfKind(int kind, const std::string& value, int geometryType = 0)
{
    CThemeClassList list;
    list.SetKind(kind % 2 == 0, kind < 2);
    list.AddClass(geometryType);
    list.AddClass(geometryType);
    list.SetClassValue(0, value);
    return list;
}

CDrawStyle DoubleLine()
{
    CDrawStyle style;
    style.penStyle = CDrawStyle::kDoubleLine | (0x03 << 24) | (0x0F << 16) | 15;
    style.penWidth = (20u << 16) | 60;
    style.penColor = RGB(200, 0, 0);
    style.backColor = RGB(255, 255, 0);
    style.brushStyle = 1;
    style.hatch = 7;
    return style;
}

} // namespace

TEST(ThemeClassEdit, ValuesGoThroughTheDialogOfTheirKind)
{
    struct Case {
        int kind;
        const char* value;
        const char* shown;
        const char* from;
        const char* to;
        const char* stored; // the class text afterwards
    };
    const std::vector<Case> cases = {
        {0, "5", "value 5", "7.5", "", "7.5"},
        {1, "5 - 7.25", "range 5 | 7.25", "1.5abc", "x", "1.5 - 0"},
        {2, "Vilnius", "value Vilnius", "Kaunas - Alytus", "", "Kaunas - Alytus"},
        // Both sides as they are, blanks and dashes kept.
        {3, "A - C", "range A | C", " Naujoji Akmen\xEB", "B - D", " Naujoji Akmen\xEB - B - D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind));
        CScriptedClassEditDialogs dialogs;
        CThemeClassList list = ListOfKind(c.kind, c.value);
        dialogs.answerFrom = c.from;
        dialogs.answerTo = c.to;

        dialogs.ok = false;
        EXPECT_FALSE(list.EditClassValue(0));
        EXPECT_EQ(list.GetClassText(0), c.value) << "Cancel changes nothing";

        dialogs.ok = true;
        EXPECT_TRUE(list.EditClassValue(0));
        EXPECT_EQ(list.GetClassText(0), c.stored);
        EXPECT_EQ(dialogs.shown, (std::vector<std::string>{c.shown, c.shown}));
        EXPECT_FALSE(list.EditClassValue(2));
        EXPECT_EQ(dialogs.shown.size(), 2u) << "no dialog for a class that is not there";
    }

    // An unset range shows empty boxes.
    CScriptedClassEditDialogs dialogs;
    CThemeClassList ranges;
    ranges.SetKind(false, true);
    ranges.AddClass(1);
    dialogs.ok = false;
    ranges.EditClassValue(0);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"range  | "});
}

TEST(ThemeClassEdit, WithoutDialogsEveryEditIsCancelled)
{
    CThemeClassList list = ListOfKind(0, "5", 2);
    const CStyleRecord before = list.GetClass(0)->m_style;
    EXPECT_FALSE(list.EditClassValue(0));
    EXPECT_FALSE(list.EditClassStyle(2, 0));
    EXPECT_EQ(list.GetClassText(0), "5");
    EXPECT_EQ(list.GetClass(0)->m_style, before);
}

TEST(ThemeClassEdit, StylesGoThroughTheDialogOfTheGeometryAndComeBackOnlyOnOk)
{
    CScriptedStyleSource source;
    CScriptedClassEditDialogs dialogs;
    dialogs.pointSymbol = 17;
    dialogs.areaColour = RGB(1, 2, 3);
    dialogs.answerFirst = {2, 40, RGB(0, 0, 255)};

    struct Case {
        int geometryType;
        const char* dialog; // the start of what the dialog was shown
    };
    const std::vector<Case> cases = {
        {0, "point"}, {10, "point"}, {1, "line"}, {2, "area"}, {4, "area"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("geometry " + std::to_string(c.geometryType));
        CThemeClassList list = ListOfKind(0, "1", c.geometryType);
        const CStyleRecord before = list.GetClass(0)->m_style;
        dialogs.shown.clear();

        dialogs.ok = false;
        EXPECT_FALSE(list.EditClassStyle(c.geometryType, 0));
        EXPECT_EQ(list.GetClass(0)->m_style, before) << "Cancel changes nothing";

        dialogs.ok = true;
        EXPECT_TRUE(list.EditClassStyle(c.geometryType, 0));
        ASSERT_EQ(dialogs.shown.size(), 2u);
        EXPECT_EQ(dialogs.shown[1].rfind(c.dialog, 0), 0u) << dialogs.shown[1];
        const CStyleRecord& after = list.GetClass(0)->m_style;
        switch (CThemeClassList::StyleTypeOf(c.geometryType)) {
        case CThemeClassList::kPointStyle:
            EXPECT_EQ(after.Point().symbol, 17);
            break;
        case CThemeClassList::kLineStyle:
            EXPECT_EQ(after.Draw().penStyle, 2u);
            EXPECT_EQ(after.Draw().penWidth, 40u);
            EXPECT_EQ(after.Draw().penColor, RGB(0, 0, 255));
            EXPECT_EQ(after.Draw().backColor, CDrawStyle::kNone);
            break;
        default:
            EXPECT_EQ(after.Draw().brushColor, RGB(1, 2, 3));
            break;
        }
    }

    // Rasters have no class styles; nor has a class that is not there.
    CThemeClassList list = ListOfKind(0, "1", 2);
    dialogs.shown.clear();
    EXPECT_FALSE(list.EditClassStyle(3, 0));
    EXPECT_FALSE(list.EditClassStyle(2, 5));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(ThemeClassEdit, ADoubleLineClassIsSplitForTheDialogAndComposedAgain)
{
    CScriptedClassEditDialogs dialogs;
    CThemeClassList list = ListOfKind(0, "1", 1);
    list.GetClass(0)->m_style = DoubleLine();

    // Given back unchanged, the record comes back to the byte.
    dialogs.answerFirst = {15, 60, RGB(200, 0, 0)};
    dialogs.answerSecond = {0x30F, 20, RGB(255, 255, 0)};
    dialogs.answerDouble = true;
    ASSERT_TRUE(list.EditClassStyle(1, 0));
    EXPECT_EQ(dialogs.shown.back(), "line 15/60 double 783/20");
    EXPECT_EQ(dialogs.lineSecond, (CDrawStyle::Line{0x30F, 20, RGB(255, 255, 0)}));
    EXPECT_EQ(list.GetClass(0)->m_style, CStyleRecord(DoubleLine()));

    // Made a single line, it keeps no trace of the second.
    dialogs.answerDouble = false;
    ASSERT_TRUE(list.EditClassStyle(1, 0));
    const CDrawStyle single = list.GetClass(0)->m_style.Draw();
    EXPECT_EQ(single.penStyle, 15u);
    EXPECT_EQ(single.penWidth, 60u);
    EXPECT_EQ(single.backColor, CDrawStyle::kNone);
    EXPECT_EQ(single.hatch, 7) << "the fields of the fill stay";
    ASSERT_TRUE(list.EditClassStyle(1, 0));
    EXPECT_EQ(dialogs.shown.back(), "line 15/60");
}

TEST(DrawStyle, ComposeLinesPutsTheSecondPenInTheHighBitsAndSplitTakesItBack)
{
    CDrawStyle style;
    style.ComposeLines({15, 60, RGB(200, 0, 0)}, {0x30F, 20, RGB(255, 255, 0)}, true);
    // Low byte of the second style in bits 16-23, the rest in 24-27 under the mark.
    EXPECT_EQ(style.penStyle, 0x130F000Fu);
    EXPECT_EQ(style.penWidth, 0x0014003Cu);
    EXPECT_EQ(style.penColor, RGB(200, 0, 0));
    EXPECT_EQ(style.backColor, RGB(255, 255, 0));
    CDrawStyle expected = DoubleLine();
    expected.brushStyle = 0; // the fill of a fresh style
    expected.hatch = 0;
    EXPECT_EQ(style, expected);

    CDrawStyle::Line first, second;
    ASSERT_TRUE(style.SplitLines(first, second));
    EXPECT_EQ(first, (CDrawStyle::Line{15, 60, RGB(200, 0, 0)}));
    EXPECT_EQ(second, (CDrawStyle::Line{0x30F, 20, RGB(255, 255, 0)}));
    EXPECT_EQ(style.SecondPen().penStyle, 0x30Fu);
    EXPECT_EQ(style.SecondPen().penWidth, 20u);
    EXPECT_EQ(style.SecondPen().penColor, RGB(255, 255, 0));
    EXPECT_EQ(style.SecondPen().backColor, CDrawStyle::kNone);
    EXPECT_EQ(style.FirstPen().penStyle, 15u);
    EXPECT_EQ(style.FirstPen().penWidth, 60u);

    // Every double line read from a file splits and composes to its own bytes.
    for (uint32_t high : {0x00u, 0x01u, 0x0Fu, 0xE0u, 0xEFu}) {
        CDrawStyle read = DoubleLine();
        read.penStyle = CDrawStyle::kDoubleLine | (high << 24) | (0xA5 << 16) | 0x1234;
        CDrawStyle again = read;
        again.SplitLines(first, second);
        again.ComposeLines(first, second, true);
        EXPECT_EQ(std::memcmp(&again, &read, sizeof read), 0) << high;
    }

    // A single line has its background cleared and nothing above the low halves.
    CDrawStyle single = DoubleLine();
    single.ComposeLines({0x10002, 0x10004, 1}, {7, 7, 7}, false);
    EXPECT_EQ(single.penStyle, 2u);
    EXPECT_EQ(single.penWidth, 4u);
    EXPECT_EQ(single.backColor, CDrawStyle::kNone);
    EXPECT_FALSE(single.SplitLines(first, second));
}
