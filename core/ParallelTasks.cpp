#include "core/ParallelTasks.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The workers wait for a run and take its tasks one by one with the
// caller. The caller waits until every task has ended and no worker holds
// the run any more, since the run lives on its stack. One run at a time:
// callers from other threads wait their turn.
class CTaskPool {
public:
    explicit CTaskPool(int workers) : m_workers(workers)
    {
        for (int i = 0; i < workers; ++i)
            std::thread([this] { Work(); }).detach();
    }

    int Workers() const { return m_workers; }

    void Run(int count, const std::function<void(int)>& task)
    {
        std::lock_guard turn(m_turn);
        CRun run{&task, count};
        run.left = count;
        {
            std::lock_guard lock(m_lock);
            m_run = &run;
            ++m_generation;
        }
        m_wake.notify_all();
        const int ran = Take(run);
        std::unique_lock lock(m_lock);
        run.left -= ran;
        m_done.wait(lock, [&] { return run.left == 0 && run.users == 0; });
        m_run = nullptr;
    }

private:
    struct CRun {
        const std::function<void(int)>* task;
        int count;
        std::atomic<int> next{0};
        int left = 0;  // tasks not yet ended, under m_lock
        int users = 0; // workers holding the run, under m_lock
    };

    static int Take(CRun& run)
    {
        int ran = 0;
        for (int i; (i = run.next.fetch_add(1)) < run.count; ++ran)
            (*run.task)(i);
        return ran;
    }

    void Work()
    {
        unsigned seen = 0;
        for (;;) {
            CRun* run;
            {
                std::unique_lock lock(m_lock);
                m_wake.wait(lock, [&] { return m_generation != seen; });
                seen = m_generation;
                run = m_run;
                if (!run)
                    continue;
                ++run->users;
            }
            const int ran = Take(*run);
            std::lock_guard lock(m_lock);
            run->left -= ran;
            if (--run->users == 0 && run->left == 0)
                m_done.notify_all();
        }
    }

    const int m_workers;
    std::mutex m_turn;
    std::mutex m_lock;
    std::condition_variable m_wake, m_done;
    CRun* m_run = nullptr;
    unsigned m_generation = 0;
};

CTaskPool& Pool()
{
    // Kept to the end of the process: its threads never stop waiting.
    static CTaskPool* pool = new CTaskPool(std::clamp(int(std::thread::hardware_concurrency()) - 1, 0, 3));
    return *pool;
}

} // namespace

int TaskWorkerCount()
{
    return Pool().Workers();
}

void RunTasks(int count, const std::function<void(int)>& task)
{
    if (count <= 0)
        return;
    if (count == 1 || Pool().Workers() == 0) {
        for (int i = 0; i < count; ++i)
            task(i);
        return;
    }
    Pool().Run(count, task);
}
