#pragma once

#include "platform/ByteOrder.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Little-endian bytes of metafile records, appended and patched in place.
class CRecordBytes {
public:
    void U8(std::uint8_t v) { m_data.push_back(v); }
    void U16(std::uint16_t v) { Put(v); }
    void I16(std::int16_t v) { Put(v); }
    void U32(std::uint32_t v) { Put(v); }
    void I32(std::int32_t v) { Put(v); }
    void F32(float v) { Put(v); }
    void Bytes(const void* data, std::size_t size)
    {
        const auto* p = static_cast<const std::uint8_t*>(data);
        m_data.insert(m_data.end(), p, p + size);
    }
    void Zeros(std::size_t count) { m_data.resize(m_data.size() + count, 0); }
    // Pads with zeros to a multiple of n bytes.
    void Align(std::size_t n) { Zeros((n - m_data.size() % n) % n); }
    void PatchU16(std::size_t at, std::uint16_t v) { PutLittleEndian(m_data.data() + at, v); }
    void PatchU32(std::size_t at, std::uint32_t v) { PutLittleEndian(m_data.data() + at, v); }

    std::size_t Size() const { return m_data.size(); }
    const std::vector<std::uint8_t>& Data() const { return m_data; }
    std::vector<std::uint8_t> Take() { return std::move(m_data); }

private:
    template <class T>
    void Put(T v)
    {
        const std::size_t at = m_data.size();
        m_data.resize(at + sizeof(T));
        PutLittleEndian(m_data.data() + at, v);
    }

    std::vector<std::uint8_t> m_data;
};

// Reads little-endian values inside a block of known size; anything asked
// beyond its end reads as 0 and marks the reader as overrun.
class CRecordReader {
public:
    CRecordReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t Size() const { return m_size; }
    const std::uint8_t* Data() const { return m_data; }
    bool Has(std::size_t offset, std::size_t count) const { return offset <= m_size && count <= m_size - offset; }
    bool Overrun() const { return m_overrun; }

    std::uint8_t U8(std::size_t at) const { return Get<std::uint8_t>(at); }
    std::uint16_t U16(std::size_t at) const { return Get<std::uint16_t>(at); }
    std::int16_t I16(std::size_t at) const { return Get<std::int16_t>(at); }
    std::uint32_t U32(std::size_t at) const { return Get<std::uint32_t>(at); }
    std::int32_t I32(std::size_t at) const { return Get<std::int32_t>(at); }
    float F32(std::size_t at) const { return Get<float>(at); }

private:
    template <class T>
    T Get(std::size_t at) const
    {
        if (!Has(at, sizeof(T))) {
            m_overrun = true;
            return T{};
        }
        return GetLittleEndian<T>(m_data + at);
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    mutable bool m_overrun = false;
};
