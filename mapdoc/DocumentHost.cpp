#include "mapdoc/DocumentHost.h"

namespace {
IDocumentHost g_defaultHost;
IDocumentHost* g_host = nullptr;
} // namespace

IDocumentHost& DocumentHost()
{
    return g_host ? *g_host : g_defaultHost;
}

void SetDocumentHost(IDocumentHost* host)
{
    g_host = host;
}
