#pragma once

#include "platform/CommandTarget.h"

#include <vector>

// The targets a command passes, in order: for a main window the active
// map window's focused view, its document, the map window, the main
// window and the application. The extension module may refuse an id
// before any target sees it; a refused id, and one that no target takes,
// is disabled.
class CCommandRoute {
public:
    // Null targets are left out.
    void Add(ICommandTarget* target);
    const std::vector<ICommandTarget*>& Targets() const { return m_targets; }

    // The state of the id's items: the first target with an update rule
    // sets it; when no rule spoke of the enabling, the item is enabled
    // exactly when some target takes the command.
    void Update(CCommandState& state) const;
    bool IsEnabled(int id) const;

    // Runs the command where the route takes it, only while its items
    // would be enabled (a stale tool button or a shortcut cannot run a
    // command that has just become disabled). True when a target ran it.
    bool Execute(int id) const;

private:
    std::vector<ICommandTarget*> m_targets;
};
