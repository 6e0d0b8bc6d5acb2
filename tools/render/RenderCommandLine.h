#pragma once

#include "core/MapRect.h"

#include <string>
#include <vector>

// The arguments of drel-render: MAP OUT --size WxH [--extent L,B,R,T |
// --bookmark NAME], or --help.
struct CRenderCommandLine {
    // A side of the picture; its bytes are bounded by the export image.
    static constexpr int kMaxSide = 30000;

    std::string mapPath; // as given on the command line
    std::string outPath;
    int width = 0;
    int height = 0;
    bool hasExtent = false;
    CMapRect extent; // in map units, when given
    std::string bookmark; // as given (UTF-8); empty for none
    bool help = false;

    // The arguments after the program's name; false with the reason in error.
    bool Parse(const std::vector<std::string>& arguments, std::string& error);
    static std::string Usage();
};
