#pragma once

#include "platform/DrawInterrupt.h"

#include <deque>
#include <vector>

// Input waiting for the drawing's check, handed over at its next poll.
// Installed for its lifetime.
class CScriptedInputQueue : public IDrawInputQueue {
public:
    CScriptedInputQueue() { m_previous = SetDrawInputQueue(this); }
    ~CScriptedInputQueue() override { SetDrawInputQueue(m_previous); }
    CScriptedInputQueue(const CScriptedInputQueue&) = delete;
    CScriptedInputQueue& operator=(const CScriptedInputQueue&) = delete;

    void Poll(const std::function<WaitingInputAction(const CWaitingInput&)>& judge) override
    {
        ++polls;
        while (!waiting.empty()) {
            const CWaitingInput input = waiting.front();
            waiting.pop_front();
            (judge(input) == WaitingInputAction::kKeep ? kept : removed).push_back(input.key);
        }
    }

    std::deque<CWaitingInput> waiting;
    // Keys of what the check kept or took (0 for a mouse button).
    std::vector<int> kept, removed;
    int polls = 0;

private:
    IDrawInputQueue* m_previous;
};
