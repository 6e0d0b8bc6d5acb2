#pragma once

// What the benchmarks of the line layer formats share: one layer of
// 1,000,000 lines of 20 vertices each from seeded random walks, read
// through windows of 0.01 % to 100 % of its extent's area, with and
// without the spatial index and an attribute filter (CLASS = 'A', every
// fourth line), and the index against the scan window by window in one
// run. Each format writes the same lines into its own files, so the
// formats compare with each other line for line. Window sizes are given in
// hundredths of a percent.

#include "core/DbfEngine.h"
#include "core/MapRect.h"
#include "core/Shape.h"
#include "platform/Path.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

constexpr int kBenchLines = 1000000;
constexpr int kBenchVertices = 20;

// The attribute fields of every line: its class letter and its number.
inline std::vector<CDbfFieldInfo> BenchAttributeFields()
{
    std::vector<CDbfFieldInfo> fields(3);
    fields[0].Set("CLASS", 'C', 1, 0);
    fields[1].Set("N", 'N', 8, 0);
    fields[2].Set("", 0, 0, 0);
    return fields;
}

// Appends line n's attribute record (bulk: DbfFlush ends the appends).
inline bool AppendBenchAttributes(DbfHandle& table, int n)
{
    DbfAppendBlank(table);
    DbfPutString(table, 0, std::string(1, "ABCD"[n % 4]));
    DbfPutLong(table, 1, n);
    return DbfWriteHere(table);
}

// The files of one benchmark layer and what was written into them.
struct CBenchLineLayer {
    std::filesystem::path folder;
    std::string path;  // the file a source opens
    std::string index; // its spatial index
    std::vector<CMapRect> boxes;
    CMapRect extent;
    bool made = false;

    // Calls write(n, points, box) for every line, points holding its
    // kBenchVertices vertices; stops at the first false.
    template <class Write>
    bool ForEachLine(Write write)
    {
        std::mt19937 random(20240301);
        std::uniform_real_distribution<double> start(0, 1000.0), step(-0.5, 0.5);
        boxes.reserve(kBenchLines);
        CMapPoint points[kBenchVertices];
        for (int n = 0; n < kBenchLines; ++n) {
            CMapPoint p(start(random), start(random));
            CMapRect box;
            for (CMapPoint& vertex : points) {
                vertex = p;
                box.UnionPoint(p);
                p.x += step(random);
                p.y += step(random);
            }
            boxes.push_back(box);
            extent.UnionRect(extent, box);
            if (!write(n, static_cast<const CMapPoint*>(points), box))
                return false;
        }
        return true;
    }

    // The window of that share of the extent's area (in hundredths of a
    // percent) around its centre.
    CMapRect Window(int share) const
    {
        CMapRect window = extent;
        window.Scale(std::sqrt(share / 10000.0));
        return window;
    }

    int Expected(const CMapRect& window, bool filtered) const
    {
        int count = 0;
        for (int n = 0; n < kBenchLines; ++n) {
            const CMapRect& b = boxes[static_cast<size_t>(n)];
            if ((!filtered || n % 4 == 0) && b.left <= window.right && b.right >= window.left &&
                b.bottom <= window.top && b.top >= window.bottom)
                ++count;
        }
        return count;
    }

    // The index file present or put aside; built the first time it is wanted.
    template <class Source>
    bool UseIndex(bool use)
    {
        const std::string aside = index + ".off";
        if (use) {
            if (PathExists(aside))
                return RenameFile(aside, index);
            if (PathExists(index))
                return true;
            Source source;
            return source.Open(path) && source.BuildSpatialIndex();
        }
        return !PathExists(index) || RenameFile(index, aside);
    }
};

// Opens the layer as a drawing pass does and reads every line in the
// window; the number of lines, or -1.
template <class Source>
int ReadBenchWindow(const CBenchLineLayer& layer, const CMapRect& window, bool filtered, int64_t& points,
                    bool& indexed)
{
    Source source;
    if (!source.Open(layer.path) || (filtered && !source.SetFilter("CLASS = 'A'")))
        return -1;
    source.SetQueryRect(&window);
    indexed = source.IsIndexInUse();
    int lines = 0;
    CShape shape;
    while (source.ReadNextShape(shape)) {
        ++lines;
        points += shape.GetPointCount();
    }
    return source.GetError() == 0 ? lines : -1;
}

