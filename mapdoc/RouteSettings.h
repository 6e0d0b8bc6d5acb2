#pragma once

#include <string>

class CLayer;

// The fields of the routing network layer that a map names.
struct CRouteFields {
    std::string fromNodeField;
    std::string toNodeField;
    std::string arcLengthField;
    std::string dirMaskField;
    std::string weightField;
    std::string significanceField;
};

// What the routing services read of a map: the network layer, its field
// names and the kind of its units.
struct CRouteSettings : CRouteFields {
    int unitKind = 0; // 4 projected, 0 geographic
    CLayer* layer = nullptr;
};
