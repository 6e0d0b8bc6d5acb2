#include "routing/RouteAllocation.h"

#include <atomic>
#include <cstdint>

namespace {

std::atomic<size_t> g_limit{SIZE_MAX};

} // namespace

void SetRouteAllocationLimit(size_t bytes)
{
    g_limit = bytes;
}

size_t GetRouteAllocationLimit()
{
    return g_limit;
}
