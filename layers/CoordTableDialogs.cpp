#include "layers/CoordTableDialogs.h"

#include <atomic>

namespace {

ICoordTableDialogs g_cancelling;
std::atomic<ICoordTableDialogs*> g_dialogs{nullptr};

} // namespace

ICoordTableDialogs& CoordTableDialogs()
{
    ICoordTableDialogs* dialogs = g_dialogs.load();
    return dialogs ? *dialogs : g_cancelling;
}

void SetCoordTableDialogs(ICoordTableDialogs* dialogs)
{
    g_dialogs.store(dialogs);
}
