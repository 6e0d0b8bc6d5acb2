#include "core/DbfMemoFile.h"

#include "platform/ByteOrder.h"
#include "platform/Path.h"

#include <algorithm>
#include <cstring>

namespace {

// The first block after the header.
uint64_t FirstDataBlock(const DbfMemoFile& memo)
{
    return (kDbfMemoHeaderSize + memo.blockSize - 1) / memo.blockSize;
}

uint64_t BlocksFor(uint64_t bytes, uint64_t blockSize)
{
    return (bytes + blockSize - 1) / blockSize;
}

// Length of the text stored at a block, when the block lies after the
// header and the file holds the whole text.
bool StoredLength(DbfMemoFile& memo, uint64_t block, uint32_t& length)
{
    if (block < FirstDataBlock(memo) || block > UINT32_MAX)
        return false;
    const int64_t offset = static_cast<int64_t>(block * memo.blockSize);
    const int64_t size = memo.stream->Size();
    unsigned char head[8];
    if (offset + 8 > size || !memo.stream->Seek(offset) || !memo.stream->ReadExact(head, sizeof head))
        return false;
    length = GetBigEndian<uint32_t>(head + 4);
    return length <= static_cast<uint64_t>(size - offset - 8);
}

} // namespace

std::unique_ptr<DbfMemoFile> MemoOpenStream(std::unique_ptr<CStream> stream, std::string path)
{
    unsigned char head[8];
    if (!stream || !stream->Seek(0) || !stream->ReadExact(head, sizeof head))
        return nullptr;
    auto memo = std::make_unique<DbfMemoFile>();
    memo->blockSize = GetBigEndian<uint16_t>(head + 6);
    if (memo->blockSize == 0)
        return nullptr;
    memo->stream = std::move(stream);
    memo->path = std::move(path);
    return memo;
}

std::unique_ptr<DbfMemoFile> MemoOpen(const std::string& path)
{
    std::unique_ptr<CStream> stream = CFileStream::Open(path, FileMode::ReadWrite);
    if (!stream)
        stream = CFileStream::Open(path, FileMode::Read);
    return MemoOpenStream(std::move(stream), path);
}

bool MemoReset(DbfMemoFile& memo, int blockSize)
{
    if (blockSize < 1 || blockSize > 0xFFFF || !memo.stream || !memo.stream->IsWritable())
        return false;
    memo.blockSize = static_cast<uint16_t>(blockSize);
    unsigned char head[kDbfMemoHeaderSize] = {};
    PutBigEndian<uint32_t>(head, static_cast<uint32_t>(FirstDataBlock(memo)));
    head[6] = static_cast<unsigned char>(blockSize >> 8);
    head[7] = static_cast<unsigned char>(blockSize);
    return memo.stream->Truncate(0) && memo.stream->Seek(0) && memo.stream->WriteExact(head, sizeof head) &&
           memo.stream->Flush();
}

std::unique_ptr<DbfMemoFile> MemoCreate(const std::string& path, int blockSize)
{
    auto memo = std::make_unique<DbfMemoFile>();
    memo->stream = CFileStream::Open(path, FileMode::CreateAlways);
    if (!memo->stream)
        return nullptr;
    memo->path = path;
    if (!MemoReset(*memo, blockSize)) {
        memo->stream.reset();
        RemoveFile(path);
        return nullptr;
    }
    return memo;
}

void MemoClose(std::unique_ptr<DbfMemoFile>& memo)
{
    memo.reset();
}

bool MemoRead(DbfMemoFile& memo, long block, std::string& text)
{
    uint32_t length = 0;
    if (block <= 0 || !StoredLength(memo, static_cast<uint64_t>(block), length))
        return false;
    std::string bytes(length, '\0');
    if (!memo.stream->ReadExact(bytes.data(), length))
        return false;
    text = std::move(bytes);
    return true;
}

int MemoWrite(DbfMemoFile& memo, uint32_t& block, std::string_view text)
{
    if (text.empty()) {
        block = 0;
        return 0;
    }
    CStream& stream = *memo.stream;
    if (!stream.IsWritable() || text.size() > UINT32_MAX - 8)
        return -1;
    const uint64_t need = BlocksFor(text.size() + 8, memo.blockSize);

    uint64_t target = 0;
    uint32_t oldLength = 0;
    if (block > 0 && StoredLength(memo, block, oldLength) && BlocksFor(oldLength, memo.blockSize) >= need) {
        target = block;
    } else {
        // New texts go to the end of the file. The header's next free block
        // is kept in step for other readers but not followed: one that lags
        // would hand out blocks in use, one far beyond the end a huge gap.
        const int64_t size = stream.Size();
        if (size < 0)
            return -1;
        target = std::max(FirstDataBlock(memo), BlocksFor(static_cast<uint64_t>(size), memo.blockSize));
        if (target + need > UINT32_MAX)
            return -1;
        unsigned char head[4];
        PutBigEndian<uint32_t>(head, static_cast<uint32_t>(target + need));
        if (!stream.Seek(0) || !stream.WriteExact(head, sizeof head))
            return -1;
    }

    unsigned char blockHead[8];
    PutBigEndian<uint32_t>(blockHead, 1);
    PutBigEndian<uint32_t>(blockHead + 4, static_cast<uint32_t>(text.size()));
    if (!stream.Seek(static_cast<int64_t>(target * memo.blockSize)) ||
        !stream.WriteExact(blockHead, sizeof blockHead) || !stream.WriteExact(text.data(), text.size()) ||
        !stream.Flush())
        return -1;
    block = static_cast<uint32_t>(target);
    return 0;
}
