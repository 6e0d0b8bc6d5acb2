#pragma once

#include "tools/demo/DemoTown.h"

#include <string>
#include <vector>

// Writes the demo town as a map through the system's own writers: GDB
// layers of streets (with the routing fields), buildings, addresses and
// parks, the river as a Shapefile, the sights as a table of coordinates,
// a GPS track, an elevation grid with its layer, a shaded relief picture
// with its world file, two legend groups (the relief hidden), labels,
// saved places and the routing, street, address and legend settings.
// Styles are set explicitly; what layers take from the style source while
// they are made follows the seed.
class CDemoMapWriter {
public:
    static constexpr const char* kMapFile = "demo.map";

    // Into an existing folder (stored form); false with the reason in error.
    static bool Write(const CDemoTown& town, const std::string& folder, std::string& error);
    // Every file the demo map may consist of, the map file first.
    static const std::vector<std::string>& FileNames();
};

// Makes the town of the options and writes it into the folder (stored
// form), which is made when missing. The new map is written beside the old
// one and takes its place only when it is whole, so a failure leaves what
// the folder held.
bool MakeDemoMap(const std::string& folder, const CDemoOptions& options, std::string& error);
