#pragma once

#include <span>

// Accelerator tables as data: a key, written as Qt's portable key
// sequence text ("Ctrl+O", "Del"), and the command it sends.
struct Accelerator {
    const char* keys;
    int command;
};

// The table of a resource id (128 the main window, 138 a map window);
// empty when there is none.
std::span<const Accelerator> FindAccelerators(int id);
