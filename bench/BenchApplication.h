#pragma once

#include <QGuiApplication>

#include <benchmark/benchmark.h>

// The benchmarks of the program, run with the application that fonts need
// (on the offscreen platform).
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
