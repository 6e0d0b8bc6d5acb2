#pragma once

#include "geoproc/GeoprocDialogs.h"

#include <string>
#include <vector>

class CDrelDoc;
class CLayer;

// The rules of dialog 30807 "Sluoksnio pritraukimas": the layer snapped (a
// point, line or area layer, the active one at first), the layer snapped
// to (a point, line, area or track layer, the one of the remembered name
// at first), what is snapped and to what (ESnapWhat, ESnapToWhat), and the
// tolerance in metres, 0 to 1000. The target's name and the other choices
// of the last OK are remembered for the rest of the run (at first no name,
// "Viršūnes", "Prie viršūnių ir kraštinių" and 1 m).
class CSnapLayerRules {
public:
    static constexpr double kMaxTolerance = 1000;

    static std::vector<CLayer*> SourceLayers(const CDrelDoc& document);
    static std::vector<CLayer*> TargetLayers(const CDrelDoc& document);
    // The entry of the active layer; -1 for none.
    static int InitialSource(const std::vector<CLayer*>& layers, const CLayer* active);
    // The entry of the remembered target; -1 for none.
    static int InitialTarget(const std::vector<CLayer*>& layers);
    // The remembered choices, without layers.
    static CSnapLayerChoice Initial();

    // What to snap is asked only of a layer that is not of points, and to
    // what only of a target that is not of points (nor a track).
    static bool AsksWhat(const CLayer* source);
    static bool AsksToWhat(const CLayer* target);

    // OK: false (a beep) while a layer is missing; else the choice is
    // remembered.
    static bool Accept(const CSnapLayerChoice& choice);
    static const std::string& LastTarget();
    static void Remember(const std::string& target, const CSnapLayerChoice& choice);
};
