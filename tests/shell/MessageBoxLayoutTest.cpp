#include "shell/MessageBoxLayout.h"

#include "platform/UserServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Labels(unsigned type)
{
    std::vector<std::string> labels;
    for (const int id : GetMessageBoxButtons(type))
        labels.push_back(GetMessageBoxButtonLabel(id));
    return labels;
}

TEST(MessageBoxLayout, ButtonsLabelsAndOrderOfEachType)
{
    struct Case {
        unsigned type;
        std::vector<int> buttons;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {MB_OK, {IDOK}, {"OK"}},
        {MB_OKCANCEL, {IDOK, IDCANCEL}, {"OK", "Atsisakyti"}},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, {"&Nutraukti", "&Kartoti", "Nepa&isyti"}},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, {"&Taip", "&Ne", "Atsisakyti"}},
        {MB_YESNO, {IDYES, IDNO}, {"&Taip", "&Ne"}},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, {"&Kartoti", "Atsisakyti"}},
        {0x6, {IDOK}, {"OK"}},
        {0xF | MB_ICONWARNING, {IDOK}, {"OK"}},
        // Help comes last.
        {MB_YESNO | MB_HELP, {IDYES, IDNO, IDHELP}, {"&Taip", "&Ne", "&Pagalba"}},
        {MB_OK | MB_HELP, {IDOK, IDHELP}, {"OK", "&Pagalba"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetMessageBoxButtons(c.type), c.buttons) << std::hex << c.type;
        EXPECT_EQ(Labels(c.type), c.labels) << std::hex << c.type;
    }
    EXPECT_STREQ(GetMessageBoxButtonLabel(IDCLOSE), "&Uždaryti");
    EXPECT_STREQ(GetMessageBoxButtonLabel(0), "???");
    EXPECT_STREQ(GetMessageBoxButtonLabel(10), "???");
}

TEST(MessageBoxLayout, IconDefaultButtonAndEscape)
{
    EXPECT_EQ(GetMessageBoxIcon(MB_OK), 0);
    EXPECT_EQ(GetMessageBoxIcon(MB_ICONERROR), 32513);
    EXPECT_EQ(GetMessageBoxIcon(MB_YESNO | MB_ICONQUESTION), 32514);
    EXPECT_EQ(GetMessageBoxIcon(MB_ICONWARNING), 32515);
    EXPECT_EQ(GetMessageBoxIcon(MB_ICONINFORMATION), 32516);
    EXPECT_EQ(GetMessageBoxIcon(0x50), 0);
    EXPECT_EQ(GetMessageBoxIcon(0x70), 0);
    // The caller's icon bit is cleared first: 0x90 is the hand.
    EXPECT_EQ(GetMessageBoxIcon(0x90), 32513);

    EXPECT_EQ(GetMessageBoxDefaultButton(MB_YESNOCANCEL), 0);
    EXPECT_EQ(GetMessageBoxDefaultButton(MB_YESNOCANCEL | MB_DEFBUTTON2), 1);
    EXPECT_EQ(GetMessageBoxDefaultButton(MB_YESNOCANCEL | MB_DEFBUTTON3), 2);
    EXPECT_EQ(GetMessageBoxDefaultButton(MB_YESNO | MB_DEFBUTTON3), 0); // past the row's end
    EXPECT_EQ(GetMessageBoxDefaultButton(MB_YESNO | MB_HELP | MB_DEFBUTTON3), 2);

    // Escape answers Cancel where there is one, else No, never a Yes.
    EXPECT_EQ(GetMessageBoxEscapeResult(MB_YESNO), IDNO);
    EXPECT_EQ(GetMessageBoxEscapeResult(MB_YESNO | MB_HELP), IDNO);
    EXPECT_EQ(GetMessageBoxEscapeResult(MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(GetMessageBoxEscapeResult(MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(GetMessageBoxEscapeResult(MB_RETRYCANCEL), IDCANCEL);
    EXPECT_EQ(GetMessageBoxEscapeResult(MB_OK), IDOK);
    EXPECT_EQ(GetMessageBoxEscapeResult(MB_OK | MB_HELP), IDOK);
    EXPECT_EQ(GetMessageBoxEscapeResult(MB_ABORTRETRYIGNORE), 0);
}

TEST(MessageBoxLayout, SizesFromTheFontsWidthAndHeight)
{
    MessageBoxMetrics m;
    m.charWidth = 6;
    m.charHeight = 13;
    m.workAreaWidth = 1024;
    m.nonClient = CSize(8, 30);
    m.icon = CSize(32, 32);
    int asked = 0;
    // A short text beside an icon taller than it: centred on the icon.
    MessageBoxLayout box = LayOutMessageBox(m, 3, [&](int maxWidth) {
        asked = maxWidth;
        return CSize(300, 13);
    });
    // (1024 / 8) * 5 - 2 * 7W/4 - non-client - icon - 10W/4
    EXPECT_EQ(asked, 640 - 22 - 8 - 32 - 15);
    EXPECT_EQ(box.icon, CRect(11, 11, 43, 43));
    EXPECT_EQ(box.text, CRect(58, 20, 358, 33));
    // 50W/4 by 14H/8, 4W/4 apart, 10H/8 below the content, centred.
    ASSERT_EQ(box.buttons.size(), 3u);
    EXPECT_EQ(box.client, CSize(369, 43 + 16 + 23 + 11));
    EXPECT_EQ(box.buttons[0], CRect(66, 59, 141, 82));
    EXPECT_EQ(box.buttons[1], CRect(147, 59, 222, 82));
    EXPECT_EQ(box.buttons[2], CRect(228, 59, 303, 82));

    // A long text without an icon takes the widest line allowed; the
    // buttons of a narrow text make the box wide.
    m.icon = CSize();
    box = LayOutMessageBox(m, 1, [](int maxWidth) { return CSize(maxWidth, 4 * 13); });
    EXPECT_TRUE(box.icon.IsRectEmpty());
    EXPECT_EQ(box.text, CRect(11, 11, 11 + 610, 11 + 52));
    EXPECT_EQ(box.client.cx, 632);
    EXPECT_EQ(box.buttons[0].left, (632 - 75) / 2);
    EXPECT_EQ(box.buttons[0].top, 52 + 11 + 16);
    box = LayOutMessageBox(m, 4, [](int) { return CSize(20, 13); });
    EXPECT_EQ(box.client.cx, 4 * 75 + 3 * 6 + 22);
    EXPECT_EQ(box.buttons.front().left, 11);
    EXPECT_EQ(box.buttons.back().right, box.client.cx - 11);

    // A caption wider than text and buttons widens the box; the row stays centred.
    m.captionWidth = 300;
    box = LayOutMessageBox(m, 1, [](int) { return CSize(20, 13); });
    EXPECT_EQ(box.client.cx, 300);
    EXPECT_EQ(box.buttons[0].left, (300 - 75) / 2);
    EXPECT_EQ(box.text.left, 11);
    m.captionWidth = 50;
    EXPECT_EQ(LayOutMessageBox(m, 1, [](int) { return CSize(20, 13); }).client.cx, 75 + 22);
}

} // namespace
