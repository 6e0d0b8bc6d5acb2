#pragma once

#include "tools/demo/DemoTown.h"

#include <string>
#include <vector>

// The arguments of drel-demo: OUTDIR [--seed N] [--streets N], or --help.
struct CDemoCommandLine {
    std::string folder; // as given on the command line
    CDemoOptions options;
    bool help = false;

    // The arguments after the program's name; false with the reason in error.
    bool Parse(const std::vector<std::string>& arguments, std::string& error);
    static std::string Usage();
};
