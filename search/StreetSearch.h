#pragma once

#include "mapdoc/AddressSearch.h"
#include "search/LayerNames.h"

#include <string>

class CDrelView;
class CLayer;

// The address search on the streets layer (dialog 30724 "Adreso paieška")
// without its window: the street names, folded, and what "&Parodyti" does
// with a street and a house number. In pick mode it only settles on the
// address for its caller. Messages are the user's.
class CStreetSearch {
public:
    enum Mode : int { kSearchMode, kPickMode };
    // What "&Parodyti" came to.
    enum Outcome : int { kNothing, kClose, kShown };

    // The boxes the dialog remembers while the program runs.
    struct COptions {
        bool fitScale = true; // "&Derinti mastelį"
        bool keepOpen = false; // "&Neužverti lango"
    };
    static COptions& Options();

    CStreetSearch(CLayer& streets, CDrelView& view, int mode);

    int GetMode() const { return m_mode; }
    // The map names an addresses layer: house numbers can be looked for.
    bool HasHouseNumbers() const;
    // Every street with a name, folded; false after message 1004 when the
    // layer has no name field or its file does not open.
    bool Load();
    const CNameList& Streets() const { return m_streets.Names(); }

    // OK may be pressed: the street text names a street (completed or
    // chosen), and in pick mode a house number is given too.
    bool CanShow(bool streetNamed, const std::string& houseText) const;

    // "&Parodyti" on the chosen street, or the one of exactly the typed
    // text (else a beep), with the house number: the questions of
    // FindStreetAddress, the search to the recent ones; in search mode
    // with keepOpen the view shows what was found (zoomed when asked),
    // otherwise the dialog is to close with it.
    Outcome Show(int selection, const std::string& typed, const std::string& houseText, bool keepOpen,
                 bool fitScale);
    // What the last "&Parodyti" settled on.
    const CStreetAddress& GetFound() const { return m_found; }

private:
    CLayer& m_layer;
    CLayerNames m_streets;
    int m_mode;
    CStreetAddress m_found;
};
