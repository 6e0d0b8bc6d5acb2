#pragma once

#include "layers/DrawStyle.h"

class CDrelDoc;
class CLayer;

// The settings of the buffer-zone tool, one set for all maps while the
// program runs.
struct CBufferZoneSettings {
    CDrawStyle style;    // of zones made from now on
    double radius = 1.0; // kilometres
    int removePrevious = 0;
};

// The questions the buffer-zone tool asks. The geoprocessing dialogs
// answer in the program; without them every question counts as cancelled.
class IBufferZoneDialogs {
public:
    virtual ~IBufferZoneDialogs() = default;
    // Dialog 262 "Buferinės zonos skaičiavimas": the radius, the zone
    // style (its symbol button) and "&Pašalinti ankstesnius rezultatus",
    // edited in place. False when cancelled.
    virtual bool AskRadius(CBufferZoneSettings& settings) { return false; }
    // Dialog 280, around an area: 0 its outline, 1 the area grown, 2 the
    // area shrunk. False when cancelled.
    virtual bool AskZoneType(int& type) { return false; }
    // Dialog 268 "Buferinių zonų išsaugojimas": the document's area layer
    // that takes the zones, made and added when the user names a new one;
    // null when cancelled or none could be made.
    virtual CLayer* GetResultLayer(CDrelDoc& document) { return nullptr; }
};

IBufferZoneDialogs& BufferZoneDialogs();
// Null restores the default; the caller keeps ownership.
void SetBufferZoneDialogs(IBufferZoneDialogs* dialogs);
