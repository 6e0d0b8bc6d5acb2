#pragma once

#include "platform/Stream.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct tiff;

// The byte stream the picture decoders read and the TIFF library reads and
// writes through, so one decoder serves files, already open C streams and
// memory.
class CxStream {
public:
    virtual ~CxStream() = default;

    virtual bool Close() = 0;
    // As fread and fwrite: whole items moved.
    virtual std::size_t Read(void* buffer, std::size_t size, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t size, std::size_t count) = 0;
    // Origin 0 start, 1 current, 2 end; true on success.
    virtual bool Seek(std::int64_t offset, int origin) = 0;
    virtual std::int64_t Tell() = 0;
    virtual std::int64_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    // Non-zero after an error.
    virtual std::int32_t Error() = 0;
    virtual bool PutC(unsigned char c) { return Write(&c, 1, 1) == 1; }
    // The next byte, or -1 at the end.
    virtual int GetC() = 0;
};

// A CxStream over a C stream. A stream made from a caller's FILE* never
// closes it; one that opened its file itself closes it.
class CxStdioStream : public CxStream {
public:
    CxStdioStream() = default;
    explicit CxStdioStream(std::FILE* file) : m_file(file), m_closeOnDestroy(false) {}
    ~CxStdioStream() override;
    CxStdioStream(const CxStdioStream&) = delete;
    CxStdioStream& operator=(const CxStdioStream&) = delete;

    // Opens a file by stored-form path with an fopen mode ("rb", "wb"),
    // closing what this stream opened before. The stream owns the file.
    bool Open(const std::string& path, const char* mode);
    std::FILE* File() const { return m_file; }

    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(std::int64_t offset, int origin) override;
    std::int64_t Tell() override;
    std::int64_t Size() override;
    bool Flush() override;
    bool Eof() override;
    std::int32_t Error() override;
    bool PutC(unsigned char c) override;
    int GetC() override;

private:
    std::FILE* m_file = nullptr;
    bool m_closeOnDestroy = true;
};

// A CxStream over one of the system's streams (a memory stream in tests
// and fuzzers, a file stream elsewhere), owned or borrowed.
class CxPlatformStream : public CxStream {
public:
    explicit CxPlatformStream(CStream& stream) : m_stream(&stream) {}
    explicit CxPlatformStream(std::unique_ptr<CStream> stream);
    ~CxPlatformStream() override;
    CxPlatformStream(const CxPlatformStream&) = delete;
    CxPlatformStream& operator=(const CxPlatformStream&) = delete;

    // Drops an owned stream; a borrowed one is only let go.
    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(std::int64_t offset, int origin) override;
    std::int64_t Tell() override;
    std::int64_t Size() override;
    bool Flush() override;
    bool Eof() override;
    std::int32_t Error() override;
    int GetC() override;

private:
    // The bytes of count items; false, and nothing to move, for none or
    // for a count that does not fit.
    bool ItemBytes(std::size_t size, std::size_t count, std::size_t& bytes);

    std::unique_ptr<CStream> m_owned;
    CStream* m_stream = nullptr;
    bool m_eof = false;
    bool m_error = false;
};

// Opens a TIFF on a stream through the library's client-I/O calls. The
// handle never closes the stream: its owner does, after TIFFClose.
tiff* TiffClientOpen(CxStream* stream, const char* name, const char* mode);
// Every TIFF the system reads or writes is opened so, named "TIFF IMAGE".
tiff* OpenTiffOnStream(CxStream* stream, const char* mode);
