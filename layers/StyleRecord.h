#pragma once

#include "layers/DrawStyle.h"
#include "layers/PointStyle.h"
#include "layers/TrackStyle.h"

#include <bit>
#include <cstdint>
#include <cstring>

class CArchive;

// The 32-byte style of a sublayer or a thematic class: a point, draw or
// track style by the layer type. Copied by value; read as whichever layout
// the layer type calls for.
class CStyleRecord {
public:
    static constexpr size_t kSize = 32;
    static_assert(std::endian::native == std::endian::little, "style records are stored as they lie in memory");

    CStyleRecord() = default; // all zero
    CStyleRecord(const CPointStyle& style) { Set(style); }
    CStyleRecord(const CDrawStyle& style) { Set(style); }
    CStyleRecord(const CTrackStyle& style) { Set(style); }

    CPointStyle Point() const { return As<CPointStyle>(); }
    CDrawStyle Draw() const { return As<CDrawStyle>(); }
    CTrackStyle Track() const { return As<CTrackStyle>(); }
    const unsigned char* Bytes() const { return m_bytes; }

    // The second 16-bit word is the symbol kind of a point style; of line,
    // area and track styles it is 0 or at least 0x1000, so 1 and 2 mark a
    // point style that names a font or a picture.
    bool NamesSymbol() const;

    // The style of a new layer of the type (0 point, 1 line, 2 area, 10
    // track; others all zero), with colours and symbols from the style source.
    static CStyleRecord DefaultFor(int layerType);
    // What the style dialogs reset to for the type.
    static CStyleRecord ResetFor(int layerType);

    // The 32 bytes, then the symbol's name when NamesSymbol(); the name
    // reference inside the record is written as 0 and set from the name on reading.
    void Write(CArchive& archive) const;
    void Read(CArchive& archive);

    friend bool operator==(const CStyleRecord& a, const CStyleRecord& b)
    {
        return std::memcmp(a.m_bytes, b.m_bytes, kSize) == 0;
    }

private:
    template <class T>
    T As() const
    {
        static_assert(sizeof(T) == kSize && std::is_trivially_copyable_v<T>);
        T style;
        std::memcpy(&style, m_bytes, kSize);
        return style;
    }
    template <class T>
    void Set(const T& style)
    {
        static_assert(sizeof(T) == kSize && std::is_trivially_copyable_v<T>);
        std::memcpy(m_bytes, &style, kSize);
    }

    unsigned char m_bytes[kSize] = {};
};
