#include "core/RangeReads.h"

#include "core/ParallelTasks.h"
#include "platform/Stream.h"

#include <algorithm>
#include <new>

namespace {

// Ranges per task: enough that a task's reads can join up, few enough
// that the threads share the work.
constexpr size_t kRangesPerTask = 32;

void ReadTask(const CStream& stream, std::vector<CRangeRead>& ranges, size_t first, size_t end)
{
    std::vector<unsigned char> span;
    for (size_t i = first; i < end;) {
        const CRangeRead& start = ranges[i];
        if (start.length <= 0) {
            ranges[i++].bytes.clear();
            continue;
        }
        size_t last = i;
        int64_t spanEnd = start.offset + start.length;
        for (size_t k = i + 1; k < end; ++k) {
            const CRangeRead& next = ranges[k];
            if (next.length <= 0)
                continue;
            if (next.offset < spanEnd || next.offset - spanEnd > kRangeGapBytes ||
                next.offset + next.length - start.offset > kRangeSpanBytes)
                break;
            last = k;
            spanEnd = next.offset + next.length;
        }
        span.resize(static_cast<size_t>(spanEnd - start.offset));
        const int64_t got = static_cast<int64_t>(stream.ReadAt(span.data(), span.size(), start.offset));
        for (; i <= last; ++i) {
            CRangeRead& range = ranges[i];
            if (range.length <= 0) {
                range.bytes.clear();
                continue;
            }
            const int64_t at = range.offset - start.offset;
            const int64_t have = std::clamp<int64_t>(got - at, 0, range.length);
            range.bytes.assign(span.data() + at, span.data() + at + have);
        }
    }
}

} // namespace

void ReadRanges(const CStream& stream, std::vector<CRangeRead>& ranges, size_t count)
{
    count = std::min(count, ranges.size());
    int64_t total = 0;
    for (size_t i = 0; i < count; ++i) {
        CRangeRead& range = ranges[i];
        if (range.length > kRangeBudgetBytes - total)
            range.length = 0;
        total += std::max<int64_t>(range.length, 0);
    }
    const size_t tasks = (count + kRangesPerTask - 1) / kRangesPerTask;
    RunTasks(static_cast<int>(tasks), [&](int task) {
        const size_t first = size_t(task) * kRangesPerTask, end = std::min(count, first + kRangesPerTask);
        try {
            ReadTask(stream, ranges, first, end);
        } catch (const std::bad_alloc&) {
            // The reader reads these itself and says what it lacks.
            for (size_t i = first; i < end; ++i)
                ranges[i].bytes.clear();
        }
    });
}
