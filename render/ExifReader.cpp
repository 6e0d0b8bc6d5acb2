#include "render/ExifReader.h"

#include "render/ImageStream.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxSections = 20;
// IFD0, its EXIF and interoperability directories and the thumbnail's
// need three levels; links beyond these are a damaged or hostile block.
constexpr int kMaxDepth = 8;
constexpr std::size_t kMaxDirectories = 32;

constexpr int kTagXResolution = 282;
constexpr int kTagYResolution = 283;
constexpr int kTagResolutionUnit = 296;
constexpr int kTagExifOffset = 34665;
constexpr int kTagInteropOffset = 40965;

// Element sizes of the formats 1 to 12.
constexpr int kFormatBytes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

} // namespace

bool CxExifReader::Fail(const char* text)
{
    m_error = text;
    return false;
}

double CxExifReader::Number(std::size_t at, int format) const
{
    switch (format) {
    case 3: return Get<std::uint16_t>(at);
    case 4: return Get<std::uint32_t>(at);
    case 5:
    case 10: {
        const double num = format == 5 ? double(Get<std::uint32_t>(at)) : double(Get<std::int32_t>(at));
        const double den = format == 5 ? double(Get<std::uint32_t>(at + 4)) : double(Get<std::int32_t>(at + 4));
        return den == 0 ? 0 : num / den;
    }
    case 6: return static_cast<std::int8_t>(m_block[at]);
    case 8: return Get<std::int16_t>(at);
    case 9: return Get<std::int32_t>(at);
    case 11: return Get<float>(at);
    case 12: return Get<double>(at);
    default: return m_block[at];
    }
}

bool CxExifReader::ProcessDirectory(std::uint32_t offset, int depth)
{
    // A link back to a directory already read would never end.
    if (depth > kMaxDepth || m_visited.size() >= kMaxDirectories || !m_visited.insert(offset).second)
        return Fail("Illegal subdirectory link");
    if (std::uint64_t(offset) + 2 > m_length)
        return Fail("Illegally sized directory");
    const std::uint32_t entries = Get<std::uint16_t>(offset);
    const std::uint64_t end = std::uint64_t(offset) + 2 + 12 * std::uint64_t(entries);
    if (end > m_length)
        return Fail("Illegally sized directory");

    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = offset + 2 + 12 * std::size_t(i);
        const int tag = Get<std::uint16_t>(entry);
        const int format = Get<std::uint16_t>(entry + 2);
        const std::uint32_t count = Get<std::uint32_t>(entry + 4);
        if (format < 1 || format > 12)
            return Fail("Illegal format code in EXIF dir");
        const std::uint64_t bytes = std::uint64_t(count) * kFormatBytes[format];
        std::size_t value = entry + 8;
        if (bytes > 4) {
            const std::uint32_t at = Get<std::uint32_t>(entry + 8);
            if (std::uint64_t(at) + bytes > m_length)
                return Fail("Illegal pointer offset value in EXIF.");
            value = at;
        }
        // The first directory holding a tag speaks for the picture; the
        // thumbnail's directory comes later.
        const bool one = count >= 1;
        if (tag == kTagXResolution && one && !m_haveX) {
            m_info.xResolution = static_cast<float>(Number(value, format));
            m_haveX = true;
        } else if (tag == kTagYResolution && one && !m_haveY) {
            m_info.yResolution = static_cast<float>(Number(value, format));
            m_haveY = true;
        } else if (tag == kTagResolutionUnit && one && !m_haveUnit) {
            const double unit = Number(value, format);
            m_haveUnit = true;
            if (unit == 1 || unit == 2)
                m_info.resolutionUnit = 1.0f;
            else if (unit == 3)
                m_info.resolutionUnit = 0.3937007874f;
            else if (unit == 4)
                m_info.resolutionUnit = 0.03937007874f;
            else if (unit == 5)
                m_info.resolutionUnit = 0.00003937007874f;
        } else if (tag == kTagExifOffset || tag == kTagInteropOffset) {
            const std::uint32_t sub = Get<std::uint32_t>(value);
            if (sub > 8) {
                if (sub >= m_length)
                    return Fail("Illegal subdirectory link");
                if (!ProcessDirectory(sub, depth + 1))
                    return false;
            }
        }
    }

    // The link to the next directory, when the block holds one.
    if (end + 4 <= m_length) {
        const std::uint32_t next = Get<std::uint32_t>(static_cast<std::size_t>(end));
        if (next != 0) {
            if (next >= m_length)
                return Fail("Illegal subdirectory link");
            return ProcessDirectory(next, depth + 1);
        }
    }
    return true;
}

bool CxExifReader::ProcessExif(const std::uint8_t* data, std::size_t length)
{
    if (length < 14 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return Fail("Incorrect Exif header");
    m_block = data + 6;
    m_length = length - 6;
    if (std::memcmp(m_block, "II", 2) == 0)
        m_bigEndian = false;
    else if (std::memcmp(m_block, "MM", 2) == 0)
        m_bigEndian = true;
    else
        return Fail("Invalid Exif alignment marker.");
    if (Get<std::uint16_t>(2) != 0x2A)
        return Fail("Invalid Exif start (1)");
    const std::uint32_t first = Get<std::uint32_t>(4);
    if (first < 8 || first > 16)
        return Fail("Suspicious offset of first IFD value");
    m_visited.clear();
    m_haveX = m_haveY = m_haveUnit = false;
    m_info = CxExifInfo();
    return ProcessDirectory(first, 0);
}

bool CxExifReader::DecodeExif(CxStream& stream)
{
    m_info = CxExifInfo();
    m_error.clear();
    if (stream.GetC() != 0xFF || stream.GetC() != 0xD8)
        return false;
    std::vector<std::uint8_t> data;
    for (int section = 0;; ++section) {
        if (section >= kMaxSections) {
            Fail("Too many sections in jpg file");
            return m_info.isExif;
        }
        int marker = stream.GetC();
        if (marker != 0xFF) {
            Fail(marker < 0 ? "Premature end of file?" : "invalid marker");
            return m_info.isExif;
        }
        for (int fill = 0; (marker = stream.GetC()) == 0xFF;) {
            if (++fill > 5) {
                Fail("invalid marker");
                return m_info.isExif;
            }
        }
        const int high = marker >= 0 ? stream.GetC() : -1;
        const int low = high >= 0 ? stream.GetC() : -1;
        if (low < 0) {
            Fail("Premature end of file?");
            return m_info.isExif;
        }
        const std::size_t length = std::size_t(high) << 8 | std::size_t(low);
        if (length < 2) {
            Fail("invalid marker");
            return m_info.isExif;
        }
        data.resize(length - 2);
        if (!data.empty() && stream.Read(data.data(), 1, data.size()) != data.size()) {
            Fail("Premature end of file?");
            return m_info.isExif;
        }
        switch (marker) {
        case 0xDA: // the image data follows
            return m_info.isExif;
        case 0xD9: // tables only
            m_info = CxExifInfo();
            return false;
        case 0xE1:
            if (data.size() >= 4 && std::memcmp(data.data(), "Exif", 4) == 0) {
                const bool read = ProcessExif(data.data(), data.size());
                if (!read)
                    m_info = CxExifInfo();
                m_info.isExif = read;
            }
            break;
        default: break;
        }
    }
}
