#pragma once

#include "platform/Rect.h"
#include "search/LayerNames.h"

#include <cstdint>
#include <string>
#include <vector>

class CDrelView;
class CLayer;

// The object list of a layer (dialog 134 "Objektų sąrašas") without its
// window: the layer's objects by name, the records the user chose, and
// its buttons. Messages are the user's.
class CObjectList {
public:
    // The boxes the dialog remembers while the program runs.
    struct COptions {
        bool fitScale = true; // "&Derinti mastelį"
        bool keepOpen = false; // "&Neužverti lango"
    };
    static COptions& Options();

    CObjectList(CLayer& layer, CDrelView& view);

    // Reads the objects, folded when asked; false after message 1004 when
    // the layer has no name field or its file does not open.
    bool Load(bool fold);
    const CNameList& Names() const { return m_objects.Names(); }
    void SetFolded(bool fold) { m_objects.SetFolded(fold); }
    bool IsFolded() const { return Names().IsFolded(); }

    // "&Parodyti": the entry chosen, or the one of exactly the typed text,
    // with every record folded under it, joins the chosen records and the
    // typed text the recent searches. False (a beep) when none matches.
    bool Choose(int selection, const std::string& typed);
    const std::vector<int32_t>& GetChosen() const { return m_chosen; }
    // The view marks the chosen records, zoomed to them when asked; the
    // chosen list empties.
    void ShowChosen(bool fitScale);

    // The other buttons on the entry meant (CLayerNames); a beep when none
    // matches. EditInfo answers the entry's index afterwards, -1 when
    // nothing was edited.
    void ShowInfo(int selection, const std::string& typed);
    int EditInfo(int selection, const std::string& typed);
    bool Delete(int selection, const std::string& typed);

private:
    // The entry meant; -1 after a beep.
    int Resolve(int selection, const std::string& typed) const;

    CLayer& m_layer;
    CLayerNames m_objects;
    std::vector<int32_t> m_chosen;
};

// Where dialog 134 stands: its right edge 20 pixels left of the middle of
// the work area, vertically centred, moved back inside the area where it
// would leave it.
CRect PlaceObjectListWindow(const CRect& window, const CRect& workArea);
