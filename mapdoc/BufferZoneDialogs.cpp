#include "mapdoc/BufferZoneDialogs.h"

#include "platform/Installed.h"

namespace {
CInstalled<IBufferZoneDialogs> g_installed;
} // namespace

IBufferZoneDialogs& BufferZoneDialogs()
{
    return g_installed.Get();
}

void SetBufferZoneDialogs(IBufferZoneDialogs* dialogs)
{
    g_installed.Set(dialogs);
}
