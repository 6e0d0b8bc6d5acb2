#pragma once

#include "core/MapPoint.h"
#include "core/MapRect.h"
#include "tools/demo/DemoTerrain.h"

#include <cstdint>
#include <string>
#include <vector>

// What the demo town is made of.
struct CDemoOptions {
    static constexpr int kDefaultStreets = 400;
    static constexpr int kMinStreets = 12;
    static constexpr int kMaxStreets = 1000000;

    uint64_t seed = 1;
    // Street line objects: the town grows ring by ring round its centre
    // until it has this many, so a larger number keeps the smaller town
    // and adds to it.
    int streets = kDefaultStreets;
};

// One street object: the stretch of a named street between two crossings,
// drawn from its inner end (towards the centre) outwards.
struct CDemoStreet {
    std::vector<CMapPoint> line;
    std::string name; // code page 1257, "Liepų g."
    std::string town;
    int32_t code = 0; // one per named street of a town
    int32_t fromNode = 0;
    int32_t toNode = 0;
    double length = 0; // metres
    // Bit 0: no way from the from node to the to node; bit 1: none back.
    int direction = 0;
    // 2 main street, 1 street, 0 lane.
    int significance = 1;
    double weight = 1;
};

struct CDemoBuilding {
    std::vector<CMapPoint> outline;
    std::string use; // empty for some: they fall into the last class
    int floors = 1;
    double area = 0; // square metres
};

// A house entrance: odd numbers on the left of a street looking away from
// the centre, even ones on the right, rising outwards.
struct CDemoAddress {
    CMapPoint point;
    int32_t streetCode = 0;
    int number = 0;
    char letter = 0; // 'A'.. or 0
    std::string numberText; // "12A"
    std::string text;       // "Liepų g. 12A"
};

struct CDemoPark {
    std::vector<CMapPoint> outline;
    std::string name;
    double area = 0;
};

struct CDemoSight {
    CMapPoint point;
    std::string name; // what it is: "Mokykla"
    std::string address;
};

// One fix of the GPS track; a new trip starts at a fix with start set.
struct CDemoFix {
    CMapPoint point;
    double speed = 0;  // km/h
    double course = 0; // degrees clockwise from north
    int seconds = 0;   // since midnight
    int satellites = 0;
    bool start = false;
};

// The town in map units: metres of the Transverse Mercator grid of 24 E
// (coordinate system 1). Everything follows from the options.
class CDemoTown {
public:
    static CDemoTown Generate(const CDemoOptions& options);

    CDemoOptions options;
    std::vector<CDemoStreet> streets;
    std::vector<CDemoBuilding> buildings;
    std::vector<CDemoAddress> addresses;
    std::vector<CDemoPark> parks;
    std::vector<CDemoSight> sights;
    std::vector<CDemoFix> track;
    std::string trackDate; // "%Y.%m.%d"
    std::vector<CMapPoint> river;
    std::string riverName;
    std::string townName;
    CDemoTerrain terrain;
    CMapPoint centre;
    // The streets, buildings and parks; the extent of the map.
    CMapRect extent;
    // The heart of the town round its central crossing.
    CMapRect centreExtent;
};
