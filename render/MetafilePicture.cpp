#include "render/MetafilePicture.h"

#include "platform/ByteOrder.h"
#include "platform/Gdi.h"
#include "platform/MetaFile.h"
#include "render/ImageStream.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <new>

namespace {

// The platform's player; a Windows metafile is held without its placeable
// header, so the header is put back in front of the records for it.
bool PlayWithPlatform(CDC& dc, const CMetafilePicture& metafile, const CRect& rect)
{
    const std::vector<std::uint8_t>& records = metafile.GetBytes();
    if (metafile.GetKind() == CMetafilePicture::kEnhanced)
        return PlayEnhMetaFileBits(dc, records.data(), records.size(), rect);
    std::vector<std::uint8_t> file(22, 0);
    const CRect box = metafile.GetBoundingBox();
    PutLittleEndian<std::uint32_t>(file.data() + 0, CMetafilePicture::kPlaceableKey);
    PutLittleEndian<std::int16_t>(file.data() + 6, static_cast<std::int16_t>(box.left));
    PutLittleEndian<std::int16_t>(file.data() + 8, static_cast<std::int16_t>(box.top));
    PutLittleEndian<std::int16_t>(file.data() + 10, static_cast<std::int16_t>(box.right));
    PutLittleEndian<std::int16_t>(file.data() + 12, static_cast<std::int16_t>(box.bottom));
    PutLittleEndian<std::uint16_t>(file.data() + 14, static_cast<std::uint16_t>(metafile.GetUnitsPerInch()));
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < 10; ++i)
        sum ^= GetLittleEndian<std::uint16_t>(file.data() + 2 * i);
    PutLittleEndian<std::uint16_t>(file.data() + 20, sum);
    file.insert(file.end(), records.begin(), records.end());
    return PlayPlaceableMetaFileBits(dc, file.data(), file.size(), rect);
}

std::atomic<MetafilePlayer> g_player{PlayWithPlatform};

constexpr std::size_t kPlaceableHeaderBytes = 22;
constexpr std::size_t kWindowsHeaderBytes = 18;
constexpr std::size_t kEnhancedHeaderBytes = 88;
constexpr std::uint32_t kEnhancedSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kEmrHeader = 1;

std::int16_t Int16At(const std::uint8_t* p)
{
    return static_cast<std::int16_t>(GetLittleEndian<std::uint16_t>(p));
}

std::int32_t Int32At(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(GetLittleEndian<std::uint32_t>(p));
}

int ClampToInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

CRect RectAt(const std::uint8_t* p)
{
    return CRect(Int32At(p), Int32At(p + 4), Int32At(p + 8), Int32At(p + 12));
}

// Reads count bytes from the stream's position into a fresh buffer; false
// when they are not all there or cannot be had.
bool ReadBytes(CxStream& stream, std::int64_t count, std::vector<std::uint8_t>& out)
{
    out.clear();
    if (count <= 0 || count > CMetafilePicture::kMaxBytes)
        return false;
    try {
        out.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (stream.Read(out.data(), 1, out.size()) != out.size()) {
        out.clear();
        return false;
    }
    return true;
}

} // namespace

CSize PlaceableMetafileExtents(int boxWidth, int boxHeight, int unitsPerInch, int dpiX, int dpiY)
{
    if (unitsPerInch <= 0)
        return CSize();
    CSize ext(ClampToInt(std::int64_t(boxWidth) * dpiX / unitsPerInch),
              ClampToInt(std::int64_t(boxHeight) * dpiY / unitsPerInch));
    // Extents without area never grow, so the loop ends on any box.
    if (ext.cx < 6554)
        while (ext.cx > 0 && ext.cy > 0 && ext.cy < 6554 && ext.cx < 6553) {
            ext.cx *= 10;
            ext.cy *= 10;
        }
    return ext;
}

void SetMetafilePlayer(MetafilePlayer player)
{
    g_player.store(player ? player : PlayWithPlatform);
}

void CMetafilePicture::Clear()
{
    *this = CMetafilePicture();
}

bool CMetafilePicture::Load(const std::string& path)
{
    Clear();
    CxStdioStream stream;
    return stream.Open(path, "rb") && Load(stream);
}

