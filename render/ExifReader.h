#pragma once

#include "platform/ByteOrder.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

class CxStream;

// What a JPEG's EXIF block says of the picture's resolution.
struct CxExifInfo {
    float xResolution = 0;
    float yResolution = 0;
    // The resolution divided by it gives dots per inch; 0 when no unit was given.
    float resolutionUnit = 0;
    bool isExif = false;
};

// Reads the sections of a JPEG ahead of its image data for the EXIF
// block. A damaged block only means that there is no EXIF data: the
// reason is kept here and the picture is decoded all the same.
class CxExifReader {
public:
    explicit CxExifReader(CxExifInfo& info) : m_info(info) {}

    // Scans from the stream's position, which it leaves wherever the scan
    // stopped; true when EXIF data was found.
    bool DecodeExif(CxStream& stream);
    const std::string& GetLastError() const { return m_error; }

private:
    bool Fail(const char* text);
    bool ProcessExif(const std::uint8_t* data, std::size_t length);
    bool ProcessDirectory(std::uint32_t offset, int depth);
    // A value of the block in its byte order; 'at' lies inside it.
    template <class T>
    T Get(std::size_t at) const
    {
        return m_bigEndian ? GetBigEndian<T>(m_block + at) : GetLittleEndian<T>(m_block + at);
    }
    double Number(std::size_t at, int format) const;

    CxExifInfo& m_info;
    std::string m_error;
    // The TIFF-structured block after "Exif\0\0" while it is parsed.
    const std::uint8_t* m_block = nullptr;
    std::size_t m_length = 0;
    bool m_bigEndian = false;
    std::set<std::uint32_t> m_visited;
    bool m_haveX = false, m_haveY = false, m_haveUnit = false;
};
