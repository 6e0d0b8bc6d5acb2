#pragma once

#include "mapdoc/ToolbarBox.h"

#include <string>

class CDrelDoc;

// The main window's toolbars as the rest of the program reaches them.
// Without a main window with its bars every box is missing and the rest
// does nothing.
class IMainToolbars {
public:
    virtual ~IMainToolbars() = default;
    // The box of a resource id (ToolbarBoxes.h); null when there is none.
    virtual IToolbarBox* FindBox(int id) { return nullptr; }
    // Enable or disable the street combo, the city combo or the house
    // number edit (emptied as well); the first enabling while its switch of
    // the configuration file is unset writes it (the box shows from the
    // next start). A map with street data calls these when it opens.
    virtual void EnableStreetBox(bool on) {}
    virtual void EnableCityList(bool on) {}
    virtual void EnableHouseNumbers(bool on) {}
    // A bar of MainFrameBarTable.h shown or hidden at once.
    virtual void ShowBar(int resourceId, bool show) {}
    virtual bool IsBarVisible(int resourceId) const { return false; }
    // The attribute-table window and the track replay flag their bars
    // while they run: only then does the toolbar list offer them.
    virtual void SetAttributeTableBarFlag(bool on) {}
    virtual void SetPlaybackBarFlag(bool on) {}
    // The replay's speed factor changed: the speed combo shows it.
    virtual void UpdateReplaySpeed() {}
};

IMainToolbars& MainToolbars();
// Null restores the one without bars; the caller keeps ownership.
void SetMainToolbars(IMainToolbars* toolbars);

// What a confirmed choice in a box asks of the searches: with an owner
// document the street list of the address toolbar is filled again for the
// chosen city (CDrelDoc::FillCityStreetCombos with 1); without one the
// active map's administrative search hears which combo changed. The
// street and address lookup and the administrative search install them;
// until then they do nothing.
class IToolbarSearchHooks {
public:
    virtual ~IToolbarSearchHooks() = default;
    virtual void FillCityStreetCombos(CDrelDoc& owner, int refill) {}
    virtual void OnAdminComboSelChange(CDrelDoc& activeMap, int comboId) {}
};

IToolbarSearchHooks& ToolbarSearchHooks();
// Null restores the ones that do nothing; the caller keeps ownership.
void SetToolbarSearchHooks(IToolbarSearchHooks* hooks);
