#include "routing/RouteAllocation.h"

#include <atomic>
#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <utility>

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
    // Room to start on a large page's bound.
    if (bytes > SIZE_MAX - 2 * kLargePage)
        throw std::bad_alloc();
    const size_t mapped = (bytes + kLargePage - 1) / kLargePage * kLargePage + kLargePage;
    void* mapping = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        throw std::bad_alloc();
    m_mapping = mapping;
    m_mapped = mapped;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(mapping) + kLargePage - 1) & ~uintptr_t(kLargePage - 1);
    m_start = reinterpret_cast<char*>(start);
    ::madvise(m_start, mapped - (start - reinterpret_cast<uintptr_t>(mapping)), MADV_HUGEPAGE);
}

CRouteRegion::CRouteRegion(CRouteRegion&& other) noexcept
    : m_mapping(std::exchange(other.m_mapping, nullptr)), m_mapped(std::exchange(other.m_mapped, 0)),
      m_start(std::exchange(other.m_start, nullptr))
{
}

CRouteRegion& CRouteRegion::operator=(CRouteRegion&& other) noexcept
{
    if (this != &other) {
        Release();
        m_mapping = std::exchange(other.m_mapping, nullptr);
        m_mapped = std::exchange(other.m_mapped, 0);
        m_start = std::exchange(other.m_start, nullptr);
    }
    return *this;
}

CRouteRegion::~CRouteRegion()
{
    Release();
}

void CRouteRegion::Release()
{
    if (m_mapping)
        ::munmap(m_mapping, m_mapped);
    m_mapping = nullptr;
    m_mapped = 0;
    m_start = nullptr;
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
