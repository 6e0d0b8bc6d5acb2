#pragma once

#include <string>
#include <vector>

// The docking layout of the main window's toolbars in the profile, under
// a name ("TB"; "General" is written too and never read): the window
// state the toolkit saves ("State", binary) with the object names of the
// bars it holds ("Bars", joined by commas).
struct CBarState {
    std::vector<unsigned char> state;
    std::vector<std::string> bars;

    // False when the profile holds no layout under the name.
    bool Load(const std::string& name);
    void Save(const std::string& name) const;
    // Every bar the layout names still exists; a layout saved by a build
    // with another bar is not applied.
    bool IsConsistentWith(const std::vector<std::string>& existingBars) const;
};

// A layout of that name is saved and names only existing bars.
bool IsBarStateConsistent(const std::string& name, const std::vector<std::string>& existingBars);
