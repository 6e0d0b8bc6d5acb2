#include "render/ImageStream.h"

#include "platform/Path.h"
#include "platform/Stream.h"
#include "render/XImage.h"

#include <tiffio.h>

#include <cstdarg>
#include <limits>

namespace {

// Item counts whose byte size does not fit are refused, as fread would fail them.
bool ByteCount(std::size_t size, std::size_t count, std::size_t& bytes)
{
    if (size == 0 || count == 0) {
        bytes = 0;
        return true;
    }
    if (count > std::numeric_limits<std::size_t>::max() / size)
        return false;
    bytes = size * count;
    return true;
}

} // namespace

// ---------------------------------------------------------------- CxStdioStream

CxStdioStream::~CxStdioStream()
{
    Close();
}

bool CxStdioStream::Open(const std::string& path, const char* mode)
{
    Close();
    m_file = std::fopen(ResolvePath(path).c_str(), mode);
    m_closeOnDestroy = true;
    return m_file != nullptr;
}

bool CxStdioStream::Close()
{
    if (!m_file)
        return true;
    bool closed = true;
    if (m_closeOnDestroy)
        closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed;
}

std::size_t CxStdioStream::Read(void* buffer, std::size_t size, std::size_t count)
{
    return m_file ? std::fread(buffer, size, count, m_file) : 0;
}

std::size_t CxStdioStream::Write(const void* buffer, std::size_t size, std::size_t count)
{
    return m_file ? std::fwrite(buffer, size, count, m_file) : 0;
}

bool CxStdioStream::Seek(std::int64_t offset, int origin)
{
    return m_file && ::fseeko(m_file, static_cast<off_t>(offset), origin) == 0;
}

std::int64_t CxStdioStream::Tell()
{
    return m_file ? static_cast<std::int64_t>(::ftello(m_file)) : -1;
}

std::int64_t CxStdioStream::Size()
{
    if (!m_file)
        return -1;
    const off_t position = ::ftello(m_file);
    if (position < 0 || ::fseeko(m_file, 0, SEEK_END) != 0)
        return -1;
    const off_t size = ::ftello(m_file);
    ::fseeko(m_file, position, SEEK_SET);
    return size;
}

bool CxStdioStream::Flush()
{
    return m_file && std::fflush(m_file) == 0;
}

bool CxStdioStream::Eof()
{
    return !m_file || std::feof(m_file) != 0;
}

std::int32_t CxStdioStream::Error()
{
    return m_file ? std::ferror(m_file) : -1;
}

bool CxStdioStream::PutC(unsigned char c)
{
    return m_file && std::fputc(c, m_file) == c;
}

int CxStdioStream::GetC()
{
    return m_file ? std::fgetc(m_file) : -1;
}

// ---------------------------------------------------------------- CxPlatformStream

CxPlatformStream::CxPlatformStream(std::unique_ptr<CStream> stream) : m_owned(std::move(stream)), m_stream(m_owned.get())
{
}

CxPlatformStream::~CxPlatformStream() = default;

bool CxPlatformStream::Close()
{
    m_stream = nullptr;
    m_owned.reset();
    return true;
}

bool CxPlatformStream::ItemBytes(std::size_t size, std::size_t count, std::size_t& bytes)
{
    if (!m_stream || !ByteCount(size, count, bytes)) {
        m_error = true;
        return false;
    }
    return bytes > 0;
}

std::size_t CxPlatformStream::Read(void* buffer, std::size_t size, std::size_t count)
{
    std::size_t bytes = 0;
    if (!ItemBytes(size, count, bytes))
        return 0;
    const std::size_t got = m_stream->Read(buffer, bytes);
    m_eof = m_eof || got < bytes;
    return got / size;
}

std::size_t CxPlatformStream::Write(const void* buffer, std::size_t size, std::size_t count)
{
    std::size_t bytes = 0;
    if (!ItemBytes(size, count, bytes))
        return 0;
    const std::size_t put = m_stream->Write(buffer, bytes);
    m_error = m_error || put < bytes;
    return put / size;
}

