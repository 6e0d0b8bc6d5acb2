#include "shell/GpsReceiverPort.h"

namespace {
IGpsReceiverPort* g_port = nullptr;
}

IGpsReceiverPort* GetGpsReceiverPort()
{
    return g_port;
}

void SetGpsReceiverPort(IGpsReceiverPort* port)
{
    g_port = port;
}
