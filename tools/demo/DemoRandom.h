#pragma once

#include <cstdint>
#include <initializer_list>

// Random numbers of the demo town. A stream is keyed by the seed and by the
// place it decides (a crossing, a street, a block), never by what was drawn
// before it, so a town grown to more streets keeps what the smaller one had
// and the numbers themselves come from integer arithmetic alone, never from
// a library's distributions, which differ between implementations.
class CDemoRandom {
public:
    explicit CDemoRandom(uint64_t state) : m_state(state) {}

    // The stream of one place: the seed and up to a few integers naming it.
    static CDemoRandom At(uint64_t seed, std::initializer_list<int64_t> place);

    uint64_t Next();
    // [0, 1), 53 bits.
    double Uniform();
    double Uniform(double low, double high) { return low + (high - low) * Uniform(); }
    // low .. high, both included.
    int Int(int low, int high);
    bool Chance(double probability) { return Uniform() < probability; }

private:
    uint64_t m_state;
};
