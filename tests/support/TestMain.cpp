#include "tests/support/TestSupport.h"

#include "platform/Stream.h"

#include <gtest/gtest.h>

// Fontconfig keeps what Qt's font database asked of it until the process
// ends; that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Lock and open retries would make failure cases wait for seconds.
    GetFileRetryPolicy().lockWait = std::chrono::milliseconds(1);
    GetFileRetryPolicy().openWait = std::chrono::milliseconds(1);
    return RUN_ALL_TESTS();
}
