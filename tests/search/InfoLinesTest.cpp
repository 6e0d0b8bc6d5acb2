#include "search/InfoLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(InfoLines, WhichValuesAreLinks)
{
    struct Case {
        const char* value;
        bool link;
    };
    const Case cases[] = {
        {"http://www.example.lt", true},
        {"HTTP://WWW.EXAMPLE.LT", true},
        {"MailTo:info@example.lt", true},
        {"https://www.example.lt", false}, // only "http:" and "mailto:" as schemes
        {"mail:info@example.lt", false},
        {"planas.pdf", true},
        {"a.PDF", true},
        {"a.exe", false},
        {"C:\\Nuotraukos\\namas.JPG", true},
        {"..\\lentele.dbf", true},
        {"kelione.trk", true},
        {"ataskaita.tiff", true},
        {"archyvas.tar.gz", false},
        {"aplankas.pdf\\failas", false}, // the extension is the file name's
        {"aplankas.pdf/failas", false},
        {"be pletinio", false},
        {".dbf", true},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CInfoLines::IsLinkValue(c.value), c.link) << c.value;
}

TEST(InfoLines, NameColumnAndLinksOfTheLines)
{
    struct Case {
        std::vector<std::string> lines;
        int columns;
        std::vector<bool> links;
    };
    const Case cases[] = {
        {{"PAVAD\tSodo g.", "KODAS\t12"}, 11, {false, false}},
        // A name longer than 11 characters widens the column for every line.
        {{"PAVAD\tSodo g.", "Nuotrauka namo\tnamas.jpg"}, 14, {false, true}},
        {{"Nr\thttp://a.lt", "Trumpas\tx"}, 11, {true, false}},
        // A line without a TAB is a further line of the value above: never a link.
        {{"Aprasas\tpirma eilute", "planas.pdf", "Aprasas ilgesnis vardas"}, 11, {false, false, false}},
        {{}, 11, {}},
    };
    for (const Case& c : cases) {
        CInfoLines lines;
        lines.SetInfo({"Labai labai ilgas vardas\tx"}, "/old/");
        lines.SetInfo(c.lines, "/maps/");
        EXPECT_EQ(lines.GetNameColumns(), c.columns) << c.lines.size();
        EXPECT_EQ(lines.SeparatorX(7), 7 * c.columns);
        EXPECT_EQ(lines.GetFolder(), "/maps/");
        std::vector<bool> links;
        for (int i = 0; i < lines.GetCount(); ++i)
            links.push_back(lines.IsLink(i));
        EXPECT_EQ(links, c.links);
    }
}

TEST(InfoLines, ALineUnderEachValueWithItsFurtherLines)
{
    CInfoLines lines;
    lines.SetInfo({"PAVAD\tSodo g.", "APRASAS\tpirma eilute", "antra eilute", "", "\tbe vardo", "KODAS\t12"}, "");
    // Under an entry when the next one is empty or has a TAB after its
    // first character; a line with its TAB first joins the one above.
    const std::vector<bool> expected = {true, false, true, false, true, true};
    for (int i = 0; i < lines.GetCount(); ++i)
        EXPECT_EQ(lines.HasBottomLine(i), expected[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(CInfoLines::NamePart("APRASAS\tpirma"), "APRASAS");
    EXPECT_EQ(CInfoLines::ValuePart("APRASAS\tpirma\tantra"), "pirma\tantra");
    EXPECT_EQ(CInfoLines::NamePart("antra eilute"), "");
    EXPECT_EQ(CInfoLines::ValuePart("antra eilute"), "antra eilute");
}

} // namespace
