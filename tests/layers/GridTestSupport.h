#pragma once

#include "layers/GridFile.h"
#include "platform/Stream.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

// The bytes of an ".rmp" grid, laid out by hand so tests do not lean on
// the reader's own decoding.
struct GridBytes {
    int16_t magic = CGridFile::kMagic;
    int16_t type = CGridFile::kPacked2;
    double xFirst = 0, xLast = 0, cellWidth = 0;
    uint16_t columns = 0;
    double yFirst = 0, yLast = 0, cellHeight = 0;
    uint16_t rows = 0;
    std::vector<uint32_t> cells; // row by row, the first row first

    std::vector<unsigned char> Header() const
    {
        std::vector<unsigned char> bytes(56);
        Put(bytes, 0, magic);
        Put(bytes, 2, type);
        Put(bytes, 4, xFirst);
        Put(bytes, 12, xLast);
        Put(bytes, 20, cellWidth);
        Put(bytes, 28, columns);
        Put(bytes, 30, yFirst);
        Put(bytes, 38, yLast);
        Put(bytes, 46, cellHeight);
        Put(bytes, 54, rows);
        return bytes;
    }

    std::vector<unsigned char> Bytes() const
    {
        std::vector<unsigned char> bytes = Header();
        for (uint32_t cell : cells) {
            if (type == CGridFile::kInt24) {
                Put(bytes, bytes.size(), cell);
            } else {
                Put(bytes, bytes.size(), static_cast<uint16_t>(cell));
            }
        }
        return bytes;
    }

    // The tests run on little-endian machines, as the file is.
    template <class T>
    static void Put(std::vector<unsigned char>& bytes, size_t at, T value)
    {
        if (bytes.size() < at + sizeof value)
            bytes.resize(at + sizeof value);
        std::memcpy(bytes.data() + at, &value, sizeof value);
    }
};

// A grid of columns x rows with cell centres one unit apart, x from 10
// eastwards and the first row the northern one at y = 50.
inline GridBytes NorthFirstGrid(int16_t type, uint16_t columns, uint16_t rows, std::vector<uint32_t> cells)
{
    GridBytes grid;
    grid.type = type;
    grid.columns = columns;
    grid.rows = rows;
    grid.xFirst = 10;
    grid.xLast = 10 + (columns - 1);
    grid.cellWidth = 1;
    grid.yFirst = 50;
    grid.yLast = 50 - (rows - 1);
    grid.cellHeight = 1;
    grid.cells = std::move(cells);
    return grid;
}

// A grid in memory that counts the rows read and can fail every read
// from a given offset on, as a failing disk would.
class CRowCountingStream : public CMemoryStream {
public:
    explicit CRowCountingStream(std::vector<unsigned char> data) : CMemoryStream(std::move(data), false) {}

    size_t Read(void* buffer, size_t count) override
    {
        if (Tell() >= CGridFile::kHeaderSize)
            ++*rowReads;
        if (failFrom >= 0 && Tell() + static_cast<int64_t>(count) > failFrom)
            return 0;
        return CMemoryStream::Read(buffer, count);
    }

    std::shared_ptr<int> rowReads = std::make_shared<int>(0);
    int64_t failFrom = -1;
};

inline std::unique_ptr<CGridFile> OpenGrid(const GridBytes& grid)
{
    auto file = std::make_unique<CGridFile>();
    if (!file->Open(std::make_unique<CMemoryStream>(grid.Bytes(), false)))
        return nullptr;
    return file;
}

// Opens a grid over a counting stream; *reads counts its row reads.
inline std::unique_ptr<CGridFile> OpenCounted(const GridBytes& grid, std::shared_ptr<int>& reads,
                                              int64_t failFrom = -1)
{
    auto stream = std::make_unique<CRowCountingStream>(grid.Bytes());
    stream->failFrom = failFrom;
    reads = stream->rowReads;
    auto file = std::make_unique<CGridFile>();
    if (!file->Open(std::move(stream)))
        return nullptr;
    return file;
}
