#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace {

constexpr const char* kChildVariable = "DREL_LOCALE_CHILD";
constexpr const char* kLocale = "lt_LT.UTF-8";

bool HasLocale(const char* name)
{
    locale_t l = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (!l)
        return false;
    freelocale(l);
    return true;
}

// Run in a process of its own, started by the test below under
// LANG=lt_LT.UTF-8, so that the application object is the first to set
// the locale from the environment. Suites named *ChildProcess are left
// out of the registered tests.
TEST(ApplicationLocaleChildProcess, UnderTheLithuanianLocale)
{
    if (!std::getenv(kChildVariable))
        GTEST_SKIP() << "runs only in the process that the locale test starts";
    // The locale gives numbers a decimal comma, so the checks below
    // would fail had the application left LC_NUMERIC to it.
    {
        locale_t lithuanian = newlocale(LC_ALL_MASK, kLocale, static_cast<locale_t>(nullptr));
        ASSERT_NE(lithuanian, nullptr);
        locale_t old = uselocale(lithuanian);
        EXPECT_STREQ(localeconv()->decimal_point, ",");
        uselocale(old);
        freelocale(lithuanian);
    }
    NeedApplication();

    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_EQ(std::atof("2.5"), 2.5);
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 2.5);
    EXPECT_STREQ(text, "2.5");

    EXPECT_STREQ(std::setlocale(LC_COLLATE, nullptr), kLocale);
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), kLocale);
    // a, a-ogonek, b in UTF-8, the character type of the locale.
    EXPECT_LT(std::strcoll("a", "\xC4\x85"), 0);
    EXPECT_LT(std::strcoll("\xC4\x85", "b"), 0);
}

TEST(ApplicationLocale, NumbersStayCWhileSortingFollowsTheUser)
{
    if (std::getenv(kChildVariable))
        GTEST_SKIP() << "the child runs only its own test";
    NeedApplication();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The system's locale, else one compiled for this test alone.
    CTempDir folder;
    if (!HasLocale(kLocale)) {
        const std::string native = ResolvePath(folder.Path());
        const std::string command = "localedef -i lt_LT -f UTF-8 " + native + kLocale + " >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            GTEST_SKIP() << "the locale " << kLocale
                         << " is not installed (tools/bootstrap generates it) and localedef could not build it";
        environment.insert("LOCPATH", QString::fromStdString(native));
    }
    for (const QString& name : environment.keys())
        if (name.startsWith("LC_") || name == "LANGUAGE")
            environment.remove(name);
    environment.insert("LANG", kLocale);
    environment.insert(kChildVariable, "1");

    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=ApplicationLocaleChildProcess.UnderTheLithuanianLocale"});
    ASSERT_TRUE(child.waitForFinished(30000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

} // namespace
