#include "tools/demo/DemoRandom.h"

namespace {

// The splitmix64 finaliser: every input bit reaches every output bit.
uint64_t Mix(uint64_t x)
{
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x;
}

} // namespace

CDemoRandom CDemoRandom::At(uint64_t seed, std::initializer_list<int64_t> place)
{
    uint64_t state = Mix(seed ^ 0x6A09E667F3BCC909ull);
    for (int64_t value : place)
        state = Mix(state ^ (static_cast<uint64_t>(value) + 0x9E3779B97F4A7C15ull));
    return CDemoRandom(state);
}

uint64_t CDemoRandom::Next()
{
    m_state += 0x9E3779B97F4A7C15ull;
    return Mix(m_state);
}

double CDemoRandom::Uniform()
{
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

int CDemoRandom::Int(int low, int high)
{
    if (high <= low)
        return low;
    const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1;
    return static_cast<int>(low + static_cast<int64_t>(Next() % span));
}
