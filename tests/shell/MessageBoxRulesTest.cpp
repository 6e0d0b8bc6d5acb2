#include "shell/MessageBoxRules.h"

#include "platform/UserServices.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

struct Shown {
    std::string text;
    std::string caption;
    unsigned type;
    bool ownBox;
};

class MessageBoxRulesTest : public ::testing::Test {
protected:
    MessageBoxRulesTest()
        : rules("Drel Lite", [this](const std::string& text, const std::string& caption, unsigned type, bool own) {
              shown.push_back({text, caption, type, own});
              if (whileShowing) {
                  auto inner = std::move(whileShowing);
                  inner();
              }
              return answer;
          })
    {
    }

    CMessageBoxRules rules;
    std::vector<Shown> shown;
    std::function<void()> whileShowing;
    int answer = IDOK;
};

TEST_F(MessageBoxRulesTest, TheOwnBoxAddsTheExclamationIconWhereThereIsNone)
{
    struct Case {
        unsigned type;
        unsigned own;
        unsigned system;
    };
    const Case cases[] = {
        {MB_OK, MB_OK | MB_ICONWARNING, MB_OK},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONWARNING, MB_OKCANCEL},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONWARNING,
         MB_YESNOCANCEL | MB_DEFBUTTON2},
        {MB_YESNO, MB_YESNO | MB_ICONWARNING, MB_YESNO},
        {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
        {MB_RETRYCANCEL, MB_RETRYCANCEL, MB_RETRYCANCEL},
        {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION},
        {MB_OK | MB_ICONERROR, MB_OK | MB_ICONERROR, MB_OK | MB_ICONERROR},
    };
    for (const bool own : {true, false}) {
        rules.SetOwnBox(own);
        for (const Case& c : cases) {
            shown.clear();
            EXPECT_EQ(rules.DoMessageBox("Tekstas", c.type, 0), IDOK);
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].type, own ? c.own : c.system) << std::hex << c.type;
            EXPECT_EQ(shown[0].caption, "Drel Lite");
            EXPECT_EQ(shown[0].ownBox, own);
        }
    }
}

TEST_F(MessageBoxRulesTest, ASecondPlainOkBoxWhileOneShowsReturnsZeroUnseen)
{
    int inner = -1;
    int question = -1;
    whileShowing = [&] {
        inner = rules.DoMessageBox("Antras", MB_OK | MB_ICONERROR, 0);
        EXPECT_TRUE(rules.IsOkBoxOpen());
        answer = IDYES;
        question = rules.DoMessageBox("Klausimas?", MB_YESNO, 0);
        answer = IDOK;
    };
    EXPECT_EQ(rules.DoMessageBox("Pirmas", MB_OK, 0), IDOK);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(question, IDYES); // other button sets are never dropped
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Pirmas");
    EXPECT_EQ(shown[1].text, "Klausimas?");
    EXPECT_FALSE(rules.IsOkBoxOpen());
    EXPECT_EQ(rules.DoMessageBox("Vėl", MB_OK, 0), IDOK);
    EXPECT_EQ(shown.size(), 3u);
}

TEST_F(MessageBoxRulesTest, TheOkBoxFlagClearsWhenTheBoxFails)
{
    CMessageBoxRules failing("Drel Lite", [](const std::string&, const std::string&, unsigned, bool) -> int {
        throw std::runtime_error("no box");
    });
    EXPECT_THROW(failing.DoMessageBox("x", MB_OK, 0), std::runtime_error);
    EXPECT_FALSE(failing.IsOkBoxOpen());
    EXPECT_EQ(CMessageBoxRules("Drel Lite", nullptr).DoMessageBox("x", MB_OK, 0), 0);
}

} // namespace
