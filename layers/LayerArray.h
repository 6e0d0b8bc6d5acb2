#pragma once

#include "layers/Layer.h"
#include "layers/OwnedObArray.h"

#include <string>
#include <string_view>

// Makes the layer and style classes known to the archive by name. Reading
// a layer list calls it; calling it again is harmless.
void RegisterLayerClasses();

// A map's owning list of layers and group entries in drawing and legend
// order: what the map file stores.
class CLayerArray : public COwnedObArray<CLayer> {
public:
    // The first layer of exactly that name (case-sensitive); null when none.
    CLayer* FindByName(std::string_view name) const;

    // Text that the map document keeps with its list; not stored.
    const std::string& GetText() const { return m_text; }
    void SetText(std::string text) { m_text = std::move(text); }

    void Serialize(CArchive& archive);

    // Replaces the list by the map file's. False when the file cannot be
    // opened; CArchiveException when it is not a readable map (the list
    // is then left as it was).
    bool ReadMapFile(const std::string& path);
    // Writes the list beside the map file and renames it over the old one,
    // so a failure leaves the old map whole; false then.
    bool WriteMapFile(const std::string& path) const;

private:
    std::string m_text;
};
