#include "platform/MetaFile.h"

#include "platform/MetafileBytes.h"
#include "platform/MetafileRecords.h"
#include "platform/Stream.h"

namespace {

constexpr std::size_t kPlaceableSize = 22;
// Whole files are read into memory; nothing a map exports comes near this.
constexpr std::int64_t kMaxFileBytes = std::int64_t(1) << 30;

} // namespace

bool ReadPlaceableMetaHeader(const std::uint8_t* data, std::size_t size, PlaceableMetaHeader& header)
{
    const CRecordReader in(data, size);
    if (!data || size < kPlaceableSize + 18 || in.U32(0) != kPlaceableKey)
        return false;
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 10; ++i)
        checksum ^= in.U16(2 * i);
    const int unitsPerInch = in.U16(14);
    if (checksum != in.U16(20) || unitsPerInch < 1 || unitsPerInch > 2540)
        return false;
    const std::uint16_t type = in.U16(22);
    const std::uint16_t headerWords = in.U16(24);
    const std::uint32_t words = in.U32(28);
    if ((type != 1 && type != 2) || headerWords < 9 || words < headerWords ||
        std::uint64_t(words) * 2 > size - kPlaceableSize)
        return false;
    header.boundingBox = CRect(in.I16(6), in.I16(8), in.I16(10), in.I16(12));
    header.unitsPerInch = unitsPerInch;
    header.type = type;
    header.sizeWords = words;
    header.objects = in.U16(32);
    return true;
}

bool ReadEnhMetaHeader(const std::uint8_t* data, std::size_t size, EnhMetaHeader& header)
{
    const CRecordReader in(data, size);
    if (!data || size < 88 || in.U32(0) != 1 || in.U32(40) != kEmfSignature)
        return false;
    const std::uint32_t headerSize = in.U32(4);
    const std::uint32_t bytes = in.U32(48);
    if (headerSize < 88 || headerSize % 4 != 0 || headerSize > size || bytes < headerSize || bytes > size)
        return false;
    auto rect = [&](std::size_t at) { return CRect(in.I32(at), in.I32(at + 4), in.I32(at + 8), in.I32(at + 12)); };
    header.bounds = rect(8);
    header.frame = rect(24);
    header.bytes = bytes;
    header.records = in.U32(52);
    header.handles = in.U16(56);
    header.devicePixels = CSize(in.I32(72), in.I32(76));
    header.deviceMillimetres = CSize(in.I32(80), in.I32(84));
    header.deviceMicrometres = headerSize >= 108 ? CSize(in.I32(100), in.I32(104)) : CSize();
    return true;
}

CMetaFile CMetaFile::FromBytes(std::vector<std::uint8_t> bytes)
{
    CMetaFile file;
    if (ReadPlaceableMetaHeader(bytes.data(), bytes.size(), file.m_placeable))
        file.m_kind = Kind::Placeable;
    else if (ReadEnhMetaHeader(bytes.data(), bytes.size(), file.m_enh))
        file.m_kind = Kind::Enhanced;
    else
        return CMetaFile();
    file.m_bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    return file;
}

bool CMetaFile::Load(const std::string& storedPath)
{
    *this = CMetaFile();
    auto stream = CFileStream::Open(storedPath, FileMode::Read);
    if (!stream)
        return false;
    const std::int64_t size = stream->Size();
    if (size <= 0 || size > kMaxFileBytes)
        return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!stream->ReadExact(bytes.data(), bytes.size()))
        return false;
    *this = FromBytes(std::move(bytes));
    return !IsEmpty();
}

bool CMetaFile::Save(const std::string& storedPath) const
{
    if (IsEmpty())
        return false;
    return WriteFileAtomically(storedPath,
                               [&](CStream& stream) { return stream.WriteExact(m_bytes->data(), m_bytes->size()); });
}

const std::vector<std::uint8_t>& CMetaFile::GetBits() const
{
    static const std::vector<std::uint8_t> kNone;
    return m_bytes ? *m_bytes : kNone;
}

bool CMetaFile::Play(CDC& dc, const CRect& rect) const
{
    switch (m_kind) {
    case Kind::Enhanced: return PlayEnhMetaFileBits(dc, m_bytes->data(), m_bytes->size(), rect);
    case Kind::Placeable: return PlayPlaceableMetaFileBits(dc, m_bytes->data(), m_bytes->size(), rect);
    default: return false;
    }
}
