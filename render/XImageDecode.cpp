// Loading pictures: the decoder of a named format, or each in turn.
#include "render/BmpDecoder.h"
#include "render/GifDecoder.h"
#include "render/ImageStream.h"
#include "render/JpegDecoder.h"
#include "render/PngDecoder.h"
#include "render/TiffDecoder.h"
#include "render/WbmpDecoder.h"
#include "render/XImage.h"

#include <array>
#include <atomic>

namespace {

constexpr const char* kUnknownFormat = "Decode: Unknown or wrong format";

// The order in which format 0 tries the decoders.
constexpr int kTryOrder[] = {CXIMAGE_FORMAT_BMP, CXIMAGE_FORMAT_JPG, CXIMAGE_FORMAT_GIF,
                             CXIMAGE_FORMAT_PNG, CXIMAGE_FORMAT_TIF, CXIMAGE_FORMAT_WBMP};

bool IsNamedFormat(int format)
{
    return format >= CXIMAGE_FORMAT_BMP && format <= CXIMAGE_FORMAT_WBMP;
}

std::array<std::atomic<int>, CXIMAGE_FORMAT_WBMP + 1> g_decodeRuns{};

} // namespace

bool CxImage::Load(const std::string& fileName, int format)
{
    CxStdioStream file;
    if (!file.Open(fileName, "rb")) {
        SetLastError("Can't open file");
        return false;
    }
    if (!IsNamedFormat(format))
        return Decode(file, CXIMAGE_FORMAT_UNKNOWN);
    if (Decode(file, format))
        return true;
    if (!file.Seek(0, 0))
        return false;
    // The named decoder's reason tells more than the generic one. It is
    // not tried again: a hostile file would cost its time twice.
    const std::string namedError = GetLastError();
    if (DecodeAny(file, format))
        return true;
    SetLastError(namedError);
    return false;
}

int CxImage::GetDecodeRuns(int format)
{
    return IsNamedFormat(format) ? g_decodeRuns[static_cast<std::size_t>(format)].load() : 0;
}

bool CxImage::Decode(std::FILE* file, int format)
{
    CxStdioStream stream(file);
    return Decode(stream, format);
}

template <class Decoder>
bool CxImage::DecodeWith(CxStream& stream)
{
    // A fresh decoder with this image's request only (frame, cancel flag):
    // the transparency, resolution and palette-alpha of a picture decoded
    // earlier into this object must not pass on to the next one.
    Decoder decoder;
    decoder.m_info.escape = m_info.escape;
    decoder.m_info.frame = m_info.frame;
    decoder.m_info.enabled = m_info.enabled;
    if (decoder.Decode(stream)) {
        Transfer(decoder);
        return true;
    }
    SetLastError(decoder.GetLastError());
    SetNumFrames(decoder.GetNumFrames());
    return false;
}

int CxImage::DecodeFormat(int format, CxStream& stream)
{
    if (IsNamedFormat(format))
        g_decodeRuns[static_cast<std::size_t>(format)].fetch_add(1, std::memory_order_relaxed);
    switch (format) {
    case CXIMAGE_FORMAT_BMP: return DecodeWith<CxImageBMP>(stream);
    case CXIMAGE_FORMAT_WBMP: return DecodeWith<CxImageWBMP>(stream);
    case CXIMAGE_FORMAT_GIF: return DecodeWith<CxImageGIF>(stream);
    case CXIMAGE_FORMAT_JPG: return DecodeWith<CxImageJPG>(stream);
    case CXIMAGE_FORMAT_PNG: return DecodeWith<CxImagePNG>(stream);
    case CXIMAGE_FORMAT_TIF: return DecodeWith<CxImageTIF>(stream);
    default: return -1;
    }
}

bool CxImage::Decode(CxStream& stream, int format)
{
    if (IsNamedFormat(format)) {
        const int result = DecodeFormat(format, stream);
        if (result < 0)
            SetLastError(kUnknownFormat);
        return result > 0;
    }
    if (format == CXIMAGE_FORMAT_UNKNOWN && DecodeAny(stream, CXIMAGE_FORMAT_UNKNOWN))
        return true;
    SetLastError(kUnknownFormat);
    return false;
}

bool CxImage::DecodeAny(CxStream& stream, int except)
{
    const std::int64_t position = stream.Tell();
    for (const int each : kTryOrder) {
        if (each == except)
            continue;
        const int result = DecodeFormat(each, stream);
        if (result > 0)
            return true;
        if (result == 0)
            stream.Seek(position, 0);
    }
    SetLastError(kUnknownFormat);
    return false;
}