bool CMetafilePicture::Load(CxStream& stream)
{
    Clear();
    const std::int64_t start = stream.Tell();
    const std::int64_t size = stream.Size() - start;
    if (start < 0 || size <= 0)
        return false;
    if (LoadPlaceable(stream, start, size))
        return true;
    Clear();
    if (!stream.Seek(start, 0))
        return false;
    if (LoadEnhanced(stream, start, size))
        return true;
    Clear();
    return false;
}

bool CMetafilePicture::LoadPlaceable(CxStream& stream, std::int64_t start, std::int64_t size)
{
    std::uint8_t header[kPlaceableHeaderBytes];
    if (size < std::int64_t(kPlaceableHeaderBytes + kWindowsHeaderBytes) ||
        stream.Read(header, 1, sizeof header) != sizeof header)
        return false;
    if (GetLittleEndian<std::uint32_t>(header) != kPlaceableKey)
        return false;
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < 10; ++i)
        sum ^= GetLittleEndian<std::uint16_t>(header + 2 * i);
    if (sum != GetLittleEndian<std::uint16_t>(header + 20))
        return false;
    const int unitsPerInch = GetLittleEndian<std::uint16_t>(header + 14);
    if (unitsPerInch < 1 || unitsPerInch > 2540)
        return false;

    std::uint8_t records[kWindowsHeaderBytes];
    if (stream.Read(records, 1, sizeof records) != sizeof records)
        return false;
    const unsigned type = GetLittleEndian<std::uint16_t>(records);
    const std::int64_t bytes = std::int64_t(GetLittleEndian<std::uint32_t>(records + 6)) * 2;
    // The records hold their own header at least, and the file holds them.
    if ((type != 1 && type != 2) || bytes < std::int64_t(kWindowsHeaderBytes) ||
        bytes > size - std::int64_t(kPlaceableHeaderBytes))
        return false;
    if (!stream.Seek(start + std::int64_t(kPlaceableHeaderBytes), 0) || !ReadBytes(stream, bytes, m_bytes))
        return false;

    m_kind = kWindows;
    m_box = CRect(Int16At(header + 6), Int16At(header + 8), Int16At(header + 10), Int16At(header + 12));
    m_unitsPerInch = unitsPerInch;
    m_extents = PlaceableMetafileExtents(m_box.Width(), m_box.Height(), unitsPerInch, kScreenDpi, kScreenDpi);
    m_metafileSize = CSize(m_box.Width(), m_box.Height());
    m_size = CSize(MulDiv(m_box.Width(), 96, unitsPerInch), MulDiv(m_box.Height(), 96, unitsPerInch));
    return true;
}

bool CMetafilePicture::LoadEnhanced(CxStream& stream, std::int64_t start, std::int64_t size)
{
    if (size < std::int64_t(kEnhancedHeaderBytes) || size > kMaxBytes)
        return false;
    std::vector<std::uint8_t> bytes;
    if (!ReadBytes(stream, size, bytes))
        return false;
    const std::uint8_t* h = bytes.data();
    const std::uint32_t recordSize = GetLittleEndian<std::uint32_t>(h + 4);
    const std::uint32_t total = GetLittleEndian<std::uint32_t>(h + 48);
    if (GetLittleEndian<std::uint32_t>(h) != kEmrHeader || GetLittleEndian<std::uint32_t>(h + 40) != kEnhancedSignature ||
        recordSize < kEnhancedHeaderBytes || total < recordSize || total > bytes.size())
        return false;
    bytes.resize(total);

    m_kind = kEnhanced;
    m_bytes = std::move(bytes);
    m_bounds = RectAt(m_bytes.data() + 8);
    m_frame = RectAt(m_bytes.data() + 24);
    m_metafileSize = CSize(ClampToInt(std::int64_t(m_bounds.right) - m_bounds.left),
                           ClampToInt(std::int64_t(m_bounds.bottom) - m_bounds.top));
    m_size = m_metafileSize;
    return true;
}

bool CMetafilePicture::Draw(CDC& dc, const CRect& rect) const
{
    const MetafilePlayer player = g_player.load();
    return m_kind != kNone && player && player(dc, *this, rect);
}
