#pragma once

#include <chrono>

// The wall time of one run of work, for benchmarks that time pieces of an
// iteration apart.
template <class F>
double Milliseconds(F&& work)
{
    auto begin = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
}
