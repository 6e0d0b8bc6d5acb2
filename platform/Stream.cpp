#include "platform/Stream.h"

#include "platform/Path.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

FileRetryPolicy& GetFileRetryPolicy()
{
    static FileRetryPolicy policy;
    return policy;
}

bool IsSharingRefusal(int error)
{
    // What Linux and its network file systems answer for a file another
    // holds; EAGAIN and EWOULDBLOCK are one value here.
    return error == EBUSY || error == ETXTBSY || error == EAGAIN;
}

bool LockRegionWithRetry(CStream& stream, int64_t offset, int64_t length)
{
    const FileRetryPolicy& policy = GetFileRetryPolicy();
    for (int attempt = 0; attempt < std::max(1, policy.lockTries); ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(policy.lockWait);
        if (stream.TryLockRegion(offset, length))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------- CFileStream

CFileStream::CFileStream(int fd, std::string path, std::string nativePath, bool writable)
    : m_fd(fd), m_path(std::move(path)), m_nativePath(std::move(nativePath)), m_writable(writable)
{
}

CFileStream::~CFileStream()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::unique_ptr<CFileStream> CFileStream::Open(const std::string& path, FileMode mode, int* error)
{
    auto stream = OpenNative(ResolvePath(path), mode, error);
    if (stream)
        stream->m_path = path;
    return stream;
}

std::unique_ptr<CFileStream> CFileStream::OpenNative(const std::string& native, FileMode mode, int* error)
{
    // Not blocking: opening a FIFO for reading would wait for a writer.
    int flags = O_CLOEXEC | O_NONBLOCK;
    bool writable = true;
    switch (mode) {
    case FileMode::Read:
        flags |= O_RDONLY;
        writable = false;
        break;
    case FileMode::ReadWrite:
        flags |= O_RDWR;
        break;
    case FileMode::CreateAlways:
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    case FileMode::CreateNew:
        flags |= O_RDWR | O_CREAT | O_EXCL;
        break;
    }
    int fd;
    do {
        fd = ::open(native.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (error)
            *error = errno;
        return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        if (error)
            *error = EISDIR;
        ::close(fd);
        return nullptr;
    }
    // A FIFO or socket would block the first read for ever.
    const int status = ::fcntl(fd, F_GETFL);
    if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        if (error)
            *error = ENXIO;
        ::close(fd);
        return nullptr;
    }
    if (error)
        *error = 0;
    return std::unique_ptr<CFileStream>(new CFileStream(fd, FromNativePath(native), native, writable));
}

namespace {

// Bytes read at offset until count or the end; errno's value on failure in *error.
size_t ReadFileAt(int fd, void* buffer, size_t count, int64_t offset, int* error)
{
    size_t done = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (done < count) {
        ssize_t n = ::pread(fd, bytes + done, count - done, offset + static_cast<int64_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n < 0 && error)
                *error = errno;
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

} // namespace

size_t CFileStream::Read(void* buffer, size_t count)
{
    const size_t done = ReadFileAt(m_fd, buffer, count, m_position, &m_lastError);
    m_position += static_cast<int64_t>(done);
    return done;
}

size_t CFileStream::ReadAt(void* buffer, size_t count, int64_t offset) const
{
    return offset < 0 ? 0 : ReadFileAt(m_fd, buffer, count, offset, nullptr);
}

size_t CFileStream::Write(const void* buffer, size_t count)
{
    if (!m_writable) {
        m_lastError = EBADF;
        return 0;
    }
    size_t done = 0;
    auto* bytes = static_cast<const unsigned char*>(buffer);
    while (done < count) {
        ssize_t n = ::pwrite(m_fd, bytes + done, count - done, m_position);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_lastError = n < 0 ? errno : EIO;
            break;
        }
        done += static_cast<size_t>(n);
        m_position += n;
    }
    return done;
}

bool CFileStream::Seek(int64_t offset, SeekFrom from)
{
    int64_t base = from == Begin ? 0 : from == Current ? m_position : Size();
    if (base < 0)
        return false;
    int64_t target = base + offset;
    if (target < 0)
        return false;
    m_position = target;
    return true;
}

int64_t CFileStream::Tell() const
{
    return m_position;
}

int64_t CFileStream::Size() const
{
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        return -1;
    return st.st_size;
}

bool CFileStream::Truncate(int64_t length)
{
    if (!m_writable || length < 0)
        return false;
    return ::ftruncate(m_fd, length) == 0;
}

bool CFileStream::Flush()
{
    // Writes go straight to the file; nothing is buffered here.
    return true;
}

bool CFileStream::Sync()
{
    return ::fsync(m_fd) == 0;
}

bool CFileStream::TryLockRegion(int64_t offset, int64_t length)
{
    // Open-file-description locks: two handles of one process exclude each
    // other, and closing an unrelated descriptor does not drop the lock.
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = m_writable ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = offset;
    fl.l_len = length;
    return ::fcntl(m_fd, F_OFD_SETLK, &fl) == 0;
}

bool CFileStream::UnlockRegion(int64_t offset, int64_t length)
{
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = offset;
    fl.l_len = length;
    return ::fcntl(m_fd, F_OFD_SETLK, &fl) == 0;
}

// -------------------------------------------------------------- CMemoryStream

CMemoryStream::CMemoryStream(std::vector<unsigned char> data, bool writable)
    : m_data(std::move(data)), m_writable(writable)
{
}

CMemoryStream::CMemoryStream(const void* data, size_t size, bool writable)
    : m_data(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size),
      m_writable(writable)
{
}

size_t CMemoryStream::Read(void* buffer, size_t count)
{
    if (m_position >= Size())
        return 0;
    size_t n = std::min(count, static_cast<size_t>(Size() - m_position));
    if (n == 0)
        return 0; // memcpy wants real pointers even for no bytes
    std::memcpy(buffer, m_data.data() + m_position, n);
    m_position += static_cast<int64_t>(n);
    return n;
}

size_t CMemoryStream::ReadAt(void* buffer, size_t count, int64_t offset) const
{
    if (offset < 0 || offset >= Size())
        return 0;
    const size_t n = std::min(count, static_cast<size_t>(Size() - offset));
    if (n > 0)
        std::memcpy(buffer, m_data.data() + offset, n);
    return n;
}

size_t CMemoryStream::Write(const void* buffer, size_t count)
{
    if (!m_writable)
        return 0;
    if (count == 0)
        return 0;
    size_t end = static_cast<size_t>(m_position) + count;
    if (end > m_data.size())
        m_data.resize(end);
    std::memcpy(m_data.data() + m_position, buffer, count);
    m_position = static_cast<int64_t>(end);
    return count;
}

bool CMemoryStream::Seek(int64_t offset, SeekFrom from)
{
    int64_t base = from == Begin ? 0 : from == Current ? m_position : Size();
    int64_t target = base + offset;
    if (target < 0)
        return false;
    m_position = target;
    return true;
}

bool CMemoryStream::Truncate(int64_t length)
{
    if (!m_writable || length < 0)
        return false;
    m_data.resize(static_cast<size_t>(length));
    return true;
}

// ------------------------------------------------------------ atomic writes

std::unique_ptr<CFileStream> BeginAtomicWrite(const std::string& path, std::string* tempPath)
{
    // The temporary lies in the target's folder so the rename stays on one file system.
    std::string native = ResolvePath(path);
    for (int n = 0; n < 1000; ++n) {
        std::string candidate = native + ".~" + std::to_string(::getpid()) + "_" + std::to_string(n);
        int error = 0;
        auto stream = CFileStream::OpenNative(candidate, FileMode::CreateNew, &error);
        if (stream) {
            *tempPath = stream->Path();
            return stream;
        }
        if (error != EEXIST)
            return nullptr;
    }
    return nullptr;
}

bool CommitAtomicWrite(std::unique_ptr<CFileStream> stream, const std::string& /*tempPath*/, const std::string& path)
{
    std::string tempNative = stream->NativePath();
    bool synced = stream->Sync();
    stream.reset();
    if (!synced || std::rename(tempNative.c_str(), ResolvePath(path).c_str()) != 0) {
        ::unlink(tempNative.c_str());
        return false;
    }
    return true;
}

void AbandonAtomicWrite(std::unique_ptr<CFileStream> stream, const std::string& tempPath)
{
    std::string tempNative = stream ? stream->NativePath() : ResolvePath(tempPath);
    stream.reset();
    ::unlink(tempNative.c_str());
}
