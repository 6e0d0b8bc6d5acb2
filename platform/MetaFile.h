#pragma once

#include "platform/Rect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDC;

// The header of an enhanced metafile, as far as a reader needs it.
struct EnhMetaHeader {
    CRect bounds;            // device pixels of the reference, inclusive
    CRect frame;             // hundredths of a millimetre
    std::uint32_t bytes = 0; // of the whole file
    std::uint32_t records = 0;
    std::uint16_t handles = 0;
    CSize devicePixels;      // the reference device
    CSize deviceMillimetres;
    CSize deviceMicrometres; // 0 when the header is the short one
};

// The placeable header and the header of a Windows metafile.
struct PlaceableMetaHeader {
    CRect boundingBox; // logical units of the metafile
    int unitsPerInch = 0;
    std::uint16_t type = 0;
    std::uint32_t sizeWords = 0;
    std::uint16_t objects = 0;
};

// Reads and checks the header: the placeable key, the checksum over the
// first ten words, units per inch from 1 to 2540, a metafile type of 1 or
// 2 and bytes enough for the size the header gives.
bool ReadPlaceableMetaHeader(const std::uint8_t* data, std::size_t size, PlaceableMetaHeader& header);
// Reads and checks the first record: its type and signature, and no more
// bytes claimed than there are.
bool ReadEnhMetaHeader(const std::uint8_t* data, std::size_t size, EnhMetaHeader& header);

// Play records into dc, the picture stretched onto rect (logical units of
// dc). The context is left as it was found; the picture is clipped to
// rect. Records these players do not know are skipped; a record that
// claims more bytes than the file holds ends the playing. False when the
// bytes are not such a metafile or rect is empty.
bool PlayEnhMetaFileBits(CDC& dc, const std::uint8_t* data, std::size_t size, const CRect& rect);
bool PlayPlaceableMetaFileBits(CDC& dc, const std::uint8_t* data, std::size_t size, const CRect& rect);

// A metafile in memory, as a small shared value: an enhanced one, or a
// Windows metafile with its placeable header. The bytes are the file's,
// so the clipboard can take an enhanced one as "image/x-emf".
class CMetaFile {
public:
    enum class Kind { None, Enhanced, Placeable };

    CMetaFile() = default;
    // A placeable Windows metafile when its header passes the checks,
    // else an enhanced metafile; empty when the bytes are neither.
    static CMetaFile FromBytes(std::vector<std::uint8_t> bytes);
    // False, and empty, when the file cannot be read or is no metafile.
    bool Load(const std::string& storedPath);
    // Written beside the file and renamed over it: a failure leaves an old file whole.
    bool Save(const std::string& storedPath) const;

    Kind GetKind() const { return m_kind; }
    bool IsEmpty() const { return m_kind == Kind::None; }
    const std::vector<std::uint8_t>& GetBits() const;
    const EnhMetaHeader& GetEnhHeader() const { return m_enh; }
    const PlaceableMetaHeader& GetPlaceableHeader() const { return m_placeable; }

    bool Play(CDC& dc, const CRect& rect) const;

private:
    Kind m_kind = Kind::None;
    std::shared_ptr<const std::vector<std::uint8_t>> m_bytes;
    EnhMetaHeader m_enh;
    PlaceableMetaHeader m_placeable;
};
