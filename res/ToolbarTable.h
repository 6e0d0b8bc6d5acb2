#pragma once

#include <span>

// Toolbars as data: the command ids of the buttons in order, 0 for a
// separator. A button's tool tip is the text after the first line break
// of the string with its command id, the status-bar text the line before.
struct ToolbarResource {
    int id;
    std::span<const int> buttons;
};

// The toolbar of a resource id; null when there is none.
const ToolbarResource* FindToolbarResource(int id);
