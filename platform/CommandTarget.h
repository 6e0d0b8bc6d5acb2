#pragma once

#include "platform/CommandState.h"

#include <functional>
#include <vector>

// Something a command of a menu, an accelerator or a tool button can reach:
// the map view, the document, the legend, a frame, the application. The
// shell passes a command along its route of targets until one takes it;
// an update pass asks the same route for the state of the command's items.
class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;
    // Runs the command when this target takes the id; false passes it on.
    virtual bool OnCommand(int id) = 0;
    // Fills the state when this target has an update rule for the id;
    // false passes the question on.
    virtual bool OnUpdateCommand(CCommandState& state) = 0;
    // Whether OnCommand would take the id. An item whose update rules leave
    // its enabling alone is enabled only when some target on the route takes it.
    virtual bool HandlesCommand(int id) const = 0;
};

// A target made of registered handlers and update rules, for single ids
// and id ranges. Entries registered later are found first, so a handler
// added at start-up replaces the target's own for the same id.
class CCommandTable : public ICommandTarget {
public:
    using Handler = std::function<void(int id)>;
    using UpdateRule = std::function<void(CCommandState& state)>;

    void On(int id, std::function<void()> handler);
    void OnRange(int first, int last, Handler handler);
    void OnUpdate(int id, UpdateRule rule);
    void OnUpdateRange(int first, int last, UpdateRule rule);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(CCommandState& state) override;
    bool HandlesCommand(int id) const override;

private:
    struct Entry {
        int first;
        int last;
        Handler handler;
        UpdateRule rule;
    };
    const Entry* FindHandler(int id) const;

    std::vector<Entry> m_entries;
};

// Something changed that the command states depend on (the current map
// tool, for one): the shell runs an update pass soon. Code below the shell
// calls this without knowing who listens; the shell installs the listener.
void NotifyCommandStatesChanged();
// Null removes it.
void SetCommandStatesListener(std::function<void()> listener);
