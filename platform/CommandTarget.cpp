#include "platform/CommandTarget.h"

#include <utility>

void CCommandTable::On(int id, std::function<void()> handler)
{
    m_entries.push_back({id, id, [handler = std::move(handler)](int) { handler(); }, nullptr});
}

void CCommandTable::OnRange(int first, int last, Handler handler)
{
    m_entries.push_back({first, last, std::move(handler), nullptr});
}

void CCommandTable::OnUpdate(int id, UpdateRule rule)
{
    m_entries.push_back({id, id, nullptr, std::move(rule)});
}

void CCommandTable::OnUpdateRange(int first, int last, UpdateRule rule)
{
    m_entries.push_back({first, last, nullptr, std::move(rule)});
}

const CCommandTable::Entry* CCommandTable::FindHandler(int id) const
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        if (it->handler && id >= it->first && id <= it->last)
            return &*it;
    return nullptr;
}

bool CCommandTable::OnCommand(int id)
{
    const Entry* entry = FindHandler(id);
    if (!entry)
        return false;
    // A copy: the handler may register or replace entries while it runs.
    const Handler handler = entry->handler;
    handler(id);
    return true;
}

bool CCommandTable::OnUpdateCommand(CCommandState& state)
{
    const int id = state.GetId();
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (it->rule && id >= it->first && id <= it->last) {
            const UpdateRule rule = it->rule;
            rule(state);
            return true;
        }
    }
    return false;
}

bool CCommandTable::HandlesCommand(int id) const
{
    return FindHandler(id) != nullptr;
}

namespace {

std::function<void()>& Listener()
{
    static std::function<void()> listener;
    return listener;
}

} // namespace

void NotifyCommandStatesChanged()
{
    if (Listener())
        Listener()();
}

void SetCommandStatesListener(std::function<void()> listener)
{
    Listener() = std::move(listener);
}
