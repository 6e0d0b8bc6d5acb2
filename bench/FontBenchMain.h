#pragma once

// The main of benchmarks that draw text: labels need fonts, and fonts an
// application, here on the offscreen platform.

#include <benchmark/benchmark.h>

#include <QGuiApplication>

inline int RunBenchmarksWithFonts(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
