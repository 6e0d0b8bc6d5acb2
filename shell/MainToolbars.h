#pragma once

#include <cstdint>
#include <string>

class CDrelDoc;

// One box of a main-window toolbar as the searches that fill it see it:
// the street and address lookup (city, street and house-number boxes, with
// the map document that filled them as their owner), the administrative
// search (its five combos and house-number box) and the places. Texts are
// code page 1257; list operations of an edit do nothing (-1, 0, empty).
class IToolbarBox {
public:
    virtual ~IToolbarBox() = default;
    virtual int GetId() const = 0;
    // Empties the list and the edit text.
    virtual void ResetContent() = 0;
    // Adds an entry (a sorted box puts it in Lithuanian order); its index.
    virtual int AddString(const std::string& text, intptr_t data = 0) = 0;
    virtual int GetCount() const = 0;
    virtual std::string GetItemText(int index) const = 0;
    virtual intptr_t GetItemData(int index) const = 0;
    // -1 when nothing is selected.
    virtual int GetCurSel() const = 0;
    virtual void SetCurSel(int index) = 0;
    // An edit's or an editable combo's text, else the selected entry's.
    virtual std::string GetText() const = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void Enable(bool on) = 0;
    virtual bool IsEnabled() const = 0;
    // The map document whose data the box lists; null for the boxes that
    // belong to no document (the administrative search's).
    virtual CDrelDoc* GetOwnerDocument() const = 0;
    virtual void SetOwnerDocument(CDrelDoc* document) = 0;
};

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
