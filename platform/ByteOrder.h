#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Fixed byte orders of file formats, whatever the machine's own: integers
// and IEEE doubles read from and written to byte buffers.

template <class T>
T GetLittleEndian(const unsigned char* p)
{
    // On a little-endian machine the bytes are the value: one load, which
    // the compiler does not always find in the loop below.
    if constexpr (std::endian::native == std::endian::little) {
        T value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    uint64_t bits = 0;
    for (size_t i = sizeof(T); i-- > 0;)
        bits = (bits << 8) | p[i];
    if constexpr (std::is_floating_point_v<T>) {
        T value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    } else {
        return static_cast<T>(bits);
    }
}

template <class T>
void PutLittleEndian(unsigned char* p, T value)
{
    uint64_t bits = 0;
    if constexpr (std::is_floating_point_v<T>)
        std::memcpy(&bits, &value, sizeof value);
    else
        bits = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i, bits >>= 8)
        p[i] = static_cast<unsigned char>(bits);
}

template <class T>
T GetBigEndian(const unsigned char* p)
{
    uint64_t bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        bits = (bits << 8) | p[i];
    if constexpr (std::is_floating_point_v<T>) {
        T value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    } else {
        return static_cast<T>(bits);
    }
}

template <class T>
void PutBigEndian(unsigned char* p, T value)
{
    uint64_t bits = 0;
    if constexpr (std::is_floating_point_v<T>)
        std::memcpy(&bits, &value, sizeof value);
    else
        bits = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = sizeof(T); i-- > 0; bits >>= 8)
        p[i] = static_cast<unsigned char>(bits);
}