bool CxPlatformStream::Seek(std::int64_t offset, int origin)
{
    if (!m_stream || origin < 0 || origin > 2)
        return false;
    // Offsets come from files: relative ones are resolved here, where an
    // overflow can be refused.
    std::int64_t target = offset;
    if (origin != 0) {
        const std::int64_t base = origin == 1 ? m_stream->Tell() : m_stream->Size();
        if (base < 0 || __builtin_add_overflow(base, offset, &target))
            return false;
    }
    if (!m_stream->Seek(target, CStream::Begin))
        return false;
    m_eof = false;
    return true;
}

std::int64_t CxPlatformStream::Tell()
{
    return m_stream ? m_stream->Tell() : -1;
}

std::int64_t CxPlatformStream::Size()
{
    return m_stream ? m_stream->Size() : -1;
}

bool CxPlatformStream::Flush()
{
    return m_stream && m_stream->Flush();
}

bool CxPlatformStream::Eof()
{
    return !m_stream || m_eof;
}

std::int32_t CxPlatformStream::Error()
{
    return !m_stream ? -1 : m_error ? 1 : 0;
}

int CxPlatformStream::GetC()
{
    unsigned char c = 0;
    return Read(&c, 1, 1) == 1 ? c : -1;
}

// ---------------------------------------------------------------- libtiff glue

namespace {

CxStream* StreamOf(thandle_t handle)
{
    return static_cast<CxStream*>(handle);
}

tmsize_t TiffRead(thandle_t handle, void* buffer, tmsize_t size)
{
    if (size <= 0)
        return 0;
    return static_cast<tmsize_t>(StreamOf(handle)->Read(buffer, 1, static_cast<std::size_t>(size)));
}

tmsize_t TiffWrite(thandle_t handle, void* buffer, tmsize_t size)
{
    if (size <= 0)
        return 0;
    return static_cast<tmsize_t>(StreamOf(handle)->Write(buffer, 1, static_cast<std::size_t>(size)));
}

// libtiff takes any other value as the new offset, so a failed seek must be -1.
toff_t TiffSeek(thandle_t handle, toff_t offset, int whence)
{
    const auto failed = static_cast<toff_t>(-1);
    if (whence == SEEK_SET && offset > static_cast<toff_t>(std::numeric_limits<std::int64_t>::max()))
        return failed;
    CxStream* stream = StreamOf(handle);
    if (!stream->Seek(static_cast<std::int64_t>(offset), whence))
        return failed;
    if (whence == SEEK_SET)
        return offset;
    const std::int64_t position = stream->Tell();
    return position < 0 ? failed : static_cast<toff_t>(position);
}

// The owner of the stream closes it.
int TiffClose(thandle_t)
{
    return 0;
}

toff_t TiffSize(thandle_t handle)
{
    const std::int64_t size = StreamOf(handle)->Size();
    return size < 0 ? 0 : static_cast<toff_t>(size);
}

int TiffMap(thandle_t, void**, toff_t*)
{
    return 0;
}

void TiffUnmap(thandle_t, void*, toff_t) {}

// The readers and writers report failures in their own words; the
// library's messages would only end up on stderr.
int TiffQuiet(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

} // namespace

TIFF* TiffClientOpen(CxStream* stream, const char* name, const char* mode)
{
    if (!stream)
        return nullptr;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, TiffQuiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, TiffQuiet, nullptr);
    // A lying directory cannot make the library take more than a picture may.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(CXIMAGE_MAX_MEMORY));
    TIFF* tif = TIFFClientOpenExt(name, mode, static_cast<thandle_t>(stream), TiffRead, TiffWrite, TiffSeek,
                                  TiffClose, TiffSize, TiffMap, TiffUnmap, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

TIFF* OpenTiffOnStream(CxStream* stream, const char* mode)
{
    return TiffClientOpen(stream, "TIFF IMAGE", mode);
}
