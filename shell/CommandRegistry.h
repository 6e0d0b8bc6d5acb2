#pragma once

#include "platform/CommandTarget.h"

#include <functional>
#include <utility>
#include <vector>

// Handlers and update rules that the folders after the shell (settings,
// search, geoprocessing, routing, GPS) add for their command ids to every
// window of one kind, so that the shell names none of them. The program
// calls their registration functions at start-up, before the first
// window is made; each new window of the kind then installs them into its
// command table (InstallInto at the end of its constructor).
template <class Window>
class CCommandRegistry {
public:
    using Installer = std::function<void(Window& window, CCommandTable& table)>;

    static CCommandRegistry& Instance()
    {
        static CCommandRegistry registry;
        return registry;
    }

    void Add(Installer installer) { m_installers.push_back(std::move(installer)); }
    void InstallInto(Window& window, CCommandTable& table) const
    {
        for (const Installer& installer : m_installers)
            installer(window, table);
    }
    void Clear() { m_installers.clear(); }

private:
    std::vector<Installer> m_installers;
};
