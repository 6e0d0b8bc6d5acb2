#pragma once

#include "platform/MessageWindow.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

// A main frame stand-in that records what is posted to it, from any thread.
class CRecordingWindow : public IMessageWindow {
public:
    struct Posted {
        unsigned message;
        uintptr_t wParam;
        intptr_t lParam;
    };

    void PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_posted.push_back({message, wParam, lParam});
        }
        m_changed.notify_all();
    }

    std::vector<Posted> Messages() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_posted;
    }

    size_t Count(unsigned message) const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return CountLocked(message);
    }

    // Waits until at least n messages of the kind have come.
    bool WaitForCount(unsigned message, size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(20))
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, timeout, [&] { return CountLocked(message) >= n; });
    }

private:
    size_t CountLocked(unsigned message) const
    {
        size_t n = 0;
        for (const Posted& p : m_posted)
            n += p.message == message;
        return n;
    }

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Posted> m_posted;
};
