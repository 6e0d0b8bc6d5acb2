#pragma once

#include <string>
#include <vector>

// The words the demo town is named with, in code page 1257. Street names
// are a stem in the genitive and a kind ("Liepų g."); together the stems
// hold every letter of the alphabet beyond Latin (ą č ę ė į š ų ū ž).
struct CDemoNames {
    // Stems of the ordinary streets: trees, flowers, places, crafts, writers.
    std::vector<std::string> streetStems;
    // Stems of the main streets: towns, rulers, the words of avenues.
    std::vector<std::string> mainStems;
    // Named first in the centre of every town, so that even the smallest
    // town's names hold ą č ę ė į š ų ū ž: stems of ordinary streets and
    // of a main street.
    std::vector<std::string> showcaseStems;
    std::string showcaseMainStem;
    // Kinds: of ordinary streets ("g.", "skg."), of footpaths ("tak."),
    // of main streets ("g.", "pr.", "al.").
    std::vector<std::string> streetKinds;
    std::vector<std::string> pathKind;
    std::vector<std::string> mainKinds;
    // Settlements; the town itself is the first.
    std::vector<std::string> towns;
    std::vector<std::string> rivers;
    // Kinds of parks after a stem ("parkas", "skveras", "sodas"), and the
    // two parks of their own.
    std::vector<std::string> parkKinds;
    std::string centralPark;
    std::string riversidePark;
    // What buildings are used for.
    std::string residential, commercial, publicUse, industrial, shed;
    // Public places of the table of sights.
    std::vector<std::string> sights;

    // The layers of the map, and its saved places.
    struct CLayers {
        std::string reliefGroup, relief, elevation;
        std::string natureGroup, parks, river;
        std::string buildings, streets, addresses, sights, track;
    } layers;
    std::string mapTitle; // after the town's name
    std::vector<std::string> bookmarks; // the whole town, the centre, the river, the central crossing

    static const CDemoNames& Get();
};
