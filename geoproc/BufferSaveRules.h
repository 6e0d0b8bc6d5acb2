#pragma once

#include <string>
#include <vector>

class CDrelDoc;
class CLayer;

// The rules of dialog 268 "Buferinių zonų išsaugojimas": the layer that
// takes the zones of the buffer-zone tool, named in a combo that offers
// the document's area layers whose objects may be edited. The name, at
// most 80 characters, is remembered for the rest of the run ("Buffer" at
// first).
class CBufferSaveRules {
public:
    static constexpr int kMaxName = 80;

    static const std::string& GetName();
    static std::vector<std::string> OfferedLayers(const CDrelDoc& document);
    // OK: a name that is not empty is remembered; false otherwise.
    static bool Remember(const std::string& name);
    // The editable area layer of the remembered name; else a new area
    // layer under that name made unique, its file "Buffer%d.gdb" with the
    // smallest n for which no "Buffer%d.*" is in the map's folder, in the
    // zone style, made and added. Null when it could not be made (told).
    static CLayer* GetResultLayer(CDrelDoc& document);
};
