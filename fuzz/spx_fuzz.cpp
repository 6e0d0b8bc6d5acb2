// fuzz-deps: drel_layers
// Loads a spatial index from bytes, for a table stamped as the file says
// when the record count it names is plausible (else for another table),
// and queries rectangles and points over and around its extent. An index
// that loads must save back to the very same bytes.
#include "core/BitSet.h"
#include "layers/SpatialIndex.h"
#include "platform/ByteOrder.h"
#include "platform/Stream.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CSpatialIndex::TableStamp stamp{1000, 0};
    if (size >= CSpatialIndex::kHeaderSize) {
        const int32_t records = GetLittleEndian<int32_t>(data + 56);
        if (records >= 0 && records <= (1 << 20))
            stamp = {records, GetLittleEndian<uint32_t>(data + 60)};
    }
    CMemoryStream stream(data, size);
    CSpatialIndex index;
    if (!index.Load(stream, stamp)) {
        if (index.GetError() == CSpatialIndex::kNoError || index.GetItemCount() != 0)
            __builtin_trap();
        return 0;
    }

    CMemoryStream saved;
    if (!index.Save(saved, stamp) || saved.Data().size() != size ||
        (size > 0 && std::memcmp(saved.Data().data(), data, size) != 0))
        __builtin_trap();

    const CMapRect extent = index.GetExtent();
    const int capacity = index.GetItemCapacity();
    constexpr int kSteps = 6;
    CBitSet hits;
    for (int i = -1; i <= kSteps; ++i) {
        for (int j = -1; j <= kSteps; ++j) {
            const double fx = static_cast<double>(i) / kSteps, fy = static_cast<double>(j) / kSteps;
            const CMapPoint p(extent.left + fx * extent.Width(), extent.bottom + fy * extent.Height());
            for (int r = index.BeginPointQuery(p); r >= 0; r = index.Next())
                if (r >= capacity)
                    __builtin_trap();
            const CMapRect rect(p.x, p.y + extent.Height() / 3, p.x + extent.Width() / 2, p.y);
            int count = 0;
            for (int r = index.BeginRectQuery(rect); r >= 0; r = index.Next(), ++count)
                if (r >= capacity)
                    __builtin_trap();
            const int queried = index.QueryRect(rect, hits);
            if (queried != count && queried != -1)
                __builtin_trap();
        }
    }
    return 0;
}
