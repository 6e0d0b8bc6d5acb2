#include "core/PolygonUnion.h"

#include "core/MapRect.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Interleaves the bits of two 16-bit values.
uint32_t Morton(uint32_t x, uint32_t y)
{
    const auto spread = [](uint32_t v) {
        v &= 0xFFFF;
        v = (v | (v << 8)) & 0x00FF00FF;
        v = (v | (v << 4)) & 0x0F0F0F0F;
        v = (v | (v << 2)) & 0x33333333;
        return (v | (v << 1)) & 0x55555555;
    };
    return spread(x) | (spread(y) << 1);
}

CMapRect SetExtent(const CPolygonSet& set)
{
    CMapRect extent;
    for (const CPolygonSet::Contour& c : set.Contours())
        for (const CMapPoint& p : c.points)
            if (std::isfinite(p.x) && std::isfinite(p.y))
                extent.UnionPoint(p);
    return extent;
}

// The sets' indices along a Z curve over their extents' centres.
std::vector<size_t> SpatialOrder(const std::vector<CPolygonSet>& sets)
{
    std::vector<CMapPoint> centres(sets.size());
    std::vector<bool> placed(sets.size(), false);
    CMapRect all;
    for (size_t i = 0; i < sets.size(); ++i) {
        const CMapRect e = SetExtent(sets[i]);
        if (!e.IsValid())
            continue;
        centres[i] = e.Center();
        placed[i] = std::isfinite(centres[i].x) && std::isfinite(centres[i].y);
        if (placed[i])
            all.UnionPoint(centres[i]);
    }
    const auto cell = [](double v, double low, double size) {
        const double f = size > 0 ? (v - low) / size * 65535 : 0;
        return static_cast<uint32_t>(std::clamp(std::isfinite(f) ? f : 0.0, 0.0, 65535.0));
    };
    std::vector<uint32_t> keys(sets.size(), 0);
    for (size_t i = 0; i < sets.size(); ++i)
        if (placed[i])
            keys[i] = Morton(cell(centres[i].x, all.left, all.Width()), cell(centres[i].y, all.bottom, all.Height()));
    std::vector<size_t> order(sets.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    return order;
}

} // namespace

bool UnitePolygonSets(std::vector<CPolygonSet>& sets, CPolygonSet& result, const std::function<bool()>& afterEach)
{
    if (sets.empty()) {
        result.Clear();
        return true;
    }
    const std::vector<size_t> order = SpatialOrder(sets);
    for (size_t step = 1; step < order.size(); step *= 2) {
        for (size_t i = 0; i + step < order.size(); i += 2 * step) {
            CPolygonSet& into = sets[order[i]];
            CPolygonSet& absorbed = sets[order[i + step]];
            if (!CPolygonSet::ClipPolygons(CPolygonSet::kUnion, into, absorbed, into))
                return false;
            absorbed.Clear();
            if (afterEach && !afterEach())
                return false;
        }
    }
    CPolygonSet& united = sets[order[0]];
    // A single set has not been through the clipper: normalise it.
    if (order.size() == 1 && !CPolygonSet::ClipPolygons(CPolygonSet::kUnion, united, CPolygonSet(), united))
        return false;
    result = std::move(united);
    return true;
}
