#pragma once

#include "platform/Stream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A stream over another whose writes, while held, wait in memory and reach
// the stream below in a few large writes: when the hold is released, at a
// Flush, before a truncation or a lock release, and whenever more than the
// bound waits. A writer that holds the file's lock holds the stream too, so
// a file written record by record costs a few system calls per block of
// records, and other programs, which take the lock before they count the
// records, see every record once the lock is released.
//
// What waits goes out in the order each stretch was first written, so the
// records reach the file before the header that counts them. Reads see what
// waits as if it had been written. A write that waits answers success; a
// failure shows at the write that sends it out (Flush, ReleaseWrites, ...), and
// what waited is then dropped.
class CWriteBehindStream final : public CStream {
public:
    static constexpr size_t kDefaultBound = size_t(1) << 20;

    explicit CWriteBehindStream(std::unique_ptr<CStream> inner, size_t bound = kDefaultBound);
    // Sends what still waits; its failure is lost, so writers release first.
    ~CWriteBehindStream() override;
    CWriteBehindStream(const CWriteBehindStream&) = delete;
    CWriteBehindStream& operator=(const CWriteBehindStream&) = delete;

    void HoldWrites() override { m_held = true; }
    // Sends what waits and ends the hold; false when a write failed.
    bool ReleaseWrites() override;
    // Forgets what waits; the hold stays.
    void DropWrites() override;
    size_t WritesWaiting() const override { return m_waiting; }
    bool IsHeld() const { return m_held; }

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    size_t ReadAt(void* buffer, size_t count, int64_t offset) const override;
    bool Seek(int64_t offset, SeekFrom from = Begin) override;
    int64_t Tell() const override { return m_position; }
    int64_t Size() const override;
    bool Truncate(int64_t length) override;
    bool Flush() override;
    bool IsWritable() const override { return m_inner->IsWritable(); }
    bool TryLockRegion(int64_t offset, int64_t length) override { return m_inner->TryLockRegion(offset, length); }
    bool UnlockRegion(int64_t offset, int64_t length) override;

private:
    struct CStretch {
        int64_t offset;
        std::vector<unsigned char> bytes;
        int64_t End() const { return offset + static_cast<int64_t>(bytes.size()); }
    };
    // Keeps the bytes at the position; false when they could not be kept
    // (the stretches then went out first and the bytes were not kept).
    bool Keep(const unsigned char* bytes, size_t count);

    std::unique_ptr<CStream> m_inner;
    size_t m_bound;
    int64_t m_position = 0;
    bool m_held = false;
    size_t m_waiting = 0;
    std::vector<CStretch> m_stretches; // in the order first written
    std::vector<unsigned char> m_spare; // a buffer kept for the next stretch
};
