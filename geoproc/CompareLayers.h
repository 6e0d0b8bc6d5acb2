#pragma once

#include "geoproc/NewResultLayer.h"

#include <string>
#include <vector>

class CDrelDoc;
class CLayer;
class IProgress;

// Comparison of two layers of one type, typically two versions of one
// data set: both are walked in reading order side by side, record numbers
// bring them back into step after insertions and deletions, and the
// objects that differ go to a layer "_diff1" (of the first) and "_diff2"
// (of the second).

// The rules of dialog 30808 "Skirtumų tarp sluoksnių paieška": both combos
// list the document's layers of types 0, 1, 2 and 10; the first starts on
// the active layer, the second on the layer of the name remembered, the
// mode (0 geometry, 1 geometry and attributes) on the one remembered (0 at
// first). Name and mode are remembered on OK for the rest of the run.
class CCompareLayersRules {
public:
    enum Verdict { kAccepted, kIncomplete, kDifferentTypes };
    static constexpr int kDifferentTypesMessage = 1113;

    static std::vector<CLayer*> Layers(const CDrelDoc& document);
    // The entry of the layer, else -1.
    static int InitialFirst(const std::vector<CLayer*>& layers, const CLayer* active);
    static int InitialSecond(const std::vector<CLayer*>& layers);
    static int InitialMode();
    // OK: kIncomplete (nothing happens) while a layer is missing;
    // kDifferentTypes (1113, the dialog stays) for layers of two types;
    // else the second's name and the mode are remembered.
    static Verdict Accept(const CLayer* first, const CLayer* second, int mode);
    static void Remember(const std::string& second, int mode);
    static const std::string& LastSecond();
};

// In mode 1 the tables must have the same fields in the same order, each
// of the same name (letter case aside), type, length and decimals; else
// 3053 is shown and false. Mode 0 asks nothing. False, without a word,
// when a layer cannot be opened.
bool CompareStructuresAgree(CLayer& first, CLayer& second, int mode);

// The walk into new files at the two paths, each of its source's type and
// fields, every object written with a copy of its source record. Ten
// differing objects in a row stop it (3055). kDone when either file got
// an object; kFailed when none did (3054), when the layers cannot be read
// or the files written, and when the structures disagree (3053, before
// any file); kCancelled when the progress, if given, was cancelled.
EOperationEnd CompareLayerData(CLayer& first, CLayer& second, const std::string& path1, const std::string& path2,
                               int mode, IProgress* progress = nullptr);

// The results named by the document's suggestion for each source's file
// title with "_diff1" and "_diff2", the walk under a progress window, and
// both layers added (the source's identifier field, the default style of
// the type), or their files removed when nothing differs, the walk failed
// or was cancelled. Nonzero when the layers were added.
int CompareLayers(CLayer& first, CLayer& second, CDrelDoc& document, int mode);

// "Palyginti sluoksnius...": dialog 30808, then CompareLayers.
int RunCompareLayers(CLayer* active, CDrelDoc& document);
