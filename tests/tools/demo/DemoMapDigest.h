#pragma once

#include "core/MapPoint.h"

#include <string>
#include <vector>

class CDrelDoc;
class CLayer;

// A map as its readers give it back, one line per fact: the settings and
// saved places, every layer with its flags, sublayers, styles and classes,
// and every object of its data with its attributes (the relief picture by
// its pixels and world file, the grid by its values). Two maps are the same
// town when their digests are equal; dBASE headers carrying the day of
// writing play no part.
std::vector<std::string> DigestMap(const std::string& mapPath);

// "" when equal, else the first line that differs, for a readable failure.
std::string FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b);

// The points of a point or track layer (as stored: degrees for tables),
// and for every object the text of one field, in reading order.
struct CLayerObjects {
    std::vector<CMapPoint> points;
    std::vector<std::string> texts;
    int records = 0;
};
CLayerObjects ReadLayerObjects(const CLayer& layer, const std::string& field);

// The layer of that name; fails the test when there is none.
CLayer& LayerNamed(const CDrelDoc& doc, const std::string& name);
