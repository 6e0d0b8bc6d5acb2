#pragma once

#include <string>

class CLayer;

// What the routing services read of a map: the network layer, its field
// names and the kind of its units.
struct CRouteSettings {
    int unitKind = 0; // 4 projected, 0 geographic
    CLayer* layer = nullptr;
    std::string fromNodeField;
    std::string toNodeField;
    std::string arcLengthField;
    std::string dirMaskField;
    std::string weightField;
    std::string significanceField;
};
