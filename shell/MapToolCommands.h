#pragma once

#include <span>

// The commands that choose the mouse tool of the map views and the tool
// mode each one sets (and shows its check mark for).
struct CMapToolCommand {
    int id;
    int mode;
};
std::span<const CMapToolCommand> MapToolCommands();
