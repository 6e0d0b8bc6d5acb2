#pragma once

#include "layers/Layer.h"

#include <cstdint>
#include <optional>

class CDrelDoc;
class CDrelView;
class CTextSearchResults;

// Points a layer made of several files at one of them (by its index) for
// the object's lifetime; any other layer, or no index, stays as it is.
class CLayerFileScope {
public:
    CLayerFileScope(CLayer& layer, int file);

private:
    std::optional<CLayer::COneFileScope> m_scope;
};

// Deleting one object of a layer as the search windows do it, after the
// caller's own refusals: message 1021 when the layer's objects may not be
// edited (CanDeleteObjects), then the question 2006. A read-only file
// gives 1044, a source that cannot delete 1021; a deleted object's map
// is drawn anew. True only when the object went.
bool CanDeleteObjects(const CLayer& layer);
bool AskAndDeleteObject(CLayer& layer, int32_t record, CDrelDoc& document);

// The buttons of the search results on hit i, each on the file the hit
// was found in. The hit's layer is looked up by name in the view's map;
// a layer gone does nothing.
void ShowTextHit(const CTextSearchResults& results, int index, CDrelView& view);
void ShowTextHitInfo(const CTextSearchResults& results, int index, CDrelDoc& document);
bool DeleteTextHit(const CTextSearchResults& results, int index, CDrelDoc& document);
