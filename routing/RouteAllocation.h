#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

// The large arrays of the routing computations (one entry per node or per
// stop, per matrix row) are taken through here, so that a request the
// process cannot satisfy comes back null and the computation can say
// "Trūksta atminties." instead of ending the program.

// The largest single block allowed, in bytes; SIZE_MAX (the default) leaves
// the limit to the system. Tests lower it to make an allocation fail.
void SetRouteAllocationLimit(size_t bytes);
size_t GetRouteAllocationLimit();

// Asks the system to back a large block with large pages, so that touching
// it the first time costs far fewer page faults; small blocks are left as
// they are.
void AdviseLargePages(void* block, size_t bytes);

// Memory for a structure built at once, on large pages when it is large:
// a first touch of each small page costs more than clearing a large one.
// Pages never touched cost nothing, so a region may be asked for as large
// as the structure could grow.
class CRouteRegion {
public:
    CRouteRegion() = default;
    // Throws std::bad_alloc when there is no room.
    explicit CRouteRegion(size_t bytes);

    char* Get() const { return m_start.get(); }
    // Has the pages of a part that is to be written whole made ready in one
    // call rather than at each first touch.
    static void Prepare(void* part, size_t bytes);

private:
    struct CFree {
        void operator()(char* block) const { std::free(block); }
    };
    std::unique_ptr<char, CFree> m_start;
};

// count value-initialised elements, or null; large ones on large pages.
template <class T>
std::unique_ptr<T[]> AllocateRouteArray(size_t count)
{
    if (count > GetRouteAllocationLimit() / sizeof(T))
        return nullptr;
    std::unique_ptr<T[]> block(new (std::nothrow) T[count]);
    if (block) {
        AdviseLargePages(block.get(), count * sizeof(T));
        std::fill(block.get(), block.get() + count, T());
    }
    return block;
}

// count elements left uninitialised, for arrays whose every element is
// written before it is read; large ones on large pages. Throws
// std::bad_alloc on failure.
template <class T>
std::unique_ptr<T[]> AllocateRouteBlock(size_t count)
{
    std::unique_ptr<T[]> block(new T[count]);
    AdviseLargePages(block.get(), count * sizeof(T));
    return block;
}
