#include "core/ParallelTasks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Runs count tasks and tells whether each ran exactly once.
bool EachRanOnce(int count)
{
    std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
    RunTasks(count, [&](int i) { runs[static_cast<size_t>(i)].fetch_add(1); });
    for (const std::atomic<int>& n : runs)
        if (n.load() != 1)
            return false;
    return true;
}

} // namespace

TEST(ParallelTasks, EveryTaskRunsOnceBeforeTheCallReturns)
{
    for (int round = 0; round < 200; ++round)
        for (int count : {0, 1, 2, 3, 7, 33, 250})
            ASSERT_TRUE(EachRanOnce(count)) << count << " tasks, round " << round;

    // Callers on several threads wait their turn; none loses a task.
    std::atomic<int> failures{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t)
        callers.emplace_back([&] {
            for (int round = 0; round < 100; ++round)
                if (!EachRanOnce(1 + round % 40))
                    failures.fetch_add(1);
        });
    for (std::thread& caller : callers)
        caller.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_GE(TaskWorkerCount(), 0);
}
