#pragma once

#include "platform/Rect.h"

#include <string>
#include <string_view>
#include <vector>

// Show commands of a window as the profile keeps them.
enum ShowCommand : int { kShowNormal = 1, kShowMinimized = 2, kShowMaximized = 3 };

// Where a window stands, as [Settings] "WindowPos" keeps it: flags (2 when
// the window is maximised), show command, minimised and maximised
// positions, and the rectangle of the window when it is neither.
struct CWindowPlacement {
    unsigned flags = 0;
    unsigned showCmd = kShowNormal;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0;

    // "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d"
    std::string Format() const;
    // Exactly ten numbers separated by commas (blanks around them allowed)
    // and a rectangle with a size; false otherwise, the placement untouched.
    bool Parse(std::string_view text);
};

// The show state of the map windows: the current value and the value the
// profile last held ([Settings] "ShowCmd", maximised until read), written
// back only when they differ.
class CShowState {
public:
    void Load();
    // True when a value was written.
    bool SaveIfChanged();
    int Get() const { return m_current; }
    void Set(int showCmd) { m_current = showCmd; }

private:
    int m_current = kShowMaximized;
    int m_stored = kShowMaximized;
};

// Where "Kaskada" puts count windows in an area, back to front: each one
// step right of and below the one behind it, all of one size that leaves
// room for the steps, yet never narrower or lower than two thirds of the
// area; windows past the room start again at the top left.
std::vector<CRect> CascadeWindowRects(CSize area, int count, int step);
