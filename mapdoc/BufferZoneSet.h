#pragma once

#include "core/Shape.h"
#include "layers/DrawStyle.h"
#include "mapdoc/BufferZoneDialogs.h"

#include <memory>
#include <vector>

class CCommandTable;
class CDC;
class CDrelDoc;
class CDrelView;
class CLayer;

// The zones the buffer-zone tool drew around clicked objects of one map:
// drawn over the map after its layers, saved into an area layer or removed
// by the document's commands, never stored with the map.
class CBufferZoneSet {
public:
    // Document commands.
    static constexpr int kCmdSave = 30236;
    static constexpr int kCmdRemove = 30237;

    struct CZone {
        CShape shape;
        CDrawStyle style;
    };

    explicit CBufferZoneSet(CDrelDoc& document);
    CBufferZoneSet(const CBufferZoneSet&) = delete;
    CBufferZoneSet& operator=(const CBufferZoneSet&) = delete;

    // Shared by all maps: the style of new zones starts as a purple outline
    // over purple cross-hatching, the radius as 1 km.
    static CBufferZoneSettings& Settings();

    // The tool's click at a client pixel of the view: the active layer's
    // object there gets a zone after the user gave its radius (and, around
    // an area, its kind). Without an active layer message 1022; a click on
    // no object asks nothing.
    void AddAtPoint(CDrelView& view, int x, int y);
    // The zone of a shape at radius km (kind as CShape::Buffer), in the
    // current style; a zone that comes out empty is not kept. Always 1.
    int AddZone(const CShape& shape, double radius, int zoneType);
    void RemoveAll();
    // Into the area layer the user picks, one record each with "Id" its
    // record number; the zones go once they are written. A failure is
    // shown and the zones not written stay. False when nothing was saved whole.
    bool SaveToLayer();
    void Draw(CDC& dc, CDrelView& view);

    int GetCount() const { return static_cast<int>(m_zones.size()); }
    const CZone& GetZone(int index) const { return *m_zones.at(static_cast<size_t>(index)); }
    // Saving and removing, enabled while there are zones.
    void RegisterCommands(CCommandTable& commands);

private:
    bool WriteZones(CLayer& layer, int& written, bool& opened);
    void ForgetWritten(int written);

    CDrelDoc& m_document;
    std::vector<std::unique_ptr<CZone>> m_zones;
};
