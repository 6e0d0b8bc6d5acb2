#pragma once

#include <functional>
#include <string>
#include <vector>

class CDrelDoc;
class CLayer;
class CShape;

// The rules of the save-route dialog (30817): the layer that takes the
// computed route, named in a combo that offers the document's line layers
// whose objects may be edited. The name, at most 80 characters, is
// remembered for the rest of the run ("Route" at first).
class CSaveRouteRules {
public:
    static constexpr int kMaxName = 80;

    static const std::string& GetName();
    static void Remember(const std::string& name);
    static std::vector<std::string> OfferedLayers(const CDrelDoc& document);
    // The editable line layer of the name; else a new line layer under the
    // name made unique, its file "Route%d.gdb" with the smallest k for
    // which no "Route%d.*" is in the map's folder (any letter case), drawn
    // 39 thousandths of an inch wide in red, made and added. Null when its
    // files could not be made (told): nothing is added then.
    static CLayer* GetOrCreateLayer(CDrelDoc& document, const std::string& name);
};

// Appends the legs to the layer that choose gives (null: the user
// cancelled, or it could not be had), each with its record number in the
// field "Id"; then the views draw it and the map is modified. False when
// nothing was written.
bool SaveComputedRoute(CDrelDoc& document, const std::vector<const CShape*>& legs,
                       const std::function<CLayer*()>& choose);
