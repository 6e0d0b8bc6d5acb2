#pragma once

#include "platform/ByteOrder.h"

#include <cstdio>

#include <jpeglib.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

// JPEG files written by libjpeg itself at test time, and EXIF blocks to
// put in them.

struct JpegFixture {
    int width = 16;
    int height = 16;
    // JCS_GRAYSCALE, JCS_RGB or JCS_CMYK (stored as given, no inversion).
    J_COLOR_SPACE colourSpace = JCS_RGB;
    bool adobeMarker = false;
    bool jfif = true;
    int densityUnit = 0;
    int xDensity = 1, yDensity = 1;
    int quality = 95;
    bool progressive = false;
    // APP1 sections (EXIF payloads) and plain APP2 sections after the headers.
    std::vector<std::string> app1;
    int app2Sections = 0;
    // The samples of pixel (x, y), y = 0 the top row.
    std::function<std::vector<int>(int x, int y)> pixel;
};

namespace jpeg_fixture_detail {

struct Errors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

inline void Fail(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<Errors*>(cinfo->err)->jump, 1);
}

inline void Quiet(j_common_ptr) {}

struct Writer {
    jpeg_compress_struct cinfo{};
    Errors errors{};
    unsigned char* out = nullptr;
    unsigned long size = 0;
    std::vector<JSAMPLE> row;
    ~Writer()
    {
        jpeg_destroy_compress(&cinfo);
        std::free(out);
    }
};

inline bool Write(Writer& w, const JpegFixture& f)
{
    w.cinfo.err = jpeg_std_error(&w.errors.pub);
    w.errors.pub.error_exit = Fail;
    w.errors.pub.output_message = Quiet;
    if (setjmp(w.errors.jump))
        return false;
    jpeg_create_compress(&w.cinfo);
    jpeg_mem_dest(&w.cinfo, &w.out, &w.size);
    const int components = f.colourSpace == JCS_GRAYSCALE ? 1 : f.colourSpace == JCS_CMYK ? 4 : 3;
    w.cinfo.image_width = JDIMENSION(f.width);
    w.cinfo.image_height = JDIMENSION(f.height);
    w.cinfo.input_components = components;
    w.cinfo.in_color_space = f.colourSpace;
    jpeg_set_defaults(&w.cinfo);
    jpeg_set_colorspace(&w.cinfo, f.colourSpace == JCS_RGB ? JCS_YCbCr : f.colourSpace);
    jpeg_set_quality(&w.cinfo, f.quality, TRUE);
    w.cinfo.write_JFIF_header = f.jfif;
    w.cinfo.write_Adobe_marker = f.adobeMarker;
    w.cinfo.density_unit = UINT8(f.densityUnit);
    w.cinfo.X_density = UINT16(f.xDensity);
    w.cinfo.Y_density = UINT16(f.yDensity);
    if (f.progressive)
        jpeg_simple_progression(&w.cinfo);
    jpeg_start_compress(&w.cinfo, TRUE);
    for (const std::string& payload : f.app1)
        jpeg_write_marker(&w.cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(payload.data()),
                          static_cast<unsigned>(payload.size()));
    for (int i = 0; i < f.app2Sections; ++i)
        jpeg_write_marker(&w.cinfo, JPEG_APP0 + 2, reinterpret_cast<const JOCTET*>("section"), 7);
    w.row.resize(std::size_t(f.width) * components);
    for (int y = 0; y < f.height; ++y) {
        for (int x = 0; x < f.width; ++x) {
            const std::vector<int> samples = f.pixel(x, y);
            for (int c = 0; c < components; ++c)
                w.row[std::size_t(x) * components + c] = JSAMPLE(samples.at(std::size_t(c)));
        }
        JSAMPROW rows[1] = {w.row.data()};
        jpeg_write_scanlines(&w.cinfo, rows, 1);
    }
    jpeg_finish_compress(&w.cinfo);
    return true;
}

} // namespace jpeg_fixture_detail

// The file's bytes; empty when libjpeg refused the description.
inline std::string WriteJpeg(const JpegFixture& f)
{
    jpeg_fixture_detail::Writer w;
    if (!jpeg_fixture_detail::Write(w, f))
        return std::string();
    return std::string(reinterpret_cast<const char*>(w.out), w.size);
}

// The file with its frame header claiming another size.
inline std::string WithJpegSize(std::string jpeg, std::uint16_t width, std::uint16_t height)
{
    const std::size_t sof = jpeg.find("\xFF\xC0");
    if (sof == std::string::npos || sof + 9 > jpeg.size())
        return std::string();
    PutBigEndian<std::uint16_t>(reinterpret_cast<unsigned char*>(&jpeg[sof + 5]), height);
    PutBigEndian<std::uint16_t>(reinterpret_cast<unsigned char*>(&jpeg[sof + 7]), width);
    return jpeg;
}

// One directory entry of an EXIF block: the value's bytes in the block's
// byte order, inside the entry when they fit in four bytes.
struct ExifEntry {
    std::uint16_t tag;
    std::uint16_t format;
    std::uint32_t count;
    std::string value;
};

// Values of an EXIF block in its byte order.
class ExifValues {
public:
    explicit ExifValues(bool bigEndian) : m_bigEndian(bigEndian) {}
    bool BigEndian() const { return m_bigEndian; }
    std::string U16(std::uint16_t v) const { return Put(v); }
    std::string U32(std::uint32_t v) const { return Put(v); }
    std::string Rational(std::uint32_t num, std::uint32_t den) const { return Put(num) + Put(den); }
    ExifEntry Resolution(std::uint16_t tag, std::uint32_t num, std::uint32_t den) const
    {
        return ExifEntry{tag, 5, 1, Rational(num, den)};
    }
    ExifEntry Unit(std::uint16_t unit) const { return ExifEntry{296, 3, 1, U16(unit)}; }
    ExifEntry Link(std::uint16_t tag, std::uint32_t offset) const { return ExifEntry{tag, 4, 1, U32(offset)}; }

    // A directory at 'offset' of the block: its entries, the link to the
    // next one, and the values that do not fit their entries right after.
    std::string Directory(std::uint32_t offset, const std::vector<ExifEntry>& entries, std::uint32_t next = 0) const
    {
        std::string dir = U16(static_cast<std::uint16_t>(entries.size()));
        std::string values;
        std::uint32_t valueAt = offset + 2 + 12 * std::uint32_t(entries.size()) + 4;
        for (const ExifEntry& e : entries) {
            dir += U16(e.tag) + U16(e.format) + U32(e.count);
            if (e.value.size() <= 4) {
                dir += e.value + std::string(4 - e.value.size(), '\0');
            } else {
                dir += U32(valueAt + std::uint32_t(values.size()));
                values += e.value;
            }
        }
        return dir + U32(next) + values;
    }

    // "Exif", two zero bytes, the byte order, 42, the first directory's
    // offset, then the directories (the first at that offset).
    std::string Payload(const std::string& directories, std::uint32_t first = 8) const
    {
        std::string head = std::string("Exif\0\0", 6) + (m_bigEndian ? "MM" : "II") + U16(42) + U32(first);
        if (first > 8)
            head += std::string(first - 8, '\0');
        return head + directories;
    }

private:
    template <class T>
    std::string Put(T v) const
    {
        unsigned char b[sizeof(T)];
        if (m_bigEndian)
            PutBigEndian<T>(b, v);
        else
            PutLittleEndian<T>(b, v);
        return std::string(reinterpret_cast<char*>(b), sizeof(T));
    }

    bool m_bigEndian;
};
