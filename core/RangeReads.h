#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CStream;

// One byte range of a file wanted, and what of it was read.
struct CRangeRead {
    int64_t offset = 0;
    int64_t length = 0;               // 0: nothing wanted
    std::vector<unsigned char> bytes; // what was read, at most length
};

// Reads the first count ranges, for readers that know many scattered
// objects they will want next (index hits). Ranges that follow each other
// closely are read together, the copying of the bytes between costing less
// than another read; the reads run on several threads, since each one waits
// on the memory of a page met far from the last more than on the
// processor. A range that cannot be read whole keeps what was read. At
// most kRangeBudgetBytes are read in all (a file whose lengths lie cannot
// make a reader hold more): the ranges past that are left unread, for the
// reader to read itself.
void ReadRanges(const CStream& stream, std::vector<CRangeRead>& ranges, size_t count);

// One read may take two ranges this far apart, and span at most so much.
constexpr int64_t kRangeGapBytes = 2048;
constexpr int64_t kRangeSpanBytes = 64 * 1024;
constexpr int64_t kRangeBudgetBytes = 16 << 20;
