#pragma once

#include "platform/Stream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The memo file of a table (".FPT", FoxPro layout, integers big-endian): a
// 512-byte header with the next free block and the block size, then texts,
// each starting at a block with an 8-byte block header (type, length).
struct DbfMemoFile {
    std::unique_ptr<CStream> stream;
    std::string path;
    uint16_t blockSize = 0;
};

constexpr int kDbfMemoHeaderSize = 512;
constexpr int kDbfMemoDefaultBlockSize = 64;

// Opens an existing memo file, for writing when it can, else for reading.
// Null when it does not open or its header is unusable (block size 0).
std::unique_ptr<DbfMemoFile> MemoOpen(const std::string& path);
std::unique_ptr<DbfMemoFile> MemoOpenStream(std::unique_ptr<CStream> stream, std::string path = {});
// A new, empty memo file; null when it cannot be written (nothing is left behind).
std::unique_ptr<DbfMemoFile> MemoCreate(const std::string& path, int blockSize);
// Empties an open memo file and writes a new header into the same stream.
bool MemoReset(DbfMemoFile& memo, int blockSize);
void MemoClose(std::unique_ptr<DbfMemoFile>& memo);

// The text stored at a block. False for block 0 and below, a block outside
// the file, or a length the file does not hold.
bool MemoRead(DbfMemoFile& memo, long block, std::string& text);
// Stores a text. When block names a stored text whose blocks have room, the
// text is written there; else it goes to new blocks at the end of the file. An empty
// text needs no block (block becomes 0). 0 on success, -1 on failure.
int MemoWrite(DbfMemoFile& memo, uint32_t& block, std::string_view text);
