#pragma once

#include <cstddef>
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

// count value-initialised elements, or null.
template <class T>
std::unique_ptr<T[]> AllocateRouteArray(size_t count)
{
    if (count > GetRouteAllocationLimit() / sizeof(T))
        return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}
