// bench-deps: drel_layers
// A spatial index of 1,000,000 object boxes: building it, and answering
// query windows of 1 %, 10 % and 100 % of the extent's area through it
// (the index's candidates checked against their real boxes, as a reader
// does) against a scan of every box. The boxes are seeded random: mostly
// short segments and points spread over a 100 km square.
#include "core/BitSet.h"
#include "layers/SpatialIndex.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kCount = 1000000;
constexpr int kWindows = 16;
const CMapRect kExtent(500000, 6100000, 600000, 6000000);

bool Meet(const CMapRect& a, const CMapRect& b)
{
    return a.left <= b.right && a.right >= b.left && a.bottom <= b.top && a.top >= b.bottom;
}

struct CData {
    std::vector<CMapRect> boxes;

    CData()
    {
        std::mt19937 random(20240612);
        std::uniform_real_distribution<double> unit(0, 1);
        boxes.reserve(kCount);
        for (int i = 0; i < kCount; ++i) {
            const double x = kExtent.left + unit(random) * kExtent.Width();
            const double y = kExtent.bottom + unit(random) * kExtent.Height();
            const double size = i % 4 == 0 ? 0 : 200 * unit(random); // every fourth a point
            boxes.emplace_back(x, std::min(kExtent.top, y + size), std::min(kExtent.right, x + size), y);
        }
    }

    bool Fill(CSpatialIndex& index) const
    {
        if (!index.Create(kExtent, kCount, CSpatialIndex::kSourceCellCount))
            return false;
        for (int i = 0; i < kCount; ++i)
            if (!index.AddBox(boxes[static_cast<size_t>(i)], i))
                return false;
        return index.Build();
    }

    // Windows of the given share of the extent's area at seeded places inside it.
    static std::vector<CMapRect> Windows(int percent)
    {
        std::mt19937 random(static_cast<unsigned>(percent));
        std::uniform_real_distribution<double> unit(0, 1);
        const double side = std::sqrt(percent / 100.0);
        const double w = side * kExtent.Width(), h = side * kExtent.Height();
        std::vector<CMapRect> windows;
        for (int i = 0; i < kWindows; ++i) {
            const double left = kExtent.left + unit(random) * (kExtent.Width() - w);
            const double bottom = kExtent.bottom + unit(random) * (kExtent.Height() - h);
            windows.emplace_back(left, bottom + h, left + w, bottom);
        }
        return windows;
    }

    int Scan(const CMapRect& window, CBitSet& hits) const
    {
        hits.Allocate(kCount);
        int count = 0;
        for (int i = 0; i < kCount; ++i) {
            if (Meet(boxes[static_cast<size_t>(i)], window)) {
                hits.Set(i);
                ++count;
            }
        }
        return count;
    }

    // The index's candidates narrowed to the boxes that really meet the window.
    int Query(CSpatialIndex& index, const CMapRect& window, CBitSet& hits) const
    {
        if (index.QueryRect(window, hits) < 0)
            return -1;
        int count = 0;
        for (int i = hits.FindNext(-1); i >= 0; i = hits.FindNext(i))
            count += Meet(boxes[static_cast<size_t>(i)], window);
        return count;
    }
};

const CData& Data()
{
    static const CData data;
    return data;
}

CSpatialIndex& BuiltIndex()
{
    static CSpatialIndex index;
    static const bool built = Data().Fill(index);
    (void)built;
    return index;
}

void BM_BuildIndex(benchmark::State& state)
{
    const CData& data = Data();
    bool checked = false;
    for (auto _ : state) {
        CSpatialIndex index;
        if (!data.Fill(index)) {
            state.SkipWithError("the index could not be built");
            return;
        }
        if (!checked) {
            state.PauseTiming();
            CBitSet hits;
            if (index.QueryRect(kExtent, hits) != kCount) {
                state.SkipWithError("the index lost boxes");
                return;
            }
            checked = true;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);

void BM_QueryThroughIndex(benchmark::State& state)
{
    const CData& data = Data();
    CSpatialIndex& index = BuiltIndex();
    const std::vector<CMapRect> windows = CData::Windows(static_cast<int>(state.range(0)));
    CBitSet hits, scanned;
    for (const CMapRect& window : windows) {
        if (data.Query(index, window, hits) != data.Scan(window, scanned)) {
            state.SkipWithError("the index answers differently from the scan");
            return;
        }
    }
    for (auto _ : state) {
        int64_t total = 0;
        for (const CMapRect& window : windows)
            total += data.Query(index, window, hits);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kWindows);
}
BENCHMARK(BM_QueryThroughIndex)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_QueryByScan(benchmark::State& state)
{
    const CData& data = Data();
    const std::vector<CMapRect> windows = CData::Windows(static_cast<int>(state.range(0)));
    CBitSet hits;
    for (auto _ : state) {
        int64_t total = 0;
        for (const CMapRect& window : windows)
            total += data.Scan(window, hits);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kWindows);
}
BENCHMARK(BM_QueryByScan)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
