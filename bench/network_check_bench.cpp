// bench-deps: drel_routing
// The network check on the 100k-node grid city (100 m blocks, seeded
// lengths, one-way and closed links) with 20 two-node islands beside it:
// the graph of the whole layer, its dead ends and one search from the
// first of them. Every island's ends must be among those reported before
// it is timed.

#include "bench/GridCity.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kIslands = 20;

// The grid's records, then the islands: short streets east of the grid,
// far from each other and from it.
class CIslandSource : public IRouteLayerSource {
public:
    explicit CIslandSource(int side) : m_grid(side), m_side(side) {}

    CMapPoint IslandEnd(int island, int end) const
    {
        return CMapPoint(m_side * 100.0 + 1000.0 * (island + 1) + end * 100.0, 500.0);
    }

    bool OpenLayer(CLayer& layer) override
    {
        m_next = 0;
        return m_grid.OpenLayer(layer);
    }
    void SetQueryRect(const CMapRect& rect) override { m_grid.SetQueryRect(rect); }
    int GetRecordCount() const override { return m_grid.Records() + kIslands; }
    int FindField(const std::string& name) const override { return m_grid.FindField(name); }
    bool ReadNextShape(CShape& shape) override
    {
        if (m_next < m_grid.Records()) {
            ++m_next;
            return m_grid.ReadNextShape(shape);
        }
        if (m_next >= GetRecordCount())
            return false;
        const int island = m_next++ - m_grid.Records();
        const CMapPoint points[] = {IslandEnd(island, 0), IslandEnd(island, 1)};
        shape.SetPoints(2, points);
        return true;
    }
    int GetCurrentRecord() const override { return m_next - 1; }
    long GetFieldLong(int field) const override
    {
        const int island = GetCurrentRecord() - m_grid.Records();
        if (island < 0)
            return m_grid.GetFieldLong(field);
        const long firstId = static_cast<long>(m_side) * m_side + 1 + 2L * island;
        switch (field) {
        case 0:
            return firstId;
        case 1:
            return firstId + 1;
        case 2:
            return 100;
        default:
            return 0;
        }
    }
    double GetFieldDouble(int field) const override { return static_cast<double>(GetFieldLong(field)); }

private:
    CGridSource m_grid;
    int m_side;
    int m_next = 0;
};

struct CIslandCity : CGridCity {
    CIslandCity() : CGridCity(100'000), islands(side) { network.SetLayerSource(&islands); }

    bool Checked()
    {
        std::vector<CMapPoint> out;
        if (!network.CheckConnectivity(out))
            return false;
        for (int island = 0; island < kIslands; ++island)
            for (int end = 0; end < 2; ++end)
                if (std::find(out.begin(), out.end(), islands.IslandEnd(island, end)) == out.end())
                    return false;
        return true;
    }

    CIslandSource islands;
};

void BM_NetworkCheck(benchmark::State& state)
{
    CIslandCity city;
    if (!city.Checked()) {
        state.SkipWithError("an island's dead end was not reported");
        return;
    }
    std::vector<CMapPoint> out;
    for (auto _ : state) {
        city.network.CheckConnectivity(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["reported"] = static_cast<double>(out.size());
}
BENCHMARK(BM_NetworkCheck)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
