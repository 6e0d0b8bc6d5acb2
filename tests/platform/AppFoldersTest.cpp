#include "platform/AppFolders.h"
#include "tests/support/TestSupport.h"

#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <gtest/gtest.h>

TEST(AppFolders, UserCopyIsReadFirstAndWrittenAlways)
{
    CTempDir program, user;
    SetProgramFolderForTesting(program.Path());
    SetUserFolderForTesting(user.Path());
    WriteWholeFile(program.File("GPS.ini"), "program");
    EXPECT_EQ(FindProgramFile("GPS.ini"), program.File("GPS.ini"));
    std::string writable = WritableProgramFile("GPS.ini");
    EXPECT_EQ(writable, user.File("GPS.ini"));
    WriteWholeFile(writable, "user");
    EXPECT_EQ(ReadWholeFile(FindProgramFile("GPS.ini")), "user");
    // Sub-folders of a written name are made.
    WriteWholeFile(WritableProgramFile("GPSLog/GPS20261209.log"), "x");
    EXPECT_EQ(ReadWholeFile(user.File("GPSLog/GPS20261209.log")), "x");
    SetProgramFolderForTesting("");
    SetUserFolderForTesting("");
    EXPECT_FALSE(GetProgramFolder().empty());
    EXPECT_EQ(GetProgramFolder().back(), '/');
}

TEST(UserServices, MessagesByIdCarryTheirIdAndArgument)
{
    CScriptedUserServices ui;
    ui.answers = {IDYES};
    EXPECT_TRUE(AskYesNo(1074));
    EXPECT_FALSE(AskYesNo(1074)); // no answers left: No
    AppMessageBoxArg(1007, "C:\\x.dbf");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.MessageIds(), (std::vector<unsigned>{1074, 1074, 1007}));
    EXPECT_EQ(ui.messages[2].text, LoadString(1007).replace(LoadString(1007).find("%1"), 2, "C:\\x.dbf"));
    EXPECT_EQ(LoadString(1044), "Failas skirtas tik skaitymui.");
    EXPECT_EQ(LoadString(999999), "");
}
