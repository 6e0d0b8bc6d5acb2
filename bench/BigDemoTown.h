#pragma once

// The demo town grown to 100,000 streets for the drawing benchmarks: made
// once into a temporary folder that goes with it, and opened in a map view
// of a picture's size at its full extent, as drel-render opens a map.
#include "bench/BenchClock.h"
#include "tools/demo/DemoMapWriter.h"
#include "tools/render/MapRenderer.h"

#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

class CBigDemoTown {
public:
    static constexpr int kStreets = 100000;

    CBigDemoTown(int width, int height, int streets = kStreets)
    {
        folder = std::filesystem::temp_directory_path() / ("drel-bench-demo-" + std::to_string(::getpid()));
        CDemoOptions options;
        options.streets = streets;
        generateMs = Milliseconds([&] { MakeDemoMap(folder.string(), options, error); });
        if (error.empty())
            renderer.Open(folder.string() + "/" + CDemoMapWriter::kMapFile, width, height, error);
    }
    ~CBigDemoTown()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    CBigDemoTown(const CBigDemoTown&) = delete;
    CBigDemoTown& operator=(const CBigDemoTown&) = delete;

    bool Ready() const { return error.empty(); }

    std::filesystem::path folder;
    CMapRenderer renderer;
    double generateMs = 0;
    std::string error;
};
