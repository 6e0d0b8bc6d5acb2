#include "platform/WriteBehindStream.h"

#include <algorithm>
#include <cstring>

namespace {

// More stretches than this are sent out: a held writer appends to one and
// rewrites a header or two.
constexpr size_t kMaxStretches = 8;

} // namespace

CWriteBehindStream::CWriteBehindStream(std::unique_ptr<CStream> inner, size_t bound)
    : m_inner(std::move(inner)), m_bound(bound)
{
}

CWriteBehindStream::~CWriteBehindStream()
{
    Flush();
}

bool CWriteBehindStream::ReleaseWrites()
{
    const bool sent = Flush();
    m_held = false;
    return sent;
}

void CWriteBehindStream::DropWrites()
{
    // The longest buffer serves the next block: no fresh memory for each.
    for (CStretch& s : m_stretches)
        if (s.bytes.capacity() > m_spare.capacity())
            m_spare.swap(s.bytes);
    m_stretches.clear();
    m_waiting = 0;
}

bool CWriteBehindStream::Flush()
{
    bool sent = true;
    for (const CStretch& s : m_stretches) {
        sent = m_inner->Seek(s.offset) && m_inner->WriteExact(s.bytes.data(), s.bytes.size());
        if (!sent)
            break; // what follows counts on what failed: it is dropped too
    }
    DropWrites();
    return sent && m_inner->Flush();
}

bool CWriteBehindStream::Keep(const unsigned char* bytes, size_t count)
{
    const int64_t start = m_position;
    const int64_t end = start + static_cast<int64_t>(count);
    // The bytes go into the stretch they start in, else the one they carry on.
    CStretch* into = nullptr;
    for (CStretch& s : m_stretches)
        if (start >= s.offset && start < s.End())
            into = &s;
    for (CStretch& s : m_stretches)
        if (!into && start == s.End())
            into = &s;
    // Stretches never overlap: one that grew into another would have to be merged.
    bool clash = false;
    for (const CStretch& s : m_stretches)
        clash = clash || (&s != into && start < s.End() && end > s.offset);
    if (clash || (!into && m_stretches.size() >= kMaxStretches)) {
        // Rare: sent out instead of merged.
        if (!Flush())
            return false;
        into = nullptr;
    }
    if (!into) {
        m_stretches.push_back({start, std::move(m_spare)});
        m_spare = {};
        into = &m_stretches.back();
        into->bytes.clear();
    }
    const size_t at = static_cast<size_t>(start - into->offset);
    const size_t over = std::min(count, into->bytes.size() - at);
    if (over > 0)
        std::memcpy(into->bytes.data() + at, bytes, over);
    into->bytes.insert(into->bytes.end(), bytes + over, bytes + count);
    m_waiting += count - over;
    m_position = end;
    return m_waiting <= m_bound || Flush();
}

size_t CWriteBehindStream::Write(const void* buffer, size_t count)
{
    if (count == 0)
        return 0;
    if (m_held && m_inner->IsWritable())
        return Keep(static_cast<const unsigned char*>(buffer), count) ? count : 0;
    if (!m_inner->Seek(m_position))
        return 0;
    const size_t done = m_inner->Write(buffer, count);
    m_position += static_cast<int64_t>(done);
    return done;
}

size_t CWriteBehindStream::Read(void* buffer, size_t count)
{
    size_t done = 0;
    if (m_stretches.empty()) {
        // Straight through, so the stream below sees reads as reads.
        if (!m_inner->Seek(m_position))
            return 0;
        done = m_inner->Read(buffer, count);
    } else {
        done = ReadAt(buffer, count, m_position);
    }
    m_position += static_cast<int64_t>(done);
    return done;
}

size_t CWriteBehindStream::ReadAt(void* buffer, size_t count, int64_t offset) const
{
    if (offset < 0)
        return 0;
    size_t done = m_inner->ReadAt(buffer, count, offset);
    if (m_stretches.empty())
        return done;
    auto* bytes = static_cast<unsigned char*>(buffer);
    const int64_t end = std::min(offset + static_cast<int64_t>(count), Size());
    if (offset + static_cast<int64_t>(done) < end) {
        // Past the end below: what lies before the stretches reads as a gap in a file does.
        std::memset(bytes + done, 0, static_cast<size_t>(end - offset) - done);
        done = static_cast<size_t>(end - offset);
    }
    for (const CStretch& s : m_stretches) {
        const int64_t from = std::max(offset, s.offset), to = std::min(end, s.End());
        if (from < to)
            std::memcpy(bytes + (from - offset), s.bytes.data() + (from - s.offset), static_cast<size_t>(to - from));
    }
    return done;
}

bool CWriteBehindStream::Seek(int64_t offset, SeekFrom from)
{
    const int64_t base = from == Begin ? 0 : from == Current ? m_position : Size();
    if (base < 0 || base + offset < 0)
        return false;
    m_position = base + offset;
    return true;
}

int64_t CWriteBehindStream::Size() const
{
    int64_t size = m_inner->Size();
    if (size < 0)
        return size;
    for (const CStretch& s : m_stretches)
        size = std::max(size, s.End());
    return size;
}

bool CWriteBehindStream::Truncate(int64_t length)
{
    return Flush() && m_inner->Truncate(length);
}

bool CWriteBehindStream::UnlockRegion(int64_t offset, int64_t length)
{
    // Others may write and count once the lock goes: everything is there first.
    const bool sent = Flush();
    return m_inner->UnlockRegion(offset, length) && sent;
}
