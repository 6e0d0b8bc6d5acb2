// bench-deps: drel_layers
// Reading a GDB layer of the benchmark lines (bench/LineWindowBench.h)
// through windows of its extent, with and without the spatial index and an
// attribute filter, and the index against the scan at every window size.
// The layer is made once per run in the temporary folder.
#include "bench/GdbLineLayer.h"

namespace {

DREL_BENCH_WINDOWS(CGdbLineLayer, CGdbSource);

} // namespace

BENCHMARK_MAIN();
