#pragma once

#include <string>
#include <vector>

class CDrelDoc;
class CLayer;

// The rules of dialog 288 "Sluoksnių perklojimas": the source layer (a
// point, line, area or track layer), the overlaying layer (a point or
// area layer) and the operation, an item of the operation combo whose
// code kOverlayCodes gives (geoproc/Overlay.h). The names of the layers
// and the item of the last OK are remembered for the rest of the run
// (no names and the first item at first).
class COverlayRules {
public:
    enum Verdict { kAccepted, kIncomplete, kNeedsAreas };
    static constexpr int kNeedsAreasMessage = 1066;

    // The document's layers that each combo lists, in document order.
    static std::vector<CLayer*> SourceLayers(const CDrelDoc& document);
    static std::vector<CLayer*> OverlayingLayers(const CDrelDoc& document);
    // The entry of the layers named like the remembered name, else -1;
    // the source falls back on the active layer.
    static int InitialSource(const std::vector<CLayer*>& layers, const CLayer* active);
    static int InitialOverlaying(const std::vector<CLayer*>& layers);
    static int InitialOperation();

    // OK: kIncomplete (a beep) when a choice is missing or the operation
    // is no item; kNeedsAreas (message 1066) where the operation does not
    // serve the layers' types (OverlayServes); else the choice is
    // remembered and kAccepted.
    static Verdict Accept(const CLayer* source, const CLayer* overlaying, int operation);

    static const std::string& LastSource();
    static const std::string& LastOverlaying();
    static void Remember(const std::string& source, const std::string& overlaying, int operation);
};

// The rules of dialog 312 "Klasifikavimo laukai": each combo offers the
// fields of types C, F and N of its layer by alias, in table order, and
// hands back the field's name.
struct CClassField {
    std::string alias;
    std::string name;
};
std::vector<CClassField> ClassFields(const CLayer& layer);
