#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The byte stream every reader and writer goes through, so a reader can be
// fed from memory in tests and fuzzers, and from files in the program.
class CStream {
public:
    enum SeekFrom { Begin = 0, Current = 1, End = 2 };

    virtual ~CStream() = default;

    // Returns the number of bytes moved; short counts mean end of data or an error.
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Read at offset, the position left alone; several threads may read so
    // at once while none writes or moves the stream.
    virtual size_t ReadAt(void* buffer, size_t count, int64_t offset) const = 0;
    virtual bool Seek(int64_t offset, SeekFrom from = Begin) = 0;
    virtual int64_t Tell() const = 0;
    virtual int64_t Size() const = 0;
    virtual bool Truncate(int64_t length) = 0;
    virtual bool Flush() = 0;

    // Opened for writing or updating.
    virtual bool IsWritable() const = 0;

    // Streams that can keep writes back (CWriteBehindStream) keep them from
    // HoldWrites until ReleaseWrites, which sends them and answers whether
    // they were written; others write at once.
    virtual void HoldWrites() {}
    virtual bool ReleaseWrites() { return Flush(); }
    // Forgets the writes kept back.
    virtual void DropWrites() {}
    // Bytes kept back.
    virtual size_t WritesWaiting() const { return 0; }

    // One attempt at an exclusive lock of a byte range; no waiting.
    // Two streams of one process exclude each other, as two programs do.
    virtual bool TryLockRegion(int64_t offset, int64_t length) = 0;
    virtual bool UnlockRegion(int64_t offset, int64_t length) = 0;

    // Reads exactly count bytes or fails.
    bool ReadExact(void* buffer, size_t count) { return Read(buffer, count) == count; }
    bool WriteExact(const void* buffer, size_t count) { return Write(buffer, count) == count; }
};

// How often and how long file opens and locks are retried. Tests shorten the waits.
struct FileRetryPolicy {
    int lockTries = 10;
    std::chrono::milliseconds lockWait{1000};
    int openRetries = 3;
    std::chrono::milliseconds openWait{500};
};
FileRetryPolicy& GetFileRetryPolicy();
// Whether an open failing with this errno value may succeed once another
// program lets go of the file (a sharing or lock refusal), and so is worth
// retrying.
bool IsSharingRefusal(int error);

// Locks a range, retrying as the policy says. True when locked.
bool LockRegionWithRetry(CStream& stream, int64_t offset, int64_t length);

enum class FileMode {
    Read,         // existing file, reading only
    ReadWrite,    // existing file, reading and writing
    CreateAlways, // new or emptied file, reading and writing
    CreateNew,    // new file only; fails when it exists
};

// A file on disk. Paths are in the system's stored form (code page 1257,
// either separator, drive letters); they are resolved to the disk through
// ResolvePath of platform/Path.h.
class CFileStream : public CStream {
public:
    ~CFileStream() override;
    CFileStream(const CFileStream&) = delete;
    CFileStream& operator=(const CFileStream&) = delete;

    // Opens the file; on failure returns null and, when given, sets *error to errno.
    static std::unique_ptr<CFileStream> Open(const std::string& path, FileMode mode, int* error = nullptr);
    // The same for a path already in Linux form (UTF-8, resolved).
    static std::unique_ptr<CFileStream> OpenNative(const std::string& nativePath, FileMode mode,
                                                   int* error = nullptr);

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    size_t ReadAt(void* buffer, size_t count, int64_t offset) const override;
    bool Seek(int64_t offset, SeekFrom from = Begin) override;
    int64_t Tell() const override;
    int64_t Size() const override;
    bool Truncate(int64_t length) override;
    bool Flush() override;
    bool IsWritable() const override { return m_writable; }
    bool TryLockRegion(int64_t offset, int64_t length) override;
    // Forces the written bytes to the disk.
    bool Sync();
    bool UnlockRegion(int64_t offset, int64_t length) override;

    const std::string& Path() const { return m_path; }
    const std::string& NativePath() const { return m_nativePath; }
    int LastError() const { return m_lastError; }

private:
    CFileStream(int fd, std::string path, std::string nativePath, bool writable);

    int m_fd;
    std::string m_path;
    std::string m_nativePath;
    bool m_writable;
    int64_t m_position = 0;
    int m_lastError = 0;
};

// A growable stream in memory; locks always succeed.
class CMemoryStream : public CStream {
public:
    CMemoryStream() = default;
    explicit CMemoryStream(std::vector<unsigned char> data, bool writable = true);
    CMemoryStream(const void* data, size_t size, bool writable = false);

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    size_t ReadAt(void* buffer, size_t count, int64_t offset) const override;
    bool Seek(int64_t offset, SeekFrom from = Begin) override;
    int64_t Tell() const override { return m_position; }
    int64_t Size() const override { return static_cast<int64_t>(m_data.size()); }
    bool Truncate(int64_t length) override;
    bool Flush() override { return true; }
    bool IsWritable() const override { return m_writable; }
    bool TryLockRegion(int64_t, int64_t) override { return true; }
    bool UnlockRegion(int64_t, int64_t) override { return true; }

    const std::vector<unsigned char>& Data() const { return m_data; }

private:
    std::vector<unsigned char> m_data;
    int64_t m_position = 0;
    bool m_writable = true;
};

// Writes a whole file beside the target and renames it over the target, so a
// failure leaves the old file whole. The writer gets a stream to fill and
// returns false to abandon the write.
template <class Writer>
bool WriteFileAtomically(const std::string& path, Writer&& writer);

// Non-template core of WriteFileAtomically: opens "<path>.~new" style temporary.
std::unique_ptr<CFileStream> BeginAtomicWrite(const std::string& path, std::string* tempPath);
bool CommitAtomicWrite(std::unique_ptr<CFileStream> stream, const std::string& tempPath, const std::string& path);
void AbandonAtomicWrite(std::unique_ptr<CFileStream> stream, const std::string& tempPath);

template <class Writer>
bool WriteFileAtomically(const std::string& path, Writer&& writer)
{
    std::string temp;
    auto stream = BeginAtomicWrite(path, &temp);
    if (!stream)
        return false;
    if (!writer(static_cast<CStream&>(*stream))) {
        AbandonAtomicWrite(std::move(stream), temp);
        return false;
    }
    return CommitAtomicWrite(std::move(stream), temp, path);
}
