#include "layers/ClassEditDialogs.h"

#include <atomic>

namespace {

IClassEditDialogs g_cancelling;
std::atomic<IClassEditDialogs*> g_dialogs{nullptr};

} // namespace

IClassEditDialogs& ClassEditDialogs()
{
    IClassEditDialogs* dialogs = g_dialogs.load();
    return dialogs ? *dialogs : g_cancelling;
}

void SetClassEditDialogs(IClassEditDialogs* dialogs)
{
    g_dialogs.store(dialogs);
}
