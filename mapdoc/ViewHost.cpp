#include "mapdoc/ViewHost.h"

#include "platform/Gdi.h"

namespace {
IViewHost g_defaultHost;
IViewHost* g_host = nullptr;
} // namespace

IViewHost& ViewHost()
{
    return g_host ? *g_host : g_defaultHost;
}

void SetViewHost(IViewHost* host)
{
    g_host = host;
}

void GetScreenLogPixels(int& x, int& y)
{
    x = y = 96;
    ViewHost().GetScreenLogPixels(x, y);
    // A resolution of nothing would make every scale infinite.
    if (x < 1 || x > 100000)
        x = 96;
    if (y < 1 || y > 100000)
        y = 96;
}

void GetScreenPixelsPerMeter(int& x, int& y)
{
    int dpiX, dpiY;
    GetScreenLogPixels(dpiX, dpiY);
    x = MulDiv(100000, dpiX, 2540);
    y = MulDiv(100000, dpiY, 2540);
}
