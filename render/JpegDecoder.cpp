#include "render/JpegDecoder.h"

#include "render/ImageStream.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr std::size_t kSourceBuffer = 4096;
// Each progressive scan passes over the whole picture again; a file of
// thousands of tiny scans would keep the decoder busy for minutes.
constexpr int kMaxScans = 1000;

// libjpeg's source manager over a CxStream.
struct CxJpegSource {
    jpeg_source_mgr pub;
    CxStream* stream = nullptr;
    JOCTET buffer[kSourceBuffer];
    bool startOfFile = true;
};

struct JpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void InitSource(j_decompress_ptr cinfo)
{
    reinterpret_cast<CxJpegSource*>(cinfo->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    auto* source = reinterpret_cast<CxJpegSource*>(cinfo->src);
    std::size_t got = source->stream->Read(source->buffer, 1, kSourceBuffer);
    if (got == 0) {
        if (source->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // The library fills the rest of the picture after an end of image.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = got;
    source->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    jpeg_source_mgr* source = cinfo->src;
    if (count <= 0)
        return;
    while (std::size_t(count) > source->bytes_in_buffer) {
        count -= static_cast<long>(source->bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= std::size_t(count);
}

void TermSource(j_decompress_ptr) {}

void ErrorExit(j_common_ptr cinfo)
{
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (a damaged segment, an early end) change nothing in the result
// and would only reach stderr.
void OutputMessage(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
        std::snprintf(errors->message, sizeof errors->message, "Too many JPEG scans (more than %d)", kMaxScans);
        std::longjmp(errors->jump, 1);
    }
}

int DpiValue(double value)
{
    return static_cast<int>(std::clamp(value, 0.0, double(INT_MAX)));
}

} // namespace

// libjpeg leaves a failing call through longjmp. The decompressor and its
// memory live here, in the frame of Decode, so the jump skips no
// destructor; ReadPicture, which holds the jump target, owns nothing.
struct CxImageJPG::Reading {
    explicit Reading(CxStream& stream)
    {
        std::memset(&cinfo, 0, sizeof cinfo);
        cinfo.err = jpeg_std_error(&errors.pub);
        errors.pub.error_exit = ErrorExit;
        errors.pub.output_message = OutputMessage;
        errors.message[0] = '\0';
        source.stream = &stream;
        source.pub.init_source = InitSource;
        source.pub.fill_input_buffer = FillInputBuffer;
        source.pub.skip_input_data = SkipInputData;
        source.pub.resync_to_restart = jpeg_resync_to_restart;
        source.pub.term_source = TermSource;
        source.pub.bytes_in_buffer = 0;
        source.pub.next_input_byte = nullptr;
        progress.progress_monitor = LimitScans;
    }
    ~Reading() { jpeg_destroy_decompress(&cinfo); }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    CxJpegSource source;
    jpeg_progress_mgr progress{};
};

bool CxImageJPG::ReadPicture(Reading& reading)
{
    jpeg_decompress_struct& cinfo = reading.cinfo;
    if (setjmp(reading.errors.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    cinfo.src = &reading.source.pub;
    cinfo.progress = &reading.progress;
    // Progressive files keep every coefficient of the picture; no more
    // than twice what a picture may take.
    cinfo.mem->max_memory_to_use = static_cast<long>(2 * CXIMAGE_MAX_MEMORY);
    jpeg_read_header(&cinfo, TRUE);
    if (!CanCreate(int(std::min<JDIMENSION>(cinfo.image_width, INT_MAX)),
                   int(std::min<JDIMENSION>(cinfo.image_height, INT_MAX)),
                   cinfo.out_color_space == JCS_GRAYSCALE ? 8 : 24))
        return false;
    jpeg_start_decompress(&cinfo);

    const int components = cinfo.output_components;
    const int width = int(cinfo.output_width), height = int(cinfo.output_height);
    if (!Create(width, height, 8 * components, CXIMAGE_FORMAT_JPG))
        return false;

    if (m_exif.isExif) {
        if (m_exif.xResolution != 0 && m_exif.resolutionUnit != 0 && std::isfinite(m_exif.xResolution))
            SetXDPI(DpiValue(m_exif.xResolution / m_exif.resolutionUnit));
        if (m_exif.yResolution != 0 && m_exif.resolutionUnit != 0 && std::isfinite(m_exif.yResolution))
            SetYDPI(DpiValue(m_exif.yResolution / m_exif.resolutionUnit));
    } else if (cinfo.density_unit == 2) {
        SetXDPI(DpiValue(std::floor(cinfo.X_density * 2.54 + 0.5)));
        SetYDPI(DpiValue(std::floor(cinfo.Y_density * 2.54 + 0.5)));
    } else {
        SetXDPI(cinfo.X_density);
        SetYDPI(cinfo.Y_density);
    }
    if (cinfo.out_color_space == JCS_GRAYSCALE)
        SetGrayPalette();

    const std::size_t stride = GetEffWidth();
    const std::size_t rowBytes = std::size_t(width) * components;
    JSAMPARRAY buffer = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                  static_cast<JDIMENSION>(rowBytes), 1);
    // Adobe's programs store CMYK inverted and say so with their marker;
    // CMYK without it holds the inks as they are.
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        if (GetEscape())
            return false;
        jpeg_read_scanlines(&cinfo, buffer, 1);
        std::uint8_t* row = GetBits(height - int(cinfo.output_scanline));
        const JSAMPLE* in = buffer[0];
        if (components == 4) {
            for (int x = 0; x < width; ++x, in += 4) {
                const int flip = inverted ? 0 : 255;
                const int c = in[0] ^ flip, m = in[1] ^ flip, y = in[2] ^ flip, k = in[3] ^ flip;
                row[3 * x] = static_cast<std::uint8_t>(k * y / 255);
                row[3 * x + 1] = static_cast<std::uint8_t>(k * m / 255);
                row[3 * x + 2] = static_cast<std::uint8_t>(k * c / 255);
            }
        } else {
            std::memcpy(row, in, std::min(rowBytes, stride));
        }
    }
    jpeg_finish_decompress(&cinfo);
    if (components == 3) {
        for (int y = 0; y < height; ++y) {
            if (GetEscape())
                return false;
            RGBtoBGR(GetBits(y), stride);
        }
    }
    return true;
}

bool CxImageJPG::Decode(CxStream& stream)
{
    // The EXIF block only tells the resolution; the picture is read from
    // the same place whatever the scan found.
    const std::int64_t start = stream.Tell();
    CxExifReader(m_exif).DecodeExif(stream);
    stream.Seek(start, 0);

    Reading reading(stream);
    if (ReadPicture(reading))
        return true;
    // A refused size keeps Create's own reason.
    if (reading.errors.message[0] != '\0')
        SetLastError(reading.errors.message);
    Destroy();
    return false;
}
