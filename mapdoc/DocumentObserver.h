#pragma once

#include <cstdint>

class CDrelDoc;

// Update hints of a map document: the low 16 bits name what changed, the
// high 16 bits the index of the layer-list entry concerned.
enum DocumentHint : uint32_t {
    kHintAll = 0,
    kHintLayerAdded = 1,
    kHintLayerRemoving = 2,
    kHintVisibility = 3,
    kHintLegendRows = 5,
    kHintLayerSettings = 6,
    kHintOverview = 7, // overview layers or map extent changed
    kHintRedraw = 8,
    kHintBufferZones = 9,
    kHintOverlays = 10,
};

constexpr uint32_t MakeHint(int index, uint32_t operation)
{
    return (static_cast<uint32_t>(index) << 16) | operation;
}
constexpr uint32_t HintOperation(uint32_t hint)
{
    return hint & 0xFFFF;
}
constexpr int HintIndex(uint32_t hint)
{
    return static_cast<int>(hint >> 16);
}

// A view of a map document (map view, overview, legend): told of every change.
class IDocumentObserver {
public:
    virtual ~IDocumentObserver() = default;
    virtual void OnUpdate(CDrelDoc& document, uint32_t hint) = 0;
};
