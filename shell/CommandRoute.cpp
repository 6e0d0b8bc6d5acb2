#include "shell/CommandRoute.h"

#include "mapdoc/ExtensionHooks.h"

void CCommandRoute::Add(ICommandTarget* target)
{
    if (target)
        m_targets.push_back(target);
}

void CCommandRoute::Update(CCommandState& state) const
{
    const int id = state.GetId();
    if (!ExtensionIsCommandAllowed(id)) {
        state.Enable(false);
        return;
    }
    for (ICommandTarget* target : m_targets)
        if (target->OnUpdateCommand(state))
            break;
    if (state.IsEnableSet())
        return;
    bool handled = false;
    for (const ICommandTarget* target : m_targets)
        handled = handled || target->HandlesCommand(id);
    state.Enable(handled);
}

bool CCommandRoute::IsEnabled(int id) const
{
    CCommandState state(id);
    Update(state);
    return state.IsEnabled();
}

bool CCommandRoute::Execute(int id) const
{
    if (!IsEnabled(id))
        return false;
    for (ICommandTarget* target : m_targets)
        if (target->OnCommand(id))
            return true;
    return false;
}
