#include "mapdoc/ObjectSearch.h"

#include "platform/Installed.h"

namespace {
CInstalled<IObjectSearch> g_installed;
} // namespace

IObjectSearch& ObjectSearch()
{
    return g_installed.Get();
}

void SetObjectSearch(IObjectSearch* search)
{
    g_installed.Set(search);
}
