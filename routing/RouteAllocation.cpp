#include "routing/RouteAllocation.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace {

std::atomic<size_t> g_limit{SIZE_MAX};

constexpr size_t kPage = 4096, kLargePage = size_t(2) << 20;

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
    constexpr size_t kLarge = size_t(4) << 20;
    if (!block || bytes < kLarge)
        return;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kPage - 1) & ~uintptr_t(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~uintptr_t(kPage - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

CRouteRegion::CRouteRegion(size_t bytes)
{
    if (bytes == 0)
        return;
    // Through the allocator, whose choice between its heap and the system
    // follows the sizes freed before; a small region is not worth a large
    // page.
    constexpr size_t kSmall = size_t(64) << 10, kLine = 64;
    const size_t alignment = bytes < kSmall ? kLine : kLargePage;
    if (bytes > SIZE_MAX - alignment)
        throw std::bad_alloc();
    const size_t rounded = (bytes + alignment - 1) / alignment * alignment;
    void* block = nullptr;
    if (::posix_memalign(&block, alignment, rounded) != 0)
        throw std::bad_alloc();
    m_start.reset(static_cast<char*>(block));
    if (alignment == kLargePage)
        ::madvise(block, rounded, MADV_HUGEPAGE);
}

void CRouteRegion::Prepare(void* part, size_t bytes)
{
    // Where the system gives no large pages, each first touch of a small one
    // is a fault of its own, costly in a virtual machine.
    const uintptr_t start = (reinterpret_cast<uintptr_t>(part) + kPage - 1) & ~uintptr_t(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(part) + bytes) & ~uintptr_t(kPage - 1);
    if (part && end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
}
