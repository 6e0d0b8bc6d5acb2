// fuzz-deps: drel_layers
// Opens an elevation grid from bytes and samples it: nearest values over
// and around its extent, and bilinear values at and past its edges with
// and without the column cache.
#include "layers/GridFile.h"
#include "platform/Stream.h"

#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CGridFile file;
    if (!file.Open(std::make_unique<CMemoryStream>(data, size)))
        return 0;
    CMapRect extent;
    if (!file.GetExtent(extent))
        __builtin_trap();
    constexpr int kSteps = 12;
    for (int i = -1; i <= kSteps + 1; ++i) {
        for (int j = -1; j <= kSteps + 1; ++j) {
            const double fx = static_cast<double>(i) / kSteps, fy = static_cast<double>(j) / kSteps;
            const int value = file.ValueAt(CMapPoint(extent.left + fx * (extent.right - extent.left),
                                                     extent.top + fy * (extent.bottom - extent.top)));
            if (value < -32768 || value > 0xFFFFFF)
                __builtin_trap();
            file.SetColumnCache(j % 2 == 0);
            file.Interpolate(fx * file.GetColumnCount(), fy * file.GetRowCount());
        }
    }
    CMapRect cells;
    file.MapToCells(extent, cells);
    return 0;
}
