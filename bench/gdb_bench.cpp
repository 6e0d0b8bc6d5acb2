// bench-deps: drel_layers
// Reading a GDB layer of the benchmark lines (bench/LineWindowBench.h)
// through windows of its extent, with and without the spatial index and an
// attribute filter. The layer is made once per run in the temporary folder.
#include "bench/GdbLineLayer.h"

namespace {

void BM_ReadWindow(benchmark::State& state)
{
    static CGdbLineLayer layer;
    ReadBenchWindows<CGdbSource>(state, layer);
}
DREL_BENCH_WINDOWS(BM_ReadWindow);

} // namespace

BENCHMARK_MAIN();
