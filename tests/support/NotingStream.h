#pragma once

#include "platform/Stream.h"

#include <cstdint>
#include <vector>

// A stream in memory that notes each write it gets, and fails those that
// would reach past failFrom.
class CNotingStream : public CMemoryStream {
public:
    struct CNoted {
        int64_t offset;
        size_t count;
    };
    size_t Write(const void* buffer, size_t count) override
    {
        writes.push_back({Tell(), count});
        if (Tell() + static_cast<int64_t>(count) > failFrom)
            return 0;
        return CMemoryStream::Write(buffer, count);
    }
    std::vector<CNoted> writes;
    int64_t failFrom = INT64_MAX;
};