// The window of the benchmark's first argument, its lines read once and
// checked; false (the benchmark skipped) when they are not the lines in it.
template <class Source>
bool CheckBenchWindow(benchmark::State& state, CBenchLineLayer& layer, bool index, bool filtered,
                      CMapRect& window, int& expected)
{
    const int share = static_cast<int>(state.range(0));
    if (!layer.made || !layer.UseIndex<Source>(index)) {
        state.SkipWithError("the layer could not be made");
        return false;
    }
    window = layer.Window(share);
    expected = layer.Expected(window, filtered);
    int64_t points = 0;
    bool indexed = false;
    if (ReadBenchWindow<Source>(layer, window, filtered, points, indexed) != expected ||
        points != int64_t(expected) * kBenchVertices) {
        state.SkipWithError("the lines read are not the lines in the window");
        return false;
    }
    // Windows under a quarter of a large layer go through the index whenever there is one.
    if (indexed != (index && share < 2500)) {
        state.SkipWithError("the index was not used as it should be");
        return false;
    }
    return true;
}

// The benchmark body: arguments window share, index, filter.
template <class Source>
void ReadBenchWindows(benchmark::State& state, CBenchLineLayer& layer)
{
    const bool index = state.range(1) != 0, filtered = state.range(2) != 0;
    CMapRect window;
    int expected = 0;
    if (!CheckBenchWindow<Source>(state, layer, index, filtered, window, expected))
        return;
    int64_t points = 0;
    bool indexed = false;
    for (auto _ : state) {
        points = 0;
        benchmark::DoNotOptimize(ReadBenchWindow<Source>(layer, window, filtered, points, indexed));
    }
    state.counters["lines"] = expected;
    state.SetItemsProcessed(state.iterations() * expected);
}

// The same window read with the index and without it in turn: the time is
// the indexed reading's, "scan_ms" the other's and "ratio" the first over
// the second.
template <class Source>
void ReadBenchWindowsBothWays(benchmark::State& state, CBenchLineLayer& layer)
{
    CMapRect window;
    int expected = 0;
    if (!CheckBenchWindow<Source>(state, layer, false, false, window, expected) ||
        !CheckBenchWindow<Source>(state, layer, true, false, window, expected))
        return;
    double indexed = 0, scanned = 0;
    for (auto _ : state) {
        double seconds[2] = {};
        for (const bool index : {true, false}) {
            if (!layer.UseIndex<Source>(index)) {
                state.SkipWithError("the index could not be put aside");
                return;
            }
            int64_t points = 0;
            bool used = false;
            const auto begin = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(ReadBenchWindow<Source>(layer, window, false, points, used));
            seconds[index ? 0 : 1] = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        }
        indexed += seconds[0];
        scanned += seconds[1];
        state.SetIterationTime(seconds[0]);
    }
    state.counters["lines"] = expected;
    state.counters["scan_ms"] = 1000 * scanned / static_cast<double>(state.iterations());
    state.counters["ratio"] = indexed / scanned;
}

// The benchmarks of a format: BM_ReadWindow and BM_IndexAgainstScan over
// one layer of type Layer read through Source. Window shares in hundredths
// of a percent: 0.01 % to 100 %, 0.5 % among them.
#define DREL_BENCH_WINDOWS(Layer, Source)                                                                   \
    Layer& BenchLayer()                                                                                     \
    {                                                                                                       \
        static Layer layer;                                                                                 \
        return layer;                                                                                       \
    }                                                                                                       \
    void BM_ReadWindow(benchmark::State& state) { ReadBenchWindows<Source>(state, BenchLayer()); }           \
    void BM_IndexAgainstScan(benchmark::State& state) { ReadBenchWindowsBothWays<Source>(state, BenchLayer()); } \
    BENCHMARK(BM_ReadWindow)                                                                                \
        ->ArgNames({"share", "index", "filter"})                                                            \
        ->ArgsProduct({{1, 10, 50, 100, 1000, 2000, 10000}, {0, 1}, {0, 1}})                                \
        ->Unit(benchmark::kMillisecond);                                                                    \
    BENCHMARK(BM_IndexAgainstScan)                                                                          \
        ->ArgNames({"share"})                                                                               \
        ->Args({1})                                                                                         \
        ->Args({10})                                                                                        \
        ->Args({50})                                                                                        \
        ->Args({100})                                                                                       \
        ->Args({1000})                                                                                      \
        ->Args({2000})                                                                                      \
        ->Args({10000})                                                                                     \
        ->UseManualTime()                                                                                   \
        ->Unit(benchmark::kMillisecond)
