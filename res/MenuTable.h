#pragma once

#include <span>

// Menus as data: a menu is a list of entries; an entry is a command (id
// and text), a popup (text and its own entries), a separator (id 0,
// no text) or a list item, which the update rule of its id replaces by
// the entries of a list (the recent files). Texts are UTF-8 as in the
// string table, with '&' before the mnemonic and "\t" before the shown
// accelerator.
struct MenuEntry {
    enum Kind { kCommand, kPopup, kSeparator, kList };
    Kind kind;
    int id;
    const char* text;
    std::span<const MenuEntry> items;
};

struct MenuResource {
    int id;
    std::span<const MenuEntry> popups;
};

// The menu of a resource id (107 the legend's popup, 128 the main window
// without a map, 130 a table window, 138 a map window, 182 the object
// information's link popup, 186 the map view's popup, 274 a table
// window's popup, 283 a toolbar's popup); null when there is none.
const MenuResource* FindMenuResource(int id);
