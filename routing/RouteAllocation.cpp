#include "routing/RouteAllocation.h"

#include <atomic>
#include <cstdint>
#include <sys/mman.h>

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

void AdviseLargePages(void* block, size_t bytes)
{
    // Blocks this large come straight from the system, pages aligned but
    // for the allocator's header: the pages wholly inside are advised.
    constexpr size_t kPage = 4096, kLarge = size_t(4) << 20;
    if (!block || bytes < kLarge)
        return;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kPage - 1) & ~uintptr_t(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~uintptr_t(kPage - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

void PopulatePages(void* block, size_t bytes)
{
    constexpr size_t kPage = 4096;
    if (!block || bytes < 4 * kPage)
        return;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kPage - 1) & ~uintptr_t(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~uintptr_t(kPage - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
}
