// fuzz-deps: drel_layers
// Opens an elevation grid from bytes and samples it: nearest values over
// and around its extent, and bilinear values at and past its edges with
// and without the column cache. Then paints it into a small picture, whole
// and zoomed into a corner, by nearest cell and interpolated, directly and
// through a second context.
#include "layers/GridFile.h"
#include "platform/DC.h"
#include "platform/Stream.h"

#include <QImage>

#include <cstdint>
#include <memory>

namespace {

void Paint(CGridFile& file, const CMapRect& extent)
{
    CGridFile::ColourClasses classes;
    classes.classes = {{-1e300, 0, RGB(255, 0, 0)}, {-1e300, 100, RGB(0, 128, 0)}, {-1e300, 4000, RGB(0, 0, 255)}};
    CMapRect whole, corner;
    file.MapToCells(extent, whole);
    corner = CMapRect(-0.7, -0.3, 1.9, 2.2);
    QImage image(31, 23, QImage::Format_RGB32), spare(31, 23, QImage::Format_RGB32);
    image.fill(Qt::white);
    spare.fill(Qt::white);
    CDC dc(image), second(spare);
    for (const bool interpolate : {false, true}) {
        file.DrawGrid(dc, CRect(0, 0, 30, 22), whole, nullptr, classes, interpolate);
        file.DrawGrid(dc, CRect(-5, 3, 40, 19), corner, &second, classes, interpolate);
    }
}

} // namespace

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
        // The cache serves sampling down one column.
        file.SetColumnCache(i % 2 == 0);
        for (int j = -1; j <= kSteps + 1; ++j) {
            const double fx = static_cast<double>(i) / kSteps, fy = static_cast<double>(j) / kSteps;
            const int value = file.ValueAt(CMapPoint(extent.left + fx * (extent.right - extent.left),
                                                     extent.top + fy * (extent.bottom - extent.top)));
            if (value < -32768 || value > 0xFFFFFF)
                __builtin_trap();
            file.Interpolate(fx * file.GetColumnCount(), fy * file.GetRowCount());
        }
    }
    Paint(file, extent);
    return 0;
}
