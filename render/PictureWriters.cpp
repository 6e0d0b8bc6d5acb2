#include "render/PictureWriters.h"

#include "platform/ByteOrder.h"
#include "platform/Stream.h"
#include "render/DibImage.h"
#include "render/ImageStream.h"

#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

// jpeglib.h wants the C stdio declarations first.
#include <jpeglib.h>
#include <jerror.h>

namespace {

// Colour entries the files carry: the used ones, else all the depth has.
unsigned TableEntries(const BITMAPINFOHEADER& h)
{
    if (h.biClrImportant != 0)
        return h.biClrImportant;
    if (h.biClrUsed != 0)
        return h.biClrUsed;
    return h.biBitCount <= 8 ? 1u << h.biBitCount : 0;
}

bool Put(CStream& out, const void* bytes, std::size_t count)
{
    return out.Write(bytes, count) == count;
}

// Stored row 'row' of the picture's rows taken top first.
int TopDown(const CDibImage& image, int row)
{
    return image.GetHeader().biHeight - 1 - row;
}

void SwapRedAndBlue(std::uint8_t* row, int width)
{
    for (int x = 0; x < width; ++x, row += 3)
        std::swap(row[0], row[2]);
}

} // namespace

// ---------------------------------------------------------------- BMP

bool WriteBmp(const CDibImage& image, CStream& out)
{
    const BITMAPINFOHEADER& h = image.GetHeader();
    const unsigned entries = TableEntries(h);
    const std::size_t stride = image.GetStride();
    const std::uint32_t offset = 14 + 40 + 4 * entries;
    unsigned char fileHeader[14];
    PutLittleEndian<std::uint16_t>(fileHeader, 0x4D42);
    PutLittleEndian<std::uint32_t>(fileHeader + 2, static_cast<std::uint32_t>(offset + stride * std::size_t(h.biHeight)));
    PutLittleEndian<std::uint32_t>(fileHeader + 6, 0);
    PutLittleEndian<std::uint32_t>(fileHeader + 10, offset);

    unsigned char info[40];
    PutLittleEndian<std::uint32_t>(info, h.biSize);
    PutLittleEndian<std::int32_t>(info + 4, h.biWidth);
    PutLittleEndian<std::int32_t>(info + 8, h.biHeight);
    PutLittleEndian<std::uint16_t>(info + 12, h.biPlanes);
    PutLittleEndian<std::uint16_t>(info + 14, h.biBitCount);
    PutLittleEndian<std::uint32_t>(info + 16, h.biCompression);
    PutLittleEndian<std::uint32_t>(info + 20, h.biSizeImage);
    PutLittleEndian<std::int32_t>(info + 24, h.biXPelsPerMeter);
    PutLittleEndian<std::int32_t>(info + 28, h.biYPelsPerMeter);
    PutLittleEndian<std::uint32_t>(info + 32, h.biClrUsed);
    PutLittleEndian<std::uint32_t>(info + 36, h.biClrImportant);

    if (!Put(out, fileHeader, sizeof fileHeader) || !Put(out, info, sizeof info) ||
        !Put(out, image.GetColorTable(), 4 * std::size_t(entries)))
        return false;
    std::vector<std::uint8_t> row(stride);
    for (int y = 0; y < h.biHeight; ++y) {
        image.CopyStoredRow(y, row.data());
        if (!Put(out, row.data(), row.size()))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- PNG

namespace {

void PngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<CStream*>(png_get_io_ptr(png));
    if (out->Write(data, length) != length)
        png_error(png, "Write Error");
}

void PngFlush(png_structp) {}

// Only jumps back; the caller reports the failure.
void PngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// Everything libpng may jump out of; nothing here needs destroying.
bool PngBody(png_structp png, png_infop info, const CDibImage& image, CStream* out, const png_color* palette,
             int entries, std::uint8_t* row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const BITMAPINFOHEADER& h = image.GetHeader();
    png_set_write_fn(png, out, PngWrite, PngFlush);
    png_set_compression_level(png, 6);
    if (h.biBitCount == 24) {
        png_set_compression_mem_level(png, 9);
        png_set_IHDR(png, info, static_cast<png_uint_32>(h.biWidth), static_cast<png_uint_32>(h.biHeight), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    } else {
        png_set_PLTE(png, info, palette, entries);
        png_set_IHDR(png, info, static_cast<png_uint_32>(h.biWidth), static_cast<png_uint_32>(h.biHeight),
                     h.biBitCount, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
    }
    png_write_info(png, info);
    if (h.biBitCount == 24)
        png_set_bgr(png);
    for (int y = 0; y < h.biHeight; ++y) {
        image.CopyStoredRow(TopDown(image, y), row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool WritePng(const CDibImage& image, CStream& out)
{
    const BITMAPINFOHEADER& h = image.GetHeader();
    const int entries = h.biBitCount <= 8 ? static_cast<int>(std::min(TableEntries(h), 256u)) : 0;
    std::vector<png_color> palette(static_cast<std::size_t>(std::max(entries, 1)));
    for (int i = 0; i < entries; ++i) {
        const RGBQUAD c = image.GetColorTable()[i];
        palette[static_cast<std::size_t>(i)] = png_color{c.rgbRed, c.rgbGreen, c.rgbBlue};
    }
    std::vector<std::uint8_t> row(image.GetStride());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    const bool written = info && PngBody(png, info, image, &out, palette.data(), entries, row.data());
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return written;
}

// ---------------------------------------------------------------- JPEG

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr cinfo)
{
    auto* error = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, error->message);
    std::longjmp(error->jump, 1);
}

// Warnings do not stop the picture; nothing to show for them.
void JpegOutputMessage(j_common_ptr) {}

// Compressed bytes go to the stream 4096 at a time; a short write is the
// library's own write error.
struct JpegDestination {
    jpeg_destination_mgr manager;
    CStream* out;
    JOCTET buffer[4096];
};

void JpegInitDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
    dest->manager.next_output_byte = dest->buffer;
    dest->manager.free_in_buffer = sizeof dest->buffer;
}

boolean JpegEmptyBuffer(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
    if (dest->out->Write(dest->buffer, sizeof dest->buffer) != sizeof dest->buffer)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->manager.next_output_byte = dest->buffer;
    dest->manager.free_in_buffer = sizeof dest->buffer;
    return TRUE;
}

void JpegTermDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
    const std::size_t count = sizeof dest->buffer - dest->manager.free_in_buffer;
    if (count > 0 && dest->out->Write(dest->buffer, count) != count)
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

bool JpegBody(jpeg_compress_struct* cinfo, JpegError* error, JpegDestination* dest, const CDibImage& image,
              std::uint8_t* row)
{
    if (setjmp(error->jump))
        return false;
    jpeg_create_compress(cinfo);
    cinfo->dest = &dest->manager;
    dest->manager.init_destination = JpegInitDestination;
    dest->manager.empty_output_buffer = JpegEmptyBuffer;
    dest->manager.term_destination = JpegTermDestination;
    const BITMAPINFOHEADER& h = image.GetHeader();
    cinfo->image_width = static_cast<JDIMENSION>(h.biWidth);
    cinfo->image_height = static_cast<JDIMENSION>(h.biHeight);
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    for (int y = 0; y < h.biHeight; ++y) {
        image.CopyStoredRow(TopDown(image, y), row);
        SwapRedAndBlue(row, h.biWidth);
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(cinfo, rows, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

bool WriteJpeg(const CDibImage& image, CStream& out, std::string& error)
{
    error.clear();
    if (image.GetHeader().biBitCount != 24)
        return false;
    std::vector<std::uint8_t> row(image.GetStride());
    jpeg_compress_struct cinfo{};
    JpegError jpegError{};
    JpegDestination dest{};
    dest.out = &out;
    cinfo.err = jpeg_std_error(&jpegError.manager);
    jpegError.manager.error_exit = JpegErrorExit;
    jpegError.manager.output_message = JpegOutputMessage;
    const bool written = JpegBody(&cinfo, &jpegError, &dest, image, row.data());
    jpeg_destroy_compress(&cinfo);
    if (!written)
        error = jpegError.message;
    return written;
}

// ---------------------------------------------------------------- TIFF

namespace {

// Grey palettes whose entry i is (i, i, i), or none at all.
bool IsGreyRamp(const CDibImage& image)
{
    const unsigned used = image.GetHeader().biClrUsed;
    for (unsigned i = 0; i < used; ++i) {
        const RGBQUAD c = image.GetColorTable()[i];
        if (c.rgbRed != i || c.rgbGreen != i || c.rgbBlue != i)
            return false;
    }
    return true;
}

bool WriteTiffPage(TIFF* tif, const CDibImage& image)
{
    const BITMAPINFOHEADER& h = image.GetHeader();
    const int bits = h.biBitCount;
    const int samples = bits == 24 ? 3 : 1;
    const auto width = static_cast<std::uint32_t>(h.biWidth);
    const auto height = static_cast<std::uint32_t>(h.biHeight);
    const std::uint16_t photometric = bits == 24 ? PHOTOMETRIC_RGB
                                      : IsGreyRamp(image) ? PHOTOMETRIC_MINISBLACK
                                                          : PHOTOMETRIC_PALETTE;
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits / samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(image.GetXDpi()));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(image.GetYDpi()));
    if (photometric == PHOTOMETRIC_PALETTE) {
        // Every entry the depth allows, zero past the used ones.
        std::vector<std::uint16_t> red(256), green(256), blue(256);
        for (unsigned i = 0; i < std::min(h.biClrUsed, 256u); ++i) {
            const RGBQUAD c = image.GetColorTable()[i];
            red[i] = static_cast<std::uint16_t>(c.rgbRed * 257);
            green[i] = static_cast<std::uint16_t>(c.rgbGreen * 257);
            blue[i] = static_cast<std::uint16_t>(c.rgbBlue * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    }
    std::vector<std::uint8_t> row(image.GetStride());
    for (std::uint32_t y = 0; y < height; ++y) {
        image.CopyStoredRow(TopDown(image, static_cast<int>(y)), row.data());
        if (bits == 24)
            SwapRedAndBlue(row.data(), h.biWidth);
        if (TIFFWriteScanline(tif, row.data(), y, 0) < 0)
            return false;
    }
    return true;
}

} // namespace

bool WriteTiff(const CDibImage& image, CStream& out)
{
    const int bits = image.GetHeader().biBitCount;
    if (bits != 8 && bits != 24)
        return false;
    CxPlatformStream stream(out);
    TIFF* tif = OpenTiffOnStream(&stream, "wb");
    if (!tif)
        return false;
    bool written = WriteTiffPage(tif, image);
    written = TIFFFlush(tif) == 1 && written;
    TIFFClose(tif);
    return written && stream.Error() == 0;
}
